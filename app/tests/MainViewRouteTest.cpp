// The main view's route search on the sample device with the real route engine: the engine's
// failures as the user sees them, the option panel, the start and waypoint questions, traffic
// use by reception, the route points, the re-search guard and the lock set held by a worker.
#include "MainViewFixture.h"

#include "app/LockSet.h"
#include "app/MainViewRoutes.h"
#include "app/NaviApp.h"
#include "app/RecentDestList.h"
#include "app/RouteOptionListener.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/sound/Sound.h"
#include "position/GuideManager.h"
#include "route/base/Coords.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviRouteBars.h"
#include "tools/mkdevice/Networks.h"

#include <deque>
#include <atomic>
#include <chrono>
#include <functional>
#include <filesystem>
#include <thread>

namespace mainview_test {

SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)

namespace {

// A place of the sample region, km east and north of its south-west corner, in map coordinates.
POINT At(double east, double north) {
    const mkdev::NetPoint n = mkdev::KmToNet(45720000, 13470000, east, north);
    std::int32_t x = 0, y = 0;
    NetToMapCoord(n.x, n.y, x, y);
    return POINT{x, y};
}

class RouteViewTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT type) {
            shown.push_back(text);
            types.push_back(type);
            if (answers.empty()) return NaviMessageBox::kYes;
            const int a = answers.front();
            answers.pop_front();
            return a;
        });
        Open();
        m_view->CreatePositionServices();
        ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
        m_config->SetValue(12, 1);
        // Found routes go into the recent destinations, as after start-up.
        navi::g_recentDestPath = CRecentDestList::FilePath(navi::g_deviceType, *m_config);
        // The route information a new search opens is left with "안내시작".
        routes_dialogs::SetRouteInfoRunner([](CRouteInfoDlg&) { return 6; });
    }
    void TearDown() override {
        navi::g_recentDestPath = CString();
        CRecentDestList::Instance().Clear();
        routes_dialogs::SetRouteInfoRunner(nullptr);
        CRouteOptionListener::SetPanelRunner(nullptr);
        WinSetMessageBoxHandler(nullptr);
        MainViewTest::TearDown();
    }
    CRouteManager& Routes() { return m_view->GetRouteManager(); }
    int Start(double e, double n) {
        const POINT p = At(e, n);
        return Routes().SetStart(p.x, p.y, u"출발");
    }
    int Goal(double e, double n) {
        const POINT p = At(e, n);
        return Routes().SetGoal(p.x, p.y, u"도착");
    }
    int Via(double e, double n) {
        const POINT p = At(e, n);
        return Routes().InsertWaypoint(p.x, p.y, u"경유", Routes().GetWaypointCount());
    }
    std::u16string Last() const { return shown.empty() ? u"" : shown.back(); }

    std::vector<std::u16string> shown;
    std::vector<UINT> types;
    std::deque<int> answers;
};


constexpr const char16_t* kResearchText = u"재탐색 실행 중입니다.";

// The engine's failures reach the user as the notice of their code, and no route is taken.
TEST_F(RouteViewTest, EngineFailuresShowTheirNotices) {
    struct Case {
        const char* name;
        std::function<void()> setUp;
        bool optionPanel;
        const char16_t* text;
    };
    const std::vector<Case> cases = {
        {"no goal", [&] { ASSERT_GE(Start(11.8, 11.5), 1); }, false, u"목적지가 설정되어 있지 않습니다."},
        {"the vehicle stands on the goal",
         [&] {
             // Nearer the second end of 중앙로's link, where the vehicle's link position lies too.
             ASSERT_GE(Goal(11.8, 11.7), 1);
             const CRoute& edited = Routes().EditedRoute();
             GpsPosRecord fix;
             fix.status = 'A';
             m_view->SetFix(fix, true);
             m_view->SetMatchedVehicle(edited.goal.mapId, edited.goal.linkId,
                                       static_cast<std::int8_t>(edited.goal.extra), edited.header->goal.x,
                                       edited.header->goal.y);
         },
         false, u"주변에 설정된 지점이 있습니다. 지점을 확인하시기 바랍니다."},
        {"reverse with a waypoint",
         [&] {
             ASSERT_GE(Start(10.6, 10.3), 1);
             ASSERT_GE(Via(12.1, 11.8), 1);
             ASSERT_GE(Goal(13.6, 12.7), 1);
             CRouteOptionListener::SetPanelRunner([](CRouteOptionListener& panel) {
                 NaviCommand reverse;
                 reverse.target = u"역방향탐색";
                 reverse.id = kCmdTapped;
                 panel.ProcessEvent(reverse);
             });
         },
         true, u"경유지가 포함되어 있는 경우 역방향 탐색을 할 수 없습니다."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Routes().ClearRoute();
        Routes().ClearResults();
        m_view->SetFix(GpsPosRecord{}, false);
        shown.clear();
        c.setUp();
        EXPECT_EQ(m_view->SearchRoute(c.optionPanel, 15, false), 0);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], c.text);
        EXPECT_EQ(types[types.size() - 1], kSkinnedNotice);
        EXPECT_EQ(Routes().GetRouteCount(), 0);
        EXPECT_EQ(m_view->GetRouteMode(), 0);
        EXPECT_FALSE(m_view->IsSearchRunning());
        CRouteOptionListener::SetPanelRunner(nullptr);
    }
}

