// The interest stocks of the stock page: a report list with owner-drawn rows of code (centred),
// name, price and change (right-aligned, grouped). Price and change are red for a rise, blue
// for a fall and "미수신" while no quotation was received.
#pragma once

#include "platform/window/Afx.h"
#include "traffic/pages/StockInterest.h"

class InterestStockList : public CListCtrl {
public:
    static constexpr int kColumns = 4;

    // Makes the list with its four columns.
    BOOL CreateList(const RECT& rect, CWnd* parent, UINT id);
    // Row index shows stock (appended when index is the row count).
    void SetRow(int index, const StockInterest& stock);
    // The selected row, -1 for none.
    int GetSelectedRow() const { return GetNextItem(-1, LVNI_SELECTED); }

    // The texts a row shows and the colour of its price and change.
    static CString PriceText(const StockInterest& stock);
    static CString ChangeText(const StockInterest& stock);
    static COLORREF ValueColor(const StockInterest& stock);

    void DrawItem(LPDRAWITEMSTRUCT item) override;
    void MeasureItem(LPMEASUREITEMSTRUCT item) override;

private:
    CFont m_font;
};
