// The view's first loading of its data on the sample device: the route data judged by the data
// set's header (each unusable data set with its own message), the area tables (a failure shows
// the folder and the start goes on), the guidance data, the route the user was on and the
// driving trail (absent or unreadable: left empty).
#include "app/tests/MainViewFixture.h"

#include "platform/sound/Sound.h"
#include "position/GuideManager.h"
#include "position/LocusRecorder.h"
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviMenuButton.h"
#include "skinui/main/NaviMenus.h"
#include "skinui/main/NaviPoiBar.h"
#include "skinui/main/NaviRouteBars.h"
#include "tools/mkdevice/Networks.h"

#include <filesystem>
#include <string>
#include <vector>

using namespace mainview_test;

namespace {

std::u16string Message(UINT id) { return AfxLoadString(id).GetString(); }

// Moves a file of the sample aside for one test and puts it back.
class FileAside {
public:
    explicit FileAside(const std::u16string& cePath)
        : m_path(DeviceRoot::Resolve(cePath)), m_aside(m_path + ".aside") {
        std::filesystem::rename(m_path, m_aside);
    }
    ~FileAside() {
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
        std::filesystem::rename(m_aside, m_path, ec);
    }
    // Puts a copy back with one byte more at its end (the file's tail, which the data set's
    // checksums cover, no longer matches).
    void RestoreLonger() {
        std::filesystem::copy_file(m_aside, m_path);
        std::ofstream(m_path, std::ios::binary | std::ios::app).put('\x5A');
    }
    void Write(const std::string& bytes) { std::ofstream(m_path, std::ios::binary) << bytes; }

private:
    std::string m_path;
    std::string m_aside;
};

// A user file the test starts without and removes again.
class Scratch {
public:
    explicit Scratch(const std::u16string& cePath) : m_path(DeviceRoot::Resolve(cePath)) { Remove(); }
    ~Scratch() { Remove(); }
    void Remove() {
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
    }
    void Write(const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(m_path).parent_path());
        std::ofstream(m_path, std::ios::binary) << bytes;
    }

private:
    std::string m_path;
};

class MainViewDataTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            shown.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override {
        WinSetMessageBoxHandler(nullptr);
        MainViewTest::TearDown();
        // The view saves its trail as it closes: the next test starts without one.
        Scratch(u"\\My Documents\\Velko\\locus.bin");
    }
    std::vector<std::u16string> shown;
};

const CString kFolder(kDataFolder);

TEST_F(MainViewDataTest, TheSampleDataSetOpensWithoutAWord) {
    Open();
    EXPECT_TRUE(m_view->OpenRouteData(kFolder));
    EXPECT_GT(m_view->GetRouteManager().MapCount(), 0);
    EXPECT_NE(m_view->GetRouteManager().Engine(), nullptr);
    EXPECT_TRUE(m_view->OpenAreaTable(kFolder));
    EXPECT_TRUE(shown.empty());
}

TEST_F(MainViewDataTest, AnUnusableDataSetIsNamedAndEndsTheStart) {
    struct Case {
        const char16_t* file;
        bool longer; // the file there with a changed tail, else missing
        UINT message;
    };
    const Case cases[] = {
        {u"\\MRData\\MRManage.bin", false, 177}, // no map directory: nothing to judge the data by
        {u"\\mapdatainfo.bin", false, 214},
        {u"\\MRData\\MRCross.bin", false, 216},
        {u"\\MRData\\MRCross.bin", true, 216},
        {u"\\SearchDB\\aVelko.db", false, 217},
        {u"\\SearchDB\\aVelko.db", true, 217},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.file) + (c.longer ? " changed" : " missing"));
        shown.clear();
        FileAside aside(std::u16string(kDataFolder) + c.file);
        if (c.longer) aside.RestoreLonger();
        EXPECT_FALSE(m_view->OpenRouteData(kFolder));
        EXPECT_EQ(shown, std::vector<std::u16string>{Message(c.message)});
    }
}

