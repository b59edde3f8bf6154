#!/bin/sh
# velko-gpssynth on a route saved by velko-route on the sample device, and on a saved route with
# one damaged point, which is refused at once instead of driving off the map for days.
set -u
dev=$1
route=$2
synth=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir/err.txt" 2> /dev/null; exit 1; }
saved="$dev/My Documents/VelkoData/SaveRoute/synthcheckR.vkp"
"$route" --root "$dev" --net --from 45735368,13536388 --to 45762670,13505493 --save synthcheck \
  > "$dir/plan.txt" 2> /dev/null || fail "velko-route --save"
cp "$saved" "$dir/r.vkp" && rm -f "$saved"
length=$(head -1 "$dir/plan.txt" | sed 's/.* length=\([0-9]*\).*/\1/')

"$synth" --route "$dir/r.vkp" --speed 72 --seed 1 --out "$dir/drive.nmea" 2> "$dir/err.txt" || fail "synthesis"
# 72 km/h is 20 m a second: one epoch a second along the route's line, which is the route's
# length within a few per cent (the ends are the points on the road nearest start and goal).
epochs=$(sed -n 's/.*: \([0-9]*\) epochs,.*/\1/p' "$dir/err.txt")
[ -n "$epochs" ] || fail "no epoch count"
slack=$((length / 20 + 40))
[ $((epochs * 20)) -ge $((length - slack)) ] && [ $((epochs * 20)) -le $((length + slack)) ] ||
  fail "$epochs epochs for $length m"
[ "$(grep -c '^\$GPGGA' "$dir/drive.nmea")" = "$epochs" ] || fail "one GGA per epoch"
[ "$(grep -c '^\$GPRMC' "$dir/drive.nmea")" = "$epochs" ] || fail "one RMC per epoch"

# The route file: 208-byte header, then 18 header values; the points follow the item runs (8
# bytes each), the items (32) and the point runs (8). Damage the x of the second point.
word() { od -A n -t d4 -j "$1" -N 4 "$dir/r.vkp" | tr -d ' '; }
runs=$(word $((208 + 20))); items=$(word $((208 + 28))); pruns=$(word $((208 + 36))); points=$(word $((208 + 44)))
[ "$points" -gt 2 ] || fail "fewer than three points in the route file"
at=$((208 + 72 + runs * 8 + items * 32 + pruns * 8 + 8))
x=$(word $at)
[ "$x" -gt 0 ] && [ "$x" -le 575999 ] || fail "offset $at does not hold a point's x ($x)"
cp "$dir/r.vkp" "$dir/bad.vkp"
printf '\377\377\377\177' | dd of="$dir/bad.vkp" bs=1 seek=$at conv=notrunc 2> /dev/null
timeout 60 "$synth" --route "$dir/bad.vkp" --out "$dir/bad.nmea" 2> "$dir/err.txt"
[ $? = 2 ] || fail "a damaged route point: exit 2 expected"
grep -q 'off the map' "$dir/err.txt" || fail "the damaged point is not named"
[ -e "$dir/bad.nmea" ] && fail "a log was written from a damaged route"
echo "velko-gpssynth sample-device checks passed"
