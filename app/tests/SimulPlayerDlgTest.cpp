// The simulation player over a path whose items lie 1000, 800, 500, 300 and 100 m from the
// destination (a 1000 m route): where a dragged slider lands, the jump steps by route length,
// the speed buttons, the slider's progress with the car, and the strip's cut corners.
#include "app/SimulPlayerDlg.h"

#include "app/tests/DialogTestSupport.h"
#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"
#include "route/RoutePath.h"
#include "search/NaviMediator.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/screens/NaviControlTree.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CRoutePath PathOf(int length, const std::vector<std::uint32_t>& remaining) {
    CRoutePath path;
    for (std::size_t i = 0; i < remaining.size(); ++i) {
        CPathLinkItem item;
        item.linkId = static_cast<std::uint16_t>(i + 1);
        item.remaining = remaining[i];
        path.Items().Add(item);
    }
    path.SetHeader(CRoutePath::kLength, length);
    path.SyncCounts();
    path.SetLoaded(1);
    return path;
}

class Keys : public NaviMediator {
public:
    std::vector<int> keys;
    void AddItem(AroundFacilityItem* item) override { delete item; }
    void SetItem(int, const AroundFacilityItem&) override {}
    void SetState(int) override {}
    void ForwardKey(int key) override { keys.push_back(key); }
};

class SimulPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterNativeControls();
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"PlayerTestMap";
        RegisterClassW(&wc);
        ASSERT_TRUE(map.Attach(CreateWindowExW(0, u"PlayerTestMap", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                                               nullptr, nullptr, nullptr, nullptr)));
        player.SetPanelName(u"모의주행");
        player.SetRcBuilder(&builder);
        ASSERT_TRUE(player.Create(&map));
        player.ShowWindow(SW_SHOW);
        player.SetEventTarget(&keys);
        player.SetRoutePath(&path);
    }
    void TearDown() override {
        player.DestroyWindow();
        map.DestroyWindow();
        WinResetForTests();
    }
    void Press(const char16_t* name) {
        NaviCommand cmd;
        cmd.target = name;
        player.ProcessEvent(cmd);
    }
    NaviControl* Control(const char16_t* name) { return FindControl(player.GetPanel(), name); }
    TempRoot root;
    NaviRcBuilder builder;
    CWnd map;
    CRoutePath path = PathOf(1000, {1000, 800, 500, 300, 100});
    Keys keys;
    CSimulPlayerDlg player{&map};
};

TEST_F(SimulPlayerTest, ADraggedSliderLandsOnTheLinkItsPositionLiesOn) {
    struct Case {
        int slider, item, jump;
    };
    // The distance still to go (1000 - slider) falls inside an item's link; the jump is how far
    // into that link: the item's distance minus it, or the slider itself on the first item.
    const Case cases[] = {{350, 1, 150}, {500, 2, 1}, {950, 4, 50}, {100, 0, 100}, {880, 3, 180}, {1000, 4, 100}};
    for (const Case& c : cases) {
        player.Slider().NotifyPos(0);
        player.Pause();
        EXPECT_TRUE(player.IsHolding());
        EXPECT_TRUE(player.IsCheckJump());
        player.Slider().NotifyPos(c.slider);
        Press(u"플레이"); // resume
        EXPECT_FALSE(player.IsHolding());
        EXPECT_TRUE(player.IsCheckJump()) << c.slider;
        EXPECT_EQ(player.FindJumpPoint(), c.item) << c.slider;
        EXPECT_FALSE(player.IsCheckJump());
        EXPECT_EQ(player.TakeJumpDistance(), c.jump) << c.slider;
        EXPECT_EQ(player.TakeJumpDistance(), 1) << c.slider; // taken once
    }
}

TEST_F(SimulPlayerTest, ResumingUnmovedGoesOnWhereItPaused) {
    player.Slider().NotifyPos(420);
    Press(u"정지");
    EXPECT_TRUE(player.IsHolding());
    EXPECT_TRUE(Control(u"플레이")->IsVisible());
    EXPECT_FALSE(Control(u"정지")->IsVisible());
    Press(u"플레이");
    EXPECT_TRUE(Control(u"정지")->IsVisible());
    EXPECT_EQ(player.FindJumpPoint(), -1);
    EXPECT_EQ(player.TakeJumpDistance(), 1);
    // The loop stops asking, so a later step never jumps the car to the slider's own advance.
    EXPECT_FALSE(player.IsCheckJump());
    player.AdvanceSlider(2, 420, 1);
    EXPECT_EQ(player.GetSliderPos(), 500);
    EXPECT_FALSE(player.IsCheckJump());
    EXPECT_EQ(player.TakeJumpDistance(), 1);
}

TEST_F(SimulPlayerTest, APathWithoutItemsHasNoJumpPoint) {
    const CRoutePath empty = PathOf(1000, {});
    player.SetRoutePath(&empty);
    player.Pause();
    player.Slider().NotifyPos(300);
    EXPECT_EQ(player.FindJumpPoint(), -1);
    EXPECT_FALSE(player.IsCheckJump());
    EXPECT_EQ(player.TakeJumpDistance(), 1);
}

