// What the main view draws over the map: the route lines, the driving trail, the line to the
// goal, the car and its direction circle, the centre cross (overlay phases 0 and 1), and the
// main screen's controls brought up to date with the status line (phases 3 and 4).
#include "app/CMainView.h"

#include "app/PointDialogBase.h"
#include "app/LockSet.h"
#include "app/PositionStore.h"
#include "app/SafePointList.h"

#include "platform/base/Text.h"
#include "platform/gdi/AfxGdi.h"
#include "position/Geometry.h"
#include "position/LocusRecorder.h"
#include "position/MatchResult.h"
#include "route/RoadNameTable.h"
#include "route/RoutePath.h"
#include "route/base/Coords.h"
#include "skinui/NaviSymbolManager.h"
#include "skinui/controls/NaviAnimImage.h"
#include "skinui/controls/NaviCarMark.h"
#include "skinui/controls/NaviCompass.h"
#include "skinui/controls/NaviDistBar.h"
#include "skinui/controls/NaviEventText.h"
#include "skinui/controls/NaviExLevelBar.h"
#include "skinui/controls/NaviGuideArrow.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviLevelBar.h"
#include "skinui/controls/NaviSafeZoneMark.h"
#include "skinui/controls/NaviTrafficReRouteMark.h"
#include "skinui/controls/NaviVolumeIcon.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviPoiBar.h"
#include "skinui/controls/NaviControlIds.h"

#include "config/NaviConfig.h"

namespace {

struct RoadName {
    short number;
    const char16_t* name;
};

// Expressways by route number, in lookup order.
constexpr RoadName kExpressways[] = {
    {1, u"경부"},          {15, u"서해안"},       {17, u"서천-공주"},    {25, u"호남"},
    {35, u"중부"},         {37, u"제2중부"},      {45, u"중부내륙"},     {55, u"중앙"},
    {65, u"동해"},         {10, u"남해"},         {12, u"88올림픽"},     {14, u"고창-담양"},
    {16, u"울산"},         {20, u"익산-포항"},    {22, u"김천-영천"},    {30, u"당진-상주"},
    {40, u"평택-음성"},    {50, u"영동"},         {100, u"서울외곽순환"}, {102, u"남해지선"},
    {104, u"남해제2지선"}, {110, u"제2경인"},     {120, u"경인"},        {130, u"인천국제공항"},
    {251, u"호남지선"},    {300, u"대전남부순환"}, {451, u"구마"},       {551, u"중앙지선"}};

// City expressways by road number.
constexpr RoadName kCityExpressways[] = {{77, u"강변북로"},     {88, u"올림픽대로"},   {7, u"동부간선도로"},
                                         {66, u"내부순환도로"}, {23, u"자유로"},       {44, u"북부간선도로"},
                                         {55, u"서부간선도로"}};

// The box behind a saved position's name: light yellow.
constexpr COLORREF kSavedNameFill = 0xA5FFFF;

// The guidance messages of the top line.
constexpr const char16_t* kResearchingMessage = u"   경로를 재탐색 합니다.   ";
constexpr UINT kOffRouteMessage = 147; // "경로를 이탈 하였습니다."
constexpr const char16_t* kTrafficResearchMessage = u"교통정보를 고려하여 재탐색합니다.";
constexpr const char16_t* kMessageControl = u"시스템메세지";

constexpr int kEventStyleRoadName = 105;
constexpr int kEventStyleNormal = 103;
constexpr int kEventStyleWithArrow = 104;

// Route-lock entry 0 for one item of a frame: taken with 10 ms, or already held by this thread
// (the user's own route operation, which repaints while it runs); busy when another thread holds
// it. Without the lock set no worker runs and the item is drawn.
class RouteDrawLock {
public:
    RouteDrawLock(CLockSet* set, bool heldHere) : m_set(set) {
        if (!set || heldHere) {
            m_held = true;
            return;
        }
        m_taken = !set->IsLocked(0) && set->Lock(0, kDrawLockMs);
        m_held = m_taken;
    }
    ~RouteDrawLock() {
        if (m_taken) m_set->Unlock(0);
    }
    RouteDrawLock(const RouteDrawLock&) = delete;
    RouteDrawLock& operator=(const RouteDrawLock&) = delete;
    bool Held() const { return m_held; }

private:
    static constexpr DWORD kDrawLockMs = 10;
    CLockSet* m_set;
    bool m_held = false;
    bool m_taken = false;
};

template <class T> T* Control(NaviMainScreen* screen, const char16_t* name) {
    return screen ? dynamic_cast<T*>(screen->FindControl(name)) : nullptr;
}

// The district name of a status line: cut after the first "시" when longer than four characters.
CString ShortDistrict(const CString& district) {
    if (district.GetLength() <= 4) return district;
    const int city = district.Find(u'시');
    return city >= 0 ? district.Left(city + 1) : district;
}

} // namespace

