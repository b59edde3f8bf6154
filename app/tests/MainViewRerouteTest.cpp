// What the GPS reader's companion loops read of the main view and what their answers do to it:
// the traffic re-route watch's route state (the re-route countdown the guidance proposes while
// the car is off the route), the route monitor's state (off-route fixes in a row, the vehicle),
// the voice message and the receiver unit's connection. Fixes come from a thread of their own,
// as the GPS reader gives them; in the drive at the end the view's own watch and monitor loops
// run on theirs and the program plans again by itself once the car has left the route.
#include "MainViewFixture.h"

#include "app/LockSet.h"
#include "app/MainViewPosition.h"
#include "position/GuideManager.h"
#include "position/PositionWorkers.h"
#include "platform/sound/Sound.h"
#include "route/base/Coords.h"
#include "traffic/receiver/DARC.h"

#include <atomic>
#include <chrono>
#include <set>
#include <thread>
#include <utility>

using namespace mainview_test;

SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)

namespace {

// An engine that puts every fix on the link the test chooses, at the speed it chooses.
class PlacedEngine : public CMapMatchBase {
public:
    int Match(GpsPosRecord, MatchResult& out, std::uint8_t* = nullptr, GpsPosRecord* = nullptr) override {
        out = MatchResult{};
        out.status = 1;
        out.mapId = mapId.load();
        out.linkIndex = linkIndex.load();
        out.reverse = reverse.load();
        out.hasFix = 1;
        out.x = x.load();
        out.y = y.load();
        out.heading = 90;
        out.speedMps = speedMps.load();
        out.speedKmh = speedMps.load() * 36 / 10;
        return 0;
    }
    int GetFixInterval() override { return 1; }
    bool OpenNetwork(const char16_t*) override { return true; }
    void GetJunctionLookahead(JunctionLookahead&, JunctionLookahead&) override {}
    void SetRoutePath(const CRouteLinkQuery*) override {}
    int GetLinkEnd(int, int, int, std::int32_t&, std::int32_t&, std::int16_t&) override { return 0; }
    int GetJunctionName(int, int, int, char*, int) override { return 0; }
    void Reset() override {}
    void SetLastResult(const MatchResult&) override {}
    void RequestRematch() override {}
    int GetFixQuality(const GpsPosRecord&) override { return 50; }
    const char16_t* GetStatusText() override { return nullptr; }

    void Place(int map, int link, int direction) {
        mapId = static_cast<std::int16_t>(map);
        linkIndex = static_cast<std::int16_t>(link);
        reverse = static_cast<std::uint8_t>(direction);
    }

    // The route's start, far from its goal: off the route no arrival prompt ends guidance.
    std::atomic<std::int32_t> x{45735368}, y{13536388};
    std::atomic<std::int16_t> mapId{-1}, linkIndex{-1}, speedMps{0};
    std::atomic<std::uint8_t> reverse{0};
};

class MainViewRerouteTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        WinSetMessageBoxHandler([](HWND, const std::u16string&, const std::u16string&, UINT) { return IDOK; });
    }

    // The view with its position services and the placed engine for driving, a car route across
    // the sample's towns (searched, accepted, a car route), the guidance data, the map following
    // the vehicle, the off-route re-search on (setting 17) and no traffic.
    void OpenGuided() {
        Open();
        m_view->CreatePositionServices();
        auto driving = std::make_unique<PlacedEngine>();
        m_engine = driving.get();
        m_view->SetMatchEngines(std::move(driving), std::make_unique<PlacedEngine>());
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
        m_view->SetRouteMode(0x0F);
        ASSERT_NE(m_view->LoadGuidanceData(kDataFolder), CGuideManager::kVoiceFailed);
        m_view->StartFollowing();
        m_config->SetValue(14, 0);
        m_config->SetValue(17, 1);
        m_config->SetValue(32, 0);

        // On the route: its first link in its direction. Off it: a link of the same map that the
        // route does not use.
        const auto& items = routes.SelectedRoute()->path->Items();
        m_onRoute = {items[0].mapId, items[0].linkId, items[0].direction};
        std::set<int> used;
        for (int i = 0; i < items.Count(); ++i)
            if (items[i].mapId == items[0].mapId) used.insert(items[i].linkId);
        int free = 0;
        while (used.count(free)) ++free;
        m_offRouteLink = free;
    }

    void OnRoute(int speedMps) {
        m_engine->Place(m_onRoute.map, m_onRoute.link, m_onRoute.direction);
        m_engine->speedMps = static_cast<std::int16_t>(speedMps);
    }
    void OffRoute(int speedMps) {
        m_engine->Place(m_onRoute.map, m_offRouteLink, 0);
        m_engine->speedMps = static_cast<std::int16_t>(speedMps);
    }
    // count fixes on a thread of their own, as the GPS reader gives them.
    void FeedFixes(int count) {
        std::thread gps([this, count] {
            for (int i = 0; i < count; ++i) m_view->OnGpsFix(ValidFix());
        });
        gps.join();
    }

    PlacedEngine* m_engine = nullptr;
    struct {
        int map = 0, link = 0, direction = 0;
    } m_onRoute;
    int m_offRouteLink = 0;
};

