#!/bin/sh
# velko-search on a freshly built sample device: every command once, with values worked out by hand.
set -eu
mkdevice=$1
search=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$mkdevice" --out "$dir/root" > /dev/null
run() { "$search" --root "$dir/root" "$@" > "$dir/out.txt"; }
fail() { echo "FAIL: $*"; cat "$dir/out.txt"; exit 1; }

run versions
for kind in address:ADDR name:NAME admin:ADMIN poi:POI; do
  grep -qx "${kind%%:*}=3 1 0 ${kind#*:} 20261210" "$dir/out.txt" || fail "version of ${kind%%:*}"
done

# Prefix search: exactly the names that begin with 가람시; 가람시청 stands at 12.0 km east and
# 11.25 km north of the region's corner (45720000, 13470000): network (45763393, 13506433),
# map (203570, 532144), sheet 6733 (column 16, row 53) at offsets (11570, 2144).
run name 가람시
grep -q '^query=가람시 mode=prefix code=2 count=4$' "$dir/out.txt" || fail "count of 가람시"
[ "$(grep -c '^hit=[0-9]* name=가람시' "$dir/out.txt")" = 4 ] || fail "hits of 가람시"
grep -q '^hit=[0-9]* name=가람시청 region=한남 가람시 code=6733 dx=11570 dy=2144 x=203570 y=532144 ' "$dir/out.txt" ||
  fail "position of 가람시청"
run name 똠
grep -q '^hit=0 name=똠양꿍식당 ' "$dir/out.txt" || fail "a name outside KS X 1001"
run name LG주
grep -q '^hit=0 name=LG주유소 ' "$dir/out.txt" || fail "Latin letters then Hangul"
run name ㄱㄹ
grep -q '^query=ㄱㄹ mode=prefix code=0 count=0$' "$dir/out.txt" || fail "bare consonants are refused"
run name 없는이름
grep -q 'code=-1 count=0$' "$dir/out.txt" || fail "nothing found"
run name "가람 병원" --expand
grep -q '^hit=0 name=가람[^ ]*병원 ' "$dir/out.txt" || fail "both words rank first"

# Address: two provinces; a six-digit parcel number offers the last two ordinary parcels.
run address
grep -q '^level=0 count=2$' "$dir/out.txt" || fail "provinces"
grep -q '^item=1 name=누리광역시 ' "$dir/out.txt" || fail "second province"
run address --path 0,0,1 --lot 123456
grep -q '^selected=시청동 level=2 type=3 ' "$dir/out.txt" || fail "neighbourhood"
grep -q '^lot=123456 result=1 near=2$' "$dir/out.txt" || fail "near parcels"
grep -q '^near=1 lot=[0-9-]* detail=시청동 [0-9-]*번지 ' "$dir/out.txt" || fail "parcel detail text"
run address --path 0,0,0 --lot 산1
grep -q '^near=0 lot=산 1 detail=향교동 산 1번지 ' "$dir/out.txt" || fail "mountain parcel"

# Category: the stations of 가람선 in line order.
run category --path 4,3,0,0 --find 가람
grep -q '^facilities=6$' "$dir/out.txt" || fail "station count"
grep -q '^facility=0 name=서문역 ' "$dir/out.txt" || fail "first station"
grep -q '^facility=5 name=회전교차로역 ' "$dir/out.txt" || fail "last station"
grep -q '^find=가람 index=3$' "$dir/out.txt" || fail "find by the start of the name"
run category --path 4,3,0
grep -q '^item=0 name=가람선$' "$dir/out.txt" || fail "the line at level 3"

# Details: the park's 3,000-byte introduction is cut to 2,048 bytes ending in dots.
run name 가람호수공원
poi=$(sed -n 's/^hit=0 .* poi=\([0-9]*\)$/\1/p' "$dir/out.txt")
[ -n "$poi" ] || fail "park's detail number"
run poi "$poi"
grep -q '^poi=[0-9]* found=1 name=가람호수공원 ' "$dir/out.txt" || fail "park details"
grep '^item=.* label=소개 ' "$dir/out.txt" | grep -q '\.\.$' || fail "long introduction cut with dots"
if run poi 100000; then fail "a number past the records was read"; fi

# Themes: two, sorted by path; by distance from 가람시청 (network / 10) the list rises.
run theme
grep -q '^themes=2$' "$dir/out.txt" || fail "theme count"
grep -q '^theme=0 title=가람 명소 ' "$dir/out.txt" || fail "first theme"
run theme --theme 0 --mode 2 --value 0 --at 4576339,1350643
grep -q '^theme=0 mode=2 value=0 found=1 count=10 ' "$dir/out.txt" || fail "all places by distance"
grep '^place=' "$dir/out.txt" | sed 's/.* text=\([0-9.]*\)Km .*/\1/' | sort -n -c || fail "distance order"
grep -q '^place=0 name=가람시청 text=0.00Km ' "$dir/out.txt" || fail "the nearest place"
run theme --theme 1 --mode 1 --value 2
grep -q '^place=0 name=바람손칼국수 text=누리시 바람군 ' "$dir/out.txt" || fail "by region"

