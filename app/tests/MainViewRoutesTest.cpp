// The view's route files, bus and subway routes, route information, waypoints and the re-route
// worker, on the sample device: route servers on loopback answer the transit searches, the
// dialogs answer what each test queues, and the message boxes are recorded.
#include "LockEntryHolder.h"
#include "MainViewFixture.h"

#include "app/LockSet.h"
#include "app/MainViewRoutes.h"
#include "app/RouteInfoDlg.h"
#include "app/RouteSaveDlg.h"
#include "app/WaypointDlg.h"
#include "platform/files/Files.h"
#include "route/base/Coords.h"
#include "skinui/controls/NaviEventText.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviRouteBars.h"
#include "transit/SubConnect.h"
#include "tools/mkdevice/Networks.h"
#include "transit/tests/FakeServer.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

using namespace mainview_test;

namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

namespace {

struct Shown {
    std::u16string text;
    UINT type;
};

// A bus server's reply: the header (magic little-endian, the rest big-endian) and the route text.
std::string BusReply(std::int32_t status, std::int32_t routes, const std::string& text) {
    std::string r;
    PutLE(r, 12345);
    PutBE(r, static_cast<std::uint32_t>(status));
    PutBE(r, 0);
    PutBE(r, static_cast<std::uint32_t>(routes));
    PutBE(r, static_cast<std::uint32_t>(text.size()));
    return r + text;
}

// One bus route of two stops on one line.
std::string OneBusRoute() {
    return "1|2\n" + Cp(u"가람시청") + "|100000|450000|12\n" + Cp(u"다솜면사무소") + "|102000|453000|12\n";
}

std::string SubwayReply(std::uint32_t status) {
    std::string r;
    PutBE(r, status);
    PutBE(r, 0);
    PutBE(r, 0);
    PutBE(r, 12345);
    return r;
}

class MainViewRoutesTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT type) {
            shown.push_back({text, type});
            return IDOK;
        });
        routes_dialogs::SetRouteInfoRunner([this](CRouteInfoDlg& dlg) {
            infoPanels.push_back(dlg.GetPanelName().Str());
            infoClockOffset = dlg.GetClockOffset();
            infoEstimate = dlg.GetEstimatedTime();
            return infoCode;
        });
        routes_dialogs::SetRouteSaveRunner([this](CRouteSaveDlg& dlg) {
            savePanels.push_back(dlg.GetPanelName().Str());
            return saveAnswer;
        });
        routes_dialogs::SetWaypointRunner([this](CWaypointDlg&) {
            ++waypointRuns;
            return waypointAnswer;
        });
        routes_dialogs::SetTransitRunner([this](bool subway) {
            transitRuns.push_back(subway);
            return routes_dialogs::TransitAnswer{2, 0, 0};
        });
        Open();
        ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
    }

    void TearDown() override {
        routes_dialogs::SetRouteInfoRunner(nullptr);
        routes_dialogs::SetRouteSaveRunner(nullptr);
        routes_dialogs::SetWaypointRunner(nullptr);
        routes_dialogs::SetTransitRunner(nullptr);
        WinSetMessageBoxHandler(nullptr);
        const std::string folder = DeviceRoot::Resolve(StorageFolder().Str());
        MainViewTest::TearDown();
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
            if (entry.path().extension() == ".vkp" || entry.path().extension() == ".new")
                std::filesystem::remove_all(entry.path(), ec);
        std::filesystem::remove(DeviceRoot::Resolve(u"\\My Documents\\Velko\\locus.bin"), ec);
    }

    static CString StorageFolder() { return CNaviConfig::GetInstance()->GetItemPath(u"현재저장위치", -1); }
    static std::string HostPath(const std::u16string& name) {
        return DeviceRoot::Resolve((StorageFolder() + u"\\" + name).Str());
    }

    // A car route across the sample region (from 나래 to 바람, over up to two waypoints), searched
    // and accepted, shown as the current route.
    static POINT MapAt(double eastKm, double northKm) {
        const mkdev::NetPoint n = mkdev::KmToNet(45720000, 13470000, eastKm, northKm);
        std::int32_t x = 0, y = 0;
        NetToMapCoord(n.x, n.y, x, y);
        return POINT{x, y};
    }
    void PlanCarRoute(int waypoints = 0) {
        CRouteManager& routes = m_view->GetRouteManager();
        const POINT s = MapAt(4.25, 20.5), g = MapAt(24.25, 22.5);
        const POINT via[2] = {MapAt(12.1, 11.8), MapAt(17.0, 12.25)};
        ASSERT_GE(routes.SetStart(s.x, s.y, u"출발"), 1);
        for (int i = 0; i < waypoints; ++i) ASSERT_GE(routes.InsertWaypoint(via[i].x, via[i].y, u"경유", i), 1);
        ASSERT_GE(routes.SetGoal(g.x, g.y, u"도착"), 1);
        ASSERT_EQ(routes.SearchRoute(), 0);
        routes.CommitRoute();
        routes.AcceptSelectedResult();
        m_view->SetRouteMode(0x0F);
    }

    void WaitForReroute() {
        while (m_view->IsRerouteThreadRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    void SaveAs(const CString& name) {
        saveAnswer = {CRouteSaveDlg::kActionSave, name, CString(), false};
        m_view->SaveRoute(false);
    }

    void OpenFile(const CString& name, bool reverse = false) {
        saveAnswer = {CRouteSaveDlg::kActionOpen, CString(), name, reverse};
        m_view->OpenSavedRoute();
    }

    void WriteHost(const std::u16string& name, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(HostPath(name)).parent_path());
        std::ofstream(HostPath(name), std::ios::binary) << bytes;
    }

    std::vector<std::u16string> Texts() const {
        std::vector<std::u16string> out;
        for (const Shown& s : shown) out.push_back(s.text);
        return out;
    }

    NaviWaypointBar* WaypointBar() const {
        return dynamic_cast<NaviWaypointBar*>(m_view->GetMainScreen()->FindControl(u"경유지설정"));
    }

    std::vector<Shown> shown;
    std::vector<std::u16string> infoPanels, savePanels;
    std::vector<bool> transitRuns;
    int infoCode = 3;
    int infoClockOffset = 0;
    int infoEstimate = -1;
    int waypointRuns = 0;
    routes_dialogs::RouteSaveAnswer saveAnswer;
    routes_dialogs::WaypointAnswer waypointAnswer;
};

