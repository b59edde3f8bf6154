// The five searches of the main menu and the point-of-interest bar, run through the search library.
// Each launch builds a manager on the stack, hands it the view's result record for that search
// (kept between launches so that "이전" reopens the screen as it was left) and turns the chosen
// result into a route point or a map move.
#include "app/CMainView.h"

#include "app/ShellUtilities.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/window/AfxControls.h"
#include "route/base/Coords.h"
#include "search/CSearchManager.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviPoiBar.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr int kBasicMenu = 2004;
constexpr int kStrOutdatedSearchDb = 61221;
// Settings: the facility category the map shows, and the point-of-interest bar's state.
constexpr int kSettingFacilityCategory = 48;
constexpr int kSettingPoiBar = 49;
// "NaviMain" commands: a search moved the map; the nearby search opens and closes.
constexpr int kCmdSearchShown = 100;
constexpr int kCmdAroundOpen = 113;
constexpr int kCmdAroundClosed = 114;
// The map level step at which each facility category (0-9) shows on the map.
constexpr int kLevelByCategory[10] = {6, 6, 5, 6, 6, 7, 8, 7, 6, 6};
// The step at which a point-of-interest detail is shown.
constexpr int kPoiLevelStep = 8;

// A code page 949 text field as wide text: up to its first zero, never past its width.
template <std::size_t N>
CString FieldText(const char (&field)[N]) {
    const std::size_t length = static_cast<std::size_t>(std::find(field, field + N, '\0') - field);
    CString name;
    name.Format(u"%s", Cp949ToUtf16(std::string_view(field, length)).c_str());
    return name;
}

// The map position of a record's cell code and offsets.
bool CellPosition(const std::uint16_t (&pos)[3], POINT& point) {
    return CodeToPosition(static_cast<std::int16_t>(pos[0]), static_cast<std::int16_t>(pos[1]),
                          static_cast<std::int16_t>(pos[2]), point);
}

// Nearby-search records hold x before the display's horizontal factor.
POINT AroundToMap(std::int32_t x, std::int32_t y) {
    return POINT{static_cast<LONG>(static_cast<double>(x) * 1.2), y};
}

// The map callback of the nearby search: the library hands a network position and a level step.
int AroundMapCallback(unsigned long x, unsigned long y, int level, int) {
    CMainView::OnAroundPreview(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), level);
    return 0;
}

template <class Record>
int Run(const std::function<int(CSearchManager&, Record&)>& runner, CSearchManager& manager, Record& record) {
    return runner ? runner(manager, record) : manager.StartSearch(record);
}

} // namespace

CMainView::SearchRunners& CMainView::Runners() {
    static SearchRunners runners;
    return runners;
}

bool CMainView::IsBasicMenu() const {
    return m_mainScreen && m_mainScreen->GetMode() == kBasicMenu;
}

int CMainView::MenuPointKind() const {
    switch (m_pointPickMode) {
    case kPickStart:
        return 1;
    case kPickGoal:
        return 2;
    case kPickWaypoint:
        return 3;
    default:
        // Only moving the map: the point kind the basic menu's tabs chose ("텝_출발지" 1,
        // "텝_목적지" 2), which the search screens show as their selected tab.
        return m_mainScreen ? m_mainScreen->GetUIType() : 4;
    }
}

void CMainView::PrepareSearch(CSearchManager& manager, const CString& screen) {
    manager.SetSearchName(screen);
    manager.SetResourceBuilder(m_mainScreen ? m_mainScreen->GetRcBuilder() : nullptr);
    manager.SetUIType(m_mainScreen ? m_mainScreen->GetMode() : -1);
    manager.SetDirectRoute(m_routeManager.HasGoal());
}

bool CMainView::SearchDatabaseCurrent(bool current) {
    if (!current) NaviMessageBox::ShowMessage(AfxLoadString(kStrOutdatedSearchDb), NaviMessageBox::kNotice);
    return current;
}

void CMainView::RepaintMapNow() {
    if (!m_mapWnd.m_hWnd) return;
    m_mapWnd.RequestRedraw(1);
    m_mapWnd.UpdateWindow();
}

void CMainView::SendSearchDone(const CString& screen) {
    if (!m_mainScreen) return;
    NaviCommand cmd;
    cmd.target = u"NaviMain";
    cmd.text = screen;
    cmd.id = kCmdSearchShown;
    m_mainScreen->ProcessCommand(cmd);
}

