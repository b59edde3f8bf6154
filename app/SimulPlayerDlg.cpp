#include "app/SimulPlayerDlg.h"

#include "app/CMainFrame.h"
#include "app/WindowShape.h"
#include "platform/window/Window.h"
#include "route/RouteManager.h"
#include "route/RoutePath.h"
#include "search/NaviMediator.h"
#include "skinui/NaviBitmap.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"

#include <algorithm>

namespace {

constexpr int kSliderX = 25, kSliderY = 14, kSliderWidth = 24, kSliderHeight = 131;
constexpr int kButtonWidth = 25;

void RegisterTemplate() {
    // A borderless popup of 37 x 131 dialog units with its vertical trackbar.
    DialogTemplateInfo info;
    info.dialogUnits = true;
    info.rect = RECT{0, 0, 37, 131};
    info.style = WS_POPUP;
    DialogItem slider;
    slider.id = CSimulPlayerDlg::kSliderId;
    slider.className = TRACKBAR_CLASS;
    slider.rect = RECT{14, 8, 28, 83};
    slider.style = WS_VISIBLE | TBS_VERT | TBS_NOTICKS;
    info.items.push_back(slider);
    AfxRegisterDialogTemplate(CSimulPlayerDlg::kTemplate, info);
}

} // namespace

