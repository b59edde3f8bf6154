// The main view's GPS information window: the Gps command opens it on the screen the handheld
// calls for and closes it again, the GPS state reaches its quality bar, show mode 2 speaks its
// prompt; the window's hidden gesture brings up the logging panel, whose start/stop becomes the
// log wish the GPS reader follows.
#include "MainViewFixture.h"

#include "app/CGpsInfoDlg.h"
#include "app/LogPanelWnd.h"
#include "app/MainViewPosition.h"
#include "app/NaviApp.h"
#include "platform/sound/Sound.h"
#include "platform/window/Controls.h"
#include "platform/window/Shell.h"

using namespace mainview_test;

namespace {

void Gps(CMainView& view) {
    NaviCommand cmd;
    cmd.target = u"Gps";
    cmd.id = 0;
    view.ProcessEvent(cmd);
}

TEST_F(MainViewTest, TheGpsCommandOpensAndClosesTheInformationWindow) {
    Open();
    const std::int16_t type = navi::g_deviceType;
    navi::g_deviceType = 14;
    EXPECT_FALSE(m_view->IsGpsDialogOpen());
    Gps(*m_view);
    ASSERT_TRUE(m_view->IsGpsDialogOpen());
    EXPECT_EQ(m_view->GpsDialog().GetPanelName(), CString(u"GPS 천공도(Button3)"));
    m_view->SetGpsState(57);
    EXPECT_EQ(m_view->GpsDialog().GetSignalQuality(), 57);
    m_view->SetGpsState(-1); // no link: an empty bar
    EXPECT_EQ(m_view->GpsDialog().GetSignalQuality(), 0);
    // A "Gps" that follows the vehicle again (id 1) leaves the window alone; the next one closes it.
    NaviCommand follow;
    follow.target = u"Gps";
    follow.id = 1;
    m_view->ProcessEvent(follow);
    EXPECT_TRUE(m_view->IsGpsDialogOpen());
    Gps(*m_view);
    EXPECT_FALSE(m_view->IsGpsDialogOpen());
    // The handhelds without a GPS reset get the two-button window.
    for (std::int16_t t : {7, 9, 21}) {
        navi::g_deviceType = t;
        Gps(*m_view);
        EXPECT_EQ(m_view->GpsDialog().GetPanelName(), CString(u"GPS 천공도(Button2)")) << t;
        Gps(*m_view);
    }
    navi::g_deviceType = type;
    m_view->RequestGpsReconfigure(); // without the reader: nothing to ask
}

TEST_F(MainViewTest, ShowMode2SpeaksItsPromptAsTheWindowOpens) {
    Open();
    m_view->LoadGuidanceData(kDataFolder);
    auto recorder = std::make_shared<SoundRecorder>();
    SoundSetOutput(recorder);
    // Other show modes open silently.
    Gps(*m_view);
    ASSERT_TRUE(m_view->IsGpsDialogOpen());
    EXPECT_TRUE(recorder->Take().empty());
    Gps(*m_view);
    m_view->GpsDialog().SetShowMode(2);
    Gps(*m_view);
    ASSERT_TRUE(m_view->IsGpsDialogOpen());
    const std::vector<SoundClip> clips = recorder->Take();
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_TRUE(clips[0].name.empty()); // a prompt assembled from the clip files
    EXPECT_GT(clips[0].durationMs, 0u);
    // Closing says nothing.
    Gps(*m_view);
    EXPECT_FALSE(m_view->IsGpsDialogOpen());
    EXPECT_TRUE(recorder->Take().empty());
    SoundSetOutput(nullptr);
}

// The information window is the program's own: opening it keeps the whole screen, so its title
// row is not under the shell's taskbar; another program still gets the taskbar back.
TEST_F(MainViewTest, TheInformationWindowKeepsTheScreenAndItsTitleRowFree) {
    ASSERT_TRUE(ShellCreateStandIns());
    Open();
    m_frame->HideTaskbarWindows();
    m_frame->SetActiveWindow();
    const HWND taskbar = FindWindowW(u"HHTaskbar", nullptr);
    Gps(*m_view);
    ASSERT_TRUE(m_view->IsGpsDialogOpen());
    EXPECT_FALSE(::IsWindowVisible(taskbar));
    EXPECT_FALSE(m_frame->IsShrunk());
    RECT r{};
    ::GetWindowRect(m_view->GpsDialog().GetSafeHwnd(), &r);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 320);
    // Composed, the title row shows the window's title image, not the taskbar's colour.
    WinDispatchPending();
    WinComposeScreen();
    EXPECT_NE(Pixel(10, 10), RGB(0, 0, 128));
    Gps(*m_view);
    ::SetActiveWindow(ShellDesktopWindow());
    EXPECT_TRUE(::IsWindowVisible(taskbar));
    m_app->m_pMainWnd->DestroyWindow();
    m_app.reset();
    ShellDestroyStandIns();
}

