#!/bin/sh
# velko-mapshot on a freshly built sample device: water, sky and traffic colours probed at known
# pixels, a saved route drawn in both route colours, the drag, and five frames compared with the
# goldens (built-in font, so no font package is involved). UPDATE_GOLDENS=1 rewrites the goldens.
set -eu
mkdevice=$1
mapshot=$2
route=$3
golden=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sh "$(dirname "$0")/../mkdevice/testing/sample_device.sh" "$mkdevice" "$dir/root" > /dev/null
fail() { echo "FAIL: $*"; cat "$dir/out.txt" 2> /dev/null; exit 1; }
shot() { "$mapshot" --root "$dir/root" --builtin-font "$@" > "$dir/out.txt" || fail "velko-mapshot $*"; }
value() { grep "^$1=" "$dir/out.txt" | head -1 | sed "s/^$1=//"; }
probe() { grep "^probe=$1 " "$dir/out.txt" | sed 's/.* rgb=//'; }
same() {
  if [ "${UPDATE_GOLDENS:-0}" = 1 ]; then cp "$1" "$golden/$2"; return; fi
  cmp -s "$1" "$golden/$2" || fail "$2 differs from its golden"
}

# The sample lake, clear of its label (the label hangs right of the lake's centre).
lake=207935,538321
shot --level 9 --center $lake --probe 120,100 --out "$dir/flat-day.png"
[ "$(value mode)" = flat ] || fail "flat mode"
[ "$(value level)" = 9 ] || fail "level"
[ "$(value centre)" = $lake ] || fail "centre"
[ "$(value layers)" = 40 ] || fail "layers opened"
[ "$(value night)" = 0 ] || fail "noon is day"
[ "$(probe 120,100)" = 160,200,240 ] || fail "day water"
same "$dir/flat-day.png" flat-day.png

shot --level 9 --center $lake --night --probe 120,100 --out "$dir/flat-night.png"
[ "$(value night)" = 1 ] || fail "--night"
[ "$(probe 120,100)" = 20,40,80 ] || fail "night water"

# January 19:00 is night by the month table, June 12:00 day.
shot --level 9 --center $lake --time 2027-01-10T19:00 --probe 120,100 --out "$dir/january.png"
[ "$(value night)" = 1 ] || fail "January evening"
[ "$(probe 120,100)" = 20,40,80 ] || fail "night colours in the evening"

shot --level 9 --bird --center $lake --probe 120,10 --out "$dir/bird-day.png"
[ "$(value mode)" = bird ] || fail "bird mode"
[ "$(probe 120,10)" = 150,150,255 ] || fail "day sky"
same "$dir/bird-day.png" bird-day.png

shot --level 9 --bird --night --heading 45 --center $lake --probe 3,3 --out "$dir/bird-night.png"
[ "$(probe 3,3)" = 68,68,83 ] || fail "night sky"
same "$dir/bird-night.png" bird-night.png

# Broadcast link 33 (a town main road) crosses the left edge of this view: at 5 km/h congested colour, without a
# speed not drawn.
shot --level 8 --center 205900,534700 --traffic 33=5 --probe 5,230 --out "$dir/traffic.png"
[ "$(probe 5,230)" = 255,0,128 ] || fail "congested traffic colour"
same "$dir/traffic.png" traffic.png
shot --level 8 --center 205900,534700 --probe 5,230 --out "$dir/no-traffic.png"
[ "$(probe 5,230)" != 255,0,128 ] || fail "a link without speed was drawn"

# A saved route, active: both band colours and the start marker.
"$route" --root "$dir/root" --net --from 45735368,13536388 --to 45763755,13508214 --save trip > /dev/null 2>&1 ||
  fail "velko-route"
file="$dir/root/My Documents/VelkoData/SaveRoute/tripR.vkp"
shot --level 8 --center 196600,542000 --route "$file" --out "$dir/route.png"
same "$dir/route.png" route.png
# Across the band's vertical leg at row 170: outer, six inner pixels, outer (8 wide, inner 6).
shot --level 8 --center 196600,542000 --route "$file" --probe 52,170 --probe 53,170 --probe 54,170 \
  --probe 60,170 --probe 61,170 --probe 62,170 --out "$dir/r.png"
