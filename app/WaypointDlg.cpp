#include "app/WaypointDlg.h"

#include "app/LockSet.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/window/Window.h"
#include "route/RouteManager.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/main/NaviMenuPages.h"

namespace {

constexpr const char16_t* kNoneMarked = u"선택된 경유지가 없습니다.";
constexpr const char16_t* kRowNames[CWaypointDlg::kRows] = {u"0", u"1", u"2", u"3", u"4"};

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CWaypointDlg::kTemplate, info);
}

} // namespace

CWaypointDlg::CWaypointDlg(CLockSet& routeLocks, CWnd* parent) : CDialog(kTemplate, parent), m_locks(routeLocks) {}

CWaypointDlg::~CWaypointDlg() {
    if (GetSafeHwnd()) DestroyWindow();
    m_broker.DeletePanel();
}

BOOL CWaypointDlg::Create(CWnd* parent) {
    RegisterTemplate();
    return CDialog::Create(kTemplate, parent);
}

INT_PTR CWaypointDlg::DoModal() {
    RegisterTemplate();
    return CDialog::DoModal();
}

int CWaypointDlg::MarkedRow() const {
    for (int i = 0; i < kRows; ++i)
        if (m_rows[i] && m_rows[i]->IsChecked()) return i;
    return -1;
}

CString CWaypointDlg::RowText(int row) const {
    return row >= 0 && row < kRows && m_rows[row] ? m_rows[row]->GetText() : CString();
}

bool CWaypointDlg::IsRowShown(int row) const {
    return row >= 0 && row < kRows && m_rows[row] && m_rows[row]->IsVisible();
}

bool CWaypointDlg::IsRowMarked(int row) const {
    return row >= 0 && row < kRows && m_rows[row] && m_rows[row]->IsChecked();
}

void CWaypointDlg::Close() {
    // A modeless screen (the tool's) is left to its owner to destroy.
    m_closed = true;
    if (GetSafeHwnd() && m_modal) EndDialog(IDCANCEL);
}

void CWaypointDlg::RefreshRows() {
    const int count = m_routeManager ? std::min(m_routeManager->GetWaypointCount(), kRows) : 0;
    for (int i = 0; i < kRows; ++i) {
        if (!m_rows[i]) continue;
        m_rows[i]->SetVisible(false);
        m_rows[i]->SetChecked(false);
    }
    for (int i = 0; i < count; ++i) {
        if (!m_rows[i]) continue;
        CString text;
        text.Format(u"(%d) %s", i + 1, m_routeManager->GetWaypointLabel(i).GetString());
        m_rows[i]->SetText(text);
        m_rows[i]->SetVisible(true);
    }
    if (m_selection >= 0 && m_selection < kRows && m_rows[m_selection]) m_rows[m_selection]->SetChecked(true);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

bool CWaypointDlg::Move(int from, bool up) {
    if (!m_routeManager) return false;
    // The route's workers read the waypoints: the order changes only under the route lock, and a
    // busy lock leaves it as it is.
    if (!m_locks.Lock(-1, kLockWaitMs)) return false;
    if (up)
        m_routeManager->MoveWaypointUp(from);
    else
        m_routeManager->MoveWaypointDown(from);
    m_locks.Unlock(-1);
    return true;
}

bool CWaypointDlg::NoneMarked() {
    if (MarkedRow() >= 0) return false;
    NaviMessageBox::ShowMessage(kNoneMarked, NaviMessageBox::kNotice);
    return true;
}

void CWaypointDlg::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    const int marked = MarkedRow();
    if (name == u"현위치") {
        if (m_action != kActionReordered) m_action = 4;
        Close();
    } else if (name == u"이전") {
        if (m_action != kActionReordered) m_action = 3;
        Close();
    } else if (name == u"경유지_위") {
        if (marked >= 1 && Move(marked, true)) {
            m_action = kActionReordered;
            m_selection = marked - 1;
            RefreshRows();
        }
    } else if (name == u"경유지_아래") {
        const int count = m_routeManager ? m_routeManager->GetWaypointCount() : 0;
        if (marked >= 0 && marked < count - 1 && Move(marked, false)) {
            m_action = kActionReordered;
            m_selection = marked + 1;
            RefreshRows();
        }
    } else if (name == u"위치보기") {
        if (NoneMarked()) return;
        m_selection = marked;
        if (m_action != kActionReordered) m_action = 11;
        Close();
    } else if (name == u"삭제") {
        if (NoneMarked()) return;
        m_selection = marked;
        m_action = 13;
        Close();
    } else if (name == u"위치수정") {
        m_action = 12;
        if (NoneMarked()) return;
        m_selection = marked;
        Close();
    } else if (name == u"경로탐색") {
        m_action = 15;
        Close();
    } else {
        for (int i = 0; i < kRows; ++i) {
            if (name != kRowNames[i]) continue;
            for (NaviCheckButton* row : m_rows)
                if (row) row->SetChecked(false);
            if (m_rows[i]) {
                m_rows[i]->SetChecked(true);
                m_selectedText = m_rows[i]->GetText();
            }
            if (GetSafeHwnd()) Invalidate(FALSE);
            return;
        }
        Close();
    }
}

