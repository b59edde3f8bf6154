#!/bin/sh
# velko on fresh copies of the sample device, headless, driven from its advanced menu (page
# "사용자정보"): the recent destinations ("최근목적지관리") show a row on the map or plan the route to
# it; the safe-driving points ("안전운행관리") show a registered point on the map and restore a
# switched-off one. Places inside the screens are those of the velko-dialog runs: list rows from
# y 50, 13 pixels apart; "위치보기" (122, 270), "바로탐색" (193, 270); tab "텝_목적지" (45, 300);
# on the safe-driving screen the list switch (124, 45) and "삭제"/"복원" (47, 264).
set -u
dev=$1
velko=$2
dir=$(mktemp -d)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$dir"' EXIT
. "$(dirname "$0")/velko_menu_common.sh"

user_page="$open_advanced
tap 65 132
wait 200"

# A recent destination shown on the map: row 0 of DestPosition (4-byte count, 44-byte records:
# name 20 bytes, x, y, waypoint number, order value) is "가람시청"; "위치보기" moves the map there at
# level step 8 (the sample uses all of its levels, so level 8). First "이전" in the title row
# (175, 18), not covered by the taskbar, goes back to the menu page, which opens the list again.
fresh
cat > "$dir/show.script" << SCRIPT
wait 500
$user_page
tap 179 21
wait 300
snapshot recent
tap 175 18
wait 300
snapshot back
tap 179 21
wait 300
tap 100 56
wait 100
tap 122 270
wait 300
snapshot shown
quit
SCRIPT
run show
no_messages "recent shown"
has_frame recent
has_frame back
has_frame shown
cmp -s "$dir/out/frames/back.png" "$dir/out/frames/recent.png" && fail "이전 did not leave the list"
[ "$(hexname "$user" 4 20)" = "$(cp949 가람시청 20)" ] || fail "the sample's first recent destination"
expected="$(int32 "$user" 24 2) 8 1"
[ "$(pilot | sed 's/ $//')" = "$expected" ] || fail "가람시청 shown: map $(pilot), expected $expected"
cmp -s "$user" "$dev/My Documents/Velko/DestPosition" || fail "looking at a destination changed the list"

# "바로탐색" on the destination tab plans the route to row 1 ("나루역 - 경유지3"): the route's goal
# becomes the newest recent destination (row 0, waypoint number 0, order value one below the
# sample's lowest, 0), at 나루역's place up to the two units of the network round trip.
fresh
cat > "$dir/route.script" << SCRIPT
wait 500
snapshot start
$user_page
tap 179 21
wait 300
tap 45 300
wait 100
tap 100 69
wait 100
snapshot chosen
tap 193 270
wait 1000
snapshot routed
quit
SCRIPT
sample="$dev/My Documents/Velko/DestPosition"
[ "$(hexname "$sample" 48 20)" = "$(cp949 나루역 20)" ] || fail "the sample's second recent destination"
run route
no_messages "route to a recent destination"
has_frame routed
[ "$(int32 "$user" 0)" = 5 ] || fail "the route's goal was not added: count $(int32 "$user" 0)"
[ "$(hexname "$user" 4 20)" = "$(cp949 나루역 20)" ] || fail "the newest recent destination is not 나루역"
set -- $(int32 "$user" 24 4)
near "$1" "$(int32 "$sample" 68)" 2 && near "$2" "$(int32 "$sample" 72)" 2 || fail "나루역's place: $1 $2"
[ "$3 $4" = "0 -1" ] || fail "waypoint number and order value of the new entry: $3 $4"
cmp -s "$dir/out/frames/routed.png" "$dir/out/frames/start.png" && fail "no route on the screen"

# A registered safe-driving point on the map: row 0 "007@과속주의 1", stored in point-file units at
# (160000, 530000), is map (160000 x 1.2, 530000) = (192000, 530000).
fresh
cat > "$dir/safe.script" << SCRIPT
wait 500
$user_page
tap 179 91
wait 300
snapshot safe
tap 100 67
wait 100
tap 122 264
wait 300
snapshot safe-shown
quit
SCRIPT
run safe
no_messages "safe point shown"
has_frame safe
[ "$(int32 "$store/guidepoint" 0)" = 2 ] || fail "the sample's two registered safe points"
[ "$(pilot | sed 's/ $//')" = "192000 530000 8 1" ] || fail "safe point shown: map $(pilot)"

# The switched-off point restored: the question answered yes, Dguidepoint left with its count 0,
# the registered points untouched.
fresh
cat > "$dir/restore.script" << SCRIPT
wait 500
$user_page
tap 179 91
wait 300
tap 124 45
wait 100
snapshot switched
answer yes
tap 47 264
wait 200
snapshot restored
tap 175 18
wait 200
quit
SCRIPT
run restore
grep -qF "$(printf "'E1271200 N373000'를 복원 하시겠습니까?\t3000\t4001")" "$dir/out/msgbox.log" ||
  fail "the restore question"
[ "$(wc -c < "$store/Dguidepoint")" = 4 ] && [ "$(int32 "$store/Dguidepoint" 0)" = 0 ] || fail "Dguidepoint not emptied"
cmp -s "$store/guidepoint" "$dev/Storage Card/VelkoData/guidepoint" || fail "the registered points changed"
echo "velko user-point checks passed"
