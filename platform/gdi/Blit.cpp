// BitBlt, PatBlt and TransparentImage. Pixels pass between formats as COLORREF values, so 24-
// and 32-bit bitmaps exchange colours losslessly and palette bitmaps give their palette colours.
#include "platform/gdi/GdiInternal.h"

#include <algorithm>
#include <cstring>

using namespace gdi;

namespace {

bool NeedsSource(DWORD rop) {
    return rop == SRCCOPY || rop == SRCPAINT || rop == SRCAND || rop == SRCINVERT || rop == NOTSRCCOPY;
}

COLORREF Combine(DWORD rop, COLORREF src, COLORREF dst) {
    switch (rop) {
    case SRCPAINT:
        return (src | dst) & 0xFFFFFF;
    case SRCAND:
        return src & dst & 0xFFFFFF;
    case SRCINVERT:
        return (src ^ dst) & 0xFFFFFF;
    case NOTSRCCOPY:
        return ~src & 0xFFFFFF;
    default:
        return src & 0xFFFFFF;
    }
}

// The source pixels as a snapshot when source and destination share a bitmap, so an
// overlapping copy reads what was there before.
struct SourceView {
    const Bitmap* bitmap = nullptr;
    std::unique_ptr<Bitmap> copy;
    int offsetX = 0; // added to source coordinates to index the copy
    int offsetY = 0;

    COLORREF Get(int x, int y) const { return bitmap->GetColor(x + offsetX, y + offsetY); }
};

// Copies a w x h block from source (sx, sy) to destination device (dx, dy), clipped to the
// source bitmap and to the destination's clip rectangles. keyed: skip source pixels of key.
void Transfer(Target& target, const Bitmap& source, int dx, int dy, int w, int h, int sx, int sy, DWORD rop,
              bool keyed, COLORREF key) {
    if (w <= 0 || h <= 0 || target.Empty()) return;
    // Limit to the source bitmap.
    if (sx < 0) {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    w = std::min(w, source.Width() - sx);
    h = std::min(h, source.Height() - sy);
    if (w <= 0 || h <= 0) return;

    SourceView view;
    view.bitmap = &source;
    if (&source == target.bitmap) {
        view.copy = Bitmap::Make(w, h, source.BitCount(), false, false);
        if (!view.copy) return;
        view.copy->Palette() = source.Palette();
        view.copy->Set565(source.Is565());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) view.copy->SetColor(x, y, source.GetColor(sx + x, sy + y));
        view.bitmap = view.copy.get();
        view.offsetX = -sx;
        view.offsetY = -sy;
    }
    Bitmap& dest = *target.bitmap;
    const bool plainCopy = rop == SRCCOPY && !keyed;
    for (const RECT& c : target.clip) {
        const int x0 = std::max<int>(dx, c.left), x1 = std::min<int>(dx + w, c.right);
        const int y0 = std::max<int>(dy, c.top), y1 = std::min<int>(dy + h, c.bottom);
        if (x0 >= x1 || y0 >= y1) continue;
        for (int y = y0; y < y1; ++y) {
            const int srcY = sy + (y - dy);
            if (plainCopy && view.bitmap->BitCount() == 32 && dest.BitCount() == 32) {
                std::memcpy(dest.Row(y) + x0 * 4,
                            view.bitmap->Row(srcY + view.offsetY) + (sx + x0 - dx + view.offsetX) * 4,
                            static_cast<std::size_t>(x1 - x0) * 4);
                continue;
            }
            for (int x = x0; x < x1; ++x) {
                const COLORREF s = view.Get(sx + (x - dx), srcY);
                if (keyed && s == (key & 0xFFFFFF)) continue;
                dest.SetColor(x, y, plainCopy || keyed ? s : Combine(rop, s, dest.GetColor(x, y)));
            }
        }
    }
}

} // namespace

BOOL PatBlt(HDC handle, int x, int y, int width, int height, DWORD rop) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return FALSE;
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    Target target(*dc);
    if (target.Empty()) return TRUE;
    const int dx = x + target.org.x, dy = y + target.org.y;
    const Brush* brush = dc->Current().brush;
    for (const RECT& c : target.clip) {
        const int x0 = std::max<int>(dx, c.left), x1 = std::min<int>(dx + width, c.right);
        const int y0 = std::max<int>(dy, c.top), y1 = std::min<int>(dy + height, c.bottom);
        for (int yy = y0; yy < y1; ++yy) {
            switch (rop) {
            case BLACKNESS:
                target.bitmap->FillSpan(yy, x0, x1, 0);
                break;
            case WHITENESS:
                target.bitmap->FillSpan(yy, x0, x1, RGB(255, 255, 255));
                break;
            case PATCOPY:
                if (brush && brush->style == BS_SOLID) target.bitmap->FillSpan(yy, x0, x1, brush->color);
                break;
            case DSTINVERT:
                for (int xx = x0; xx < x1; ++xx)
                    target.bitmap->SetColor(xx, yy, ~target.bitmap->GetColor(xx, yy) & 0xFFFFFF);
                break;
            default:
                return FALSE;
            }
        }
    }
    return TRUE;
}

BOOL BitBlt(HDC destHandle, int x, int y, int width, int height, HDC srcHandle, int srcX, int srcY,
            DWORD rop) {
    DeviceContext* dest = ResolveDC(destHandle);
    if (!dest) return FALSE;
    if (!NeedsSource(rop)) return PatBlt(destHandle, x, y, width, height, rop);
    DeviceContext* src = ResolveDC(srcHandle);
    if (!src || !src->GetBitmap()) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    Target target(*dest);
    const POINT so = src->Current().viewportOrg;
    Transfer(target, *src->GetBitmap(), x + target.org.x, y + target.org.y, width, height, srcX + so.x,
             srcY + so.y, rop, false, 0);
    return TRUE;
}

BOOL TransparentImage(HDC destHandle, int x, int y, int width, int height, HANDLE srcHandle, int srcX,
                      int srcY, int srcWidth, int srcHeight, COLORREF transparent) {
    DeviceContext* dest = ResolveDC(destHandle);
    if (!dest) return FALSE;
    const Bitmap* source = nullptr;
    POINT so{0, 0};
    if (DeviceContext* src = ResolveDC(srcHandle)) {
        source = src->GetBitmap();
        so = src->Current().viewportOrg;
    } else {
        source = ResolveBitmapHandle(srcHandle);
    }
    if (!source || width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0) return FALSE;
    Target target(*dest);
    Transfer(target, *source, x + target.org.x, y + target.org.y, std::min(width, srcWidth),
             std::min(height, srcHeight), srcX + so.x, srcY + so.y, SRCCOPY, true, transparent);
    return TRUE;
}
