// Every catalogued screen on the sample skin's own images, drawn once, then every visible, enabled
// control that takes taps is tapped at its centre: the tap reaches the screen's listener under the
// control's name (a radio button under its group's). Controls a tap cannot reach are listed here
// with the reason.
#include "SkinTestSupport.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviItemList.h"
#include "skinui/controls/NaviRadioGroup.h"
#include "skinui/controls/NaviScrollList.h"
#include "skinui/controls/NaviTabCtrl.h"
#include "skinui/screens/NaviControlTree.h"
#include "skinui/screens/NaviScreenCatalogue.h"
#include "tools/mkdevice/SkinStage.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

class Recorder : public NaviListener {
public:
    void ProcessEvent(NaviCommand& cmd) override { seen.push_back(cmd); }
    bool Names(const CString& name) const {
        for (const NaviCommand& c : seen)
            if (c.target == name || c.control == name) return true;
        return false;
    }
    std::vector<NaviCommand> seen;
};

// The sample skin as the skin stage draws it, written as an archive under a throw-away root.
class SampleSkin {
public:
    SampleSkin() {
        std::vector<ArchiveEntry> entries;
        for (const auto& file : std::filesystem::directory_iterator(VELKO_SKIN_MANIFESTS)) {
            if (file.path().extension() != ".txt") continue;
            for (const mkdev::SkinImageSpec& spec : mkdev::ReadSkinManifest(file.path().string())) {
                const std::vector<std::uint8_t> png = mkdev::DrawSkinImage(spec);
                entries.push_back(ArchiveEntry{Utf16ToCp949(Utf8ToUtf16(spec.name)), Bytes(png.begin(), png.end())});
            }
        }
        const Bytes archive = ArchiveBytes(entries, static_cast<int>(entries.size()));
        root.MakeFile("res/ResData.bin", std::string(archive.begin(), archive.end()));
    }
    TempRoot root;
};

} // namespace

TEST(ScreensTap, EveryTapTargetReachesTheListener) {
    SampleSkin skin;
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\res");
    builder.SetDeviceType(3);
    builder.SetButtonCount(4);
    // Taps that cannot reach their control, by screen and control path, with what covers them:
    // none on the panels. (In a hosted dialog the input-panel button covers the bottom-right
    // corner of the screen, x 205 on from y 298, over the right end of the last settings tab.)
    const std::set<std::string> unreachable = {};
    std::set<std::string> found;
    int tapped = 0;
    for (const CString& name : CatalogueScreenNames()) {
        auto* screen = new NaviPanel();
        Recorder recorder;
        builder.BuildPanel(nullptr, screen, name);
        screen->SetListener(&recorder);
        screen->SetVisible(true);
        // Each page of the screen's item lists in turn, as their dialogs show them.
        std::vector<NaviItemList*> lists;
        int pages = 1;
        WalkControls(screen, [&](const CString&, NaviControl* c) {
            if (auto* list = dynamic_cast<NaviItemList*>(c)) {
                lists.push_back(list);
                pages = std::max(pages, list->GetCount());
            }
        });
        std::set<std::string> missed, reached;
        for (int page = 0; page < pages; ++page) {
            for (NaviItemList* list : lists) list->ShowPage(std::min(page, list->GetCount() - 1));
            Canvas canvas(240, 320);
            screen->Paint(&canvas.cdc);
            struct Target {
                CString path, expected;
                RECT rect;
            };
            std::vector<Target> targets;
            std::map<NaviControl*, NaviControl*> parentOf;
            WalkControlTree(screen, [&](const CString& path, NaviControl* c, NaviControl* parent) {
                parentOf[c] = parent;
                if (dynamic_cast<NaviPanel*>(c) || dynamic_cast<NaviItemList*>(c) ||
                    dynamic_cast<NaviRadioGroup*>(c) || dynamic_cast<NaviScrollList*>(c))
                    return;
                auto* group = dynamic_cast<NaviRadioGroup*>(parent);
                // Radio members take taps through their group; anything else needs its own feedback.
                if (!group && !c->HasPressFeedback()) return;
                // Every control on the way up is visible and enabled (a page not current is hidden).
                for (NaviControl* at = c; at; at = parentOf[at])
                    if (!at->IsVisible() || !at->IsEnabled()) return;
                targets.push_back({path, group ? group->Name() : c->Name(), c->GetRect()});
            });
            for (const Target& t : targets) {
                recorder.seen.clear();
                const int x = (t.rect.left + t.rect.right) / 2, y = (t.rect.top + t.rect.bottom) / 2;
                screen->DispatchPenDown(x, y);
                screen->DispatchPenUp(x, y);
                ++tapped;
                const std::string key = name.ToUtf8() + "|" + t.path.ToUtf8();
                if (recorder.Names(t.expected)) reached.insert(key);
                else missed.insert(key);
            }
        }
        for (const std::string& m : missed)
            if (!reached.count(m)) found.insert(m);
        screen->Release();
    }
    std::string extra, gone;
    for (const std::string& f : found)
        if (!unreachable.count(f)) extra += f + "\n";
    for (const std::string& u : unreachable)
        if (!found.count(u)) gone += u + "\n";
    EXPECT_TRUE(extra.empty()) << "taps that did not reach the listener:\n" << extra;
    EXPECT_TRUE(gone.empty()) << "listed as unreachable but reached:\n" << gone;
    EXPECT_GT(tapped, 400);
}

