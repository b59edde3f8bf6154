// The per-fix work of the main view: the GPS thread matches, records and guides, and everything
// the user sees follows on the user-interface thread, one piece per fix and in order. Fixes are
// fed from a thread of their own, as the GPS reader does, with the window system reporting any
// call on a window from that thread.
#include "MainViewFixture.h"

#include "app/HighwayPanel.h"
#include "app/LockSet.h"
#include "commondlg/NaviMessageBox.h"
#include "position/GuideManager.h"
#include "position/LocusRecorder.h"
#include "route/base/Coords.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviMainScreen.h"

#include <atomic>
#include <cmath>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace mainview_test;

SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)

namespace {

// An engine that puts every fix where the test says, with the fix-rate value it is given.
class FakeEngine : public CMapMatchBase {
public:
    explicit FakeEngine(int rate = 1) : rate(rate) {}
    int Match(GpsPosRecord, MatchResult& out, std::uint8_t* = nullptr, GpsPosRecord* = nullptr) override {
        ++matches;
        if (route.load()) ++matchesWithRoute;
        out = MatchResult{};
        out.status = status.load();
        out.mapId = mapId.load();
        out.linkIndex = linkIndex.load();
        out.hasFix = 1;
        out.x = x.load();
        out.y = y.load();
        out.heading = 90;
        out.moved = 5;
        return 0;
    }
    int GetFixInterval() override { return rate; }
    bool OpenNetwork(const char16_t*) override { return true; }
    void GetJunctionLookahead(JunctionLookahead&, JunctionLookahead&) override {}
    void SetRoutePath(const CRouteLinkQuery* r) override { route = r != nullptr; }
    int GetLinkEnd(int, int, int, std::int32_t&, std::int32_t&, std::int16_t&) override { return 0; }
    int GetJunctionName(int, int, int, char*, int) override { return 0; }
    void Reset() override { ++resets; }
    void SetLastResult(const MatchResult&) override {}
    void RequestRematch() override { ++rematches; }
    int GetFixQuality(const GpsPosRecord&) override { return 0; }
    const char16_t* GetStatusText() override { return nullptr; }

    const int rate;
    std::atomic<std::int32_t> x{45735368}, y{13536388};
    std::atomic<int> status{2};
    std::atomic<std::int16_t> mapId{-1}, linkIndex{-1};
    std::atomic<int> matches{0}, matchesWithRoute{0}, resets{0}, rematches{0};
    std::atomic<bool> route{false};
};

class MainViewFixTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        WinSetWrongThreadObserver([this](HWND, const char* call) {
            std::lock_guard lock(m_callsLock);
            m_wrongThreadCalls.push_back(call);
        });
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            m_boxes.push_back(text);
            return m_answer;
        });
    }
    void TearDown() override {
        EXPECT_TRUE(WrongThreadCalls().empty());
        WinSetWrongThreadObserver(nullptr);
        MainViewTest::TearDown();
    }

    // The view with its position services (the work queue on its window), fake engines and,
    // when asked, the trail on.
    void OpenWithEngines(int drivingRate = 1) {
        Open();
        m_view->CreatePositionServices();
        auto driving = std::make_unique<FakeEngine>(drivingRate);
        auto walking = std::make_unique<FakeEngine>(1);
        m_driving = driving.get();
        m_walking = walking.get();
        m_view->SetMatchEngines(std::move(driving), std::move(walking));
    }

    // count fixes on a thread of their own, as the GPS reader gives them.
    void FeedFixes(int count) {
        std::thread gps([this, count] {
            for (int i = 0; i < count; ++i) m_view->OnGpsFix(ValidFix());
        });
        gps.join();
    }
    // The user-interface thread runs what the fixes posted.
    void RunPosted() { WinDispatchPending(); }

    std::vector<std::string> WrongThreadCalls() {
        std::lock_guard lock(m_callsLock);
        return m_wrongThreadCalls;
    }

    // A car route across the sample's towns, searched, accepted and selected.
    void PlanRoute() {
        ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
        CRouteManager& routes = m_view->GetRouteManager();
        std::int32_t sx = 0, sy = 0, gx = 0, gy = 0;
        NetToMapCoord(45735368, 13536388, sx, sy);
        NetToMapCoord(45807691, 13542865, gx, gy);
        ASSERT_GE(routes.SetStart(sx, sy, u"출발"), 1);
        ASSERT_GE(routes.SetGoal(gx, gy, u"도착"), 1);
        ASSERT_EQ(routes.SearchRoute(), 0);
        routes.CommitRoute();
        routes.AcceptSelectedResult();
        ASSERT_NE(routes.SelectedRoute(), nullptr);
    }

    FakeEngine* m_driving = nullptr;
    FakeEngine* m_walking = nullptr;
    std::mutex m_callsLock;
    std::vector<std::string> m_wrongThreadCalls;
    std::vector<std::u16string> m_boxes;
    int m_answer = NaviMessageBox::kNo;
};

