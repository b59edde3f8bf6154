#!/bin/sh
# The settings pages reached through the navigator's menu, headless on a fresh copy of the sample
# device: the advanced menu, "환경설정", "사운드"; the button sounds switched off on tab "효과음"
# and applied. From then on taps on the main screen and a message box play no click, without a
# restart and after one; with the sounds left on the same taps click.
set -u
dev=$1
velko=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir"/out/host.log "$dir"/out/sounds.log "$dir"/out/msgbox.log "$dir/err.txt" 2> /dev/null | head -40; exit 1; }

# The launcher (2-40, 281-318), "메뉴전환" (180, 218) to the advanced menu, "환경설정" (65, 201) and its
# fourth entry "사운드" (180, 127). On the page: tab "효과음" (178, 302), "해제" (145, 73), "Apply"
# (119, 266) answered no (leave the settings). Then the launcher again and "종료" (102, 270),
# whose question is answered with its own "아니요" button (177, 270).
run() {
  choice=$1
  rm -rf "$dir/dev" "$dir/out"
  cp -r "$dev" "$dir/dev" || fail "copy the sample device"
  cat > "$dir/run.script" << SCRIPT
wait 500
# The start-up warning, closed with "확인".
tap 144 249
wait 200
tap 21 299
wait 200
tap 180 218
wait 200
tap 65 201
wait 300
tap 180 127
wait 300
snapshot sound-page
tap 178 302
wait 100
tap $choice
wait 100
answer no
tap 119 266
wait 300
# Leaving the page ends at 1900 ms; everything after it is the main screen.
wait 300
tap 21 299
wait 200
answer 0
tap 102 270
wait 300
tap 177 270
wait 300
SCRIPT
  "$velko" --root "$dir/dev" --headless "$dir/run.script" --out "$dir/out" --builtin-font 2> "$dir/err.txt"
  [ $? = 0 ] || fail "exit 0 expected"
  grep -qF "$(printf '변경사항을 적용하였습니다. 환경설정을 계속하시겠습니까?\t3000\t4002')" "$dir/out/msgbox.log" ||
    fail "the page's question"
  grep -qF "$(printf '벨코를 종료 하시겠습니까?\t3000\t4002')" "$dir/out/msgbox.log" || fail "the exit question"
  clicks_after=$(awk -F'\t' '$1 > 1900 && $2 == "memory"' "$dir/out/sounds.log" | wc -l)
  # Setting 66 in the card's settings file (the mark, then 32-bit settings).
  sound=$(od -A n -t d4 -j 268 -N 4 "$dir/dev/Storage Card/VelkoData/config.bin" | tr -d ' ')
}

run "145 73"
[ "$sound" = 0 ] || fail "setting 66 saved as $sound"
[ "$clicks_after" = 0 ] || fail "$clicks_after clicks after the button sounds were switched off"
# Started again on the same device: the launcher, "메뉴전환" and "종료" stay silent.
printf 'wait 500\ntap 144 249\nwait 200\ntap 21 299\nwait 200\ntap 180 218\nwait 200\nanswer no\ntap 102 270\nwait 300\n' > "$dir/again.script"
rm -rf "$dir/out"
"$velko" --root "$dir/dev" --headless "$dir/again.script" --out "$dir/out" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] || fail "second start: exit 0 expected"
clicks=$(awk -F'\t' '$2 == "memory"' "$dir/out/sounds.log" | wc -l)
[ "$clicks" = 0 ] || fail "$clicks clicks after a restart with the button sounds off"
# "설정" (34, 65) keeps them on: the launcher's tap clicks.
run "44 73"
[ "$sound" = 1 ] || fail "setting 66 saved as $sound"
# The launcher, "종료" and the box's button.
[ "$clicks_after" = 3 ] || fail "$clicks_after clicks with the button sounds on, 3 expected"
echo "settings through the menu ok"
