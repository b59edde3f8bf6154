#include "platform/window/ScrollBarSupport.h"

#include "platform/window/ControlSupport.h"

#include <algorithm>

namespace nativectl {

RECT ScrollThumb(const RECT& bar, const ScrollRange& r) {
    const int trackTop = bar.top + kScrollBarWidth;
    const int track = std::max(0, bar.bottom - kScrollBarWidth - trackTop);
    const int per = std::max(1, r.per);
    const int length = std::min(track, std::max(6, r.count > 0 ? track * per / r.count : track));
    const int range = std::max(1, r.count - per);
    const int offset = (track - length) * std::clamp(r.top, 0, range) / range;
    return RECT{bar.left, trackTop + offset, bar.right, trackTop + offset + length};
}

int ScrollTopFromThumb(const RECT& bar, const ScrollRange& r, int y) {
    const RECT thumb = ScrollThumb(bar, r);
    const int trackTop = bar.top + kScrollBarWidth;
    const int free = std::max(1, bar.bottom - kScrollBarWidth - trackTop - (thumb.bottom - thumb.top));
    const int range = std::max(0, r.count - r.per);
    const int offset = std::clamp(y - trackTop, 0, free);
    return (offset * range + free / 2) / free;
}

void PaintScrollBar(HDC dc, const RECT& bar, const ScrollRange& r) {
    Fill(dc, bar, GetSysColor(COLOR_SCROLLBAR));
    const RECT up{bar.left, bar.top, bar.right, bar.top + kScrollBarWidth};
    const RECT down{bar.left, bar.bottom - kScrollBarWidth, bar.right, bar.bottom};
    for (const RECT& box : {up, down}) {
        Fill(dc, box, GetSysColor(COLOR_BTNFACE));
        Frame(dc, box, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    }
    const RECT thumb = ScrollThumb(bar, r);
    Fill(dc, thumb, GetSysColor(COLOR_BTNFACE));
    Frame(dc, thumb, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
}

void ScrollSend(HWND hwnd, int code, int pos) {
    SendMessageW(hwnd, WM_VSCROLL, MAKEWPARAM(code, pos), 0);
}

bool ScrollBarPenDown(HWND hwnd, ScrollBarTrack& t, const RECT& bar, const ScrollRange& r, POINT p) {
    if (!PtInRect(&bar, p)) return false;
    const RECT thumb = ScrollThumb(bar, r);
    t.tracking = true;
    SetCapture(hwnd);
    if (p.y < bar.top + kScrollBarWidth) {
        ScrollSend(hwnd, SB_LINEUP, 0);
    } else if (p.y >= bar.bottom - kScrollBarWidth) {
        ScrollSend(hwnd, SB_LINEDOWN, 0);
    } else if (p.y < thumb.top) {
        ScrollSend(hwnd, SB_PAGEUP, 0);
    } else if (p.y >= thumb.bottom) {
        ScrollSend(hwnd, SB_PAGEDOWN, 0);
    } else {
        t.dragging = true;
        t.grab = p.y - thumb.top;
    }
    return true;
}

bool ScrollBarPenMove(HWND hwnd, ScrollBarTrack& t, const RECT& bar, const ScrollRange& r, int y) {
    if (!t.dragging) return false;
    const int top = ScrollTopFromThumb(bar, r, y - t.grab);
    if (top != r.top) ScrollSend(hwnd, SB_THUMBTRACK, top);
    return true;
}

void ScrollBarCaptureLost(HWND hwnd, ScrollBarTrack& t, HWND newCapture) {
    if (newCapture != hwnd) t.tracking = t.dragging = false;
}

bool ScrollNewTop(int code, int pos, const ScrollRange& r, int* top) {
    const int per = std::max(1, r.per);
    switch (code) {
    case SB_LINEUP:
        *top = r.top - 1;
        return true;
    case SB_LINEDOWN:
        *top = r.top + 1;
        return true;
    case SB_PAGEUP:
        *top = r.top - per;
        return true;
    case SB_PAGEDOWN:
        *top = r.top + per;
        return true;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        *top = pos;
        return true;
    case SB_TOP:
        *top = 0;
        return true;
    case SB_BOTTOM:
        *top = r.count;
        return true;
    default:
        return false;
    }
}

} // namespace nativectl