TEST_F(SimulPlayerTest, JumpButtonsMoveByAStepThatGrowsWithTheRoute) {
    struct Case {
        int length, step;
    };
    for (const Case& c : {Case{50000, 1000}, Case{50001, 3000}, Case{100000, 3000}, Case{100001, 5000},
                          Case{200000, 5000}, Case{200001, 10000}}) {
        const CRoutePath p = PathOf(c.length, {static_cast<std::uint32_t>(c.length)});
        player.SetRoutePath(&p);
        EXPECT_EQ(player.GetJumpStep(), c.step) << c.length;
        EXPECT_EQ(player.GetSliderPos(), 0);
        EXPECT_EQ(player.Slider().GetRangeMax(), c.length);
    }
    const CRoutePath p = PathOf(50000, {50000});
    player.SetRoutePath(&p);
    player.Slider().NotifyPos(48000);
    Press(u"목적지");
    EXPECT_TRUE(player.IsHolding());
    EXPECT_EQ(player.GetSliderPos(), 49000);
    Press(u"목적지"); // 50000 would be the end: stays
    EXPECT_EQ(player.GetSliderPos(), 49000);
    player.Slider().NotifyPos(1500);
    Press(u"출발지");
    EXPECT_EQ(player.GetSliderPos(), 500);
    Press(u"출발지"); // -500: stays
    EXPECT_EQ(player.GetSliderPos(), 500);
    player.Slider().NotifyPos(1000);
    Press(u"출발지"); // 0 is not above the start: stays
    EXPECT_EQ(player.GetSliderPos(), 1000);
}

TEST_F(SimulPlayerTest, SpeedButtonsStayWithinTheThreeSpeeds) {
    player.SetSpeed(0);
    EXPECT_EQ(player.GetSpeedStep(), 80);
    EXPECT_FALSE(Control(u"속도다운")->IsEnabled());
    EXPECT_TRUE(Control(u"속도업")->IsEnabled());
    EXPECT_TRUE(Control(u"100")->IsVisible());
    Press(u"속도다운");
    EXPECT_EQ(player.GetSpeedIndex(), 0);
    Press(u"속도업");
    EXPECT_EQ(player.GetSpeedStep(), 180);
    EXPECT_TRUE(Control(u"200")->IsVisible());
    EXPECT_FALSE(Control(u"100")->IsVisible());
    Press(u"속도업");
    Press(u"속도업");
    EXPECT_EQ(player.GetSpeedIndex(), 2);
    EXPECT_EQ(player.GetSpeedStep(), 280);
    EXPECT_FALSE(Control(u"속도업")->IsEnabled());
    EXPECT_TRUE(Control(u"속도다운")->IsEnabled());
    EXPECT_TRUE(Control(u"300")->IsVisible());
    // A stored index out of range is taken as the nearest end.
    for (auto [stored, index] : {std::pair{7, 2}, std::pair{-3, 0}, std::pair{1, 1}}) {
        player.SetSpeed(stored);
        EXPECT_EQ(player.GetSpeedIndex(), index) << stored;
    }
    Press(u"종료");
    EXPECT_TRUE(player.IsEndRequested());
}

TEST_F(SimulPlayerTest, TheSliderFollowsTheCar) {
    player.SetSpeed(1);
    player.AdvanceSlider(0, 0, 1);
    EXPECT_EQ(player.GetSliderPos(), 180);
    player.AdvanceSlider(0, 180, 0); // standing
    EXPECT_EQ(player.GetSliderPos(), 180);
    // A jump pending for link 3 while the car reports link 1: dropped, the slider takes the car's.
    player.Pause();
    player.Slider().NotifyPos(800);
    Press(u"플레이");
    ASSERT_EQ(player.FindJumpPoint(), 3);
    player.AdvanceSlider(1, 260, 1);
    EXPECT_EQ(player.GetSliderPos(), 260);
    EXPECT_EQ(player.TakeJumpDistance(), 1);
    // At the route's end the slider returns to the start.
    player.Slider().NotifyPos(1000);
    player.AdvanceSlider(4, 1000, 1);
    EXPECT_EQ(player.GetSliderPos(), 0);
}

TEST_F(SimulPlayerTest, TheStripHasCutCornersAndPassesKeysOn) {
    RECT r;
    GetWindowRect(player.GetSafeHwnd(), &r);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 157);
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(r.bottom - r.top, 161);
    // Strip pixel (1, 1) is cut away (the map underneath gets the pen); (2, 2) is the strip's.
    EXPECT_EQ(WindowFromPoint(POINT{r.left + 1, r.top + 1}), map.GetSafeHwnd());
    EXPECT_EQ(WindowFromPoint(POINT{r.left + 2, r.top + 2}), player.GetSafeHwnd());
    EXPECT_EQ(WindowFromPoint(POINT{r.right - 2, r.bottom - 2}), map.GetSafeHwnd());
    EXPECT_EQ(WindowFromPoint(POINT{r.right - 3, r.bottom - 3}), player.GetSafeHwnd());
    EXPECT_EQ(WindowFromPoint(POINT{r.left + 4, r.top}), map.GetSafeHwnd());
    EXPECT_EQ(WindowFromPoint(POINT{r.left + 5, r.top}), player.GetSafeHwnd());
    // The slider sits at (25, 14) in the bar's size.
    RECT s;
    GetWindowRect(player.Slider().GetSafeHwnd(), &s);
    EXPECT_EQ(s.left - r.left, 25);
    EXPECT_EQ(s.top - r.top, 14);
    player.SendMessage(WM_KEYUP, 0x26, 0);
    EXPECT_EQ(keys.keys, (std::vector<int>{0x26}));
}

} // namespace
