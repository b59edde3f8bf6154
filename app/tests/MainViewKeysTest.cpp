// The main view's hardware keys through its window: key-up by device type, the application
// buttons taken as hot keys while the view is active, the arrow keys scrolling the map, and the
// screen given to the desktop and taken back.
#include "MainViewFixture.h"

#include "app/NaviApp.h"
#include "app/ViewKeys.h"
#include "platform/window/Shell.h"

namespace mainview_test {

namespace {

// The level file's in-use flags as written, read straight from the sample's bytes.
int NextLevelInUse(int from) {
    const std::vector<std::uint8_t> bytes = ReadCe(std::u16string(kDataFolder) + u"\\level.bin");
    for (int j = from; j < 15 && (j + 1) * 12 <= static_cast<int>(bytes.size()); ++j)
        if (bytes[static_cast<std::size_t>(j) * 12]) return j + 1;
    return -1;
}

// The sample handheld's buttons (F3, F4, F2, F1 in the SDL host).
constexpr std::uint16_t kSampleKeys[4] = {195, 196, 194, 193};
// Key functions the tests give the buttons: the view mode and zoom in.
constexpr int kCycleViewMode = 12;
constexpr int kZoomIn = 13;

class MainViewKeysTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        ASSERT_TRUE(ShellCreateStandIns());
        m_config->SetValue(0, 0);
        for (int s = 34; s <= 38; ++s) m_config->SetValue(s, 0);
        for (int i = 0; i < 4; ++i) navi::g_appKeys[i] = kSampleKeys[i];
        navi::g_gapiKeys = 0;
    }
    void TearDown() override {
        MainViewTest::TearDown();
        ShellDestroyStandIns();
        for (std::uint16_t& k : navi::g_appKeys) k = 0;
    }
    // The buttons' settings as the system page stores them, then the view activated again.
    void MapKeys(int s35, int s36, int s37, int s38) {
        m_config->SetValue(34, 1);
        m_config->SetValue(35, s35);
        m_config->SetValue(36, s36);
        m_config->SetValue(37, s37);
        m_config->SetValue(38, s38);
        m_view->OnActivateView(TRUE, m_view, m_view);
    }
    // Presses and releases a key as the handheld does, then lets the windows handle it.
    void Press(BYTE key) {
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
        WinDispatchPending();
    }
    RECT FrameRect() {
        RECT r{};
        ::GetWindowRect(m_frame->m_hWnd, &r);
        return r;
    }
    HWND Taskbar() { return FindWindowW(u"HHTaskbar", nullptr); }
};

} // namespace

TEST_F(MainViewKeysTest, KeyUpRunsTheFunctionOfTheSettingTheDeviceTypeMaps) {
    Open();
    const int zoomed = NextLevelInUse(11);
    ASSERT_GT(zoomed, 11);
    MapKeys(0, kCycleViewMode, kZoomIn, 0);

    // Type 9: 0x84 is the third button, setting 37: zoom in.
    m_config->SetDeviceType(9);
    m_view->SendMessage(WM_KEYUP, 0x84, 0);
    EXPECT_EQ(m_view->GetMapLevel(), zoomed);
    EXPECT_EQ(m_view->GetViewMode(), 0);

    // Type 21: the same code is the second button, setting 36: the next view mode, stored.
    m_config->SetDeviceType(21);
    m_view->SendMessage(WM_KEYUP, 0x84, 0);
    EXPECT_EQ(m_view->GetViewMode(), 1);
    EXPECT_EQ(m_view->GetMapLevel(), zoomed);
    CNaviConfig stored;
    stored.Load(kDataFolder);
    EXPECT_EQ(stored.GetValue(0), 1);

    // The sample's type 14 knows 0x84 as no button; its third button is 194.
    m_config->SetDeviceType(14);
    const int level = m_view->GetMapLevel();
    m_view->SendMessage(WM_KEYUP, 0x84, 0);
    EXPECT_EQ(m_view->GetMapLevel(), level);
    EXPECT_EQ(m_view->GetViewMode(), 1);
    m_view->SendMessage(WM_KEYUP, 194, 0);
    EXPECT_EQ(m_view->GetMapLevel(), NextLevelInUse(level));

    // Keys not mapped (setting 34 off): the key does nothing.
    m_config->SetValue(34, 0);
    m_config->SetDeviceType(21);
    m_view->SendMessage(WM_KEYUP, 0x84, 0);
    EXPECT_EQ(m_view->GetViewMode(), 1);
}

