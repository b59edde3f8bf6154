// The drop-down list combo box ("COMBOBOX").
#include "platform/window/ControlSupport.h"
#include "platform/window/ListBoxControl.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nativectl {

namespace {

struct ComboState : ControlState {
    ListBoxState list; // items and selection
    int dropHeight = 100;
    HWND popup = nullptr;
    bool focused = false;
};

void ComboCloseUp(HWND hwnd, ComboState* s) {
    if (!s->popup) return;
    HWND popup = s->popup;
    s->popup = nullptr;
    DestroyWindow(popup);
    InvalidateRect(hwnd, nullptr, TRUE);
    Command(hwnd, CBN_CLOSEUP);
}

void ComboDropDown(HWND hwnd, ComboState* s) {
    if (s->popup) return;
    Command(hwnd, CBN_DROPDOWN);
    RECT wr;
    GetWindowRect(hwnd, &wr);
    const int h = s->list.itemHeight > 0 ? s->list.itemHeight : LineHeightOf(hwnd, s->font) + 2;
    const int count = std::max<int>(1, static_cast<int>(s->list.items.size()));
    const int height = std::min(std::max(h + 2, s->dropHeight - (wr.bottom - wr.top)), count * h + 2);
    HWND root = hwnd;
    while (GetWindowLongW(root, GWL_STYLE) & WS_CHILD) root = GetParent(root);
    s->popup = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, u"ComboLBox", u"", WS_POPUP | WS_BORDER,
                               wr.left, wr.bottom, wr.right - wr.left, height, root, nullptr, nullptr, hwnd);
    if (!s->popup) return;
    ListBoxState* ls = State<ListBoxState>(s->popup);
    ls->combo = hwnd;
    ls->font = s->font;
    ls->items = s->list.items;
    ls->cur = s->list.cur;
    ls->itemHeight = h;
    if (ls->cur >= 0) {
        const int per = ListVisibleCount(s->popup, ls);
        if (ls->cur >= per) ls->top = ls->cur - per + 1;
    }
    ShowWindow(s->popup, SW_SHOWNA);
    InvalidateRect(hwnd, nullptr, TRUE);
}

constexpr UINT kComboListFirst = CB_GETCURSEL;

UINT ComboToList(UINT message) {
    switch (message) {
    case CB_ADDSTRING:
        return LB_ADDSTRING;
    case CB_INSERTSTRING:
        return LB_INSERTSTRING;
    case CB_DELETESTRING:
        return LB_DELETESTRING;
    case CB_RESETCONTENT:
        return LB_RESETCONTENT;
    case CB_GETCOUNT:
        return LB_GETCOUNT;
    case CB_GETCURSEL:
        return LB_GETCURSEL;
    case CB_GETLBTEXT:
        return LB_GETTEXT;
    case CB_GETLBTEXTLEN:
        return LB_GETTEXTLEN;
    case CB_GETITEMDATA:
        return LB_GETITEMDATA;
    case CB_SETITEMDATA:
        return LB_SETITEMDATA;
    default:
        return 0;
    }
}

} // namespace

