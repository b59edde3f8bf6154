// Feeds arbitrary bytes to the receiver unit's frame decoder in input-sized pieces, taking
// records, satellite views and traffic bytes as the reader thread does.
#include "position/ZarnReceiver.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    CZarnReceiver unit;
    unit.SetNoDatumShift(data[0] & 1);
    unit.SetGpsDecoding((data[0] & 2) ? 0 : 1);
    std::size_t at = 1;
    std::size_t piece = 1 + (data[0] >> 2) * 31;
    std::uint8_t traffic[CZarnReceiver::kBufferSize];
    while (at < size) {
        std::size_t n = size - at < piece ? size - at : piece;
        int flags = unit.PutData(reinterpret_cast<const char*>(data + at), static_cast<int>(n));
        if (flags & kGpsNewPosition) {
            GpsPosRecord r;
            unit.GetPosition(&r);
        }
        GpsSatRecord s;
        unit.GetSatellites(&s);
        int count = 0;
        unit.GetTrafficBytes(traffic, &count);
        if (count < 0 || count > CZarnReceiver::kBufferSize) __builtin_trap();
        at += n;
        piece = piece * 7 % 4000 + 1;
    }
    return 0;
}
