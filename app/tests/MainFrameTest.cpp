// The main frame: the screen taken from the shell's taskbar and given back to another program,
// the broadcast that brings the program forward, and closing by the host.
#include "MainViewFixture.h"

#include "app/ViewThreads.h"
#include "platform/window/Shell.h"

#include <filesystem>

namespace mainview_test {

namespace {

class MainFrameTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        ASSERT_TRUE(ShellCreateStandIns());
    }
    void TearDown() override {
        MainViewTest::TearDown();
        ShellDestroyStandIns();
    }
    RECT FrameRect() {
        RECT r{};
        ::GetWindowRect(m_frame->m_hWnd, &r);
        return r;
    }
    HWND Taskbar() { return FindWindowW(u"HHTaskbar", nullptr); }
};

} // namespace

TEST_F(MainFrameTest, AnotherProgramGetsTheTaskbarBackAndReturningTakesTheScreenAgain) {
    Open();
    m_frame->HideTaskbarWindows();
    EXPECT_FALSE(::IsWindowVisible(Taskbar()));
    EXPECT_FALSE(::IsWindowVisible(FindWindowW(u"MS_SIPBUTTON", nullptr)));
    m_frame->SetActiveWindow();

    // To the desktop: the taskbar shows and the frame lies below it.
    ::SetActiveWindow(ShellDesktopWindow());
    EXPECT_TRUE(::IsWindowVisible(Taskbar()));
    RECT r = FrameRect();
    EXPECT_EQ(r.top, 26);
    EXPECT_EQ(r.bottom - r.top, 294);
    EXPECT_TRUE(m_frame->IsShrunk());

    // And back: the whole screen again.
    m_frame->SetActiveWindow();
    EXPECT_FALSE(::IsWindowVisible(Taskbar()));
    r = FrameRect();
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom - r.top, 320);
    EXPECT_FALSE(m_frame->IsShrunk());
    EXPECT_FALSE(m_frame->IsTopBarShown());
}

// The program's own dialogs (pop-ups owned by the frame, and pop-ups owned by those) take the front
// without giving the screen back: the taskbar stays hidden and would otherwise cover their title
// row and its buttons.
TEST_F(MainFrameTest, OwnDialogsKeepTheScreen) {
    Open();
    m_frame->HideTaskbarWindows();
    m_frame->SetActiveWindow();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"FrameTestDialog";
    RegisterClassW(&wc);
    const HWND dialog = CreateWindowExW(0, u"FrameTestDialog", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                                        m_frame->m_hWnd, nullptr, nullptr, nullptr);
    ASSERT_TRUE(dialog);
    ::SetActiveWindow(dialog);
    EXPECT_FALSE(::IsWindowVisible(Taskbar()));
    EXPECT_FALSE(m_frame->IsShrunk());
    const HWND popup = CreateWindowExW(0, u"FrameTestDialog", u"", WS_POPUP | WS_VISIBLE, 20, 40, 200, 200, dialog,
                                       nullptr, nullptr, nullptr);
    ASSERT_TRUE(popup);
    ::SetActiveWindow(popup);
    EXPECT_FALSE(::IsWindowVisible(Taskbar()));
    EXPECT_EQ(FrameRect().top, 0);
    ::DestroyWindow(popup);
    ::DestroyWindow(dialog);
    // Another program still gets it back.
    m_frame->SetActiveWindow();
    ::SetActiveWindow(ShellDesktopWindow());
    EXPECT_TRUE(::IsWindowVisible(Taskbar()));
    EXPECT_TRUE(m_frame->IsShrunk());
}

TEST_F(MainFrameTest, BroadcastBringsTheProgramForwardOnlyWhileFollowingOnDeviceSeven) {
    m_config->SetDeviceType(7);
    Open();
    ::SetWindowTextW(m_frame->m_hWnd, u"Velko");
    const UINT message = RegisterWindowMessageW(u"DOVADEDAD_BRODCAST_MESSAGE");
    ::SetForegroundWindow(ShellDesktopWindow());
    ASSERT_EQ(GetForegroundWindow(), ShellDesktopWindow());
    m_view->SetFollowing(false);
    EXPECT_EQ(m_frame->SendMessage(message, 42000, 0), 0);
    EXPECT_EQ(GetForegroundWindow(), ShellDesktopWindow());
    m_view->SetFollowing(true);
    EXPECT_EQ(m_frame->SendMessage(message, 41999, 0), 0);
    EXPECT_EQ(GetForegroundWindow(), ShellDesktopWindow());
    EXPECT_EQ(m_frame->SendMessage(message, 42000, 0), 0);
    EXPECT_EQ(GetForegroundWindow(), m_frame->m_hWnd);
    // Other devices ignore it.
    ::SetForegroundWindow(ShellDesktopWindow());
    m_config->SetDeviceType(14);
    m_frame->SendMessage(message, 42000, 0);
    EXPECT_EQ(GetForegroundWindow(), ShellDesktopWindow());
}

TEST_F(MainFrameTest, ClosingByTheHostRunsTheShutdownAndGivesTheTaskbarBack) {
    Open();
    m_frame->HideTaskbarWindows();
    const std::string trail = DeviceRoot::Resolve(u"\\My Documents\\Velko\\locus.bin");
    std::filesystem::remove(trail);
    m_frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(m_app->m_pMainWnd, nullptr);
    EXPECT_EQ(CMainView::Get(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(Taskbar()));
    // The shutdown saved the driving trail.
    EXPECT_TRUE(std::filesystem::exists(trail));
}

TEST_F(MainFrameTest, ClosingStopsTheWorkersBeforeTheViewGoes) {
    Open();
    m_view->CreatePositionServices();
    m_view->StartThreads();
    ASSERT_TRUE(m_view->ThreadsStarted());
    m_view->StartThreads(); // a second start does nothing
    const std::string trail = DeviceRoot::Resolve(u"\\My Documents\\Velko\\locus.bin");
    std::filesystem::remove(trail);
    m_frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(CMainView::Get(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(trail));
}

} // namespace mainview_test
