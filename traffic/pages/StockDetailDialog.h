// "증권 상세정보 보기": one stock's code, name and quotation as a table of seven rows, each a
// label cell (x 10-88) and a value cell (x 90-230), 20 pixels high from y 36 every 30 pixels.
#pragma once

#include "platform/window/Dialog.h"
#include "traffic/pages/StockInterest.h"

#include <array>

class StockDetailDialog : public CDialog {
public:
    static constexpr UINT IDD = 2233;
    static constexpr int kRows = 7;

    explicit StockDetailDialog(const StockInterest& stock, CWnd* parent = nullptr);
    static void RegisterTemplate();

    // The texts of the value cells, top to bottom.
    std::array<CString, kRows> ValueTexts() const;
    static RECT LabelCell(int row) { return RECT{10, 36 + 30 * row, 88, 56 + 30 * row}; }
    static RECT ValueCell(int row) { return RECT{90, 36 + 30 * row, 230, 56 + 30 * row}; }

    BOOL OnInitDialog() override;
    void OnPaint() override;

private:
    StockInterest m_stock;
    CFont m_font;
};
