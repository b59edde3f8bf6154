#include "transit/BusDialog.h"

#include "platform/base/Text.h"

CBusDialog::CBusDialog(CWnd* parent)
    : CTransitResultDialogOf(IDD_BUS_RESULT, IDC_COMBO_BUSRESULT, IDC_LIST_BUSRESULT, parent) {}

bool CBusDialog::Fetch(int route, int stop, BusStopInfo& info) const {
    return m_pConnect->GetStopInfo(route, stop, info) == 1;
}

bool CBusDialog::StopRow(int route, int stop, int stopCount, CString& row) const {
    BusStopInfo s{};
    if (!m_pConnect || !Fetch(route, stop, s)) return false;
    const std::u16string name = Cp949ToUtf16(s.name), line = Cp949ToUtf16(s.line);
    if (stop == 0)
        row.Format(u"출발:%s, %s", name.c_str(), line.c_str());
    else if (stop == stopCount - 1)
        row.Format(u"하차:%s", name.c_str());
    else
        row.Format(u"환승:%s, %s", name.c_str(), line.c_str());
    return true;
}
