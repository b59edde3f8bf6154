#include "app/RouteOptionListener.h"

#include "commondlg/CNaviCommonDlg.h"

#include <utility>

namespace {

constexpr int kCmdSetControl = 2014;

CRouteOptionListener::PanelRunner& Runner() {
    static CRouteOptionListener::PanelRunner runner;
    return runner;
}

} // namespace

void CRouteOptionListener::SetPanelRunner(PanelRunner runner) { Runner() = std::move(runner); }

CRouteOptionListener::CRouteOptionListener(CNaviCommonDlg* dialog, int priority, int useTraffic)
    : m_dialog(dialog) {
    m_record[kPriority] = priority;
    m_record[kUseTraffic] = useTraffic;
    m_record[kSave] = 1;
}

void CRouteOptionListener::Run() {
    if (Runner()) {
        Runner()(*this);
        return;
    }
    if (!m_dialog) return;
    m_dialog->SetPanelName(kPanelName);
    m_dialog->SetNaviListener(this);
    m_dialog->DoModal();
}

void CRouteOptionListener::Close() {
    if (m_dialog) m_dialog->Close();
}

void CRouteOptionListener::SendToDialog(const char16_t* control, int value) {
    if (m_dialog) m_dialog->SendToPanel(control, kCmdSetControl, value);
}

void CRouteOptionListener::ProcessEvent(NaviCommand& cmd) {
    const CString& t = cmd.target;
    if (t == u"경로탐색" || t == u"역방향탐색" || t == u"현위치" || t == u"이전") {
        const Field f = t == u"경로탐색" ? kSearch : t == u"역방향탐색" ? kReverse : t == u"현위치" ? kHere : kBack;
        m_record[f] = 1;
        Close();
    } else if (t == u"우선탐색그룹") {
        m_record[kPriority] = cmd.param1 + 1;
    } else if (t == u"교통정보반영그룹") {
        m_record[kUseTraffic] = cmd.param1 != 1 ? 1 : 0;
    } else if (t == u"탐색옵션 저장") {
        m_record[kSave] = cmd.param1 != 0 ? 1 : 0;
    } else if (t == kTargetDialog && cmd.id == kCmdDialogBuilt) {
        SendToDialog(u"우선탐색그룹", m_record[kPriority] - 1);
        SendToDialog(u"교통정보반영그룹", m_record[kUseTraffic] == 1 ? 0 : 1);
        SendToDialog(u"탐색옵션 저장", 1);
    }
}