TEST_F(MainViewFixTest, TheMapReturnsToTheVehicleAfterFifteenFixesOverTheFixRate) {
    // {fix-rate value, fixes until the map follows the vehicle again}: 15 / rate when the rate is
    // positive, else 15.
    const struct {
        int rate;
        int fixes;
    } cases[] = {{5, 3}, {2, 7}, {1, 15}, {0, 15}, {-1, 15}};
    OpenWithEngines();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        auto driving = std::make_unique<FakeEngine>(c.rate);
        m_driving = driving.get();
        m_view->SetMatchEngines(std::move(driving), std::make_unique<FakeEngine>());
        m_view->SetLevel(9);
        m_doc->mapLevel = 6; // the level the return brings back
        m_view->StopFollowing();
        m_view->StartAutoReturn(); // the user moved the map
        FeedFixes(c.fixes - 1);
        RunPosted();
        EXPECT_FALSE(m_view->IsFollowing());
        EXPECT_EQ(m_view->GetAutoReturn(), c.fixes - 1);
        FeedFixes(1);
        // The GPS thread only posts: nothing changes until the user-interface thread runs it.
        EXPECT_FALSE(m_view->IsFollowing());
        RunPosted();
        EXPECT_TRUE(m_view->IsFollowing());
        EXPECT_EQ(m_view->GetAutoReturn(), CMainView::kAutoReturnStopped);
        EXPECT_EQ(m_view->GetMapLevel(), 6);
        // Stopped, the countdown stays stopped.
        m_view->StopFollowing();
        FeedFixes(20);
        RunPosted();
        EXPECT_FALSE(m_view->IsFollowing());
    }
}

TEST_F(MainViewFixTest, AChangedRouteBringsTheMapBackAtTheNextFix) {
    OpenWithEngines();
    m_view->StopFollowing();
    m_view->StopAutoReturn();
    FeedFixes(3);
    RunPosted();
    EXPECT_FALSE(m_view->IsFollowing());
    m_view->SetRouteChanged();
    FeedFixes(1);
    RunPosted();
    EXPECT_TRUE(m_view->IsFollowing());
}

TEST_F(MainViewFixTest, ThePedestrianSwitchHappensAtTheNextFixWhileASearchHoldsTheRoute) {
    OpenWithEngines();
    FeedFixes(1);
    EXPECT_EQ(m_driving->matches.load(), 1);
    EXPECT_EQ(m_driving->resets.load(), 1); // chosen at the first fix
    // A route search holds every entry of the lock set on the user-interface thread.
    ASSERT_TRUE(m_view->LockRouteForUser());
    m_view->EnterPedestrianMode();
    EXPECT_EQ(m_walking->resets.load(), 0); // nothing before the next fix
    FeedFixes(1);
    EXPECT_EQ(m_walking->resets.load(), 1);
    EXPECT_EQ(m_walking->matches.load(), 1);
    EXPECT_EQ(m_walking->matchesWithRoute.load(), 0); // matched without the route
    EXPECT_EQ(m_driving->matches.load(), 1);
    m_view->UnlockRoute();
    // Leaving without a pedestrian target asks nothing; the driving engine is back at the next fix.
    m_view->LeavePedestrianMode();
    EXPECT_TRUE(m_boxes.empty());
    FeedFixes(2);
    EXPECT_EQ(m_driving->resets.load(), 2);
    EXPECT_EQ(m_driving->matches.load(), 3);
    EXPECT_EQ(m_walking->matches.load(), 1);
    // The one-shot requests reach the engine in use once.
    m_view->RequestMatcherReset();
    m_view->RequestMatcherRematch();
    FeedFixes(2);
    EXPECT_EQ(m_driving->resets.load(), 3);
    EXPECT_EQ(m_driving->rematches.load(), 1);
    RunPosted();
    EXPECT_EQ(m_view->GetFixCount(), 6);
}

