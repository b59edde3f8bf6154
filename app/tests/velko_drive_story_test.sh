#!/bin/sh
# The navigator's story on a fresh copy of the sample device, headless, in two runs.
# Run 1: the advanced menus, "목적지" from the route tool bar and a tap on a crossing of 가람's town
# grid, "경로탐색" (the route band drawn), "안내시작", "모의주행" from the menu at the player's
# fastest speed (setting 40 = 2) driven to the goal, then "종료" answered yes: exit 0.
# The sound log: the start sound, voice message 17 after the search, then the drive's prompts in
# route order ending with the arrival, each the same image (by hash) as the clips the guidance
# gives for that route (velko-gpsmatch --guide over a drive synthesised along the saved route), and
# message 17 the same as its clip assembled here from the voice files.
# Run 2 on the same device: the route is back and drawn, the map opens where run 1 left it and the
# destination heads the recent list.
# Controls are tapped at the middle of the places velko-skinshot --main --dump reports for them
# (the advanced menu's tabs and entries as NaviMenuAdv/..., the tool bar's buttons as ToolBar/...);
# the route result bar, the menu switch of the basic menu and the menu's close are at fixed places.
set -u
dev=$1
velko=$2
shot=$3
config=$4
synth=$5
match=$6
here=$(cd "$(dirname "$0")" && pwd)
check() { python3 "$here/story_check.py" "$@"; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir"/out*/host.log "$dir"/out*/msgbox.log "$dir/err.txt" 2> /dev/null | tail -30; exit 1; }
cp -r "$dev" "$dir/dev" || fail "copy the sample device"
"$config" --root "$dir/dev" --set 40=2 > "$dir/config.txt" || fail "velko-config --set 40=2"
grep -qx 'setting.40=2' "$dir/config.txt" || fail "setting 40 not saved"

"$shot" --root "$dir/dev" --main --out "$dir/x.png" --dump > "$dir/controls.txt" || fail "control places"
middle() {
  grep "^control name=$1 " "$dir/controls.txt" | sed 's/.* rect=\([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\) .*/\1 \2 \3 \4/' |
    awk '{ print int(($1 + $3) / 2), int(($2 + $4) / 2) }'
}
for c in VelkoMenu Compass ToolBar/목적지 ToolBar/경로탐색 NaviMenuAdv/경로관리 'NaviMenuAdv/page:경로관리/모의주행' \
  NaviMenuAdv/종료; do
  [ -n "$(middle "$c")" ] || fail "no control $c"
done

# The route band's colours as the map draws them: a search's result (green) and the accepted
# route (red fill, darker edge).
result_fill='0 195 0'
band_fill='255 68 68'
band_edge='208 48 48'
steps=""
for i in 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19 20; do
  steps="$steps
wait 1400
snapshot drive-$i"
done
cat > "$dir/story.script" << SCRIPT
wait 500
# The basic menu, switched to the advanced one, closed.
tap $(middle VelkoMenu)
wait 200
tap 172 221
wait 200
tap 60 308
wait 200
# North up, the map taken off the vehicle at the map's centre.
tap $(middle Compass)
wait 300
tap 120 160
wait 300
tap $(middle ToolBar/목적지)
wait 300
snapshot pick
# The crossing of the town's two main roads north-east of the vehicle.
tap 172 62
wait 300
snapshot goal
tap $(middle ToolBar/경로탐색)
wait 1000
snapshot searched
# "안내시작" on the route result bar.
tap 200 299
wait 300
tap $(middle VelkoMenu)
wait 200
tap $(middle NaviMenuAdv/경로관리)
wait 200
tap $(middle 'NaviMenuAdv/page:경로관리/모의주행')
$steps
tap $(middle VelkoMenu)
wait 200
answer yes
tap $(middle NaviMenuAdv/종료)
wait 500
snapshot never
SCRIPT
"$velko" --root "$dir/dev" --headless "$dir/story.script" --out "$dir/out1" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] || fail "run 1: exit 0 expected"
out=$dir/out1
grep -qF "$(printf '벨코를 종료 하시겠습니까?\t3000\t4001')" "$out/msgbox.log" || fail "the exit question was not asked and answered"
[ "$(grep -c . "$out/msgbox.log")" = 1 ] || fail "a message besides the exit question"
[ -f "$out/frames/never.png" ] && fail "the program ran on after the exit"

# The route band: none before the search, the result's after it, the accepted route's in the drive.
[ "$(check count "$out/frames/goal.png" 0 0 240 280 $result_fill)" = 0 ] || fail "a result band before the search"
[ "$(check count "$out/frames/goal.png" 0 0 240 280 $band_fill)" = 0 ] || fail "a route band before the search"
[ "$(check count "$out/frames/searched.png" 0 0 240 280 $result_fill)" -gt 100 ] || fail "no route band after the search"
[ "$(check count "$out/frames/drive-01.png" 0 0 240 280 $band_fill)" -gt 100 ] || fail "no accepted route band in the drive"
[ "$(check count "$out/frames/drive-01.png" 0 0 240 280 $band_edge)" -gt 20 ] || fail "no route band edge in the drive"