// ---- bus and subway routes ----

TEST_F(MainViewRoutesTest, RouteServerAnswersGiveTheirErrorMessages) {
    struct Case {
        bool subway;
        std::string reply;
        const char16_t* message;
    };
    const Case cases[] = {
        {false, BusReply(-4, 0, ""), u"지원되지 않는 지역입니다."},
        {false, BusReply(-1, 0, ""), u"출발지 정류장을 찾지 못하였습니다. 재설정 하십시오."},
        {false, BusReply(-5, 0, ""), u"경로가 없습니다. 출발지와 목적지를 재설정 하십시오."},
        {false, BusReply(-99, 0, ""), u"정상적으로 서비스 할 수 없습니다. 잠시 후 재시도 하십시오."},
        {true, SubwayReply(0xC0000001u), u"통신설정을 확인해 주십시오."},
        {true, SubwayReply(static_cast<std::uint32_t>(-10)), u"통신설정을 확인해 주십시오."},
        {true, SubwayReply(0xC0000003u), u"도착지 정류장을 찾지 못하였습니다. 재설정 하십시오."},
        {true, SubwayReply(0xC0000004u), u"정상적으로 서비스 할 수 없습니다. 잠시 후 재시도 하십시오."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.reply.substr(0, 8)));
        shown.clear();
        FakeServer server(40, c.reply);
        DeviceRoot::OverrideSetting(c.subway ? "subwayserver" : "busserver",
                                    "127.0.0.1:" + std::to_string(server.Port()));
        const bool found = c.subway ? m_view->SearchSubwayRoute(120000, 450000, 240000, 460000)
                                    : m_view->SearchBusRoute(120000, 450000, 240000, 460000);
        EXPECT_FALSE(found);
        EXPECT_TRUE(server.Accepted());
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, c.message);
        EXPECT_TRUE(shown[0].type & MB_ICONERROR);
        EXPECT_EQ(m_view->GetRouteMode(), 0);
    }
}

TEST_F(MainViewRoutesTest, AClientThatCannotBeSetUpCannotDial) {
    for (const char* setting : {"127.0.0.1:0", "127.0.0.1:port", ":19012", "127.0.0.1:70000"}) {
        SCOPED_TRACE(setting);
        shown.clear();
        DeviceRoot::OverrideSetting("busserver", setting);
        EXPECT_FALSE(m_view->SearchBusRoute(120000, 450000, 240000, 460000));
        EXPECT_EQ(Texts(), std::vector<std::u16string>{u"전화를 걸 수 없습니다."});
    }
    // A server that is not there: the connection fails (139).
    shown.clear();
    int port = 0;
    {
        FakeServer gone(40, "");
        port = gone.Port();
        gone.Accepted();
    }
    DeviceRoot::OverrideSetting("subwayserver", "127.0.0.1:" + std::to_string(port));
    EXPECT_FALSE(m_view->SearchSubwayRoute(120000, 450000, 240000, 460000));
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"통신설정을 확인해 주십시오."});
}

