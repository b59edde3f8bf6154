// Taking the handheld's application buttons from the shell: the capture through coredll's
// export, what happens without it, and the view leaving a button without a function to the shell.
#include "MainViewFixture.h"

#include "app/HotKeyCapture.h"
#include "app/NaviApp.h"
#include "app/ViewKeys.h"
#include "platform/window/Shell.h"

namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

using namespace mainview_test;

namespace {

constexpr UINT kApp1 = 0xC1;

class HotKeyCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallClock(&m_clock);
        ASSERT_TRUE(ShellCreateStandIns());
        m_window = MakeWindow();
        m_other = MakeWindow();
    }
    void TearDown() override {
        WinResetForTests();
        ShellRestoreModules();
        InstallClock(nullptr);
    }
    static HWND MakeWindow() {
        return CreateWindowExW(0, u"HHTaskbar", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
    }
    // Whether the shell still holds the button: no other window can take it either.
    bool ShellHolds(UINT vk) {
        if (RegisterHotKey(m_other, 77, MOD_WIN, vk)) {
            UnregisterHotKey(m_other, 77);
            return false;
        }
        return true;
    }
    SimulatedClock m_clock;
    HWND m_window = nullptr;
    HWND m_other = nullptr;
};

TEST_F(HotKeyCaptureTest, TheShellGivesTheButtonUpAndTheWindowRegistersIt) {
    ASSERT_TRUE(ShellHolds(kApp1));
    {
        CHotKeyCapture capture;
        EXPECT_TRUE(capture.IsAvailable());
        EXPECT_TRUE(capture.Capture(m_window, kApp1, kApp1));
        EXPECT_EQ(ShellLoadedModuleCount(), 1);
    }
    // The object frees coredll; the hot key stays with the window.
    EXPECT_EQ(ShellLoadedModuleCount(), 0);
    EXPECT_TRUE(UnregisterHotKey(m_window, kApp1));
    // UnregisterFunc1(MOD_WIN, 0xC1) released it: once the window lets go, anyone may take it.
    EXPECT_FALSE(ShellHolds(kApp1));
}

TEST_F(HotKeyCaptureTest, WithoutTheExportOrTheModuleNothingIsCalledOrRegistered) {
    for (const bool wholeModule : {false, true}) {
        ShellRestoreModules();
        if (wholeModule)
            ShellRemoveModule("coredll.dll");
        else
            ShellRemoveModuleExport("coredll.dll", "UnregisterFunc1");
        CHotKeyCapture capture;
        EXPECT_FALSE(capture.IsAvailable());
        EXPECT_FALSE(capture.Capture(m_window, kApp1, kApp1));
        EXPECT_FALSE(UnregisterHotKey(m_window, kApp1)) << wholeModule;
        EXPECT_TRUE(ShellHolds(kApp1)) << wholeModule;
    }
}

// A window that cannot take the key (another holds it) reports false though the shell let go.
TEST_F(HotKeyCaptureTest, ARefusedRegistrationIsReportedFalse) {
    CHotKeyCapture first;
    ASSERT_TRUE(first.Capture(m_other, kApp1, kApp1));
    EXPECT_FALSE(first.Capture(m_window, kApp1, kApp1));
    EXPECT_FALSE(UnregisterHotKey(m_window, kApp1));
}

class ViewHotKeyTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        ASSERT_TRUE(ShellCreateStandIns());
        // The buttons untouched until the test maps them (the sample's settings would take them at
        // the first activation).
        for (int s = 34; s <= 38; ++s) m_config->SetValue(s, 0);
        for (int i = 0; i < 4; ++i) navi::g_appKeys[i] = static_cast<std::uint16_t>(0xC1 + i);
        navi::g_gapiKeys = 0;
    }
    void TearDown() override {
        MainViewTest::TearDown();
        ShellDestroyStandIns();
        for (std::uint16_t& k : navi::g_appKeys) k = 0;
    }
};

// Only the buttons with a function are taken; a button whose function is 0 stays with the shell.
TEST_F(ViewHotKeyTest, AButtonWithoutAFunctionStaysWithTheShell) {
    Open();
    m_config->SetValue(34, 1);
    m_config->SetValue(35, 12);
    m_config->SetValue(36, 0);
    m_config->SetValue(37, 13);
    m_config->SetValue(38, 12);
    m_view->OnActivateView(TRUE, m_view, m_view);
    EXPECT_EQ(m_view->GetKeys().CapturedCount(), 3);
    HWND other =
        CreateWindowExW(0, u"HHTaskbar", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    // The second button (0xC2): neither the view holds it nor may anyone else take it.
    EXPECT_FALSE(RegisterHotKey(other, 0xC2, MOD_WIN, 0xC2));
    m_view->ReleaseKeys();
    EXPECT_EQ(m_view->GetKeys().CapturedCount(), 0);
    EXPECT_FALSE(RegisterHotKey(other, 0xC2, MOD_WIN, 0xC2));
    // The first button, given up by the shell when the view took it, is free once the view lets go.
    EXPECT_TRUE(RegisterHotKey(other, 0xC1, MOD_WIN, 0xC1));
}

} // namespace
