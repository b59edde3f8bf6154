#include "platform/gdi/AfxGdi.h"
#include "platform/gdi/tests/GdiTestSupport.h"

#include <cstdint>
#include <vector>

TEST(DeviceContext, SelectObjectReturnsThePreviousObjectAndRestoreDCPutsStateBack) {
    Canvas canvas(4, 4);
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ original = SelectObject(canvas.dc, red);
    EXPECT_EQ(original, GetStockObject(BLACK_PEN));
    SetTextColor(canvas.dc, RGB(1, 1, 1));
    const int level = SaveDC(canvas.dc);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(SelectObject(canvas.dc, blue), red);
    SetTextColor(canvas.dc, RGB(2, 2, 2));
    SetViewportOrgEx(canvas.dc, 1, 1, nullptr);
    ASSERT_TRUE(RestoreDC(canvas.dc, -1));
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), red);
    EXPECT_EQ(GetTextColor(canvas.dc), RGB(1, 1, 1));
    POINT org{9, 9};
    GetViewportOrgEx(canvas.dc, &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_FALSE(RestoreDC(canvas.dc, -1)); // nothing left to restore
    SelectObject(canvas.dc, original);
    DeleteObject(red);
    DeleteObject(blue);
}

TEST(DeviceContext, ViewportOriginMovesEveryPrimitive) {
    Canvas canvas(10, 10);
    SetViewportOrgEx(canvas.dc, 3, 4, nullptr);
    SetPixel(canvas.dc, 0, 0, RGB(9, 9, 9));
    const RECT r{1, 1, 2, 2};
    FillRect(canvas.dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(canvas.At(0, 0), RGB(9, 9, 9)); // GetPixel goes through the same origin
    SetViewportOrgEx(canvas.dc, 0, 0, nullptr);
    EXPECT_EQ(canvas.At(3, 4), RGB(9, 9, 9));
    EXPECT_EQ(canvas.At(4, 5), RGB(0, 0, 0));
}

TEST(DeviceContext, ABitmapLivesInOneDCAtATime) {
    Canvas canvas(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, canvas.bitmap), nullptr);
    // Once taken out of the first DC it moves to a DC made later; the previous object comes back.
    SelectObject(canvas.dc, canvas.old);
    HDC later = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(later, canvas.bitmap);
    EXPECT_NE(previous, nullptr);
    EXPECT_EQ(GetObjectType(previous), OBJ_BITMAP);
    SelectObject(later, previous);
    canvas.old = SelectObject(canvas.dc, canvas.bitmap);
    DeleteDC(later);
    DeleteDC(other);
}

TEST(Objects, DeletingASelectedObjectWaitsForItsDeselection) {
    Canvas canvas(4, 4);
    const int before = GdiLiveObjectCount();
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    HGDIOBJ old = SelectObject(canvas.dc, brush);
    EXPECT_EQ(GdiLiveObjectCount(), before + 1);
    EXPECT_TRUE(DeleteObject(brush));
    Rectangle(canvas.dc, 0, 0, 4, 4); // still drawable while selected
    EXPECT_EQ(canvas.At(1, 1), RGB(10, 20, 30));
    SelectObject(canvas.dc, old);
    EXPECT_EQ(GdiLiveObjectCount(), before);
}

TEST(Objects, StaleAndForeignHandlesFailWithoutHarm) {
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    ASSERT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(dc, pen), nullptr);
    ASSERT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_FALSE(LineTo(dc, 1, 1));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    // A DC handle is not a GDI object and the other way round.
    HDC live = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(live)));
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(brush)));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH))); // stock objects stay
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), OBJ_BRUSH);
    DeleteObject(brush);
    DeleteDC(live);
}

TEST(Objects, GetObjectDescribesBitmapsAndDibSections) {
    Canvas canvas(7, 3);
    BITMAP bm{};
    ASSERT_EQ(GetObject(canvas.bitmap, sizeof bm, &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 7);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidthBytes, 28);
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 5;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    DIBSECTION ds{};
    ASSERT_EQ(GetObject(dib, sizeof ds, &ds), static_cast<int>(sizeof(DIBSECTION)));
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 16); // 15 bytes padded to 4
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBmih.biSizeImage, 32u);
    DeleteObject(dib);
}

TEST(DeviceCaps, ColourCountAndDepth) {
    Canvas canvas(2, 2);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, NUMCOLORS), -1);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, HORZRES), 240);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, VERTRES), 320);
}