TEST_F(MainViewRoutesTest, ABusRouteIsShownSavedWithoutANoticeAndOpenedAgain) {
    {
        FakeServer server(40, BusReply(0, 1, OneBusRoute()));
        DeviceRoot::OverrideSetting("busserver", "127.0.0.1:" + std::to_string(server.Port()));
        ASSERT_TRUE(m_view->SearchBusRoute(120000, 450000, 240000, 460000));
    }
    EXPECT_EQ(m_view->GetRouteMode(), 0xBB);
    EXPECT_TRUE(shown.empty());
    m_view->ShowRouteInfo(true, false, false);
    EXPECT_EQ(transitRuns, std::vector<bool>{false});
    EXPECT_TRUE(infoPanels.empty()); // the car route's dialog is not used
    EXPECT_EQ(m_view->GetAutoReturn(), 0); // "back" starts the countdown

    SaveAs(u"버스");
    EXPECT_TRUE(shown.empty());
    const std::vector<std::uint8_t> bytes = ReadCe((StorageFolder() + u"\\버스R.vkp").Str());
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes[0], 0xBB);

    m_view->SetRouteMode(0);
    OpenFile(u"버스R.vkp");
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(m_view->GetRouteMode(), 0xBB);
    EXPECT_EQ(transitRuns, (std::vector<bool>{false, false}));

    // A stop chosen in the result dialog: the map stands on it.
    const POINT stop = MapAt(12.1, 11.8);
    routes_dialogs::SetTransitRunner([&](bool) { return routes_dialogs::TransitAnswer{1, stop.x, stop.y}; });
    m_view->StartFollowing();
    m_view->ShowRouteInfo(true, false, false);
    std::int32_t cx = 0, cy = 0;
    m_view->GetMapWnd().GetCenter(cx, cy);
    EXPECT_EQ(cx, stop.x);
    EXPECT_EQ(cy, stop.y);
    EXPECT_FALSE(m_view->IsFollowing());
}

// ---- saving ----

TEST_F(MainViewRoutesTest, ACarRouteIsSavedUnderATypedNameOnly) {
    PlanCarRoute();
    // The storage folder's route files: the sample's own saved routes lie there already.
    const auto routeFiles = [this] {
        std::set<std::string> files;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(DeviceRoot::Resolve(StorageFolder().Str()), ec))
            if (entry.path().extension() == ".vkp") files.insert(entry.path().filename().string());
        return files;
    };
    const std::set<std::string> before = routeFiles();
    for (const char16_t* name : {u"a\\b", u"..", u"c:", u"../x", u"a/b"}) {
        SCOPED_TRACE(Utf16ToUtf8(name));
        shown.clear();
        SaveAs(name);
        EXPECT_EQ(Texts(), std::vector<std::u16string>{u"저장할 수 없는 이름입니다."});
    }
    EXPECT_EQ(routeFiles(), before) << "a refused name wrote a route file";

    shown.clear();
    SaveAs(u"집");
    const CString path = StorageFolder() + u"\\집R.vkp";
    EXPECT_EQ(Texts(), std::vector<std::u16string>{(path + u"에 저장 하였습니다.").Str()});
    const std::vector<std::uint8_t> bytes = ReadCe(path.Str());
    ASSERT_GT(bytes.size(), 1u);
    EXPECT_EQ(bytes[0], 0x0F);
    EXPECT_EQ(savePanels.back(), u"경로저장");
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
}

