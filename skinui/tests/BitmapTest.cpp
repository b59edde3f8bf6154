// The image class: colour arithmetic worked out by hand from the integer HSL model, decoding of
// PNG data into its depth and palette, saving, sharing, and drawing.
#include "SkinTestSupport.h"

#include <memory>

namespace {

RGBQUAD Quad(int r, int g, int b) {
    return RGBQUAD{BYTE(b), BYTE(g), BYTE(r), 0};
}

// An 8-bit palette PNG of w x 1 whose pixel x has index x, entry 0 transparent.
Bytes PalettePng(int bitCount, int transparent, const std::vector<COLORREF>& colours, const std::vector<int>& indexes) {
    GdiDibImage image;
    image.width = static_cast<int>(indexes.size());
    image.height = 1;
    image.bitCount = bitCount;
    image.palette.assign(1u << bitCount, RGBQUAD{});
    for (std::size_t i = 0; i < colours.size(); ++i)
        image.palette[i] = Quad(GetRValue(colours[i]), GetGValue(colours[i]), GetBValue(colours[i]));
    image.transparentCount = transparent;
    image.bits.assign(DibRowBytes(bitCount, image.width), 0);
    for (int x = 0; x < image.width; ++x) {
        if (bitCount == 8) image.bits[x] = BYTE(indexes[x]);
        if (bitCount == 4) image.bits[x / 2] |= BYTE(indexes[x] << (x % 2 ? 0 : 4));
        if (bitCount == 1) image.bits[x / 8] |= BYTE(indexes[x] << (7 - x % 8));
    }
    std::vector<BYTE> png;
    EXPECT_TRUE(GdiEncodePngDib(image, png));
    return Bytes(png.begin(), png.end());
}

} // namespace

TEST(BitmapColour, HslRoundTripsFromTheIntegerModel) {
    // Pure red: L = (255 x 240 + 255) / 510 = 120, S = (255 x 240 + 127) / 255 = 240, H = 0.
    const RGBQUAD red = NaviBitmap::RGBtoHSL(Quad(255, 0, 0));
    EXPECT_EQ(red.rgbBlue, 120);
    EXPECT_EQ(red.rgbGreen, 240);
    EXPECT_EQ(red.rgbRed, 0);
    // Back: m2 = (120 x 480 + 120) / 240 = 240, m1 = 0; blue takes hue -80, wrapped to 160 -> p = 0.
    const RGBQUAD back = NaviBitmap::HSLtoRGB(red);
    EXPECT_EQ(back.rgbRed, 255);
    EXPECT_EQ(back.rgbGreen, 0);
    EXPECT_EQ(back.rgbBlue, 0);
    // Grey: L = (256 x 240 + 255) / 510 = 120, S 0, H 160; back to 120 x 255 / 240 = 127.
    const RGBQUAD grey = NaviBitmap::RGBtoHSL(Quad(128, 128, 128));
    EXPECT_EQ(grey.rgbBlue, 120);
    EXPECT_EQ(grey.rgbGreen, 0);
    EXPECT_EQ(grey.rgbRed, 160);
    const RGBQUAD greyBack = NaviBitmap::HSLtoRGB(grey);
    EXPECT_EQ(greyBack.rgbRed, 127);
    EXPECT_EQ(greyBack.rgbGreen, 127);
    EXPECT_EQ(greyBack.rgbBlue, 127);
    // Every hue below 80 needs the wrap for its blue; none may come out above its neighbours.
    for (int h = 0; h < 80; h += 7) {
        const RGBQUAD c = NaviBitmap::HSLtoRGB(RGBQUAD{120, 240, BYTE(h), 0});
        EXPECT_EQ(c.rgbBlue, 0) << h;
    }
}

TEST(BitmapColour, GreyBlendNearestAndSwap) {
    NaviBitmap image(4, 1, 8);
    image.SetPaletteColor(0, 31, 127, 255);
    image.SetPaletteColor(1, 200, 100, 0);
    image.SetPaletteColor(2, 10, 20, 30);
    image.SetPaletteColor(3, 10, 20, 30);
    EXPECT_EQ(image.GetNearestIndex(RGB(10, 20, 30)), 2);
    EXPECT_EQ(image.GetNearestIndex(RGB(11, 21, 29)), 2);
    EXPECT_EQ(image.FindPaletteColor(RGB(10, 20, 30)), 2);
    EXPECT_EQ(image.FindPaletteColor(RGB(10, 20, 31)), -1);
    image.SwapColors(RGB(200, 100, 0), RGB(10, 20, 30));
    EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(image.GetPaletteColor(1)), RGB(10, 20, 30));
    EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(image.GetPaletteColor(2)), RGB(200, 100, 0));

    NaviBitmap blend(1, 1, 8);
    blend.SetPaletteColor(0, 200, 100, 0);
    blend.BlendPalette(RGB(0, 0, 255), 25);
    // (200 x 75 + 0) / 100, (100 x 75) / 100, (0 + 255 x 25) / 100
    EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(blend.GetPaletteColor(0)), RGB(150, 75, 63));
    blend.BlendPalette(RGB(9, 9, 9), 400); // limited to 100
    EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(blend.GetPaletteColor(0)), RGB(9, 9, 9));

    image.GrayScale();
    // (30 x 31 + 59 x 127 + 11 x 255) / 100 = 112
    EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(image.GetPaletteColor(0)), RGB(112, 112, 112));

    NaviBitmap rgb(2, 1, 24);
    rgb.SetPixelColor(0, 0, RGB(31, 127, 255));
    rgb.SetPixelColor(1, 0, RGB(0, 0, 0));
    rgb.GrayScale();
    EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(rgb.GetPixelColor(0, 0)), RGB(112, 112, 112));
}

