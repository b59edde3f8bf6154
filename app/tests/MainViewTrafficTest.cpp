// The main view's traffic broadcast on the sample device: the traffic sheet (refused without the
// receiver, its title after a download, the map move and display options it leaves), the tuning
// sentences on the receiver unit's port, the exit's saving and singleton order, and a route
// search that takes another road past a congested expressway link.
#include "MainViewFixture.h"

#include "app/MainViewRoutes.h"
#include "app/NaviApp.h"
#include "app/RouteInfoDlg.h"
#include "app/ShellUtilities.h"
#include "app/TrafficSheetHost.h"
#include "net/tests/OneShotServer.h"
#include "platform/serial/PseudoTerminal.h"
#include "platform/sound/Sound.h"
#include "position/GuideManager.h"
#include "position/PositionWorkers.h"
#include "skinui/main/NaviMainScreen.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "traffic/pages/DARCSheet.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Traffic.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <filesystem>
#include <thread>

namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

using namespace mainview_test;

namespace {

const std::u16string kReceiverNeeded = u"교통정보 수신기를 사용해야 사용 할 수 있는 기능입니다.";

class MainViewTrafficTest : public MainViewTest {
protected:
    void TearDown() override {
        CMainView::SetSingletonRecorder(nullptr);
        CSheetStorage::destruct();
        SoundSetOutput(nullptr);
        MainViewTest::TearDown();
    }
    HostedRun Hosted(const std::string& script, const std::function<void()>& body) {
        return RunHosted(s_device->root, script, [&] {
            body();
            return 0;
        });
    }
    std::int32_t StoredSetting(int n) {
        const std::vector<std::uint8_t> bytes = ReadCe(m_config->GetItemPath(u"환경설정", -1).Str());
        if (bytes.size() < 1004) return -999;
        return static_cast<std::int32_t>(U32(bytes.data() + 4 + 4 * n));
    }
    // The view with its reception made and the receiver's stores open on the sample.
    void OpenWithStores() {
        Open();
        m_view->CreateBroadcastReception();
        m_view->OpenBroadcastStores();
        ASSERT_TRUE(m_view->BroadcastStoresOpen());
    }
};

TEST_F(MainViewTrafficTest, SheetRefusedWhileTheStoresAreClosed) {
    Open();
    m_view->CreateBroadcastReception();
    bool ran = false;
    m_view->SetTrafficSheetRunner([&](const CString&) { ran = true; });
    HostedRun run = Hosted("answer ok\n", [&] { m_view->ShowTrafficSheet(1); });
    EXPECT_FALSE(run.failed) << run.failure;
    EXPECT_FALSE(ran);
    EXPECT_NE(run.msgboxLog.find(Utf16ToUtf8(kReceiverNeeded)), std::string::npos) << run.msgboxLog;
    run = Hosted("answer ok\n", [&] { m_view->ShowTrafficSheet(0); });
    EXPECT_NE(run.msgboxLog.find(Utf16ToUtf8(kReceiverNeeded)), std::string::npos) << run.msgboxLog;
    EXPECT_FALSE(ran);
}

TEST_F(MainViewTrafficTest, TitleNamesTheDownloadForAnHour) {
    OpenWithStores();
    // Downloaded at 14:07 local time (UTC+9) on 5 March 2026: 05:07 UTC.
    const std::int64_t download = 1'772'687'220;
    ASSERT_EQ(CTime(download).GetHour(), 14);
    m_view->BroadcastReception()->SetDownloadTime(download);
    CString title;
    m_view->SetTrafficSheetRunner([&](const CString& t) { title = t; });

    m_clock.SetUtc((download + 59 * 60) * 1000);
    m_view->ShowTrafficSheet(1);
    EXPECT_EQ(std::u16string(title.GetString()), u"교통정보[3월5일14시7분 수신정보]");

    m_clock.SetUtc((download + 61 * 60) * 1000);
    m_view->ShowTrafficSheet(1);
    EXPECT_EQ(std::u16string(title.GetString()), u"교통정보");

    // Without a download the plain title.
    m_view->BroadcastReception()->SetDownloadTime(0);
    m_clock.SetUtc((download + 60) * 1000);
    m_view->ShowTrafficSheet(0);
    EXPECT_EQ(std::u16string(title.GetString()), u"교통정보");
}

// A download from the traffic server at 14:07 on 5 March: its link speed reaches the traffic store
// (the stores opened for it), the traffic counts as available, and the sheet's title names it for
// an hour.
TEST_F(MainViewTrafficTest, DownloadReachesTheTrafficStoreAndTheTitle) {
    Open();
    m_view->CreateBroadcastReception();
    ASSERT_FALSE(m_view->BroadcastStoresOpen());
    // One record: link 393217 (the first of the sample's broadcast table), 10 km/h; the server
    // sends the count and the link id big-endian.
    OneShotServer server(std::string("\0\0\0\x01", 4) + std::string("\x00\x06\x00\x01\x0A", 5));
    DeviceRoot::OverrideSetting("trafficserver", "127.0.0.1:" + std::to_string(server.Port()));
    const std::int64_t download = 1'772'687'220;   // 2026-03-05 14:07 local (UTC+9)
    m_clock.SetUtc(download * 1000);
    HostedRun run = Hosted("answer yes\nanswer ok\n", [&] { m_view->DownloadTraffic(1); });
    EXPECT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find(Utf16ToUtf8(u"3월5일14시7분")), std::string::npos) << run.msgboxLog;
    ASSERT_TRUE(m_view->BroadcastStoresOpen());
    unsigned char speed = 0;
    EXPECT_EQ(CTraffic::instance()->getRealSpeedByID(393217, speed), 1);
    EXPECT_EQ(speed, 10);
    EXPECT_EQ(CTraffic::instance()->GetTrafficValidTime(), 60);
    EXPECT_TRUE(m_view->IsTrafficAvailable());