TEST(Regions, ClipRegionsLimitDrawing) {
    struct Case {
        const char* name;
        RECT a, b;
        int mode;
        int count;
        POINT in, out;
    };
    const Case cases[] = {
        {"union", {2, 2, 6, 6}, {4, 4, 8, 8}, RGN_OR, 16 + 16 - 4, {5, 5}, {7, 2}},
        {"difference", {2, 2, 8, 8}, {4, 4, 6, 6}, RGN_DIFF, 36 - 4, {2, 7}, {4, 4}},
        {"intersection", {2, 2, 6, 6}, {4, 4, 8, 8}, RGN_AND, 4, {5, 5}, {3, 3}},
        {"xor", {2, 2, 6, 6}, {4, 4, 8, 8}, RGN_XOR, 24, {3, 3}, {5, 5}},
    };
    for (const Case& c : cases) {
        Canvas canvas(10, 10);
        HRGN a = CreateRectRgnIndirect(&c.a), b = CreateRectRgnIndirect(&c.b),
             result = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(result, a, b, c.mode);
        SelectClipRgn(canvas.dc, result);
        const RECT all{0, 0, 10, 10};
        FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        int count = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) count += canvas.At(x, y) == RGB(0, 0, 0);
        EXPECT_EQ(count, c.count) << c.name;
        // GetPixel is clipped too; look at the bitmap through a second DC.
        SelectClipRgn(canvas.dc, nullptr);
        EXPECT_EQ(canvas.At(c.in.x, c.in.y), RGB(0, 0, 0)) << c.name;
        EXPECT_EQ(canvas.At(c.out.x, c.out.y), kWhite) << c.name;
        DeleteObject(a);
        DeleteObject(b);
        DeleteObject(result);
    }
}

TEST(Icons, LoadedIconsDrawWithoutTheirTransparentPixels) {
    EXPECT_EQ(LoadImage(nullptr, MAKEINTRESOURCE(4711), IMAGE_ICON, 16, 16, 0), nullptr);
    // 2 x 2: red, transparent / green, blue.
    const std::uint32_t pixels[] = {0xFFFF0000u, 0x00000000u, 0xFF00FF00u, 0xFF0000FFu};
    GdiRegisterIconResource(4712, 2, 2, pixels);
    HICON icon = static_cast<HICON>(LoadImage(nullptr, MAKEINTRESOURCE(4712), IMAGE_ICON, 4, 4, 0));
    ASSERT_NE(icon, nullptr);
    Canvas canvas(6, 6);
    ASSERT_TRUE(DrawIconEx(canvas.dc, 1, 1, icon, 4, 4, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(canvas.At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(3, 1), kWhite);
    EXPECT_EQ(canvas.At(4, 2), kWhite);
    EXPECT_EQ(canvas.At(1, 4), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(4, 4), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(5, 5), kWhite);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
}

TEST(Afx, WrappersSelectDrawAndReleaseLikeMfc) {
    Canvas canvas(10, 8);
    CDC* dc = CDC::FromHandle(canvas.dc);
    ASSERT_EQ(dc->GetSafeHdc(), canvas.dc);
    EXPECT_EQ(CDC::FromHandle(canvas.dc), dc);
    {
        CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
        CPen* old = dc->SelectObject(&pen);
        ASSERT_NE(old, nullptr);
        EXPECT_EQ(old->m_hObject, GetStockObject(BLACK_PEN));
        EXPECT_EQ(dc->GetCurrentPen()->m_hObject, pen.m_hObject);
        dc->SelectObject(old);
    }
    // Draw3dRect: top and left edges in the first colour, right and bottom in the second.
    const COLORREF light = RGB(255, 0, 0), dark = RGB(0, 0, 255);
    dc->Draw3dRect(2, 2, 6, 4, light, dark);
    EXPECT_EQ(dc->GetPixel(2, 2), light);
    EXPECT_EQ(dc->GetPixel(6, 2), light);
    EXPECT_EQ(dc->GetPixel(7, 2), dark);
    EXPECT_EQ(dc->GetPixel(2, 4), light);
    EXPECT_EQ(dc->GetPixel(2, 5), dark);
    EXPECT_EQ(dc->GetPixel(7, 5), dark);
    EXPECT_EQ(dc->GetPixel(4, 3), kWhite);
    EXPECT_EQ(dc->GetBkColor(), dark); // as in MFC, the last fill colour stays the background
    AfxDeleteTempMaps();

    // A CDC made by CreateCompatibleDC owns its DC; CClientDC without a window draws on the screen.
    GdiGetScreenBitmap(); // made on first use: before counting
    const int before = GdiLiveObjectCount();
    {
        CDC memory;
        ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&memory, 3, 3));
        CBitmap* old = memory.SelectObject(&bitmap);
        memory.SetPixel(1, 1, RGB(5, 6, 7));
        CClientDC screen(nullptr);
        screen.BitBlt(0, 0, 3, 3, &memory, 0, 0, SRCCOPY);
        EXPECT_EQ(screen.GetPixel(1, 1), RGB(5, 6, 7));
        memory.SelectObject(old);
    }
    AfxDeleteTempMaps();
    EXPECT_EQ(GdiLiveObjectCount(), before);
}
