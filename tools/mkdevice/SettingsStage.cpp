#include "tools/mkdevice/SettingsStage.h"

#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "tools/mkdevice/DrawingStage.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace mkdev {

void WriteSampleSettings(const DeviceLayout& layout) {
    std::filesystem::create_directories(layout.root + "/Storage Card/VelkoData");
    const std::string saved = DeviceRoot::Root();
    DeviceRoot::SetRoot(layout.root);
    bool ok = false;
    {
        // The store's own defaults for the device, as the program makes them on a first start.
        CNaviConfig config;
        config.SetDeviceType(kSampleDeviceType);
        config.Load(u"\\Storage Card\\MapData");
        const std::u16string day = Utf8ToUtf16(kDaySchemeName);
        const std::u16string night = Utf8ToUtf16(kNightSchemeName);
        config.SetMapColorName(u"기본지도색상", day.c_str());
        config.SetMapColorName(u"야간지도색상", night.c_str());
        ok = config.SaveSettings(1);
    }
    DeviceRoot::SetRoot(saved);
    if (!ok) throw std::runtime_error("settings: config.bin could not be written");
}

} // namespace mkdev
