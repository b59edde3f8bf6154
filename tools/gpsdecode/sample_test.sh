#!/bin/sh
# velko-gpsdecode on logs synthesised along a route saved on the sample device: NMEA, the
# program's raw log with its "Start_Log" header, and the receiver unit's frames.
set -u
dev=$1
route=$2
synth=$3
decode=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
saved="$dev/My Documents/VelkoData/SaveRoute/decodecheckR.vkp"
"$route" --root "$dev" --net --from 45735368,13536388 --to 45807691,13542865 --save decodecheck \
  > /dev/null 2>&1 || fail "velko-route --save"
cp "$saved" "$dir/r.vkp" && rm -f "$saved"
"$synth" --route "$dir/r.vkp" --speed 60 --seed 3 --no-datum-shift --out "$dir/drive.nmea" 2> /dev/null ||
  fail "synthesis"
"$synth" --route "$dir/r.vkp" --speed 60 --seed 3 --no-datum-shift --unit --out "$dir/drive.unit" 2> /dev/null ||
  fail "unit synthesis"

"$decode" --no-datum-shift "$dir/drive.nmea" > "$dir/nmea.txt" || fail "decoding NMEA"
n=$(wc -l < "$dir/nmea.txt")
[ "$n" -gt 100 ] || fail "only $n records"
[ "$n" = "$(grep -c '^\$GPRMC' "$dir/drive.nmea")" ] || fail "one record per second expected"
# Start 45735368,13536388 in 1/100 arc-seconds is 127.0426889 E, 37.6010778 N; the drive begins
# on the road nearest it, within 100 m. Every record is a valid fix of 60.0 km/h or slower.
head -1 "$dir/nmea.txt" | awk '{
  for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
  dx = (v["lon"] - 127.0426889) * 88000; dy = (v["lat"] - 37.6010778) * 111000
  exit !(dx * dx + dy * dy < 100 * 100 && v["status"] == "A") }' || fail "first record: $(head -1 "$dir/nmea.txt")"
awk '{ split($6, s, "="); if (s[2] > 60.0) exit 1 }' "$dir/nmea.txt" || fail "a speed above 60 km/h"

# The program's own raw log: the header is skipped, the records are the same.
printf 'Start_Log\000' > "$dir/raw.log"
cat "$dir/drive.nmea" >> "$dir/raw.log"
"$decode" --no-datum-shift "$dir/raw.log" > "$dir/raw.txt" || fail "decoding the raw log"
cmp -s "$dir/nmea.txt" "$dir/raw.txt" || fail "the raw log decodes differently"

# The receiver unit's frames of the same drive decode too.
"$decode" --unit --no-datum-shift "$dir/drive.unit" > "$dir/unit.txt" || fail "decoding frames"
[ "$(wc -l < "$dir/unit.txt")" -gt 100 ] || fail "too few records from frames"
# With the datum shift (the default) the positions move, by some hundreds of metres in Korea.
"$decode" "$dir/drive.nmea" > "$dir/shifted.txt" || fail "decoding with the datum shift"
[ "$(wc -l < "$dir/shifted.txt")" = "$n" ] || fail "the datum shift changed the record count"
# A log without a position record (empty, or bytes that are no receiver log) is still a log:
# "records=0" and exit 0, in both formats.
: > "$dir/empty.log"
i=0
while [ $i -lt 200 ]; do printf '\002\141\377\033\003garbage$GPRMC,\n'; i=$((i + 1)); done > "$dir/junk.log"
for log in empty junk; do
  for unit in "" --unit; do
    "$decode" $unit "$dir/$log.log" > "$dir/none.txt" 2> "$dir/err.txt"
    code=$?
    [ $code = 0 ] || fail "velko-gpsdecode $unit on the $log log: exit $code"
    [ "$(cat "$dir/none.txt")" = records=0 ] || fail "velko-gpsdecode $unit on the $log log: $(head -3 "$dir/none.txt")"
  done
done
echo "velko-gpsdecode sample-device checks passed"
