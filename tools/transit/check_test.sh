#!/bin/sh
# Runs velko-transit against velko-transitd on loopback as a user would: a question from 가람 to
# 다솜 by bus and by subway, each server status, each misbehaving server, saving and reopening.
set -u
transitd=$1
transit=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { # check NAME FILE PATTERN: FILE must hold a line matching PATTERN
  if ! grep -q -- "$3" "$2"; then echo "FAIL $1: no line '$3' in:"; cat "$2"; fail=1; fi
}

# start_server [FAULT]: velko-transitd in the background, its stdin held open by a fifo.
start_server() {
  rm -f "$work/in" "$work/ports"
  mkfifo "$work/in"
  if [ $# -gt 0 ]; then "$transitd" --fault "$1" < "$work/in" > "$work/ports" & else "$transitd" < "$work/in" > "$work/ports" & fi
  server=$!
  exec 9> "$work/in"
  for i in 1 2 3 4 5 6 7 8 9 10; do grep -q bus_port "$work/ports" 2> /dev/null && break; sleep 0.2; done
  bus=$(sed -n 's/^bus_port=\([0-9]*\) .*/\1/p' "$work/ports")
  subway=$(sed -n 's/.* subway_port=\([0-9]*\)$/\1/p' "$work/ports")
}
stop_server() {
  exec 9>&-
  wait "$server"
}

HALL=203378,532090   # 가람시청
DASOM=215625,523778  # 다솜중앙
EMPTY=193928,522159  # inside the region, far from every stop

start_server
"$transit" bus --port "$bus" --from $HALL --to $DASOM --save "$work/bus.vkp" > "$work/bus.out"; rc=$?
[ $rc -eq 0 ] || { echo "FAIL bus question exit $rc"; fail=1; }
check bus "$work/bus.out" '^result=0$'
check bus "$work/bus.out" '^route i=0 stops=3 total=3$'
check bus "$work/bus.out" '^stop route=0 i=1 name=동부사거리 x=[0-9]* y=[0-9]* line=52$'
check bus "$work/bus.out" '^stop route=0 i=0 name=가람시청 x=20337[0-9] y=532090 line='
check bus "$work/bus.out" '^stop route=0 i=2 name=다솜중앙 '
check bus "$work/bus.out" '^saved=1$'
"$transit" open "$work/bus.vkp" > "$work/open.out"; rc=$?
[ $rc -eq 0 ] || { echo "FAIL open exit $rc"; fail=1; }
grep -v '^saved=' "$work/bus.out" > "$work/bus.routes"
grep -v '^kind=' "$work/open.out" > "$work/open.routes"
cmp -s "$work/bus.routes" "$work/open.routes" || { echo "FAIL reopened answer differs"; diff "$work/bus.routes" "$work/open.routes"; fail=1; }

"$transit" subway --port "$subway" --from $HALL --to $DASOM --save "$work/sub.vkp" > "$work/sub.out"
check subway "$work/sub.out" '^stop route=0 i=0 name=시청역 x=[0-9]* y=[0-9]* line=가람선 direction=다솜역$'
"$transit" open "$work/sub.vkp" > "$work/subopen.out"
check subway-open "$work/subopen.out" '^kind=subway$'
check subway-open "$work/subopen.out" '^stop route=0 i=1 name=다솜역 '

# The request as the server received it (outside the region: the bus status -4).
"$transit" bus --port "$bus" --from 120000,450000 --to 240000,460000 > "$work/out.out"
check outside "$work/out.out" '^result=-4$'
check request "$work/ports" 'request kind=bus bytes=39 30 00 00 00 10 00 04 00 00 00 00 00 00 00 05 00 01 86 A0 00 06 DD D0 00 03 0D 40 00 07 04 E0 00 00 03 E8 00 00 03 E8'
"$transit" subway --port "$subway" --from 120000,450000 --to 240000,460000 > /dev/null
check request "$work/ports" 'request kind=subway bytes=00 00 00 05 00 00 00 05 00 00 00 18 00 00 30 39 00 01 86 A0 00 06 DD D0 00 03 0D 40 00 07 04 E0 00 00 03 E8 00 00 03 E8'
# Statuses: no stop near the start or the destination, no route.
for c in "bus $EMPTY $DASOM -1" "bus $HALL $EMPTY -2" "bus $HALL $HALL -5" \
         "subway $EMPTY $DASOM -1073741822" "subway $HALL $EMPTY -1073741821" "subway $HALL $HALL -1073741819"; do
  set -- $c
  port=$bus; [ "$1" = subway ] && port=$subway
  "$transit" "$1" --port "$port" --from "$2" --to "$3" > "$work/status.out"
  check "status $c" "$work/status.out" "^result=$4\$"
done
# A file of the wrong kind and a folder.
printf '\017xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx' > "$work/car.vkp"
"$transit" open "$work/car.vkp" > "$work/car.out" 2> "$work/car.err"; rc=$?
[ $rc -eq 1 ] || { echo "FAIL car file exit $rc"; fail=1; }
check car "$work/car.err" 'message="버스용 탐색데이타가 아닙니다."'
"$transit" open "$work" > /dev/null 2>&1; rc=$?
[ $rc -eq 2 ] || { echo "FAIL folder exit $rc"; fail=1; }
stop_server

# Misbehaving servers: the failure code of each client, or what is kept.
for c in "wrong-magic -3 -1073741823" "short-header -3 -1073741823" "short-text -3 -1073741823" \
         "negative-length -3 -1073741823" "huge-length -3 -1073741823" "silence -3 -1073741823" \
         "close -3 -1073741823" "random -3 -1073741823" "unavailable -3 -1073741820" \
         "seven-routes 0 0" "long-names 0 0" "long-numbers 0 0" "no-bar 0 0" "stops-beyond 0 0"; do
  set -- $c
  start_server "$1"
  "$transit" bus --port "$bus" --from $HALL --to $DASOM --timeout 1 > "$work/f.bus"
  check "fault $1 bus" "$work/f.bus" "^result=$2\$"
  "$transit" subway --port "$subway" --from $HALL --to $DASOM --timeout 1 > "$work/f.sub"
  check "fault $1 subway" "$work/f.sub" "^result=$3\$"
  case $1 in
    seven-routes) check "$1" "$work/f.bus" '^routes=5$'; check "$1" "$work/f.sub" '^routes=5$' ;;
    long-names) check "$1" "$work/f.bus" '^stop route=0 i=1 name=동부사거리X\{21\} x=' ;;
    long-numbers) check "$1" "$work/f.bus" '^stop route=0 i=0 name=가람시청 x=2147483647 y=2147483647 ' ;;
    no-bar) check "$1" "$work/f.bus" '^routes=1$'; check "$1" "$work/f.sub" '^route i=0 stops=2 total=2$'
            if grep -q '^stop ' "$work/f.sub"; then echo "FAIL no-bar: subway stops read"; fail=1; fi ;;
    stops-beyond) check "$1" "$work/f.bus" '^routes=0$'; check "$1" "$work/f.sub" '^route i=0 stops=1002 total=2$' ;;
  esac
  stop_server
done

# No server on the port.
start_server
stop_server
"$transit" bus --port "$bus" --from $HALL --to $DASOM > "$work/none.out"
check "no server" "$work/none.out" '^result=-10$'
"$transit" bus --port 0 --from $HALL --to $DASOM > /dev/null 2>&1; rc=$?
[ $rc -eq 2 ] || { echo "FAIL port 0 accepted"; fail=1; }
"$transit" bus --port 5 --from 0,1 --to $DASOM > /dev/null 2>&1; rc=$?
[ $rc -eq 2 ] || { echo "FAIL zero coordinate accepted"; fail=1; }

[ $fail -eq 0 ] && echo "transit tools: all checks passed"
exit $fail
