#!/bin/sh
# velko-gpsreader on the sample device as a user runs it: a synthesised drive played into a
# pseudo-terminal that stands for COM2, the reader on it in mode 2, then the port scan, then a
# drive along a route saved by velko-route, guided with spoken prompts.
set -u
dev=$1
reader=$2
replay=$3
synth=$4
decode=$5
route=$6
dir=$(mktemp -d)
trap 'kill $player 2> /dev/null; rm -rf "$dir"' EXIT
player=
fail() { echo "FAIL: $*"; cat "$dir/reader.txt" 2> /dev/null; exit 1; }

# start_on_open GO: once the reader (writing reader.txt) has opened its port, let the replay that
# waits for the file GO begin, so no second of the drive goes out before the port is open.
start_on_open() {
  for i in $(seq 1 600); do
    grep -q '^link=2$' "$dir/reader.txt" 2> /dev/null && break
    sleep 0.1
  done
  touch "$1"
}

# Ten seconds of driving east through the town, one fix a second.
"$synth" --points "202666,531666;202766,531666" --speed 36 --seed 5 --out "$dir/drive.nmea" 2> /dev/null ||
  fail "velko-gpssynth"
"$decode" "$dir/drive.nmea" > "$dir/decoded.txt" || fail "velko-gpsdecode"
fixes=$(wc -l < "$dir/decoded.txt")
[ "$fixes" -ge 5 ] || fail "only $fixes fixes synthesised"

# The replay plays the drive at twice its pace, from the moment the reader has opened COM2; the
# reader reads COM2 at 4800 (port 1, speed 1).
"$replay" --pty --link "$dir/com2" --rate 2 --start-when "$dir/go1" "$dir/drive.nmea" > /dev/null &
player=$!
for i in 1 2 3 4 5 6 7 8 9 10; do [ -e "$dir/com2" ] && break; sleep 0.2; done
[ -e "$dir/com2" ] || fail "no pseudo-terminal from velko-gpsreplay"
seconds=$((fixes / 2 + 14))
"$reader" --root "$dev" --com 2="$dir/com2" --mode 2 --port 1 --speed 1 --seconds $seconds > "$dir/reader.txt" 2>&1 &
reader_pid=$!
start_on_open "$dir/go1"
wait $reader_pid || fail "velko-gpsreader exited with an error"

grep -q '^link=2$' "$dir/reader.txt" || fail "the port was not opened"
grep -q '^link=3$' "$dir/reader.txt" || fail "no bytes came"
# Every fix the decoder gives, the reader gave, in order; the drive began once the port was open,
# but the first second may still have crossed the reader's purge of its port.
sed -n 's/^fix \(.*\) quality=[0-9]*$/\1/p' "$dir/reader.txt" > "$dir/read.txt"
tail -n "$(wc -l < "$dir/read.txt")" "$dir/decoded.txt" > "$dir/expected.txt"
[ "$(wc -l < "$dir/read.txt")" -ge $((fixes - 1)) ] || fail "only $(wc -l < "$dir/read.txt") of $fixes fixes read"
cmp -s "$dir/expected.txt" "$dir/read.txt" || { diff "$dir/expected.txt" "$dir/read.txt" | head; fail "fixes differ"; }
grep -q '^state=[1-9][0-9]*$' "$dir/reader.txt" || fail "no fix quality shown"
# The replay ends; about ten seconds later the reader resets the silent port.
grep -q '^reset port=COM2:$' "$dir/reader.txt" || fail "the silent port was not reset"
[ "$(tail -n +"$(grep -n '^reset port=' "$dir/reader.txt" | head -1 | cut -d: -f1)" "$dir/reader.txt" |
     grep -c '^state=-1$')" -ge 1 ] || fail "no state=-1 after the reset"
wait $player

# The port scan finds the receiver on COM2 at 4800.
"$replay" --pty --link "$dir/com2" --loop --rate 4 "$dir/drive.nmea" > /dev/null &
player=$!
for i in 1 2 3 4 5 6 7 8 9 10; do [ -e "$dir/com2" ] && break; sleep 0.2; done
"$reader" --root "$dev" --com 1="$dir/none" --com 2="$dir/com2" --mode 2 --port 1 --speed 1 --seconds 8 --scan \
  > "$dir/reader.txt" 2>&1 || fail "velko-gpsreader --scan"