TEST(BitmapDecode, PaletteImagesKeepDepthIndexesAndTransparency) {
    NaviBitmap one;
    const Bytes png1 = PalettePng(1, 0, {RGB(0, 0, 0), RGB(255, 255, 255)}, {1, 0, 0, 0, 0, 0, 0, 0, 1});
    ASSERT_TRUE(one.LoadFromMemory(png1.data(), png1.size()));
    EXPECT_EQ(one.GetBpp(), 1);
    EXPECT_EQ(one.GetPaletteSize(), 8);
    EXPECT_EQ(one.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(one.GetPixelIndex(1, 0), 0);
    EXPECT_EQ(one.GetPixelIndex(8, 0), 1);
    EXPECT_EQ(one.GetBits()[0], 0x80);
    EXPECT_EQ(one.GetPixelIndex(-1, 0), 0); // outside, no background index
    EXPECT_EQ(one.GetBkgndIndex(), -1);

    NaviBitmap four;
    const Bytes png4 = PalettePng(4, 0, {RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)}, {2, 1, 0});
    ASSERT_TRUE(four.LoadFromMemory(png4.data(), png4.size()));
    EXPECT_EQ(four.GetBpp(), 4);
    EXPECT_EQ(four.GetPixelIndex(0, 0), 2);
    EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(four.GetPixelColor(1, 0)), RGB(2, 2, 2));

    NaviBitmap eight;
    const Bytes png8 = PalettePng(8, 1, {RGB(250, 0, 0), RGB(5, 6, 7)}, {0, 1});
    ASSERT_TRUE(eight.LoadFromMemory(png8.data(), png8.size()));
    EXPECT_EQ(eight.GetBpp(), 8);
    EXPECT_EQ(eight.GetBkgndIndex(), 0);
    EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(eight.GetPaletteColor(0)), RGB(31, 127, 255));
    EXPECT_EQ(eight.GetPixelIndex(5, 0), 0); // outside: the background index
    EXPECT_TRUE(eight.IsValid());
    EXPECT_EQ(eight.GetImageType(), kImageTypePng);
}

TEST(BitmapDecode, FailedDecodeKeepsThePreviousImage) {
    NaviBitmap image;
    const Bytes good = SolidPng(6, 3, RGB(10, 20, 30));
    ASSERT_TRUE(image.LoadFromMemory(good.data(), good.size()));
    const Bytes cut(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    EXPECT_FALSE(image.LoadFromMemory(cut.data(), cut.size()));
    EXPECT_FALSE(image.GetLastError().IsEmpty());
    EXPECT_EQ(image.GetWidth(), 6);
    EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(image.GetPixelColor(5, 2)), RGB(10, 20, 30));
    EXPECT_TRUE(image.IsValid()); // a positive size was given
    EXPECT_FALSE(image.LoadFromMemory(good.data(), 0));
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.Decode(good.data(), good.size(), 1)); // not PNG
}

TEST(BitmapFiles, SaveAndLoadKeepDepthPaletteAndPixels) {
    TempRoot root;
    for (int bpp : {1, 4, 8, 24}) {
        NaviBitmap image(9, 4, bpp);
        ASSERT_FALSE(image.IsEmpty());
        if (bpp <= 8)
            for (int i = 0; i < (1 << bpp); ++i) image.SetPaletteColor(i, BYTE(i * 3), BYTE(255 - i), BYTE(i));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x) {
                if (bpp <= 8) image.SetPixelIndex(x, y, (x + 2 * y) % (1 << bpp));
                else image.SetPixelColor(x, y, RGB(x * 20, y * 50, 7));
            }
        ASSERT_TRUE(image.Save(u"\\pic.png")) << bpp;
        NaviBitmap back;
        ASSERT_TRUE(back.Load(u"\\pic.png")) << bpp;
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_EQ(back.GetPaletteSize(), image.GetPaletteSize());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x) {
                EXPECT_EQ(back.GetPixelIndex(x, y), image.GetPixelIndex(x, y)) << bpp;
                EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(back.GetPixelColor(x, y)),
                          NaviBitmap::RGBQUADtoRGB(image.GetPixelColor(x, y)))
                    << bpp;
            }
    }
    NaviBitmap missing;
    EXPECT_FALSE(missing.Load(u"\\nothing.png"));
    NaviBitmap narrow("\\pic.png");
    EXPECT_TRUE(narrow.IsValid());
}

