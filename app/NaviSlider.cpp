#include "app/NaviSlider.h"

#include "platform/window/Window.h"
#include "skinui/NaviBitmap.h"

#include <algorithm>

CNaviSlider::~CNaviSlider() {
    delete m_thumb;
    delete m_bar;
}

void CNaviSlider::SetImages(NaviBitmap* bar, NaviBitmap* thumb) {
    if (bar != m_bar) delete m_bar;
    if (thumb != m_thumb) delete m_thumb;
    m_bar = bar;
    m_thumb = thumb;
}

bool CNaviSlider::IsVertical() const {
    return m_hWnd && (::GetWindowLongW(m_hWnd, GWL_STYLE) & TBS_VERT) != 0;
}

int CNaviSlider::SetMargins(int start, int end) {
    if (start < 0 || end < 0) return 0;
    // A bar of known length must keep room for the thumb between the two margins.
    const bool vertical = IsVertical();
    const int bar = vertical ? m_barHeight : m_barWidth;
    const int thumb = vertical ? m_thumbHeight : m_thumbWidth;
    if (bar != 0 && static_cast<long long>(start) + end + thumb >= bar) return 0;
    m_startMargin = start;
    m_endMargin = end;
    return 1;
}

void CNaviSlider::LoadSizes() {
    m_barWidth = m_bar ? m_bar->GetWidth() : 0;
    m_barHeight = m_bar ? m_bar->GetHeight() : 0;
    m_thumbWidth = m_thumb ? m_thumb->GetWidth() : 0;
    m_thumbHeight = m_thumb ? m_thumb->GetHeight() : 0;
}

void CNaviSlider::FitToBar() {
    if (!m_hWnd) return;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_barWidth, m_barHeight, SWP_NOMOVE | SWP_NOZORDER);
}

int CNaviSlider::Travel() const {
    const long long travel = IsVertical()
                                 ? static_cast<long long>(m_barHeight) - m_thumbHeight - m_startMargin - m_endMargin
                                 : static_cast<long long>(m_barWidth) - m_startMargin - m_thumbWidth - m_endMargin;
    return travel > 0 ? static_cast<int>(travel) : 0;
}

int CNaviSlider::PosFromPoint(int x, int y) const {
    const int min = GetRangeMin(), max = GetRangeMax();
    const int travel = Travel();
    // An empty range, or images that leave the thumb no way to go: every point is the minimum.
    if (max <= min || travel <= 0) return min;
    const double along = IsVertical() ? static_cast<double>(m_barHeight) - m_thumbHeight / 2.0 - m_startMargin - y
                                      : static_cast<double>(x) - m_thumbWidth / 2.0 - m_startMargin;
    const double offset = along * (static_cast<double>(max) - min) / travel;
    const double pos = std::clamp(static_cast<double>(min) + static_cast<long long>(offset), static_cast<double>(min),
                                  static_cast<double>(max));
    return static_cast<int>(pos);
}

int CNaviSlider::ThumbTop() const {
    const int min = GetRangeMin(), max = GetRangeMax();
    const double start = static_cast<double>(m_barHeight) - m_startMargin - m_thumbHeight;
    if (max <= min) return static_cast<int>(start);
    const int pos = std::clamp(GetPos(), min, max);
    return static_cast<int>(start - static_cast<double>(Travel()) * (static_cast<double>(pos) - min) /
                                        (static_cast<double>(max) - min));
}

bool CNaviSlider::MoveThumbTo(int x, int y) {
    const int pos = PosFromPoint(x, y);
    if (pos == GetPos()) return false;
    SendMessage(TBM_SETPOS, TRUE, pos);
    PostToParent(kMsgSliderPosChanged, static_cast<WPARAM>(GetDlgCtrlID()), 0);
    return true;
}

void CNaviSlider::PostToParent(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (parent) ::PostMessageW(parent, message, wParam, lParam);
}

void CNaviSlider::SendPenActivity() {
    const HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (parent) ::SendMessageW(parent, kMsgSliderPen, 0, static_cast<LPARAM>(GetDlgCtrlID()));
}

void CNaviSlider::NotifyScroll(int code) {
    PostToParent(WM_HSCROLL, MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(GetPos())),
                 reinterpret_cast<LPARAM>(m_hWnd));
}

void CNaviSlider::NotifyPos(int pos) {
    if (m_dragging || !m_hWnd) return;
    SendMessage(TBM_SETPOS, TRUE, pos);
    PostToParent(kMsgSliderPosChanged, static_cast<WPARAM>(GetDlgCtrlID()), 0);
    Redraw();
}

void CNaviSlider::Redraw() {
    if (!m_hWnd) return;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
}

void CNaviSlider::OnLButtonDown(UINT flags, CPoint point) {
    if (m_touched) m_touched();
    if (const HWND parent = ::GetParent(m_hWnd)) ::InvalidateRect(parent, nullptr, FALSE);
    if (!m_dragging) {
        m_moved = false;
        m_dragging = true;
        ::SetCapture(m_hWnd);
        if (MoveThumbTo(point.x, point.y)) {
            m_moved = true;
            NotifyScroll(SB_THUMBTRACK);
            Redraw();
        }
    } else {
        CSliderCtrl::OnLButtonDown(flags, point);
    }
    SendPenActivity();
}

void CNaviSlider::OnMouseMove(UINT flags, CPoint point) {
    if (m_dragging) {
        if (MoveThumbTo(point.x, point.y)) {
            NotifyScroll(SB_THUMBTRACK);
            m_moved = true;
            Redraw();
        }
    } else {
        CSliderCtrl::OnMouseMove(flags, point);
    }
    SendPenActivity();
}

void CNaviSlider::OnLButtonUp(UINT flags, CPoint point) {
    if (m_dragging) {
        m_dragging = false;
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        if (MoveThumbTo(point.x, point.y)) {
            NotifyScroll(SB_THUMBTRACK);
            m_moved = true;
            Redraw();
        }
        if (m_moved) {
            NotifyScroll(SB_THUMBPOSITION);
            m_moved = false;
            Redraw();
        }
    } else {
        CSliderCtrl::OnLButtonUp(flags, point);
    }
    SendPenActivity();
}

void CNaviSlider::OnKeyUp(UINT ch, UINT repeat, UINT flags) {
    if (const HWND parent = ::GetParent(m_hWnd))
        ::SendMessageW(parent, WM_KEYUP, ch, static_cast<LPARAM>(MAKELONG(repeat, flags)));
    CSliderCtrl::OnKeyUp(ch, repeat, flags);
}

BOOL CNaviSlider::OnEraseBkgnd(CDC* /*dc*/) {
    return TRUE;
}

void CNaviSlider::OnPaint() {
    // Without its images (or in the horizontal style) the trackbar draws itself.
    if (!IsVertical() || !m_bar) {
        CSliderCtrl::OnPaint();
        return;
    }
    CPaintDC dc(this);
    m_bar->Draw(dc.GetSafeHdc(), 0, 0);
    if (m_thumb) m_thumb->Draw(dc.GetSafeHdc(), m_thumbOffset, ThumbTop());
}
