// Saved transit route files, opened by both readers, then every query the result dialogs make.
#include "platform/files/DeviceRoot.h"
#include "transit/BusConnect.h"
#include "transit/SubConnect.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string Root() {
    static std::string root = [] {
        // A memory-backed folder where there is one: the file is rewritten for every input.
        char pattern[] = "/dev/shm/velko-fuzz-transit-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (!made) {
            std::snprintf(pattern, sizeof pattern, "%s", "/tmp/velko-fuzz-transit-XXXXXX");
            made = ::mkdtemp(pattern);
        }
        DeviceRoot::SetRoot(made ? made : "/tmp");
        transit::SetNoticeHandler([](const char16_t*) {});
        return std::string(made ? made : "/tmp");
    }();
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 21)) return 0;
    const std::string path = Root() + "/route.vkp";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    CBusConnect bus;
    if (bus.OpenRouteBus(u"\\route.vkp"))
        for (int r = 0; r < bus.GetRouteNum(); ++r)
            for (int i = 0; i < bus.GetStopNum(r) && i < 64; ++i) {
                BusStopInfo s{};
                bus.GetStopInfo(r, i, s);
            }
    CSubConnect sub;
    if (sub.OpenRouteSub(u"\\route.vkp"))
        for (int r = 0; r < sub.GetRouteNum(); ++r)
            for (int i = 0; i < sub.GetStopNum(r) && i < 64; ++i) {
                SubLineInfo s{};
                sub.GetStationInfo(r, i, s);
            }
    return 0;
}
