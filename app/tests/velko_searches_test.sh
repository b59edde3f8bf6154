#!/bin/sh
# velko on fresh copies of the sample device, headless: the search screens opened from the basic
# menu ("명칭검색", "주소검색", "주변검색", "테마검색") and from the advanced one ("시설분류"). A result
# shown moves the map there at its level; on the basic menu it is picked as the destination, which
# "경로탐색" (120, 299) then routes to; "이전" (221, 299) reopens the last search as it was left.
# Places with the built-in font: the name list's rows from y 88, 14 apart, "위치보기" (120, 269);
# the address lists' rows from y 74, 12 apart, "다음>>" (160, 236), its keypad as velko-search's,
# "검색" (111, 106); the nearby categories in two columns from (40, 75), 35 apart, "검색" (119, 265),
# the results' rows from y 222, 14 apart, "위치보기" (197, 252), "주변_이전" (197, 292); the theme
# search's "테마관광" (119, 87), "다음 >>" (175, 290), its text (140, 70), "검색" (211, 72), rows from
# y 133, 17 apart, "위치보기" (60, 269); the category search's "다음>>" (175, 269), name (50, 77),
# "검색" (117, 77), "위치보기" (60, 269).
set -u
dev=$1
velko=$2
area=$4
mapshot=$5
config=$6
dir=$(mktemp -d)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$dir"' EXIT
. "$(dirname "$0")/velko_menu_common.sh"

# 가람시청 as the sample's recent destinations hold it (row 0, map coordinates).
sample="$dev/My Documents/Velko/DestPosition"
[ "$(hexname "$sample" 4 20)" = "$(cp949 가람시청 20)" ] || fail "the sample's first recent destination"
hall_x=$(int32 "$sample" 24) hall_y=$(int32 "$sample" 28)
# at_hall WHAT: the map kept at quit is at 가람시청 (up to the network round trip), level step 8.
at_hall() {
  set -- $(pilot) "$1"
  near "$1" "$hall_x" 2 && near "$2" "$hall_y" 2 && [ "$3" = 8 ] ||
    fail "$5: the map at $1 $2 level $3, 가람시청 at $hall_x $hall_y"
}
fresh
printf 'wait 500\nquit\n' > "$dir/start.script"
run start
start=$(pilot)
moved() { [ "$(pilot)" != "$start" ] || fail "$1: the map did not move"; }

name="wait 500
$open_basic
tap 69 64
wait 300
text \"가\"
wait 100
text \"람\"
wait 100
text \"시\"
wait 100
snapshot name
tap 60 129
wait 100
tap 120 269
wait 300
snapshot name-shown"

# The name search: "가람시" lists four names, the fourth 가람시청; shown on the map.
fresh
printf '%s\nquit\n' "$name" > "$dir/name.script"
run name
no_messages "name search"
at_hall "name search"

# "이전" reopens the name search with its record: "위치보기" at once shows 가람시청 again.
fresh
cat > "$dir/name-again.script" << SCRIPT
$name
tap 221 299
wait 300
snapshot name-again
tap 120 269
wait 300
snapshot name-shown-again
quit
SCRIPT
run name-again
no_messages "name search again"
at_hall "name search reopened"

# "경로탐색" routes to the place shown: 가람시청, met again in the recent destinations, becomes the
# newest (order value one below the sample's lowest, 0) without a second copy.
fresh
printf '%s\ntap 120 299\nwait 1000\nsnapshot name-routed\nquit\n' "$name" > "$dir/name-route.script"
run name-route
no_messages "route to the name"
cmp -s "$dir/out/frames/name-routed.png" "$dir/out/frames/name-shown.png" && fail "no route on the screen"
[ "$(int32 "$user" 0)" = 4 ] || fail "a second copy of 가람시청 in the recent destinations"
[ "$(hexname "$user" 4 20)" = "$(cp949 가람시청 20)" ] && [ "$(int32 "$user" 36)" = -1 ] ||
  fail "가람시청 is not the newest recent destination"

# On the basic menu the shown result leaves the map waiting for the destination (point-pick mode
# 32829): a tap on the map east of 가람시청 makes that point the destination instead, and
# "경로탐색" routes there: the newest recent destination lies east of 가람시청 and is named as
# velko-area names its place.
fresh
printf '%s\ntap 200 168\nwait 300\ntap 120 299\nwait 1000\nquit\n' "$name" > "$dir/name-pick.script"
run name-pick
no_messages "a destination tapped after the name search"
[ "$(int32 "$user" 0)" = 5 ] || fail "the tapped destination is not a new recent destination"
set -- $(int32 "$user" 24 2)
[ "$1" -gt $((hall_x + 100)) ] || fail "the newest destination $1 $2 is not east of 가람시청 ($hall_x $hall_y)"
answer=$("$area" --root "$dev" "$1,$2" | sed -n 's/.* answer=//p')
n=$(printf '%s' "$answer" | iconv -f UTF-8 -t CP949 | wc -c)
[ "$n" -gt 0 ] && [ "$(hexname "$user" 4 "$n")" = "$(cp949 "$answer" "$n")" ] ||
  fail "the newest destination is not named \"$answer\""

