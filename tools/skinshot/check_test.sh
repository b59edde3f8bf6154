#!/bin/sh
# velko-skinshot on a freshly built sample device: every archive entry decodes, the styles come out
# in their depths, single images and the symbol sheet are written, bad requests fail cleanly.
set -eu
mkdevice=$1
shot=$2
manifests=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir/out.txt" 2> /dev/null || true; exit 1; }
"$mkdevice" --out "$dir/root" > "$dir/make.txt"
grep -q '^skin: [1-9][0-9]* images' "$dir/make.txt" || fail "skin stage summary"
[ -s "$dir/root/Program Files/Velko/res/click.wav" ] || fail "click.wav"

"$shot" --root "$dir/root" --list > "$dir/out.txt" || fail "--list exit code"
# The manifests' images and the weather group drawn in code: 40 icons, 3 plates, 4 legends, 4 rain
# and snow marks and 13 maps.
expected=$(( $(cat "$manifests"/*.txt | grep -v '^#' | grep -c '|') + 64 ))
grep -q "^entries=$expected ok=$expected\$" "$dir/out.txt" || fail "all $expected entries decode"
[ "$(grep -c '^entry name=Weather\\' "$dir/out.txt")" = 64 ] || fail "the weather group"
grep -q '^entry name=Weather\\현재오늘내일모레 .* width=222 height=206 .* ok=1$' "$dir/out.txt" || fail "country map"
grep -q '^entry name=Weather\\n맑음 .* width=24 height=24 .* ok=1$' "$dir/out.txt" || fail "weather icon"
for i in 000 001 007 014; do
  grep -q "^entry name=Interest\\\\icon\\\\Map\\\\$i .* depth=8 palette=256 trns=1 ok=1\$" "$dir/out.txt" ||
    fail "interest icon $i is 8-bit with entry 0 transparent"
done
grep -q '^entry name=Interest\\icon\\Map\\스피커 .* ok=1$' "$dir/out.txt" || fail "Korean entry name"
grep -q '^entry name=Zarn\\Zarn0 .* depth=4 palette=16 ' "$dir/out.txt" || fail "4-bit receiver icon"
grep -q '^entry name=Window\\Left .* depth=1 palette=2 ' "$dir/out.txt" || fail "1-bit frame side"
grep -q '^entry name=Window\\Bg .* width=240 height=4 depth=24 ' "$dir/out.txt" || fail "background strip"
grep -q '^entry name=Symbol\\S15 ' "$dir/out.txt" || fail "fallback symbol"
grep -q '^entry name=Car\\car350 .* width=32 height=32 depth=8 palette=256 trns=1 ok=1$' "$dir/out.txt" ||
  fail "car marker by angle, 8-bit with entry 0 transparent"
grep -q '^entry name=Configure\\Check_Press .* width=16 height=16 depth=8 .* trns=1 ok=1$' "$dir/out.txt" || fail "check image"
grep -q '^entry name=Guide\\큰숫자\\9 .* depth=4 ' "$dir/out.txt" || fail "4-bit guidance digits"
grep -q '^entry name=SkyView\\GPS활성 .* width=12 height=8 depth=1 ' "$dir/out.txt" || fail "1-bit satellite"
[ "$(grep -c '^entry name=Guide\\[23]D\\' "$dir/out.txt")" = 64 ] || fail "flat and bird's-eye arrows for 32 codes"
grep -q '^entry name=DisSymbol\\005 ' "$dir/out.txt" && fail "DisSymbol 005 is left out on purpose"
[ "$(grep -c '^entry name=Symbol\\S[0-9]* .* width=14 height=28 ' "$dir/out.txt")" = 15 ] || fail "15 route pins"

"$shot" --root "$dir/root" --image 'Symbol\S0' --out "$dir/s0.png" > "$dir/out.txt" || fail "--image"
grep -q '^image=Symbol\\S0 found=1 width=14 height=28 depth=24 bkgnd=-1$' "$dir/out.txt" || fail "S0 line"
[ "$(head -c 4 "$dir/s0.png" | tail -c 3)" = PNG ] || fail "S0 written as PNG"
if "$shot" --root "$dir/root" --image 'symbol\s0' --out "$dir/x.png" > "$dir/out.txt"; then fail "case differs"; fi
grep -q '^image=symbol\\s0 found=0$' "$dir/out.txt" || fail "missing image line"

"$shot" --root "$dir/root" --symbols --out "$dir/sheet.png" > "$dir/out.txt" || fail "--symbols"
grep -q '^dissymbol n=1 x=16 y=116 image=1$' "$dir/out.txt" || fail "DisSymbol 1 loaded"
grep -q '^dissymbol n=5 .* image=0$' "$dir/out.txt" || fail "DisSymbol 5 stays missing"
grep -q '^symbols=[1-9][0-9]* ' "$dir/out.txt" || fail "symbols drawn"
[ -s "$dir/sheet.png" ] || fail "symbol sheet"

"$shot" --root "$dir/root" --screen NameSearch --send DIALOG,이전,2010,0 --out "$dir/screen.png" --dump \
  > "$dir/out.txt" || fail "--screen"
grep -q '^screen=NameSearch controls=[1-9][0-9]* ' "$dir/out.txt" || fail "screen line"
grep -q '^control path=/' "$dir/out.txt" || fail "--dump lists the controls"
# A name the catalogue does not lay out (the start-up warning is drawn by its own dialog) is
# refused, drawn or run: exit 2, the name said, no picture.
set +e
for name in NOPE 경고창; do
  for run in "--out $dir/unknown.png" "--script $(dirname "$0")/tap.script --out $dir/unknown"; do
    # shellcheck disable=SC2086
    "$shot" --root "$dir/root" --screen "$name" $run > "$dir/out.txt" 2> "$dir/err.txt"
    [ $? = 2 ] || fail "--screen $name $run: exit 2 expected"
    grep -q -- "--screen $name: no such screen" "$dir/err.txt" || fail "--screen $name: the name is not said"
    [ ! -e "$dir/unknown.png" ] && [ ! -e "$dir/unknown" ] || fail "--screen $name: output written"
  done
done
set -e

# The screen in the common dialog under the headless host: Enter does not close it, the script runs
# through to its frame and "이전" closes it.
"$shot" --root "$dir/root" --screen NameSearch --script "$(dirname "$0")/tap.script" --out "$dir/run" \
  > "$dir/out.txt" 2>&1 || fail "--script run"
[ -f "$dir/run/events.log" ] || fail "events.log"
grep -q '^event target=이전 control= text= id=2015 ' "$dir/run/events.log" || fail "이전 reached the listener"
grep -q '^closed ret=0$' "$dir/run/events.log" || fail "closed by 이전"
[ -s "$dir/run/frames/screen.png" ] || fail "frame of the screen"

set +e
"$shot" --root "$dir/root" > /dev/null 2>&1
[ $? = 2 ] || fail "no mode is a usage error"
"$shot" --root "$dir/root" --screen X --send 'DIALOG,a' --out "$dir/x.png" > /dev/null 2>&1
[ $? = 2 ] || fail "a short --send is a usage error"
set -e
# A cut archive: the complete entries stay, the rest is refused; no crash.
head -c 3000 "$dir/root/Program Files/Velko/res/ResData.bin" > "$dir/cut.bin"
mv "$dir/cut.bin" "$dir/root/Program Files/Velko/res/ResData.bin"
if "$shot" --root "$dir/root" --list > "$dir/out.txt" 2> /dev/null; then fail "cut archive reported whole"; fi
grep -q '^entries=[0-9]* ok=[0-9]*$' "$dir/out.txt" || fail "cut archive summary"
echo "skinshot ok"