CSimulPlayerDlg::CSimulPlayerDlg(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {}

CSimulPlayerDlg::~CSimulPlayerDlg() {
    if (GetSafeHwnd()) DestroyWindow();
    DeletePanel();
}

BOOL CSimulPlayerDlg::Create(CWnd* parent) {
    RegisterTemplate();
    return CDialog::Create(kTemplate, parent);
}

const CRoutePath* CSimulPlayerDlg::Path() const {
    if (m_path) return m_path;
    const CRoute* route = m_routeManager ? m_routeManager->SelectedRoute() : nullptr;
    return route ? route->path.get() : nullptr;
}

void CSimulPlayerDlg::SetRoute(CRouteManager* manager) {
    m_routeManager = manager;
    m_path = nullptr;
    SetRoutePath(nullptr);
}

void CSimulPlayerDlg::SetRoutePath(const CRoutePath* path) {
    if (path) m_path = path;
    const CRoutePath* p = Path();
    m_routeLength = p ? std::max(0, p->TotalLength()) : 0;
    if (m_slider.GetSafeHwnd()) {
        m_slider.SetRange(0, m_routeLength, TRUE);
        m_slider.NotifyPos(0);
    }
    m_jumpStep = m_routeLength <= 50000 ? 1000 : m_routeLength <= 100000 ? 3000 : m_routeLength <= 200000 ? 5000 : 10000;
}

void CSimulPlayerDlg::SetSpeed(int index) {
    m_speedIndex = std::clamp(index, 0, kSpeeds - 1);
    if (m_speedIndex != m_shownSpeed) RefreshSpeedControls();
}

int CSimulPlayerDlg::GetSliderPos() const {
    return m_slider.GetSafeHwnd() ? m_slider.GetPos() : 0;
}

void CSimulPlayerDlg::RefreshSpeedControls() {
    m_shownSpeed = m_speedIndex;
    if (m_speedDown) m_speedDown->SetEnabled(m_speedIndex != 0);
    if (m_speedUp) m_speedUp->SetEnabled(m_speedIndex != kSpeeds - 1);
    for (int i = 0; i < kSpeeds; ++i)
        if (m_speed[i]) m_speed[i]->SetVisible(i == m_speedIndex);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CSimulPlayerDlg::ShowPlaying(bool playing) {
    if (m_play) m_play->SetVisible(!playing);
    if (m_stop) m_stop->SetVisible(playing);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CSimulPlayerDlg::Pause() {
    if (m_holding) return;
    m_holding = 1;
    m_checkJump = 1;
    ShowPlaying(false);
    m_pausePos = GetSliderPos();
}

int CSimulPlayerDlg::FindJumpPoint() {
    const int pos = GetSliderPos();
    const CRoutePath* path = Path();
    const int count = path ? path->ItemCount() : 0;
    // Unmoved since the pause, or nothing to land on: the drive goes on from where it is, and
    // the loop stops asking.
    if (pos == m_pausePos || count <= 0) {
        m_checkJump = 0;
        return -1;
    }
    m_checkJump = 0;
    const LinkItemList& items = path->Items();
    const long long target = static_cast<long long>(m_routeLength) - pos; // still to go
    auto dist = [&](int i) { return static_cast<long long>(items[i].remaining); };
    // Bisection over the items' distances to the destination, which fall along the route.
    int lo = 0, hi = count - 1, mid = 0;
    bool exact = false;
    for (;;) {
        mid = (lo + hi) / 2;
        if (mid == hi || mid == lo) break;
        if (dist(mid) == target) {
            exact = true;
            break;
        }
        if (target < dist(mid))
            lo = mid;
        else
            hi = mid;
    }
    int answer = mid;
    if (!exact && target < dist(lo)) {
        if (dist(hi) < target)
            answer = lo;
        else if (dist(hi) > target)
            answer = hi;
    }
    m_jumpDistance = answer == 0 ? pos : static_cast<int>(dist(answer) - target);
    m_jumpIndex = answer;
    m_jumpPending = 1;
    return answer;
}

int CSimulPlayerDlg::TakeJumpDistance() {
    const int distance = m_jumpPending && m_jumpDistance >= 1 ? m_jumpDistance : 1;
    m_jumpPending = 0;
    return distance;
}

void CSimulPlayerDlg::AdvanceSlider(int linkIndex, int travelled, int moving) {
    if (m_jumpPending && m_jumpIndex != linkIndex) {
        m_jumpIndex = 0;
        m_jumpPending = 0;
        m_slider.NotifyPos(travelled);
        return;
    }
    const int pos = GetSliderPos();
    if (pos >= m_routeLength)
        m_slider.NotifyPos(0);
    else if (moving > 0)
        m_slider.NotifyPos(pos + GetSpeedStep());
}

void CSimulPlayerDlg::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    if (name == u"속도업") {
        SetSpeed(m_speedIndex + 1);
        RefreshSpeedControls();
    } else if (name == u"속도다운") {
        SetSpeed(m_speedIndex - 1);
        RefreshSpeedControls();
    } else if (name == u"종료") {
        m_endRequest = 1;
    } else if (name == u"플레이") {
        if (!m_checkJump) {
            Pause();
        } else {
            m_slider.SetDragging(false);
            m_holding = 0;
            ShowPlaying(true);
        }
    } else if (name == u"정지") {
        Pause();
    } else if (name == u"목적지") {
        Pause();
        const long long next = static_cast<long long>(GetSliderPos()) + m_jumpStep;
        if (next < m_routeLength) m_slider.NotifyPos(static_cast<int>(next));
    } else if (name == u"출발지") {
        Pause();
        const long long next = static_cast<long long>(GetSliderPos()) - m_jumpStep;
        if (next > 0) m_slider.NotifyPos(static_cast<int>(next));
    }
}

NaviCheckButton* CSimulPlayerDlg::AddButton(const char16_t* name, int x, int y, int height, bool visible) {
    NaviPanel* panel = GetPanel();
    NaviRcBuilder* builder = GetRcBuilder();
    if (!panel || !builder) return nullptr;
    NaviCheckButton* button = builder->CreateCheckButton(name, visible, true, true, x, y, kButtonWidth, height, false,
                                                         false, panel, false, nullptr);
    panel->AddChild(button);
    return button;
}

void CSimulPlayerDlg::MakeRegion() {
    RECT client;
    GetClientRect(&client);
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return;
    if (m_region.GetSafeHandle()) m_region.DeleteObject();
    m_region.CreateRectRgn(0, 0, w, h);
    CutRoundCorners(m_region, w, 0, h);
    // The window takes its own copy; the dialog keeps the region object.
    ApplyWindowRegion(*this, m_region);
}

BOOL CSimulPlayerDlg::OnInitDialog() {
    NaviDialog::OnInitDialog();
    CreatePanel(this);
    NaviPanel* panel = GetPanel();
    if (panel) panel->SetListener(this);
    NaviRcBuilder* builder = GetRcBuilder();
    if (m_slider.SubclassDlgItem(kSliderId, this)) {
        if (builder) {
            NaviBitmap* car = builder->LoadImage(u"SimulRoute\\SliderCar");
            if (car) car->SetTransparent(true);
            m_slider.SetImages(builder->LoadImage(u"SimulRoute\\SliderBar"), car);
        }
        m_slider.MoveWindow(kSliderX, kSliderY, kSliderWidth, kSliderHeight);
        m_slider.LoadSizes();
        if (m_slider.BarWidth() > 0) m_slider.FitToBar();
        m_slider.SetTouchHandler([this] { Pause(); });
        m_slider.SetRange(0, m_routeLength, TRUE);
    }
    const RECT rect = GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    if (builder) builder->SetImageGroup(u"SimulRoute");
    m_speed[0] = AddButton(u"100", 0, 37, 37, false);
    m_speed[1] = AddButton(u"200", 0, 37, 37, false);
    m_speed[2] = AddButton(u"300", 0, 37, 37, false);
    m_play = AddButton(u"플레이", 0, 103, 29, false);
    m_stop = AddButton(u"정지", 0, 103, 29, true);
    m_speedUp = AddButton(u"속도업", 0, 0, 36, true);
    m_speedDown = AddButton(u"속도다운", 0, 73, 32, true);
    MakeRegion();
    RefreshSpeedControls();
    m_paintEnabled = 1;
    return TRUE;
}

LRESULT CSimulPlayerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SHOWWINDOW:
        Invalidate(FALSE);
        break;
    case WM_KEYUP:
        if (m_eventTarget) m_eventTarget->ForwardKey(static_cast<int>(wParam));
        break;
    case WM_ACTIVATE: {
        const WORD state = LOWORD(wParam);
        if ((state == WA_ACTIVE || state == WA_CLICKACTIVE) && m_frame) m_frame->ShowFullScreen();
        break;
    }
    case kMsgSliderPosChanged:
        Invalidate(FALSE);
        return 0;
    case kMsgSliderPen:
        return 0;
    default: break;
    }
    return NaviDialog::WindowProc(message, wParam, lParam);
}

void CSimulPlayerDlg::OnPaint() {
    CPaintDC dc(this);
    if (!m_paintEnabled) return;
    const RECT rect = GetPanelRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    CDC memory;
    NaviCanvas canvas;
    if (!canvas.Create(&dc, RECT{0, 0, width, height}, &memory)) return;
    // The strip's controls are placed within the strip itself.
    Draw(&memory);
    canvas.Blit(&dc, &memory);
    canvas.Release(&memory);
}

void CSimulPlayerDlg::OnLButtonDown(UINT /*flags*/, CPoint point) {
    if (NaviPanel* panel = GetPanel()) panel->DispatchPenDown(point.x, point.y);
    Invalidate(FALSE);
    UpdateWindow();
}

void CSimulPlayerDlg::OnLButtonUp(UINT /*flags*/, CPoint point) {
    if (NaviPanel* panel = GetPanel()) panel->DispatchPenUp(point.x, point.y);
    if (GetSafeHwnd()) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

void CSimulPlayerDlg::OnDestroy() {
    m_paintEnabled = 0;
    if (m_region.GetSafeHandle()) m_region.DeleteObject();
    m_slider.SetImages(nullptr, nullptr);
    NaviDialog::OnDestroy();
}
