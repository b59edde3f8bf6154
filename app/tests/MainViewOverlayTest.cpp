// What the main view draws over the map (the line to the goal, the pedestrian's line, the car and
// its direction circle) and the status line it gives the main screen.
#include "LockEntryHolder.h"
#include "MainViewFixture.h"

#include "admin/AdminSearch.h"
#include "app/LockSet.h"
#include "app/PositionStore.h"
#include "app/SafePointList.h"
#include "platform/gdi/AfxGdi.h"
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "skinui/controls/NaviAnimImage.h"
#include "skinui/controls/NaviCarMark.h"
#include "skinui/controls/NaviEventText.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviSafeZoneMark.h"
#include "skinui/controls/NaviTrafficReRouteMark.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviPoiBar.h"
#include "skinui/NaviSymbolManager.h"
#include "route/RoutePath.h"
#include "tools/mkdevice/NetworkModel.h"
#include "tools/mkdevice/Networks.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

namespace mainview_test {

namespace {

// A place of the sample region, kilometres east and north of its south-west corner, in map
// coordinates.
POINT SampleMapAt(double eastKm, double northKm) {
    const mkdev::NetPoint n = mkdev::KmToNet(45720000, 13470000, eastKm, northKm);
    std::int32_t x = 0, y = 0;
    NetToMapCoord(n.x, n.y, x, y);
    return POINT{x, y};
}

class MainViewOverlayTest : public MainViewTest {
protected:
    // One refresh of the overlay into a scratch bitmap; the status line's text afterwards.
    CString Refresh() {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(&dc, 240, 320);
        CGdiObject* old = dc.SelectObject(&bitmap);
        m_view->RefreshOverlay(&dc, 0);
        dc.SelectObject(old);
        return EventText()->GetText();
    }
    NaviEventText* EventText() {
        return dynamic_cast<NaviEventText*>(m_view->GetMainScreen()->FindControl(u"EventString"));
    }
    NaviCarMark* Car() { return dynamic_cast<NaviCarMark*>(m_view->GetMainScreen()->FindControl(u"Car")); }
    POINT MapPoint(int sx, int sy) {
        std::int32_t x = sx, y = sy;
        EXPECT_EQ(m_view->GetMapWnd().ScreenToMap(x, y), 1);
        return POINT{x, y};
    }
    // A car route searched across the sample (by default from 4.25, 20.5 km to 24.25, 22.5 km)
    // and taken as the route to follow.
    void SearchSampleRoute(POINT s = SampleMapAt(4.25, 20.5), POINT g = SampleMapAt(24.25, 22.5)) {
        CRouteManager& routes = m_view->GetRouteManager();
        ASSERT_EQ(routes.Init(kDataFolder), 1);
        ASSERT_GE(routes.SetStart(s.x, s.y, u"출발"), 1);
        ASSERT_GE(routes.SetGoal(g.x, g.y, u"도착"), 1);
        ASSERT_EQ(routes.SearchRoute(), 0);
        routes.CommitRoute();
        routes.AcceptSelectedResult();
        ASSERT_NE(routes.GetRouteOption(0), 0);
    }
    int CountRow(int y, int x0, int x1, COLORREF c) {
        int n = 0;
        for (int x = x0; x <= x1; ++x) n += Pixel(x, y) == c ? 1 : 0;
        return n;
    }
};

} // namespace

TEST_F(MainViewOverlayTest, GoalDrawsADashedLineFromTheCentre) {
    m_config->SetValue(0, 0);
    Open();
    CRouteManager& routes = m_view->GetRouteManager();
    ASSERT_NE(routes.Init(kDataFolder), 0);
    ASSERT_NE(routes.CreateEngine(), 0);
    const COLORREF blue = RGB(0, 0, 150);
    Compose();
    EXPECT_EQ(CountRow(160, 125, 230, blue), 0);
    // A goal straight east of the centre, on the town's north-south road.
    const POINT goal = MapPoint(175, 160);
    ASSERT_GE(routes.SetGoal(goal.x, goal.y, u"목적지"), 1);
    ASSERT_TRUE(routes.HasGoal());
    Compose();
    ASSERT_TRUE(SavePng("mainview_goal.png"));
    const int dashes = CountRow(160, 125, 170, blue);
    EXPECT_GT(dashes, 10);
    EXPECT_LT(dashes, 46); // dashed, not solid
    // One pixel wide, nothing beyond the goal.
    EXPECT_EQ(CountRow(158, 125, 170, blue), 0);
    EXPECT_EQ(CountRow(162, 125, 170, blue), 0);
    EXPECT_EQ(CountRow(160, 180, 230, blue), 0);
}

TEST_F(MainViewOverlayTest, PedestrianModeDrawsAFivePixelLineToTheTarget) {
    m_config->SetValue(0, 0);
    Open();
    const COLORREF green = RGB(0, 150, 0);
    const POINT car = MapPoint(120, 160);
    const POINT target = MapPoint(120, 280);
    m_view->SetPedestrianMode(true);
    m_view->SetFollowing(true);
    m_view->SetVehicle(car.x, car.y, 0);
    m_view->GetRouteManager().SetPinnedPoint(target.x, target.y);
    Compose();
    ASSERT_TRUE(SavePng("mainview_walk.png"));
    // Below the car image, across the line: five green pixels centred on x = 120.
    for (int y : {220, 250}) {
        EXPECT_EQ(CountRow(y, 110, 130, green), 5) << y;
        EXPECT_EQ(Pixel(118, y), green);
        EXPECT_EQ(Pixel(122, y), green);
    }
}

TEST_F(MainViewOverlayTest, CarImageAndDirectionCircleFollowTheViewMode) {
    Open();
    CRouteManager& routes = m_view->GetRouteManager();
    ASSERT_NE(routes.Init(kDataFolder), 0);
    ASSERT_NE(routes.CreateEngine(), 0);
    const POINT centre{CMapDocState::kDefaultX, CMapDocState::kDefaultY};
    m_view->SetVehicle(centre.x, centre.y, 180);
    struct Case {
        int mode, car;
    } cases[] = {{0, 18}, {1, CMainView::kCarImageHeadingUp}, {2, CMainView::kCarImageBird}};
    for (const Case& c : cases) {
        m_config->SetValue(0, (c.mode + 2) % 3);
        while (m_view->GetViewMode() != c.mode) m_view->CycleViewMode();
        m_view->SetVehicle(centre.x, centre.y, 180);
        Compose();
        EXPECT_EQ(Car()->GetCarIndex(), c.car) << "mode " << c.mode;
    }
    // With a goal due east (bearing 90): north up shows index 9; heading up with the car heading
    // south (index 18) gives 9 - 18 = -9, shown as 27; bird's-eye the fixed circle 37.
    while (m_view->GetViewMode() != 0) m_view->CycleViewMode();
    ASSERT_GE(routes.SetGoal(centre.x + 2000, centre.y, u"목적지"), 1);
    struct Dir {
        int mode, index;
    } dirs[] = {{0, 9}, {1, 27}, {2, CMainView::kBirdDirection}};
    for (const Dir& d : dirs) {
        while (m_view->GetViewMode() != d.mode) m_view->CycleViewMode();
        m_view->SetVehicle(centre.x, centre.y, 180);
        Compose();
        EXPECT_EQ(m_view->GetDirectionIndex(), d.index) << "mode " << d.mode;
    }
}

TEST(MainViewStatusLine, SpeedAndAltitudeAreBounded) {
    struct Case {
        int speed, altitude;
        const char16_t* text;
    } cases[] = {
        {2600, -120, u"속도: 250km/h 고도: 0m"}, {2500, 1234, u"속도: 250km/h 고도: 123m"},
        {2501, 0, u"속도: 250km/h 고도: 0m"},    {-5, 9, u"속도: 0km/h 고도: 0m"},
        {599, 10, u"속도: 59km/h 고도: 1m"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CMainView::SpeedAltitudeText(c.speed, c.altitude).Str(), c.text) << c.speed << " " << c.altitude;
}

TEST(MainViewStatusLine, RoadTextsByKindAndNumber) {
    struct Case {
        int kind;
        long number;
        const char16_t* text;
    } cases[] = {
        {2, 88, u"올림픽대로"},       {6, 77, u"강변북로"},          {2, 12, u"12번도시고속도"},
        {1, 40, u"평택-음성고속도로"}, {1, 1, u"경부고속도로"},       {1, 551, u"중앙지선고속도로"},
        {1, 63, u""},                  {3, 7, u"7번국도"},            {4, 317, u"317번지방도"},
        {5, 12, u"12번일반도로"},      {0, 5, u""},                   {7, 5, u""},
    };
    for (const Case& c : cases) EXPECT_EQ(CMainView::RoadText(c.kind, c.number).Str(), c.text) << c.kind << "/" << c.number;
    EXPECT_EQ(std::u16string(CMainView::GetRoadNumberName(40)), u"평택-음성");
    EXPECT_EQ(std::u16string(CMainView::GetRoadNumberName(99)), u"");
}

TEST_F(MainViewOverlayTest, PositionLineAtTheSampleCentre) {
    m_config->SetValue(0, 0);
    Open();
    std::int32_t x = 0, y = 0;
    NetToMapCoord(45761782, 13504989, x, y);
    m_view->MoveMapTo(x, y, 0);
    m_view->SetEventMode(2);
    EXPECT_EQ(Refresh().Str(), u"E 127°06'57\" N 37°30'49\"");
}

TEST_F(MainViewOverlayTest, LevelTwoShowsNoDistrictPositionOrRoad) {
    m_config->SetValue(0, 0);
    Open();
    ASSERT_EQ(m_view->GetAdminSearch().OpenTbl("\\Storage Card\\MapData\\SearchDB\\"), 1);
    m_view->SetCurrentRoad(2, 88);
    for (int mode : {1, 2, 4}) {
        m_view->SetEventMode(mode);
        m_view->SetLevelFromBar(2);
        EventText()->SetText(u"");
        EXPECT_EQ(Refresh().Str(), u"") << mode;
        m_view->SetLevelFromBar(11);
        EXPECT_NE(Refresh().Str(), u"") << mode;
    }
    // Speed and altitude do not depend on the level.
    m_view->SetLevelFromBar(2);
    m_view->SetEventMode(3);
    EXPECT_EQ(Refresh().Str(), u"속도/고도 가용하지 않습니다.");
    GpsPosRecord fix;
    fix.status = 'A';
    fix.speed = 2600;
    fix.altitude = -120;
    m_view->SetFix(fix, true);
    EXPECT_EQ(Refresh().Str(), u"속도: 250km/h 고도: 0m");
}

TEST_F(MainViewOverlayTest, RoadLineNamesTheDistrictAndTheRoad) {
    m_config->SetValue(0, 0);
    Open();
    const char* tables = "\\Storage Card\\MapData\\SearchDB\\";
    ASSERT_EQ(m_view->GetAdminSearch().OpenTbl(tables), 1);
    CAdminSearch lookup;
    ASSERT_EQ(lookup.OpenTbl(tables), 1);
    char gu[CAdminSearch::kAnswerSize] = {}, full[CAdminSearch::kAnswerSize] = {};
    ASSERT_EQ(lookup.GetGuName(CMapDocState::kDefaultX, CMapDocState::kDefaultY, gu), 1);
    ASSERT_EQ(lookup.DoSrch(CMapDocState::kDefaultX, CMapDocState::kDefaultY, full), 1);
    std::u16string district = Cp949ToUtf16(gu);
    if (district.size() > 4 && district.find(u'시') != std::u16string::npos)
        district = district.substr(0, district.find(u'시') + 1);
    m_view->SetEventMode(4);
    m_view->SetCurrentRoad(2, 88);
    EXPECT_EQ(Refresh().Str(), district + u"-올림픽대로");
    // A number the expressway table does not hold has no road text: the district line instead.
    m_view->SetCurrentRoad(1, 63);
    EXPECT_EQ(Refresh().Str(), Cp949ToUtf16(full));
}

TEST_F(MainViewOverlayTest, LoggingLineOnEveryFourthRefreshWhileFollowing) {
    m_config->SetValue(0, 0);
    Open();
    m_view->SetEventMode(3);
    m_view->SetLogging(true);
    m_view->SetFollowing(true);
    // Painting during the set-up has counted some refreshes already: find the first logging
    // line, then it comes back on every fourth refresh and the speed line in between.
    int first = 0;
    while (first < 4 && Refresh().Str() != u"Logging..(7.8V)") ++first;
    ASSERT_LT(first, 4);
    for (int i = 1; i <= 8; ++i) {
        const CString text = Refresh();
        if (i % 4 == 0) EXPECT_EQ(text.Str(), u"Logging..(7.8V)") << i;
        else EXPECT_EQ(text.Str(), u"속도/고도 가용하지 않습니다.") << i;
    }
    // Not following: never.
    m_view->SetFollowing(false);
    for (int i = 1; i <= 8; ++i) EXPECT_NE(Refresh().Str(), u"Logging..(7.8V)") << i;
}

} // namespace mainview_test

namespace mainview_test {

// A safe-driving point the user added shows its sign up and to the left of the point and its
// number "@1" to the right, above level 6 and only while the document says such points exist.
TEST_F(MainViewOverlayTest, SafeDrivingPointsShowTheirSignAndNumberAboveLevelSix) {
    m_config->SetValue(0, 0);
    Open();
    const POINT at = MapPoint(60, 120);
    CSafePointRecord point;
    MapToNetCoord(at.x, at.y, point.x, point.y);
    CSafePointList::Added().Clear();
    ASSERT_TRUE(CSafePointList::Added().Add(point));
    std::int32_t sx = at.x, sy = at.y;
    auto frame = [&] {
        Compose();
        // Where the point lands after the round trip through network coordinates.
        sx = at.x;
        sy = at.y;
        NetToMapCoord(point.x, point.y, sx, sy);
        m_view->GetMapWnd().PointToScreen(sx, sy);
        std::vector<COLORREF> px;
        for (int y = 80; y < 130; ++y)
            for (int x = 30; x < 110; ++x) px.push_back(Pixel(x, y));
        return px;
    };
    // Counts the pixels of a rectangle (relative to the point) that differ between two frames.
    auto changed = [&](const std::vector<COLORREF>& a, const std::vector<COLORREF>& b, int x0, int y0, int x1,
                       int y1) {
        int n = 0;
        for (int y = sy + y0; y < sy + y1; ++y)
            for (int x = sx + x0; x < sx + x1; ++x)
                if (y >= 80 && y < 130 && x >= 30 && x < 110)
                    n += a[static_cast<std::size_t>((y - 80) * 80 + (x - 30))] !=
                         b[static_cast<std::size_t>((y - 80) * 80 + (x - 30))];
        return n;
    };
    m_doc->safePointsExist = false;
    const std::vector<COLORREF> without = frame();
    m_doc->safePointsExist = true;
    const std::vector<COLORREF> with = frame();
    EXPECT_EQ(std::abs(sx - 60) <= 1 && std::abs(sy - 120) <= 1, true) << sx << " " << sy;
    EXPECT_GT(changed(without, with, -16, -24, 0, -4), 10);  // the sign
    EXPECT_GT(changed(without, with, 8, -20, 30, -6), 5);    // "@1"
    EXPECT_EQ(changed(without, with, -30, -30, -17, 10), 0); // nothing left of the sign
    // Level 6 and below: not drawn.
    ASSERT_TRUE(m_view->SetLevelFromBar(6));
    m_doc->safePointsExist = false;
    const std::vector<COLORREF> lowWithout = frame();
    m_doc->safePointsExist = true;
    const std::vector<COLORREF> lowWith = frame();
    EXPECT_EQ(changed(lowWithout, lowWith, -40, -30, 40, 10), 0);
    CSafePointList::Added().Clear();
}

// The active safe-driving alert shows its kind's sign above-left of its point (kinds 1-3; level
// above 4); no alert, no sign.
TEST_F(MainViewOverlayTest, TheActiveAlertShowsItsSignAtItsPoint) {
    m_config->SetValue(0, 0);
    Open();
    auto* mark = dynamic_cast<NaviSafeZoneMark*>(m_view->GetMainScreen()->FindControl(u"SafeZone"));
    ASSERT_NE(mark, nullptr);
    const POINT at = MapPoint(120, 160);
    std::int32_t nx = 0, ny = 0;
    MapToNetCoord(at.x, at.y, nx, ny);
    std::int32_t sx = 0, sy = 0;
    NetToMapCoord(nx, ny, sx, sy);
    m_view->GetMapWnd().PointToScreen(sx, sy);
    mark->SetSpeed(60);
    auto frame = [&](int distance, int kind) {
        mark->SetAlert(nx, ny, 0, distance, kind, 0, 0, 0, 0);
        Compose();
        std::vector<COLORREF> px;
        for (int y = sy - 23; y < sy - 3; ++y)
            for (int x = sx - 16; x < sx + 4; ++x) px.push_back(Pixel(x, y));
        return px;
    };
    const std::vector<COLORREF> none = frame(-1, 2);
    int changed = 0;
    const std::vector<COLORREF> sign = frame(300, 2);
    for (std::size_t i = 0; i < none.size(); ++i) changed += none[i] != sign[i];
    EXPECT_GT(changed, 20);
    // Kinds 1 and 3 have their signs too; a kind outside 1-3 has none.
    EXPECT_NE(frame(300, 1), none);
    EXPECT_NE(frame(300, 3), none);
    EXPECT_EQ(frame(300, 5), none);
    mark->SetAlert(0, 0, 0, -1, 0, 0, 0, 0, 0);
}

// The receiver icon shows while the broadcast receiver is used or downloaded traffic is valid.
TEST_F(MainViewOverlayTest, TheReceiverIconFollowsTheReceiverAndTheTrafficInformation) {
    Open();
    NaviControl* receiver = m_view->GetMainScreen()->FindControl(u"Zarn");
    ASSERT_NE(receiver, nullptr);
    struct Case {
        int receiverSetting;
        std::uint8_t trafficValid;
        bool shown;
    };
    for (const Case c : {Case{0, 0, false}, Case{1, 0, true}, Case{0, 1, true}, Case{1, 1, true}}) {
        m_config->SetValue(32, c.receiverSetting);
        m_config->SetTrafficValidFlag(c.trafficValid);
        Refresh();
        EXPECT_EQ(receiver->IsVisible(), c.shown) << c.receiverSetting << " " << int(c.trafficValid);
    }
    m_config->SetValue(32, 0);
    m_config->SetTrafficValidFlag(0);
}

// The POI bar learns the follow state at each refresh: it can show only while the map is away
// from the car.
TEST_F(MainViewOverlayTest, ThePoiBarCanShowOnlyWhileTheMapIsAwayFromTheCar) {
    Open();
    auto* poiBar = dynamic_cast<NaviPoiBar*>(m_view->GetMainScreen()->FindControl(u"POIBAR"));
    ASSERT_NE(poiBar, nullptr);
    ASSERT_TRUE(poiBar->IsVisible());
    m_view->SetFollowing(false);
    Refresh();
    EXPECT_TRUE(poiBar->IsShowable());
    m_view->SetFollowing(true);
    Refresh();
    EXPECT_FALSE(poiBar->IsShowable());
    m_view->SetFollowing(false);
    Refresh();
    EXPECT_TRUE(poiBar->IsShowable());
}

// With the receiver icon shown the volume icon moves up to its second place, 118 above the
// bottom of the 320-high screen instead of 83.
TEST_F(MainViewOverlayTest, TheVolumeIconMovesUpWhileTheReceiverIconShows) {
    Open();
    NaviControl* volume = m_view->GetMainScreen()->FindControl(u"Mute");
    ASSERT_NE(volume, nullptr);
    Refresh();
    EXPECT_EQ(volume->GetPos().x, 4);
    EXPECT_EQ(volume->GetPos().y, 320 - 83);
    m_config->SetValue(32, 1);
    Refresh();
    EXPECT_EQ(volume->GetPos().x, 4);
    EXPECT_EQ(volume->GetPos().y, 320 - 118);
    m_config->SetValue(32, 0);
    Refresh();
    EXPECT_EQ(volume->GetPos().y, 320 - 83);
}

// The re-route button shows while a searched route is followed (guidance running) outside
// pedestrian mode.
TEST_F(MainViewOverlayTest, TheRerouteButtonShowsWhileAFollowedRouteMayBeSearchedAgain) {
    Open();
    NaviControl* reroute = m_view->GetMainScreen()->FindControl(u"ReRoute");
    ASSERT_NE(reroute, nullptr);
    m_view->SetGuiding(true);
    Refresh();
    EXPECT_FALSE(reroute->IsVisible()); // no route
    SearchSampleRoute();
    if (HasFatalFailure()) return;
    Refresh();
    EXPECT_TRUE(reroute->IsVisible());
    m_view->SetPedestrianMode(true);
    Refresh();
    EXPECT_FALSE(reroute->IsVisible());
    m_view->SetPedestrianMode(false);
    m_view->SetGuiding(false);
    Refresh();
    EXPECT_FALSE(reroute->IsVisible());
}

// A saved position shows its name in a light-yellow box (0xA5FFFF) right of the point, the box's
// inside starting at (x + 20, y - 11), and its icon left of the point at (x - 20, y - 13); only
// above level 7 and while the document says positions exist.
TEST_F(MainViewOverlayTest, SavedPositionsShowTheirNameInABoxAndTheirIconAboveLevelSeven) {
    m_config->SetValue(0, 0);
    Open();
    CPositionStore& store = CPositionStore::Instance();
    const CString folder = u"\\My Documents\\Velko\\overlaypos";
    std::filesystem::create_directories(DeviceRoot::Resolve(folder));
    store.SetBaseFolder(folder);
    store.Reload();
    const POINT at = MapPoint(60, 120);
    CPosRecord position;
    const std::string name = Utf8ToCp949("회사");
    std::memcpy(position.name, name.data(), name.size());
    MapToNetCoord(at.x, at.y, position.x, position.y);
    position.value1 = 1; // speaker
    position.value2 = 2; // icon
    ASSERT_TRUE(store.Add(u"기본", position));
    ASSERT_NE(m_view->GetMainScreen()->GetSymbolManager()->InterestIcon(2), nullptr);
    std::int32_t sx = 0, sy = 0;
    NetToMapCoord(position.x, position.y, sx, sy);
    m_view->GetMapWnd().PointToScreen(sx, sy);
    const COLORREF fill = RGB(0xFF, 0xFF, 0xA5);
    auto frame = [&](bool exist) {
        m_doc->savedPositionsExist = exist;
        Compose();
        std::vector<COLORREF> px;
        for (int y = sy - 30; y < sy + 30; ++y)
            for (int x = sx - 40; x < sx + 80; ++x) px.push_back(Pixel(x, y));
        return px;
    };
    auto changed = [&](const std::vector<COLORREF>& a, const std::vector<COLORREF>& b, int x0, int y0, int x1,
                       int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const auto i = static_cast<std::size_t>((y + 30) * 120 + (x + 40));
                n += a[i] != b[i];
            }
        return n;
    };
    const std::vector<COLORREF> without = frame(false);
    const std::vector<COLORREF> with = frame(true);
    EXPECT_TRUE(std::abs(sx - 60) <= 1 && std::abs(sy - 120) <= 1) << sx << " " << sy;
    // The box: filled at its inside's top-left corner and along the text's line; not left of x + 17.
    EXPECT_EQ(Pixel(sx + 20, sy - 11), fill);
    EXPECT_NE(Pixel(sx + 16, sy - 11), fill);
    int filled = 0, dark = 0;
    for (int x = sx + 20; x < sx + 60; ++x)
        for (int y = sy - 11; y < sy + 2; ++y) {
            filled += Pixel(x, y) == fill;
            dark += Pixel(x, y) == RGB(0, 0, 0);
        }
    EXPECT_GT(filled, 100);
    EXPECT_GT(dark, 10); // the name's letters
    // The icon from (x - 20, y - 13); nothing drawn further left.
    EXPECT_GT(changed(without, with, -20, -13, 0, 3), 10);
    EXPECT_EQ(changed(without, with, -40, -30, -21, 30), 0);
    // Level 7: none of it, anywhere on the screen.
    ASSERT_TRUE(m_view->SetLevelFromBar(7));
    auto screen = [&](bool exist) {
        m_doc->savedPositionsExist = exist;
        Compose();
        std::vector<COLORREF> px;
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x) px.push_back(Pixel(x, y));
        return px;
    };
    EXPECT_EQ(screen(false), screen(true));
    ASSERT_TRUE(m_view->SetLevelFromBar(8));
    m_doc->savedPositionsExist = true;
    Compose();
    NetToMapCoord(position.x, position.y, sx, sy);
    m_view->GetMapWnd().PointToScreen(sx, sy);
    EXPECT_EQ(Pixel(sx + 20, sy - 11), fill) << "level 8";
    ASSERT_TRUE(SavePng("mainview_saved_position.png"));
    m_doc->savedPositionsExist = false;
    store.SetBaseFolder(m_config->GetItemPath(u"현재저장위치", -1));
    store.Reload();
    std::error_code ec;
    std::filesystem::remove_all(DeviceRoot::Resolve(folder), ec);
}

