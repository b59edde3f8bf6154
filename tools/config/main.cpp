// velko-config: prints the configuration store of a device root as the program loads it (its
// settings, the paths of the user-data items and the recent destinations), and changes settings.
//
//   velko-config [--root DIR] [--device TYPE] [--set N=V]...
//
// Prints settings=read|none|rejected (a rejected file also gives kept=PATH, where it was moved, or
// kept=none), data=, setting.N= (0-199), path.ITEM= and recent.N=NAME X Y KIND lines. With --set the
// settings are changed and the settings file of the current storage is saved (saved=1).
// Exit codes: 0 done, 1 the save failed or no data folder, 2 bad arguments.
#include "app/RecentDestList.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/MapDataFolder.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

bool ParseInt(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end && *end == 0 && value >= low && value <= high;
}

int Usage() {
    std::fprintf(stderr, "usage: velko-config [--root DIR] [--device TYPE] [--set N=V]...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string root;
    long long device = 0;
    std::vector<std::pair<int, std::int32_t>> changes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return Usage();
        const std::string value = argv[++i];
        if (arg == "--root") {
            root = value;
        } else if (arg == "--device") {
            if (!ParseInt(value, 0, 0xFFFF, device)) {
                std::fprintf(stderr, "velko-config: --device %s: a type from 0 to 65535 expected\n", value.c_str());
                return Usage();
            }
        } else if (arg == "--set") {
            const std::size_t eq = value.find('=');
            long long index = 0, setting = 0;
            if (eq == std::string::npos || !ParseInt(value.substr(0, eq), 0, CNaviConfig::kSettingCount - 1, index) ||
                !ParseInt(value.substr(eq + 1), INT32_MIN, INT32_MAX, setting)) {
                std::fprintf(stderr, "velko-config: --set %s: N=V expected (setting 0..%d, a 32-bit whole number)\n",
                             value.c_str(), CNaviConfig::kSettingCount - 1);
                return Usage();
            }
            changes.emplace_back(static_cast<int>(index), static_cast<std::int32_t>(setting));
        } else {
            return Usage();
        }
    }
    DeviceRoot::SetRoot(root.empty() ? DeviceRoot::DefaultRoot() : root);
    std::u16string folder;
    std::string error;
    if (!FindMapDataFolder(folder, error)) {
        std::fprintf(stderr, "velko-config: no map data folder (%s)\n", error.c_str());
        return 1;
    }
    // The store keeps its paths without the leading backslash.
    while (!folder.empty() && folder[0] == u'\\') folder.erase(0, 1);

    CNaviConfig* config = CNaviConfig::GetInstance();
    config->SetDeviceType(static_cast<int>(device));
    config->SetKeyLayout(0);
    config->Load(folder.c_str());
    switch (config->GetFileState()) {
    case CNaviConfig::FileState::Read: std::printf("settings=read\n"); break;
    case CNaviConfig::FileState::None: std::printf("settings=none\n"); break;
    case CNaviConfig::FileState::Rejected:
        std::printf("settings=rejected kept=%s\n",
                    config->GetRejectedCopy().IsEmpty() ? "none" : config->GetRejectedCopy().ToUtf8().c_str());
        break;
    }
    int status = 0;
    if (!changes.empty()) {
        for (auto [index, value] : changes) config->SetValue(index, value);
        const bool saved = config->SaveSettings(-1);
        std::printf("saved=%d\n", saved ? 1 : 0);
        if (!saved) status = 1;
    }
    std::printf("data=%s\n", Utf16ToUtf8(config->GetDataFolder()).c_str());
    for (int i = 0; i < CNaviConfig::kSettingCount; ++i) std::printf("setting.%d=%d\n", i, config->GetValue(i));
    static const char16_t* const items[] = {u"PDA", u"저장장치", u"현재저장위치", u"등록지점", u"안전운행지점",
                                            u"안전운행지점(지운것)", u"환경설정", u"관심종목", u"관심도로",
                                            u"저장경로폴더명", u"old등록지점", u"old등록지점2", u"old안전운행지점",
                                            u"old안전운행지점(지운것)", u"old환경설정", u"old저장경로",
                                            u"old관심종목", u"old관심도로"};
    for (const char16_t* item : items)
        std::printf("path.%s=%s\n", Utf16ToUtf8(item).c_str(), config->GetItemPath(item, -1).ToUtf8().c_str());
    CRecentDestList& recent = CRecentDestList::Instance();
    const CString recentPath = CRecentDestList::FilePath(static_cast<int>(device), *config);
    const bool loaded = recent.LoadFrom(recentPath);
    std::printf("recent=%s loaded=%d count=%d\n", recentPath.ToUtf8().c_str(), loaded ? 1 : 0, recent.GetCount());
    for (int i = 0; i < recent.GetCount(); ++i) {
        const CRecentDestRecord* r = recent.GetAt(i);
        std::printf("recent.%d=%s %d %d %d\n", i, Cp949ToUtf8(r->name).c_str(), r->x, r->y, r->kind);
    }
    CNaviConfig::DestroyInstance();
    return status;
}
