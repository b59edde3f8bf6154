// The framework's classes over the native controls (CButton, CBitmapButton, CStatic, CEdit,
// CListBox, CComboBox, CListCtrl, CSliderCtrl, CTabCtrl, CImageList), the named bitmap and
// numbered icon resources, and the table of the system's numbered strings.
#pragma once

#include "platform/window/Afx.h"
#include "platform/window/Controls.h"

class CButton : public CWnd {
public:
    BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCheck() const { return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check), 0); }
    UINT GetState() const { return static_cast<UINT>(::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0)); }
    void SetState(BOOL pushed) { SendMessage(BM_SETSTATE, static_cast<WPARAM>(pushed), 0); }
    HBITMAP SetBitmap(HBITMAP bitmap) {
        return reinterpret_cast<HBITMAP>(
            SendMessage(BM_SETIMAGE, IMAGE_BUTTON_UP, reinterpret_cast<LPARAM>(bitmap)));
    }
};

// A push button drawn from three named bitmaps: up, down (pressed) and disabled.
class CBitmapButton : public CButton {
public:
    ~CBitmapButton() override;
    // Loads the named bitmaps (the disabled one may be null) and gives them to the button once it
    // exists; FALSE when the up bitmap is missing.
    BOOL LoadBitmaps(LPCWSTR up, LPCWSTR down = nullptr, LPCWSTR focus = nullptr, LPCWSTR disabled = nullptr);
    // Subclasses the dialog's button id and loads "<caption>U", "<caption>D" and "<caption>X".
    BOOL AutoLoad(UINT id, CWnd* parent);
    // Sizes the button to its up bitmap.
    void SizeToContent();

private:
    void Apply();
    HBITMAP m_up = nullptr;
    HBITMAP m_down = nullptr;
    HBITMAP m_disabled = nullptr;
};

