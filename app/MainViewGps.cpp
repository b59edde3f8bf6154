// The main view's part in the GPS dialogs: the GPS information window it opens over itself and
// feeds, the reconfigure request its settings panel ends with, and the logging panel its hidden
// gesture brings up.
#include "app/CGpsInfoDlg.h"
#include "app/CMainView.h"
#include "app/LogPanelWnd.h"
#include "app/NaviApp.h"
#include "position/GuideManager.h"
#include "position/PositionWorkers.h"
#include "skinui/main/NaviMainScreen.h"

namespace {
// The additional voice prompt of the information window's show mode 2.
constexpr int kSkyViewPrompt = 177;
constexpr int kSkyViewPromptMode = 2;
} // namespace

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
    if (dialog.Open(this) && dialog.GetShowMode() == kSkyViewPromptMode && m_guide)
        m_guide->Voice().PlayAddWav(kSkyViewPrompt);
}

void CMainView::LogPanelDeleter::operator()(CLogPanelWnd* panel) const { delete panel; }

void CMainView::ShowLogPanel() {
    if (IsLogPanelShown()) return;
    if (!m_logPanelWnd) m_logPanelWnd.reset(new CLogPanelWnd());
    CLogPanelWnd& panel = *m_logPanelWnd;
    panel.SetFreeSpace(m_logPanel.memoryFree, m_logPanel.cardFree);
    panel.SetLogging(m_logWanted.load());
    panel.SelectStorage(m_logPlace.load());
    // The panel's start/stop becomes the view's wish, which the GPS reader carries out on its
    // next pass (opening the log in the chosen folder, or closing it).
    panel.SetClosedHandler([this] {
        m_logPanel.open = false;
        if (!m_logPanelWnd) return;
        m_logPlace = m_logPanelWnd->GetStorage();
        m_logWanted = m_logPanelWnd->IsLogging();
    });
    m_logPanel.open = panel.Create(this) != FALSE;
}

bool CMainView::IsLogPanelShown() const {
    return m_logPanelWnd && m_logPanelWnd->IsOpen();
}
