// Every catalogued screen on an archive holding exactly the sample skin's names: it asks only for
// images the sample has, apart from the reviewed absences, and builds the same control tree as
// without any archive.
#include "SkinTestSupport.h"

#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviResArchive.h"
#include "skinui/screens/NaviControlTree.h"
#include "skinui/screens/NaviScreenCatalogue.h"
#include "tools/mkdevice/SkinStage.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <typeinfo>

namespace {

// Path and class of every control, one a line.
std::string Tree(NaviPanel* panel) {
    std::string out;
    WalkControls(panel, [&](const CString& path, NaviControl* c) {
        out += path.ToUtf8() + " " + typeid(*c).name() + "\n";
    });
    return out;
}

// "screen|image" lines of the reviewed file, comments and blanks left out.
std::set<std::string> ReviewedAbsences() {
    std::set<std::string> out;
    std::ifstream in(VELKO_SCREEN_ABSENCES);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') out.insert(line);
    return out;
}

} // namespace

TEST(ScreensSkin, EveryScreenAsksOnlyForSampleImagesOrReviewedAbsences) {
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

    NaviRcBuilder skinned;
    skinned.OpenSkin(u"\\res");
    NaviRcBuilder bare;
    std::set<std::string> missing;
    std::string screen;
    skinned.GetArchive()->SetLookupObserver([&](const CString& name, bool found) {
        if (!found) missing.insert(screen + "|" + name.ToUtf8());
    });
    for (NaviRcBuilder* b : {&skinned, &bare}) {
        b->SetDeviceType(3);
        b->SetButtonCount(4);
    }
    for (const CString& name : CatalogueScreenNames()) {
        screen = name.ToUtf8();
        auto* withSkin = new NaviPanel();
        skinned.BuildPanel(nullptr, withSkin, name);
        auto* without = new NaviPanel();
        bare.BuildPanel(nullptr, without, name);
        EXPECT_EQ(Tree(withSkin), Tree(without)) << screen;
        Canvas canvas(240, 320);
        withSkin->Paint(&canvas.cdc);
        without->Paint(&canvas.cdc);
        withSkin->Release();
        without->Release();
    }
    const std::set<std::string> reviewed = ReviewedAbsences();
    std::string unexpected, stale;
    for (const std::string& m : missing)
        if (!reviewed.count(m)) unexpected += m + "\n";
    for (const std::string& r : reviewed)
        if (!missing.count(r)) stale += r + "\n";
    EXPECT_TRUE(unexpected.empty()) << "asked for and not in the sample:\n" << unexpected;
    EXPECT_TRUE(stale.empty()) << "listed as absent but no longer asked for:\n" << stale;
}
