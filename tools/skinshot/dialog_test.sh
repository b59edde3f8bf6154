#!/bin/sh
# velko-skinshot's script modes on a freshly built sample device: screens in the common dialog with
# combo popups run by the dialogs' protocol, and the skinned message box answered by the script or
# by a tap.
set -eu
mkdevice=$1
shot=$2
scripts=$(dirname "$0")/dialog_scripts
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir/out.txt" 2> /dev/null || true; cat "$dir"/*/events.log 2> /dev/null || true; exit 1; }
"$mkdevice" --out "$dir/root" > "$dir/make.txt"

# The display page: the level tab's tap, then the guidance-level combo's popup of seven rows; the
# fourth row gives the combo "6레벨", the popup closes, "이전" closes the page.
"$shot" --root "$dir/root" --screen 환경설정-디스플레이 --script "$scripts/display_level.script" --out "$dir/d" \
  > "$dir/out.txt" 2>&1 || fail "display run"
log=$dir/d/events.log
head -1 "$log" | grep -q '^event target=DIALOG control=환경설정-디스플레이 text= id=2020 ' || fail "built notice first"
grep -q '^event target=환경설정탭 control= text=tab_레벨 id=2015 p1=2 ' "$log" || fail "tab_레벨 tap"
grep -q '^popup opened=안내레벨콤보$' "$log" || fail "popup opened"
[ "$(grep -c '^event target=안내레벨콤보 control=안내레벨콤보그룹 text=.* id=2021 ' "$log")" = 7 ] || fail "seven rows"
grep -q '^event target=안내레벨콤보 control= text= id=2019 ' "$log" || fail "2019 from the combo"
grep -q '^event target=안내레벨콤보 control= text=6레벨 id=2015 p1=3 ' "$log" || fail "6레벨 chosen"
grep -q '^popup closed=안내레벨콤보$' "$log" || fail "popup closed"
tail -1 "$log" | grep -q '^closed ret=0$' || fail "closed by 이전"
[ -s "$dir/d/frames/popup.png" ] || fail "popup frame"

# A my-menu combo: 31 rows, four pages forward.
"$shot" --root "$dir/root" --screen 환경설정-시스템 --script "$scripts/mymenu_pages.script" --out "$dir/m" \
  > "$dir/out.txt" 2>&1 || fail "my-menu run"
log=$dir/m/events.log
grep -q '^event target=환경설정탭 control= text=tab_메뉴 id=2015 p1=3 ' "$log" || fail "tab_메뉴"
[ "$(grep -c '^event target=나만의메뉴0 control=나만의메뉴0그룹 text=.* id=2021 ' "$log")" = 31 ] || fail "31 rows"
[ "$(grep -c '^event target=나만의메뉴0 control=나만의메뉴0그룹 text= id=2024 p1=1 ' "$log")" = 4 ] || fail "four pages"
grep -q '^event target=나만의메뉴0 control= text= id=2019 ' "$log" || fail "닫기 ends the popup"
tail -1 "$log" | grep -q '^closed ret=0$' || fail "closed"

# The message box: yes, no, and a notice answered by a tap on its button.
"$shot" --root "$dir/root" --message '경로를 저장하시겠습니까?' --type 3000 --script "$scripts/msg_yes.script" \
  --out "$dir/y" > "$dir/out.txt" 2>&1 || fail "yes run"
grep -q '^answer=4001$' "$dir/out.txt" || fail "yes is 4001"
grep -q '	경로를 저장하시겠습니까?	3000	4001$' "$dir/y/msgbox.log" || fail "question logged"
"$shot" --root "$dir/root" --message '경로를 저장하시겠습니까?' --type 3000 --script "$scripts/msg_no.script" \
  --out "$dir/n" > "$dir/out.txt" 2>&1 || fail "no run"
grep -q '^answer=4002$' "$dir/out.txt" || fail "no is 4002"
"$shot" --root "$dir/root" --message '저장되었습니다.' --type 3001 --script "$scripts/msg_tap.script" \
  --out "$dir/t" > "$dir/out.txt" 2>&1 || fail "notice run"
grep -q '^answer=4001$' "$dir/out.txt" || fail "the notice's button is 4001"
grep -q '	저장되었습니다.	3001	4001$' "$dir/t/msgbox.log" || fail "notice logged"
[ -s "$dir/t/frames/msgbox-1.png" ] || fail "the box framed"

set +e
"$shot" --root "$dir/root" --message x --type 7 --script "$scripts/msg_yes.script" --out "$dir/x" > /dev/null 2>&1
[ $? = 2 ] || fail "a bad box type is a usage error"
"$shot" --root "$dir/root" --message x --type 3000 --out "$dir/x" > /dev/null 2>&1
[ $? = 2 ] || fail "a box needs a script"
exit 0