# Sounds: the start sound, then the taps' clicks, message 17, the drive's prompts (played to their
# end: the synchronous flag 0x00000016), the exit's clicks.
head -1 "$out/sounds.log" | cut -f2 | grep -q 'wave\\VelkoStart\.wav$' || fail "sounds.log does not begin with the start sound"
voice="$dir/dev/Storage Card/MapData/Wave"
msg17=$(check message "$voice" 17)
click=$(sed -n 2p "$out/sounds.log" | cut -f6)
grep -v "	$click\$" "$out/sounds.log" | sed 1d | cut -f5,6 > "$dir/voices.txt"
[ "$(head -1 "$dir/voices.txt")" = "$(printf '00000017\t%s' "$msg17")" ] ||
  fail "the first voice is not message 17 as its clip assembles: $(head -1 "$dir/voices.txt") vs $msg17"
sed 1d "$dir/voices.txt" > "$dir/prompts.txt"
grep -qv '^00000016	' "$dir/prompts.txt" && fail "a sound besides the drive's prompts"
[ "$(wc -l < "$dir/prompts.txt")" -ge 2 ] || fail "the drive gave fewer than two prompts"

# The prompts the guidance gives along the same route, one second a fix at 60 km/h: the drive's
# (280 m a step) are some of them, in the same order, ending with the same arrival prompt.
route="$dir/dev/My Documents/Velko/RouteTbl.bin"
[ -s "$route" ] || fail "RouteTbl.bin not written"
"$synth" --route "$route" --speed 60 --seed 1 --out "$dir/drive.nmea" 2> /dev/null || fail "velko-gpssynth on RouteTbl.bin"
mkdir "$dir/wav"
"$match" --root "$dir/dev" --route "$route" --guide --wav "$dir/wav" "$dir/drive.nmea" > "$dir/match.txt" ||
  fail "velko-gpsmatch --guide"
grep -q 'kind=prompt clips=84,87,86 ' "$dir/match.txt" || fail "the guidance along the route gives no arrival prompt"
check fnv "$dir"/wav/prompt-*.wav > "$dir/expected.txt"
cut -f2 "$dir/prompts.txt" > "$dir/played.txt"
awk 'NR == FNR { want[++n] = $1; next } { while (i < n && want[++i] != $1) {} if (want[i] != $1) bad = 1; last = $1 }
     END { exit bad || last != want[n] }' "$dir/expected.txt" "$dir/played.txt" ||
  fail "the drive's prompts are not the route's in order ending with the arrival: $(tr '\n' ' ' < "$dir/played.txt")"

# The car advances: the drive's frames change step after step until the goal, and the last one
# differs from the first.
[ -f "$out/frames/drive-20.png" ] || fail "no drive frames"
cmp -s "$out/frames/drive-01.png" "$out/frames/drive-02.png" && fail "the car did not advance"
cmp -s "$out/frames/drive-02.png" "$out/frames/drive-03.png" && fail "the car stopped early"
cmp -s "$out/frames/drive-01.png" "$out/frames/drive-20.png" && fail "the drive ended where it began"

# The files of the run.
for f in "My Documents/Velko/DestPosition" "objectstore/velko900%20pilot1.cedb" "objectstore/velko900%20pilot4.cedb"; do
  [ -s "$dir/dev/$f" ] || fail "$f not written"
done
"$config" --root "$dir/dev" > "$dir/recent1.txt" || fail "velko-config after run 1"
grep -q '^recent.0=가람시 ' "$dir/recent1.txt" || fail "the destination does not head the recent list"
recent0=$(grep '^recent.0=' "$dir/recent1.txt")
pilot1="$dir/dev/objectstore/velko900%20pilot1.cedb"
cp "$pilot1" "$dir/pilot1-run1"

# Run 2: a plain start.
cat > "$dir/start.script" << 'SCRIPT'
wait 1000
snapshot start
quit
SCRIPT
"$velko" --root "$dir/dev" --headless "$dir/start.script" --out "$dir/out2" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] || fail "run 2: exit 0 expected"
[ "$(check count "$dir/out2/frames/start.png" 0 0 240 280 $band_fill)" -gt 100 ] || fail "run 2: the route is not drawn"
grep '^prop ' "$pilot1" > "$dir/p2"
grep '^prop ' "$dir/pilot1-run1" > "$dir/p1"
cmp -s "$dir/p1" "$dir/p2" || fail "run 2 did not open where run 1 left the map"
"$config" --root "$dir/dev" > "$dir/recent2.txt" || fail "velko-config after run 2"
grep -qxF "$recent0" "$dir/recent2.txt" || fail "run 2: the destination left the head of the recent list"
echo "velko drive story checks passed"
