// The work done for each GPS fix, and pedestrian mode.
//
// A fix is worked in two halves. On the GPS reader thread: the engine choice, matching, the
// driving trail, guidance and the route progress, each under its own lock (the engines under
// the matcher lock, the route under entry 1 of the route lock set, guidance under the guidance
// lock, the trail under the trail lock). Everything the user sees (vehicle, guidance display,
// highway bar, safe-zone sign, following and the menus, the route cancelled at arrival) goes to
// the user-interface thread as one snapshot per fix, posted on the view's work queue and run
// there in the order of the fixes. The reader thread never touches a window.
#include "app/CMainView.h"

#include "app/HighwayPanel.h"
#include "app/LockSet.h"
#include "app/UiWorkQueue.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Clock.h"
#include "position/Geometry.h"
#include "position/GuideManager.h"
#include "position/LocusRecorder.h"
#include "position/MRNetReader.h"
#include "position/MatchedPosSource.h"
#include "position/RouteSimulator.h"
#include "route/base/Coords.h"
#include "skinui/controls/NaviSafeZoneMark.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviMainScreen.h"
#include "traffic/receiver/DARC.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr int kAutoReturnFixes = 15;
constexpr int kDayMinutes = 24 * 60;
constexpr int kDaySeconds = 24 * 3600;
constexpr int kMinZoneMinutes = -12 * 60;
constexpr int kMaxZoneMinutes = 14 * 60;
constexpr DWORD kLockTry = 10; // ms
// The voice player's code of the arrival prompt.
constexpr int kArrivalPrompt = 62;
constexpr const char16_t* kPedestrianControl = u"보행자";
constexpr const char16_t* kHighwayBar = u"TrackBar";
constexpr const char16_t* kSafeZone = u"SafeZone";
constexpr const char16_t* kUseTargetQuestion =
    u"보행자모드에서 설정하신 목적지를 차량용 모드의 목적지로 사용 하시겠습니까?";

// A matched record with a position: on a link (1) or off the network (2).
bool HasPosition(const MatchResult& m) { return m.status == 1 || m.status == 2; }

// The map back on the vehicle after this many fixes: 15, or 15 over a positive fix rate.
int AutoReturnLimit(int fixRate) { return fixRate > 0 ? kAutoReturnFixes / fixRate : kAutoReturnFixes; }

// Seconds wrapped into one day around 0: -12 h < s <= 12 h.
int WrapDaySeconds(int s) {
    s %= kDaySeconds;
    if (s > kDaySeconds / 2) s -= kDaySeconds;
    if (s <= -kDaySeconds / 2) s += kDaySeconds;
    return s;
}

// Holds a critical section taken within a time-out, for a scope.
class TimedHold {
public:
    TimedHold(CCriticalSection& section, DWORD ms) : m_section(section), m_held(section.Lock(ms) != FALSE) {}
    explicit TimedHold(CCriticalSection& section) : m_section(section), m_held(section.Lock() != FALSE) {}
    ~TimedHold() {
        if (m_held) m_section.Unlock();
    }
    TimedHold(const TimedHold&) = delete;
    TimedHold& operator=(const TimedHold&) = delete;
    bool Held() const { return m_held; }

private:
    CCriticalSection& m_section;
    bool m_held;
};

} // namespace

// What one fix leaves for the user-interface thread.
struct CMainView::FixSnapshot {
    GpsPosRecord fix{};        // the position record as the reader delivered it
    int fixKind = 0;           // the matched record's status
    bool hasPosition = false;  // the record holds a position (kinds 1 and 2)
    bool pedestrian = false;   // pedestrian mode as the fix saw it
    int fixRate = 0;           // the engine's fix-rate value
    MatchResult vehicle{};     // the matched vehicle record
    bool guided = false;       // a guidance step ran
    bool guiding = false;      // guidance runs (with a route)
    CGuideInfo guide;          // the turn and highway displays
    GuidePointNotice alert;    // the guide point ahead, for the safe-zone sign
    bool arrived = false;      // the destination was reached
    bool highwayFilled = false; // the highway display was filled (the panel was not frozen)
    const char16_t* highwayList = nullptr; // the panel list to select, when one
    bool guidanceEnded = false; // guidance went from running to 0 with this fix
    int offRoute = 0;           // the guidance's off-route count
};

// ---- engines ----

