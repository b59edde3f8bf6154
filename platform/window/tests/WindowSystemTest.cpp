// Message queues, sending across threads, timers in simulated time, input routing, focus,
// activation and the modal loop.
#include "platform/base/Clock.h"
#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::uint64_t tick;
};
std::vector<Seen>* g_seen = nullptr;

// Records the messages a test cares about; everything goes on to DefWindowProc.
LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
    case WM_ACTIVATE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_HOTKEY:
    case WM_USER:
        if (g_seen) g_seen->push_back(Seen{hwnd, message, wParam, lParam, TheClock().TickCount()});
        break;
    case WM_USER + 1:
        return static_cast<LRESULT>(wParam) * 3; // the answer of a sent message
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallClock(&m_clock);
        WNDCLASSW wc;
        if (!GetClassInfoW(nullptr, u"TestWnd", &wc)) {
            wc = WNDCLASSW{};
            wc.lpfnWndProc = RecordingProc;
            wc.lpszClassName = u"TestWnd";
            ASSERT_NE(RegisterClassW(&wc), 0);
        }
        g_seen = &m_seen;
    }
    void TearDown() override {
        WinResetForTests();
        g_seen = nullptr;
        InstallClock(nullptr);
    }
    HWND Top(int x, int y, int w, int h, DWORD style = WS_POPUP | WS_VISIBLE, HWND owner = nullptr) {
        return CreateWindowExW(0, u"TestWnd", u"top", style, x, y, w, h, owner, nullptr, nullptr, nullptr);
    }
    HWND Child(HWND parent, int x, int y, int w, int h, int id = 1) {
        return CreateWindowExW(0, u"TestWnd", u"child", WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
    }
    std::vector<Seen> Only(UINT message) const {
        std::vector<Seen> out;
        for (const Seen& s : m_seen)
            if (s.message == message) out.push_back(s);
        return out;
    }
    SimulatedClock m_clock;
    std::vector<Seen> m_seen;
};

TEST_F(WindowTest, TimerFiresAtEachDueTimeIncludingTheLastOne) {
    HWND w = Top(0, 0, 100, 100);
    ASSERT_EQ(SetTimer(w, 1000, 20, nullptr), 1000u);
    WinRunFor(100);
    std::vector<std::uint64_t> ticks;
    for (const Seen& s : Only(WM_TIMER)) {
        EXPECT_EQ(s.wParam, 1000u);
        ticks.push_back(s.tick);
    }
    EXPECT_EQ(ticks, (std::vector<std::uint64_t>{20, 40, 60, 80, 100}));
}

TEST_F(WindowTest, MissedTimerPeriodsCoalesceIntoOneMessage) {
    HWND w = Top(0, 0, 100, 100);
    SetTimer(w, 7, 20, nullptr);
    m_clock.Advance(95); // four periods pass with nobody looking
    WinDispatchPending();
    ASSERT_EQ(Only(WM_TIMER).size(), 1u);
    // The next one is a whole period after the delivery, not a burst of the missed ones.
    WinRunFor(20);
    const auto timers = Only(WM_TIMER);
    ASSERT_EQ(timers.size(), 2u);
    EXPECT_EQ(timers[1].tick, 115u);
    // KillTimer stops it; killing it again reports that it is gone.
    EXPECT_TRUE(KillTimer(w, 7));
    WinRunFor(100);
    EXPECT_EQ(Only(WM_TIMER).size(), 2u);
    EXPECT_FALSE(KillTimer(w, 7));
}

TEST_F(WindowTest, CrossThreadSendReturnsTheHandlersResultOnTheOwningThread) {
    HWND w = Top(0, 0, 10, 10);
    std::atomic<bool> done{false};
    std::atomic<LRESULT> result{0};
    std::thread worker([&] {
        result = SendMessageW(w, WM_USER + 1, 14, 0);
        done = true;
    });
    // The owning thread answers while it waits for messages.
    while (!done.load()) {
        MSG m;
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_EQ(result.load(), 42);
    // On its own thread the call is direct.
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 5, 0), 15);
}

TEST_F(WindowTest, PostedMessagesArriveInOrderAndQuitComesAfterThem) {
    HWND w = Top(0, 0, 10, 10);
    PostMessageW(w, WM_USER, 1, 0);
    PostQuitMessage(3);
    PostMessageW(w, WM_USER, 2, 0);
    MSG m;
    std::vector<WPARAM> order;
    while (GetMessageW(&m, nullptr, 0, 0)) {
        if (m.message == WM_USER) order.push_back(m.wParam);
        DispatchMessageW(&m);
    }
    EXPECT_EQ(order, (std::vector<WPARAM>{1, 2}));
    EXPECT_EQ(m.wParam, 3u);
    // Posting to a window that does not exist fails.
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
}