# The address search: 한울남도 > 가람시 > 시청동 (row 1), "산", "1", "2", "하이픈", "3" and "검색":
# the parcel found on the map at level step 8, picked as the destination (the screen's tab) and
# routed to.
fresh
cat > "$dir/address.script" << SCRIPT
wait 500
$open_basic
tap 69 113
wait 300
tap 160 236
wait 100
tap 160 236
wait 100
tap 60 86
wait 100
tap 160 236
wait 100
tap 202 233
tap 42 169
tap 97 169
tap 202 201
tap 152 169
tap 202 201
wait 100
snapshot address
tap 111 106
wait 300
snapshot address-shown
quit
SCRIPT
run address
no_messages "address search"
moved "address search"
[ "$(pilot | cut -d' ' -f3)" = 8 ] || fail "address search: level $(pilot)"
cat > "$dir/address-route.script" << SCRIPT
$(sed '$d' "$dir/address.script")
tap 120 299
wait 1000
snapshot address-routed
quit
SCRIPT
fresh
run address-route
no_messages "route to the address"
[ "$(int32 "$user" 0)" = 5 ] || fail "the address was not added to the recent destinations"
# The sample's 시청동 holds one mountain parcel numbered 12, which 산12-3 finds: "시청동 산 12-…번지".
[ "$(hexname "$user" 4 13)" = "$(cp949 "시청동 산 12-" 13)" ] || fail "the newest recent destination is not the parcel"

# The nearby search for 주유소 around the map centre: ten results listed under the map with their
# markers; the third shown on the map; "이전" lists the nearby stations again (now around it);
# "주변_이전" back to the categories and "이전" closes to the menu.
fresh
cat > "$dir/nearby.script" << SCRIPT
wait 500
$open_basic
tap 69 162
wait 300
snapshot nearby
tap 40 180
wait 50
tap 119 265
wait 300
snapshot nearby-results
tap 60 250
wait 200
snapshot nearby-row
tap 197 252
wait 300
snapshot nearby-shown
quit
SCRIPT
run nearby
no_messages "nearby search"
moved "nearby search"
[ "$(pilot | cut -d' ' -f3)" = 8 ] || fail "nearby search: level $(pilot)"
cmp -s "$dir/out/frames/nearby-results.png" "$dir/out/frames/nearby.png" && fail "no results shown"
cmp -s "$dir/out/frames/nearby-row.png" "$dir/out/frames/nearby-results.png" && fail "the row was not selected"
fresh
cat > "$dir/nearby-again.script" << SCRIPT
$(sed '$d' "$dir/nearby.script")
tap 221 299
wait 300
snapshot nearby-again
tap 197 292
wait 300
snapshot nearby-back
tap 175 18
wait 300
snapshot nearby-closed
quit
SCRIPT
run nearby-again
no_messages "nearby search again"
cmp -s "$dir/out/frames/nearby-again.png" "$dir/out/frames/nearby-shown.png" && fail "이전 did not reopen the search"
cmp -s "$dir/out/frames/nearby-back.png" "$dir/out/frames/nearby-again.png" && fail "주변_이전 did not leave the results"
cmp -s "$dir/out/frames/nearby-closed.png" "$dir/out/frames/nearby-back.png" && fail "이전 did not close the search"

