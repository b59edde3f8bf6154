#include "commondlg/CNaviCommonDlg.h"

#include "platform/window/Afx.h"
#include "skinui/NaviPanel.h"

namespace {

constexpr UINT kCommonTemplate = 4701;
constexpr UINT kCloseAfterBuild = WM_APP + 0x32;
constexpr int kCorner = 4; // the cut corners of the rounded outline

void RegisterTemplate() {
    static bool registered = false;
    if (registered) return;
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(kCommonTemplate, info);
    registered = true;
}

} // namespace

CNaviCommonDlg::CNaviCommonDlg(CWnd* parent) : NaviDialog(kCommonTemplate, parent, parent) {}

CNaviCommonDlg::~CNaviCommonDlg() {
    DeletePanel();
}

INT_PTR CNaviCommonDlg::DoModal() {
    // Each run starts without a result: a reused dialog must not hand back the last page's.
    m_commonRet = 0;
    RegisterTemplate();
    return NaviDialog::DoModal();
}

BOOL CNaviCommonDlg::OnInitDialog() {
    NaviDialog::OnInitDialog();
    m_building = true;
    InitSkin(this);
    if (m_round && GetSafeHwnd()) {
        const RECT r = GetPanelRect();
        const int w = r.right - r.left, h = r.bottom - r.top;
        if (w > 2 * kCorner && h > 2 * kCorner) {
            HRGN outline = CreateRectRgn(0, 0, w, h);
            for (const RECT& c : {RECT{0, 0, kCorner, kCorner}, RECT{w - kCorner, 0, w, kCorner},
                                  RECT{0, h - kCorner, kCorner, h}, RECT{w - kCorner, h - kCorner, w, h}}) {
                HRGN corner = CreateRectRgnIndirect(&c);
                CombineRgn(outline, outline, corner, RGN_DIFF);
                DeleteObject(corner);
            }
            ::SetWindowRgn(GetSafeHwnd(), outline, TRUE); // the window owns the region now
        }
    }
    if (m_listener) {
        NaviCommand built;
        built.target = kTargetDialog;
        built.control = GetPanelName();
        built.id = kCmdDialogBuilt;
        m_listener->ProcessEvent(built);
    }
    m_building = false;
    // A listener that closed the dialog while it loaded its values: the run ends once it starts.
    if (m_closeAfterBuild) ::PostMessageW(GetSafeHwnd(), kCloseAfterBuild, 0, 0);
    return TRUE;
}

LRESULT CNaviCommonDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCloseAfterBuild) {
        EndDialog(IDOK);
        return 0;
    }
    return NaviDialog::WindowProc(message, wParam, lParam);
}

void CNaviCommonDlg::ProcessCommand(NaviCommand& cmd) {
    if (m_panel) m_panel->ProcessCommand(cmd);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CNaviCommonDlg::ProcessEvent(NaviCommand& cmd) {
    if (m_listener) m_listener->ProcessEvent(cmd);
}

void CNaviCommonDlg::Close() {
    if (m_building) {
        m_closeAfterBuild = true;
        return;
    }
    if (GetSafeHwnd()) EndDialog(IDOK);
}
