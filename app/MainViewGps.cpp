// The main view's part in the GPS dialogs: the GPS information window it opens over itself and
// feeds, and the reconfigure request its settings panel ends with.
#include "app/CGpsInfoDlg.h"
#include "app/CMainView.h"
#include "app/NaviApp.h"
#include "position/PositionWorkers.h"
#include "skinui/main/NaviMainScreen.h"

void CMainView::RequestGpsReconfigure() {
    if (m_workers) m_workers->RequestGpsReconfigure();
}

CGpsInfoDlg& CMainView::GpsDialog() {
    if (!m_gpsDialog) m_gpsDialog = std::make_unique<CGpsInfoDlg>(m_config);
    return *m_gpsDialog;
}

bool CMainView::IsGpsDialogOpen() const {
    return m_gpsDialog && m_gpsDialog->IsOpen();
}

void CMainView::CloseGpsDialog() {
    if (m_gpsDialog) m_gpsDialog->Close();
}

void CMainView::ShowGpsSkyView() {
    CGpsInfoDlg& dialog = GpsDialog();
    if (dialog.IsOpen()) {
        dialog.Close();
        return;
    }
    const int type = navi::g_deviceType;
    dialog.SetDataFolder(navi::g_dataFolder);
    dialog.SetDeviceType(type);
    // The handhelds without a GPS reset get the two-button window.
    const bool threeButtons = !dialog.IsSettingsPanelShown() && type != 7 && type != 9 && type != 21;
    dialog.SetPanelName(threeButtons ? u"GPS 천공도(Button3)" : u"GPS 천공도(Button2)");
    dialog.SetRcBuilder(m_mainScreen ? m_mainScreen->GetRcBuilder() : nullptr);
    dialog.SetWorkers(m_workers.get());
    dialog.SetSignalQuality(m_gpsState);
    dialog.SetApplyHandler([this] {
        RequestGpsReconfigure();
        UpdateDisplayFlags();
    });
    dialog.Open(this);
}
