#!/bin/sh
# velko-gpsmatch on the sample device as a user runs it: a route saved by velko-route, a drive
# synthesised along it by velko-gpssynth, and every fix matched while following that route.
set -u
dev=$1
route=$2
synth=$3
match=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir/err.txt" 2> /dev/null; exit 1; }
saved="$dev/My Documents/VelkoData/SaveRoute/matchcheckR.vkp"
"$route" --root "$dev" --net --from 45735368,13536388 --via 45763755,13508214 --to 45807691,13542865 \
  --save matchcheck > /dev/null 2>&1 || fail "velko-route --save"
cp "$saved" "$dir/r.vkp" && rm -f "$saved"
"$synth" --route "$dir/r.vkp" --speed 50 --noise 4 --seed 11 --out "$dir/drive.nmea" 2> /dev/null ||
  fail "velko-gpssynth"
fixes=$(grep -c '^\$GPRMC' "$dir/drive.nmea")

"$match" --root "$dev" --route "$dir/r.vkp" "$dir/drive.nmea" > "$dir/match.txt" 2> "$dir/err.txt"
[ $? = 0 ] || fail "velko-gpsmatch --route exited with an error"
[ "$(wc -l < "$dir/match.txt")" = "$fixes" ] || fail "one line per fix expected ($fixes)"
on=$(grep -c ' status=1 ' "$dir/match.txt")
[ $((on * 100)) -ge $((fixes * 95)) ] || fail "only $on of $fixes fixes on the road"
# A fix on the road lies on a link of the network: map and link are set.
grep ' status=1 ' "$dir/match.txt" | grep -q ' map=-1 \| link=-1 ' && fail "a fix on the road without its link"

# Without the route, the free matcher also puts the drive on the road.
"$match" --root "$dev" "$dir/drive.nmea" > "$dir/free.txt" 2> "$dir/err.txt" || fail "velko-gpsmatch without a route"
free=$(grep -c ' status=1 ' "$dir/free.txt")
[ $((free * 100)) -ge $((fixes * 90)) ] || fail "only $free of $fixes fixes on the road without the route"

# A device without map data: exit 2, the folders looked in named.
mkdir -p "$dir/empty"
"$match" --root "$dir/empty" "$dir/drive.nmea" > /dev/null 2> "$dir/err.txt"
[ $? = 2 ] || fail "no map data: exit 2 expected"
grep -q "$dir/empty/Storage Card/MapData, $dir/empty/MapData" "$dir/err.txt" || fail "the folders are not named"
# A log without a position record (empty, or bytes that are no receiver log) is still a log:
# "records=0" and exit 0, in both formats.
: > "$dir/empty.log"
i=0
while [ $i -lt 200 ]; do printf '\002\141\377\033\003garbage$GPRMC,\n'; i=$((i + 1)); done > "$dir/junk.log"
for log in empty junk; do
  for unit in "" --unit; do
    "$match" --root "$dev" $unit "$dir/$log.log" > "$dir/none.txt" 2> "$dir/err.txt"
    code=$?
    [ $code = 0 ] || fail "velko-gpsmatch $unit on the $log log: exit $code"
    [ "$(cat "$dir/none.txt")" = records=0 ] || fail "velko-gpsmatch $unit on the $log log: $(head -3 "$dir/none.txt")"
  done
done
echo "velko-gpsmatch sample-device checks passed: $on of $fixes fixes on the road"