bool CMainView::TakeSearchChoice(const SearchChoice& choice, const CString& screen) {
    // A level step the level bar does not have keeps the current level.
    const int stepLevel = StepToLevel(choice.levelStep);
    const int level = stepLevel > 0 ? stepLevel : m_mapLevel;
    m_searchPoint = choice.pos;
    if (choice.directRoute) {
        if (choice.kind == 3) return AddWaypoint(choice.pos.x, choice.pos.y, choice.name);
        // The route point is set at the view's chosen point: hand the position over first,
        // without moving the map.
        SetChosenPoint(choice.pos.x, choice.pos.y);
        if (!SetRoutePointByKind(choice.kind, choice.name)) return false;
        SearchRouteAndShow();
        return true;
    }
    StopFollowing();
    m_lastHeading = -1;
    UseSelectedPoint(choice.pos.x, choice.pos.y, choice.kind, choice.name, true, level, 0);
    StartAutoReturn();
    if (IsBasicMenu()) {
        if (choice.kind == 1) m_pointPickMode = kPickStart;
        else if (choice.kind == 2) m_pointPickMode = kPickGoal;
    }
    SendSearchDone(screen);
    RepaintMapNow();
    return true;
}

// The name, address and category searches: one launch over the search's own screens and record.
void CMainView::RunPointSearch(const PointSearch& search) {
    const CString screen = m_lastSearchName;
    CSearchManager manager;
    manager.InitPath(m_doc ? m_doc->dataFolder : CString());
    PrepareSearch(manager, screen);
    CNaviVersion version;
    const bool current =
        search.addressDatabase ? manager.GetAddrDBVersion(version) : manager.GetNameDBVersion(version);
    if (!SearchDatabaseCurrent(current)) {
        if (search.restoreOnRefusal) RestoreMainScreen();
        return;
    }
    m_activeSearch = &manager;
    const int result = search.run(manager);
    m_activeSearch = nullptr;
    if (result == CSearchManager::kChosen) {
        SearchChoice choice;
        if (!search.choose(choice)) {
            RestoreMainScreen();
            return;
        }
        // A refused route point or waypoint: the same screens again, on the kept record.
        if (!TakeSearchChoice(choice, screen)) search.again();
    } else if (result != CSearchManager::kCurrentPosition) {
        RestoreMainScreen();
    }
}

namespace {

// What a chosen name, address or category record asks for; false when its cell has no position.
template <class Choice, class Record>
bool ChoiceOf(const Record& record, const CString& name, Choice& choice) {
    if (!CellPosition(record.pos, choice.pos)) return false;
    choice.kind = record.pointType;
    choice.name = name;
    choice.levelStep = record.mapLevel;
    choice.directRoute = record.routeDirectly != 0;
    return true;
}

} // namespace

void CMainView::SearchName(bool reenter) {
    if (m_simulating) return;
    if (!reenter) {
        m_lastSearchName = IsBasicMenu() ? u"NameSearch" : u"NameSearchAdv";
        // The record keeps the last search; only what the result is for is preset.
        m_nameResult.pointType = IsBasicMenu() ? 2 : 4;
    }
    PointSearch search;
    search.run = [this](CSearchManager& manager) { return Run(Runners().name, manager, m_nameResult); };
    search.choose = [this](SearchChoice& c) { return ChoiceOf(m_nameResult, FieldText(m_nameResult.name), c); };
    search.again = [this] { SearchName(true); };
    RunPointSearch(search);
}

void CMainView::SearchAddress(bool reenter, bool restoreOnRefusal) {
    if (m_simulating) {
        if (restoreOnRefusal) RestoreMainScreen();
        return;
    }
    if (!reenter) {
        m_lastSearchName = IsBasicMenu() ? u"AddressSearch" : u"AddressSearchAdv";
        m_addrResult = _ADDR_RESULT();
        if (IsBasicMenu()) m_addrResult.pointType = static_cast<std::uint8_t>(MenuPointKind());
    }
    PointSearch search;
    search.addressDatabase = true;
    search.restoreOnRefusal = restoreOnRefusal;
    search.run = [this](CSearchManager& manager) { return Run(Runners().address, manager, m_addrResult); };
    search.choose = [this](SearchChoice& c) { return ChoiceOf(m_addrResult, FieldText(m_addrResult.detail), c); };
    search.again = [this, restoreOnRefusal] { SearchAddress(true, restoreOnRefusal); };
    RunPointSearch(search);
}