TEST(ScreensTap, TheMultiRouteResultFramesTakeNoTap) {
    SampleSkin skin;
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\res");
    auto* screen = new NaviPanel();
    Recorder recorder;
    builder.BuildPanel(nullptr, screen, u"다중경로탐색");
    screen->SetListener(&recorder);
    NaviControl* frame = FindControl(screen, u"탐색결과_고속우선");
    ASSERT_NE(frame, nullptr);
    // The frame takes its image's size, 190 x 44 at 13, 30 within the panel at (12, 126) in the
    // sample; no other control is there.
    ASSERT_NE(frame->GetImage(), nullptr);
    EXPECT_EQ(frame->GetImage()->GetWidth(), 190);
    screen->DispatchPenDown(12 + 13 + 95, 126 + 30 + 10);
    screen->DispatchPenUp(12 + 13 + 95, 126 + 30 + 10);
    EXPECT_TRUE(recorder.seen.empty());
    // The check box below it does.
    screen->DispatchPenDown(12 + 20, 126 + 82);
    screen->DispatchPenUp(12 + 20, 126 + 82);
    EXPECT_TRUE(recorder.Names(u"고속우선"));
    screen->Release();
}

TEST(ScreensTap, TheReSearchIntervalComboIsAsWideAsItsWidestItem) {
    SampleSkin skin;
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\res");
    auto* screen = new NaviPanel();
    builder.BuildPanel(nullptr, screen, u"환경설정-경로탐색");
    // The traffic tab shown, as the dialog shows it on a tab change.
    NaviCommand show;
    show.target = kTargetDialog;
    show.control = u"환경설정패널들";
    show.id = kCmdSelect;
    show.param1 = 1;
    screen->ProcessCommand(show);
    Canvas canvas(240, 320);
    screen->Paint(&canvas.cdc);
    NaviControl* combo = FindControl(screen, u"환경설정패널들/교통정보/재탐색표시간격");
    ASSERT_NE(combo, nullptr);
    int widest = 0;
    for (const char16_t* item : {u"안함", u"5분", u"10분", u"15분", u"30분", u"45분", u"60분"}) {
        SIZE size{};
        GetTextExtentPoint32W(canvas.dc, item, static_cast<int>(std::u16string(item).size()), &size);
        widest = std::max<int>(widest, size.cx);
    }
    // The sample's end pieces are 6 and 18 wide.
    const RECT r = combo->GetRect();
    EXPECT_EQ(r.right - r.left, widest + 6 + 18 + 6);
    EXPECT_EQ(r.bottom - r.top, 23);
    screen->Release();
}

TEST(ScreensTap, APopupOfOnePageShowsBothArrowMarksEvenWithoutAChoice) {
    SampleSkin skin;
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\res");
    auto* popup = new NaviPanel();
    builder.BuildPanel(nullptr, popup, u"안내레벨콤보");
    auto send = [&](int id, int p1, const char16_t* text) {
        NaviCommand cmd;
        cmd.target = kTargetDialog;
        cmd.control = u"안내레벨콤보그룹";
        cmd.id = id;
        cmd.param1 = p1;
        if (text) cmd.text = text;
        popup->ProcessCommand(cmd);
    };
    for (const char16_t* row : {u"변경없음", u"4레벨", u"5레벨", u"6레벨", u"7레벨", u"8레벨", u"9레벨"})
        send(kCmdAddRow, -1, row);
    // The combo has no value yet: it asks for row -1.
    send(kCmdSelect, -1, nullptr);
    NaviControl* up = FindControl(popup, u"DisableArrowUp");
    NaviControl* down = FindControl(popup, u"DisableArrowDown");
    ASSERT_TRUE(up && down);
    EXPECT_TRUE(up->IsEnabled());
    EXPECT_TRUE(down->IsEnabled());
    popup->Release();
}
