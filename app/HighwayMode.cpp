#include "app/HighwayMode.h"

#include "app/HighwayPanel.h"
#include "platform/window/Window.h"

#include <algorithm>

namespace {

constexpr const char16_t* kPanelName = u"고속모드";

} // namespace

bool CHighwayMode::HighwayManoeuvreAhead() const {
    const CGuideInfo& info = m_view.GuideInfo();
    return info.highway && info.nextGuide >= 0;
}

void CHighwayMode::ShowHighwayPanel() {
    if (!m_panel.created) {
        m_panel.SetPanelName(kPanelName);
        m_panel.SetRcBuilder(m_view.ResourceBuilder());
        m_panel.Create(m_view.PanelParent());
    }
    m_panel.shown = 1;
    m_panel.alert = 0;
    if (HighwayManoeuvreAhead()) {
        const CGuideInfo& info = m_view.GuideInfo();
        if (info.distance >= 2000 && info.followingDistance < 1)
            m_panel.alert = info.remaining < 1000 && !info.hasNext ? 1 : 0;
        else
            m_panel.alert = 1;
    }
    if (m_panel.GetSafeHwnd()) m_panel.ShowWindow(SW_SHOW);
}

bool CHighwayMode::IsHighwayAlert() {
    if (!m_panel.created || !HighwayManoeuvreAhead()) return false;
    const CGuideInfo& info = m_view.GuideInfo();
    m_panel.shown = 1;
    if (info.distance >= 2001 && info.followingDistance < 1)
        m_panel.alert = info.remaining < 1001 && !info.hasNext ? 1 : 0;
    else
        m_panel.alert = 1;
    return true;
}

void CHighwayMode::HideHighwayPanel() {
    if (!m_panel.shown) return;
    m_panel.shown = 0;
    if (m_panel.GetSafeHwnd()) m_panel.ShowWindow(SW_HIDE);
}

bool CHighwayMode::ValidLevelStep(int step, int& level) {
    if (step <= 0) return false;
    level = m_view.StepToLevel(step);
    return level > 0 && level != m_view.MapLevel();
}

void CHighwayMode::UpdateHighwayPanel(const GpsPosRecord& fix) {
    if (m_zoomPrompt > 0) --m_zoomPrompt;
    const bool pedestrian = m_view.IsPedestrianMode();
    const bool driving = m_view.IsGuiding() || m_view.IsSimulating();
    if (!m_view.GuidanceStarted() || pedestrian || !driving) {
        HideHighwayPanel();
    } else {
        const CGuideInfo& info = m_view.GuideInfo();
        if (info.distance > 2000 && info.followingDistance > 1000 && !m_view.SafeZoneAlertActive())
            m_panel.held = 0;
        if (!IsHighwayAlert()) {
            HideHighwayPanel();
            TurnZoom();
        } else {
            FillPanel(fix);
        }
    }
    // The speed zoom leaves a turn zoom alone until the turn is passed.
    if (!pedestrian && driving && !m_turnZoom) SpeedZoom(fix);
}

void CHighwayMode::TurnZoom() {
    const int distance = m_view.GuideInfo().distance;
    int level = 0;
    if (m_zoomPrompt == 0 && distance > 0 && distance < 300 && ValidLevelStep(m_view.Setting(5), level)) {
        if (!m_turnZoom) m_levelBeforeTurn = m_view.MapLevel();
        m_view.SetMapLevel(level);
        m_turnZoom = true;
    } else if ((distance == 0 || distance >= 300) && m_turnZoom) {
        m_view.SetMapLevel(m_levelBeforeTurn);
        m_turnZoom = false;
    }
}

void CHighwayMode::FillPanel(const GpsPosRecord& fix) {
    const CGuideInfo& info = m_view.GuideInfo();
    m_panel.filling = 1;
    m_panel.SetFacilityCount(info.facilityCount);
    if (m_view.FixQuality(fix) > 2) {
        m_panel.SetRouteState(m_view.FollowingRouteWithWaypoints() && info.remaining > 0, m_view.RouteIndex());
        m_view.SetHighwayBarDistances(info.remaining, info.hasNext ? info.next.distance : 0);
    }
    // Speed in tenths of km/h shown in whole km/h, never above 250.
    const int tenths = fix.speed;
    const int speed = tenths < 0 ? 0 : tenths > 2500 ? 250 : tenths / 10;
    m_panel.SetRemaining(info.remaining, info.hasNext ? info.next.distance : 0, m_view.RemainingSeconds(), speed,
                         static_cast<std::uint8_t>(m_view.BarOption()));
    m_panel.SetNotSimulating(!m_view.IsSimulating());
    m_panel.ClearRows();
    const int rows = std::clamp(static_cast<int>(info.rows), 0, static_cast<int>(CHighwayPanel::kRows));
    m_panel.SetRows(rows);
    for (int i = 0; i < rows; ++i) {
        const CGuideInfo::Facility& f = info.row[i];
        CHighwayPanel::Row& row = m_panel.RowAt(i);
        row.name = f.name;
        row.distance = f.distanceText;
        row.brand = f.brand;
        row.fuel = f.distance > 0 ? 1 : 0;
        row.lpg = f.lpg ? 1 : 0;
        row.repair = f.repair ? 1 : 0;
    }
    if (info.hasNext) m_panel.SetNextFacility(info.next.id);
    m_panel.Refresh(true);
    if (m_panel.GetSafeHwnd()) m_panel.ShowWindow(SW_SHOW);
    m_panel.filling = 0;
}

void CHighwayMode::SpeedZoom(const GpsPosRecord& fix) {
    if (m_zoomPrompt != 0 || fix.speed == 0) return;
    const int kmh = fix.speed / 10;
    const int setting = kmh < 60 ? m_view.Setting(6) : kmh < 101 ? m_view.Setting(7) : m_view.Setting(8);
    int level = 0;
    if (ValidLevelStep(setting, level)) m_view.SetMapLevel(level);
}