const char16_t* CMainView::GetRoadNumberName(short number) {
    for (const RoadName& road : kExpressways)
        if (road.number == number) return road.name;
    return u"";
}

CString CMainView::RoadText(int kind, long number) {
    CString text;
    switch (kind) {
    case 1: {
        const char16_t* name = GetRoadNumberName(static_cast<short>(number));
        if (*name) text.Format(u"%s고속도로", name);
        break;
    }
    case 2:
    case 6:
        for (const RoadName& road : kCityExpressways)
            if (road.number == number) return CString(road.name);
        text.Format(u"%ld번도시고속도", number);
        break;
    case 3:
        text.Format(u"%ld번국도", number);
        break;
    case 4:
        text.Format(u"%ld번지방도", number);
        break;
    case 5:
        text.Format(u"%ld번일반도로", number);
        break;
    default:
        break;
    }
    return text;
}

CString CMainView::SpeedAltitudeText(int speedTenths, int altitudeTenths) {
    int speed = speedTenths < 0 ? 0 : speedTenths / 10;
    if (speedTenths >= 2501) speed = 250;
    const int altitude = altitudeTenths < 0 ? 0 : altitudeTenths / 10;
    CString text;
    text.Format(u"속도: %dkm/h 고도: %dm", speed, altitude);
    return text;
}

CString CMainView::LatLonText(std::int32_t netX, std::int32_t netY) {
    // Network coordinates count hundredths of a second of arc.
    auto dms = [](std::int32_t v, int& d, int& m, int& s) {
        if (v < 0) v = 0;
        d = v / 360000;
        m = v % 360000 / 6000;
        s = v % 6000 / 100;
    };
    int ed = 0, em = 0, es = 0, nd = 0, nm = 0, ns = 0;
    dms(netX, ed, em, es);
    dms(netY, nd, nm, ns);
    CString text;
    text.Format(u"E %03d°%02d'%02d\" N %02d°%02d'%02d\"", ed, em, es, nd, nm, ns);
    return text;
}

void CMainView::OnMapOverlay(CDC* dc, int phase) {
    if (m_drawSuspend < 0) DrawOverlay(dc, phase);
}

void CMainView::DrawOverlay(CDC* dc, int phase) {
    if (!dc) return;
    if (phase == 0) DrawPhase0(dc);
    else if (phase == 1) DrawPhase1(dc);
    else if (phase == 3 || phase == 4) RefreshOverlay(dc, phase == 3 ? 0 : phase);
}

bool CMainView::IsMenuOpen() const {
    return m_mainScreen && !m_mainScreen->GetMenuName().IsEmpty();
}

