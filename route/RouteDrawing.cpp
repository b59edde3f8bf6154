// Drawing the routes on the map: the searched routes as bands (the selected one last and, once
// the route is active, in its own colours), and the markers of start, waypoints and goal.
#include "route/RouteManager.h"
#include "route/base/Coords.h"

#include <vector>

namespace {

struct KindColour {
    COLORREF outer, inner;
};
constexpr KindColour kKindColours[5] = {
    {0x000000, 0x000000}, {0x008C00, 0x00C300}, {0x0000C1, 0x0000F2}, {0x842106, 0xAC3818}, {0xC300BC, 0xF800EF}};

// Markers hang from the point: the image's top-left is 7 left of and 28 above it.
constexpr int kMarkerDx = -7;
constexpr int kMarkerDy = -28;

void DrawMarkerAt(CDC* dc, IRouteMapView& map, int symbol, std::int32_t netX, std::int32_t netY) {
    std::int32_t x = 0, y = 0;
    NetToMapCoord(netX, netY, x, y);
    map.PointToScreen(x, y);
    map.DrawSymbol(dc, symbol, x + kMarkerDx, y + kMarkerDy);
}

} // namespace

void CRoute::KindColours(int kind, COLORREF& outer, COLORREF& inner) {
    const KindColour& c = kKindColours[kind >= 0 && kind <= 4 ? kind : 0];
    outer = c.outer;
    inner = c.inner;
}

void CRoute::DrawPath(CDC* dc, IRouteMapView& map, int width, int reduction, COLORREF outer,
                      COLORREF inner) const {
    if (!dc || !path || !path->IsValid() || path->ItemCount() == 0) return;
    CPen outerPen(PS_SOLID, width, outer);
    CPen innerPen(PS_SOLID, width - reduction, inner);
    CPen* old = dc->GetCurrentPen();
    const PointList& points = path->Points();
    std::vector<POINT> section;
    for (const CPathLinkRef& run : path->PointRuns().Items()) {
        // A section whose map has no box cannot be placed: it is skipped.
        if (!boxes || run.mapId >= boxes->size()) continue;
        const MapBox& box = (*boxes)[run.mapId];
        if (!map.IsRectVisible(box.x1, box.x2, box.y1, box.y2)) continue;
        section.clear();
        for (int i = 0; i < run.count; ++i) {
            const std::int64_t k = static_cast<std::int64_t>(run.firstIndex) + i;
            if (k < 0 || k >= points.Count()) break;
            const CPathPoint& p = points[static_cast<int>(k)];
            section.push_back(POINT{p.x, p.y});
        }
        if (section.empty()) continue;
        dc->SelectObject(&outerPen);
        map.DrawPolyline(dc, section.data(), static_cast<int>(section.size()));
        dc->SelectObject(&innerPen);
        map.DrawPolyline(dc, section.data(), static_cast<int>(section.size()));
    }
    if (old) dc->SelectObject(old);
}

void CRoute::DrawMarkers(CDC* dc, IRouteMapView& map) const {
    if (!dc || !header) return;
    const RouteHeader& h = *header;
    if (h.start.IsSet()) {
        DrawMarkerAt(dc, map, hasResult ? 2 : 0, h.start.x, h.start.y);
        for (int i = 0; i < waypoints.Count(); ++i) {
            if (hasResult) {
                if (i < RouteHeader::kWaypoints)
                    DrawMarkerAt(dc, map, 9 + i, h.waypoints[i].x, h.waypoints[i].y);
            } else {
                DrawMarkerAt(dc, map, 4 + i, waypoints[i].x, waypoints[i].y);
            }
        }
    }
    if (h.goal.IsSet()) DrawMarkerAt(dc, map, hasResult ? 3 : 1, h.goal.x, h.goal.y);
}

void CRouteManager::DrawRoutes(CDC* dc, IRouteMapView& map) {
    const bool selectedHasResult = m_selected && m_selected->hasResult;
    if (!selectedHasResult) {
        m_edited->DrawMarkers(dc, map);
        return;
    }
    if (m_edited->IsEdited()) m_edited->DrawMarkers(dc, map);
    m_selected->DrawMarkers(dc, map);
}

void CRouteManager::DrawResultRoutes(CDC* dc, IRouteMapView& map) {
    if (m_results.empty()) return;
    COLORREF outer = 0, inner = 0;
    for (const auto& route : m_results) {
        if (route.get() == m_selected) continue;
        CRoute::KindColours(route->header->kind, outer, inner);
        route->DrawPath(dc, map, 7, 3, outer, inner);
    }
    if (!m_selected) return;
    if (m_routeActive) {
        m_selected->DrawPath(dc, map, 8, 2, 0xFDFA98, 0x4444FF);
    } else {
        CRoute::KindColours(m_selected->header->kind, outer, inner);
        m_selected->DrawPath(dc, map, 7, 3, outer, inner);
    }
}

void CRouteManager::DrawPinMarker(CDC* dc, IRouteMapView& map) {
    if (m_pinnedX == -1 || m_pinnedY == -1) return;
    std::int32_t x = m_pinnedX, y = m_pinnedY;
    map.PointToScreen(x, y);
    map.DrawSymbol(dc, 1, x + kMarkerDx, y + kMarkerDy);
}
