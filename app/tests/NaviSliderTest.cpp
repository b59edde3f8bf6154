// The image slider: positions from pen points on a 131-pixel bar with a 21-pixel thumb, where
// the thumb is drawn, the messages the parent gets for each pen action, and the guards for an
// empty range and margins that leave no room.
#include "app/NaviSlider.h"

#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"
#include "skinui/NaviBitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kSliderId = 1684;

// Records what the slider tells it, in order.
class Parent : public CWnd {
public:
    std::vector<std::string> log;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kMsgSliderPosChanged)
            log.push_back("1124 " + std::to_string(wParam));
        else if (message == kMsgSliderPen)
            log.push_back("1125 " + std::to_string(lParam));
        else if (message == WM_HSCROLL)
            log.push_back("scroll " + std::to_string(LOWORD(wParam)) + " " + std::to_string(HIWORD(wParam)));
        else if (message == WM_KEYUP)
            log.push_back("keyup " + std::to_string(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class NaviSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterNativeControls();
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), u"player", WS_POPUP | WS_VISIBLE, 0, 0, 50, 161,
                                    nullptr, nullptr));
        ASSERT_NE(CreateWindowExW(0, TRACKBAR_CLASS, u"", WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_NOTICKS, 25, 14,
                                  10, 10, parent, reinterpret_cast<HMENU>(kSliderId), nullptr, nullptr),
                  nullptr);
        ASSERT_TRUE(slider.SubclassDlgItem(kSliderId, &parent));
        slider.SetImages(new NaviBitmap(24, 131, 24), new NaviBitmap(24, 21, 24));
        slider.LoadSizes();
        slider.FitToBar();
        slider.SetRange(0, 11000);
        slider.SetTouchHandler([this] { ++touches; });
        Drain();
    }
    void TearDown() override {
        slider.DestroyWindow();
        parent.DestroyWindow();
        WinResetForTests();
    }
    void Drain() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    // A pen message at a point of the slider, then the posted messages delivered.
    std::vector<std::string> Pen(UINT message, int x, int y) {
        parent.log.clear();
        SendMessageW(slider.GetSafeHwnd(), message, 0, MAKELPARAM(x, y));
        Drain();
        return parent.log;
    }
    Parent parent;
    CNaviSlider slider;
    int touches = 0;
};

using Log = std::vector<std::string>;

TEST_F(NaviSliderTest, PenPointsMapAlongTheBarFromTheBottom) {
    RECT r;
    GetWindowRect(slider.GetSafeHwnd(), &r);
    EXPECT_EQ(r.right - r.left, 24);
    EXPECT_EQ(r.bottom - r.top, 131);
    struct Case {
        int y, pos, thumbTop;
    };
    // (131 - 10.5 - y) * 11000 / 110, truncated; the thumb's top at 110 - 110 * pos / 11000.
    const Case cases[] = {
        {60, 6050, 49},   // 60.5 * 100 = 6050; 110 - 60.5 = 49.5
        {120, 50, 109},   // 0.5 * 100
        {130, 0, 110},    // below the start
        {200, 0, 110},    // beyond the bottom end
        {10, 11000, 0},   // 110.5 * 100 is past the top
        {-40, 11000, 0},  // beyond the top end
        {65, 5550, 54},   // 55.5 * 100; 110 - 55.5
    };
    for (const Case& c : cases) {
        Pen(WM_LBUTTONDOWN, 5, c.y);
        Pen(WM_LBUTTONUP, 5, c.y);
        EXPECT_EQ(slider.GetPos(), c.pos) << c.y;
        EXPECT_EQ(slider.ThumbTop(), c.thumbTop) << c.y;
    }
}