// The sample's road network with a triangle of roads of its own, joined to nothing, 5 km east
// and 5 km north of the corner; the sample's network is back when the object goes.
class IslandNetwork {
public:
    IslandNetwork() {
        namespace fs = std::filesystem;
        fs::remove_all(m_backup);
        fs::copy(m_mrData, m_backup, fs::copy_options::recursive);
        mkdev::NetModel model = mkdev::BuildSampleRegion();
        // A triangle, so that its crossings can be waypoints.
        const mkdev::NetPoint a = mkdev::KmToNet(45720000, 13470000, 5.0, 5.0);
        const mkdev::NetPoint b = mkdev::KmToNet(45720000, 13470000, 5.6, 5.0);
        const mkdev::NetPoint c = mkdev::KmToNet(45720000, 13470000, 5.3, 5.5);
        const int na = model.AddNode(a.x, a.y), nb = model.AddNode(b.x, b.y), nc = model.AddNode(c.x, c.y);
        model.AddLink(na, nb, mkdev::RoadType::TownStreet);
        model.AddLink(nb, nc, mkdev::RoadType::TownStreet);
        model.AddLink(nc, na, mkdev::RoadType::TownStreet);
        fs::remove_all(m_mrData);
        fs::create_directories(m_mrData);
        model.Write(m_mrData.string());
    }
    ~IslandNetwork() {
        std::filesystem::remove_all(m_mrData);
        std::filesystem::rename(m_backup, m_mrData);
    }

private:
    std::filesystem::path m_mrData = DeviceRoot::Resolve(std::u16string(kDataFolder) + u"\\MRData");
    std::filesystem::path m_backup = m_mrData.parent_path() / "MRData.kept";
};

constexpr const char16_t* kUnreachableText = u"경로상에 가지못하는 도로가 있으니,지점을 재설정하여 주십시오.";

TEST_F(RouteViewTest, AnUnreachableGoalShowsTheRoadNotice) {
    IslandNetwork island;
    ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
    ASSERT_GE(Start(11.8, 11.5), 1);
    ASSERT_GE(Goal(5.3, 5.0), 1);
    EXPECT_FALSE(m_view->RunRouteSearch(false));
    EXPECT_EQ(Last(), kUnreachableText);
    EXPECT_EQ(Routes().GetRouteCount(), 0);
}

// A waypoint the route cannot reach is taken out again; the route stays as it was.
TEST_F(RouteViewTest, AnUnreachableWaypointIsTakenOutAgain) {
    IslandNetwork island;
    ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
    ASSERT_GE(Start(10.6, 10.3), 1);
    ASSERT_GE(Goal(13.6, 12.7), 1);
    ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1);
    const std::int32_t length = Routes().SelectedRoute()->path->TotalLength();
    const POINT p = At(5.3, 5.0);
    EXPECT_FALSE(m_view->AddWaypoint(p.x, p.y, u"섬"));
    EXPECT_EQ(Last(), kUnreachableText);
    EXPECT_EQ(Routes().GetWaypointCount(), 0);
    ASSERT_EQ(Routes().GetRouteCount(), 1);
    EXPECT_EQ(Routes().SelectedRoute()->path->TotalLength(), length);
}

NaviCommand Tap(const char16_t* target, int param1 = -1) {
    NaviCommand cmd;
    cmd.target = target;
    cmd.id = kCmdTapped;
    cmd.param1 = param1;
    return cmd;
}

// Every settings file on the device, so a test can tell that one was written.
std::vector<std::filesystem::path> SettingsFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(DeviceRoot::Resolve(u"\\")))
        if (e.is_regular_file() && e.path().filename() == "config.bin") files.push_back(e.path());
    return files;
}