void CMainView::SetMatchEngines(std::unique_ptr<CMapMatchBase> driving, std::unique_ptr<CMapMatchBase> pedestrian) {
    TimedHold lock(m_matcherLock);
    m_drivingEngine = std::move(driving);
    m_pedestrianEngine = std::move(pedestrian);
    m_activeMatcher = nullptr;
    m_matcherMode = -1;
}

void CMainView::EnsureMatchEnginesLocked() {
    if (!m_drivingEngine) m_drivingEngine = std::make_unique<CMatchedPosSource>();
    if (!m_pedestrianEngine) m_pedestrianEngine = std::make_unique<CRoadLocator>();
    if (!m_activeMatcher) m_activeMatcher = m_drivingEngine.get();
}

bool CMainView::OpenMatchNetwork() {
    const char16_t* folder = m_config ? m_config->GetDataFolder() : u"";
    TimedHold lock(m_matcherLock);
    EnsureMatchEnginesLocked();
    const bool driving = m_drivingEngine->OpenNetwork(folder);
    const bool pedestrian = m_pedestrianEngine->OpenNetwork(folder);
    return driving && pedestrian;
}

int CMainView::FixQualityOf(const GpsPosRecord& fix) {
    TimedHold lock(m_matcherLock, kLockTry);
    if (!lock.Held()) return 0;
    EnsureMatchEnginesLocked();
    return m_activeMatcher->GetFixQuality(fix);
}

int CMainView::FixInterval() {
    TimedHold lock(m_matcherLock, kLockTry);
    if (!lock.Held()) return 1;
    EnsureMatchEnginesLocked();
    return m_activeMatcher->GetFixInterval();
}

bool CMainView::GetMatchedVehicle(std::int32_t& mapX, std::int32_t& mapY, int& heading) const {
    MatchResult v;
    {
        std::lock_guard lock(m_vehicleLock);
        v = m_vehicleRecord;
    }
    if (!HasPosition(v)) return false;
    NetToMapCoord(v.x, v.y, mapX, mapY);
    heading = v.heading;
    return true;
}

// ---- the GPS thread's half ----

void CMainView::MatchFix(const GpsPosRecord& fix, MatchResult& matched, int& fixRate) {
    // A busy engine lock skips this fix's matching; the next fix tries again.
    TimedHold engines(m_matcherLock, kLockTry);
    if (!engines.Held()) return;
    EnsureMatchEnginesLocked();
    const int pedestrian = m_pedestrianMode.load() ? 1 : 0;
    if (m_matcherMode.load() != pedestrian) {
        m_activeMatcher = pedestrian ? m_pedestrianEngine.get() : m_drivingEngine.get();
        m_activeMatcher->Reset();
        m_matcherMode = pedestrian;
        m_resetMatcherRequest = false;
    } else if (m_resetMatcherRequest.exchange(false)) {
        m_activeMatcher->Reset();
    }
    if (m_matcherRequest.exchange(false)) m_activeMatcher->RequestRematch();

    // With the route when its entry can be had within 10 ms; the engine never keeps the route
    // beyond the lock, since the user-interface thread may replace it.
    bool routeHeld = false;
    if (m_lockSet && !m_lockSet->IsLocked(1) && m_lockSet->Lock(1, 10)) routeHeld = true;
    CRoute* route = routeHeld ? m_routeManager.SelectedRoute() : nullptr;
    if (route && route->path && route->path->IsValid()) {
        if (!m_routeQuery) m_routeQuery = std::make_unique<CRoutePathQuery>();
        static_cast<CRoutePathQuery&>(*m_routeQuery).SetRoute(route->path.get());
        m_activeMatcher->SetRoutePath(m_routeQuery.get());
        m_activeMatcher->Match(fix, matched);
        m_activeMatcher->SetRoutePath(nullptr);
        static_cast<CRoutePathQuery&>(*m_routeQuery).SetRoute(nullptr);
    } else {
        m_activeMatcher->SetRoutePath(nullptr);
        m_activeMatcher->Match(fix, matched);
    }
    if (routeHeld) m_lockSet->Unlock(1);
    fixRate = m_activeMatcher->GetFixInterval();
}

