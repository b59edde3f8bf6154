#include "mapview/DibSurface.h"

#include <cstring>
#include <utility>

namespace {

// Widest and tallest surface the map asks for is the screen; this bound only keeps the size
// arithmetic inside 32 bits.
constexpr int kMaxSide = 16384;

} // namespace

CDibSurface::~CDibSurface() {
    if (m_bitmap) {
        ReleaseDC();
        DeleteBitmap();
    }
}

void CDibSurface::DeleteBitmap() {
    if (m_bitmap) ::DeleteObject(m_bitmap);
    m_bitmap = nullptr;
    m_pixels = nullptr;
}

int CDibSurface::Create(int width, int height) {
    // The old bitmap may still sit in the surface's device context: release that first.
    ReleaseDC();
    DeleteBitmap();
    if (width <= 0 || height <= 0) {
        m_width = m_height = m_rowLength = 0;
        return 1;
    }
    m_width = width;
    m_height = height;
    if (width > kMaxSide || height > kMaxSide) {
        m_rowLength = 0;
        return 1;
    }
    m_rowLength = (width + 3) / 4 * 4;

    BITMAPINFO info{};
    BITMAPINFOHEADER& h = info.bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = m_rowLength;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(m_rowLength * 3 * height);
    h.biXPelsPerMeter = 3780;
    h.biYPelsPerMeter = 3780;

    HDC screen = ::CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
    void* bits = nullptr;
    m_bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (screen) ::DeleteDC(screen);
    m_pixels = m_bitmap ? static_cast<BYTE*>(bits) : nullptr;
    if (!m_pixels) DeleteBitmap();
    return 1;
}

int CDibSurface::CreateFilled(int width, int height, DWORD value) {
    Create(width, height);
    if (!m_pixels) return 0;
    const BYTE b0 = static_cast<BYTE>(value), b1 = static_cast<BYTE>(value >> 8),
               b2 = static_cast<BYTE>(value >> 16);
    BYTE* p = m_pixels;
    const int pixels = m_rowLength * m_height;
    for (int i = 0; i < pixels; ++i, p += 3) {
        p[0] = b0;
        p[1] = b1;
        p[2] = b2;
    }
    return 1;
}

int CDibSurface::CreateFromBitmap(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof bm, &bm) == 0) {
        Create(0, 0);
        return 0;
    }
    Create(bm.bmWidth, bm.bmHeight);
    if (!m_pixels) return 0;
    HDC src = ::CreateCompatibleDC(nullptr);
    HDC dst = ::CreateCompatibleDC(nullptr);
    int done = 0;
    if (src && dst) {
        HGDIOBJ oldSrc = ::SelectObject(src, bitmap);
        HGDIOBJ oldDst = ::SelectObject(dst, m_bitmap);
        if (oldSrc && oldDst) done = ::BitBlt(dst, 0, 0, m_width, m_height, src, 0, 0, SRCCOPY) ? 1 : 0;
        if (oldSrc) ::SelectObject(src, oldSrc);
        if (oldDst) ::SelectObject(dst, oldDst);
    }
    if (src) ::DeleteDC(src);
    if (dst) ::DeleteDC(dst);
    return done;
}

int CDibSurface::CreateFromDC(CDC* dc, int left, int top, int right, int bottom) {
    return CreateFromDC(dc ? dc->GetSafeHdc() : nullptr, left, top, right, bottom);
}

int CDibSurface::CreateFromDC(HDC dc, int left, int top, int right, int bottom) {
    Create(right - left, bottom - top);
    if (!m_pixels || !dc) return 0;
    CDC* own = GetDC();
    if (!own) return 0;
    return ::BitBlt(own->GetSafeHdc(), 0, 0, m_width, m_height, dc, left, top, SRCCOPY) ? 1 : 0;
}

int CDibSurface::CreateFromRGB(const BYTE* rgb, int width, int height) {
    Create(width, height);
    if (!m_pixels || !rgb) return 0;
    for (int y = 0; y < m_height; ++y) {
        const BYTE* src = rgb + static_cast<std::size_t>(y) * m_width * 3;
        BYTE* dst = m_pixels + PixelOffset(0, y);
        for (int x = 0; x < m_width; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return 1;
}

int CDibSurface::DrawTo(CDC* dc, int x, int y) {
    return DrawTo(dc ? dc->GetSafeHdc() : nullptr, x, y);
}

int CDibSurface::DrawTo(HDC dc, int x, int y) {
    ReleaseDC();
    if (!dc || !m_bitmap || !m_pixels) return 0;
    HDC memory = ::CreateCompatibleDC(dc);
    if (!memory) return 0;
    int result = 0;
    HGDIOBJ old = ::SelectObject(memory, m_bitmap);
    if (old) {
        result = ::BitBlt(dc, x, y, m_width, m_height, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
    }
    ::DeleteDC(memory);
    return result;
}

CDC* CDibSurface::GetDC() {
    if (m_dc) return m_dc;
    if (!m_bitmap) return nullptr;
    auto* dc = new CDC;
    if (!dc->Attach(::CreateCompatibleDC(nullptr))) {
        delete dc;
        return nullptr;
    }
    m_oldBitmap = ::SelectObject(dc->GetSafeHdc(), m_bitmap);
    if (!m_oldBitmap) {
        delete dc; // deletes its device context
        return nullptr;
    }
    m_dc = dc;
    return m_dc;
}

void CDibSurface::ReleaseDC() {
    if (!m_dc) return;
    if (m_oldBitmap) ::SelectObject(m_dc->GetSafeHdc(), m_oldBitmap);
    m_oldBitmap = nullptr;
    m_dc->DeleteDC();
    delete m_dc;
    m_dc = nullptr;
}

HBITMAP CDibSurface::DetachBitmap() {
    ReleaseDC();
    m_pixels = nullptr;
    return std::exchange(m_bitmap, nullptr);
}

HBITMAP CreateBitmapFromRGB(const BYTE* rgb, int width, int height) {
    CDibSurface surface;
    if (!surface.CreateFromRGB(rgb, width, height)) return nullptr;
    return surface.DetachBitmap();
}
