// The main view's map: swipes and taps, map moves, levels and their layers, view modes, colour
// schemes by day and night.
#include "MainViewFixture.h"

#include "admin/AdminSearch.h"
#include "skinui/NaviControl.h"
#include "skinui/main/NaviMainScreen.h"

namespace mainview_test {

namespace {

// The level file's in-use flags as written, read straight from the sample's bytes.
std::vector<int> LevelsInUse() {
    const std::vector<std::uint8_t> bytes = ReadCe(std::u16string(kDataFolder) + u"\\level.bin");
    std::vector<int> used;
    for (int j = 0; j < 16 && (j + 1) * 12 <= static_cast<int>(bytes.size()); ++j)
        if (bytes[static_cast<std::size_t>(j) * 12]) used.push_back(j + 1);
    return used;
}

int LayerIndex(CMapWnd& map, const char16_t* file) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(file);
    const int index = map.FindLayerIndex(v);
    VariantClear(&v);
    return index;
}

bool Shown(CMapWnd& map, const char16_t* file) {
    const int index = LayerIndex(map, file);
    return index >= 0 && map.IsLayerShown(0, index);
}

} // namespace

TEST_F(MainViewTest, StrokeOfFiftyOnePixelsZoomsInAndFiftyIsATapThatCentres) {
    m_config->SetValue(0, 0);
    Open();
    const std::vector<int> used = LevelsInUse();
    const auto next = std::upper_bound(used.begin(), used.end(), 11);
    ASSERT_NE(next, used.end());

    m_view->OnMapPen(WM_LBUTTONDOWN, 100, 230);
    m_view->OnMapPen(WM_LBUTTONUP, 151, 230);
    EXPECT_EQ(m_view->GetMapLevel(), *next);
    EXPECT_EQ(m_doc->mapLevel, *next);
    EXPECT_EQ(m_doc->mapX, CMapDocState::kDefaultX);

    // Back to 11 with a stroke to the left, then a 50-pixel stroke: a tap at its end.
    m_view->OnMapPen(WM_LBUTTONDOWN, 151, 230);
    m_view->OnMapPen(WM_LBUTTONUP, 100, 230);
    ASSERT_EQ(m_view->GetMapLevel(), 11);
    std::int32_t mx = 150, my = 230;
    ASSERT_EQ(m_view->GetMapWnd().ScreenToMap(mx, my), 1);
    m_view->OnMapPen(WM_LBUTTONDOWN, 100, 230);
    m_view->OnMapPen(WM_LBUTTONUP, 150, 230);
    EXPECT_EQ(m_view->GetMapLevel(), 11);
    EXPECT_EQ(m_doc->mapX, mx);
    EXPECT_EQ(m_doc->mapY, my);
    std::int32_t cx = 0, cy = 0;
    m_view->GetMapWnd().GetCenter(cx, cy);
    EXPECT_EQ(cx, mx);
    EXPECT_EQ(cy, my);
    // A move starts the auto-return countdown and the map no longer follows.
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
    EXPECT_FALSE(m_view->IsFollowing());
}

TEST_F(MainViewTest, ZoomingPastTheHighestLevelInUseKeepsTheLevel) {
    m_config->SetValue(0, 0);
    Open();
    const std::vector<int> used = LevelsInUse();
    ASSERT_FALSE(used.empty());
    const int top = *std::max_element(used.begin(), used.end());
    ASSERT_TRUE(m_view->SetLevelFromBar(top));
    EXPECT_TRUE(m_view->StepLevel(1));
    EXPECT_EQ(m_view->GetMapLevel(), top);
    // The extended bar's close code and the current level do nothing to the level.
    EXPECT_TRUE(m_view->SetLevelFromBar(20));
    EXPECT_FALSE(m_view->SetLevelFromBar(top));
    EXPECT_FALSE(m_view->SetLevelFromBar(0));
    EXPECT_FALSE(m_view->StepLevel(3));
}

TEST_F(MainViewTest, MoveMapToClampsByLevel) {
    m_config->SetValue(0, 0);
    Open();
    struct Case {
        int level;
        std::int32_t x, y, wantX, wantY;
    } cases[] = {
        {2, 2000000, 2000000, 1536000, 1600000},
        {3, 1536001, 1599999, 1536000, 1599999},
        {4, 2000000, 531663, 576000, 531663},
        {11, 576001, 660001, 576000, 660000},
        {11, 203000, 531000, 203000, 531000},
    };
    for (const Case& c : cases) {
        m_view->SetLevelFromBar(c.level);
        m_view->MoveMapTo(c.x, c.y, 0);
        EXPECT_EQ(m_doc->mapX, c.wantX) << c.level;
        EXPECT_EQ(m_doc->mapY, c.wantY) << c.level;
    }
}

