#!/bin/sh
# velko on fresh copies of the sample device, headless: registering the map centre with the main
# screen's "지점등록", the registered points ("사용자정보" > "등록지점관리") shown on the map, routed
# to and moved to another folder, and the coordinate moves of the advanced menu ("경로찾기" >
# "아래로" > "경위도" / "도르바") typed on their keypads.
# Places on the point screens: folder rows at x 30 and point rows at x 130, from y 80, 14 apart;
# "구성하기" (47, 268), "위치보기" (120, 268), "바로탐색" (193, 268); on the second page "지점수정"
# (193, 290); tab "텝_목적지" (45, 300). The registration screen: "저장" (185, 66),
# "저장폴더지정" (175, 260); its folder page: rows from y 90, 14 apart, "확인" (47, 290).
set -u
dev=$1
velko=$2
dir=$(mktemp -d)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$dir"' EXIT
. "$(dirname "$0")/velko_menu_common.sh"

points_page="$open_advanced
tap 65 132
wait 200
tap 179 56
wait 300"
position="$store/position"
trip="$store/출장.pos"
sample_position="$dev/Storage Card/VelkoData/position"
sample_trip="$dev/Storage Card/VelkoData/출장.pos"
# Point files: a 4-byte count, then 30-byte records (name 20 bytes, x, y, voice, symbol).
[ "$(int32 "$sample_position" 0) $(int32 "$sample_trip" 0)" = "3 2" ] || fail "the sample's point files"

# The advanced main screen (the menu switched with "메뉴전환", closed with "메뉴닫기" (60, 308)) with
# the map moved off the car by a tap: its tool bar shows "지점등록" (189, 299). Where the map is then:
moved="wait 500
$open_advanced
tap 60 308
wait 200
tap 150 170
wait 300"
fresh
printf '%s\nquit\n' "$moved" > "$dir/start.script"
run start
set -- $(pilot)
start_x=$1 start_y=$2

# "지점등록" registers the map centre into "기본" (the file "position"): one record more, the three
# before kept byte for byte; shown again from the point list (row 3), the map comes back to where
# it was, up to the network round trip, at level step 8.
fresh
cat > "$dir/register.script" << SCRIPT
$moved
tap 189 299
wait 300
snapshot register
tap 185 66
wait 300
snapshot registered
$points_page
tap 130 122
wait 100
snapshot listed
tap 120 268
wait 300
quit
SCRIPT
run register
no_messages "register the map centre"
has_frame register
has_frame listed
[ "$(int32 "$position" 0)" = 4 ] && [ "$(wc -c < "$position")" = 124 ] || fail "position: $(wc -c < "$position") bytes"
tail -c +5 "$sample_position" > "$dir/old"
head -c 94 "$position" | tail -c +5 | cmp -s - "$dir/old" || fail "the three old points changed"
[ "$(hexname "$position" 94 1)" != 00 ] || fail "the registered point has no name"
set -- $(pilot)
near "$1" "$start_x" 2 && near "$2" "$start_y" 2 && [ "$3" = 8 ] ||
  fail "the registered point shown at $1 $2 level $3, the map was at $start_x $start_y"

# "나루역" of "출장" moved into "기본" with "지점수정": "저장폴더지정", row "기본", "확인", "저장".
# The point leaves 출장.pos (its other point left alone) and is added to position as it was.
fresh
cat > "$dir/move.script" << SCRIPT
wait 500
$points_page
tap 30 94
wait 100
tap 130 80
wait 100
snapshot chosen
tap 47 268
wait 200
tap 193 290
wait 300
snapshot edit
tap 175 260
wait 200
snapshot folders
tap 60 90
wait 100
tap 47 290
wait 200
tap 185 66
wait 300
snapshot moved
tap 30 80
wait 100
snapshot basic
tap 175 18
wait 200
quit
SCRIPT
run move
no_messages "move a point"
for f in chosen edit folders moved basic; do has_frame $f; done
[ "$(hexname "$sample_trip" 4 20)" = "$(cp949 나루역 20)" ] || fail "the sample's first point of 출장"
[ "$(int32 "$trip" 0)" = 1 ] && [ "$(wc -c < "$trip")" = 34 ] || fail "출장.pos: $(wc -c < "$trip") bytes"
tail -c +35 "$sample_trip" > "$dir/expected"
tail -c +5 "$trip" | cmp -s - "$dir/expected" || fail "동문시장 is not what is left in 출장"
[ "$(int32 "$position" 0)" = 4 ] && [ "$(wc -c < "$position")" = 124 ] || fail "position: $(wc -c < "$position") bytes"
{ tail -c +5 "$sample_position"; head -c 34 "$sample_trip" | tail -c +5; } > "$dir/expected"
tail -c +5 "$position" | cmp -s - "$dir/expected" || fail "position is not the old points and 나루역"

# "바로탐색" on "나루역" for the destination: a route is planned, and its goal, named 나루역, becomes
# the newest recent destination.
fresh
cat > "$dir/route.script" << SCRIPT
wait 500
snapshot start
$points_page
tap 30 94
wait 100
tap 45 300
wait 100
tap 130 80
wait 100
tap 193 268
wait 1000
snapshot routed
quit
SCRIPT
run route
no_messages "route to a registered point"
[ "$(int32 "$user" 0)" = 5 ] || fail "the route's goal was not added to the recent destinations"
[ "$(hexname "$user" 4 20)" = "$(cp949 나루역 20)" ] || fail "the newest recent destination is not 나루역"
cmp -s "$dir/out/frames/routed.png" "$dir/out/frames/start.png" && fail "no route on the screen"

# The keypads: "1" to "9" in rows of three from (42, 172), 55 apart and 32 down; "0" (42, 268);
# the full stop (202, 237). "위치보기" at (60, 131) on "경위도", (60, 115) on "도르바".
key() {
  case $1 in
    0) printf 'tap 42 268\n' ;;
    .) printf 'tap 202 237\n' ;;
    *) d=$(($1 - 1)); printf 'tap %d %d\n' $((42 + 55 * (d % 3))) $((172 + 32 * (d / 3))) ;;
  esac
}
keys() { s=$1; while [ -n "$s" ]; do key "$(printf %.1s "$s")"; s=${s#?}; done; }
more_page="$open_advanced
tap 65 62
wait 200
tap 179 301
wait 200"

# 127° 0' 0.0" E, 37° 30' 0.0" N (Bessel): network (127 x 3600 x 100, 37.5 x 3600 x 100) =
# (45720000, 13500000), map (192000, 530000), shown at level step 8.
fresh
cat > "$dir/latlon.script" << SCRIPT
wait 500
$more_page
tap 179 91
wait 300
$(keys 12700000003730.0)
snapshot latlon
tap 60 131
wait 300
snapshot latlon-shown
quit
SCRIPT
run latlon
no_messages "경위도"
has_frame latlon
[ "$(pilot | sed 's/ $//')" = "192000 530000 8 1" ] || fail "경위도: map $(pilot)"

# Location code 000-000-3606: the cell's centre, point-file (160005, 530005), map x 160005 x 1.2
# = 192006.
fresh
cat > "$dir/dorva.script" << SCRIPT
wait 500
$more_page
tap 179 56
wait 300
$(keys 0000003606)
snapshot dorva
tap 60 115
wait 300
snapshot dorva-shown
quit
SCRIPT
run dorva
no_messages "도르바"
has_frame dorva
[ "$(pilot | sed 's/ $//')" = "192006 530005 8 1" ] || fail "도르바: map $(pilot)"
echo "velko registered-point checks passed"
