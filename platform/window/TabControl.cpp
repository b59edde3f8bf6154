// The tab strip ("SysTabControl32").
#include "platform/window/ControlSupport.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nativectl {

namespace {

struct TabState : ControlState {
    std::vector<std::u16string> items;
    int cur = -1;
};

int TabHeight(HWND hwnd, TabState* s) {
    return LineHeightOf(hwnd, s->font) + 8;
}

std::vector<RECT> TabRects(HWND hwnd, TabState* s) {
    std::vector<RECT> out;
    HDC dc = GetDC(hwnd);
    SelectFont(dc, s->font);
    const int h = TabHeight(hwnd, s);
    int x = 0;
    for (const std::u16string& text : s->items) {
        const int w = TextWidth(dc, text) + 8;
        out.push_back(RECT{x, 0, x + w, h});
        x += w;
    }
    ReleaseDC(hwnd, dc);
    return out;
}

} // namespace

LRESULT TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TabState* s = State<TabState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) return common;
    const int count = static_cast<int>(s->items.size());
    switch (message) {
    case WM_PAINT:
        return PaintWith(hwnd, [&](HDC dc) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            SelectFont(dc, s->font);
            HBRUSH brush = CtlColor(hwnd, dc, WM_CTLCOLORSTATIC, COLOR_BTNFACE);
            FillRect(dc, &rc, brush);
            const int h = TabHeight(hwnd, s);
            RECT body{0, h - 1, rc.right, rc.bottom};
            Frame(dc, body, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
            SetBkMode(dc, TRANSPARENT);
            const std::vector<RECT> rects = TabRects(hwnd, s);
            for (int i = 0; i < count; ++i) {
                RECT r = rects[static_cast<std::size_t>(i)];
                if (i != s->cur) r.top += 2;
                Fill(dc, r, GetSysColor(COLOR_BTNFACE));
                Frame(dc, RECT{r.left, r.top, r.right, r.bottom + (i == s->cur ? 1 : 0)},
                      GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
                if (i == s->cur) {
                    RECT join{r.left + 1, r.bottom - 1, r.right - 1, r.bottom};
                    Fill(dc, join, GetSysColor(COLOR_BTNFACE));
                }
                DrawString(dc, s->items[static_cast<std::size_t>(i)], r,
                           DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            }
        });
    case WM_LBUTTONDOWN: {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const std::vector<RECT> rects = TabRects(hwnd, s);
        for (int i = 0; i < count; ++i) {
            if (!PtInRect(&rects[static_cast<std::size_t>(i)], p) || i == s->cur) continue;
            NMHDR nm;
            nm.code = TCN_SELCHANGING;
            if (Notify(hwnd, nm)) return 0; // the parent keeps the current tab
            if (!IsWindow(hwnd)) return 0;
            State<TabState>(hwnd)->cur = i;
            InvalidateRect(hwnd, nullptr, TRUE);
            NMHDR changed;
            changed.code = TCN_SELCHANGE;
            Notify(hwnd, changed);
            return 0;
        }
        return 0;
    }
    case TCM_INSERTITEMW: {
        auto* item = reinterpret_cast<const TCITEMW*>(lParam);
        if (!item) return -1;
        const int at = std::clamp(static_cast<int>(wParam), 0, count);
        s->items.insert(s->items.begin() + at,
                        (item->mask & TCIF_TEXT) && item->pszText ? item->pszText : u"");
        if (s->cur < 0)
            s->cur = 0;
        else if (s->cur >= at && count > 0)
            ++s->cur;
        InvalidateRect(hwnd, nullptr, TRUE);
        return at;
    }
    case TCM_DELETEALLITEMS:
        s->items.clear();
        s->cur = -1;
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case TCM_GETITEMCOUNT:
        return count;
    case TCM_GETCURSEL:
        return s->cur;
    case TCM_SETCURSEL: {
        const int i = static_cast<int>(wParam);
        if (i < 0 || i >= count) return -1;
        const int old = s->cur;
        s->cur = i;
        InvalidateRect(hwnd, nullptr, TRUE);
        return old;
    }
    case TCM_GETITEMRECT: {
        const int i = static_cast<int>(wParam);
        if (i < 0 || i >= count || !lParam) return FALSE;
        *reinterpret_cast<RECT*>(lParam) = TabRects(hwnd, s)[static_cast<std::size_t>(i)];
        return TRUE;
    }
    case TCM_ADJUSTRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r) return 0;
        const int h = TabHeight(hwnd, s);
        if (wParam) {
            r->top -= h;
            InflateRect(r, 1, 1);
        } else {
            r->top += h;
            InflateRect(r, -1, -1);
        }
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace nativectl
