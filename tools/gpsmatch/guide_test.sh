#!/bin/sh
# Guidance along a drive on the sample device: a route from the eastbound 누리고속도로,
# 2 km from its western end, to 가람시청 (past 누리휴게소, out at 가람IC, up 국도43호선 into the
# town), a receiver log synthesised along it at 60 km/h, and velko-gpsmatch --guide on that log.
set -eu
dev=$1
route=$2
synth=$3
match=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
"$route" --root "$dev" --net --from 45729040,13495908 --to 45763755,13506271 --save guidecheck \
  > "$dir/plan.txt" 2> /dev/null || fail "velko-route"
saved="$dir/drive.vkp"
cp "$dev/My Documents/VelkoData/SaveRoute/guidecheckR.vkp" "$saved" &&
  rm -f "$dev/My Documents/VelkoData/SaveRoute/guidecheckR.vkp"
# The route: 누리휴게소 (rest area 1) on its first item, out at 가람IC (exit right, code 3, with
# interchange 3 on the same item), left at 가람IC남 onto 국도43호선, right at 시청사거리, the goal.
grep -q '^facility value=1 code=2 pos=0$' "$dir/plan.txt" || fail "the route does not pass 누리휴게소"
exit_item=$(grep '^item .* name=가람IC$' "$dir/plan.txt" | sed 's/^item i=\([0-9]*\) .*/\1/')
[ -n "$exit_item" ] || fail "no item at 가람IC"
grep -q "^guide .* pos=$exit_item code=3\$" "$dir/plan.txt" || fail "the route does not leave at 가람IC"
grep -q "^facility value=3 code=4 pos=$exit_item\$" "$dir/plan.txt" || fail "no interchange at the exit"
left=$(grep '^item .* name=가람IC남$' "$dir/plan.txt" | sed 's/^item i=\([0-9]*\) .*/\1/')
grep -q "^guide .* pos=$left code=12\$" "$dir/plan.txt" || fail "no left turn onto 국도43호선"
right=$(grep '^item .* name=시청사거리$' "$dir/plan.txt" | sed 's/^item i=\([0-9]*\) .*/\1/')
grep -q "^guide .* pos=$right code=13\$" "$dir/plan.txt" || fail "no right turn at 시청사거리"

"$synth" --route "$saved" --speed 60 --seed 3 --out "$dir/drive.nmea" 2> /dev/null || fail "velko-gpssynth"
mkdir "$dir/wav"
"$match" --root "$dev" --route "$saved" --guide --wav "$dir/wav" "$dir/drive.nmea" \
  > "$dir/match.txt" || fail "velko-gpsmatch --guide exit code"
grep -q '^guide_load=0$' "$dir/match.txt" || fail "the voice files, facility tables and guide points did not all load"
grep '^prompt ' "$dir/match.txt" > "$dir/prompts.txt" || fail "no prompts"
[ "$(ls "$dir/wav" | wc -l)" = "$(wc -l < "$dir/prompts.txt")" ] || fail "--wav did not write every sound"

# Line numbers of prompts, by their clips (additional clip a1 is 가람, a2 누리).
at() { grep -n -- "kind=prompt clips=$1 " "$dir/prompts.txt" | head -1 | cut -d: -f1; }
rest=$(at '23,36,a2,198,191,194,119')
[ -n "$rest" ] || fail "no announcement of 누리휴게소 with LPG and SK at 1 km"
[ "$(grep -c 'clips=[0-9]*,*36,a2,198' "$dir/prompts.txt")" = 1 ] || fail "the rest area was announced more than once"
# The exit, worked out by hand: 1 km (23), "에" (36), 가람 (a1), 나들목 (187), row 66 (54 185 68 70).
exit1=$(at '23,36,a1,187,54,185,68,70')
[ -n "$exit1" ] && [ "$exit1" -gt "$rest" ] || fail "no exit prompt naming 가람 after the rest area"
exit0=$(at '34,a1,187,54,185,68,70')
[ -n "$exit0" ] && [ "$exit0" -gt "$exit1" ] || fail "no close exit prompt"
# The last two turns, worked out by hand: close (34) with row 12's 74 and row 13's 75.
turn1=$(at '34,74')
turn2=$(at '34,75')
[ -n "$turn1" ] && [ "$turn1" -gt "$exit0" ] || fail "no close left turn after the exit"
[ -n "$turn2" ] && [ "$turn2" -gt "$turn1" ] || fail "no close right turn after the left turn"
# The right turn's prompts come in falling distance bands and end with 34.
bands=$(sed -n "$((turn1 + 1)),${turn2}p" "$dir/prompts.txt" | grep -E 'clips=[0-9]+,(37,)?75 ' |
  sed 's/.*clips=\([0-9]*\),.*/\1/' | tr '\n' ' ')
echo "$bands" | awk '{ for (i = 2; i < NF; i++) if ($i >= $(i - 1)) exit 1; if ($NF != 34 || NF < 3) exit 1 }' ||
  fail "right-turn bands do not fall to 34: $bands"
# Cameras: the limit (146 n 134) is said once per point, so never after a nearer band of the same point.
awk '/clips=[0-9]+,(37,)?82/ {
    split($0, a, "clips="); split(a[2], c, ","); r = c[1] == 34 ? 0 : c[1] == 16 ? 1 : c[1] == 18 ? 2 : c[1] == 20 ? 3 : 4
    limit = index($0, ",146,") > 0
    if (limit) said++
    if (limit && seen && r < prev) exit 1
    prev = r; seen = 1 }
  END { if (said < 2) exit 1 }' "$dir/prompts.txt" || fail "camera limits not said once per point"
# The destination: code 60 in distance bands, then 61 as 84 87 86, and nothing after it.
goal60=$(grep -n -E 'kind=prompt clips=[0-9]+,36,84,85 ' "$dir/prompts.txt" | head -1 | cut -d: -f1)
[ -n "$goal60" ] && [ "$goal60" -gt "$turn2" ] || fail "no destination prompt after the last turn"
last=$(wc -l < "$dir/prompts.txt")
[ "$(at '84,87,86')" = "$last" ] || fail "the drive does not end with the goal ahead (84 87 86)"
# No manoeuvre prompt is said twice for the same guide item.
awk '/^guide / { split($3, n, "="); next_item = n[2] }
  /^prompt .*kind=prompt/ && !/clips=[0-9]+,(37,)?82/ { k = next_item " " $4; if (k in seen) { print k; exit 1 } seen[k] = 1 }' \
  "$dir/match.txt" || fail "a prompt repeated for one guide item"
# Every prompt's clips were recovered and have a text.
if grep -q 'clips= \|text=""' "$dir/prompts.txt"; then fail "a sound whose clips were not recovered"; fi
# A drive without a route to follow is refused.
if "$match" --root "$dev" --guide "$dir/drive.nmea" > /dev/null 2>&1; then fail "--guide without --route"; fi
echo "velko-gpsmatch --guide checks passed"
