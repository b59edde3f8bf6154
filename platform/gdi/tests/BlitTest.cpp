#include "platform/gdi/tests/GdiTestSupport.h"

#include <cstring>
#include <vector>

namespace {

// A DIB section of the given depth with its own palette; bits points at its memory.
struct Dib {
    Dib(int width, int height, int bitCount, const std::vector<RGBQUAD>& palette = {}) {
        std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
        info->bmiHeader = BITMAPINFOHEADER{};
        info->bmiHeader.biWidth = width;
        info->bmiHeader.biHeight = height;
        info->bmiHeader.biBitCount = static_cast<WORD>(bitCount);
        info->bmiHeader.biClrUsed = static_cast<DWORD>(palette.size());
        if (!palette.empty())
            std::memcpy(storage.data() + sizeof(BITMAPINFOHEADER), palette.data(),
                        palette.size() * sizeof(RGBQUAD));
        void* raw = nullptr;
        bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &raw, nullptr, 0);
        bits = static_cast<BYTE*>(raw);
        stride = ((width * bitCount + 31) / 32) * 4;
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~Dib() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HBITMAP bitmap = nullptr;
    BYTE* bits = nullptr;
    int stride = 0;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
};

COLORREF Color(const RGBQUAD& q) {
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

} // namespace

TEST(PaletteDib, BlitsAndTransparentBlitsGiveThePaletteColours) {
    std::vector<RGBQUAD> mono{{30, 20, 10, 0}, {50, 100, 200, 0}};
    std::vector<RGBQUAD> sixteen, full;
    for (int i = 0; i < 16; ++i) sixteen.push_back(RGBQUAD{BYTE(i), BYTE(255 - i * 16), BYTE(i * 16), 0});
    for (int i = 0; i < 256; ++i) full.push_back(RGBQUAD{BYTE(255 - i), BYTE(i / 2), BYTE(i), 0});
    struct Case {
        int bitCount;
        std::vector<RGBQUAD> palette;
        std::vector<BYTE> firstRow; // written through the bits pointer after selection
        std::vector<int> indexes;   // the pixel indexes that row holds, left to right
    };
    const Case cases[] = {
        // 1 bit: most significant bit first.
        {1, mono, {0xB0}, {1, 0, 1, 1, 0, 0, 0, 0}},
        // 4 bits: high nibble first.
        {4, sixteen, {0x3A, 0x05, 0x00, 0x00}, {3, 10, 0, 5, 0, 0, 0, 0}},
        {8, full, {7, 200, 255, 0, 0, 0, 0, 0}, {7, 200, 255, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Dib dib(8, 1, c.bitCount, c.palette);
        ASSERT_NE(dib.bits, nullptr);
        std::memcpy(dib.bits, c.firstRow.data(), c.firstRow.size());
        Canvas opaque(8, 1), keyed(8, 1);
        ASSERT_TRUE(BitBlt(opaque.dc, 0, 0, 8, 1, dib.dc, 0, 0, SRCCOPY));
        ASSERT_TRUE(TransparentImage(keyed.dc, 0, 0, 8, 1, dib.dc, 0, 0, 8, 1, Color(c.palette[0])));
        for (int x = 0; x < 8; ++x) {
            const COLORREF expected = Color(c.palette[static_cast<std::size_t>(c.indexes[x])]);
            EXPECT_EQ(GetPixel(dib.dc, x, 0), expected) << c.bitCount << " bits, x " << x;
            EXPECT_EQ(opaque.At(x, 0), expected) << c.bitCount << " bits, x " << x;
            EXPECT_EQ(keyed.At(x, 0), c.indexes[x] == 0 ? kWhite : expected)
                << c.bitCount << " bits, x " << x;
        }
    }
}

TEST(PaletteDib, SetPixelPicksTheNearestPaletteEntry) {
    Dib dib(4, 1, 4, {{0, 0, 0, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}});
    EXPECT_EQ(SetPixel(dib.dc, 1, 0, RGB(200, 10, 10)), RGB(255, 0, 0));
    EXPECT_EQ(dib.bits[0] & 0x0F, 1); // pixel 1 is the low nibble of byte 0
}

TEST(Dib, FirstMemoryRowIsTheBottomRow) {
    Dib dib(3, 3, 24);
    for (int x = 0; x < 3; ++x) {
        dib.bits[x * 3] = 0;       // blue
        dib.bits[x * 3 + 1] = 0;   // green
        dib.bits[x * 3 + 2] = 255; // red
    }
    Canvas canvas(3, 3);
    BitBlt(canvas.dc, 0, 0, 3, 3, dib.dc, 0, 0, SRCCOPY);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(canvas.At(x, 2), RGB(255, 0, 0));
        EXPECT_EQ(canvas.At(x, 0), RGB(0, 0, 0));
    }
}

TEST(Dib, WritesThroughTheBitsPointerShowInTheNextBlit) {
    Dib dib(2, 2, 32);
    Canvas canvas(2, 2);
    BitBlt(canvas.dc, 0, 0, 2, 2, dib.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.At(0, 1), RGB(0, 0, 0));
    dib.bits[0] = 0x30; // blue of the bottom-left pixel
    dib.bits[1] = 0x20;
    dib.bits[2] = 0x10;
    BitBlt(canvas.dc, 0, 0, 2, 2, dib.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.At(0, 1), RGB(0x10, 0x20, 0x30));
}

TEST(Blit, TwentyFourAndThirtyTwoBitsExchangeColoursLosslessly) {
    const int w = 7, h = 5; // 21-byte rows padded to 24
    Dib source(w, h, 24), back(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w * 3; ++i)
            source.bits[y * source.stride + i] = static_cast<BYTE>((y * 97 + i * 37 + 11) & 0xFF);
    Canvas canvas(w, h);
    BitBlt(canvas.dc, 0, 0, w, h, source.dc, 0, 0, SRCCOPY);
    BitBlt(back.dc, 0, 0, w, h, canvas.dc, 0, 0, SRCCOPY);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const BYTE* p = source.bits + (h - 1 - y) * source.stride + x * 3;
            EXPECT_EQ(canvas.At(x, y), RGB(p[2], p[1], p[0])) << x << "," << y;
        }
        EXPECT_EQ(std::memcmp(source.bits + y * source.stride, back.bits + y * back.stride, w * 3), 0)
            << "row " << y;
    }
}

