#include "platform/window/Controls.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

// ---- shared helpers ----

struct ControlState {
    virtual ~ControlState() = default;
    HFONT font = nullptr;
};

std::mutex g_stateMutex;
std::map<HWND, std::unique_ptr<ControlState>> g_states;

// The state of a control of type T, made on first use.
template <class T> T* State(HWND hwnd) {
    std::unique_ptr<ControlState> replaced;
    std::lock_guard<std::mutex> lock(g_stateMutex);
    auto& slot = g_states[hwnd];
    if (auto* existing = dynamic_cast<T*>(slot.get())) return existing;
    replaced = std::move(slot); // a handle reused by a window of another class
    slot = std::make_unique<T>();
    return static_cast<T*>(slot.get());
}

// The state of a control of type T when it has one (nothing is made).
template <class T> T* ExistingState(HWND hwnd) {
    std::lock_guard<std::mutex> lock(g_stateMutex);
    auto it = g_states.find(hwnd);
    return it == g_states.end() ? nullptr : dynamic_cast<T*>(it->second.get());
}

void DropState(HWND hwnd) {
    std::unique_ptr<ControlState> gone;
    std::lock_guard<std::mutex> lock(g_stateMutex);
    auto it = g_states.find(hwnd);
    if (it == g_states.end()) return;
    gone = std::move(it->second);
    g_states.erase(it);
}

DWORD Style(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
}
int CtlId(HWND hwnd) {
    return GetDlgCtrlID(hwnd);
}

// WM_COMMAND notification to the parent.
void Command(HWND hwnd, int code) {
    HWND parent = GetParent(hwnd);
    if (parent)
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(CtlId(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

LRESULT Notify(HWND hwnd, NMHDR& header) {
    header.hwndFrom = hwnd;
    header.idFrom = static_cast<UINT_PTR>(CtlId(hwnd));
    HWND parent = GetParent(hwnd);
    return parent ? SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) : 0;
}

// Asks the parent for the brush (and text colours) of a control about to paint.
HBRUSH CtlColor(HWND hwnd, HDC dc, UINT message, int defaultColor) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(defaultColor));
    HWND parent = GetParent(hwnd);
    LRESULT r =
        parent ? SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd))
               : 0;
    if (r) return reinterpret_cast<HBRUSH>(r);
    return GetSysColorBrush(defaultColor);
}

void SelectFont(HDC dc, HFONT font) {
    if (font) SelectObject(dc, font);
}

int LineHeight(HDC dc) {
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    return std::max<int>(1, static_cast<int>(tm.tmHeight));
}

int LineHeightOf(HWND hwnd, HFONT font) {
    HDC dc = GetDC(hwnd);
    if (!dc) return 10;
    SelectFont(dc, font);
    const int h = LineHeight(dc);
    ReleaseDC(hwnd, dc);
    return h;
}

int TextWidth(HDC dc, const std::u16string& text) {
    SIZE s{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
    return static_cast<int>(s.cx);
}

void DrawString(HDC dc, const std::u16string& text, RECT r, UINT format) {
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_NOPREFIX);
}

void Frame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    HPEN a = CreatePen(0, 1, topLeft);
    HPEN b = CreatePen(0, 1, bottomRight);
    HGDIOBJ old = SelectObject(dc, a);
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right - 1, r.top);
    SelectObject(dc, b);
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.left, r.bottom - 1);
    SelectObject(dc, old);
    DeleteObject(a);
    DeleteObject(b);
}

void Fill(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
    if (!bitmap) return;
    BITMAP bm{};
    if (!GetObjectW(bitmap, sizeof bm, &bm)) return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

std::u16string WindowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::u16string s(static_cast<std::size_t>(n) + 1, u'\0');
    GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(n));
    return s;
}

std::u16string Text(LPARAM lParam) {
    auto* p = reinterpret_cast<LPCWSTR>(lParam);
    return p ? std::u16string(p) : std::u16string();
}

