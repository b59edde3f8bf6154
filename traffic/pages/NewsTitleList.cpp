#include "traffic/pages/NewsTitleList.h"

#include "traffic/pages/ShortTextPage.h"

#include <algorithm>

int NewsTitleList::AddRow(const std::u16string& text, std::uint16_t flag, std::uint16_t key, std::uint8_t subKey,
                          bool isNew) {
    auto* row = new Row;
    row->flag = flag;
    row->key = key;
    row->subKey = subKey;
    const std::size_t n = std::min<std::size_t>(text.size(), NewsRowBreaker::kMaxRowChars);
    std::copy_n(text.data(), n, row->text);
    return InsertRow(row->text, reinterpret_cast<std::uintptr_t>(row), isNew);
}

void NewsTitleList::MakeDrawingObjects() {
    LOGFONTW lf;
    m_font.GetLogFont(&lf);
    lf.lfUnderline = 1;
    m_underlined.CreateFontIndirect(&lf);
}

void NewsTitleList::OnShortTap(CPoint down, CPoint up) {
    if (!m_titles) {
        NewsList::OnShortTap(down, up);
        return;
    }
    LVHITTESTINFO hit{};
    hit.pt = up;
    const int index = HitTest(&hit);
    if (index < 0) return;
    const Row* tapped = GetRow(index);
    if (!tapped) return;
    const std::uint16_t key = tapped->key;
    const std::uint8_t subKey = tapped->subKey;
    // Every visible row of the tapped document is selected with it.
    const int top = GetTopIndex();
    const int last = std::min(GetItemCount(), top + GetCountPerPage() + 1);
    for (int i = 0; i < GetItemCount(); ++i) {
        const Row* row = GetRow(i);
        const bool same = i >= top && i < last && row && row->key == key && row->subKey == subKey;
        SetItemState(i, same || i == index ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    if (m_page) m_page->OnButtonSelect(key, subKey);
}