# The markers of the nearby search for 주유소: while the ten stations are listed, the map above the
# dialog shows each station's brand picture (the skin's landmark picture of its brand code, a sign
# whose post ends 8 pixels below the station) where the station is. The search measures from the
# map centre that the last run kept (network units by hand: X = int(int(x * 5/6) * 4.5) +
# 45000000, Y = int(y * 3) + 11910000); velko-area lists the same stations with their brands and
# places; the map stays centred there at the level of the farthest station, whose scale
# velko-mapshot gives (the map in its flat, north-up view: setting 0 = 0, and kept at that level,
# so that it comes back to it when the search closes). "주변_이전" and "이전" close the search, the
# launcher closes the menu that comes back: the same places show no picture.
fresh
"$config" --root "$dir/dev" --set 0=0 > "$dir/config.txt" || fail "velko-config --set 0=0"
run start
set -- $(pilot)
cx=$1 cy=$2
net=$(python3 -c 'import sys
x, y = int(sys.argv[1]), int(sys.argv[2])
print("%d,%d" % (int(int(x * 0.8333333333333334) * 4.5) + 45000000, int(y * 3.0) + 11910000))' "$cx" "$cy")
"$area" --root "$dev" --nearby 3 --at "$net" > "$dir/stations.txt" || fail "velko-area --nearby"
grep -qx 'count=10' "$dir/stations.txt" || fail "ten stations near the map centre: $(cat "$dir/stations.txt")"
far=$(grep '^hit=9 ' "$dir/stations.txt" | sed 's/.* level=\([0-9]*\) .*/\1/')
scale=$("$mapshot" --root "$dev" --center "$cx,$cy" --level "$far" --out "$dir/scale.png" | sed -n 's/^scale=//p')
[ -n "$scale" ] || fail "no scale for level $far"
# The kept level (the record's third value) becomes the farthest station's.
sed -i "s/^prop 196611 .*/prop 196611 $(printf '%02x' "$far")000000/" "$dir/dev/objectstore/velko900%20pilot1.cedb"
cat > "$dir/markers.script" << SCRIPT
wait 500
$open_basic
tap 69 162
wait 300
tap 40 180
wait 50
tap 119 265
wait 300
snapshot markers
tap 197 292
wait 300
tap 175 18
wait 300
tap 21 299
wait 200
snapshot markers-closed
quit
SCRIPT
run markers
no_messages "nearby markers"
manifest="$(dirname "$0")/../../tools/mkdevice/skin/core.txt"
python3 "$(dirname "$0")/story_check.py" markers "$dir/out/frames/markers.png" "$manifest" "$cx" "$cy" "$scale" \
  "$dir/stations.txt" > "$dir/markers.txt"
# Every station whose sign is in sight above the dialog shows mostly its picture's colour (the
# rest is its caption); at least three are in sight.
checked=0
while read -r hit visible fill; do
  visible=${visible#visible=} fill=${fill#fill=}
  [ "$visible" -ge 60 ] || continue
  [ $((fill * 2)) -ge "$visible" ] || fail "nearby markers: $hit shows $fill of $visible pixels of its picture"
  checked=$((checked + 1))
done < "$dir/markers.txt"
[ "$checked" -ge 3 ] || fail "nearby markers: only $checked in sight: $(cat "$dir/markers.txt")"
python3 "$(dirname "$0")/story_check.py" markers "$dir/out/frames/markers-closed.png" "$manifest" "$cx" "$cy" \
  "$scale" "$dir/stations.txt" > "$dir/markers-closed.txt"
[ "$(pilot | cut -d' ' -f3)" = "$far" ] || fail "nearby markers: the map came back at level $(pilot)"
checked=0
while read -r hit visible fill; do
  [ "${visible#visible=}" -ge 60 ] || continue
  [ "${fill#fill=}" = 0 ] || fail "nearby markers: $hit still shown after the search closed"
  checked=$((checked + 1))
done < "$dir/markers-closed.txt"
[ "$checked" -ge 3 ] || fail "nearby markers: only $checked places in sight after closing"

# The theme search: "테마관광", the first theme, the text "가람시청" searched: its place shown.
fresh
cat > "$dir/theme.script" << SCRIPT
wait 500
$open_basic
tap 69 212
wait 300
tap 119 87
wait 100
tap 175 290
wait 300
tap 140 70
wait 100
text "가람시청"
tap 211 72
wait 200
tap 60 133
wait 100
snapshot theme
tap 60 269
wait 300
snapshot theme-shown
quit
SCRIPT
run theme
no_messages "theme search"
at_hall "theme search"

# The category search from the advanced menu ("경로찾기" > "아래로" > "시설분류"): 의료 > 병원 >
# 한울남도 > 가람시, the names beginning with "가람", the first shown on the map.
fresh
cat > "$dir/category.script" << SCRIPT
wait 500
$open_advanced
tap 65 62
wait 200
tap 179 301
wait 200
tap 179 21
wait 300
tap 175 269
wait 50
tap 175 269
wait 50
tap 175 269
wait 50
tap 175 269
wait 50
tap 50 77
text "가람"
tap 117 77
wait 100
snapshot category
tap 60 269
wait 300
snapshot category-shown
quit
SCRIPT
run category
no_messages "category search"
moved "category search"
# The point-of-interest bar: with the map moved away from the car it lists the facilities of the
# symbol-and-text layer nearest the centre. Around 가람시청 there are none (no numbered marker on
# its first row); at 누리휴게소 (the name search's first row for "누리휴") the service area is
# entry 1: its marker "POIBAR\000" (red #C8102E, 14 x 17) stands at (44, 40), and a tap on the
# row (100, 48) opens its details over the whole screen.
pixels() { python3 "$(dirname "$0")/story_check.py" count "$dir/out/frames/$1.png" 44 40 57 56 200 16 46; }
fresh
printf '%s\nquit\n' "$name" > "$dir/bar-none.script"
run bar-none
[ "$(pixels name-shown)" = 0 ] || fail "a facility in the bar around 가람시청"
fresh
cat > "$dir/bar.script" << SCRIPT
wait 500
$open_basic
tap 69 64
wait 300
text "누"
wait 100
text "리"
wait 100
text "휴"
wait 100
tap 60 88
wait 100
tap 120 269
wait 300
snapshot bar
tap 100 48
wait 300
snapshot bar-details
quit
SCRIPT
run bar
no_messages "point-of-interest bar"
[ "$(pixels bar)" -gt 100 ] || fail "no facility in the bar at 누리휴게소"
[ "$(pixels bar-details)" = 0 ] && ! cmp -s "$dir/out/frames/bar.png" "$dir/out/frames/bar-details.png" ||
  fail "the bar's first row did not open the details"
echo "velko search checks passed"
