#!/bin/sh
# velko on copies of the sample device, headless: the start sound, the positions kept at quit, the
# SDL host's frame, the hand-over file, a restart where the last run left the map, a device
# without map data, one without its level file, one whose route data the header rejects and one
# without its area tables.
set -u
dev=$1
velko=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir"/out*/host.log "$dir"/out*/msgbox.log "$dir/err.txt" 2> /dev/null | head -30; exit 1; }
copy() { rm -rf "$dir/$1"; cp -r "$dev" "$dir/$1" || fail "copy the sample device"; }
# A stored 32-bit value as the object-store file writes it: eight hex digits, little-endian.
le32() { printf '%08x' "$1" | sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/'; }

cat > "$dir/start.script" << 'SCRIPT'
wait 500
# The start-up warning, closed with "확인".
tap 144 249
wait 200
snapshot start
quit
SCRIPT

# A first start: the start sound first, the default position stored at quit.
copy first
"$velko" --root "$dir/first" --headless "$dir/start.script" --out "$dir/out1" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] || fail "first start: exit 0 expected"
head -1 "$dir/out1/sounds.log" | cut -f2 | grep -q 'wave\\VelkoStart\.wav$' || fail "sounds.log does not begin with the start sound"
[ -f "$dir/out1/frames/start.png" ] || fail "no frame"
pilot1="$dir/first/objectstore/velko900%20pilot1.cedb"
# 203143, 531663, level 11, mode 1
for v in 203143 531663 11 1; do
  grep -q "^prop [0-9]* $(le32 $v)$" "$pilot1" || fail "Pilot1 lacks $v"
done
[ "$(grep -c '^record' "$pilot1")" = 1 ] || fail "Pilot1 holds more than one record"

# The SDL host under its offscreen driver runs the same start and writes a 240 x 320 frame. The GPS
# reader runs in real time beside the script, so its first reports (GPS icon, compass, status line)
# may reach one run's screen and not the other's: the two frames are not compared byte for byte.
# (SDL's own drivers keep a few allocations to the end, which the leak checker would report.)
copy sdl
SDL_VIDEODRIVER=offscreen ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" \
  "$velko" --root "$dir/sdl" --script "$dir/start.script" --out "$dir/outsdl" --no-audio --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] || fail "SDL start: exit 0 expected"
# The PNG header's width and height (bytes 16-23).
ihdr() { od -An -tx1 -j16 -N8 "$1" | tr -d ' \n'; }
[ "$(ihdr "$dir/outsdl/frames/start.png")" = "000000f000000140" ] || fail "the SDL frame is not 240 x 320"
[ "$(ihdr "$dir/out1/frames/start.png")" = "000000f000000140" ] || fail "the headless frame is not 240 x 320"

# A position handed over by another program: x times 1.2, level 10, the file deleted.
mkdir -p "$dir/first/windows"
printf '123456 654321' > "$dir/first/windows/Velko.wp"
"$velko" --root "$dir/first" --headless "$dir/start.script" --out "$dir/out2" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] || fail "hand-over start: exit 0 expected"
[ -e "$dir/first/windows/Velko.wp" ] && fail "the hand-over file is still there"
for v in 148147 654321 10; do
  grep -q "^prop [0-9]* $(le32 $v)$" "$pilot1" || fail "Pilot1 lacks $v after the hand-over"
done
[ "$(grep -c '^record' "$pilot1")" = 1 ] || fail "Pilot1 holds more than one record after the second run"

# A restart opens where the last run left the map: a stroke to the right zooms one level and a tap
# moves the map; the next run stores the same place and level back.
cat > "$dir/move.script" << 'SCRIPT'
wait 500
# The start-up warning, closed with "확인".
tap 144 249
wait 200
pen down 60 200
pen move 120 200
pen up 120 200
wait 200
tap 160 220
wait 200
quit
SCRIPT
values() { grep '^prop ' "$pilot1" | cut -d' ' -f3 | tr '\n' ' '; }
"$velko" --root "$dir/first" --headless "$dir/move.script" --out "$dir/out5" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] || fail "moving run: exit 0 expected"
moved=$(values)
[ "$moved" != "$(le32 148147) $(le32 654321) $(le32 10) $(le32 1) " ] || fail "the moves were not stored"
echo "$moved" | cut -d' ' -f3 | grep -qx "$(le32 10)" && fail "the stroke did not change the level"
"$velko" --root "$dir/first" --headless "$dir/start.script" --out "$dir/out6" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] || fail "restart: exit 0 expected"
[ "$(values)" = "$moved" ] || fail "the restart did not open where the last run ended: $moved -> $(values)"

# No map data on any card: string 164 and a non-zero exit.
copy nomap
mv "$dir/nomap/Storage Card/MapData" "$dir/nomap/Storage Card/Other"
printf 'answer ok\nquit\n' > "$dir/nomap.script"
"$velko" --root "$dir/nomap" --headless "$dir/nomap.script" --out "$dir/out3" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] && fail "no map data: a non-zero exit expected"
grep -q '벨코900 메모리카드를 삽입해 주십시오.' "$dir/out3/msgbox.log" || fail "no map data: string 164 not shown"

# A drawing file that cannot be read: string 214 and a non-zero exit.
copy nolevel
rm "$dir/nolevel/Storage Card/MapData/level.bin"
"$velko" --root "$dir/nolevel" --headless "$dir/nomap.script" --out "$dir/out4" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] && fail "no level.bin: a non-zero exit expected"
grep -q '지도 정보를 읽을 수 없습니다.' "$dir/out4/msgbox.log" || fail "no level.bin: string 214 not shown"

# Route data the data set's header rejects: string 216 and a non-zero exit.
copy nocross
rm "$dir/nocross/Storage Card/MapData/MRData/MRCross.bin"
"$velko" --root "$dir/nocross" --headless "$dir/nomap.script" --out "$dir/out7" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] && fail "no MRCross.bin: a non-zero exit expected"
grep -q '경로탐색 데이터가 없거나, 잘못 설치되었습니다.' "$dir/out7/msgbox.log" || fail "no MRCross.bin: string 216 not shown"

# Without the area tables the folder is named and the program runs on.
copy noarea
rm "$dir/noarea/Storage Card/MapData/SearchDB/Dong.bin"
printf 'answer ok\nwait 500\nsnapshot start\nquit\n' > "$dir/noarea.script"
"$velko" --root "$dir/noarea" --headless "$dir/noarea.script" --out "$dir/out8" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] || fail "no area tables: exit 0 expected"
grep -qF 'Storage Card\MapData\SearchDB\' "$dir/out8/msgbox.log" || fail "no area tables: the folder is not named"
[ -f "$dir/out8/frames/start.png" ] || fail "no area tables: no frame"

# Bad usage.
"$velko" --headless "$dir/start.script" > /dev/null 2>&1
[ $? = 2 ] || fail "--headless without --out: exit 2 expected"
echo "velko sample-device checks passed"
