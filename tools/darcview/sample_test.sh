#!/bin/sh
# velko-darcview on a freshly built sample device fed by velko-darcsynth: browsing, travel times
# and speeds, map moves, roads of interest (added, refused, deleted, re-anchored), the display
# options kept between openings, the current-road page of a matched link, and the content tabs.
set -eu
mkdevice=$1
synth=$2
view=$3
here=$(dirname "$0")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir/out.txt" 2> /dev/null || true; cat "$dir/run/msgbox.log" 2> /dev/null || true; exit 1; }
"$mkdevice" --out "$dir/root" --quiet > /dev/null || fail "mkdevice"
"$synth" --root "$dir/root" --seconds 20 --out "$dir/stream.bin" > /dev/null || fail "darcsynth"
interest="$dir/root/Storage Card/VelkoData/itraffic.bin"
run() { # script, extra options...
  script=$1
  shift
  rm -rf "$dir/run"
  "$view" --root "$dir/root" --stream "$dir/stream.bin" --script "$script" --out "$dir/run" "$@" > "$dir/out.txt" 2>&1 ||
    fail "run of $script"
}
box() { grep -q "	$1	" "$dir/run/msgbox.log" || fail "no box: $1"; }

run "$here/browse.script"
box "선택된 항목이 없습니다."
box " '누리고속도로' 를 관심 도로로 추가 하였습니다."
box " '누리고속도로'는 이미 관심 도로로 추가 되어 있습니다."
[ "$(wc -l < "$dir/run/msgbox.log")" -eq 3 ] || fail "three boxes"
grep -q '^mapmove=1 x=[1-9][0-9]* y=[1-9][0-9]* extent=[1-9][0-9]* code=[1-9][0-9]* position=[1-9][0-9]*,[1-9][0-9]*$' \
  "$dir/out.txt" || fail "map move"
# The move is the one to 누리고속도로's first section (its first speed row).
"$view" --root "$dir/root" --road 누리고속도로 > "$dir/links.txt" || fail "road links"
move=$(sed -n 's/^mapmove=1 //p' "$dir/out.txt")
grep -q "^link index=[0-9]* row=1 $move\$" "$dir/links.txt" || fail "the move names 누리고속도로's first section: $move"
grep -q '^interest slot=0 name=누리고속도로$' "$dir/out.txt" || fail "road of interest"
[ "$(wc -c < "$interest")" -eq 1040 ] || fail "roads-of-interest file"
tr '\n' '|' < "$dir/out.txt" | grep -q 'sheet=1 closed|mapmove=1 .*|display=1,1,1,1|interest slot=0 name=누리고속도로|sheet=2 closed|mapmove=0|display=1,1,1,0|interest slot=0 name=누리고속도로|sheet=3 closed|mapmove=0|display=1,1,1,0|' ||
  fail "three openings"
for f in roads sections speeds reopened interest interest-sections display display-kept; do
  [ -s "$dir/run/frames/$f.png" ] || fail "frame $f"
done

# Tables that moved since the road was stored (here: the stored section offset no longer
# points at them): the road is found again by its name, the file rewritten as it was.
cp "$interest" "$dir/kept.bin"
printf '\000\000\000\000' | dd of="$interest" bs=1 seek=80 conv=notrunc 2> /dev/null
cmp -s "$interest" "$dir/kept.bin" && fail "tampering"
run "$here/interest.script"
cmp -s "$interest" "$dir/kept.bin" || fail "re-anchored and rewritten"
[ ! -s "$dir/run/msgbox.log" ] || fail "no box on opening the road"

# Deleted after the question.
run "$here/delete.script"
box " '누리고속도로'를 관심 도로에서 삭제 하시겠습니까?"
grep -q '	관심 도로삭제	 ' "$dir/run/msgbox.log" || fail "question caption"
grep -q '^interest ' "$dir/out.txt" && fail "deleted"
[ "$(wc -c < "$interest")" -eq 1040 ] || fail "file kept"

# Ten roads of interest: the eleventh is refused naming the limit.
: > "$dir/ten.bin"
for k in 0 1 2 3 4 5 6 7 8 9; do
  { printf "\\$(printf '%03o' $((k + 1)))\\000"; printf 'road%d' $k; head -c 45 /dev/zero; head -c 52 /dev/zero; } >> "$dir/ten.bin"
done
[ "$(wc -c < "$dir/ten.bin")" -eq 1040 ] || fail "ten slots written"
cp "$dir/ten.bin" "$interest"
run "$here/add.script"
box "관심 도로 추가는 10개만 가능합니다.삭제후 다시 시도 하여 주십시요"
[ "$(grep -c '^interest ' "$dir/out.txt")" -eq 10 ] || fail "ten slots kept"

# A folder where the file would be written: the error alone.
rm -f "$interest"
mkdir "$interest"
run "$here/add.script"
box "관심도로 파일 저장오류!"
[ "$(wc -l < "$dir/run/msgbox.log")" -eq 1 ] || fail "the error alone"
rmdir "$interest"

# The current-road page: a matched link of 누리고속도로 and its mirror select the same speed row;
# no match gives no road.
first=$(sed -n 's/^link index=\([0-9]*\) row=7 .*/\1/p' "$dir/links.txt" | head -1)
mirror=$(sed -n 's/^link index=\([0-9]*\) row=7 .*/\1/p' "$dir/links.txt" | tail -1)
[ -n "$first" ] && [ "$first" != "$mirror" ] || fail "a link and its mirror"
for index in "$first" "$mirror"; do
  run "$here/close.script" --current --match "$index,65535"
  grep -q '^current header=주행도로 - 누리고속도로 row=7 rows=[1-9][0-9]*$' "$dir/out.txt" || fail "driving road of $index"