    CString title;
    m_view->SetTrafficSheetRunner([&](const CString& t) { title = t; });
    m_clock.SetUtc((download + 59 * 60) * 1000);
    m_view->ShowTrafficSheet(1);
    EXPECT_EQ(std::u16string(title.GetString()), u"교통정보[3월5일14시7분 수신정보]");
    m_clock.SetUtc((download + 61 * 60) * 1000);
    m_view->ShowTrafficSheet(1);
    EXPECT_EQ(std::u16string(title.GetString()), u"교통정보");

    // The first broadcast packet afterwards drops the downloaded traffic: 15 minutes, no title.
    m_view->BroadcastReception()->ApplyParseCount(1);
    EXPECT_EQ(CTraffic::instance()->GetTrafficValidTime(), 15);
    EXPECT_EQ(m_view->BroadcastReception()->DownloadTime(), 0);
    EXPECT_FALSE(m_view->IsTrafficAvailable());
}

// A stored download says voice message 17 once through the guidance manager; one that ends in
// a notice says nothing. While the server is asked the application shows its wait cursor, and
// the cursor is back to normal when the command ends.
TEST_F(MainViewTrafficTest, DownloadSaysMessage17WhenStoredAndWaitsWithTheCursor) {
    Open();
    m_view->CreateBroadcastReception();
    m_view->LoadGuidanceData(kDataFolder);
    ASSERT_NE(m_view->GetGuideManager(), nullptr);
    // The sound that message 17 makes on its own.
    auto recorder = std::make_shared<SoundRecorder>();
    SoundSetOutput(recorder);
    ASSERT_TRUE(m_view->GetGuideManager()->Voice().PlayMessage(17));
    const std::vector<SoundClip> alone = recorder->Take();
    SoundSetOutput(nullptr);
    SoundReset();
    ASSERT_EQ(alone.size(), 1u);
    const std::uint32_t message17 = SoundHash(alone[0].image);
    // How often the hosted run's sound log holds it (the hash is the log's sixth field).
    auto timesSaid = [&] {
        std::ifstream log(s_device->root.Host("out/sounds.log"));
        int times = 0;
        for (std::string line; std::getline(log, line);) {
            std::istringstream fields(line);
            std::string field;
            for (int i = 0; i < 6 && std::getline(fields, field, '\t'); ++i) {}
            if (!field.empty() && std::stoul(field, nullptr, 16) == message17) ++times;
        }
        return times;
    };

    {
        OneShotServer server(std::string("\0\0\0\x01", 4) + std::string("\x00\x06\x00\x01\x0A", 5));
        DeviceRoot::OverrideSetting("trafficserver", "127.0.0.1:" + std::to_string(server.Port()));
        HostedRun run = Hosted("answer yes\nanswer ok\n", [&] { m_view->DownloadTraffic(1); });
        EXPECT_FALSE(run.failed) << run.failure;
        ASSERT_NE(run.msgboxLog.find("1시간 동안 유효한"), std::string::npos) << run.msgboxLog;
        EXPECT_EQ(timesSaid(), 1);
        EXPECT_FALSE(WinIsWaitCursor());
    }

    // The server sends one record's first two bytes and holds the connection: the command waits
    // in the exchange, under the wait cursor, until the server goes. The read then fails, the data
    // call is dialled, the second try finds no server, and the notice asks to check the connection.
    SoundReset();
    auto server = std::make_unique<OneShotServer>(std::string("\0\0\0\x01\x00\x06", 6), true);
    DeviceRoot::OverrideSetting("trafficserver", "127.0.0.1:" + std::to_string(server->Port()));
    std::atomic<bool> waitingShown{false};
    std::thread watcher([&] {
        server->Request();
        waitingShown = WinIsWaitCursor();
        server.reset();
    });
    HostedRun run = Hosted("answer yes\nanswer ok\n", [&] { m_view->DownloadTraffic(1); });
    watcher.join();
    EXPECT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find(Utf16ToUtf8(u"인터넷 연결 환경을 확인 해 주십시오.")), std::string::npos)
        << run.msgboxLog;
    EXPECT_TRUE(waitingShown);
    EXPECT_FALSE(WinIsWaitCursor());
    EXPECT_EQ(timesSaid(), 0);
}

