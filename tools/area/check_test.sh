#!/bin/sh
# velko-area on a freshly built sample device: the names of the program's default map position,
# points outside the sample's meshes, and the ten fuel stations nearest 가람시청.
set -eu
mkdevice=$1
area=$2
search=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sh "$(dirname "$0")/../mkdevice/testing/sample_device.sh" "$mkdevice" "$dir/root" > /dev/null
fail() { echo "FAIL: $*"; cat "$dir/out.txt"; exit 1; }

# The default map position (203143, 531663) lies in 시청동 of 가람시; (100, 100) and a point of a
# mesh without data answer nothing.
"$area" --root "$dir/root" 203143,531663 100,100 300000,400000 > "$dir/out.txt"
grep -qx 'x=203143 y=531663 found=1 gu=가람시 dong=시청동 answer=가람시 시청동' "$dir/out.txt" || fail "default position"
grep -qx 'x=100 y=100 found=0 gu= dong= answer=' "$dir/out.txt" || fail "outside the meshes"
grep -qx 'x=300000 y=400000 found=0 gu= dong= answer=' "$dir/out.txt" || fail "a mesh without data"
"$area" --root "$dir/root" --gu 203143,531663 > "$dir/out.txt"
grep -qx 'x=203143 y=531663 found=1 gu=가람시 dong= answer=가람시' "$dir/out.txt" || fail "district alone"

# 가람시청 stands at network (45763393, 13506433): ten fuel stations, nearest first, each at the
# position (point file x 1.2, y) of a fuel station of the name database, within 2 map units.
"$area" --root "$dir/root" --nearby 3 --at 45763393,13506433 > "$dir/out.txt"
grep -qx 'count=10' "$dir/out.txt" || fail "ten fuel stations"
grep '^hit=' "$dir/out.txt" | sed 's/.* distance=\([0-9]*\) .*/\1/' | sort -n -c || fail "distance order"
cp "$dir/out.txt" "$dir/near.txt"
"$search" --root "$dir/root" name 주유소 --expand > "$dir/out.txt"
grep '^hit=' "$dir/out.txt" | sed 's/.* x=\([0-9]*\) y=\([0-9]*\).*/\1 \2/' > "$dir/stations.txt"
[ "$(wc -l < "$dir/stations.txt")" -ge 14 ] || fail "fuel stations in the name database"
grep '^hit=' "$dir/near.txt" | sed 's/.* x=\([0-9]*\) y=\([0-9]*\)$/\1 \2/' | while read -r px py; do
  awk -v px="$px" -v py="$py" '{ dx = int(px * 1.2) - $1; dy = py - $2; if (dx < 0) dx = -dx; if (dy < 0) dy = -dy
       if (dx <= 2 && dy <= 2) found = 1 } END { exit !found }' "$dir/stations.txt" ||
    { cp "$dir/near.txt" "$dir/out.txt"; fail "no station of the name database at ($px, $py)"; }
done
if "$area" --root "$dir/root" --nearby 10 --at 45763393,13506433 > "$dir/out.txt" 2>&1; then fail "category 10 accepted"; fi
echo "velko-area checks passed"
