#!/bin/sh
# velko-dialog on the sample device as a user runs it: the recent destinations (rows, tab,
# deleting with the question answered yes or no, "바로탐색" refused or taken) and the safe-driving
# points (rows, switching the list, restoring, the chosen point in map coordinates), the saved
# routes (rows, deleting one) and saving a route under a typed name (good, empty, refused). Each run is
# on a fresh copy of the device's user data (the rest of the device linked, not copied).
set -u
dev=$(cd "$1" && pwd)
tool=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/out.txt" ] && cat "$dir/out.txt" "$dir/err.txt"; exit 1; }
has() { grep -qxF -- "$1" "$dir/out.txt" || fail "$2: no line '$1'"; }
lacks() { grep -q -- "$1" "$dir/out.txt" && fail "$2: unexpected '$1'"; return 0; }
user="My Documents/Velko/DestPosition"
store="Storage Card/VelkoData"
fresh() {
  rm -rf "$dir/dev" "$dir/frames"
  cp -rs "$dev" "$dir/dev"
  for f in "$user" "$store/position" "$store/출장.pos" "$store/guidepoint" "$store/Dguidepoint"; do
    cp --remove-destination "$dev/$f" "$dir/dev/$f"
  done
}
# run NAME SCRIPT-TEXT [--set K=V]...
run() {
  name=$1 text=$2
  shift 2
  fresh
  printf '%b' "$text" > "$dir/run.script"
  "$tool" --root "$dir/dev" --dialog "$name" "$@" --script "$dir/run.script" --frames "$dir/frames" \
    > "$dir/out.txt" 2> "$dir/err.txt"
  code=$?
}
boxes() { cut -f3- "$dir/frames/msgbox.log"; }
back='tap 175 18\n'

# ---- Recent destinations ----
run recent "wait 100\nsnapshot open\n$back" --set type=2
[ $code = 0 ] || fail "open and close: exit $code"
has result=3 "back"
has tab=0 "type 2 selects 텝_목적지"
has rows=4 "four rows"
has "row.0=가람시청" "row 0"
has "row.1=나루역 - 경유지3" "row 1"
has "row.2=동문시장 - 경유지5" "row 2"
has "row.3=나루역 앞" "row 3"
lacks '^written=' "nothing written by looking"
[ -s "$dir/frames/frames/open.png" ] || fail "frame of the open list"

# Deleting the last row (the one at the same place as "나루역"): the row chosen goes.
run recent "wait 100\nanswer yes\ntap 47 270\nsnapshot deleted\n$back" --set row=3 --set type=2
boxes | grep -qxF "$(printf "'나루역 앞'를 삭제 하시겠습니까?\t3000\t4001")" || fail "the deletion question"
has rows=3 "three rows left"
has "row.1=나루역 - 경유지3" "나루역 remains"
has count.recent=3 "count"
has selection.index=2 "the row before is selected"
has "written=\\My Documents\\Velko\\DestPosition size=136" "the list file, 4 + 3 x 44 bytes"
has sip.calls=0 "no input-panel call after the question"
has taskbar.hidden=1 "the taskbar stays hidden"
# The file is the old one without its last record and with count 3.
head -c 136 "$dev/$user" | tail -c +5 > "$dir/expected"
tail -c +5 "$dir/dev/$user" | cmp -s - "$dir/expected" || fail "the three records kept"
[ "$(od -An -tu4 -N4 "$dir/dev/$user" | tr -d ' ')" = 3 ] || fail "count 3 in the file"
[ -s "$dir/frames/frames/msgbox-1.png" ] || fail "frame of the question"

# Deleting row 0 of three leaves row 0 selected.
run recent "wait 100\nanswer yes\ntap 47 270\ntap 100 58\nanswer yes\ntap 47 270\nsnapshot first-deleted\n$back" --set row=3
boxes | grep -qxF "$(printf "'가람시청'를 삭제 하시겠습니까?\t3000\t4001")" || fail "row 0 tapped and asked for"
has rows=2 "two rows"
has "row.0=나루역 - 경유지3" "row 0 after deleting 가람시청"
has selection.index=0 "row 0 stays selected"