TEST_F(MainViewTrafficTest, DisplayOptionsGoToTheSheetAndComeBackIntoConfigAndTraffic) {
    const std::uint8_t start[4] = {1, 0, 1, 1};
    m_config->SetServiceFlags(start);
    OpenWithStores();
    // Opening the stores gave the traffic store the configuration's options.
    EXPECT_EQ(CTraffic::instance()->m_display[0].load(), 1);
    EXPECT_EQ(CTraffic::instance()->m_display[1].load(), 0);

    bool seen[4] = {};
    m_view->SetTrafficSheetRunner([&](const CString&) {
        CSheetStorage::instance()->RestoreDisplayOption(seen);
        // The user turns 서행 on and 정체 off on the display page.
        const bool changed[4] = {true, true, true, false};
        CSheetStorage::instance()->StoreDisplayOption(changed);
    });
    m_view->ShowTrafficSheet(1);
    EXPECT_TRUE(seen[0]);
    EXPECT_FALSE(seen[1]);
    EXPECT_TRUE(seen[2]);
    EXPECT_TRUE(seen[3]);

    EXPECT_EQ(StoredSetting(44), 1);
    EXPECT_EQ(StoredSetting(45), 1);
    EXPECT_EQ(StoredSetting(46), 1);
    EXPECT_EQ(StoredSetting(47), 0);
    EXPECT_EQ(CTraffic::instance()->m_display[1].load(), 1);
    EXPECT_EQ(CTraffic::instance()->m_display[3].load(), 0);
    // Written aside and renamed: nothing left beside config.bin.
    const std::filesystem::path stored = DeviceRoot::Resolve(m_config->GetItemPath(u"환경설정", -1).Str());
    for (const auto& entry : std::filesystem::directory_iterator(stored.parent_path()))
        EXPECT_EQ(entry.path().filename().string().find("config.bin."), std::string::npos) << entry.path();
}

