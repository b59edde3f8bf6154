// The main window of the program. It takes the whole 240 x 320 screen while the program is in
// front: it finds the shell's taskbar, the input-panel button and the bottom menu bar among the
// top-level windows, hides the taskbar and the button, and gives the screen back (taskbar shown,
// the frame below it) when another program is activated. On device types 7 and 23 the broadcast
// message "DOVADEDAD_BRODCAST_MESSAGE" with 42000 brings the program forward while it follows
// the vehicle.
#pragma once

#include "platform/window/Afx.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    static constexpr int kTopBarHeight = 26;
    static constexpr WPARAM kBroadcastBringForward = 42000;

    CMainFrame();
    ~CMainFrame() override;

    // The frame of the running program (null before construction and after destruction).
    static CMainFrame* Get();

    void HideTaskbarWindows();
    void HideOtherWindows(bool relayout);
    void ShowFullScreen();
    void ShowTopBar();
    void HideInputButton();

    bool IsTopBarShown() const { return m_topBarShown; }
    bool IsShrunk() const { return m_shrunk; }

    // The close handler: with the wait cursor on, clears the top-bar flag and gives the taskbar
    // and the menu bar back while a view is active, then the framework's close.
    void OnClose() override;
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnActivate(UINT state, CWnd* other, BOOL minimized) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ScanWindows();
    LRESULT OnBroadcast(WPARAM wParam);

    bool m_topBarShown = true;
    bool m_shrunk = true;
    // A close that is already running (the view's shutdown may close the frame again).
    bool m_closing = false;
};
