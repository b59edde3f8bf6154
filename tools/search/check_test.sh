#!/bin/sh
# velko-search on a freshly built sample device: every command once, with values worked out by hand.
set -eu
mkdevice=$1
search=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sh "$(dirname "$0")/../mkdevice/testing/sample_device.sh" "$mkdevice" "$dir/root" > /dev/null
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

# Frames kept as goldens (looked at when they were made); UPDATE_GOLDENS=1 rewrites them.
golden=$(dirname "$0")/ui_golden
keep() { if [ "${UPDATE_GOLDENS:-0}" = 1 ]; then cp "$dir/frames/frames/$1.png" "$golden/$1.png"; fi
         cmp -s "$dir/frames/frames/$1.png" "$golden/$1.png" || fail "frame $1 differs from its golden"; }

# The category search. Class and area rows from y 96, 18 high; "<<이전" and "다음>>" at y 269 on
# the class panel. The facility panel: the name field at (50, 77), "검색" at (117, 77), rows from
# y 117, "<<이전"/"상세정보" at y 236, "위치보기"/"바로탐색" at y 269.
next='tap 175 269\nwait 50\n'
findName='tap 117 77\nwait 100\n'
show='tap 60 269\nwait 100\n'
# 교통시설 > 지하철역 > 한울남도 > 가람선: the stations in line order, searched linearly: a name
# that matches nothing selects the first station, "회전" the last.
subway="wait 300\ntap 60 168\nwait 50\n${next}tap 60 150\nwait 50\n${next}${next}"
ui "${subway}snapshot cate_lines\n${next}tap 50 77\ntext \"없는역\"\n${findName}snapshot cate_subway\n${show}" category --point-type 2
for line in result=1 name=서문역 index=4,3,0,0,0 map_level=8 point_type=2 route_directly=0; do
  grep -qx "$line" "$dir/out.txt" || fail "category, no match: $line"
done
keep cate_lines
keep cate_subway
ui "${subway}${next}tap 50 77\ntext \"회전\"\n${findName}${show}" category --point-type 2
grep -qx 'name=회전교차로역' "$dir/out.txt" && grep -qx 'index=4,3,0,0,5' "$dir/out.txt" || fail "category, linear search"
# 의료 > 병원 > 한울남도 > 가람시: nine names in byte order, six beginning with 가람; the binary
# search meets 가람튼튼재활의학과 (index 4) first and walks back to the first of the six.
clinics="wait 300\n${next}${next}${next}${next}"
ui "${clinics}tap 50 77\ntext \"가람\"\n${findName}snapshot cate_facilities\n${show}" category
for line in result=1 name=가람소아과의원 index=0,0,0,0,0 point_type=4; do
  grep -qx "$line" "$dir/out.txt" || fail "category, shared prefix: $line"
done
keep cate_facilities
# "고속도로시설" lists its second level under "고속도로명".
ui "wait 300\ntap 60 186\nwait 50\n${next}snapshot cate_highway\ntap 175 18\nwait 100\n" category
grep -qx 'result=2' "$dir/out.txt" || fail "이전 from the category search"
keep cate_highway
# "위치보기" and "바로탐색" act only on the facility list: above it the row's place does nothing.
ui "wait 300\ntap 60 269\ntap 175 269\nwait 100\ntap 215 18\nwait 100\n" category
grep -qx 'result=3' "$dir/out.txt" && grep -qx 'index=-1,-1,-1,-1,-1' "$dir/out.txt" || fail "현위치 from the category search"
# A waypoint without a destination: "바로탐색" on a facility refused with notice 21, here and on
# the detail screen of 가람소아과의원 (point of interest 22); "<< 이전" back, then "이전".
ui "answer ok\nanswer ok\n${clinics}tap 60 117\nwait 50\ntap 175 269\nwait 100\ntap 175 236\nwait 300\ntap 190 269\nwait 100\ntap 40 269\nwait 100\ntap 175 18\nwait 100\n" category --point-type 3
grep -qx 'result=2' "$dir/out.txt" && grep -qx 'route_directly=0' "$dir/out.txt" || fail "바로탐색 refused in the category search"
[ "$(grep -c '목적지를 먼저 설정하신 후 바로탐색을 실행하십시오.	3001' "$dir/frames/msgbox.log")" = 2 ] || fail "category notices 21"
# The details' "위치보기" closes both screens with the facility.
ui "${clinics}tap 60 135\nwait 50\ntap 175 236\nwait 300\ntap 120 269\nwait 100\n" category --point-type 1
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'name=가람의료원' "$dir/out.txt" && grep -qx 'point_type=1' "$dir/out.txt" ||
  fail "위치보기 from the category details"
