#!/bin/sh
# velko-mdcdump on the sample device: a layer named inside the device's map data folder.
set -u
dev=$1
mdcdump=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; head -20 "$dir/out.txt" "$dir/err.txt" 2> /dev/null; exit 1; }
"$mdcdump" --root "$dev" MAP/TOWN.MDC > "$dir/out.txt" 2> "$dir/err.txt" || fail "TOWN.MDC on the sample device"
grep -q '^file TOWN.MDC$' "$dir/out.txt" || fail "file line"
grep -q '"가람시"' "$dir/out.txt" || fail "town names"
"$mdcdump" --root "$dev" POINT/newGuidePoint.MDC --max 3 > "$dir/out.txt" 2> "$dir/err.txt" || fail "guide points"
[ "$(grep -c 'guide point: direction' "$dir/out.txt")" = 3 ] || fail "--max 3 guide points"
# The same file named by its host path prints the same.
"$mdcdump" "$dev/Storage Card/MapData/MAP/TOWN.MDC" > "$dir/a.txt" 2> /dev/null || fail "host path"
"$mdcdump" --root "$dev" map/town.mdc > "$dir/b.txt" 2> /dev/null || fail "names ignoring case"
cmp -s "$dir/a.txt" "$dir/b.txt" || fail "--root and the host path differ"
"$mdcdump" --root "$dev" MAP/NOSUCH.MDC > /dev/null 2> "$dir/err.txt"
[ $? = 2 ] || fail "a missing layer: exit 2 expected"
mkdir -p "$dir/empty"
"$mdcdump" --root "$dir/empty" MAP/TOWN.MDC > /dev/null 2> "$dir/err.txt"
[ $? = 2 ] || fail "no map data: exit 2 expected"
grep -q "$dir/empty/Storage Card/MapData" "$dir/err.txt" || fail "the folders are not named"
echo "velko-mdcdump sample-device checks passed"
