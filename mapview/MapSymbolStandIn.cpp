#include "mapview/MapSymbolStandIn.h"

#include <string>

namespace {

void Square(HDC dc, int left, int top, int size, COLORREF fill, int number) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(40, 40, 40));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Rectangle(dc, left, top, left + size, top + size);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    if (number >= 0) {
        const std::u16string text = std::u16string(u"") + static_cast<char16_t>(u'0' + number % 10);
        RECT r{left, top, left + size, top + size};
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColour = SetTextColor(dc, RGB(255, 255, 255));
        DrawTextW(dc, text.data(), 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SetTextColor(dc, oldColour);
        SetBkMode(dc, oldMode);
    }
}

} // namespace

COLORREF CMapSymbolStandIn::PinColour(int n) {
    if (n == 0 || n == 2) return RGB(0, 160, 0);   // start
    if (n == 1 || n == 3) return RGB(200, 0, 0);   // goal (and the pin)
    if (n >= 4 && n <= 13) return RGB(0, 0, 200);  // waypoints
    return RGB(120, 0, 160);
}

void CMapSymbolStandIn::DrawDisSymbol(HDC dc, int index, int x, int y) {
    m_calls.push_back({"DisSymbol", index, x, y});
    if (index < 0) {
        DrawSymbol(CDC::FromHandle(dc), 15, x, y);
        m_calls.pop_back(); // recorded as the fallback call only
        return;
    }
    if (index >= m_loaded) {
        m_loaded = index + 1;
        return;
    }
    Square(dc, x - kDisSize / 2, y - kDisSize / 2, kDisSize, RGB(60, 90, 200), index);
}

void CMapSymbolStandIn::DrawCachedSymbol(HDC dc, int number, int x, int y) {
    m_calls.push_back({"CachedSymbol", number, x, y});
    if (number < 0) return;
    const int h = kLandmarkSize / 2;
    Square(dc, x - h, y - 2 * h + 8, kLandmarkSize, RGB(150, 80, 30), number);
}

void CMapSymbolStandIn::DrawPoiBarIcon(HDC dc, int n, int x, int y) {
    m_calls.push_back({"PoiBarIcon", n, x, y});
    if (n < 0 || n > 3) return;
    Square(dc, x, y - 17, kDisSize, RGB(230, 120, 0), n);
}

void CMapSymbolStandIn::DrawSymbol(CDC* dc, int n, int x, int y) {
    m_calls.push_back({"Symbol", n, x, y});
    if (!dc || n < 0 || n > 15) return;
    HDC h = dc->GetSafeHdc();
    // The stem from the head down to the tip at the bottom centre.
    HPEN stem = CreatePen(PS_SOLID, 2, RGB(40, 40, 40));
    HGDIOBJ old = SelectObject(h, stem);
    MoveToEx(h, x + kPinWidth / 2, y + kPinWidth, nullptr);
    LineTo(h, x + kPinWidth / 2, y + kPinHeight);
    SelectObject(h, old);
    DeleteObject(stem);
    Square(h, x, y, kPinWidth, PinColour(n), n);
}
