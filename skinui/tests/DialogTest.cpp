// The skinned dialog's full-screen handling against the shell stand-ins, its keys and timer, and
// the off-screen bitmaps.
#include "SkinTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/window/Shell.h"
#include "platform/window/WindowHost.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"

namespace {

constexpr UINT kTemplate = 4900;

RECT RectOf(const char16_t* cls) {
    RECT r{};
    GetWindowRect(FindWindowW(cls, nullptr), &r);
    return r;
}

bool Visible(const char16_t* cls) {
    return IsWindowVisible(FindWindowW(cls, nullptr));
}

// Lays out one panel filling the lower part of the screen.
class LowerPanelBuilder : public NaviRcBuilder {
public:
    void BuildPanel(CWnd*, NaviPanel* root, CString name) override {
        built = name;
        root->SetSize(240, 100);
        root->SetPos(0, 200);
    }
    CString built;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallClock(&clock);
        ASSERT_TRUE(ShellCreateStandIns());
        DialogTemplateInfo info;
        info.rect = RECT{0, 0, 240, 320};
        AfxRegisterDialogTemplate(kTemplate, info);
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"VelkoMain";
        RegisterClassW(&wc);
        mainHwnd = CreateWindowExW(0, u"VelkoMain", u"Velko", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_TRUE(main.Attach(mainHwnd));
    }
    void TearDown() override {
        main.Detach();
        WinResetForTests();
        InstallClock(nullptr);
    }
    SimulatedClock clock;
    HWND mainHwnd = nullptr;
    CWnd main;
};

} // namespace

TEST_F(DialogTest, ActivationKeepsFullScreenOnlyWhileActive) {
    NaviDialog dialog(kTemplate, &main, &main);
    ASSERT_TRUE(dialog.Create(kTemplate, &main));
    const HWND desktop = ShellDesktopWindow();
    ASSERT_NE(desktop, nullptr);
    const LPARAM fromDesktop = reinterpret_cast<LPARAM>(desktop);

    EXPECT_EQ(dialog.OnActivateMessage(WM_SETTINGCHANGE, 0, 0), 0);
    EXPECT_EQ(dialog.OnActivateMessage(WM_DESTROY, 0, 0), 1);
    EXPECT_EQ(dialog.OnActivateMessage(WM_PAINT, 0, 0), 1);

    // The first activation only marks the dialog active.
    EXPECT_EQ(dialog.GetActivationState(), kActivationNew);
    const std::size_t sipCalls = ShellSipPreferenceCalls().size();
    EXPECT_EQ(dialog.OnActivateMessage(WM_ACTIVATE, WA_ACTIVE, fromDesktop), 1);
    EXPECT_EQ(dialog.GetActivationState(), kActivationActive);
    EXPECT_TRUE(Visible(u"HHTaskbar"));
    EXPECT_EQ(ShellSipPreferenceCalls().size(), sipCalls);

    // Back from another program: full screen, input panel at the bottom of the screen.
    dialog.OnActivateMessage(WM_ACTIVATE, WA_ACTIVE, fromDesktop);
    EXPECT_FALSE(Visible(u"HHTaskbar"));
    EXPECT_FALSE(Visible(u"MS_SIPBUTTON"));
    EXPECT_TRUE(SameRect(RectOf(u"SipWndClass"), RECT{0, 240, 240, 320}));
    ASSERT_EQ(ShellSipPreferenceCalls().size(), sipCalls + 1);
    EXPECT_EQ(ShellSipPreferenceCalls().back().state, SIP_FORCEDOWN);

    // Another program in front: the shell comes back, the panel sits on the button bar (24 high).
    dialog.OnActivateMessage(WM_ACTIVATE, WA_INACTIVE, fromDesktop);
    EXPECT_TRUE(Visible(u"HHTaskbar"));
    EXPECT_TRUE(Visible(u"MS_SIPBUTTON"));
    EXPECT_TRUE(SameRect(RectOf(u"SipWndClass"), RECT{0, 216, 240, 296}));

    // A window of the application (a child of the main window) changes nothing.
    const HWND child = CreateWindowExW(0, u"VelkoMain", u"", WS_CHILD, 0, 0, 5, 5, mainHwnd, nullptr, nullptr, nullptr);
    dialog.OnActivateMessage(WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(child));
    EXPECT_TRUE(Visible(u"HHTaskbar"));

    // While a message box is up, or once closing, activations change nothing either.
    for (int state : {kActivationChildUp, kActivationClosing}) {
        dialog.SetActivationState(state);
        dialog.OnActivateMessage(WM_ACTIVATE, WA_ACTIVE, fromDesktop);
        EXPECT_TRUE(Visible(u"HHTaskbar")) << state;
        EXPECT_EQ(dialog.GetActivationState(), state);
    }
    dialog.DestroyWindow();
}

