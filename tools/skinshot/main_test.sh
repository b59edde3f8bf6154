#!/bin/sh
# velko-skinshot --main on a freshly built sample device: each state file renders as its golden
# (built-in font), taps print the commands the shell would receive, bad state files and options
# fail cleanly. UPDATE_GOLDENS=1 rewrites the goldens.
set -eu
mkdevice=$1
shot=$2
here=$(dirname "$0")
states=$here/main_states
golden=$here/main_golden
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir/out.txt" 2> /dev/null || true; exit 1; }
"$mkdevice" --out "$dir/root" > "$dir/make.txt"

for s in none basic advanced mymenu routes waypoints simulation highway; do
  "$shot" --root "$dir/root" --main --state "$states/$s.txt" --out "$dir/$s.png" > "$dir/out.txt" || fail "$s renders"
  grep -q "^main .* controls=27\$" "$dir/out.txt" || fail "$s: 27 controls"
  if [ "${UPDATE_GOLDENS:-0}" = 1 ]; then cp "$dir/$s.png" "$golden/$s.png"; continue; fi
  cmp -s "$dir/$s.png" "$golden/$s.png" || fail "$s differs from its golden"
done

# Probes: the launcher's close image below the open menu, the menu's background in the middle
# (the colours of their manifest lines).
"$shot" --root "$dir/root" --main --state "$states/basic.txt" --out "$dir/x.png" --probe 60,308 --probe 120,160 \
  > "$dir/out.txt" || fail "probes"
grep -q '^probe=60,308 rgb=200,16,46$' "$dir/out.txt" || fail "close image"
grep -q '^probe=120,160 rgb=220,230,242$' "$dir/out.txt" || fail "menu background"

# Over the sample map.
"$shot" --root "$dir/root" --main --state "$states/none.txt" --map --out "$dir/map.png" > "$dir/out.txt" ||
  fail "over the map"
if [ "${UPDATE_GOLDENS:-0}" = 1 ]; then cp "$dir/map.png" "$golden/map.png"; fi
cmp -s "$dir/map.png" "$golden/map.png" || fail "map differs from its golden"

# The controls' places.
"$shot" --root "$dir/root" --main --out "$dir/x.png" --dump > "$dir/out.txt" || fail "dump"
grep -q '^control name=VelkoMenu class=.* rect=2,281,40,318 visible=1 enabled=1$' "$dir/out.txt" || fail "launcher"
grep -q '^control name=고속모드 class=.* rect=171,36,238,69 visible=0 ' "$dir/out.txt" || fail "highway switch"
grep -q '^control name=다중탐색 class=.* visible=0 ' "$dir/out.txt" || fail "route panel hidden"

# Taps: an entry of the basic menu, then the compass with the menu closed.
"$shot" --root "$dir/root" --main --state "$states/basic.txt" --out "$dir/x.png" --tap 50,60 --tap 10,50 \
  > "$dir/out.txt" || fail "basic taps"
tr '\n' '|' < "$dir/out.txt" | grep -q 'tap x=50 y=60|event target=UIRefresh0 id=2 control= text=|event target=명칭검색 id=0 control= text=|event target=UIRefresh0 id=1 control= text=|event target=지도이동 id=-1 control= text=|taken target=NaviMenu id=1|' ||
  fail "name search from the basic menu"
grep -q '^event target=Compass id=1 ' "$dir/out.txt" || fail "compass once the menu closed"
grep -q '^main mode=2004 menu= ' "$dir/out.txt" || fail "menu closed, mode kept"
# A route row in route-result mode.
"$shot" --root "$dir/root" --main --state "$states/routes.txt" --out "$dir/x.png" --tap 30,130 > "$dir/out.txt" ||
  fail "route tap"
grep -q '^event target=다중탐색 id=2 ' "$dir/out.txt" || fail "second route row"
grep -q '^taken target=다중탐색 id=2$' "$dir/out.txt" || fail "taken by the panel"

# The view window under the headless host: taps through pen-down and pen-up, a drag is no tap,
# one click per tap that plays one.
printf 'mode=2004\n' > "$dir/start.txt"
"$shot" --root "$dir/root" --main --state "$dir/start.txt" --script "$here/main.script" --out "$dir/run" \
  > "$dir/out.txt" 2>&1 || fail "script run"
cat > "$dir/want.log" <<'LOG'
event target=UIRefresh0 control= text= id=2 p1=-1 p2=-1
event target=Compass control= text= id=1 p1=-1 p2=-1
event target=UIRefresh0 control= text= id=1 p1=-1 p2=-1
event target=지도이동 control= text= id=-1 p1=-1 p2=-1
event target=UIRefresh0 control= text= id=2 p1=-1 p2=-1
event target=UIRefresh0 control= text= id=1 p1=-1 p2=-1
event target=지도이동 control= text= id=-1 p1=-1 p2=-1
event target=UIRefresh0 control= text= id=2 p1=-1 p2=-1
event target=명칭검색 control= text= id=0 p1=-1 p2=-1
event target=UIRefresh0 control= text= id=1 p1=-1 p2=-1
event target=지도이동 control= text= id=-1 p1=-1 p2=-1
LOG
cmp -s "$dir/run/events.log" "$dir/want.log" || { diff "$dir/want.log" "$dir/run/events.log"; fail "script events"; }
[ "$(wc -l < "$dir/run/sounds.log")" -eq 3 ] || fail "three clicks"
[ -s "$dir/run/frames/menu.png" ] && [ -s "$dir/run/frames/screen.png" ] || fail "frames"

# Bad state files and options.
printf 'mode=2005\ncolour=red\n' > "$dir/bad.txt"
if "$shot" --root "$dir/root" --main --state "$dir/bad.txt" --out "$dir/x.png" > "$dir/out.txt"; then fail "unknown key"; fi
grep -q '^error=unknown state key colour$' "$dir/out.txt" || fail "the key is named"
printf 'route=9,1,1\n' > "$dir/bad.txt"
if "$shot" --root "$dir/root" --main --state "$dir/bad.txt" --out "$dir/x.png" > "$dir/out.txt"; then fail "route 9"; fi
printf 'slot=1,99999999999999999999\n' > "$dir/bad.txt"
if "$shot" --root "$dir/root" --main --state "$dir/bad.txt" --out "$dir/x.png" > "$dir/out.txt"; then fail "huge number"; fi
if "$shot" --root "$dir/root" --main --state "$dir/missing.txt" --out "$dir/x.png" > "$dir/out.txt"; then fail "missing"; fi
set +e
"$shot" --root "$dir/root" --main > /dev/null 2>&1
[ $? = 2 ] || fail "--out is needed"
"$shot" --root "$dir/root" --main --out "$dir/x.png" --tap 5 > /dev/null 2>&1
[ $? = 2 ] || fail "a tap needs X,Y"
"$shot" --root "$dir/root" --main --out "$dir/x.png" --sdl > /dev/null 2>&1
[ $? = 2 ] || fail "--sdl needs a script"
set -e
echo "main ok"