# The detail screen of point of interest 1 (가람시청) through the facade in the headless host.
# Bottom row y 256-283: "<< 이전" x 13-81, "위치보기" 86-154, "바로탐색" 159-227; "현위치" top right.
ui() { script=$1; shift; printf "$script" > "$dir/ui.script"; rm -rf "$dir/frames"
       "$search" --root "$dir/root" --ui "$@" --script "$dir/ui.script" --frames "$dir/frames" > "$dir/out.txt"; }
ui 'wait 300\nsnapshot poi\ntap 120 269\nwait 100\n' poi 1 --point-type 2
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'point_type=2' "$dir/out.txt" && grep -qx 'route_directly=0' "$dir/out.txt" ||
  fail "위치보기 takes the point"
[ -s "$dir/frames/frames/poi.png" ] || fail "the detail screen's frame"
ui 'tap 190 269\nwait 100\n' poi 1 --point-type 2
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'route_directly=1' "$dir/out.txt" || fail "바로탐색 to a destination"
# A waypoint without a destination: the notice, the screen stays; "<< 이전" then closes it.
ui 'answer ok\ntap 190 269\ntap 40 269\nwait 100\n' poi 1 --point-type 3
grep -qx 'result=2' "$dir/out.txt" || fail "바로탐색 refused, then back"
grep -q '목적지를 먼저 설정하신 후 바로탐색을 실행하십시오.	3001	4001' "$dir/frames/msgbox.log" || fail "notice 21"
ui 'tap 215 18\nwait 100\n' poi 1 --point-type 2
grep -qx 'result=3' "$dir/out.txt" || fail "현위치"
# Index 0: no screen, no file opened.
ui 'wait 10\n' poi 0
grep -qx 'result=3' "$dir/out.txt" || fail "index 0"
[ ! -e "$dir/frames/msgbox.log" ] || [ ! -s "$dir/frames/msgbox.log" ] || fail "index 0 showed a message"

# The name search: typed syllable by syllable (a bare consonant keeps the list of 가람), the list
# of the four names that begin with 가람시 in byte order: 가람시립도서관, 가람시의회,
# 가람시종합사회복지관, 가람시청. Rows from y 88, 18 high; 상세정보 x 13-81 in the bottom row.
type='wait 300\ntext "가"\nwait 100\ntext "람"\nwait 100\ntext "ㅅ"\nwait 100\nkey BACK\ntext "시"\nwait 100\n'
ui "${type}snapshot name\ntap 60 149\nwait 100\ntap 120 269\nwait 100\n" name --point-type 2
for line in result=1 query=가람시 name=가람시청 row=3 map_level=8 code=6733 dx=11570 dy=2144 point_type=2 route_directly=0; do
  grep -qx "$line" "$dir/out.txt" || fail "name search: $line"
done
[ -s "$dir/frames/frames/name.png" ] || fail "the name screen's frame"
# Its details (point of interest 1), then 위치보기 there closes both screens with the point type.
ui "${type}tap 60 149\nwait 100\ntap 47 269\nwait 300\ntap 120 269\nwait 100\n" name --point-type 2
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'name=가람시청' "$dir/out.txt" || fail "위치보기 from the details"
# 바로탐색 and 상세정보 without a selection, 확장 without text: notices; then 현위치 and 이전.
ui 'answer ok\nanswer ok\nanswer ok\ntap 190 269\ntap 47 269\ntap 121 45\ntap 215 18\nwait 100\n' name
grep -qx 'result=3' "$dir/out.txt" || fail "현위치 from the name search"
[ "$(grep -c '선택한 시설물이 없습니다. 시설물을 선택하십시오	3001' "$dir/frames/msgbox.log")" = 2 ] || fail "no selection notices"
grep -q '검색 문자열을 먼저 입력하여 주십시오.	3001' "$dir/frames/msgbox.log" || fail "확장 without text"
ui 'tap 175 18\nwait 100\n' name
grep -qx 'result=2' "$dir/out.txt" || fail "이전 from the name search"
# Without the name database nothing is shown and the record stays as it was.
"$search" --root "$dir/root" --data '\Nowhere' --ui name --script "$dir/ui.script" --frames "$dir/frames" > "$dir/out.txt"
grep -qx 'result=0' "$dir/out.txt" && grep -qx 'row=-1' "$dir/out.txt" || fail "no name database"
# A point number beyond the integers is refused, not wrapped into another point.
code=0
"$search" --root "$dir/root" --ui poi 99999999999 --script "$dir/ui.script" --frames "$dir/frames" > /dev/null 2>&1 ||
  code=$?