TEST_F(WindowTest, SilentKeysMakeNoClickAndExtendedKeysCarryBit24) {
    HWND w = Top(0, 0, 10, 10);
    SetFocus(w);
    std::vector<BYTE> clicks;
    WinSetKeyClickObserver([&](BYTE vk) { clicks.push_back(vk); });
    m_seen.clear();
    keybd_event('1', 0, KEYEVENTF_SILENT, 0);
    keybd_event('1', 0, KEYEVENTF_KEYUP | KEYEVENTF_SILENT, 0);
    keybd_event('2', 0, 0, 0);
    keybd_event('2', 0, KEYEVENTF_KEYUP, 0); // a key-up never clicks
    keybd_event(VK_TAB, 0, KEYEVENTF_EXTENDEDKEY, 0);
    WinDispatchPending();
    EXPECT_EQ(clicks, (std::vector<BYTE>{'2', VK_TAB}));
    EXPECT_EQ(WinKeyClickCount(), 2u);
    // Silent or not, every key reaches the focus.
    const auto downs = Only(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].wParam, WPARAM{'1'});
    EXPECT_EQ(downs[1].wParam, WPARAM{'2'});
    EXPECT_EQ(downs[2].wParam, WPARAM{VK_TAB});
    EXPECT_EQ(static_cast<std::uint32_t>(downs[0].lParam) & 0x01000000u, 0u);
    EXPECT_EQ(static_cast<std::uint32_t>(downs[2].lParam) & 0x01000000u, 0x01000000u);
    ASSERT_EQ(Only(WM_KEYUP).size(), 2u);
    std::vector<WPARAM> chars;
    for (const Seen& s : Only(WM_CHAR)) chars.push_back(s.wParam);
    EXPECT_EQ(chars, (std::vector<WPARAM>{'1', '2', VK_TAB}));
    WinSetKeyClickObserver(nullptr);
}

TEST_F(WindowTest, KeybdEventFromAWorkerReachesTheFocusWithShiftHeld) {
    HWND w = Top(0, 0, 10, 10);
    SetFocus(w);
    m_seen.clear();
    std::thread worker([] {
        keybd_event(VK_SHIFT, 0, 0, 0);
        keybd_event('Q', 0, 0, 0);
        keybd_event('Q', 0, KEYEVENTF_KEYUP, 0);
        keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
        keybd_event('Q', 0, 0, 0);
        keybd_event('Q', 0, KEYEVENTF_KEYUP, 0);
    });
    worker.join();
    WinDispatchPending();
    std::vector<WPARAM> chars;
    for (const Seen& s : Only(WM_CHAR)) chars.push_back(s.wParam);
    // Upper case while the synthesised Shift was down, lower case after its key-up.
    EXPECT_EQ(chars, (std::vector<WPARAM>{'Q', 'q'}));
    const auto downs = Only(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].wParam, VK_SHIFT);
    EXPECT_EQ(downs[0].hwnd, w);
    // Key-up messages carry the transition bits.
    for (const Seen& s : Only(WM_KEYUP))
        EXPECT_EQ(static_cast<std::uint32_t>(s.lParam) & 0xC0000000u, 0xC0000000u);
}

TEST_F(WindowTest, ActivationMessagesCarryStateAndTheOtherWindow) {
    HWND a = Top(0, 0, 100, 100);
    HWND b = Top(0, 100, 100, 100);
    ASSERT_EQ(GetActiveWindow(), b); // the last shown
    m_seen.clear();
    SetActiveWindow(a);
    auto acts = Only(WM_ACTIVATE);
    ASSERT_EQ(acts.size(), 2u);
    EXPECT_EQ(acts[0].hwnd, b);
    EXPECT_EQ(LOWORD(acts[0].wParam), WA_INACTIVE);
    EXPECT_EQ(reinterpret_cast<HWND>(acts[0].lParam), a);
    EXPECT_EQ(acts[1].hwnd, a);
    EXPECT_EQ(LOWORD(acts[1].wParam), WA_ACTIVE);
    EXPECT_EQ(reinterpret_cast<HWND>(acts[1].lParam), b);
    // A tap on the inactive window activates it by click.
    m_seen.clear();
    EXPECT_EQ(WinInjectPen(WM_LBUTTONDOWN, 50, 150), b);
    acts = Only(WM_ACTIVATE);
    ASSERT_EQ(acts.size(), 2u);
    EXPECT_EQ(LOWORD(acts[1].wParam), WA_CLICKACTIVE);
    EXPECT_EQ(reinterpret_cast<HWND>(acts[1].lParam), a);
    // Hiding the active window hands activation to the next one.
    m_seen.clear();
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), a);
}