// The top line's guidance message while a followed route is guided: re-searching, off the route
// (with the automatic re-search after a count of 21 to 49, without it at once), and the traffic
// re-search, which also hides the top bar.
TEST_F(MainViewOverlayTest, TheGuidanceMessageTellsOffRouteAndReSearching) {
    Open();
    auto* label = dynamic_cast<NaviLabel*>(m_view->GetMainScreen()->FindControl(u"시스템메세지"));
    ASSERT_NE(label, nullptr);
    const CString researching = u"   경로를 재탐색 합니다.   ";
    const CString offRoute = u"경로를 이탈 하였습니다.";
    m_view->SetFollowing(true);
    m_view->SetGuiding(true);
    auto message = [&](int count) {
        m_view->SetOffRouteCount(count);
        Refresh();
        return label->GetText();
    };
    // Without a route result the automatic re-search gives no off-route message.
    m_config->SetValue(17, 1);
    EXPECT_EQ(message(30), CString());
    EXPECT_EQ(message(-1), researching);
    SearchSampleRoute();
    struct Case {
        int setting17, count;
        const CString* text;
    };
    const CString none;
    for (const Case c : {Case{1, -1, &researching}, Case{1, 0, &none}, Case{1, 20, &none}, Case{1, 21, &offRoute},
                         Case{1, 49, &offRoute}, Case{1, 50, &none}, Case{0, -1, &researching},
                         Case{0, 0, &none}, Case{0, 1, &offRoute}, Case{0, 300, &offRoute}}) {
        m_config->SetValue(17, c.setting17);
        EXPECT_EQ(message(c.count), *c.text) << c.setting17 << " " << c.count;
    }
    // Not followed, or on foot: nothing.
    m_config->SetValue(17, 0);
    m_view->SetFollowing(false);
    EXPECT_EQ(message(1), none);
    m_view->SetFollowing(true);
    m_view->SetPedestrianMode(true);
    EXPECT_EQ(message(1), none);
    m_view->SetPedestrianMode(false);
    // Guidance not running: nothing either.
    m_view->SetGuiding(false);
    EXPECT_EQ(message(-1), none);
    // A pending traffic re-search: its own message, and the top bar goes.
    m_view->SetTrafficReroutePending(true);
    EXPECT_EQ(message(0), CString(u"교통정보를 고려하여 재탐색합니다."));
    EXPECT_FALSE(m_view->GetMainScreen()->FindControl(u"TrackBar")->IsVisible());
    m_view->SetTrafficReroutePending(false);
    m_config->SetValue(17, 0);
}

