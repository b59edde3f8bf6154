// The nearby search screen on the sample device under the headless host: while its results are
// shown, the search panel's commands do nothing; the marker list the view receives; the background
// is erased once when the results come up (the full-screen panel left below), never again.
#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "search/ui/CDlgAroundSrch.h"
#include "skinui/NaviRcBuilder.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/testing/SampleDeviceCopy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the view's calls; on the first highlight (the results are on screen) it hands the
// dialog the search panel's commands.
class ProbingMediator : public NaviMediator {
public:
    ~ProbingMediator() override {
        for (AroundFacilityItem* item : items) delete item;
    }
    void AddItem(AroundFacilityItem* item) override { items.push_back(item); }
    void SetItem(int i, const AroundFacilityItem& item) override {
        highlights.push_back(i);
        EXPECT_EQ(item.value, AroundFacilityItem::kHighlighted);
        if (probed || !dialog) return;
        probed = true;
        // The results take the lower part of the screen, the map stays visible above.
        RECT r{};
        dialog->GetWindowRect(&r);
        windowRect = r;
        for (const char16_t* name : {u"현위치", u"이전", u"검색", u"적용", u"없음", u"주변시설물검색_카테고리_그룹"}) {
            NaviCommand cmd;
            cmd.target = name;
            cmd.param1 = 0;
            dialog->ProcessEvent(cmd);
            shownAfterProbe = shownAfterProbe && dialog->IsShown();
        }
    }
    void SetState(int state) override { states.push_back(state); }
    void ForwardKey(int) override {}

    CDlgAroundSrch* dialog = nullptr;
    bool probed = false;
    bool shownAfterProbe = true;
    RECT windowRect{};
    std::vector<AroundFacilityItem*> items;
    std::vector<int> highlights;
    std::vector<int> states;
};

int Callback(unsigned long, unsigned long, int, int) {
    return 0;
}

TEST(NearbyDialog, SearchPanelCommandsDoNothingWhileResultsShow) {
    TempRoot root;
    mkdev::MakeSampleDevice(root.Path());
    DeviceRoot::SetRoot(root.Path());
    GdiUseBuiltinFont(true);
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\Program Files\\Velko\\res");
    NaviMessageBox box;
    box.Initialize(&builder);

    ProbingMediator mediator;
    _AROUND_RESULT out;
    bool currentPos = true;
    // The gas stations around 가람시청, restored from a record: the results show at once.
    const HostedRun run = RunHosted(root, "wait 300\ntap 197 252\nwait 100\n", [&] {
        CDlgAroundSrch dlg(nullptr);
        mediator.dialog = &dlg;
        dlg.SetPanelName(u"AroundSearch");
        dlg.SetRcBuilder(&builder);
        dlg.SetCurrentPos(45763393, 13506433);
        dlg.SetStoragePath(u"\\Storage Card\\MapData");
        dlg.SetNaviMediator(&mediator);
        dlg.SetMapCallback(Callback);
        _AROUND_RESULT prev;
        prev.kind = 1;
        prev.category = 3;
        prev.row = 0;
        prev.pointType = 2;
        dlg.SetPrevResult(prev);
        const int code = static_cast<int>(dlg.DoModal());
        dlg.GetTolvik(out);
        currentPos = dlg.IsCurrentPos();
        mediator.dialog = nullptr;
        return code;
    });
    box.Destruct();
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_TRUE(mediator.probed);
    EXPECT_TRUE(mediator.shownAfterProbe);
    EXPECT_EQ(mediator.windowRect.left, 2);
    EXPECT_EQ(mediator.windowRect.top, 166);
    EXPECT_EQ(mediator.windowRect.right - mediator.windowRect.left, 236);
    EXPECT_EQ(mediator.windowRect.bottom - mediator.windowRect.top, 152);
    EXPECT_EQ(run.code, IDOK);
    EXPECT_FALSE(currentPos);
    EXPECT_TRUE(run.msgboxLog.empty()) << run.msgboxLog;
    // Ten facilities and the selected one again; no second search started by the probe.
    ASSERT_EQ(mediator.items.size(), 11u);
    EXPECT_EQ(mediator.items[10]->x, mediator.items[0]->x);
    EXPECT_EQ(mediator.states, (std::vector<int>{1, 2}));
    for (int i : mediator.highlights) EXPECT_EQ(i, 10);
    EXPECT_EQ(out.kind, 1);
    EXPECT_EQ(out.category, 3);
    EXPECT_EQ(out.row, 0);
    EXPECT_EQ(out.x, mediator.items[0]->x);
    EXPECT_EQ(out.mapLevel, 8);
}

// Each time the results come up the dialog shrinks to the lower part of the screen and erases its
// background once; going back to the full-screen search panel moves the window again, and that
// erase is suppressed (the skin repaints every pixel).
TEST(NearbyDialog, BackgroundErasedOnlyWhenResultsComeUp) {
    TempRoot root;
    mkdev::DeviceOptions o;
    o.outDir = root.Path();
    o.quiet = true;
    mkdev::BuildDevice(o);
    DeviceRoot::SetRoot(root.Path());
    GdiUseBuiltinFont(true);
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\Program Files\\Velko\\res");
    NaviMessageBox box;
    box.Initialize(&builder);

    ProbingMediator mediator; // no dialog: records only
    int erased = -1;
    // Restored gas stations; "주변_이전" (197, 292); "검색" (119, 265) with the category kept;
    // "위치보기" (197, 252).
    const HostedRun run = RunHosted(root, "wait 300\ntap 197 292\nwait 300\ntap 119 265\nwait 300\ntap 197 252\nwait 100\n", [&] {
        CDlgAroundSrch dlg(nullptr);
        dlg.SetPanelName(u"AroundSearch");
        dlg.SetRcBuilder(&builder);
        dlg.SetCurrentPos(45763393, 13506433);
        dlg.SetStoragePath(u"\\Storage Card\\MapData");
        dlg.SetNaviMediator(&mediator);
        dlg.SetMapCallback(Callback);
        _AROUND_RESULT prev;
        prev.kind = 1;
        prev.category = 3;
        prev.row = 0;
        prev.pointType = 2;
        dlg.SetPrevResult(prev);
        const int code = static_cast<int>(dlg.DoModal());
        erased = dlg.GetErasedCount();
        return code;
    });
    box.Destruct();
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.code, IDOK);
    // Two searches shown (the restored one and the second "검색"): two marker lists.
    EXPECT_EQ(mediator.states, (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(erased, 2);
}

} // namespace