TEST_F(MainViewKeysTest, ButtonsBecomeHotKeysOnlyWhereTheDeviceHasThem) {
    Open();
    // Setting 38 on but no fourth button: three buttons are taken.
    navi::g_appKeys[3] = 0;
    MapKeys(kCycleViewMode, 0, kZoomIn, kCycleViewMode);
    EXPECT_EQ(m_view->GetKeys().CapturedCount(), 2); // setting 36 is off
    m_config->SetValue(36, kZoomIn);
    m_view->OnActivateView(TRUE, m_view, m_view);
    EXPECT_EQ(m_view->GetKeys().CapturedCount(), 3);

    // The first button pressed on the handheld: the view mode moves on.
    Press(195);
    EXPECT_EQ(m_view->GetViewMode(), 1);
    // The button the device lacks reaches nobody.
    Press(193);
    EXPECT_EQ(m_view->GetViewMode(), 1);

    // With the fourth button the fourth is taken too and runs setting 38's function.
    navi::g_appKeys[3] = 193;
    m_view->OnActivateView(TRUE, m_view, m_view);
    EXPECT_EQ(m_view->GetKeys().CapturedCount(), 4);
    Press(193);
    EXPECT_EQ(m_view->GetViewMode(), 2);
}

TEST_F(MainViewKeysTest, HoldingLeftWhileFollowingStopsFollowingAndReleaseStartsTheCountdown) {
    m_vehicleAtMap = true;
    Open();
    ASSERT_TRUE(m_view->IsFollowing());
    m_view->StartAutoReturn();
    // A held key repeats its key-down.
    for (int i = 0; i < 3; ++i) m_view->SendMessage(WM_KEYDOWN, VK_LEFT, 1);
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_EQ(m_view->GetAutoReturn(), CMainView::kAutoReturnStopped);
    EXPECT_TRUE(m_view->GetMapWnd().IsDragging());

    m_view->SendMessage(WM_KEYUP, VK_LEFT, 0);
    EXPECT_FALSE(m_view->GetMapWnd().IsDragging());
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
    EXPECT_FALSE(m_view->IsFollowing());
    // Where the scroll left the map is the document's map position.
    std::int32_t cx = 0, cy = 0;
    m_view->GetMapWnd().GetCenter(cx, cy);
    EXPECT_EQ(m_doc->mapX, cx);
    EXPECT_EQ(m_doc->mapY, cy);
}

TEST_F(MainViewKeysTest, TearingTheUserInterfaceDownTwiceIsHarmless) {
    Open();
    MapKeys(kCycleViewMode, kCycleViewMode, kCycleViewMode, kCycleViewMode);
    m_view->ShowHighwayPanel();
    ASSERT_EQ(m_view->GetKeys().CapturedCount(), 4);
    m_view->TearDownSkinnedUi();
    m_view->TearDownSkinnedUi();
    EXPECT_EQ(m_view->GetMainScreen(), nullptr);
    EXPECT_EQ(m_view->GetHighwayPanel(), nullptr);
    EXPECT_EQ(m_view->GetLocus(), nullptr);
    EXPECT_FALSE(m_view->IsHighwayAlert());
    // The buttons went back to the shell.
    EXPECT_EQ(m_view->GetKeys().CapturedCount(), 0);
    Press(195);
    EXPECT_EQ(m_view->GetViewMode(), 0);
    // And the user interface can be set up again.
    m_view->SetUpSkinnedUi();
    EXPECT_NE(m_view->GetMainScreen(), nullptr);
}

TEST_F(MainViewKeysTest, ToTheDesktopAndBackGivesTheButtonsAndTheTaskbarBackAndTakesThemAgain) {
    m_config->SetDeviceType(7);
    m_vehicleAtMap = true;
    Open();
    ::SetWindowTextW(m_frame->m_hWnd, u"Velko");
    m_frame->HideTaskbarWindows();
    m_frame->SetActiveWindow();
    MapKeys(kCycleViewMode, 0, 0, 0);
    ASSERT_EQ(m_view->GetKeys().CapturedCount(), 1);

    // To the desktop: the taskbar shows above the frame, and the button is the shell's again.
    ::SetActiveWindow(ShellDesktopWindow());
    EXPECT_TRUE(::IsWindowVisible(Taskbar()));
    RECT r = FrameRect();
    EXPECT_EQ(r.top, 26);
    EXPECT_EQ(r.bottom - r.top, 294);
    EXPECT_EQ(m_view->GetKeys().CapturedCount(), 0);
    Press(195);
    EXPECT_EQ(m_view->GetViewMode(), 0);

    // Back: the whole screen, the button taken again.
    m_frame->SetActiveWindow();
    EXPECT_FALSE(::IsWindowVisible(Taskbar()));
    r = FrameRect();
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom - r.top, 320);
    EXPECT_EQ(m_view->GetKeys().CapturedCount(), 1);
    Press(195);
    EXPECT_EQ(m_view->GetViewMode(), 1);

    // An arrow key stops following; then the broadcast on type 7 leaves the desktop in front.
    m_view->SendMessage(WM_KEYDOWN, VK_LEFT, 1);
    m_view->SendMessage(WM_KEYUP, VK_LEFT, 0);
    ASSERT_FALSE(m_view->IsFollowing());
    ::SetForegroundWindow(ShellDesktopWindow());
    const UINT broadcast = RegisterWindowMessageW(u"DOVADEDAD_BRODCAST_MESSAGE");
    EXPECT_EQ(m_frame->SendMessage(broadcast, 42000, 0), 0);
    EXPECT_EQ(GetForegroundWindow(), ShellDesktopWindow());
}

} // namespace mainview_test
