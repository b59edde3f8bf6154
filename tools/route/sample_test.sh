#!/bin/sh
# velko-route on the sample device as a user runs it: the map data found on the storage card
# (also on a card that device.ini names), a clear error naming the folders looked in when there
# is none, and points off the map refused instead of wrapped.
set -u
dev=$1
route=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/out.txt" ] && cat "$dir/out.txt" "$dir/err.txt"; exit 1; }
run() { "$@" > "$dir/out.txt" 2> "$dir/err.txt"; }

run "$route" --root "$dev" --net --from 45735368,13536388 --to 45807691,13542865
[ $? = 0 ] || fail "plan on the sample device"
head -1 "$dir/out.txt" | grep -q '^result=0 length=[1-9][0-9]* time=[1-9]' || fail "summary line"

# Routes that once failed: a goal just past the first junction, a goal on the start's own link,
# and a goal that can only be reached by coming back through the start's node.
for pair in "45737177,13536388" "45735600,13536388"; do
  run "$route" --root "$dev" --net --from 45735368,13536388 --to "$pair"
  [ $? = 0 ] || fail "to $pair: exit 0 expected"
  head -1 "$dir/out.txt" | grep -q '^result=0 length=[1-9]' || fail "to $pair: no route"
  grep '^item ' "$dir/out.txt" | tail -1 | grep -q ' kind=3 ' || fail "to $pair: the last item is no goal"
done
run "$route" --root "$dev" --net --from 45722372,13497986 --to 45730848,13496004
head -1 "$dir/out.txt" | grep -q '^result=0 length=[1-9]' || fail "back through the start's node: no route"

# The same card under another name that device.ini names, beside an empty default card folder.
mkdir -p "$dir/alt/Storage Card"
ln -s "$dev/Storage Card" "$dir/alt/SD Card"
printf 'card=Storage Card\ncard=SD Card\n' > "$dir/alt/device.ini"
run "$route" --root "$dir/alt" --net --from 45735368,13536388 --to 45807691,13542865
[ $? = 0 ] || fail "plan with the card named in device.ini"
head -1 "$dir/out.txt" | grep -q '^result=0 ' || fail "summary line with the named card"

# No map data: exit 2, and every folder looked in is named.
mkdir -p "$dir/empty"
printf 'card=SD Card\ncard=CF Card\n' > "$dir/empty/device.ini"
run "$route" --root "$dir/empty" --net --from 45735368,13536388 --to 45807691,13542865
[ $? = 2 ] || fail "no map data: exit 2 expected"
grep -q "$dir/empty/SD Card/MapData, $dir/empty/CF Card/MapData, $dir/empty/MapData" "$dir/err.txt" ||
  fail "the folders looked in are not named"

# Points off the map: exit 2 and the option named, never a route from a wrapped coordinate.
for bad in "--net --from 4340702664,13536388 --to 45807691,13542865" \
           "--net --from 45735368,13536388 --to 45807691,99999999" \
           "--net --from 45735368,13536388 --via -45735368,13536388 --to 45807691,13542865" \
           "--from 196098,-1 --to 200000,545000" \
           "--from 196098,542129 --to 576000,545000"; do
  # shellcheck disable=SC2086
  run "$route" --root "$dev" $bad
  [ $? = 2 ] || fail "$bad: exit 2 expected"
  grep -q 'lies off the map' "$dir/err.txt" || fail "$bad: no message"
  [ -s "$dir/out.txt" ] && fail "$bad: printed a result"
done
echo "velko-route sample-device checks passed"
