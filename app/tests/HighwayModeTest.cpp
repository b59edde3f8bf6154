#include "app/HighwayMode.h"
#include "app/HighwayPanel.h"

#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FakeView : public IHighwayView {
public:
    CGuideInfo info;
    bool started = true, pedestrian = false, guiding = true, simulating = false, safeZone = false;
    int quality = 5, level = 9, settings[200] = {};
    std::vector<int> levelsSet;
    int barFirst = -1, barSecond = -1;
    CWnd* parent = nullptr;

    const CGuideInfo& GuideInfo() override { return info; }
    bool GuidanceStarted() override { return started; }
    bool IsPedestrianMode() override { return pedestrian; }
    bool IsGuiding() override { return guiding; }
    bool IsSimulating() override { return simulating; }
    bool SafeZoneAlertActive() override { return safeZone; }
    int FixQuality(const GpsPosRecord&) override { return quality; }
    bool FollowingRouteWithWaypoints() override { return true; }
    int RouteIndex() override { return 0; }
    int RemainingSeconds() override { return 90061; } // 25 h 1 min 1 s
    int BarOption() override { return 1; }
    void SetHighwayBarDistances(int first, int second) override {
        barFirst = first;
        barSecond = second;
    }
    int Setting(int index) override { return settings[index]; }
    int MapLevel() override { return level; }
    // Enabled levels 2, 4, 6, ...: step n is level 2n, up to 15.
    int StepToLevel(int step) override { return step >= 1 && 2 * step <= 15 ? 2 * step : -1; }
    void SetMapLevel(int l) override {
        level = l;
        levelsSet.push_back(l);
    }
    CWnd* PanelParent() override { return parent; }
    NaviRcBuilder* ResourceBuilder() override { return nullptr; }
};

class HighwayModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"HighwayTestView";
        RegisterClassW(&wc);
        const HWND hwnd = CreateWindowExW(0, u"HighwayTestView", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr,
                                          nullptr, nullptr, nullptr);
        ASSERT_TRUE(parent.Attach(hwnd));
        view.parent = &parent;
    }
    void TearDown() override {
        panel.Release();
        parent.DestroyWindow();
        WinResetForTests();
    }
    // A highway manoeuvre ahead with the given distances.
    void Ahead(int distance, int second, int remaining, bool nextFacility) {
        view.info.highway = true;
        view.info.nextGuide = 3;
        view.info.distance = distance;
        view.info.followingDistance = second;
        view.info.remaining = remaining;
        view.info.hasNext = nextFacility;
    }
    CWnd parent;
    FakeView view;
    CHighwayPanel panel;
    CHighwayMode mode{view, panel};
};

TEST_F(HighwayModeTest, ShowingTwiceMakesTheWindowOnce) {
    Ahead(1500, 0, 50000, false);
    mode.ShowHighwayPanel();
    mode.ShowHighwayPanel();
    EXPECT_EQ(panel.CreateCount(), 1);
    EXPECT_TRUE(panel.created);
    EXPECT_TRUE(panel.shown);
    EXPECT_TRUE(panel.alert); // a highway manoeuvre 1500 away
    EXPECT_EQ(panel.GetPanelName(), CString(u"고속모드"));
    ASSERT_NE(panel.GetSafeHwnd(), nullptr);
    EXPECT_EQ(GetParent(panel.GetSafeHwnd()), parent.GetSafeHwnd());
    EXPECT_TRUE(IsWindowVisible(panel.GetSafeHwnd()));
    RECT r{};
    GetWindowRect(panel.GetSafeHwnd(), &r);
    EXPECT_EQ(r.bottom, 320); // along the bottom of the map
}

TEST_F(HighwayModeTest, ShowingDecidesTheAlertFromTheGuidanceRecord) {
    struct Case {
        bool highway;
        int distance, second, remaining;
        bool nextFacility;
        bool alert;
    };
    const Case cases[] = {
        {true, 1500, 0, 50000, false, true},
        {true, 2000, 0, 999, false, true},   // far, no second manoeuvre, near the end: alert
        {true, 2000, 0, 1000, false, false}, // ...the end 1000 away is not near
        {true, 2000, 0, 999, true, false},   // ...a facility still ahead
        {true, 2000, 1, 50000, false, true}, // a second manoeuvre
        {false, 1500, 0, 50000, false, false},
    };
    for (const Case& c : cases) {
        Ahead(c.distance, c.second, c.remaining, c.nextFacility);
        view.info.highway = c.highway;
        mode.ShowHighwayPanel();
        EXPECT_TRUE(panel.shown);
        EXPECT_EQ(panel.alert != 0, c.alert) << c.distance << " " << c.second << " " << c.remaining;
    }
}

TEST_F(HighwayModeTest, TheDecisionIsTrueWheneverItShowsThePanel) {
    Ahead(2001, 0, 1000, false);
    EXPECT_FALSE(mode.IsHighwayAlert()); // no panel window yet
    EXPECT_FALSE(panel.shown);
    panel.Create(&parent);
    struct Case {
        bool highway;
        int next, distance, second, remaining;
        bool nextFacility;
        bool answer, alert;
    };
    const Case cases[] = {
        {true, 3, 2001, 0, 1000, false, true, true},  // shown and alert
        {true, 3, 2001, 0, 1001, false, true, false}, // shown only
        {true, 3, 2001, 0, 1000, true, true, false},  // shown only: a facility ahead
        {true, 3, 2000, 0, 1001, false, true, true},  // 2000 is not far: shown and alert
        {true, 3, 2001, 1, 5000, false, true, true},  // a second manoeuvre
        {true, 3, 1500, 0, 50000, false, true, true},
        {true, -1, 1500, 0, 50000, false, false, false}, // no next manoeuvre
        {false, 3, 1500, 0, 50000, false, false, false}, // not a highway
    };
    for (const Case& c : cases) {
        panel.shown = 0;
        panel.alert = 0;
        Ahead(c.distance, c.second, c.remaining, c.nextFacility);
        view.info.highway = c.highway;
        view.info.nextGuide = c.next;
        const bool answer = mode.IsHighwayAlert();
        EXPECT_EQ(answer, c.answer) << c.distance << " " << c.remaining;
        EXPECT_EQ(panel.shown != 0, answer) << c.distance << " " << c.remaining;
        EXPECT_EQ(panel.alert != 0, c.alert) << c.distance << " " << c.remaining;
    }
}