// The top bar shows while a route is followed; the turn arrow only with a turn that has an
// image near enough.
TEST_F(MainViewOverlayTest, TheRouteBarsShowWhileARouteIsFollowed) {
    Open();
    NaviControl* bar = m_view->GetMainScreen()->FindControl(u"TrackBar");
    NaviControl* arrow = m_view->GetMainScreen()->FindControl(u"Guide");
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(arrow, nullptr);
    CGuideInfo info;
    info.code = 5;
    info.distance = 300;
    info.remaining = 8000;
    m_view->SetGuideInfo(info);
    m_view->SetFollowing(true);
    Refresh();
    EXPECT_FALSE(bar->IsVisible()); // no route
    EXPECT_FALSE(arrow->IsVisible());
    EXPECT_FALSE(m_view->GetMainScreen()->FindControl(u"RouteResult")->IsVisible());
    SearchSampleRoute();
    Refresh();
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_TRUE(arrow->IsVisible());
    struct Case {
        int code, distance;
        bool arrow;
    };
    // Codes 59-62 have no arrow; 2 km and more away none either.
    for (const Case c : {Case{5, 300, true}, Case{5, 1999, true}, Case{5, 2000, false}, Case{60, 300, false},
                         Case{59, 100, false}, Case{63, 100, true}}) {
        info.code = c.code;
        info.distance = c.distance;
        m_view->SetGuideInfo(info);
        Refresh();
        EXPECT_EQ(arrow->IsVisible(), c.arrow) << c.code << " " << c.distance;
        EXPECT_TRUE(bar->IsVisible());
    }
    // The route-state image shows the route's kind.
    auto* state = dynamic_cast<NaviAnimImage*>(m_view->GetMainScreen()->FindControl(u"RouteResult"));
    ASSERT_NE(state, nullptr);
    EXPECT_TRUE(state->IsVisible());
    EXPECT_EQ(state->GetState(), m_view->GetRouteManager().SelectedRoute()->header->kind);
    // The map taken off the vehicle: both bars go.
    m_view->SetFollowing(false);
    Refresh();
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_FALSE(arrow->IsVisible());
}