BOOL CWaypointDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_broker.CreatePanel(this);
    NaviPanel* root = m_broker.GetPanel();
    NaviRcBuilder* b = m_broker.GetRcBuilder();
    if (root && b) {
        if (m_mode == 0) {
            b->SetImageGroup(u"Window");
            root->AssignName(m_broker.GetPanelName());
            root->SetSize(b->GetScreenWidth(), b->GetScreenHeight());
            root->SetPos(0, 0);
            root->SetTransparent(false);
            root->LoadImages(b);
            root->AddChild(b->CreateButton(u"현위치", true, true, true, false, 197, 3, 41, 32, root));
        } else {
            b->CreateTitledWindow(root, m_broker.GetPanelName());
        }
        root->SetListener(this);
        b->SetImageGroup(u"RouteResult");
        root->AddChild(b->CreateFrameWnd(u"경유지관리_타이틀", true, true, 5, 0, 0, 0));
        root->AddChild(b->CreateFrameWnd(u"경유지목록", true, true, 14, 29, 0, 0));
        root->AddChild(b->CreateFrameWnd(u"경유지리스트바탕", true, true, 13, 51, 0, 0));
        root->AddChild(b->CreateCheckButton(u"경유지_위", true, true, true, 184, 62, 42, 60, false, false, root, false,
                                            nullptr));
        root->AddChild(b->CreateCheckButton(u"경유지_아래", true, true, true, 184, 145, 42, 63, false, false, root,
                                            false, nullptr));
        b->SetImageGroup(u"AddressSearch");
        b->SetCheckGroup(u"버튼2");
        BuildMessageButtons(b, root, root, kMessageRowHigh, u"위치보기", u"위치수정", nullptr, u"위치보기",
                            u"위치수정", nullptr);
        BuildMessageButtons(b, root, root, kMessageRowLow, u"삭제", u"경로탐색", nullptr, u"삭제", u"경로탐색",
                            nullptr);
        b->SetImageGroup(u"RouteResult");
        b->SetCheckGroup(u"경유지리스트_버튼");
        for (int i = 0; i < kRows; ++i) {
            m_rows[i] = b->CreateCheckButton(kRowNames[i], false, true, true, 21, 60 + 32 * i, 157, 25, true, true,
                                             root, false, nullptr);
            root->AddChild(m_rows[i]);
        }
        NaviLabel* order = b->CreateLabel(u"순서", 196, 126, 0, 14, RGB(0, 0, 0), 0, 0, 0xD9D9D9);
        order->SetText(u"순서");
        root->AddChild(order);
    }
    RefreshRows();
    const RECT rect = m_broker.GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    return TRUE;
}

LRESULT CWaypointDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) return 0;
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CWaypointDlg::OnEraseBkgnd(CDC* /*dc*/) {
    return TRUE;
}

void CWaypointDlg::OnPaint() {
    CPaintDC dc(this);
    const RECT rect = m_broker.GetPanelRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    CDC memory;
    NaviCanvas canvas;
    if (!canvas.Create(&dc, RECT{0, 0, width, height}, &memory)) return;
    m_broker.Draw(&memory);
    canvas.Blit(&dc, &memory);
    canvas.Release(&memory);
}

void CWaypointDlg::OnLButtonDown(UINT /*flags*/, CPoint point) {
    if (NaviPanel* panel = m_broker.GetPanel()) panel->DispatchPenDown(point.x, point.y);
    Invalidate(FALSE);
    UpdateWindow();
}

void CWaypointDlg::OnLButtonUp(UINT /*flags*/, CPoint point) {
    if (NaviPanel* panel = m_broker.GetPanel()) panel->DispatchPenUp(point.x, point.y);
    if (GetSafeHwnd()) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}