void CMainView::DrawPhase0(CDC* dc) {
    if (!m_pedestrianMode) {
        // The route results change under a re-route or a search: drawn under entry 0, left out of
        // this frame while it is busy. This thread's own route operation holds it while a menu
        // may repaint the map: the results are drawn then only with the menu open. Another
        // thread's hold is never drawn through, menu or not (the results may be replaced under
        // the drawing).
        const bool heldHere = m_routeLockDepth > 0;
        const RouteDrawLock lock(m_lockSet.get(), heldHere);
        if (lock.Held() && (!heldHere || IsMenuOpen())) m_routeManager.DrawResultRoutes(dc, m_mapWnd);
    }
    if (!m_overlayOff && m_locus && m_config->GetValue(1)) {
        // The GPS thread adds to the trail while it is drawn.
        std::lock_guard trail(m_locusLock);
        if (m_locus->HasPoints()) m_locus->Draw(*dc, m_mapWnd, 2, m_mapLevel);
    }
    if (m_overlayOff) return;
    if (!m_pedestrianMode) {
        if (!m_routeManager.HasGoal()) return;
        std::int32_t cx = 0, cy = 0;
        m_mapWnd.GetCenter(cx, cy);
        const POINT goal = m_routeManager.GetGoalPos();
        const POINT line[2] = {POINT{cx, cy}, goal};
        CPen pen(PS_DASH, 1, kGoalLineColour);
        CPen* old = dc->SelectObject(&pen);
        m_mapWnd.DrawPolyline(dc, line, 2);
        dc->SelectObject(old);
    } else {
        const POINT target = m_routeManager.GetTargetPos();
        if (target.x < 0 || target.y < 0 || m_carX < 0 || m_carY < 0) return;
        const POINT line[2] = {POINT{m_carX, m_carY}, target};
        CPen pen(PS_SOLID, 5, kWalkLineColour);
        CPen* old = dc->SelectObject(&pen);
        m_mapWnd.DrawPolyline(dc, line, 2);
        dc->SelectObject(old);
    }
}

void CMainView::DrawPhase1(CDC* dc) {
    DrawSavedPositions(dc);
    DrawHandMarker(dc);
    const bool carKnown = m_carX >= 0 && m_carY >= 0 && m_headingIndex >= 0;
    if (auto* car = Control<NaviCarMark>(m_mainScreen, u"Car")) {
        if (carKnown) {
            std::int32_t sx = m_carX, sy = m_carY;
            m_mapWnd.PointToScreen(sx, sy);
            car->SetPos(sx, sy);
            car->SetCarIndex(m_viewMode == 1 ? kCarImageHeadingUp : m_viewMode == 2 ? kCarImageBird : m_headingIndex);
        }
    }
    if (m_mapLevel > 4) {
        DrawSafePoints(dc);
        DrawSafeAlertSign(dc);
    }
    if (!m_pedestrianMode) m_routeManager.DrawRoutes(dc, m_mapWnd);
    else m_routeManager.DrawPinMarker(dc, m_mapWnd);
    DrawFacilityMarks(dc);
    if (carKnown) {
        int direction = kNoDirection;
        if (m_viewMode == 2) {
            direction = kBirdDirection;
        } else {
            const POINT target = m_routeManager.GetTargetPos();
            if (m_routeManager.HasGoal() && target.x >= 0 && target.y >= 0) {
                std::int32_t cx = 0, cy = 0;
                m_mapWnd.GetCenter(cx, cy);
                direction = static_cast<int>(CalcBearing(cx, cy, target.x, target.y)) / 10;
                // Heading up: relative to the heading, kept in 0-35 (the difference may be negative).
                if (m_viewMode == 1) direction = ((direction - m_headingIndex) % 36 + 36) % 36;
            }
        }
        m_directionIndex = direction;
        if (auto* car = Control<NaviCarMark>(m_mainScreen, u"Car")) car->SetCircleIndex(direction);
    }
    if (!m_followVehicle && !m_pedestrianTargetScreen && m_mainScreen && m_mainScreen->GetSymbolManager()) {
        std::int32_t cx = 0, cy = 0;
        m_mapWnd.GetCenter(cx, cy);
        m_mapWnd.PointToScreen(cx, cy);
        m_mainScreen->GetSymbolManager()->DrawSymbol(dc, 15, cx - 19, cy - 19);
    }
    DrawPointSymbols(dc);
    FindPoiBarEntries();
}

