// The list box ("LISTBOX"), also the drop-down list of a combo box ("ComboLBox").
#include "platform/window/ControlSupport.h"
#include "platform/window/ListBoxControl.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nativectl {

bool OwnerDrawn(DWORD style) {
    return (style & LBS_OWNERDRAWFIXED) != 0;
}

int ListItemHeight(HWND hwnd, ListBoxState* s) {
    if (s->itemHeight > 0) return s->itemHeight;
    HWND owner = s->combo ? s->combo : hwnd;
    const DWORD style = Style(owner);
    int h = LineHeightOf(hwnd, s->font) + 2;
    const bool ownerDraw = s->combo ? (style & CBS_OWNERDRAWFIXED) != 0 : OwnerDrawn(style);
    if (ownerDraw) {
        MEASUREITEMSTRUCT mi;
        mi.CtlType = s->combo ? ODT_COMBOBOX : ODT_LISTBOX;
        mi.CtlID = static_cast<UINT>(CtlId(owner));
        mi.itemHeight = static_cast<UINT>(h);
        RECT rc;
        GetClientRect(hwnd, &rc);
        mi.itemWidth = static_cast<UINT>(rc.right);
        if (HWND parent = GetParent(owner))
            SendMessageW(parent, WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
        h = std::max(1, static_cast<int>(mi.itemHeight));
    }
    s->itemHeight = h;
    return h;
}

int ListVisibleCount(HWND hwnd, ListBoxState* s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int border = (Style(hwnd) & WS_BORDER) ? 2 : 0;
    return std::max(1, (rc.bottom - rc.top - border) / ListItemHeight(hwnd, s));
}

void ListClampTop(HWND hwnd, ListBoxState* s) {
    const int maxTop = std::max(0, static_cast<int>(s->items.size()) - ListVisibleCount(hwnd, s));
    s->top = std::clamp(s->top, 0, maxTop);
}

bool ListBarShown(HWND hwnd, ListBoxState* s) {
    return !s->combo && (Style(hwnd) & WS_VSCROLL) &&
           static_cast<int>(s->items.size()) > ListVisibleCount(hwnd, s);
}

namespace {

RECT ListBarRect(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int inset = (Style(hwnd) & WS_BORDER) ? 1 : 0;
    return RECT{rc.right - inset - kScrollBarWidth, inset, rc.right - inset, rc.bottom - inset};
}

ScrollRange ListBarRange(HWND hwnd, ListBoxState* s) {
    return ScrollRange{static_cast<int>(s->items.size()), ListVisibleCount(hwnd, s), s->top};
}

// Where items end on the right: the client area's inner edge, or the bar's left edge.
int ListItemsRight(HWND hwnd, ListBoxState* s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int inset = (Style(hwnd) & WS_BORDER) ? 1 : 0;
    return rc.right - inset - (ListBarShown(hwnd, s) ? kScrollBarWidth : 0);
}

} // namespace

void PaintList(HWND hwnd, ListBoxState* s, HDC dc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    SelectFont(dc, s->font);
    HWND owner = s->combo ? s->combo : hwnd;
    HBRUSH brush = CtlColor(owner, dc, WM_CTLCOLORLISTBOX, COLOR_WINDOW);
    FillRect(dc, &rc, brush);
    const bool border = (Style(hwnd) & WS_BORDER) != 0;
    if (border) Frame(dc, rc, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
    const int inset = border ? 1 : 0;
    const int h = ListItemHeight(hwnd, s);
    const DWORD ownerStyle = Style(owner);
    const bool ownerDraw = s->combo ? (ownerStyle & CBS_OWNERDRAWFIXED) != 0 : OwnerDrawn(ownerStyle);
    SetBkMode(dc, TRANSPARENT);
    const COLORREF textColor = GetTextColor(dc);
    IntersectClipRect(dc, inset, inset, rc.right - inset, rc.bottom - inset);
    for (int i = s->top; i < static_cast<int>(s->items.size()); ++i) {
        const int y = inset + (i - s->top) * h;
        if (y >= rc.bottom - inset) break;
        RECT item{inset, y, ListItemsRight(hwnd, s), y + h};
        const bool selected = i == s->cur;
        if (ownerDraw) {
            DRAWITEMSTRUCT di;
            di.CtlType = s->combo ? ODT_COMBOBOX : ODT_LISTBOX;
            di.CtlID = static_cast<UINT>(CtlId(owner));
            di.itemID = static_cast<UINT>(i);
            di.itemAction = ODA_DRAWENTIRE;
            di.itemState = (selected ? ODS_SELECTED : 0) | (GetFocus() == hwnd && selected ? ODS_FOCUS : 0);
            di.hwndItem = owner;
            di.hDC = dc;
            di.rcItem = item;
            di.itemData = s->items[static_cast<std::size_t>(i)].data;
            if (HWND parent = GetParent(owner))
                SendMessageW(parent, WM_DRAWITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
            continue;
        }
        if (selected) Fill(dc, item, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : textColor);
        RECT t = item;
        t.left += 2;
        DrawString(dc, s->items[static_cast<std::size_t>(i)].text, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    SetTextColor(dc, textColor);
    if (ListBarShown(hwnd, s)) PaintScrollBar(dc, ListBarRect(hwnd), ListBarRange(hwnd, s));
}

// The list messages shared by list boxes and combo boxes; handled is false for other messages.
LRESULT ListMessage(HWND hwnd, ListBoxState* s, UINT message, WPARAM wParam, LPARAM lParam, bool hasStrings,
                    bool* handled) {
    *handled = true;
    const int count = static_cast<int>(s->items.size());
    const auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    auto valid = [&](int i) { return i >= 0 && i < count; };
    auto makeItem = [&]() {
        ListItem item;
        if (hasStrings)
            item.text = Text(lParam);
        else
            item.data = static_cast<std::uintptr_t>(lParam);
        return item;
    };
    switch (message) {
    case LB_ADDSTRING: {
        ListItem item = makeItem();
        std::size_t at = s->items.size();
        if (!s->combo && (Style(hwnd) & LBS_SORT) && hasStrings)
            at = static_cast<std::size_t>(
                std::upper_bound(s->items.begin(), s->items.end(), item,
                                 [](const ListItem& a, const ListItem& b) { return a.text < b.text; }) -
                s->items.begin());
        s->items.insert(s->items.begin() + static_cast<std::ptrdiff_t>(at), item);
        if (s->cur >= static_cast<int>(at)) ++s->cur;
        InvalidateRect(hwnd, nullptr, TRUE);
        return static_cast<LRESULT>(at);
    }
    case LB_INSERTSTRING: {
        const int at = index < 0 || index > count ? count : index;
        s->items.insert(s->items.begin() + at, makeItem());
        if (s->cur >= at) ++s->cur;
        InvalidateRect(hwnd, nullptr, TRUE);
        return at;
    }
    case LB_DELETESTRING:
        if (!valid(index)) return LB_ERR;
        s->items.erase(s->items.begin() + index);
        if (s->cur == index)
            s->cur = -1;
        else if (s->cur > index)
            --s->cur;
        ListClampTop(hwnd, s);
        InvalidateRect(hwnd, nullptr, TRUE);
        return static_cast<LRESULT>(s->items.size());
    case LB_RESETCONTENT:
        s->items.clear();
        s->cur = -1;
        s->top = 0;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_GETCOUNT:
        return count;
    case LB_GETCURSEL:
        return s->cur;
    case LB_SETCURSEL:
        if (index != -1 && !valid(index)) {
            s->cur = -1;
            InvalidateRect(hwnd, nullptr, TRUE);
            return LB_ERR;
        }
        s->cur = index;
        if (s->cur >= 0) {
            const int per = ListVisibleCount(hwnd, s);
            if (s->cur < s->top) s->top = s->cur;
            if (s->cur >= s->top + per) s->top = s->cur - per + 1;
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        return index;
    case LB_GETTEXT:
        if (!valid(index)) return LB_ERR;
        if (!hasStrings) {
            if (lParam)
                *reinterpret_cast<std::uintptr_t*>(lParam) = s->items[static_cast<std::size_t>(index)].data;
            return sizeof(std::uintptr_t);
        }
        return CopyOut(s->items[static_cast<std::size_t>(index)].text, lParam);
    case LB_GETTEXTLEN:
        if (!valid(index)) return LB_ERR;
        return hasStrings ? static_cast<LRESULT>(s->items[static_cast<std::size_t>(index)].text.size())
                          : static_cast<LRESULT>(sizeof(std::uintptr_t));
    case LB_GETITEMDATA:
        if (!valid(index)) return LB_ERR;
        return static_cast<LRESULT>(s->items[static_cast<std::size_t>(index)].data);
    case LB_SETITEMDATA:
        if (!valid(index)) return LB_ERR;
        s->items[static_cast<std::size_t>(index)].data = static_cast<std::uintptr_t>(lParam);
        return 0;
    case LB_FINDSTRING: {
        const std::u16string prefix = Text(lParam);
        for (int n = 0; n < count; ++n) {
            const int i = (index + 1 + n) % std::max(1, count);
            if (s->items[static_cast<std::size_t>(i)].text.compare(0, prefix.size(), prefix) == 0) return i;
        }
        return LB_ERR;
    }
    default:
        *handled = false;
        return 0;
    }
}

void ListSelectAt(HWND hwnd, ListBoxState* s, int y, bool notify) {
    const int inset = (Style(hwnd) & WS_BORDER) ? 1 : 0;
    const int i = s->top + (y - inset) / ListItemHeight(hwnd, s);
    if (y < inset || i < 0 || i >= static_cast<int>(s->items.size())) {
        if (s->combo) ComboListCancel(s->combo);
        return;
    }
    if (s->combo) {
        ComboSelect(s->combo, i); // destroys this list
        return;
    }
    const DWORD now = GetMessageTime();
    const bool doubleTap = s->lastTapItem == i && now - s->lastTapTime <= 500;
    s->lastTapItem = i;
    s->lastTapTime = now;
    const bool changed = i != s->cur;
    s->cur = i;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (notify && changed) Command(hwnd, LBN_SELCHANGE);
    if (notify && doubleTap && IsWindow(hwnd)) Command(hwnd, LBN_DBLCLK);
}

LRESULT ListBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ListBoxState* s = State<ListBoxState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) {
        if (message == WM_SETFONT) s->itemHeight = 0;
        return common;
    }
    const DWORD style = Style(hwnd);
    bool handled = false;
    const bool hasStrings = !OwnerDrawn(style) || (style & LBS_HASSTRINGS);
    const LRESULT r = ListMessage(hwnd, s, message, wParam, lParam, hasStrings, &handled);
    if (handled) return r;
    switch (message) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (cs && cs->lpCreateParams && cs->style & WS_POPUP)
            s->combo = static_cast<HWND>(cs->lpCreateParams); // the drop-down list of a combo box
        return 0;
    }
    case WM_PAINT:
        return PaintWith(hwnd, [&](HDC dc) {
            if (s->redraw) PaintList(hwnd, s, dc);
        });
    case WM_SETREDRAW:
        s->redraw = wParam != 0;
        if (s->redraw) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
        if (!s->combo && GetFocus() != hwnd) SetFocus(hwnd);
        if (ListBarShown(hwnd, s) && ScrollBarPenDown(hwnd, s->bar, ListBarRect(hwnd), ListBarRange(hwnd, s),
                                                      POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return 0;
        if (!s->combo) ListSelectAt(hwnd, s, GET_Y_LPARAM(lParam), (style & LBS_NOTIFY) != 0);
        return 0;
    case WM_MOUSEMOVE:
        ScrollBarPenMove(hwnd, s->bar, ListBarRect(hwnd), ListBarRange(hwnd, s), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (ScrollBarPenUp(hwnd, s->bar, [hwnd] { return State<ListBoxState>(hwnd)->top; })) return 0;
        if (s->combo) ListSelectAt(hwnd, s, GET_Y_LPARAM(lParam), true);
        return 0;
    case WM_CAPTURECHANGED:
        ScrollBarCaptureLost(hwnd, s->bar, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_VSCROLL: {
        int top = 0;
        if (!ScrollNewTop(LOWORD(wParam), HIWORD(wParam), ListBarRange(hwnd, s), &top)) return 0;
        s->top = top;
        ListClampTop(hwnd, s);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case WM_KEYDOWN: {
        int next = s->cur;
        if (wParam == VK_UP) next = std::max(0, s->cur - 1);
        if (wParam == VK_DOWN) next = std::min(static_cast<int>(s->items.size()) - 1, s->cur + 1);
        if (next != s->cur && next >= 0) {
            SendMessageW(hwnd, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
            if (style & LBS_NOTIFY) Command(hwnd, LBN_SELCHANGE);
        }
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_GETTOPINDEX:
        return s->top;
    case LB_SETTOPINDEX:
        if (static_cast<int>(wParam) >= static_cast<int>(s->items.size())) return LB_ERR;
        s->top = static_cast<int>(wParam);
        ListClampTop(hwnd, s);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_GETITEMHEIGHT:
        return ListItemHeight(hwnd, s);
    case LB_SETITEMHEIGHT:
        if (LOWORD(static_cast<std::uintptr_t>(lParam)) == 0) return LB_ERR;
        s->itemHeight = LOWORD(static_cast<std::uintptr_t>(lParam));
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_GETITEMRECT: {
        const int i = static_cast<int>(wParam);
        if (i < 0 || i >= static_cast<int>(s->items.size()) || !lParam) return LB_ERR;
        const int h = ListItemHeight(hwnd, s);
        const int inset = (style & WS_BORDER) ? 1 : 0;
        *reinterpret_cast<RECT*>(lParam) =
            RECT{inset, inset + (i - s->top) * h, ListItemsRight(hwnd, s), inset + (i - s->top + 1) * h};
        return 0;
    }
    case LB_SETHORIZONTALEXTENT:
        s->hextent = static_cast<int>(wParam);
        return 0;
    case LB_GETHORIZONTALEXTENT:
        return s->hextent;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace nativectl
