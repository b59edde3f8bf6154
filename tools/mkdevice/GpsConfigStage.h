// The handheld-model table "PDAGPSConfig.bin" of the program folder: the sixteen model names, a few
// receivers and their wiring. The sample's own model (iPAQ2210) has no entry, so a first start on
// the sample asks nothing; other models (chosen through device.ini's oem=) cover the cases of the
// set-up: several entries, exactly one, none, GPS and unit on one port, and a speed the
// configuration has no code for.
#pragma once

#include "tools/mkdevice/DeviceBuilder.h"

#include <cstdint>
#include <vector>

namespace mkdev {

std::vector<std::uint8_t> GpsConfigTableBytes();
void WriteGpsConfigTable(const DeviceLayout& layout);

} // namespace mkdev