// While the turn arrow shows, a newly matched link's road name (from the road-name table) takes
// the status line; the same link again leaves the line to the chosen event text.
TEST_F(MainViewOverlayTest, TheMatchedLinksRoadNameShowsWithTheTurnArrow) {
    Open();
    // The first named link of the sample, read from the index and the table directly: a count,
    // then (map id, link id, offset) records; names of 20 bytes in code page 949.
    const std::string folder = DeviceRoot::Resolve(std::u16string(kDataFolder) + u"\\MRData");
    std::ifstream index(folder + "/RoadNameIndex.bin", std::ios::binary);
    std::ifstream table(folder + "/RoadNameTbl.bin", std::ios::binary);
    ASSERT_TRUE(index && table);
    std::uint32_t count = 0, offset = 0;
    std::int16_t mapId = 0, linkId = 0;
    index.read(reinterpret_cast<char*>(&count), 4);
    index.read(reinterpret_cast<char*>(&mapId), 2);
    index.read(reinterpret_cast<char*>(&linkId), 2);
    index.read(reinterpret_cast<char*>(&offset), 4);
    ASSERT_GT(count, 0u);
    char raw[21] = {};
    table.seekg(offset);
    table.read(raw, 20);
    const CString name(Cp949ToUtf16(std::string(raw, strnlen(raw, 20))).c_str());
    ASSERT_FALSE(name.IsEmpty());

    SearchSampleRoute();
    CGuideInfo info;
    info.code = 5;
    info.distance = 300;
    m_view->SetGuideInfo(info);
    m_view->SetCurrentRoad(3, 1);
    m_view->SetEventMode(3); // without a fix: "속도/고도 가용하지 않습니다." at every refresh
    const CString speedLine = u"속도/고도 가용하지 않습니다.";
    // Not followed: no arrow, no road name.
    m_view->SetMatchedVehicle(static_cast<std::uint16_t>(mapId), static_cast<std::uint16_t>(linkId), 0, 1, 1);
    EXPECT_EQ(Refresh(), speedLine);
    m_view->SetFollowing(true);
    EXPECT_EQ(Refresh(), name);
    EXPECT_EQ(Refresh(), speedLine); // the same link: not looked up again
    // The link travelled the other way counts as another: named again.
    m_view->SetMatchedVehicle(static_cast<std::uint16_t>(mapId), static_cast<std::uint16_t>(linkId), 1, 1, 1);
    EXPECT_EQ(Refresh(), name);
}

} // namespace mainview_test

