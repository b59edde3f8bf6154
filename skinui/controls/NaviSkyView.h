// The satellites in view on a polar sky chart centred at (83, 98): one small image per
// satellite, the "active" one for those used in the fix.
#pragma once

#include "position/GpsReceiver.h"
#include "skinui/NaviControl.h"

class NaviSkyView : public NaviControl {
public:
    NaviSkyView();
    ~NaviSkyView() override;

    void OnPenDown() override {}
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& /*cmd*/) override {}

    void SetSatellites(const GpsSatRecord& record) { m_satellites = record; }
    // The chart point of a satellite at that elevation and azimuth (degrees).
    static POINT ChartPoint(int elevation, int azimuth);

private:
    NaviBitmap* m_inViewImage = nullptr;
    NaviBitmap* m_usedImage = nullptr;
    GpsSatRecord m_satellites;
};
