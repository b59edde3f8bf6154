#!/bin/sh
# velko-traffic against velko-trafficd on a freshly built sample device: three records received
# and saved, the server's refusals, a dial-only device that dials its carrier's entry, a device
# whose carrier has no entry, and a reply cut short.
set -eu
mkdevice=$1
trafficd=$2
traffic=$3
dir=$(mktemp -d)
server=
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2> /dev/null || true; fi
  rm -rf "$dir"
}
trap cleanup EXIT
sh "$(dirname "$0")/../mkdevice/testing/sample_device.sh" "$mkdevice" "$dir/root" > /dev/null
touch "$dir/out.txt" "$dir/server.txt"
fail() { echo "FAIL: $*"; cat "$dir/out.txt" "$dir/server.txt"; exit 1; }
grep -qx 'trafficserver=127.0.0.1:15006' "$dir/root/device.ini" || fail "sample traffic server line"

# Starts the server with the given options and points the device at its port.
start() {
  if [ -n "$server" ]; then kill "$server" 2> /dev/null || true; wait "$server" 2> /dev/null || true; fi
  : > "$dir/server.txt"
  "$trafficd" --port 0 "$@" > "$dir/server.txt" 2>&1 &
  server=$!
  i=0
  while ! grep -q '^port=' "$dir/server.txt"; do
    i=$((i + 1)); [ $i -lt 100 ] || fail "the server did not start"; sleep 0.05
  done
  port=$(sed -n 's/^port=//p' "$dir/server.txt")
  grep -v '^trafficserver=\|^network=\|^dialup=' "$dir/root/device.ini" > "$dir/ini"
  echo "trafficserver=127.0.0.1:$port" >> "$dir/ini"
}
device() { cp "$dir/ini" "$dir/root/device.ini"; for line in "$@"; do echo "$line" >> "$dir/root/device.ini"; done; }

printf '16909060 80\n7 10\n4278190081 0\n' > "$dir/records.txt"
start --records "$dir/records.txt"
device "dialup=ok"
"$traffic" --root "$dir/root" > "$dir/out.txt" || fail "exit code of a download"
grep -qx 'result=13' "$dir/out.txt" || fail "result 13"
grep -qx 'records=3' "$dir/out.txt" || fail "three records"
grep -qx 'loaded=3' "$dir/out.txt" || fail "handed to the traffic store"
grep -qx 'message=17' "$dir/out.txt" || fail "voice message 17"
grep -q '^valid_until=20[0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]$' "$dir/out.txt" || fail "valid_until"
grep -q '^notice=한국도로공사로 부터 ".*월.*일.*시.*분" 에 받은 고속도로 정보로 1시간 동안 유효한 정보입니다.$' \
  "$dir/out.txt" || fail "validity notice"
# 16909060 is 0x01020304: stored little-endian, 04 03 02 01, then the speed 80 (0x50); 7 with
# speed 10 is 07 00 00 00 0a; 4278190081 is 0xFF000001, 01 00 00 ff, speed 0.
[ "$(od -An -tx1 -v "$dir/root/My Documents/Velko/Traffic.bin" | tr -d ' \n')" = \
  "0403020150070000000a010000ff00" ] || fail "Traffic.bin bytes"
# The request: bytes 4-11 "VELKO900", bytes 68-70 the carrier "011".
grep -q '^request=00000000564[5]4c4b4f393030' "$dir/server.txt" || fail "second field at byte 4"
req=$(sed -n 's/^request=//p' "$dir/server.txt" | head -1)
[ "$(echo "$req" | cut -c137-142)" = "303131" ] || fail "carrier text at byte 68"

for reply in 0:9 ffffffff:11 fffffffe:12; do
  start --reply "${reply%%:*}"
  device "dialup=ok"
  if "$traffic" --root "$dir/root" > "$dir/out.txt"; then fail "refusal ${reply%%:*} exited with 0"; fi
  grep -qx "result=${reply##*:}" "$dir/out.txt" || fail "result for ${reply%%:*}"
  grep -q '^notice=' "$dir/out.txt" || fail "notice for ${reply%%:*}"
done

