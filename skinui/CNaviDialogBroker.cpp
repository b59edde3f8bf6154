#include "skinui/CNaviDialogBroker.h"

#include "platform/window/Afx.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviCommand.h"
#include "skinui/NaviRcBuilder.h"

CNaviDialogBroker::CNaviDialogBroker() = default;

CNaviDialogBroker::~CNaviDialogBroker() {
    DeletePanel();
}

void CNaviDialogBroker::CreatePanel(CWnd* owner) {
    DeletePanel();
    m_owner = owner;
    m_panel = new NaviPanel();
    if (m_builder) {
        m_panel->SetClickSound(m_builder->GetClickSound());
        m_builder->BuildPanel(owner, m_panel, m_panelName);
    }
}

void CNaviDialogBroker::DeletePanel() {
    NaviPanel* panel = m_panel;
    m_panel = nullptr;
    if (panel) panel->Release();
}

void CNaviDialogBroker::Draw(CDC* dc) {
    if (m_panel) m_panel->Paint(dc);
}

RECT CNaviDialogBroker::GetPanelRect() const {
    return m_panel ? m_panel->GetRect() : RECT{};
}

void CNaviDialogBroker::StartTimer(UINT period) {
    if (m_owner && m_owner->GetSafeHwnd()) m_owner->SetTimer(1, period);
}

void CNaviDialogBroker::StopTimer() {
    if (m_owner && m_owner->GetSafeHwnd()) m_owner->KillTimer(1);
}

void CNaviDialogBroker::SendToPanel(const char16_t* control, int id, int param1, const CString& text) const {
    if (!m_panel) return;
    NaviCommand cmd;
    cmd.target = kTargetDialog;
    cmd.control = control;
    cmd.id = id;
    cmd.param1 = param1;
    cmd.text = text;
    m_panel->ProcessCommand(cmd);
}
