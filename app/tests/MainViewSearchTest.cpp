// The main view's searches on the sample device: what each launch hands the search library (the
// screen by menu mode, the point kind preset, the records kept for "이전"), what a result does,
// the outdated-database notice, the nearby search's map level and facility category, and the
// point-of-interest bar. The search screens themselves are replaced by runners that fill the
// view's record and answer as the library does.
#include "MainViewFixture.h"

#include "app/NaviApp.h"
#include "app/RecentDestList.h"
#include "app/ShellUtilities.h"

#include "platform/base/Text.h"
#include "route/base/Coords.h"
#include "search/CSearchManager.h"
#include "search/NaviMediator.h"
#include "search/NeighManage.h"
#include "skinui/NaviControl.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviPoiBar.h"
#include "tools/mkdevice/Networks.h"
#include "tools/mkdevice/PlaceTable.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

using namespace mainview_test;

namespace {

constexpr int kBasic = 2004;
constexpr int kAdvanced = 2005;

template <std::size_t N>
void Put(char (&field)[N], const std::string& utf8) {
    std::memset(field, 0, N);
    const std::string bytes = Utf8ToCp949(utf8);
    std::memcpy(field, bytes.data(), std::min(bytes.size(), N - 1));
}

// What one opening of a search screen was given.
struct Opening {
    CString screen;
    int uiType = -1;
    int pointType = -1;
    bool directRoute = true;
    bool activeWhileOpen = false;
};

// A control of the main screen that only keeps the commands the screen hands its controls (every
// command sent to "NaviMain" reaches each control).
class CommandRecorder : public NaviControl {
public:
    void OnPenDown() override {}
    void OnPenUp() override {}
    int HitTest(int, int) override { return 0; }
    void LoadImages(NaviRcBuilder*) override {}
    void Draw(CDC*) override {}
    void ProcessCommand(NaviCommand& cmd) override { seen.push_back(cmd); }
    bool Saw(int id, const CString& text) const {
        return std::any_of(seen.begin(), seen.end(), [&](const NaviCommand& c) { return c.id == id && c.text == text; });
    }
    std::vector<NaviCommand> seen;
};

class MainViewSearchTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            messages.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override {
        CMainView::Runners() = CMainView::SearchRunners();
        WinSetMessageBoxHandler(nullptr);
        MainViewTest::TearDown();
    }

    void OpenInMode(int mode) {
        Open();
        m_view->GetMainScreen()->SetMode(mode);
    }

    template <class Record>
    Opening Seen(CSearchManager& manager, const Record& record) {
        Opening o;
        o.screen = manager.GetSearchName();
        o.uiType = manager.GetUIType();
        o.pointType = record.pointType;
        o.directRoute = manager.GetDirectRoute();
        o.activeWhileOpen = m_view->GetActiveSearch() == &manager;
        return o;
    }

    std::vector<std::u16string> messages;
};