done
run "$here/close.script" --current --match 0,0
grep -q '^current header=주행도로 -  해당도로 없음 row=-1 rows=0$' "$dir/out.txt" || fail "no driving road"

# The SDL host under SDL's offscreen driver runs the same script (skipped where SDL cannot start).
rm -rf "$dir/run"
if SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 "$view" --root "$dir/root" \
  --stream "$dir/stream.bin" --sdl --script "$here/close.script" --out "$dir/run" > "$dir/out.txt" 2>&1; then
  grep -q '^sheet=1 closed$' "$dir/out.txt" || fail "SDL host"
  [ -s "$dir/run/frames/shown.png" ] || fail "SDL frame"
else
  grep -q 'SDL\|video' "$dir/out.txt" || fail "SDL run"
  echo "SDL host skipped: $(cat "$dir/out.txt")"
fi

# A live receiver: velko-darcsynth plays the unit on a pseudo-terminal, read before the sheet opens.
"$synth" --root "$dir/root" --serve --seconds 12 > "$dir/serve.txt" &
tries=0
while ! grep -q '^device=' "$dir/serve.txt" 2> /dev/null; do
  tries=$((tries + 1))
  [ $tries -lt 100 ] || fail "the unit did not start"
  sleep 0.1
done
dev=$(sed -n 's/^device=//p' "$dir/serve.txt")
run "$here/close.script" --port COM5: --com "5=$dev" --seconds 4
wait
grep -q '^port packets=[1-9][0-9]*$' "$dir/out.txt" || fail "packets from the port"
grep -q '^sheet=1 closed$' "$dir/out.txt" || fail "sheet after the port"

# The content tabs over a stream that also carries news, short texts, stocks and weather: the
# receiver's region box starts on 서울 (no error box), "설정" asks before tuning, "no" tunes
# nothing and "yes" disables the controls until the report; the short news and the notices are
# two different lists and a held title opens its document; the index dialog and the 제주 region
# map come and go back to the page as it was, a weekly day shows its own map; a stock found by typing is added to the interest
# stocks and their file.
"$synth" --root "$dir/root" --seconds 20 --seed 4 --content --out "$dir/content.bin" > "$dir/content.txt" ||
  fail "darcsynth --content"
grep -q '^short kind=2 count=[1-9]' "$dir/content.txt" || fail "notices sent"
"$view" --root "$dir/root" --stream "$dir/content.bin" --script "$here/content.script" --out "$dir/run" \
  > "$dir/out.txt" 2>&1 || fail "run of content.script"
box "주파수를 변경하시겠습니까?"
[ "$(wc -l < "$dir/run/msgbox.log")" -eq 2 ] || fail "the tuning question alone, twice"
cmp -s "$dir/run/frames/receive.png" "$dir/run/frames/tuning.png" && fail "tuning disables the controls"
cmp -s "$dir/run/frames/receive.png" "$dir/run/frames/tuned.png" || fail "the report enables them again"
grep -q '^sheet=1 closed$' "$dir/out.txt" || fail "content sheet closed"
# The synthesiser's station: code 36 ((36 + 844) / 10 = 88.0 MHz) at 80 %, the first of 서울's codes;
# "no" leaves it tuned.
grep -q '^receive status=ON rate=80% ([0-9]*) frequency=88.0MHz version=[^ ]* region=서울 choice=88.0 MHz$' \
  "$dir/out.txt" || fail "receive page"
for f in receive tuning tuned news notices titles document stock stock-index stock-back stock-search stock-added weather weather-jeju weather-back weather-days weather-weekly; do
  [ -s "$dir/run/frames/$f.png" ] || fail "frame $f"
done
cmp -s "$dir/run/frames/news.png" "$dir/run/frames/notices.png" && fail "공지 shows the notices"
cmp -s "$dir/run/frames/titles.png" "$dir/run/frames/document.png" && fail "a title opens its document"
cmp -s "$dir/run/frames/stock.png" "$dir/run/frames/stock-index.png" && fail "지수 shows the indices"
cmp -s "$dir/run/frames/stock.png" "$dir/run/frames/stock-back.png" || fail "이전 returns to the stocks"
cmp -s "$dir/run/frames/stock.png" "$dir/run/frames/stock-added.png" && fail "the added stock is listed"
# The interest-stock file: the count 1, then code 601 (0x0259).
[ "$(od -A n -t x1 -N 6 "$dir/root/Storage Card/VelkoData/stock.bin" | tr -d ' \n')" = 010000005902 ] ||
  fail "interest-stock file"
cmp -s "$dir/run/frames/weather.png" "$dir/run/frames/weather-jeju.png" && fail "제주 shows its map"
cmp -s "$dir/run/frames/weather.png" "$dir/run/frames/weather-back.png" || fail "the back mark returns"
cmp -s "$dir/run/frames/weather.png" "$dir/run/frames/weather-weekly.png" && fail "a weekly day shows the weekly map"

# Bad options.
set +e
"$view" --root "$dir/root" --match 1 --script "$here/close.script" --out "$dir/run" > /dev/null 2>&1
[ $? -eq 2 ] || fail "--match needs two indices"
"$view" --root "$dir/root" --stream "$dir/missing.bin" --script "$here/close.script" --out "$dir/run" > /dev/null 2>&1
[ $? -eq 1 ] || fail "a missing stream"
"$view" --root "$dir/root" --port COM9: --com "9=$dir/nothing" --script "$here/close.script" --out "$dir/run" > /dev/null 2>&1
[ $? -eq 1 ] || fail "a missing port"
set -e
echo "darcview ok"
