#include "app/RouteSearchPageListener.h"

#include "config/NaviConfig.h"

namespace {
constexpr const char16_t* kPriority = u"우선탐색그룹";
constexpr const char16_t* kUseTraffic = u"교통정보반영그룹";
constexpr const char16_t* kTrafficReroute = u"교통정보재탐색버튼그룹";
constexpr const char16_t* kInterval = u"재탐색표시간격";
constexpr const char16_t* kOffRoute = u"경로이탈후재탐색그룹";
constexpr int kPriorities = 4;
constexpr int kIntervals = 7;
constexpr std::int32_t kIntervalMinutes[kIntervals] = {0, 5, 10, 15, 30, 45, 60};

int OnOffIndex(std::int32_t setting) { return setting == 0 ? 1 : 0; }
} // namespace

void CRouteSearchPageListener::OnPageBuilt(const NaviCommand&) {
    const CNaviConfig& c = *m_config;
    m_changed = 0;
    m_priority = c.GetValue(12);
    // Values the controls cannot show are shown as their defaults, which a save then keeps.
    if (m_priority < 1 || m_priority > kPriorities) {
        m_priority = 1;
        m_changed = 1;
    }
    m_useTraffic = c.GetValue(14);
    m_trafficReroute = c.GetValue(15);
    m_interval = c.GetTrafficRerouteIntervalIndex();
    if (kIntervalMinutes[m_interval] != c.GetValue(16)) m_changed = 1;
    m_offRouteReroute = c.GetValue(17);
    SetControl(kPriority, m_priority - 1);
    SetControl(kUseTraffic, OnOffIndex(m_useTraffic));
    SetControl(kTrafficReroute, OnOffIndex(m_trafficReroute));
    SetControl(kInterval, m_interval);
    SetControl(kOffRoute, OnOffIndex(m_offRouteReroute));
}

void CRouteSearchPageListener::OnControl(const NaviCommand& cmd) {
    const CString& name = cmd.target;
    const std::int32_t on = cmd.param1 == 0 ? 1 : 0;
    if (name == CString(kPriority)) m_priority = cmd.param1 + 1;
    else if (name == CString(kUseTraffic)) m_useTraffic = on;
    else if (name == CString(kTrafficReroute)) m_trafficReroute = on;
    else if (name == CString(kInterval)) m_interval = cmd.param1;
    else if (name == CString(kOffRoute)) m_offRouteReroute = on;
    else return;
    m_changed = 1;
}

bool CRouteSearchPageListener::Save() {
    CNaviConfig& c = *m_config;
    c.SetValue(12, m_priority);
    c.SetValue(14, m_useTraffic);
    c.SetValue(15, m_trafficReroute);
    c.SetTrafficRerouteInterval(m_interval);
    c.SetValue(17, m_offRouteReroute);
    m_changed = 0;
    return SaveFile();
}
