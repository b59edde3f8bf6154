#include "mapview/DibSurface.h"
#include "mapview/TintedBox.h"

#include <gtest/gtest.h>

namespace {

// A memory DC with a 32-bit bitmap filled with one colour.
struct Screen {
    Screen(int width, int height, COLORREF fill) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, width, height);
        old = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        const RECT all{0, 0, width, height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Screen() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// Live-object counts are compared around a test; the stock objects and the screen surface are
// made on first use, so they are made before counting.
int LiveObjectsAfterWarmUp() {
    GetStockObject(WHITE_BRUSH);
    GdiGetScreenBitmap();
    return GdiLiveObjectCount();
}

} // namespace

TEST(DibSurface, RowsArePaddedToFourPixelsOfThreeBytes) {
    CDibSurface surface;
    ASSERT_EQ(surface.Create(5, 2), 1);
    ASSERT_NE(surface.GetPixels(), nullptr);
    EXPECT_EQ(surface.GetRowLength(), 8);
    EXPECT_EQ(surface.GetRowBytes(), 24);
    EXPECT_EQ(surface.GetImageSize(), 48);
    DIBSECTION ds{};
    ASSERT_EQ(GetObject(surface.GetBitmap(), sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBmih.biWidth, 8);
    EXPECT_EQ(ds.dsBmih.biHeight, 2);
    EXPECT_EQ(ds.dsBmih.biBitCount, 24);
    EXPECT_EQ(ds.dsBmih.biSizeImage, 48u);
    EXPECT_EQ(ds.dsBm.bmBits, surface.GetPixels());
}

TEST(DibSurface, FromRgbStoresTheBottomPixelFirstInBlueGreenRed) {
    const BYTE rgb[] = {10, 20, 30, 40, 50, 60}; // top pixel, then bottom pixel
    CDibSurface surface;
    ASSERT_EQ(surface.CreateFromRGB(rgb, 1, 2), 1);
    const BYTE* p = surface.GetPixels();
    EXPECT_EQ(p[0], 60);
    EXPECT_EQ(p[1], 50);
    EXPECT_EQ(p[2], 40);
    // The second memory row (4 pixels of 3 bytes on) holds the top pixel.
    EXPECT_EQ(p[12], 30);
    EXPECT_EQ(p[13], 20);
    EXPECT_EQ(p[14], 10);
    EXPECT_EQ(surface.PixelOffset(0, 0), 12);
}

TEST(DibSurface, FilledValueGoesToEveryPixelInMemoryOrder) {
    CDibSurface surface;
    ASSERT_EQ(surface.CreateFilled(3, 2, 0x00332211), 1);
    for (int i = 0; i < surface.GetImageSize(); i += 3) {
        EXPECT_EQ(surface.GetPixels()[i], 0x11);
        EXPECT_EQ(surface.GetPixels()[i + 1], 0x22);
        EXPECT_EQ(surface.GetPixels()[i + 2], 0x33);
    }
    Screen screen(8, 6, RGB(255, 255, 255));
    EXPECT_NE(surface.DrawTo(screen.dc, 2, 3), 0);
    EXPECT_EQ(GetPixel(screen.dc, 2, 3), RGB(0x33, 0x22, 0x11));
    EXPECT_EQ(GetPixel(screen.dc, 4, 4), RGB(0x33, 0x22, 0x11));
    // Only the asked-for width is drawn, not the row padding.
    EXPECT_EQ(GetPixel(screen.dc, 5, 3), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(screen.dc, 2, 5), RGB(255, 255, 255));
}

TEST(DibSurface, CopiesFromADeviceContextAreaAndFromABitmap) {
    Screen screen(12, 12, RGB(255, 255, 255));
    SetPixel(screen.dc, 5, 6, RGB(200, 0, 0));
    CDibSurface fromDC;
    ASSERT_EQ(fromDC.CreateFromDC(CDC::FromHandle(screen.dc), 4, 5, 8, 9), 1);
    EXPECT_EQ(fromDC.GetWidth(), 4);
    EXPECT_EQ(fromDC.GetHeight(), 4);
    const BYTE* p = fromDC.GetPixels() + fromDC.PixelOffset(1, 1);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], 200);

    SelectObject(screen.dc, screen.old); // a bitmap is copied while it sits in no DC
    CDibSurface fromBitmap;
    ASSERT_EQ(fromBitmap.CreateFromBitmap(screen.bitmap), 1);
    screen.old = SelectObject(screen.dc, screen.bitmap);
    EXPECT_EQ(fromBitmap.GetWidth(), 12);
    const BYTE* q = fromBitmap.GetPixels() + fromBitmap.PixelOffset(5, 6);
    EXPECT_EQ(q[2], 200);
    EXPECT_EQ(q[0], 0);
}

TEST(DibSurface, BitmapFromRgbOutlivesItsSurface) {
    const int before = LiveObjectsAfterWarmUp();
    const BYTE rgb[] = {10, 20, 30, 40, 50, 60};
    HBITMAP bitmap = CreateBitmapFromRGB(rgb, 1, 2);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GdiLiveObjectCount(), before + 1);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(40, 50, 60));
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GdiLiveObjectCount(), before);
}