TEST_F(MainViewRoutesTest, AFailedSaveIsReportedAndTheRefusalsComeFirst) {
    // No route yet.
    SaveAs(u"집");
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"탐색된 경로가 없습니다."});
    PlanCarRoute();
    shown.clear();
    m_view->SetPedestrianMode(true);
    SaveAs(u"집");
    m_view->SetPedestrianMode(false);
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"보행자 모드에서는 경로를 저장 할 수 없습니다."});
    EXPECT_EQ(savePanels.size(), 0u);
    // A folder where the file would go: the save cannot replace it.
    std::filesystem::create_directories(HostPath(u"막힘R.vkp"));
    shown.clear();
    SaveAs(u"막힘");
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"경로를 저장하지 못했습니다."});
    EXPECT_TRUE(std::filesystem::is_directory(HostPath(u"막힘R.vkp")));
    // A save that fails part way leaves the route saved before as it was.
    WriteHost(u"집R.vkp", "old route");
    shown.clear();
    FilesFailNextOperations(1000);
    SaveAs(u"집");
    FilesFailNextOperations(0);
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"경로를 저장하지 못했습니다."});
    std::ifstream kept(HostPath(u"집R.vkp"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "old route");
    std::filesystem::remove(HostPath(u"집R.vkp"));
    // "이전" and other answers write nothing.
    shown.clear();
    saveAnswer = {CRouteSaveDlg::kActionBack, u"집", CString(), false};
    m_view->SaveRoute(true);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(std::filesystem::exists(HostPath(u"집R.vkp")));
}

// ---- opening ----

TEST_F(MainViewRoutesTest, ASavedFileIsReadByItsFirstByte) {
    struct Case {
        std::string bytes;
        const char16_t* message;
    };
    const Case cases[] = {
        {std::string("\xAA") + std::string(300, '\0'), u"이전버전의 경로탐색 파일입니다."},
        {std::string("\x42") + std::string(300, '\0'), u"경로 저장 파일이 아닙니다."},
        {std::string(), u"경로 저장 파일이 아닙니다."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        WriteHost(u"시험R.vkp", c.bytes);
        m_view->SetRouteMode(0x0F);
        shown.clear();
        OpenFile(u"시험R.vkp");
        EXPECT_EQ(Texts(), std::vector<std::u16string>{c.message});
        // Only a file of another kind clears the route kind.
        EXPECT_EQ(m_view->GetRouteMode(), c.bytes.empty() || c.bytes[0] != '\xAA' ? 0 : 0x0F);
        EXPECT_TRUE(infoPanels.empty());
    }
    shown.clear();
    OpenFile(u"없음R.vkp");
    const CString missing = StorageFolder() + u"\\없음R.vkp";
    EXPECT_EQ(Texts(), std::vector<std::u16string>{(u"'" + missing + u"' 을(를) 찾을 수 없습니다.").Str()});
    EXPECT_EQ(savePanels.back(), u"저장경로");
}

TEST_F(MainViewRoutesTest, ACarRouteFileOpensUnlessTheLockSetIsBusy) {
    m_view->CreatePositionServices();
    PlanCarRoute();
    SaveAs(u"길");
    shown.clear();
    m_view->GetRouteManager().ClearResults();
    m_view->SetRouteMode(0);
    {
        LockEntryHolder search(*m_view->GetLockSet(), -1);
        ASSERT_TRUE(search.Taken());
        OpenFile(u"길R.vkp");
        EXPECT_EQ(Texts(), std::vector<std::u16string>{u"재탐색 중에는 경로를 읽을 수 없습니다."});
        EXPECT_EQ(m_view->GetRouteMode(), 0);
    }
    shown.clear();
    OpenFile(u"길R.vkp");
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(m_view->GetRouteMode(), 0x0F);
    EXPECT_TRUE(m_view->GetRouteManager().RouteActive());
    EXPECT_EQ(infoPanels, std::vector<std::u16string>{CRouteInfoDlg::kPanelName});
    EXPECT_FALSE(m_view->IsRouteOpenedFromFile()); // only while the information shows
    EXPECT_FALSE(m_view->GetLockSet()->IsLocked(-1));
}

TEST_F(MainViewRoutesTest, AReverseSearchOfARouteWithWaypointsShowsItAsOpened) {
    m_view->CreatePositionServices();
    PlanCarRoute(1);
    SaveAs(u"경유");
    shown.clear();
    OpenFile(u"경유R.vkp", true);
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"경유지가 있어 역방향 탐색을 할 수 없습니다."});
    EXPECT_EQ(infoPanels.size(), 1u);
    EXPECT_EQ(m_view->GetRouteMode(), 0x0F);
}

// ---- route information ----

