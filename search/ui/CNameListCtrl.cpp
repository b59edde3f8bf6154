#include "search/ui/CNameListCtrl.h"

#include "platform/base/Text.h"
#include "search/NameSearcher.h"
#include "search/SearchFormat.h"

#include <algorithm>

void CNameListCtrl::SetupColumns() {
    InsertColumn(0, u"I", LVCFMT_LEFT, 16);
    InsertColumn(1, u"명칭", LVCFMT_LEFT, 120);
    InsertColumn(2, u"행정명", LVCFMT_LEFT, 100);
    SetExtendedStyle(LVS_EX_FULLROWSELECT);
}

void CNameListCtrl::Empty() {
    DeleteAllItems();
    m_loaded = 0;
    m_total = 0;
}

void CNameListCtrl::Reset() {
    Empty();
    m_total = m_searcher ? std::max(0, m_searcher->GetCount()) : 0;
}

bool CNameListCtrl::LoadPage() {
    if (!m_searcher || m_loaded >= m_total) return false;
    const int end = std::min(m_total, m_loaded + kPage);
    for (int i = m_loaded; i < end; ++i) {
        NameHit hit;
        if (!m_searcher->GetHit(i, hit)) break;
        // The detail mark stands in the first column.
        InsertItem(i, hit.hasDetail ? u"i" : u"");
        const std::u16string name = Cp949ToUtf16(std::string(hit.name, tolvik::FieldLength(hit.name, sizeof hit.name)));
        const std::u16string region = Cp949ToUtf16(std::string(hit.text, tolvik::FieldLength(hit.text, sizeof hit.text)));
        SetItemText(i, 1, name.c_str());
        SetItemText(i, 2, region.c_str());
        m_loaded = i + 1;
    }
    return true;
}

void CNameListCtrl::SelectRow(int row) {
    if (row < 0 || row >= GetItemCount()) return;
    SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnsureVisible(row, FALSE);
}

void CNameListCtrl::OnVScroll(UINT code, UINT pos, CWnd* bar) {
    CListCtrl::OnVScroll(code, pos, bar);
    const int top = GetTopIndex();
    if ((code == SB_LINEDOWN || code == SB_THUMBPOSITION || code == SB_THUMBTRACK) &&
        top >= m_loaded - kReloadMargin)
        LoadPage();
}
