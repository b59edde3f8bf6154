#!/bin/sh
# velko-skinshot on the catalogued screens of a freshly built sample device: --all renders every row
# with the skin and without an archive (same controls both ways), each skinned control list and
# picture matches its reviewed golden (built-in font); the system page's rows follow --device-type
# and --buttons; probes read the drawn colours. UPDATE_GOLDENS=1 rewrites the goldens.
set -eu
mkdevice=$1
shot=$2
here=$(dirname "$0")
golden=$here/screens_golden
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir/out.txt" 2> /dev/null || true; exit 1; }
"$mkdevice" --out "$dir/root" > "$dir/make.txt"

mkdir "$dir/all"
"$shot" --root "$dir/root" --all --out "$dir/all" --device-type 3 --buttons 4 > "$dir/out.txt" || fail "--all"
grep -q '^screens=43 failed=0$' "$dir/out.txt" || fail "43 screens"
[ "$(grep -c '^skin=1 screen=' "$dir/out.txt")" = 43 ] || fail "43 skinned"
[ "$(grep -c '^skin=0 screen=' "$dir/out.txt")" = 43 ] || fail "43 bare"
for txt in "$dir"/all/*_bare.txt; do
  skinned=${txt%_bare.txt}.txt
  # Same paths and classes; only sizes taken from images may differ.
  sed 's/ rect=.*//' "$txt" > "$dir/a"
  sed 's/ rect=.*//' "$skinned" > "$dir/b"
  cmp -s "$dir/a" "$dir/b" || fail "$(basename "$skinned") differs without the archive"
done
if [ "${UPDATE_GOLDENS:-0}" = 1 ]; then
  mkdir -p "$golden"
  for f in "$dir"/all/*.txt "$dir"/all/*.png; do
    case $f in *_bare.*) continue ;; esac
    cp "$f" "$golden/"
  done
else
  for f in "$dir"/all/*.txt "$dir"/all/*.png; do
    case $f in *_bare.*) continue ;; esac
    cmp -s "$f" "$golden/$(basename "$f")" || fail "$(basename "$f") differs from its golden"
  done
fi

# The system page's button rows: four icons on device 5 leave the empty fourth out, device 10
# letters three rows, six buttons on device 3 make four rows.
rows() {
  "$shot" --root "$dir/root" --screen '환경설정-시스템' --device-type "$1" --buttons "$2" --out "$dir/s.png" --dump \
    > "$dir/out.txt" || fail "system page $1/$2"
  grep -c '^control path=/환경설정패널들/PDA버튼패널/Button설정[0-9] ' "$dir/out.txt" || true
}
[ "$(rows 5 4)" = 3 ] || fail "device 5: three rows"
[ "$(rows 10 4)" = 3 ] || fail "device 10: three rows"
for l in A B C; do grep -q "^control path=/환경설정패널들/PDA버튼패널/$l class=" "$dir/out.txt" || fail "letter $l"; done
[ "$(rows 3 6)" = 4 ] || fail "device 3 with six buttons: four rows"
grep -q '^control path=/환경설정패널들/PDA버튼패널/Button설정3 class=.* rect=86,164,' "$dir/out.txt" || fail "fourth row at y 164"

# Probes: the route page's grey box, the selected tab's strip.
"$shot" --root "$dir/root" --screen '환경설정-경로탐색' --out "$dir/r.png" --probe 200,160 --probe 10,300 \
  > "$dir/out.txt" || fail "route page"
grep -q '^probe=200,160 rgb=217,217,217$' "$dir/out.txt" || fail "grey Background at 200,160"
grep -q '^probe=10,300 rgb=200,212,230$' "$dir/out.txt" || fail "selected tab strip at 10,300"

# A name no row takes is refused (exit 2) rather than drawn as an empty screen; probes need a screen.
if "$shot" --root "$dir/root" --screen 'NaviMain' --out "$dir/n.png" > "$dir/out.txt" 2>&1; then fail "NaviMain"; fi
grep -q 'no such screen' "$dir/out.txt" || fail "NaviMain is not refused as an unknown screen"
[ ! -e "$dir/n.png" ] || fail "NaviMain drawn"
if "$shot" --root "$dir/root" --probe 1,1 --list > "$dir/out.txt" 2>&1; then fail "--probe without --screen"; fi
exit 0