TEST_F(MainViewRoutesTest, TheRouteInformationRefusesAndCarriesOutItsCodes) {
    m_view->ShowRouteInfo(true, false, true);
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"탐색된 경로가 없습니다."});
    PlanCarRoute();
    shown.clear();
    m_view->SetPedestrianMode(true);
    m_view->ShowRouteInfo(true, false, true);
    m_view->SetPedestrianMode(false);
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"보행자모드에서는 경로 정보를 볼 수 없습니다."});
    EXPECT_TRUE(infoPanels.empty());

    // 13 and 14 move the map and start the countdown; 8 opens the save screen; 15 opens the
    // waypoints (none here, so its refusal shows).
    m_view->StopAutoReturn();
    shown.clear();
    infoCode = 13;
    m_view->ShowRouteInfo(true, false, false);
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
    infoCode = 8;
    saveAnswer = {3, CString(), CString(), false};
    m_view->ShowRouteInfo(true, false, false);
    EXPECT_EQ(savePanels, std::vector<std::u16string>{u"경로저장"});
    infoCode = 15;
    m_view->ShowRouteInfo(true, false, false);
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"설정된 경유지가 없습니다."});
    EXPECT_EQ(infoPanels.size(), 3u);
}

// The route information's clocks run on the GPS time; after a search the time left is the
// route's own, while driving it is the bar's estimate.
TEST_F(MainViewRoutesTest, TheRouteInformationTellsTheTimeByTheGpsClock) {
    PlanCarRoute();
    // The device says 03:00:00 UTC; the GPS 03:00:30.
    GpsPosRecord fix;
    fix.status = 'A';
    fix.hour = 3;
    fix.second = 30;
    m_view->SyncGpsClock(fix);
    auto* bar = dynamic_cast<NaviHighwayBar*>(m_view->GetMainScreen()->FindControl(u"TrackBar"));
    ASSERT_NE(bar, nullptr);
    const CRoutePath& path = *m_view->GetRouteManager().SelectedRoute()->path;
    ASSERT_GT(path.TotalTime(), 0);

    infoCode = 6;
    m_view->ShowRouteInfo(true, true, false); // right after a search
    EXPECT_EQ(infoClockOffset, 30);
    EXPECT_EQ(infoEstimate, -1);
    EXPECT_EQ(bar->Snapshot().routeTime, path.TotalTime());
    EXPECT_EQ(bar->Snapshot().routeLength, path.TotalLength());

    // From the menu while the route is driven: nothing travelled yet, so the bar's estimate is
    // the route's own time.
    m_view->ShowRouteInfo(true, false, true);
    EXPECT_EQ(infoClockOffset, 30);
    EXPECT_EQ(infoEstimate, path.TotalTime());
}

// ---- waypoints ----