void ComboSelect(HWND hwnd, int index) {
    auto* s = State<ComboState>(hwnd);
    const bool changed = index != s->list.cur;
    s->list.cur = index;
    ComboCloseUp(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
    if (changed) Command(hwnd, CBN_SELCHANGE);
}

// The list a combo box dropped down hands a tap back to it.
void ComboListCancel(HWND combo) {
    ComboCloseUp(combo, State<ComboState>(combo));
}

LRESULT ComboProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ComboState* s = State<ComboState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) {
        if (message == WM_SETFONT) s->list.font = s->font;
        return common;
    }
    const DWORD style = Style(hwnd);
    (void)kComboListFirst;
    if (const UINT lb = ComboToList(message)) {
        bool handled = false;
        s->list.combo = hwnd;
        const bool hasStrings = !(style & CBS_OWNERDRAWFIXED) || (style & CBS_HASSTRINGS);
        const LRESULT r = ListMessage(hwnd, &s->list, lb, wParam, lParam, hasStrings, &handled);
        // The dropped list shows a copy of the items: it closes when they change.
        if (message == CB_ADDSTRING || message == CB_INSERTSTRING || message == CB_DELETESTRING ||
            message == CB_RESETCONTENT)
            ComboCloseUp(hwnd, s);
        return r;
    }
    switch (message) {
    case WM_CREATE: {
        // The template's height is that of the dropped list; the box itself is one line high.
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        s->dropHeight = cs ? cs->cy : 100;
        s->list.combo = hwnd;
        const int h = LineHeightOf(hwnd, s->font) + 8;
        if (cs) SetWindowPos(hwnd, nullptr, 0, 0, cs->cx, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DESTROY:
        ComboCloseUp(hwnd, s);
        return 0;
    case WM_PAINT:
        return PaintWith(hwnd, [&](HDC dc) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            SelectFont(dc, s->font);
            HBRUSH brush = CtlColor(hwnd, dc, WM_CTLCOLOREDIT, COLOR_WINDOW);
            FillRect(dc, &rc, brush);
            Frame(dc, rc, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
            const int button = rc.bottom - rc.top;
            RECT arrow{rc.right - button, rc.top, rc.right, rc.bottom};
            Fill(dc, arrow, GetSysColor(COLOR_BTNFACE));
            Frame(dc, arrow, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
            const int cx = (arrow.left + arrow.right) / 2;
            const int cy = (arrow.top + arrow.bottom) / 2;
            POINT tri[3] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
            HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(4 /*BLACK_BRUSH*/));
            Polygon(dc, tri, 3);
            SelectObject(dc, oldBrush);
            RECT t{rc.left + 1, rc.top + 1, arrow.left, rc.bottom - 1};
            if (s->focused) {
                Fill(dc, t, GetSysColor(COLOR_HIGHLIGHT));
                SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            }
            if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            SetBkMode(dc, TRANSPARENT);
            if (s->list.cur >= 0 && s->list.cur < static_cast<int>(s->list.items.size())) {
                t.left += 2;
                DrawString(dc, s->list.items[static_cast<std::size_t>(s->list.cur)].text, t,
                           DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            }
        });
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
        if (GetFocus() != hwnd) SetFocus(hwnd);
        if (s->popup)
            ComboCloseUp(hwnd, s);
        else
            ComboDropDown(hwnd, s);
        return 0;
    case WM_KEYDOWN: {
        const int count = static_cast<int>(s->list.items.size());
        int next = s->list.cur;
        if (wParam == VK_UP) next = std::max(0, s->list.cur - 1);
        if (wParam == VK_DOWN) next = std::min(count - 1, s->list.cur + 1);
        if (next != s->list.cur && next >= 0) ComboSelect(hwnd, next);
        return 0;
    }
    case WM_SETFOCUS:
        s->focused = true;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        ComboCloseUp(hwnd, s);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case CB_SETCURSEL: {
        const int i = static_cast<int>(static_cast<std::intptr_t>(wParam));
        const bool ok = i >= 0 && i < static_cast<int>(s->list.items.size());
        s->list.cur = ok ? i : -1;
        InvalidateRect(hwnd, nullptr, TRUE);
        return ok ? i : CB_ERR;
    }
    case CB_FINDSTRINGEXACT: {
        const std::u16string text = Text(lParam);
        for (std::size_t i = 0; i < s->list.items.size(); ++i)
            if (s->list.items[i].text == text) return static_cast<LRESULT>(i);
        return CB_ERR;
    }
    case CB_SHOWDROPDOWN:
        if (wParam)
            ComboDropDown(hwnd, s);
        else
            ComboCloseUp(hwnd, s);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return s->popup ? TRUE : FALSE;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace nativectl