// The watch's state over a guided car route: fixes on the route pass route points and propose
// no countdown; off the route each fix adds its speed (m/s) to the proposal, which the guidance's
// off-route message does not reset; every guided fix moves the route position.
TEST_F(MainViewRerouteTest, TheWatchReadsTheGuidedRouteAndTheWayDrivenOffIt) {
    OpenGuided();
    CMainViewPosition answers(*m_view);

    const RerouteWatchState before = answers.RerouteState();
    EXPECT_TRUE(before.hasRoute);
    EXPECT_FALSE(before.searchRunning);
    EXPECT_FALSE(before.fixPresent); // no fix yet
    EXPECT_FALSE(before.guiding);
    EXPECT_EQ(before.driveMode, 1);
    EXPECT_EQ(before.countdown, 0);
    EXPECT_EQ(before.routePointsPassed, 0);

    OnRoute(15);
    FeedFixes(2);
    const RerouteWatchState on = answers.RerouteState();
    EXPECT_TRUE(on.fixPresent);
    EXPECT_TRUE(on.guiding);
    EXPECT_TRUE(on.rerouteAllowed);
    EXPECT_FALSE(on.pedestrian);
    EXPECT_EQ(on.routePointsPassed, 2);
    EXPECT_EQ(on.guidanceCountdown, 0);
    EXPECT_GT(on.rerouteDistance, 1000); // the goal lies kilometres away
    EXPECT_EQ(answers.MonitorState().offRouteCount, 0);

    // Off the route at 20, 20 and 25 m/s: 65 m driven off it (the off-route message after the
    // second fix clears only the guidance's own sum).
    int position = on.routePosition;
    const struct {
        int speed;
        int proposal;
        int fixesInARow;
    } steps[] = {{20, 20, 1}, {20, 40, 2}, {25, 65, 3}};
    for (const auto& step : steps) {
        OffRoute(step.speed);
        FeedFixes(1);
        const RerouteWatchState s = answers.RerouteState();
        EXPECT_EQ(s.guidanceCountdown, step.proposal) << step.speed;
        EXPECT_NE(s.routePosition, position);
        position = s.routePosition;
        EXPECT_EQ(s.routePointsPassed, 2);
        EXPECT_EQ(answers.MonitorState().offRouteCount, step.fixesInARow);
    }

    // Back on the route: nothing proposed, the row of off-route fixes ends.
    OnRoute(15);
    FeedFixes(1);
    EXPECT_EQ(answers.RerouteState().guidanceCountdown, 0);
    EXPECT_EQ(answers.MonitorState().offRouteCount, 0);
    EXPECT_EQ(answers.RerouteState().routePointsPassed, 3);

    // The countdown the watch sets is the one it reads.
    answers.SetRerouteCountdown(37);
    EXPECT_EQ(answers.RerouteState().countdown, 37);
    WinDispatchPending();
}

// While the user's own route operation holds the lock set, the watch sees a search running and
// no route, and reads nothing of the route manager; on foot and without a car route the drive
// mode and the pedestrian flag say so.
TEST_F(MainViewRerouteTest, ABusyRouteAndOtherModesKeepTheWatchFromReRouting) {
    OpenGuided();
    CMainViewPosition answers(*m_view);
    ASSERT_TRUE(m_view->LockRouteForUser());
    const RerouteWatchState busy = answers.RerouteState();
    EXPECT_TRUE(busy.searchRunning);
    EXPECT_FALSE(busy.hasRoute);
    EXPECT_FALSE(busy.rerouteAllowed);
    m_view->UnlockRoute();
    EXPECT_TRUE(answers.RerouteState().hasRoute);

    m_view->SetResearchRunning(true);
    EXPECT_FALSE(answers.RerouteState().rerouteAllowed);
    EXPECT_TRUE(answers.RerouteState().researchRunning);
    m_view->SetResearchRunning(false);

    m_view->SetRouteMode(0xBB); // a bus route
    EXPECT_EQ(answers.RerouteState().driveMode, 0);
    m_view->SetRouteMode(0x0F);
    m_view->SetPedestrianMode(true);
    EXPECT_TRUE(answers.RerouteState().pedestrian);
    m_view->SetPedestrianMode(false);
}

