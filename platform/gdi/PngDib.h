// PNG images kept in their own depth and palette, in the layout of a bottom-up DIB: the form the
// skin images travel in. Transparency (alpha channels and tRNS entries) is composited over the
// key colour red 31, green 127, blue 255, so a transparent blit of the key colour cuts it out.
#pragma once

#include "platform/gdi/Gdi.h"

#include <cstddef>
#include <string>
#include <vector>

// The colour transparent pixels become when decoded.
constexpr COLORREF kPngKeyColor = RGB(31, 127, 255);
// Neither side of a decoded image may be longer.
constexpr int kPngDibMaxSide = 4096;

struct GdiDibImage {
    int width = 0;
    int height = 0;
    int bitCount = 0;             // 1, 4, 8 or 24
    std::vector<RGBQUAD> palette; // 2, 16 or 256 entries for 1, 4 and 8 bits; empty for 24
    int transparentCount = 0;     // palette entries the PNG marked (fully or partly) transparent
    std::vector<BYTE> bits;       // rows bottom row first, RowBytes() each; 24-bit rows blue-green-red

    int RowBytes() const { return ((bitCount * width + 31) / 32) * 4; }
};

// Bytes per row of a DIB of that depth.
inline std::size_t DibRowBytes(int bitCount, int width) {
    return ((static_cast<std::size_t>(bitCount) * static_cast<std::size_t>(width) + 31) / 32) * 4;
}

// Palette images of 1, 4 and 8 bits keep their depth and palette (2-bit ones become 4-bit, the
// same colours); grey images get a grey palette spread over 0..255 (16-bit grey becomes 8-bit);
// RGB, RGBA and grey with alpha become 24-bit. Interlaced images decode like plain ones. false
// with a reason for anything that is not a well-formed PNG or is larger than the side limit.
bool GdiDecodePngDib(const void* data, std::size_t size, GdiDibImage& out, std::string* error = nullptr);

// Writes 1-, 4- and 8-bit images as palette PNGs (the first transparentCount entries fully
// transparent in a tRNS chunk when it is above 0) and 24-bit images as RGB, not interlaced.
bool GdiEncodePngDib(const GdiDibImage& image, std::vector<BYTE>& out, std::string* error = nullptr);