# The record printed before reopens the facility list at its facility.
cp "$dir/out.txt" "$dir/prev.txt"
ui "wait 300\n${show}" category --prev "$dir/prev.txt"
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'name=가람의료원' "$dir/out.txt" && grep -qx 'index=0,0,0,0,1' "$dir/out.txt" ||
  fail "the previous category record restored"
# A record from an older database: indices past today's lists restore as far as they reach.
printf 'index=0,0,0,0,99\n' > "$dir/prev.txt"
ui "wait 300\n${show}" category --prev "$dir/prev.txt"
grep -qx 'name=튼튼치과의원' "$dir/out.txt" && grep -qx 'index=0,0,0,0,8' "$dir/out.txt" || fail "a facility past the list"
printf 'index=0,7,0,0,0\n' > "$dir/prev.txt"
ui "wait 300\n${show}tap 175 18\nwait 100\n" category --prev "$dir/prev.txt"
grep -qx 'result=2' "$dir/out.txt" || fail "a minor class past the list"
# "검색" with no name typed: notice 24.
ui "answer ok\n${clinics}${findName}tap 175 18\nwait 100\n" category
grep -q '검색 문자열을 먼저 입력하여 주십시오.	3001' "$dir/frames/msgbox.log" || fail "category search without text"
# Without the name database nothing is shown and the record stays as it was.
"$search" --root "$dir/root" --data '\Nowhere' --ui category --script "$dir/ui.script" --frames "$dir/frames" > "$dir/out.txt"
grep -qx 'result=0' "$dir/out.txt" && grep -qx 'index=-1,-1,-1,-1,-1' "$dir/out.txt" || fail "no name database"

# The nearby search from 가람시청. Categories in two columns from (40, 75), 35 apart; "검색" and
# "적용" at (119, 265). Results: the dialog at (2, 166), list rows from y 222, 17 high;
# "바로탐색", "위치보기", "주변_이전" at x 197, y 212, 252, 292.
gas='wait 300\ntap 40 180\nwait 50\ntap 119 265\nwait 300\n'
ui "${gas}snapshot nearby_results\ntap 60 240\nwait 100\ntap 197 252\nwait 100\n" nearby --point-type 2
for line in result=1 kind=1 name=SK주유소 category=3 shown_category=-1 map_level=8 point_type=2 route_directly=0 \
            from_x=45763393 from_y=13506433 row=1; do
  grep -qx "$line" "$dir/out.txt" || fail "nearby search: $line"
done
keep nearby_results
# The frame lists the rows in distance order with "%.2fKm". The view: a fresh marker list, ten markers in order and the selected one again, then the
# highlighted marker 10 at once, after the new selection and when leaving.
grep '^mediator=' "$dir/out.txt" > "$dir/calls.txt"
[ "$(head -1 "$dir/calls.txt")" = 'mediator=SetState 1' ] || fail "the search starts a marker list"
[ "$(sed -n '2,12p' "$dir/calls.txt" | grep -c '^mediator=AddItem ')" = 11 ] || fail "eleven markers"
[ "$(sed -n 2p "$dir/calls.txt" | cut -d' ' -f2-4)" = "$(sed -n 12p "$dir/calls.txt" | cut -d' ' -f2-4)" ] ||
  fail "the last marker is the selected facility"
sed -n 13p "$dir/calls.txt" | grep -q '^mediator=SetItem 10 .* 92$' || fail "the highlighted marker at once"
sed -n 14p "$dir/calls.txt" | grep -q '^mediator=SetItem 10 SK주유소 .* 92$' || fail "the highlight follows the selection"
[ "$(sed -n 15p "$dir/calls.txt")" = 'mediator=SetState 2' ] || fail "the list is left"
grep -q '^callback=45763393 13506433 [1-9][0-9]* 154$' "$dir/out.txt" || fail "the map shown above the dialog"
# The record printed before shows the results again at its row.
cp "$dir/out.txt" "$dir/prev.txt"
ui 'wait 300\ntap 197 252\nwait 100\n' nearby --prev "$dir/prev.txt"
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'name=SK주유소' "$dir/out.txt" && grep -qx 'row=1' "$dir/out.txt" ||
  fail "the previous nearby record restored"