void CMainView::GuideFix(const MatchResult& matched, bool pedestrian, FixSnapshot& snap) {
    std::lock_guard guideLock(m_guideLock);
    CGuideManager* guide = m_guide.get();
    if (!guide) return;
    // The flag is copied at each fix; only a change of mode resets the guidance (a reset at every
    // fix would lose the off-route sums and the announcement state between fixes).
    if (guide->IsPedestrianMode() != pedestrian) guide->SetPedestrianMode(pedestrian);
    const bool routeHeld = m_lockSet && m_lockSet->Lock(1, 10);
    CRoute* route = routeHeld ? m_routeManager.SelectedRoute() : nullptr;
    CRoutePath* path = route && route->path && route->path->IsValid() ? route->path.get() : nullptr;
    int cont = 1;
    if (path) {
        // Progress along the route, then the next waypoint still ahead and the destination, in
        // network coordinates (in pedestrian mode as well: guidance measures in them).
        m_routeManager.UpdateProgress(static_cast<std::uint16_t>(matched.mapId),
                                      static_cast<std::uint16_t>(matched.linkIndex), matched.reverse,
                                      std::max(0, guide->CarItem()), nullptr);
        std::int32_t wpX = 0, wpY = 0, destX = 0, destY = 0;
        const int next = m_routeManager.PassedWaypoints();
        if (next >= 0 && next < route->waypoints.Count()) {
            const POINT wp = m_routeManager.GetWaypointPos(next);
            if (wp.x >= 0 && wp.y >= 0) MapToNetCoord(wp.x, wp.y, wpX, wpY);
        }
        const POINT goal = m_routeManager.GetGoalPos();
        if (goal.x >= 0 && goal.y >= 0) MapToNetCoord(goal.x, goal.y, destX, destY);
        guide->Guide(cont, matched, path, nullptr, nullptr, wpX, wpY, destX, destY);
        NoteGuidedFix(path, guide->CarItem(), guide->OffRouteSumTotal(), guide->RemainingDistance());
        guide->GetTurnInfo(snap.guide);
        FillHighwayInfo(*guide, matched, path, snap);
        snap.guiding = cont != 0;
        snap.guidanceEnded = m_guideState != 0 && cont == 0;
        if (snap.guidanceEnded) snap.arrived = true;
        m_guideState = cont;
    } else {
        // Without the route (none, or its entry busy): the step on the position alone.
        guide->Guide(cont, matched, nullptr, nullptr, nullptr, 0, 0, 0, 0);
        guide->GetTurnInfo(snap.guide);
        // On foot without a route, the arrival prompt at the target means arrival.
        if (routeHeld && pedestrian && guide->Voice().LastFixedCode() == kArrivalPrompt) snap.arrived = true;
    }
    if (routeHeld) m_lockSet->Unlock(1);
    snap.offRoute = guide->OffRouteSum();
    snap.alert = guide->GuidePointAnnouncement();
    snap.guided = true;
}

// The page and list the highway panel shows, as the user-interface thread last saw them; a frozen
// panel is left as it is.
void CMainView::FillHighwayInfo(CGuideManager& guide, const MatchResult& matched, CRoutePath* path,
                                FixSnapshot& snap) {
    if (m_highwayHeld.load()) return;
    const int page = m_highwayPage.load();
    const int list = m_highwayList.load();
    guide.GetHighwayInfo(snap.guide, matched, path, page, list);
    // Nothing of the chosen kind ahead on the first page: the panel goes back to the whole list.
    if (page == 0 && list != CHighwayPanel::kAll && !snap.guide.hasNext) {
        snap.highwayList = HighwayListCommand(list);
        guide.GetHighwayInfo(snap.guide, matched, path, 0, CHighwayPanel::kAll);
    }
    snap.highwayFilled = true;
}

void CMainView::OnGpsFix(const GpsPosRecord& position) {
    const GpsPosRecord fix = position;
    FixSnapshot snap;
    MatchResult matched{};
    matched.status = 3;
    int fixRate = 0;
    const bool pedestrian = m_pedestrianMode.load();
    snap.pedestrian = pedestrian;

    MatchFix(fix, matched, fixRate);
    m_fixProcessed = true;
    ++m_fixCount;

    const int kind = matched.status;
    m_lastFixKind = kind;
    snap.fix = fix;
    snap.fixKind = kind;
    // The re-route worker plans from this fix (from the last start when it holds no link).
    SetRerouteStart(kind, static_cast<std::uint16_t>(matched.mapId), static_cast<std::uint16_t>(matched.linkIndex),
                    matched.reverse, matched.x, matched.y);
    snap.fixRate = fixRate;
    if ((kind == 1 || kind == 2) && m_config && m_config->GetValue(1)) {
        std::lock_guard trail(m_locusLock);
        if (m_locus) m_locus->AddPoint(matched.x, matched.y);
    }
    if (kind >= 1 && kind <= 3) m_gpsOn = true;

    if (HasPosition(matched)) {
        {
            std::lock_guard lock(m_vehicleLock);
            m_vehicleRecord = matched;
        }
        snap.hasPosition = true;
        snap.vehicle = matched;
        if (m_followShared.load()) {
            GuideFix(matched, pedestrian, snap);
            if (m_darcMatch.load())
                CDARC::instance()->SetMatchDARCID(static_cast<std::uint16_t>(matched.mapId),
                                                  static_cast<std::uint16_t>(matched.linkIndex));
        }
        m_newMatchedFix = true;
    }
    m_guidingShared = snap.guiding;

    if (m_uiQueue) m_uiQueue->Post([this, snap] { ApplyFixSnapshot(snap); });
}

