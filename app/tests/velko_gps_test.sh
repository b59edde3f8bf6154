#!/bin/sh
# velko on copies of the sample device, headless, for the GPS dialogs: the sample's own model
# starts without the GPS set-up; a model with one known wiring has it stored at start; a model with
# several shows the set-up, which "다음에설정" leaves without a change and the check box marks done;
# with a receiver log fed into COM1 the Gps command opens the information window, whose settings
# panel asks before it stores a changed datum; its hidden gesture brings up the logging panel.
set -u
dev=$1
velko=$2
here=$(dirname "$0")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; cat "$dir"/out/host.log "$dir"/out/msgbox.log "$dir/err.txt" 2> /dev/null | tail -30; exit 1; }
copy() {
  rm -rf "$dir/root" "$dir/out"
  cp -r "$dev" "$dir/root" || fail "copy the sample device"
  [ -n "${1:-}" ] && sed -i "s/^oem=.*/oem=$1/" "$dir/root/device.ini"
  return 0
}
run() { "$velko" --root "$dir/root" --headless "$dir/$1" --out "$dir/out" --builtin-font 2> "$dir/err.txt" || fail "$1: exit 0 expected"; }
# Setting i of config.bin (4 + 4 i, little-endian, signed).
config="$dir/root/Storage Card/VelkoData/config.bin"
setting() {
  [ -f "$config" ] || { echo none; return; }
  od -An -t d4 -j $((4 + 4 * $1)) -N4 "$config" | tr -d ' '
}
cp "$here"/gps_feed/*.nmea "$dir/"

cat > "$dir/start.script" << 'SCRIPT'
wait 500
# The start-up warning, closed with "확인".
tap 144 249
wait 200
snapshot start
quit
SCRIPT

# The sample (iPAQ2210) has no entry: nothing is shown and nothing stored.
copy
run start.script
[ "$(setting 43)" = none ] || [ "$(setting 43)" = 0 ] || fail "the sample's start marked the set-up done"
[ -s "$dir/out/msgbox.log" ] && fail "the sample's start asked something"
cp "$dir/out/frames/start.png" "$dir/sample.png"

# iPAQ38 (one entry, COM4 at 57,600): stored without a dialog.
copy "Compaq iPAQ H3800"
run start.script
[ "$(setting 28) $(setting 29) $(setting 30) $(setting 31) $(setting 32) $(setting 41) $(setting 43)" = "0 3 5 0 0 0 1" ] ||
  fail "iPAQ38: settings $(setting 29) $(setting 30) $(setting 43)"

# iPAQ39 (two entries) on a first start: the set-up is up; "다음에설정" leaves it with nothing stored.
copy "Compaq iPAQ H3900"
cat > "$dir/later.script" << 'SCRIPT'
wait 500
snapshot setup
tap 67 288
wait 300
# The start-up warning, closed with "확인".
tap 144 249
wait 200
snapshot after
quit
SCRIPT
run later.script
cmp -s "$dir/out/frames/setup.png" "$dir/sample.png" && fail "iPAQ39: the first start showed the map, not the set-up"
[ "$(setting 43)" = none ] || [ "$(setting 43)" = 0 ] || fail "iPAQ39: 다음에설정 marked the set-up done"
# The check box instead: marked done and saved, the wiring untouched.
copy "Compaq iPAQ H3900"
cat > "$dir/never.script" << 'SCRIPT'
wait 500
tap 36 241
wait 300
# The start-up warning, closed with "확인".
tap 144 249
wait 200
quit
SCRIPT
run never.script
[ "$(setting 43)" = 1 ] || fail "iPAQ39: the check box did not mark the set-up done"

# The information window on the sample with a receiver log into COM1: settings panel, a changed
# datum confirmed with yes, the question logged and the datum stored; "확인" closes the window.
copy
cat > "$dir/gps.script" << 'SCRIPT'
wait 500
# The start-up warning, closed with "확인".
tap 144 249
wait 200
serial feed COM1 fix0.nmea
wait 300
tap 10 10
wait 200
serial feed COM1 fix1.nmea
wait 300
serial feed COM1 fix2.nmea
wait 300
snapshot gps
tap 40 288
wait 200
snapshot settings
tap 140 68
answer yes
tap 119 269
wait 200
tap 195 288
wait 200
snapshot closed
quit
SCRIPT
run gps.script
grep -q '변경사항을 적용하시겠습니까?' "$dir/out/msgbox.log" || fail "no question after the change"
[ "$(setting 28)" = 1 ] || fail "the datum was not stored: $(setting 28)"
cmp -s "$dir/out/frames/gps.png" "$dir/out/frames/settings.png" && fail "the settings panel did not open"
cmp -s "$dir/out/frames/gps.png" "$dir/out/frames/closed.png" && fail "확인 did not close the window"

# The hidden gesture: five pen-ups on the sky chart close the window and bring up the logging
# panel, whose START makes the GPS reader open a log file in "My Documents\Velko".
copy
cat > "$dir/gesture.script" << 'SCRIPT'
wait 500
# The start-up warning, closed with "확인".
tap 144 249
wait 200
serial feed COM1 fix0.nmea
wait 300
tap 10 10
wait 300
snapshot sky
tap 80 100
tap 80 100
tap 80 100
tap 80 100
tap 80 100
wait 1500
snapshot panel
tap 120 118
wait 1500
snapshot started
quit
SCRIPT
run gesture.script
cmp -s "$dir/out/frames/sky.png" "$dir/out/frames/panel.png" && fail "the gesture left the window up"
cmp -s "$dir/out/frames/panel.png" "$dir/out/frames/started.png" && fail "START left the panel up"
log="$dir/root/My Documents/Velko/LogData000.txt"
[ "$(head -c 9 "$log" 2> /dev/null)" = Start_Log ] || fail "no log file after START"
exit 0