TEST(Blit, PartialSourceRectanglesAreClippedOnBothSides) {
    Canvas source(4, 4), canvas(10, 10);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) SetPixel(source.dc, x, y, RGB(x * 10, y * 10, 7));
    // Three by three from (1, 1) placed at (-1, -1): only source (2..3, 2..3) lands.
    BitBlt(canvas.dc, -1, -1, 3, 3, source.dc, 1, 1, SRCCOPY);
    EXPECT_EQ(canvas.At(0, 0), RGB(20, 20, 7));
    EXPECT_EQ(canvas.At(1, 1), RGB(30, 30, 7));
    EXPECT_EQ(canvas.At(2, 2), kWhite);
    // Four by four from (2, 2) runs off the source after two pixels.
    BitBlt(canvas.dc, 5, 5, 4, 4, source.dc, 2, 2, SRCCOPY);
    EXPECT_EQ(canvas.At(5, 5), RGB(20, 20, 7));
    EXPECT_EQ(canvas.At(6, 6), RGB(30, 30, 7));
    EXPECT_EQ(canvas.At(7, 7), kWhite);
    EXPECT_EQ(canvas.At(7, 5), kWhite);
}

TEST(Blit, OverlappingCopyWithinOneBitmapReadsTheOldPixels) {
    Canvas canvas(6, 1);
    for (int x = 0; x < 6; ++x) SetPixel(canvas.dc, x, 0, RGB(x, 0, 0));
    BitBlt(canvas.dc, 1, 0, 5, 1, canvas.dc, 0, 0, SRCCOPY);
    for (int x = 1; x < 6; ++x) EXPECT_EQ(canvas.At(x, 0), RGB(x - 1, 0, 0));
}

TEST(Blit, SrcAndCombinesChannelByChannel) {
    Canvas source(1, 1), canvas(1, 1);
    SetPixel(source.dc, 0, 0, RGB(0x3C, 0xFF, 0x0F));
    SetPixel(canvas.dc, 0, 0, RGB(0xF0, 0x0F, 0xFF));
    BitBlt(canvas.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCAND);
    EXPECT_EQ(canvas.At(0, 0), RGB(0x30, 0x0F, 0x0F));
}

