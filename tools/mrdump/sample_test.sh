#!/bin/sh
# velko-mrdump on the sample device: the network found as the device finds it, and damaged map
# boxes (extreme coordinates) reported as problems without any arithmetic fault.
set -u
dev=$1
mrdump=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir/out.txt" "$dir/err.txt" 2> /dev/null | head -40; exit 1; }

"$mrdump" --check --root "$dev" > "$dir/out.txt" 2> "$dir/err.txt" || fail "the sample network is not coherent"
grep -q "^map data $dev/Storage Card/MapData$" "$dir/out.txt" || fail "the map data folder is not named"
grep -q '^9 maps' "$dir/out.txt" || fail "nine maps expected"
grep -q 'network is coherent' "$dir/out.txt" || fail "no verdict"
"$mrdump" --root "$dev" > "$dir/out.txt" 2> "$dir/err.txt" || fail "listing"
grep -q '^map 0: box ' "$dir/out.txt" || fail "listing without map boxes"

mkdir -p "$dir/empty"
"$mrdump" --check --root "$dir/empty" > "$dir/out.txt" 2> "$dir/err.txt"
[ $? = 2 ] || fail "no map data: exit 2 expected"
grep -q "$dir/empty/Storage Card/MapData, $dir/empty/MapData" "$dir/err.txt" || fail "the folders are not named"

# Map 0's box (bytes 24-39 of its record at 488 in MRManage.bin): west, south, east, north set to
# the 32-bit extremes in turn. Each gives problems (exit 1), never a fault.
mkdir -p "$dir/damaged"
cp -r "$dev/Storage Card/MapData/MRData" "$dir/damaged/"
manage="$dir/damaged/MRData/MRManage.bin"
cp "$manage" "$dir/manage.orig"
for damage in "24 \000\000\000\200" "32 \377\377\377\177" "28 \000\000\000\200" "36 \377\377\377\177" \
              "24 \377\377\377\177" "32 \000\000\000\200"; do
  cp "$dir/manage.orig" "$manage"
  offset=${damage%% *}
  bytes=${damage#* }
  # shellcheck disable=SC2059
  printf "$bytes" | dd of="$manage" bs=1 seek=$((488 + offset)) conv=notrunc 2> /dev/null
  "$mrdump" --check "$dir/damaged" > "$dir/out.txt" 2> "$dir/err.txt"
  code=$?
  [ $code = 1 ] || fail "damage at $offset: exit $code, 1 expected"
  grep -q 'runtime error' "$dir/err.txt" && fail "damage at $offset: arithmetic fault"
  grep -q '^ERROR: map 0: box' "$dir/out.txt" || fail "damage at $offset: the box is not named"
  "$mrdump" "$dir/damaged" > "$dir/out.txt" 2> "$dir/err.txt"
  [ $? -le 1 ] || fail "damage at $offset: the listing failed"
done
echo "velko-mrdump sample-device checks passed"