# Answering no leaves the file byte for byte.
run recent "wait 100\nanswer no\ntap 47 270\n$back" --set row=1
has rows=4 "nothing deleted"
lacks '^written=' "no file written"
cmp -s "$dev/$user" "$dir/dev/$user" || fail "the file changed"

# "바로탐색" on the start tab (tapped) without a destination: refused, the dialog stays.
run recent "wait 100\ntap 154 300\nanswer ok\ntap 193 270\nsnapshot refused\n$back" --set row=1 --set type=2
boxes | grep -qxF "$(printf '목적지를 먼저 설정하신 후 바로탐색을 실행시켜주십시오.\t3001\t4001')" ||
  fail "the notice of 61210"
has result=3 "closed by 이전 after the refusal"
has selection.type=1 "the start tab"
has sip.calls=0 "state 3 around the notice"
# On the destination tab it closes with result 2 and the chosen row.
run recent "wait 100\ntap 193 270\n" --set row=1 --set type=2
[ $code = 0 ] || fail "route now: exit $code"
has result=2 "route now"
has "selection.name=나루역" "the chosen point"
has selection.kind=8 "a recent destination"
# No row chosen.
run recent "wait 100\nanswer ok\ntap 193 270\n$back" --set row=-1 --set type=2
boxes | grep -qxF "$(printf '선택한 최근목적지가 없습니다.\t3001\t4001')" || fail "no row: notice"
has result=3 "no row: closed by 이전"

# ---- Safe-driving points ----
run safedrive "wait 100\nsnapshot open\ntap 124 45\nsnapshot switched\nanswer yes\ntap 47 264\nsnapshot restored\n$back"
[ $code = 0 ] || fail "safedrive: exit $code"
boxes | grep -qxF "$(printf "'E1271200 N373000'를 복원 하시겠습니까?\t3000\t4001")" || fail "the restore question"
has button=복원 "the button renamed"
has rows=0 "the switched-off list emptied"
has restored=1 "restored flag"
has count.safeoff=0 "count"
has count.safe=2 "registered points untouched"
has "written=\\Storage Card\\VelkoData\\Dguidepoint size=4" "Dguidepoint is its count alone"
[ "$(od -An -tu4 -N4 "$dir/dev/$store/Dguidepoint" | tr -d ' ')" = 0 ] || fail "count 0 in Dguidepoint"

# The rows of the registered points, and the first one's place in map coordinates.
run safedrive "wait 100\ntap 122 264\n" --set row=0
has result=1 "위치보기"
has button=삭제 "the registered list's button"
has "row.0=007@과속주의 1" "id 7 with three digits"
has "row.1=1234@학교앞" "id 1234"
has selection.x=192000 "map x of point-file 160000"
has selection.y=530000 "map y of point-file 530000"
has selection.list=0 "the registered list"
lacks '^written=' "nothing written"

# Deleting a registered point: the row chosen goes, the other stays; answering no keeps the file.
run safedrive "wait 100\nanswer yes\ntap 47 264\n$back" --set row=1
boxes | grep -qxF "$(printf "'1234@학교앞'를 삭제 하시겠습니까?\t3000\t4001")" || fail "the deletion question"
has rows=1 "one registered point left"
has "row.0=007@과속주의 1" "the other point stays"
has restored=0 "a deletion restores nothing"
has "written=\\Storage Card\\VelkoData\\guidepoint size=40" "guidepoint of one record"
run safedrive "wait 100\nanswer no\ntap 47 264\n$back" --set row=0
has rows=2 "nothing deleted"
lacks '^written=' "no file written"

