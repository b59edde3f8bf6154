#!/bin/sh
# velko-dialog's start-up screens on the sample device: the warning screen (taps outside its button
# change nothing, its button removes it) and the application buttons taken from the shell (only
# buttons with a function, none without coredll's export).
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

# ---- Warning: the whole screen; "확인" is the button at (91, 230), 107 x 39.
run warning "wait 300\nsnapshot warning\ntap 20 20\nwait 100\ntap 120 100\nwait 100\ntap 60 290\nwait 2500\n"
[ $code = 0 ] || fail "warning: exit $code"
has created=1 "warning made"
has x=0 "warning x"
has y=0 "warning y"
has width=240 "warning width"
has height=320 "warning height"
has confirmed=0 "taps outside the button"
has open=1 "still shown"
[ -s "$dir/frames/frames/warning.png" ] || fail "no warning frame"
run warning "wait 300\ntap 144 249\nwait 100\nsnapshot gone\nwait 2500\n"
[ $code = 0 ] || fail "warning confirmed: exit $code"
has confirmed=1 "confirmed"
has open=0 "removed at pen-up"

# ---- Hot keys: buttons 1 and 3 have functions, 2 and 4 none.
run hotkey "wait 300\nkey APP1\nwait 100\nkey APP2\nwait 100\nkey APP3\nwait 2500\n" \
  --set 35=12 --set 36=0 --set 37=13 --set 38=0
[ $code = 0 ] || fail "hotkey: exit $code"
has available=1 "coredll's export"
has key1=0xC1 "first button"
has key1.captured=1 "APP1 taken"
has key1.pressed=1 "APP1 reaches the window"
has key1.shell=0 "APP1 given up by the shell"
has key2.captured=0 "no function, not taken"
has key2.pressed=0 "APP2 does not reach the window"
has key2.shell=1 "APP2 stays with the shell"
has key3.captured=1 "APP3 taken"
has key4.shell=1 "APP4 stays with the shell"
# Without "UnregisterFunc1" nothing is taken and the shell keeps every button.
run hotkey "wait 300\nkey APP1\nwait 2500\n" --set 35=12 --set 36=12 --set 37=12 --set 38=12 --set noexport=1
[ $code = 0 ] || fail "hotkey without export: exit $code"
has available=0 "no export"
has key1.captured=0 "APP1 not taken"
has key1.pressed=0 "APP1 not delivered"
has key1.shell=1 "APP1 with the shell"
has key4.captured=0 "APP4 not taken"
echo "start screens ok"
