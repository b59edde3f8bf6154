// The main view's answers to its highway mode (CHighwayMode): the guidance record and states the
// per-fix work keeps in the view, the route being followed, the settings, the map level and the
// panel's parent and skin. Everything here runs on the user-interface thread.
#pragma once

#include "app/HighwayMode.h"

class CMainView;

class CMainViewHighway : public IHighwayView {
public:
    explicit CMainViewHighway(CMainView& view) : m_view(view) {}

    const CGuideInfo& GuideInfo() override;
    bool GuidanceStarted() override;
    bool IsPedestrianMode() override;
    bool IsGuiding() override;
    bool IsSimulating() override;
    bool SafeZoneAlertActive() override;
    int FixQuality(const GpsPosRecord& fix) override;
    bool FollowingRouteWithWaypoints() override;
    int RouteIndex() override;
    int RemainingSeconds() override;
    int BarOption() override;
    void SetHighwayBarDistances(int first, int second) override;
    int Setting(int index) override;
    int MapLevel() override;
    int StepToLevel(int step) override;
    void SetMapLevel(int level) override;
    CWnd* PanelParent() override;
    NaviRcBuilder* ResourceBuilder() override;

private:
    CMainView& m_view;
};
