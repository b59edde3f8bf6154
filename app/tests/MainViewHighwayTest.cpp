// The highway-mode panel through the main view: made once, shown, and its alert decided from the
// guidance record; filled or hidden on each fix.
#include "MainViewFixture.h"

#include "app/HighwayPanel.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviMainScreen.h"

#include <tuple>

namespace mainview_test {

namespace {

// A highway manoeuvre ahead with its distances.
CGuideInfo Ahead(int distance, int second, int remaining, bool nextFacility) {
    CGuideInfo info;
    info.highway = true;
    info.nextGuide = 3;
    info.distance = distance;
    info.followingDistance = second;
    info.remaining = remaining;
    info.hasNext = nextFacility;
    return info;
}

} // namespace

TEST_F(MainViewTest, HighwayPanelShownTwiceIsMadeOnceAsAChildOfTheView) {
    m_config->SetValue(0, 0);
    Open();
    CHighwayPanel* panel = m_view->GetHighwayPanel();
    ASSERT_NE(panel, nullptr);
    // Not made yet: no alert, whatever the guidance says.
    m_view->SetGuideInfo(Ahead(1500, 0, 5000, false));
    EXPECT_FALSE(m_view->IsHighwayAlert());
    EXPECT_EQ(panel->created, 0);

    m_view->ShowHighwayPanel();
    m_view->ShowHighwayPanel();
    EXPECT_EQ(panel->CreateCount(), 1);
    ASSERT_NE(panel->GetSafeHwnd(), nullptr);
    EXPECT_EQ(::GetParent(panel->GetSafeHwnd()), m_view->m_hWnd);
    EXPECT_TRUE(::IsWindowVisible(panel->GetSafeHwnd()));
    EXPECT_EQ(panel->GetPanelName(), u"고속모드");
    // A highway manoeuvre 1500 m away: the alert.
    EXPECT_EQ(panel->shown, 1);
    EXPECT_EQ(panel->alert, 1);
}

TEST_F(MainViewTest, HighwayAlertDecision) {
    m_config->SetValue(0, 0);
    Open();
    m_view->ShowHighwayPanel();
    CHighwayPanel* panel = m_view->GetHighwayPanel();
    struct Case {
        CGuideInfo info;
        bool answer;
        int shown, alert;
    };
    CGuideInfo notHighway = Ahead(1500, 0, 5000, false);
    notHighway.highway = false;
    CGuideInfo noManoeuvre = Ahead(1500, 0, 5000, false);
    noManoeuvre.nextGuide = -1;
    const Case cases[] = {
        {Ahead(1500, 0, 5000, false), true, 1, 1},
        // Far, no second manoeuvre: the alert only near the end without a facility ahead.
        {Ahead(2001, 0, 1000, false), true, 1, 1},
        {Ahead(2001, 0, 1001, false), true, 1, 0},
        {Ahead(2001, 0, 1000, true), true, 1, 0},
        // 2000 is not far for this decision, and a second manoeuvre means the alert.
        {Ahead(2000, 0, 5000, false), true, 1, 1},
        {Ahead(2001, 1, 5000, false), true, 1, 1},
        {notHighway, false, 0, 0},
        {noManoeuvre, false, 0, 0},
    };
    for (const Case& c : cases) {
        panel->shown = 0;
        panel->alert = 0;
        m_view->SetGuideInfo(c.info);
        EXPECT_EQ(m_view->IsHighwayAlert(), c.answer) << c.info.distance << " " << c.info.remaining;
        EXPECT_EQ(panel->shown, c.shown) << c.info.distance << " " << c.info.remaining;
        EXPECT_EQ(panel->alert, c.alert) << c.info.distance << " " << c.info.remaining;
    }
}

TEST_F(MainViewTest, HighwayPanelOnEachFixFilledWhileGuidingAndHiddenWhenWalking) {
    m_config->SetValue(0, 0);
    for (int s = 5; s <= 8; ++s) m_config->SetValue(s, 0); // no automatic zoom
    Open();
    m_view->ShowHighwayPanel();
    CHighwayPanel* panel = m_view->GetHighwayPanel();
    CGuideInfo info = Ahead(1500, 0, 12345, false);
    info.facilityCount = 4;
    info.rows = 1;
    info.row[0].name = u"망향휴게소";
    info.row[0].distance = 1500;
    m_view->SetGuideInfo(info);
    m_view->SetGuidanceStarted(true);
    m_view->SetGuiding(true);
    GpsPosRecord fix{};
    fix.status = 'A';
    fix.speed = 2600; // 260 km/h shows as 250
    m_view->UpdateHighwayPanel(fix);
    EXPECT_TRUE(::IsWindowVisible(panel->GetSafeHwnd()));
    EXPECT_EQ(panel->GetFacilityCount(), 4);
    EXPECT_EQ(panel->RemainingText(), u"12.3k");
    EXPECT_EQ(panel->CountText(), u"250");
    ASSERT_EQ(panel->GetRows(), 1);
    EXPECT_EQ(panel->RowAt(0).name, u"망향휴게소");
    EXPECT_EQ(panel->RowAt(0).fuel, 1);

    // On foot the panel goes.
    m_view->SetPedestrianMode(true);
    m_view->UpdateHighwayPanel(fix);
    EXPECT_EQ(panel->shown, 0);
    EXPECT_FALSE(::IsWindowVisible(panel->GetSafeHwnd()));
}

// The panel's time is the top bar's estimate for the distance left, and the speed number is drawn
// only with a fix good enough to follow the route. Route: 100 km in 3600 s; 50 km left.
TEST_F(MainViewTest, HighwayPanelShowsTheBarsTimeAndTheSpeedWithAGoodFix) {
    m_config->SetValue(0, 0);
    for (int s = 5; s <= 8; ++s) m_config->SetValue(s, 0); // no automatic zoom
    Open();
    m_view->ShowHighwayPanel();
    CHighwayPanel* panel = m_view->GetHighwayPanel();
    auto* bar = dynamic_cast<NaviHighwayBar*>(m_view->GetMainScreen()->FindControl(u"TrackBar"));
    ASSERT_NE(bar, nullptr);
    bar->SetRouteTime(3600);
    bar->SetRouteLength(100000);
    m_view->SetGuideInfo(Ahead(1500, 0, 50000, false));
    m_view->SetGuidanceStarted(true);
    m_view->SetGuiding(true);
    GpsPosRecord fix{};
    fix.status = 'A';
    fix.speed = 1005; // 100.5 km/h shows as 100
    m_view->SetFix(fix, true);
    m_view->SetFixQuality(50);
    auto drawn = [&] {
        panel->Compose(nullptr);
        std::vector<std::tuple<std::u16string, int, int, bool>> out;
        for (const CHighwayPanel::DrawnText& t : panel->DrawnTexts()) out.emplace_back(t.text, t.x, t.y, t.speedDigits);
        return out;
    };
    using Texts = std::vector<std::tuple<std::u16string, int, int, bool>>;

    // Nothing driven yet: the route's own time, 1 h 0 min, whatever distance is left.
    m_view->UpdateHighwayPanel(fix);
    EXPECT_EQ(panel->RemainingText(), u"50.0k");
    EXPECT_EQ(panel->TimeText(), u"01:00");
    EXPECT_EQ(drawn(), (Texts{{u"50.0k", 142, 18, false}, {u"01:00", 183, 22, false}, {u"100", 220, 206, true}}));

    // 50 km driven in 2500 s (20 m/s): by the route 3600 x 50/100 = 1800 s, by the average
    // 50000 / 20 = 2500 s; weighed by the distances left and driven (equal) 2150 s, 35 min.
    bar->AddTravelled(50000);
    m_clock.SetUtc(TheClock().UtcMilliseconds() + 2500 * 1000LL);
    m_view->UpdateHighwayPanel(fix);
    EXPECT_EQ(panel->TimeText(), u"00:35");
    EXPECT_EQ(drawn(), (Texts{{u"50.0k", 142, 18, false}, {u"00:35", 183, 22, false}, {u"100", 220, 206, true}}));

    // A poor fix: the same time, no speed number.
    m_view->SetFixQuality(2);
    m_view->UpdateHighwayPanel(fix);
    EXPECT_EQ(panel->RemainingFlag(), 0);
    EXPECT_EQ(drawn(), (Texts{{u"50.0k", 142, 18, false}, {u"00:35", 183, 22, false}}));
    // Without a fix at all, likewise.
    m_view->SetFixQuality(50);
    m_view->SetFix(fix, false);
    m_view->UpdateHighwayPanel(fix);
    EXPECT_EQ(drawn(), (Texts{{u"50.0k", 142, 18, false}, {u"00:35", 183, 22, false}}));
}

} // namespace mainview_test