namespace mainview_test {

namespace {

// One overlay phase alone drawn into a white scratch bitmap (what the map's frame adds in it).
std::vector<COLORREF> PhaseCapture(CMainView& view, int phase) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, 240, 320);
    CGdiObject* old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, 240, 320, RGB(255, 255, 255));
    view.DrawOverlay(&dc, phase);
    std::vector<COLORREF> px;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) px.push_back(dc.GetPixel(x, y));
    dc.SelectObject(old);
    return px;
}

// The bounding box of the pixels that differ between two captures (left > right when none).
RECT Changed(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    RECT r{240, 320, -1, -1};
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            if (a[static_cast<std::size_t>(y * 240 + x)] != b[static_cast<std::size_t>(y * 240 + x)]) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x);
                r.bottom = std::max<LONG>(r.bottom, y);
            }
    return r;
}

} // namespace

// The followed route's band is drawn with the map under route-lock entry 0: while another thread
// holds the entry the band is left out, menu or not; while this thread's own route operation
// holds it, the band shows only with a main-screen menu open, and the frame keeps that hold.
TEST_F(MainViewOverlayTest, RouteBandWaitsForRouteLockEntryZero) {
    m_config->SetValue(0, 0);
    Open();
    m_view->CreatePositionServices();
    SearchSampleRoute();
    const POINT start = SampleMapAt(4.25, 20.5);
    m_view->MoveMapTo(start.x, start.y, 0);
    // The followed route's band: its inner line is red (0x4444FF).
    const COLORREF band = RGB(0xFF, 0x44, 0x44);
    // Phase 0 alone into a white scratch bitmap (an open menu would cover the screen's map).
    auto bandPixels = [&] {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(&dc, 240, 320);
        CGdiObject* old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 240, 320, RGB(255, 255, 255));
        m_view->DrawOverlay(&dc, 0);
        int n = 0;
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x) n += dc.GetPixel(x, y) == band ? 1 : 0;
        dc.SelectObject(old);
        return n;
    };
    const int free = bandPixels();
    EXPECT_GT(free, 100);
    CLockSet& locks = *m_view->GetLockSet();
    NaviMainScreen* screen = m_view->GetMainScreen();
    {
        LockEntryHolder worker(locks, 0);
        ASSERT_TRUE(worker.Taken());
        EXPECT_EQ(bandPixels(), 0);
        screen->SetMenuMode(2004);
        EXPECT_EQ(bandPixels(), 0);
        screen->SetMenuMode(2007);
    }
    EXPECT_EQ(bandPixels(), free);
    ASSERT_TRUE(m_view->LockRouteForUser());
    EXPECT_EQ(bandPixels(), 0);
    screen->SetMenuMode(2004);
    EXPECT_EQ(bandPixels(), free);
    screen->SetMenuMode(2007);
    // A whole frame with the turn arrow (whose road name is looked up under entry 0) leaves this
    // thread's hold as it was: no other thread can take the entry before the operation ends.
    CGuideInfo info;
    info.code = 5;
    info.distance = 300;
    m_view->SetGuideInfo(info);
    m_view->SetFollowing(true);
    Refresh();
    ASSERT_TRUE(screen->FindControl(u"Guide")->IsVisible());
    Compose();
    {
        LockEntryHolder other(locks, 0);
        EXPECT_FALSE(other.Taken());
    }
    m_view->UnlockRoute();
    EXPECT_FALSE(locks.IsLocked(-1));
    EXPECT_EQ(bandPixels(), free);
}

