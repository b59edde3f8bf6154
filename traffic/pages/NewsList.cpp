#include "traffic/pages/NewsList.h"

#include <algorithm>

namespace {

// The list place on the page, in pixels, and its one column.
constexpr RECT kListRect{10, 6, 230, 223};
constexpr int kColumnWidth = 205;

void MakeRowFont(CFont& font, bool underline) {
    LOGFONTW lf;
    lf.lfHeight = 13;
    lf.lfWeight = FW_NORMAL;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    const char16_t face[] = u"Arial";
    std::copy(std::begin(face), std::end(face), lf.lfFaceName);
    font.CreateFontIndirect(&lf);
}

} // namespace

NewsList::~NewsList() = default;

void NewsList::DestroyList() {
    if (!m_hWnd) return;
    // The list window does not always see its own WM_DESTROY (a control destroyed with its
    // parent): the rows' records are freed here first.
    FreeRowData();
    DestroyWindow();
}

void NewsList::FreeRowData() {
    for (int i = 0; i < GetItemCount(); ++i) {
        DeleteRowData(GetItemData(i));
        SetItemData(i, 0);
    }
}

BOOL NewsList::CreateList(CWnd* parent, UINT id, LPCWSTR caption) {
    MakeRowFont(m_font, false);
    m_selectedBrush.CreateSolidBrush(kSelectedColor);
    m_plainBrush.CreateSolidBrush(RGB(255, 255, 255));
    MakeDrawingObjects();
    const DWORD style = WS_CHILD | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS |
                        LVS_NOSORTHEADER;
    if (!Create(style, kListRect, parent, id)) return FALSE;
    SetFont(&m_font, FALSE);
    InsertColumn(0, caption, LVCFMT_CENTER, kColumnWidth);
    return TRUE;
}

void NewsList::OnDestroy() {
    // The rows' own records go before the window, which then only forgets the rows.
    FreeRowData();
    CListCtrl::OnDestroy();
}

void NewsList::DeleteAllRows() {
    for (int i = 0; i < GetItemCount(); ++i) DeleteRowData(GetItemData(i));
    DeleteAllItems();
}

int NewsList::InsertRow(const char16_t* text, std::uintptr_t data, bool isNew) {
    while (GetItemCount() > 0 && GetItemCount() >= m_maxRows) {
        const int last = GetItemCount() - 1;
        DeleteRowData(GetItemData(last));
        DeleteItem(last);
    }
    const int index = CListCtrl::InsertItem(0, text);
    if (index < 0) {
        DeleteRowData(data);
        return -1;
    }
    SetItemData(index, data);
    if (isNew) ++m_newCount;
    return index;
}

void NewsList::ScrollRows(int rows) {
    RECT r{};
    int height = 0;
    if (GetItemCount() > 0 && GetItemRect(GetTopIndex(), &r, LVIR_BOUNDS)) height = r.bottom - r.top;
    if (height > 0) Scroll(CSize(0, rows * height));
}

void NewsList::MeasureItem(LPMEASUREITEMSTRUCT item) {
    CClientDC dc(this);
    CFont* old = dc.SelectObject(&m_font);
    TEXTMETRICW tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(old);
    item->itemHeight = static_cast<UINT>(tm.tmHeight + 2);
}

void NewsList::DrawItem(LPDRAWITEMSTRUCT item) {
    CDC* dc = CDC::FromHandle(item->hDC);
    const RECT row = item->rcItem;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    dc->FillRect(&row, selected ? &m_selectedBrush : &m_plainBrush);
    const std::uintptr_t data = item->itemData;
    if (!data) return;
    CFont* old = dc->SelectObject(RowUnderlined(data) && m_underlined.m_hObject ? &m_underlined : &m_font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(static_cast<int>(item->itemID) < m_newCount ? kNewColor : RGB(0, 0, 0));
    RECT text = row;
    text.left += 2;
    dc->DrawText(RowText(data), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc->SelectObject(old);
}

void NewsList::OnLButtonDown(UINT flags, CPoint point) {
    Default();
    // A pen that went down on the scroll bar belongs to the bar (it captured the pen).
    m_penOnRows = ::GetCapture() != m_hWnd;
    m_down = point;
    (void)flags;
}

void NewsList::OnLButtonUp(UINT flags, CPoint point) {
    Default();
    (void)flags;
    if (!m_penOnRows) return;
    m_penOnRows = false;
    const int dy = point.y - m_down.y;
    if (dy > kDragPixels)
        ScrollRows(kScrollRows);
    else if (dy < -kDragPixels)
        ScrollRows(-kScrollRows);
    else
        OnShortTap(m_down, point);
}

void NewsList::OnShortTap(CPoint /*down*/, CPoint up) {
    ScrollRows(up.y < kTapSplitY ? -kScrollRows : kScrollRows);
}