void CMainView::SearchCategory(bool reenter) {
    if (m_simulating) return;
    if (!reenter) {
        m_lastSearchName = u"CateSearch";
        m_cateResult = _CATE_RESULT();
    }
    PointSearch search;
    search.run = [this](CSearchManager& manager) { return Run(Runners().category, manager, m_cateResult); };
    search.choose = [this](SearchChoice& c) { return ChoiceOf(m_cateResult, FieldText(m_cateResult.name), c); };
    search.again = [this] { SearchCategory(true); };
    RunPointSearch(search);
}

void CMainView::SearchTheme(bool reenter) {
    if (m_simulating) return;
    if (!reenter) {
        m_lastSearchName = IsBasicMenu() ? u"ThemeSearch" : u"ThemeSearchAdv";
        m_themeResult = _THEME_RESULT();
        if (IsBasicMenu()) m_themeResult.pointType = static_cast<std::uint8_t>(MenuPointKind());
    }
    const CString screen = m_lastSearchName;
    CSearchManager manager;
    manager.InitPath(m_doc ? m_doc->dataFolder : CString());
    // The theme files measure in tenths of network units.
    std::int32_t centreX = 0, centreY = 0, netX = 0, netY = 0;
    m_mapWnd.GetCenter(centreX, centreY);
    MapToNetCoord(centreX, centreY, netX, netY);
    manager.InitCurrentPos(static_cast<unsigned long>(netX / 10), static_cast<unsigned long>(netY / 10));
    PrepareSearch(manager, screen);
    m_activeSearch = &manager;
    const int result = Run(Runners().theme, manager, m_themeResult);
    m_activeSearch = nullptr;
    if (result == CSearchManager::kChosen) {
        SearchChoice choice;
        std::int32_t x = 0, y = 0;
        NetToMapCoord(static_cast<std::int32_t>(m_themeResult.x), static_cast<std::int32_t>(m_themeResult.y), x, y);
        choice.pos = POINT{x, y};
        choice.kind = m_themeResult.pointType;
        choice.name = FieldText(m_themeResult.name);
        choice.levelStep = m_themeResult.mapLevel;
        choice.directRoute = m_themeResult.routeDirectly != 0;
        if (!TakeSearchChoice(choice, screen)) SearchTheme(true);
    } else if (result != CSearchManager::kCurrentPosition) {
        RestoreMainScreen();
    }
}

void CMainView::SearchAround(bool reenter) {
    if (!reenter) {
        m_lastSearchName = IsBasicMenu() ? u"AroundSearch" : u"AroundSearchAdv";
        m_aroundResult = _AROUND_RESULT();
        if (IsBasicMenu()) m_aroundResult.pointType = static_cast<std::uint8_t>(MenuPointKind());
    }
    const CString screen = m_lastSearchName;
    const CString dataFolder = m_doc ? m_doc->dataFolder : CString();
    CSearchManager manager;
    manager.InitPath(dataFolder);
    manager.SetSearchName(screen);
    manager.m_pMapCallback = &AroundMapCallback;
    manager.SetNaviMediator(this);
    manager.SetResourceBuilder(m_mainScreen ? m_mainScreen->GetRcBuilder() : nullptr);
    // The facility files ("Neigh\...") lie in the map data folder.
    manager.SetStoragePath(dataFolder.GetString());
    manager.SetDirectRoute(m_routeManager.HasGoal());
    std::int32_t centreX = 0, centreY = 0, netX = 0, netY = 0;
    m_mapWnd.GetCenter(centreX, centreY);
    MapToNetCoord(centreX, centreY, netX, netY);
    manager.InitCurrentPos(static_cast<unsigned long>(netX), static_cast<unsigned long>(netY));

    // The screen previews facilities on the map: the map stays where it is put and the main
    // screen's overlay steps aside until the search ends.
    const int levelBefore = m_mapLevel;
    SetState(1);
    StopFollowing();
    StopAutoReturn();
    SendMain(kCmdAroundOpen);
    m_facilityCategory = m_config ? m_config->GetValue(kSettingFacilityCategory) : m_facilityCategory;
    m_aroundResult.shownCategory = m_facilityCategory;
    const int result = Run(Runners().around, manager, m_aroundResult);
    SetState(2);
    SendMain(kCmdAroundClosed);
    RepaintMapNow();

    if (result == CSearchManager::kChosen && m_aroundResult.kind == 1) {
        SearchChoice choice;
        choice.pos = AroundToMap(m_aroundResult.x, m_aroundResult.y);
        choice.kind = m_aroundResult.pointType;
        choice.name = FieldText(m_aroundResult.name);
        choice.levelStep = m_aroundResult.mapLevel;
        choice.directRoute = m_aroundResult.routeDirectly != 0;
        if (!TakeSearchChoice(choice, screen)) SearchAround(true);
        return;
    }
    if (result == CSearchManager::kChosen) {
        // A category applied to the map. Only the ten facility layers have a category (and a
        // level); anything else from the record is not taken.
        const int category = m_aroundResult.shownCategory;
        if (category >= -1 && category < 10) {
            m_facilityCategory = category;
            if (m_config) {
                m_config->SetValue(kSettingFacilityCategory, category);
                m_config->SaveSettings(-1);
            }
            int level = m_mapLevel;
            if (category >= 0) level = std::max(level, StepToLevel(kLevelByCategory[category]));
            SetLevel(level);
        }
    } else if (result == CSearchManager::kCurrentPosition) {
        SetLevel(levelBefore);
        StartFollowing();
    } else {
        SetLevel(levelBefore);
        RestoreMainScreen();
    }
    if (m_mapWnd.m_hWnd) m_mapWnd.RequestRedraw(1);
    StartAutoReturn();
}