TEST_F(MainViewDataTest, WithoutTheAreaTablesTheFolderIsShownAndPlacesStayUnnamed) {
    FileAside aside(std::u16string(kDataFolder) + u"\\SearchDB\\Gu.bin");
    Open();
    EXPECT_FALSE(m_view->OpenAreaTable(kFolder));
    EXPECT_EQ(shown, std::vector<std::u16string>{u"\\Storage Card\\MapData\\SearchDB\\"});
    char answer[64] = "unchanged";
    std::int32_t x = 0, y = 0;
    NetToMapCoord(45761782, 13504989, x, y);
    EXPECT_EQ(m_view->GetAdminSearch().DoSrch(x, y, answer), 0);
    EXPECT_STREQ(answer, "unchanged");
}

TEST_F(MainViewDataTest, GuidanceIsMadeEvenWhenItsDataIsMissing) {
    Open();
    EXPECT_EQ(m_view->GetGuideManager(), nullptr);
    // A folder without voice, highway or guide-point data: guidance exists, reports the failure.
    EXPECT_NE(m_view->LoadGuidanceData(CString(u"\\Nowhere")), CGuideManager::kLoaded);
    ASSERT_NE(m_view->GetGuideManager(), nullptr);
    // The sample's data loads into the same manager.
    EXPECT_EQ(m_view->LoadGuidanceData(kFolder), CGuideManager::kLoaded);
    EXPECT_TRUE(shown.empty());
}

TEST_F(MainViewDataTest, TheRouteTableBringsBackTheRouteBeingDriven) {
    // A route searched and kept in the route table as the last run left it.
    std::int32_t sx = 0, sy = 0, gx = 0, gy = 0;
    NetToMapCoord(45735368, 13536388, sx, sy);
    NetToMapCoord(45807691, 13542865, gx, gy);
    Scratch table(u"\\My Documents\\Velko\\RouteTbl.bin");
    POINT savedGoal{};
    {
        CRouteManager earlier;
        ASSERT_EQ(earlier.Init(kFolder), 1);
        ASSERT_GE(earlier.SetStart(sx, sy, u"출발"), 1);
        ASSERT_GE(earlier.SetGoal(gx, gy, u"도착"), 1);
        ASSERT_EQ(earlier.SearchRoute(), 0);
        earlier.CommitRoute();
        earlier.AcceptSelectedResult();
        savedGoal = earlier.GetGoalPos();
        ASSERT_TRUE(earlier.SaveRouteFile(nullptr));
    }
    Open();
    ASSERT_TRUE(m_view->OpenRouteData(kFolder));
    m_view->LoadGuidanceData(kFolder);
    ASSERT_EQ(m_view->GetAutoReturn(), CMainView::kAutoReturnStopped);
    m_clock.Advance(1234);
    const DWORD now = GetTickCount();
    ASSERT_TRUE(m_view->RestoreLastRoute());
    CRouteManager& routes = m_view->GetRouteManager();
    EXPECT_TRUE(routes.RouteActive());
    EXPECT_TRUE(routes.HasGoal());
    // The goal the last run drove to, a few map units from where it was tapped (the route keeps
    // network coordinates).
    EXPECT_EQ(routes.GetGoalPos().x, savedGoal.x);
    EXPECT_EQ(routes.GetGoalPos().y, savedGoal.y);
    EXPECT_NEAR(savedGoal.x, gx, 5);
    EXPECT_NEAR(savedGoal.y, gy, 5);
    EXPECT_EQ(m_view->GetAutoReturn(), 0); // the countdown runs
    EXPECT_EQ(m_view->GetRouteDisplayState(), 15);
    EXPECT_EQ(m_view->GetHighwayBarStart(), now);
    EXPECT_TRUE(shown.empty());
}

