#!/bin/sh
# velko-dialog on the sample device with the coordinate moves, as a user types on their keypads:
# the location code ("도르바") and the latitude and longitude ("경위도"): the automatic advance,
# confirming a place, and every refused entry with its notice and the field that gets the focus.
# Neither dialog writes a file.
set -u
dev=$(cd "$1" && pwd)
tool=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/out.txt" ] && cat "$dir/out.txt" "$dir/err.txt"; exit 1; }
has() { grep -qxF -- "$1" "$dir/out.txt" || fail "$2: no line '$1'"; }
lacks() { grep -q -- "$1" "$dir/out.txt" && fail "$2: unexpected '$1'"; return 0; }
# run NAME SCRIPT-TEXT [--set K=V]...
run() {
  name=$1 text=$2
  shift 2
  rm -rf "$dir/frames"
  printf '%b' "$text" > "$dir/run.script"
  "$tool" --root "$dev" --dialog "$name" "$@" --script "$dir/run.script" --frames "$dir/frames" \
    > "$dir/out.txt" 2> "$dir/err.txt"
  code=$?
  [ $code = 0 ] || fail "$name: exit $code"
  lacks '^written=' "$name writes nothing"
}
notice() { cut -f3- "$dir/frames/msgbox.log" | grep -qxF "$(printf '%s\t3001\t4001' "$1")" || fail "notice '$1'"; }
# The keypad: "1" to "9" in rows of three from (42, 172), 55 apart and 32 down; "0" (42, 268).
key() {
  case $1 in
    0) printf 'tap 42 268\\n' ;;
    .) printf 'tap 202 237\\n' ;;
    *) d=$(($1 - 1)); printf 'tap %d %d\\n' $((42 + 55 * (d % 3))) $((172 + 32 * (d / 3))) ;;
  esac
}
keys() { s=$1; while [ -n "$s" ]; do key "$(printf %.1s "$s")"; s=${s#?}; done; }
back='tap 175 18\n'
clear='tap 202 268\n'

# ---- Location code ----
dshow='tap 60 115\n'
droute='tap 180 115\n'
run dorva "wait 100\n$(keys 123)snapshot advanced\n$back"
has result=cancel "이전"
has focus=1621 "keys 1 2 3 move to the second field"
has text1=123 "first field"
[ -s "$dir/frames/frames/advanced.png" ] || fail "frame after the advance"
run dorva "wait 100\n$(keys 222)$back"
has focus=1621 "2 three times"
run dorva "wait 100\ntext \"123\"\n$back"
has focus=1620 "keyboard text does not advance"
has text1=123 "the typed text"

run dorva "wait 100\n$(keys 0000003606)snapshot code\n$dshow"
has result=ok "위치보기 with a valid code"
has routenow=0 "shown, not routed"
has position.x=160005 "cell centre x"
has position.y=530005 "cell centre y"
has map.x=192006 "the shell's map x"
has code.digits=3606 "column 3, row 6, sub-column 0, sub-row 6"
has text3=3606 "the digits field"

run dorva "wait 100\nanswer ok\n$(keys 9999999999)$dshow$back"
notice "DORVA 가 지도 범위를 벗어났습니다."
has result=cancel "outside the map keeps the dialog open"
has focus=1620 "the focus back on the first field"
run dorva "wait 100\nanswer ok\n$dshow$back" --set text1=000 --set text3=3606
notice "입력값이 유효하지 않습니다."
has focus=1621 "the empty second field"
run dorva "wait 100\nanswer ok\n$dshow$back" --set text1=000 --set text2=000 --set text3=7
notice "DORVA 가 지도 범위를 벗어났습니다."
run dorva "wait 100\nanswer ok\ntap 91 298\n$droute$back" --set text1=000 --set text2=000 --set text3=3606
notice "목적지를 먼저 설정하신 후 바로탐색을 실행시켜주십시오."
has type=3 "the waypoint tab"
run dorva "wait 100\ntap 91 298\n$droute" --set text1=000 --set text2=000 --set text3=3606 --set direct=1
has result=ok "route now with a destination set"
has routenow=1 "route now"
run dorva "wait 100\ntap 121 74\n${clear}$back" --set text1=111 --set text2=222 --set text3=3333
has text1=111 "Clear leaves the first field"
has text2= "Clear empties the focused field"
has text3=3333 "Clear leaves the digits"

# ---- Latitude and longitude ----
lshow='tap 60 131\n'
lroute='tap 180 131\n'
run latlon "wait 100\n$(keys 12700000003730)$(key .)$(key 0)snapshot typed\n$lshow"
has result=ok "keypad entry confirmed"
has text1=127 "degrees"
has text3=00000 "five seconds characters, then the advance"
has text6=.0 "the full-stop key"
has net.x=45720000 "127 degrees east"
has net.y=13500000 "37 30 north"
has map.x=192000 "map x"
has map.y=530000 "map y"
[ -s "$dir/frames/frames/typed.png" ] || fail "frame of the typed entry"

run latlon "wait 100\n$lshow" --set text1=127 --set text2=0 --set text3=12.3456 --set text4=37 --set text5=30 --set text6=.
has net.x=45721234 "12.3456 seconds: 12346 mas, 1234 hundredths"
has text6=0 "a full stop alone counts 0"
run latlon "wait 100\ntap 172 95\n$(keys 123456)$back"
has text6=12345 "a sixth character taken back"
run latlon "wait 100\ntap 22 40\n$lshow" --set text1=127 --set text2=0 --set text3=0 --set text4=37 --set text5=30 --set text6=0
has wgs84=1 "the WGS-84 entry"
lacks '^net.x=45720000$' "the WGS-84 entry is shifted"
run latlon "wait 100\nanswer ok\ntap 104 95\n$lshow$back" --set text1=999 --set text2=0 --set text3=0 --set text4=37 --set text5=30 --set text6=0
notice "경위도가 지도 범위를 벗어났습니다."
has focus=1051 "outside: the focus on the first field"
run latlon "wait 100\nanswer ok\n$lshow$back" --set text1=127 --set text2=0 --set text3=0 --set text4=37 --set text5=75 --set text6=0
notice "입력값이 유효하지 않습니다."
has focus=1055 "75 minutes"
run latlon "wait 100\nanswer ok\ntap 91 298\n$lroute$back" --set text1=127 --set text2=0 --set text3=0 --set text4=37 --set text5=30 --set text6=0
notice "목적지를 먼저 설정하신 후 바로탐색을 실행시켜주십시오."
has type=3 "the waypoint tab"
run latlon "wait 100\nkey ESCAPE\n"
has result=cancel "Escape"
echo "velko-dialog moves: all checks passed"
