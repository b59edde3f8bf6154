// The vertical scroll bar that list views and list boxes with WS_VSCROLL draw inside their own
// client area at the right edge: an arrow box at each end, the track between them and the thumb.
// The pen on it sends WM_VSCROLL to the control itself (a subclass sees every scroll first,
// SB_ENDSCROLL last): the arrows a line, the track beside the thumb a page, and dragging the
// thumb SB_THUMBTRACK with the new top row, then SB_THUMBPOSITION. Only the control files use it.
#pragma once

#include "platform/window/Controls.h"

namespace nativectl {

constexpr int kScrollBarWidth = 10;

// The pen's state on a control's bar.
struct ScrollBarTrack {
    bool tracking = false;
    bool dragging = false;
    int grab = 0; // pen offset into the thumb
};

// The rows a bar stands for: count rows, per of them on view, top the first on view.
struct ScrollRange {
    int count = 0;
    int per = 1;
    int top = 0;
};

// The thumb within the track of bar.
RECT ScrollThumb(const RECT& bar, const ScrollRange& r);
// The top row for a thumb whose top edge is at y.
int ScrollTopFromThumb(const RECT& bar, const ScrollRange& r, int y);
void PaintScrollBar(HDC dc, const RECT& bar, const ScrollRange& r);

// Pen down at p: false when p is not on the bar. On it, the arrows and the track scroll at once
// and a press on the thumb starts a drag; the control holds the capture until the pen goes up.
bool ScrollBarPenDown(HWND hwnd, ScrollBarTrack& t, const RECT& bar, const ScrollRange& r, POINT p);
// While dragging: SB_THUMBTRACK when the pen at y moves the top row. False when not dragging.
bool ScrollBarPenMove(HWND hwnd, ScrollBarTrack& t, const RECT& bar, const ScrollRange& r, int y);
// Pen up: ends the drag (SB_THUMBPOSITION with the top row) and the scroll (SB_ENDSCROLL).
// topAfter gives the control's top row once the drag is over. False when the bar was not in use.
template <class TopAfter> bool ScrollBarPenUp(HWND hwnd, ScrollBarTrack& t, TopAfter topAfter);
// The capture went elsewhere: the bar lets go.
void ScrollBarCaptureLost(HWND hwnd, ScrollBarTrack& t, HWND newCapture);

// The new top row for a WM_VSCROLL code (unclamped); false for codes that do not move.
bool ScrollNewTop(int code, int pos, const ScrollRange& r, int* top);

void ScrollSend(HWND hwnd, int code, int pos);

template <class TopAfter> bool ScrollBarPenUp(HWND hwnd, ScrollBarTrack& t, TopAfter topAfter) {
    if (!t.tracking) return false;
    const bool dragging = t.dragging;
    t.tracking = false;
    t.dragging = false;
    if (GetCapture() == hwnd) ReleaseCapture();
    if (dragging) ScrollSend(hwnd, SB_THUMBPOSITION, topAfter());
    if (IsWindow(hwnd)) ScrollSend(hwnd, SB_ENDSCROLL, 0);
    return true;
}

} // namespace nativectl
