#include "app/MainViewStart.h"

#include "position/PositionWorkers.h"

#include "app/CMainView.h"
#include "app/GuideDisabledPoints.h"
#include "app/MainDoc.h"
#include "app/SafePointList.h"
#include "app/VolumeDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/window/Afx.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviMenus.h"
#include "skinui/main/NaviPoiBar.h"
#include "skinui/main/NaviRouteBars.h"

#include <vector>

namespace {
constexpr UINT kMapUnreadable = 214;
// Settings: the POI bar's category and whether its list is open, the user menu buttons, voice
// guidance and button sounds.
constexpr int kSettingPoiCategory = 3;
constexpr int kSettingPoiEntry = 49;
constexpr int kSettingMyMenu = 54;
constexpr int kMyMenuButtons = 8;
constexpr int kSettingVoice = 65;
constexpr int kSettingClickSound = 66;
} // namespace

void CMainView::PrepareOverlayControls() {
    if (m_mainScreen && m_config)
        if (auto* bar = dynamic_cast<NaviPoiBar*>(m_mainScreen->FindControl(u"POIBAR"))) {
            bar->SetSelection(m_config->GetValue(kSettingPoiCategory));
            bar->SetCurrentEntry(m_config->GetValue(kSettingPoiEntry));
        }
    if (m_config) UpdateDisplayFlags();
}

void CMainView::NoteServicesUsed() {
    m_servicesUsed = m_config && m_config->AnyServiceOn();
}

void CMainView::ApplyDisabledGuidePoints() {
    if (!m_guide) return;
    std::vector<CSafePointRecord> removed;
    const CSafePointList& list = CSafePointList::Removed();
    for (int i = 0; i < list.GetCount(); ++i)
        if (const CSafePointRecord* r = list.GetAt(i)) removed.push_back(*r);
    SetGuideDisabledPoints(*m_guide, removed);
}

void CMainView::PrepareMainScreen() {
    if (!m_config) return;
    if (m_mainScreen) {
        // One record for the whole sequence, as the main screen's controls expect it: each command
        // changes only the fields it needs.
        NaviCommand cmd;
        cmd.target = u"NaviMain";
        const int waypoints = m_routeManager.GetWaypointCount();
        for (int i = 0; i < waypoints; ++i) {
            cmd.text = u"경유지";
            cmd.control = u"경유지설정";
            cmd.id = kCmdAddWaypoint;
            m_mainScreen->ProcessCommand(cmd);
        }
        cmd.id = kCmdViewMode;
        cmd.param1 = m_config->GetValue(0);
        m_mainScreen->ProcessCommand(cmd);
        if (m_pedestrianMode)
            if (NaviControl* walk = m_mainScreen->FindControl(u"보행자")) walk->SetVisible(true);
        cmd.id = kCmdMyMenuClear;
        m_mainScreen->ProcessCommand(cmd);
        for (int i = 0; i < kMyMenuButtons; ++i) {
            cmd.id = kCmdMyMenuSlot;
            cmd.param1 = i;
            cmd.param2 = m_config->GetValue(kSettingMyMenu + i);
            m_mainScreen->ProcessCommand(cmd);
        }
        cmd.id = kCmdSliderValue;
        cmd.param1 = CVolumeDlg::GetWaveVolume();
        m_mainScreen->ProcessCommand(cmd);
    }
    // The sound page's switches: voice guidance and the buttons' and message boxes' click.
    SetVoiceGuidance(m_config->GetValue(kSettingVoice) == 1);
    const bool click = m_config->GetValue(kSettingClickSound) == 1;
    if (m_mainScreen) m_mainScreen->SetClickSound(click);
    SetMessageBoxSound(click);
}

bool LoadDrawingFiles(CMainDoc& doc, int displayColours) {
    doc.SetColorMode(displayColours);
    const bool ok = doc.LoadDrawConfig() && doc.LoadSchemeFile(CString(u"Color.bin")) && doc.LoadLineFile() &&
                    doc.LoadLevelFile();
    if (!ok) AfxMessageBox(kMapUnreadable, MB_OK | MB_ICONSTOP);
    return ok;
}

bool InitViewFirstTime(CMainView& view, CMainDoc& doc) {
    if (!LoadDrawingFiles(doc, view.GetDisplayColorCount())) return false;
    view.CreatePositionServices();
    doc.SetSafePointsFlag(CSafePointList::Added().GetCount() > 0);
    const CString& dataFolder = doc.GetDataFolder();
    // Route data the header rejects ends the start (its message has been shown); a missing area
    // table only costs the place names, and the start goes on.
    if (!view.OpenRouteData(dataFolder)) return false;
    view.OpenAreaTable(dataFolder);
    {
        CWaitCursor wait;
        if (!view.OpenMapLayers()) return false; // the layer has been named
    }
    view.PrepareOverlayControls();
    view.SetUpMapWindow();
    view.SetMapLevel(doc.GetMapLevel());
    view.MoveMapTo(doc.mapX, doc.mapY, 0);
    // Where the map opens on the vehicle, the map follows it.
    if (doc.mapX == doc.vehicleX && doc.mapY == doc.vehicleY)
        view.StartFollowing();
    else
        view.StopFollowing();
    view.SetMapReady(true);
    // Guidance without its voice or tables still runs: the result is not a reason to stop.
    view.LoadGuidanceData(dataFolder);
    view.NoteServicesUsed();
    view.SetMapLevel(doc.GetMapLevel());
    view.RestoreLastRoute();
    view.ApplyGuidanceOptions();
    view.ApplyDisabledGuidePoints();
    view.GetMapWnd().RequestRedraw(1);
    view.LoadTrail();
    if (CNaviConfig* config = CNaviConfig::GetInstance()) view.SetPedestrianMode(config->GetValue(2) != 0);
    if (!view.UpdateDayNightColors()) view.ApplyDayNightColors();
    // The receiver mode of the configuration; with the broadcast receiver in use its stores open.
    if (CPositionWorkers* workers = view.GetPositionWorkers()) workers->SelectReceiverMode();
    // The map is up: the workers may now move it.
    view.StartThreads();
    view.PrepareMainScreen();
    return true;
}