TEST_F(DialogTest, EnterAndEscapeKeyDownsAreSwallowed) {
    struct Case {
        UINT message;
        WPARAM key;
        bool swallowed;
    } cases[] = {{WM_KEYDOWN, VK_RETURN, true}, {WM_KEYDOWN, VK_ESCAPE, true}, {WM_KEYUP, VK_RETURN, false},
                 {WM_KEYUP, VK_ESCAPE, false},  {WM_KEYDOWN, 'A', false},       {WM_CHAR, VK_RETURN, false}};
    for (const Case& c : cases) {
        MSG msg{};
        msg.message = c.message;
        msg.wParam = c.key;
        EXPECT_EQ(NaviDialog::IsEnterOrEscape(&msg), c.swallowed) << c.message << " " << c.key;
    }
    NaviDialog dialog(kTemplate, &main, &main);
    ASSERT_TRUE(dialog.Create(kTemplate, &main));
    MSG enter{};
    enter.hwnd = dialog.GetSafeHwnd();
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    EXPECT_TRUE(dialog.PreTranslateMessage(&enter));
    EXPECT_TRUE(IsWindow(dialog.GetSafeHwnd()));
    EXPECT_EQ(dialog.GetActivationState(), kActivationNew);
    dialog.OnOK();
    EXPECT_EQ(dialog.GetActivationState(), kActivationClosing);
    dialog.DestroyWindow();
}

TEST_F(DialogTest, PanelIsBuiltByNameAndTheTimerNeedsAnOwner) {
    LowerPanelBuilder builder;
    builder.SetClickSound(false);
    NaviDialog dialog(kTemplate, &main, &main);
    ASSERT_TRUE(dialog.Create(kTemplate, &main));
    dialog.SetRcBuilder(&builder);
    dialog.SetPanelName(u"경고창");
    dialog.StartTimer(100); // no owner yet
    EXPECT_FALSE(KillTimer(dialog.GetSafeHwnd(), 1));
    dialog.InitSkin(nullptr);
    EXPECT_EQ(builder.built, CString(u"경고창"));
    ASSERT_NE(dialog.GetPanel(), nullptr);
    EXPECT_FALSE(dialog.GetPanel()->GetClickSound());
    EXPECT_TRUE(SameRect(dialog.GetPanelRect(), RECT{0, 200, 240, 300}));
    RECT window{};
    GetWindowRect(dialog.GetSafeHwnd(), &window);
    EXPECT_TRUE(SameRect(window, RECT{0, 200, 240, 300}));
    EXPECT_FALSE(Visible(u"HHTaskbar"));
    dialog.StartTimer(100);
    EXPECT_TRUE(KillTimer(dialog.GetSafeHwnd(), 1));
    dialog.DeletePanel();
    EXPECT_EQ(dialog.GetPanel(), nullptr);
    EXPECT_TRUE(SameRect(dialog.GetPanelRect(), RECT{}));
    dialog.DestroyWindow();
}

TEST(ScreenBitmap, FallsBackToATwentyFourBitSection) {
    HDC dc = CreateCompatibleDC(nullptr);
    GdiFailNextBitmapCreations(1);
    HBITMAP bitmap = CreateScreenBitmap(dc, 30, 20);
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section{};
    ASSERT_GT(GetObjectW(bitmap, sizeof section, &section), 0);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(section.dsBm.bmWidth, 30);
    DeleteObject(bitmap);

    // No bitmap at all: the canvas attaches nothing.
    CDC source;
    source.Attach(dc);
    CDC target;
    NaviCanvas canvas;
    GdiFailNextBitmapCreations(2);
    EXPECT_EQ(canvas.Create(&source, RECT{0, 0, 10, 10}, &target), 0);
    EXPECT_EQ(target.GetSafeHdc(), nullptr);
    GdiFailNextBitmapCreations(0);
    ASSERT_EQ(canvas.Create(&source, RECT{0, 0, 10, 10}, &target), 1);
    EXPECT_NE(target.GetSafeHdc(), nullptr);
    canvas.Release(&target);
    EXPECT_EQ(target.GetSafeHdc(), nullptr);
    source.Detach();
    DeleteDC(dc);
}

TEST(InputPanel, HeightNeedsAWindow) {
    NaviInputPanel panel;
    EXPECT_EQ(panel.Init(), 0);
    EXPECT_EQ(panel.Enable(true), 0);
    EXPECT_EQ(panel.GetSipHeight(), 0);
}
