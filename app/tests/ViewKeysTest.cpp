#include "app/MessagePump.h"
#include "app/ViewKeys.h"

#include "platform/window/Shell.h"
#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FakeKeyView : public IKeyView {
public:
    HWND window = nullptr;
    int settings[200] = {};
    int deviceType = 14;
    bool following = false;
    int viewMode = 0;
    std::vector<std::string> calls;
    std::vector<int> functions;

    HWND KeyWindow() override { return window; }
    int Setting(int index) override { return settings[index]; }
    int DeviceType() override { return deviceType; }
    void RunKeyFunction(int function) override { functions.push_back(function); }
    bool IsFollowing() override { return following; }
    void StopFollowing() override {
        following = false;
        calls.push_back("StopFollowing");
    }
    void StartAutoReturn() override { calls.push_back("StartAutoReturn"); }
    void StopAutoReturn() override { calls.push_back("StopAutoReturn"); }
    int ViewMode() override { return viewMode; }
    void FaceHeadingUp() override { calls.push_back("FaceHeadingUp"); }
    void ApplyCurrentLevel() override { calls.push_back("ApplyCurrentLevel"); }
    void BeginDragScroll(int dx, int dy, int period) override {
        calls.push_back("BeginDragScroll " + std::to_string(dx) + " " + std::to_string(dy) + " " +
                        std::to_string(period));
    }
    void EndDragScroll() override { calls.push_back("EndDragScroll"); }
    void StoreMapCentre() override { calls.push_back("StoreMapCentre"); }
    void Redraw() override { calls.push_back("Redraw"); }
};

std::vector<UINT> g_dispatched;

LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER) {
        g_dispatched.push_back(message);
        // A message posted while the pump runs is dispatched by the same pump.
        if (message == WM_USER + 1) PostMessageW(hwnd, WM_USER + 9, 0, 0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class ViewKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ShellCreateStandIns());
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = u"KeysTestView";
        RegisterClassW(&wc);
        view.window = CreateWindowExW(0, u"KeysTestView", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr,
                                      nullptr, nullptr, nullptr);
        ASSERT_NE(view.window, nullptr);
        SetActiveWindow(view.window);
        SetFocus(view.window);
        g_dispatched.clear();
    }
    void TearDown() override { WinResetForTests(); }

    // Presses and releases key; the messages that reached the view's window.
    std::vector<MSG> Press(BYTE key) {
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
        std::vector<MSG> got;
        MSG msg;
        while (PeekMessageW(&msg, view.window, WM_KEYDOWN, WM_HOTKEY, PM_REMOVE)) got.push_back(msg);
        return got;
    }
    static bool HasHotKey(const std::vector<MSG>& msgs, UINT id) {
        for (const MSG& m : msgs)
            if (m.message == WM_HOTKEY && m.wParam == id) return true;
        return false;
    }

    FakeKeyView view;
    CViewKeys keys{view};
};

TEST_F(ViewKeysTest, KeyUpRunsTheFunctionOfTheKeysSetting) {
    view.settings[34] = 1;
    for (int s = 35; s <= 38; ++s) view.settings[s] = s - 30; // setting 35 runs function 5, ...
    keys.SetApplicationKeys({0xC3, 0xC4, 0xC2, 0xC1});
    struct Case {
        int type;
        UINT key;
        int function; // 0: none
    };
    const Case cases[] = {
        {9, 0x84, 7},  {9, 0x85, 6},  {9, 0x83, 5},  {9, 0x86, 8},  // type 9: 0x84 is the third key
        {21, 0x84, 6}, {21, 0x85, 7}, {21, 0x83, 5}, {21, 0x86, 8}, // type 21: the second
        {14, 0xC2, 7}, {14, 0xC3, 5}, {14, 0xC1, 8}, {14, 0x84, 0}, // others: the device's own codes
        {9, 0xC2, 0},
    };
    for (const Case& c : cases) {
        view.deviceType = c.type;
        view.functions.clear();
        keys.OnKeyUp(c.key);
        EXPECT_EQ(view.functions, c.function ? std::vector<int>{c.function} : std::vector<int>{})
            << c.type << " " << c.key;
    }
    // Keys not mapped: nothing.
    view.settings[34] = 0;
    view.deviceType = 9;
    view.functions.clear();
    keys.OnKeyUp(0x84);
    EXPECT_TRUE(view.functions.empty());
}

TEST_F(ViewKeysTest, TypeFifteenMapsTwoKeysOnKeyDown) {
    view.settings[34] = 1;
    view.settings[35] = 3;
    view.settings[36] = 11;
    view.deviceType = 15;
    keys.OnKeyDown(0x7D);
    keys.OnKeyDown(0x7E);
    EXPECT_EQ(view.functions, (std::vector<int>{3, 11}));
    view.deviceType = 14;
    keys.OnKeyDown(0x7D);
    EXPECT_EQ(view.functions.size(), 2u);
}

