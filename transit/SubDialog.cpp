#include "transit/SubDialog.h"

#include "platform/base/Text.h"

CSubDialog::CSubDialog(CWnd* parent)
    : CTransitResultDialogOf(IDD_SUB_RESULT, IDC_COMBO_SUBRESULT, IDC_LIST_SUBRESULT, parent) {}

bool CSubDialog::Fetch(int route, int stop, SubLineInfo& info) const {
    return m_pConnect->GetStationInfo(route, stop, info) == 1;
}

bool CSubDialog::StopRow(int route, int stop, int stopCount, CString& row) const {
    SubLineInfo s{};
    if (!m_pConnect || !Fetch(route, stop, s)) return false;
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
