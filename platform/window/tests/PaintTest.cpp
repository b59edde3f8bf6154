// Painting into backing stores and composing the screen.
#include "platform/base/Clock.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace {

// Each window paints its whole client in the colour kept in its user data.
std::map<HWND, int> g_paints;
std::map<HWND, std::thread::id> g_paintThread;

LRESULT SolidProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongW(hwnd, GWL_USERDATA)));
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        ++g_paints[hwnd];
        g_paintThread[hwnd] = std::this_thread::get_id();
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

COLORREF ScreenAt(int x, int y) {
    WinComposeScreen();
    gdi::Bitmap* screen = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap());
    return screen ? screen->GetColor(x, y) : CLR_INVALID;
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallClock(&m_clock);
        WNDCLASSW wc;
        if (!GetClassInfoW(nullptr, u"Solid", &wc)) {
            wc = WNDCLASSW{};
            wc.lpfnWndProc = SolidProc;
            wc.lpszClassName = u"Solid";
            ASSERT_NE(RegisterClassW(&wc), 0);
        }
        g_paints.clear();
        g_paintThread.clear();
    }
    void TearDown() override {
        WinResetForTests();
        InstallClock(nullptr);
    }
    HWND Make(HWND parent, int x, int y, int w, int h, COLORREF color, DWORD style = WS_VISIBLE) {
        HWND hwnd = CreateWindowExW(0, u"Solid", u"", style | (parent ? WS_CHILD : WS_POPUP), x, y, w, h,
                                    parent, nullptr, nullptr, nullptr);
        SetWindowLongW(hwnd, GWL_USERDATA, static_cast<LONG_PTR>(color));
        InvalidateRect(hwnd, nullptr, TRUE);
        return hwnd;
    }
    SimulatedClock m_clock;
};

TEST_F(PaintTest, InvalidateThenTwoUpdatesPaintOnce) {
    HWND w = Make(nullptr, 0, 0, 100, 100, kRed);
    WinDispatchPending();
    const int before = g_paints[w];
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    UpdateWindow(w);
    EXPECT_EQ(g_paints[w], before + 1);
    // Nothing is left for the queue either.
    WinDispatchPending();
    EXPECT_EQ(g_paints[w], before + 1);
}

TEST_F(PaintTest, ScreenIsComposedInZOrderAndUncoveredAreasShowWhatIsBelow) {
    HWND below = Make(nullptr, 0, 0, 240, 320, kRed);
    HWND above = Make(nullptr, 50, 50, 100, 100, kBlue);
    WinDispatchPending();
    EXPECT_EQ(ScreenAt(10, 10), kRed);
    EXPECT_EQ(ScreenAt(60, 60), kBlue);
    const int belowPaints = g_paints[below];
    // Moving the top window: its old place shows the window below without repainting it (each
    // top-level window keeps its own backing store).
    MoveWindow(above, 150, 150, 100, 100, TRUE);
    WinDispatchPending();
    EXPECT_EQ(ScreenAt(60, 60), kRed);
    EXPECT_EQ(ScreenAt(160, 160), kBlue);
    EXPECT_EQ(g_paints[below], belowPaints);
    ShowWindow(above, SW_HIDE);
    EXPECT_EQ(ScreenAt(160, 160), kRed);
    DestroyWindow(below);
    EXPECT_EQ(ScreenAt(10, 10), kDesktopColor);
}

TEST_F(PaintTest, ChildrenAreClippedOutOfTheParentAndMovingOneRepaintsWhatItUncovered) {
    HWND parent = Make(nullptr, 0, 0, 240, 320, kRed);
    HWND child = Make(parent, 10, 10, 50, 50, kBlue);
    WinDispatchPending();
    EXPECT_EQ(ScreenAt(20, 20), kBlue);
    // The parent repaints everything it has: the child's area is clipped out of its DC.
    InvalidateRect(parent, nullptr, TRUE);
    UpdateWindow(parent);
    EXPECT_EQ(ScreenAt(20, 20), kBlue);
    EXPECT_EQ(ScreenAt(5, 5), kRed);
    MoveWindow(child, 100, 100, 50, 50, TRUE);
    WinDispatchPending();
    EXPECT_EQ(ScreenAt(20, 20), kRed); // uncovered and repainted by the parent
    EXPECT_EQ(ScreenAt(110, 110), kBlue);
    DestroyWindow(child);
    WinDispatchPending();
    EXPECT_EQ(ScreenAt(110, 110), kRed);
}

TEST_F(PaintTest, RegionShapesTheWindowOnTheScreen) {
    Make(nullptr, 0, 0, 240, 320, kRed);
    HWND shaped = Make(nullptr, 0, 0, 100, 100, kGreen);
    SetWindowRgn(shaped, CreateRectRgn(0, 0, 50, 50), TRUE);
    WinDispatchPending();
    EXPECT_EQ(ScreenAt(10, 10), kGreen);
    EXPECT_EQ(ScreenAt(70, 70), kRed);
}

TEST_F(PaintTest, RedrawRequestedFromAWorkerIsPaintedOnTheUiThread) {
    HWND w = Make(nullptr, 0, 0, 100, 100, kRed);
    WinDispatchPending();
    const int before = g_paints[w];
    std::thread worker([w] {
        InvalidateRect(w, nullptr, FALSE);
        UpdateWindow(w); // does not paint here: the window belongs to another thread
    });
    worker.join();
    EXPECT_EQ(g_paints[w], before);
    WinDispatchPending();
    EXPECT_EQ(g_paints[w], before + 1);
    EXPECT_EQ(g_paintThread[w], std::this_thread::get_id());
}

LRESULT EraseProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        // Only the erase happened; the paint adds nothing.
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(PaintTest, EraseUsesTheClassBackgroundAndOnlyTheInvalidArea) {
    WNDCLASSW wc;
    if (!GetClassInfoW(nullptr, u"Erased", &wc)) {
        wc = WNDCLASSW{};
        wc.lpfnWndProc = EraseProc;
        // A system colour index + 1 stands for that colour's brush.
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_HIGHLIGHT + 1));
        wc.lpszClassName = u"Erased";
        RegisterClassW(&wc);
    }
    HWND w = CreateWindowExW(0, u"Erased", u"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
    WinDispatchPending();
    const COLORREF face = GetSysColor(COLOR_HIGHLIGHT);
    ASSERT_NE(face, kRed);
    EXPECT_EQ(ScreenAt(50, 50), face);
    // Paint red straight into the window, then erase only a part of it.
    HDC dc = GetDC(w);
    RECT all{0, 0, 100, 100};
    HBRUSH red = CreateSolidBrush(kRed);
    FillRect(dc, &all, red);
    DeleteObject(red);
    ReleaseDC(w, dc);
    EXPECT_EQ(ScreenAt(50, 50), kRed);
    RECT part{0, 0, 20, 20};
    InvalidateRect(w, &part, TRUE);
    UpdateWindow(w);
    EXPECT_EQ(ScreenAt(10, 10), face);
    EXPECT_EQ(ScreenAt(50, 50), kRed);
}

} // namespace