// The monitor's answers: the off-route state round trip, the vehicle in map coordinates with its
// heading and road, the heading sector it sets, the GPS state it reads; and the exit's
// device-active mark.
TEST_F(MainViewRerouteTest, TheMonitorReadsTheVehicleAndKeepsItsOffRouteState) {
    OpenGuided();
    CMainViewPosition answers(*m_view);
    EXPECT_FALSE(answers.IsOffRoute());
    answers.SetOffRoute(true);
    EXPECT_TRUE(answers.IsOffRoute());
    answers.SetOffRoute(false);
    EXPECT_FALSE(answers.IsOffRoute());

    EXPECT_FALSE(answers.MonitorState().vehicleValid);
    EXPECT_EQ(answers.MonitorState().roadId, -1);
    OnRoute(10);
    FeedFixes(1);
    const RouteMonitorState s = answers.MonitorState();
    EXPECT_TRUE(s.vehicleValid);
    std::int32_t mx = 0, my = 0;
    NetToMapCoord(m_engine->x.load(), m_engine->y.load(), mx, my);
    EXPECT_EQ(s.vehicleX, mx);
    EXPECT_EQ(s.vehicleY, my);
    EXPECT_EQ(s.heading, 90);
    EXPECT_EQ(s.roadId, (m_onRoute.map << 16) | m_onRoute.link);
    EXPECT_TRUE(s.followOption);
    EXPECT_TRUE(s.guidedOrSimulated);

    answers.SetHeadingSector(9);
    EXPECT_EQ(m_view->GetHeadingIndex(), 9);
    m_view->SetGpsState(0);
    EXPECT_EQ(answers.MonitorState().gpsState, 0);
    m_view->SetGpsState(73);
    EXPECT_EQ(answers.MonitorState().gpsState, 73);

    EXPECT_EQ(m_view->GetDeviceActive(), 1);
    answers.SetDeviceActive(0);
    EXPECT_EQ(m_view->GetDeviceActive(), 0);
    WinDispatchPending();
}

// The receiver unit's connection and the GPS score reach the broadcast decoder (the connection
// the monitor as well); the watch's announcement plays the guidance's message 20.
TEST_F(MainViewRerouteTest, TheConnectionReachesTheDecoderAndMessageTwentyIsPlayed) {
    OpenGuided();
    CMainViewPosition answers(*m_view);
    for (int connected : {1, 0}) {
        answers.SetBroadcastConnected(connected);
        int state = -5;
        ASSERT_TRUE(CDARC::instance()->IsDARCConnected(state));
        EXPECT_EQ(state, connected);
        EXPECT_EQ(answers.MonitorState().broadcastConnected, connected);
    }
    for (int score : {87, 0}) {
        answers.SetBroadcastGpsScore(score);
        EXPECT_EQ(CDARC::instance()->GetGPSScore(), score);
    }
    m_config->SetValue(32, 1);
    EXPECT_TRUE(answers.MonitorState().broadcastReceiverOn);

    auto recorder = std::make_shared<SoundRecorder>();
    SoundSetOutput(recorder);
    struct Silence {
        ~Silence() { SoundSetOutput(nullptr); }
    } silence;
    answers.PlayMessage(20);
    const std::vector<SoundClip> played = recorder->Take();
    ASSERT_EQ(played.size(), 1u);
    ASSERT_TRUE(m_view->GetGuideManager()->Voice().PlayMessage(20));
    const std::vector<SoundClip> expected = recorder->Take();
    ASSERT_EQ(expected.size(), 1u);
    EXPECT_EQ(SoundHash(played[0].image), SoundHash(expected[0].image));
}