TEST(BitmapMemory, GhostSharesTheBlockAndOutlivesItsSource) {
    NaviBitmap ghost;
    {
        NaviBitmap source;
        const Bytes png = SolidPng(3, 3, RGB(40, 50, 60));
        ASSERT_TRUE(source.LoadFromMemory(png.data(), png.size()));
        ghost.Ghost(source);
        EXPECT_EQ(ghost.GetBits(), source.GetBits());
        source.Destroy();
    }
    ASSERT_FALSE(ghost.IsEmpty());
    EXPECT_EQ(NaviBitmap::RGBQUADtoRGB(ghost.GetPixelColor(2, 2)), RGB(40, 50, 60));

    NaviBitmap copy(ghost);
    EXPECT_NE(copy.GetBits(), ghost.GetBits());
    HLOCAL block = copy.CopyToHandle(nullptr);
    ASSERT_NE(block, nullptr);
    // Header (40), no palette, 3 rows of 12 bytes.
    EXPECT_EQ(LocalSize(block), 40u + 36u);
    const auto* bytes = static_cast<const BYTE*>(LocalLock(block));
    EXPECT_EQ(bytes[0], 40);
    EXPECT_EQ(bytes[40], 60); // blue of the first pixel
    HLOCAL again = copy.CopyToHandle(block); // frees the first
    EXPECT_NE(again, nullptr);
    LocalFree(again);
    NaviBitmap empty;
    EXPECT_EQ(empty.CopyToHandle(nullptr), nullptr);
}

TEST(BitmapDraw, TransparentSizesAndFailures) {
    // A 6 x 4 image whose top-left colour (and its right column) is the key, the rest red.
    const Bytes png = RgbPng(6, 4, [](int x, int y) {
        return (x == 0 && y == 0) || x == 5 ? RGB(31, 127, 255) : RGB(255, 0, 0);
    });
    Canvas canvas(20, 20);
    {
        NaviBitmap image;
        ASSERT_TRUE(image.LoadFromMemory(png.data(), png.size()));
        image.SetTransparent(true);
        EXPECT_EQ(image.Draw(canvas.dc, 2, 3), 1);
        EXPECT_EQ(canvas.At(2, 3), RGB(255, 255, 255)); // the key colour is skipped
        EXPECT_EQ(canvas.At(7, 4), RGB(255, 255, 255));
        EXPECT_EQ(canvas.At(3, 3), RGB(255, 0, 0));
        EXPECT_TRUE(SameRect(canvas.Ink(), RECT{2, 3, 7, 7}));
        canvas.Clear();
        image.SetTransparent(false);
        EXPECT_EQ(image.Draw(canvas.dc, 0, 0, 0, 0), 1);
        EXPECT_EQ(canvas.Ink().right, 0);
        EXPECT_EQ(image.Draw(canvas.dc, 0, 0, 3, 2), 1);
        EXPECT_TRUE(SameRect(canvas.Ink(), RECT{0, 0, 3, 2}));
        EXPECT_EQ(canvas.At(0, 0), RGB(31, 127, 255));
    }
    {
        NaviBitmap image;
        ASSERT_TRUE(image.LoadFromMemory(png.data(), png.size()));
        GdiFailNextBitmapCreations(1);
        EXPECT_EQ(image.Draw(canvas.dc, 0, 0), 0);
        GdiFailNextBitmapCreations(0);
    }
    NaviBitmap built(4, 4, 24); // never loaded: not drawn
    EXPECT_EQ(built.Draw(canvas.dc, 0, 0), 0);
}

TEST(BitmapDraw, TileCoversTheRectangleFromItsCorner) {
    Canvas canvas(30, 30);
    NaviBitmap image;
    const Bytes png = SolidPng(4, 3, RGB(0, 0, 200));
    ASSERT_TRUE(image.LoadFromMemory(png.data(), png.size()));
    const RECT rc{5, 6, 15, 12};
    EXPECT_EQ(image.Tile(canvas.dc, &rc), 1);
    // Three columns (at 0, 4, 8 of a 10 wide span) and two rows: 12 x 6 from (5, 6).
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{5, 6, 17, 12}));
    NaviBitmap empty;
    EXPECT_EQ(empty.Tile(canvas.dc, &rc), 0);
}

TEST(BitmapShape, RotateQuarterTurnSwapsTheSides) {
    NaviBitmap image(6, 2, 8);
    image.Clear(3);
    image.SetBkgndIndex(3);
    ASSERT_TRUE(image.Rotate(90));
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetHeight(), 6);
    EXPECT_EQ(image.GetBpp(), 8);
    EXPECT_EQ(image.GetBkgndIndex(), 3);
    EXPECT_EQ(image.GetPixelIndex(1, 1), 3);
}
