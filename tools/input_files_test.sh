#!/bin/sh
# Every tool that reads an input file takes only a regular file under its size limit: a folder,
# a pipe with no writer or an oversized file gives a message naming it and exit 2, at once.
set -u
dev=$1
route=$2
synth=$3
decode=$4
match=$5
replay=$6
uidemo=$7
mrdump=$8
mdcdump=$9
transit=${10}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir/err.txt" 2> /dev/null; exit 1; }
mkdir "$dir/folder"
mkfifo "$dir/pipe"
# 2.2 GB without data: refused by its size before any of it is read.
truncate -s 2200M "$dir/huge" || fail "cannot make a sparse file"
printf '$GPGGA,0*00\n' > "$dir/log.nmea"

# expect WHAT COMMAND...: exit 2 within 30 seconds, and a message naming WHAT's path.
expect() {
  what=$1
  shift
  timeout 30 "$@" > /dev/null 2> "$dir/err.txt"
  code=$?
  [ $code = 2 ] || fail "$* : exit $code, 2 expected"
  grep -q "$dir/$what" "$dir/err.txt" || fail "$* : the message does not name $what"
}
for bad in folder pipe huge; do
  expect $bad "$decode" "$dir/$bad"
  expect $bad "$route" --dump "$dir/$bad"
  expect $bad "$match" --root "$dev" "$dir/$bad"
  expect $bad "$match" --root "$dev" --route "$dir/$bad" "$dir/log.nmea"
  expect $bad "$synth" --route "$dir/$bad" --out "$dir/x.nmea"
  expect $bad "$replay" --pty "$dir/$bad"
  expect $bad "$uidemo" --headless "$dir/$bad" --out "$dir/ui"
  expect $bad "$transit" open "$dir/$bad"
  # Layer files are read cell by cell, up to their 32-bit offsets: only folders and pipes apply.
  [ $bad = huge ] || expect $bad "$mdcdump" "$dir/$bad"
done
# --link replaces only the tool's own earlier link to a pseudo-terminal: a file or an empty
# folder at the path is refused and left as it was.
printf 'keep me\n' > "$dir/COM3"
expect COM3 "$replay" --rate 1000 --pty --link "$dir/COM3" "$dir/log.nmea"
[ "$(cat "$dir/COM3")" = "keep me" ] || fail "velko-gpsreplay --link changed the file at its path"
mkdir "$dir/COM4"
expect COM4 "$replay" --rate 1000 --pty --link "$dir/COM4" "$dir/log.nmea"
[ -d "$dir/COM4" ] || fail "velko-gpsreplay --link removed the folder at its path"
# A stale link to a pseudo-terminal is replaced, and the new link goes when the drive ends.
ln -s /dev/pts/4095 "$dir/COM5"
timeout 30 "$replay" --rate 1000 --pty --link "$dir/COM5" "$dir/log.nmea" > /dev/null 2> "$dir/err.txt" ||
  fail "velko-gpsreplay does not replace its own stale link"
[ -e "$dir/COM5" ] || [ -L "$dir/COM5" ] && fail "velko-gpsreplay left its link behind"
# A rate so slow that a record's wait would overflow the clock is refused.
for rate in 1e-300 0.0009 0 -1 abc; do
  timeout 30 "$replay" --rate $rate --pty "$dir/log.nmea" > /dev/null 2> "$dir/err.txt"
  [ $? = 2 ] || fail "velko-gpsreplay --rate $rate: exit 2 expected"
  grep -q -- "--rate $rate" "$dir/err.txt" || fail "velko-gpsreplay --rate $rate: the value is not named"
done
# The kind of refusal is said.
timeout 30 "$decode" "$dir/folder" 2>&1 | grep -q 'is a folder' || fail "a folder is not called a folder"
timeout 30 "$decode" "$dir/pipe" 2>&1 | grep -q 'is a pipe' || fail "a pipe is not called a pipe"
timeout 30 "$route" --dump "$dir/huge" 2>&1 | grep -q '2306867200 bytes' || fail "the size is not said"
# A MapData folder given where it is expected but holding a folder in place of a network file.
mkdir -p "$dir/data/MRData/MRNode.bin"
"$mrdump" --check "$dir/data" > "$dir/out.txt" 2> "$dir/err.txt"
[ $? = 1 ] || fail "velko-mrdump on a folder named like a file: exit 1 expected"
grep -q 'MRNode.bin: is a folder' "$dir/out.txt" || fail "velko-mrdump does not name the folder"
echo "input file checks passed"