// ---- the user-interface thread's half ----

NaviControl* CMainView::MainControl(const char16_t* name) const {
    return m_mainScreen ? m_mainScreen->FindControl(name) : nullptr;
}

void CMainView::ApplyFixSnapshot(const FixSnapshot& snap) {
    if (snap.guided) {
        CGuideInfo info = snap.guide;
        // A frozen highway panel keeps the facilities it shows.
        if (!snap.highwayFilled) {
            info.facilityCount = m_guideInfo.facilityCount;
            info.rows = m_guideInfo.rows;
            std::copy(std::begin(m_guideInfo.row), std::end(m_guideInfo.row), std::begin(info.row));
            info.hasNext = m_guideInfo.hasNext;
            info.next = m_guideInfo.next;
        }
        m_guideInfo = info;
        m_offRouteCount = snap.offRoute;
        if (m_highwayPanel) {
            if (snap.highwayList) {
                NaviCommand list;
                list.target = snap.highwayList;
                m_highwayPanel->ProcessEvent(list);
            }
            if (snap.highwayFilled && snap.guide.hasNext) m_highwayPanel->SetNextFacility(snap.guide.next.id);
        }
    }
    SyncHighwayPanelView();
    // A route search started now begins at the vehicle's link; off the network it begins at the
    // vehicle's position instead.
    SetFix(snap.fix, snap.fix.status == 'A');
    if (snap.fixKind == 1)
        SetMatchedVehicle(static_cast<std::uint16_t>(snap.vehicle.mapId),
                          static_cast<std::uint16_t>(snap.vehicle.linkIndex),
                          static_cast<std::int8_t>(snap.vehicle.reverse), snap.vehicle.x, snap.vehicle.y);
    else
        SetMatchedVehicle(0, 0, 0, -1, -1);
    if (snap.pedestrian && m_pedestrianMode) UpdatePedestrianDistance();
    auto* bar = dynamic_cast<NaviHighwayBar*>(MainControl(kHighwayBar));
    if (snap.hasPosition) {
        std::int32_t x = 0, y = 0;
        NetToMapCoord(snap.vehicle.x, snap.vehicle.y, x, y);
        SetVehicle(x, y, snap.vehicle.heading);
        if (bar) {
            bar->AddTravelled(snap.vehicle.moved);
            if (snap.guided && snap.guide.hasNext) {
                const CGuideInfo::Facility& f = snap.guide.next;
                bar->SetNextFacility(CString(f.name.c_str()), CString(f.distanceText.c_str()), f.kind, f.distance,
                                     f.brand, f.lpg, f.repair);
            }
        }
        if (m_doc) {
            m_doc->vehicleX = x;
            m_doc->vehicleY = y;
        }
        if (m_mapWnd.m_hWnd) m_mapWnd.Invalidate(FALSE);
    }
    if (snap.arrived) m_arrived = true;
    // Guidance ended at the destination: the route goes, unless the user has taken the map off
    // the vehicle since that fix (then the route stays for the user to look at).
    if (snap.guidanceEnded && m_followVehicle) {
        ++m_arrivalCancels;
        CancelRoute(false, false);
    }

    const int limit = AutoReturnLimit(snap.fixRate);
    if (m_autoReturn >= 0) ++m_autoReturn;
    const bool routeChanged = m_routeChanged.exchange(false);
    if ((m_autoReturn >= 0 && m_autoReturn >= limit) || routeChanged) {
        m_autoReturn = kAutoReturnStopped;
        if (m_doc)
            SetLevel(m_doc->mapLevel);
        else
            ApplyCurrentLevel();
        SetGpsState(snap.fixKind);
        StartFollowing();
        if (m_mapWnd.m_hWnd) m_mapWnd.Invalidate(FALSE);
    }

    if (m_mainScreen && m_mainScreen->GetIdleTicks() >= 0) {
        m_mainScreen->TickIdle();
        if (m_mainScreen->GetIdleTicks() >= limit) {
            const bool resultShown = m_mainScreen->IsRouteResultMode();
            m_mainScreen->CloseMenu();
            if (resultShown) AcceptRoute(3);
            m_mainScreen->StopIdleTicks();
        }
    }

    if (!m_simulating) {
        if (auto* mark = dynamic_cast<NaviSafeZoneMark*>(MainControl(kSafeZone))) {
            if (snap.guided) m_safeZoneKind = ShowSafeZoneAlert(*mark, snap.alert, (snap.vehicle.link[10] >> 5) & 7);
            mark->TickBlink();
        }
    }
}

