#!/bin/sh
# velko on fresh copies of the sample device, headless, with a planned route: the route
# information from the menu ("경로관리" > "경로정보"), the route saved ("경로저장"), reopened from the
# saved routes ("사용자정보" > "저장정보관리", "보기") and saved again, then driven by the simulation
# ("경로관리" > "모의주행") with the player's slider dragged towards the end and the drive ended.
# The route is planned to the recent destination "나루역" ("최근목적지관리", row 1, "바로탐색") and
# taken with "안내시작" (205, 299). Places: the save screen's name field (100, 100) and "저장"
# (118, 136); the saved-route list's rows from (60, 54) every 13 pixels and "보기" (45, 268); the
# route information of a reopened route takes its route with "안내시작" (45, 238). The player is
# the strip at the left: "재생"/"정지" (12, 272), "종료" (12, 303), its vertical slider at x 34 (the
# end at the top).
# The list shows the routes of the storage folder in use, sorted by name: the sample's three
# ("가람-나루R.vkp", a car route; "메모R.vkp", a text; "이전경로R.vkp", of the earlier format)
# and those saved in the run. Each of the sample's is opened by its row; and a device of the older
# layout, its routes in the map data folder's "SaveRoute" and no storage folder, has them moved
# into the new storage folder at start-up and listed there.
set -u
dev=$1
velko=$2
route=$3
dir=$(mktemp -d)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$dir"' EXIT
. "$(dirname "$0")/velko_menu_common.sh"

planned="wait 500
$open_advanced
tap 65 132
wait 200
tap 179 21
wait 300
tap 45 300
wait 100
tap 100 69
wait 100
tap 193 270
wait 1000
snapshot planned
tap 205 299
wait 300"
# save NAME: "경로저장" from the menu's "경로관리" page, the notice answered.
save() {
  printf 'tap 21 299\nwait 200\ntap 65 97\nwait 200\ntap 179 126\nwait 500\ntap 100 100\nwait 100\n'
  printf 'text "%s"\nanswer ok\ntap 118 136\nwait 300\n' "$1"
}
# The saved-route list from the menu (the advanced menu already chosen), and row N of it.
saved_routes='tap 21 299
wait 200
tap 65 132
wait 200
tap 179 126
wait 500'
row() { printf 'tap 60 %d\nwait 100\n' $((54 + 13 * $1)); }
drive='tap 21 299
wait 200
tap 65 97
wait 200
tap 179 301
wait 1400
snapshot driving'

fresh
cat > "$dir/files.script" << SCRIPT
$planned
tap 21 299
wait 200
tap 65 97
wait 200
tap 179 21
wait 500
snapshot info
tap 175 18
wait 300
snapshot info-closed
tap 179 126
wait 500
tap 100 100
wait 100
text "출근길"
answer ok
tap 118 136
wait 300
$saved_routes
snapshot saved-routes
$(row 3)
tap 45 268
wait 500
snapshot reopened
tap 45 238
wait 500
$(save 다시)
$drive
pen down 34 272
pen move 34 230
pen move 34 190
pen up 34 190
wait 100
snapshot dragged
tap 12 272
wait 800
snapshot jumped
tap 12 303
wait 1000
snapshot ended
quit
SCRIPT
run files
for f in planned info info-closed saved-routes reopened driving dragged jumped ended; do has_frame $f; done
# The two saves, each with its notice; nothing else was said.
saved="$store"
for name in 출근길 다시; do
  grep -qF "$(printf 'Storage Card\\VelkoData\\%sR.vkp에 저장 하였습니다.\t3001\t4001' "$name")" "$dir/out/msgbox.log" ||
    fail "the notice of $name"
  [ -s "$saved/${name}R.vkp" ] || fail "no ${name}R.vkp"
done
[ "$(grep -c . "$dir/out/msgbox.log")" = 2 ] || fail "other messages: $(cat "$dir/out/msgbox.log")"
# The route as planned and as reopened: the same route, item by item.
"$route" --dump "$saved/출근길R.vkp" > "$dir/planned.txt" 2>&1 || fail "velko-route cannot read the saved route"
"$route" --dump "$saved/다시R.vkp" > "$dir/reopened.txt" 2>&1 || fail "velko-route cannot read the route saved again"
head -1 "$dir/planned.txt" | grep -q '^result=0 length=[1-9]' || fail "no route saved: $(head -1 "$dir/planned.txt")"
cmp -s "$dir/planned.txt" "$dir/reopened.txt" || fail "the reopened route differs from the planned one"
cmp -s "$dir/out/frames/info-closed.png" "$dir/out/frames/info.png" && fail "the route information did not close"
# The slider dragged while paused; the car jumps where it was put once the drive plays again.
cmp -s "$dir/out/frames/jumped.png" "$dir/out/frames/dragged.png" && fail "the map did not move with the slider"
cmp -s "$dir/out/frames/ended.png" "$dir/out/frames/jumped.png" && fail "the player is still there after 종료"
# The map follows the car, and the drive's end leaves it there: the slider put the car by the
# route's goal (the newest recent destination, in map coordinates).
goal_x=$(int32 "$user" 24) goal_y=$(int32 "$user" 28)
set -- $(pilot)
dragged_x=$1 dragged_y=$2
near "$dragged_x" "$goal_x" 300 && near "$dragged_y" "$goal_y" 300 ||
  fail "the car after the drag at $dragged_x $dragged_y, the goal at $goal_x $goal_y"

