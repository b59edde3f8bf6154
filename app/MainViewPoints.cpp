// The user's own places as destinations: registered points, home, recent destinations, safe-driving
// points and typed coordinates.
#include "app/CMainView.h"

void CMainView::ShowRegisteredPoints(bool, bool) {}

void CMainView::RegisterMapCenter() {}

void CMainView::RegisterCurrentPoint(const POINT&) {}

void CMainView::GoHome(bool) {}

void CMainView::GoFrequentPlace(bool) {}

void CMainView::ShowRecentDestinations(bool, bool) {}

void CMainView::AddRouteToRecentDestinations() {}

void CMainView::MoveToLatLon(bool) {}

void CMainView::AddSafeDrivePointHere() {}

void CMainView::ManageSafeDrivePoints(int) {}
