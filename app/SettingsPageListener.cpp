#include "app/SettingsPageListener.h"

#include "commondlg/CNaviComboPopup.h"
#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "skinui/controls/NaviControlIds.h"

namespace {
constexpr int kCmdSetValue = 2014;
constexpr int kCmdShowHide = 2010;
constexpr int kCmdAppendItem = 2021;
} // namespace

CSettingsPageListener::CSettingsPageListener(CNaviCommonDlg* dialog, CNaviConfig* config, ISettingsPageView* view)
    : m_dialog(dialog), m_config(config), m_view(view) {}

CSettingsPageListener::~CSettingsPageListener() = default;

void CSettingsPageListener::SetConfig(CNaviCommonDlg* dialog, CNaviConfig* config) {
    m_dialog = dialog;
    m_config = config;
}

void CSettingsPageListener::ProcessEvent(NaviCommand& cmd) {
    if (m_dialog) {
        if (!m_popup) m_popup = std::make_unique<CNaviComboPopup>(m_dialog, m_dialog->GetRcBuilder());
        if (m_popup->Handle(cmd)) return;
    }
    if (cmd.target == CString(kTargetDialog)) {
        if (cmd.id == kCmdDialogBuilt && m_config) OnPageBuilt(cmd);
        return;
    }
    // Only the user's changes and taps; what the controls echo while they are set is not.
    if (cmd.id != kCmdTapped || !m_config) return;
    const CString& sender = cmd.target;
    if (sender == CString(u"이전")) {
        AskSave();
        SetResult(3);
        Close();
    } else if (sender == CString(u"현위치")) {
        AskSave();
        if (HereResult() != 0) SetResult(HereResult());
        Close();
    } else if (sender == CString(u"Apply")) {
        OnApply();
    } else if (sender == CString(u"환경설정탭")) {
        SetControl(u"환경설정패널들", cmd.param1);
    } else {
        OnControl(cmd);
    }
}

void CSettingsPageListener::AskSave() {
    if (m_changed && Ask(kSaveQuestion) == NaviMessageBox::kYes) Save();
}

void CSettingsPageListener::OnApply() {
    if (m_changed) Save();
    if (Ask(kApplyQuestion) == NaviMessageBox::kNo) {
        SetResult(4);
        Close();
    }
}

void CSettingsPageListener::Send(const char16_t* control, int id, int param1, const CString& text) {
    if (m_dialog) m_dialog->SendToPanel(control, id, param1, text);
}

void CSettingsPageListener::SetControl(const char16_t* control, int value) { Send(control, kCmdSetValue, value); }

void CSettingsPageListener::ShowControl(const char16_t* control, bool show) {
    Send(control, kCmdShowHide, show ? 1 : 0);
}

void CSettingsPageListener::AddItem(const char16_t* control, const CString& text) {
    Send(control, kCmdAppendItem, -1, text);
}

void CSettingsPageListener::MarkChildUp() {
    if (m_dialog && MarksChildUp()) m_dialog->SetActivationState(kActivationChildUp);
}

int CSettingsPageListener::Ask(const CString& text) {
    MarkChildUp();
    return NaviMessageBox::ShowMessage(text, NaviMessageBox::kQuestion);
}

void CSettingsPageListener::Notice(const CString& text) {
    MarkChildUp();
    NaviMessageBox::ShowMessage(text, NaviMessageBox::kNotice);
}

void CSettingsPageListener::SetResult(int result) {
    if (m_dialog) m_dialog->SetCommonRet(result);
}

void CSettingsPageListener::Close() {
    if (m_dialog) m_dialog->Close();
}

bool CSettingsPageListener::SaveFile() { return m_config->SaveSettings(-1); }