// The panel closed by "현위치" or "이전" searches nothing, but what was changed in it is kept
// and saved; "경로탐색" searches.
TEST_F(RouteViewTest, OptionPanelClosedWithoutSearchingKeepsItsSettings) {
    for (const char16_t* button : {u"현위치", u"이전", u"경로탐색"}) {
        SCOPED_TRACE(Cp949ToUtf8(Utf16ToCp949(button)));
        const bool searches = std::u16string(button) == u"경로탐색";
        m_config->SetValue(12, 1);
        for (const auto& f : SettingsFiles()) std::filesystem::remove(f);
        Routes().ClearRoute();
        Routes().ClearResults();
        shown.clear();
        ASSERT_GE(Start(10.6, 10.3), 1);
        ASSERT_GE(Goal(13.6, 12.7), 1);
        CRouteOptionListener::SetPanelRunner([&](CRouteOptionListener& panel) {
            NaviCommand row = Tap(u"우선탐색그룹", 2);
            panel.ProcessEvent(row);
            NaviCommand close = Tap(button);
            panel.ProcessEvent(close);
        });
        EXPECT_EQ(m_view->SearchRoute(true, 15, false), searches ? 1 : 0);
        EXPECT_TRUE(shown.empty());
        EXPECT_EQ(Routes().GetRouteCount(), searches ? 1 : 0);
        EXPECT_EQ(m_config->GetValue(12), 3);
        EXPECT_EQ(m_view->GetRouteOptionValue(), 3);
        // The settings file holds the new priority.
        const auto files = SettingsFiles();
        ASSERT_EQ(files.size(), 1u);
        std::uint8_t expected[CNaviConfig::kFileSize];
        m_config->PackSettings(expected);
        std::ifstream in(files[0], std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(bytes, std::vector<std::uint8_t>(expected, expected + CNaviConfig::kFileSize));
        if (searches) EXPECT_EQ(Routes().SelectedRoute()->header->kind, 3);
    }
}

// The panel's presets as it is built, and the values its controls report.
TEST_F(RouteViewTest, OptionPanelRecord) {
    CRouteOptionListener panel(nullptr, 2, 1);
    EXPECT_EQ(panel.Get(CRouteOptionListener::kPriority), 2);
    EXPECT_EQ(panel.Get(CRouteOptionListener::kUseTraffic), 1);
    EXPECT_EQ(panel.Get(CRouteOptionListener::kSave), 1);
    NaviCommand cmd = Tap(u"교통정보반영그룹", 1);
    panel.ProcessEvent(cmd);
    EXPECT_EQ(panel.Get(CRouteOptionListener::kUseTraffic), 0);
    cmd = Tap(u"교통정보반영그룹", 0);
    panel.ProcessEvent(cmd);
    EXPECT_EQ(panel.Get(CRouteOptionListener::kUseTraffic), 1);
    cmd = Tap(u"탐색옵션 저장", 0);
    panel.ProcessEvent(cmd);
    EXPECT_EQ(panel.Get(CRouteOptionListener::kSave), 0);
    cmd = Tap(u"역방향탐색");
    panel.ProcessEvent(cmd);
    EXPECT_EQ(panel.Get(CRouteOptionListener::kReverse), 1);
    EXPECT_EQ(panel.Get(CRouteOptionListener::kSearch), 0);
}

// After a route with a waypoint, a new search asks whether to keep the waypoints: only "no"
// drops them, and the main screen's waypoint bar is emptied with them.
TEST_F(RouteViewTest, ExistingWaypointsQuestion) {
    for (int answer : {NaviMessageBox::kNo, NaviMessageBox::kYes}) {
        SCOPED_TRACE(answer);
        Routes().ClearRoute();
        Routes().ClearResults();
        ASSERT_GE(Start(10.6, 10.3), 1);
        ASSERT_GE(Via(12.1, 11.8), 1);
        ASSERT_GE(Goal(13.6, 12.7), 1);
        ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1);
        m_view->AcceptRoute(0);
        auto* bar = dynamic_cast<NaviWaypointBar*>(m_view->GetMainScreen()->FindControl(u"경유지설정"));
        ASSERT_NE(bar, nullptr);
        ASSERT_EQ(bar->GetCount(), 1);
        shown.clear();
        // Keep the old start, then the waypoint question.
        answers = {NaviMessageBox::kNo, answer};
        EXPECT_EQ(m_view->SearchRoute(false, 15, false), 1);
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0], u"현위치로 출발지를 설정하시겠습니까?");
        EXPECT_EQ(shown[1], u"기존 경유지를 포함하시겠습니까?");
        const int kept = answer == NaviMessageBox::kYes ? 1 : 0;
        EXPECT_EQ(Routes().GetWaypointCount(), kept);
        EXPECT_EQ(bar->GetCount(), kept);
        EXPECT_EQ(Routes().SelectedRoute()->header->waypoints[0].IsSet(), kept == 1);
    }
}

