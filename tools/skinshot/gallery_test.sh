#!/bin/sh
# velko-skinshot --gallery on a freshly built sample device: both galleries render, taps print the
# controls they hit and the commands that reach the panel's listener, bad files and options fail.
set -eu
mkdevice=$1
shot=$2
here=$(dirname "$0")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir/out.txt" 2> /dev/null || true; exit 1; }
"$mkdevice" --out "$dir/root" > "$dir/make.txt"

# Selection controls: a radio row, the combo, a tab, the zoom-in button.
"$shot" --root "$dir/root" --gallery "$here/gallery_controls.txt" --out "$dir/controls.png" \
  --tap 12,70 --tap 30,120 --tap 130,150 --tap 160,10 --tap 220,10 > "$dir/out.txt" || fail "controls gallery"
grep -q '^gallery=.*gallery_controls.txt controls=14 taps=5 out=' "$dir/out.txt" || fail "summary line"
[ "$(head -c 4 "$dir/controls.png" | tail -c 3)" = PNG ] || fail "picture written"
grep -q '^control name=LevelBar rect=209,2,238,31$' "$dir/out.txt" || fail "level bar's place"
grep -q '^control name=목록 rect=18,172,133,292$' "$dir/out.txt" || fail "scroll list keeps its rectangle"
grep -q '^command target=경로옵션 control= text=최적 id=2015 param1=1$' "$dir/out.txt" || fail "radio row chosen"
grep -q '^command target=종류 control= text=종류 id=2018 param1=[1-9][0-9]*$' "$dir/out.txt" || fail "combo asks for its popup"
grep -q '^command target=탭 control= text=나 id=2015 param1=1$' "$dir/out.txt" || fail "middle tab"
grep -q '^hit name=LevelBar code=1$' "$dir/out.txt" || fail "zoom-in hit code"
grep -q '^hit name=LevelBar code=3$' "$dir/out.txt" || fail "level image hit code"

# Indicators: the blinking sign, the current level of the column, the turn arrow's place.
"$shot" --root "$dir/root" --gallery "$here/gallery_indicators.txt" --out "$dir/indicators.png" \
  --tap 220,85 --tap 100,265 > "$dir/out.txt" || fail "indicators gallery"
grep -q '^control name=Guide rect=176,197,238,291$' "$dir/out.txt" || fail "turn arrow's place"
grep -q '^control name=Mute rect=4,202,38,223$' "$dir/out.txt" || fail "muted volume icon"
grep -q '^control name=TrafficUpdateRoute rect=186,150,238,197$' "$dir/out.txt" || fail "traffic mark raised"
grep -q '^hit name=SafeZone code=1$' "$dir/out.txt" || fail "sign hit"
grep -q '^hit name=ExLevelBar code=20$' "$dir/out.txt" || fail "current level answers 20"
grep -q '^hit name=EventString code=1$' "$dir/out.txt" || fail "event bubble hit"
[ -s "$dir/indicators.png" ] || fail "indicators picture"

# Bad files and options.
printf 'NaviButton name=a\nNaviNothing name=b\n' > "$dir/bad.txt"
if "$shot" --root "$dir/root" --gallery "$dir/bad.txt" --out "$dir/x.png" > "$dir/out.txt"; then fail "unknown class"; fi
grep -q '^gallery=.* line=2 error=unknown class NaviNothing$' "$dir/out.txt" || fail "the bad line is named"
printf 'NaviTabCtrl name=t tabs=a,b,c,d,e\n' > "$dir/bad.txt"
if "$shot" --root "$dir/root" --gallery "$dir/bad.txt" --out "$dir/x.png" > "$dir/out.txt"; then fail "five tabs"; fi
set +e
# A missing gallery file or a folder: exit 2 with a message naming it, and no picture.
mkdir "$dir/folder"
for bad in missing.txt folder; do
  "$shot" --root "$dir/root" --gallery "$dir/$bad" --out "$dir/x.png" > "$dir/out.txt" 2> "$dir/err.txt"
  [ $? = 2 ] || fail "--gallery $bad: exit 2 expected"
  grep -q "$dir/$bad" "$dir/err.txt" || fail "--gallery $bad: the message does not name it"
  [ ! -e "$dir/x.png" ] || fail "--gallery $bad: a picture was written"
done
"$shot" --root "$dir/root" --gallery "$here/gallery_controls.txt" --out "$dir/x.png" --tap 10 > /dev/null 2>&1
[ $? = 2 ] || fail "a tap needs X,Y"
"$shot" --root "$dir/root" --list --tap 1,2 > /dev/null 2>&1
[ $? = 2 ] || fail "taps only with a gallery"
set -e
echo "gallery ok"
