// What the native controls share: the per-window state every control keeps (looked up by its
// handle), the messages every control treats alike, the paint wrapper, notifications to the
// parent and small drawing and text helpers. Only the control files include it.
#pragma once

#include "platform/window/Controls.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace nativectl {

// The state of one control window; each control class derives its own.
struct ControlState {
    virtual ~ControlState() = default;
    HFONT font = nullptr;
};

// Every control's state, by window.
std::mutex& StateMutex();
std::map<HWND, std::unique_ptr<ControlState>>& States();

// The state of a control of type T, made on first use.
template <class T> T* State(HWND hwnd) {
    std::unique_ptr<ControlState> replaced;
    std::lock_guard<std::mutex> lock(StateMutex());
    auto& slot = States()[hwnd];
    if (auto* existing = dynamic_cast<T*>(slot.get())) return existing;
    replaced = std::move(slot); // a handle reused by a window of another class
    slot = std::make_unique<T>();
    return static_cast<T*>(slot.get());
}

// The state of a control of type T when it has one (nothing is made).
template <class T> T* ExistingState(HWND hwnd) {
    std::lock_guard<std::mutex> lock(StateMutex());
    auto it = States().find(hwnd);
    return it == States().end() ? nullptr : dynamic_cast<T*>(it->second.get());
}

// Forgets a control's state (WM_NCDESTROY).
void DropState(HWND hwnd);

DWORD Style(HWND hwnd);
int CtlId(HWND hwnd);

// WM_COMMAND notification to the parent.
void Command(HWND hwnd, int code);
// WM_NOTIFY to the parent, with the sender's handle and id filled in.
LRESULT Notify(HWND hwnd, NMHDR& header);
// Asks the parent for the brush (and text colours) of a control about to paint.
HBRUSH CtlColor(HWND hwnd, HDC dc, UINT message, int defaultColor);

// Handles the messages every control treats alike (destruction, which drops the state, font,
// background, enabling); true when handled, with the result in *result.
bool CommonMessage(HWND hwnd, ControlState* s, UINT message, WPARAM wParam, LRESULT* result);

// WM_PAINT: draw(dc) between BeginPaint and EndPaint; the message's result.
template <class Draw> LRESULT PaintWith(HWND hwnd, Draw draw) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    draw(dc);
    EndPaint(hwnd, &ps);
    return 0;
}

// Drawing and text.
void SelectFont(HDC dc, HFONT font);
int LineHeight(HDC dc);
int LineHeightOf(HWND hwnd, HFONT font);
int TextWidth(HDC dc, const std::u16string& text);
void DrawString(HDC dc, const std::u16string& text, RECT r, UINT format);
void Frame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight);
void Fill(HDC dc, const RECT& r, COLORREF color);
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
std::u16string WindowText(HWND hwnd);
// The text an lParam points to (empty for a null pointer).
std::u16string Text(LPARAM lParam);
// Copies text into a caller's buffer of (at least) text.size() + 1 characters.
LRESULT CopyOut(const std::u16string& text, LPARAM lParam);

// The window procedures of the control classes.
LRESULT ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TrackbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace nativectl