// Traffic weights a search when it is wanted and either the broadcast is received well (level 2
// or more) or the downloaded traffic is valid.
TEST_F(RouteViewTest, TrafficUseByReceptionAndDownload) {
    struct Case {
        const char* name;
        int broadcastReceiver; // setting 32
        int useTraffic;        // setting 14
        int downloadValid;
        int level;
        int expected;
    };
    const Case cases[] = {
        {"broadcast at level 1", 1, 1, 0, 1, 0},
        {"broadcast at level 0", 1, 1, 0, 0, 0},
        {"broadcast at level 2", 1, 1, 0, 2, 1},
        {"valid download at level 1", 0, 1, 1, 1, 1},
        {"valid download, traffic not wanted", 0, 0, 1, 3, 0},
        {"nothing at level 3", 0, 1, 0, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_config->SetValue(32, c.broadcastReceiver);
        m_config->SetValue(14, c.useTraffic);
        m_config->SetTrafficValidFlag(static_cast<std::uint8_t>(c.downloadValid));
        m_view->SetReceptionLevelSource([level = c.level] { return level; });
        ASSERT_GE(Start(10.6, 10.3), 1);
        ASSERT_GE(Goal(13.6, 12.7), 1);
        ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1);
        EXPECT_EQ(Routes().SelectedRoute()->useTraffic, c.expected);
    }
}

// The start and destination shown on the map at the seventh level in use; in pedestrian mode
// the destination is the pinned target.
TEST_F(RouteViewTest, ShowRoutePointCentresOnThePoint) {
    // Without a destination: the notice, the map stays.
    const std::int32_t x = m_doc->mapX;
    m_view->ShowRoutePoint(3002);
    EXPECT_EQ(Last(), u"목적지가 설정되어 있지 않습니다.");
    EXPECT_EQ(m_doc->mapX, x);
    shown.clear();

    // The route keeps its points in network coordinates: the map gets them back from there.
    auto kept = [](POINT p) {
        std::int32_t nx = 0, ny = 0;
        MapToNetCoord(p.x, p.y, nx, ny);
        NetToMapCoord(nx, ny, nx, ny);
        return POINT{nx, ny};
    };
    const POINT start = kept(At(10.6, 10.3)), goal = kept(At(13.6, 12.7)), target = At(12.4, 10.6);
    ASSERT_GE(Start(10.6, 10.3), 1);
    ASSERT_GE(Goal(13.6, 12.7), 1);
    Routes().SetPinnedPoint(target.x, target.y);
    const int level = m_view->StepToLevel(7);
    ASSERT_GT(level, 0);
    struct Case {
        const char* name;
        bool pedestrian;
        int which;
        POINT expected;
    } cases[] = {{"start", false, 3001, start}, {"destination", false, 3002, goal},
                 {"pedestrian target", true, 3002, target}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_view->SetLevel(3);
        m_view->SetPedestrianMode(c.pedestrian);
        m_view->StartFollowing();
        m_view->ShowRoutePoint(c.which);
        EXPECT_FALSE(m_view->IsFollowing());
        EXPECT_EQ(m_view->GetMapLevel(), level);
        EXPECT_EQ(m_doc->mapX, c.expected.x);
        EXPECT_EQ(m_doc->mapY, c.expected.y);
    }
    EXPECT_TRUE(shown.empty());
}

// While a re-search runs the user's route operations only say so.
TEST_F(RouteViewTest, ARunningResearchRefusesRouteOperations) {
    ASSERT_GE(Start(10.6, 10.3), 1);
    ASSERT_GE(Via(12.1, 11.8), 1);
    ASSERT_GE(Goal(13.6, 12.7), 1);
    ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1);
    m_view->SetResearchRunning(true);
    const POINT p = At(12.4, 10.6);
    const std::vector<std::pair<const char*, std::function<void()>>> operations = {
        {"search and show", [&] { m_view->SearchRouteAndShow(); }},
        {"reset route", [&] { m_view->ResetRoute(); }},
        {"cancel route", [&] { m_view->CancelRoute(false, false); }},
        {"add waypoint", [&] { m_view->AddWaypoint(p.x, p.y, u"경유"); }},
        {"delete waypoint", [&] { m_view->DeleteWaypoint(0); }},
        {"start guidance", [&] { m_view->StartGuidance(); }},
    };
    for (const auto& [name, run] : operations) {
        SCOPED_TRACE(name);
        shown.clear();
        run();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], kResearchText);
        EXPECT_EQ(Routes().GetRouteCount(), 1);
        EXPECT_EQ(Routes().GetWaypointCount(), 1);
        EXPECT_FALSE(m_view->GetMainScreen()->IsRouteResultMode());
    }
}

