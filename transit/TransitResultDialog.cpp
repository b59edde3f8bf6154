#include "transit/TransitResultDialog.h"

#include <algorithm>
#include <mutex>

namespace {

DialogTemplateInfo ResultTemplate(const char16_t* caption, int comboId, int listId, int dropHeight) {
    DialogTemplateInfo t;
    t.dialogUnits = true;
    t.rect = RECT{8, 40, 8 + 125, 40 + 87};
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
    t.title = caption;
    const DWORD v = WS_VISIBLE | WS_TABSTOP;
    t.items = {
        {comboId, WC_COMBOBOX, RECT{7, 7, 7 + 111, 7 + dropHeight}, v | CBS_DROPDOWN | WS_VSCROLL, u""},
        {listId, WC_LISTBOX, RECT{7, 22, 7 + 111, 22 + 40},
         v | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, u""},
        {IDOK, WC_BUTTON, RECT{7, 66, 7 + 50, 66 + 14}, v | BS_DEFPUSHBUTTON, u"보기"},
        {IDCANCEL, WC_BUTTON, RECT{68, 66, 68 + 50, 66 + 14}, v, u"종료"},
    };
    return t;
}

} // namespace

void RegisterTransitDialogTemplates() {
    static std::once_flag once;
    std::call_once(once, [] {
        AfxRegisterDialogTemplate(IDD_BUS_RESULT,
                                  ResultTemplate(u"버스경로 탐색결과", IDC_COMBO_BUSRESULT, IDC_LIST_BUSRESULT, 74));
        AfxRegisterDialogTemplate(IDD_SUB_RESULT, ResultTemplate(u"지하철경로 탐색결과", IDC_COMBO_SUBRESULT,
                                                                 IDC_LIST_SUBRESULT, 109));
    });
}

CTransitResultDialog::CTransitResultDialog(UINT templateId, int comboId, int listId, CWnd* parent)
    : CDialog(templateId, parent), m_comboId(comboId), m_listId(listId) {
    RegisterTransitDialogTemplates();
}

void CTransitResultDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, m_comboId, m_comboResult);
    DDX_Control(dx, m_listId, m_listResult);
}

BOOL CTransitResultDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_comboResult.ResetContent();
    const int routes = RouteCount();
    for (int i = 0; i < routes; ++i) {
        const int n = StopCount(i), t = TotalStops(i);
        CString entry;
        if (n > 2)
            entry.Format(u"경로 %d (%d번 환승, 총%d정거장)", i + 1, n - 2, t);
        else
            entry.Format(u"경로 %d (환승없음, 총%d정거장)", i + 1, t);
        m_comboResult.AddString(entry.GetString());
    }
    m_comboResult.SetCurSel(0);
    UpdateData(FALSE);
    SetRoute(0);
    return TRUE;
}

void CTransitResultDialog::SetRoute(int route) {
    m_listResult.ResetContent();
    const int n = StopCount(route);
    int longest = 0;
    for (int i = 0; i < n; ++i) {
        CString row;
        if (!StopRow(route, i, n, row)) continue;
        m_listResult.AddString(row.GetString());
        longest = std::max(longest, row.GetLength());
    }
    RECT client{};
    m_listResult.GetClientRect(&client);
    if (client.right - client.left <= 10 * longest) m_listResult.SetHorizontalExtent(10 * longest);
    m_listResult.SetCurSel(0);
    UpdateData(FALSE);
}

void CTransitResultDialog::OnSelchangeRoute() {
    SetRoute(m_comboResult.GetCurSel());
}

BOOL CTransitResultDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == m_comboId && code == CBN_SELCHANGE) {
        OnSelchangeRoute();
        return TRUE;
    }
    if (id == m_listId && code == LBN_DBLCLK) {
        OnOK();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CTransitResultDialog::OnOK() {
    const int route = m_comboResult.GetCurSel();
    const int stop = m_listResult.GetCurSel();
    if (stop < 0 || route < 0) return; // nothing chosen: the dialog stays open
    if (!ChooseStop(route, stop)) return;
    EndDialog(IDOK);
}

void CTransitResultDialog::OnCancel() {
    EndDialog(IDCANCEL);
}
