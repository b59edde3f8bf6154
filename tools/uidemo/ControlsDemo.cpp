// The controls dialog of velko-uidemo: every native control, an owner-drawn list view of 30 rows,
// a subclassed trackbar, a property sheet of three pages and a nested message box. Each step is
// written to the events log.
#include "tools/uidemo/ControlsDemo.h"

#include "platform/window/PropertySheet.h"

#include <string>

namespace {

constexpr UINT kControlsTemplate = 300;
constexpr UINT kPageTemplates[3] = {301, 302, 303};
enum : int {
    kNumber = 1101,
    kReal,
    kMemo,
    kCheck,
    kRadio1,
    kRadio2,
    kLabel,
    kList,
    kCombo,
    kRows,
    kSlider,
    kTabs,
    kDown,
    kSheet,
    kAsk
};

void (*g_log)(const std::string&) = nullptr;
void Log(const std::string& s) {
    if (g_log) g_log(s);
}

class CRowList : public CListCtrl {
public:
    void MeasureItem(LPMEASUREITEMSTRUCT item) override {
        CDC* dc = GetDC();
        TEXTMETRICW tm;
        GetTextMetricsW(dc->GetSafeHdc(), &tm);
        ReleaseDC(dc);
        item->itemHeight = static_cast<UINT>(2 * tm.tmHeight);
    }
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        const bool selected = (item->itemState & ODS_SELECTED) != 0;
        HBRUSH b = CreateSolidBrush(selected ? RGB(68, 196, 203)
                                             : (item->itemID % 2 ? RGB(246, 246, 246) : RGB(240, 236, 208)));
        FillRect(item->hDC, &item->rcItem, b);
        DeleteObject(b);
        const CString text = GetItemText(static_cast<int>(item->itemID), 0);
        SetBkMode(item->hDC, TRANSPARENT);
        RECT r = item->rcItem;
        DrawTextW(item->hDC, text.GetString(), text.GetLength(), &r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
};

// Sees the pen before the trackbar and holds the drag under its own capture.
class CSpySlider : public CSliderCtrl {
public:
    void OnLButtonDown(UINT flags, CPoint p) override {
        Log("SLIDER pen down first");
        CSliderCtrl::OnLButtonDown(flags, p);
    }
    void OnMouseMove(UINT flags, CPoint p) override {
        CRect rc;
        GetClientRect(rc);
        if (GetCapture() == m_hWnd && !rc.PtInRect(p)) Log("SLIDER pen outside, captured");
        CSliderCtrl::OnMouseMove(flags, p);
    }
};

class CDemoPage : public CPropertyPage {
public:
    CDemoPage(UINT id, char name) : CPropertyPage(id), m_name(name) {}
    BOOL OnSetActive() override {
        Log(std::string("PAGE ") + m_name + " set active");
        return TRUE;
    }
    BOOL OnKillActive() override {
        Log(std::string("PAGE ") + m_name + " kill active");
        return TRUE;
    }
    void OnHScroll(UINT code, UINT pos, CWnd*) override {
        Log(std::string("PAGE ") + m_name + " scroll " + std::to_string(code) + " " + std::to_string(pos));
    }
    char m_name;
};

class CControlsDialog : public CDialog {
public:
    explicit CControlsDialog(CWnd* parent) : CDialog(kControlsTemplate, parent) {}
    int m_number = 0;
    double m_real = 0;
    int m_deleted = 0;

    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, kNumber, m_number);
        DDX_Text(dx, kReal, m_real);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        HWND list = ::GetDlgItem(m_hWnd, kList);
        for (int i = 0; i < 5; ++i) {
            const std::u16string s = u"항목 " + std::u16string(1, static_cast<char16_t>(u'0' + i));
            const int at =
                static_cast<int>(::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str())));
            ::SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), 10 + i);
        }
        for (const char16_t* s : {u"날씨", u"기온", u"눈/비 확률"})
            SendDlgItemMessageW(m_hWnd, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendDlgItemMessageW(m_hWnd, kCombo, CB_SETCURSEL, 0, 0);
        m_rows.SubclassDlgItem(kRows, this);
        m_rows.InsertColumn(0, u"구간", LVCFMT_CENTER, 200);
        m_rows.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        m_rows.SetBkColor(RGB(255, 255, 255));
        m_rows.GetHeaderCtrl()->EnableWindow(FALSE);
        m_rows.SetRedraw(FALSE);
        for (int i = 0; i < 30; ++i) {
            const std::string s = "row " + std::to_string(i);
            const std::u16string text(s.begin(), s.end());
            m_rows.InsertItem(i, text.c_str());
            m_rows.SetItemData(i, static_cast<std::uintptr_t>(200 + i));
        }
        m_rows.SetRedraw(TRUE);
        CRect row;
        m_rows.GetItemRect(0, row, LVIR_BOUNDS);
        Log("ROWS height " + std::to_string(row.Height()) + " per page " +
            std::to_string(m_rows.GetCountPerPage()));
        m_slider.SubclassDlgItem(kSlider, this);
        m_slider.SetRange(0, 100);
        HWND tabs = ::GetDlgItem(m_hWnd, kTabs);
        ::SendMessageW(tabs, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&TabItem(u"하나")));
        ::SendMessageW(tabs, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&TabItem(u"둘")));
        m_down.AutoLoad(kDown, this);
        SendDlgItemMessageW(m_hWnd, kNumber, EM_LIMITTEXT, 6, 0);
        CheckRadioButton(kRadio1, kRadio2, kRadio1);
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == kList && code == LBN_SELCHANGE) {
            const auto i = SendDlgItemMessageW(m_hWnd, kList, LB_GETCURSEL, 0, 0);
            Log("LIST data " + std::to_string(SendDlgItemMessageW(m_hWnd, kList, LB_GETITEMDATA,
                                                                  static_cast<WPARAM>(i), 0)));
        } else if (id == kCombo && code == CBN_SELCHANGE) {
            Log("COMBO selchange " + std::to_string(SendDlgItemMessageW(m_hWnd, kCombo, CB_GETCURSEL, 0, 0)));
        } else if (id == kCheck && code == BN_CLICKED) {
            Log("CHECK " + std::to_string(IsDlgButtonChecked(kCheck)));
        } else if (id == kDown && code == BN_CLICKED) {
            m_rows.Scroll(CSize(0, 80));
            Log("ROWS top " + std::to_string(m_rows.GetTopIndex()));
        } else if (id == kSheet && code == BN_CLICKED) {
            Log("SHEET OPEN");
            CPropertySheet sheet(u"시트", this);
            CDemoPage a(kPageTemplates[0], 'A');
            CDemoPage b(kPageTemplates[1], 'B');
            CDemoPage c(kPageTemplates[2], 'C');
            sheet.AddPage(&a);
            sheet.AddPage(&b);
            sheet.AddPage(&c);
            const INT_PTR r = sheet.DoModal();
            Log("SHEET END result=" + std::to_string(r));
        } else if (id == kAsk && code == BN_CLICKED) {
            const int answer = AfxMessageBox(u"주파수를 변경하시겠습니까?", MB_YESNO | MB_ICONQUESTION);
            Log("ASK answer " + std::to_string(answer));
        }
        return CDialog::OnCommand(wParam, lParam);
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        auto* nm = reinterpret_cast<LPNMLISTVIEW>(lParam);
        if (static_cast<int>(wParam) == kRows) {
            if (nm->hdr.code == LVN_ITEMCHANGED && (nm->uNewState & LVIS_SELECTED) &&
                !(nm->uOldState & LVIS_SELECTED))
                Log("ROWS selected " + std::to_string(nm->iItem) + " data " + std::to_string(nm->lParam));
            if (nm->hdr.code == LVN_DELETEITEM) ++m_deleted;
        }
        return CDialog::OnNotify(wParam, lParam, result);
    }
    void OnHScroll(UINT code, UINT pos, CWnd*) override {
        Log("HSCROLL " + std::to_string(code) + " " + std::to_string(pos));
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        const bool tab = msg->message == WM_KEYDOWN && msg->wParam == VK_TAB;
        const BOOL handled = CDialog::PreTranslateMessage(msg);
        if (tab && handled) Log("TAB focus " + std::to_string(::GetDlgCtrlID(::GetFocus())));
        return handled;
    }
    void OnOK() override {
        if (!UpdateData(TRUE)) {
            Log("OK refused");
            return;
        }
        Log("OK number=" + std::to_string(m_number) + " real=" + std::to_string(m_real));
        EndDialog(IDOK);
    }
    void OnCancel() override {
        Log("CANCEL");
        CDialog::OnCancel();
    }

