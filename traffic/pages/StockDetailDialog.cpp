#include "traffic/pages/StockDetailDialog.h"

#include "traffic/pages/StockDialogSupport.h"
#include "traffic/pages/StockText.h"

namespace {

constexpr const char16_t* kLabels[StockDetailDialog::kRows] = {
    u"종목코드", u"종목명", u"현재가", u"전일대비", u"거래량", u"고가/저가", u"매도/매수가"};

CString Pair(std::uint16_t a, std::uint16_t b) {
    return StockGroupedNumber(StockInterest::UnpackValue(a)) + CString(u" / ") +
           StockGroupedNumber(StockInterest::UnpackValue(b));
}

} // namespace

StockDetailDialog::StockDetailDialog(const StockInterest& stock, CWnd* parent)
    : CDialog(IDD, parent), m_stock(stock) {
    RegisterTemplate();
}

void StockDetailDialog::RegisterTemplate() {
    AfxRegisterDialogTemplate(IDD, stockui::FullScreenTemplate(u"증권 상세정보 보기"));
}

std::array<CString, StockDetailDialog::kRows> StockDetailDialog::ValueTexts() const {
    std::array<CString, kRows> v;
    v[0] = CString(u"[") + StockCodeText(m_stock.code, m_stock.suffix) + CString(u"]");
    v[1] = CString(m_stock.name);
    // Without a price or a quotation the quotation cells say so; code and name stay.
    if (m_stock.price == 0 || m_stock.volume == StockInterest::kNoVolume) {
        for (int i = 2; i < kRows; ++i) v[static_cast<std::size_t>(i)] = u"미수신";
        return v;
    }
    v[2] = StockGroupedNumber(m_stock.Price());
    v[3] = m_stock.ChangeText();
    v[4] = StockGroupedNumber(m_stock.Volume());
    v[5] = Pair(m_stock.high, m_stock.low);
    v[6] = Pair(m_stock.ask, m_stock.bid);
    return v;
}

BOOL StockDetailDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    stockui::CreateTableFont(m_font);
    return TRUE;
}

void StockDetailDialog::OnPaint() {
    CPaintDC dc(this);
    CFont* old = dc.SelectObject(&m_font);
    const std::array<CString, kRows> values = ValueTexts();
    for (int i = 0; i < kRows; ++i) {
        stockui::DrawCell(&dc, LabelCell(i), stockui::kLabelBack, CString(kLabels[i]), stockui::kText,
                          DT_CENTER);
        stockui::DrawCell(&dc, ValueCell(i), stockui::kValueBack, values[static_cast<std::size_t>(i)],
                          stockui::kText, DT_RIGHT);
    }
    dc.SelectObject(old);
}