[ $code = 2 ] || fail "a huge point number is not refused"

# The same typing in an SDL window (offscreen driver) gives the same frames as the headless host;
# SDL's own drivers keep allocations at exit, so leak checking is off for that run.
ui "${type}snapshot typed\ntap 175 18\nwait 100\n" name
cp "$dir/frames/frames/typed.png" "$dir/headless.png"
rm -rf "$dir/frames"
if SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 \
   "$search" --root "$dir/root" --ui name --script "$dir/ui.script" --frames "$dir/frames" --sdl > "$dir/out.txt" 2>&1; then
  cmp -s "$dir/headless.png" "$dir/frames/frames/typed.png" || fail "the SDL host's frame differs"
else
  echo "SDL offscreen driver not available: window run skipped"
fi

# A name record printed before starts the search again at its row: 위치보기 at once gives it back.
ui "${type}tap 60 149\nwait 100\ntap 120 269\nwait 100\n" name --point-type 2
cp "$dir/out.txt" "$dir/prev.txt"
ui 'wait 300\ntap 120 269\nwait 100\n' name --prev "$dir/prev.txt"
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'row=3' "$dir/out.txt" && grep -qx 'name=가람시청' "$dir/out.txt" ||
  fail "the previous name record restored"

# 확장 on "가람 병원": names holding both words rank first, so the first row holds both.
ui 'wait 300\ntext "가람 병원"\nwait 100\ntap 121 45\nwait 100\ntap 60 90\nwait 100\ntap 120 269\nwait 100\n' name
grep -qx 'query=가람 병원' "$dir/out.txt" || fail "the word search's query"
grep '^name=' "$dir/out.txt" | grep '가람' | grep -q '병원' || fail "both words first"

# The address search: 한울남도 → 가람시 → 시청동 (the second row; list rows from y 67) on
# "다음>>" (x 131, y 224), then the keypad (keys from y 154) and "검색" in the row at y 94.
nextArea='tap 160 236\nwait 100\n'
toCityHall="wait 300\n${nextArea}${nextArea}tap 60 89\nwait 100\n${nextArea}"
keys1to6='tap 42 169\ntap 97 169\ntap 152 169\ntap 42 201\ntap 97 201\ntap 152 201\nwait 100\n'
ui "${toCityHall}tap 202 233\ntap 42 169\ntap 97 169\ntap 202 201\ntap 152 169\ntap 202 201\nwait 100\nsnapshot address\ntap 111 106\nwait 100\n" address
# The sample's 시청동 holds one mountain parcel numbered 12, which the number 산12-3 finds.
grep -q '^detail=시청동 산 12-[0-9]*번지$' "$dir/out.txt" || fail "mountain parcel 12"
for line in result=1 lot=산12-3 index=0,0,1,-1 map_level=8 point_type=2 route_directly=0; do
  grep -qx "$line" "$dir/out.txt" || fail "address search: $line"
done
[ -s "$dir/frames/frames/address.png" ] || fail "the address screen's frame"
# The record printed before reopens the keypad with its parcel: "검색" at once gives it back.
cp "$dir/out.txt" "$dir/prev.txt"
ui 'wait 300\ntap 111 106\nwait 100\n' address --prev "$dir/prev.txt"
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'lot=산12-3' "$dir/out.txt" && grep -qx 'index=0,0,1,-1' "$dir/out.txt" ||
  fail "the previous address record restored"
# Six digits: two near parcels offered; the second taken, or the choice cancelled (the keypad stays).
ui "${toCityHall}${keys1to6}tap 111 106\nwait 300\nsnapshot nearlot\ntap 132 150\ntap 42 210\nwait 100\n" address
grep -qx 'result=1' "$dir/out.txt" && grep -q '^detail=시청동 [0-9-]*번지$' "$dir/out.txt" || fail "a near parcel taken"
[ -s "$dir/frames/frames/nearlot.png" ] || fail "the near-parcel frame"
ui "${toCityHall}${keys1to6}tap 111 106\nwait 300\ntap 160 210\nwait 100\ntap 175 18\nwait 100\n" address
grep -qx 'result=2' "$dir/out.txt" || fail "near parcel choice cancelled"
# A start point without a destination: "바로탐색" refused, the screen stays.
ui "answer ok\nwait 300\ntap 40 268\nwait 100\ntap 175 18\nwait 100\n" address --point-type 1
grep -qx 'result=2' "$dir/out.txt" || fail "바로탐색 refused in the address search"
grep -q '목적지를 먼저 설정하신 후 바로탐색을 실행하십시오.	3001' "$dir/frames/msgbox.log" || fail "address notice 21"

if "$search" --root "$dir/root" nonsense > /dev/null 2>&1; then fail "an unknown command exited with 0"; fi
echo "velko-search checks passed"
