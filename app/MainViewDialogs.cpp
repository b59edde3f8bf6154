// The view's small dialog windows: the volume window (made once with the skinned user interface,
// run modally on the volume command, toggled by "Mute"), the program information and the start-up
// warning shown over the map at the view's first activation.
#include "app/CMainView.h"

#include "app/NaviApp.h"
#include "app/ProgramInfoDlg.h"
#include "app/VolumeDlg.h"
#include "app/WarningDlg.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/main/NaviMainScreen.h"

namespace {

void DeleteVolume(CVolumeDlg* dialog) {
    delete dialog;
}
void DeleteWarning(CWarningDlg* dialog) {
    delete dialog;
}

} // namespace

void CMainView::SetUpDialogWindows() {
    if (!m_volumeWnd) {
        m_volumeWnd = {new CVolumeDlg(this), &DeleteVolume};
        m_volumeWnd->SetDeviceType(navi::g_deviceType);
    }
}

void CMainView::TearDownDialogWindows() {
    m_volumeWnd.reset();
    m_warningDlg.reset();
}

bool CMainView::HasVolumeWindow() const {
    return m_volumeWnd != nullptr;
}

void CMainView::ShowVolumeWindow() {
    if (!m_volumeWnd) return;
    m_volumeWnd->SetPanelName(CVolumeDlg::kPanelName);
    if (m_mainScreen) {
        m_volumeWnd->SetRcBuilder(m_mainScreen->GetRcBuilder());
        m_volumeWnd->SetMenuMode(m_mainScreen->GetMode());
    }
    m_volumeWnd->DoModal();
    SendMain(kCmdSliderValue, CVolumeDlg::GetWaveVolume());
}

void CMainView::ToggleMute() {
    if (m_volumeWnd) m_volumeWnd->ToggleMute();
}

void CMainView::ShowProgramInfo() {
    CProgramInfoDlg dialog(this);
    dialog.SetPanelName(CProgramInfoDlg::kPanelName);
    if (m_mainScreen) dialog.SetRcBuilder(m_mainScreen->GetRcBuilder());
    dialog.DoModal();
    if (dialog.GetResultCode() == 3) RestoreMainScreen();
}

void CMainView::ShowStartupWarning() {
    if (m_warningShown || !m_mainScreen || !m_hWnd) return;
    m_warningShown = true;
    m_warningDlg = {new CWarningDlg(this), &DeleteWarning};
    m_warningDlg->SetPanelName(u"경고창");
    m_warningDlg->SetRcBuilder(m_mainScreen->GetRcBuilder());
    if (!m_warningDlg->Create(this)) return;
    m_warningDlg->ShowWindow(SW_SHOWNORMAL);
    m_warningDlg->Refresh();
}