// Each search closed without a result: the screen by menu mode, the UI type, the point kind the
// record starts with, the name kept for "이전"; the main screen restored.
TEST_F(MainViewSearchTest, EachSearchOpensItsScreenForTheMenuModeWithItsKindPreset) {
    Open();
    CMainView::SearchRunners& runners = CMainView::Runners();
    std::vector<Opening> seen;
    runners.name = [&](CSearchManager& m, _NAME_RESULT& r) { seen.push_back(Seen(m, r)); return 2; };
    runners.address = [&](CSearchManager& m, _ADDR_RESULT& r) { seen.push_back(Seen(m, r)); return 2; };
    runners.category = [&](CSearchManager& m, _CATE_RESULT& r) { seen.push_back(Seen(m, r)); return 2; };
    runners.theme = [&](CSearchManager& m, _THEME_RESULT& r) { seen.push_back(Seen(m, r)); return 2; };
    runners.around = [&](CSearchManager& m, _AROUND_RESULT& r) { seen.push_back(Seen(m, r)); return 2; };

    enum Search { kName, kAddress, kCategory, kTheme, kAround };
    struct Case {
        Search search;
        int mode;
        int pickMode;
        const char16_t* screen;
        int kind;
    } cases[] = {
        // The name search presets destination in the basic menu and "only show" elsewhere.
        {kName, kBasic, CMainView::kPickStart, u"NameSearch", 2},
        {kName, kAdvanced, CMainView::kPickStart, u"NameSearchAdv", 4},
        // Address, theme and nearby take the basic menu's pick mode when it picks a point;
        // elsewhere the fresh record's 0 lets the screen choose.
        {kAddress, kBasic, CMainView::kPickStart, u"AddressSearch", 1},
        {kAddress, kBasic, CMainView::kPickGoal, u"AddressSearch", 2},
        {kAddress, kAdvanced, CMainView::kPickGoal, u"AddressSearchAdv", 0},
        {kTheme, kBasic, CMainView::kPickWaypoint, u"ThemeSearch", 3},
        {kTheme, kAdvanced, CMainView::kPickGoal, u"ThemeSearchAdv", 0},
        // Moving the map only: the point kind of the basic menu's tabs (destination unless
        // "텝_출발지" was chosen).
        {kAround, kBasic, CMainView::kPickMove, u"AroundSearch", 2},
        {kAround, kAdvanced, CMainView::kPickGoal, u"AroundSearchAdv", 0},
        // The category search has one screen and no preset.
        {kCategory, kBasic, CMainView::kPickGoal, u"CateSearch", 0},
        {kCategory, kAdvanced, CMainView::kPickGoal, u"CateSearch", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.screen) + " mode " + std::to_string(c.mode));
        m_view->GetMainScreen()->SetMode(c.mode);
        m_view->SetPointPickMode(c.pickMode);
        // Leftovers of an earlier search that a fresh launch of the address, theme, nearby and
        // category searches clears.
        m_view->GetAddrResult().pointType = 9;
        m_view->GetThemeResult().pointType = 9;
        m_view->GetAroundResult().pointType = 9;
        m_view->GetCateResult().pointType = 9;
        m_view->GetMainScreen()->CloseMenu();
        ASSERT_TRUE(m_view->GetMainScreen()->GetMenuName().IsEmpty());
        seen.clear();
        switch (c.search) {
        case kName: m_view->SearchName(false); break;
        case kAddress: m_view->SearchAddress(false, true); break;
        case kCategory: m_view->SearchCategory(false); break;
        case kTheme: m_view->SearchTheme(false); break;
        case kAround: m_view->SearchAround(false); break;
        }
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].screen, CString(c.screen));
        EXPECT_EQ(m_view->GetLastSearchName(), CString(c.screen));
        EXPECT_EQ(seen[0].pointType, c.kind);
        EXPECT_FALSE(seen[0].directRoute); // no destination yet
        if (c.search != kAround) {
            EXPECT_EQ(seen[0].uiType, c.mode);
            EXPECT_TRUE(seen[0].activeWhileOpen);
        }
        EXPECT_EQ(m_view->GetActiveSearch(), nullptr);
        // Cancelled: the menu of the mode opens again.
        EXPECT_FALSE(m_view->GetMainScreen()->GetMenuName().IsEmpty());
        EXPECT_TRUE(messages.empty());
    }
    EXPECT_EQ(m_view->GetMediatorState(), 2);
}