grep -q '^found=1 unit=0 both=0 port=1 speed=1$' "$dir/reader.txt" || fail "the scan did not report COM2 at 4800"
kill $player 2> /dev/null
wait $player 2> /dev/null

# A 2.7 km drive through the town (right, left, right, the goal at 시청사거리), played at four
# times its pace into COM2, the reader following the saved route with guidance and the voice loop.
"$route" --root "$dev" --net --from 45758000,13500000 --to 45763755,13506271 --save readercheck \
  > "$dir/plan.txt" 2> /dev/null || fail "velko-route"
cp "$dev/My Documents/VelkoData/SaveRoute/readercheckR.vkp" "$dir/town.vkp" &&
  rm -f "$dev/My Documents/VelkoData/SaveRoute/readercheckR.vkp"
"$synth" --route "$dir/town.vkp" --speed 72 --seed 2 --out "$dir/town.nmea" 2> /dev/null || fail "velko-gpssynth --route"
epochs=$(grep -c '^\$GPGGA' "$dir/town.nmea")
"$replay" --pty --link "$dir/com2" --rate 4 --start-when "$dir/go3" "$dir/town.nmea" > /dev/null &
player=$!
for i in 1 2 3 4 5 6 7 8 9 10; do [ -e "$dir/com2" ] && break; sleep 0.2; done
"$reader" --root "$dev" --com 2="$dir/com2" --mode 2 --port 1 --speed 1 --seconds $((epochs / 4 + 6)) \
  --route "$dir/town.vkp" > "$dir/reader.txt" 2>&1 &
reader_pid=$!
start_on_open "$dir/go3"
wait $reader_pid || fail "velko-gpsreader --route"
grep -q '^guide_load=0$' "$dir/reader.txt" || fail "the guidance files did not load"
[ "$(grep -c '^guide item=' "$dir/reader.txt")" = "$(grep -c '^fix ' "$dir/reader.txt")" ] ||
  fail "not every fix was guided"
length=$(head -1 "$dir/plan.txt" | sed 's/.* length=\([0-9]*\).*/\1/')
first=$(grep '^guide item=' "$dir/reader.txt" | head -1 | sed 's/.* remain=//')
last=$(grep '^guide item=' "$dir/reader.txt" | tail -1 | sed 's/.* remain=//')
[ "$first" -gt $((length - 200)) ] && [ "$last" -lt 100 ] || fail "remaining distance $first .. $last of $length m"
# The voice loop spoke: the first turn (우회전, clip 75) and the arrival (목적지, clip 84).
grep -q '^prompt .*kind=prompt clips=[0-9,]*,75 ' "$dir/reader.txt" || fail "no right-turn prompt"
grep -q '^prompt .*kind=prompt clips=84,' "$dir/reader.txt" || fail "no arrival prompt"
# A folder or a plain file as a port path is refused at once (exit 2, the path named); a device
# without a road network reports it and ends with a non-zero code.
mkdir "$dir/folder" "$dir/empty"
: > "$dir/plain"
for bad in folder plain; do
  timeout 30 "$reader" --root "$dev" --com 1="$dir/$bad" --seconds 1 > /dev/null 2> "$dir/err.txt"
  code=$?
  [ $code = 2 ] || fail "--com 1=$bad: exit $code, 2 expected"
  grep -q "$dir/$bad" "$dir/err.txt" || fail "--com 1=$bad: the path is not named"
done
timeout 30 "$reader" --root "$dir/empty" --seconds 1 > "$dir/reader.txt" 2> "$dir/err.txt"
code=$?
grep -q '^status=MMData Load Fail$' "$dir/reader.txt" || fail "an empty device: no load failure shown"
[ $code != 0 ] && [ $code != 124 ] || fail "an empty device: exit $code, a failure expected"
echo "velko-gpsreader: all checks passed"
