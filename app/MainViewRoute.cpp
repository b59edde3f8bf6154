// Route search, the route result on the main screen, the route points and following the vehicle.
#include "app/CMainView.h"

#include "app/LockSet.h"

void CMainView::SearchRouteAndShow() {}

void CMainView::SearchRouteAndShowKeepMode() {}

void CMainView::FollowVehicle() {}

int CMainView::SearchRoute(bool, signed char, bool) { return 0; }

bool CMainView::RunRouteSearch(bool) { return false; }

void CMainView::ShowRoutePoint(int) {}

bool CMainView::SetRoutePointByKind(int, const CString&) { return false; }

void CMainView::UseSelectedPoint(std::int32_t, std::int32_t, int, const CString&, bool, int, int) {}

void CMainView::CancelRoute(bool, bool) {}

void CMainView::ResetRoute() {}

void CMainView::AcceptRoute(int) {}

bool CMainView::ConfirmPointOnTunnel(int, int) { return false; }

void CMainView::ShowRouteOverview() {}

bool CMainView::AddWaypoint(std::int32_t, std::int32_t, const CString&) { return false; }

void CMainView::DeleteWaypoint(int) {}

void CMainView::ShowWaypointOnMap(int) {}

int CMainView::ResearchRouteAndShowInfo() { return 0; }

void CMainView::StartGuidance() {}

bool CMainView::LockRouteForUser() {
    if (!m_lockSet) return false;
    for (int attempt = 0; attempt < 100; ++attempt)
        if (m_lockSet->Lock(-1, 10)) return true;
    return false;
}

void CMainView::UnlockRoute() {
    if (m_lockSet) m_lockSet->Unlock(-1);
}