# A dial-only device: the first try finds no network, the carrier's entry is dialled, the retry works.
start --records "$dir/records.txt"
device "network=dial" "dialup=ok"
"$traffic" --root "$dir/root" --carrier 0 > "$dir/out.txt" || fail "download after a dial"
grep -qx 'dial=011 wendlecar' "$dir/out.txt" || fail "dialled 011"
grep -qx 'result=13' "$dir/out.txt" || fail "result after the dial"
# A carrier without an entry dials nothing and is told to check the connection.
if "$traffic" --root "$dir/root" --carrier 5 > "$dir/out.txt"; then fail "carrier 5 exited with 0"; fi
grep -q '^dial=' "$dir/out.txt" && fail "carrier 5 dialled"
grep -qx 'notice=인터넷 연결 환경을 확인 해 주십시오.' "$dir/out.txt" || fail "connection notice"
grep -qx 'result=10' "$dir/out.txt" || fail "result 10"

# Ten records announced, three sent: nothing is saved, and after the retry the user is told.
rm -f "$dir/root/My Documents/Velko/Traffic.bin"
start --records "$dir/records.txt" --announce 10
device "dialup=ok"
if "$traffic" --root "$dir/root" > "$dir/out.txt"; then fail "a short reply exited with 0"; fi
grep -qx 'result=10' "$dir/out.txt" || fail "result of a short reply"
grep -qx 'notice=인터넷 연결 환경을 확인 해 주십시오.' "$dir/out.txt" || fail "notice of a short reply"
[ ! -e "$dir/root/My Documents/Velko/Traffic.bin" ] || fail "a short reply was saved"

# A server that announces its records and then falls silent: the reply times out (device.ini
# "traffictimeout", 300 ms here for the client's 30 s), the carrier's entry is dialled, the retry
# times out too, and the user is told to check the connection; nothing is saved.
rm -f "$dir/root/My Documents/Velko/Traffic.bin"
start --sample --stall
device "dialup=ok" "traffictimeout=300"
set +e
timeout 20 "$traffic" --root "$dir/root" > "$dir/out.txt"
rc=$?
set -e
[ $rc -ne 124 ] || fail "the download hung on a silent server"
[ $rc -eq 1 ] || fail "exit code $rc for a silent server"
grep -qx 'result=10' "$dir/out.txt" || fail "result of a silent server"
grep -qx 'dial=011 wendlecar' "$dir/out.txt" || fail "dialled after a silent server"
grep -qx 'notice=인터넷 연결 환경을 확인 해 주십시오.' "$dir/out.txt" || fail "notice of a silent server"
[ "$(grep -c '^request=' "$dir/server.txt")" -eq 2 ] || fail "two requests to a silent server"
[ ! -e "$dir/root/My Documents/Velko/Traffic.bin" ] || fail "a silent server's reply was saved"

# The sample region's expressways: as many records as the server announces, all saved.
start --sample
device "dialup=ok"
"$traffic" --root "$dir/root" > "$dir/out.txt" || fail "sample download"
n=$(sed -n 's/^records=//p' "$dir/out.txt")
[ "$n" -gt 10 ] || fail "too few sample expressway records"
[ "$(wc -c < "$dir/root/My Documents/Velko/Traffic.bin")" -eq $((n * 5)) ] || fail "sample Traffic.bin size"
# Every downloaded expressway link is one the device's link-speed store knows, and it holds the speed.
grep -qx "held=$n" "$dir/out.txt" || fail "the link-speed store holds $(sed -n 's/^held=//p' "$dir/out.txt") of $n"

# Declined: nothing is asked of the server.
start --records "$dir/records.txt"
device "dialup=ok"
if "$traffic" --root "$dir/root" --answer no > "$dir/out.txt"; then fail "declined exited with 0"; fi
grep -qx 'result=0' "$dir/out.txt" || fail "declined result"
grep -q '^request=' "$dir/server.txt" && fail "declined download reached the server"

# Refused arguments.
for args in "--answer maybe" "--device x" "--bogus 1"; do
  set +e
  # shellcheck disable=SC2086
  "$traffic" --root "$dir/root" $args > /dev/null 2>&1
  rc=$?
  set -e
  [ $rc -eq 2 ] || fail "exit code 2 for: $args"
done
set +e
"$trafficd" --reply 12 > /dev/null 2>&1
rc=$?
set -e
[ $rc -eq 2 ] || fail "trafficd accepted --reply 12"
# A records file that is a folder or missing: exit 2 at once, with a message naming it.
mkdir "$dir/folder"
for bad in folder missing.txt; do
  set +e
  timeout 30 "$trafficd" --port 0 --records "$dir/$bad" > /dev/null 2> "$dir/err.txt"
  rc=$?
  set -e
  [ $rc -eq 2 ] || fail "trafficd --records $bad: exit $rc, 2 expected"
  grep -q "$dir/$bad" "$dir/err.txt" || fail "trafficd --records $bad: the message does not name it"
done
echo "velko-traffic checks passed"