// A fresh name search keeps what the record held (the screen starts from the last query); a
// fresh address search starts from a new record, and a re-entry reopens the remembered screen
// with the record as the last search left it.
TEST_F(MainViewSearchTest, FreshAndReenteredLaunchesKeepOrResetTheRecord) {
    OpenInMode(kAdvanced);
    CMainView::SearchRunners& runners = CMainView::Runners();
    std::vector<std::string> queries;
    runners.name = [&](CSearchManager&, _NAME_RESULT& r) {
        queries.push_back(Cp949ToUtf8(std::string(r.query)));
        Put(r.query, "가람");
        return 2;
    };
    m_view->SearchName(false);
    m_view->SearchName(false);
    EXPECT_EQ(queries, (std::vector<std::string>{"", "가람"}));

    std::vector<std::array<std::int32_t, 4>> levels;
    std::vector<CString> screens;
    runners.address = [&](CSearchManager& m, _ADDR_RESULT& r) {
        levels.push_back({r.levelIndex[0], r.levelIndex[1], r.levelIndex[2], r.levelIndex[3]});
        screens.push_back(m.GetSearchName());
        r.levelIndex[0] = 3;
        r.levelIndex[1] = 1;
        return 2;
    };
    m_view->SearchAddress(false, true);
    // Back in the basic menu, "이전" still reopens the advanced screen as it was left.
    m_view->GetMainScreen()->SetMode(kBasic);
    m_view->SearchAddress(true, true);
    m_view->SearchAddress(false, true);
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_EQ(levels[0], (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(levels[1], (std::array<std::int32_t, 4>{3, 1, -1, -1}));
    EXPECT_EQ(levels[2], (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(screens, (std::vector<CString>{u"AddressSearchAdv", u"AddressSearchAdv", u"AddressSearch"}));
}

// A result that only shows the point: the advanced name search's preset kind 4 moves the map, no
// route point is set and the screen is not opened again; the menus close, the automatic return
// to the car starts and the map no longer follows the car.
TEST_F(MainViewSearchTest, AnAdvancedNameResultOnlyMovesTheMap) {
    OpenInMode(kAdvanced);
    m_view->StartFollowing();
    m_view->StopAutoReturn();
    m_view->GetMainScreen()->SetMenuMode(kAdvanced);
    int openings = 0;
    CMainView::Runners().name = [&](CSearchManager&, _NAME_RESULT& r) {
        ++openings;
        Put(r.name, "나루역");
        r.mapLevel = 8;
        r.pos[0] = 1021; // the cell at the origin: the offsets are the map position
        r.pos[1] = 150;
        r.pos[2] = 275;
        return 1;
    };
    m_view->SearchName(false);
    EXPECT_EQ(openings, 1);
    EXPECT_EQ(m_view->GetNameResult().pointType, 4);
    EXPECT_EQ(m_view->GetSearchPoint().x, 150);
    EXPECT_EQ(m_view->GetSearchPoint().y, 275);
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
    EXPECT_TRUE(m_view->GetMainScreen()->GetMenuName().IsEmpty());
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickMove);
    EXPECT_TRUE(messages.empty());

    // A cell code the map has no cell for moves nothing: the menu comes back instead.
    CMainView::Runners().name = [&](CSearchManager&, _NAME_RESULT& r) {
        ++openings;
        r.pos[0] = 0;
        r.pos[1] = 1;
        r.pos[2] = 1;
        return 1;
    };
    m_view->SearchName(false);
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(m_view->GetSearchPoint().x, 150);
    EXPECT_EQ(m_view->GetSearchPoint().y, 275);
    EXPECT_FALSE(m_view->GetMainScreen()->GetMenuName().IsEmpty());
}

// In the basic menu a shown start or destination leaves the map waiting for that point.
TEST_F(MainViewSearchTest, ABasicMenuResultSetsThePickModeOfItsKind) {
    OpenInMode(kBasic);
    struct Case {
        int kind;
        int pickMode;
    } cases[] = {{1, CMainView::kPickStart}, {2, CMainView::kPickGoal}, {4, CMainView::kPickMove}};
    for (const Case& c : cases) {
        m_view->SetPointPickMode(CMainView::kPickMove);
        CMainView::Runners().category = [&](CSearchManager&, _CATE_RESULT& r) {
            Put(r.name, "가람시청");
            r.pos[0] = 1021;
            r.pointType = static_cast<std::uint8_t>(c.kind);
            r.mapLevel = 8;
            return 1;
        };
        m_view->SearchCategory(false);
        EXPECT_EQ(m_view->GetPointPickMode(), c.pickMode) << c.kind;
    }
}

// A database whose version cannot be read: notice 61221 and no screen; the address search also
// restores the main screen when asked to. Theme and nearby searches have no check.
TEST_F(MainViewSearchTest, AnOutdatedDatabaseIsReportedInsteadOfSearching) {
    OpenInMode(kBasic);
    namespace fs = std::filesystem;
    const fs::path folder = DeviceRoot::Resolve(std::u16string(kDataFolder) + u"\\SearchDB");
    struct Moved {
        fs::path from, to;
        ~Moved() {
            if (!from.empty()) fs::rename(to, from);
        }
    };
    Moved name{folder / "nVelko.db", folder / "nVelko.db.away"};
    Moved address{folder / "aVelko.db", folder / "aVelko.db.away"};
    fs::rename(name.from, name.to);
    fs::rename(address.from, address.to);

    int openings = 0;
    CMainView::SearchRunners& runners = CMainView::Runners();
    runners.name = [&](CSearchManager&, _NAME_RESULT&) { return ++openings, 2; };
    runners.address = [&](CSearchManager&, _ADDR_RESULT&) { return ++openings, 2; };
    runners.category = [&](CSearchManager&, _CATE_RESULT&) { return ++openings, 2; };
    runners.theme = [&](CSearchManager&, _THEME_RESULT&) { return ++openings, 2; };
    runners.around = [&](CSearchManager&, _AROUND_RESULT&) { return ++openings, 2; };
    const std::u16string outdated = u"검색 DB버젼이 최신이 아닙니다. 최신 검색 DB를 설치하여 주십시오.";

    m_view->SearchName(false);
    m_view->SearchCategory(false);
    EXPECT_EQ(openings, 0);
    EXPECT_EQ(messages, (std::vector<std::u16string>{outdated, outdated}));

    m_view->GetMainScreen()->SetMenuMode(kBasic);
    m_view->GetMainScreen()->CloseMenu();
    ASSERT_TRUE(m_view->GetMainScreen()->GetMenuName().IsEmpty());
    m_view->SearchAddress(false, false);
    EXPECT_TRUE(m_view->GetMainScreen()->GetMenuName().IsEmpty());
    m_view->SearchAddress(false, true);
    EXPECT_FALSE(m_view->GetMainScreen()->GetMenuName().IsEmpty()); // the basic menu again
    EXPECT_EQ(openings, 0);
    EXPECT_EQ(messages.size(), 4u);

    m_view->SearchTheme(false);
    m_view->SearchAround(false);
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(messages.size(), 4u);
}

// A result chosen with the route-at-once button becomes the destination and the route is planned
// to it, the map left where the search put it.
TEST_F(MainViewSearchTest, ADirectRouteResultPlansTheRoute) {
    OpenInMode(kAdvanced);
    m_view->CreatePositionServices();
    ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
    m_config->SetValue(12, 1);
    // Found routes go into the recent destinations, as after start-up.
    navi::g_recentDestPath = CRecentDestList::FilePath(navi::g_deviceType, *m_config);
    CRouteManager& routes = m_view->GetRouteManager();
    const mkdev::NetPoint start = mkdev::KmToNet(45720000, 13470000, 10.6, 10.3);
    const mkdev::NetPoint goal = mkdev::KmToNet(45720000, 13470000, 13.6, 12.7);
    std::int32_t sx = 0, sy = 0;
    NetToMapCoord(start.x, start.y, sx, sy);
    ASSERT_GE(routes.SetStart(sx, sy, u"출발"), 1);
    CMainView::Runners().theme = [&](CSearchManager&, _THEME_RESULT& r) {
        r.x = static_cast<std::uint32_t>(goal.x);
        r.y = static_cast<std::uint32_t>(goal.y);
        Put(r.name, "바람역");
        r.pointType = 2;
        r.routeDirectly = 1;
        r.mapLevel = 8;
        return 1;
    };
    m_view->SearchTheme(false);
    for (const std::u16string& m : messages) ADD_FAILURE() << Utf16ToUtf8(m);
    ASSERT_TRUE(routes.HasGoal());
    EXPECT_EQ(routes.GetGoalName(), CString(u"바람역"));
    std::int32_t gx = 0, gy = 0;
    NetToMapCoord(goal.x, goal.y, gx, gy);
    EXPECT_EQ(m_view->GetChosenPoint().x, gx);
    EXPECT_EQ(m_view->GetChosenPoint().y, gy);
    ASSERT_NE(routes.SelectedRoute(), nullptr);
    EXPECT_TRUE(routes.SelectedRoute()->hasResult);
    EXPECT_EQ(m_view->GetRouteMode(), 0x0F);
}

// A waypoint the route refuses (there is no destination to add it to) opens the same screen again
// with the record as the user left it, so that another point can be picked.
TEST_F(MainViewSearchTest, ARefusedWaypointReopensTheSameScreenWithItsRecord) {
    OpenInMode(kAdvanced);
    CMainView::SearchRunners& runners = CMainView::Runners();
    struct Seen {
        CString screen;
        int row = 0;
        int pointType = 0;
    };
    std::vector<Seen> seen;
    // First opening: a waypoint chosen with the route-at-once button; second: closed.
    auto fill = [&](CSearchManager& m, auto& r, std::int32_t& row) {
        seen.push_back({m.GetSearchName(), row, r.pointType});
        if (seen.size() > 1) return 2;
        if constexpr (requires { r.name; }) Put(r.name, "나루역");
        else Put(r.detail, "가람시 나루동");
        row = 7;
        r.pointType = 3;
        r.routeDirectly = 1;
        r.mapLevel = 8;
        return 1;
    };
    runners.name = [&](CSearchManager& m, _NAME_RESULT& r) {
        r.pos[0] = 1021;
        return fill(m, r, r.row);
    };
    runners.category = [&](CSearchManager& m, _CATE_RESULT& r) {
        r.pos[0] = 1021;
        return fill(m, r, r.index[4]);
    };
    POINT themePoint{-1, -1};
    runners.theme = [&](CSearchManager& m, _THEME_RESULT& r) {
        if (!seen.empty()) themePoint = m_view->GetSearchPoint();
        r.x = 45004500;
        r.y = 11919000;
        return fill(m, r, r.row);
    };
    runners.around = [&](CSearchManager& m, _AROUND_RESULT& r) {
        r.kind = 1; // a facility, not a category
        r.x = 1001;
        r.y = 2002;
        return fill(m, r, r.row);
    };
    struct Case {
        const char16_t* screen;
        std::function<void()> launch;
    } cases[] = {
        {u"NameSearchAdv", [&] { m_view->SearchName(false); }},
        {u"CateSearch", [&] { m_view->SearchCategory(false); }},
        {u"ThemeSearchAdv", [&] { m_view->SearchTheme(false); }},
        {u"AroundSearchAdv", [&] { m_view->SearchAround(false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.screen));
        seen.clear();
        c.launch();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[1].screen, CString(c.screen));
        EXPECT_EQ(seen[1].row, 7);
        EXPECT_EQ(seen[1].pointType, 3);
    }
    // The theme record is in network units: 4500 east of the origin is map x 4500 / 4.5 * 1.2,
    // 9000 north is map y 9000 / 3.
    EXPECT_EQ(themePoint.x, 1200);
    EXPECT_EQ(themePoint.y, 3000);
    // The nearby record's x is before the display's factor 1.2: 1001 -> 1201.
    EXPECT_EQ(m_view->GetSearchPoint().x, 1201);
    EXPECT_EQ(m_view->GetSearchPoint().y, 2002);

    seen.clear();
    runners.address = [&](CSearchManager& m, _ADDR_RESULT& r) {
        r.pos[0] = 1021;
        return fill(m, r, r.levelIndex[2]);
    };
    m_view->SearchAddress(false, true);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].screen, CString(u"AddressSearchAdv"));
    EXPECT_EQ(seen[1].row, 7);
}

class MainViewSearchNearbyTest : public MainViewSearchTest {
protected:
    // The nearby search with the map at `level`, the screen answering `result` after writing
    // the record's kind and category.
    void Launch(int level, int result, int kind, int category, std::function<void()> whileOpen = {}) {
        m_view->SetLevel(level);
        CMainView::Runners().around = [=, this](CSearchManager& m, _AROUND_RESULT& r) {
            EXPECT_EQ(m.GetNaviMediator(), static_cast<NaviMediator*>(m_view));
            EXPECT_NE(m.m_pMapCallback, nullptr);
            EXPECT_EQ(m_view->GetMediatorState(), 1);
            EXPECT_FALSE(m_view->IsFollowing());
            EXPECT_EQ(m_view->GetAutoReturn(), CMainView::kAutoReturnStopped);
            // The point-of-interest bar steps aside while the screen is open.
            EXPECT_FALSE(Bar().IsShowable());
            shownBefore = r.shownCategory;
            if (whileOpen) whileOpen();
            r.kind = kind;
            r.shownCategory = category;
            return result;
        };
        m_view->SearchAround(false);
    }
    NaviPoiBar& Bar() { return *dynamic_cast<NaviPoiBar*>(m_view->GetMainScreen()->FindControl(u"POIBAR")); }
    int shownBefore = -2;
};

// A category chosen for the map raises the level to where that category's layer shows; a level
// already above stays; a category outside the ten layers changes nothing; a cancelled search or
// the current position puts back the level the map had before the screen moved it.
TEST_F(MainViewSearchNearbyTest, TheMapLevelFollowsTheChosenCategoryOrComesBack) {
    OpenInMode(kAdvanced);
    const int low = m_view->StepToLevel(2);
    const int high = m_view->StepToLevel(9);
    ASSERT_GT(low, 0);
    ASSERT_GT(high, m_view->StepToLevel(6));
    m_config->SetValue(48, 5);
    m_config->SaveSettings(-1);

    Launch(low, 1, 2, 3);
    EXPECT_EQ(shownBefore, 5); // setting 48 handed to the screen
    EXPECT_EQ(m_view->GetMapLevel(), m_view->StepToLevel(6));
    EXPECT_EQ(m_view->GetFacilityCategory(), 3);
    EXPECT_EQ(m_config->GetValue(48), 3);
    EXPECT_EQ(m_view->GetMediatorState(), 2);
    EXPECT_TRUE(Bar().IsShowable());
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
    CNaviConfig saved;
    saved.Load(kDataFolder);
    EXPECT_EQ(saved.GetValue(48), 3);

    Launch(low, 1, 2, 2); // LPG stations show from step 5
    EXPECT_EQ(m_view->GetMapLevel(), m_view->StepToLevel(5));
    Launch(high, 1, 2, 3);
    EXPECT_EQ(m_view->GetMapLevel(), high);
    Launch(low, 1, 2, -1); // no category: nothing to raise for
    EXPECT_EQ(m_view->GetMapLevel(), low);
    EXPECT_EQ(m_config->GetValue(48), -1);

    m_config->SetValue(48, 4);
    Launch(low, 1, 2, 12);
    EXPECT_EQ(m_view->GetMapLevel(), low);
    EXPECT_EQ(m_view->GetFacilityCategory(), 4);
    EXPECT_EQ(m_config->GetValue(48), 4);

    // The screen moved the map level (its previews) before it was left.
    Launch(low, 2, 1, 3, [&] { m_view->SetLevel(high); });
    EXPECT_EQ(m_view->GetMapLevel(), low);
    EXPECT_FALSE(m_view->IsFollowing());
    Launch(low, 3, 1, 3, [&] { m_view->SetLevel(high); });
    EXPECT_EQ(m_view->GetMapLevel(), low);
    EXPECT_TRUE(m_view->IsFollowing());
    EXPECT_TRUE(messages.empty());
}

// The nearby screen measures from the map centre in network units, the theme screen in tenths.
TEST_F(MainViewSearchTest, TheNearbyAndThemeScreensMeasureFromTheMapCentre) {
    OpenInMode(kBasic);
    std::int32_t cx = 0, cy = 0;
    m_view->GetMapWnd().GetCenter(cx, cy);
    // Network units by hand: X = int(int(x * 5/6) * 4.5) + 45000000, Y = int(y * 3) + 11910000.
    const auto netX = static_cast<unsigned long>(static_cast<std::int64_t>(static_cast<std::int64_t>(cx * 0.8333333333333334) * 4.5) + 45000000);
    const auto netY = static_cast<unsigned long>(static_cast<std::int64_t>(cy * 3.0) + 11910000);
    unsigned long aroundX = 0, aroundY = 0, themeX = 0, themeY = 0;
    CString storage;
    CMainView::Runners().around = [&](CSearchManager& m, _AROUND_RESULT&) {
        aroundX = m.GetCurrentX();
        aroundY = m.GetCurrentY();
        storage = m.GetStoragePath();
        return 2;
    };
    CMainView::Runners().theme = [&](CSearchManager& m, _THEME_RESULT&) {
        themeX = m.GetCurrentX();
        themeY = m.GetCurrentY();
        return 2;
    };
    m_view->SearchAround(false);
    m_view->SearchTheme(false);
    EXPECT_EQ(aroundX, netX);
    EXPECT_EQ(aroundY, netY);
    EXPECT_EQ(themeX, netX / 10);
    EXPECT_EQ(themeY, netY / 10);
    EXPECT_EQ(storage, CString(kDataFolder));
}

// Without a runner the program runs the library's own screen: the nearby screen opens (it has the
// view as mediator and the map callback, or it would answer 4 without showing) on the category
// the map shows (setting 48); its view tab's "적용" applies that category again and the level
// rises to where LPG stations show.
TEST_F(MainViewSearchTest, TheProgramRunsTheLibrarysNearbyScreen) {
    TempRoot scratch;
    DeviceRoot::SetRoot(s_device->root.Path());
    OpenInMode(kBasic);
    m_config->SetValue(48, 2);
    const int level = m_view->StepToLevel(2);
    m_view->SetLevel(level);
    const HostedRun run = RunHosted(scratch, "wait 300\ntap 110 45\nwait 50\ntap 119 265\nwait 100\n", [&] {
        m_view->SearchAround(false);
        return 0;
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(m_view->GetAroundResult().kind, 2);
    EXPECT_EQ(m_view->GetAroundResult().shownCategory, 2);
    EXPECT_EQ(m_config->GetValue(48), 2);
    EXPECT_EQ(m_view->GetFacilityCategory(), 2);
    EXPECT_EQ(m_view->GetMapLevel(), m_view->StepToLevel(5));
    EXPECT_EQ(m_view->GetMediatorState(), 2);
}

// The basic menu's name search through the library's own screen: "가람시" lists 가람시청 fourth,
// "위치보기" shows it. The map stands on the record's point, 가람시청 is the destination and the map
// waits for a destination (point-pick mode 32829), the main screen was told (id 100 with the
// screen's name) and its menus are closed.
TEST_F(MainViewSearchTest, ABasicNameSearchShowsItsPlaceAndWaitsForTheDestination) {
    TempRoot scratch;
    DeviceRoot::SetRoot(s_device->root.Path());
    OpenInMode(kBasic);
    m_view->CreatePositionServices();
    ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
    auto* recorder = new CommandRecorder;
    m_view->GetMainScreen()->AddControl(recorder);
    const HostedRun run = RunHosted(scratch,
                                    "wait 300\ntext \"가\"\nwait 100\ntext \"람\"\nwait 100\ntext \"시\"\nwait 100\n"
                                    "tap 60 129\nwait 100\ntap 120 269\nwait 300\n",
                                    [&] {
                                        m_view->SearchName(false);
                                        return 0;
                                    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_TRUE(run.msgboxLog.empty()) << run.msgboxLog;
    const _NAME_RESULT& record = m_view->GetNameResult();
    ASSERT_EQ(Cp949ToUtf8(std::string(record.name)), "가람시청");
    POINT at{};
    ASSERT_TRUE(CodeToPosition(static_cast<std::int16_t>(record.pos[0]), static_cast<std::int16_t>(record.pos[1]),
                               static_cast<std::int16_t>(record.pos[2]), at));
    std::int32_t cx = 0, cy = 0;
    m_view->GetMapWnd().GetCenter(cx, cy);
    EXPECT_EQ(cx, at.x);
    EXPECT_EQ(cy, at.y);
    // The record's point is the sample's 가람시청 (12.0 km east, 11.25 km north), up to the
    // rounding of the database's cell offsets.
    const mkdev::NetPoint hall = mkdev::SampleNet(12.0, 11.25);
    std::int32_t hx = 0, hy = 0;
    NetToMapCoord(hall.x, hall.y, hx, hy);
    EXPECT_NEAR(cx, hx, 3);
    EXPECT_NEAR(cy, hy, 3);
    EXPECT_EQ(m_view->GetPointPickMode(), 32829);
    EXPECT_TRUE(m_view->GetRouteManager().HasGoal());
    EXPECT_EQ(m_view->GetRouteManager().GetGoalName(), CString(u"가람시청"));
    EXPECT_TRUE(recorder->Saw(100, u"NameSearch"));
    EXPECT_TRUE(m_view->GetMainScreen()->GetMenuName().IsEmpty());
    EXPECT_FALSE(m_view->IsFollowing());
}

// The nearby search's markers on the sample device: around 가람시청, every facility of every
// category shows the sample skin's picture of its brand code, the sign's bottom centre 8 pixels
// below the facility's point (the map centred there); the chosen facility's mark belongs to the
// last marker only. Closing the search (state 2) takes every marker away.
TEST_F(MainViewSearchTest, NearbyMarkersShowTheirFacilitysPictureOnItsPoint) {
    OpenInMode(kBasic);
    m_view->StopFollowing();
    // The landmark pictures of the sample skin: fill colour and size by code.
    std::map<int, mkdev::SkinImageSpec> pictures;
    const std::string prefix = "DisSymbol\\Landmark\\";
    for (const mkdev::SkinImageSpec& spec : mkdev::ReadSkinManifest(std::string(VELKO_SKIN_MANIFESTS) + "/core.txt"))
        if (spec.name.rfind(prefix, 0) == 0) pictures[std::stoi(spec.name.substr(prefix.size()))] = spec;
    RECT map{};
    m_view->GetMapWnd().GetWindowRect(&map);
    const int cx = (map.left + map.right) / 2, cy = (map.top + map.bottom) / 2;
    // Pixels of a colour inside the picture's sign (the square above its post).
    auto signPixels = [&](const mkdev::SkinImageSpec& spec) {
        const int h = spec.height / 2;
        const int left = cx - h, top = cy - 2 * h + 8;
        int n = 0;
        for (int y = top; y < top + spec.width; ++y)
            for (int x = left; x < left + spec.width; ++x) n += Pixel(x, y) == spec.fill;
        return n;
    };
    const mkdev::NetPoint hall = mkdev::SampleNet(12.0, 11.25);
    std::set<int> brands;
    for (int category = 0; category < CNeighManage::kCategories; ++category) {
        CNeighManage neigh;
        ASSERT_TRUE(neigh.InitNeighManage(category, hall.x, hall.y, kDataFolder, CNeighManage::CategoryFile(category)));
        for (int i = 0; i < neigh.GetCount(); ++i) {
            std::uint8_t brand = 0;
            std::int32_t x = 0, y = 0, distance = 0, bearing = 0, level = 0;
            char name[21] = {};
            ASSERT_TRUE(neigh.GetFacility(i, brand, x, y, distance, bearing, level, name));
            if (!brands.insert(brand).second) continue;
            SCOPED_TRACE("category " + std::to_string(category) + " brand " + std::to_string(brand));
            const auto picture = pictures.find(brand);
            ASSERT_NE(picture, pictures.end()) << "the sample skin has no picture for this facility";
            // This facility, then the chosen one (value 92) far away.
            m_view->AddItem(new AroundFacilityItem(CString(), x, y, brand));
            m_view->AddItem(new AroundFacilityItem(CString(), x + 50000, y, AroundFacilityItem::kHighlighted));
            m_view->SetState(1);
            // Point-file x is 5/6 of the map's.
            m_view->MoveMapTo(static_cast<std::int32_t>(x * 1.2), y, 0);
            Compose();
            EXPECT_GT(signPixels(picture->second), picture->second.width * picture->second.width / 2);
            m_view->SetState(2);
            Compose();
            EXPECT_EQ(m_view->GetMarkerCount(), 0u);
            EXPECT_EQ(signPixels(picture->second), 0);
        }
    }
    // Fuel stations of all five brands and both kinds of car park are near.
    for (int brand : {31, 44, 45, 46, 47, 48, 69}) EXPECT_EQ(brands.count(brand), 1u) << brand;
}

class MainViewSearchPoiBarTest : public MainViewSearchTest {
protected:
    NaviPoiBar& Bar() { return *dynamic_cast<NaviPoiBar*>(m_view->GetMainScreen()->FindControl(u"POIBAR")); }
    void FillEntry(int i, const std::string& name, std::int32_t x, std::int32_t y, std::int32_t number) {
        MapFeatureInfo& e = Bar().Entry(i);
        e.distance = 10;
        e.x = x;
        e.y = y;
        e.number = number;
        Put(e.name, name);
    }
};

// The bar's toggle entries flip the list and keep its state in setting 49; a row opens the
// detail screen for that facility.
TEST_F(MainViewSearchPoiBarTest, TheToggleIsSavedAndARowOpensItsDetails) {
    OpenInMode(kBasic);
    m_view->SetPointPickMode(CMainView::kPickGoal);
    int openings = 0;
    CMainView::Runners().poi = [&](CSearchManager&, _POI_RESULT_AUTO&) { return ++openings, 2; };
    ASSERT_TRUE(Bar().GetCurrentEntry());
    m_view->OnPoiBarSelect(4);
    EXPECT_FALSE(Bar().GetCurrentEntry());
    EXPECT_EQ(m_config->GetValue(49), 0);
    CNaviConfig saved;
    saved.Load(kDataFolder);
    EXPECT_EQ(saved.GetValue(49), 0);
    m_view->OnPoiBarSelect(5);
    EXPECT_TRUE(Bar().GetCurrentEntry());
    EXPECT_EQ(m_config->GetValue(49), 1);
    EXPECT_EQ(openings, 0);

    // An empty row (the map found nothing there) opens nothing.
    Bar().Entry(1).Clear();
    m_view->OnPoiBarSelect(2);
    EXPECT_EQ(openings, 0);

    FillEntry(1, "가람약국", 300, 400, 17);
    CString screen;
    bool menuButton = true;
    _POI_RESULT_AUTO given;
    CMainView::Runners().poi = [&](CSearchManager& m, _POI_RESULT_AUTO& r) {
        screen = m.GetSearchName();
        menuButton = m.GetUseMenuButton();
        given = r;
        return 2;
    };
    m_view->OnPoiBarSelect(2);
    EXPECT_EQ(screen, CString(u"POIInfo"));
    EXPECT_FALSE(menuButton);
    EXPECT_EQ(given.poiIndex, 17);
    EXPECT_EQ(given.pointType, 2); // the basic menu's pick mode: destination
    EXPECT_EQ(Cp949ToUtf8(std::string(given.name)), "가람약국");
    EXPECT_EQ(m_view->GetLastSearchName(), CString(u"POIInfo"));
}

// A detail screen left with "only show" moves the map to the facility at step 8; one whose
// waypoint is refused opens again under the name of its first opening.
TEST_F(MainViewSearchPoiBarTest, DetailResultsShowThePointOrReopenTheScreen) {
    OpenInMode(kAdvanced);
    FillEntry(0, "나루병원", 500, 600, 3);
    std::vector<CString> screens;
    CMainView::Runners().poi = [&](CSearchManager& m, _POI_RESULT_AUTO& r) {
        screens.push_back(m.GetSearchName());
        EXPECT_EQ(r.pointType, 4);
        return 1;
    };
    m_view->StartFollowing();
    m_view->OnPoiBarSelect(1);
    EXPECT_EQ(screens.size(), 1u);
    EXPECT_EQ(m_view->GetSearchPoint().x, 500);
    EXPECT_EQ(m_view->GetSearchPoint().y, 600);
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_EQ(m_view->GetAutoReturn(), 0);

    screens.clear();
    CMainView::Runners().poi = [&](CSearchManager& m, _POI_RESULT_AUTO& r) {
        screens.push_back(m.GetSearchName());
        if (screens.size() > 1) return 2;
        // The menu changed while the screen was open: the reopened screen keeps its name.
        m_view->GetMainScreen()->SetMode(kBasic);
        r.pointType = 3;
        r.routeDirectly = 1;
        return 1;
    };
    // The map drawn at the shown point looked the bar's entries up again (this map has no
    // facility layer): the row is filled anew.
    FillEntry(0, "나루병원", 500, 600, 3);
    m_view->OnPoiBarSelect(1);
    EXPECT_EQ(screens, (std::vector<CString>{u"POIInfoAdv", u"POIInfoAdv"}));
}

// At 누리휴게소 the map fills the bar with the service area as entry 1; choosing it opens the
// basic detail screen "POIInfo" on that facility's record, and "위치보기" there shows it: the map
// moves to it and the main screen is told (id 100 with "POIInfo").
TEST_F(MainViewSearchPoiBarTest, TheFirstEntryNearAServiceAreaOpensItsBasicDetails) {
    OpenInMode(kBasic);
    auto* recorder = new CommandRecorder;
    m_view->GetMainScreen()->AddControl(recorder);
    const mkdev::NetPoint area = mkdev::SampleNet(6.0, 7.77);
    std::int32_t ax = 0, ay = 0;
    NetToMapCoord(area.x, area.y, ax, ay);
    m_view->StopFollowing();
    m_view->MoveMapTo(ax, ay, 0);
    Compose();
    ASSERT_EQ(Utf16ToUtf8(NaviPoiBar::EntryName(Bar().Entry(0)).Str()), "누리휴게소");
    CString screen;
    std::int32_t index = -1;
    CMainView::Runners().poi = [&](CSearchManager& m, _POI_RESULT_AUTO& r) {
        screen = m.GetSearchName();
        index = r.poiIndex;
        r.pointType = 4;
        return 1;
    };
    m_view->OnPoiBarSelect(1);
    EXPECT_EQ(screen, CString(u"POIInfo"));
    CSearchManager manager;
    manager.InitPath(kDataFolder);
    _POI_RESULT poi;
    ASSERT_TRUE(manager.StartSearch(index, poi));
    EXPECT_EQ(Cp949ToUtf8(std::string(poi.name)), "누리휴게소");
    EXPECT_TRUE(recorder->Saw(100, u"POIInfo"));
    EXPECT_EQ(m_view->GetLastSearchName(), CString(u"POIInfo"));
    std::int32_t cx = 0, cy = 0;
    m_view->GetMapWnd().GetCenter(cx, cy);
    EXPECT_EQ(cx, Bar().Entry(0).x);
    EXPECT_EQ(cy, Bar().Entry(0).y);
}

} // namespace
