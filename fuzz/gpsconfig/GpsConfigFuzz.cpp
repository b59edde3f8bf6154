// Reads arbitrary bytes as the handheld-model table "PDAGPSConfig.bin" and walks every name and
// cell the reader accepted.
#include "app/GpsConfigTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CGpsConfigTable table;
    if (!table.Parse(data, size)) return 0;
    std::uint64_t sum = 0;
    for (int m = 0; m < table.ModelCount(); ++m) {
        sum += static_cast<std::uint64_t>(table.ModelName(m).GetLength());
        for (int r = 0; r < table.ReceiverCount(); ++r) sum += table.GetCell(r, m).gpsPort;
    }
    for (int r = 0; r < table.ReceiverCount(); ++r) sum += static_cast<std::uint64_t>(table.ReceiverName(r).GetLength());
    table.FindModel(CString(u"iPAQ2210"));
    static volatile std::uint64_t sink;
    sink = sum;
    return 0;
}