TEST_F(NaviSliderTest, EachPenActionTellsTheParent) {
    slider.NotifyPos(6050);
    Drain();
    // Pen-down on the current position: no position message, no scroll, but the pen activity.
    EXPECT_EQ(Pen(WM_LBUTTONDOWN, 5, 60), (Log{"1125 1684"}));
    EXPECT_EQ(touches, 1);
    EXPECT_TRUE(slider.IsDragging());
    EXPECT_EQ(GetCapture(), slider.GetSafeHwnd());
    // Moving away and back: each change posts 1124 and code 5.
    EXPECT_EQ(Pen(WM_MOUSEMOVE, 5, 120), (Log{"1125 1684", "1124 1684", "scroll 5 50"}));
    EXPECT_EQ(Pen(WM_MOUSEMOVE, 5, 60), (Log{"1125 1684", "1124 1684", "scroll 5 6050"}));
    // NotifyPos while dragging changes nothing.
    parent.log.clear();
    slider.NotifyPos(100);
    Drain();
    EXPECT_EQ(slider.GetPos(), 6050);
    EXPECT_TRUE(parent.log.empty());
    // The drag ends where it began: code 4 once.
    EXPECT_EQ(Pen(WM_LBUTTONUP, 5, 60), (Log{"1125 1684", "scroll 4 6050"}));
    EXPECT_FALSE(slider.IsDragging());
    EXPECT_EQ(GetCapture(), nullptr);
    // A tap that does not move: no scroll at all on the way up.
    Pen(WM_LBUTTONDOWN, 5, 60);
    EXPECT_EQ(Pen(WM_LBUTTONUP, 5, 60), (Log{"1125 1684"}));
    // A tap elsewhere: the change on the way down, code 4 on the way up.
    EXPECT_EQ(Pen(WM_LBUTTONDOWN, 5, 120), (Log{"1125 1684", "1124 1684", "scroll 5 50"}));
    EXPECT_EQ(Pen(WM_LBUTTONUP, 5, 120), (Log{"1125 1684", "scroll 4 50"}));
    // Pen moves without a drag still report the activity.
    EXPECT_EQ(Pen(WM_MOUSEMOVE, 5, 30), (Log{"1125 1684"}));
    EXPECT_EQ(slider.GetPos(), 50);
    // NotifyPos outside a drag sets and tells.
    parent.log.clear();
    slider.NotifyPos(300);
    Drain();
    EXPECT_EQ(slider.GetPos(), 300);
    EXPECT_EQ(parent.log, (Log{"1124 1684"}));
    // A key released on the slider reaches the parent.
    EXPECT_EQ(Pen(WM_KEYUP, 0, 0), (Log{"keyup 0"}));
}

TEST_F(NaviSliderTest, EmptyRangesAndCrowdedMarginsAreGuarded) {
    slider.SetRange(500, 500);
    for (int y : {0, 60, 131}) {
        Pen(WM_LBUTTONDOWN, 5, y);
        Pen(WM_LBUTTONUP, 5, y);
        EXPECT_EQ(slider.GetPos(), 500) << y;
        EXPECT_EQ(slider.ThumbTop(), 110) << y; // at the start
    }
    slider.SetRange(0, 11000);
    // 131 - 21 leaves 110 pixels: margins that use them all are refused and change nothing.
    EXPECT_EQ(slider.SetMargins(60, 50), 0);
    EXPECT_EQ(slider.SetMargins(-1, 0), 0);
    EXPECT_EQ(slider.SetMargins(10, 0), 1);
    // (131 - 10.5 - 10 - y) * 11000 / 100 at y 60: 50.5 * 110
    Pen(WM_LBUTTONDOWN, 5, 60);
    Pen(WM_LBUTTONUP, 5, 60);
    EXPECT_EQ(slider.GetPos(), 5555);
    EXPECT_EQ(slider.SetMargins(100, 9), 1);
    EXPECT_EQ(slider.SetMargins(0, 0), 1);
    // Images that leave no travel at all: every point is the minimum, nothing divides by zero.
    CNaviSlider bare;
    ASSERT_NE(CreateWindowExW(0, TRACKBAR_CLASS, u"", WS_CHILD | TBS_VERT, 0, 0, 10, 10, parent,
                              reinterpret_cast<HMENU>(77), nullptr, nullptr),
              nullptr);
    ASSERT_TRUE(bare.SubclassDlgItem(77, &parent));
    bare.SetImages(new NaviBitmap(24, 21, 24), new NaviBitmap(24, 21, 24));
    bare.LoadSizes();
    bare.SetRange(0, 100);
    EXPECT_EQ(bare.PosFromPoint(5, 3), 0);
    EXPECT_EQ(bare.ThumbTop(), 0);
    EXPECT_EQ(bare.SetMargins(0, 0), 0);
    bare.DestroyWindow();
}

} // namespace
