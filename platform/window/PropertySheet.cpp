#include "platform/window/PropertySheet.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

LPCWSTR SheetClass() {
    static const LPCWSTR name = [] {
        WNDCLASSW wc;
        wc.lpfnWndProc = AfxWndProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
        wc.lpszClassName = u"PropertySheet";
        RegisterClassW(&wc);
        return u"PropertySheet";
    }();
    return name;
}

bool SheetPreTranslate(MSG* msg, void* context) {
    auto* sheet = static_cast<CPropertySheet*>(context);
    return CWnd::WalkPreTranslateTree(sheet->m_hWnd, msg) != FALSE;
}

RECT PageSize(UINT templateId) {
    DialogTemplateInfo info;
    AfxFindDialogTemplate(templateId, &info);
    RECT r = info.dialogUnits ? DialogUnitsToPixels(info.rect) : info.rect;
    return RECT{0, 0, r.right - r.left, r.bottom - r.top};
}

} // namespace

// ---- CPropertyPage ----

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) : CDialog(templateId, nullptr) {
    if (captionId) m_caption = AfxLoadString(captionId);
}

CString CPropertyPage::GetCaption() const {
    if (!m_caption.IsEmpty()) return m_caption;
    DialogTemplateInfo info;
    AfxFindDialogTemplate(m_nIDTemplate, &info);
    return info.title;
}

BOOL CPropertyPage::CreatePage(CPropertySheet* sheet, const RECT& area) {
    m_pSheet = sheet;
    m_pParentWnd = sheet;
    DialogTemplateInfo info;
    AfxFindDialogTemplate(m_nIDTemplate, &info);
    // A page is a child of the sheet whatever its template says.
    if (!CreateDialogWindow(sheet->m_hWnd, false)) return FALSE;
    ModifyStyle(WS_POPUP | WS_CAPTION, WS_CHILD);
    MoveWindow(area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
    return TRUE;
}

// ---- CPropertySheet ----

CPropertySheet::CPropertySheet(LPCWSTR caption, CWnd* parent, UINT selectPage)
    : m_strCaption(caption ? caption : u""), m_pParentWnd(parent), m_startPage(selectPage) {}

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage)
    : m_strCaption(AfxLoadString(captionId)), m_pParentWnd(parent), m_startPage(selectPage) {}

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (!page || GetPageIndex(page) >= 0) return;
    m_pages.push_back(page);
    page->m_pSheet = this;
    if (m_hWnd) m_tab.InsertItem(GetPageCount() - 1, page->GetCaption().GetString());
}

void CPropertySheet::RemovePage(int index) {
    CPropertyPage* page = GetPage(index);
    if (!page) return;
    if (page->m_hWnd) page->DestroyWindow();
    m_pages.erase(m_pages.begin() + index);
    if (m_hWnd) {
        m_tab.DeleteAllItems();
        for (int i = 0; i < GetPageCount(); ++i)
            m_tab.InsertItem(i, m_pages[static_cast<std::size_t>(i)]->GetCaption().GetString());
    }
    if (m_active == index) {
        m_active = -1;
        if (m_hWnd && !m_pages.empty()) SetActivePage(std::min(index, GetPageCount() - 1));
    } else if (m_active > index) {
        --m_active;
        if (m_hWnd) m_tab.SetCurSel(m_active);
    }
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
    auto it = std::find(m_pages.begin(), m_pages.end(), page);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

RECT CPropertySheet::PageArea() {
    RECT rc;
    ::GetClientRect(m_tab.m_hWnd, &rc);
    m_tab.AdjustRect(FALSE, &rc);
    return rc;
}

BOOL CPropertySheet::SetActivePage(int index) {
    CPropertyPage* next = GetPage(index);
    if (!next) return FALSE;
    if (!m_hWnd) {
        m_startPage = static_cast<UINT>(index);
        return TRUE;
    }
    if (index == m_active) return TRUE;
    CPropertyPage* current = GetActivePage();
    if (current && current->m_hWnd && !current->OnKillActive()) {
        m_tab.SetCurSel(m_active);
        return FALSE;
    }
    if (!next->m_hWnd && !next->CreatePage(this, PageArea())) return FALSE;
    if (!next->OnSetActive()) {
        if (m_active >= 0) m_tab.SetCurSel(m_active);
        return FALSE;
    }
    if (current && current->m_hWnd) current->ShowWindow(SW_HIDE);
    m_active = index;
    m_tab.SetCurSel(index);
    next->ShowWindow(SW_SHOW);
    if (HWND first = GetNextDlgTabItem(next->m_hWnd, nullptr, FALSE)) ::SetFocus(first);
    return TRUE;
}

BOOL CPropertySheet::CreateSheetWindow(HWND owner, DWORD style) {
    RegisterNativeControls();
    // The sheet fits the largest page below the tab strip.
    int width = 0;
    int height = 0;
    for (CPropertyPage* page : m_pages) {
        const RECT size = PageSize(page->m_nIDTemplate);
        width = std::max<int>(width, size.right);
        height = std::max<int>(height, size.bottom);
    }
    TEXTMETRICW tm;
    HDC dc = CreateCompatibleDC(nullptr);
    GetTextMetricsW(dc, &tm);
    DeleteDC(dc);
    const int tabHeight = static_cast<int>(tm.tmHeight) + 8;
    width = std::max(width + 2, 60);
    height = height + tabHeight + 2;
    if (!CreateEx(0, SheetClass(), m_strCaption, (style & ~WS_VISIBLE) | WS_POPUP, 0, 0, width, height, owner,
                  nullptr, nullptr))
        return FALSE;
    HWND self = m_hWnd;
    if (!m_tab.Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, RECT{0, 0, width, height}, this,
                      AFX_IDC_TAB_CONTROL)) {
        ::DestroyWindow(self);
        return FALSE;
    }
    for (int i = 0; i < GetPageCount(); ++i)
        m_tab.InsertItem(i, m_pages[static_cast<std::size_t>(i)]->GetCaption().GetString());
    SendMessage(WM_INITDIALOG, 0, 0);
    return ::IsWindow(self) ? TRUE : FALSE;
}

