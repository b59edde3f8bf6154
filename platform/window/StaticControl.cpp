// Static text, icons and bitmaps ("STATIC").
#include "platform/window/ControlSupport.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nativectl {

namespace {

struct StaticState : ControlState {
    HANDLE image = nullptr;
};

} // namespace

LRESULT StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    StaticState* s = State<StaticState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) return common;
    switch (message) {
    case WM_PAINT:
        return PaintWith(hwnd, [&](HDC dc) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            SelectFont(dc, s->font);
            HBRUSH brush = CtlColor(hwnd, dc, WM_CTLCOLORSTATIC, COLOR_BTNFACE);
            FillRect(dc, &rc, brush);
            const DWORD type = Style(hwnd) & SS_TYPEMASK;
            if (type == SS_ICON && s->image) {
                DrawIconEx(dc, 0, 0, static_cast<HICON>(s->image), 0, 0, 0, nullptr, DI_NORMAL);
            } else if (type == SS_BITMAP && s->image) {
                DrawBitmap(dc, static_cast<HBITMAP>(s->image), 0, 0);
            } else {
                SetBkMode(dc, TRANSPARENT);
                if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
                UINT format = DT_WORDBREAK;
                if (type == SS_CENTER) format |= DT_CENTER;
                if (type == SS_RIGHT) format |= DT_RIGHT;
                if (Style(hwnd) & SS_CENTERIMAGE)
                    format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
                DrawString(dc, WindowText(hwnd), rc, format);
            }
        });
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case STM_SETIMAGE: {
        HANDLE old = s->image;
        s->image = reinterpret_cast<HANDLE>(lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETIMAGE:
        return reinterpret_cast<LRESULT>(s->image);
    case WM_LBUTTONUP:
        if (Style(hwnd) & SS_NOTIFY) Command(hwnd, 0);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace nativectl
