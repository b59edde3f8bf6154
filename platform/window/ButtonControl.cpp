// The push button, check box, radio button and group box ("BUTTON").
#include "platform/window/ControlSupport.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nativectl {

namespace {

struct ButtonState : ControlState {
    bool checked = false;
    bool pushed = false;
    bool tracking = false;
    HBITMAP up = nullptr;
    HBITMAP down = nullptr;
    HBITMAP disabled = nullptr;
};

DWORD ButtonType(HWND hwnd) {
    return Style(hwnd) & BS_TYPEMASK;
}

bool IsRadio(DWORD type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

void ButtonClick(HWND hwnd) {
    ButtonState* s = State<ButtonState>(hwnd);
    const DWORD type = ButtonType(hwnd);
    if (type == BS_AUTOCHECKBOX) {
        s->checked = !s->checked;
        InvalidateRect(hwnd, nullptr, TRUE);
    } else if (type == BS_AUTORADIOBUTTON) {
        // The automatic radio buttons of the same group (from the WS_GROUP control before this one
        // up to the next WS_GROUP) lose their check.
        HWND parent = GetParent(hwnd);
        std::vector<HWND> siblings;
        for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) siblings.push_back(c);
        std::reverse(siblings.begin(), siblings.end()); // creation (template) order
        auto self = std::find(siblings.begin(), siblings.end(), hwnd);
        if (self != siblings.end()) {
            auto first = self;
            while (first != siblings.begin() && !(Style(*first) & WS_GROUP)) --first;
            auto last = self + 1;
            while (last != siblings.end() && !(Style(*last) & WS_GROUP)) ++last;
            for (auto it = first; it != last; ++it) {
                char16_t cls[16] = {};
                GetClassNameW(*it, cls, 16);
                if (std::u16string(cls) != u"BUTTON" && std::u16string(cls) != u"Button") continue;
                if (ButtonType(*it) != BS_AUTORADIOBUTTON) continue;
                SendMessageW(*it, BM_SETCHECK, *it == hwnd ? BST_CHECKED : BST_UNCHECKED, 0);
            }
        }
    }
    Command(hwnd, BN_CLICKED);
}

void PaintButton(HWND hwnd, ButtonState* s, HDC dc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    SelectFont(dc, s->font);
    HBRUSH brush = CtlColor(hwnd, dc, WM_CTLCOLORBTN, COLOR_BTNFACE);
    const bool enabled = IsWindowEnabled(hwnd);
    const DWORD style = Style(hwnd);
    const DWORD type = style & BS_TYPEMASK;
    const std::u16string text = WindowText(hwnd);
    SetBkMode(dc, TRANSPARENT);
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    if (style & BS_BITMAP) {
        HBITMAP image = !enabled && s->disabled ? s->disabled : (s->pushed && s->down ? s->down : s->up);
        if (image) {
            FillRect(dc, &rc, brush);
            DrawBitmap(dc, image, 0, 0);
            return;
        }
    }
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || IsRadio(type)) {
        FillRect(dc, &rc, brush);
        const int box = 10;
        const int top = (rc.bottom - box) / 2;
        RECT b{0, top, box, top + box};
        Fill(dc, b, GetSysColor(COLOR_WINDOW));
        Frame(dc, b, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
        if (s->checked) {
            RECT mark{3, top + 3, box - 3, top + box - 3};
            Fill(dc, mark, GetSysColor(COLOR_WINDOWTEXT));
        }
        RECT t{box + 4, 0, rc.right, rc.bottom};
        DrawString(dc, text, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    const bool down = s->pushed || ((style & BS_PUSHLIKE) && s->checked);
    FillRect(dc, &rc, brush);
    Frame(dc, rc, GetSysColor(down ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT),
          GetSysColor(down ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW));
    RECT t = rc;
    if (down) OffsetRect(&t, 1, 1);
    DrawString(dc, text, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (type == BS_DEFPUSHBUTTON) {
        RECT inner = rc;
        InflateRect(&inner, -1, -1);
        Frame(dc, inner, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
    }
}

} // namespace

LRESULT ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ButtonState* s = State<ButtonState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) return common;
    switch (message) {
    case WM_PAINT:
        return PaintWith(hwnd, [&](HDC dc) { PaintButton(hwnd, s, dc); });
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case WM_GETDLGCODE:
        return IsRadio(ButtonType(hwnd)) ? DLGC_WANTARROWS : 0;
    case WM_LBUTTONDOWN:
        if (ButtonType(hwnd) == BS_GROUPBOX) return 0;
        SetFocus(hwnd);
        s->pushed = true;
        s->tracking = true;
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_MOUSEMOVE:
        if (s->tracking) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            const bool inside = PtInRect(&rc, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (inside != s->pushed) {
                s->pushed = inside;
                InvalidateRect(hwnd, nullptr, TRUE);
            }
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!s->tracking) return 0;
        s->tracking = false;
        const bool click = s->pushed;
        s->pushed = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        InvalidateRect(hwnd, nullptr, TRUE);
        if (click) ButtonClick(hwnd); // the handler may destroy the button
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (s->tracking && reinterpret_cast<HWND>(lParam) != hwnd) {
            s->tracking = false;
            s->pushed = false;
            InvalidateRect(hwnd, nullptr, TRUE);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE) ButtonClick(hwnd);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case BM_GETCHECK:
        return s->checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
        if (s->checked != (wParam == BST_CHECKED)) {
            s->checked = wParam == BST_CHECKED;
            InvalidateRect(hwnd, nullptr, TRUE);
        }
        return 0;
    case BM_GETSTATE:
        return (s->checked ? BST_CHECKED : 0) | (s->pushed ? BST_PUSHED : 0) |
               (GetFocus() == hwnd ? BST_FOCUS : 0);
    case BM_SETSTATE:
        if (s->pushed != (wParam != 0)) {
            s->pushed = wParam != 0;
            InvalidateRect(hwnd, nullptr, TRUE);
        }
        return 0;
    case BM_CLICK:
        ButtonClick(hwnd);
        return 0;
    case BM_SETIMAGE: {
        HBITMAP* slot = wParam == IMAGE_BUTTON_DOWN       ? &s->down
                        : wParam == IMAGE_BUTTON_DISABLED ? &s->disabled
                                                          : &s->up;
        HBITMAP old = *slot;
        *slot = reinterpret_cast<HBITMAP>(lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case BM_GETIMAGE:
        return reinterpret_cast<LRESULT>(wParam == IMAGE_BUTTON_DOWN       ? s->down
                                         : wParam == IMAGE_BUTTON_DISABLED ? s->disabled
                                                                           : s->up);
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace nativectl