BOOL CPropertySheet::OnInitDialog() {
    m_active = -1;
    SetActivePage(std::min<int>(static_cast<int>(m_startPage), GetPageCount() - 1));
    return TRUE;
}

INT_PTR CPropertySheet::DoModal() {
    HWND owner = nullptr;
    if (m_pParentWnd && m_pParentWnd->m_hWnd) {
        CWnd* top = m_pParentWnd->GetTopLevelParent();
        owner = top ? top->m_hWnd : m_pParentWnd->m_hWnd;
    } else if (CWnd* main = AfxGetMainWnd()) {
        owner = main->m_hWnd;
    }
    m_modal = true;
    if (!CreateSheetWindow(owner, WS_POPUP)) {
        m_modal = false;
        return -1;
    }
    HWND self = m_hWnd;
    const INT_PTR result = RunModalLoop(self, owner, SheetPreTranslate, this);
    if (::IsWindow(self)) ::DestroyWindow(self);
    m_modal = false;
    m_active = -1;
    return result;
}

BOOL CPropertySheet::Create(CWnd* parent, DWORD style) {
    m_pParentWnd = parent;
    if (!CreateSheetWindow(parent ? parent->m_hWnd : nullptr, style)) return FALSE;
    if (style & WS_VISIBLE) ShowWindow(SW_SHOW);
    return TRUE;
}

void CPropertySheet::EndDialog(int result) {
    if (!m_hWnd) return;
    ::EndDialog(m_hWnd, result);
    if (!m_modal) DestroyWindow();
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog();
    if (message == WM_SIZE && m_tab.m_hWnd) {
        // The tab strip and the pages follow the sheet's size.
        const int cx = LOWORD(static_cast<std::uintptr_t>(lParam));
        const int cy = HIWORD(static_cast<std::uintptr_t>(lParam));
        m_tab.MoveWindow(0, 0, cx, cy);
        const RECT area = PageArea();
        for (CPropertyPage* page : m_pages)
            if (page->m_hWnd)
                page->MoveWindow(area.left, area.top, area.right - area.left, area.bottom - area.top);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CPropertySheet::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    auto* header = reinterpret_cast<LPNMHDR>(lParam);
    if (!header || header->hwndFrom != m_tab.m_hWnd) return FALSE;
    if (header->code == TCN_SELCHANGING) {
        CPropertyPage* current = GetActivePage();
        // The page on view may refuse to be left; the tab then stays.
        *result = current && current->m_hWnd && !current->OnKillActive() ? TRUE : FALSE;
        return TRUE;
    }
    if (header->code == TCN_SELCHANGE) {
        const int index = m_tab.GetCurSel();
        CPropertyPage* current = GetActivePage();
        CPropertyPage* next = GetPage(index);
        if (next && index != m_active) {
            if (!next->m_hWnd && !next->CreatePage(this, PageArea())) {
                m_tab.SetCurSel(m_active);
            } else if (!next->OnSetActive()) {
                m_tab.SetCurSel(m_active);
            } else {
                if (current && current->m_hWnd) current->ShowWindow(SW_HIDE);
                m_active = index;
                next->ShowWindow(SW_SHOW);
            }
        }
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    if (id == IDOK) {
        CPropertyPage* current = GetActivePage();
        if (current && current->m_hWnd && !current->OnKillActive()) return TRUE;
        for (CPropertyPage* page : m_pages)
            if (page->m_hWnd) page->OnOK();
        EndDialog(IDOK);
        return TRUE;
    }
    if (id == IDCANCEL) {
        for (CPropertyPage* page : m_pages)
            if (page->m_hWnd) page->OnCancel();
        EndDialog(IDCANCEL);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN || !m_hWnd) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    HWND focus = ::GetFocus();
    const LRESULT code =
        focus && ::IsChild(m_hWnd, focus) ? ::SendMessageW(focus, WM_GETDLGCODE, msg->wParam, 0) : 0;
    if (code & DLGC_WANTALLKEYS) return FALSE;
    switch (msg->wParam) {
    case VK_TAB: {
        CPropertyPage* page = GetActivePage();
        if (!page || !page->m_hWnd) return TRUE;
        const bool back = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
        if (HWND next = GetNextDlgTabItem(page->m_hWnd, focus, back ? TRUE : FALSE)) {
            ::SetFocus(next);
            if (::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                ::SendMessageW(next, EM_SETSEL, 0, -1);
        }
        return TRUE;
    }
    case VK_RETURN:
        SendMessage(WM_COMMAND, IDOK, 0);
        return TRUE;
    case VK_ESCAPE:
        SendMessage(WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
