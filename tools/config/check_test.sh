#!/bin/sh
# velko-config on a freshly built sample device: the defaults and the item paths, a changed
# setting saved and read back, the recent destinations of a hand-written list, refused arguments.
set -eu
mkdevice=$1
config=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sh "$(dirname "$0")/../mkdevice/testing/sample_device.sh" "$mkdevice" "$dir/root" > /dev/null
touch "$dir/out.txt"
fail() { echo "FAIL: $*"; cat "$dir/out.txt"; exit 1; }
# The sample device names its traffic server and dial-up result and has a Bluetooth serial port.
grep -qx 'trafficserver=127.0.0.1:15006' "$dir/root/device.ini" || fail "traffic server line"
grep -qx 'dialup=ok' "$dir/root/device.ini" || fail "dial-up line"
grep -qx '"ComPortNumber"=dword:00000008' "$dir/root/registry.reg" || fail "Bluetooth port entry"
"$config" --root "$dir/root" > "$dir/out.txt" || fail "exit code"
grep -qx 'data=Storage Card\\MapData' "$dir/out.txt" || fail "data folder"
grep -qx 'setting.0=2' "$dir/out.txt" || fail "setting 0"
grep -qx 'setting.9=19' "$dir/out.txt" || fail "setting 9"
grep -qx 'setting.48=-1' "$dir/out.txt" || fail "setting 48"
[ "$(grep -c '^setting\.' "$dir/out.txt")" = 200 ] || fail "200 settings"
grep -qx 'path.등록지점=Storage Card\\VelkoData\\position' "$dir/out.txt" || fail "registered points path"
grep -qx 'path.old저장경로=Storage Card\\MapData\\SaveRoute' "$dir/out.txt" || fail "old route folder"
grep -qx 'recent=\\My Documents\\Velko\\DestPosition loaded=1 count=4' "$dir/out.txt" || fail "the sample's recent list"
# Settings changed and saved to the card root, then read back (setting 2 is cleared by loading).
"$config" --root "$dir/root" --set 0=1 --set 16=45 --set 2=1 > "$dir/out.txt" || fail "--set exit code"
grep -qx 'saved=1' "$dir/out.txt" || fail "saved"
[ "$(wc -c < "$dir/root/Storage Card/VelkoData/config.bin")" -eq 1004 ] || fail "config.bin of 1004 bytes"
"$config" --root "$dir/root" > "$dir/out.txt"
grep -qx 'setting.0=1' "$dir/out.txt" || fail "setting 0 read back"
grep -qx 'setting.16=45' "$dir/out.txt" || fail "setting 16 read back"
grep -qx 'setting.2=0' "$dir/out.txt" || fail "setting 2 cleared"
grep -qx 'settings=read' "$dir/out.txt" || fail "settings file read"
# A settings file cut short is rejected and kept aside; the values it still holds whole (600 bytes
# hold settings 0-148) are saved again at once, and later saves leave the kept file alone.
cfg="$dir/root/Storage Card/VelkoData/config.bin"
truncate -s 600 "$cfg"
cp "$cfg" "$dir/cut"
"$config" --root "$dir/root" > "$dir/out.txt" || fail "exit code for a cut file"
grep -qx 'settings=rejected kept=Storage Card\\VelkoData\\config.bin.bad' "$dir/out.txt" || fail "cut file rejected"
grep -qx 'setting.0=1' "$dir/out.txt" || fail "setting 0 kept from the cut file"
grep -qx 'setting.16=45' "$dir/out.txt" || fail "setting 16 kept from the cut file"
[ "$(wc -c < "$cfg")" -eq 1004 ] || fail "the recovered values saved whole"
"$config" --root "$dir/root" > "$dir/out.txt"
grep -qx 'settings=read' "$dir/out.txt" || fail "recovered file read"
grep -qx 'setting.16=45' "$dir/out.txt" || fail "setting 16 read from the recovered file"
"$config" --root "$dir/root" --set 9=20 > "$dir/out.txt" || fail "save after a cut file"
cmp -s "$cfg.bad" "$dir/cut" || fail "kept copy changed by the save"
"$config" --root "$dir/root" > "$dir/out.txt"
grep -qx 'settings=read' "$dir/out.txt" || fail "saved file read"
grep -qx 'setting.16=45' "$dir/out.txt" || fail "setting 16 after the save"
grep -qx 'setting.9=20' "$dir/out.txt" || fail "setting 9 after the save"
# Random bytes: rejected, the defaults taken.
head -c 1004 /dev/urandom | { printf 'XXXX'; tail -c +5; } > "$cfg"
"$config" --root "$dir/root" > "$dir/out.txt"
grep -q '^settings=rejected kept=' "$dir/out.txt" || fail "random file rejected"
grep -qx 'setting.9=19' "$dir/out.txt" || fail "defaults for a random file"
# One recent destination, by hand: count 1; name "home"; x 100, y 200, kind 8, values 0.
printf '\001\000\000\000home\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000d\000\000\000\310\000\000\000\010\000\000\000' \
  > "$dir/root/My Documents/Velko/DestPosition"
head -c 12 /dev/zero >> "$dir/root/My Documents/Velko/DestPosition"
"$config" --root "$dir/root" > "$dir/out.txt"
grep -qx 'recent.0=home 100 200 8' "$dir/out.txt" || fail "recent destination"
# A list that claims more records than it holds gives the whole records that are there.
{ printf '\002\000\000\000'; tail -c +5 "$dir/root/My Documents/Velko/DestPosition"; } > "$dir/bad"
cp "$dir/bad" "$dir/root/My Documents/Velko/DestPosition"
"$config" --root "$dir/root" > "$dir/out.txt"
grep -q '^recent=.* loaded=1 count=1$' "$dir/out.txt" || fail "whole record of a short list"
grep -qx 'recent.0=home 100 200 8' "$dir/out.txt" || fail "record of a short list"
# Refused arguments.
for args in "--set 200=1" "--set 5" "--set x=1" "--device" "--bogus 1"; do
  # shellcheck disable=SC2086
  if "$config" --root "$dir/root" $args > /dev/null 2>&1; then fail "accepted: $args"; fi
  set +e
  "$config" --root "$dir/root" $args > /dev/null 2>&1
  [ $? -eq 2 ] || fail "exit code 2 for: $args"
  set -e
done
# A refused value is named on a line before the usage text.
for args in "--set 3=abc" "--set 200=1" "--set x=1" "--device abc"; do
  set +e
  # shellcheck disable=SC2086
  "$config" --root "$dir/root" $args > /dev/null 2> "$dir/err.txt"
  code=$?
  set -e
  [ $code -eq 2 ] || fail "exit code 2 for: $args"
  head -1 "$dir/err.txt" | grep -q -- "^velko-config: $args: " || fail "the value is not named: $args"
done
echo "velko-config checks passed"
