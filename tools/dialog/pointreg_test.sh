#!/bin/sh
# velko-dialog with the point registration dialog on the sample device: registering a point into
# the folder "출장" byte for byte, the name checks, "집" moved out of Position, creating and
# refusing folders, and the two safe-driving lists. Each run is on a fresh copy of the device's
# user data (the rest of the device linked, not copied).
set -u
dev=$(cd "$1" && pwd)
tool=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/out.txt" ] && cat "$dir/out.txt" "$dir/err.txt"; exit 1; }
has() { grep -qxF -- "$1" "$dir/out.txt" || fail "$2: no line '$1'"; }
lacks() { grep -q -- "$1" "$dir/out.txt" && fail "$2: unexpected '$1'"; return 0; }
store="Storage Card/VelkoData"
fresh() {
  rm -rf "$dir/dev" "$dir/frames"
  cp -rs "$dev" "$dir/dev"
  for f in "$store/position" "$store/출장.pos" "$store/guidepoint" "$store/Dguidepoint"; do
    cp --remove-destination "$dev/$f" "$dir/dev/$f"
  done
}
run() {
  text=$1
  shift
  fresh
  printf '%b' "$text" > "$dir/run.script"
  "$tool" --root "$dir/dev" --dialog pointreg "$@" --script "$dir/run.script" --frames "$dir/frames" \
    > "$dir/out.txt" 2> "$dir/err.txt"
  code=$?
  [ $code = 0 ] || fail "exit $code"
}
# notice TEXT [TYPE [ANSWER]]: the box was shown and answered.
notice() { cut -f3- "$dir/frames/msgbox.log" | grep -qxF "$(printf '%s\t%s\t%s' "$1" "${2:-3001}" "${3:-4001}")" || fail "box '$1'"; }
u8() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
save='tap 185 66\n'
at='--set x=45720000 --set y=13500000'

# Registering "가람시청" with symbol 2 (tapped) and the voice "주유소" (3), chosen in the pop-up list
# the combo "음성설정" opens over the dialog, into "출장": 4 + 3 x 30 bytes.
run "wait 100\nsnapshot open\ntap 119 123\ntap 60 259\nwait 100\nsnapshot popup\ntap 60 115\nsnapshot chosen\n$save" \
  $at --set name=가람시청 --set folder=출장
has voice=3 "주유소 from the pop-up list"
has symbol=2 "symbol 2"
[ -s "$dir/frames/frames/popup.png" ] || fail "frame of the pop-up list"
has code=ok "저장"
has result=4 "saved"
has "written=\\Storage Card\\VelkoData\\출장.pos size=94" "출장.pos grew by one record"
f="$dir/dev/$store/출장.pos"
[ "$(u32 "$f" 0)" = 3 ] || fail "count 3"
[ "$(u32 "$f" 84)" = 45720000 ] || fail "last record x"
[ "$(u32 "$f" 88)" = 13500000 ] || fail "last record y"
[ "$(u8 "$f" 92)" = 3 ] || fail "voice byte"
[ "$(u8 "$f" 93)" = 2 ] || fail "symbol byte"
head -c 64 "$dev/$store/출장.pos" | tail -c +5 > "$dir/expected"
head -c 64 "$f" | tail -c +5 | cmp -s - "$dir/expected" || fail "the two old records kept"
[ -s "$dir/frames/frames/open.png" ] || fail "frame of the open dialog"

# Name checks with Enter: 21 bytes and an empty name are refused, 20 bytes registered.
run "wait 100\nanswer ok\nkey RETURN\nkey ESCAPE\n" $at --set name=가나다라마바사아자차1
notice "허용 명칭 길이를 초과하였습니다. 명칭 길이를 줄여 입력하여 주십시오."
has code=cancel "Escape"
lacks '^written=' "nothing registered"
run "wait 100\nanswer ok\nkey RETURN\nkey ESCAPE\n" $at
notice "명칭을 입력하십시오."
run "wait 100\nkey RETURN\n" $at --set name=가나다라마바사아자차
has code=ok "20 bytes registered"

# "집" into "출장": the sample's "집" leaves Position.
run "wait 100\n$save" $at --set name=집 --set symbol=4 --set folder=출장
has "written=\\Storage Card\\VelkoData\\출장.pos size=94" "the new 집"
p="$dir/dev/$store/position"
[ "$(u32 "$p" 0)" = "$(($(u32 "$dev/$store/position" 0) - 1))" ] || fail "Position lost its 집"
has "written=\\Storage Card\\VelkoData\\position size=64" "Position written with one record fewer"

# Folders (the folder list alone): "여행" created empty; "출장" in use refused; "기본" kept.
run "wait 100\ntap 43 257\ntext \"여행\"\ntap 61 113\nsnapshot created\ntap 61 289\n" --set folderonly=1
has "written=\\Storage Card\\VelkoData\\여행.pos size=4" "an empty folder file"
has "folder.2=여행" "listed"
run "wait 100\nanswer ok\ntap 43 257\ntext \"출장\"\ntap 61 113\ntap 179 113\ntap 61 289\n" --set folderonly=1
notice "출장(을)를 수정할 수 없습니다."
has count.points=5 "출장 not loaded twice"
run "wait 100\nanswer ok\ntap 189 257\ntap 61 289\n" --set folderonly=1 --set row=0
notice "기본(을)를 삭제할 수 없습니다."
lacks '^written=' "nothing deleted"

# A tap on the row of "출장" selects it; deleting asks for it by name, and "no" keeps its file.
run "wait 100\ntap 100 112\nanswer no\ntap 189 257\ntap 61 289\n" --set folderonly=1
notice "출장(을)를 삭제하시겠습니까?" 3000 4002
has row=1 "the tapped row"
has folder=출장 "the tapped folder"
lacks '^written=' "nothing deleted"

# The safe-driving lists: values in their own order, the next id, names that must fit.
run "wait 100\n" $at --set action=safe --set name=가나다라마바사아자1 --set values=1,2,3
has added=1 "19 bytes added"
g="$dir/dev/$store/guidepoint"
n=$(u32 "$g" 0)
last=$((4 + 36 * (n - 1)))
[ "$(u16 "$g" $((last + 28)))/$(u16 "$g" $((last + 30)))/$(u16 "$g" $((last + 32)))" = 1/3/2 ] || fail "kind, third, second"
[ "$(u16 "$g" $((last + 34)))" = "$(($(u16 "$g" $((last - 2))) + 1))" ] || fail "the next id"
run "answer ok\nwait 100\n" $at --set action=safe --set name=가나다라마바사아자차
has added=0 "20 bytes refused"
notice "허용 명칭 길이를 초과하였습니다. 명칭 길이를 줄여 입력하여 주십시오."
lacks '^written=' "the list file untouched"
run "wait 100\n" $at --set action=removed --set name=E1271200 --set values=1,2,3
has added=1 "switched off"
d="$dir/dev/$store/Dguidepoint"
last=$((4 + 36 * ($(u32 "$d" 0) - 1)))
[ "$(u16 "$d" $((last + 28)))/$(u16 "$d" $((last + 30)))/$(u16 "$d" $((last + 32)))" = 1/2/3 ] || fail "argument order"
echo "velko-dialog pointreg: all checks passed"
