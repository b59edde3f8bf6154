// Reads arbitrary bytes as the shell's stored files: the settings file, the three record lists
// (the safe points in both forms), a registered-point folder file and a saved traffic file.
#include "app/PosList.h"
#include "app/PositionStore.h"
#include "app/RecentDestList.h"
#include "app/SafePointList.h"
#include "config/NaviConfig.h"
#include "fuzz/store/FuzzRoot.h"
#include "net/TrafficConnect.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CNaviConfig config;
    config.UnpackSettings(data, size);
    char16_t name[CNaviConfig::kNameChars];
    config.GetMapColorName(u"기본지도색상", name);

    WriteFuzzFile("list.bin", data, size);
    CRecentDestList recent;
    recent.LoadFrom(u"list.bin");
    CPosList positions;
    positions.LoadFrom(u"list.bin");
    CSafePointList points;
    points.LoadFrom(u"list.bin");
    points.SetMode(1);
    points.LoadFrom(u"list.bin");
    // The registered-point store's folder file, read (and, when it loads, written again).
    WriteFuzzFile("pts/Position", data, size);
    CPositionStore store;
    store.SetBaseFolder(u"\\pts");
    if (store.Reload() && store.GetCount() > 0) store.RemoveAt(u"기본", store.GetCount() - 1);
    CTrafficConnect traffic;
    if (traffic.Open(u"list.bin")) traffic.GetItem(traffic.GetItemCount() - 1);
    return 0;
}