# The same drive for the same time without the drag leaves the car near the start, over a
# kilometre from the goal.
fresh
cat > "$dir/undragged.script" << SCRIPT
$planned
$drive
wait 900
tap 12 303
wait 1000
quit
SCRIPT
run undragged
set -- $(pilot)
near "$1" "$goal_x" 1000 && near "$2" "$goal_y" 1000 && fail "the undragged car at $1 $2 is already by the goal"

# The sample's saved routes, each opened from its row of the program's list: the earlier-format
# file and the text are refused with their notices (the menu stays, and its "저장정보관리" (179, 126)
# opens the list again); the car route is shown, taken onto the map and saved again under another
# name, the same route item by item as the sample's file.
fresh
sample="$dev/Storage Card/VelkoData/가람-나루R.vkp"
cat > "$dir/sample.script" << SCRIPT
snapshot before
$open_advanced
tap 65 132
wait 200
tap 179 126
wait 500
snapshot sample-routes
$(row 2)
answer ok
tap 45 268
wait 500
tap 179 126
wait 500
$(row 1)
answer ok
tap 45 268
wait 500
tap 179 126
wait 500
$(row 0)
tap 45 268
wait 500
snapshot sample-info
tap 45 238
wait 500
snapshot sample-route
$(save 가람다시)
quit
SCRIPT
run sample
for f in before sample-routes sample-info sample-route; do has_frame $f; done
printf '%s\n' "이전버전의 경로탐색 파일입니다." "경로 저장 파일이 아닙니다." \
  'Storage Card\VelkoData\가람다시R.vkp에 저장 하였습니다.' > "$dir/expected.log"
cut -f3 "$dir/out/msgbox.log" | cmp -s - "$dir/expected.log" ||
  fail "the notices of the sample's routes: $(cat "$dir/out/msgbox.log")"
"$route" --dump "$sample" > "$dir/sample.txt" 2>&1 || fail "velko-route cannot read the sample's route"
"$route" --dump "$store/가람다시R.vkp" > "$dir/again.txt" 2>&1 || fail "velko-route cannot read the route saved again"
head -1 "$dir/sample.txt" | grep -q '^result=0 length=[1-9]' || fail "the sample's route: $(head -1 "$dir/sample.txt")"
cmp -s "$dir/sample.txt" "$dir/again.txt" || fail "the route opened from 가람-나루R.vkp differs from the file"
cmp -s "$dir/out/frames/sample-route.png" "$dir/out/frames/before.png" && fail "the map did not change with the route"

# The older layout: the saved routes in "\Storage Card\MapData\SaveRoute" and no storage folder.
# Start-up makes the storage folder and moves the routes into it; the list shows them there.
fresh
old="$dir/dev/Storage Card/MapData/SaveRoute"
mkdir -p "$old"
mv "$store"/*R.vkp "$old/" || fail "move the routes to the old layout"
rm -rf "$store"
cat > "$dir/moved.script" << SCRIPT
$open_advanced
tap 65 132
wait 200
tap 179 126
wait 500
$(row 0)
tap 45 268
wait 500
tap 45 238
wait 500
$(save 옮김)
quit
SCRIPT
run moved
[ -e "$old" ] && fail "the old route folder is still there"
for f in 가람-나루R.vkp 메모R.vkp 이전경로R.vkp; do [ -s "$store/$f" ] || fail "$f not moved into the storage folder"; done
grep -qF 'Storage Card\VelkoData\옮김R.vkp에 저장 하였습니다.' "$dir/out/msgbox.log" || fail "the notice of 옮김"
"$route" --dump "$store/옮김R.vkp" > "$dir/moved.txt" 2>&1 || fail "velko-route cannot read 옮김R.vkp"
cmp -s "$dir/sample.txt" "$dir/moved.txt" || fail "the moved 가람-나루R.vkp, opened from row 0, differs from the sample's"
echo "velko route-file checks passed"
