// The state the GPS reader's companion loops read: the traffic re-route watch (the re-route
// countdown and the traffic announcement) and the route monitor (off-route state, following the
// vehicle). Both run on their own threads while the user-interface thread and the per-fix work
// change the view, so every answer here comes from atomics, from the vehicle record under its
// lock, or from the route manager under a short try of route-lock entry 1 (the entry the per-fix
// work takes; the user's route operations and the re-route worker hold every entry).
#include "app/CMainView.h"

#include "app/LockSet.h"
#include "config/NaviConfig.h"
#include "platform/base/Clock.h"
#include "position/GuideManager.h"
#include "route/base/Coords.h"
#include "traffic/receiver/DARC.h"

#include <climits>

namespace {
constexpr std::uint8_t kCarRouteMode = 0x0F;
constexpr std::uint64_t kMinuteMs = 60'000;
} // namespace

RerouteWatchState CMainView::RerouteWatch() {
    RerouteWatchState s;
    s.pedestrian = m_pedestrianMode.load();
    const int kind = m_lastFixKind.load();
    s.fixPresent = kind == 1 || kind == 2;
    s.driveMode = m_routeMode.load() == kCarRouteMode ? (m_simulating.load() ? 2 : 1) : 0;
    s.guiding = m_guidingShared.load();
    s.countdown = m_rerouteCountdown.load();
    s.guidanceCountdown = m_offRouteDistance.load();
    s.routePointsPassed = m_routeFixes.load();
    s.routePosition = m_guidedFixes.load();
    s.researchRunning = m_researchRunning.load();
    s.trafficState = ReceptionLevel();
    s.rerouteDistance = m_remainingDistance.load();
    if (m_config) {
        s.broadcastTrafficOn = m_config->IsBroadcastTrafficOn();
        s.trafficInfoValid = m_config->GetTrafficValidFlag() != 0;
    }

    // The route itself: a user's route operation or a re-route holds the lock set, and then
    // this cycle sees a search running and no route.
    if (!m_lockSet || m_lockSet->IsLocked(1) || !m_lockSet->Lock(1, 10)) {
        s.searchRunning = true;
        return s;
    }
    const CRoute* route = m_routeManager.SelectedRoute();
    const std::uint32_t selection = m_routeManager.SelectionCount();
    s.hasRoute = route && route->hasResult && route->path && route->path->IsValid();
    const bool hasOption = m_routeManager.GetRouteOption(0) != 0;
    s.routeUsesTraffic = route && route->useTraffic != 0;
    m_lockSet->Unlock(1);

    // Re-searching is allowed for a followed route (one with a search option) while no re-route
    // runs already.
    s.rerouteAllowed = s.hasRoute && hasOption && !s.researchRunning;
    // The watch times the route from the first cycle that sees it (cycles are 2 s apart); only
    // the minutes within the hour count.
    const std::uint64_t now = TheClock().TickCount();
    if (route != m_watchedRoute || selection != m_watchedSelection) {
        m_watchedRoute = route;
        m_watchedSelection = selection;
        m_routeMadeTick = now;
    }
    s.minutesSinceRoute = route ? static_cast<std::int64_t>((now - m_routeMadeTick) / kMinuteMs % 60) : 0;
    return s;
}

RouteMonitorState CMainView::RouteMonitor() {
    RouteMonitorState s;
    MatchResult v;
    {
        std::lock_guard lock(m_vehicleLock);
        v = m_vehicleRecord;
    }
    const bool valid = v.status == 1 || v.status == 2;
    s.roadId = valid ? (static_cast<int>(static_cast<std::uint16_t>(v.mapId)) << 16) |
                           static_cast<std::uint16_t>(v.linkIndex)
                     : -1;
    s.broadcastConnected = m_broadcastConnected.load();
    s.broadcastReceiverOn = m_config && m_config->GetValue(32) != 0;
    s.highwayPanelActive = m_highwayPanelActive.load();
    s.offRouteCount = m_offRouteFixes.load();
    s.followOption = m_followShared.load();
    s.guidedOrSimulated = m_guidingShared.load() || m_simulating.load();
    s.vehicleValid = valid;
    if (valid) {
        NetToMapCoord(v.x, v.y, s.vehicleX, s.vehicleY);
        s.heading = v.heading;
    }
    // The map turns with the car in the heading-up view.
    s.rotateMap = m_viewMode.load() == 1;
    s.displayOptionOn = m_displayOptionOn.load();
    s.gpsState = m_gpsState.load();
    return s;
}

void CMainView::NoteGuidedFix(const void* path, int carItem, int offRouteSum, int remaining) {
    if (path != m_guidedPath) {
        // A new route: nothing of it passed yet.
        m_guidedPath = path;
        m_routeFixes = 0;
    }
    if (carItem >= 0) {
        m_offRouteFixes = 0;
        if (m_routeFixes.load() < INT_MAX) ++m_routeFixes;
    } else if (m_offRouteFixes.load() < INT_MAX) {
        ++m_offRouteFixes;
    }
    m_offRouteDistance = offRouteSum;
    m_remainingDistance = remaining;
    ++m_guidedFixes;
}

void CMainView::PlayGuidanceMessage(int id) {
    std::lock_guard guideLock(m_guideLock);
    if (m_guide) m_guide->PlayMessage(id, true);
}

void CMainView::SetBroadcastConnected(int connected) {
    m_broadcastConnected = connected;
    if (CDARC* darc = CDARC::instance()) darc->SetDARCConnected(connected);
}

void CMainView::SetBroadcastGpsScore(int score) {
    if (CDARC* darc = CDARC::instance()) darc->SetGPSScore(score);
}