// The announcement's clock: whole minutes since the watch first saw the route, counted within the
// hour, from 0 again for a new route; the traffic the watch reads is the configuration's and the
// route's.
TEST_F(MainViewRerouteTest, TheWatchTimesTheRouteWithinTheHour) {
    OpenGuided();
    CMainViewPosition answers(*m_view);
    const struct {
        std::uint64_t afterMs;
        std::int64_t minutes;
    } steps[] = {{0, 0}, {59'999, 0}, {1, 1}, {4 * 60'000, 5}, {55 * 60'000, 0}, {7 * 60'000 + 30'000, 7}};
    for (const auto& step : steps) {
        m_clock.Advance(step.afterMs);
        EXPECT_EQ(answers.RerouteState().minutesSinceRoute, step.minutes) << step.afterMs;
    }
    // Planned again: a new route, timed from now.
    CRouteManager& routes = m_view->GetRouteManager();
    ASSERT_EQ(routes.SearchRoute(), 0);
    routes.CommitRoute();
    routes.AcceptSelectedResult();
    EXPECT_EQ(answers.RerouteState().minutesSinceRoute, 0);
    m_clock.Advance(3 * 60'000);
    EXPECT_EQ(answers.RerouteState().minutesSinceRoute, 3);

    EXPECT_FALSE(answers.RerouteState().broadcastTrafficOn);
    EXPECT_FALSE(answers.RerouteState().trafficInfoValid);
    m_config->SetValue(14, 1);
    m_config->SetValue(32, 1);
    m_config->SetTrafficValidFlag(1);
    EXPECT_TRUE(answers.RerouteState().broadcastTrafficOn);
    EXPECT_TRUE(answers.RerouteState().trafficInfoValid);
    EXPECT_EQ(answers.RerouteState().routeUsesTraffic, routes.SelectedRoute()->useTraffic != 0);
    m_config->SetTrafficValidFlag(0);
}

// The drive: the view's own re-route watch and route monitor run on their threads while the car
// follows the route and then leaves it. Three off-route fixes set the monitor's off-route state;
// once 51 m or more were driven off the route the watch plans again by itself, from the link the
// car is on, and the new route's guidance starts counting from 0.
TEST_F(MainViewRerouteTest, LeavingTheRouteMakesTheProgramPlanAgainByItself) {
    OpenGuided();
    CRouteManager& routes = m_view->GetRouteManager();
    const CRoute* before = routes.SelectedRoute();
    CPositionWorkers* workers = m_view->GetPositionWorkers();
    ASSERT_NE(workers, nullptr);
    std::thread watch([workers] { workers->TrafficRerouteThread(); });
    std::thread monitor([workers] { workers->RouteMonitorThread(); });
    struct Join {
        CPositionWorkers* workers;
        std::thread& a;
        std::thread& b;
        ~Join() {
            workers->Stop().Signal();
            if (a.joinable()) a.join();
            if (b.joinable()) b.join();
        }
    } join{workers, watch, monitor};
    const auto waitFor = [](const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return done();
    };

    // The reader shows each fix's quality (a GPS state of 0 would clear the off-route state).
    m_view->SetGpsState(50);
    OnRoute(15);
    FeedFixes(3);
    // Off the route at 20 m/s: 40 m after two fixes is not yet enough.
    OffRoute(20);
    FeedFixes(2);
    ASSERT_TRUE(waitFor([&] { return m_view->GetRerouteCountdown() == 40; }));
    EXPECT_EQ(routes.SelectedRoute(), before);
    EXPECT_FALSE(m_view->IsOffRoute());
    // The third: 60 m, three off-route fixes in a row.
    FeedFixes(1);
    EXPECT_TRUE(waitFor([&] { return m_view->IsOffRoute(); }));
    // The route is read under the whole lock set, as the re-route worker writes it under it.
    ASSERT_TRUE(waitFor([&] {
        CLockSet& locks = *m_view->GetLockSet();
        if (!locks.Lock(-1, 10)) return false;
        const bool replaced = routes.SelectedRoute() != before;
        locks.Unlock(-1);
        return replaced && !m_view->IsResearchRunning();
    }));
    EXPECT_EQ(routes.GetStartName(), CString(u"현위치"));
    const CRoute& edited = routes.EditedRoute();
    EXPECT_EQ(edited.start.mapId, m_onRoute.map);
    EXPECT_EQ(edited.start.linkId, m_offRouteLink);
    EXPECT_EQ(m_view->GetRerouteCountdown(), 0);
    EXPECT_EQ(m_view->GetGuideManager()->OffRouteSumTotal(), 0);
    // The worker let the whole set go (the watch still takes entry 1 for a moment each cycle).
    ASSERT_TRUE(m_view->GetLockSet()->Lock(-1, 2000));
    m_view->GetLockSet()->Unlock(-1);
    // The loops stop before the window work they posted is run: while they run they may post
    // faster than a slow build paints.
    workers->Stop().Signal();
    watch.join();
    monitor.join();
    WinDispatchPending();
}

} // namespace
