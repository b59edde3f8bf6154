// The single- and multi-line edit field ("EDIT").
#include "platform/window/ControlSupport.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nativectl {

namespace {

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

} // namespace

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
    case WM_PAINT:
        return PaintWith(hwnd, [&](HDC dc) { PaintEdit(hwnd, s, dc); });
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
        case VK_END: {
            // With Shift held the selection stretches from its anchor to the start or the end;
            // without, the caret moves there.
            const int to = wParam == VK_HOME ? 0 : length;
            if (!(GetKeyState(VK_SHIFT) & 0x8000)) s->selStart = to;
            s->selEnd = to;
            break;
        }
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

} // namespace nativectl