// ---- the safe-zone sign ----

int CMainView::ShowSafeZoneAlert(NaviSafeZoneMark& mark, const GuidePointNotice& a, int roadClass) {
    // The point's network x and y first (the sign, the map's alert symbol and the section deletion
    // read them there), the limit the sign shows, the distance and the point's kind; then its
    // heading, value and level, which the deletion stores.
    const bool alert = a.index >= 0 && a.x >= 1 && a.y >= 1;
    mark.SetAlert(alert ? a.x : -1, alert ? a.y : -1, a.speedLimit, a.distance, a.type, a.heading, a.value, a.level,
                  roadClass);
    return alert ? a.type : 0;
}

// ---- the highway panel ----

const char16_t* CMainView::HighwayListCommand(int listType) {
    switch (listType) {
    case CHighwayPanel::kRestAreas: return u"전체_휴게소";
    case CHighwayPanel::kJunctions: return u"전체_분기점";
    case CHighwayPanel::kInterchanges: return u"전체_IC";
    default: return u"전체";
    }
}

void CMainView::SyncHighwayPanelView() {
    if (!m_highwayPanel) return;
    m_highwayHeld = m_highwayPanel->held != 0;
    m_highwayPage = m_highwayPanel->GetPageIndex();
    m_highwayList = m_highwayPanel->GetListType();
    m_highwayPanelActive = m_highwayPanel->m_hWnd && m_highwayPanel->IsWindowVisible();
}

void CMainView::OnHighwayPaging() {
    if (!m_highwayPanel) return;
    // The page the user turned to stays until the panel is tapped or the next manoeuvre is far.
    m_highwayPanel->held = 1;
    SyncHighwayPanelView();
    MatchResult vehicle;
    {
        std::lock_guard lock(m_vehicleLock);
        vehicle = m_vehicleRecord;
    }
    {
        std::lock_guard guideLock(m_guideLock);
        if (m_guide && LockRouteForUser()) {
            CRoute* route = m_routeManager.SelectedRoute();
            CRoutePath* path = route && route->path && route->path->IsValid() ? route->path.get() : nullptr;
            m_guide->GetHighwayInfo(m_guideInfo, vehicle, path, m_highwayPanel->GetPageIndex(),
                                    m_highwayPanel->GetListType());
            UnlockRoute();
        }
    }
    UpdateHighwayPanel();
}

// ---- pedestrian mode ----

void CMainView::EnterPedestrianMode() {
    if (m_simulating) return;
    m_pedestrianMode = true;
    if (NaviControl* walk = MainControl(kPedestrianControl)) walk->SetVisible(true);
    if (auto* bar = dynamic_cast<NaviHighwayBar*>(MainControl(kHighwayBar))) bar->SetPedestrian(true);
    if (m_mainScreen) m_mainScreen->SetHighwayDisplay(false);
    {
        std::lock_guard lock(m_guideLock);
        if (m_guide) {
            m_guide->SetPedestrianMode(true);
            m_guide->Reset();
        }
    }
    m_guideInfo.Clear();
    m_walkTarget = m_routeManager.HasGoal() ? m_routeManager.GetGoalPos() : POINT{-1, -1};
    m_walkTargetName = m_routeManager.HasGoal() ? m_routeManager.GetGoalName() : CString();
    UpdatePedestrianDistance();
    UpdateCenterOffset();
    if (m_routeManager.SelectedRoute()) m_arrived = false;
    if (m_mapWnd.m_hWnd) m_mapWnd.Invalidate(FALSE);
}

