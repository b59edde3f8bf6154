#!/bin/sh
# velko-dialog's small information windows on the sample device: the volume window (opening
# level from the device volume, off and on, a level on a two-channel device, a device without
# volume control), the program information rows, the logging panel and the start-up logo.
set -u
dev=$(cd "$1" && pwd)
tool=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/out.txt" ] && cat "$dir/out.txt" "$dir/err.txt"; exit 1; }
has() { grep -qxF -- "$1" "$dir/out.txt" || fail "$2: no line '$1'"; }
cp -rs "$dev" "$dir/dev"
run() {
  name=$1 text=$2
  shift 2
  rm -rf "$dir/frames"
  printf '%b' "$text" > "$dir/run.script"
  "$tool" --root "$dir/dev" --dialog "$name" "$@" --script "$dir/run.script" --frames "$dir/frames" \
    > "$dir/out.txt" 2> "$dir/err.txt"
  code=$?
}
# The volume window sits at (111, 12): "OFF" (181, 192), "ON" (134, 192), "3단계" (160, 100),
# "닫기" (160, 235).
close='tap 160 235\nwait 100\n'

# Half the left channel (0x8000) reads 50 % and opens at level 3.
run volume "wait 300\nsnapshot volume\n$close" --set volume=32768
[ $code = 0 ] || fail "volume: exit $code"
has level=60 "opens at level 3"
has lit=3 "three buttons lit"
has muted=0 "sound on"
# Off then on puts back the 50 % read before, not the level.
run volume "wait 300\ntap 181 192\nwait 100\ntap 134 192\nwait 100\n$close" --set volume=32768
has volume.word=0x00007FFF "50 % restored"
has muted=0 "on again"
# A two-channel device (type 7): level 3 is 60 % in both words.
run volume "wait 300\ntap 160 100\nwait 100\n$close" --set volume=32768 --set device=7
has volume.word=0x99999999 "both channels"
# Without volume control the window reads 0 and writes nothing.
run volume "wait 300\ntap 160 100\nwait 100\n$close" --set volume=32768 --set novolume=1
has volume=0 "no volume read"
has volume.word=0x00008000 "nothing written"

# ---- Program information: the sample's version files.
run info "wait 300\nsnapshot info\ntap 120 289\nwait 100\n"
[ $code = 0 ] || fail "info: exit $code"
has result=4 "VerOK"
has row.program=1.0.0 "program version"
has "row.display=디스플레이 - 2024.03.01" "display data"
has "row.search=검색 - 2024.03.15" "search data"
has "row.route=경로탐색 - 2024.03.22" "route data"
has "row.safedrive=안전운행 - 2026.12 (T10)" "safe-driving points"

# ---- Logging panel: centred, 70 pixels down, free space in millions of bytes, logging fixes the place.
run logpanel "wait 500\nsnapshot logpanel\nwait 1000\n" --set memory=15500 --set card=5000000 --set logging=1 --set storage=1
[ $code = 0 ] || fail "logpanel: exit $code"
has x=22 "panel x"
has y=70 "panel y"
has "space=Main:15.5MB   Strg:5000.0MB" "free space"
has button=STOP "logging"

# ---- Logo: the whole screen with its image, which goes with the window.
run logo "wait 500\nsnapshot logo\nwait 1000\n"
[ $code = 0 ] || fail "logo: exit $code"
has width=240 "logo width"
has height=320 "logo height"
has image=1 "logo image"
has image.after=0 "image freed with the window"
echo "info windows ok"
