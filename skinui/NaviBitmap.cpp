#include "skinui/NaviBitmap.h"

#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "platform/gdi/PngDib.h"
#include "route/base/BinFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kHeaderBytes = 40;
// Image files larger than this are not read.
constexpr long kMaxImageFile = 16L << 20;

int MapDepth(int bitCount) {
    if (bitCount <= 1) return 1;
    if (bitCount <= 4) return 4;
    if (bitCount <= 8) return 8;
    return 24;
}

int PaletteEntries(int bitCount) {
    return bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
}

bool ReadWholeFile(const char16_t* path, std::vector<BYTE>& out) {
    CBinFile file(path);
    if (file.Open(CBinFile::kModeRead) < 0) return false;
    const long size = file.GetSize();
    if (size < 0 || size > kMaxImageFile) {
        file.Close();
        return false;
    }
    out.resize(static_cast<std::size_t>(size));
    const int read = size > 0 ? file.Read(out.data(), static_cast<int>(size)) : 0;
    file.Close();
    if (read < 0) return false;
    out.resize(static_cast<std::size_t>(read));
    return true;
}

bool WriteWholeFile(const char16_t* path, const std::vector<BYTE>& data) {
    // Written beside the target, then renamed over it.
    std::u16string temp = std::u16string(path) + u".tmp";
    CBinFile file(temp.c_str());
    if (file.Create() < 0) return false;
    const bool written = data.empty() || file.Write(data.data(), static_cast<int>(data.size())) ==
                                             static_cast<int>(data.size());
    file.Close();
    if (!written || !MoveFileExW(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

int Hue(int p, int q, int hue) {
    if (hue < 0) hue += 240;
    if (hue > 240) hue -= 240;
    if (hue < 40) return p + ((q - p) * hue + 20) / 40;
    if (hue < 120) return q;
    if (hue < 160) return p + ((q - p) * (160 - hue) + 20) / 40;
    return p;
}

BYTE Clamp255(int v) {
    return static_cast<BYTE>(std::clamp(v, 0, 255));
}

} // namespace

NaviBitmap::NaviBitmap() = default;

NaviBitmap::NaviBitmap(int width, int height, int bitCount) {
    Create(width, height, bitCount);
}

NaviBitmap::NaviBitmap(int imageType) : m_imageType(imageType) {}

NaviBitmap::NaviBitmap(const NaviBitmap& other) {
    CopyFrom(other);
}

NaviBitmap& NaviBitmap::operator=(const NaviBitmap& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

NaviBitmap::NaviBitmap(const char* path) {
    Load(path, kImageTypePng);
}

NaviBitmap::NaviBitmap(const char16_t* path) {
    Load(path);
}

NaviBitmap::~NaviBitmap() {
    DeleteSection();
}

void NaviBitmap::CopyFrom(const NaviBitmap& other) {
    Destroy();
    if (!other.m_block) return;
    if (!Create(other.GetWidth(), other.GetHeight(), other.GetBpp())) return;
    std::memcpy(m_block->data(), other.m_block->data(), std::min(m_block->size(), other.m_block->size()));
    m_bkgndIndex = other.m_bkgndIndex;
}

void NaviBitmap::DeleteSection() {
    if (m_hbitmap) DeleteObject(m_hbitmap);
    m_hbitmap = nullptr;
    m_dibBits = nullptr;
}

void NaviBitmap::Destroy() {
    // A ghost's block stays alive for its owner: only this image's reference goes.
    m_block.reset();
    m_ghost = nullptr;
    m_bits = nullptr;
    DeleteSection();
}

BYTE* NaviBitmap::Create(int width, int height, int bitCount) {
    Destroy();
    if (width <= 0 || height <= 0 || width > kPngDibMaxSide || height > kPngDibMaxSide) return nullptr;
    const int bpp = MapDepth(bitCount);
    const int entries = PaletteEntries(bpp);
    const std::size_t rowBytes = DibRowBytes(bpp, width);
    const std::size_t total = kHeaderBytes + entries * sizeof(RGBQUAD) + rowBytes * static_cast<std::size_t>(height);
    m_block = std::make_shared<std::vector<BYTE>>(total);
    m_header = BITMAPINFOHEADER{};
    m_header.biWidth = width;
    m_header.biHeight = height;
    m_header.biPlanes = 1;
    m_header.biBitCount = static_cast<WORD>(bpp);
    m_header.biSizeImage = static_cast<DWORD>(rowBytes * height);
    m_header.biClrUsed = static_cast<DWORD>(entries);
    m_effWidth = static_cast<int>(rowBytes);
    std::memcpy(m_block->data(), &m_header, kHeaderBytes);
    m_bits = m_block->data() + kHeaderBytes + entries * sizeof(RGBQUAD);
    m_colourType = bpp <= 8 ? 1 : 2;
    return m_bits;
}

void NaviBitmap::Transfer(NaviBitmap& from) {
    Destroy();
    m_block = std::move(from.m_block);
    m_header = from.m_header;
    m_effWidth = from.m_effWidth;
    m_bits = from.m_bits;
    m_colourType = from.m_colourType;
    m_bkgndIndex = from.m_bkgndIndex;
    m_ghost = from.m_ghost;
    from.Destroy();
    from.m_header = BITMAPINFOHEADER{};
    from.m_effWidth = 0;
    from.m_bkgndIndex = -1;
}

void NaviBitmap::Ghost(const NaviBitmap& other) {
    if (&other == this) return;
    Destroy();
    m_block = other.m_block;
    m_header = other.m_header;
    m_effWidth = other.m_effWidth;
    m_bits = other.m_bits;
    m_colourType = other.m_colourType;
    m_bkgndIndex = other.m_bkgndIndex;
    m_valid = other.m_valid;
    m_ghost = &other;
}

bool NaviBitmap::Decode(const BYTE* buffer, std::size_t size, int type) {
    m_imageType = type;
    if (type != kImageTypePng) return false;
    GdiDibImage image;
    std::string error;
    if (!buffer || !GdiDecodePngDib(buffer, size, image, &error)) {
        m_lastError = CString(Utf8ToUtf16(error.empty() ? "PNG error" : error));
        return false;
    }
    if (!Create(image.width, image.height, image.bitCount)) {
        m_lastError = u"image too large";
        return false;
    }
    RGBQUAD* palette = GetPalette();
    for (std::size_t i = 0; palette && i < image.palette.size() && i < m_header.biClrUsed; ++i)
        palette[i] = image.palette[i];
    std::memcpy(m_bits, image.bits.data(), std::min<std::size_t>(image.bits.size(), m_header.biSizeImage));
    m_bkgndIndex = image.transparentCount - 1;
    m_lastError.Empty();
    return true;
}

bool NaviBitmap::LoadFromMemory(const BYTE* buffer, std::size_t size) {
    m_valid = size > 0 ? 1 : 0;
    // Decoded into a scratch image so a failure leaves this one as it was.
    NaviBitmap scratch(kImageTypePng);
    if (!scratch.Decode(buffer, size, kImageTypePng)) {
        m_lastError = scratch.m_lastError;
        return false;
    }
    Transfer(scratch);
    m_imageType = kImageTypePng;
    m_lastError.Empty();
    return true;
}

bool NaviBitmap::Encode(std::vector<BYTE>& out) {
    out.clear();
    if (!m_block) return false;
    GdiDibImage image;
    image.width = GetWidth();
    image.height = GetHeight();
    image.bitCount = GetBpp();
    if (const RGBQUAD* palette = GetPalette()) image.palette.assign(palette, palette + m_header.biClrUsed);
    image.transparentCount = m_bkgndIndex >= 0 ? m_bkgndIndex + 1 : 0;
    image.bits.assign(m_bits, m_bits + m_header.biSizeImage);
    std::string error;
    if (!GdiEncodePngDib(image, out, &error)) {
        m_lastError = CString(Utf8ToUtf16(error));
        return false;
    }
    return true;
}

bool NaviBitmap::Load(const char* path, int type) {
    if (!path) return false;
    std::vector<BYTE> data;
    const std::u16string wide = Cp949ToUtf16(path);
    if (!ReadWholeFile(wide.c_str(), data)) {
        m_valid = 0;
        return false;
    }
    NaviBitmap scratch(type);
    const bool ok = scratch.Decode(data.data(), data.size(), type);
    m_imageType = type;
    m_valid = ok ? 1 : 0;
    if (!ok) {
        m_lastError = scratch.m_lastError;
        return false;
    }
    Transfer(scratch);
    return true;
}

bool NaviBitmap::Load(const char16_t* path) {
    std::vector<BYTE> data;
    if (!path || !ReadWholeFile(path, data)) return false;
    return LoadFromMemory(data.data(), data.size());
}

bool NaviBitmap::Save(const char* path) {
    if (!path) return false;
    const std::u16string wide = Cp949ToUtf16(path);
    return Save(wide.c_str());
}

bool NaviBitmap::Save(const char16_t* path) {
    std::vector<BYTE> data;
    return path && Encode(data) && WriteWholeFile(path, data);
}

int NaviBitmap::GetPaletteSize() const {
    return static_cast<int>(m_header.biClrUsed) * 4;
}

BYTE* NaviBitmap::GetBits() const {
    return m_block ? m_bits : nullptr;
}

RGBQUAD* NaviBitmap::GetPalette() const {
    if (!m_block || m_header.biClrUsed == 0) return nullptr;
    return reinterpret_cast<RGBQUAD*>(m_block->data() + kHeaderBytes);
}

bool NaviBitmap::SetPaletteColor(int index, BYTE r, BYTE g, BYTE b) {
    RGBQUAD* palette = GetPalette();
    if (!palette || index < 0 || index >= static_cast<int>(m_header.biClrUsed)) return false;
    palette[index] = RGBQUAD{b, g, r, 0};
    return true;
}

bool NaviBitmap::SetPaletteColor(int index, COLORREF color) {
    return SetPaletteColor(index, GetRValue(color), GetGValue(color), GetBValue(color));
}

RGBQUAD NaviBitmap::GetPaletteColor(int index) const {
    const RGBQUAD* palette = GetPalette();
    if (!palette || index < 0 || index >= static_cast<int>(m_header.biClrUsed)) return RGBQUAD{};
    return palette[index];
}

bool NaviBitmap::GetPaletteColor(int index, BYTE* r, BYTE* g, BYTE* b) const {
    const RGBQUAD* palette = GetPalette();
    if (!palette || index < 0 || index >= static_cast<int>(m_header.biClrUsed)) return false;
    if (r) *r = palette[index].rgbRed;
    if (g) *g = palette[index].rgbGreen;
    if (b) *b = palette[index].rgbBlue;
    return true;
}

void NaviBitmap::SetPalette(const RGBQUAD* colors, int n) {
    RGBQUAD* palette = GetPalette();
    if (!palette || !colors) return;
    n = std::min(n, static_cast<int>(m_header.biClrUsed));
    for (int i = 0; i < n; ++i) palette[i] = colors[i];
}

void NaviBitmap::SetPalette(const BYTE* rgb, int n) {
    RGBQUAD* palette = GetPalette();
    if (!palette || !rgb) return;
    n = std::min(n, static_cast<int>(m_header.biClrUsed));
    for (int i = 0; i < n; ++i) palette[i] = RGBQUAD{rgb[i * 3 + 2], rgb[i * 3 + 1], rgb[i * 3], 0};
}

void NaviBitmap::SetPalette(int n, const BYTE* red, const BYTE* green, const BYTE* blue) {
    RGBQUAD* palette = GetPalette();
    if (!palette || !red) return;
    if (!green) green = red;
    if (!blue) blue = green;
    n = std::min(n, static_cast<int>(m_header.biClrUsed));
    for (int i = 0; i < n; ++i) palette[i] = RGBQUAD{blue[i], green[i], red[i], 0};
}

void NaviBitmap::SetGrayPalette() {
    RGBQUAD* palette = GetPalette();
    if (!palette) return;
    const int n = static_cast<int>(m_header.biClrUsed);
    for (int i = 0; i < n; ++i) {
        const BYTE g = static_cast<BYTE>(i * 256 / n);
        palette[i] = RGBQUAD{g, g, g, 0};
    }
}

int NaviBitmap::GetNearestIndex(COLORREF color) const {
    const RGBQUAD* palette = GetPalette();
    if (!palette) return 0;
    long best = 200000;
    int index = 0;
    for (int i = 0; i < static_cast<int>(m_header.biClrUsed); ++i) {
        const long dr = palette[i].rgbRed - GetRValue(color), dg = palette[i].rgbGreen - GetGValue(color),
                   db = palette[i].rgbBlue - GetBValue(color);
        const long d = dr * dr + dg * dg + db * db;
        if (d == 0) return i;
        if (d < best) {
            best = d;
            index = i;
        }
    }
    return index;
}

int NaviBitmap::FindPaletteColor(COLORREF color) const {
    const RGBQUAD* palette = GetPalette();
    if (!palette || GetBpp() > 8) return -1;
    for (int i = 0; i < static_cast<int>(m_header.biClrUsed); ++i)
        if (RGBQUADtoRGB(palette[i]) == (color & 0xFFFFFF)) return i;
    return -1;
}

bool NaviBitmap::SetBkgndColor(COLORREF color) {
    const int index = FindPaletteColor(color);
    if (index < 0) return false;
    m_bkgndIndex = index;
    return true;
}

bool NaviBitmap::IsInside(int x, int y) const {
    return m_block && x >= 0 && y >= 0 && x < GetWidth() && y < GetHeight();
}

int NaviBitmap::GetPixelIndex(int x, int y) const {
    if (!m_block || GetBpp() > 8) return 0;
    if (!IsInside(x, y)) return m_bkgndIndex >= 0 ? m_bkgndIndex : 0;
    const BYTE* row = m_bits + static_cast<std::size_t>(y) * m_effWidth;
    switch (GetBpp()) {
    case 8: return row[x];
    case 4: return (row[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F;
    default: return (row[x / 8] >> (7 - x % 8)) & 1;
    }
}

bool NaviBitmap::SetPixelIndex(int x, int y, int index) {
    if (!IsInside(x, y) || GetBpp() > 8 || index < 0 || index >= static_cast<int>(m_header.biClrUsed)) return false;
    BYTE* row = m_bits + static_cast<std::size_t>(y) * m_effWidth;
    switch (GetBpp()) {
    case 8: row[x] = static_cast<BYTE>(index); break;
    case 4: {
        const int shift = (x % 2) ? 0 : 4;
        row[x / 2] = static_cast<BYTE>((row[x / 2] & ~(0x0F << shift)) | (index << shift));
        break;
    }
    default: {
        const int shift = 7 - x % 8;
        row[x / 8] = static_cast<BYTE>((row[x / 8] & ~(1 << shift)) | (index << shift));
        break;
    }
    }
    return true;
}

RGBQUAD NaviBitmap::GetPixelColor(int x, int y) const {
    if (!IsInside(x, y)) return RGBQUAD{};
    if (GetBpp() == 24) {
        const BYTE* p = m_bits + static_cast<std::size_t>(y) * m_effWidth + x * 3;
        return RGBQUAD{p[0], p[1], p[2], 0};
    }
    return GetPaletteColor(GetPixelIndex(x, y));
}

bool NaviBitmap::SetPixelColor(int x, int y, RGBQUAD color) {
    return SetPixelColor(x, y, RGBQUADtoRGB(color));
}

bool NaviBitmap::SetPixelColor(int x, int y, COLORREF color) {
    if (!IsInside(x, y)) return false;
    if (GetBpp() == 24) {
        BYTE* p = m_bits + static_cast<std::size_t>(y) * m_effWidth + x * 3;
        p[0] = GetBValue(color);
        p[1] = GetGValue(color);
        p[2] = GetRValue(color);
        return true;
    }
    return SetPixelIndex(x, y, GetNearestIndex(color));
}

RGBQUAD NaviBitmap::RGBtoRGBQUAD(COLORREF color) {
    return RGBQUAD{GetBValue(color), GetGValue(color), GetRValue(color), 0};
}

COLORREF NaviBitmap::RGBQUADtoRGB(RGBQUAD quad) {
    return RGB(quad.rgbRed, quad.rgbGreen, quad.rgbBlue);
}

void NaviBitmap::Clear(BYTE value) {
    if (m_block) std::memset(m_bits, value, m_header.biSizeImage);
}

HLOCAL NaviBitmap::CopyToHandle(HLOCAL previous) const {
    if (previous) LocalFree(previous);
    if (!m_block) return nullptr;
    HLOCAL block = LocalAlloc(LHND, m_block->size());
    if (!block) return nullptr;
    std::memcpy(LocalLock(block), m_block->data(), m_block->size());
    LocalUnlock(block);
    return block;
}

void NaviBitmap::BlendPalette(COLORREF color, int percent) {
    RGBQUAD* palette = GetPalette();
    if (!palette) return;
    percent = std::clamp(percent, 0, 100);
    for (int i = 0; i < static_cast<int>(m_header.biClrUsed); ++i) {
        palette[i].rgbRed = static_cast<BYTE>((palette[i].rgbRed * (100 - percent) + GetRValue(color) * percent) / 100);
        palette[i].rgbGreen =
            static_cast<BYTE>((palette[i].rgbGreen * (100 - percent) + GetGValue(color) * percent) / 100);
        palette[i].rgbBlue = static_cast<BYTE>((palette[i].rgbBlue * (100 - percent) + GetBValue(color) * percent) / 100);
    }
}

RGBQUAD NaviBitmap::RGBtoHSL(RGBQUAD rgb) {
    const int r = rgb.rgbRed, g = rgb.rgbGreen, b = rgb.rgbBlue;
    const int maxC = std::max({r, g, b}), minC = std::min({r, g, b});
    const int l = ((maxC + minC) * 240 + 255) / 510;
    int s = 0, h = 160;
    if (maxC != minC) {
        const int sum = maxC + minC, delta = maxC - minC;
        s = l <= 120 ? (delta * 240 + sum / 2) / sum : (delta * 240 + (510 - sum) / 2) / (510 - sum);
        const int rd = ((maxC - r) * 40 + delta / 2) / delta;
        const int gd = ((maxC - g) * 40 + delta / 2) / delta;
        const int bd = ((maxC - b) * 40 + delta / 2) / delta;
        if (r == maxC) h = bd - gd;
        else if (g == maxC) h = 80 + rd - bd;
        else h = 160 + gd - rd;
        if (h < 0) h += 240;
        if (h > 240) h -= 240;
    }
    return RGBQUAD{Clamp255(l), Clamp255(s), Clamp255(h), 0};
}

RGBQUAD NaviBitmap::HSLtoRGB(RGBQUAD hsl) {
    const int l = hsl.rgbBlue, s = hsl.rgbGreen, h = hsl.rgbRed;
    if (s == 0) {
        const BYTE v = Clamp255(l * 255 / 240);
        return RGBQUAD{v, v, v, 0};
    }
    const int m2 = l <= 120 ? (l * (240 + s) + 120) / 240 : l + s - (l * s + 120) / 240;
    const int m1 = 2 * l - m2;
    const int r = (Hue(m1, m2, h + 80) * 255 + 120) / 240;
    const int g = (Hue(m1, m2, h) * 255 + 120) / 240;
    const int b = (Hue(m1, m2, h - 80) * 255 + 120) / 240;
    return RGBQUAD{Clamp255(b), Clamp255(g), Clamp255(r), 0};
}

void NaviBitmap::RGBtoBGR(BYTE* row, int length) {
    if (!row) return;
    for (int i = 0; i + 2 < length; i += 3) std::swap(row[i], row[i + 2]);
}

void NaviBitmap::ForEachColour(COLORREF (*change)(COLORREF, const void*), const void* context) {
    if (!m_block) return;
    if (RGBQUAD* palette = GetPalette()) {
        for (int i = 0; i < static_cast<int>(m_header.biClrUsed); ++i)
            palette[i] = RGBtoRGBQUAD(change(RGBQUADtoRGB(palette[i]), context));
        return;
    }
    for (int y = 0; y < GetHeight(); ++y) {
        BYTE* p = m_bits + static_cast<std::size_t>(y) * m_effWidth;
        for (int x = 0; x < GetWidth(); ++x, p += 3) {
            const COLORREF c = change(RGB(p[2], p[1], p[0]), context);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    }
}

void NaviBitmap::GrayScale() {
    ForEachColour(
        [](COLORREF c, const void*) -> COLORREF {
            const int grey = (30 * GetRValue(c) + 59 * GetGValue(c) + 11 * GetBValue(c)) / 100;
            return RGB(grey, grey, grey);
        },
        nullptr);
}

void NaviBitmap::SwapColors(COLORREF a, COLORREF b) {
    const COLORREF pair[2] = {a & 0xFFFFFF, b & 0xFFFFFF};
    ForEachColour(
        [](COLORREF c, const void* context) -> COLORREF {
            const auto* p = static_cast<const COLORREF*>(context);
            return c == p[0] ? p[1] : c == p[1] ? p[0] : c;
        },
        pair);
}

bool NaviBitmap::Rotate(double angle) {
    if (!m_block) return false;
    const double a = -angle * 3.14159265358979323846 / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const double w = GetWidth(), h = GetHeight();
    const double xs[4] = {0, w, 0, w}, ys[4] = {0, 0, h, h};
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        const double rx = xs[i] * c - ys[i] * s, ry = xs[i] * s + ys[i] * c;
        if (i == 0 || rx < minX) minX = rx;
        if (i == 0 || rx > maxX) maxX = rx;
        if (i == 0 || ry < minY) minY = ry;
        if (i == 0 || ry > maxY) maxY = ry;
    }
    const int nw = std::max(1, static_cast<int>(std::lround(maxX - minX)));
    const int nh = std::max(1, static_cast<int>(std::lround(maxY - minY)));
    NaviBitmap rotated(nw, nh, GetBpp());
    if (rotated.IsEmpty()) return false;
    if (const RGBQUAD* palette = GetPalette()) rotated.SetPalette(palette, static_cast<int>(m_header.biClrUsed));
    rotated.m_bkgndIndex = m_bkgndIndex;
    // Uncovered pixels take the top-left pixel of the picture, the colour transparent drawing cuts.
    const int cornerY = GetHeight() - 1;
    for (int y = 0; y < nh; ++y) {
        for (int x = 0; x < nw; ++x) {
            const double dx = x + 0.5 + minX, dy = y + 0.5 + minY;
            // Inverse rotation back into the source.
            const int sx = static_cast<int>(std::floor(dx * c + dy * s));
            const int sy = static_cast<int>(std::floor(-dx * s + dy * c));
            const bool inside = IsInside(sx, sy);
            if (GetBpp() <= 8)
                rotated.SetPixelIndex(x, y, GetPixelIndex(inside ? sx : 0, inside ? sy : cornerY));
            else
                rotated.SetPixelColor(x, y, GetPixelColor(inside ? sx : 0, inside ? sy : cornerY));
        }
    }
    const int valid = m_valid;
    const int type = m_imageType;
    Transfer(rotated);
    m_valid = valid;
    m_imageType = type;
    return true;
}

std::vector<BYTE> NaviBitmap::BitmapInfoBytes(bool fullTable) const {
    std::vector<BYTE> info(kHeaderBytes + 256 * sizeof(RGBQUAD), 0);
    std::memcpy(info.data(), &m_header, kHeaderBytes);
    const std::size_t entries = fullTable ? 256 : m_header.biClrUsed;
    if (const RGBQUAD* palette = GetPalette())
        std::memcpy(info.data() + kHeaderBytes, palette, std::min<std::size_t>(entries, m_header.biClrUsed) * 4);
    return info;
}

bool NaviBitmap::CreateDibSection(HDC dc) {
    if (m_hbitmap) return true;
    if (!m_block) return false;
    std::vector<BYTE> info = BitmapInfoBytes(true);
    void* bits = nullptr;
    HDC screen = dc ? dc : CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
    m_hbitmap = CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits,
                                 nullptr, 0);
    if (!dc) DeleteDC(screen);
    if (!m_hbitmap || !bits) {
        DeleteSection();
        return false;
    }
    m_dibBits = bits;
    std::memcpy(bits, m_bits, m_header.biSizeImage);
    return true;
}

int NaviBitmap::CreateDibSection(HBITMAP* out) {
    if (!out) return 0;
    *out = nullptr;
    if (!m_block) return 0;
    std::vector<BYTE> info = BitmapInfoBytes(false);
    void* bits = nullptr;
    HDC screen = CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
    HBITMAP section =
        CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0);
    DeleteDC(screen);
    if (section && bits) std::memcpy(bits, m_bits, m_header.biSizeImage);
    *out = section;
    return 1;
}

int NaviBitmap::Draw(HDC dc, int x, int y, int width, int height) {
    if (!m_valid || !m_block || !dc) return 0;
    if (!CreateDibSection(dc)) return 0;
    if (width == -1) width = GetWidth();
    if (height == -1) height = GetHeight();
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return 0;
    HGDIOBJ old = SelectObject(memory, m_hbitmap);
    if (!m_transparent)
        BitBlt(dc, x, y, width, height, memory, 0, 0, SRCCOPY);
    else
        TransparentImage(dc, x, y, width, height, memory, 0, 0, width, height, GetPixel(memory, 0, 0));
    SelectObject(memory, old);
    DeleteDC(memory);
    return 1;
}

int NaviBitmap::Tile(HDC dc, const RECT* rc) {
    if (!m_block || !dc || !rc) return 0;
    const int w = GetWidth(), h = GetHeight();
    const int spanX = rc->right - rc->left, spanY = rc->bottom - rc->top;
    for (int y = 0; y < spanY; y += h)
        for (int x = 0; x < spanX; x += w) Draw(dc, rc->left + x, rc->top + y);
    return 1;
}
