#include "app/MainViewKeys.h"

#include "app/CMainView.h"
#include "config/NaviConfig.h"

HWND CMainViewKeys::KeyWindow() { return m_view.m_hWnd; }

int CMainViewKeys::Setting(int index) { return CNaviConfig::GetInstance()->GetValue(index); }

int CMainViewKeys::DeviceType() { return CNaviConfig::GetInstance()->GetDeviceType(); }

void CMainViewKeys::RunKeyFunction(int function) { m_view.RunKeyFunction(static_cast<short>(function)); }

bool CMainViewKeys::IsFollowing() { return m_view.IsFollowing(); }

void CMainViewKeys::StopFollowing() { m_view.StopFollowing(); }

void CMainViewKeys::StartAutoReturn() { m_view.StartAutoReturn(); }

void CMainViewKeys::StopAutoReturn() { m_view.StopAutoReturn(); }

int CMainViewKeys::ViewMode() { return m_view.GetViewMode(); }

void CMainViewKeys::FaceHeadingUp() { m_view.FaceHeadingUp(); }

void CMainViewKeys::ApplyCurrentLevel() { m_view.ApplyCurrentLevel(); }

void CMainViewKeys::BeginDragScroll(int dx, int dy, int period) {
    m_view.GetMapWnd().BeginDragScroll(dx, dy, static_cast<std::uint32_t>(period));
}

void CMainViewKeys::EndDragScroll() { m_view.GetMapWnd().EndDragScroll(); }

void CMainViewKeys::StoreMapCentre() { m_view.StoreMapCentre(); }

void CMainViewKeys::Redraw() { m_view.GetMapWnd().RequestRedraw(1); }
