// The shell stand-ins, the input-panel calls, the core module and GAPI input.
#include "platform/base/Clock.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/window/Shell.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

namespace {

RECT RectOf(const char16_t* cls) {
    RECT r{};
    GetWindowRect(FindWindowW(cls, nullptr), &r);
    return r;
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int g_settingChanges = 0;
LRESULT CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTINGCHANGE && wParam == SPI_SETSIPINFO) ++g_settingChanges;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallClock(&m_clock);
        ASSERT_TRUE(ShellCreateStandIns());
    }
    void TearDown() override {
        WinResetForTests();
        ShellRestoreModules();
        InstallClock(nullptr);
    }
    SimulatedClock m_clock;
};

TEST_F(ShellTest, StandInsSitWhereTheSystemLooksForThem) {
    EXPECT_TRUE(Same(RectOf(u"MS_SIPBUTTON"), RECT{204, 295, 240, 319}));
    EXPECT_TRUE(Same(RectOf(u"HHTaskbar"), RECT{0, 0, 240, 26}));
    EXPECT_TRUE(Same(RectOf(u"menu_worker"), RECT{-1, 294, 241, 320}));
    EXPECT_TRUE(Same(RectOf(u"SipWndClass"), RECT{0, 214, 240, 294}));
    EXPECT_TRUE(IsWindowVisible(FindWindowW(u"HHTaskbar", nullptr)));
    EXPECT_FALSE(IsWindowVisible(FindWindowW(u"SipWndClass", nullptr)));
    EXPECT_FALSE(ShellCreateStandIns()); // once only
    // Showing the taskbar does not take the activation from the program in front.
    HWND active = GetActiveWindow();
    ShowWindow(FindWindowW(u"HHTaskbar", nullptr), SW_HIDE);
    ShowWindow(FindWindowW(u"HHTaskbar", nullptr), SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), active);
}

TEST_F(ShellTest, DefaultRectTakesEffectWhenTheInputMethodIsSelectedAgain) {
    HWND sip = FindWindowW(u"SipWndClass", nullptr);
    RECT bottom{0, 240, 240, 320};
    ASSERT_TRUE(SipSetDefaultRect(&bottom));
    EXPECT_TRUE(Same(RectOf(u"SipWndClass"), RECT{0, 214, 240, 294})); // not yet
    CLSID im;
    ASSERT_TRUE(SipGetCurrentIM(&im));
    ASSERT_TRUE(SipSetCurrentIM(&im));
    EXPECT_TRUE(Same(RectOf(u"SipWndClass"), bottom));
    // The AYGSHELL call raises the panel (0) and forces it down (2).
    EXPECT_TRUE(SHSipPreference(nullptr, SIP_UP));
    EXPECT_TRUE(IsWindowVisible(sip));
    EXPECT_TRUE(SHSipPreference(nullptr, SIP_FORCEDOWN));
    EXPECT_FALSE(IsWindowVisible(sip));
    ASSERT_EQ(ShellSipPreferenceCalls().size(), 2u);
    EXPECT_EQ(ShellSipPreferenceCalls()[1].state, 2);
}

TEST_F(ShellTest, InputPanelChangesReachWindowsAsSettingChanges) {
    WNDCLASSW wc;
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = u"Counting";
    RegisterClassW(&wc);
    CreateWindowExW(0, u"Counting", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    g_settingChanges = 0;
    SipShowIM(SIPF_ON);
    SipShowIM(SIPF_ON); // no change, no message
    SipShowIM(SIPF_OFF);
    EXPECT_EQ(g_settingChanges, 2);
}

TEST_F(ShellTest, HotKeyCaptureThroughTheCoreModule) {
    HWND w = CreateWindowExW(0, u"HHTaskbar", u"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                             nullptr, nullptr);
    using Unregister = BOOL (*)(UINT, UINT);
    HMODULE core = LoadLibraryW(u"coredll.dll");
    ASSERT_NE(core, nullptr);
    auto release = reinterpret_cast<Unregister>(GetProcAddressW(core, u"UnregisterFunc1"));
    ASSERT_NE(release, nullptr);
    EXPECT_FALSE(RegisterHotKey(w, VK_APP3, MOD_WIN, VK_APP3)); // still the shell's
    EXPECT_TRUE(release(MOD_WIN, VK_APP3));
    EXPECT_TRUE(RegisterHotKey(w, VK_APP3, MOD_WIN, VK_APP3));
    EXPECT_TRUE(FreeLibrary(core));
    EXPECT_EQ(ShellLoadedModuleCount(), 0);
    EXPECT_EQ(LoadLibraryW(u"other.dll"), nullptr);
    // A test removes the export: the address is null; without the module nothing loads.
    ShellRemoveModuleExport("coredll.dll", "UnregisterFunc1");
    core = LoadLibraryW(u"COREDLL.DLL");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(GetProcAddressW(core, u"UnregisterFunc1"), nullptr);
    FreeLibrary(core);
    ShellRemoveModule("coredll.dll");
    EXPECT_EQ(LoadLibraryW(u"coredll.dll"), nullptr);
}

TEST_F(ShellTest, GapiInputHandsTheApplicationButtonsToTheFocus) {
    HWND w = CreateWindowExW(0, u"HHTaskbar", u"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                             nullptr, nullptr);
    SetWindowLongW(w, GWL_EXSTYLE, 0);
    SetFocus(w);
    const GXKeyList keys = GXGetDefaultKeys(GX_NORMALKEYS);
    EXPECT_EQ(keys.vkA, VK_APP1);
    EXPECT_EQ(keys.vkUp, VK_UP);
    MSG m;
    keybd_event(static_cast<BYTE>(keys.vkA), 0, 0, 0);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)); // the shell's
    GXOpenInput();
    keybd_event(static_cast<BYTE>(keys.vkA), 0, 0, 0);
    ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_EQ(m.wParam, VK_APP1);
    EXPECT_EQ(m.hwnd, w);
    GXCloseInput();
}

} // namespace

namespace {

TEST(DeviceInformation, OemStringFromDeviceIni) {
    TempRoot root;
    root.MakeFile("device.ini", "oem=hp iPAQ h2200\n");
    DeviceRoot::ReloadSettings();
    char16_t buffer[256] = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETOEMINFO, sizeof buffer, buffer, 0));
    EXPECT_EQ(std::u16string(buffer), u"hp iPAQ h2200");

    // The size is in bytes and must hold the terminator: 13 characters need 28 bytes.
    char16_t exact[14] = {};
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETOEMINFO, 28, exact, 0));
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETOEMINFO, 26, exact, 0));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    root.MakeFile("device.ini", "card=Storage Card\n"); // no OEM line: an empty string
    DeviceRoot::ReloadSettings();
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETOEMINFO, sizeof buffer, buffer, 0));
    EXPECT_EQ(buffer[0], 0);
}

} // namespace
