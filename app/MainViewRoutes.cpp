// Route files, bus and subway routes, the route information, waypoints and the re-route worker.
#include "app/CMainView.h"

bool CMainView::SearchBusRoute(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return false; }

bool CMainView::SearchSubwayRoute(std::int32_t, std::int32_t, std::int32_t, std::int32_t) { return false; }

void CMainView::ShowRouteInfo(bool, bool, bool) {}

void CMainView::SaveRoute(bool) {}

void CMainView::OpenSavedRoute() {}

void CMainView::SearchReverseRoute() {}

void CMainView::SearchMultiRoute() {}

void CMainView::ManageWaypoints(bool) {}

void CMainView::StartRerouteThread() {}

void CMainView::RerouteWorker() {}