// A point handed over by another program carries the hand marker, its image from (x, y - 6), at
// levels above 3 only.
TEST_F(MainViewOverlayTest, TheHandMarksTheHandedOverPointAboveLevelThree) {
    m_config->SetValue(0, 0);
    Open();
    // x is stored as 5/6 of the map's: 169286 gives the sample's centre x 203143.
    auto handOver = [] {
        const std::string file = DeviceRoot::Resolve(u"\\windows\\Velko.wp");
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << "169286 531663";
    };
    // The points and the car's frame (phase 1) at the sample's centre.
    auto points = [&] {
        Compose();
        return PhaseCapture(*m_view, 1);
    };
    m_view->StopFollowing();
    ASSERT_TRUE(m_view->SetLevelFromBar(4));
    const std::vector<COLORREF> level4 = points();
    ASSERT_TRUE(m_view->SetLevelFromBar(3));
    const std::vector<COLORREF> level3 = points();
    handOver();
    ASSERT_EQ(m_view->ReadHandoverFile(), 1);
    ASSERT_EQ(m_view->GetHandoverPoint().x, CMapDocState::kDefaultX);
    ASSERT_EQ(m_view->GetHandoverPoint().y, CMapDocState::kDefaultY);
    ASSERT_EQ(m_view->GetMapLevel(), 3);
    EXPECT_EQ(points(), level3);
    ASSERT_TRUE(m_view->SetLevelFromBar(4));
    const std::vector<COLORREF> hand = points();
    std::int32_t sx = CMapDocState::kDefaultX, sy = CMapDocState::kDefaultY;
    m_view->GetMapWnd().PointToScreen(sx, sy);
    const RECT changed = Changed(level4, hand);
    ASSERT_LE(changed.left, changed.right) << "no hand";
    EXPECT_GE(changed.left, sx);
    EXPECT_GE(changed.top, sy - 6);
    EXPECT_LT(changed.left, sx + 6);
    EXPECT_LT(changed.top, sy + 6);
    Compose();
    ASSERT_TRUE(SavePng("mainview_hand.png"));
}

