// Off-screen painting for the skinned dialogs: a bitmap compatible with the screen (or, when the
// device cannot make one, a 24-bit DIB section), and a surface that a dialog paints into and then
// copies to its window in one blit.
#pragma once

#include "platform/gdi/AfxGdi.h"

// A compatible bitmap, else a 24-bit DIB section of the same size on the same context.
HBITMAP CreateScreenBitmap(HDC dc, int width, int height);

class NaviCanvas {
public:
    NaviCanvas() = default;
    NaviCanvas(const NaviCanvas&) = delete;
    NaviCanvas& operator=(const NaviCanvas&) = delete;
    ~NaviCanvas();

    // A memory context compatible with dc holding a bitmap of rc's size, cleared to the context's
    // background colour and attached to target. 0 (nothing attached) when no bitmap can be made.
    int Create(CDC* dc, RECT rc, CDC* target);
    void Blit(CDC* dst, CDC* src);
    void BlitAnd(CDC* dst, int x, int y, CDC* src, int srcX, int srcY, int width);
    void Release(CDC* dc);

private:
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    RECT m_rect{};
};
