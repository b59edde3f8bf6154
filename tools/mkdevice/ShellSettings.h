// The shell's part of the sample device: the handheld model (an hp iPAQ h2200 on CE 4.20), the
// traffic server and dial-up lines of device.ini and
// the registry with the Bluetooth serial-port entry.
#pragma once

#include "tools/mkdevice/DeviceBuilder.h"

namespace mkdev {

void WriteShellSettings(const DeviceLayout& layout);

} // namespace mkdev
