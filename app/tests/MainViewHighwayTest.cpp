// The highway-mode panel through the main view: made once, shown, and its alert decided from the
// guidance record; filled or hidden on each fix.
#include "MainViewFixture.h"

#include "app/HighwayPanel.h"

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

} // namespace mainview_test