// A worker holding the lock set for a moment delays the user's search and accept; they are
// not lost. Held past a second, the search gives up without a word.
TEST_F(RouteViewTest, TheUsersSearchWaitsForABriefHold) {
    CLockSet& locks = *m_view->GetLockSet();
    for (int holdMs : {300, 1500}) {
        SCOPED_TRACE(holdMs);
        const bool succeeds = holdMs < 1000;
        std::atomic<bool> taken{false};
        std::thread worker([&] {
            ASSERT_TRUE(locks.Lock(1, 10));
            taken = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
            locks.Unlock(1);
        });
        while (!taken) std::this_thread::yield();
        Routes().ClearResults();
        ASSERT_GE(Start(10.6, 10.3), 1);
        ASSERT_GE(Goal(13.6, 12.7), 1);
        shown.clear();
        EXPECT_EQ(m_view->SearchRoute(false, 15, false), succeeds ? 1 : 0);
        EXPECT_TRUE(shown.empty());
        worker.join();
        EXPECT_FALSE(locks.IsLocked(-1));
    }
    // The accept waits too: the route is taken and written to the route table.
    const std::filesystem::path table = DeviceRoot::Resolve(u"\\My Documents\\Velko\\RouteTbl.bin");
    std::filesystem::remove(table);
    ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1);
    std::atomic<bool> taken{false};
    std::thread worker([&] {
        ASSERT_TRUE(locks.Lock(1, 10));
        taken = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        locks.Unlock(1);
    });
    while (!taken) std::this_thread::yield();
    m_view->AcceptRoute(0);
    worker.join();
    EXPECT_TRUE(m_view->IsRouteAccepted());
    EXPECT_TRUE(std::filesystem::exists(table));
}

// A found route: the route result on the main screen, the whole route shown; then accepted and
// cancelled.
TEST_F(RouteViewTest, SearchShowAcceptAndCancel) {
    ASSERT_GE(Start(10.6, 10.3), 1);
    ASSERT_GE(Goal(13.6, 12.7), 1);
    m_view->SetPointPickMode(CMainView::kPickGoal);
    m_view->StartFollowing();
    m_view->SearchRouteAndShow();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickMove);
    EXPECT_EQ(m_view->GetRouteMode(), 0x0F);
    ASSERT_NE(Routes().SelectedRoute(), nullptr);
    EXPECT_TRUE(m_view->GetMainScreen()->IsRouteResultMode());
    EXPECT_FALSE(m_view->IsFollowing());
    // The whole route: the map at the middle of the route's box.
    const POINT from = At(10.6, 10.3), to = At(13.6, 12.7);
    EXPECT_NEAR(m_doc->mapX, (from.x + to.x) / 2, (to.x - from.x) / 4);
    EXPECT_NEAR(m_doc->mapY, (from.y + to.y) / 2, (to.y - from.y) / 4);

    const std::filesystem::path table = DeviceRoot::Resolve(u"\\My Documents\\Velko\\RouteTbl.bin");
    std::filesystem::remove(table);
    m_view->AcceptRoute(0);
    EXPECT_TRUE(m_view->IsRouteAccepted());
    EXPECT_FALSE(m_view->GetMainScreen()->IsRouteResultMode());
    m_view->StartGuidance();
    EXPECT_TRUE(m_view->IsGuiding());
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
    EXPECT_TRUE(std::filesystem::exists(table));
    EXPECT_TRUE(m_view->IsRouteChanged());

    // Cancel: "no" keeps the route, "yes" clears it and its table.
    answers = {NaviMessageBox::kNo};
    m_view->CancelRoute(true, false);
    EXPECT_EQ(Last(), u"설정된 경로를 취소하시겠습니까?");
    EXPECT_EQ(m_view->GetRouteMode(), 0x0F);
    m_view->CancelRoute(true, false);
    EXPECT_EQ(m_view->GetRouteMode(), 0);
    EXPECT_FALSE(std::filesystem::exists(table));
    shown.clear();
    m_view->CancelRoute(false, false);
    EXPECT_EQ(Last(), u"탐색된 경로가 없습니다.");
}