TEST_F(MainViewRoutesTest, TheWaypointScreenAnswersAreCarriedOut) {
    m_view->ManageWaypoints(false);
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"설정된 경유지가 없습니다."});
    EXPECT_EQ(waypointRuns, 0);
    PlanCarRoute(2);
    ASSERT_EQ(m_view->GetRouteManager().GetWaypointCount(), 2);
    shown.clear();
    m_view->SetPedestrianMode(true);
    m_view->ManageWaypoints(false);
    m_view->SetPedestrianMode(false);
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"보행자 모드에서는 경유지관리를 할 수 없습니다."});

    // 14: the order changed, the user is told before the new search; 15 searches without a word.
    shown.clear();
    waypointAnswer = {14, 0};
    m_view->ManageWaypoints(false);
    EXPECT_EQ(Texts(), std::vector<std::u16string>{u"경유지 순서가 변경되어 탐색을 다시 하겠습니다."});
    EXPECT_EQ(m_view->GetLastSearchName(), CString(u"경유지관리"));
    shown.clear();
    m_view->SetLastSearchName(u"주변검색");
    waypointAnswer = {15, 0};
    m_view->ManageWaypoints(false);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(m_view->GetLastSearchName(), CString(u"주변검색"));

    // 12: the second waypoint is to be moved with the next map tap.
    waypointAnswer = {12, 1};
    m_view->ManageWaypoints(false);
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickMoveWaypoint);
    // The map was repainted at once: the text is on the event line.
    auto* line = dynamic_cast<NaviEventText*>(m_view->GetMainScreen()->FindControl(u"EventString"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(Utf16ToUtf8(line->GetText().Str()), "경유지(2)를 이동합니다.");
    EXPECT_EQ(m_view->GetLastSearchName(), CString(u"경유지관리"));
    EXPECT_EQ(waypointRuns, 3);
}

// ---- the re-route worker ----

TEST_F(MainViewRoutesTest, AReRouteWhileASearchHoldsTheLockSetDoesNothing) {
    m_view->CreatePositionServices();
    PlanCarRoute(1);
    CRouteManager& routes = m_view->GetRouteManager();
    const CRoute* before = routes.SelectedRoute();
    m_config->SetValue(15, 1);
    {
        LockEntryHolder search(*m_view->GetLockSet(), -1);
        ASSERT_TRUE(search.Taken());
        m_view->StartRerouteThread();
        WaitForReroute();
    }
    EXPECT_EQ(routes.SelectedRoute(), before);
    EXPECT_FALSE(m_view->IsResearchRunning());
    EXPECT_FALSE(m_view->IsRerouteActive());
    WinDispatchPending();
    EXPECT_EQ(WaypointBar()->GetCount(), 0);
}

TEST_F(MainViewRoutesTest, AReRouteWithoutAFixPlansFromTheLastStartAndTellsTheScreenAfterwards) {
    m_view->CreatePositionServices();
    PlanCarRoute(1);
    CRouteManager& routes = m_view->GetRouteManager();
    const CRoute* before = routes.SelectedRoute();
    m_view->SetRerouteStart(0, 0, 0, 0, 0, 0); // the receiver delivers no fix
    m_config->SetValue(15, 1);
    m_view->StartRerouteThread();
    EXPECT_TRUE(m_view->IsRerouteThreadRunning() || routes.SelectedRoute() != before);
    WaitForReroute();
    EXPECT_NE(routes.SelectedRoute(), before);
    EXPECT_TRUE(routes.RouteActive());
    EXPECT_EQ(routes.GetStartName(), CString(u"출발"));
    EXPECT_FALSE(m_view->IsResearchRunning());
    EXPECT_FALSE(m_view->IsRerouteActive());
    EXPECT_FALSE(m_view->GetLockSet()->IsLocked(-1));
    // Nothing reached the screen from the worker's thread; the bar is rebuilt on this thread.
    NaviWaypointBar* bar = WaypointBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetCount(), 0);
    WinDispatchPending();
    EXPECT_EQ(routes.GetWaypointCount(), 1);
    EXPECT_EQ(bar->GetCount(), 1);
}

// A re-route weights the new route by traffic as the reception stands when it runs.
TEST_F(MainViewRoutesTest, AReRouteReadsTheReceptionLevelWhenItRuns) {
    m_view->CreatePositionServices();
    std::atomic<int> level{0};
    m_view->SetReceptionLevelSource([&level] { return level.load(); });
    m_config->SetValue(32, 1); // the broadcast receiver is used: traffic wanted
    m_config->SetValue(14, 1);
    m_config->SetTrafficValidFlag(0);
    CRouteManager& routes = m_view->GetRouteManager();
    const POINT s = MapAt(4.25, 20.5), g = MapAt(24.25, 22.5);
    ASSERT_GE(routes.SetStart(s.x, s.y, u"출발"), 1);
    ASSERT_GE(routes.SetGoal(g.x, g.y, u"도착"), 1);
    ASSERT_EQ(m_view->SearchRoute(false, 15, false), 1);
    EXPECT_EQ(routes.SelectedRoute()->useTraffic, 0);
    const struct {
        int level;
        std::uint8_t download;
        int expected;
    } cases[] = {{2, 0, 1}, {1, 0, 0}, {1, 1, 1}, {0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " download " << int(c.download));
        level = c.level;
        m_config->SetTrafficValidFlag(c.download);
        m_view->RerouteWorker();
        ASSERT_NE(routes.SelectedRoute(), nullptr);
        EXPECT_EQ(routes.SelectedRoute()->useTraffic, c.expected);
    }
    m_config->SetTrafficValidFlag(0);
}

TEST_F(MainViewRoutesTest, AReRouteWithAMatchedFixPlansFromTheVehicle) {
    m_view->CreatePositionServices();
    PlanCarRoute();
    // The vehicle on the route's first link, where the route starts.
    const CPathLinkItem& first = m_view->GetRouteManager().SelectedRoute()->path->Items()[0];
    const mkdev::NetPoint here = mkdev::KmToNet(45720000, 13470000, 4.25, 20.5);
    m_view->SetRerouteStart(1, first.mapId, first.linkId, 0, here.x, here.y);
    m_view->RerouteWorker(); // the traffic watch runs it on its own thread the same way
    EXPECT_EQ(m_view->GetRouteManager().GetStartName(), CString(u"현위치"));
    EXPECT_FALSE(m_view->GetLockSet()->IsLocked(-1));
}

} // namespace
