// The driving trail drawn on the map, through the map's own interface so that the trail does not
// depend on the map display.
#include "position/LocusRecorder.h"

#include "platform/gdi/AfxGdi.h"
#include "route/RouteMapView.h"

int CLocusRecorder::DrawStep(int level) {
    switch (level) {
    case 1: return 1000;
    case 2: return 300;
    case 4: return 50;
    case 5: return 30;
    case 6: return 20;
    case 7: return 11;
    case 8: return 8;
    case 9: return 5;
    case 10: return 3;
    default: return 2;
    }
}

void CLocusRecorder::Draw(CDC& dc, IRouteMapView& map, int radius, int level) const {
    auto empty = [this](int s) {
        const std::int32_t* b = m_boxes[s];
        return b[0] == 0 && b[1] == 0 && b[2] == 0 && b[3] == 0;
    };
    if (empty(0)) return;
    const int step = DrawStep(level);
    CGdiObject* oldBrush = dc.SelectStockObject(HOLLOW_BRUSH);
    for (int s = 0; s < kSegments && !empty(s); ++s) {
        const std::int32_t* b = m_boxes[s];
        if (!map.IsRectVisible(b[0], b[1], b[2], b[3])) continue;
        const int n = s == m_segment ? m_count : kPointsPerSegment;
        for (int i = 0; i < n; i += step) {
            std::int32_t x = X(s, i), y = Y(s, i);
            map.PointToScreen(x, y);
            if (x > 0 && y > 0) dc.Ellipse(x - radius, y - radius, x + radius, y + radius);
        }
    }
    if (oldBrush) dc.SelectObject(oldBrush);
}
