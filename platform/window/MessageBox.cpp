// The message box: a small top-level window in the middle of the screen with the caption, an
// icon, the text and its buttons (OK; Yes and No; ...), made of the native controls and run in
// a modal loop over its owner. The host's handler (the headless host's script) gives the answer
// once the box is on the screen; without an answer from it the user taps a button.
#include "platform/window/Controls.h"
#include "platform/window/WindowHost.h"
#include "platform/window/WindowInternal.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kBoxWidth = 200;
constexpr int kButtonWidth = 50;
constexpr int kIconSize = 24;

struct BoxButton {
    int id;
    const char16_t* text;
};

std::vector<BoxButton> ButtonsFor(UINT type) {
    switch (type & 0x0F) {
    case MB_OKCANCEL:
        return {{IDOK, u"확인"}, {IDCANCEL, u"취소"}};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, u"중단"}, {IDRETRY, u"다시 시도"}, {IDIGNORE, u"무시"}};
    case MB_YESNOCANCEL:
        return {{IDYES, u"예"}, {IDNO, u"아니요"}, {IDCANCEL, u"취소"}};
    case MB_YESNO:
        return {{IDYES, u"예"}, {IDNO, u"아니요"}};
    case MB_RETRYCANCEL:
        return {{IDRETRY, u"다시 시도"}, {IDCANCEL, u"취소"}};
    default:
        return {{IDOK, u"확인"}};
    }
}

int DefaultAnswer(UINT type) {
    return ButtonsFor(type).front().id;
}

// Escape answers Cancel (or OK when OK is the only button); without either it does nothing.
int EscapeAnswer(UINT type) {
    const std::vector<BoxButton> buttons = ButtonsFor(type);
    for (const BoxButton& b : buttons)
        if (b.id == IDCANCEL) return IDCANCEL;
    return buttons.size() == 1 && buttons[0].id == IDOK ? IDOK : 0;
}

struct BoxData {
    std::u16string caption;
    std::u16string text;
    UINT type = 0;
    int captionHeight = 0;
    RECT textRect{};
};

thread_local BoxData* g_paintingBox = nullptr; // set while the box is made (its WM_CREATE runs first)

BoxData* Data(HWND hwnd) {
    return reinterpret_cast<BoxData*>(GetWindowLongW(hwnd, GWL_USERDATA));
}

