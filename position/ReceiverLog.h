// Decodes a recorded receiver log through the program's own decoder objects, one position record
// at a time: NMEA text, or the receiver unit's frames. The program's raw logs begin with the header
// "Start_Log" and its zero byte, which is skipped.
#pragma once

#include "position/GpsReceiver.h"

#include <functional>
#include <string_view>

void DecodeReceiverLog(std::string_view log, bool unitFrames, bool noDatumShift,
                       const std::function<void(const GpsPosRecord&)>& onFix);