void CMainView::DrawHandMarker(CDC* dc) {
    if (m_mapLevel <= 3 || m_handoverPoint.x < 0 || m_handoverPoint.y < 0 || !m_mainScreen) return;
    NaviSymbolManager* symbols = m_mainScreen->GetSymbolManager();
    if (!symbols) return;
    std::int32_t x = m_handoverPoint.x, y = m_handoverPoint.y;
    m_mapWnd.PointToScreen(x, y);
    if (PointInClient(POINT{x, y})) symbols->DrawHand(dc->GetSafeHdc(), x, y);
}

void CMainView::DrawFacilityMarks(CDC* dc) {
    if (!m_markIcon || m_guiding || (m_facilityMarks[0] < 0 && m_facilityMarks[1] < 0)) return;
    if (!m_followVehicle && !m_pedestrianTargetScreen) return;
    if (m_routeManager.GetRouteOption(0) == 0) return;
    // The route and the engines change under the per-fix work and a re-route: this frame leaves
    // the markers out while either is busy.
    const RouteDrawLock route(m_lockSet.get(), m_routeLockDepth > 0);
    if (!route.Held() || !m_matcherLock.Lock(10)) return;
    const CRoute* selected = m_routeManager.SelectedRoute();
    const CRoutePath* path = selected ? selected->path.get() : nullptr;
    for (int k : m_facilityMarks) {
        if (k < 0 || !path || !m_activeMatcher) continue;
        RouteFacility facility;
        int mapId = 0, linkId = 0;
        std::uint16_t directionAndKind = 0;
        if (!path->GetFacility(k, facility, CRoutePath::kCodeAllButJunction) ||
            !path->GetItemIds(facility.entry.itemIndex, mapId, linkId, directionAndKind))
            continue;
        // The facility's place: the end of its link in the direction the route takes it.
        std::int32_t netX = 0, netY = 0;
        std::int16_t heading = 0;
        if (!m_activeMatcher->GetLinkEnd(mapId, linkId, directionAndKind & 0xFF, netX, netY, heading)) continue;
        std::int32_t x = 0, y = 0;
        NetToMapCoord(netX, netY, x, y);
        m_mapWnd.PointToScreen(x, y);
        m_markIcon->SetPoint(x, y);
        m_markIcon->Draw(dc);
    }
    m_matcherLock.Unlock();
}

void CMainView::DrawBoxedText(CDC* dc, const CString& text, int x, int y, COLORREF fill) {
    if (!dc || text.IsEmpty()) return;
    constexpr UINT kFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    RECT rect{x, y, x, y};
    CString measured = text;
    dc->DrawText(measured, &rect, kFormat | DT_CALCRECT);
    RECT box = rect;
    ::InflateRect(&box, 2, 2);
    CPen frame(PS_SOLID, 1, RGB(64, 64, 64));
    CBrush brush(fill);
    CPen* oldPen = dc->SelectObject(&frame);
    CBrush* oldBrush = dc->SelectObject(&brush);
    dc->Rectangle(&box);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor(RGB(0, 0, 0));
    dc->DrawText(text, &rect, kFormat);
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
}

void CMainView::DrawSavedPositions(CDC* dc) {
    if (!m_doc || !m_doc->savedPositionsExist || m_mapLevel <= 7) return;
    NaviSymbolManager* symbols = m_mainScreen ? m_mainScreen->GetSymbolManager() : nullptr;
    for (const CPosRecord& position : CPositionStore::Instance().GetAll()) {
        // The store keeps network coordinates.
        std::int32_t x = 0, y = 0;
        NetToMapCoord(position.x, position.y, x, y);
        m_mapWnd.PointToScreen(x, y);
        if (!PointInClient(POINT{x, y})) continue;
        DrawBoxedText(dc, CPointDialogBase::FromCp949(position.name, CPosRecord::kNameSize), x + 20, y - 11,
                      kSavedNameFill);
        // The record's second byte is the icon, the first the speaker (voice) setting.
        if (symbols) symbols->DrawInterestIcon(dc, position.value2, position.value1 != 0, x - 20, y - 13);
    }
}

