#include "platform/window/ControlSupport.h"

#include <algorithm>

namespace nativectl {

std::mutex& StateMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<HWND, std::unique_ptr<ControlState>>& States() {
    static std::map<HWND, std::unique_ptr<ControlState>> states;
    return states;
}

void DropState(HWND hwnd) {
    std::unique_ptr<ControlState> gone;
    std::lock_guard<std::mutex> lock(StateMutex());
    auto it = States().find(hwnd);
    if (it == States().end()) return;
    gone = std::move(it->second);
    States().erase(it);
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
    case WM_NCDESTROY:
        DropState(hwnd); // s is gone
        *result = 0;
        return true;
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

} // namespace nativectl
