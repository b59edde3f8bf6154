#include "app/CMainFrame.h"

#include "app/CMainView.h"
#include "config/NaviConfig.h"
#include "platform/window/Shell.h"
#include "route/base/InputPanel.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

namespace {

CMainFrame* g_frame = nullptr;

// What the window scan found (process-wide: the shell's windows outlive the frame).
HWND g_taskbar = nullptr;
HWND g_menuBar = nullptr;
HWND g_inputButton = nullptr;
bool g_menuBarSeen = false;
bool g_buttonSeen = false;

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

BOOL ScanOne(HWND hwnd, LPARAM) {
    RECT r{};
    if (!GetWindowRect(hwnd, &r)) return TRUE;
    if (Same(r, RECT{204, 295, 240, 319})) {
        ShowWindow(hwnd, SW_HIDE);
        g_inputButton = hwnd;
        g_buttonSeen = true;
    } else if (Same(r, RECT{0, 0, 240, 26})) {
        ShowWindow(hwnd, SW_HIDE);
        g_taskbar = hwnd;
    } else if (Same(r, RECT{-1, 294, 241, 320})) {
        g_menuBar = hwnd;
        g_menuBarSeen = true;
    }
    if (g_menuBarSeen && g_buttonSeen) {
        g_menuBarSeen = g_buttonSeen = false;
        return FALSE;
    }
    return TRUE;
}

UINT BroadcastMessage() {
    static const UINT message = RegisterWindowMessageW(u"DOVADEDAD_BRODCAST_MESSAGE");
    return message;
}

} // namespace

CMainFrame::CMainFrame() { g_frame = this; }

CMainFrame::~CMainFrame() {
    if (g_frame == this) g_frame = nullptr;
}

CMainFrame* CMainFrame::Get() { return g_frame; }

int CMainFrame::OnCreate(LPCREATESTRUCT cs) { return CFrameWnd::OnCreate(cs) == -1 ? -1 : 0; }

void CMainFrame::ScanWindows() { EnumWindows(ScanOne, 0); }

void CMainFrame::HideTaskbarWindows() {
    ScanWindows();
    m_shrunk = false;
}

void CMainFrame::HideOtherWindows(bool relayout) {
    ScanWindows();
    if (!relayout || !m_hWnd) return;
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    if (m_topBarShown)
        MoveWindow(r.left, kTopBarHeight, r.right - r.left, 320 - kTopBarHeight);
    else
        MoveWindow(r.left, 0, r.right - r.left, 320);
}

void CMainFrame::ShowFullScreen() {
    if (g_taskbar) ::ShowWindow(g_taskbar, SW_HIDE);
    m_topBarShown = false;
    if (m_hWnd) {
        RECT r{};
        ::GetWindowRect(m_hWnd, &r);
        MoveWindow(r.left, 0, r.right - r.left, 320);
    }
    m_shrunk = false;
}

void CMainFrame::ShowTopBar() {
    if (g_taskbar) ::ShowWindow(g_taskbar, SW_SHOW);
    if (m_hWnd) {
        RECT r{};
        ::GetWindowRect(m_hWnd, &r);
        MoveWindow(r.left, kTopBarHeight, r.right - r.left, 320 - kTopBarHeight);
    }
    m_shrunk = true;
}

void CMainFrame::HideInputButton() {
    if (g_inputButton) ::ShowWindow(g_inputButton, SW_HIDE);
}

void CMainFrame::OnClose() {
    if (m_closing) return;
    // Closed inside a simulated drive: the drive stops and the close comes again once its loop
    // has unwound, so the view is not destroyed under it.
    if (auto* view = dynamic_cast<CMainView*>(GetActiveView()); view && view->DeferExitDuringDrive()) return;
    m_closing = true;
    CWaitCursor wait;
    // Closing by the host (window closed, quit, a signal) stops the workers as the exit menu
    // does, before the view goes; the view's shutdown runs once whatever the path.
    if (auto* view = dynamic_cast<CMainView*>(GetActiveView())) view->ShutdownDevices();
    if (GetActiveView()) {
        m_topBarShown = false;
        if (g_menuBar) ::ShowWindow(g_menuBar, SW_SHOW);
        if (g_taskbar) ::ShowWindow(g_taskbar, SW_SHOW);
    }
    CFrameWnd::OnClose();
}

void CMainFrame::OnActivate(UINT state, CWnd* other, BOOL minimized) {
    CFrameWnd::OnActivate(state, other, minimized);
    SHSipPreference(m_hWnd, SIP_FORCEDOWN);
    const WORD how = LOWORD(state);
    if (m_shrunk && (how == WA_ACTIVE || how == WA_CLICKACTIVE)) {
        MoveSipToScreenBottom();
        ShowFullScreen();
    } else if (!m_shrunk && how == WA_INACTIVE) {
        // The program's own windows (the view's dialogs, owned by it) are not another program.
        HWND owner = other ? other->m_hWnd : nullptr;
        while (owner && owner != m_hWnd) owner = ::GetParent(owner);
        if (!owner) {
            MoveSipAboveMenuBar();
            ShowTopBar();
        }
    }
}

LRESULT CMainFrame::OnBroadcast(WPARAM wParam) {
    const int type = CNaviConfig::GetInstance()->GetDeviceType();
    if ((type == 7 || type == 23) && wParam == kBroadcastBringForward) {
        CMainView* view = CMainView::Get();
        if (view && view->IsFollowing()) {
            if (HWND w = FindWindowW(nullptr, u"Velko")) ::SetForegroundWindow(w);
        }
    }
    return 0;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BroadcastMessage() && message != 0) return OnBroadcast(wParam);
    return CFrameWnd::WindowProc(message, wParam, lParam);
}