TEST_F(HighwayModeTest, EachFixFillsThePanelOnTheHighway) {
    mode.ShowHighwayPanel();
    Ahead(1500, 0, 12345, true);
    view.info.facilityCount = 7;
    view.info.rows = 2;
    view.info.row[0].name = u"만남의광장";
    view.info.row[0].distanceText = u"1.5";
    view.info.row[0].distance = 1500;
    view.info.row[0].lpg = 1;
    view.info.row[1].name = u"안성";
    view.info.row[1].distance = 0;
    view.info.row[1].repair = 1;
    view.info.next.distance = 1500;
    GpsPosRecord fix;
    fix.speed = 2600; // 260 km/h shows as 250
    mode.UpdateHighwayPanel(fix);
    EXPECT_TRUE(panel.shown);
    EXPECT_TRUE(IsWindowVisible(panel.GetSafeHwnd()));
    EXPECT_EQ(panel.GetFacilityCount(), 7);
    EXPECT_EQ(panel.CountText(), u"250");
    EXPECT_EQ(panel.RemainingText(), u"12.3k");
    EXPECT_EQ(panel.SecondText(), u"1.5");
    EXPECT_EQ(panel.TimeText(), u"25:01"); // whole hours, days included
    EXPECT_TRUE(panel.IsFollowingRoute());
    EXPECT_EQ(view.barFirst, 12345);
    EXPECT_EQ(view.barSecond, 1500);
    ASSERT_EQ(panel.GetRows(), 2);
    EXPECT_EQ(panel.RowAt(0).name, u"만남의광장");
    EXPECT_EQ(panel.RowAt(0).distance, u"1.5");
    EXPECT_EQ(panel.RowAt(0).fuel + 10 * panel.RowAt(0).lpg + 100 * panel.RowAt(0).repair, 11);
    EXPECT_EQ(panel.RowAt(1).fuel + 10 * panel.RowAt(1).lpg + 100 * panel.RowAt(1).repair, 100);
    EXPECT_TRUE(panel.IsNotSimulating());

    // Off the highway guidance, in pedestrian mode, or before guidance: hidden.
    view.pedestrian = true;
    mode.UpdateHighwayPanel(fix);
    EXPECT_FALSE(panel.shown);
    EXPECT_FALSE(IsWindowVisible(panel.GetSafeHwnd()));
}

TEST_F(HighwayModeTest, AnOrdinaryTurnZoomsInAndBackOut) {
    mode.ShowHighwayPanel();
    view.info.highway = false;
    view.info.nextGuide = 2;
    view.settings[5] = 2; // step 2: level 4
    view.level = 9;
    GpsPosRecord fix; // standing: no speed zoom
    view.info.distance = 400;
    mode.UpdateHighwayPanel(fix);
    EXPECT_FALSE(panel.shown);
    EXPECT_TRUE(view.levelsSet.empty());
    view.info.distance = 250;
    mode.UpdateHighwayPanel(fix);
    EXPECT_TRUE(mode.TurnZoomActive());
    mode.UpdateHighwayPanel(fix); // already there: nothing more
    view.info.distance = 0;       // passed
    mode.UpdateHighwayPanel(fix);
    EXPECT_FALSE(mode.TurnZoomActive());
    EXPECT_EQ(view.levelsSet, (std::vector<int>{4, 9}));
    // A zoom by the user holds the automatic zoom off for 15 fixes.
    mode.StartZoomPrompt();
    view.info.distance = 250;
    for (int i = 0; i < 14; ++i) mode.UpdateHighwayPanel(fix);
    EXPECT_EQ(view.levelsSet.size(), 2u);
    mode.UpdateHighwayPanel(fix);
    EXPECT_EQ(view.levelsSet, (std::vector<int>{4, 9, 4}));
}

TEST_F(HighwayModeTest, TheSpeedChoosesTheLevel) {
    view.info.highway = false;
    view.info.distance = 5000;
    view.settings[6] = 3; // below 60 km/h: level 6
    view.settings[7] = 5; // below 101: level 10
    view.settings[8] = 7; // above: level 14
    struct Case {
        int tenths, level;
    };
    for (const Case c : {Case{599, 6}, Case{600, 10}, Case{1009, 10}, Case{1010, 14}}) {
        view.level = 1;
        GpsPosRecord fix;
        fix.speed = static_cast<std::uint16_t>(c.tenths);
        mode.UpdateHighwayPanel(fix);
        EXPECT_EQ(view.level, c.level) << c.tenths;
    }
    // Not while walking, nor without guidance or a simulated drive.
    view.level = 1;
    view.guiding = false;
    GpsPosRecord fast;
    fast.speed = 1200;
    mode.UpdateHighwayPanel(fast);
    EXPECT_EQ(view.level, 1);
}

} // namespace