TEST_F(MainViewTest, HeadingUpKeepsTheHeadingIndexWithinTheCircle) {
    m_config->SetValue(0, 1);
    Open();
    struct Case {
        int heading, index;
    } cases[] = {{0, 0}, {95, 9}, {359, 35}, {360, 0}, {-10, 35}, {-365, 0}, {725, 0}};
    int x = 203000;
    for (const Case& c : cases) {
        m_view->MoveMapTo(++x, 531000, c.heading);
        EXPECT_EQ(m_view->GetHeadingIndex(), c.index) << c.heading;
    }
}

TEST_F(MainViewTest, SixteenColourDisplayTakesGrayDrawingFilesAndTheSchemeFromColor) {
    DeviceRoot::OverrideSetting("colors", "16");
    Open();
    EXPECT_EQ(m_view->GetDisplayColorCount(), 16);
    EXPECT_EQ(m_doc->paraFolder, u"Gray");
    EXPECT_EQ(m_doc->lastScheme, u"Color_주간.bin");
}

TEST_F(MainViewTest, TrueColourDisplayTakesColorDrawingFiles) {
    Open();
    EXPECT_EQ(m_view->GetDisplayColorCount(), -1);
    EXPECT_EQ(m_doc->paraFolder, u"Color");
}

TEST_F(MainViewTest, NightBeginsAtSixInTheEveningInJanuary) {
    m_config->SetValue(0, 0);
    m_config->SetValue(11, 1);
    SetJanuaryHour(18);
    Open();
    const COLORREF night = RGB(30, 34, 48), day = RGB(255, 255, 255);
    // A patch between the blocks of the sample town shows the background.
    const int px = 80, py = 130;
    Compose();
    EXPECT_TRUE(m_view->IsNightScheme());
    EXPECT_EQ(Pixel(px, py), night);
    ASSERT_TRUE(SavePng("mainview_night.png"));
    // Morning: the check before the next paint switches to the day scheme.
    SetJanuaryHour(8);
    Compose();
    EXPECT_FALSE(m_view->IsNightScheme());
    EXPECT_EQ(Pixel(px, py), day);
    EXPECT_EQ(m_doc->lastScheme, u"Color_주간.bin");
}

TEST_F(MainViewTest, AutomaticNightColoursSwitchedOffGiveTheDaySchemeOnce) {
    m_config->SetValue(11, 1);
    SetJanuaryHour(20);
    Open();
    ASSERT_TRUE(m_view->IsNightScheme());
    EXPECT_EQ(m_doc->lastScheme, u"Color_야간.bin");
    m_config->SetValue(11, 0);
    const int loads = m_doc->schemeLoads;
    EXPECT_EQ(m_view->UpdateDayNightColors(), 1);
    EXPECT_EQ(m_doc->lastScheme, u"Color_주간.bin");
    EXPECT_EQ(m_doc->schemeLoads, loads + 1);
    EXPECT_EQ(m_view->UpdateDayNightColors(), 0);
    EXPECT_EQ(m_doc->schemeLoads, loads + 1);
    EXPECT_FALSE(m_view->IsNightScheme());
}

TEST_F(MainViewTest, LevelShowsTheBaseLayersItsEntriesMark) {
    m_config->SetValue(0, 0);
    Open();
    // "para.bin" read here byte by byte: name, then visible/colour/outline/width per level.
    const std::vector<std::uint8_t> para = ReadCe(std::u16string(kDataFolder) + u"\\Color\\para.bin");
    ASSERT_GE(para.size(), 320u);
    for (int level : {3, 7, 11, 14}) {
        m_view->SetLevelFromBar(level);
        for (std::size_t at = 0; at + 320 <= para.size(); at += 320) {
            const char* name = reinterpret_cast<const char*>(para.data() + at);
            const std::u16string file = Cp949ToUtf16(std::string(name, strnlen(name, 256)));
            const bool visible = para[at + 256 + static_cast<std::size_t>(level) * 4] == 1;
            EXPECT_EQ(Shown(m_view->GetMapWnd(), file.c_str()), visible) << Utf16ToUtf8(file) << " level " << level;
        }
    }
}

