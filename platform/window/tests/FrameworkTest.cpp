// The MFC-shaped framework: application, single-document template, frame, view, document,
// dialog.
#include "platform/base/Clock.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/window/Afx.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_trace = nullptr;
void Trace(const std::string& s) {
    if (g_trace) g_trace->push_back(s);
}

class TDoc : public CDocument {
    DECLARE_DYNCREATE(TDoc)
public:
    ~TDoc() override { Trace("doc deleted"); }
    BOOL OnNewDocument() override {
        Trace("doc new");
        return CDocument::OnNewDocument();
    }
};
IMPLEMENT_DYNCREATE(TDoc, CDocument)

class TView : public CView {
    DECLARE_DYNCREATE(TView)
public:
    ~TView() override { Trace("view deleted"); }
    void OnInitialUpdate() override { Trace("view initial update"); }
    void OnActivateView(BOOL activate, CView* a, CView* d) override {
        Trace(activate ? "view activate" : "view deactivate");
        CView::OnActivateView(activate, a, d);
    }
    void OnDraw(CDC* dc) override {
        CRect rc;
        GetClientRect(rc);
        dc->FillSolidRect(rc, RGB(1, 2, 3));
    }
};
IMPLEMENT_DYNCREATE(TView, CView)

class TFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TFrame)
public:
    ~TFrame() override { Trace("frame deleted"); }
};
IMPLEMENT_DYNCREATE(TFrame, CFrameWnd)

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallClock(&m_clock);
        g_trace = &m_trace;
    }
    void TearDown() override {
        WinResetForTests();
        g_trace = nullptr;
        InstallClock(nullptr);
    }
    SimulatedClock m_clock;
    std::vector<std::string> m_trace;
};

TEST_F(FrameworkTest, SingleDocumentTemplateBuildsFrameViewAndDocumentAndClosingTakesThemDown) {
    CWinApp app(u"Test");
    app.AddDocTemplate(
        new CSingleDocTemplate(128, RUNTIME_CLASS(TDoc), RUNTIME_CLASS(TFrame), RUNTIME_CLASS(TView)));
    CCommandLineInfo info;
    ASSERT_TRUE(app.ProcessShellCommand(info));
    auto* frame = dynamic_cast<TFrame*>(app.m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    CView* view = frame->GetActiveView();
    ASSERT_NE(view, nullptr);
    EXPECT_NE(dynamic_cast<TDoc*>(view->GetDocument()), nullptr);
    EXPECT_EQ(::GetDlgItem(frame->m_hWnd, AFX_IDW_PANE_FIRST), view->m_hWnd);
    // The view fills the frame's client area, also after the frame changes size.
    frame->MoveWindow(0, 26, 240, 294);
    CRect rc;
    view->GetClientRect(rc);
    EXPECT_EQ(rc, CRect(0, 0, 240, 294));
    EXPECT_EQ(std::count(m_trace.begin(), m_trace.end(), "view initial update"), 1);
    EXPECT_EQ(std::count(m_trace.begin(), m_trace.end(), "doc new"), 1);
    EXPECT_EQ(::GetFocus(), view->m_hWnd);

    // Painting goes through CPaintDC into the window's backing store.
    WinDispatchPending();
    WinComposeScreen();
    EXPECT_EQ(gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap())->GetColor(10, 100), RGB(1, 2, 3));

    // WM_CLOSE on the main frame: document, view and frame go, and the loop gets WM_QUIT.
    m_trace.clear();
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_NE(std::find(m_trace.begin(), m_trace.end(), "doc deleted"), m_trace.end());
    EXPECT_NE(std::find(m_trace.begin(), m_trace.end(), "view deleted"), m_trace.end());
    EXPECT_NE(std::find(m_trace.begin(), m_trace.end(), "frame deleted"), m_trace.end());
    EXPECT_FALSE(app.PumpMessage());
    EXPECT_EQ(app.ExitInstance(), 0);
}

TEST_F(FrameworkTest, ViewHearsFrameActivationBothWays) {
    CWinApp app(u"Test");
    app.AddDocTemplate(
        new CSingleDocTemplate(128, RUNTIME_CLASS(TDoc), RUNTIME_CLASS(TFrame), RUNTIME_CLASS(TView)));
    CCommandLineInfo info;
    ASSERT_TRUE(app.ProcessShellCommand(info));
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, nullptr, u"other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr));
    m_trace.clear();
    app.m_pMainWnd->SetActiveWindow();
    ASSERT_FALSE(m_trace.empty());
    EXPECT_EQ(m_trace.back(), "view activate");
    other.SetActiveWindow();
    EXPECT_EQ(m_trace.back(), "view deactivate");
    app.m_pMainWnd->DestroyWindow();
}

class TDialog : public CDialog {
public:
    TDialog() : CDialog(77) {}
    BOOL OnInitDialog() override {
        Trace("init");
        return TRUE;
    }
};

TEST_F(FrameworkTest, DialogRunsModalOverTheMainWindowAndEnterEndsItWithOk) {
    CWinApp app(u"Test");
    app.AddDocTemplate(
        new CSingleDocTemplate(128, RUNTIME_CLASS(TDoc), RUNTIME_CLASS(TFrame), RUNTIME_CLASS(TView)));
    CCommandLineInfo info;
    ASSERT_TRUE(app.ProcessShellCommand(info));
    DialogTemplateInfo t;
    t.rect = RECT{20, 40, 120, 140};
    AfxRegisterDialogTemplate(77, t);
    HWND main = app.m_pMainWnd->m_hWnd;
    TDialog dialog;
    m_trace.clear();
    int idle = 0;
    WinSetIdleHandler([&](int depth) {
        ++idle;
        EXPECT_EQ(depth, 1);
        EXPECT_FALSE(::IsWindowEnabled(main));
        RECT r;
        ::GetWindowRect(dialog.m_hWnd, &r);
        EXPECT_EQ(r.left, 20);
        EXPECT_EQ(r.bottom, 140);
        keybd_event(VK_RETURN, 0, 0, 0);
        keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
        return true;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    WinSetIdleHandler(nullptr);
    EXPECT_EQ(idle, 1);
    EXPECT_EQ(m_trace.front(), "init");
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(main));
    app.m_pMainWnd->DestroyWindow();
}

TEST_F(FrameworkTest, WaitCursorNestsAndRestores) {
    CWinApp app(u"Test");
    EXPECT_FALSE(WinIsWaitCursor());
    {
        CWaitCursor outer;
        EXPECT_TRUE(WinIsWaitCursor());
        { CWaitCursor inner; }
        EXPECT_TRUE(WinIsWaitCursor());
    }
    EXPECT_FALSE(WinIsWaitCursor());
}

} // namespace

// An application whose start fails after showing a window of its own: the program still ends.
class FailingStartApp : public CWinApp {
public:
    FailingStartApp() : CWinApp(u"Test") {}
    BOOL InitInstance() override {
        m_leftOver = ::CreateWindowExW(0, AfxRegisterWndClass(0), u"left over", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                       nullptr, nullptr, nullptr);
        return FALSE;
    }
    int ExitInstance() override {
        if (m_leftOver) ::DestroyWindow(m_leftOver);
        return 7;
    }
    HWND m_leftOver = nullptr;
};

TEST_F(FrameworkTest, AFailedStartEndsEvenWithAVisibleWindowLeftUnpainted) {
    FailingStartApp app;
    EXPECT_EQ(AfxWinMain(), 7);
}
