// The theme search screen on the sample device under the headless host: the input panel is put
// down when the screen opens, raised while the search text has the focus and put down again when
// the search starts.
#include "commondlg/NaviMessageBox.h"
#include "platform/files/DeviceRoot.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/Shell.h"
#include "search/ui/CDlgThemeSrch.h"
#include "skinui/NaviRcBuilder.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ThemeDialog, InputPanelFollowsTheSearchText) {
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

    std::size_t before = 0;
    HWND dialogWnd = nullptr;
    int stage = -1;
    // "테마관광" (119, 87), "다음 >>" (175, 290) to the places; the search text (140, 70), "검색"
    // (211, 72); "이전" (175, 18) closes.
    const std::string script = "wait 300\ntap 119 87\nwait 100\ntap 175 290\nwait 300\n"
                               "tap 140 70\nwait 100\ntext \"호수\"\ntap 211 72\nwait 200\n"
                               "tap 175 18\nwait 100\n";
    const HostedRun run = RunHosted(root, script, [&] {
        CDlgThemeSrch dlg(nullptr);
        if (!dlg.Init(u"\\Storage Card\\MapData\\SearchDB\\Theme")) return -2;
        dlg.SetPanelName(u"ThemeSearch");
        dlg.SetRcBuilder(&builder);
        before = ShellSipPreferenceCalls().size();
        const INT_PTR code = dlg.DoModal();
        stage = dlg.GetStage();
        return static_cast<int>(code);
    });
    box.Destruct();
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.code, IDCANCEL);
    EXPECT_EQ(stage, 2);
    const std::vector<SipPreferenceCall> all = ShellSipPreferenceCalls();
    ASSERT_GE(all.size(), before);
    std::vector<int> states;
    for (std::size_t i = before; i < all.size(); ++i) {
        if (!dialogWnd) dialogWnd = all[i].hwnd;
        EXPECT_EQ(all[i].hwnd, dialogWnd) << "call " << i - before;
        states.push_back(all[i].state);
    }
    // Down at the start, up on the focus, down for the search; whatever follows leaves it down.
    ASSERT_GE(states.size(), 3u);
    EXPECT_EQ(states[0], SIP_FORCEDOWN);
    EXPECT_EQ(states[1], SIP_UP);
    EXPECT_EQ(states[2], SIP_FORCEDOWN);
    EXPECT_EQ(states.back(), SIP_FORCEDOWN);
    for (std::size_t i = 2; i < states.size(); ++i) EXPECT_NE(states[i], SIP_UP) << "call " << i;
}

} // namespace