class CStatic : public CWnd {
public:
    BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
    HICON SetIcon(HICON icon) {
        return reinterpret_cast<HICON>(SendMessage(STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    }
    HBITMAP SetBitmap(HBITMAP bitmap) {
        return reinterpret_cast<HBITMAP>(
            SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetSel(int start, int end, BOOL noScroll = FALSE) {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
        if (!noScroll) SendMessage(EM_SCROLLCARET, 0, 0);
    }
    void GetSel(int& start, int& end) const {
        DWORD a = 0;
        DWORD b = 0;
        ::SendMessageW(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        start = static_cast<int>(a);
        end = static_cast<int>(b);
    }
    void ReplaceSel(LPCWSTR text) { SendMessage(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text)); }
    void LimitText(int chars = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(chars), 0); }
    void SetLimitText(UINT chars) { SendMessage(EM_LIMITTEXT, chars, 0); }
    UINT GetLimitText() const { return static_cast<UINT>(::SendMessageW(m_hWnd, EM_GETLIMITTEXT, 0, 0)); }
    void LineScroll(int lines, int chars = 0) {
        SendMessage(EM_LINESCROLL, static_cast<WPARAM>(chars), lines);
    }
    int GetFirstVisibleLine() const {
        return static_cast<int>(::SendMessageW(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    }
    int GetLineCount() const { return static_cast<int>(::SendMessageW(m_hWnd, EM_GETLINECOUNT, 0, 0)); }
    int LineIndex(int line = -1) const {
        return static_cast<int>(::SendMessageW(m_hWnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    }
    int LineFromChar(int index = -1) const {
        return static_cast<int>(::SendMessageW(m_hWnd, EM_LINEFROMCHAR, static_cast<WPARAM>(index), 0));
    }
    BOOL SetReadOnly(BOOL readOnly = TRUE) {
        return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly, 0));
    }
};

class CListBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(LPCWSTR text) {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int InsertString(int index, LPCWSTR text) {
        return static_cast<int>(
            SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(UINT index) { return static_cast<int>(SendMessage(LB_DELETESTRING, index, 0)); }
    void ResetContent() { SendMessage(LB_RESETCONTENT, 0, 0); }
    int GetCount() const { return static_cast<int>(::SendMessageW(m_hWnd, LB_GETCOUNT, 0, 0)); }
    int GetCurSel() const { return static_cast<int>(::SendMessageW(m_hWnd, LB_GETCURSEL, 0, 0)); }
    int SetCurSel(int index) {
        return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index), 0));
    }
    void GetText(int index, CString& text) const;
    std::uintptr_t GetItemData(int index) const {
        return static_cast<std::uintptr_t>(
            ::SendMessageW(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    }
    int SetItemData(int index, std::uintptr_t data) {
        return static_cast<int>(
            SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    int GetTopIndex() const { return static_cast<int>(::SendMessageW(m_hWnd, LB_GETTOPINDEX, 0, 0)); }
    int SetTopIndex(int index) {
        return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(index), 0));
    }
    int GetItemHeight(int index = 0) const {
        return static_cast<int>(::SendMessageW(m_hWnd, LB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
    }
    int SetItemHeight(int index, UINT height) {
        return static_cast<int>(
            SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(index), MAKELPARAM(height, 0)));
    }
    void SetHorizontalExtent(int extent) {
        SendMessage(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
    }
    int GetHorizontalExtent() const {
        return static_cast<int>(::SendMessageW(m_hWnd, LB_GETHORIZONTALEXTENT, 0, 0));
    }
    // Owner-drawn list boxes draw and measure their items here (reflected from the parent).
    virtual void DrawItem(LPDRAWITEMSTRUCT /*item*/) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT /*item*/) {}
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class CComboBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(LPCWSTR text) {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int InsertString(int index, LPCWSTR text) {
        return static_cast<int>(
            SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(UINT index) { return static_cast<int>(SendMessage(CB_DELETESTRING, index, 0)); }
    void ResetContent() { SendMessage(CB_RESETCONTENT, 0, 0); }
    int GetCount() const { return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0)); }
    int GetCurSel() const { return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0)); }
    int SetCurSel(int index) {
        return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index), 0));
    }
    void GetLBText(int index, CString& text) const;
    std::uintptr_t GetItemData(int index) const {
        return static_cast<std::uintptr_t>(
            ::SendMessageW(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    }
    int SetItemData(int index, std::uintptr_t data) {
        return static_cast<int>(
            SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, show, 0); }
    BOOL GetDroppedState() const {
        return static_cast<BOOL>(::SendMessageW(m_hWnd, CB_GETDROPPEDSTATE, 0, 0));
    }
};

// 16 x 16 (or other size) icon lists for list views.
class CImageList {
public:
    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList() { DeleteImageList(); }
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL DeleteImageList();
    int Add(HICON icon) { return ImageList_AddIcon(m_hImageList, icon); }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    BOOL Draw(CDC* dc, int index, POINT p, UINT style) {
        return ImageList_Draw(m_hImageList, index, dc ? dc->GetSafeHdc() : nullptr, p.x, p.y, style);
    }
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST m_hImageList = nullptr;
};

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int InsertColumn(int index, LPCWSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    BOOL DeleteColumn(int index) {
        return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(index), 0));
    }
    int GetColumnWidth(int index) const {
        return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
    }
    BOOL SetColumnWidth(int index, int width) {
        return static_cast<BOOL>(
            SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0)));
    }
    int InsertItem(int index, LPCWSTR text, int image = -1);
    int InsertItem(const LVITEMW* item) {
        return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SetItem(const LVITEMW* item) {
        return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL GetItem(LVITEMW* item) const {
        return static_cast<BOOL>(::SendMessageW(m_hWnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SetItemText(int index, int subItem, LPCWSTR text);
    CString GetItemText(int index, int subItem) const;
    BOOL SetItemData(int index, std::uintptr_t data);
    std::uintptr_t GetItemData(int index) const;
    BOOL SetItemState(int index, UINT state, UINT mask);
    UINT GetItemState(int index, UINT mask) const {
        return static_cast<UINT>(::SendMessageW(m_hWnd, LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
    }
    int GetNextItem(int index, int flags) const {
        return static_cast<int>(
            ::SendMessageW(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(index), MAKELPARAM(flags, 0)));
    }
    int GetItemCount() const { return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0)); }
    UINT GetSelectedCount() const {
        return static_cast<UINT>(::SendMessageW(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0));
    }
    BOOL DeleteItem(int index) {
        return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index), 0));
    }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS, 0, 0)); }
    DWORD SetExtendedStyle(DWORD style) {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
    }
    DWORD GetExtendedStyle() const {
        return static_cast<DWORD>(::SendMessageW(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    }
    BOOL SetBkColor(COLORREF color) {
        return static_cast<BOOL>(SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(color)));
    }
    CWnd* GetHeaderCtrl() const {
        return FromHandle(reinterpret_cast<HWND>(::SendMessageW(m_hWnd, LVM_GETHEADER, 0, 0)));
    }
    CImageList* SetImageList(CImageList* list, int kind);
    BOOL Scroll(CSize size) {
        return static_cast<BOOL>(SendMessage(LVM_SCROLL, static_cast<WPARAM>(size.cx), size.cy));
    }
    int GetTopIndex() const { return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETTOPINDEX, 0, 0)); }
    int GetCountPerPage() const {
        return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0));
    }
    BOOL EnsureVisible(int index, BOOL partialOk) {
        return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), partialOk));
    }
    BOOL RedrawItems(int first, int last) {
        return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), last));
    }
    BOOL GetItemRect(int index, LPRECT rect, UINT code) const;
    int HitTest(CPoint point, UINT* flags = nullptr) const;
    int HitTest(LVHITTESTINFO* info) const {
        return static_cast<int>(::SendMessageW(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }
    // Owner-drawn rows are drawn and measured here (reflected from the parent).
    virtual void DrawItem(LPDRAWITEMSTRUCT /*item*/) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT /*item*/) {}
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    CImageList* m_imageList = nullptr;
};

class CSliderCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetPos() const { return static_cast<int>(::SendMessageW(m_hWnd, TBM_GETPOS, 0, 0)); }
    void SetPos(int pos) { SendMessage(TBM_SETPOS, TRUE, pos); }
    int GetRangeMin() const { return static_cast<int>(::SendMessageW(m_hWnd, TBM_GETRANGEMIN, 0, 0)); }
    int GetRangeMax() const { return static_cast<int>(::SendMessageW(m_hWnd, TBM_GETRANGEMAX, 0, 0)); }
    void SetRange(int min, int max, BOOL redraw = FALSE) {
        SendMessage(TBM_SETRANGEMIN, FALSE, min);
        SendMessage(TBM_SETRANGEMAX, redraw, max);
    }
    void SetRangeMin(int min, BOOL redraw = FALSE) { SendMessage(TBM_SETRANGEMIN, redraw, min); }
    void SetRangeMax(int max, BOOL redraw = FALSE) { SendMessage(TBM_SETRANGEMAX, redraw, max); }
    int SetPageSize(int size) { return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, size)); }
    int SetLineSize(int size) { return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, size)); }
};

class CTabCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int InsertItem(int index, LPCWSTR text);
    int GetItemCount() const { return static_cast<int>(::SendMessageW(m_hWnd, TCM_GETITEMCOUNT, 0, 0)); }
    int GetCurSel() const { return static_cast<int>(::SendMessageW(m_hWnd, TCM_GETCURSEL, 0, 0)); }
    int SetCurSel(int index) {
        return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index), 0));
    }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS, 0, 0)); }
    void AdjustRect(BOOL larger, LPRECT rect) {
        SendMessage(TCM_ADJUSTRECT, larger, reinterpret_cast<LPARAM>(rect));
    }
};

// ---- resources ----

// Named bitmap resources: the project's own images for the bitmap buttons of the pages, named
// by caption ("UP", "DOWN", "SPEED", "TIME") plus "U" (up), "D" (pressed) or "X" (disabled);
// null for any other name. The caller owns (and deletes) the bitmap it gets.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
#define LoadBitmap LoadBitmapW
// Registers the program's numbered icons (the detail icon 131, the map marker 478 and the speed
// chevrons 619-626, 653 and 658) with the GDI; LoadImage(IMAGE_ICON) finds them afterwards.
void AfxRegisterSystemIcons();

// The system's numbered strings (string id to its Korean text); empty for an unknown id.
CString AfxLoadString(UINT id);
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);
#define LoadString LoadStringW
// AfxMessageBox with a string of the table.
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));