// Showing the event text places the traffic re-route mark 76 above the bottom edge, or 170 above
// it while the turn arrow shows.
TEST_F(MainViewOverlayTest, TheTrafficReRouteMarkStandsClearOfTheTurnArrow) {
    Open();
    auto* mark = dynamic_cast<NaviTrafficReRouteMark*>(m_view->GetMainScreen()->FindControl(u"TrafficUpdateRoute"));
    ASSERT_NE(mark, nullptr);
    m_view->SetEventMode(3); // an event text at every refresh
    NaviCommand height;
    height.target = u"NaviMain";
    height.id = 106;
    height.param1 = 240;
    height.param2 = 300;
    mark->ProcessCommand(height); // anchored to a 300-high screen: 224 without the arrow
    Refresh();
    EXPECT_EQ(mark->GetPos().x, 186);
    EXPECT_EQ(mark->GetPos().y, 300 - 76);
    SearchSampleRoute();
    CGuideInfo info;
    info.code = 5;
    info.distance = 300;
    m_view->SetGuideInfo(info);
    m_view->SetFollowing(true);
    Refresh();
    ASSERT_TRUE(m_view->GetMainScreen()->FindControl(u"Guide")->IsVisible());
    EXPECT_EQ(mark->GetPos().x, 186);
    EXPECT_EQ(mark->GetPos().y, 300 - 170);
    info.distance = 2500; // too far for an arrow
    m_view->SetGuideInfo(info);
    Refresh();
    EXPECT_EQ(mark->GetPos().y, 300 - 76);
}

// A re-route asked for by the received traffic: while it plans, the top line says so and the top
// bar gives way; when it ends the line goes back to the guidance. A re-route that finds the route
// busy leaves no mark behind.
TEST_F(MainViewOverlayTest, ATrafficReRouteTellsItRunsUntilItEnds) {
    Open();
    ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
    m_view->CreatePositionServices();
    m_config->SetValue(15, 1); // automatic traffic re-search
    m_config->SetValue(32, 1); // the broadcast receiver: traffic wanted
    m_config->SetValue(14, 1);
    CRouteManager& routes = m_view->GetRouteManager();
    const POINT s = SampleMapAt(4.25, 20.5), g = SampleMapAt(24.25, 22.5);
    ASSERT_GE(routes.SetStart(s.x, s.y, u"출발"), 1);
    ASSERT_GE(routes.SetGoal(g.x, g.y, u"도착"), 1);
    ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1);
    routes.AcceptSelectedResult();
    m_view->SetFollowing(true);
    auto* label = dynamic_cast<NaviLabel*>(m_view->GetMainScreen()->FindControl(u"시스템메세지"));
    NaviControl* bar = m_view->GetMainScreen()->FindControl(u"TrackBar");
    ASSERT_NE(label, nullptr);
    const CString trafficMessage = u"교통정보를 고려하여 재탐색합니다.";
    Refresh();
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(label->GetText(), CString());

    // The worker reads the reception level while it plans: there it waits for this thread.
    const std::thread::id ui = std::this_thread::get_id();
    std::mutex mutex;
    std::condition_variable cv;
    bool planning = false, resume = false;
    m_view->SetReceptionLevelSource([&] {
        if (std::this_thread::get_id() == ui) return 2;
        std::unique_lock<std::mutex> hold(mutex);
        planning = true;
        cv.notify_all();
        cv.wait(hold, [&] { return resume; });
        return 2;
    });
    auto release = [&] {
        std::lock_guard<std::mutex> hold(mutex);
        resume = true;
        cv.notify_all();
    };
    m_view->StartRerouteThread();
    {
        std::unique_lock<std::mutex> hold(mutex);
        const bool reached = cv.wait_for(hold, std::chrono::seconds(20), [&] { return planning; });
        if (!reached) {
            hold.unlock();
            release();
        }
        ASSERT_TRUE(reached) << "the re-route did not plan";
    }
    EXPECT_TRUE(m_view->IsTrafficReroutePending());
    Refresh();
    EXPECT_EQ(label->GetText(), trafficMessage);
    EXPECT_FALSE(bar->IsVisible());
    release();
    while (m_view->IsRerouteThreadRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    WinDispatchPending();
    EXPECT_FALSE(m_view->IsTrafficReroutePending());
    Refresh();
    EXPECT_EQ(label->GetText(), CString());
    EXPECT_TRUE(bar->IsVisible());

    // The route busy (a worker's hold on entry 1): the traffic re-route gives up and marks nothing.
    m_view->SetReceptionLevelSource([] { return 2; });
    {
        LockEntryHolder worker(*m_view->GetLockSet(), 1);
        ASSERT_TRUE(worker.Taken());
        m_view->RerouteWorker(true);
        EXPECT_FALSE(m_view->IsTrafficReroutePending());
        Refresh();
        EXPECT_EQ(label->GetText(), CString());
    }
    // A re-route for leaving the route is no traffic re-search.
    m_view->RerouteWorker(false);
    EXPECT_FALSE(m_view->IsTrafficReroutePending());
    m_config->SetValue(15, 0);
    m_config->SetValue(32, 0);
}

