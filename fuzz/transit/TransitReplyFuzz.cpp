// The route servers' replies: the first byte picks the bus or the subway client, the rest is the
// reply as it comes off the socket; then every query the result dialogs make.
#include "fuzz/transit/MemorySocket.h"
#include "transit/BusConnect.h"
#include "transit/SubConnect.h"

namespace {

struct BusProbe : CBusConnect {
    using CBusConnect::RecvInfo;
};
struct SubProbe : CSubConnect {
    using CSubConnect::RecvInfo;
};

template <class Probe, class Record, class Get>
void Query(Probe& c, Get get) {
    for (int r = -1; r <= c.GetRouteNum(); ++r) {
        const int n = c.GetStopNum(r);
        c.GetTotalStop(r);
        for (int i = -1; i <= (n < 64 ? n : 64); ++i) {
            Record info{};
            (c.*get)(r, i, info);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 21)) return 0;
    MemorySocket socket(data + 1, size - 1);
    if (data[0] & 1) {
        SubProbe c;
        if (c.RecvInfo(socket) == 0) Query<SubProbe, SubLineInfo>(c, &CSubConnect::GetStationInfo);
    } else {
        BusProbe c;
        if (c.RecvInfo(socket) == 0) Query<BusProbe, BusStopInfo>(c, &CBusConnect::GetStopInfo);
    }
    return 0;
}
