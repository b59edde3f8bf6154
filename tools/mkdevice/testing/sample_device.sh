# sh sample_device.sh MKDEVICE OUT: the standard sample device in OUT for a scripted tool test. Under
# ctest (VELKO_TOOL_DEVICE names the device the tool tests share) a copy of that one, else built
# with MKDEVICE. The copy is the script's own: tools write into it.
set -e
mkdevice=$1
out=$2
shared=${VELKO_TOOL_DEVICE:-}
# The builder writes the saved routes last, 메모R.vkp the last of them (kLastSavedRoute in
# SavedRouteStage.h): a device without it is not complete.
if [ -n "$shared" ] && [ -f "$shared/Storage Card/VelkoData/메모R.vkp" ]; then
  mkdir -p "$out"
  cp -R "$shared/." "$out/"
else
  "$mkdevice" --out "$out"
fi
