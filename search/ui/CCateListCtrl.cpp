#include "search/ui/CCateListCtrl.h"

#include "platform/base/Text.h"
#include "search/CateIndex.h"
#include "search/SearchFormat.h"

#include <algorithm>

void CCateListCtrl::RemoveColumns() {
    while (DeleteColumn(0)) {
    }
}

void CCateListCtrl::SetupNameColumn(const CString& heading) {
    RemoveColumns();
    InsertColumn(0, heading.GetString(), LVCFMT_LEFT, 222);
    SetExtendedStyle(LVS_EX_FULLROWSELECT);
}

void CCateListCtrl::SetupFacilityColumns() {
    RemoveColumns();
    InsertColumn(0, u"I", LVCFMT_LEFT, 16);
    InsertColumn(1, u"명칭", LVCFMT_LEFT, 120);
    InsertColumn(2, u"행정명", LVCFMT_LEFT, 100);
    SetExtendedStyle(LVS_EX_FULLROWSELECT);
}

void CCateListCtrl::FillLevel(int level) {
    DeleteAllItems();
    m_loaded = m_total = 0;
    if (!m_index) return;
    const int count = m_index->GetListCount(level);
    for (int i = 0; i < count; ++i) {
        char name[31] = {};
        if (!m_index->GetItemName(level, i, name)) name[0] = 0;
        InsertItem(i, Cp949ToUtf16(std::string(name, tolvik::FieldLength(name, level <= 1 ? 30 : 20))).c_str());
    }
    m_loaded = m_total = GetItemCount();
}

void CCateListCtrl::ResetFacilities() {
    DeleteAllItems();
    m_loaded = 0;
    m_firstOffset = 0;
    m_total = m_index ? std::max(0, m_index->GetFacilityCount()) : 0;
}

bool CCateListCtrl::LoadPage() {
    if (!m_index || m_loaded >= m_total) return false;
    const int end = std::min(m_total, m_loaded + kPage);
    for (int i = m_loaded; i < end; ++i) {
        NameHit hit;
        // An unreadable record still takes its row, so that rows and facilities stay aligned.
        const bool read = m_index->GetHit(m_firstOffset + i, hit);
        InsertItem(i, u"", read && m_index->GetDetailNumber(m_firstOffset + i) != 0 ? 0 : -1);
        if (read) {
            SetItemText(i, 1, Cp949ToUtf16(std::string(hit.name, tolvik::FieldLength(hit.name, sizeof hit.name))).c_str());
            SetItemText(i, 2, Cp949ToUtf16(std::string(hit.text, tolvik::FieldLength(hit.text, sizeof hit.text))).c_str());
        }
        m_loaded = i + 1;
    }
    return true;
}

bool CCateListCtrl::SelectRow(int row) {
    if (row < 0 || row >= std::max(m_total, GetItemCount())) return false;
    while (GetItemCount() <= row && LoadPage()) {
    }
    if (row >= GetItemCount()) return false;
    SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnsureVisible(row, FALSE);
    return true;
}

void CCateListCtrl::OnVScroll(UINT code, UINT pos, CWnd* bar) {
    CListCtrl::OnVScroll(code, pos, bar);
    if ((code == SB_LINEDOWN || code == SB_THUMBPOSITION || code == SB_THUMBTRACK) &&
        GetTopIndex() >= m_loaded - kReloadMargin)
        LoadPage();
}
