// Helpers for the skin tests: a throw-away device root, PNG images of known pixels, archives
// written field by field, and a white 32-bit canvas with the built-in font.
#pragma once

#include "platform/base/Text.h"
#include "platform/gdi/AfxGdi.h"
#include "platform/gdi/PngDib.h"
#include "platform/files/tests/TempRoot.h"
#include "skinui/NaviBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A 24-bit PNG whose pixel (x, y), y from the top, is colour(x, y).
inline Bytes RgbPng(int width, int height, const std::function<COLORREF(int, int)>& colour) {
    GdiDibImage image;
    image.width = width;
    image.height = height;
    image.bitCount = 24;
    image.bits.assign(DibRowBytes(24, width) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = image.bits.data() + (height - 1 - y) * DibRowBytes(24, width) + x * 3;
            const COLORREF c = colour(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    std::vector<BYTE> png;
    EXPECT_TRUE(GdiEncodePngDib(image, png));
    return Bytes(png.begin(), png.end());
}

inline Bytes SolidPng(int width, int height, COLORREF c) {
    return RgbPng(width, height, [c](int, int) { return c; });
}

// A loaded image of the given PNG bytes; the caller owns it.
inline NaviBitmap* ImageOf(const Bytes& png) {
    auto* image = new NaviBitmap();
    EXPECT_TRUE(image->LoadFromMemory(png.data(), png.size()));
    return image;
}

inline void Put16(Bytes& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
inline void Put32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// One archive entry as stored: the name's raw bytes (code page 949) and the image data, or an
// explicit offset and size when forced.
struct ArchiveEntry {
    std::string name; // raw bytes, at most 256
    Bytes data;
    bool forced = false;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

// Header word, three 16-bit values (the second the count), the 264-byte entries, then the data.
inline Bytes ArchiveBytes(const std::vector<ArchiveEntry>& entries, int count) {
    Bytes out;
    Put32(out, 0);
    Put16(out, 0);
    Put16(out, count);
    Put16(out, 0);
    std::uint32_t dataAt = static_cast<std::uint32_t>(10 + 264 * entries.size());
    for (const ArchiveEntry& e : entries) {
        Bytes name(256, 0);
        std::copy(e.name.begin(), e.name.begin() + std::min<std::size_t>(256, e.name.size()), name.begin());
        out.insert(out.end(), name.begin(), name.end());
        Put32(out, e.forced ? e.offset : dataAt);
        Put32(out, e.forced ? e.size : static_cast<std::uint32_t>(e.data.size()));
        dataAt += static_cast<std::uint32_t>(e.data.size());
    }
    for (const ArchiveEntry& e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
    return out;
}

inline std::string Cp949(const char16_t* text) {
    return Utf16ToCp949(text);
}

class Canvas {
public:
    Canvas(int width, int height) : width(width), height(height) {
        GdiUseBuiltinFont(true);
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, width, height);
        old = SelectObject(dc, bitmap);
        Clear();
        cdc.Attach(dc);
    }
    ~Canvas() {
        cdc.Detach();
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Clear() {
        const RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    // Bounding box (right and bottom exclusive) of the pixels that are not white.
    RECT Ink() const {
        RECT box{width, height, 0, 0};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) != RGB(255, 255, 255)) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }
    int width;
    int height;
    HDC dc = nullptr;
    CDC cdc;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
