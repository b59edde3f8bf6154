#!/bin/sh
# velko-route on a freshly built sample device: a route across the region with two waypoints,
# its saved file printed back with --dump, and a request that cannot succeed.
set -eu
mkdevice=$1
route=$2
synth=${3:-}
decode=${4:-}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sh "$(dirname "$0")/../mkdevice/testing/sample_device.sh" "$mkdevice" "$dir/root" > /dev/null
"$route" --root "$dir/root" --net --from 45735368,13536388 --via 45763755,13508214 \
  --via 45781474,13509671 --to 45807691,13542865 --save trip > "$dir/plan.txt" 2> /dev/null
fail() { echo "FAIL: $*"; cat "$dir/plan.txt"; exit 1; }
head -1 "$dir/plan.txt" | grep -q '^result=0 length=[1-9][0-9]* time=[1-9]' || fail "summary line"
tail -1 "$dir/plan.txt" | grep -q '^search_ms=' || fail "search time line"
total=$(head -1 "$dir/plan.txt" | sed 's/.* length=\([0-9]*\).*/\1/')
first=$(grep '^item i=0 ' "$dir/plan.txt" | sed 's/.* remain=\([0-9]*\).*/\1/')
[ "$first" = "$total" ] || fail "first remaining distance $first is not the total $total"
grep '^item ' "$dir/plan.txt" | sed 's/.* remain=\([0-9]*\).*/\1/' | sort -n -r -c 2> /dev/null ||
  fail "remaining distances do not fall"
[ "$(grep -c '^item .* kind=2 ' "$dir/plan.txt")" = 2 ] || fail "two waypoint items"
grep '^item ' "$dir/plan.txt" | tail -1 | grep -q ' kind=3 ' || fail "goal item of kind 3"
grep -q '^guide .* code=60$' "$dir/plan.txt" || fail "goal guide code 60"
grep -Eq '^guide .* code=(4[6-9]|5[0-7])$' "$dir/plan.txt" || fail "roundabout exit code"
grep -q 'name=가람역사거리$' "$dir/plan.txt" || fail "Korean crossing name"
"$route" --dump "$dir/root/My Documents/VelkoData/SaveRoute/tripR.vkp" > "$dir/dump.txt"
grep -v '^search_ms=' "$dir/plan.txt" | grep -E '^(item|guide|facility) ' > "$dir/a.txt"
grep -E '^(item|guide|facility) ' "$dir/dump.txt" > "$dir/b.txt"
cmp -s "$dir/a.txt" "$dir/b.txt" || fail "--dump differs from the plan"
# The saved route drives a synthesised receiver log that starts at the route's start.
if [ -n "$synth" ]; then
  "$synth" --route "$dir/root/My Documents/VelkoData/SaveRoute/tripR.vkp" --speed 60 --seed 3 \
    --out "$dir/trip.nmea" 2> /dev/null || fail "velko-gpssynth --route"
  "$decode" "$dir/trip.nmea" > "$dir/fixes.txt" || fail "velko-gpsdecode"
  [ "$(wc -l < "$dir/fixes.txt")" -gt 100 ] || fail "too few fixes from the saved route"
  # Start 45735368,13536388 in 1/100 arc-seconds is 127.04269 E, 37.60108 N.
  head -1 "$dir/fixes.txt" | awk '{
    for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
    dx = v["lon"] - 127.04269; dy = v["lat"] - 37.60108
    exit !(dx * dx + dy * dy < 0.005 * 0.005) }' || fail "the synthesised log does not start at the route start"
  head -c 100 /dev/zero > "$dir/zero.vkp"
  if "$synth" --route "$dir/zero.vkp" --out "$dir/x.nmea" 2> /dev/null; then fail "synth took a bad route"; fi
fi
# A goal far from every road cannot be planned: non-zero exit.
if "$route" --root "$dir/root" --net --from 45735368,13536388 --to 45000001,11910001 > /dev/null 2>&1; then
  fail "a failing request exited with 0"
fi
# A file that is not a route is refused.
head -c 100 /dev/zero > "$dir/zero.vkp"
if "$route" --dump "$dir/zero.vkp" > /dev/null 2>&1; then fail "a bad file was printed"; fi
# A refused value is named on a line before the usage text (exit 2).
for args in "--traffic 1=abc" "--traffic 70000=5" "--kind 9" "--kind 2x" "--from 1;2"; do
  set +e
  # shellcheck disable=SC2086
  "$route" --root "$dir/root" --net --from 45735368,13536388 --to 45807691,13542865 $args > /dev/null 2> "$dir/err.txt"
  code=$?
  set -e
  [ $code -eq 2 ] || fail "exit code 2 for: $args"
  head -1 "$dir/err.txt" | grep -q -- "^velko-route: $args: " || fail "the value is not named: $args"
done
echo "velko-route checks passed"