void CMainView::DrawSafePoints(CDC* dc) {
    if (!m_doc || !m_doc->safePointsExist || m_mapLevel <= 6) return;
    auto* mark = Control<NaviSafeZoneMark>(m_mainScreen, u"SafeZone");
    const CSafePointList& points = CSafePointList::Added();
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    for (int i = 0; i < points.GetCount(); ++i) {
        const CSafePointRecord* point = points.GetAt(i);
        if (!point) continue;
        // The points are kept in network coordinates.
        std::int32_t x = 0, y = 0;
        NetToMapCoord(point->x, point->y, x, y);
        m_mapWnd.PointToScreen(x, y);
        if (!PointInClient(POINT{x, y})) continue;
        if (mark) mark->DrawSign(dc, x - 16, y - 24, 1);
        // Numbered in the list's order, from 1.
        CString number;
        number.Format(u"@%d", i + 1);
        dc->ExtTextOut(x + 8, y - 20, 0, nullptr, number, nullptr);
    }
    dc->SetBkMode(oldMode);
}

void CMainView::DrawSafeAlertSign(CDC* dc) {
    auto* mark = Control<NaviSafeZoneMark>(m_mainScreen, u"SafeZone");
    if (!mark || !mark->IsAlertVisible(false)) return;
    // The alert's point in network coordinates, then its kind: 1, 2 and 3 have signs 4, 2 and 3.
    int netX = 0, netY = 0, kind = 0;
    mark->GetAlertAll(&netX, &netY, nullptr, nullptr, nullptr, &kind);
    static constexpr int kSignOfKind[] = {0, 4, 2, 3};
    if (kind < 1 || kind > 3) return;
    std::int32_t x = 0, y = 0;
    NetToMapCoord(netX, netY, x, y);
    m_mapWnd.PointToScreen(x, y);
    if (PointInClient(POINT{x, y})) mark->DrawSign(dc, x - 16, y - 23, kSignOfKind[kind]);
}

void CMainView::DrawPointSymbols(CDC* dc) {
    if (m_mediatorState == 2) {
        m_markers.clear();
        return;
    }
    if (m_mediatorState != 1 || !m_mainScreen || !m_mainScreen->GetSymbolManager()) return;
    NaviSymbolManager* symbols = m_mainScreen->GetSymbolManager();
    for (std::size_t i = 0; i < m_markers.size(); ++i) {
        const AroundFacilityItem& item = *m_markers[i];
        // Point-file x is 5/6 of the map's.
        std::int32_t x = static_cast<std::int32_t>(item.x * 1.2), y = item.y;
        m_mapWnd.PointToScreen(x, y);
        // The last marker is the chosen facility.
        if (i + 1 == m_markers.size()) symbols->DrawSelectMark(dc->GetSafeHdc(), x, y);
        else symbols->DrawCachedSymbol(dc->GetSafeHdc(), item.value, x, y);
    }
}

void CMainView::ComposeEventText() {
    ++m_loggingCounter;
    if (m_logging && m_followVehicle && m_loggingCounter >= 4) {
        m_eventText = u"Logging..(7.8V)";
        m_loggingCounter = 0;
        return;
    }
    const bool mapModes = m_mapReady && m_mapLevel > 2;
    std::int32_t cx = 0, cy = 0;
    m_mapWnd.GetCenter(cx, cy);
    auto district = [&](bool withNeighbourhood) {
        char answer[CAdminSearch::kAnswerSize] = {};
        const int found = withNeighbourhood ? m_adminSearch.DoSrch(cx, cy, answer) : m_adminSearch.GetGuName(cx, cy, answer);
        return found ? CString(Cp949ToUtf16(answer)) : CString();
    };
    switch (m_eventMode) {
    case 1:
        if (!mapModes) return;
        m_eventText = district(true);
        m_placeName = m_eventText;
        break;
    case 2: {
        if (!mapModes) return;
        std::int32_t nx = 0, ny = 0;
        MapToNetCoord(cx, cy, nx, ny);
        m_eventText = LatLonText(nx, ny);
        break;
    }
    case 3:
        m_eventText = m_fixValid ? SpeedAltitudeText(m_fix.speed, m_fix.altitude) : CString(u"속도/고도 가용하지 않습니다.");
        break;
    case 4: {
        if (!mapModes) return;
        const CString road = RoadText(m_roadKind, m_roadNumber);
        if (road.IsEmpty()) m_eventText = district(true);
        else m_eventText.Format(u"%s-%s", ShortDistrict(district(false)).GetString(), road.GetString());
        break;
    }
    default:
        break;
    }
}

