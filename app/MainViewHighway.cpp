#include "app/MainViewHighway.h"

#include "app/CMainView.h"
#include "config/NaviConfig.h"
#include "skinui/controls/NaviSafeZoneMark.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviMainScreen.h"

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

// The guidance record carries no time yet; the panel shows 00:00 until the per-fix work gives one.
int CMainViewHighway::RemainingSeconds() { return 0; }

int CMainViewHighway::BarOption() { return 0; }

void CMainViewHighway::SetHighwayBarDistances(int first, int second) {
    NaviMainScreen* screen = m_view.GetMainScreen();
    if (auto* bar = screen ? dynamic_cast<NaviHighwayBar*>(screen->FindControl(u"TrackBar")) : nullptr)
        bar->SetDistances(first < 0 ? 0 : first, second < 0 ? 0 : second);
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
