#include "transit/BusDialog.h"

#include "platform/base/Text.h"

CBusDialog::CBusDialog(CWnd* parent)
    : CTransitResultDialog(IDD_BUS_RESULT, IDC_COMBO_BUSRESULT, IDC_LIST_BUSRESULT, parent) {}

int CBusDialog::GetInfo(BusStopInfo& info) const {
    info = m_info;
    return 1;
}

int CBusDialog::RouteCount() const {
    return m_pConnect ? m_pConnect->GetRouteNum() : 0;
}

int CBusDialog::StopCount(int route) const {
    return m_pConnect ? m_pConnect->GetStopNum(route) : -1;
}

int CBusDialog::TotalStops(int route) const {
    return m_pConnect ? m_pConnect->GetTotalStop(route) : -1;
}

bool CBusDialog::StopRow(int route, int stop, int stopCount, CString& row) const {
    BusStopInfo s{};
    if (!m_pConnect || !m_pConnect->GetStopInfo(route, stop, s)) return false;
    const std::u16string name = Cp949ToUtf16(s.name), line = Cp949ToUtf16(s.line);
    if (stop == 0)
        row.Format(u"출발:%s, %s", name.c_str(), line.c_str());
    else if (stop == stopCount - 1)
        row.Format(u"하차:%s", name.c_str());
    else
        row.Format(u"환승:%s, %s", name.c_str(), line.c_str());
    return true;
}

bool CBusDialog::ChooseStop(int route, int stop) {
    return m_pConnect && m_pConnect->GetStopInfo(route, stop, m_info);
}
