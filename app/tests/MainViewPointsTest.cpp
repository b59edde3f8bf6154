// The user's own places on the sample device's lists: home and the frequent place from the
// registered points (set as destination in map coordinates), the recent destinations kept after
// a route search (ten at most, most recent first, saved aside and renamed), a typed position
// outside the map, and the safe-driving point added at the map centre while driving.
#include "app/tests/MainViewFixture.h"

#include "app/NaviApp.h"
#include "app/PositionStore.h"
#include "app/RecentDestList.h"
#include "app/SafePointList.h"
#include "platform/files/Files.h"
#include "platform/sound/Sound.h"
#include "route/RouteManager.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

using namespace mainview_test;

namespace {

// Keeps a copy of a file of the shared sample and puts it back after the test.
class KeepFile {
public:
    explicit KeepFile(const std::u16string& cePath) : m_path(DeviceRoot::Resolve(cePath)) {
        std::ifstream in(m_path, std::ios::binary);
        m_existed = static_cast<bool>(in);
        m_bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    ~KeepFile() {
        std::error_code ec;
        if (m_existed) std::ofstream(m_path, std::ios::binary | std::ios::trunc) << m_bytes;
        else std::filesystem::remove(m_path, ec);
    }

private:
    std::string m_path;
    std::string m_bytes;
    bool m_existed = false;
};

std::string Name(const char* field, std::size_t size) { return Cp949ToUtf8(std::string(field, strnlen(field, size))); }

CRecentDestRecord Recent(const std::string& name, std::int32_t x, std::int32_t y, int key) {
    CRecentDestRecord r;
    const std::string bytes = Utf8ToCp949(name);
    std::memcpy(r.name, bytes.data(), std::min<std::size_t>(bytes.size(), CRecentDestRecord::kNameSize));
    r.x = x;
    r.y = y;
    r.values[0] = key;
    return r;
}

// One recent-destination entry as the file holds it: name 20 bytes, x, y, waypoint number, key.
struct StoredRecent {
    std::string name;
    std::int32_t x, y, number, key;
};
std::vector<StoredRecent> ReadRecentFile(const std::u16string& cePath) {
    const std::vector<std::uint8_t> bytes = ReadCe(cePath);
    std::vector<StoredRecent> out;
    if (bytes.size() < 4) return out;
    const std::uint32_t count = U32(bytes.data());
    for (std::uint32_t i = 0; i < count && 4 + (i + 1) * 44 <= bytes.size(); ++i) {
        const std::uint8_t* p = bytes.data() + 4 + i * 44;
        out.push_back({Name(reinterpret_cast<const char*>(p), 20), static_cast<std::int32_t>(U32(p + 20)),
                       static_cast<std::int32_t>(U32(p + 24)), static_cast<std::int32_t>(U32(p + 28)),
                       static_cast<std::int32_t>(U32(p + 32))});
    }
    return out;
}

class MainViewPointsTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        navi::g_recentDestPath = CRecentDestList::FilePath(navi::g_deviceType, *m_config);
        m_keepRecent = std::make_unique<KeepFile>(navi::g_recentDestPath.Str());
        m_keepPosition = std::make_unique<KeepFile>(u"\\Storage Card\\VelkoData\\position");
        m_keepSafe = std::make_unique<KeepFile>(m_config->GetItemPath(u"안전운행지점", -1).Str());
        CPositionStore& store = CPositionStore::Instance();
        store.SetBaseFolder(m_config->GetItemPath(u"현재저장위치", -1));
        ASSERT_TRUE(store.Reload());
        ASSERT_TRUE(CRecentDestList::Instance().LoadFrom(navi::g_recentDestPath.GetString()));
        ASSERT_TRUE(CSafePointList::Added().LoadFrom(m_config->GetItemPath(u"안전운행지점", -1).GetString()));
    }
    void TearDown() override {
        WinSetMessageBoxHandler(nullptr);
        MainViewTest::TearDown();
        CRecentDestList::Instance().Clear();
        CSafePointList::Added().Clear();
        m_keepRecent.reset();
        m_keepPosition.reset();
        m_keepSafe.reset();
        CPositionStore::Instance().Reload();
        std::error_code ec;
        std::filesystem::remove(DeviceRoot::Resolve(u"\\My Documents\\Velko\\locus.bin"), ec);
    }