[ "$(probe 53,170)" = 152,250,253 ] || fail "outer route colour"
[ "$(probe 54,170)" = 255,68,68 ] || fail "inner route colour"
[ "$(probe 60,170)" = 255,68,68 ] || fail "inner route colour, right edge"
[ "$(probe 61,170)" = 152,250,253 ] || fail "outer route colour, right edge"
[ "$(probe 62,170)" != 152,250,253 ] || fail "the band is wider than 8"
# A route that cannot be loaded: exit 1, and the map window is still freed (no leak report).
code=0
"$mapshot" --root "$dir/root" --route "$dir/none.vkp" --out "$dir/x.png" > "$dir/out.txt" 2> "$dir/err.txt" || code=$?
[ $code = 1 ] || fail "a missing route: exit $code, 1 expected"
grep -q 'cannot load the route' "$dir/err.txt" || fail "a missing route is not said"
! grep -q 'LeakSanitizer' "$dir/err.txt" || fail "a missing route leaks: $(head -5 "$dir/err.txt")"

# A flat drag of 10 pixels per tick for 25 ticks: the first snapshot (twice the window wide) is
# used up after 240 pixels and the end of the drag adds the last 10, so the centre moves east by
# 250 pixels over the scale (the printed scale is rounded: one unit of slack).
shot --level 9 --center $lake --drag 10,0,25 --out "$dir/drag.png"
scale=$(value scale)
east=$(value centre | cut -d, -f1)
awk -v s="$scale" -v e="$east" 'BEGIN { d = e - (207935 + 240 / s + 10 / s); exit !(d > -2 && d < 2) }' ||
  fail "drag moved the centre to $east"

# With the device's skin: the lake's landmark label carries symbol 6, the skin's 20 x 20 "DisSymbol\006"
# (fill 138,26,106) centred on the label point (118,157): 9 pixels left of it lies the symbol, where
# the stand-in's 12 x 12 square leaves water.
shot --level 9 --center $lake --skin --probe 109,158 --probe 118,146 --out "$dir/skin.png"
[ "$(probe 109,158)" = 138,26,106 ] || fail "the skin's landmark symbol"
[ "$(probe 118,146)" = 160,200,240 ] || fail "the skin's symbol is 20 high, centred"
shot --level 9 --center $lake --probe 109,158 --out "$dir/standin.png"
[ "$(probe 109,158)" = 160,200,240 ] || fail "the stand-in's smaller square"

# Bad option values fail with exit 2 and a line naming the value; probes off the 240 x 320
# screen are refused before anything is drawn.
while read -r option value; do
  rm -f "$dir/x.png"
  code=0
  "$mapshot" --root "$dir/root" --builtin-font $option "$value" --out "$dir/x.png" > "$dir/out.txt" 2> "$dir/err.txt" ||
    code=$?
  [ $code = 2 ] || fail "$option $value: exit $code, 2 expected"
  grep -q -- "^velko-mapshot: $option $value" "$dir/err.txt" || fail "$option $value: the value is not named"
  [ ! -s "$dir/out.txt" ] && [ ! -e "$dir/x.png" ] || fail "$option $value: output despite the refusal"
done << EOF
--level 17
--level 99
--level 0
--level 9x
--traffic 1=abc
--probe -1,0
--probe 0,320
--probe 240,319
--probe 240,0
--probe 3,-5
EOF
# The screen's last pixel can be read.
shot --level 9 --center $lake --probe 239,319 --out "$dir/corner.png"
[ -n "$(probe 239,319)" ] || fail "the corner pixel"
# An output that cannot be written (a folder): an error, exit non-zero, and nothing of success.
code=0
"$mapshot" --root "$dir/root" --builtin-font --out "$dir" > "$dir/out.txt" 2> "$dir/err.txt" || code=$?
[ $code != 0 ] || fail "a folder as output was accepted"
grep -q 'cannot write' "$dir/err.txt" || fail "the unwritable output is not said"
[ ! -s "$dir/out.txt" ] || fail "success printed for an unwritable output: $(cat "$dir/out.txt")"
mkdir -p "$dir/empty"
if "$mapshot" --root "$dir/empty" --out "$dir/x.png" > /dev/null 2>&1; then fail "an empty root"; fi
echo "velko-mapshot checks passed"
