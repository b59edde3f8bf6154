// The main screen on an archive holding exactly the sample skin's names: every image the
// controller and its controls ask for is there.
#include "SkinTestSupport.h"

#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviResArchive.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviMenus.h"
#include "skinui/main/NaviRouteBars.h"
#include "tools/mkdevice/SkinStage.h"

#include <filesystem>
#include <set>
#include <string>

TEST(MainScreenSkin, AsksOnlyForImagesTheSampleHas) {
    // One small image under every name of the sample's manifests.
    std::vector<ArchiveEntry> entries;
    const Bytes tiny = SolidPng(2, 2, RGB(1, 2, 3));
    for (const auto& file : std::filesystem::directory_iterator(VELKO_SKIN_MANIFESTS)) {
        if (file.path().extension() != ".txt") continue;
        for (const mkdev::SkinImageSpec& spec : mkdev::ReadSkinManifest(file.path().string()))
            entries.push_back(ArchiveEntry{Utf16ToCp949(Utf8ToUtf16(spec.name)), tiny});
    }
    const Bytes archive = ArchiveBytes(entries, static_cast<int>(entries.size()));
    TempRoot root;
    root.MakeFile("res/ResData.bin", std::string(archive.begin(), archive.end()));

    std::set<std::string> missing;
    NaviMainScreen screen;
    screen.CreateRcBuilder(kCmdMenuMine);
    screen.OpenSkin(u"\\res");
    screen.GetRcBuilder()->GetArchive()->SetLookupObserver([&](const CString& name, bool found) {
        const std::string utf8 = Utf16ToUtf8(name.GetString());
        // The map's symbols are numbered by its data; the sample carries the numbers it uses.
        if (!found && utf8.rfind("DisSymbol\\", 0) != 0) missing.insert(utf8);
    });
    screen.CreateControls();
    // Every my-menu entry in every slot, and the waypoint bar's and route panel's states.
    for (int entry = 0; entry < kMyMenuEntryCount; ++entry) {
        NaviCommand slot;
        slot.target = kTargetMain;
        slot.id = kCmdMyMenuSlot;
        slot.param1 = entry % NaviMyMenuCtrl::kSlotCount;
        slot.param2 = entry;
        screen.ProcessCommand(slot);
    }
    std::string list;
    for (const std::string& name : missing) list += name + " ";
    EXPECT_TRUE(missing.empty()) << list;
}