TEST_F(MainViewTrafficTest, MapMoveFromTheSheet) {
    OpenWithStores();
    sMOVEMAP move;
    m_view->SetTrafficSheetRunner([&](const CString&) {
        CSheetStorage::instance()->SetMapMove(&move);
        CSheetStorage::instance()->SetMapMoveFlag(1);
    });

    // A section of 300 m: the first step from 8 down whose distance (500 m at step 7) covers it.
    // Grid cell 1021 with offsets 5000, 3000: the map is centred where the code puts it.
    move = sMOVEMAP{5000, 3000, 300, 1021};
    POINT expected{};
    ASSERT_TRUE(CodeToPosition(1021, 5000, 3000, expected));
    ASSERT_GT(expected.x, 0);
    m_view->StartFollowing();
    m_view->ShowTrafficSheet(1);
    EXPECT_EQ(m_view->GetMapLevel(), m_view->StepToLevel(7));
    EXPECT_EQ(m_doc->mapX, expected.x);
    EXPECT_EQ(m_doc->mapY, expected.y);
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
    EXPECT_EQ(CSheetStorage::instance()->IsMapMoveFlag(), 0);

    // Cell 3111 with small offsets lies west of the map's origin: the level is taken, the map
    // stays where it was.
    POINT west{};
    if (CodeToPosition(3111, 10, 10, west)) {
        EXPECT_LE(west.x, 0);
    }
    const std::int32_t x = m_doc->mapX, y = m_doc->mapY;
    move = sMOVEMAP{10, 10, 20000, 3111};
    m_view->ShowTrafficSheet(1);
    EXPECT_EQ(m_view->GetMapLevel(), m_view->StepToLevel(2));
    EXPECT_EQ(m_doc->mapX, x);
    EXPECT_EQ(m_doc->mapY, y);
    EXPECT_EQ(CSheetStorage::instance()->IsMapMoveFlag(), 0);

    // No move asked: nothing changes.
    const int level = m_view->GetMapLevel();
    m_view->SetTrafficSheetRunner([](const CString&) {});
    m_view->ShowTrafficSheet(1);
    EXPECT_EQ(m_view->GetMapLevel(), level);
}

TEST_F(MainViewTrafficTest, HostPlacesAndRunsTheSheet) {
    Open();
    CTrafficSheetHost host(m_view);
    host.SetTitle(CString(u"교통정보"), nullptr);
    RECT place{};
    std::u16string caption, title;
    bool parentIsHost = false;
    host.m_runSheet = [&](CDARCSheet& sheet) -> INT_PTR {
        ::GetWindowRect(host.m_hWnd, &place);
        caption = sheet.m_strCaption.GetString();
        title = sheet.GetTrafficTitle().GetString();
        parentIsHost = sheet.m_pParentWnd == &host;
        return IDOK;
    };
    INT_PTR result = 0;
    HostedRun run = Hosted("", [&] { result = host.DoModal(); });
    EXPECT_FALSE(run.failed) << run.failure;
    // The host closed itself once the sheet returned.
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.top, 26);
    EXPECT_EQ(place.right - place.left, 240);
    EXPECT_EQ(place.bottom - place.top, 294);
    EXPECT_EQ(caption, u"ZARN정보");
    EXPECT_EQ(title, u"교통정보");
    EXPECT_TRUE(parentIsHost);
}

// With the receiver unit on COM1 (a pseudo-terminal) and the scanner searching, one reception
// cycle writes the scanner's next sentence to the port and marks it outstanding; a frequency
// chosen by hand writes its sentence on the next cycle.
TEST_F(MainViewTrafficTest, TuningSentencesReachTheUnitPort) {
    PseudoTerminal unit;
    ASSERT_TRUE(unit.IsOpen());
    DeviceRoot::OverrideSetting("com1", unit.DevicePath());
    m_config->SetValue(32, 1);
    m_config->SetValue(31, 0);
    Open();
    m_view->CreatePositionServices();
    CPositionWorkers* workers = m_view->GetPositionWorkers();
    ASSERT_NE(workers, nullptr);
    workers->SelectReceiverMode();   // receiver mode 1: the stores open
    ASSERT_TRUE(m_view->BroadcastStoresOpen());
    ASSERT_TRUE(workers->OpenUnitPort());
    std::uint8_t drain[256];
    while (unit.Read(drain, sizeof drain, 100) > 0) {
    }

    CFreqScanner* scanner = CFreqScanner::instance();
    ASSERT_EQ(scanner->StartSearch(scanner->GetFreq(0)), 1);
    m_view->BroadcastReceptionCycle();
    const auto f = static_cast<std::uint8_t>(scanner->GetCurrentFreq());
    const std::uint8_t next[5] = {0x02, 0x35, f, static_cast<std::uint8_t>(0x100 - ((0x35 + f) & 0xFF)), 0x03};
    std::uint8_t got[5] = {};
    ASSERT_EQ(unit.Read(got, 5, 2000), 5u);
    EXPECT_EQ(std::vector<std::uint8_t>(got, got + 5), std::vector<std::uint8_t>(next, next + 5));
    EXPECT_EQ(scanner->IsWaitingPacket(), 1);

    // The report is awaited: no sentence. A hand-chosen 97.4 MHz (code 130) goes out at once.
    scanner->SetNewFreq(130);
    m_view->BroadcastReceptionCycle();
    const std::uint8_t manual[5] = {0x02, 0x35, 130, 0x100 - 0x35 - 130, 0x03};
    ASSERT_EQ(unit.Read(got, 5, 2000), 5u);
    EXPECT_EQ(std::vector<std::uint8_t>(got, got + 5), std::vector<std::uint8_t>(manual, manual + 5));
    EXPECT_EQ(unit.Read(got, 5, 200), 0u);
    EXPECT_EQ(scanner->IsFreqChanged(), 0);
    EXPECT_EQ(scanner->IsScanMode(), 0);
    m_view->ShutdownDevices();
}