void CMainView::RefreshOverlay(CDC* dc, int phase) {
    if (!m_mainScreen) return;
    if (auto* compass = Control<NaviCompass>(m_mainScreen, u"Compass"))
        compass->SetHeadingIndex(m_viewMode != 0 ? std::max(m_headingIndex, 0) : 36);
    // The route-state image: the set route's kind, hidden without a route.
    if (auto* state = Control<NaviAnimImage>(m_mainScreen, u"RouteResult")) {
        const CRoute* route = m_routeManager.SelectedRoute();
        const bool routeSet = m_routeManager.GetRouteOption(0) != 0 && route && route->header;
        if (routeSet) state->SetState(route->header->kind);
        state->SetVisible(routeSet);
    }
    auto* levelBar = Control<NaviLevelBar>(m_mainScreen, u"LevelBar");
    auto* exLevelBar = Control<NaviExLevelBar>(m_mainScreen, u"ExLevelBar");
    if (levelBar) levelBar->SetCurrentLevel(m_mapLevel);
    if (exLevelBar) exLevelBar->SetLevel(m_mapLevel);
    const bool showBar = m_levelBarShown && !m_pedestrianTargetScreen && !m_followVehicle;
    if (levelBar) levelBar->SetVisible(showBar && !m_exLevelBarShown);
    if (exLevelBar) exLevelBar->SetVisible(showBar && m_exLevelBarShown);
    if (auto* dist = Control<NaviDistBar>(m_mainScreen, u"DistBar")) dist->SetValue(m_mapLevel);
    // The receiver icon while the broadcast receiver is used or downloaded traffic is valid; the
    // re-route button while a followed route may be searched again.
    const bool traffic = IsTrafficAvailable();
    if (NaviControl* receiver = m_mainScreen->FindControl(u"Zarn")) receiver->SetVisible(traffic);
    // While the receiver icon shows, the volume icon moves up to its second place.
    if (auto* volume = Control<NaviVolumeIcon>(m_mainScreen, u"Mute")) volume->SetMuted(traffic);
    if (NaviControl* reroute = m_mainScreen->FindControl(u"ReRoute")) reroute->SetVisible(IsRerouteAllowed());

    RefreshRouteBars(phase);

    if (m_eventText.IsEmpty()) ComposeEventText();
    if (!m_eventText.IsEmpty()) {
        bool show = m_eventDisplayState != 2;
        if (m_eventDisplayState == 1) m_eventDisplayState = 2;
        if (show) {
            const int style = m_guideArrowShown ? kEventStyleWithArrow : kEventStyleNormal;
            if (auto* text = Control<NaviEventText>(m_mainScreen, u"EventString")) text->SetText(m_eventText, style);
            // The traffic re-route mark stands above the bubble, clear of the turn arrow.
            if (auto* mark = Control<NaviTrafficReRouteMark>(m_mainScreen, u"TrafficUpdateRoute"))
                mark->Reposition(style);
        }
        m_eventText.Empty();
    }
    ShowGuidanceMessage();
    ShowCurrentRoadName();
    // The POI bar shows only while the map is away from the car.
    if (auto* poiBar = Control<NaviPoiBar>(m_mainScreen, u"POIBAR"); poiBar && poiBar->IsVisible()) {
        NaviCommand follow;
        follow.id = m_followVehicle ? kCmdFollowCar : kCmdFollowOff;
        poiBar->ProcessCommand(follow);
    }
    m_mainScreen->Draw(dc);
}

