// What the hosts (SDL2 window, headless script runner) and the tests need from the window system:
// pen and text input, the composed screen, the idle hook of the message loop, time stepping in
// simulated time, the message-box handler and a reset between tests.
#pragma once

#include "platform/window/Window.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Pen input at screen coordinates (WM_LBUTTONDOWN, WM_MOUSEMOVE or WM_LBUTTONUP). The message is
// queued to the window under the pen (or the capture window). A tap on a disabled window (the
// owner of a modal dialog) is dropped; outside a window's region it falls through to the window
// below. Returns the window that received it, or nullptr when the tap was dropped.
HWND WinInjectPen(UINT message, int x, int y);
// A character straight to the focus window (text typed through the input panel).
bool WinInjectChar(char16_t ch);

// Composes the screen bitmap (GdiGetScreenBitmap) from the top-level windows' backing stores in
// z-order. Returns true when anything changed since the last composition.
bool WinComposeScreen();
// Bumped whenever the screen needs composing again.
std::uint64_t WinScreenGeneration();
// Called (on the painting thread) after every EndPaint or ReleaseDC; hosts present from it.
void WinSetPaintObserver(std::function<void()> observer);
// Colour of the screen where no window is.
constexpr COLORREF kDesktopColor = RGB(0, 0, 0);

// The idle hook of the calling thread: GetMessage calls it whenever the queue has nothing to
// deliver, with the number of modal loops running on the thread. It returns true when it did
// something (injected input, advanced the clock, posted WM_QUIT) and false to let GetMessage wait.
void WinSetIdleHandler(std::function<bool(int modalDepth)> handler);
int WinModalDepth();
// Due time (TheClock ticks) of the calling thread's earliest timer.
std::optional<std::uint64_t> WinNextTimerDue();
// Dispatches every message that is ready now on the calling thread (sent, posted, paint, due
// timers); returns how many were dispatched. WM_QUIT is left in the queue and makes it return.
int WinDispatchPending();
bool WinQuitPending();
// Runs the calling thread's messages for ms of clock time. In simulated time the clock is
// advanced from one timer due time to the next, and each due timer is dispatched before time
// moves on; with the system clock it waits in real time.
void WinRunFor(DWORD ms);

// Message boxes: the handler decides the answer (the headless host answers from its script).
using MessageBoxHandler =
    std::function<int(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type)>;
void WinSetMessageBoxHandler(MessageBoxHandler handler);
// The types of the skinned message box (a question with yes and no, a notice with one button);
// hosts answer them as they answer the window system's own boxes.
constexpr UINT kSkinnedQuestion = 3000;
constexpr UINT kSkinnedNotice = 3001;
// Asks the handler for the answer to a box; false when no handler is installed.
bool WinAskMessageBoxHandler(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type,
                             int* answer);
// A box answered with its buttons (the handler gave 0) reports the answer here, so that the host's
// log holds it.
using MessageBoxAnswerObserver = std::function<void(int answer)>;
void WinSetMessageBoxAnswerObserver(MessageBoxAnswerObserver observer);
void WinReportMessageBoxAnswer(int answer);

// The key click: every key-down that keybd_event synthesises without KEYEVENTF_SILENT clicks.
// Hosts may sound it through the observer (called on the synthesising thread, outside the window
// system's lock); tests read the count.
void WinSetKeyClickObserver(std::function<void(BYTE vk)> observer);
std::uint64_t WinKeyClickCount();

// The wait cursor (hosts show it; tests read it).
bool WinIsWaitCursor();

// Number of WM_PAINT messages handled through BeginPaint since the start (or the last reset).
std::uint64_t WinPaintCount();

// The owning-thread check: while an observer is set, a call on a window from a thread other than
// the one that created it (sending to it, invalidating, updating or redrawing it, taking its DC,
// showing, moving, retitling or destroying it) is reported with the window and the call's name.
// Posting is never reported: any thread may post. Null switches the check off.
using WrongThreadObserver = std::function<void(HWND window, const char* call)>;
void WinSetWrongThreadObserver(WrongThreadObserver observer);

// Destroys every window of the calling thread and clears queues, timers, hot keys, focus,
// capture and activation, so each test starts from nothing. Registered classes stay.
void WinResetForTests();
