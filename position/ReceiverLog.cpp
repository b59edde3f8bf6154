#include "position/ReceiverLog.h"

#include "position/NmeaParser.h"
#include "position/NmeaReceiver.h"
#include "position/ZarnReceiver.h"

void DecodeReceiverLog(std::string_view log, bool unitFrames, bool noDatumShift,
                       const std::function<void(const GpsPosRecord&)>& onFix) {
    constexpr std::string_view kHeader = "Start_Log";
    std::size_t at = 0;
    if (log.substr(0, kHeader.size()) == kHeader)
        at = log.size() > kHeader.size() && log[kHeader.size()] == 0 ? kHeader.size() + 1 : kHeader.size();

    CNmeaParser parser;
    CNmeaReceiver nmea(&parser);
    CZarnReceiver zarn;
    CGpsReceiver& receiver = unitFrames ? static_cast<CGpsReceiver&>(zarn) : nmea;
    receiver.SetNoDatumShift(noDatumShift ? 1 : 0);
    // One record is pending at a time, so the log goes in small steps: a line of NMEA, or a byte
    // of frames (a frame completes when the byte 200 after its start arrives).
    while (at < log.size()) {
        std::size_t n = 1;
        if (!unitFrames) {
            std::size_t lf = log.find('\n', at);
            n = (lf == std::string_view::npos ? log.size() : lf + 1) - at;
        }
        if (receiver.PutData(log.data() + at, static_cast<int>(n)) & kGpsNewPosition) {
            GpsPosRecord fix;
            if (receiver.GetPosition(&fix)) onFix(fix);
        }
        at += n;
    }
}
