#include "transit/SubDialog.h"

#include "platform/base/Text.h"

CSubDialog::CSubDialog(CWnd* parent)
    : CTransitResultDialog(IDD_SUB_RESULT, IDC_COMBO_SUBRESULT, IDC_LIST_SUBRESULT, parent) {}

int CSubDialog::GetInfo(SubLineInfo& info) const {
    info = m_info;
    return 1;
}

int CSubDialog::RouteCount() const {
    return m_pConnect ? m_pConnect->GetRouteNum() : 0;
}

int CSubDialog::StopCount(int route) const {
    return m_pConnect ? m_pConnect->GetStopNum(route) : -1;
}

int CSubDialog::TotalStops(int route) const {
    return m_pConnect ? m_pConnect->GetTotalStop(route) : -1;
}

bool CSubDialog::StopRow(int route, int stop, int stopCount, CString& row) const {
    SubLineInfo s{};
    if (!m_pConnect || !m_pConnect->GetStationInfo(route, stop, s)) return false;
    const std::u16string name = Cp949ToUtf16(s.name), direction = Cp949ToUtf16(s.direction),
                         line = Cp949ToUtf16(s.line);
    if (stop == 0)
        row.Format(u"출발:%s, %s방면, %s", name.c_str(), direction.c_str(), line.c_str());
    else if (stop == stopCount - 1)
        row.Format(u"하차:%s", name.c_str());
    else
        row.Format(u"환승:%s, %s방면, %s", name.c_str(), direction.c_str(), line.c_str());
    return true;
}

bool CSubDialog::ChooseStop(int route, int stop) {
    return m_pConnect && m_pConnect->GetStationInfo(route, stop, m_info);
}