TEST_F(MainViewTest, FacilityAndPoiLayersFollowTheirCategoriesAboveTheirLevels) {
    m_config->SetValue(0, 0);
    m_config->SetValue(3, 2);
    Open();
    const std::vector<int> used = LevelsInUse();
    ASSERT_GE(used.size(), 7u);
    const int fourth = used[3], sixth = used[5];
    CMapWnd& map = m_view->GetMapWnd();
    auto facilitiesShown = [&] {
        int n = 0;
        for (const char16_t* f : CMainView::kFacilityLayers) n += Shown(map, f) ? 1 : 0;
        return n;
    };
    // No category: none at any level.
    m_view->SetFacilityCategory(-1);
    for (int level = 1; level <= 15; ++level) {
        m_view->SetMapLevel(level);
        EXPECT_EQ(facilitiesShown(), 0) << level;
    }
    // Category 7 (hotels): only above the fourth level in use.
    m_view->SetFacilityCategory(7);
    m_view->SetMapLevel(fourth);
    EXPECT_EQ(facilitiesShown(), 0);
    m_view->SetMapLevel(fourth + 1);
    EXPECT_EQ(facilitiesShown(), 1);
    EXPECT_TRUE(Shown(map, u"NEIGH\\HOTEL.MDC"));
    // A category past the ten layers shows none.
    m_view->SetFacilityCategory(10);
    m_view->SetMapLevel(fourth + 1);
    EXPECT_EQ(facilitiesShown(), 0);

    // Setting 3 = 2: the hotel category layer above the sixth level in use.
    m_view->SetMapLevel(sixth);
    EXPECT_FALSE(Shown(map, u"NEIGH\\POI_HOTEL.MDC"));
    m_view->SetMapLevel(sixth + 1);
    EXPECT_TRUE(Shown(map, u"NEIGH\\POI_HOTEL.MDC"));
    EXPECT_FALSE(Shown(map, u"NEIGH\\POI_REST.MDC"));
    EXPECT_FALSE(Shown(map, u"NEIGH\\POI_BANK.MDC"));
}

TEST_F(MainViewTest, TrafficLayersOnlyWhileTrafficIsShown) {
    m_config->SetValue(0, 0);
    Open();
    CMapWnd& map = m_view->GetMapWnd();
    for (const char16_t* f : CMainView::kTrafficLayers) ASSERT_GE(LayerIndex(map, f), 0) << Utf16ToUtf8(f);
    m_view->SetTrafficDisplay(false);
    m_view->SetMapLevel(11);
    for (const char16_t* f : CMainView::kTrafficLayers) EXPECT_FALSE(Shown(map, f));
    m_view->SetTrafficDisplay(true);
    m_view->SetMapLevel(7);
    // Lowest levels: highway 0, national 6, ETC2 8, ETC4 7.
    EXPECT_TRUE(Shown(map, u"DARC\\DARC_HIGHWAY.MDC"));
    EXPECT_TRUE(Shown(map, u"DARC\\DARC_NATIONAL.MDC"));
    EXPECT_FALSE(Shown(map, u"DARC\\DARC_ETC2.MDC"));
    EXPECT_TRUE(Shown(map, u"DARC\\DARC_ETC4.MDC"));
    // Keeping the view hides them all.
    m_view->SetMapLevel(7, true);
    for (const char16_t* f : CMainView::kTrafficLayers) EXPECT_FALSE(Shown(map, f));
}

TEST_F(MainViewTest, CompassCyclesTheViewModesAndSavesThem) {
    m_config->SetValue(0, 2);
    Open();
    ASSERT_EQ(m_view->GetViewMode(), 2);
    for (int want : {0, 1, 2}) {
        m_view->CycleViewMode();
        EXPECT_EQ(m_view->GetViewMode(), want);
        // What config.bin holds, read by a fresh store.
        CNaviConfig stored;
        stored.Load(kDataFolder);
        EXPECT_EQ(stored.GetValue(0), want);
    }
    EXPECT_EQ(m_view->GetMapWnd().ViewState(0).mode, 1);
}

} // namespace mainview_test

