#include "app/MainViewStart.h"

#include "position/PositionWorkers.h"

#include "app/CMainView.h"
#include "app/MainDoc.h"
#include "app/SafePointList.h"
#include "config/NaviConfig.h"
#include "platform/window/Afx.h"

namespace {
constexpr UINT kMapUnreadable = 214;
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
    view.SetMapLevel(doc.GetMapLevel());
    view.RestoreLastRoute();
    view.ApplyGuidanceOptions();
    view.GetMapWnd().RequestRedraw(1);
    view.LoadTrail();
    if (CNaviConfig* config = CNaviConfig::GetInstance()) view.SetPedestrianMode(config->GetValue(2) != 0);
    if (!view.UpdateDayNightColors()) view.ApplyDayNightColors();
    // The receiver mode of the configuration; with the broadcast receiver in use its stores open.
    if (CPositionWorkers* workers = view.GetPositionWorkers()) workers->SelectReceiverMode();
    // The map is up: the workers may now move it.
    view.StartThreads();
    return true;
}
