#!/bin/sh
# The content services on a freshly built sample device: a 10-minute stream with news, short
# texts, stocks and weather through velko-darc, whose counts must equal the synthesiser's; then
# the stores' save files taken back while fresh and dropped once too old.
set -eu
mkdevice=$1
synth=$2
darc=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
"$mkdevice" --out "$dir/root" > /dev/null
saves="$dir/root/My Documents/Velko"
counts() { grep -E '^(news heads|short kind|stocks quoted|weather current)=?' "$1" || true; }
has() { grep -qxF "$1" "$2" || fail "missing line: $1"; }

"$synth" --root "$dir/root" --seconds 600 --seed 4 --content --out "$dir/s.bin" > "$dir/sent.txt" || fail "synth"
"$darc" --root "$dir/root" --stream "$dir/s.bin" --news --short --stock 593 --weather 0,1 > "$dir/got.txt" ||
  fail "darc"
counts "$dir/sent.txt" > "$dir/sent.counts"
counts "$dir/got.txt" > "$dir/got.counts"
[ "$(wc -l < "$dir/sent.counts")" = 7 ] || fail "the synthesiser's counts"
cmp -s "$dir/sent.counts" "$dir/got.counts" || { diff "$dir/sent.counts" "$dir/got.counts"; fail "counts differ"; }
has "news heads=5 bodies=6 complete=3" "$dir/got.txt"
has "head kind=2 number=21 text=08:05 경부선 정체" "$dir/got.txt"
has 'body document=21 text=서울 방향 정체가 이어집니다.\r사고 차량은 치워졌습니다.\r' "$dir/got.txt"
has "short text=17:43 [사고] 1차로 사고" "$dir/got.txt"
grep -q '^stock code=593 suffix=65 name=삼각산업우 price=0x' "$dir/got.txt" || fail "stock line"
has "weather line=◎ 서울경기 오늘 기상예보 ◎" "$dir/got.txt"
grep -q '^weather line=서울 : .* (AM 강설5%  PM 강우32%)$' "$dir/got.txt" || fail "weather line"
for f in MDSStore.bin STSStore.bin SIMStore.bin WIMStore.bin; do
  [ -s "$saves/$f" ] || fail "no $f"
done

# A stream without content: the stores come back from their save files.
"$synth" --root "$dir/root" --seconds 2 --out "$dir/t.bin" > /dev/null || fail "synth without content"
"$darc" --root "$dir/root" --stream "$dir/t.bin" > "$dir/again.txt" || fail "darc again"
counts "$dir/again.txt" | cmp -s - "$dir/sent.counts" || fail "fresh save files were not taken back"

# 35 minutes old: stocks (30) and current weather (30) are dropped, the rest stays.
old=$(( $(date +%s) - 35 * 60 ))
for f in MDSStore.bin STSStore.bin SIMStore.bin WIMStore.bin; do touch -d "@$old" "$saves/$f"; done
"$darc" --root "$dir/root" --stream "$dir/t.bin" > "$dir/old.txt" || fail "darc on old files"
has "stocks quoted=0 markets=0" "$dir/old.txt"
grep -q '^weather current=0 short=[1-9][0-9]* weekly=[1-9]' "$dir/old.txt" || fail "weather after 35 minutes"
has "news heads=5 bodies=6 complete=3" "$dir/old.txt"
has "short kind=3 count=2" "$dir/old.txt"

# A day old: everything is dropped.
old=$(( $(date +%s) - 1440 * 60 - 60 ))
for f in MDSStore.bin STSStore.bin SIMStore.bin WIMStore.bin; do touch -d "@$old" "$saves/$f"; done
"$darc" --root "$dir/root" --stream "$dir/t.bin" > "$dir/gone.txt" || fail "darc on day-old files"
has "news heads=0 bodies=0 complete=0" "$dir/gone.txt"
has "short kind=1 count=0" "$dir/gone.txt"
has "stocks quoted=0 markets=0" "$dir/gone.txt"
has "weather current=0 short=0 weekly=0" "$dir/gone.txt"
echo "content checks passed"
