// What the route drawing needs of the map it draws on: the visibility of a map rectangle, map
// polylines drawn through the view's transform with the device context's pen, map-to-screen
// conversion of one point, and the map's fixed symbols. The map window implements it, so the
// route code never depends on the map display.
#pragma once

#include "platform/gdi/AfxGdi.h"

#include <cstdint>

class IRouteMapView {
public:
    virtual ~IRouteMapView() = default;
    // 1 when the rectangle may intersect the view, 0 when it lies wholly outside.
    virtual int IsRectVisible(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax) = 0;
    // n map points (x, y in map units) drawn with the pen selected in dc.
    virtual void DrawPolyline(CDC* dc, const POINT* points, int n) = 0;
    // The map point converted in place to the view's screen point (-100, -100 when it cannot
    // be shown).
    virtual void PointToScreen(std::int32_t& x, std::int32_t& y) = 0;
    // Fixed symbol n (0..15) with its top-left corner at (x, y); nothing without symbols.
    virtual void DrawSymbol(CDC* dc, int n, int x, int y) = 0;
};
