#include "skinui/main/NaviHighwayBar.h"

#include "platform/base/Clock.h"
#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviDigitPanel.h"

#include <cmath>
#include <limits>

namespace {

NaviBitmap* LoadNamed(NaviRcBuilder* builder, const CString& name) {
    NaviBitmap* image = builder->LoadImage(name);
    if (image && image->IsEmpty()) {
        delete image;
        return nullptr;
    }
    return image;
}

void Replace(NaviBitmap*& slot, NaviBitmap* image) {
    delete slot;
    slot = image;
}

} // namespace

NaviHighwayBar::NaviHighwayBar() {
    m_state.startSeconds = NowSeconds();
}

NaviHighwayBar::~NaviHighwayBar() {
    for (NaviBitmap* b : {m_destRight, m_destLeft, m_wayMiddle, m_wayLeft, m_gas, m_bannerRight, m_bannerLeft,
                          m_bannerMiddle})
        delete b;
    for (NaviBitmap* b : m_numbers) delete b;
    for (NaviBitmap* b : m_stations) delete b;
}

std::int64_t NaviHighwayBar::NowSeconds() {
    // An absolute count: a day-of-month count would run backwards at a month's end.
    return TheClock().UtcMilliseconds() / 1000;
}

void NaviHighwayBar::LoadImages(NaviRcBuilder* builder) {
    SetPos(49, 2);
    if (!builder) return;
    auto own = [&](const char16_t* part) {
        CString name;
        name.Format(u"%s\\%s", m_name.GetString(), part);
        return LoadNamed(builder, name);
    };
    SetImage(own(u"목적지_가운데"));
    Replace(m_destRight, own(u"목적지_오른쪽"));
    Replace(m_destLeft, own(u"목적지_왼쪽"));
    Replace(m_wayMiddle, own(u"경유지_가운데"));
    Replace(m_wayLeft, own(u"경유지_왼쪽"));
    for (int i = 0; i < 5; ++i) {
        CString name;
        name.Format(u"%s\\%d", m_name.GetString(), i);
        Replace(m_numbers[i], LoadNamed(builder, name));
    }
    for (int i = 0; i < 6; ++i) {
        CString name;
        name.Format(u"HighWayMode\\주유소%d", i);
        Replace(m_stations[i], LoadNamed(builder, name));
    }
    Replace(m_gas, LoadNamed(builder, u"HighWayMode\\까스"));
    Replace(m_bannerRight, LoadNamed(builder, u"TrackBar\\고속모드_오른쪽"));
    Replace(m_bannerLeft, LoadNamed(builder, u"TrackBar\\고속모드_왼쪽"));
    Replace(m_bannerMiddle, LoadNamed(builder, u"TrackBar\\고속모드_가운데"));
}

std::uint32_t NaviHighwayBar::Estimate(const State& s, std::int64_t nowSeconds) {
    const auto routeTime = static_cast<std::uint32_t>(std::max(0, s.routeTime));
    const double elapsed = static_cast<double>(nowSeconds - s.startSeconds);
    if (elapsed <= 0) return routeTime;
    const double average = s.travelled / elapsed;
    if (!(average > 0) || !std::isfinite(average)) return routeTime;
    const double dest = s.destDistance;
    // Without a route length the route time is the route's own estimate.
    const double byRoute = s.routeLength > 0 ? s.routeTime * dest / s.routeLength : s.routeTime;
    const double byAverage = dest / average;
    const double weight = dest + s.travelled;
    if (weight == 0) return routeTime;
    double estimate = (byRoute * dest + byAverage * s.travelled) / weight;
    if (!std::isfinite(estimate)) return routeTime;
    if (estimate < 60) estimate = 60;
    const double cap = static_cast<double>(std::numeric_limits<std::uint32_t>::max());
    if (estimate > cap) estimate = cap;
    return static_cast<std::uint32_t>(estimate);
}

void NaviHighwayBar::Recompute() {
    m_state.remainingTime = Estimate(m_state, NowSeconds());
}

void NaviHighwayBar::SetDistances(double dest, double waypoint) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (dest >= 0) m_state.destDistance = dest;
    if (waypoint >= 0) m_state.waypointDistance = waypoint;
    Recompute();
}

void NaviHighwayBar::SetRouteTime(int seconds) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_state.routeTime = seconds;
    m_state.remainingTime = static_cast<std::uint32_t>(std::max(0, seconds));
}

void NaviHighwayBar::SetRouteLength(int metres) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_state.routeLength = metres;
}

void NaviHighwayBar::AddTravelled(int metres) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (metres != 0) {
        if (m_state.travelled == 0) m_state.startSeconds = NowSeconds();
        m_state.travelled += metres;
    }
    Recompute();
}

void NaviHighwayBar::GetRemainingTime(std::uint32_t& value) const {
    std::lock_guard<std::mutex> hold(m_lock);
    value = m_state.remainingTime;
}

void NaviHighwayBar::SetNearFacilityName(const CString& name, int distance) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (distance >= 1 && distance <= 999) m_state.nearName = name;
    else m_state.nearName.Empty();
}

void NaviHighwayBar::SetPedestrian(bool on) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_state.pedestrian = on;
}

void NaviHighwayBar::SetWaypoint(bool on, int number) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_state.hasWaypoint = on;
    m_state.waypointNumber = number;
}