// The road question of a point by its road kind: a start never asks, a point without a road is
// refused with a notice.
TEST_F(RouteViewTest, PointOnSpecialRoadQuestion) {
    struct Case {
        int roadKind, pointKind, answer;
        const char16_t* text; // nullptr: nothing shown
        bool result;
    };
    const Case cases[] = {
        {5, 1, NaviMessageBox::kNo, u"목적지 지점이 터널 입니다. 설정 하시겠습니까?", false},
        {5, 2, NaviMessageBox::kYes, u"경유지 지점이 터널 입니다. 설정 하시겠습니까?", true},
        {2, 1, NaviMessageBox::kYes, u"목적지 지점이 고속도로 위에 있습니다. 설정 하시겠습니까?", true},
        {3, 1, NaviMessageBox::kNo, u"목적지 지점이 고가도로 위에 있습니다. 설정 하시겠습니까?", false},
        {4, 2, NaviMessageBox::kNo, u"경유지 지점이 지하차도 입니다. 설정 하시겠습니까?", false},
        {5, 0, NaviMessageBox::kNo, nullptr, true},
        {1, 1, NaviMessageBox::kNo, nullptr, true},
        {6, 1, NaviMessageBox::kNo, nullptr, true},
        {0, 0, NaviMessageBox::kYes,
         u"출발지로 사용할 도로를 찾지 못했거나 기존 설정과 중복되었습니다. 출발지를 확인해 주시기 바랍니다. ", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.roadKind << " " << c.pointKind);
        shown.clear();
        answers = {c.answer};
        EXPECT_EQ(m_view->ConfirmPointOnTunnel(c.roadKind, c.pointKind), c.result);
        if (c.text) {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0], c.text);
        } else {
            EXPECT_TRUE(shown.empty());
        }
        answers.clear();
    }
}

// A destination refused by the engine leaves the destination set before; one refused at the
// road question puts the previous one back.
TEST_F(RouteViewTest, RefusedDestinationKeepsTheLastGoodOne) {
    ASSERT_GE(Start(10.6, 10.3), 1);
    ASSERT_GE(Goal(13.6, 12.7), 1);
    ASSERT_GE(Goal(12.4, 10.6), 1);
    const POINT kept = Routes().GetGoalPos();
    // The start's own place cannot be the destination.
    const POINT startPos = At(10.6, 10.3);
    m_view->SetChosenPoint(startPos.x, startPos.y);
    EXPECT_FALSE(m_view->SetRoutePointByKind(2, u"출발지 자리"));
    EXPECT_EQ(Last(), u"목적지로 사용할 도로를 찾지 못했거나 기존 설정과 중복되었습니다. 목적지를 확인해 주시기 바랍니다. ");
    EXPECT_EQ(Routes().GetGoalPos().x, kept.x);
    EXPECT_EQ(Routes().GetGoalPos().y, kept.y);
    // On the underpass 역전지하차도: the question, answered no.
    const POINT under = At(12.7, 11.8);
    m_view->SetChosenPoint(under.x, under.y);
    answers = {NaviMessageBox::kNo};
    EXPECT_FALSE(m_view->SetRoutePointByKind(2, u"지하차도"));
    EXPECT_EQ(Last(), u"목적지 지점이 지하차도 입니다. 설정 하시겠습니까?");
    EXPECT_EQ(Routes().GetGoalPos().x, kept.x);
    EXPECT_EQ(Routes().GetGoalPos().y, kept.y);
    // Answered yes it stays.
    answers = {NaviMessageBox::kYes};
    EXPECT_TRUE(m_view->SetRoutePointByKind(2, u"지하차도"));
    EXPECT_NE(Routes().GetGoalPos().x, kept.x);
}

