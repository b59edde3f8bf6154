#!/bin/sh
# The saved routes velko-mkdevice writes into the sample device's user data, read as a user
# reads them: the car route planned onto 누리고속도로 through a waypoint (dumped by velko-route),
# the earlier-format file and the text file that only carries the extension. They lie where the
# navigator saves and lists routes: as "<name>R.vkp" in the storage folder in use, which the
# device's settings name (velko-config's item "현재저장위치"), not in a folder of their own.
set -u
dev=$1
route=$2
config=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/out.txt" ] && cat "$dir/out.txt"; exit 1; }
"$config" --root "$dev" > "$dir/out.txt" 2>&1 || fail "velko-config cannot read the device"
folder=$(sed -n 's/^path\.현재저장위치=//p' "$dir/out.txt")
[ "$folder" = 'Storage Card\VelkoData' ] || fail "the storage folder in use is '$folder', not the card's"
saved="$dev/$(printf '%s' "$folder" | tr '\\' /)"
[ -e "$saved/SaveRoute" ] && fail "a SaveRoute folder, which the navigator never lists"

for f in "가람-나루R.vkp" "이전경로R.vkp" "메모R.vkp"; do
  [ -f "$saved/$f" ] || fail "no $f"
done
[ "$(od -An -tx1 -N1 "$saved/이전경로R.vkp" | tr -d ' ')" = aa ] || fail "the earlier-format file does not start with 0xAA"
[ "$(od -An -tx1 -N1 "$saved/가람-나루R.vkp" | tr -d ' ')" = 0f ] || fail "the car route does not start with 0x0F"
grep -q '누리고속도로' "$saved/메모R.vkp" || fail "the memo is no text"

"$route" --dump "$saved/가람-나루R.vkp" > "$dir/out.txt" 2>&1 || fail "velko-route cannot read the saved route"
head -1 "$dir/out.txt" | grep -q '^result=0 length=[1-9][0-9]* time=[1-9][0-9]* highway=1 ' || fail "no highway route"
grep -q '^item .* kind=2 ' "$dir/out.txt" || fail "no waypoint item"
grep -q '^item .* name=가람IC$' "$dir/out.txt" || fail "the route does not pass 가람IC"
grep -q '^guide .* code=9$' "$dir/out.txt" || fail "no highway entry guide code"
exit 0
