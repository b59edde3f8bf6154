#!/usr/bin/env bash
# The program's main job on the built-in sample data. Until the navigator exists this plans and
# prints a route across the sample region with velko-route (two waypoints: through the town of
# 가람 and past its roundabout), after building the sample device if it is missing.
set -euo pipefail
build=${1:-build/release}
sample="$build/sample"
builder="$build/tools/mkdevice/velko-mkdevice"
# (Re)build the sample device when it is missing or older than its builder.
if [ ! -f "$sample/device.ini" ] || [ "$builder" -nt "$sample/device.ini" ]; then
  echo "building the sample device in $sample"
  "$builder" --out "$sample"
fi
# Network coordinates (1/100 arc-second): 나래 -> 역전로 in 가람 -> 지방도317 -> 바람.
echo "main job: velko-route across the sample region"
"$build/tools/route/velko-route" --root "$sample" --net \
  --from 45735368,13536388 --via 45763755,13508214 --via 45781474,13509671 --to 45807691,13542865
echo "built:"
find "$build" -maxdepth 3 -type f \( -name 'velko*' -o -name 'lib*.a' -o -name 'lib*.so' \) -printf '  %P\n' | sort