// Map taps in the point-pick modes: the destination tapped, then a waypoint added and the route
// searched again with it.
TEST_F(RouteViewTest, MapTapsSetTheDestinationAndAddAWaypoint) {
    ASSERT_GE(Start(10.6, 10.3), 1);
    auto tapAt = [&](POINT p) {
        m_view->MoveMapTo(p.x, p.y, 0);
        std::int32_t sx = p.x, sy = p.y;
        m_view->GetMapWnd().PointToScreen(sx, sy);
        m_view->OnMapPen(WM_LBUTTONDOWN, sx, sy);
        m_view->OnMapPen(WM_LBUTTONUP, sx, sy);
    };
    m_view->SetPointPickMode(CMainView::kPickGoal);
    tapAt(At(13.6, 12.7));
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(Routes().HasGoal());
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickGoal);
    ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1);

    m_view->SetPointPickMode(CMainView::kPickWaypoint);
    answers = {NaviMessageBox::kYes};
    tapAt(At(12.1, 11.8));
    EXPECT_EQ(Last(), u"경유지를 추가 하시겠습니까?");
    EXPECT_EQ(Routes().GetWaypointCount(), 1);
    EXPECT_TRUE(Routes().SelectedRoute()->header->waypoints[0].IsSet());
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickMove);

    // Moving it: a wrong choice is refused; waypoint 1 moves and the route follows.
    m_view->SetMovingWaypoint(5);
    m_view->SetPointPickMode(CMainView::kPickMoveWaypoint);
    tapAt(At(12.4, 10.6));
    EXPECT_EQ(Last(), u"경유지 선택이 잘못 되었습니다.");
    const std::int32_t before = Routes().EditedRoute().waypoints[0].x;
    m_view->SetMovingWaypoint(0);
    m_view->SetPointPickMode(CMainView::kPickMoveWaypoint);
    answers = {NaviMessageBox::kYes};
    tapAt(At(12.4, 10.6));
    EXPECT_EQ(Last(), u"경유지 이동 하시겠습니까?");
    ASSERT_EQ(Routes().GetWaypointCount(), 1);
    EXPECT_NE(Routes().EditedRoute().waypoints[0].x, before);
    EXPECT_EQ(Routes().SelectedRoute()->header->waypoints[0].x, Routes().EditedRoute().waypoints[0].x);
}

// Waypoints beyond five, or without a destination, are refused; deleting one searches again.
TEST_F(RouteViewTest, AddAndDeleteWaypoints) {
    const POINT p = At(12.1, 11.8);
    ASSERT_GE(Start(10.6, 10.3), 1);
    EXPECT_FALSE(m_view->AddWaypoint(p.x, p.y, u"경유"));
    EXPECT_EQ(Last(), u"설정된 목적지가 없습니다.");
    ASSERT_GE(Goal(13.6, 12.7), 1);
    ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1);
    answers = {NaviMessageBox::kNo};
    EXPECT_FALSE(m_view->AddWaypoint(p.x, p.y, u"경유"));
    EXPECT_EQ(Routes().GetWaypointCount(), 0);
    EXPECT_TRUE(m_view->AddWaypoint(p.x, p.y, u"경유"));
    EXPECT_EQ(Routes().GetWaypointCount(), 1);
    // The same place again.
    EXPECT_FALSE(m_view->AddWaypoint(p.x, p.y, u"경유"));
    EXPECT_EQ(Last(), u"중복된 경유지 선택입니다.");
    EXPECT_EQ(Routes().GetWaypointCount(), 1);

    answers = {NaviMessageBox::kNo};
    m_view->DeleteWaypoint(0);
    EXPECT_EQ(Last(), u"경유지(1)를 삭제하시겠습니까?");
    EXPECT_EQ(Routes().GetWaypointCount(), 1);
    m_view->DeleteWaypoint(0);
    EXPECT_EQ(Routes().GetWaypointCount(), 0);
    EXPECT_FALSE(Routes().SelectedRoute()->header->waypoints[0].IsSet());
}