TEST_F(ViewKeysTest, TheButtonsWhoseSettingsAreOnBecomeHotKeys) {
    for (int s = 34; s <= 38; ++s) view.settings[s] = 1;
    keys.SetApplicationKeys({0xC3, 0xC4, 0xC2, 0}); // no fourth key
    keys.RegisterKeys();
    EXPECT_EQ(keys.CapturedCount(), 3);
    for (BYTE key : {0xC3, 0xC4, 0xC2}) EXPECT_TRUE(HasHotKey(Press(key), key)) << int(key);
    EXPECT_FALSE(HasHotKey(Press(0xC1), 0xC1));
    // Setting 36 off: its button stays with the shell.
    view.settings[36] = 0;
    keys.RegisterKeys();
    EXPECT_EQ(keys.CapturedCount(), 2);
    EXPECT_FALSE(HasHotKey(Press(0xC4), 0xC4));
    EXPECT_TRUE(HasHotKey(Press(0xC3), 0xC3));
}

TEST_F(ViewKeysTest, ReleasingTwiceIsHarmlessAndTheKeysCanBeTakenAgain) {
    for (int s = 34; s <= 38; ++s) view.settings[s] = 1;
    keys.SetApplicationKeys({0xC3, 0xC4, 0xC2, 0xC1});
    keys.OnActivate(true);
    EXPECT_EQ(keys.CapturedCount(), 4);
    keys.OnActivate(false);
    keys.ReleaseKeys();
    EXPECT_EQ(keys.CapturedCount(), 0);
    EXPECT_FALSE(HasHotKey(Press(0xC3), 0xC3));
    keys.OnActivate(true);
    EXPECT_EQ(keys.CapturedCount(), 4);
    EXPECT_TRUE(HasHotKey(Press(0xC3), 0xC3));
    // Setting 34 off: activation gives the buttons back.
    view.settings[34] = 0;
    keys.OnActivate(true);
    EXPECT_EQ(keys.CapturedCount(), 0);

    // GAPI input is opened once and closed once.
    view.settings[34] = 1;
    keys.SetUseGapi(true);
    keys.RegisterKeys();
    EXPECT_TRUE(keys.GapiInputOpen());
    EXPECT_EQ(keys.CapturedCount(), 0);
    keys.ReleaseKeys();
    keys.ReleaseKeys();
    EXPECT_FALSE(keys.GapiInputOpen());
}

TEST_F(ViewKeysTest, HoldingAnArrowWhileFollowingStopsFollowing) {
    view.following = true;
    view.viewMode = 1;
    // The held key repeats its key-down.
    keys.OnKeyDown(VK_LEFT);
    keys.OnKeyDown(VK_LEFT);
    keys.OnKeyDown(VK_LEFT);
    EXPECT_TRUE(keys.KeyScrolling());
    EXPECT_FALSE(view.following);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"StopFollowing", "StopAutoReturn", "FaceHeadingUp",
                                                     "ApplyCurrentLevel", "BeginDragScroll -10 0 20"}));
    view.calls.clear();
    keys.OnKeyUp(VK_LEFT);
    EXPECT_FALSE(keys.KeyScrolling());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"StartAutoReturn", "EndDragScroll", "StoreMapCentre",
                                                     "ApplyCurrentLevel", "Redraw"}));
    // Not following, north up: only the scroll, in the key's direction.
    struct Case {
        UINT key;
        const char* scroll;
    };
    for (const Case c : {Case{VK_UP, "BeginDragScroll 0 -10 20"}, Case{VK_DOWN, "BeginDragScroll 0 10 20"},
                         Case{VK_RIGHT, "BeginDragScroll 10 0 20"}}) {
        view.calls.clear();
        view.viewMode = 0;
        keys.OnKeyDown(c.key);
        EXPECT_EQ(view.calls, (std::vector<std::string>{"ApplyCurrentLevel", c.scroll}));
        keys.OnKeyUp(c.key);
    }
    // Other keys do nothing.
    view.calls.clear();
    keys.OnKeyDown('A');
    keys.OnKeyUp('A');
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(ViewKeysTest, PumpingStopsAtTheQuitAndLeavesItQueued) {
    PostMessageW(view.window, WM_USER + 1, 0, 0);
    PostMessageW(view.window, WM_USER + 2, 0, 0);
    PostQuitMessage(7);
    PumpMessages();
    EXPECT_EQ(g_dispatched, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 9}));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    // Pumping again returns at once, the quit still there for the message loop.
    PumpMessages();
    EXPECT_TRUE(WinQuitPending());
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    // Nothing waiting: returns at once.
    PumpMessages();
    EXPECT_EQ(g_dispatched.size(), 3u);
}

} // namespace
