// The simulated drive along the route.
#include "app/CMainView.h"

void CMainView::RunSimulatedDrive(bool) {}

void CMainView::StopSimulatedDrive() {}

void CMainView::SimulatedDriveLoop() {}

void CMainView::ShowSimulPlayer(bool) {}