grep -qx 'mediator=SetState 1' "$dir/out.txt" || fail "a restored search starts a marker list"
# A record from an older file naming a row past today's hits: the nearest facility instead.
printf 'kind=1\ncategory=3\nrow=99\n' > "$dir/prev.txt"
ui 'wait 300\ntap 197 252\nwait 100\n' nearby --prev "$dir/prev.txt"
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'row=0' "$dir/out.txt" && grep -qx 'name=주유소' "$dir/out.txt" ||
  fail "a nearby row past the hits"
# Hospitals: 가람중앙종합병원 (96 px) listed shortened.
ui "wait 300\ntap 40 75\nwait 50\ntap 119 265\nwait 300\nsnapshot nearby_hospitals\ntap 197 292\nwait 100\nsnapshot nearby_back\ntap 175 18\nwait 100\n" nearby
grep -qx 'result=2' "$dir/out.txt" && grep -qx 'kind=1' "$dir/out.txt" || fail "a cancelled nearby search writes the record"
grep -q '^mediator=AddItem 가람중앙종합병원 ' "$dir/out.txt" || fail "가람중앙종합병원 among the hospitals"
keep nearby_hospitals
keep nearby_back
# A start point without a destination: "바로탐색" refused, the results stay.
ui "answer ok\n${gas}tap 197 212\nwait 100\ntap 197 292\nwait 100\ntap 175 18\nwait 100\n" nearby --point-type 1
grep -qx 'result=2' "$dir/out.txt" && grep -q '목적지를 먼저 설정하신 후 바로탐색을 실행하십시오.	3001' "$dir/frames/msgbox.log" ||
  fail "바로탐색 refused in the nearby search"
# "검색" without a category: notice 18.
ui 'answer ok\nwait 300\ntap 119 265\nwait 100\ntap 175 18\nwait 100\n' nearby
grep -q '찾으려는 주변의 시설물의 종류를 선택하여 주십시요.	3001' "$dir/frames/msgbox.log" || fail "no category chosen"
# The view tab with "없음": kind 2, no category shown on the map.
ui 'wait 300\ntap 110 45\nwait 50\ntap 119 265\nwait 100\n' nearby
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'kind=2' "$dir/out.txt" && grep -qx 'shown_category=-1' "$dir/out.txt" ||
  fail "적용 with 없음"
# Without a mediator nothing is shown, though the callback is set.
ui 'wait 10\n' nearby --no-mediator
grep -qx 'result=4' "$dir/out.txt" || fail "no mediator"
if grep -q '^mediator=\|^callback=' "$dir/out.txt"; then fail "no mediator, yet calls"; fi

# The theme search: "테마관광" (119, 87), "지역별여행" (119, 137); "다음 >>" (175, 290) on the
# theme list. Places: "지역"/"반경" at y 40, the combo at (40, 72) with its rows 14 apart from
# y 86, the text at (140, 70), "검색" (211, 72), rows from y 135, 17 high.
places='wait 300\ntap 119 87\nwait 100\ntap 175 290\nwait 300\n'
ui "${places}tap 100 40\nwait 200\nsnapshot theme_distance\ntap 40 72\nwait 100\ntap 40 100\nwait 200\nsnapshot theme_5km\ntap 60 135\nwait 100\n${show}" theme
for line in result=1 name=가람시청 theme_kind=0 theme=0 row=0 filter_mode=2 filter_selection=1 x=45763390 y=13506430 \
            map_level=8 point_type=2 from_x=4576339 from_y=1350643; do
  grep -qx "$line" "$dir/out.txt" || fail "theme search: $line"
