// The work done for each GPS fix, and pedestrian mode.
#include "app/CMainView.h"

void CMainView::OnGpsFix(const GpsPosRecord&) {}

void CMainView::EnterPedestrianMode() {}

void CMainView::LeavePedestrianMode() {}

void CMainView::UpdatePedestrianDistance() {}

void CMainView::UpdateCenterOffset() {}

void CMainView::SyncGpsClock(const GpsPosRecord&) {}