TEST_F(WindowTest, PenGoesToTheDeepestChildInClientCoordinatesOrToTheCapture) {
    HWND top = Top(10, 20, 200, 200);
    HWND child = Child(top, 50, 50, 40, 40);
    struct Case {
        int x, y;
        HWND expected;
        int cx, cy;
    } cases[] = {
        {70, 80, child, 10, 10}, // screen (70,80) = top (60,60) = child (10,10)
        {15, 25, top, 5, 5},
        {5, 5, nullptr, 0, 0}, // outside every window
    };
    for (const Case& c : cases) {
        m_seen.clear();
        EXPECT_EQ(WinInjectPen(WM_LBUTTONDOWN, c.x, c.y), c.expected) << c.x << "," << c.y;
        WinDispatchPending();
        if (!c.expected) continue;
        const auto downs = Only(WM_LBUTTONDOWN);
        ASSERT_EQ(downs.size(), 1u);
        EXPECT_EQ(downs[0].hwnd, c.expected);
        EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), c.cx);
        EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), c.cy);
        WinInjectPen(WM_LBUTTONUP, c.x, c.y);
    }
    // With the capture set, the pen goes to the child wherever it is.
    SetCapture(child);
    EXPECT_EQ(WinInjectPen(WM_LBUTTONUP, 15, 25), child);
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowTest, RegionClipsTapsSoTheyFallThrough) {
    HWND below = Top(0, 0, 240, 320);
    HWND shaped = Top(50, 50, 100, 100);
    HRGN region = CreateRectRgn(25, 25, 75, 75);
    ASSERT_EQ(SetWindowRgn(shaped, region, TRUE), 1);
    EXPECT_EQ(WinInjectPen(WM_LBUTTONDOWN, 100, 100), shaped); // (50,50) inside the region
    WinInjectPen(WM_LBUTTONUP, 100, 100);
    EXPECT_EQ(WinInjectPen(WM_LBUTTONDOWN, 55, 55), below); // (5,5) outside it
    WinInjectPen(WM_LBUTTONUP, 55, 55);
    EXPECT_EQ(WindowFromPoint(POINT{60, 140}), below);
}

TEST_F(WindowTest, FocusMessagesNameTheOtherWindow) {
    HWND top = Top(0, 0, 100, 100);
    HWND a = Child(top, 0, 0, 10, 10, 1);
    HWND b = Child(top, 10, 0, 10, 10, 2);
    SetFocus(a);
    m_seen.clear();
    EXPECT_EQ(SetFocus(b), a);
    const auto kills = Only(WM_KILLFOCUS);
    const auto sets = Only(WM_SETFOCUS);
    ASSERT_EQ(kills.size(), 1u);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(kills[0].hwnd, a);
    EXPECT_EQ(reinterpret_cast<HWND>(kills[0].wParam), b);
    EXPECT_EQ(sets[0].hwnd, b);
    EXPECT_EQ(reinterpret_cast<HWND>(sets[0].wParam), a);
    // Keys go to the focus.
    keybd_event(VK_LEFT, 0, 0, 0);
    WinDispatchPending();
    ASSERT_EQ(Only(WM_KEYDOWN).size(), 1u);
    EXPECT_EQ(Only(WM_KEYDOWN)[0].hwnd, b);
    // Destroying the focus window leaves no focus on a dead window.
    DestroyWindow(b);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTest, TreeGeometryTextAndLookups) {
    HWND top = CreateWindowExW(0, u"TestWnd", u"Velko", WS_POPUP | WS_VISIBLE, 0, 26, 240, 294, nullptr,
                               nullptr, nullptr, nullptr);
    HWND child = Child(top, 10, 20, 30, 40, 111);
    RECT r;
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 46);
    EXPECT_EQ(r.right, 40);
    EXPECT_EQ(r.bottom, 86);
    ASSERT_TRUE(GetClientRect(child, &r));
    EXPECT_EQ(r.right, 30);
    EXPECT_EQ(r.bottom, 40);
    EXPECT_EQ(GetParent(child), top);
    EXPECT_EQ(GetDlgItem(top, 111), child);
    EXPECT_EQ(GetDlgCtrlID(child), 111);
    EXPECT_EQ(FindWindowW(nullptr, u"Velko"), top);
    EXPECT_EQ(FindWindowW(u"testwnd", u"Velko"), top);  // class names compare without case
    EXPECT_EQ(FindWindowW(nullptr, u"child"), nullptr); // only top-level windows
    SetWindowTextW(top, u"벨코");
    char16_t text[16];
    EXPECT_EQ(GetWindowTextW(top, text, 16), 2);
    EXPECT_EQ(std::u16string(text), u"벨코");
    EXPECT_EQ(GetWindowTextW(top, text, 2), 1); // cut to the buffer, terminated
    MoveWindow(child, 0, 0, 5, 5, TRUE);
    GetWindowRect(child, &r);
    EXPECT_EQ(r.top, 26);
    EXPECT_EQ(r.bottom, 31);
    // Registered messages: one id per name, whatever the case.
    const UINT id = RegisterWindowMessageW(u"DOVADEDAD_BRODCAST_MESSAGE");
    EXPECT_GE(id, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageW(u"dovadedad_brodcast_message"), id);
    EXPECT_NE(RegisterWindowMessageW(u"Other"), id);
}