TEST_F(MainViewDataTest, NoOrAnUnreadableRouteTableLeavesNoRoute) {
    Open();
    ASSERT_TRUE(m_view->OpenRouteData(kFolder));
    Scratch table(u"\\My Documents\\Velko\\RouteTbl.bin");
    for (const std::string& bytes : {std::string(), std::string("\x0F"), std::string(300, '\xFF'),
                                     std::string("\x0F") + std::string(207, '\0')}) {
        SCOPED_TRACE(bytes.size());
        if (!bytes.empty()) table.Write(bytes);
        EXPECT_FALSE(m_view->RestoreLastRoute());
        EXPECT_FALSE(m_view->GetRouteManager().RouteActive());
        EXPECT_FALSE(m_view->GetRouteManager().HasGoal());
        EXPECT_EQ(m_view->GetAutoReturn(), CMainView::kAutoReturnStopped);
        EXPECT_EQ(m_view->GetRouteDisplayState(), 0);
    }
}

TEST_F(MainViewDataTest, TheTrailOfTheLastRunIsDrawnAgain) {
    Scratch trail(u"\\My Documents\\Velko\\locus.bin");
    {
        CLocusRecorder last;
        ASSERT_TRUE(last.AddPoint(45735368, 13536388));
        ASSERT_TRUE(last.AddPoint(45745368, 13536388)); // 10,000 units east: far more than 10 m
        std::filesystem::create_directories(DeviceRoot::Resolve(u"\\My Documents\\Velko"));
        ASSERT_TRUE(last.Save(u"\\My Documents\\Velko\\locus.bin"));
    }
    Open();
    ASSERT_TRUE(m_view->LoadTrail());
    const CLocusRecorder* locus = m_view->GetLocus();
    ASSERT_TRUE(locus->HasPoints());
    EXPECT_EQ(locus->PointCount(), 2);
    std::int32_t x = 0, y = 0;
    NetToMapCoord(45745368, 13536388, x, y);
    EXPECT_EQ(locus->X(0, 1), x);
    EXPECT_EQ(locus->Y(0, 1), y);
}

TEST_F(MainViewDataTest, AMissingOrDamagedTrailLeavesItEmpty) {
    Open();
    Scratch trail(u"\\My Documents\\Velko\\locus.bin");
    EXPECT_FALSE(m_view->LoadTrail()); // none
    EXPECT_FALSE(m_view->GetLocus()->HasPoints());
    // Short, and of the right size but with a segment number out of range.
    std::string outOfRange(CLocusRecorder::kFileSize, '\0');
    outOfRange[24480] = 30;
    for (const std::string& bytes : {std::string(100, '\x01'), outOfRange}) {
        trail.Write(bytes);
        EXPECT_FALSE(m_view->LoadTrail());
        EXPECT_FALSE(m_view->GetLocus()->HasPoints());
    }
}

} // namespace

