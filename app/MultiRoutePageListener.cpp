#include "app/MultiRoutePageListener.h"

#include "commondlg/CNaviCommonDlg.h"
#include "skinui/controls/NaviControlIds.h"

#include <utility>

namespace {

constexpr int kCmdSetControl = 2014;

CMultiRoutePageListener::PageRunner& Runner() {
    static CMultiRoutePageListener::PageRunner runner;
    return runner;
}

} // namespace

const char16_t* const CMultiRoutePageListener::kCheckBoxes[kKinds] = {u"고속우선", u"추천경로",
                                                                      u"일반추천(1)", u"일반단거리(2)"};
const char16_t* const CMultiRoutePageListener::kResultControls[kKinds] = {
    u"탐색결과_고속우선", u"탐색결과_추천경로", u"탐색결과_일반우선1", u"탐색결과_일반우선2"};

void CMultiRoutePageListener::SetPageRunner(PageRunner runner) {
    Runner() = std::move(runner);
}

CMultiRoutePageListener::CMultiRoutePageListener(CNaviCommonDlg* dialog, const std::int32_t flags[kKinds],
                                                 int currentKind)
    : m_dialog(dialog), m_currentKind(IsKind(currentKind) ? currentKind : 0) {
    for (int i = 0; i < kKinds; ++i) m_flags[static_cast<std::size_t>(i)] = flags[i] != 0 ? 1 : 0;
    if (m_currentKind) m_flags[static_cast<std::size_t>(m_currentKind - 1)] = 1;
}

void CMultiRoutePageListener::GetFlags(std::int32_t flags[kKinds]) const {
    for (int i = 0; i < kKinds; ++i) flags[i] = m_flags[static_cast<std::size_t>(i)];
}

void CMultiRoutePageListener::Run() {
    if (Runner()) {
        Runner()(*this);
        return;
    }
    if (!m_dialog) return;
    m_dialog->SetPanelName(kPageName);
    m_dialog->SetNaviListener(this);
    m_dialog->SetRoundType(true);
    m_dialog->DoModal();
    m_dialog->SetRoundType(false);
    m_dialog->SetNaviListener(nullptr);
}

void CMultiRoutePageListener::Close() {
    if (m_dialog) m_dialog->Close();
}

void CMultiRoutePageListener::SendToControl(const char16_t* control, int id, int value) {
    if (m_dialog) m_dialog->SendToPanel(control, id, value);
}

void CMultiRoutePageListener::CheckKind(int kind) {
    if (IsKind(kind)) SendToControl(kCheckBoxes[kind - 1], kCmdSetControl, 1);
}

void CMultiRoutePageListener::ProcessEvent(NaviCommand& cmd) {
    const CString& sender = cmd.target;
    if (sender == u"탐색시작" || sender == u"예") {
        m_start = 1;
        Close();
        return;
    }
    if (sender == u"취소") {
        Close();
        return;
    }
    if (sender == u"아니요") {
        m_start = 0;
        Close();
        return;
    }
    for (int k = 1; k <= kKinds; ++k)
        if (sender == kCheckBoxes[k - 1]) {
            // The current kind's box is disabled on the page; it stays ticked whatever arrives.
            if (k != m_currentKind) m_flags[static_cast<std::size_t>(k - 1)] = cmd.param1 != 0 ? 1 : 0;
            return;
        }
    if (sender == kTargetDialog && cmd.id == kCmdDialogBuilt && cmd.control == kPageName) {
        for (int k = 1; k <= kKinds; ++k)
            if (IsTicked(k)) CheckKind(k);
        for (const char16_t* result : kResultControls) SendToControl(result, kCmdDisable, -1);
        if (m_currentKind) {
            SendToControl(kResultControls[m_currentKind - 1], kCmdMarkShow, -1);
            SendToControl(kCheckBoxes[m_currentKind - 1], kCmdDisable, 0);
        }
    }
}