done
keep theme_distance
keep theme_5km
# "호수" is in 가람호수공원's name and only in 가람종합운동장's details: both kept.
ui "${places}tap 140 70\ntext \"호수\"\ntap 211 72\nwait 200\ntap 60 152\nwait 100\n${show}" theme
grep -qx 'name=가람종합운동장' "$dir/out.txt" && grep -qx 'text=호수' "$dir/out.txt" && grep -qx 'row=1' "$dir/out.txt" ||
  fail "a word in the details"
# Back to the theme list and on again: the text is gone. Typing raises the input panel over the
# lower buttons; "검색" puts it down again.
ui "${places}tap 140 70\ntext \"호수\"\ntap 211 72\nwait 200\ntap 60 236\nwait 100\nsnapshot theme_back\ntap 175 290\nwait 300\ntap 60 135\nwait 100\n${show}" theme
grep -qx 'text=' "$dir/out.txt" && grep -qx 'filter_mode=1' "$dir/out.txt" || fail "back to the themes clears the text"
keep theme_back
# The record printed before reopens the places with its filter and row.
ui "${places}tap 100 40\nwait 200\ntap 60 152\nwait 100\n${show}" theme
cp "$dir/out.txt" "$dir/prev.txt"
ui "wait 300\n${show}" theme --prev "$dir/prev.txt"
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'row=1' "$dir/out.txt" && grep -qx 'filter_mode=2' "$dir/out.txt" &&
  grep -qx "$(grep '^name=' "$dir/prev.txt")" "$dir/out.txt" || fail "the previous theme record restored"
# Older records: a theme past today's files opens at the kinds; a combo row past the regions
# falls back to "전국".
printf 'theme=9\nrow=0\n' > "$dir/prev.txt"
ui "wait 300\ntap 175 18\nwait 100\n" theme --prev "$dir/prev.txt"
grep -qx 'result=2' "$dir/out.txt" || fail "a theme past the files"
printf 'theme=0\ntheme_kind=0\nfilter_mode=1\nfilter_selection=40\nrow=99\n' > "$dir/prev.txt"
ui "wait 300\n${show}" theme --prev "$dir/prev.txt"
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'filter_selection=0' "$dir/out.txt" && grep -qx 'row=9' "$dir/out.txt" ||
  fail "a combo row and a place past the lists"
# The details of 가람호수공원 (the theme's detail 1): "위치보기" there closes both screens.
ui "${places}tap 60 135\nwait 100\ntap 175 236\nwait 300\nsnapshot theme_detail\ntap 120 269\nwait 100\n" theme
grep -qx 'result=1' "$dir/out.txt" && grep -qx 'name=가람호수공원' "$dir/out.txt" && grep -qx 'x=45779660' "$dir/out.txt" ||
  fail "위치보기 from the theme details"
[ -s "$dir/frames/frames/theme_detail.png" ] || fail "the theme details' frame"
# Kinds not ready yet; without theme files nothing is shown.
ui 'answer ok\nwait 300\ntap 119 137\nwait 100\ntap 175 18\nwait 100\n' theme
grep -qx 'result=2' "$dir/out.txt" || fail "이전 from the theme search"
grep -q '서비스가 아직 준비되지 않았습니다. 차기 버젼을 기대해주세요.	3001' "$dir/frames/msgbox.log" || fail "지역별여행"
"$search" --root "$dir/root" --data '\Nowhere' --ui theme --script "$dir/ui.script" --frames "$dir/frames" > "$dir/out.txt"
grep -qx 'result=0' "$dir/out.txt" || fail "no theme files"

if "$search" --root "$dir/root" nonsense > /dev/null 2>&1; then fail "an unknown command exited with 0"; fi
# A --prev record that is a folder or missing: exit 2 with a message naming it, before any screen.
mkdir "$dir/folder"
for bad in folder missing.txt; do
  code=0
  "$search" --root "$dir/root" --ui name --prev "$dir/$bad" --script "$dir/ui.script" --frames "$dir/frames" \
    > "$dir/out.txt" 2> "$dir/err.txt" || code=$?
  [ $code = 2 ] || fail "--prev $bad: exit $code, 2 expected"
  grep -q "$dir/$bad" "$dir/err.txt" || fail "--prev $bad: the message does not name it"
  ! grep -q '^result=' "$dir/out.txt" || fail "--prev $bad: the screen ran"
done
echo "velko-search checks passed"