// The main screen's first state: a restored route's waypoints on the waypoint bar, the user menu
// buttons and the POI bar from the settings, the volume icon from the wave volume, the button
// sounds, the voice switch, the services flag; the guide points the user switched off reach
// guidance.
TEST_F(MainViewDataTest, TheFirstStateOfTheMainScreenComesFromTheSettingsAndTheRestoredRoute) {
    auto mapAt = [](double eastKm, double northKm) {
        const mkdev::NetPoint n = mkdev::KmToNet(45720000, 13470000, eastKm, northKm);
        std::int32_t x = 0, y = 0;
        NetToMapCoord(n.x, n.y, x, y);
        return POINT{x, y};
    };
    Scratch table(u"\\My Documents\\Velko\\RouteTbl.bin");
    {
        CRouteManager earlier;
        ASSERT_EQ(earlier.Init(kFolder), 1);
        const POINT s = mapAt(4.25, 20.5), g = mapAt(24.25, 22.5);
        const POINT via[2] = {mapAt(12.1, 11.8), mapAt(17.0, 12.25)};
        ASSERT_GE(earlier.SetStart(s.x, s.y, u"출발"), 1);
        for (int i = 0; i < 2; ++i) ASSERT_GE(earlier.InsertWaypoint(via[i].x, via[i].y, u"경유", i), 1);
        ASSERT_GE(earlier.SetGoal(g.x, g.y, u"도착"), 1);
        ASSERT_EQ(earlier.SearchRoute(), 0);
        earlier.CommitRoute();
        earlier.AcceptSelectedResult();
        ASSERT_TRUE(earlier.SaveRouteFile(nullptr));
    }
    // User menu: slot 0 shows entry 3, slot 5 entry 30, the rest empty; the POI bar on category 2,
    // its list closed; voice guidance and button sounds off; no information service.
    for (int i = 54; i <= 61; ++i) m_config->SetValue(i, 0);
    m_config->SetValue(54, 3);
    m_config->SetValue(59, 30);
    m_config->SetValue(3, 2);
    m_config->SetValue(49, 0);
    m_config->SetValue(65, 0);
    m_config->SetValue(66, 0);
    const std::uint8_t noService[4] = {0, 0, 0, 0};
    m_config->SetServiceFlags(noService);
    SoundSetVolumeControl(true);
    waveOutSetVolume(nullptr, 0);

    Open();
    ASSERT_TRUE(m_view->OpenRouteData(kFolder));
    m_view->LoadGuidanceData(kFolder);
    m_view->PrepareOverlayControls();
    m_view->NoteServicesUsed();
    ASSERT_TRUE(m_view->RestoreLastRoute());
    ASSERT_EQ(m_view->GetRouteManager().GetWaypointCount(), 2);
    m_view->PrepareMainScreen();
    NaviMainScreen& screen = *m_view->GetMainScreen();

    auto* bar = dynamic_cast<NaviWaypointBar*>(screen.FindControl(u"경유지설정"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetCount(), 2);
    auto* menu = dynamic_cast<NaviMyMenuCtrl*>(screen.FindControl(u"NaviMyMenu"));
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(menu->GetSlot(0), nullptr);
    EXPECT_EQ(menu->GetSlot(0)->GetName(), CString(MyMenuEntryTable[3]));
    ASSERT_NE(menu->GetSlot(5), nullptr);
    EXPECT_EQ(menu->GetSlot(5)->GetName(), CString(MyMenuEntryTable[30]));
    // Entry 0 is the empty button.
    ASSERT_NE(menu->GetSlot(1), nullptr);
    EXPECT_EQ(menu->GetSlot(1)->GetName(), CString(u"메뉴버튼"));
    auto* poi = dynamic_cast<NaviPoiBar*>(screen.FindControl(u"POIBAR"));
    ASSERT_NE(poi, nullptr);
    EXPECT_TRUE(poi->HasSelection());
    EXPECT_FALSE(poi->GetCurrentEntry());
    // Volume 0: the muted icon shows.
    NaviControl* mute = screen.FindControl(u"Mute");
    ASSERT_NE(mute, nullptr);
    EXPECT_TRUE(mute->IsVisible());
    EXPECT_FALSE(screen.GetClickSound());
    EXPECT_FALSE(m_view->IsVoiceGuidanceOn());
    EXPECT_FALSE(m_view->AreServicesUsed());

    // The other way round: sounds and voice on, one service on, an audible volume, the POI list
    // open.
    m_config->SetValue(66, 1);
    m_config->SetValue(65, 1);
    const std::uint8_t oneService[4] = {0, 0, 1, 0};
    m_config->SetServiceFlags(oneService);
    m_config->SetValue(49, 1);
    waveOutSetVolume(nullptr, 0xFFFF);
    m_view->PrepareOverlayControls();
    m_view->NoteServicesUsed();
    m_view->PrepareMainScreen();
    EXPECT_TRUE(poi->GetCurrentEntry());
    EXPECT_FALSE(mute->IsVisible());
    EXPECT_TRUE(screen.GetClickSound());
    EXPECT_TRUE(m_view->IsVoiceGuidanceOn());
    EXPECT_TRUE(m_view->AreServicesUsed());
    SoundReset();
    EXPECT_TRUE(shown.empty());
}
