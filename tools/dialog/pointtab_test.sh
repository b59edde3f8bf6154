#!/bin/sh
# velko-dialog with the registered-point tab on the sample device: the folders and the points of
# "기본" with their location codes, a point chosen for the map (its position as the point file
# stores it) and the points of the folder "출장".
set -u
dev=$(cd "$1" && pwd)
tool=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/out.txt" ] && cat "$dir/out.txt" "$dir/err.txt"; exit 1; }
has() { grep -qxF -- "$1" "$dir/out.txt" || fail "$2: no line '$1'"; }
run() {
  rm -rf "$dir/frames"
  printf '%b' "$1" > "$dir/run.script"
  "$tool" --root "$dev" --dialog pointtab --script "$dir/run.script" --frames "$dir/frames" \
    > "$dir/out.txt" 2> "$dir/err.txt"
  code=$?
  [ $code = 0 ] || fail "exit $code"
}
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }

# Opened and closed: the two folders, the three points of "기본", each with a code ###-###-####.
run "wait 100\nsnapshot open\nkey ESCAPE\n"
has result=3 "closed"
has folders=2 "two folders"
has folder.0=기본 "기본 first"
has folder.1=출장 "then 출장"
has points=3 "three points in 기본"
has chosen=0 "nothing chosen"
for name in 집 가람시청 가람역; do
  grep -qE "^point\.[0-9]=$name	[0-9]{3}-[0-9]{3}-[0-9]{4}\$" "$dir/out.txt" || fail "row of $name with its code"
done
[ -s "$dir/frames/frames/open.png" ] || fail "frame of the open tab"

# "가람시청" (the second record of "position") tapped, then "위치보기": shown on the map at the
# position the file holds (x and y after the 4-byte count, one 30-byte record and the 20-byte name).
run "wait 100\ntap 110 102\ntap 120 268\n"
has result=1 "위치보기"
has chosen.name=가람시청 "the tapped point"
f="$dev/Storage Card/VelkoData/position"
has "chosen.x=$(u32 "$f" 54)" "x as stored"
has "chosen.y=$(u32 "$f" 58)" "y as stored"

# The folder "출장" tapped: its two points.
run "wait 100\ntap 30 102\nkey ESCAPE\n"
has folder=출장 "출장 current"
has points=2 "two points in 출장"
grep -qE "^point\.0=나루역	" "$dir/out.txt" || fail "나루역 first"
grep -qE "^point\.1=동문시장	" "$dir/out.txt" || fail "동문시장 second"
echo "pointtab ok"
