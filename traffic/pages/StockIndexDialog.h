// "증권지수보기": the four market indices as a table: market name, index and change against the
// previous close ("%.2f"), the change red when its flag bit is set and blue otherwise, "미수신"
// for a market without a value.
#pragma once

#include "platform/window/Dialog.h"
#include "traffic/pages/StockMarket.h"

class StockIndexDialog : public CDialog {
public:
    static constexpr UINT IDD = 2236;
    static constexpr int kColumns = 3;

    explicit StockIndexDialog(CWnd* parent = nullptr);
    static void RegisterTemplate();

    // Row 0 is the header; market i is row i + 1.
    static RECT Cell(int row, int column);
    // The texts of a market's value cells and the change's colour.
    static CString IndexText(const StockMarket& market);
    static CString ChangeText(const StockMarket& market);
    static COLORREF ChangeColor(const StockMarket& market);

    BOOL OnInitDialog() override;
    void OnPaint() override;

private:
    CFont m_font;
};
