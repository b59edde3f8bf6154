#include "app/MainViewPosition.h"

#include "app/CGpsInfoDlg.h"
#include "app/CMainView.h"
#include "app/NaviApp.h"
#include "platform/window/Afx.h"

bool CMainViewPosition::IsFollowing() { return m_view.IsFollowingShared(); }

bool CMainViewPosition::OpenNetwork() { return m_view.OpenMatchNetwork(); }

void CMainViewPosition::OnGpsFix(const GpsPosRecord& fix) { m_view.OnGpsFix(fix); }

int CMainViewPosition::FixQuality(const GpsPosRecord& fix) { return m_view.FixQualityOf(fix); }

int CMainViewPosition::FixInterval() { return m_view.FixInterval(); }

bool CMainViewPosition::IsSimulating() { return m_view.IsSimulating(); }

void CMainViewPosition::ProcessVoice() { m_view.PlayPendingVoice(); }

void CMainViewPosition::SyncGpsClock(const GpsPosRecord& fix) { m_view.SyncGpsClock(fix); }

bool CMainViewPosition::IsGuiding() { return m_view.IsGuidingShared(); }

bool CMainViewPosition::TakeNewMatchedFix() { return m_view.TakeNewMatchedFix(); }

void CMainViewPosition::SetGpsState(int state) { m_view.SetGpsState(state); }

void CMainViewPosition::SetLinkState(int state) { m_view.GpsDialog().SetLinkState(state); }

void CMainViewPosition::SetUnitMode(bool unit) { m_view.GpsDialog().SetUnitMode(unit); }

void CMainViewPosition::FeedGpsDialog(const GpsSatRecord& satellites, const GpsPosRecord& fix) {
    if (m_view.IsGpsDialogOpen()) m_view.GpsDialog().SetGpsData(satellites, fix);
}

void CMainViewPosition::SetStatusText(const char16_t* text) { m_view.SetEventText(u"%s", text ? text : u""); }

void CMainViewPosition::SetEventText(const char16_t* text) { m_view.SetEventText(u"%s", text ? text : u""); }

void CMainViewPosition::OnLinkReset(const char16_t*) {
    m_view.StartAutoReturn();
    RedrawMap();
}

void CMainViewPosition::FollowVehicle() {
    if (!m_view.IsFollowing()) m_view.StartFollowing();
}

void CMainViewPosition::UpdateHighwayPanel() { m_view.UpdateHighwayPanel(); }

void CMainViewPosition::MoveMapTo(std::int32_t x, std::int32_t y, int heading) { m_view.MoveMapTo(x, y, heading); }

void CMainViewPosition::StopAutoReturn() { m_view.StopAutoReturn(); }

void CMainViewPosition::RerouteWorker() { m_view.RerouteWorker(); }
void CMainViewPosition::TrafficRerouteWorker() { m_view.RerouteWorker(true); }

void CMainViewPosition::RedrawMap() {
    if (m_view.GetMapWnd().m_hWnd) m_view.GetMapWnd().Invalidate(FALSE);
}

void CMainViewPosition::RestoreBrowserSetting() {
    if (auto* app = dynamic_cast<CNaviApp*>(AfxGetApp())) app->RestoreBtBrowserSetting();
}

void CMainViewPosition::SaveTrail() { m_view.SaveTrail(); }

void CMainViewPosition::ReleaseRouteManager() { m_view.GetRouteManager().Release(); }

// ---- the raw-data log (the GPS reader's thread; the panel's figures on the UI thread) ----

bool CMainViewPosition::LoggingWanted() { return m_view.LoggingWanted(); }

bool CMainViewPosition::StartLog() { return m_view.StartLog(); }

void CMainViewPosition::StopLog() { m_view.StopLog(); }

void CMainViewPosition::AppendLog(const char* bytes, int count) { m_view.AppendLog(bytes, count); }

// The GPS information window's hidden gesture: the figures, then the panel that shows them.
void CMainViewPosition::UpdateLogPanelMemory() {
    m_view.UpdateLogPanelMemory();
    m_view.ShowLogPanel();
}

// ---- the broadcast stores (the reader's receiver mode; the exit on the user-interface thread) ----

void CMainViewPosition::OpenBroadcastStores() { m_view.OpenBroadcastStores(); }

void CMainViewPosition::CloseBroadcastStores() { m_view.CloseBroadcastStores(); }

void CMainViewPosition::DestroyBroadcastSingletons() { m_view.DestroyBroadcastSingletons(false); }

// ---- the traffic re-route watch and the route monitor (their own threads) ----

RerouteWatchState CMainViewPosition::RerouteState() { return m_view.RerouteWatch(); }

void CMainViewPosition::SetRerouteCountdown(int value) { m_view.SetRerouteCountdown(value); }

void CMainViewPosition::PlayMessage(int message) { m_view.PlayGuidanceMessage(message); }

RouteMonitorState CMainViewPosition::MonitorState() { return m_view.RouteMonitor(); }

void CMainViewPosition::SetOffRoute(bool offRoute) { m_view.SetOffRoute(offRoute); }

bool CMainViewPosition::IsOffRoute() { return m_view.IsOffRoute(); }

// The shell posts it: on the user-interface thread, where the compass and the car image read it.
void CMainViewPosition::SetHeadingSector(int sector) { m_view.SetHeadingIndex(sector); }

// ---- the receiver unit (the GPS reader's thread) ----

void CMainViewPosition::SetBroadcastConnected(int connected) { m_view.SetBroadcastConnected(connected); }

void CMainViewPosition::SetBroadcastGpsScore(int score) { m_view.SetBroadcastGpsScore(score); }

void CMainViewPosition::SetDeviceActive(int active) { m_view.SetDeviceActive(active); }