bool Checked(CLogPanelWnd& panel, int id) {
    return ::SendMessageW(::GetDlgItem(panel.GetSafeHwnd(), id), BM_GETCHECK, 0, 0) != 0;
}

TEST_F(MainViewTest, TheMemoryFiguresRequestShowsTheLoggingPanelWhoseButtonSetsTheLogWish) {
    RegisterNativeControls();
    Open();
    CMainViewPosition reader(*m_view);
    // What the reader does for the information window's request (on the window's thread).
    reader.UpdateLogPanelMemory();
    ASSERT_TRUE(m_view->IsLogPanelShown());
    CLogPanelWnd& panel = *m_view->GetLogPanelWnd();
    const CMainView::LogPanelFigures& figures = m_view->GetLogPanelFigures();
    EXPECT_TRUE(figures.open);
    WinDispatchPending();
    CString text;
    panel.GetDlgItemText(CLogPanelWnd::kSpaceId, text);
    EXPECT_EQ(text, CLogPanelWnd::FreeSpaceText(figures.memoryFree, figures.cardFree));
    EXPECT_GT(figures.cardFree, 0u);
    panel.GetDlgItemText(CLogPanelWnd::kToggleId, text);
    EXPECT_EQ(text, CString(u"START"));
    EXPECT_TRUE(Checked(panel, CLogPanelWnd::kMainId));
    // A second request while it is up changes nothing.
    reader.UpdateLogPanelMemory();
    EXPECT_TRUE(m_view->IsLogPanelShown());

    // "Storage", then START: the panel closes and the reader is asked to log onto the card.
    panel.SendMessage(WM_COMMAND, CLogPanelWnd::kStorageId, 0);
    EXPECT_FALSE(reader.LoggingWanted());
    panel.SendMessage(WM_COMMAND, CLogPanelWnd::kToggleId, 0);
    EXPECT_FALSE(m_view->IsLogPanelShown());
    EXPECT_FALSE(m_view->GetLogPanelFigures().open);
    EXPECT_TRUE(reader.LoggingWanted());

    // Opened again while logging: the card stays chosen, STOP ends the wish.
    reader.UpdateLogPanelMemory();
    ASSERT_TRUE(m_view->IsLogPanelShown());
    WinDispatchPending();
    panel.GetDlgItemText(CLogPanelWnd::kToggleId, text);
    EXPECT_EQ(text, CString(u"STOP"));
    EXPECT_TRUE(Checked(panel, CLogPanelWnd::kStorageId));
    panel.SendMessage(WM_COMMAND, CLogPanelWnd::kToggleId, 0);
    EXPECT_FALSE(reader.LoggingWanted());
    EXPECT_FALSE(m_view->IsLogPanelShown());

    // Closed without its button (OK/Cancel): the wish stays as it was.
    reader.UpdateLogPanelMemory();
    ASSERT_TRUE(m_view->IsLogPanelShown());
    panel.SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(m_view->IsLogPanelShown());
    EXPECT_FALSE(reader.LoggingWanted());
}

} // namespace