// The exit: the reader's shutdown closes the stores (their save files written), the broadcast
// singletons go in their order with the decoder last; the application's own go in ExitInstance.
TEST_F(MainViewTrafficTest, ExitSavesTheStoresAndDestroysSingletonsInOrder) {
    m_config->SetValue(32, 1);
    Open();
    m_view->CreatePositionServices();
    m_view->GetPositionWorkers()->SelectReceiverMode();
    ASSERT_TRUE(m_view->BroadcastStoresOpen());

    const std::filesystem::path saves = DeviceRoot::Resolve(u"\\My Documents\\Velko");
    const auto before = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(2);
    std::vector<std::string> order;
    CMainView::SetSingletonRecorder([&](const char* name) { order.emplace_back(name); });
    m_view->ShutdownDevices();
    EXPECT_FALSE(m_view->BroadcastStoresOpen());

    const std::vector<std::string> broadcast = {
        "CStock",         "CTraffic",   "CShortText",   "CWeather",     "CFreqScanner",
        "CMarkup",        "CChannelInfo", "CDARCShortText", "CDARCStock", "CDARCTraffic",
        "CDARCWeather",   "SearchStock", "CSheetStorage", "CDARC"};
    // Closing destroys them once, the reader's shutdown again (each a no-op the second time).
    ASSERT_GE(order.size(), broadcast.size());
    EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + broadcast.size()), broadcast);
    for (const std::string& name : order) EXPECT_NE(name, "CNaviConfig");
    int fresh = 0;
    ASSERT_TRUE(std::filesystem::is_directory(saves));
    for (const auto& entry : std::filesystem::directory_iterator(saves))
        if (entry.is_regular_file() && entry.last_write_time() >= before) ++fresh;
    EXPECT_GT(fresh, 0);

    // The application's own once view, frame and document are gone.
    m_frame->DestroyWindow();
    ASSERT_EQ(m_app->m_pMainWnd, nullptr);
    order.clear();
    CMainView::DestroyOwnSingletons();
    EXPECT_EQ(order, (std::vector<std::string>{"CMRNetReader", "CNmeaParser", "CNaviConfig"}));
    m_config = nullptr;
}

} // namespace