// A deletion whose new search fails puts the whole waypoint back where it was; indices outside
// the list do nothing.
TEST_F(RouteViewTest, AWaypointWhoseDeletionCannotBeSearchedComesBack) {
    ASSERT_GE(Start(10.6, 10.3), 1);
    ASSERT_GE(Via(12.1, 11.8), 1);
    ASSERT_GE(Goal(13.6, 12.7), 1);
    ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1);
    const POINT second = At(12.4, 10.6);
    ASSERT_GE(Routes().InsertWaypoint(second.x, second.y, u"둘째", 1), 1);
    ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1); // "기존 경유지를 포함하시겠습니까?": yes
    const RouteWaypoint before[2] = {Routes().EditedRoute().waypoints[0], Routes().EditedRoute().waypoints[1]};

    // The engine gives up after a few nodes: the search without the first waypoint fails, and
    // then on foot, where no route is searched at all.
    for (const bool onFoot : {false, true}) {
        SCOPED_TRACE(onFoot ? "on foot" : "search fails");
        shown.clear();
        if (onFoot) m_view->SetPedestrianMode(true);
        else Routes().Engine()->SetLimitsForTest(10, 100);
        m_view->DeleteWaypoint(0);
        m_view->SetPedestrianMode(false);
        Routes().Engine()->SetLimitsForTest(80000, 500000);
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown[0], u"경유지(1)를 삭제하시겠습니까?");
        EXPECT_EQ(Routes().GetWaypointName(0), before[0].name);
        EXPECT_EQ(Routes().GetWaypointName(1), before[1].name);
    }
    const RouteWaypointVector& list = Routes().EditedRoute().waypoints;
    ASSERT_EQ(list.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list[i].name, before[i].name);
        EXPECT_EQ(list[i].x, before[i].x);
        EXPECT_EQ(list[i].y, before[i].y);
        EXPECT_EQ(list[i].pos.mapId, before[i].pos.mapId);
        EXPECT_EQ(list[i].pos.linkId, before[i].pos.linkId);
    }

    // Outside the list: no question, nothing moves.
    shown.clear();
    const std::int32_t mapX = m_doc->mapX, mapY = m_doc->mapY;
    m_view->StartFollowing();
    for (int index : {-1, 2, 5}) {
        m_view->DeleteWaypoint(index);
        m_view->ShowWaypointOnMap(index);
    }
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(m_view->IsFollowing());
    EXPECT_EQ(m_doc->mapX, mapX);
    EXPECT_EQ(m_doc->mapY, mapY);
    // Inside it the map goes to the waypoint.
    m_view->ShowWaypointOnMap(1);
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_EQ(m_doc->mapX, Routes().GetWaypointPos(1).x);
    EXPECT_EQ(m_doc->mapY, Routes().GetWaypointPos(1).y);
}

// A found route is announced with voice message 17; a failed search says nothing.
TEST_F(RouteViewTest, AFoundRouteIsAnnounced) {
    auto recorder = std::make_shared<SoundRecorder>();
    SoundSetOutput(recorder);
    struct Silence {
        ~Silence() { SoundSetOutput(nullptr); }
    } silence;
    m_view->LoadGuidanceData(kDataFolder);
    ASSERT_NE(m_view->GetGuideManager(), nullptr);
    ASSERT_GE(Start(10.6, 10.3), 1);
    EXPECT_FALSE(m_view->RunRouteSearch(false));
    EXPECT_TRUE(recorder->Take().empty());
    ASSERT_GE(Goal(13.6, 12.7), 1);
    ASSERT_TRUE(m_view->RunRouteSearch(false));
    const std::vector<SoundClip> played = recorder->Take();
    ASSERT_EQ(played.size(), 1u);
    // The clip the voice player makes of message 17.
    ASSERT_TRUE(m_view->GetGuideManager()->Voice().PlayMessage(17));
    const std::vector<SoundClip> expected = recorder->Take();
    ASSERT_EQ(expected.size(), 1u);
    EXPECT_EQ(SoundHash(played[0].image), SoundHash(expected[0].image));
}


// A point from a search: without a name it takes the district's, becomes the destination and
// the map moves there at the given level and heading.
TEST_F(RouteViewTest, UseSelectedPointNamesAndSetsTheDestination) {
    ASSERT_TRUE(m_view->OpenAreaTable(kDataFolder));
    const POINT p = At(13.6, 12.7);
    char district[CAdminSearch::kAnswerSize] = {};
    ASSERT_NE(m_view->GetAdminSearch().DoSrch(p.x, p.y, district), 0);
    const std::u16string name = Cp949ToUtf16(district);
    const int level = m_view->StepToLevel(5);
    m_view->StartFollowing();
    m_view->UseSelectedPoint(p.x, p.y, 2, CString(), true, level, 95);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_TRUE(Routes().HasGoal());
    EXPECT_EQ(Routes().GetGoalName().Str(), name);
    EXPECT_EQ(m_view->GetMapLevel(), level);
    EXPECT_EQ(m_doc->mapX, p.x);
    EXPECT_EQ(m_doc->mapY, p.y);
    // A given name is kept; kind 1 sets the start, and the map stays without a move.
    const POINT q = At(10.6, 10.3);
    m_view->UseSelectedPoint(q.x, q.y, 1, u"나의 출발", false, level, 0);
    EXPECT_EQ(Routes().GetStartName(), CString(u"나의 출발"));
    EXPECT_EQ(m_doc->mapX, p.x);
}

} // namespace
} // namespace mainview_test
