#include "traffic/pages/StockListWnd.h"

#include "traffic/pages/SearchStock.h"
#include "traffic/pages/StockText.h"

#include <algorithm>

void StockListWnd::LoadFirst() {
    ResetContent();
    m_loaded = 0;
    m_total = SearchStock::instance()->GetStockIndexCount();
    LoadBatch();
}

bool StockListWnd::LoadBatch() {
    SearchStock* keeper = SearchStock::instance();
    m_total = keeper->GetStockIndexCount();
    if (m_loaded >= m_total) return false;
    const int end = std::min(m_total, m_loaded + kBatch);
    for (; m_loaded < end; ++m_loaded) {
        StockIndex stock;
        if (!keeper->GetStockIndexForAllSel(m_loaded, stock)) break;
        CString row;
        row.Format(u"[%s]  %s", static_cast<const char16_t*>(StockCodeText(stock.code, stock.suffix)),
                   static_cast<const char16_t*>(CString(stock.name)));
        AddString(row);
    }
    return true;
}

void StockListWnd::LoadNear(int position) {
    if (m_loaded - position <= kBatch) LoadBatch();
}

bool StockListWnd::SelectRow(int index) {
    if (index < 0 || index >= SearchStock::instance()->GetStockIndexCount()) return false;
    if (index >= m_loaded) {
        SetRedraw(FALSE);
        while (index >= m_loaded && LoadBatch()) {
        }
        SetRedraw(TRUE);
    }
    if (index >= m_loaded) return false;
    SetCurSel(index);
    SetTopIndex(index);
    return true;
}

void StockListWnd::OnVScroll(UINT code, UINT pos, CWnd* bar) {
    CListBox::OnVScroll(code, pos, bar);
    if (code == SB_THUMBTRACK)
        LoadNear(static_cast<int>(pos));
    else if (code == SB_LINEDOWN)
        LoadNear(GetTopIndex());
}
