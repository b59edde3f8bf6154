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
# Zooming: a stroke to the left is one level out, to the right one level in.
out_strokes=""
in_strokes=""
for i in 1 2 3 4 5 6 7 8 9; do
  out_strokes="$out_strokes
pen down 150 200
pen move 100 200
pen up 60 200
wait 300"
  in_strokes="$in_strokes
pen down 60 200
pen move 110 200
pen up 150 200
wait 300"
done
frames=""
for i in 01 02 03 04 05 06 07 08 09 10 11 12; do
  frames="$frames
wait 10000
snapshot drive-$i"
done
cat > "$dir/story.script" << SCRIPT
wait 500
# The start-up warning, closed with "확인".
tap 144 249
wait 200
# The basic menu, switched to the advanced one, closed.
tap $(middle VelkoMenu)
wait 200
tap 172 221
wait 200
tap 60 308
wait 200
# North up, the map taken off the vehicle at the map's centre (120, 160 on the screen).
tap $(middle Compass)
wait 300
tap 120 160
wait 300
# Nine levels out (87 map units a pixel), two taps that centre the map on the town of 바람 some
# 12 km east and 12.6 km north (its office and school at 215335..215817, 544310), nine levels in.
$out_strokes
tap 200 87
wait 300
tap 184 87
wait 300
$in_strokes
tap $(middle ToolBar/목적지)
wait 300
snapshot pick
# The crossing of 바람's main road and its middle street.
tap 124 160
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
$frames
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
# end: the synchronous flag 0x00000016) with the speed warning's beep between them (the simulated
# car runs far above every limit, and the drive warns on every road class), the exit's clicks.
head -1 "$out/sounds.log" | cut -f2 | grep -q 'wave\\VelkoStart\.wav$' || fail "sounds.log does not begin with the start sound"
voice="$dir/dev/Storage Card/MapData/Wave"
msg17=$(check message "$voice" 17)
click=$(sed -n 2p "$out/sounds.log" | cut -f6)
grep -v "	$click\$" "$out/sounds.log" | sed 1d | grep -v '	Storage Card\\MapData\\wave\\dd_beep\.wav	' |
  cut -f5,6 > "$dir/voices.txt"
[ "$(head -1 "$dir/voices.txt")" = "$(printf '00000017\t%s' "$msg17")" ] ||
  fail "the first voice is not message 17 as its clip assembles: $(head -1 "$dir/voices.txt") vs $msg17"
sed 1d "$dir/voices.txt" > "$dir/prompts.txt"
grep -qv '^00000016	' "$dir/prompts.txt" && fail "a sound besides the drive's prompts"
[ "$(wc -l < "$dir/prompts.txt")" -ge 2 ] || fail "the drive gave fewer than two prompts"

# The prompts the guidance gives along the same route, one second a fix at 60 km/h, each checked
# against its clip ids assembled here: the drive's manoeuvre prompts (280 m a step) are some of
# them in the same order ending with the same arrival prompt; its safe-driving point notices are
# the route's points' at one of the route's distance bands (a long step skips the band that first
# names a point's limit, and can bring a notice in the fix of the next manoeuvre prompt).
route="$dir/dev/My Documents/Velko/RouteTbl.bin"
[ -s "$route" ] || fail "RouteTbl.bin not written"
"$synth" --route "$route" --speed 60 --seed 1 --out "$dir/drive.nmea" 2> /dev/null || fail "velko-gpssynth on RouteTbl.bin"
mkdir "$dir/wav"
"$match" --root "$dir/dev" --route "$route" --guide --wav "$dir/wav" "$dir/drive.nmea" > "$dir/match.txt" ||
  fail "velko-gpsmatch --guide"
grep -q 'kind=prompt clips=84,87,86 ' "$dir/match.txt" || fail "the guidance along the route gives no arrival prompt"
cut -f2 "$dir/prompts.txt" > "$dir/played.txt"
result=$(check order "$dir/match.txt" "$dir/wav" "$dir/played.txt" "$voice")
[ "$result" = ok ] || fail "the drive's prompts against the route's: $result ($(tr '\n' ' ' < "$dir/played.txt"))"
[ "$(grep -c . "$dir/played.txt")" -ge 5 ] || fail "fewer than five prompts in a drive of some 20 km"

# The car advances: every 10 simulated seconds the frame shows another place until the goal,
# after which the frames stay the same (the drive ended there).
[ -f "$out/frames/drive-12.png" ] || fail "no drive frames"
moving=1
for i in 02 03 04 05 06 07 08 09 10 11 12; do
  prev=$(printf '%02d' $((${i#0} - 1)))
  if cmp -s "$out/frames/drive-$prev.png" "$out/frames/drive-$i.png"; then
    [ "$moving" = 1 ] && [ "$i" -le 04 ] && fail "the car stood still at $((${prev#0} * 10)) s"
    moving=0
  else
    [ "$moving" = 0 ] && fail "the car moved again after standing still at frame $i"
  fi
done
[ "$moving" = 0 ] || fail "the drive did not end within two minutes"

# The files of the run.
for f in "My Documents/Velko/DestPosition" "objectstore/velko900%20pilot1.cedb" "objectstore/velko900%20pilot4.cedb"; do
  [ -s "$dir/dev/$f" ] || fail "$f not written"
done
"$config" --root "$dir/dev" > "$dir/recent1.txt" || fail "velko-config after run 1"
grep -q '^recent.0=바람군 ' "$dir/recent1.txt" || fail "the destination in 바람 does not head the recent list"
recent0=$(grep '^recent.0=' "$dir/recent1.txt")
pilot1="$dir/dev/objectstore/velko900%20pilot1.cedb"
cp "$pilot1" "$dir/pilot1-run1"

# Run 2: a plain start.
cat > "$dir/start.script" << 'SCRIPT'
wait 1000
# The start-up warning, closed with "확인".
tap 144 249
wait 200
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
