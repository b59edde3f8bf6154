#include "tools/gdidemo/DemoScene.h"

#include "platform/gdi/AfxGdi.h"

#include <cstdint>
#include <vector>

namespace {

// A palette DIB of the given depth with a 4 x 4 pattern of its palette indexes.
HBITMAP MakePaletteDib(int bitCount, const std::vector<RGBQUAD>& palette, int width, int height) {
    std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
    info->bmiHeader = BITMAPINFOHEADER{};
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info->bmiHeader.biClrUsed = static_cast<DWORD>(palette.size());
    auto* colors = reinterpret_cast<RGBQUAD*>(storage.data() + sizeof(BITMAPINFOHEADER));
    for (std::size_t i = 0; i < palette.size(); ++i) colors[i] = palette[i];
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const RGBQUAD& q = palette[static_cast<std::size_t>((x / 4 + y / 4) % palette.size())];
            SetPixel(dc, x, y, RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

void Label(CDC& dc, int x, int y, const char16_t* text) {
    dc.TextOut(x, y, text, static_cast<int>(std::u16string_view(text).size()));
}

} // namespace

void DrawDemoScene(HDC hdc) {
    CDC& dc = *CDC::FromHandle(hdc);
    dc.FillSolidRect(0, 0, kDemoWidth, kDemoHeight, RGB(255, 255, 255));
    dc.SetBkMode(TRANSPARENT);
    CFont small;
    small.CreateFont(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                     u"NORMAL");
    CFont* oldFont = dc.SelectObject(&small);

    // Row 1: cosmetic, dashed and wide lines.
    Label(dc, 4, 2, u"lines");
    CPen thin(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = dc.SelectObject(&thin);
    dc.MoveTo(4, 16);
    dc.LineTo(70, 40);
    const POINT zigzag[] = {{4, 44}, {20, 24}, {36, 44}, {52, 24}, {68, 44}};
    CPen red(PS_SOLID, 0, RGB(220, 0, 0));
    dc.SelectObject(&red);
    dc.Polyline(zigzag, 5);
    CPen dash(PS_DASH, 1, RGB(0, 0, 200));
    dc.SelectObject(&dash);
    dc.MoveTo(80, 16);
    dc.LineTo(156, 16);
    dc.LineTo(156, 46);
    CPen wide(PS_SOLID, 5, RGB(0, 150, 0));
    dc.SelectObject(&wide);
    const POINT route[] = {{168, 44}, {180, 20}, {204, 36}, {232, 18}};
    dc.Polyline(route, 4);

    // Row 2: polygons, rectangles and ellipses with and without pens and brushes.
    Label(dc, 4, 52, u"shapes");
    CBrush yellow(RGB(255, 220, 0));
    CBrush* oldBrush = dc.SelectObject(&yellow);
    dc.SelectObject(&thin);
    const POINT star[] = {{34, 64}, {46, 104}, {12, 80}, {56, 80}, {22, 104}};
    dc.Polygon(star, 5);
    dc.SetPolyFillMode(WINDING);
    const POINT star2[] = {{84, 64}, {96, 104}, {62, 80}, {106, 80}, {72, 104}};
    dc.Polygon(star2, 5);
    dc.SetPolyFillMode(ALTERNATE);
    dc.Rectangle(114, 66, 150, 102);
    dc.SelectStockObject(NULL_PEN);
    CBrush blue(RGB(60, 90, 220));
    dc.SelectObject(&blue);
    dc.Rectangle(120, 72, 144, 96);
    dc.Ellipse(156, 66, 196, 102);
    dc.SelectObject(&thin);
    dc.SelectStockObject(HOLLOW_BRUSH);
    dc.Ellipse(200, 66, 236, 102);
    dc.Rectangle(204, 76, 232, 92);

    // Row 3: filled rectangles and the 3-D frame.
    Label(dc, 4, 110, u"fills");
    const RECT fill{4, 124, 44, 148};
    CBrush green(RGB(0, 160, 80));
    dc.FillRect(&fill, &green);
    dc.FillSolidRect(50, 124, 40, 24, RGB(200, 80, 160));
    dc.Draw3dRect(96, 124, 40, 24, RGB(255, 255, 255), RGB(64, 64, 64));
    dc.Draw3dRect(97, 125, 38, 22, RGB(0, 0, 0), RGB(160, 160, 160));
    for (int i = 0; i < 20; ++i) dc.SetPixel(142 + i * 2, 124 + i, RGB(255, 0, 0));

    // Row 4: blits from palette DIBs, a transparent blit and an AND blit.
    Label(dc, 4, 152, u"blits");
    const std::vector<RGBQUAD> two{{0, 0, 0, 0}, {0, 200, 255, 0}};
    const std::vector<RGBQUAD> sixteen{{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 0, 255, 0}};
    std::vector<RGBQUAD> ramp;
    for (int i = 0; i < 256; ++i) ramp.push_back(RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0});
    std::vector<RGBQUAD> ramp8;
    for (int i = 0; i < 8; ++i) ramp8.push_back(ramp[static_cast<std::size_t>(i * 32)]);
    HBITMAP dibs[3] = {MakePaletteDib(1, two, 24, 24), MakePaletteDib(4, sixteen, 24, 24),
                       MakePaletteDib(8, ramp8, 24, 24)};
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    for (int i = 0; i < 3; ++i) {
        if (!dibs[i]) continue;
        HGDIOBJ old = memory.SelectObject(dibs[i]);
        dc.BitBlt(4 + i * 30, 166, 24, 24, &memory, 0, 0, SRCCOPY);
        // Transparent copy with the first palette colour as the key.
        TransparentImage(dc, 100 + i * 30, 166, 24, 24, memory.GetSafeHdc(), 0, 0, 24, 24,
                         memory.GetPixel(0, 0));
        memory.SelectObject(old);
        DeleteObject(dibs[i]);
    }
    CBitmap stripes;
    stripes.CreateCompatibleBitmap(&dc, 40, 24);
    if (stripes.GetSafeHandle()) {
        CBitmap* oldBitmap = memory.SelectObject(&stripes);
        for (int x = 0; x < 40; x += 8) memory.FillSolidRect(x, 0, 4, 24, RGB(255, 255, 0));
        memory.FillSolidRect(0, 0, 0, 0, 0);
        dc.FillSolidRect(190, 166, 40, 24, RGB(0, 200, 255));
        for (int x = 4; x < 40; x += 8) memory.FillSolidRect(x, 0, 4, 24, RGB(255, 255, 255));
        dc.BitBlt(190, 166, 40, 24, &memory, 0, 0, SRCAND);
        memory.SelectObject(oldBitmap);
    }

    // Row 5: an icon registered from code.
    Label(dc, 4, 196, u"icon");
    std::vector<std::uint32_t> icon(16 * 16, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x - 7.5) * (x - 7.5) + (y - 7.5) * (y - 7.5) < 56)
                icon[y * 16 + x] = x < 8 ? 0xFFE03030u : 0xFF3030E0u;
    GdiRegisterIconResource(9001, 16, 16, icon.data());
    if (HICON hicon = static_cast<HICON>(LoadImage(nullptr, MAKEINTRESOURCE(9001), IMAGE_ICON, 24, 24, 0))) {
        DrawIconEx(dc, 40, 194, hicon, 24, 24, 0, nullptr, DI_NORMAL);
        DestroyIcon(hicon);
    }

    // Row 6: text.
    dc.SetTextColor(RGB(255, 255, 255));
    dc.SetBkColor(RGB(0, 0, 128));
    const RECT band{4, 222, 236, 240};
    dc.ExtTextOut(8, 226, ETO_OPAQUE, &band, CString(u"ExtTextOut opaque"), nullptr);
    dc.SetTextColor(RGB(0, 0, 0));
    RECT box{4, 244, 236, 262};
    dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(&box);
    dc.DrawText(CString(u"right"), &box, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    dc.DrawText(CString(u"centre"), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    CFont large;
    large.CreateFont(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, HANGEUL_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                     u"Verdana");
    dc.SelectObject(&large);
    dc.SetTextColor(RGB(0, 0, 0));
    RECT korean{4, 270, 236, 316};
    dc.DrawText(CString(u"서울특별시 강남구 테헤란로"), &korean, DT_CENTER | DT_NOPREFIX | DT_WORDBREAK);

    dc.SelectObject(oldFont);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
}

HBITMAP RenderDemoScene() {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, kDemoWidth, kDemoHeight);
    if (!bitmap) {
        DeleteDC(dc);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    DrawDemoScene(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}
