#!/usr/bin/env bash
# The program's main job on the built-in sample device: the navigator itself. With a display it
# opens velko's window on the sample device until the window is closed; without one it runs velko
# headless with the showcase script on a copy of the sample device, writes the frames and logs to
# BUILD/run/ and prints frames=, sounds= and exit= (failing when velko does).
set -euo pipefail
build=${1:-build/release}
here=$(cd "$(dirname "$0")" && pwd)
sample="$build/sample"
builder="$build/tools/mkdevice/velko-mkdevice"
velko="$build/app/velko"
# (Re)build the sample device when it is missing or older than its builder.
if [ ! -f "$sample/device.ini" ] || [ "$builder" -nt "$sample/device.ini" ]; then
  echo "building the sample device in $sample"
  "$builder" --out "$sample"
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "main job: velko on the sample device (close the window to end)"
  set +e
  "$velko" --root "$sample"
  code=$?
  set -e
  echo "exit=$code"
  exit "$code"
fi
run="$build/run"
rm -rf "$run"
mkdir -p "$run"
cp -r "$sample" "$run/device"
echo "main job: velko headless on a copy of the sample device, showcase script"
set +e
"$velko" --root "$run/device" --headless "$here/showcase.script" --out "$run" --no-audio
code=$?
set -e
echo "frames=$(find "$run/frames" -name '*.png' | wc -l)"
echo "sounds=$(wc -l < "$run/sounds.log")"
echo "exit=$code"
echo "output=$run"
exit "$code"
