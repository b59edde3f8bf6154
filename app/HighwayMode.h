// The main view's highway mode: when the highway panel is shown and whether it is in its alert
// state, decided from the guidance record; the panel's refresh on each fix, with the automatic
// zoom before a turn and by speed. Runs on the user-interface thread; the route monitor asks for
// it through the view, which posts the work there.
#pragma once

#include "position/GpsReceiver.h"
#include "position/GuideInfo.h"

class CHighwayPanel;
class CWnd;
class NaviRcBuilder;

// What the highway mode reads and asks of the main view.
class IHighwayView {
public:
    virtual ~IHighwayView() = default;
    virtual const CGuideInfo& GuideInfo() = 0;
    virtual bool GuidanceStarted() = 0;
    virtual bool IsPedestrianMode() = 0;
    virtual bool IsGuiding() = 0;
    virtual bool IsSimulating() = 0;
    virtual bool SafeZoneAlertActive() = 0;
    virtual int FixQuality(const GpsPosRecord& fix) = 0;
    // A route with waypoints is followed; its index (-1 none).
    virtual bool FollowingRouteWithWaypoints() = 0;
    virtual int RouteIndex() = 0;
    // The driving time left (seconds) shown beside the remaining distance.
    virtual int RemainingSeconds() = 0;
    // Non-zero: the panel draws the speed number.
    virtual int BarOption() = 0;
    // The main screen's highway bar.
    virtual void SetHighwayBarDistances(int first, int second) = 0;
    virtual int Setting(int index) = 0;
    virtual int MapLevel() = 0;
    // The level of the n-th enabled level (-1 when there are fewer).
    virtual int StepToLevel(int step) = 0;
    virtual void SetMapLevel(int level) = 0;
    virtual CWnd* PanelParent() = 0;
    virtual NaviRcBuilder* ResourceBuilder() = 0;
};

class CHighwayMode {
public:
    static constexpr int kZoomPromptTurns = 15;

    CHighwayMode(IHighwayView& view, CHighwayPanel& panel) : m_view(view), m_panel(panel) {}

    // Shows the panel, making its window first ("고속모드", the view as parent); the alert from
    // the guidance record.
    void ShowHighwayPanel();
    // Whether the panel is to be shown: true whenever it sets the shown flag (and then the alert
    // as the guidance record says).
    bool IsHighwayAlert();
    void HideHighwayPanel();
    // On each fix: the panel shown and filled, or hidden with the turn zoom; the speed zoom.
    void UpdateHighwayPanel(const GpsPosRecord& fix);

    // The zoom prompt: a zoom step by the user keeps the automatic zoom off for 15 fixes.
    void StartZoomPrompt() { m_zoomPrompt = kZoomPromptTurns; }
    int ZoomPrompt() const { return m_zoomPrompt; }
    bool TurnZoomActive() const { return m_turnZoom; }

private:
    bool HighwayManoeuvreAhead() const;
    void FillPanel(const GpsPosRecord& fix);
    void TurnZoom();
    void SpeedZoom(const GpsPosRecord& fix);
    bool ValidLevelStep(int step, int& level);

    IHighwayView& m_view;
    CHighwayPanel& m_panel;
    int m_zoomPrompt = 0;
    bool m_turnZoom = false;
    int m_levelBeforeTurn = 0;
};
