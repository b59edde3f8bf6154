#include "traffic/pages/InterestStockList.h"

#include "traffic/pages/StockDialogSupport.h"
#include "traffic/pages/StockText.h"

namespace {

constexpr const char16_t* kHeadings[InterestStockList::kColumns] = {u"코드", u"명칭", u"현재가", u"등락폭"};
// 224 pixels less the border and the scroll bar.
constexpr int kWidths[InterestStockList::kColumns] = {50, 68, 56, 38};
constexpr int kFormats[InterestStockList::kColumns] = {LVCFMT_CENTER, LVCFMT_LEFT, LVCFMT_RIGHT,
                                                       LVCFMT_RIGHT};

// Nothing received yet: the volume word is 0 or 0xFFFFFFFF.
bool Received(const StockInterest& stock) {
    return stock.volume != 0 && stock.volume != StockInterest::kNoVolume;
}

} // namespace

BOOL InterestStockList::CreateList(const RECT& rect, CWnd* parent, UINT id) {
    stockui::CreateTableFont(m_font);
    if (!Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                    LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED,
                rect, parent, id))
        return FALSE;
    SetFont(&m_font);
    SetExtendedStyle(LVS_EX_FULLROWSELECT);
    for (int c = 0; c < kColumns; ++c) InsertColumn(c, kHeadings[c], kFormats[c], kWidths[c]);
    return TRUE;
}

CString InterestStockList::PriceText(const StockInterest& stock) {
    return Received(stock) ? StockGroupedNumber(stock.Price()) : CString(u"미수신");
}

CString InterestStockList::ChangeText(const StockInterest& stock) {
    return Received(stock) ? StockGroupedNumber(stock.Change()) : CString(u"미수신");
}

COLORREF InterestStockList::ValueColor(const StockInterest& stock) {
    if (stock.IsRise()) return stockui::kRise;
    if (stock.IsFall()) return stockui::kFall;
    return stockui::kText;
}

void InterestStockList::SetRow(int index, const StockInterest& stock) {
    if (index >= GetItemCount())
        index = InsertItem(GetItemCount(), StockCodeText(stock.code, stock.suffix));
    else
        SetItemText(index, 0, StockCodeText(stock.code, stock.suffix));
    if (index < 0) return;
    SetItemText(index, 1, CString(stock.name));
    SetItemText(index, 2, PriceText(stock));
    SetItemText(index, 3, ChangeText(stock));
    SetItemData(index, ValueColor(stock));
}

void InterestStockList::MeasureItem(LPMEASUREITEMSTRUCT item) {
    item->itemHeight = 18;
}

void InterestStockList::DrawItem(LPDRAWITEMSTRUCT item) {
    CDC* dc = CDC::FromHandle(item->hDC);
    const int row = static_cast<int>(item->itemID);
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const COLORREF back = selected ? GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255);
    const COLORREF valueColor =
        selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : static_cast<COLORREF>(item->itemData);
    const COLORREF textColor = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : stockui::kText;
    CFont* old = dc->SelectObject(&m_font);
    int left = item->rcItem.left;
    for (int c = 0; c < kColumns; ++c) {
        const int width = GetColumnWidth(c);
        const RECT cell{left, item->rcItem.top, left + width, item->rcItem.bottom};
        const UINT align = c == 0 ? DT_CENTER : c == 1 ? DT_LEFT : DT_RIGHT;
        stockui::DrawCell(dc, cell, back, GetItemText(row, c), c >= 2 ? valueColor : textColor, align);
        left += width;
    }
    dc->SelectObject(old);
}
