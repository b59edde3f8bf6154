#!/bin/sh
# velko-darcsynth and velko-darc on a freshly built sample device: a recorded stream, a corrupted
# one, a stream merged into a receiver-unit log, a live unit on a pseudo-terminal that the
# receiver tunes away from a silent station, and velko-route with a jam from the store.
set -eu
mkdevice=$1
synth=$2
darc=$3
gpssynth=$4
gpsdecode=$5
route=$6
dir=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2> /dev/null; rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
sh "$(dirname "$0")/../mkdevice/testing/sample_device.sh" "$mkdevice" "$dir/root" > /dev/null
save="$dir/root/My Documents/Velko/STIStore.bin"
value() { sed -n "s/^$1=//p" "$2"; }
links() { grep '^link ' "$1" | sed 's/^link/sent/; s/ colour=.*//'; }

# A recorded stream: every link the synthesiser sent arrives with its last speed.
"$synth" --root "$dir/root" --seconds 4 --seed 7 --out "$dir/s.bin" > "$dir/sent.txt" || fail "synth"
n=$(grep -c '^sent ' "$dir/sent.txt")
"$darc" --root "$dir/root" --stream "$dir/s.bin" --links > "$dir/got.txt" || fail "darc --stream"
[ "$(value links "$dir/got.txt")" = "$n" ] || fail "every link of the table was sent"
[ "$(value received "$dir/got.txt")" = "$n" ] || fail "received count"
[ "$(value version "$dir/got.txt")" = K1.23 ] || fail "version"
[ "$(value freq "$dir/got.txt")" = 36 ] && [ "$(value rate "$dir/got.txt")" = 80 ] || fail "rate report"
[ "$(value connected "$dir/got.txt")" = 1 ] || fail "connected"
[ "$(value packets "$dir/got.txt")" -gt "$n" ] || fail "packet count"
links "$dir/got.txt" | cmp -s - "$dir/sent.txt" || fail "link lines differ from the sent speeds"
grep -q '^link .* speed=[0-9] colour=0x8000FF$' "$dir/got.txt" || fail "a congested link"
[ -s "$save" ] || fail "the store's save file"
rm -f "$save"

# Corrupted sentences are dropped; the speeds that got through are the last ones sent.
"$synth" --root "$dir/root" --seconds 6 --seed 3 --corrupt 200 --out "$dir/c.bin" > "$dir/csent.txt" || fail "synth --corrupt"
"$darc" --root "$dir/root" --stream "$dir/c.bin" --links > "$dir/cgot.txt" || fail "darc corrupted"
[ "$(grep -c '^sent ' "$dir/csent.txt")" -gt 0 ] || fail "nothing got through the corruption"
links "$dir/cgot.txt" | cmp -s - "$dir/csent.txt" || fail "corrupted stream"
rm -f "$save"

# Merged into a receiver-unit log: the same speeds come through the unit's frames, and the
# GPS records are those of the log without the broadcast.
"$gpssynth" --points "0,0;0,1000" --speed 36 --unit --out "$dir/unit.log" 2> /dev/null ||
  fail "gpssynth --unit"
"$synth" --root "$dir/root" --seed 5 --merge "$dir/unit.log" --out "$dir/m.bin" > "$dir/msent.txt" || fail "synth --merge"
"$darc" --root "$dir/root" --stream "$dir/m.bin" --unit --links > "$dir/mgot.txt" || fail "darc --unit"
[ "$(grep -c '^sent ' "$dir/msent.txt")" = "$n" ] || fail "the merged stream carries every link"
links "$dir/mgot.txt" | cmp -s - "$dir/msent.txt" || fail "merged stream speeds"
"$gpsdecode" --unit "$dir/unit.log" > "$dir/fix1.txt"
"$gpsdecode" --unit "$dir/m.bin" > "$dir/fix2.txt"
[ "$(wc -l < "$dir/fix1.txt")" -gt 10 ] || fail "too few fixes"
cmp -s "$dir/fix1.txt" "$dir/fix2.txt" || fail "the merged log decodes to other fixes"
rm -f "$save"
# A log cut short is still a unit log; stray frame starts, random bytes and a file of another
# kind are refused at once with exit 2.
head -c 1000 "$dir/unit.log" > "$dir/cut.log"
timeout 60 "$synth" --root "$dir/root" --merge "$dir/cut.log" --out "$dir/x.bin" > /dev/null ||
  fail "a log cut short was refused"
