#include "skinui/NaviDialog.h"

#include "platform/window/Shell.h"
#include "route/base/InputPanel.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviPanel.h"


NaviDialog::NaviDialog(UINT templateId, CWnd* parentWnd, CWnd* mainWnd)
    : CDialog(templateId, parentWnd), m_mainWnd(mainWnd), m_parentWnd(parentWnd), m_templateId(templateId) {}

NaviDialog::NaviDialog(CWnd* mainWnd) : m_mainWnd(mainWnd) {}

int NaviDialog::OnActivateMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTINGCHANGE) return 0;
    if (message != WM_ACTIVATE) return 1;
    const HWND other = reinterpret_cast<HWND>(lParam);
    const HWND main = m_mainWnd ? m_mainWnd->GetSafeHwnd() : nullptr;
    const HWND otherParent = other ? ::GetParent(other) : nullptr;
    bool outside;
    if (!m_nestedPopup) {
        outside = otherParent != main || !main;
    } else {
        const HWND mainParent = main ? ::GetParent(main) : nullptr;
        outside = (other != mainParent || !mainParent) && (otherParent != main || !main);
    }
    if (m_activationState == kActivationActive && outside) {
        SHSipPreference(GetSafeHwnd(), SIP_FORCEDOWN);
        const WORD state = LOWORD(wParam);
        if (state == WA_INACTIVE) {
            ShowTaskbar();
            ShowSipButton();
            MoveSipAboveMenuBar();
        } else if (state == WA_ACTIVE || state == WA_CLICKACTIVE) {
            HideTaskbar();
            HideSipButton();
            MoveSipToScreenBottom();
        }
        return 1;
    }
    if (m_activationState == kActivationNew) m_activationState = kActivationActive;
    return 1;
}

bool NaviDialog::IsEnterOrEscape(const MSG* msg) {
    return msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE);
}

void NaviDialog::OnOK() {
    m_activationState = kActivationClosing;
    CDialog::EndDialog(IDOK);
}

void NaviDialog::OnCancel() {
    m_activationState = kActivationClosing;
    CDialog::EndDialog(IDCANCEL);
}

void NaviDialog::EndDialog(int result) {
    m_activationState = kActivationClosing;
    CDialog::EndDialog(result);
}

LRESULT NaviDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (OnActivateMessage(message, wParam, lParam) == 0) return 0;
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL NaviDialog::PreTranslateMessage(MSG* msg) {
    if (IsEnterOrEscape(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void NaviDialog::InitSkin(NaviListener* listener) {
    CreatePanel(this);
    if (m_panel) m_panel->SetListener(listener);
    HideTaskbar();
    const RECT rect = GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    m_inputPanel.Init();
}

void NaviDialog::OnPaint() {
    CPaintDC dc(this);
    const RECT rect = GetPanelRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    CDC memory;
    NaviCanvas canvas;
    if (!canvas.Create(&dc, RECT{0, 0, width, height}, &memory)) return;
    // The panel draws in screen coordinates; the window's client area starts at its corner.
    ::SetViewportOrgEx(memory.GetSafeHdc(), -rect.left, -rect.top, nullptr);
    Draw(&memory);
    ::SetViewportOrgEx(memory.GetSafeHdc(), 0, 0, nullptr);
    canvas.Blit(&dc, &memory);
    canvas.Release(&memory);
}

void NaviDialog::OnLButtonDown(UINT /*flags*/, CPoint point) {
    const RECT rect = GetPanelRect();
    if (m_panel) m_panel->DispatchPenDown(point.x + rect.left, point.y + rect.top);
    Invalidate(FALSE);
    UpdateWindow();
}

void NaviDialog::OnLButtonUp(UINT /*flags*/, CPoint point) {
    const RECT rect = GetPanelRect();
    // The panel may be gone after the tap (a listener closed the screen).
    if (m_panel) m_panel->DispatchPenUp(point.x + rect.left, point.y + rect.top);
    if (GetSafeHwnd()) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}