# ---- Saved routes ----
# The sample's three saved routes in its storage folder on the card, listed by name; deleting one
# with the question answered yes.
run savedroutes "wait 100\nsnapshot saved\n$back"
[ $code = 0 ] || fail "saved routes: exit $code"
has result=3 "saved routes: back"
has rows=3 "three saved routes"
has "row.0=가람-나루R.vkp" "saved row 0"
has "row.1=메모R.vkp" "saved row 1"
has "row.2=이전경로R.vkp" "saved row 2"
[ -s "$dir/frames/frames/saved.png" ] || fail "frame of the saved routes"
# They are listed from the storage folder in use: with the handheld's memory chosen (setting 64 =
# 0) the card's routes are not among them.
run savedroutes "wait 100\n$back" --set 64=0
has result=3 "memory storage: back"
has rows=0 "no saved routes in the handheld's memory"
run savedroutes "wait 100\nanswer yes\nanswer ok\ntap 30 72\ntap 112 268\nsnapshot deleted\n$back"
has rows=2 "a row deleted"
lacks "row.*=메모R.vkp" "메모R.vkp gone"
boxes | grep -qF "'메모R.vkp' 을(를) 삭제하시겠습니까?" || fail "the deletion question"
boxes | grep -qF "'메모R.vkp' 을(를) 삭제하였습니다." || fail "the deletion notice"
[ -e "$dir/dev/$store/메모R.vkp" ] && fail "메모R.vkp still on the device"
# "보기" with nothing selected stays open.
run savedroutes "wait 100\ntap 45 268\n$back"
has result=3 "view without a row stays open"
# "보기" on a row closes with 1002 and that route.
run savedroutes "wait 100\ntap 30 72\ntap 45 268\nwait 100\n"
has result=1002 "view a row"
has "selected=메모R.vkp" "the row viewed"
# A delete the storage refuses: the notice, the file and its row kept.
run savedroutes "wait 100\nanswer yes\nanswer ok\ntap 30 72\ntap 112 268\n$back" --set failwrites=1
has rows=3 "the row kept"
boxes | grep -qF "'메모R.vkp' 을(를) 삭제할 수 없습니다." || fail "the failed deletion notice"
[ -e "$dir/dev/$store/메모R.vkp" ] || fail "메모R.vkp deleted although the delete failed"
# The storage page ("저장위치" tab): the two places, the card chosen (setting 64 = 1); choosing
# the handheld's memory and leaving with "이전" asks whether to keep it, and no keeps the card.
run savedroutes "wait 100\ntap 175 300\nwait 100\nsnapshot location\ntap 30 88\nanswer no\n$back"
has result=3 "storage page: back"
boxes | grep -qxF "설정사항을 저장하시겠습니까?	3000	4002" || fail "the keep-settings question"
lacks "written=.*config.bin" "settings unchanged"
# "적용" without a change asks only whether to go on with the settings.
run savedroutes "wait 100\ntap 175 300\nwait 100\nanswer no\ntap 120 268\nwait 100\n"
[ "$(boxes | wc -l)" = 1 ] || fail "apply without a change: one question"
boxes | grep -qF "환경설정을 계속하시겠습니까?" || fail "the go-on question"

# ---- Saving a route ----
run routesave "wait 100\ntap 118 136\n$back" --set name=출근길
has result=1000 "a good name is saved"
has "name=출근길" "the name typed"
run routesave "wait 100\nanswer ok\ntap 118 136\n$back" --set name=..\\\\x
has result=3 "a name with a separator stays open"
boxes | grep -qF "저장할 수 없는 이름입니다." || fail "the refused name notice"
run routesave "wait 100\nanswer ok\ntap 118 136\n$back"
has result=3 "an empty name stays open"
boxes | grep -qF "저장할 명칭을 입력하여 주십시요." || fail "the empty name notice"

# Bad use: an unknown dialog, no script.
"$tool" --root "$dev" --dialog nosuch --script "$dir/run.script" --frames "$dir/frames" > /dev/null 2>&1
[ $? = 2 ] || fail "unknown dialog: exit 2"
"$tool" --root "$dir/none" --dialog recent --script "$dir/run.script" --frames "$dir/frames" > /dev/null 2>&1
[ $? = 1 ] || fail "no device: exit 1"
echo "velko-dialog: all checks passed"