    // Notices are answered and kept.
    void LogMessages() {
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            shown.push_back(Utf16ToUtf8(text));
            return IDOK;
        });
    }
    void OpenWithRoutes() {
        Open();
        ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
        LogMessages();
    }

    std::vector<std::string> shown;
    std::unique_ptr<KeepFile> m_keepRecent, m_keepPosition, m_keepSafe;
};

// The sample's home, "집" in the folder "기본": network 45,720,000, 13,500,000 (127 E, 37 30' N),
// which is map x 720,000 x 4/15 = 192,000 and map y 1,590,000 / 3 = 530,000.
constexpr std::int32_t kHomeMapX = 192000;
constexpr std::int32_t kHomeMapY = 530000;

TEST_F(MainViewPointsTest, HomeIsTheFirstRegisteredPointNamedHomeSetInMapCoordinates) {
    OpenWithRoutes();
    // A second "집" further along the same folder: the first one in list order is taken.
    CPosRecord second;
    const std::string name = Utf8ToCp949("집");
    std::memcpy(second.name, name.data(), name.size());
    second.x = 45720000 + 36000; // 10 seconds further east
    second.y = 13500000;
    ASSERT_TRUE(CPositionStore::Instance().Add(u"기본", second));
    m_view->GoHome(false);
    EXPECT_TRUE(shown.empty()) << shown.front();
    const POINT goal = m_view->GetRouteManager().GetGoalPos();
    EXPECT_EQ(goal.x, kHomeMapX);
    EXPECT_EQ(goal.y, kHomeMapY);
    EXPECT_EQ(m_view->GetRouteManager().GetGoalName(), CString(u"집"));
}

TEST_F(MainViewPointsTest, HomeAndFrequentPlaceRefusals) {
    OpenWithRoutes();
    // The sample registers no "자주가는곳".
    m_view->GoFrequentPlace(false);
    // Without any registered point there is no "집" either.
    std::filesystem::create_directories(DeviceRoot::Resolve(u"\\My Documents\\Velko\\nopoints"));
    CPositionStore::Instance().SetBaseFolder(u"\\My Documents\\Velko\\nopoints");
    CPositionStore::Instance().Reload();
    m_view->GoHome(false);
    CPositionStore::Instance().SetBaseFolder(m_config->GetItemPath(u"현재저장위치", -1));
    CPositionStore::Instance().Reload();
    // Pedestrians are not routed home.
    m_view->SetPedestrianMode(true);
    m_view->GoHome(false);
    m_view->SetPedestrianMode(false);
    EXPECT_EQ(shown, (std::vector<std::string>{"등록지점 중 '자주가는곳' 항목이 없습니다. 새로 등록해 주십시오",
                                               "등록지점 중 '집' 항목이 없습니다. 새로 등록해 주십시오",
                                               "보행자 모드에서는 실행할수 없습니다."}));
    EXPECT_EQ(m_view->GetRouteManager().GetGoalPos().x, -1);
}