void CMainView::LeavePedestrianMode() {
    if (m_simulating) return;
    if (m_walkTarget.x >= 0 && m_walkTarget.y >= 0 &&
        NaviMessageBox::ShowMessage(kUseTargetQuestion, NaviMessageBox::kQuestion) == NaviMessageBox::kYes) {
        int roadKind = 0;
        if (LockRouteForUser()) {
            roadKind = m_routeManager.SetGoal(m_walkTarget.x, m_walkTarget.y, m_walkTargetName);
            UnlockRoute();
        }
        if (roadKind >= 1 && !ConfirmPointOnTunnel(roadKind, 1) && LockRouteForUser()) {
            m_routeManager.RestorePrevGoal();
            UnlockRoute();
        }
    }
    m_walkTarget = POINT{-1, -1};
    m_pedestrianMode = false;
    if (NaviControl* walk = MainControl(kPedestrianControl)) walk->SetVisible(false);
    if (auto* bar = dynamic_cast<NaviHighwayBar*>(MainControl(kHighwayBar))) bar->SetPedestrian(false);
    if (m_config) m_config->SetValue(2, 0);
    {
        std::lock_guard lock(m_guideLock);
        if (m_guide) {
            m_guide->SetPedestrianMode(false);
            m_guide->Reset();
        }
    }
    UpdateCenterOffset();
    if (m_mapWnd.m_hWnd) m_mapWnd.Invalidate(FALSE);
}

void CMainView::UpdatePedestrianDistance() {
    if (m_walkTarget.x < 0 || m_walkTarget.y < 0) return;
    std::int32_t cx = 0, cy = 0;
    m_mapWnd.GetCenter(cx, cy);
    std::int32_t tx = 0, ty = 0, mx = 0, my = 0;
    MapToNetCoord(m_walkTarget.x, m_walkTarget.y, tx, ty);
    MapToNetCoord(cx, cy, mx, my);
    // The x factor of each point from its map sheet; the reader is the engines', so it is read
    // under their lock (busy: the factors stay).
    {
        TimedHold engines(m_matcherLock, kLockTry);
        CMRNetReader* reader = engines.Held() ? CMRNetReader::GetInstance() : nullptr;
        if (reader && reader->IsOpen()) {
            DistanceScales& s = MeasureScales();
            MRMapRecord record;
            const int target = reader->FindMap(tx, ty);
            if (target >= 0 && reader->GetMapRecord(target, record)) s.xA = record.xScale * 0.00001;
            const int centre = reader->FindMap(mx, my);
            if (centre >= 0 && reader->GetMapRecord(centre, record)) s.xB = record.xScale * 0.00001;
            s.yA = s.yB = 0.30879;
        }
    }
    if (auto* bar = dynamic_cast<NaviHighwayBar*>(MainControl(kHighwayBar)))
        bar->SetDistances(MeasureDistance(tx, ty, mx, my), 0);
}

void CMainView::UpdateCenterOffset() {
    double ry = 0.0;
    // The nearby search's markers on the map: the car sits lower to leave room for them.
    if (m_mediatorState == 1) {
        ry = m_viewMode == 2 ? -0.4 : -0.48;
    } else if (m_viewMode == 2) {
        ry = 0.5;
    } else if (m_viewMode == 1) {
        ry = (m_followVehicle && !m_pedestrianMode) || m_simulating ? 0.5 : 0.0;
    }
    m_mapWnd.SetCenterOffset(0.0, ry);
}

// ---- the GPS clock ----

void CMainView::SyncGpsClock(const GpsPosRecord& fix) {
    SYSTEMTIME utc{}, local{};
    GetSystemTime(&utc);
    GetLocalTime(&local);
    // The device's offset from UTC in whole minutes, brought across midnight into the zones
    // that exist: -12 h to +14 h.
    int zone = (local.wHour * 60 + local.wMinute) - (utc.wHour * 60 + utc.wMinute);
    if (zone > kMaxZoneMinutes) zone -= kDayMinutes;
    if (zone < kMinZoneMinutes) zone += kDayMinutes;
    const int gpsLocal = fix.hour * 3600 + fix.minute * 60 + fix.second + zone * 60;
    const int deviceLocal = local.wHour * 3600 + local.wMinute * 60 + local.wSecond;
    m_clockOffset = WrapDaySeconds(gpsLocal - deviceLocal);
    m_mapWnd.SetTimeCorrection(m_clockOffset);
    m_clockKnown = true;
}
