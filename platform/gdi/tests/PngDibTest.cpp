// The depth-keeping PNG codec against PNG files assembled here chunk by chunk (zlib and CRC by
// hand, Adam7 passes by hand), so the reader is checked against the format, not against libpng's
// own writer.
#include "platform/gdi/PngDib.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& out, std::uint32_t v) {
    out.push_back(v >> 24);
    out.push_back(v >> 16);
    out.push_back(v >> 8);
    out.push_back(v);
}

void Chunk(Bytes& out, const char* type, const Bytes& data) {
    Put32(out, static_cast<std::uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    Put32(out, static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

struct PngSpec {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int depth = 8;
    int colorType = 3;
    std::vector<std::vector<int>> samples; // per row, one value per sample (channels x width)
    Bytes plte;                            // r, g, b triplets
    Bytes trns;
    bool interlaced = false;
};

int Channels(int colorType) {
    switch (colorType) {
    case 0: case 3: return 1;
    case 2: return 3;
    case 4: return 2;
    default: return 4;
    }
}

// Packs samples of (x0, x0 + dx, ...) of row y into one filtered (filter 0) scanline.
void PackRow(const PngSpec& s, int y, int x0, int dx, Bytes& raw) {
    raw.push_back(0);
    const int channels = Channels(s.colorType);
    Bytes packed;
    int bitPos = 0;
    for (int x = x0; x < static_cast<int>(s.width); x += dx) {
        for (int c = 0; c < channels; ++c) {
            const int v = s.samples[y][x * channels + c];
            if (s.depth == 16) {
                packed.push_back(v >> 8);
                packed.push_back(v & 255);
            } else if (s.depth == 8) {
                packed.push_back(v);
            } else {
                if (bitPos == 0) packed.push_back(0);
                packed.back() |= v << (8 - s.depth - bitPos);
                bitPos = (bitPos + s.depth) % 8;
            }
        }
    }
    raw.insert(raw.end(), packed.begin(), packed.end());
}

Bytes MakePng(const PngSpec& s) {
    Bytes out{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    Put32(ihdr, s.width);
    Put32(ihdr, s.height);
    ihdr.push_back(s.depth);
    ihdr.push_back(s.colorType);
    ihdr.push_back(0);
    ihdr.push_back(0);
    ihdr.push_back(s.interlaced ? 1 : 0);
    Chunk(out, "IHDR", ihdr);
    if (!s.plte.empty()) Chunk(out, "PLTE", s.plte);
    if (!s.trns.empty()) Chunk(out, "tRNS", s.trns);
    Bytes raw;
    if (!s.interlaced) {
        for (std::uint32_t y = 0; y < s.height; ++y) PackRow(s, y, 0, 1, raw);
    } else {
        const int sx[] = {0, 4, 0, 2, 0, 1, 0}, dx[] = {8, 8, 4, 4, 2, 2, 1};
        const int sy[] = {0, 0, 4, 0, 2, 0, 1}, dy[] = {8, 8, 8, 4, 4, 2, 2};
        for (int p = 0; p < 7; ++p) {
            if (sx[p] >= static_cast<int>(s.width)) continue;
            for (int y = sy[p]; y < static_cast<int>(s.height); y += dy[p]) PackRow(s, y, sx[p], dx[p], raw);
        }
    }
    uLongf size = compressBound(raw.size());
    Bytes z(size);
    compress(z.data(), &size, raw.data(), raw.size());
    z.resize(size);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    return out;
}

// Reads the index at (x, y), y counted from the top, straight from the DIB rows.
int IndexAt(const GdiDibImage& im, int x, int y) {
    const BYTE* row = im.bits.data() + static_cast<std::size_t>(im.height - 1 - y) * im.RowBytes();
    switch (im.bitCount) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
    default: return row[x];
    }
}

COLORREF ColorAt(const GdiDibImage& im, int x, int y) {
    if (im.bitCount == 24) {
        const BYTE* p = im.bits.data() + static_cast<std::size_t>(im.height - 1 - y) * im.RowBytes() + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
    const RGBQUAD q = im.palette[IndexAt(im, x, y)];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

GdiDibImage Decode(const Bytes& png) {
    GdiDibImage im;
    std::string error;
    EXPECT_TRUE(GdiDecodePngDib(png.data(), png.size(), im, &error)) << error;
    return im;
}

} // namespace

TEST(PngDib, OneBitPaletteReadsMostSignificantBitFirst) {
    PngSpec s{10, 2, 1, 3, {{1, 0, 0, 0, 0, 0, 0, 0, 1, 1}, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
              {10, 20, 30, 200, 210, 220}};
    const GdiDibImage im = Decode(MakePng(s));
    ASSERT_EQ(im.bitCount, 1);
    ASSERT_EQ(im.palette.size(), 2u);
    EXPECT_EQ(im.RowBytes(), 4);
    EXPECT_EQ(im.bits[4], 0x80);                         // 1 then seven 0s
    EXPECT_EQ(im.bits[5], 0xC0);                         // pixels 8 and 9
    EXPECT_EQ(im.bits[0], 0x40);                         // bottom row stored first
    EXPECT_EQ(ColorAt(im, 0, 0), RGB(200, 210, 220));
    EXPECT_EQ(ColorAt(im, 1, 0), RGB(10, 20, 30));
    EXPECT_EQ(im.transparentCount, 0);
}

TEST(PngDib, TwoBitPaletteBecomesFourBitWithTheSameColours) {
    PngSpec s{5, 1, 2, 3, {{0, 1, 2, 3, 2}}, {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}};
    const GdiDibImage im = Decode(MakePng(s));
    ASSERT_EQ(im.bitCount, 4);
    ASSERT_EQ(im.palette.size(), 16u);
    EXPECT_EQ(im.bits[0], 0x01);
    EXPECT_EQ(im.bits[1], 0x23);
    EXPECT_EQ(im.bits[2], 0x20);
    EXPECT_EQ(ColorAt(im, 1, 0), RGB(255, 0, 0));
    EXPECT_EQ(ColorAt(im, 3, 0), RGB(0, 0, 255));
}

TEST(PngDib, FourAndEightBitPalettesKeepIndexes) {
    Bytes plte;
    for (int i = 0; i < 16; ++i) plte.insert(plte.end(), {static_cast<uint8_t>(i * 16), 7, 9});
    PngSpec four{3, 2, 4, 3, {{15, 0, 7}, {1, 2, 3}}, plte};
    const GdiDibImage a = Decode(MakePng(four));
    ASSERT_EQ(a.bitCount, 4);
    EXPECT_EQ(IndexAt(a, 0, 0), 15);
    EXPECT_EQ(IndexAt(a, 2, 0), 7);
    EXPECT_EQ(IndexAt(a, 1, 1), 2);
    EXPECT_EQ(ColorAt(a, 2, 1), RGB(48, 7, 9));

    Bytes plte8(256 * 3, 0);
    plte8[200 * 3] = 99;
    PngSpec eight{2, 1, 8, 3, {{200, 3}}, plte8};
    const GdiDibImage b = Decode(MakePng(eight));
    ASSERT_EQ(b.bitCount, 8);
    ASSERT_EQ(b.palette.size(), 256u);
    EXPECT_EQ(IndexAt(b, 0, 0), 200);
    EXPECT_EQ(ColorAt(b, 0, 0), RGB(99, 0, 0));
}

TEST(PngDib, TransparentPaletteEntryBecomesTheKeyColour) {
    Bytes plte(256 * 3, 0);
    plte[0] = 250; // entry 0: (250, 0, 0), fully transparent
    plte[3] = 10;  // entry 1: (10, 20, 30), half transparent
    plte[4] = 20;
    plte[5] = 30;
    PngSpec s{2, 1, 8, 3, {{0, 1}}, plte, {0, 128}};
    const GdiDibImage im = Decode(MakePng(s));
    ASSERT_EQ(im.bitCount, 8);
    EXPECT_EQ(im.transparentCount, 2);
    EXPECT_EQ(ColorAt(im, 0, 0), RGB(31, 127, 255));
    // (10 x 128 + 31 x 127) / 255 etc., rounded
    EXPECT_EQ(ColorAt(im, 1, 0), RGB((10 * 128 + 31 * 127 + 127) / 255, (20 * 128 + 127 * 127 + 127) / 255,
                                     (30 * 128 + 255 * 127 + 127) / 255));
}

TEST(PngDib, GreyLevelsAreSpreadOverTheWholeRange) {
    struct Case {
        int depth;
        int sample;
        int bitCount;
        int grey;
    } cases[] = {{1, 1, 1, 255}, {2, 2, 4, 170}, {4, 5, 4, 85}, {8, 77, 8, 77}, {16, 0x1234, 8, 0x12}};
    for (const Case& c : cases) {
        PngSpec s{1, 1, c.depth, 0, {{c.sample}}};
        const GdiDibImage im = Decode(MakePng(s));
        EXPECT_EQ(im.bitCount, c.bitCount) << c.depth;
        EXPECT_EQ(ColorAt(im, 0, 0), RGB(c.grey, c.grey, c.grey)) << c.depth;
    }
}

TEST(PngDib, GreyWithAlphaAndRgbaAreCompositedIntoTwentyFourBits) {
    PngSpec ga{2, 1, 8, 4, {{100, 255, 100, 0}}};
    const GdiDibImage a = Decode(MakePng(ga));
    ASSERT_EQ(a.bitCount, 24);
    EXPECT_EQ(ColorAt(a, 0, 0), RGB(100, 100, 100));
    EXPECT_EQ(ColorAt(a, 1, 0), RGB(31, 127, 255));

    PngSpec rgba{1, 1, 8, 6, {{200, 100, 0, 64}}};
    const GdiDibImage b = Decode(MakePng(rgba));
    ASSERT_EQ(b.bitCount, 24);
    // 64 / 255 of the colour over the key colour.
    const int r = (200 * 64 + 31 * 191 + 127) / 255, g = (100 * 64 + 127 * 191 + 127) / 255,
              bl = (0 * 64 + 255 * 191 + 127) / 255;
    EXPECT_EQ(ColorAt(b, 0, 0), RGB(r, g, bl));
}

TEST(PngDib, RgbRowsAreBlueGreenRedBottomRowFirst) {
    PngSpec s{2, 2, 8, 2, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}};
    const GdiDibImage im = Decode(MakePng(s));
    ASSERT_EQ(im.bitCount, 24);
    EXPECT_EQ(im.RowBytes(), 8);
    const Bytes expected{9, 8, 7, 12, 11, 10, 0, 0, 3, 2, 1, 6, 5, 4, 0, 0};
    EXPECT_EQ(Bytes(im.bits.begin(), im.bits.end()), expected);
}

TEST(PngDib, InterlacedDecodesLikePlain) {
    PngSpec s{11, 9, 8, 2, {}};
    for (int y = 0; y < 9; ++y) {
        s.samples.emplace_back();
        for (int x = 0; x < 11; ++x) s.samples.back().insert(s.samples.back().end(), {x * 20, y * 25, x + y});
    }
    PngSpec interlaced = s;
    interlaced.interlaced = true;
    const GdiDibImage plain = Decode(MakePng(s));
    const GdiDibImage adam7 = Decode(MakePng(interlaced));
    EXPECT_EQ(plain.bits, adam7.bits);
    EXPECT_EQ(ColorAt(adam7, 10, 8), RGB(200, 200, 18));

    PngSpec pal{9, 9, 4, 3, {}};
    for (int i = 0; i < 16; ++i) pal.plte.insert(pal.plte.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
    for (int y = 0; y < 9; ++y) {
        pal.samples.emplace_back();
        for (int x = 0; x < 9; ++x) pal.samples.back().push_back((x * 3 + y) % 16);
    }
    PngSpec palInterlaced = pal;
    palInterlaced.interlaced = true;
    EXPECT_EQ(Decode(MakePng(pal)).bits, Decode(MakePng(palInterlaced)).bits);
}

TEST(PngDib, BrokenInputIsRefusedWithAReason) {
    PngSpec s{4, 4, 8, 2, {}};
    for (int y = 0; y < 4; ++y) s.samples.push_back(std::vector<int>(12, y * 10));
    const Bytes good = MakePng(s);
    GdiDibImage im;
    std::string error;
    for (std::size_t cut : {std::size_t(0), std::size_t(7), std::size_t(20), good.size() / 2, good.size() - 13}) {
        error.clear();
        EXPECT_FALSE(GdiDecodePngDib(good.data(), cut, im, &error)) << cut;
        EXPECT_FALSE(error.empty()) << cut;
    }
    PngSpec wide{100000, 1, 1, 0, {}};
    wide.samples.push_back(std::vector<int>(100000, 0));
    const Bytes huge = MakePng(wide);
    EXPECT_FALSE(GdiDecodePngDib(huge.data(), huge.size(), im, &error));
    EXPECT_FALSE(GdiDecodePngDib(nullptr, 100, im, &error));
}

TEST(PngDib, EncodedImagesReadBackWithDepthPaletteAndPixels) {
    for (int bitCount : {1, 4, 8, 24}) {
        GdiDibImage im;
        im.width = 13;
        im.height = 5;
        im.bitCount = bitCount;
        const int colours = bitCount == 24 ? 0 : 1 << bitCount;
        for (int i = 0; i < colours; ++i)
            im.palette.push_back(RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i * 3), 0});
        im.bits.resize(DibRowBytes(bitCount, 13) * 5);
        for (std::size_t i = 0; i < im.bits.size(); ++i) im.bits[i] = static_cast<BYTE>(i * 37 + 11);
        // Row padding is not image data: keep it zero so the comparison is of pixels only.
        const std::size_t used = (static_cast<std::size_t>(bitCount) * 13 + 7) / 8;
        for (int y = 0; y < 5; ++y)
            for (std::size_t b = used; b < DibRowBytes(bitCount, 13); ++b) im.bits[y * DibRowBytes(bitCount, 13) + b] = 0;
        if (bitCount == 1) // the last byte's unused low bits
            for (int y = 0; y < 5; ++y) im.bits[y * 4 + 1] &= 0xF8;
        if (bitCount == 4)
            for (int y = 0; y < 5; ++y) im.bits[y * 8 + 6] &= 0xF0;
        im.transparentCount = bitCount == 8 ? 1 : 0;
        std::vector<BYTE> png;
        ASSERT_TRUE(GdiEncodePngDib(im, png)) << bitCount;
        GdiDibImage back = Decode(Bytes(png.begin(), png.end()));
        EXPECT_EQ(back.bitCount, bitCount);
        EXPECT_EQ(back.width, 13);
        EXPECT_EQ(back.height, 5);
        EXPECT_EQ(back.bits, im.bits) << bitCount;
        if (bitCount == 8) {
            EXPECT_EQ(back.transparentCount, 1);
            EXPECT_EQ(back.palette[0].rgbRed, 31);
            EXPECT_EQ(back.palette[0].rgbBlue, 255);
            im.palette[0] = back.palette[0];
        }
        ASSERT_EQ(back.palette.size(), im.palette.size());
        for (std::size_t i = 0; i < im.palette.size(); ++i) {
            EXPECT_EQ(back.palette[i].rgbRed, im.palette[i].rgbRed);
            EXPECT_EQ(back.palette[i].rgbBlue, im.palette[i].rgbBlue);
        }
    }
}