TEST_F(MainViewPointsTest, ANewDestinationReplacesTheOldestOfTenRecentOnes) {
    OpenWithRoutes();
    // Ten entries keyed -9 (the most recent) to 0 (the oldest).
    std::vector<CRecentDestRecord> ten;
    for (int i = 0; i < 10; ++i)
        ten.push_back(Recent("목적지" + std::to_string(i), 100000 + i * 1200, 500000, i - 9));
    CRecentDestList::Instance().Assign(ten);
    ASSERT_GE(m_view->GetRouteManager().SetGoal(kHomeMapX, kHomeMapY, u"새 목적지"), 1);
    m_view->AddRouteToRecentDestinations();
    EXPECT_TRUE(shown.empty());
    const std::vector<StoredRecent> file = ReadRecentFile(navi::g_recentDestPath.Str());
    ASSERT_EQ(file.size(), 10u);
    // The new one first with key -10; the others keep their keys; "목적지9" (key 0) is gone.
    EXPECT_EQ(file[0].name, "새 목적지");
    EXPECT_EQ(file[0].key, -10);
    EXPECT_EQ(file[0].number, 0);
    EXPECT_EQ(file[0].x, kHomeMapX);
    EXPECT_EQ(file[0].y, kHomeMapY);
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(file[static_cast<std::size_t>(i)].name, "목적지" + std::to_string(i - 1)) << i;
        EXPECT_EQ(file[static_cast<std::size_t>(i)].key, i - 10) << i;
    }
    // Memory and file agree.
    ASSERT_EQ(CRecentDestList::Instance().GetCount(), 10);
    EXPECT_EQ(CRecentDestList::Instance().GetAt(9)->values[0], -1);
}

TEST_F(MainViewPointsTest, ARepeatedDestinationMovesToTheFrontWithoutASecondEntry) {
    OpenWithRoutes();
    // The sample's list: 가람시청 (key 0), 나루역 waypoint 3 (1), 동문시장 waypoint 5 (2), 나루역 앞 (3).
    CRecentDestList& list = CRecentDestList::Instance();
    ASSERT_EQ(list.GetCount(), 4);
    const CRecentDestRecord last = *list.GetAt(3);
    ASSERT_EQ(Name(last.name, 20), "나루역 앞");
    // Chosen from the list again and routed to: its position goes into the route and back.
    ASSERT_GE(m_view->GetRouteManager().SetGoal(last.x, last.y, u"나루역 앞"), 1);
    m_view->AddRouteToRecentDestinations();
    const std::vector<StoredRecent> file = ReadRecentFile(navi::g_recentDestPath.Str());
    ASSERT_EQ(file.size(), 4u);
    EXPECT_EQ(file[0].name, "나루역 앞");
    EXPECT_EQ(file[0].key, -1); // the first entry's key 0, less one
    EXPECT_EQ(file[0].x, last.x);
    EXPECT_EQ(file[0].y, last.y);
    EXPECT_EQ(file[1].name, "가람시청");
    EXPECT_EQ(file[2].name, "나루역");
    EXPECT_EQ(file[3].name, "동문시장");
}

TEST_F(MainViewPointsTest, WaypointsAreKeptWithTheirNumbersAndAFailedSaveKeepsTheOldFile) {
    OpenWithRoutes();
    CRecentDestList& list = CRecentDestList::Instance();
    const CRecentDestRecord cityHall = *list.GetAt(0);
    list.Clear();
    CRouteManager& route = m_view->GetRouteManager();
    ASSERT_GE(route.SetGoal(kHomeMapX, kHomeMapY, u"집"), 1);
    ASSERT_GE(route.InsertWaypoint(cityHall.x, cityHall.y, u"시청", 0), 1);
    const std::vector<std::uint8_t> before = ReadCe(navi::g_recentDestPath.Str());
    FilesFailNextOperations(1);
    m_view->AddRouteToRecentDestinations();
    FilesFailNextOperations(0);
    // The waypoint came first (key 0, number 1), the destination after it (key -1) and in front.
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(Name(list.GetAt(0)->name, 20), "집");
    EXPECT_EQ(list.GetAt(0)->kind, 0);
    EXPECT_EQ(list.GetAt(0)->values[0], -1);
    EXPECT_EQ(Name(list.GetAt(1)->name, 20), "시청");
    EXPECT_EQ(list.GetAt(1)->kind, 1);
    EXPECT_EQ(list.GetAt(1)->values[0], 0);
    EXPECT_EQ(shown, (std::vector<std::string>{"최근목적지을 위한 Database를 생성할 수 없습니다."}));
    EXPECT_EQ(ReadCe(navi::g_recentDestPath.Str()), before);
}

