#include "traffic/pages/StockIndexDialog.h"

#include "traffic/pages/SearchStock.h"
#include "traffic/pages/StockDialogSupport.h"

namespace {

constexpr int kColumnLeft[StockIndexDialog::kColumns + 1] = {10, 84, 158, 231};
constexpr const char16_t* kHeader[StockIndexDialog::kColumns] = {u"시장명", u"현재지수", u"전일대비"};

} // namespace

StockIndexDialog::StockIndexDialog(CWnd* parent) : CDialog(IDD, parent) {
    RegisterTemplate();
}

void StockIndexDialog::RegisterTemplate() {
    AfxRegisterDialogTemplate(IDD, stockui::FullScreenTemplate(u"증권지수보기"));
}

RECT StockIndexDialog::Cell(int row, int column) {
    return RECT{kColumnLeft[column], 36 + 30 * row, kColumnLeft[column + 1] - 1, 56 + 30 * row};
}

CString StockIndexDialog::IndexText(const StockMarket& market) {
    if (!market.HasValue()) return CString(u"미수신");
    CString text;
    text.Format(u"%.2f", market.IndexValue());
    return text;
}

CString StockIndexDialog::ChangeText(const StockMarket& market) {
    if (!market.HasValue()) return CString(u"미수신");
    CString text;
    text.Format(u"%.2f", market.ChangeValue());
    return text;
}

COLORREF StockIndexDialog::ChangeColor(const StockMarket& market) {
    if (!market.HasValue()) return stockui::kText;
    return market.ChangeFlag() ? stockui::kRise : stockui::kFall;
}

BOOL StockIndexDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    stockui::CreateTableFont(m_font);
    return TRUE;
}

void StockIndexDialog::OnPaint() {
    CPaintDC dc(this);
    CFont* old = dc.SelectObject(&m_font);
    for (int c = 0; c < kColumns; ++c)
        stockui::DrawCell(&dc, Cell(0, c), stockui::kLabelBack, CString(kHeader[c]), stockui::kText,
                          DT_CENTER);
    SearchStock* keeper = SearchStock::instance();
    const int count = keeper->GetMarketCount();
    for (int i = 0; i < count; ++i) {
        StockMarket market;
        if (!keeper->GetStockMarketForIndex(i, market)) continue;
        stockui::DrawCell(&dc, Cell(i + 1, 0), stockui::kLabelBack, CString(market.name), stockui::kText,
                          DT_CENTER);
        stockui::DrawCell(&dc, Cell(i + 1, 1), stockui::kValueBack, IndexText(market), stockui::kText,
                          DT_RIGHT);
        stockui::DrawCell(&dc, Cell(i + 1, 2), stockui::kValueBack, ChangeText(market), ChangeColor(market),
                          DT_RIGHT);
    }
    dc.SelectObject(old);
}