void NaviHighwayBar::SetNextFacility(const CString& name, const CString& secondName, int kind, int distance,
                                     int stationType, int hasGas, int extra) {
    std::lock_guard<std::mutex> hold(m_lock);
    Facility& f = m_state.next;
    f.name = name;
    f.secondName = secondName;
    f.kind = kind;
    f.distance = distance;
    f.stationType = stationType;
    f.hasGas = hasGas;
    f.extra = extra;
}

void NaviHighwayBar::ResetNextFacility() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_state.next = Facility();
}

NaviHighwayBar::State NaviHighwayBar::Snapshot() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_state;
}

NaviHighwayBar::Layout NaviHighwayBar::ChooseLayout(const State& s) {
    if (!s.nearName.IsEmpty()) return kNearBanner;
    if (s.next.kind == 0 && s.next.distance >= 1 && s.next.distance <= 999) return kFacilityBanner;
    return kDistanceBar;
}

CString NaviHighwayBar::TimeText(const State& s) {
    CString text;
    if (s.pedestrian) {
        text = u"00:00";
        return text;
    }
    text.Format(u"%02d:%02d", static_cast<int>((s.remainingTime / 3600) % 24),
                static_cast<int>((s.remainingTime / 60) % 60));
    return text;
}

void NaviHighwayBar::DrawAt(CDC* dc, NaviBitmap* image, int x, int y) {
    if (image) DrawImage(dc, x, y, image);
}

void NaviHighwayBar::Draw(CDC* dc) {
    if (!dc) return;
    const State s = Snapshot();
    const Layout layout = ChooseLayout(s);
    if (layout == kDistanceBar) DrawDistances(dc, s);
    else DrawBanner(dc, s, layout);
}

void NaviHighwayBar::DrawBanner(CDC* dc, const State& s, Layout layout) {
    CString text = s.nearName;
    if (layout == kFacilityBanner) {
        // Room for the icons on the right.
        text = s.next.name;
        if (s.next.stationType == 1 || s.next.stationType == 2) text += u"         ";
        else if (s.next.stationType >= 3 && s.next.stationType <= 5) text += u"           ";
        if (s.next.hasGas) text += u"     ";
    }
    const HDC hdc = dc->GetSafeHdc();
    CFont font;
    font.CreateFont(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    const HGDIOBJ oldFont = SelectObject(hdc, font.GetSafeHandle());
    const COLORREF oldColor = dc->SetTextColor(RGB(255, 255, 255));
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    RECT measured{0, 0, 0, 0};
    dc->DrawText(text, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int width = measured.right - measured.left;
    const int height = measured.bottom - measured.top;

    DrawAt(dc, m_bannerRight, 228, 2);
    int x = 229;
    for (int n = width / 7; n > 0; --n) {
        x -= 7;
        DrawAt(dc, m_bannerMiddle, x, 2);
    }
    DrawAt(dc, m_bannerLeft, x - 10, 2);
    for (int shift = 0; shift < 2; ++shift) {
        RECT r{x - shift, 10, x - shift + width, 10 + height};
        dc->DrawText(text, &r, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    }
    dc->SetBkMode(oldMode);
    dc->SetTextColor(oldColor);
    SelectObject(hdc, oldFont);

    if (layout != kFacilityBanner) return;
    int right = 232;
    if (s.next.hasGas && m_gas) {
        DrawAt(dc, m_gas, 232 - m_gas->GetWidth(), 8);
        right = 230 - m_gas->GetWidth();
    }
    if (s.next.stationType >= 1 && s.next.stationType <= 5) {
        NaviBitmap* icon = m_stations[s.next.stationType - 1];
        if (icon) DrawAt(dc, icon, right - icon->GetWidth(), 8);
    }
}

void NaviHighwayBar::DrawDistances(CDC* dc, const State& s) {
    CString destText;
    destText.Format(u"%3.1fk", s.destDistance / 1000);
    DrawAt(dc, m_destRight, 228, 2);
    int x = 228;
    const int tiles = s.destDistance / 1000 >= 100 ? 15 : 13;
    for (int i = 0; i < tiles; ++i) {
        x -= 7;
        DrawAt(dc, m_image, x, 2);
    }
    if (m_digits) {
        m_digits->DrawTimeText(dc, TimeText(s), 229, 13);
        m_digits->DrawDistanceText(dc, destText, 188, 9);
    }
    if (s.hasWaypoint && !s.pedestrian) {
        CString wayText;
        wayText.Format(u"%3.1fk", s.waypointDistance / 1000);
        const double km = s.waypointDistance / 1000;
        const int wayTiles = km >= 100 ? 10 : km >= 10 ? 9 : 8;
        int last = x;
        for (int i = 0; i < wayTiles; ++i) {
            last -= 7;
            DrawAt(dc, m_wayMiddle, last, 2);
        }
        DrawAt(dc, m_wayLeft, last - 10, 2);
        if (s.waypointNumber >= 0 && s.waypointNumber <= 4) DrawAt(dc, m_numbers[s.waypointNumber], last - 2, 11);
        if (m_digits) m_digits->DrawWaypointText(dc, wayText, x - 15, 9);
    }
    DrawAt(dc, m_destLeft, x - 10, 2);
}
