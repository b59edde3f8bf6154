#include "search/ui/CThemeListCtrl.h"

#include "platform/base/Text.h"
#include "search/SearchFormat.h"
#include "search/ThemeDB.h"

#include <algorithm>

void CThemeListCtrl::SetupColumns(int mode) {
    while (DeleteColumn(0)) {
    }
    InsertColumn(0, u"I", LVCFMT_LEFT, 16);
    InsertColumn(1, u"명칭", LVCFMT_LEFT, 120);
    InsertColumn(2, mode == 2 ? u"거리" : u"행정명", LVCFMT_LEFT, 100);
    SetExtendedStyle(LVS_EX_FULLROWSELECT);
}

void CThemeListCtrl::Empty() {
    DeleteAllItems();
    m_loaded = 0;
    m_total = 0;
}

void CThemeListCtrl::Reset() {
    Empty();
    m_total = m_engine ? std::max(0, m_engine->GetCount()) : 0;
}

bool CThemeListCtrl::LoadPage() {
    if (!m_engine || m_loaded >= m_total) return false;
    const int end = std::min(m_total, m_loaded + kPage);
    SetRedraw(FALSE);
    for (int i = m_loaded; i < end; ++i) {
        ThemeRow row;
        // An unreadable place still takes its row, so that rows and places stay aligned.
        const bool read = m_engine->GetRow(i, row);
        InsertItem(i, u"", read && row.hasDetail ? 0 : -1);
        if (read) {
            SetItemText(i, 1, Cp949ToUtf16(std::string(row.name, tolvik::FieldLength(row.name, sizeof row.name))).c_str());
            SetItemText(i, 2, Cp949ToUtf16(std::string(row.text, tolvik::FieldLength(row.text, sizeof row.text))).c_str());
        }
        m_loaded = i + 1;
    }
    SetRedraw(TRUE);
    return true;
}

bool CThemeListCtrl::SelectRow(int row) {
    if (row < 0 || row >= m_total) return false;
    while (GetItemCount() <= row && LoadPage()) {
    }
    if (row >= GetItemCount()) return false;
    SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnsureVisible(row, FALSE);
    return true;
}

void CThemeListCtrl::OnVScroll(UINT code, UINT pos, CWnd* bar) {
    CListCtrl::OnVScroll(code, pos, bar);
    if ((code == SB_LINEDOWN || code == SB_THUMBPOSITION || code == SB_THUMBTRACK) &&
        GetTopIndex() >= m_loaded - kReloadMargin)
        LoadPage();
}
