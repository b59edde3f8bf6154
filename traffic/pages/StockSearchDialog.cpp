#include "traffic/pages/StockSearchDialog.h"

#include "platform/base/Text.h"
#include "platform/window/Shell.h"
#include "traffic/pages/SearchStock.h"
#include "traffic/pages/StockDetailDialog.h"
#include "traffic/pages/StockDialogSupport.h"

StockSearchDialog::StockSearchDialog(CWnd* parent) : CDialog(IDD, parent) {
    RegisterTemplate();
}

void StockSearchDialog::RegisterTemplate() {
    DialogTemplateInfo t = stockui::FullScreenTemplate(u"증권정보 보기");
    const DWORD v = WS_VISIBLE;
    // Above the input panel: text, list, then the buttons in one row.
    t.items.insert(
        t.items.begin() + 1,
        {{-1, WC_STATIC, RECT{10, 36, 80, 56}, v, u"문자열입력"},
         {IDC_TEXT, WC_EDIT, RECT{82, 34, 230, 58}, v | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, u""},
         {IDC_LIST, WC_LISTBOX, RECT{10, 60, 230, 154},
          v | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, u""},
         {IDOK, WC_BUTTON, RECT{10, 158, 84, 182}, v | WS_TABSTOP | BS_DEFPUSHBUTTON, u"관심.추가"},
         {IDC_DETAIL, WC_BUTTON, RECT{88, 158, 152, 182}, v | WS_TABSTOP, u"상세"}});
    // "이전" beside the others, above the raised input panel.
    for (DialogItem& item : t.items)
        if (item.id == IDCANCEL) item.rect = RECT{156, 158, 230, 182};
    AfxRegisterDialogTemplate(IDD, t);
}

void StockSearchDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LIST, m_list);
}

BOOL StockSearchDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.LoadFirst();
    SHSipPreference(m_hWnd, SIP_UP);
    return TRUE;
}

BOOL StockSearchDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_TEXT && code == EN_CHANGE) {
        OnTextChanged();
        return TRUE;
    }
    if (id == IDC_LIST && code == LBN_SELCHANGE) {
        m_list.LoadNear(m_list.GetTopIndex());
        return TRUE;
    }
    if ((id == IDC_LIST && code == LBN_DBLCLK) || (id == IDC_DETAIL && code == BN_CLICKED)) {
        ShowDetail();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void StockSearchDialog::OnTextChanged() {
    CString text;
    GetDlgItemText(IDC_TEXT, text);
    text.TrimLeft();
    text.TrimRight();
    if (text.IsEmpty()) return;
    const std::string typed = Utf16ToCp949(text.Str());
    const int found = SearchStock::instance()->FindCodeOrName(typed.c_str());
    if (found < 0) return;
    BeginWaitCursor();
    m_list.SelectRow(found);
    EndWaitCursor();
}

void StockSearchDialog::ShowDetail() {
    const int selected = m_list.GetCurSel();
    if (selected < 0) return;
    StockInterest stock;
    if (!SearchStock::instance()->GetInfoForStockIndexSel(selected, stock)) return;
    StockDetailDialog detail(stock, this);
    detail.DoModal();
}

void StockSearchDialog::OnOK() {
    m_selected = m_list.GetCurSel();
    m_list.ResetContent();
    SHSipPreference(m_hWnd, SIP_FORCEDOWN);
    EndDialog(IDOK);
}

void StockSearchDialog::OnCancel() {
    SHSipPreference(m_hWnd, SIP_FORCEDOWN);
    EndDialog(IDCANCEL);
}