TEST_F(WindowTest, EnumWindowsListsTopLevelWindowsFrontToBackAndStops) {
    HWND a = Top(0, 0, 10, 10);
    HWND b = Top(0, 0, 10, 10);
    HWND c = Top(0, 0, 10, 10);
    std::vector<HWND> seen;
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND>{c, b, a}));
    BringWindowToTop(a);
    seen.clear();
    EXPECT_FALSE(EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&seen)));
    EXPECT_EQ(seen, (std::vector<HWND>{a}));
}

// ---- the modal loop ----

int g_dialogTimers = 0;

LRESULT DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        ++g_dialogTimers;
        if (wParam == 2) EndDialog(hwnd, 55);
        if (wParam == 3) PostQuitMessage(9);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class ModalTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        WNDCLASSW wc;
        if (!GetClassInfoW(nullptr, u"TestDlg", &wc)) {
            wc = WNDCLASSW{};
            wc.lpfnWndProc = DialogProc;
            wc.lpszClassName = u"TestDlg";
            RegisterClassW(&wc);
        }
        g_dialogTimers = 0;
    }
};

TEST_F(ModalTest, DisablesTheOwnerDropsItsTapsAndEndsOnEndDialog) {
    HWND owner = Top(0, 0, 240, 320);
    HWND dialog =
        CreateWindowExW(0, u"TestDlg", u"dlg", WS_POPUP, 40, 40, 100, 100, owner, nullptr, nullptr, nullptr);
    // Inside the loop: a tap on the owner is dropped, the dialog's timer 2 ends the loop.
    WinSetIdleHandler([&](int depth) {
        EXPECT_EQ(depth, 1);
        EXPECT_FALSE(IsWindowEnabled(owner));
        EXPECT_EQ(WinInjectPen(WM_LBUTTONDOWN, 5, 5), nullptr);
        EXPECT_EQ(WinInjectPen(WM_LBUTTONDOWN, 50, 50), dialog);
        WinInjectPen(WM_LBUTTONUP, 50, 50);
        SetTimer(dialog, 2, 10, nullptr);
        m_clock.Advance(10);
        return true;
    });
    EXPECT_EQ(RunModalLoop(dialog, owner), 55);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(GetActiveWindow(), owner); // activation went back to the owner
}

TEST_F(ModalTest, QuitInsideTheLoopEndsItAndReachesTheOuterLoop) {
    HWND owner = Top(0, 0, 240, 320);
    HWND dialog =
        CreateWindowExW(0, u"TestDlg", u"dlg", WS_POPUP, 40, 40, 100, 100, owner, nullptr, nullptr, nullptr);
    SetTimer(dialog, 1, 20, nullptr); // keeps firing inside the loop
    SetTimer(dialog, 3, 70, nullptr); // posts WM_QUIT with 9
    WinSetIdleHandler([&](int) {
        auto due = WinNextTimerDue();
        if (due) m_clock.Advance(*due - m_clock.TickCount());
        return true;
    });
    EXPECT_EQ(RunModalLoop(dialog, owner), -1);
    EXPECT_EQ(g_dialogTimers, 4); // timer 1 at 20, 40, 60 and timer 3 at 70
    EXPECT_TRUE(IsWindowEnabled(owner));
    WinSetIdleHandler(nullptr);
    MSG m;
    EXPECT_FALSE(GetMessageW(&m, nullptr, 0, 0)); // the outer loop gets the WM_QUIT
    EXPECT_EQ(m.wParam, 9u);
}