TEST(TransparentImage, KeyColourPixelsLeaveTheDestinationAndLargerSizesClipToTheSource) {
    const COLORREF key = RGB(255, 0, 255), green = RGB(0, 200, 0);
    Canvas source(4, 4), canvas(10, 10);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            SetPixel(source.dc, x, y, (x + y) % 2 == 0 ? key : RGB(x * 50, y * 50, 100));
    HBRUSH brush = CreateSolidBrush(green);
    const RECT all{0, 0, 10, 10};
    FillRect(canvas.dc, &all, brush);
    DeleteObject(brush);
    // The destination asks for 8 x 8 of a 4 x 4 source; the source given as a bitmap handle.
    ASSERT_TRUE(TransparentImage(canvas.dc, 2, 2, 8, 8, source.bitmap, 0, 0, 4, 4, key));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const int sx = x - 2, sy = y - 2;
            const bool copied = sx >= 0 && sy >= 0 && sx < 4 && sy < 4 && (sx + sy) % 2 != 0;
            EXPECT_EQ(canvas.At(x, y), copied ? RGB(sx * 50, sy * 50, 100) : green) << x << "," << y;
        }
}

TEST(FailureHook, FailedBitmapCreationsReturnNullAndTheNextOneWorks) {
    HDC dc = CreateCompatibleDC(nullptr);
    GdiFailNextBitmapCreations(2);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 10, 10), nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biBitCount = 24;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    // Selecting the null result and drawing on the DC is harmless.
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    EXPECT_TRUE(Rectangle(dc, 0, 0, 5, 5));
    HBITMAP works = CreateCompatibleBitmap(dc, 10, 10);
    EXPECT_NE(works, nullptr);
    DeleteObject(works);
    DeleteDC(dc);
}

TEST(Dib, MalformedHeadersAreRefused) {
    struct Case {
        const char* name;
        LONG width, height;
        WORD bitCount;
        DWORD compression;
        DWORD colorsUsed;
    };
    const Case cases[] = {
        {"zero width", 0, 4, 24, BI_RGB, 0},
        {"zero height", 4, 0, 24, BI_RGB, 0},
        {"negative width", -4, 4, 24, BI_RGB, 0},
        {"unknown depth", 4, 4, 7, BI_RGB, 0},
        {"compressed", 4, 4, 8, 1, 0},
        {"too many colours", 4, 4, 4, BI_RGB, 17},
        {"enormous", 1 << 20, 1 << 20, 32, BI_RGB, 0},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + 256 * 4);
        auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
        info->bmiHeader = BITMAPINFOHEADER{};
        info->bmiHeader.biWidth = c.width;
        info->bmiHeader.biHeight = c.height;
        info->bmiHeader.biBitCount = c.bitCount;
        info->bmiHeader.biCompression = c.compression;
        info->bmiHeader.biClrUsed = c.colorsUsed;
        void* bits = nullptr;
        EXPECT_EQ(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << c.name;
        EXPECT_EQ(bits, nullptr) << c.name;
    }
}

TEST(Png, WrittenBitmapDecodesToTheSamePixels) {
    Canvas canvas(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) SetPixel(canvas.dc, x, y, RGB(x * 40, y * 80, 255 - x * 7));
    const std::string path = std::string(VELKO_BINARY_DIR) + "/gdi_png_roundtrip.png";
    ASSERT_TRUE(GdiSaveDCPng(canvas.dc, path));
    GdiRgbaImage image;
    ASSERT_TRUE(GdiLoadPng(path, image));
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const std::uint32_t expected = 0xFF000000u | (std::uint32_t(x * 40) << 16) |
                                           (std::uint32_t(y * 80) << 8) | std::uint32_t(255 - x * 7);
            EXPECT_EQ(image.pixels[static_cast<std::size_t>(y) * 5 + x], expected) << x << "," << y;
        }
    std::remove(path.c_str());
}

TEST(Png, BrokenDataFailsWithAMessage) {
    Canvas canvas(4, 4);
    std::vector<BYTE> png;
    ASSERT_TRUE(GdiEncodePng(canvas.bitmap, png));
    GdiRgbaImage image;
    std::string error;
    std::vector<BYTE> truncated(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2));
    EXPECT_FALSE(GdiDecodePng(truncated.data(), truncated.size(), image, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(image.width, 0);
    const BYTE junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_FALSE(GdiDecodePng(junk, sizeof junk, image, &error));
    // A header rewritten to claim 100000 x 100000 pixels fails cleanly.
    std::vector<BYTE> huge = png;
    const BYTE side[4] = {0x00, 0x01, 0x86, 0xA0};
    std::memcpy(huge.data() + 16, side, 4);
    std::memcpy(huge.data() + 20, side, 4);
    EXPECT_FALSE(GdiDecodePng(huge.data(), huge.size(), image, &error));
}
