// The status panel's information line, deleting the announced safe-driving section, the GPS log
// files, moves by location code and the point hand-over file.
#include "app/CMainView.h"

void CMainView::NextEventString() {}

void CMainView::DeleteSafeZoneSection() {}

bool CMainView::StartLog() { return false; }

bool CMainView::StopLog() { return false; }

void CMainView::UpdateLogPanelMemory() {}

void CMainView::MoveByDorvaCode(bool) {}

int CMainView::ReadHandoverFile() { return 1; }
