// CDibSurface: a 24-bit DIB section whose pixels the map code reads and writes directly, with a
// memory device context made on demand for blitting. The map uses it to tint the screen behind
// label texts: copy an area in, change the pixels, copy it back.
#pragma once

#include "platform/gdi/AfxGdi.h"

class CDibSurface {
public:
    CDibSurface() = default;
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;
    virtual ~CDibSurface();

    // Makes the DIB section (deleting a previous one). Returns 1 even when the section could not
    // be made: callers check GetPixels. A width or height <= 0 makes nothing.
    int Create(int width, int height);
    // The pixel-filling forms return 1 when the pixels were filled, 0 when there are none.
    int CreateFilled(int width, int height, DWORD value);
    int CreateFromBitmap(HBITMAP bitmap);
    int CreateFromDC(CDC* dc, int left, int top, int right, int bottom);
    int CreateFromDC(HDC dc, int left, int top, int right, int bottom);
    // rgb: top-down rows of width x 3 bytes, red, green, blue.
    int CreateFromRGB(const BYTE* rgb, int width, int height);

    // Copies width x height pixels to (x, y) of dc; the BitBlt result, 0 when nothing was drawn.
    int DrawTo(CDC* dc, int x, int y);
    int DrawTo(HDC dc, int x, int y);

    // The surface's own memory device context with the bitmap selected; null when it cannot be made.
    CDC* GetDC();
    void ReleaseDC();

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // Pixels per row in memory: the width rounded up to a multiple of 4.
    int GetRowLength() const { return m_rowLength; }
    int GetRowBytes() const { return m_rowLength * 3; }
    int GetImageSize() const { return m_rowLength * 3 * m_height; }
    // Bottom-up rows, blue, green, red; null when the section could not be made.
    BYTE* GetPixels() const { return m_pixels; }
    HBITMAP GetBitmap() const { return m_bitmap; }
    // Byte offset of the pixel (x, y) counted from the top-left.
    int PixelOffset(int x, int y) const { return ((m_height - y - 1) * m_rowLength + x) * 3; }
    // Hands the bitmap to the caller, who then owns it; the surface is left empty.
    HBITMAP DetachBitmap();

private:
    void DeleteBitmap();

    int m_width = 0;
    int m_height = 0;
    int m_rowLength = 0;
    BYTE* m_pixels = nullptr;
    HBITMAP m_bitmap = nullptr;
    CDC* m_dc = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
};

// A bitmap made from a top-down RGB buffer; the caller owns it. Null when it cannot be made.
HBITMAP CreateBitmapFromRGB(const BYTE* rgb, int width, int height);