// While a route is followed without guidance, a remembered highway facility of the route is
// marked with the marker icon where the route leaves its link. The sample's route from national
// road 43 onto the expressway eastwards passes one facility of codes 2 to 4: the junction 누리JC
// (code 3), carried by the eastbound link that ends at the junction, at (20.5 km, 8.0 km).
TEST_F(MainViewOverlayTest, RememberedHighwayFacilitiesAreMarkedAtTheEndOfTheirLink) {
    m_config->SetValue(0, 0);
    Open();
    m_view->CreatePositionServices();
    ASSERT_TRUE(m_view->OpenMatchNetwork());
    ASSERT_NE(m_view->GetMarkIcon(), nullptr);
    ASSERT_TRUE(m_view->GetMarkIcon()->IsLoaded());
    SearchSampleRoute(SampleMapAt(11.8, 3.0), SampleMapAt(28.5, 8.0));
    if (HasFatalFailure()) return;
    CRouteManager& routes = m_view->GetRouteManager();
    const CRoutePath& path = *routes.SelectedRoute()->path;
    int count = 0;
    ASSERT_EQ(path.GetFacilityCount(count, CRoutePath::kCodeAllButJunction), 1);
    ASSERT_EQ(count, 1);
    RouteFacility junction;
    ASSERT_EQ(path.GetFacility(0, junction, CRoutePath::kCodeAllButJunction), 1);
    ASSERT_EQ(junction.entry.code, 3);

    const POINT exit = SampleMapAt(20.5, 8.0);
    m_view->MoveMapTo(exit.x, exit.y, 0);
    std::int32_t ex = exit.x, ey = exit.y;
    m_view->GetMapWnd().PointToScreen(ex, ey);
    m_view->SetFollowing(true);
    m_view->SetGuiding(false);
    // What phase 1 of the map's frame draws (the screen's status line changes between frames).
    auto frame = [&] {
        Compose();
        return PhaseCapture(*m_view, 1);
    };
    m_view->SetFacilityMarks(-1, -1);
    const std::vector<COLORREF> none = frame();
    const CMapMarkIcon& icon = *m_view->GetMarkIcon();
    // Either of the two remembered indices marks it.
    for (const POINT marks : {POINT{0, -1}, POINT{-1, 0}}) {
        m_view->SetFacilityMarks(marks.x, marks.y);
        const std::vector<COLORREF> marked = frame();
        // The node may sit a unit off a sheet border: a pixel either way.
        EXPECT_LE(std::abs(icon.GetPoint().x - ex), 1) << icon.GetPoint().x << " " << ex;
        EXPECT_LE(std::abs(icon.GetPoint().y - ey), 1) << icon.GetPoint().y << " " << ey;
        // The icon, 24 x 24 centred on the point, and nothing else changed.
        const RECT changed = Changed(none, marked);
        ASSERT_LE(changed.left, changed.right) << "no marker";
        EXPECT_GE(changed.left, ex - 13);
        EXPECT_GE(changed.top, ey - 13);
        EXPECT_LE(changed.right, ex + 13);
        EXPECT_LE(changed.bottom, ey + 13);
    }
    Compose();
    ASSERT_TRUE(SavePng("mainview_facility_mark.png"));
    // An index past the route's list marks nothing.
    m_view->SetFacilityMarks(count, -1);
    EXPECT_EQ(frame(), none);

    // No marker while guidance runs, while the map is off the vehicle, or while a worker holds
    // route-lock entry 0.
    m_view->SetFacilityMarks(0, -1);
    m_view->SetGuiding(true);
    EXPECT_EQ(frame(), none) << "guiding";
    m_view->SetGuiding(false);
    m_view->SetFollowing(false);
    const std::vector<COLORREF> away = frame();
    m_view->SetFacilityMarks(-1, -1);
    EXPECT_EQ(frame(), away) << "not following";
    m_view->SetFollowing(true);
    m_view->SetFacilityMarks(0, -1);
    {
        LockEntryHolder worker(*m_view->GetLockSet(), 0);
        ASSERT_TRUE(worker.Taken());
        EXPECT_EQ(frame(), none) << "entry 0 held";
    }
    EXPECT_NE(frame(), none);
}

// The point-of-interest bar takes its facilities from the category layer that setting 3 names
// (0 to 6); any other value (7, or the negative "show nothing") leaves the bar empty.
TEST_F(MainViewOverlayTest, ThePoiBarListsTheCategoryLayerOfSettingThree) {
    m_config->SetValue(0, 0);
    Open();
    auto* poiBar = dynamic_cast<NaviPoiBar*>(m_view->GetMainScreen()->FindControl(u"POIBAR"));
    ASSERT_NE(poiBar, nullptr);
    // Next to the service area 누리휴게소 (the rest-area layer, category 1).
    const POINT rest = SampleMapAt(6.0, 7.77);
    m_view->StopFollowing();
    m_view->MoveMapTo(rest.x, rest.y, 0);
    struct Case {
        int setting;
        const char16_t* name; // null: no entry
    };
    for (const Case c : {Case{1, u"누리휴게소"}, Case{7, nullptr}, Case{1, u"누리휴게소"}, Case{-3, nullptr}}) {
        m_config->SetValue(3, c.setting);
        Compose();
        const MapFeatureInfo& entry = poiBar->Entry(0);
        if (c.name) {
            ASSERT_GE(entry.distance, 0) << c.setting;
            EXPECT_EQ(Cp949ToUtf16(std::string(entry.name, strnlen(entry.name, sizeof entry.name))), c.name);
        } else {
            EXPECT_LT(entry.distance, 0) << c.setting;
        }
    }
}

} // namespace mainview_test
