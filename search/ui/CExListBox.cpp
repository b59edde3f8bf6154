#include "search/ui/CExListBox.h"

#include "platform/base/Text.h"

#include <cstdio>

namespace {

// The style the box is made with, plus owner drawing of fixed-height rows without strings.
constexpr DWORD kStyle = 0x50B0000A | LBS_OWNERDRAWFIXED;
constexpr int kRows = 100;

} // namespace

bool CExListBox::CreateListBox(CWnd* parent, const RECT& rect) {
    return Create(kStyle, rect, parent, 1) != FALSE;
}

void CExListBox::AddInfo() {
    // Each row keeps its own text: item data pointing into one shared buffer would make every
    // row draw the last text written.
    m_texts.clear();
    m_texts.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%d ", i);
        const std::string text = std::string(number) + Utf16ToCp949(u"우리나라 만세...!!!");
        m_texts.emplace_back(Cp949ToUtf16(text).c_str());
    }
    for (int i = 0; i < kRows; ++i) {
        const int row = AddString(m_texts[static_cast<std::size_t>(i)].GetString());
        if (row >= 0) SetItemData(row, reinterpret_cast<std::uintptr_t>(&m_texts[static_cast<std::size_t>(i)]));
    }
}

void CExListBox::MeasureItem(LPMEASUREITEMSTRUCT item) {
    if (item) item->itemHeight *= 3;
}

void CExListBox::DrawItem(LPDRAWITEMSTRUCT item) {
    if (!item || !item->hDC) return;
    const auto* text = reinterpret_cast<const CString*>(item->itemData);
    const HDC dc = item->hDC;
    const HFONT font = CreateFontW(30, 0, 0, 0, FW_BOLD, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"Arial");
    const HGDIOBJ oldFont = SelectObject(dc, font);
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const HBRUSH back = CreateSolidBrush(selected ? RGB(0, 0, 255) : RGB(255, 255, 0));
    FillRect(dc, &item->rcItem, back);
    DeleteObject(back);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, selected ? RGB(255, 255, 0) : RGB(255, 0, 0));
    if (text) {
        RECT r = item->rcItem;
        DrawTextW(dc, text->GetString(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
}