void DrawIconOfType(HDC dc, UINT type, int x, int y) {
    const UINT icon = type & 0xF0;
    if (!icon) return;
    COLORREF color = RGB(32, 96, 192);
    const char16_t* mark = u"i";
    if (icon == MB_ICONQUESTION) mark = u"?";
    if (icon == MB_ICONEXCLAMATION) {
        color = RGB(220, 160, 0);
        mark = u"!";
    }
    if (icon == MB_ICONSTOP) {
        color = RGB(200, 32, 32);
        mark = u"X";
    }
    HBRUSH brush = CreateSolidBrush(color);
    HPEN pen = CreatePen(0, 1, color);
    HGDIOBJ ob = SelectObject(dc, brush);
    HGDIOBJ op = SelectObject(dc, pen);
    Ellipse(dc, x, y, x + kIconSize, y + kIconSize);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(brush);
    DeleteObject(pen);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT r{x, y, x + kIconSize, y + kIconSize};
    DrawTextW(dc, mark, 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SetWindowLongW(hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(g_paintingBox));
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) EndDialog(hwnd, LOWORD(wParam));
        return 0;
    case WM_CLOSE: {
        BoxData* data = Data(hwnd);
        if (const int answer = data ? EscapeAnswer(data->type) : IDCANCEL) EndDialog(hwnd, answer);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        BoxData* data = Data(hwnd);
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
        FillRect(dc, &rc, face);
        if (data) {
            RECT bar{0, 0, rc.right, data->captionHeight};
            HBRUSH title = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));
            FillRect(dc, &bar, title);
            DeleteObject(title);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
            RECT t = bar;
            t.left += 4;
            DrawTextW(dc, data->caption.c_str(), static_cast<int>(data->caption.size()), &t,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            DrawIconOfType(dc, data->type, 8, data->captionHeight + 8);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            RECT body = data->textRect;
            DrawTextW(dc, data->text.c_str(), static_cast<int>(data->text.size()), &body,
                      DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        }
        HPEN frame = CreatePen(0, 1, GetSysColor(COLOR_WINDOWFRAME));
        HGDIOBJ old = SelectObject(dc, frame);
        MoveToEx(dc, 0, 0, nullptr);
        LineTo(dc, rc.right - 1, 0);
        LineTo(dc, rc.right - 1, rc.bottom - 1);
        LineTo(dc, 0, rc.bottom - 1);
        LineTo(dc, 0, 0);
        SelectObject(dc, old);
        DeleteObject(frame);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LPCWSTR BoxClass() {
    static const LPCWSTR name = [] {
        WNDCLASSW wc;
        wc.lpfnWndProc = BoxProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
        wc.lpszClassName = u"MessageBoxWnd";
        RegisterClassW(&wc);
        return u"MessageBoxWnd";
    }();
    return name;
}

struct KeyContext {
    HWND box;
    UINT type;
};

// Enter presses the focused button, Escape answers as the box's close; Tab walks the buttons.
bool BoxKeys(MSG* msg, void* context) {
    auto* k = static_cast<KeyContext*>(context);
    if (msg->message != WM_KEYDOWN || (msg->hwnd != k->box && !IsChild(k->box, msg->hwnd))) return false;
    HWND focus = GetFocus();
    if (msg->wParam == VK_RETURN) {
        if (focus && IsChild(k->box, focus))
            EndDialog(k->box, GetDlgCtrlID(focus));
        else
            EndDialog(k->box, DefaultAnswer(k->type));
        return true;
    }
    if (msg->wParam == VK_ESCAPE) {
        if (const int answer = EscapeAnswer(k->type)) EndDialog(k->box, answer);
        return true;
    }
    if (msg->wParam == VK_TAB || msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT) {
        std::vector<HWND> buttons;
        for (HWND c = GetWindow(k->box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) buttons.push_back(c);
        std::reverse(buttons.begin(), buttons.end()); // creation order, left to right
        if (buttons.empty()) return true;
        auto it = std::find(buttons.begin(), buttons.end(), focus);
        std::size_t i = it == buttons.end() ? 0 : static_cast<std::size_t>(it - buttons.begin());
        const bool back =
            msg->wParam == VK_LEFT || (msg->wParam == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000));
        i = back ? (i + buttons.size() - 1) % buttons.size() : (i + 1) % buttons.size();
        SetFocus(buttons[i]);
        return true;
    }
    return false;
}

HWND TopLevelOf(HWND hwnd) {
    while (hwnd && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) hwnd = GetParent(hwnd);
    return hwnd;
}

} // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    RegisterNativeControls();
    BoxData data;
    data.caption = caption ? caption : u"";
    data.text = text ? text : u"";
    data.type = type;

    // Measure the text to size the box.
    HDC measure = CreateCompatibleDC(nullptr);
    TEXTMETRICW tm;
    GetTextMetricsW(measure, &tm);
    const int line = std::max<int>(1, static_cast<int>(tm.tmHeight));
    const int textLeft = (type & 0xF0) ? 8 + kIconSize + 8 : 8;
    RECT textRect{0, 0, kBoxWidth - textLeft - 8, 0};
    DrawTextW(measure, data.text.c_str(), static_cast<int>(data.text.size()), &textRect,
              DT_LEFT | DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    DeleteDC(measure);
    data.captionHeight = line + 6;
    const int textHeight =
        std::min<int>(std::max<int>(textRect.bottom, (type & 0xF0) ? kIconSize : line), 200);
    const int buttonHeight = line + 10;
    const int height = data.captionHeight + 8 + textHeight + 10 + buttonHeight + 8;
    data.textRect =
        RECT{textLeft, data.captionHeight + 8, kBoxWidth - 8, data.captionHeight + 8 + textHeight};
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    const int x = (screenW - kBoxWidth) / 2;
    const int y = std::max(0, (screenH - height) / 2);

    HWND ownerTop = TopLevelOf(owner);
    g_paintingBox = &data;
    HWND box = CreateWindowExW(WS_EX_TOPMOST, BoxClass(), data.caption.c_str(), WS_POPUP, x, y, kBoxWidth,
                               height, ownerTop, nullptr, nullptr, nullptr);
    g_paintingBox = nullptr;
    if (!box) return 0;
    const std::vector<BoxButton> buttons = ButtonsFor(type);
    const int gap = 8;
    const int total =
        static_cast<int>(buttons.size()) * kButtonWidth + (static_cast<int>(buttons.size()) - 1) * gap;
    int bx = (kBoxWidth - total) / 2;
    const int by = height - 8 - buttonHeight;
    const std::size_t defaultIndex = (type & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
    HWND focus = nullptr;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        HWND b = CreateWindowExW(
            0, WC_BUTTON, buttons[i].text,
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), bx,
            by, kButtonWidth, buttonHeight, box,
            reinterpret_cast<HMENU>(static_cast<std::intptr_t>(buttons[i].id)), nullptr, nullptr);
        if (i == defaultIndex) focus = b;
        bx += kButtonWidth + gap;
    }

    // The box shows first, so that the screen (and the host's frames) show it while it is answered.
    const bool ownerEnabled = ownerTop && IsWindowEnabled(ownerTop);
    ShowWindow(box, SW_SHOW);
    if (focus) SetFocus(focus);
    UpdateWindow(box);
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) UpdateWindow(c);

    int answer = 0;
    if (MessageBoxHandler handler = winint::CurrentMessageBoxHandler()) {
        answer = handler(owner, data.text, data.caption, type);
    } else {
        answer = DefaultAnswer(type);
    }
    if (answer <= 0) {
        // The user answers with the buttons.
        KeyContext keys{box, type};
        const INT_PTR result = RunModalLoop(box, ownerTop, BoxKeys, &keys);
        answer = result > 0 ? static_cast<int>(result) : 0;
        WinReportMessageBoxAnswer(answer);
    }
    if (IsWindow(box)) DestroyWindow(box);
    if (ownerTop && IsWindow(ownerTop) && ownerEnabled && !IsWindowEnabled(ownerTop))
        EnableWindow(ownerTop, TRUE);
    return answer;
}
