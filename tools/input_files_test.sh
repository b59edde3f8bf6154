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
