// The trackbar ("msctls_trackbar32").
#include "platform/window/ControlSupport.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nativectl {

namespace {

struct TrackbarState : ControlState {
    int min = 0;
    int max = 100;
    int pos = 0;
    int page = 0; // 0: a fifth of the range
    int line = 1;
    bool dragging = false;
    bool paging = false;
};

constexpr int kThumb = 10; // thumb length along the channel
constexpr int kMargin = 4; // channel ends

bool Vertical(HWND hwnd) {
    return (Style(hwnd) & TBS_VERT) != 0;
}

int ChannelLength(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int length = Vertical(hwnd) ? rc.bottom : rc.right;
    return std::max(1, length - 2 * kMargin - kThumb);
}

int ThumbStart(HWND hwnd, TrackbarState* s) {
    const int range = s->max - s->min;
    if (range <= 0) return kMargin;
    return kMargin + static_cast<int>(static_cast<long long>(s->pos - s->min) * ChannelLength(hwnd) / range);
}

RECT ThumbRect(HWND hwnd, TrackbarState* s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int a = ThumbStart(hwnd, s);
    if (Vertical(hwnd)) return RECT{2, a, rc.right - 2, a + kThumb};
    return RECT{a, 2, a + kThumb, rc.bottom - 2};
}

int PosFromPoint(HWND hwnd, TrackbarState* s, POINT p) {
    const int along = Vertical(hwnd) ? p.y : p.x;
    const int range = s->max - s->min;
    if (range <= 0) return s->min;
    const long long offset = along - kMargin - kThumb / 2;
    const long long length = ChannelLength(hwnd);
    long long pos = s->min + (offset * range + (offset >= 0 ? length / 2 : -length / 2)) / length;
    return static_cast<int>(std::clamp<long long>(pos, s->min, s->max));
}

void TrackNotify(HWND hwnd, int code, int pos) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    SendMessageW(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos),
                 reinterpret_cast<LPARAM>(hwnd));
}

void SetTrackPos(HWND hwnd, TrackbarState* s, int pos) {
    pos = std::clamp(pos, s->min, std::max(s->min, s->max));
    if (pos == s->pos) return;
    s->pos = pos;
    InvalidateRect(hwnd, nullptr, TRUE);
}

} // namespace

LRESULT TrackbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TrackbarState* s = State<TrackbarState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) return common;
    switch (message) {
    case WM_PAINT:
        return PaintWith(hwnd, [&](HDC dc) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            HBRUSH brush = CtlColor(hwnd, dc, WM_CTLCOLORSTATIC, COLOR_BTNFACE);
            FillRect(dc, &rc, brush);
            RECT channel = Vertical(hwnd)
                               ? RECT{rc.right / 2 - 2, kMargin, rc.right / 2 + 2, rc.bottom - kMargin}
                               : RECT{kMargin, rc.bottom / 2 - 2, rc.right - kMargin, rc.bottom / 2 + 2};
            Fill(dc, channel, GetSysColor(COLOR_WINDOW));
            Frame(dc, channel, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
            const RECT thumb = ThumbRect(hwnd, s);
            Fill(dc, thumb, GetSysColor(s->dragging ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
            Frame(dc, thumb, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
        });
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN: {
        if (GetFocus() != hwnd) SetFocus(hwnd);
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT thumb = ThumbRect(hwnd, s);
        SetCapture(hwnd);
        if (PtInRect(&thumb, p)) {
            s->dragging = true;
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        // Beside the thumb: one page towards the pen.
        s->paging = true;
        const int page = s->page > 0 ? s->page : std::max(1, (s->max - s->min) / 5);
        const int along = Vertical(hwnd) ? p.y : p.x;
        const bool before = along < (Vertical(hwnd) ? thumb.top : thumb.left);
        SetTrackPos(hwnd, s, s->pos + (before ? -page : page));
        TrackNotify(hwnd, before ? SB_PAGEUP : SB_PAGEDOWN, s->pos);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (s->dragging) {
            const int pos = PosFromPoint(hwnd, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (pos != s->pos) {
                SetTrackPos(hwnd, s, pos);
                TrackNotify(hwnd, SB_THUMBTRACK, s->pos);
            }
        }
        return 0;
    case WM_LBUTTONUP: {
        const bool dragging = s->dragging;
        const bool paging = s->paging;
        s->dragging = false;
        s->paging = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        if (dragging) {
            InvalidateRect(hwnd, nullptr, TRUE);
            TrackNotify(hwnd, SB_THUMBPOSITION, s->pos);
        }
        if ((dragging || paging) && IsWindow(hwnd))
            TrackNotify(hwnd, SB_ENDSCROLL, State<TrackbarState>(hwnd)->pos);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (s->dragging && reinterpret_cast<HWND>(lParam) != hwnd) {
            s->dragging = false;
            InvalidateRect(hwnd, nullptr, TRUE);
        }
        return 0;
    case WM_KEYDOWN: {
        int code = -1;
        int pos = s->pos;
        if (wParam == VK_LEFT || wParam == VK_UP) {
            code = SB_LINEUP;
            pos -= s->line;
        } else if (wParam == VK_RIGHT || wParam == VK_DOWN) {
            code = SB_LINEDOWN;
            pos += s->line;
        }
        if (code < 0) return 0;
        SetTrackPos(hwnd, s, pos);
        TrackNotify(hwnd, code, s->pos);
        if (IsWindow(hwnd)) TrackNotify(hwnd, SB_ENDSCROLL, State<TrackbarState>(hwnd)->pos);
        return 0;
    }
    case TBM_GETPOS:
        return s->pos;
    case TBM_GETRANGEMIN:
        return s->min;
    case TBM_GETRANGEMAX:
        return s->max;
    case TBM_SETPOS:
        SetTrackPos(hwnd, s, static_cast<int>(lParam));
        return 0;
    case TBM_SETRANGE:
        s->min = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)));
        s->max = static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam)));
        if (s->max < s->min) s->max = s->min;
        s->pos = std::clamp(s->pos, s->min, s->max);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case TBM_SETRANGEMIN:
        s->min = static_cast<int>(lParam);
        if (s->max < s->min) s->max = s->min;
        s->pos = std::clamp(s->pos, s->min, s->max);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case TBM_SETRANGEMAX:
        s->max = std::max(s->min, static_cast<int>(lParam));
        s->pos = std::clamp(s->pos, s->min, s->max);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case TBM_SETPAGESIZE: {
        const int old = s->page > 0 ? s->page : std::max(1, (s->max - s->min) / 5);
        s->page = static_cast<int>(lParam);
        return old;
    }
    case TBM_GETPAGESIZE:
        return s->page > 0 ? s->page : std::max(1, (s->max - s->min) / 5);
    case TBM_SETLINESIZE: {
        const int old = s->line;
        s->line = std::max(1, static_cast<int>(lParam));
        return old;
    }
    case TBM_GETTHUMBRECT:
        if (lParam) *reinterpret_cast<RECT*>(lParam) = ThumbRect(hwnd, s);
        return 0;
    case TBM_GETCHANNELRECT:
        if (lParam) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            *reinterpret_cast<RECT*>(lParam) =
                Vertical(hwnd) ? RECT{rc.right / 2 - 2, kMargin, rc.right / 2 + 2, rc.bottom - kMargin}
                               : RECT{kMargin, rc.bottom / 2 - 2, rc.right - kMargin, rc.bottom / 2 + 2};
        }
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace nativectl
