// Property sheets: a top-level window with a tab strip and one page (a child dialog) per tab.
// Pages are made when first shown; switching asks the page on view to let go (OnKillActive),
// then the new page becomes active (OnSetActive). Enter and Escape close the sheet with IDOK or
// IDCANCEL (every page that was made gets OnOK or OnCancel); Tab walks the page's controls.
#pragma once

#include "platform/window/AfxControls.h"
#include "platform/window/Dialog.h"

#include <vector>

class CPropertySheet;

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);
    // The page becomes the one on view; FALSE keeps it from showing.
    virtual BOOL OnSetActive() { return TRUE; }
    // The page is about to be left; FALSE keeps it (and its tab) on view. The default takes the
    // controls' data (UpdateData(TRUE)).
    virtual BOOL OnKillActive() { return UpdateData(TRUE); }
    // The sheet closes with OK or Cancel (pages do not end a modal loop of their own).
    void OnOK() override {}
    void OnCancel() override {}
    // Keys go to the sheet.
    BOOL PreTranslateMessage(MSG* /*msg*/) override { return FALSE; }
    CString GetCaption() const;
    CPropertySheet* GetSheet() const { return m_pSheet; }

protected:
    friend class CPropertySheet;
    BOOL CreatePage(CPropertySheet* sheet, const RECT& area);
    CPropertySheet* m_pSheet = nullptr;
    CString m_caption;
};

class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    explicit CPropertySheet(LPCWSTR caption = nullptr, CWnd* parent = nullptr, UINT selectPage = 0);
    explicit CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);

    void AddPage(CPropertyPage* page);
    void RemovePage(int index);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;
    int GetActiveIndex() const { return m_active; }
    CPropertyPage* GetActivePage() const { return GetPage(m_active); }
    BOOL SetActivePage(int index);
    BOOL SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }
    CTabCtrl* GetTabControl() { return &m_tab; }
    void SetTitle(LPCWSTR title) { m_strCaption = title; }

    // Runs the sheet modally over its owner; IDOK or IDCANCEL (-1 when it cannot be made).
    virtual INT_PTR DoModal();
    // Makes the sheet modeless.
    BOOL Create(CWnd* parent = nullptr, DWORD style = WS_POPUP | WS_VISIBLE);
    // WM_INITDIALOG: shows the start page.
    virtual BOOL OnInitDialog();
    void EndDialog(int result);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnClose() override { SendMessage(WM_COMMAND, IDCANCEL, 0); }

    CString m_strCaption;
    CWnd* m_pParentWnd = nullptr;

protected:
    BOOL CreateSheetWindow(HWND owner, DWORD style);
    RECT PageArea();
    CTabCtrl m_tab;
    std::vector<CPropertyPage*> m_pages;
    int m_active = -1;
    UINT m_startPage = 0;
    bool m_modal = false;
};

// The id of the sheet's tab control.
constexpr UINT AFX_IDC_TAB_CONTROL = 0x3020;