namespace mainview_test {

TEST_F(MainViewTest, DisplaySettingsTakeNightHoursViewModeAndPedestrianMode) {
    m_config->SetValue(0, 0);
    m_config->SetValue(11, 1);
    SetJanuaryHour(17);
    Open();
    ASSERT_FALSE(m_view->IsNightScheme());
    // The page switched to the user's hours (bit 1) from 16 to 6, to heading up and to walking.
    m_config->SetValue(11, 3);
    m_config->SetValue(9, 16);
    m_config->SetValue(10, 6);
    m_config->SetValue(0, 1);
    m_config->SetValue(2, 1);
    m_view->ApplyDisplaySettings(0, 0);
    EXPECT_TRUE(m_view->GetMapWnd().IsNightTime());
    EXPECT_EQ(m_view->GetViewMode(), 1);
    EXPECT_TRUE(m_view->IsPedestrianMode());
    Compose();
    EXPECT_TRUE(m_view->IsNightScheme());
    // An unchanged pedestrian setting leaves the mode alone.
    m_view->SetPedestrianMode(false);
    m_view->ApplyDisplaySettings(1, 0);
    EXPECT_FALSE(m_view->IsPedestrianMode());
}

TEST_F(MainViewTest, LevelsOutsideTheTablesAreRefused) {
    Open();
    for (int level : {-1, 17, 100}) {
        EXPECT_FALSE(m_view->SetLevelFromBar(level)) << level;
        EXPECT_EQ(m_view->GetMapLevel(), 11);
    }
}

} // namespace mainview_test

namespace mainview_test {

TEST_F(MainViewTest, TapsByPointPickMode) {
    m_config->SetValue(0, 0);
    Open();
    ASSERT_EQ(m_view->GetAdminSearch().OpenTbl("\\Storage Card\\MapData\\SearchDB\\"), 1);
    CRouteManager& routes = m_view->GetRouteManager();
    ASSERT_NE(routes.Init(kDataFolder), 0);
    ASSERT_NE(routes.CreateEngine(), 0);
    const std::vector<int> used = LevelsInUse();
    const auto next = std::upper_bound(used.begin(), used.end(), 11);
    ASSERT_NE(next, used.end());
    auto tap = [&](int x, int y) {
        m_view->OnMapPen(WM_LBUTTONDOWN, x, y);
        m_view->OnMapPen(WM_LBUTTONUP, x, y);
    };
    auto mapPoint = [&](int x, int y) {
        std::int32_t mx = x, my = y;
        m_view->GetMapWnd().ScreenToMap(mx, my);
        return POINT{mx, my};
    };

    // Zoom in at the point: the next level in use, centred there, not following.
    m_view->StartFollowing();
    m_view->SetPointPickMode(CMainView::kPickZoomIn);
    POINT p = mapPoint(175, 230);
    tap(175, 230);
    EXPECT_EQ(m_view->GetMapLevel(), *next);
    EXPECT_EQ(m_doc->mapX, p.x);
    EXPECT_EQ(m_doc->mapY, p.y);
    EXPECT_FALSE(m_view->IsFollowing());
    m_view->SetLevelFromBar(11);

    // The goal on the road east of the centre, named by the area tables.
    m_view->SetPointPickMode(CMainView::kPickGoal);
    p = mapPoint(175, 160);
    tap(175, 160);
    EXPECT_TRUE(routes.HasGoal());
    EXPECT_FALSE(m_view->GetPlaceName().IsEmpty());
    char answer[CAdminSearch::kAnswerSize] = {};
    CAdminSearch lookup;
    ASSERT_EQ(lookup.OpenTbl("\\Storage Card\\MapData\\SearchDB\\"), 1);
    ASSERT_EQ(lookup.DoSrch(p.x, p.y, answer), 1);
    EXPECT_EQ(m_view->GetPlaceName().Str(), Cp949ToUtf16(answer));
    EXPECT_EQ(m_doc->mapX, p.x);

    // Outside the basic menu a waypoint pick falls back to moving the map.
    m_view->SetPointPickMode(CMainView::kPickWaypoint);
    tap(100, 230);
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickMove);
}

TEST_F(MainViewTest, ExitRequestedByTheMenuShutsDownAndClosesTheFrame) {
    Open();
    NaviControl* compass = m_view->GetMainScreen()->FindControl(u"Compass");
    ASSERT_NE(compass, nullptr);
    const RECT r = compass->GetRect();
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    m_view->GetMainScreen()->RequestExit();
    // Through the map window, as the pen reaches it: the view and the map window go only after
    // the pen handler has returned.
    const HWND map = m_view->GetMapWnd().m_hWnd;
    ::SendMessageW(map, WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
    ::SendMessageW(map, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    WinDispatchPending();
    EXPECT_EQ(m_app->m_pMainWnd, nullptr);
    EXPECT_EQ(CMainView::Get(), nullptr);
}

} // namespace mainview_test
