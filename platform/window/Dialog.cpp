#include "platform/window/Dialog.h"

#include "platform/base/Text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

namespace {

std::map<UINT, DialogTemplateInfo> g_dialogTemplates;
std::mutex g_templateMutex;

int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

bool DialogPreTranslate(MSG* msg, void* context) {
    auto* dialog = static_cast<CDialog*>(context);
    return CWnd::WalkPreTranslateTree(dialog->m_hWnd, msg) != FALSE;
}

LPCWSTR DialogClass() {
    static const LPCWSTR name = [] {
        WNDCLASSW wc;
        wc.lpfnWndProc = AfxWndProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
        wc.lpszClassName = u"Dialog";
        RegisterClassW(&wc);
        return u"Dialog";
    }();
    return name;
}

bool IsDialogWindow(HWND hwnd) {
    char16_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    return std::u16string(name) == u"Dialog";
}

// The tab stops of a dialog in template order; child dialogs (property pages) are entered.
// Children in creation order (the window system keeps the newest child on top).
std::vector<HWND> ChildrenInOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
    std::reverse(children.begin(), children.end());
    return children;
}

void CollectTabStops(HWND parent, std::vector<HWND>& out) {
    for (HWND c : ChildrenInOrder(parent)) {
        if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
        const auto style = static_cast<DWORD>(GetWindowLongW(c, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(GetWindowLongW(c, GWL_EXSTYLE));
        if ((exStyle & WS_EX_CONTROLPARENT) || IsDialogWindow(c)) {
            CollectTabStops(c, out);
            continue;
        }
        if (style & WS_TABSTOP) out.push_back(c);
    }
}

HWND FocusedControlOf(HWND dialog) {
    HWND focus = GetFocus();
    return focus && IsChild(dialog, focus) ? focus : nullptr;
}

std::u16string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) return {};
    const int n = GetWindowTextLengthW(item);
    std::u16string text(static_cast<std::size_t>(n) + 1, u'\0');
    GetWindowTextW(item, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

std::string Trimmed(const std::u16string& text) {
    std::string s = Utf16ToUtf8(text);
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool ParseLong(const std::u16string& text, long long lo, long long hi, long long* out) {
    const std::string s = Trimmed(text);
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno == ERANGE || !end || *end != 0 || v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool ParseDouble(const std::u16string& text, double* out) {
    const std::string s = Trimmed(text);
    if (s.empty()) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (errno == ERANGE || !end || *end != 0 || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

} // namespace

// ---- templates and dialog units ----

RECT DialogUnitsToPixels(const RECT& u) {
    return RECT{MulDiv(u.left, kDialogBaseUnitX, 4), MulDiv(u.top, kDialogBaseUnitY, 8),
                MulDiv(u.right, kDialogBaseUnitX, 4), MulDiv(u.bottom, kDialogBaseUnitY, 8)};
}

BOOL MapDialogRect(HWND, RECT* rect) {
    if (!rect) return FALSE;
    *rect = DialogUnitsToPixels(*rect);
    return TRUE;
}

void AfxRegisterDialogTemplate(UINT id, const DialogTemplateInfo& info) {
    std::lock_guard<std::mutex> lock(g_templateMutex);
    g_dialogTemplates[id] = info;
}

bool AfxFindDialogTemplate(UINT id, DialogTemplateInfo* info) {
    std::lock_guard<std::mutex> lock(g_templateMutex);
    auto it = g_dialogTemplates.find(id);
    if (it == g_dialogTemplates.end()) return false;
    if (info) *info = it->second;
    return true;
}

// ---- dialog helpers ----

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> stops;
    CollectTabStops(dialog, stops);
    if (stops.empty()) return nullptr;
    auto it = std::find(stops.begin(), stops.end(), control);
    if (it == stops.end()) return previous ? stops.back() : stops.front();
    const std::size_t i = static_cast<std::size_t>(it - stops.begin());
    const std::size_t n = stops.size();
    return stops[previous ? (i + n - 1) % n : (i + 1) % n];
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextW(item, text) : FALSE;
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        if (buffer && size > 0) buffer[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(item, buffer, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    const std::string s = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
    const std::u16string text = Utf8ToUtf16(s);
    return SetDlgItemTextW(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    long long v = 0;
    const bool ok = GetDlgItem(dialog, id) && ParseLong(ItemText(dialog, id), isSigned ? INT_MIN : 0,
                                                        isSigned ? INT_MAX : UINT_MAX, &v);
    if (translated) *translated = ok ? TRUE : FALSE;
    return ok ? static_cast<UINT>(v) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) return FALSE;
    SendMessageW(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? static_cast<UINT>(SendMessageW(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
    for (int id = first; id <= last; ++id)
        if (HWND item = GetDlgItem(dialog, id))
            SendMessageW(item, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageW(item, message, wParam, lParam) : 0;
}

// ---- data exchange ----

HWND CDataExchange::PrepareCtrl(int id) {
    m_hWndLastControl = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, id) : nullptr;
    return m_hWndLastControl;
}

void CDataExchange::Fail() {
    m_failed = true;
    if (m_hWndLastControl && ::IsWindow(m_hWndLastControl)) {
        ::SetFocus(m_hWndLastControl);
        ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    HWND item = dx->PrepareEditCtrl(id);
    if (!item) return;
    if (dx->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseLong(ItemText(dx->m_pDlgWnd->m_hWnd, id), INT_MIN, INT_MAX, &v)) {
            dx->Fail();
            return;
        }
        value = static_cast<int>(v);
    } else {
        const std::u16string text = Utf8ToUtf16(std::to_string(value));
        ::SetWindowTextW(item, text.c_str());
    }
}

void DDX_Text(CDataExchange* dx, int id, long& value) {
    int v = static_cast<int>(value);
    if (!dx->m_bSaveAndValidate && (value < INT_MIN || value > INT_MAX)) {
        const std::u16string text = Utf8ToUtf16(std::to_string(value));
        if (HWND item = dx->PrepareEditCtrl(id)) ::SetWindowTextW(item, text.c_str());
        return;
    }
    DDX_Text(dx, id, v);
    if (dx->m_bSaveAndValidate && !dx->Failed()) value = v;
}

void DDX_Text(CDataExchange* dx, int id, double& value) {
    HWND item = dx->PrepareEditCtrl(id);
    if (!item) return;
    if (dx->m_bSaveAndValidate) {
        double v = 0;
        if (!ParseDouble(ItemText(dx->m_pDlgWnd->m_hWnd, id), &v)) {
            dx->Fail();
            return;
        }
        value = v;
    } else {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15g", value);
        const std::u16string text = Utf8ToUtf16(buffer);
        ::SetWindowTextW(item, text.c_str());
    }
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND item = dx->PrepareEditCtrl(id);
    if (!item) return;
    if (dx->m_bSaveAndValidate)
        value = CString(ItemText(dx->m_pDlgWnd->m_hWnd, id));
    else
        ::SetWindowTextW(item, value.GetString());
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND item = dx->PrepareCtrl(id);
    if (!item) return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(item, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(item, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    HWND item = dx->PrepareCtrl(id);
    if (!item || !control.SubclassWindow(item)) dx->Fail();
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int count) {
    if (dx->m_bSaveAndValidate) {
        if (value.GetLength() > count) dx->Fail();
    } else if (HWND control = dx->LastControl()) {
        // Loading the dialog: the field itself refuses more.
        ::SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
    }
}

// ---- CDialog ----

bool CDialog::CreateTemplateControls(const DialogTemplateInfo& info) {
    RegisterNativeControls();
    for (const DialogItem& item : info.items) {
        const RECT r = info.dialogUnits ? DialogUnitsToPixels(item.rect) : item.rect;
        HWND control = ::CreateWindowExW(
            item.exStyle, item.className.GetString(), item.text.GetString(), item.style | WS_CHILD, r.left,
            r.top, r.right - r.left, r.bottom - r.top, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<std::intptr_t>(item.id)), nullptr, nullptr);
        if (!control) return false;
    }
    return true;
}

BOOL CDialog::CreateDialogWindow(HWND owner, bool visible) {
    DialogTemplateInfo info;
    AfxFindDialogTemplate(m_nIDTemplate, &info);
    const RECT rect = info.dialogUnits ? DialogUnitsToPixels(info.rect) : info.rect;
    DWORD style = info.style & ~WS_VISIBLE;
    if (!(style & WS_CHILD)) style |= WS_POPUP;
    if (!CreateEx(0, DialogClass(), info.title, style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, owner, nullptr, nullptr))
        return FALSE;
    HWND self = m_hWnd;
    if (!CreateTemplateControls(info)) {
        ::DestroyWindow(self);
        return FALSE;
    }
    const LRESULT focusDefault = SendMessage(WM_INITDIALOG, 0, 0);
    if (!::IsWindow(self)) return FALSE;
    if (focusDefault && !(style & WS_CHILD)) {
        if (HWND first = GetNextDlgTabItem(self, nullptr, FALSE)) {
            ::SetFocus(first);
            if (::SendMessageW(first, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                ::SendMessageW(first, EM_SETSEL, 0, -1);
        }
    }
    if (visible && !IsInModalLoop(self)) ShowWindow(SW_SHOW);
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    HWND owner = nullptr;
    if (m_pParentWnd && m_pParentWnd->m_hWnd) {
        CWnd* top = m_pParentWnd->GetTopLevelParent();
        owner = top ? top->m_hWnd : m_pParentWnd->m_hWnd;
    } else if (CWnd* main = AfxGetMainWnd()) {
        owner = main->m_hWnd;
    }
    // The focus goes back where it was when the dialog ends.
    HWND focusBefore = ::GetFocus();
    m_modal = true;
    if (!CreateDialogWindow(owner, false)) {
        m_modal = false;
        return -1;
    }
    HWND self = m_hWnd;
    const INT_PTR result = RunModalLoop(self, owner, DialogPreTranslate, this);
    if (::IsWindow(self)) ::DestroyWindow(self);
    m_modal = false;
    if (focusBefore && ::IsWindow(focusBefore) && ::IsWindowEnabled(focusBefore)) ::SetFocus(focusBefore);
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    HWND owner = parent ? parent->m_hWnd : (AfxGetMainWnd() ? AfxGetMainWnd()->m_hWnd : nullptr);
    DialogTemplateInfo info;
    AfxFindDialogTemplate(templateId, &info);
    return CreateDialogWindow(owner, (info.style & WS_VISIBLE) != 0);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (!m_hWnd) return FALSE;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

void CDialog::EndDialog(int result) {
    if (!m_hWnd) return;
    ::EndDialog(m_hWnd, result);
    if (!m_modal) ShowWindow(SW_HIDE);
}

void CDialog::NextDlgCtrl() const {
    if (HWND next = GetNextDlgTabItem(m_hWnd, FocusedControlOf(m_hWnd), FALSE)) {
        ::SetFocus(next);
        if (::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            ::SendMessageW(next, EM_SETSEL, 0, -1);
    }
}

void CDialog::PrevDlgCtrl() const {
    if (HWND prev = GetNextDlgTabItem(m_hWnd, FocusedControlOf(m_hWnd), TRUE)) {
        ::SetFocus(prev);
        if (::SendMessageW(prev, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            ::SendMessageW(prev, EM_SETSEL, 0, -1);
    }
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (!control || !control->m_hWnd) return;
    ::SetFocus(control->m_hWnd);
    if (::SendMessageW(control->m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        ::SendMessageW(control->m_hWnd, EM_SETSEL, 0, -1);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog();
    if (message == WM_ACTIVATE && !(GetStyle() & WS_CHILD)) {
        // A dialog that goes inactive remembers its focused control; activated again, it gives
        // the focus back to it (or to its first control) unless one of its own has it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = FocusedControlOf(m_hWnd)) m_hWndFocusSaved = focus;
            return CWnd::WindowProc(message, wParam, lParam);
        }
        const LRESULT r = CWnd::WindowProc(message, wParam, lParam);
        if (!FocusedControlOf(m_hWnd)) {
            HWND target = m_hWndFocusSaved && ::IsWindow(m_hWndFocusSaved) &&
                                  ::IsChild(m_hWnd, m_hWndFocusSaved) &&
                                  ::IsWindowVisible(m_hWndFocusSaved) && ::IsWindowEnabled(m_hWndFocusSaved)
                              ? m_hWndFocusSaved
                              : GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
            if (target) ::SetFocus(target);
        }
        return r;
    }
    if (message == WM_CTLCOLORDLG) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return CWnd::OnCommand(wParam, lParam);
    }
}

BOOL CDialog::HandleDialogKey(MSG* msg) {
    if (msg->message != WM_KEYDOWN || !m_hWnd) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    HWND focus = FocusedControlOf(m_hWnd);
    const LRESULT code = focus ? ::SendMessageW(focus, WM_GETDLGCODE, msg->wParam, 0) : 0;
    if (code & DLGC_WANTALLKEYS) return FALSE;
    switch (msg->wParam) {
    case VK_TAB: {
        if (code & DLGC_WANTTAB) return FALSE;
        const bool back = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
        if (back)
            PrevDlgCtrl();
        else
            NextDlgCtrl();
        return TRUE;
    }
    case VK_RETURN: {
        // A focused push button is pressed; otherwise the dialog's OK.
        int id = IDOK;
        if (focus) {
            char16_t cls[16] = {};
            ::GetClassNameW(focus, cls, 16);
            const auto type = static_cast<DWORD>(::GetWindowLongW(focus, GWL_STYLE)) & BS_TYPEMASK;
            if (std::u16string(cls) == u"BUTTON" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
                ::SendMessageW(focus, BM_CLICK, 0, 0);
                return TRUE;
            }
        }
        SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        return TRUE;
    }
    case VK_ESCAPE:
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    return HandleDialogKey(msg);
}
