#include "mapview/TintedBox.h"

#include "mapview/DibSurface.h"

COLORREF TintedBoxColor(int style) {
    switch (style) {
    case 1:
    case 4:
        return RGB(160, 255, 160);
    case 2:
    case 5:
        return RGB(160, 160, 255);
    case 3:
        return RGB(255, 160, 160);
    case 6:
        return RGB(160, 255, 255);
    case 7:
        return RGB(255, 255, 160);
    case 8:
        return RGB(255, 160, 255);
    case 9:
        return RGB(255, 200, 160);
    case 10:
        return RGB(160, 100, 160);
    }
    return RGB(255, 255, 255);
}

void DrawTintedBox(CDC* dc, const RECT& rect, int style) {
    DrawTintedBox(dc ? dc->GetSafeHdc() : nullptr, rect, style);
}

void DrawTintedBox(HDC dc, const RECT& rect, int style) {
    if (!dc) return;
    RECT r = rect;
    ::InflateRect(&r, 2, 2);
    CDibSurface surface;
    if (!surface.CreateFromDC(dc, r.left, r.top, r.right, r.bottom) || !surface.GetPixels()) return;
    const COLORREF target = TintedBoxColor(style);
    const int tb = GetBValue(target), tg = GetGValue(target), tr = GetRValue(target);
    const int w = surface.GetWidth(), h = surface.GetHeight();
    BYTE* pixels = surface.GetPixels();
    auto toward = [](BYTE old, int goal) { return static_cast<BYTE>(old + ((goal - old) >> 1)); };
    for (int y = 0; y < h; ++y) {
        BYTE* p = pixels + surface.PixelOffset(0, y);
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = toward(p[0], tb);
            p[1] = toward(p[1], tg);
            p[2] = toward(p[2], tr);
            // The one-pixel frame is darkened to half (each frame pixel once).
            if (x == 0 || x == w - 1 || y == 0 || y == h - 1) {
                p[0] >>= 1;
                p[1] >>= 1;
                p[2] >>= 1;
            }
        }
    }
    surface.DrawTo(dc, r.left, r.top);
}