// Copies text into a caller's buffer of (at least) text.size() + 1 characters.
LRESULT CopyOut(const std::u16string& text, LPARAM lParam) {
    auto* out = reinterpret_cast<LPWSTR>(lParam);
    if (!out) return -1;
    std::copy(text.begin(), text.end(), out);
    out[text.size()] = 0;
    return static_cast<LRESULT>(text.size());
}

// Handles the messages every control treats alike; true when handled.
bool CommonMessage(HWND hwnd, ControlState* s, UINT message, WPARAM wParam, LRESULT* result) {
    switch (message) {
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        *result = 0;
        return true;
    case WM_GETFONT:
        *result = reinterpret_cast<LRESULT>(s->font);
        return true;
    case WM_ERASEBKGND:
        *result = 1; // every control paints its whole client area
        return true;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        *result = 0;
        return true;
    default:
        return false;
    }
}

// ---- button ----

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

LRESULT ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ButtonState* s = State<ButtonState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) return common;
    switch (message) {
    case WM_NCDESTROY:
        DropState(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintButton(hwnd, s, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
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

// ---- static ----

struct StaticState : ControlState {
    HANDLE image = nullptr;
};

LRESULT StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    StaticState* s = State<StaticState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) return common;
    switch (message) {
    case WM_NCDESTROY:
        DropState(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
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
            if (Style(hwnd) & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
            DrawString(dc, WindowText(hwnd), rc, format);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
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

// ---- edit ----

struct EditState : ControlState {
    std::u16string text;
    int selStart = 0;
    int selEnd = 0;
    int limit = 30000;
    int firstLine = 0;
    bool focused = false;
};

// Line start offsets of a multi-line text (lines end at "\r\n" or "\n").
std::vector<int> LineStarts(const std::u16string& text) {
    std::vector<int> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == u'\n') starts.push_back(static_cast<int>(i) + 1);
    return starts;
}

std::u16string LineText(const std::u16string& text, const std::vector<int>& starts, std::size_t line) {
    const int begin = starts[line];
    int end = line + 1 < starts.size() ? starts[line + 1] - 1 : static_cast<int>(text.size());
    if (end > begin && text[static_cast<std::size_t>(end) - 1] == u'\r') --end;
    return text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
}

void EditReplace(HWND hwnd, EditState* s, const std::u16string& with) {
    const int a = std::min(s->selStart, s->selEnd);
    const int b = std::max(s->selStart, s->selEnd);
    const int room = s->limit - (static_cast<int>(s->text.size()) - (b - a));
    std::u16string insert = with;
    if (static_cast<int>(insert.size()) > room) {
        insert.resize(static_cast<std::size_t>(std::max(0, room)));
        if (insert.empty() && !with.empty()) {
            Command(hwnd, EN_MAXTEXT);
            return;
        }
    }
    s->text.replace(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a), insert);
    s->selStart = s->selEnd = a + static_cast<int>(insert.size());
    InvalidateRect(hwnd, nullptr, TRUE);
    Command(hwnd, EN_CHANGE);
}

void PaintEdit(HWND hwnd, EditState* s, HDC dc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    SelectFont(dc, s->font);
    const DWORD style = Style(hwnd);
    const bool readOnly = (style & ES_READONLY) != 0 || !IsWindowEnabled(hwnd);
    HBRUSH brush = CtlColor(hwnd, dc, readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                            readOnly ? COLOR_BTNFACE : COLOR_WINDOW);
    FillRect(dc, &rc, brush);
    if (style & WS_BORDER) Frame(dc, rc, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    const int h = LineHeight(dc);
    RECT area = rc;
    InflateRect(&area, -2, -2);
    const int selA = std::min(s->selStart, s->selEnd);
    const int selB = std::max(s->selStart, s->selEnd);
    const bool multi = (style & ES_MULTILINE) != 0;
    const std::vector<int> starts = multi ? LineStarts(s->text) : std::vector<int>{0};
    const COLORREF textColor = GetTextColor(dc);
    for (std::size_t line = static_cast<std::size_t>(s->firstLine); line < starts.size(); ++line) {
        const int y = area.top + static_cast<int>(line - static_cast<std::size_t>(s->firstLine)) * h;
        if (y >= area.bottom) break;
        const std::u16string text = multi ? LineText(s->text, starts, line) : s->text;
        const int width = TextWidth(dc, text);
        int x = area.left;
        if (style & ES_CENTER) x = area.left + (area.right - area.left - width) / 2;
        if (style & ES_RIGHT) x = area.right - width;
        if (!multi) {
            // Keep the caret in view on a single line that is wider than the field.
            const std::u16string before = text.substr(0, static_cast<std::size_t>(s->selEnd));
            const int caretX = x + TextWidth(dc, before);
            if (caretX > area.right - 1) x -= caretX - (area.right - 1);
        }
        const int lineStart = starts[line];
        const int a = std::clamp(selA - lineStart, 0, static_cast<int>(text.size()));
        const int b = std::clamp(selB - lineStart, 0, static_cast<int>(text.size()));
        const int ax = x + TextWidth(dc, text.substr(0, static_cast<std::size_t>(a)));
        const int bx = x + TextWidth(dc, text.substr(0, static_cast<std::size_t>(b)));
        if (s->focused && b > a) {
            RECT sel{ax, y, bx, y + h};
            Fill(dc, sel, GetSysColor(COLOR_HIGHLIGHT));
        }
        ExtTextOutW(dc, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
        if (s->focused && b > a) {
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            const std::u16string part =
                text.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a));
            ExtTextOutW(dc, ax, y, 0, nullptr, part.c_str(), static_cast<UINT>(part.size()), nullptr);
            SetTextColor(dc, textColor);
        }
        const int caret = s->selEnd - lineStart;
        if (s->focused && selA == selB && caret >= 0 && caret <= static_cast<int>(text.size())) {
            const int cx = x + TextWidth(dc, text.substr(0, static_cast<std::size_t>(caret)));
            RECT c{cx, y, cx + 1, y + h};
            Fill(dc, c, textColor);
        }
        if (!multi) break;
    }
}

LRESULT EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    EditState* s = State<EditState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) return common;
    const DWORD style = Style(hwnd);
    const int length = static_cast<int>(s->text.size());
    switch (message) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (cs && cs->lpszName) s->text = cs->lpszName;
        return 0;
    }
    case WM_NCDESTROY:
        DropState(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintEdit(hwnd, s, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SETTEXT:
        // The text limit applies to typing only, as in Windows; a multi-line edit does not report
        // text set by the program.
        s->text = Text(lParam);
        s->selStart = s->selEnd = 0;
        s->firstLine = 0;
        InvalidateRect(hwnd, nullptr, TRUE);
        if (!(style & ES_MULTILINE)) Command(hwnd, EN_CHANGE);
        return TRUE;
    case WM_GETTEXT: {
        auto* out = reinterpret_cast<LPWSTR>(lParam);
        if (!out || wParam == 0) return 0;
        const std::size_t n = std::min(static_cast<std::size_t>(wParam) - 1, s->text.size());
        std::copy_n(s->text.data(), n, out);
        out[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return length;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        if ((style & ES_MULTILINE) && (style & ES_WANTRETURN)) code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_SETFOCUS:
        s->focused = true;
        InvalidateRect(hwnd, nullptr, TRUE);
        Command(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        InvalidateRect(hwnd, nullptr, TRUE);
        Command(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
        if (GetFocus() != hwnd) SetFocus(hwnd);
        s->selStart = s->selEnd = length;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_CHAR: {
        const char16_t ch = static_cast<char16_t>(wParam);
        if (style & ES_READONLY) {
            MessageBeep(0);
            return 0;
        }
        if (ch == VK_BACK) {
            if (s->selStart == s->selEnd) {
                if (s->selEnd == 0) return 0;
                s->selStart = s->selEnd - 1;
                if (s->selStart > 0 && s->text[static_cast<std::size_t>(s->selStart)] == u'\n' &&
                    s->text[static_cast<std::size_t>(s->selStart) - 1] == u'\r')
                    --s->selStart;
            }
            EditReplace(hwnd, s, u"");
            return 0;
        }
        if (ch == u'\r') {
            if ((style & ES_MULTILINE) && (style & ES_WANTRETURN)) EditReplace(hwnd, s, u"\r\n");
            return 0;
        }
        if (ch < 0x20) return 0;
        if ((style & ES_NUMBER) && (ch < u'0' || ch > u'9')) {
            // A number field refuses anything but digits.
            MessageBeep(0);
            return 0;
        }
        EditReplace(hwnd, s, std::u16string(1, ch));
        return 0;
    }
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_LEFT:
            s->selStart = s->selEnd =
                std::max(0, std::min(s->selStart, s->selEnd) - (s->selStart == s->selEnd));
            break;
        case VK_RIGHT:
            s->selStart = s->selEnd =
                std::min(length, std::max(s->selStart, s->selEnd) + (s->selStart == s->selEnd));
            break;
        case VK_HOME:
            s->selStart = s->selEnd = 0;
            break;
        case VK_END:
            s->selStart = s->selEnd = length;
            break;
        case VK_DELETE:
            if (style & ES_READONLY) return 0;
            if (s->selStart == s->selEnd) {
                if (s->selEnd >= length) return 0;
                s->selEnd = s->selStart + 1;
            }
            EditReplace(hwnd, s, u"");
            return 0;
        default:
            return 0;
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case EM_GETSEL: {
        const int a = std::min(s->selStart, s->selEnd);
        const int b = std::max(s->selStart, s->selEnd);
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(a);
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(b);
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(a), static_cast<WORD>(b)));
    }
    case EM_SETSEL: {
        // (0, -1) selects everything; (-1, x) removes the selection; positions are clamped.
        int a = static_cast<int>(static_cast<std::intptr_t>(wParam));
        int b = static_cast<int>(lParam);
        if (a == -1) {
            s->selStart = s->selEnd = s->selEnd;
        } else {
            if (b < 0 || b > length) b = length;
            a = std::clamp(a, 0, length);
            s->selStart = a;
            s->selEnd = b;
        }
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case EM_REPLACESEL:
        EditReplace(hwnd, s, Text(lParam));
        return 0;
    case EM_LIMITTEXT:
        s->limit = wParam == 0 ? 0x7FFFFFFE : static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE));
        return 0;
    case EM_GETLIMITTEXT:
        return s->limit;
    case EM_SETREADONLY:
        SetWindowLongW(hwnd, GWL_STYLE,
                       static_cast<LONG_PTR>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case EM_GETLINECOUNT:
        return (style & ES_MULTILINE) ? static_cast<LRESULT>(LineStarts(s->text).size()) : 1;
    case EM_GETFIRSTVISIBLELINE:
        return s->firstLine;
    case EM_LINEINDEX: {
        const std::vector<int> starts = LineStarts(s->text);
        int line = static_cast<int>(static_cast<std::intptr_t>(wParam));
        if (line == -1) {
            line = 0;
            for (std::size_t i = 0; i < starts.size(); ++i)
                if (starts[i] <= s->selEnd) line = static_cast<int>(i);
        }
        return line >= 0 && line < static_cast<int>(starts.size()) ? starts[static_cast<std::size_t>(line)]
                                                                   : -1;
    }
    case EM_LINEFROMCHAR: {
        const std::vector<int> starts = LineStarts(s->text);
        int at = static_cast<int>(static_cast<std::intptr_t>(wParam));
        if (at < 0) at = std::min(s->selStart, s->selEnd);
        int line = 0;
        for (std::size_t i = 0; i < starts.size(); ++i)
            if (starts[i] <= at) line = static_cast<int>(i);
        return line;
    }
    case EM_LINESCROLL: {
        if (!(style & ES_MULTILINE)) return FALSE;
        const int lines = static_cast<int>(LineStarts(s->text).size());
        s->firstLine = std::clamp(s->firstLine + static_cast<int>(lParam), 0, std::max(0, lines - 1));
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case EM_SCROLLCARET: {
        if (!(style & ES_MULTILINE)) return TRUE;
        const std::vector<int> starts = LineStarts(s->text);
        int line = 0;
        for (std::size_t i = 0; i < starts.size(); ++i)
            if (starts[i] <= s->selEnd) line = static_cast<int>(i);
        RECT rc;
        GetClientRect(hwnd, &rc);
        const int per = std::max(1, (rc.bottom - rc.top - 4) / LineHeightOf(hwnd, s->font));
        if (line < s->firstLine) s->firstLine = line;
        if (line >= s->firstLine + per) s->firstLine = line - per + 1;
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// ---- list box (also the drop-down list of a combo box) ----

struct ListItem {
    std::u16string text;
    std::uintptr_t data = 0;
};

struct ListBoxState : ControlState {
    std::vector<ListItem> items;
    int cur = -1;
    int top = 0;
    int itemHeight = 0; // 0 until measured
    int hextent = 0;
    DWORD lastTapTime = 0;
    int lastTapItem = -1;
    HWND combo = nullptr; // the combo box this list drops down for
};

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
        RECT item{inset - s->hextent * 0, y, rc.right - inset, y + h};
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

void ListSelectAt(HWND hwnd, ListBoxState* s, int y, bool notify);

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
    case WM_NCDESTROY:
        DropState(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintList(hwnd, s, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
        if (!s->combo && GetFocus() != hwnd) SetFocus(hwnd);
        if (!s->combo) ListSelectAt(hwnd, s, GET_Y_LPARAM(lParam), (style & LBS_NOTIFY) != 0);
        return 0;
    case WM_LBUTTONUP:
        if (s->combo) ListSelectAt(hwnd, s, GET_Y_LPARAM(lParam), true);
        return 0;
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
        RECT rc;
        GetClientRect(hwnd, &rc);
        const int h = ListItemHeight(hwnd, s);
        const int inset = (style & WS_BORDER) ? 1 : 0;
        *reinterpret_cast<RECT*>(lParam) =
            RECT{inset, inset + (i - s->top) * h, rc.right - inset, inset + (i - s->top + 1) * h};
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

// ---- combo box (drop-down list) ----

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

void ComboSelect(HWND hwnd, int index) {
    auto* s = State<ComboState>(hwnd);
    const bool changed = index != s->list.cur;
    s->list.cur = index;
    ComboCloseUp(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
    if (changed) Command(hwnd, CBN_SELCHANGE);
}

void ListSelectAt(HWND hwnd, ListBoxState* s, int y, bool notify) {
    const int inset = (Style(hwnd) & WS_BORDER) ? 1 : 0;
    const int i = s->top + (y - inset) / ListItemHeight(hwnd, s);
    if (y < inset || i < 0 || i >= static_cast<int>(s->items.size())) {
        if (s->combo) ComboCloseUp(s->combo, State<ComboState>(s->combo));
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
    case WM_NCDESTROY:
        DropState(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
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
        EndPaint(hwnd, &ps);
        return 0;
    }
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

// ---- image lists ----

} // namespace

// Each image is the list's own copy: the icon drawn at the list's size into a bitmap over a key
// colour that marks the transparent pixels, so the caller may destroy its icon afterwards.
constexpr COLORREF kImageKey = RGB(255, 0, 255);

struct IMAGELIST_ {
    int cx = 16;
    int cy = 16;
    std::vector<HBITMAP> images; // owned
};

HIMAGELIST ImageList_Create(int cx, int cy, UINT, int, int) {
    if (cx <= 0 || cy <= 0 || cx > 256 || cy > 256) return nullptr;
    auto* list = new IMAGELIST_;
    list->cx = cx;
    list->cy = cy;
    return list;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    if (!list) return FALSE;
    for (HBITMAP image : list->images) DeleteObject(image);
    delete list;
    return TRUE;
}

int ImageList_AddIcon(HIMAGELIST list, HICON icon) {
    if (!list || !icon) return -1;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return -1;
    HBITMAP image = CreateCompatibleBitmap(dc, list->cx, list->cy);
    if (!image) {
        DeleteDC(dc);
        return -1;
    }
    HGDIOBJ old = SelectObject(dc, image);
    RECT all{0, 0, list->cx, list->cy};
    HBRUSH key = CreateSolidBrush(kImageKey);
    FillRect(dc, &all, key);
    DeleteObject(key);
    const BOOL drawn = DrawIconEx(dc, 0, 0, icon, list->cx, list->cy, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    if (!drawn) {
        DeleteObject(image);
        return -1;
    }
    list->images.push_back(image);
    return static_cast<int>(list->images.size()) - 1;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT) {
    if (!list || index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
    return TransparentImage(dc, x, y, list->cx, list->cy, list->images[static_cast<std::size_t>(index)], 0, 0,
                            list->cx, list->cy, kImageKey);
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    if (!list) return FALSE;
    if (cx) *cx = list->cx;
    if (cy) *cy = list->cy;
    return TRUE;
}

namespace {

// ---- list view (report mode) and its header ----

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
    // The vertical scroll bar (WS_VSCROLL) while the pen works it.
    bool barTracking = false;
    bool barDragging = false;
    int barGrab = 0; // pen offset into the thumb
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
// Shown with WS_VSCROLL while there are more rows than fit; it sends WM_VSCROLL to the list view
// itself (so a subclass sees every scroll, SB_ENDSCROLL last) and the list view scrolls by rows.

constexpr int kBarWidth = 10;

bool BarShown(HWND hwnd, ListViewState* s) {
    return (Style(hwnd) & WS_VSCROLL) && static_cast<int>(s->items.size()) > CountPerPage(hwnd, s);
}

RECT BarRect(HWND hwnd, ListViewState* s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int inset = (Style(hwnd) & WS_BORDER) ? 1 : 0;
    return RECT{rc.right - inset - kBarWidth, ItemsTop(hwnd, s), rc.right - inset, rc.bottom - inset};
}

// The thumb within the track between the two arrow boxes.
RECT BarThumb(HWND hwnd, ListViewState* s) {
    const RECT bar = BarRect(hwnd, s);
    const int trackTop = bar.top + kBarWidth;
    const int track = std::max(0, bar.bottom - kBarWidth - trackTop);
    const int count = static_cast<int>(s->items.size());
    const int per = std::max(1, CountPerPage(hwnd, s));
    const int length = std::min(track, std::max(6, count > 0 ? track * per / count : track));
    const int range = std::max(1, count - per);
    const int offset = (track - length) * std::clamp(s->top, 0, range) / range;
    return RECT{bar.left, trackTop + offset, bar.right, trackTop + offset + length};
}

// The top row for a thumb whose top edge is at y.
int TopFromThumb(HWND hwnd, ListViewState* s, int y) {
    const RECT bar = BarRect(hwnd, s);
    const RECT thumb = BarThumb(hwnd, s);
    const int trackTop = bar.top + kBarWidth;
    const int free = std::max(1, bar.bottom - kBarWidth - trackTop - (thumb.bottom - thumb.top));
    const int range = std::max(0, static_cast<int>(s->items.size()) - CountPerPage(hwnd, s));
    const int offset = std::clamp(y - trackTop, 0, free);
    return (offset * range + free / 2) / free;
}

void PaintBar(HWND hwnd, ListViewState* s, HDC dc) {
    const RECT bar = BarRect(hwnd, s);
    Fill(dc, bar, GetSysColor(COLOR_SCROLLBAR));
    const RECT up{bar.left, bar.top, bar.right, bar.top + kBarWidth};
    const RECT down{bar.left, bar.bottom - kBarWidth, bar.right, bar.bottom};
    for (const RECT& r : {up, down}) {
        Fill(dc, r, GetSysColor(COLOR_BTNFACE));
        Frame(dc, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    }
    const RECT thumb = BarThumb(hwnd, s);
    Fill(dc, thumb, GetSysColor(COLOR_BTNFACE));
    Frame(dc, thumb, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
}

void BarScroll(HWND hwnd, int code, int pos) {
    SendMessageW(hwnd, WM_VSCROLL, MAKEWPARAM(code, pos), 0);
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
    if (BarShown(hwnd, s)) PaintBar(hwnd, s, dc);
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
    case WM_NCDESTROY:
        DropState(hwnd);
        return 0;
    case WM_SIZE:
        PlaceHeader(hwnd, s);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (s->redraw) PaintListView(hwnd, s, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
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
        if (BarShown(hwnd, s)) {
            const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const RECT bar = BarRect(hwnd, s);
            if (PtInRect(&bar, p)) {
                const RECT thumb = BarThumb(hwnd, s);
                s->barTracking = true;
                SetCapture(hwnd);
                if (p.y < bar.top + kBarWidth) {
                    BarScroll(hwnd, SB_LINEUP, 0);
                } else if (p.y >= bar.bottom - kBarWidth) {
                    BarScroll(hwnd, SB_LINEDOWN, 0);
                } else if (p.y < thumb.top) {
                    BarScroll(hwnd, SB_PAGEUP, 0);
                } else if (p.y >= thumb.bottom) {
                    BarScroll(hwnd, SB_PAGEDOWN, 0);
                } else {
                    s->barDragging = true;
                    s->barGrab = p.y - thumb.top;
                }
                return 0;
            }
        }
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
        if (s->barDragging) {
            const int top = TopFromThumb(hwnd, s, GET_Y_LPARAM(lParam) - s->barGrab);
            if (top != s->top) BarScroll(hwnd, SB_THUMBTRACK, top);
        }
        return 0;
    case WM_LBUTTONUP:
        if (s->barTracking) {
            const bool dragging = s->barDragging;
            s->barTracking = false;
            s->barDragging = false;
            if (GetCapture() == hwnd) ReleaseCapture();
            if (dragging) BarScroll(hwnd, SB_THUMBPOSITION, State<ListViewState>(hwnd)->top);
            if (IsWindow(hwnd)) BarScroll(hwnd, SB_ENDSCROLL, 0);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd) s->barTracking = s->barDragging = false;
        return 0;
    case WM_VSCROLL: {
        const int per = std::max(1, CountPerPage(hwnd, s));
        switch (LOWORD(wParam)) {
        case SB_LINEUP:
            --s->top;
            break;
        case SB_LINEDOWN:
            ++s->top;
            break;
        case SB_PAGEUP:
            s->top -= per;
            break;
        case SB_PAGEDOWN:
            s->top += per;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            s->top = static_cast<short>(HIWORD(wParam));
            break;
        case SB_TOP:
            s->top = 0;
            break;
        case SB_BOTTOM:
            s->top = static_cast<int>(s->items.size());
            break;
        default:
            return 0;
        }
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

// ---- trackbar ----

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

LRESULT TrackbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TrackbarState* s = State<TrackbarState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) return common;
    switch (message) {
    case WM_NCDESTROY:
        DropState(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
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
        EndPaint(hwnd, &ps);
        return 0;
    }
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

// ---- tab control ----

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

LRESULT TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TabState* s = State<TabState>(hwnd);
    LRESULT common = 0;
    if (CommonMessage(hwnd, s, message, wParam, &common)) return common;
    const int count = static_cast<int>(s->items.size());
    switch (message) {
    case WM_NCDESTROY:
        DropState(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
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
            DrawString(dc, s->items[static_cast<std::size_t>(i)], r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
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

} // namespace

void RegisterNativeControls() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct Entry {
            LPCWSTR name;
            WNDPROC proc;
        };
        const Entry entries[] = {
            {WC_BUTTON, ButtonProc},     {WC_STATIC, StaticProc},     {WC_EDIT, EditProc},
            {WC_LISTBOX, ListBoxProc},   {u"ComboLBox", ListBoxProc}, {WC_COMBOBOX, ComboProc},
            {WC_LISTVIEW, ListViewProc}, {WC_HEADER, HeaderProc},     {TRACKBAR_CLASS, TrackbarProc},
            {WC_TABCONTROL, TabProc}};
        for (const Entry& e : entries) {
            WNDCLASSW wc;
            wc.lpfnWndProc = e.proc;
            wc.lpszClassName = e.name;
            RegisterClassW(&wc);
        }
    });
}