// ---- destruction inside a handler ----

int g_destroyed = 0;
LRESULT SelfDestroyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        DestroyWindow(hwnd);
        // The window is gone; the procedure may still run to its end.
        EXPECT_FALSE(IsWindow(hwnd));
        return 0;
    }
    if (message == WM_NCDESTROY) ++g_destroyed;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(WindowTest, DestroyWindowInsideItsOwnHandlerIsSafe) {
    WNDCLASSW wc;
    wc.lpfnWndProc = SelfDestroyProc;
    wc.lpszClassName = u"SelfDestroy";
    RegisterClassW(&wc);
    g_destroyed = 0;
    HWND top = Top(0, 0, 100, 100);
    HWND victim = CreateWindowExW(0, u"SelfDestroy", u"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, nullptr,
                                  nullptr, nullptr);
    HWND grandchild = Child(victim, 0, 0, 10, 10);
    SetTimer(victim, 1, 10, nullptr);
    PostMessageW(victim, WM_USER, 0, 0);
    WinInjectPen(WM_LBUTTONDOWN, 20, 20);
    WinDispatchPending();
    EXPECT_FALSE(IsWindow(victim));
    EXPECT_FALSE(IsWindow(grandchild));
    EXPECT_EQ(g_destroyed, 1);
    // Its timer and its posted message went with it.
    m_seen.clear();
    WinRunFor(50);
    EXPECT_TRUE(Only(WM_TIMER).empty());
    EXPECT_TRUE(Only(WM_USER).empty());
    EXPECT_EQ(GetWindow(top, GW_CHILD), nullptr);
}

TEST_F(WindowTest, HotKeysTakeTheirKeyAndApplicationButtonsStayWithTheShell) {
    HWND w = Top(0, 0, 10, 10);
    SetFocus(w);
    // The shell holds the application buttons: registering one fails until it is released.
    EXPECT_FALSE(RegisterHotKey(w, 1, MOD_WIN, VK_APP2));
    keybd_event(VK_APP2, 0, 0, 0);
    keybd_event(VK_APP2, 0, KEYEVENTF_KEYUP, 0);
    WinDispatchPending();
    EXPECT_TRUE(Only(WM_KEYDOWN).empty());
    // An ordinary key as a hot key: WM_HOTKEY instead of the key-down.
    ASSERT_TRUE(RegisterHotKey(w, 5, 0, VK_F1 + 1));
    EXPECT_FALSE(RegisterHotKey(w, 6, 0, VK_F1 + 1)); // taken
    keybd_event(VK_F1 + 1, 0, 0, 0);
    WinDispatchPending();
    ASSERT_EQ(Only(WM_HOTKEY).size(), 1u);
    EXPECT_EQ(Only(WM_HOTKEY)[0].wParam, 5u);
    EXPECT_TRUE(Only(WM_KEYDOWN).empty());
    EXPECT_TRUE(UnregisterHotKey(w, 5));
    EXPECT_FALSE(UnregisterHotKey(w, 5));
}

} // namespace

namespace {

TEST_F(WindowTest, CallsOnAWindowFromAnotherThreadAreReportedWhileTheCheckIsOn) {
    HWND w = Top(0, 0, 100, 100);
    std::vector<std::string> calls; // written by the worker, read after the join
    WinSetWrongThreadObserver([&](HWND hwnd, const char* call) {
        EXPECT_EQ(hwnd, w);
        calls.push_back(call);
    });
    // The owner's own calls are never reported.
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    ShowWindow(w, SW_SHOW);
    EXPECT_TRUE(calls.empty());
    std::thread worker([w] {
        PostMessageW(w, WM_USER, 1, 2); // posting is what a worker may do
        // (Calls that send to the window would wait for this thread, which waits in join.)
        InvalidateRect(w, nullptr, FALSE);
        ReleaseDC(w, GetDC(w));
    });
    worker.join();
    EXPECT_EQ(calls, (std::vector<std::string>{"InvalidateRect", "GetDC"}));
    // Switched off, nothing is reported.
    WinSetWrongThreadObserver(nullptr);
    std::thread quiet([w] { InvalidateRect(w, nullptr, FALSE); });
    quiet.join();
    EXPECT_EQ(calls.size(), 2u);
    WinDispatchPending();
    ASSERT_EQ(Only(WM_USER).size(), 1u);
}

} // namespace