rm -f "$save"
i=0
while [ $i -lt 500 ]; do printf '\002\001\377'; i=$((i + 1)); done > "$dir/stray.log"
head -c 65536 /dev/urandom > "$dir/random.log"
head -c 3000 "$dir/root/Storage Card/MapData/MRData/DARCLINK.bin" > "$dir/table.log"
for bad in stray random table; do
  code=0
  timeout 60 "$synth" --root "$dir/root" --merge "$dir/$bad.log" --out "$dir/x.bin" > /dev/null 2> "$dir/err.txt" ||
    code=$?
  [ $code = 2 ] || fail "--merge of $bad bytes: exit $code, 2 expected"
  grep -q "$bad.log: not a receiver-unit log" "$dir/err.txt" || fail "--merge of $bad bytes: $(cat "$dir/err.txt")"
done
rm -f "$save"

# A live unit: a silent station, then one at 60 %; the receiver searches and settles.
"$synth" --root "$dir/root" --serve --seconds 7 --station 36:5:- --station 62:60:0x80 > "$dir/serve.txt" &
pid=$!
i=0
while ! grep -q '^device=' "$dir/serve.txt" 2> /dev/null; do
  i=$((i + 1)); [ $i -lt 100 ] || fail "no pseudo-terminal"; sleep 0.1
done
dev=$(value device "$dir/serve.txt")
"$darc" --root "$dir/root" --port COM5: --com "5=$dev" --seconds 5 > "$dir/live.txt" || fail "darc --port"
wait "$pid"; pid=
grep -q '^command code=62$' "$dir/serve.txt" || fail "the unit did not see the tuning command"
[ "$(value freq "$dir/live.txt")" = 62 ] && [ "$(value rate "$dir/live.txt")" = 60 ] || fail "not settled on 62"
[ "$(value scan "$dir/live.txt")" = 0 ] && [ "$(value searching "$dir/live.txt")" = 0 ] || fail "still searching"
[ "$(value commands "$dir/live.txt")" = 1 ] || fail "one tuning command"
rm -f "$save"

# Served at its pace and heard to the end: the link lines are the sent lines.
"$synth" --root "$dir/root" --serve --seconds 3 --seed 9 > "$dir/serve2.txt" &
pid=$!
i=0
while ! grep -q '^device=' "$dir/serve2.txt" 2> /dev/null; do
  i=$((i + 1)); [ $i -lt 100 ] || fail "no pseudo-terminal"; sleep 0.1
done
dev=$(value device "$dir/serve2.txt")
"$darc" --root "$dir/root" --port COM5: --com "5=$dev" --seconds 5 --links > "$dir/live2.txt" || fail "darc --port"
wait "$pid"; pid=
grep '^sent ' "$dir/serve2.txt" > "$dir/sent2.txt"
[ "$(grep -c '^sent ' "$dir/sent2.txt")" = "$n" ] || fail "the served stream carries every link"
links "$dir/live2.txt" | cmp -s - "$dir/sent2.txt" || fail "live link lines differ from the sent speeds"
[ "$(value commands "$dir/live2.txt")" = 0 ] || fail "a good station was left"
rm -f "$save"

# velko-route: 5 km/h on an expressway link (ids with bit 31) moves the route where a detour
# exists.
from=45762670,13476477
to=45821251,13495908
"$route" --root "$dir/root" --net --from $from --to $to > "$dir/r0.txt" 2> /dev/null || fail "route"
base=$(head -1 "$dir/r0.txt")
moved=0
for idx in $(grep '^link ' "$dir/got.txt" | awk '{ split($2, a, "="); split($3, b, "="); if (b[2] >= 2147483648) print a[2] }'); do
  "$route" --root "$dir/root" --net --from $from --to $to --traffic "$idx=5" > "$dir/r.txt" 2> /dev/null ||
    fail "route with traffic"
  head -1 "$dir/r.txt" | grep -q '^result=0 ' || fail "traffic route result"
  l0=$(echo "$base" | sed 's/.* length=\([0-9]*\).*/\1/')
  l1=$(head -1 "$dir/r.txt" | sed 's/.* length=\([0-9]*\).*/\1/')
  [ "$l0" != "$l1" ] && moved=$((moved + 1))
done
[ $moved -gt 0 ] || fail "no jam on an expressway moved the route"
if "$route" --root "$dir/root" --net --from $from --to $to --traffic 60000=5 > /dev/null 2>&1; then
  fail "an index outside the table was taken"
fi
[ ! -e "$save" ] || fail "velko-route wrote the store's save file"
# A folder is no stream: refused with exit code 2.
rc=0; "$darc" --root "$dir/root" --stream "$dir" > /dev/null 2>&1 || rc=$?
[ $rc = 2 ] || fail "a folder as the stream gave exit code $rc"
echo "velko-darc checks passed"
