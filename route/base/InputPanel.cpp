#include "route/base/InputPanel.h"

#include "platform/window/Shell.h"
#include "platform/window/Window.h"

namespace {

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;

int WindowHeight(HWND hwnd) {
    if (!hwnd) return 0;
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r.bottom - r.top;
}

// Places the panel with its bottom edge at `bottom` and makes that its default rectangle.
void PlaceSip(int bottom) {
    HWND panel = FindWindowW(u"SipWndClass", nullptr);
    int h = 0;
    if (panel) {
        // Selecting the current input method again makes the panel exist at its current size.
        CLSID current;
        SipGetCurrentIM(&current);
        SipSetCurrentIM(&current);
        h = WindowHeight(panel);
    }
    CLSID method;
    SipGetCurrentIM(&method);
    RECT rect{0, bottom - h, kScreenWidth, bottom};
    if (panel) MoveWindow(panel, 0, bottom - h, kScreenWidth, h, FALSE);
    SipSetDefaultRect(&rect);
    SipSetCurrentIM(&method);
}

void ShowByClass(const char16_t* className, int command) {
    if (HWND hwnd = FindWindowW(className, nullptr)) ShowWindow(hwnd, command);
}

} // namespace

void MoveSipToScreenBottom() { PlaceSip(kScreenHeight); }

void MoveSipAboveMenuBar() {
    const int bar = WindowHeight(FindWindowW(u"MS_SIPBUTTON", nullptr));
    PlaceSip(kScreenHeight - bar);
}

void HideTaskbar() { ShowByClass(u"HHTaskbar", SW_HIDE); }
void ShowTaskbar() { ShowByClass(u"HHTaskbar", SW_SHOW); }
void ShowSipButton() { ShowByClass(u"MS_SIPBUTTON", SW_SHOW); }
void HideSipButton() { ShowByClass(u"MS_SIPBUTTON", SW_HIDE); }
