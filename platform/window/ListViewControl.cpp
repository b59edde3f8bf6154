// The list view in report mode ("SysListView32") and its header ("SysHeader32").
#include "platform/window/ControlSupport.h"
#include "platform/window/ScrollBarSupport.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nativectl {

namespace {

struct LvColumn {
    std::u16string text;
    int width = 50;
    int fmt = LVCFMT_LEFT;
};

struct LvItem {
    std::vector<std::u16string> texts; // by sub-item
    LPARAM data = 0;
    UINT state = 0;
    int image = -1;
};

struct ListViewState : ControlState {
    std::vector<LvColumn> columns;
    std::vector<LvItem> items;
    DWORD exStyle = 0;
    COLORREF bk = RGB(255, 255, 255);
    HIMAGELIST images = nullptr;
    HWND header = nullptr;
    int top = 0;
    int rowHeight = 0; // 0 until measured
    bool redraw = true;
    bool focused = false;
    DWORD lastTapTime = 0;
    int lastTapItem = -1;
    ScrollBarTrack bar; // the vertical scroll bar (WS_VSCROLL) while the pen works it
};

int HeaderHeight(HWND lv, ListViewState* s) {
    if (!s->header || !IsWindowVisible(s->header)) return 0;
    (void)lv;
    RECT r;
    GetClientRect(s->header, &r);
    return r.bottom;
}

int RowHeight(HWND hwnd, ListViewState* s) {
    if (s->rowHeight > 0) return s->rowHeight;
    int h = LineHeightOf(hwnd, s->font) + 4;
    if (s->images) {
        int cx = 0;
        int cy = 0;
        ImageList_GetIconSize(s->images, &cx, &cy);
        h = std::max(h, cy + 1);
    }
    if (Style(hwnd) & LVS_OWNERDRAWFIXED) {
        // The parent (or, through reflection, the control's own class) sets the row height.
        MEASUREITEMSTRUCT mi;
        mi.CtlType = ODT_LISTVIEW;
        mi.CtlID = static_cast<UINT>(CtlId(hwnd));
        mi.itemHeight = static_cast<UINT>(h);
        if (HWND parent = GetParent(hwnd))
            SendMessageW(parent, WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
        h = std::max(1, static_cast<int>(mi.itemHeight));
    }
    s->rowHeight = h;
    return h;
}

int CountPerPage(HWND hwnd, ListViewState* s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int border = (Style(hwnd) & WS_BORDER) ? 2 : 0;
    return std::max(0, (rc.bottom - rc.top - border - HeaderHeight(hwnd, s)) / RowHeight(hwnd, s));
}

void ClampTop(HWND hwnd, ListViewState* s) {
    const int maxTop = std::max(0, static_cast<int>(s->items.size()) - CountPerPage(hwnd, s));
    s->top = std::clamp(s->top, 0, maxTop);
}

int ItemsTop(HWND hwnd, ListViewState* s) {
    return ((Style(hwnd) & WS_BORDER) ? 1 : 0) + HeaderHeight(hwnd, s);
}

int TotalWidth(const ListViewState* s) {
    int w = 0;
    for (const LvColumn& c : s->columns) w += c.width;
    return w;
}

RECT RowRect(HWND hwnd, ListViewState* s, int i) {
    const int inset = (Style(hwnd) & WS_BORDER) ? 1 : 0;
    const int y = ItemsTop(hwnd, s) + (i - s->top) * RowHeight(hwnd, s);
    return RECT{inset, y, inset + TotalWidth(s), y + RowHeight(hwnd, s)};
}

void LvInvalidate(HWND hwnd, ListViewState* s) {
    if (s->redraw) InvalidateRect(hwnd, nullptr, TRUE);
    if (s->header && s->redraw) InvalidateRect(s->header, nullptr, TRUE);
}

void LvInvalidateRow(HWND hwnd, ListViewState* s, int i) {
    if (!s->redraw) return;
    RECT r = RowRect(hwnd, s, i);
    RECT rc;
    GetClientRect(hwnd, &rc);
    r.right = rc.right;
    InvalidateRect(hwnd, &r, TRUE);
}

bool ShowsSelection(HWND hwnd, ListViewState* s) {
    return s->focused || (Style(hwnd) & LVS_SHOWSELALWAYS);
}

// ---- the list view's vertical scroll bar ----
// Shown with WS_VSCROLL while there are more rows than fit, below the header; the list view
// scrolls by rows.

bool BarShown(HWND hwnd, ListViewState* s) {
    return (Style(hwnd) & WS_VSCROLL) && static_cast<int>(s->items.size()) > CountPerPage(hwnd, s);
}

RECT BarRect(HWND hwnd, ListViewState* s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int inset = (Style(hwnd) & WS_BORDER) ? 1 : 0;
    return RECT{rc.right - inset - kScrollBarWidth, ItemsTop(hwnd, s), rc.right - inset, rc.bottom - inset};
}

ScrollRange BarRange(HWND hwnd, ListViewState* s) {
    return ScrollRange{static_cast<int>(s->items.size()), CountPerPage(hwnd, s), s->top};
}

void PaintListView(HWND hwnd, ListViewState* s, HDC dc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    SelectFont(dc, s->font);
    if (s->bk != CLR_NONE) Fill(dc, rc, s->bk);
    const DWORD style = Style(hwnd);
    if (style & WS_BORDER) Frame(dc, rc, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
    const int inset = (style & WS_BORDER) ? 1 : 0;
    const int top = ItemsTop(hwnd, s);
    IntersectClipRect(dc, inset, top, rc.right - inset, rc.bottom - inset);
    const int h = RowHeight(hwnd, s);
    const bool ownerDraw = (style & LVS_OWNERDRAWFIXED) != 0;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const COLORREF textColor = GetSysColor(COLOR_WINDOWTEXT);
    for (int i = s->top; i < static_cast<int>(s->items.size()); ++i) {
        const RECT row = RowRect(hwnd, s, i);
        if (row.top >= rc.bottom) break;
        const LvItem& item = s->items[static_cast<std::size_t>(i)];
        const bool selected = (item.state & LVIS_SELECTED) && ShowsSelection(hwnd, s);
        if (ownerDraw) {
            DRAWITEMSTRUCT di;
            di.CtlType = ODT_LISTVIEW;
            di.CtlID = static_cast<UINT>(CtlId(hwnd));
            di.itemID = static_cast<UINT>(i);
            di.itemAction = ODA_DRAWENTIRE;
            di.itemState =
                (selected ? ODS_SELECTED : 0) | ((item.state & LVIS_FOCUSED) && s->focused ? ODS_FOCUS : 0);
            di.hwndItem = hwnd;
            di.hDC = dc;
            di.rcItem = row;
            di.itemData = static_cast<std::uintptr_t>(item.data);
            const int saved = SaveDC(dc);
            if (HWND parent = GetParent(hwnd))
                SendMessageW(parent, WM_DRAWITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
            RestoreDC(dc, saved);
            // The handler may have deleted rows.
            if (i >= static_cast<int>(s->items.size())) break;
            continue;
        }
        int x = row.left;
        int iconWidth = 0;
        if (s->images) {
            int cy = 0;
            ImageList_GetIconSize(s->images, &iconWidth, &cy);
            if (item.image >= 0)
                ImageList_Draw(s->images, item.image, dc, x + 1, row.top + (h - cy) / 2, ILD_NORMAL);
            iconWidth += 2;
        }
        if (selected) {
            RECT sel = row;
            if (!(s->exStyle & LVS_EX_FULLROWSELECT)) {
                sel.left = x + iconWidth;
                sel.right = x + (s->columns.empty() ? 0 : s->columns[0].width);
            }
            Fill(dc, sel, GetSysColor(COLOR_HIGHLIGHT));
        }
        for (std::size_t c = 0; c < s->columns.size(); ++c) {
            RECT cell{x + 2 + (c == 0 ? iconWidth : 0), row.top, x + s->columns[c].width - 2, row.bottom};
            const bool highlight = selected && (c == 0 || (s->exStyle & LVS_EX_FULLROWSELECT));
            SetTextColor(dc, highlight ? GetSysColor(COLOR_HIGHLIGHTTEXT) : textColor);
            const UINT align = s->columns[c].fmt == LVCFMT_RIGHT    ? DT_RIGHT
                               : s->columns[c].fmt == LVCFMT_CENTER ? DT_CENTER
                                                                    : DT_LEFT;
            if (c < item.texts.size())
                DrawString(dc, item.texts[c], cell, align | DT_VCENTER | DT_SINGLELINE);
            x += s->columns[c].width;
        }
        if (s->exStyle & LVS_EX_GRIDLINES) {
            RECT line{row.left, row.bottom - 1, row.right, row.bottom};
            Fill(dc, line, GetSysColor(COLOR_BTNFACE));
        }
    }
    if (BarShown(hwnd, s)) PaintScrollBar(dc, BarRect(hwnd, s), BarRange(hwnd, s));
}

LRESULT SendItemChanged(HWND hwnd, int i, UINT oldState, UINT newState, LPARAM data) {
    NMLISTVIEW nm;
    nm.hdr.code = LVN_ITEMCHANGED;
    nm.iItem = i;
    nm.uOldState = oldState;
    nm.uNewState = newState;
    nm.uChanged = LVIF_STATE;
    nm.lParam = data;
    return Notify(hwnd, nm.hdr);
}

// Sets the state bits under mask of item i (-1: every item); sends LVN_ITEMCHANGED for each change.
void SetItemState(HWND hwnd, ListViewState* s, int i, UINT state, UINT mask) {
    std::vector<int> targets;
    if (i == -1)
        for (int n = 0; n < static_cast<int>(s->items.size()); ++n) targets.push_back(n);
    else if (i >= 0 && i < static_cast<int>(s->items.size()))
        targets.push_back(i);
    for (int n : targets) {
        if (n >= static_cast<int>(s->items.size())) break;
        LvItem& item = s->items[static_cast<std::size_t>(n)];
        const UINT oldState = item.state;
        UINT newState = (oldState & ~mask) | (state & mask);
        if (newState == oldState) continue;
        if ((newState & LVIS_FOCUSED) && !(oldState & LVIS_FOCUSED)) {
            // Only one item has the focus.
            for (int o = 0; o < static_cast<int>(s->items.size()); ++o)
                if (o != n && (s->items[static_cast<std::size_t>(o)].state & LVIS_FOCUSED)) {
                    const UINT before = s->items[static_cast<std::size_t>(o)].state;
                    s->items[static_cast<std::size_t>(o)].state &= ~LVIS_FOCUSED;
                    LvInvalidateRow(hwnd, s, o);
                    SendItemChanged(hwnd, o, before, before & ~LVIS_FOCUSED,
                                    s->items[static_cast<std::size_t>(o)].data);
                    if (n >= static_cast<int>(s->items.size())) return;
                }
        }
        if ((newState & LVIS_SELECTED) && !(oldState & LVIS_SELECTED) && (Style(hwnd) & LVS_SINGLESEL)) {
            for (int o = 0; o < static_cast<int>(s->items.size()); ++o)
                if (o != n && (s->items[static_cast<std::size_t>(o)].state & LVIS_SELECTED)) {
                    const UINT before = s->items[static_cast<std::size_t>(o)].state;
                    s->items[static_cast<std::size_t>(o)].state &= ~LVIS_SELECTED;
                    LvInvalidateRow(hwnd, s, o);
                    SendItemChanged(hwnd, o, before, before & ~LVIS_SELECTED,
                                    s->items[static_cast<std::size_t>(o)].data);
                    if (n >= static_cast<int>(s->items.size())) return;
                }
        }
        s->items[static_cast<std::size_t>(n)].state = newState;
        LvInvalidateRow(hwnd, s, n);
        SendItemChanged(hwnd, n, oldState, newState, s->items[static_cast<std::size_t>(n)].data);
    }
}

void SendDeleteItem(HWND hwnd, int i, LPARAM data) {
    NMLISTVIEW nm;
    nm.hdr.code = LVN_DELETEITEM;
    nm.iItem = i;
    nm.lParam = data;
    Notify(hwnd, nm.hdr);
}

// Hit test in client coordinates.
int LvHitTest(HWND hwnd, ListViewState* s, POINT p, UINT* flags) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int top = ItemsTop(hwnd, s);
    *flags = LVHT_NOWHERE;
    if (p.y < top) {
        *flags = LVHT_ABOVE;
        return -1;
    }
    if (p.y >= rc.bottom) {
        *flags = LVHT_BELOW;
        return -1;
    }
    const int i = s->top + (p.y - top) / RowHeight(hwnd, s);
    if (i < 0 || i >= static_cast<int>(s->items.size())) return -1;
    const RECT row = RowRect(hwnd, s, i);
    int iconWidth = 0;
    if (s->images) {
        int cy = 0;
        ImageList_GetIconSize(s->images, &iconWidth, &cy);
        iconWidth += 2;
    }
    const int firstRight = row.left + (s->columns.empty() ? 0 : s->columns[0].width);
    if (p.x < row.left) return -1;
    if (p.x < row.left + iconWidth) {
        *flags = LVHT_ONITEMICON;
        return i;
    }
    if (p.x < firstRight || ((s->exStyle & LVS_EX_FULLROWSELECT) && p.x < row.right) ||
        ((Style(hwnd) & LVS_OWNERDRAWFIXED) && p.x < row.right)) {
        *flags = LVHT_ONITEMLABEL;
        return i;
    }
    return -1;
}

} // namespace

LRESULT HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        Fill(dc, rc, GetSysColor(COLOR_BTNFACE));
        // The header shows the columns of the list view it belongs to (none for another parent).
        ListViewState* s = ExistingState<ListViewState>(GetParent(hwnd));
        if (!s) {
            EndPaint(hwnd, &ps);
            return 0;
        }
        SelectFont(dc, s->font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        int x = 0;
        for (const LvColumn& c : s->columns) {
            RECT cell{x, 0, x + c.width, rc.bottom};
            Frame(dc, cell, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
            RECT t = cell;
            InflateRect(&t, -3, 0);
            const UINT align = c.fmt == LVCFMT_RIGHT    ? DT_RIGHT
                               : c.fmt == LVCFMT_CENTER ? DT_CENTER
                                                        : DT_LEFT;
            DrawString(dc, c.text, t, align | DT_VCENTER | DT_SINGLELINE);
            x += c.width;
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

namespace {

void PlaceHeader(HWND hwnd, ListViewState* s) {
    if (!s->header) return;
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int inset = (Style(hwnd) & WS_BORDER) ? 1 : 0;
    const int h = LineHeightOf(hwnd, s->font) + 6;
    MoveWindow(s->header, inset, inset, rc.right - 2 * inset, h, TRUE);
}

std::u16string ItemText(const LvItem& item, int sub) {
    return sub >= 0 && static_cast<std::size_t>(sub) < item.texts.size()
               ? item.texts[static_cast<std::size_t>(sub)]
               : std::u16string();
}

} // namespace

LRESULT ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ListViewState* s = State<ListViewState>(hwnd);
    LRESULT common = 0;
    if (message != WM_SETREDRAW && CommonMessage(hwnd, s, message, wParam, &common)) {
        if (message == WM_SETFONT) {
            s->rowHeight = 0;
            if (s->header) SendMessageW(s->header, WM_SETFONT, wParam, lParam);
            PlaceHeader(hwnd, s);
        }
        return common;
    }
    const int count = static_cast<int>(s->items.size());
    const int index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    auto valid = [&](int i) { return i >= 0 && i < count; };
    switch (message) {
    case WM_CREATE: {
        if (!(Style(hwnd) & LVS_NOCOLUMNHEADER)) {
            s->header = CreateWindowExW(0, WC_HEADER, u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd, nullptr,
                                        nullptr, nullptr);
            PlaceHeader(hwnd, s);
        }
        return 0;
    }
    case WM_DESTROY: {
        // Every remaining row is deleted, with its notification, before the window goes.
        std::vector<LvItem> items = std::move(s->items);
        s->items.clear();
        for (std::size_t i = 0; i < items.size(); ++i)
            SendDeleteItem(hwnd, static_cast<int>(i), items[i].data);
        return 0;
    }
    case WM_SIZE:
        PlaceHeader(hwnd, s);
        return 0;
    case WM_PAINT:
        return PaintWith(hwnd, [&](HDC dc) {
            if (s->redraw) PaintListView(hwnd, s, dc);
        });
    case WM_SETREDRAW:
        s->redraw = wParam != 0;
        if (s->redraw) LvInvalidate(hwnd, s);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        s->focused = message == WM_SETFOCUS;
        LvInvalidate(hwnd, s);
        NMHDR nm;
        nm.code = message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS;
        Notify(hwnd, nm);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        if (GetFocus() != hwnd) SetFocus(hwnd);
        if (BarShown(hwnd, s) && ScrollBarPenDown(hwnd, s->bar, BarRect(hwnd, s), BarRange(hwnd, s),
                                                  POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return 0;
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        UINT flags = 0;
        const int i = LvHitTest(hwnd, s, p, &flags);
        const DWORD now = GetMessageTime();
        const bool doubleTap = i >= 0 && i == s->lastTapItem && now - s->lastTapTime <= 500;
        s->lastTapItem = i;
        s->lastTapTime = now;
        if (i >= 0) {
            // The tapped row alone is selected and focused.
            for (int o = 0; o < static_cast<int>(s->items.size()); ++o)
                if (o != i && (s->items[static_cast<std::size_t>(o)].state & LVIS_SELECTED))
                    SetItemState(hwnd, s, o, 0, LVIS_SELECTED);
            if (!IsWindow(hwnd)) return 0;
            SetItemState(hwnd, s, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
        if (!IsWindow(hwnd)) return 0;
        NMITEMACTIVATE nm;
        nm.hdr.code = doubleTap ? NM_DBLCLK : NM_CLICK;
        nm.iItem = i;
        nm.ptAction = p;
        Notify(hwnd, nm.hdr);
        return 0;
    }
    case WM_LBUTTONDBLCLK: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        UINT flags = 0;
        NMITEMACTIVATE nm;
        nm.hdr.code = NM_DBLCLK;
        nm.iItem = LvHitTest(hwnd, s, p, &flags);
        nm.ptAction = p;
        Notify(hwnd, nm.hdr);
        return 0;
    }
    case WM_KEYDOWN: {
        int focus = -1;
        for (int i = 0; i < count; ++i)
            if (s->items[static_cast<std::size_t>(i)].state & LVIS_FOCUSED) focus = i;
        int next = focus;
        if (wParam == VK_UP) next = std::max(0, focus - 1);
        if (wParam == VK_DOWN) next = std::min(count - 1, focus + 1);
        if (next != focus && next >= 0) {
            SetItemState(hwnd, s, -1, 0, LVIS_SELECTED);
            SetItemState(hwnd, s, next, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            SendMessageW(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(next), FALSE);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        ScrollBarPenMove(hwnd, s->bar, BarRect(hwnd, s), BarRange(hwnd, s), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        ScrollBarPenUp(hwnd, s->bar, [hwnd] { return State<ListViewState>(hwnd)->top; });
        return 0;
    case WM_CAPTURECHANGED:
        ScrollBarCaptureLost(hwnd, s->bar, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_VSCROLL: {
        int top = 0;
        if (!ScrollNewTop(LOWORD(wParam), HIWORD(wParam), BarRange(hwnd, s), &top)) return 0;
        s->top = top;
        ClampTop(hwnd, s);
        LvInvalidate(hwnd, s);
        return 0;
    }
    case LVM_SETBKCOLOR:
        s->bk = static_cast<COLORREF>(lParam);
        LvInvalidate(hwnd, s);
        return TRUE;
    case LVM_SETIMAGELIST: {
        HIMAGELIST old = s->images;
        s->images = reinterpret_cast<HIMAGELIST>(lParam);
        s->rowHeight = 0;
        LvInvalidate(hwnd, s);
        return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(s->images);
    case LVM_GETITEMCOUNT:
        return count;
    case LVM_INSERTCOLUMNW: {
        auto* col = reinterpret_cast<const LVCOLUMNW*>(lParam);
        if (!col) return -1;
        LvColumn c;
        if (col->mask & LVCF_TEXT) c.text = col->pszText ? col->pszText : u"";
        if (col->mask & LVCF_WIDTH) c.width = col->cx;
        if (col->mask & LVCF_FMT) c.fmt = col->fmt & 3;
        const int at = std::clamp(index, 0, static_cast<int>(s->columns.size()));
        s->columns.insert(s->columns.begin() + at, c);
        for (LvItem& item : s->items)
            if (static_cast<std::size_t>(at) < item.texts.size())
                item.texts.insert(item.texts.begin() + at, std::u16string());
        LvInvalidate(hwnd, s);
        return at;
    }
    case LVM_DELETECOLUMN:
        if (index < 0 || index >= static_cast<int>(s->columns.size())) return FALSE;
        s->columns.erase(s->columns.begin() + index);
        for (LvItem& item : s->items)
            if (static_cast<std::size_t>(index) < item.texts.size())
                item.texts.erase(item.texts.begin() + index);
        LvInvalidate(hwnd, s);
        return TRUE;
    case LVM_GETCOLUMNWIDTH:
        return index >= 0 && index < static_cast<int>(s->columns.size())
                   ? s->columns[static_cast<std::size_t>(index)].width
                   : 0;
    case LVM_SETCOLUMNWIDTH:
        if (index < 0 || index >= static_cast<int>(s->columns.size())) return FALSE;
        s->columns[static_cast<std::size_t>(index)].width =
            std::max(0, static_cast<int>(static_cast<short>(LOWORD(lParam))));
        LvInvalidate(hwnd, s);
        return TRUE;
    case LVM_GETHEADER:
        return reinterpret_cast<LRESULT>(s->header);
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        const DWORD old = s->exStyle;
        const DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFF;
        s->exStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
        LvInvalidate(hwnd, s);
        return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return s->exStyle;
    case LVM_INSERTITEMW: {
        auto* it = reinterpret_cast<const LVITEMW*>(lParam);
        if (!it || it->iSubItem != 0) return -1;
        LvItem item;
        item.texts.resize(std::max<std::size_t>(1, s->columns.size()));
        if ((it->mask & LVIF_TEXT) && it->pszText) item.texts[0] = it->pszText;
        if (it->mask & LVIF_PARAM) item.data = it->lParam;
        if (it->mask & LVIF_IMAGE) item.image = it->iImage;
        if (it->mask & LVIF_STATE) item.state = it->state & it->stateMask & (LVIS_SELECTED | LVIS_FOCUSED);
        const int at = std::clamp(it->iItem, 0, count);
        s->items.insert(s->items.begin() + at, item);
        LvInvalidate(hwnd, s);
        return at;
    }
    case LVM_SETITEMW: {
        auto* it = reinterpret_cast<const LVITEMW*>(lParam);
        if (!it || !valid(it->iItem) || it->iSubItem < 0) return FALSE;
        LvItem& item = s->items[static_cast<std::size_t>(it->iItem)];
        if (it->mask & LVIF_TEXT) {
            if (item.texts.size() <= static_cast<std::size_t>(it->iSubItem))
                item.texts.resize(static_cast<std::size_t>(it->iSubItem) + 1);
            item.texts[static_cast<std::size_t>(it->iSubItem)] = it->pszText ? it->pszText : u"";
        }
        if (it->iSubItem == 0 && (it->mask & LVIF_PARAM)) item.data = it->lParam;
        if (it->iSubItem == 0 && (it->mask & LVIF_IMAGE)) item.image = it->iImage;
        LvInvalidateRow(hwnd, s, it->iItem);
        if (it->iSubItem == 0 && (it->mask & LVIF_STATE))
            SetItemState(hwnd, s, it->iItem, it->state, it->stateMask);
        return TRUE;
    }
    case LVM_SETITEMTEXTW: {
        auto* it = reinterpret_cast<const LVITEMW*>(lParam);
        if (!it || !valid(index) || it->iSubItem < 0) return FALSE;
        LvItem& item = s->items[static_cast<std::size_t>(index)];
        if (item.texts.size() <= static_cast<std::size_t>(it->iSubItem))
            item.texts.resize(static_cast<std::size_t>(it->iSubItem) + 1);
        item.texts[static_cast<std::size_t>(it->iSubItem)] = it->pszText ? it->pszText : u"";
        LvInvalidateRow(hwnd, s, index);
        return TRUE;
    }
    case LVM_GETITEMW: {
        auto* it = reinterpret_cast<LVITEMW*>(lParam);
        if (!it || !valid(it->iItem)) return FALSE;
        const LvItem& item = s->items[static_cast<std::size_t>(it->iItem)];
        if (it->mask & LVIF_PARAM) it->lParam = item.data;
        if (it->mask & LVIF_IMAGE) it->iImage = item.image;
        if (it->mask & LVIF_STATE) it->state = item.state & it->stateMask;
        if ((it->mask & LVIF_TEXT) && it->pszText && it->cchTextMax > 0) {
            const std::u16string text = ItemText(item, it->iSubItem);
            const std::size_t n = std::min(text.size(), static_cast<std::size_t>(it->cchTextMax) - 1);
            std::copy_n(text.data(), n, it->pszText);
            it->pszText[n] = 0;
        }
        return TRUE;
    }
    case LVM_GETITEMTEXTW: {
        auto* it = reinterpret_cast<LVITEMW*>(lParam);
        if (!it || !valid(index) || !it->pszText || it->cchTextMax <= 0) return 0;
        const std::u16string text = ItemText(s->items[static_cast<std::size_t>(index)], it->iSubItem);
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(it->cchTextMax) - 1);
        std::copy_n(text.data(), n, it->pszText);
        it->pszText[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case LVM_DELETEITEM: {
        if (!valid(index)) return FALSE;
        const LPARAM data = s->items[static_cast<std::size_t>(index)].data;
        SendDeleteItem(hwnd, index, data);
        if (!IsWindow(hwnd)) return TRUE;
        if (index < static_cast<int>(s->items.size())) s->items.erase(s->items.begin() + index);
        ClampTop(hwnd, s);
        LvInvalidate(hwnd, s);
        return TRUE;
    }
    case LVM_DELETEALLITEMS: {
        NMLISTVIEW all;
        all.hdr.code = LVN_DELETEALLITEMS;
        all.iItem = -1;
        const bool suppress = Notify(hwnd, all.hdr) != 0;
        std::vector<LvItem> items = std::move(s->items);
        s->items.clear();
        s->top = 0;
        if (!suppress)
            for (std::size_t i = 0; i < items.size(); ++i)
                SendDeleteItem(hwnd, static_cast<int>(i), items[i].data);
        if (IsWindow(hwnd)) LvInvalidate(hwnd, s);
        return TRUE;
    }
    case LVM_SETITEMSTATE: {
        auto* it = reinterpret_cast<const LVITEMW*>(lParam);
        if (!it || (index != -1 && !valid(index))) return FALSE;
        SetItemState(hwnd, s, index, it->state, it->stateMask);
        return TRUE;
    }
    case LVM_GETITEMSTATE:
        return valid(index) ? static_cast<LRESULT>(s->items[static_cast<std::size_t>(index)].state &
                                                   static_cast<UINT>(lParam))
                            : 0;
    case LVM_GETSELECTEDCOUNT: {
        int n = 0;
        for (const LvItem& item : s->items) n += (item.state & LVIS_SELECTED) ? 1 : 0;
        return n;
    }
    case LVM_GETNEXTITEM: {
        const UINT flags = LOWORD(static_cast<std::uintptr_t>(lParam));
        const UINT want = flags & (LVNI_SELECTED | LVNI_FOCUSED);
        const bool above = (flags & LVNI_ABOVE) != 0;
        const int step = above ? -1 : 1;
        for (int i = index + step; i >= 0 && i < count; i += step) {
            const UINT st = s->items[static_cast<std::size_t>(i)].state;
            if ((st & want) == want) return i;
        }
        return -1;
    }
    case LVM_GETTOPINDEX:
        return s->top;
    case LVM_GETCOUNTPERPAGE:
        return CountPerPage(hwnd, s);
    case LVM_SCROLL: {
        // Report view scrolls whole rows: dy pixels become the nearest number of rows.
        const int dy = static_cast<int>(lParam);
        const int h = RowHeight(hwnd, s);
        const int rows = dy >= 0 ? (dy + h / 2) / h : -((-dy + h / 2) / h);
        s->top += rows;
        ClampTop(hwnd, s);
        LvInvalidate(hwnd, s);
        return TRUE;
    }
    case LVM_ENSUREVISIBLE: {
        if (!valid(index)) return FALSE;
        const int per = std::max(1, CountPerPage(hwnd, s));
        if (index < s->top) s->top = index;
        if (index >= s->top + per) s->top = index - per + 1;
        ClampTop(hwnd, s);
        LvInvalidate(hwnd, s);
        return TRUE;
    }
    case LVM_REDRAWITEMS: {
        const int last = static_cast<int>(lParam);
        for (int i = std::max(0, index); i <= last && i < count; ++i) LvInvalidateRow(hwnd, s, i);
        return TRUE;
    }
    case LVM_GETITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || !valid(index)) return FALSE;
        const int code = r->left;
        RECT row = RowRect(hwnd, s, index);
        if (code == LVIR_LABEL && !s->columns.empty()) row.right = row.left + s->columns[0].width;
        *r = row;
        return TRUE;
    }
    case LVM_HITTEST: {
        auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (!info) return -1;
        info->iItem = LvHitTest(hwnd, s, info->pt, &info->flags);
        info->iSubItem = 0;
        return info->iItem;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace nativectl
