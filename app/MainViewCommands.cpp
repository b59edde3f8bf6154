// The main screen's commands: the dispatcher of control names and key functions, the return to
// the last search, and the commands that only open other screens.
#include "app/CMainView.h"

#include "app/HighwayMode.h"
#include "skinui/main/NaviMainScreen.h"

void CMainView::RunKeyFunction(short function) {
    if (function < 1 || function > 17 || m_keyFunctionRunning) return;
    m_keyFunctionRunning = true;
    m_lastKeyFunction = function;
    if (function <= 16 && m_mainScreen && !m_mainScreen->GetMenuName().IsEmpty()) m_mainScreen->CloseMenu();
    switch (function) {
    case 1: // follow the vehicle again
        if (m_carX >= 0 && m_carY >= 0) {
            StartFollowing();
            StopAutoReturn();
            MoveMapTo(m_carX, m_carY, m_heading);
        }
        break;
    case 12:
        CycleViewMode();
        break;
    case 13:
    case 14:
        if (StepLevel(function == 13 ? 1 : 2) && m_highwayMode) m_highwayMode->StartZoomPrompt();
        break;
    default:
        // The other functions belong to the menu commands that carry them out.
        break;
    }
    m_keyFunctionRunning = false;
}

void CMainView::ProcessEvent(NaviCommand& cmd) {
    if (cmd.target == kTargetRefresh) {
        if (m_mapWnd.m_hWnd) m_mapWnd.Invalidate(FALSE);
    } else if (cmd.target == u"LevelBar") {
        StepLevel(cmd.id);
    } else if (cmd.target == u"ExLevelBar") {
        SetLevelFromBar(cmd.id);
    } else if (cmd.target == u"Compass") {
        CycleViewMode();
    } else if (cmd.target == u"Gps" && cmd.id == 0) {
        ShowGpsSkyView();
    }
}

void CMainView::ReturnToLastSearch() {}

void CMainView::ShowNotImplemented() {}

void CMainView::ResetGuideAnnouncements() {}

void CMainView::ShowVolumeWindow() {}

void CMainView::ShowProgramInfo() {}

void CMainView::ShowSaveLocationSettings() {}

void CMainView::ShowSafeDriveSettings() {}

void CMainView::ShowSystemSettings(int) {}

void CMainView::ShowRouteSearchSettings() {}

void CMainView::ShowSoundSettings(int) {}

void CMainView::ShowTrafficSheet(int) {}

void CMainView::DownloadTraffic(int) {}
