// The view's side of the settings pages: each page runs in the common dialog with its listener on
// the stack, answered by the view; once the dialog is closed the view carries out what the new
// settings mean (night hours and modes, guidance limits, receiver ports and menus, the storage
// location of the user's data, the sounds).
#include "app/CMainView.h"

#include "app/DisplayPageListener.h"
#include "app/NaviApp.h"
#include "app/PointCommands.h"
#include "app/RouteSearchPageListener.h"
#include "app/SafeDrivePageListener.h"
#include "app/SaveLocationPageListener.h"
#include "app/SettingsPageView.h"
#include "app/SoundPageListener.h"
#include "app/SystemPageListener.h"
#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "position/GuideManager.h"
#include "position/LocusRecorder.h"
#include "position/PositionWorkers.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviPoiBar.h"

namespace {

constexpr int kResultRestore = 3;

// The view as the pages see it.
class CViewPageAnswers : public ISettingsPageView {
public:
    explicit CViewPageAnswers(CMainView& view) : m_view(view) {}

    void ClearTrail() override { m_view.ClearTrail(); }
    void SetPoiBarEntry(int entry) override {
        if (NaviPoiBar* bar = PoiBar()) bar->SetCurrentEntry(entry);
    }
    void SetPoiBarSelection(int selection) override {
        if (NaviPoiBar* bar = PoiBar()) bar->SetSelection(selection);
    }
    int UpdateDayNightColors() override { return m_view.UpdateDayNightColors(); }
    void ApplyDayNightColors() override { m_view.ApplyDayNightColors(); }
    bool FindReceivers(int& port, int& speed, bool& unit, bool& separateGps) override {
        return m_view.FindReceivers(port, speed, unit, separateGps);
    }
    void SetVoiceGuidance(bool on) override { m_view.SetVoiceGuidance(on); }
    void SetClickSound(bool on) override {
        if (NaviMainScreen* screen = m_view.GetMainScreen()) screen->SetClickSound(on);
    }
    void SetMessageBoxSound(bool on) override { m_view.SetMessageBoxSound(on); }

private:
    NaviPoiBar* PoiBar() const {
        NaviMainScreen* screen = m_view.GetMainScreen();
        return screen ? dynamic_cast<NaviPoiBar*>(screen->FindControl(u"POIBAR")) : nullptr;
    }
    CMainView& m_view;
};

} // namespace

int CMainView::RunSettingsPage(CSettingsPageListener& listener, const char16_t* page) {
    if (!m_commonDlg) return 0;
    listener.SetConfig(m_commonDlg.get(), m_config);
    m_commonDlg->SetPanelName(page);
    m_commonDlg->SetNaviListener(&listener);
    m_commonDlg->DoModal();
    const int result = m_commonDlg->GetCommonRet();
    // The listener goes with this call: the dialog must not keep it.
    m_commonDlg->SetNaviListener(this);
    return result;
}

void CMainView::ShowDisplaySettings() {
    const int pedestrianBefore = m_config->GetValue(2);
    CViewPageAnswers answers(*this);
    CDisplayPageListener listener(m_commonDlg.get(), m_config, &answers);
    const int result = RunSettingsPage(listener, CDisplayPageListener::kPageName);
    ApplyDisplaySettings(pedestrianBefore, result);
}

void CMainView::ShowSafeDriveSettings() {
    CViewPageAnswers answers(*this);
    CSafeDrivePageListener listener(m_commonDlg.get(), m_config, &answers);
    const int result = RunSettingsPage(listener, CSafeDrivePageListener::kPageName);
    {
        std::lock_guard<std::mutex> hold(m_guideLock);
        ApplyGuidanceOptions();
    }
    if (IsGuiding() && m_config->GetValue(4) > 0) SetLevel(m_config->GetValue(4));
    if (result == kResultRestore) RestoreMainScreen();
}

void CMainView::ShowRouteSearchSettings() {
    CViewPageAnswers answers(*this);
    CRouteSearchPageListener listener(m_commonDlg.get(), m_config, &answers);
    const int result = RunSettingsPage(listener, CRouteSearchPageListener::kPageName);
    UpdateDisplayFlags();
    if (result == kResultRestore) RestoreMainScreen();
}

void CMainView::ShowSystemSettings(int page) {
    CViewPageAnswers answers(*this);
    CSystemPageListener listener(m_commonDlg.get(), m_config, &answers, page);
    // The key tab's rows follow the handheld's model and its number of keys.
    if (NaviRcBuilder* builder = m_commonDlg ? m_commonDlg->GetRcBuilder() : nullptr) {
        builder->SetDeviceType(navi::g_deviceType);
        builder->SetButtonCount(navi::g_keyLayout);
    }
    const GpsPortSettings before = GetGpsPortSettings();
    const int result = RunSettingsPage(listener, CSystemPageListener::kPageName);
    ApplyGpsPortSettings(before);
    UpdateDisplayFlags();
    if (listener.InitialMenuChanged() && m_mainScreen) m_mainScreen->SetMode(m_config->GetInitialMenuCommand());
    if (listener.UserMenuChanged()) {
        SendMain(2039);
        for (int i = 0; i < 8; ++i) SendMain(2040, i, m_config->GetValue(54 + i));
    }
    if (result == kResultRestore) RestoreMainScreen();
}

void CMainView::ShowSaveLocationSettings() {
    const int before = m_config->GetValue(64);
    CViewPageAnswers answers(*this);
    CSaveLocationPageListener listener(m_commonDlg.get(), m_config, &answers);
    RunSettingsPage(listener, CSaveLocationPageListener::kPageName);
    if (m_config->GetValue(64) == before) return;
    // A failed move has said so (string 61212) and put the old location back in force.
    if (!ApplyStorageLocationChange(before)) RestoreMainScreen();
}

void CMainView::ShowSoundSettings(int page) {
    CViewPageAnswers answers(*this);
    CSoundPageListener listener(m_commonDlg.get(), m_config, &answers, page);
    const int result = RunSettingsPage(listener, CSoundPageListener::kPageName);
    if (result == kResultRestore) RestoreMainScreen();
}

CMainView::GpsPortSettings CMainView::GetGpsPortSettings() const {
    GpsPortSettings s;
    s.port = m_config->GetComPortName();
    s.baud = m_config->GetBaudRate();
    s.datum = m_config->GetValue(28);
    s.mapMode = m_config->GetValue(0);
    s.unit = m_config->GetValue(32);
    s.separateGps = m_config->GetValue(31);
    return s;
}

void CMainView::ApplyGpsPortSettings(const GpsPortSettings& before) {
    if (GetGpsPortSettings() == before) return;
    ++m_portReopenRequests;
    RequestGpsReconfigure();
}

bool CMainView::FindReceivers(int& port, int& speed, bool& unit, bool& separateGps) {
    if (!m_workers) return false;
    std::uint8_t unitFound = 0, both = 0;
    if (!m_workers->FindReceivers(unitFound, both, port, speed)) return false;
    unit = unitFound != 0;
    separateGps = both != 0;
    return true;
}

void CMainView::ClearTrail() {
    std::lock_guard<std::mutex> hold(m_locusLock);
    if (m_locus) m_locus->Clear();
}

void CMainView::SetVoiceGuidance(bool on) {
    m_voiceGuidance = on;
    std::lock_guard<std::mutex> hold(m_guideLock);
    if (m_guide) m_guide->Voice().SetPlaySound(on);
}

void CMainView::SetMessageBoxSound(bool on) {
    if (m_messageBox) m_messageBox->SetSoundEvent(on);
}
