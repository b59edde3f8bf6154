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

// Writes the three files into "<card>/VelkoData/SaveRoute"; throws std::runtime_error when the
// route cannot be planned on the device's network.
SavedRouteSummary BuildSavedRouteStage(const DeviceLayout& layout);

} // namespace mkdev
