#include "search/ui/CAroundListCtrl.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"

#include <cstdlib>
#include <string>

CAroundListCtrl::~CAroundListCtrl() {
    FreeImages();
}

void CAroundListCtrl::FreeImages() {
    for (NaviBitmap*& image : m_images) {
        delete image;
        image = nullptr;
    }
}

void CAroundListCtrl::LoadImages(NaviRcBuilder* builder) {
    FreeImages();
    if (!builder) return;
    for (int i = 0; i < kSectors; ++i) {
        CString name;
        name.Format(u"Direction\\%d", i);
        m_images[i] = builder->LoadImage(name);
    }
}

int CAroundListCtrl::Sector(int b) {
    if ((b >= 0 && b <= 9) || (b >= 350 && b <= 360)) return 0;
    if (b >= 10 && b <= 79) return 1;
    if (b >= 80 && b <= 99) return 2;
    if (b >= 100 && b <= 169) return 3;
    if (b >= 170 && b <= 189) return 4;
    if (b >= 190 && b <= 259) return 5;
    if (b >= 260 && b <= 279) return 6;
    if (b >= 280 && b <= 349) return 7;
    return -1;
}

void CAroundListCtrl::DrawItem(LPDRAWITEMSTRUCT item) {
    if (!item || !item->hDC) return;
    const HDC dc = item->hDC;
    const int row = static_cast<int>(item->itemID);
    const bool selected = (item->itemState & ODS_SELECTED) != 0 || GetItemState(row, LVIS_SELECTED) != 0;
    const HBRUSH back = CreateSolidBrush(selected ? kSelectedBack : RGB(255, 255, 255));
    FillRect(dc, &item->rcItem, back);
    DeleteObject(back);
    const HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    const HGDIOBJ oldFont = SelectObject(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
    int x = item->rcItem.left;
    const int w0 = GetColumnWidth(0);
    const std::u16string bearing = GetItemText(row, 0).GetString();
    if (!bearing.empty()) {
        const int sector = Sector(std::atoi(std::string(bearing.begin(), bearing.end()).c_str()));
        if (sector >= 0 && m_images[sector]) {
            const int h = item->rcItem.bottom - item->rcItem.top;
            m_images[sector]->Draw(dc, x, item->rcItem.top + (h - 16) / 2);
        }
    }
    x += w0;
    for (int column = 1; column <= 2; ++column) {
        const int w = GetColumnWidth(column);
        RECT r{x + 2, item->rcItem.top, x + w, item->rcItem.bottom};
        const CString text = GetItemText(row, column);
        DrawTextW(dc, text.GetString(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        x += w;
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
}
