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
  # A drive along a sample route (eastbound through the region to 가람시청), synthesised as NMEA
  # at 60 km/h and replayed in a loop into COM1 (DIR/dev/COM1, where velko looks for it), so the
  # car follows its fixes in the window. Without the tools' output velko runs without a feed.
  feed=$(mktemp -d)
  replayer=
  cleanup() {
    [ -n "$replayer" ] && kill "$replayer" 2> /dev/null
    [ -L "$sample/dev/COM1" ] && rm -f "$sample/dev/COM1"
    rm -rf "${feed:?}"
  }
  trap cleanup EXIT
  saved="$sample/My Documents/VelkoData/SaveRoute/runfeedR.vkp"
  if "$build/tools/route/velko-route" --root "$sample" --net --from 45729040,13495908 \
       --to 45763755,13506271 --save runfeed > /dev/null 2>&1 && mv "$saved" "$feed/route.vkp" &&
     "$build/tools/gpssynth/velko-gpssynth" --route "$feed/route.vkp" --speed 60 --seed 1 \
       --out "$feed/drive.nmea" 2> /dev/null; then
    mkdir -p "$sample/dev"
    if [ ! -e "$sample/dev/COM1" ] || [ -L "$sample/dev/COM1" ]; then
      rm -f "$sample/dev/COM1"
      "$build/tools/gpsreplay/velko-gpsreplay" --pty --link "$sample/dev/COM1" --loop "$feed/drive.nmea" \
        > /dev/null 2>&1 &
      replayer=$!
      for _ in 1 2 3 4 5 6 7 8 9 10; do [ -e "$sample/dev/COM1" ] && break; sleep 0.2; done
      echo "gps feed: a drive to 가람시청 replayed into COM1"
    fi
  else
    echo "gps feed: none (the sample route could not be synthesised)"
  fi
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
