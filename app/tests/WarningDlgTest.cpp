// The start-up warning screen over a map window: it covers the screen, taps away from "확인"
// leave it up, and "확인" removes it at pen-up, after which paint and pen messages do nothing.
#include "app/WarningDlg.h"

#include "app/tests/DialogTestSupport.h"
#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/screens/NaviControlTree.h"

#include <gtest/gtest.h>

namespace {

class WarningDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterNativeControls();
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"WarningTestMap";
        RegisterClassW(&wc);
        ASSERT_TRUE(map.Attach(CreateWindowExW(0, u"WarningTestMap", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                                               nullptr, nullptr, nullptr, nullptr)));
        warning.SetPanelName(u"경고창");
        warning.SetRcBuilder(&builder);
        ASSERT_TRUE(warning.Create(&map));
        warning.ShowWindow(SW_SHOWNORMAL);
        warning.Refresh();
    }
    void TearDown() override {
        if (warning.GetSafeHwnd()) warning.DestroyWindow();
        map.DestroyWindow();
        WinResetForTests();
    }
    void Tap(int x, int y) {
        HWND hwnd = warning.GetSafeHwnd();
        ::SendMessageW(hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
        if (::IsWindow(hwnd)) ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    TempRoot root;
    NaviRcBuilder builder;
    CWnd map;
    CWarningDlg warning{&map};
};

TEST_F(WarningDlgTest, CoversTheScreenWithItsImageAndButton) {
    RECT rect{};
    warning.GetWindowRect(&rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 240);
    EXPECT_EQ(rect.bottom, 320);
    NaviControl* ok = FindControl(warning.GetPanel(), u"확인");
    ASSERT_NE(ok, nullptr);
    // Placed at (91, 230), 107 x 39: the skin's image may size it, but it stays centred there.
    const RECT button = ok->GetRect();
    EXPECT_EQ((button.left + button.right) / 2, 144);
    EXPECT_EQ((button.top + button.bottom) / 2, 249);
    EXPECT_NE(FindControl(warning.GetPanel(), u"Warn"), nullptr);
}

TEST_F(WarningDlgTest, TapsOutsideTheButtonLeaveTheScreenUp) {
    for (const POINT p : {POINT{10, 10}, POINT{20, 250}, POINT{230, 250}, POINT{144, 300}}) {
        Tap(p.x, p.y);
        EXPECT_TRUE(::IsWindow(warning.GetSafeHwnd())) << p.x << "," << p.y;
        EXPECT_FALSE(warning.IsConfirmed());
    }
}

TEST_F(WarningDlgTest, ConfirmRemovesTheWindowAtPenUp) {
    HWND hwnd = warning.GetSafeHwnd();
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(140, 250));
    EXPECT_TRUE(::IsWindow(hwnd));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(140, 250));
    EXPECT_TRUE(warning.IsConfirmed());
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_TRUE(::IsWindow(map.GetSafeHwnd()));
}

TEST_F(WarningDlgTest, AfterConfirmPaintAndPenAreIgnored) {
    NaviCommand cmd;
    cmd.target = u"확인";
    warning.ProcessEvent(cmd);
    ASSERT_TRUE(warning.IsConfirmed());
    HWND hwnd = warning.GetSafeHwnd();
    ::SendMessageW(hwnd, WM_PAINT, 0, 0);
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(140, 250));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(140, 250));
    // The pen no longer reaches the panel, so the window waits for its owner to destroy it.
    EXPECT_TRUE(::IsWindow(hwnd));
    warning.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hwnd));
}

} // namespace
