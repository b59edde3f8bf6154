#include "app/HighwayPanel.h"

#include "platform/base/CString.h"
#include "platform/window/Window.h"

namespace {

constexpr const char16_t* kClassName = u"VelkoHighwayPanel";

void RegisterPanelClass() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = kClassName;
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
}

} // namespace

CHighwayPanel::CHighwayPanel() = default;

CHighwayPanel::~CHighwayPanel() {
    Release();
}

bool CHighwayPanel::Create(CWnd* parent) {
    if (created) return true;
    RegisterPanelClass();
    RECT client{0, 0, 240, 320};
    if (parent && parent->GetSafeHwnd()) ::GetClientRect(parent->GetSafeHwnd(), &client);
    const int height = client.bottom - client.top < kHeight ? client.bottom - client.top : kHeight;
    if (!CreateEx(0, kClassName, u"", WS_CHILD, 0, client.bottom - height, client.right - client.left, height,
                  parent ? parent->GetSafeHwnd() : nullptr, nullptr))
        return false;
    created = 1;
    ++m_createCount;
    return true;
}

void CHighwayPanel::Release() {
    if (m_hWnd) DestroyWindow();
    created = 0;
    shown = 0;
}

void CHighwayPanel::SetRemaining(double dist, double second, int seconds, int count, std::uint8_t flag) {
    m_remainingText = FormatWide(u"%3.1fk", dist * 0.001);
    m_secondText = FormatWide(u"%3.1f", second * 0.001);
    const int hours = seconds / 3600 - (seconds / 86400) * 24;
    const int minutes = seconds / 60 - (seconds / 3600) * 60;
    m_timeText = FormatWide(u"%02d:%02d", hours, minutes);
    m_countText = FormatWide(u"%d", count);
    m_remainingFlag = flag;
}

void CHighwayPanel::SetRouteState(bool following, int routeIndex) {
    const bool changed = following != m_following;
    m_following = following;
    m_routeIndex = routeIndex;
    if (changed) Refresh(false);
}

void CHighwayPanel::ClearRows() {
    for (Row& row : m_row) row.fuel = row.lpg = row.repair = 0;
}

void CHighwayPanel::SetNextFacility(int id) {
    if (id == m_nextFacility) return;
    m_nextFacility = id;
    if (m_pageIndex > 0) --m_pageIndex;
}

void CHighwayPanel::Refresh(bool repaint) {
    if (!created) return;
    ++m_refreshes;
    if (repaint && m_hWnd) {
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        ::UpdateWindow(m_hWnd);
    }
}