TEST_F(MainViewFixTest, TheRouteIsFollowedOnlyWhenItsEntryIsFree) {
    OpenWithEngines();
    PlanRoute();
    FeedFixes(1);
    EXPECT_EQ(m_driving->matchesWithRoute.load(), 1);
    EXPECT_FALSE(m_driving->route.load()); // not kept past the lock
    ASSERT_TRUE(m_view->LockRouteForUser());
    FeedFixes(1);
    EXPECT_EQ(m_driving->matchesWithRoute.load(), 1);
    EXPECT_EQ(m_driving->matches.load(), 2);
    m_view->UnlockRoute();
}

// Guidance on foot ends within 70 m of the destination.
class MainViewArrivalTest : public MainViewFixTest {
protected:
    void SetUp() override {
        MainViewFixTest::SetUp();
        OpenWithEngines();
        PlanRoute();
        ASSERT_NE(m_view->LoadGuidanceData(kDataFolder), CGuideManager::kVoiceFailed);
        ASSERT_NE(m_view->GetGuideManager(), nullptr);
        m_view->EnterPedestrianMode();
        // About 30 m east of the goal (0.27654 m a unit east-west).
        m_walking->x = 45807691 + 110;
        m_walking->y = 13542865;
    }
};

TEST_F(MainViewArrivalTest, GuidanceEndingWhileFollowingCancelsTheRouteOnce) {
    const POINT goal = m_view->GetRouteManager().GetGoalPos();
    EXPECT_EQ(m_view->GetPedestrianTarget().x, goal.x);
    EXPECT_EQ(m_view->GetPedestrianTarget().y, goal.y);
    m_view->StartFollowing();
    FeedFixes(1);
    EXPECT_EQ(m_view->GetArrivalCancels(), 0); // the GPS thread leaves it to the interface
    RunPosted();
    EXPECT_TRUE(m_view->IsArrived());
    EXPECT_EQ(m_view->GetArrivalCancels(), 1);
    // Still there at the next fixes: guidance did not run again, nothing more is cancelled.
    FeedFixes(2);
    RunPosted();
    EXPECT_EQ(m_view->GetArrivalCancels(), 1);
}

TEST_F(MainViewArrivalTest, GuidanceEndingWhileNotFollowingKeepsTheRoute) {
    // Not following: no guidance step at all, the route stays.
    m_view->StopFollowing();
    FeedFixes(3);
    RunPosted();
    EXPECT_FALSE(m_view->IsArrived());
    EXPECT_EQ(m_view->GetArrivalCancels(), 0);
    EXPECT_NE(m_view->GetRouteManager().SelectedRoute(), nullptr);
    // Following at the fix, but the user took the map off the vehicle before the interface ran
    // it: arrival is shown, the route stays.
    m_view->StartFollowing();
    FeedFixes(1);
    m_view->StopFollowing();
    RunPosted();
    EXPECT_TRUE(m_view->IsArrived());
    EXPECT_EQ(m_view->GetArrivalCancels(), 0);
    EXPECT_NE(m_view->GetRouteManager().SelectedRoute(), nullptr);
}

TEST_F(MainViewArrivalTest, OnFootTheBarShowsTheStraightDistanceAndEachFixAddsItsTravel) {
    auto* bar = dynamic_cast<NaviHighwayBar*>(m_view->GetMainScreen()->FindControl(u"TrackBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->Snapshot().pedestrian);
    // Metres from the target to the map centre: the sample's sheets measure 0.27654 m a unit
    // east-west and 0.30879 m north-south.
    const POINT target = m_view->GetPedestrianTarget();
    std::int32_t cx = 0, cy = 0, tx = 0, ty = 0, mx = 0, my = 0;
    m_view->GetMapWnd().GetCenter(cx, cy);
    MapToNetCoord(target.x, target.y, tx, ty);
    MapToNetCoord(cx, cy, mx, my);
    const double dx = 0.27654 * std::abs(double(tx) - mx), dy = 0.30879 * std::abs(double(ty) - my);
    EXPECT_EQ(bar->Snapshot().destDistance, std::trunc(std::sqrt(dx * dx + dy * dy)));
    const double before = bar->Snapshot().travelled;
    m_view->StopFollowing();
    FeedFixes(4);
    RunPosted();
    EXPECT_EQ(bar->Snapshot().travelled, before + 4 * 5); // the engine moves 5 m a fix
    // The vehicle and the document's last vehicle position are the matched position's.
    std::int32_t vx = 0, vy = 0;
    NetToMapCoord(m_walking->x, m_walking->y, vx, vy);
    EXPECT_EQ(m_doc->vehicleX, vx);
    EXPECT_EQ(m_doc->vehicleY, vy);
    m_view->LeavePedestrianMode();
    EXPECT_FALSE(bar->Snapshot().pedestrian);
}

TEST_F(MainViewArrivalTest, LeavingWithATargetAsksAndARefusalKeepsTheGoal) {
    const POINT goal = m_view->GetRouteManager().GetGoalPos();
    m_answer = NaviMessageBox::kNo;
    m_view->LeavePedestrianMode();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], u"보행자모드에서 설정하신 목적지를 차량용 모드의 목적지로 사용 하시겠습니까?");
    EXPECT_FALSE(m_view->IsPedestrianMode());
    EXPECT_EQ(m_view->GetPedestrianTarget().x, -1);
    EXPECT_EQ(m_view->GetRouteManager().GetGoalPos().x, goal.x);
    EXPECT_EQ(m_config->GetValue(2), 0);
}

