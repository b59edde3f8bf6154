// The sample's stored settings: "config.bin" of the storage card's user folder, the settings a
// first start on the sample's handheld (device type 14) would store, with the day and night map
// colour schemes named after the sample's scheme files ("Color_주간.bin", "Color_야간.bin"), so
// that the map turns to its night colours by itself.
#pragma once

#include "tools/mkdevice/DeviceBuilder.h"

namespace mkdev {

// The sample handheld's device type.
constexpr int kSampleDeviceType = 14;

void WriteSampleSettings(const DeviceLayout& layout);

} // namespace mkdev