// The latitude/longitude dialog on the sample skin, as its own test drives it: the keypad's digits,
// "위치보기" at (60, 131), "이전" at (175, 18).
std::string Key(char c) {
    if (c == '.') return "tap 202 237\n";
    if (c == '0') return "tap 42 268\n";
    const int d = c - '1';
    return "tap " + std::to_string(42 + 55 * (d % 3)) + " " + std::to_string(172 + 32 * (d / 3)) + "\n";
}
std::string Keys(const std::string& keys) {
    std::string s;
    for (char c : keys) s += Key(c);
    return s;
}

TEST_F(MainViewPointsTest, ATypedPositionOutsideTheMapIsRefusedAndTheMapStays) {
    Open();
    std::int32_t x0 = 0, y0 = 0;
    m_view->GetMapWnd().GetCenter(x0, y0);
    // 131 E lies east of the map (map x (47,160,000 - 45,000,000) x 4/15 = 576,000 > 520,000).
    const std::string script = "answer ok\nwait 100\n" + Keys("131" "00" "00.00" "37" "30" "0") +
                               "tap 60 131\nwait 100\ntap 175 18\nwait 50\n";
    const HostedRun run = RunHosted(s_device->root, script, [&] {
        m_view->MoveToLatLon(false);
        return 0;
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find("경위도가 지도 범위를 벗어났습니다."), std::string::npos) << run.msgboxLog;
    std::int32_t x = 0, y = 0;
    m_view->GetMapWnd().GetCenter(x, y);
    EXPECT_EQ(x, x0);
    EXPECT_EQ(y, y0);
    EXPECT_EQ(m_view->GetLastSearchName(), CString(u"경위도이동"));
}

TEST_F(MainViewPointsTest, KeyFunctionTwoAddsTheMapCentreOnlyWhileTheCarMoves) {
    Open();
    LogMessages();
    m_view->LoadGuidanceData(kDataFolder);
    auto recorder = std::make_shared<SoundRecorder>();
    SoundSetOutput(recorder);
    m_view->MoveMapTo(203143, 531663, 123);
    m_view->SetVehicle(203143, 531663, 123);
    CSafePointList& added = CSafePointList::Added();
    const int before = added.GetCount();
    // Parked: a valid fix standing still, no guidance, no simulated drive.
    GpsPosRecord fix{};
    fix.status = 'A';
    m_view->SetFix(fix, true);
    m_view->AddSafeDrivePointHere();
    EXPECT_EQ(shown, (std::vector<std::string>{"주행중 또는 모의주행중에만 입력가능합니다."}));
    EXPECT_EQ(added.GetCount(), before);
    EXPECT_TRUE(recorder->Clips().empty());
    // Moving at 42.3 km/h on a road of class 2, then on one of class 5 (kept as 0).
    fix.speed = 423;
    m_view->SetFix(fix, true);
    struct Case {
        int roadKind;
        std::uint16_t storedClass;
    };
    for (const Case c : {Case{2, 2}, Case{5, 0}}) {
        m_view->SetCurrentRoad(c.roadKind, 0);
        m_view->AddSafeDrivePointHere();
        const CSafePointRecord* r = added.GetAt(added.GetCount() - 1);
        ASSERT_NE(r, nullptr);
        // Map 203143 -> network 45,000,000 + trunc(trunc(203143 / 1.2) x 4.5) = 45,761,782, that is
        // 457,617 seconds: 127 06' 57"; map 531663 -> 11,910,000 + 3 x 531663 = 13,504,989, that is
        // 135,049 seconds: 37 30' 49".
        EXPECT_EQ(Name(r->name, 20), "E1270657 N373049");
        EXPECT_EQ(r->x, 45761782);
        EXPECT_EQ(r->y, 13504989);
        EXPECT_EQ(r->values[0], 0);
        EXPECT_EQ(r->values[1], c.storedClass);
        EXPECT_EQ(r->values[2], 123);
    }
    EXPECT_EQ(added.GetCount(), before + 2);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(m_doc->safePointsExist);
    // Each addition said so with voice message 21.
    EXPECT_EQ(recorder->Clips().size(), 2u);
    // The list's file holds both, saved aside and renamed.
    CSafePointList onDisk;
    ASSERT_TRUE(onDisk.LoadFrom(m_config->GetItemPath(u"안전운행지점", -1).GetString()));
    ASSERT_EQ(onDisk.GetCount(), before + 2);
    EXPECT_EQ(Name(onDisk.GetAt(before + 1)->name, 20), "E1270657 N373049");
    SoundSetOutput(nullptr);
}

TEST_F(MainViewPointsTest, EmptyListsOpenNothingAndSaySo) {
    Open();
    LogMessages();
    CRecentDestList::Instance().Clear();
    CSafePointList::Added().Clear();
    CSafePointList::Removed().Clear();
    std::filesystem::create_directories(DeviceRoot::Resolve(u"\\My Documents\\Velko\\nopoints"));
    CPositionStore::Instance().SetBaseFolder(u"\\My Documents\\Velko\\nopoints");
    CPositionStore::Instance().Reload();
    m_view->ShowRecentDestinations(false, true);
    m_view->ManageSafeDrivePoints(0);
    m_view->ShowRegisteredPoints(false, true);
    CPositionStore::Instance().SetBaseFolder(m_config->GetItemPath(u"현재저장위치", -1));
    EXPECT_EQ(shown, (std::vector<std::string>{"등록된 최근목적지가 존재하지 않습니다.",
                                               "등록/삭제된 안전운행 구간이 존재하지 않습니다.",
                                               "등록된 지점이 없습니다"}));
}

TEST_F(MainViewPointsTest, ARecentDestinationShownOnTheMapStopsFollowingAndStartsTheCountdown) {
    Open();
    m_view->StartFollowing();
    m_view->StopAutoReturn();
    // "위치보기" on the first row (selected at a fresh opening), as the recent-destination tab's
    // own tests tap it.
    const HostedRun run = RunHosted(s_device->root, "wait 100\ntap 120 270\nwait 50\n", [&] {
        m_view->ShowRecentDestinations(false, true);
        return 0;
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.msgboxLog, "");
    EXPECT_EQ(m_view->GetLastSearchName(), CString(u"최근목적지"));
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
}

TEST_F(MainViewPointsTest, TheMapCentreIsRegisteredInNetworkCoordinates) {
    Open();
    m_doc->savedPositionsExist = false;
    m_view->MoveMapTo(kHomeMapX, kHomeMapY, 0);
    m_view->SetEventText(u"%s", u"시험지점");
    ASSERT_EQ(m_view->GetEventText(), CString(u"시험지점"));
    CPositionStore& store = CPositionStore::Instance();
    const int before = store.GetCount();
    // "저장" of the registration dialog at (185, 66), as its own tests tap it.
    const HostedRun run = RunHosted(s_device->root, "wait 100\ntap 185 66\nwait 50\n", [&] {
        m_view->RegisterMapCenter();
        return 0;
    });
    ASSERT_FALSE(run.failed) << run.failure;
    ASSERT_EQ(store.GetCount(), before + 1);
    // Map 192,000, 530,000 is network 45,000,000 + 160,000 x 4.5 and 11,910,000 + 3 x 530,000.
    const CPosRecord& added = store.GetFolder(u"기본")->GetAt(store.GetFolder(u"기본")->GetCount() - 1)[0];
    EXPECT_EQ(added.x, 45720000);
    EXPECT_EQ(added.y, 13500000);
    EXPECT_TRUE(m_doc->savedPositionsExist);
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
}

} // namespace
