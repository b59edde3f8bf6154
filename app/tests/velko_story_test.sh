#!/bin/sh
# The navigator used from the main screen, headless on a fresh copy of the sample device: the
# advanced menu, "목적지" from the route tool bar and a tap on the map for the destination, then
# "종료" from the menu, answered yes, ends the program with exit 0. Controls are tapped at the
# middle of the places velko-skinshot --dump reports for them (the menus' entries and the tool
# bar's buttons at their fixed places inside those).
set -u
dev=$1
velko=$2
shot=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir"/out/host.log "$dir"/out/msgbox.log "$dir/err.txt" 2> /dev/null | head -30; exit 1; }
cp -r "$dev" "$dir/dev" || fail "copy the sample device"

"$shot" --root "$dir/dev" --main --out "$dir/x.png" --dump > "$dir/controls.txt" || fail "control places"
# The middle of a control's rectangle ("X Y").
middle() {
  grep "^control name=$1 " "$dir/controls.txt" | sed 's/.* rect=\([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\) .*/\1 \2 \3 \4/' |
    awk '{ print int(($1 + $3) / 2), int(($2 + $4) / 2) }'
}
launcher=$(middle VelkoMenu)
[ -n "$launcher" ] || fail "no launcher"
# The tool bar lays its buttons out from its own left edge, 33 pixels each: 출발지, 경유지, 목적지,
# 경로탐색, then its row's middle.
bar=$(grep '^control name=ToolBar ' "$dir/controls.txt" | sed 's/.* rect=\([0-9]*\),\([0-9]*\),.*/\1 \2/')
[ -n "$bar" ] || fail "no tool bar"
goal_tool=$(echo "$bar" | awk '{ print $1 + 33 * 2 + 16, $2 + 16 }')

cat > "$dir/story.script" << SCRIPT
wait 500
# The start-up warning, closed with "확인".
tap 144 249
wait 200
snapshot start
# The basic menu, switched to the advanced one ("메뉴전환"), closed ("메뉴닫기").
tap $launcher
wait 200
tap 180 218
wait 200
tap 60 308
wait 200
# The map moved off the vehicle, then "목적지" and a tap on the map for the destination.
tap 150 170
wait 300
tap $goal_tool
wait 300
snapshot goal-pick
tap 120 160
wait 300
snapshot goal-set
# "종료" from the menu (the advanced one, opened last), answered yes.
tap $launcher
wait 200
answer yes
tap 102 270
wait 500
snapshot never
SCRIPT
"$velko" --root "$dir/dev" --headless "$dir/story.script" --out "$dir/out" --builtin-font 2> "$dir/err.txt"
[ $? = 0 ] || fail "the story: exit 0 expected"
head -1 "$dir/out/sounds.log" | cut -f2 | grep -q 'wave\\VelkoStart\.wav$' || fail "sounds.log does not begin with the start sound"
grep -qF "$(printf '벨코를 종료 하시겠습니까?\t3000\t4001')" "$dir/out/msgbox.log" || fail "the exit question was not asked and answered"
[ "$(grep -c . "$dir/out/msgbox.log")" = 1 ] || fail "a message besides the exit question"
for f in start goal-pick goal-set; do
  [ -f "$dir/out/frames/$f.png" ] || fail "no frame $f"
done
[ -f "$dir/out/frames/never.png" ] && fail "the program ran on after the exit"
# The pick prompt was drawn: the status line's frame differs from the one before the pick.
cmp -s "$dir/out/frames/goal-pick.png" "$dir/out/frames/start.png" && fail "nothing changed with the pick"
echo "velko story checks passed"
