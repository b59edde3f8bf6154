#include "app/WarningDlg.h"

#include "platform/window/Window.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"

namespace {

constexpr int kScreenWidth = 240, kScreenHeight = 320;

void RegisterTemplate() {
    // A popup without controls; the panel gives it its size.
    DialogTemplateInfo info;
    info.dialogUnits = true;
    info.rect = RECT{0, 0, 160, 213};
    info.style = WS_POPUP;
    AfxRegisterDialogTemplate(CWarningDlg::kTemplate, info);
}

} // namespace

CWarningDlg::CWarningDlg(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {}

CWarningDlg::~CWarningDlg() {
    if (GetSafeHwnd()) DestroyWindow();
    DeletePanel();
}

BOOL CWarningDlg::Create(CWnd* parent) {
    RegisterTemplate();
    if (!CDialog::Create(kTemplate, parent)) return FALSE;
    Refresh();
    return TRUE;
}

void CWarningDlg::Refresh() {
    if (!GetSafeHwnd()) return;
    if (!m_confirmed) {
        const RECT rect = GetPanelRect();
        if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    }
    UpdateWindow();
}

void CWarningDlg::ProcessEvent(NaviCommand& cmd) {
    if (cmd.target == u"확인") {
        m_confirmed = 1;
        SetActivationState(kActivationClosing);
    }
}

BOOL CWarningDlg::OnInitDialog() {
    NaviDialog::OnInitDialog();
    m_confirmed = 0;
    CreatePanel(this);
    NaviPanel* panel = GetPanel();
    NaviRcBuilder* builder = GetRcBuilder();
    if (panel) {
        panel->SetName(GetPanelName().GetString());
        panel->SetSize(kScreenWidth, kScreenHeight);
        panel->SetPos(0, 0);
        if (builder) {
            builder->SetImageGroup(u"Warn");
            panel->AddChild(builder->CreateFrameWnd(u"Warn", true, false, 0, 0, kScreenWidth, kScreenHeight));
            panel->AddChild(builder->CreateCheckButton(u"확인", true, true, true, 91, 230, 107, 39, false, false, panel,
                                                       false, nullptr));
        }
        panel->SetListener(this);
    }
    Refresh();
    ShowWindow(SW_SHOWNORMAL);
    return TRUE;
}

BOOL CWarningDlg::PreTranslateMessage(MSG* msg) {
    if (IsEnterOrEscape(msg)) return TRUE;
    return NaviDialog::PreTranslateMessage(msg);
}

LRESULT CWarningDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return TRUE;
    // Once confirmed only the window's destruction is still handled.
    if (m_confirmed && message != WM_DESTROY && message != WM_NCDESTROY) return 0;
    return NaviDialog::WindowProc(message, wParam, lParam);
}

void CWarningDlg::OnPaint() {
    CPaintDC dc(this);
    if (m_confirmed) return;
    const RECT rect = GetPanelRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    CDC memory;
    NaviCanvas canvas;
    if (!canvas.Create(&dc, RECT{0, 0, width, height}, &memory)) return;
    const RECT area{0, 0, width, height};
    memory.FillSolidRect(&area, RGB(0, 0, 0));
    Draw(&memory);
    canvas.Blit(&dc, &memory);
    canvas.Release(&memory);
}

void CWarningDlg::OnLButtonDown(UINT /*flags*/, CPoint point) {
    if (m_confirmed) return;
    if (NaviPanel* panel = GetPanel()) panel->DispatchPenDown(point.x, point.y);
    Invalidate(FALSE);
    UpdateWindow();
}

void CWarningDlg::OnLButtonUp(UINT /*flags*/, CPoint point) {
    if (NaviPanel* panel = GetPanel()) panel->DispatchPenUp(point.x, point.y);
    if (!GetSafeHwnd()) return;
    if (GetActivationState() == kActivationClosing) {
        DestroyWindow();
        return;
    }
    Invalidate(FALSE);
    UpdateWindow();
}

void CWarningDlg::OnDestroy() {
    DeletePanel();
    NaviDialog::OnDestroy();
}