void CMainView::OnAroundPreview(std::int32_t x, std::int32_t y, int levelStep) {
    CMainView* view = Get();
    if (!view) return;
    // The bird's-eye view shows more ground at a level: one step lower keeps the facility in view.
    const int step = view->m_viewMode == 2 ? levelStep - 1 : levelStep;
    std::int32_t mapX = 0, mapY = 0;
    NetToMapCoord(x, y, mapX, mapY);
    const int level = view->StepToLevel(step);
    view->UseSelectedPoint(mapX, mapY, 4, CString(), true, level > 0 ? level : view->m_mapLevel, 0);
}

void CMainView::OnPoiBarSelect(int entry) {
    NaviPoiBar* bar = m_mainScreen ? dynamic_cast<NaviPoiBar*>(m_mainScreen->FindControl(u"POIBAR")) : nullptr;
    if (!bar) return;
    if (entry >= 1 && entry <= NaviPoiBar::kEntries) {
        const MapFeatureInfo& info = bar->Entry(entry - 1);
        // A free row has nothing to show.
        if (info.distance < 0) return;
        m_poiPoint = POINT{info.x, info.y};
        m_poiName = NaviPoiBar::EntryName(info);
        m_poiResult.poiIndex = info.number;
        const std::string name = Utf16ToCp949(std::u16string_view(m_poiName.GetString()));
        std::fill(std::begin(m_poiResult.name), std::end(m_poiResult.name), '\0');
        std::copy_n(name.data(), std::min(name.size(), sizeof m_poiResult.name - 1), m_poiResult.name);
        SearchPoiInfo(false);
    } else if (entry == 4 || entry == 5) {
        bar->SetCurrentEntry(-1);
        if (m_config) {
            m_config->SetValue(kSettingPoiBar, bar->GetCurrentEntry() ? 1 : 0);
            m_config->SaveSettings(-1);
        }
        RepaintMapNow();
    }
}

void CMainView::SearchPoiInfo(bool repeat) {
    // A refused route point opens the screen again, under the name of its first opening.
    for (;; repeat = true) {
        if (!repeat || m_poiScreen.IsEmpty()) {
            m_poiScreen = IsBasicMenu() ? u"POIInfo" : u"POIInfoAdv";
            m_poiResult.pointType = static_cast<std::uint8_t>(IsBasicMenu() ? MenuPointKind() : 4);
            m_poiResult.routeDirectly = 0;
            m_lastSearchName = m_poiScreen;
        }
        const CString screen = m_poiScreen;
        CSearchManager manager;
        manager.InitPath(m_doc ? m_doc->dataFolder : CString());
        manager.SetUseMenuButton(false);
        PrepareSearch(manager, screen);
        m_activeSearch = &manager;
        const int result = Run(Runners().poi, manager, m_poiResult);
        m_activeSearch = nullptr;
        if (result == CSearchManager::kChosen) {
            SearchChoice choice;
            choice.pos = m_poiPoint;
            choice.kind = m_poiResult.pointType;
            choice.name = m_poiName;
            choice.levelStep = kPoiLevelStep;
            choice.directRoute = m_poiResult.routeDirectly != 0;
            // The library never clears the route-directly byte: the next opening starts without it.
            m_poiResult.routeDirectly = 0;
            if (TakeSearchChoice(choice, screen)) return;
        } else {
            if (result != CSearchManager::kCurrentPosition) RestoreMainScreen();
            return;
        }
    }
}
