// The skinned dialog: a modal dialog whose client area a root panel paints. While it is active the
// handheld stays full-screen (taskbar and input-panel button hidden, input panel at the bottom of
// the screen); when another program comes to the front they come back. Enter and Escape never
// close it.
#pragma once

#include "platform/window/Dialog.h"
#include "skinui/CNaviDialogBroker.h"
#include "skinui/NaviInputPanel.h"

class NaviListener;

class NaviDialog : public CDialog, public CNaviDialogBroker {
public:
    NaviDialog(UINT templateId, CWnd* parentWnd, CWnd* mainWnd);
    explicit NaviDialog(CWnd* mainWnd);

    void SetNestedPopup(bool on) { m_nestedPopup = on; }
    bool IsNestedPopup() const { return m_nestedPopup; }
    CWnd* GetMainWnd() const { return m_mainWnd; }

    // Run first for every message: 0 ends its handling.
    int OnActivateMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static bool IsEnterOrEscape(const MSG* msg);

    // The three operations that close the dialog; each first marks it as closing.
    void OnOK() override;
    void OnCancel() override;
    virtual void EndDialog(int result);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // The usual pattern of a skinned dialog: builds the root panel with the listener, hides the
    // taskbar, takes the panel's rectangle as the window's, paints off screen, and hands the pen
    // to the panel.
    void InitSkin(NaviListener* listener);
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;

    NaviInputPanel& InputPanel() { return m_inputPanel; }

protected:
    CWnd* m_mainWnd = nullptr;
    CWnd* m_parentWnd = nullptr;
    UINT m_templateId = 0;
    bool m_nestedPopup = false;
    NaviInputPanel m_inputPanel;
};