void CMainView::RefreshRouteBars(int phase) {
    auto* bar = Control<NaviHighwayBar>(m_mainScreen, u"TrackBar");
    auto* arrow = Control<NaviGuideArrow>(m_mainScreen, u"Guide");
    if (bar) bar->SetVisible(false);
    if (arrow) arrow->SetVisible(false);
    m_guideArrowShown = false;
    const bool routeSet = m_routeManager.GetRouteOption(0) != 0;
    if (!routeSet) return;
    if (m_pedestrianMode) {
        // On foot the bar shows the distance to the pedestrian target.
        const POINT target = m_routeManager.GetTargetPos();
        if (bar && m_followVehicle && target.x >= 0 && target.y >= 0) bar->SetVisible(true);
        return;
    }
    if (!m_followVehicle && !m_pedestrianTargetScreen) return;
    const CGuideInfo& info = m_guideInfo;
    if (bar) {
        // Without guidance running the route's own waypoints decide, with it the guidance's.
        const bool waypoint = m_guiding ? info.waypointDistance > 0
                                        : m_routeManager.GetWaypointCount() > 0 && info.remaining != 0;
        bar->SetWaypoint(waypoint, m_routeManager.PassedWaypoints() + 1);
        bar->SetDistances(std::max(info.remaining, 0), std::max(info.waypointDistance, 0));
        bar->SetVisible(true);
    }
    if (arrow) {
        arrow->SetDistances(info.distance, info.followingDistance);
        arrow->SetTurn(info.code, info.followingCode);
        if (phase == 0) arrow->SetStyleFlag(info.code != 0);
        if (arrow->HasTurnImage()) {
            arrow->SetVisible(true);
            m_guideArrowShown = true;
        }
    }
}

void CMainView::ShowGuidanceMessage() {
    if (m_guiding && m_followVehicle && !m_pedestrianMode) {
        const bool offRouteSearch = m_config && m_config->GetValue(17) != 0;
        const CRoute* route = m_routeManager.SelectedRoute();
        const bool hasResult = route && route->hasResult;
        const int count = m_researchRunning.load() ? -1 : m_offRouteCount;
        // Searching again by itself, the message waits for a count of 21; without that search it
        // shows as soon as the vehicle is off the route (a count of 0 is on the route).
        if (count < 0) m_guideMessage = kResearchingMessage;
        else if (offRouteSearch ? hasResult && count >= 21 && count <= 49 : count >= 1)
            m_guideMessage = AfxLoadString(kOffRouteMessage);
    }
    if (m_trafficReroutePending) {
        if (NaviControl* bar = m_mainScreen->FindControl(u"TrackBar")) bar->SetVisible(false);
        m_guideMessage = kTrafficResearchMessage;
    }
    if (auto* label = Control<NaviLabel>(m_mainScreen, kMessageControl)) label->SetText(m_guideMessage);
    m_guideMessage.Empty();
}

void CMainView::ShowCurrentRoadName() {
    if (!m_guideArrowShown) return;
    // The per-fix work changes the route and the matched link: left for the next frame when busy
    // (without the lock set no worker runs).
    const RouteDrawLock route(m_lockSet.get(), m_routeLockDepth > 0);
    if (!route.Held()) return;
    if (m_matcherLock.Lock(10)) {
        const NamedLink link{m_matched.mapId, m_matched.linkId, m_matched.side, m_roadKind};
        // Kinds 15, 28, 34, 63 and 99 name no road.
        const bool named = link.kind != 15 && link.kind != 28 && link.kind != 34 && link.kind != 63 && link.kind != 99;
        if (!(link == m_namedLink) && named) {
            m_namedLink = link;
            if (!m_roadNames) {
                m_roadNames = std::make_shared<CRoadNameTable>();
                m_roadNames->Load(m_config ? m_config->GetDataFolder() : u"");
            }
            char buffer[CRoadNameTable::kNameSize + 1] = {};
            if (m_roadNames->GetRoadName(link.mapId, link.linkId, buffer, CRoadNameTable::kNameSize)) {
                const CString name = CPointDialogBase::FromCp949(buffer, CRoadNameTable::kNameSize);
                if (auto* text = Control<NaviEventText>(m_mainScreen, u"EventString"); text && !name.IsEmpty())
                    text->SetText(name, kEventStyleRoadName);
            }
        }
        m_matcherLock.Unlock();
    }
}
