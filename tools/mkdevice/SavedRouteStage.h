// The saved routes of the sample device's user data: a car route from 가람시 onto 누리고속도로
// with a waypoint, planned and written by the route manager, a route file of the earlier format
// (first byte 0xAA) and a text file that only carries the route extension.
#pragma once

#include "tools/mkdevice/DeviceBuilder.h"

#include <string>

namespace mkdev {

struct SavedRouteSummary {
    int files = 0;
    int routeLength = 0; // metres of the planned route
};

// The sample's storage folder for user data (setting 64 chooses the card), relative to the device
// root: the navigator saves routes as "<name>R.vkp" in it and lists them from it.
inline constexpr const char* kSavedRouteFolder = "Storage Card/VelkoData";
// The last file the stage writes, and so the last of the whole device: a device without it is not
// complete.
inline constexpr const char* kLastSavedRoute = "Storage Card/VelkoData/메모R.vkp";

// Writes the three files into the storage folder; throws std::runtime_error when the route cannot
// be planned on the device's network.
SavedRouteSummary BuildSavedRouteStage(const DeviceLayout& layout);

} // namespace mkdev
