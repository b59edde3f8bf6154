#!/bin/sh
# Builds the sample device and the fixtures, checks each network with velko-mrdump --check,
# then damages a copy of the sample network and expects the check to fail.
set -u
MKDEVICE=$1
MRDUMP=$2
WORK=$(mktemp -d "${TMPDIR:-/tmp}/velko-mrdump-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$MKDEVICE" --out "$WORK/sample" --quiet || fail "velko-mkdevice"
OUT=$("$MRDUMP" --check "$WORK/sample/Storage Card/MapData") || { echo "$OUT"; fail "the sample network is not coherent"; }
echo "$OUT"
echo "$OUT" | grep -q "^9 maps" || fail "nine maps expected"
echo "$OUT" | grep -q "가람회전교차로" || fail "Korean junction names expected"
echo "$OUT" | grep -q "누리고속도로" || fail "Korean road names expected"
echo "$OUT" | grep -q "network is coherent" || fail "no verdict"
for f in tiny border grid3x3; do
    "$MKDEVICE" --out "$WORK/$f" --network "fixture:$f" --quiet || fail "fixture $f"
    "$MRDUMP" --check "$WORK/$f/Storage Card/MapData" >/dev/null || fail "fixture $f is not coherent"
done

# A listing names the attributes.
"$MRDUMP" "$WORK/sample/Storage Card/MapData" | grep -q "roundabout" || fail "listing without roundabout links"

# Damage: the length of the first link (bytes 8-9 of MRLink.bin).
cp -r "$WORK/sample" "$WORK/damaged"
printf '\377\177' | dd of="$WORK/damaged/Storage Card/MapData/MRData/MRLink.bin" bs=1 seek=8 conv=notrunc 2>/dev/null
OUT=$("$MRDUMP" --check "$WORK/damaged/Storage Card/MapData") && fail "a wrong link length passed the check"
echo "$OUT" | grep -q "length" || fail "the wrong length is not named"

# Damage: MRManage.bin cut short.
head -c 300 "$WORK/sample/Storage Card/MapData/MRData/MRManage.bin" > "$WORK/damaged/Storage Card/MapData/MRData/MRManage.bin"
"$MRDUMP" --check "$WORK/damaged/Storage Card/MapData" >/dev/null && fail "a truncated directory passed the check"
echo "all checks passed"