private:
    static TCITEMW& TabItem(const char16_t* text) {
        static TCITEMW item;
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<LPWSTR>(text);
        return item;
    }
    CRowList m_rows;
    CSpySlider m_slider;
    CBitmapButton m_down;
};

} // namespace

void RegisterControlsDemoTemplates() {
    DialogTemplateInfo t;
    t.rect = RECT{0, 26, 240, 294};
    t.title = u"컨트롤";
    const DWORD v = WS_VISIBLE | WS_TABSTOP;
    t.items = {
        {kNumber, WC_EDIT, RECT{10, 5, 80, 25}, v | WS_BORDER | ES_NUMBER | ES_CENTER, u""},
        {kReal, WC_EDIT, RECT{90, 5, 160, 25}, v | WS_BORDER, u""},
        {kMemo, WC_EDIT, RECT{170, 5, 235, 45}, v | WS_BORDER | ES_MULTILINE, u"메모\r\n둘째 줄"},
        {kCheck, WC_BUTTON, RECT{10, 30, 60, 45}, v | BS_AUTOCHECKBOX, u"Chk"},
        {kRadio1, WC_BUTTON, RECT{65, 30, 100, 45}, v | WS_GROUP | BS_AUTORADIOBUTTON, u"R1"},
        {kRadio2, WC_BUTTON, RECT{105, 30, 140, 45}, WS_VISIBLE | BS_AUTORADIOBUTTON, u"R2"},
        {kLabel, WC_STATIC, RECT{145, 50, 235, 62}, WS_VISIBLE | WS_GROUP, u"정적 텍스트"},
        {kList, WC_LISTBOX, RECT{10, 50, 80, 100}, v | WS_BORDER | LBS_NOTIFY, u""},
        {kCombo, WC_COMBOBOX, RECT{90, 50, 140, 120}, v | CBS_DROPDOWNLIST, u""},
        {kRows, WC_LISTVIEW, RECT{10, 105, 230, 205},
         v | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED, u""},
        {kSlider, TRACKBAR_CLASS, RECT{10, 210, 230, 230}, v | TBS_NOTICKS, u""},
        {kTabs, WC_TABCONTROL, RECT{10, 235, 120, 262}, WS_VISIBLE, u""},
        {kDown, WC_BUTTON, RECT{130, 235, 158, 263}, v, u"DOWN"},
        {kSheet, WC_BUTTON, RECT{165, 235, 235, 250}, v, u"Sheet"},
        {kAsk, WC_BUTTON, RECT{165, 252, 235, 267}, v, u"Ask"},
    };
    AfxRegisterDialogTemplate(kControlsTemplate, t);
    const char16_t* captions[3] = {u"관심", u"교통정보", u"기상"};
    for (int i = 0; i < 3; ++i) {
        DialogTemplateInfo p;
        p.rect = RECT{0, 0, 240, 200};
        p.style = WS_CHILD;
        p.title = captions[i];
        p.items = {{1201, WC_EDIT, RECT{10, 10, 110, 30}, WS_VISIBLE | WS_TABSTOP | WS_BORDER, u""},
                   {1202, TRACKBAR_CLASS, RECT{10, 40, 230, 60}, WS_VISIBLE | WS_TABSTOP, u""}};
        AfxRegisterDialogTemplate(kPageTemplates[i], p);
    }
}

INT_PTR RunControlsDemo(CWnd* parent, void (*log)(const std::string&)) {
    g_log = log;
    CControlsDialog dialog(parent);
    const INT_PTR result = dialog.DoModal();
    Log("CONTROLS END result=" + std::to_string(result) + " rows deleted " +
        std::to_string(dialog.m_deleted));
    return result;
}
