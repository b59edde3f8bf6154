#!/bin/sh
# velko-dialog's route dialogs on the sample device, on its saved car route "가람-나루R.vkp"
# (11,125 m, 730 s, one waypoint "가람IC앞"): the route information at a given clock and its
# summary page, the waypoint list, the simulation player stepped as the drive steps it (speeds,
# ending), the highway panel, and a route file that is missing or not given.
set -u
dev=$(cd "$1" && pwd)
tool=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/out.txt" ] && cat "$dir/out.txt" "$dir/err.txt"; exit 1; }
has() { grep -qxF -- "$1" "$dir/out.txt" || fail "$2: no line '$1'"; }
route='\Storage Card\VelkoData\가람-나루R.vkp'
cp -rs "$dev" "$dir/dev"
# run NAME SCRIPT-TEXT [ARGS]...
run() {
  name=$1 text=$2
  shift 2
  rm -rf "$dir/frames"
  printf '%b' "$text" > "$dir/run.script"
  "$tool" --root "$dir/dev" --dialog "$name" "$@" --script "$dir/run.script" --frames "$dir/frames" \
    > "$dir/out.txt" 2> "$dir/err.txt"
  code=$?
}

# ---- Route information: the clock at 14:05:30 plus the route's 730 s; "경로요약" (205, 238)
# opens the summary and stays open, "안내시작" (45, 238) then closes with 6.
run routeinfo "wait 300\nsnapshot info\ntap 205 238\nwait 100\nsnapshot summary\n" --route "$route" --clock 14:05:30
[ $code = 3 ] || fail "summary stays open: exit $code"
has route.length=11125 "length"
has route.waypoints=1 "one waypoint"
has "info.전체거리값=11.13 Km" "distance"
has "info.현재시각값=14시 5분 30초" "clock"
has "info.잔여시간값=12분 10초" "remaining"
has "info.도착예정시각값=14시 17분 40초" "arrival"
has "info.경유지=경유지 : 가람IC앞" "waypoint"
has result=11 "summary open"
has summary.pages=2 "two pages"
has summary.0=가람시청 "start first"
has summary.3=가람IC앞 "the waypoint"
grep -qx "summary\.[0-9]*========>가람IC 진입" "$dir/out.txt" || fail "highway entry"
run routeinfo "wait 300\ntap 45 238\nwait 100\n" --route "$route"
[ $code = 0 ] || fail "guidance start: exit $code"
has result=6 "안내시작"

# ---- Waypoints: row 1 marked, "위치보기" closes with 11 and that row.
run waypoints "wait 300\ntap 90 72\nwait 100\ntap 40 238\nwait 100\n" --route "$route"
[ $code = 0 ] || fail "waypoints: exit $code"
has result=11 "위치보기"
has selection=0 "first row"
has "selection.text=(1) 가람IC앞" "row text"

# ---- Player: a step every 700 ms (the first at 20 ms) moves the slider by the speed's step:
# 80 m at speed 0, 180 m after "속도업" (14, 170); "종료" (12, 303) ends the drive.
run player "wait 4000\n" --route "$route" --steps 5
[ $code = 0 ] || fail "player: exit $code"
has steps=5 "five steps"
has slider=400 "5 x 80 m"
has speed.index=0 "slowest"
run player "wait 100\ntap 14 170\nwait 5000\n" --route "$route" --steps 3
has speed.index=1 "speed up"
has slider=440 "80 + 180 + 180 m"
run player "wait 800\ntap 12 303\nwait 3000\n" --route "$route" --steps 30
[ $code = 0 ] || fail "player end: exit $code"
has ended=1 "종료"
has slider=160 "two steps before the end"

# ---- Highway panel: the route's length and time, the speed given.
run highway "wait 2500\n" --route "$route" --steps 2 --set speed=87
[ $code = 0 ] || fail "highway: exit $code"
has remaining=11.1k "remaining km"
has time=00:12 "730 s"
has count=87 "speed"

# ---- A route file that cannot be read, and none given.
run player "wait 100\n" --route '\Storage Card\VelkoData\없음R.vkp'
[ $code = 1 ] || fail "missing route: exit $code"
has "route.error=the route file cannot be read" "missing route"
run player "wait 100\n"
[ $code = 2 ] || fail "no --route: exit $code"
echo "route dialogs ok"