TEST(DibSurface, OwnDeviceContextIsMadeOnceAndReleased) {
    const int before = LiveObjectsAfterWarmUp();
    {
        CDibSurface surface;
        surface.Create(4, 4);
        CDC* dc = surface.GetDC();
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(surface.GetDC(), dc);
        dc->SetPixel(1, 2, RGB(7, 8, 9));
        const BYTE* p = surface.GetPixels() + surface.PixelOffset(1, 2);
        EXPECT_EQ(p[0], 9);
        EXPECT_EQ(p[2], 7);
        // Re-creating while the device context exists releases it first.
        surface.Create(2, 2);
        EXPECT_NE(surface.GetDC(), nullptr);
    }
    EXPECT_EQ(GdiLiveObjectCount(), before);
}

TEST(DibSurface, WithoutPixelsNothingTouchesMemory) {
    const BYTE rgb[] = {1, 2, 3, 4, 5, 6};
    Screen screen(8, 8, RGB(90, 90, 90));
    struct Case {
        const char* name;
        int (*run)(CDibSurface&, HDC, HBITMAP, const BYTE*);
    };
    const Case cases[] = {
        {"Create", [](CDibSurface& s, HDC, HBITMAP, const BYTE*) { return s.Create(4, 4) == 1 ? 0 : -1; }},
        {"CreateFilled",
         [](CDibSurface& s, HDC, HBITMAP, const BYTE*) { return s.CreateFilled(4, 4, 0xFFFFFF); }},
        {"CreateFromRGB",
         [](CDibSurface& s, HDC, HBITMAP, const BYTE* p) { return s.CreateFromRGB(p, 1, 2); }},
        {"CreateFromDC",
         [](CDibSurface& s, HDC dc, HBITMAP, const BYTE*) { return s.CreateFromDC(dc, 0, 0, 4, 4); }},
        {"CreateFromBitmap",
         [](CDibSurface& s, HDC, HBITMAP b, const BYTE*) { return s.CreateFromBitmap(b); }},
    };
    HDC other = CreateCompatibleDC(nullptr);
    HBITMAP loose = CreateCompatibleBitmap(other, 3, 3);
    for (const Case& c : cases) {
        CDibSurface surface;
        GdiFailNextBitmapCreations(1);
        EXPECT_EQ(c.run(surface, screen.dc, loose, rgb), 0) << c.name;
        GdiFailNextBitmapCreations(0);
        EXPECT_EQ(surface.GetPixels(), nullptr) << c.name;
        EXPECT_EQ(surface.GetDC(), nullptr) << c.name;
        EXPECT_EQ(surface.DrawTo(screen.dc, 0, 0), 0) << c.name;
    }
    GdiFailNextBitmapCreations(1);
    EXPECT_EQ(CreateBitmapFromRGB(rgb, 1, 2), nullptr);
    GdiFailNextBitmapCreations(1);
    DrawTintedBox(screen.dc, RECT{2, 2, 5, 5}, 3);
    GdiFailNextBitmapCreations(0);
    EXPECT_EQ(GetPixel(screen.dc, 3, 3), RGB(90, 90, 90));
    DeleteObject(loose);
    DeleteDC(other);

    // Sizes of zero or less make nothing at all.
    for (auto [w, h] : {std::pair{0, 5}, std::pair{-3, 2}, std::pair{4, 0}}) {
        CDibSurface surface;
        EXPECT_EQ(surface.Create(w, h), 1);
        EXPECT_EQ(surface.GetBitmap(), nullptr);
        EXPECT_EQ(surface.GetPixels(), nullptr);
        EXPECT_EQ(surface.CreateFilled(w, h, 0), 0);
        EXPECT_EQ(surface.DrawTo(screen.dc, 0, 0), 0);
        EXPECT_EQ(CreateBitmapFromRGB(rgb, w, h), nullptr);
    }
}

TEST(TintedBox, MovesHalfwayToTheStyleColourAndDarkensTheFrame) {
    struct Case {
        int style;
        int background; // grey level of the screen
        COLORREF inside;
        COLORREF frame;
    };
    const Case cases[] = {
        // 100 + ((255 - 100) >> 1) = 177, 100 + ((160 - 100) >> 1) = 130; the frame halves that.
        {3, 100, RGB(177, 130, 130), RGB(88, 65, 65)},
        // Toward a smaller value the shift rounds down: 201 + (-41 >> 1) = 180.
        {1, 201, RGB(180, 228, 180), RGB(90, 114, 90)},
        {10, 100, RGB(130, 100, 130), RGB(65, 50, 65)},
        // Unknown styles tint toward white.
        {11, 100, RGB(177, 177, 177), RGB(88, 88, 88)},
    };
    for (const Case& c : cases) {
        const COLORREF grey = RGB(c.background, c.background, c.background);
        Screen screen(30, 24, grey);
        DrawTintedBox(CDC::FromHandle(screen.dc), RECT{10, 10, 20, 16}, c.style);
        // The box grows by 2: pixels 8..21 by 8..17.
        EXPECT_EQ(GetPixel(screen.dc, 12, 12), c.inside) << "style " << c.style;
        EXPECT_EQ(GetPixel(screen.dc, 9, 9), c.inside) << "style " << c.style;
        for (POINT p : {POINT{8, 8}, POINT{21, 8}, POINT{8, 17}, POINT{21, 17}, POINT{15, 8}, POINT{8, 12}})
            EXPECT_EQ(GetPixel(screen.dc, p.x, p.y), c.frame)
                << "style " << c.style << " at " << p.x << "," << p.y;
        for (POINT p : {POINT{7, 7}, POINT{22, 12}, POINT{12, 18}})
            EXPECT_EQ(GetPixel(screen.dc, p.x, p.y), grey)
                << "style " << c.style << " at " << p.x << "," << p.y;
    }
}
