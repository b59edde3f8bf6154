#include "app/MainViewHighway.h"

#include "app/CMainView.h"
#include "config/NaviConfig.h"
#include "skinui/controls/NaviSafeZoneMark.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviMainScreen.h"

#include <climits>
#include <cstdint>

const CGuideInfo& CMainViewHighway::GuideInfo() { return m_view.GetGuideInfo(); }

bool CMainViewHighway::GuidanceStarted() { return m_view.IsGuidanceStarted(); }

bool CMainViewHighway::IsPedestrianMode() { return m_view.IsPedestrianMode(); }

bool CMainViewHighway::IsGuiding() { return m_view.IsGuiding(); }

bool CMainViewHighway::IsSimulating() { return m_view.IsSimulating(); }

bool CMainViewHighway::SafeZoneAlertActive() {
    NaviMainScreen* screen = m_view.GetMainScreen();
    auto* mark = screen ? dynamic_cast<NaviSafeZoneMark*>(screen->FindControl(u"SafeZone")) : nullptr;
    return mark && mark->IsAlertVisible(false);
}

int CMainViewHighway::FixQuality(const GpsPosRecord&) { return m_view.GetFixQuality(); }

bool CMainViewHighway::FollowingRouteWithWaypoints() {
    CRouteManager& routes = m_view.GetRouteManager();
    return m_view.IsFollowing() && routes.GetRouteOption(0) != 0 && routes.HasWaypoints();
}

int CMainViewHighway::RouteIndex() { return m_view.GetRouteManager().SelectedIndex(); }

namespace {

NaviHighwayBar* HighwayBar(CMainView& view) {
    NaviMainScreen* screen = view.GetMainScreen();
    return screen ? dynamic_cast<NaviHighwayBar*>(screen->FindControl(u"TrackBar")) : nullptr;
}

} // namespace

// The guidance record holds distances only; the driving time left is the top bar's estimate
// (the route's own time for the distance left, weighed with the average speed driven so far),
// so the panel and the bar show the same time.
int CMainViewHighway::RemainingSeconds() {
    NaviHighwayBar* bar = HighwayBar(m_view);
    if (!bar) return 0;
    std::uint32_t seconds = 0;
    bar->GetRemainingTime(seconds);
    return seconds > static_cast<std::uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(seconds);
}

// The speed number is drawn only while the position is good enough to be followed on the
// route (the same quality the panel's route state asks for); otherwise the speed is stale.
int CMainViewHighway::BarOption() { return m_view.GetFixQuality() > 2 ? 1 : 0; }

void CMainViewHighway::SetHighwayBarDistances(int first, int second) {
    if (NaviHighwayBar* bar = HighwayBar(m_view)) bar->SetDistances(first < 0 ? 0 : first, second < 0 ? 0 : second);
}

int CMainViewHighway::Setting(int index) { return CNaviConfig::GetInstance()->GetValue(index); }

int CMainViewHighway::MapLevel() { return m_view.GetMapLevel(); }

int CMainViewHighway::StepToLevel(int step) { return m_view.StepToLevel(step); }

void CMainViewHighway::SetMapLevel(int level) { m_view.SetLevel(level); }

CWnd* CMainViewHighway::PanelParent() { return &m_view; }

NaviRcBuilder* CMainViewHighway::ResourceBuilder() {
    NaviMainScreen* screen = m_view.GetMainScreen();
    return screen ? screen->GetRcBuilder() : nullptr;
}
