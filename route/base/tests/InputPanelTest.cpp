// The input-panel helpers on the shell's stand-in windows: the panel is 80 high, the button bar
// 24 (rows 295 to 318).
#include "route/base/InputPanel.h"

#include "platform/base/Clock.h"
#include "platform/window/Shell.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

namespace {

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT RectOf(const char16_t* className) {
    RECT r{};
    GetWindowRect(FindWindowW(className, nullptr), &r);
    return r;
}

class InputPanelTest : public ::testing::Test {
protected:
    void SetUp() override { InstallClock(&m_clock); }
    void TearDown() override {
        WinResetForTests();
        InstallClock(nullptr);
    }
    SimulatedClock m_clock;
};

TEST_F(InputPanelTest, PanelGoesAboveTheButtonBarOrToTheBottomEdge) {
    ASSERT_TRUE(ShellCreateStandIns());
    RECT def{};
    MoveSipAboveMenuBar();
    ASSERT_TRUE(ShellSipDefaultRect(&def));
    EXPECT_TRUE(Same(def, RECT{0, 216, 240, 296}));
    EXPECT_TRUE(Same(RectOf(u"SipWndClass"), RECT{0, 216, 240, 296}));

    MoveSipToScreenBottom();
    ASSERT_TRUE(ShellSipDefaultRect(&def));
    EXPECT_TRUE(Same(def, RECT{0, 240, 240, 320}));
    EXPECT_TRUE(Same(RectOf(u"SipWndClass"), RECT{0, 240, 240, 320}));

    // Without the button bar, "above the bar" is the bottom edge.
    DestroyWindow(FindWindowW(u"MS_SIPBUTTON", nullptr));
    MoveSipAboveMenuBar();
    ASSERT_TRUE(ShellSipDefaultRect(&def));
    EXPECT_TRUE(Same(def, RECT{0, 240, 240, 320}));
}

TEST_F(InputPanelTest, WithoutWindowsTheDefaultRectangleIsEmptyAtTheBottomAndNothingElseHappens) {
    MoveSipToScreenBottom();
    RECT def{};
    ASSERT_TRUE(ShellSipDefaultRect(&def));
    EXPECT_TRUE(Same(def, RECT{0, 320, 240, 320}));
    HideTaskbar();
    ShowSipButton();
    EXPECT_EQ(FindWindowW(u"HHTaskbar", nullptr), nullptr);
}

TEST_F(InputPanelTest, TaskbarAndButtonBarHideAndShow) {
    ASSERT_TRUE(ShellCreateStandIns());
    HideTaskbar();
    HideSipButton();
    EXPECT_FALSE(IsWindowVisible(FindWindowW(u"HHTaskbar", nullptr)));
    EXPECT_FALSE(IsWindowVisible(FindWindowW(u"MS_SIPBUTTON", nullptr)));
    ShowTaskbar();
    ShowSipButton();
    EXPECT_TRUE(IsWindowVisible(FindWindowW(u"HHTaskbar", nullptr)));
    EXPECT_TRUE(IsWindowVisible(FindWindowW(u"MS_SIPBUTTON", nullptr)));
}

} // namespace