TEST_F(MainViewFixTest, FixesAndUserActionsAtOnceStayApart) {
    // The trail on, so the GPS thread adds to it while the map draws it.
    m_config->SetValue(1, 1);
    OpenWithEngines();
    m_view->StartFollowing();
    constexpr int kFixes = 150;
    std::atomic<bool> done{false};
    std::thread gps([this, &done] {
        for (int i = 0; i < kFixes; ++i) {
            m_driving->x = 45735368 + i * 40; // 11 m a fix: every fix a trail point
            m_walking->x = 45735368 + i * 40;
            m_view->OnGpsFix(ValidFix());
        }
        done = true;
    });
    int turn = 0;
    while (!done.load()) {
        RunPosted();
        if (turn % 3 == 0) Compose();
        if (turn % 5 == 0) m_view->EnterPedestrianMode();
        if (turn % 5 == 2) m_view->LeavePedestrianMode();
        if (turn % 7 == 0) m_view->StopFollowing();
        if (turn % 7 == 3) m_view->StartFollowing();
        ++turn;
        std::this_thread::yield();
    }
    gps.join();
    RunPosted();
    Compose();
    EXPECT_EQ(m_view->GetFixCount(), kFixes);
    EXPECT_TRUE(m_view->GetLocus()->HasPoints());
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(MainViewFixTest, TheGpsClockCorrectsTheDeviceClock) {
    OpenWithEngines();
    // Device time: 2026-06-15 03:00:00 UTC, local +9 h (12:00).
    m_clock.SetUtc(1781492400000LL);
    const struct {
        int hour, minute, second;
        int offset;
    } cases[] = {
        {3, 0, 10, 10},      // GPS ten seconds ahead
        {2, 59, 0, -60},     // a minute behind
        {3, 0, 0, 0},
    };
    for (const auto& c : cases) {
        GpsPosRecord fix = ValidFix();
        fix.hour = static_cast<std::uint8_t>(c.hour);
        fix.minute = static_cast<std::uint8_t>(c.minute);
        fix.second = static_cast<std::uint8_t>(c.second);
        m_view->SyncGpsClock(fix);
        EXPECT_TRUE(m_view->IsGpsClockKnown());
        EXPECT_EQ(m_view->GetGpsClockOffset(), c.offset) << c.hour << ":" << c.minute << ":" << c.second;
    }
    // Across midnight: device 23:59:55 UTC, GPS already 00:00:05.
    m_clock.SetUtc(1781492400000LL + 20 * 3600000LL + 59 * 60000LL + 55000LL);
    GpsPosRecord fix = ValidFix();
    fix.hour = 0;
    fix.minute = 0;
    fix.second = 5;
    m_view->SyncGpsClock(fix);
    EXPECT_EQ(m_view->GetGpsClockOffset(), 10);
}

// Each fix tells the route planning where the vehicle is: a fix on a link makes the re-route
// start there, a fix off the network leaves it at the route's own start.
TEST_F(MainViewFixTest, TheMatchedVehicleIsWhereTheReRouteStarts) {
    OpenWithEngines();
    PlanRoute();
    CRouteManager& routes = m_view->GetRouteManager();
    // Copied: a re-route replaces the route and its path.
    const CPathLinkItem first = routes.SelectedRoute()->path->Items()[0];
    m_driving->mapId = static_cast<std::int16_t>(first.mapId);
    m_driving->linkIndex = static_cast<std::int16_t>(first.linkId);

    m_driving->status = 2; // a position, no link
    FeedFixes(1);
    RunPosted();
    m_view->RerouteWorker();
    EXPECT_EQ(routes.GetStartName(), CString(u"출발"));

    m_driving->status = 1; // on the route's first link
    GpsPosRecord moving = ValidFix();
    moving.speed = 300;
    std::thread gps([&] { m_view->OnGpsFix(moving); });
    gps.join();
    RunPosted();
    EXPECT_TRUE(m_view->IsCarMoving()); // the fix is the view's now
    m_view->RerouteWorker();
    EXPECT_EQ(routes.GetStartName(), CString(u"현위치"));
    const CRoute& edited = routes.EditedRoute();
    EXPECT_EQ(edited.start.mapId, first.mapId);
    EXPECT_EQ(edited.start.linkId, first.linkId);
    EXPECT_EQ(edited.header->start.x, m_driving->x.load());
    EXPECT_EQ(edited.header->start.y, m_driving->y.load());
}

// A highway panel the user holds (a page turned to) keeps the facilities it shows while fixes
// come; let go, the next fixes fill it from guidance again.
TEST_F(MainViewFixTest, AHeldHighwayPanelKeepsItsFacilities) {
    OpenWithEngines();
    PlanRoute();
    ASSERT_NE(m_view->LoadGuidanceData(kDataFolder), CGuideManager::kVoiceFailed);
    CHighwayPanel* panel = m_view->GetHighwayPanel();
    ASSERT_NE(panel, nullptr);
    m_view->StartFollowing();
    CGuideInfo shown;
    shown.facilityCount = 4;
    shown.rows = 1;
    shown.row[0].name = u"행복휴게소";
    shown.hasNext = true;
    shown.next.name = u"행복휴게소";

    panel->held = 1;
    FeedFixes(1);
    RunPosted(); // the panel's state as the next fix reads it
    m_view->SetGuideInfo(shown);
    FeedFixes(2);
    RunPosted();
    EXPECT_EQ(m_view->GetGuideInfo().facilityCount, 4);
    EXPECT_EQ(m_view->GetGuideInfo().row[0].name, u"행복휴게소");
    EXPECT_TRUE(m_view->GetGuideInfo().hasNext);

    // Off the highway nothing is ahead: released, the display empties.
    panel->held = 0;
    FeedFixes(1);
    RunPosted();
    FeedFixes(1);
    RunPosted();
    EXPECT_EQ(m_view->GetGuideInfo().facilityCount, 0);
    EXPECT_FALSE(m_view->GetGuideInfo().hasNext);

    // Paging holds the panel on the page turned to.
    panel->SetFacilityCount(6);
    NaviCommand up;
    up.target = u"위로";
    panel->ProcessEvent(up);
    EXPECT_EQ(panel->GetPageIndex(), 1);
    EXPECT_EQ(panel->held, 1);
}

// Device clocks in zones across midnight from UTC: whatever the zone, the correction is the GPS
// time less the device's UTC, and the map window gets it.
TEST_F(MainViewFixTest, TheGpsCorrectionHoldsInEveryZone) {
    OpenWithEngines();
    constexpr std::int64_t kDay = 1781481600000LL; // 2026-06-15 00:00:00 UTC
    constexpr std::int64_t kHour = 3600000LL, kMinute = 60000LL;
    const struct {
        const char* name;
        std::int64_t utc;
        int zoneMinutes;
        int gpsHour, gpsMinute, gpsSecond;
        int correction;
    } cases[] = {
        {"UTC 16:30:00, local 01:30:00", kDay + 16 * kHour + 30 * kMinute, 9 * 60, 16, 30, 5, 5},
        {"UTC 10:00:00, local 00:00:00 (+14 h)", kDay + 10 * kHour, 14 * 60, 9, 59, 58, -2},
        {"UTC 11:00:00, local 23:00:00 the day before (-12 h)", kDay + 11 * kHour, -12 * 60, 11, 0, 30, 30},
        {"UTC 20:00:00, local 01:30:00 (+5:30)", kDay + 20 * kHour, 5 * 60 + 30, 20, 0, 7, 7},
        {"UTC 23:59:58, GPS past midnight (-5 h)", kDay + 23 * kHour + 59 * kMinute + 58000, -5 * 60, 0, 0, 1, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedClock zoned(c.utc, c.zoneMinutes);
        InstallClock(&zoned);
        GpsPosRecord fix = ValidFix();
        fix.hour = static_cast<std::uint8_t>(c.gpsHour);
        fix.minute = static_cast<std::uint8_t>(c.gpsMinute);
        fix.second = static_cast<std::uint8_t>(c.gpsSecond);
        m_view->SyncGpsClock(fix);
        InstallClock(&m_clock);
        EXPECT_EQ(m_view->GetGpsClockOffset(), c.correction);
        EXPECT_EQ(m_view->GetMapWnd().GetTimeCorrection(), c.correction);
    }
}

} // namespace
