#include "commondlg/CNaviComboPopup.h"

#include "commondlg/CNaviCommonDlg.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviControlIds.h"

bool CNaviComboPopup::Handle(NaviCommand& cmd) {
    if (cmd.id == kCmdComboTapped) {
        // A combo deleted since its tap, or a pop-up already open, opens nothing.
        NaviComboBox* combo = NaviComboBox::FromHandle(static_cast<std::uint32_t>(cmd.param1));
        if (!combo || m_popup) return true;
        CNaviCommonDlg popup(m_caller);
        popup.SetRcBuilder(m_builder);
        popup.SetPanelName(combo->GetName());
        popup.SetPopupDlgType(true);
        popup.SetNaviListener(combo);
        m_popup = &popup;
        popup.DoModal();
        m_popup = nullptr;
        if (m_caller && m_caller->GetSafeHwnd()) m_caller->Invalidate(FALSE);
        return true;
    }
    if (cmd.id == kCmdComboDone) {
        if (m_popup) m_popup->Close();
        return true;
    }
    if (m_popup && (cmd.id == kCmdSelect || cmd.id == kCmdAddRow || cmd.id == kCmdPageList)) {
        NaviCommand toPopup = cmd;
        toPopup.target = kTargetDialog;
        m_popup->ProcessCommand(toPopup);
        return true;
    }
    return false;
}