namespace {

// The links of the selected route, as (map, link) pairs in order.
std::vector<std::pair<int, int>> RouteLinks(CRouteManager& routes) {
    std::vector<std::pair<int, int>> links;
    const CRoute* route = routes.SelectedRoute();
    if (!route || !route->path) return links;
    for (int i = 0; i < route->path->Items().Count(); ++i)
        links.emplace_back(route->path->Items()[i].mapId, route->path->Items()[i].linkId);
    return links;
}

// A search along the eastbound expressway from near its western end: free flow keeps to the
// carriageway; a broadcast giving its first broadcast link (index 52, eastbound) 5 km/h makes the
// search take the other road there (the service area's road beside the carriageway) while the
// receiver's level is 2 or more and traffic is wanted (setting 14); otherwise the free-flow way.
TEST_F(MainViewTrafficTest, CongestedExpresswayLinkTurnsTheSearchToTheOtherRoad) {
    WinSetMessageBoxHandler([](HWND, const std::u16string&, const std::u16string&, UINT) { return IDYES; });
    routes_dialogs::SetRouteInfoRunner([](CRouteInfoDlg&) { return 6; });
    m_config->SetValue(32, 1);
    m_config->SetValue(12, 1);
    OpenWithStores();
    m_view->CreatePositionServices();
    ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
    CRouteManager& routes = m_view->GetRouteManager();
    int level = 3;
    m_view->SetReceptionLevelSource([&level] { return level; });
    auto search = [&] {
        EXPECT_GE(routes.SetStart(193445, 528653, u"출발"), 1);
        EXPECT_GE(routes.SetGoal(208000, 528600, u"도착"), 1);
        EXPECT_EQ(m_view->SearchRoute(false, 15, false), 1);
        return RouteLinks(routes);
    };

    m_config->SetValue(14, 1);
    const std::vector<std::pair<int, int>> freeFlow = search();
    ASSERT_FALSE(freeFlow.empty());

    unsigned long id = 0;
    ASSERT_TRUE(CTraffic::instance()->getDarcIDByIdx(52, id));
    unsigned char packet[22] = {0x17, 0x00};
    for (int k = 0; k < 4; ++k) {
        for (int b = 0; b < 4; ++b) packet[2 + 5 * k + b] = static_cast<unsigned char>(id >> (24 - 8 * b));
        packet[6 + 5 * k] = 5;
    }
    CTraffic::instance()->setData(packet, sizeof packet);
    unsigned char speed = 0;
    ASSERT_TRUE(CTraffic::instance()->getRealSpeedByIdx(52, speed));
    ASSERT_EQ(speed, 5);

    // Weighed: another way, which leaves out links of the free-flow one and reaches the same goal.
    const std::vector<std::pair<int, int>> weighed = search();
    EXPECT_EQ(routes.SelectedRoute()->useTraffic, 1);
    ASSERT_FALSE(weighed.empty());
    EXPECT_NE(weighed, freeFlow);
    EXPECT_EQ(weighed.back(), freeFlow.back());
    int leftOut = 0;
    for (const auto& link : freeFlow)
        if (std::find(weighed.begin(), weighed.end(), link) == weighed.end()) ++leftOut;
    EXPECT_GT(leftOut, 0);

    // Not weighed: the same congestion leaves the free-flow way, at level 1 and with setting 14 off.
    struct Case {
        const char* name;
        int level, useTraffic;
    };
    for (const Case& c : {Case{"level 1", 1, 1}, Case{"traffic not wanted", 3, 0}}) {
        SCOPED_TRACE(c.name);
        level = c.level;
        m_config->SetValue(14, c.useTraffic);
        EXPECT_EQ(search(), freeFlow);
        EXPECT_EQ(routes.SelectedRoute()->useTraffic, 0);
    }
    routes_dialogs::SetRouteInfoRunner(nullptr);
    WinSetMessageBoxHandler(nullptr);
}

} // namespace

namespace {

// The GPS reader switching the receiver off (another thread) while the sheet is up: the close
// returns at once and the stores stay open for the sheet; they close when it returns. Switched
// on again before the sheet returns, they stay open.
TEST_F(MainViewTrafficTest, ReceiverSwitchedOffWhileTheSheetIsUpClosesAfterIt) {
    OpenWithStores();
    struct Case {
        const char* name;
        bool onAgain;
        bool openAfter;
    };
    for (const Case& c : {Case{"switched off", false, false}, Case{"off and on again", true, true}}) {
        SCOPED_TRACE(c.name);
        m_view->OpenBroadcastStores();
        ASSERT_TRUE(m_view->BroadcastStoresOpen());
        bool openDuringSheet = false;
        unsigned long id = 0;
        m_view->SetTrafficSheetRunner([&](const CString&) {
            std::thread reader([&] {
                m_view->CloseBroadcastStores();
                if (c.onAgain) m_view->OpenBroadcastStores();
            });
            reader.join();
            // The sheet still reads the stores.
            openDuringSheet = m_view->BroadcastStoresOpen();
            CTraffic::instance()->getDarcIDByIdx(52, id);
            CSheetStorage::instance()->SetMapMoveFlag(0);
        });
        m_view->ShowTrafficSheet(1);
        EXPECT_TRUE(openDuringSheet);
        EXPECT_NE(id, 0u);
        EXPECT_EQ(m_view->BroadcastStoresOpen(), c.openAfter);
    }
    // With no sheet up the close is immediate.
    m_view->SetTrafficSheetRunner(nullptr);
    m_view->CloseBroadcastStores();
    EXPECT_FALSE(m_view->BroadcastStoresOpen());
}

} // namespace
