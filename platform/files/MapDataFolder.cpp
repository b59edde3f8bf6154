#include "platform/files/MapDataFolder.h"

#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"

#include <vector>

bool FindMapDataFolder(std::u16string& folder, std::string& error) {
    std::vector<std::u16string> candidates;
    for (const std::string& card : DeviceRoot::CardFolders())
        candidates.push_back(u"\\" + Utf8ToUtf16(card) + u"\\MapData");
    candidates.push_back(u"\\MapData");
    std::string looked;
    for (const std::u16string& c : candidates) {
        const DWORD attributes = GetFileAttributesW(c.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            folder = c;
            return true;
        }
        looked += (looked.empty() ? "" : ", ") + DeviceRoot::Resolve(c);
    }
    error = "no MapData folder on the device " + DeviceRoot::Root() + " (looked in " + looked + ")";
    return false;
}
