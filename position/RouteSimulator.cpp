#include "position/RouteSimulator.h"

#include "position/Geometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kYScale = 0.30879;

// The last step position and the distance travelled inside the last item: one simulated drive
// at a time, kept for the whole program.
std::int32_t g_lastX = -1;
std::int32_t g_lastY = -1;
int g_lastItemTravelled = 0;

int ItemDistance(CRoutePath& route, int i) {
    // Distance from the route start to the start of item i.
    int metres = 0;
    route.GetDistanceBetween(0, i, metres);
    return metres;
}

} // namespace

CRouteSimulator::CRouteSimulator(CMRNetReader* reader)
    : m_reader(reader ? reader : CMRNetReader::GetInstance()) {}

bool CRouteSimulator::Start(const char16_t* dataFolder, const std::uint8_t* nodes, std::size_t nodeSize,
                            const std::uint8_t* links, std::size_t linkSize, const std::uint8_t* junctions,
                            std::size_t junctionSize) {
    m_car = MatchResult();
    m_item = 0;
    m_jump = 0;
    m_jumpFlag = 0;
    m_distance = 0;
    // A new drive starts afresh: no last step and nothing travelled inside the last item.
    g_lastX = g_lastY = -1;
    g_lastItemTravelled = 0;
    if (!m_reader) return false;
    m_reader->SetMemoryCopies(nodes, nodeSize, links, linkSize, junctions, junctionSize);
    return m_reader->Open(dataFolder);
}

int CRouteSimulator::SegmentLength(const LinkPoint& a, const LinkPoint& b) const {
    const double dx = std::fabs(static_cast<double>(b.x) - a.x) * m_xScale;
    const double dy = std::fabs(static_cast<double>(b.y) - a.y) * kYScale;
    return geo::TruncInt32(std::sqrt(dx * dx + dy * dy));
}

bool CRouteSimulator::LoadItem(CRoutePath& route, int item) {
    if (item < 0 || item >= route.ItemCount()) return false;
    const CPathLinkItem& it = route.Items()[item];
    LinkView v;
    if (!LoadLinkView(*m_reader, it.mapId, it.linkId, v)) return false;
    m_link = v;
    m_reverse = it.direction != 0;
    m_xScale = v.xScale;
    m_item = item;
    m_car.reverse = m_reverse ? 1 : 0;
    m_car.slot = 4;
    m_car.mapId = static_cast<std::int16_t>(it.mapId);
    m_car.linkIndex = static_cast<std::int16_t>(it.linkId);
    m_car.fromNode = static_cast<std::int16_t>(v.FromNode(m_reverse));
    m_car.toNode = static_cast<std::int16_t>(v.ToNode(m_reverse));
    std::memcpy(m_car.link, v.rec, sizeof m_car.link);
    std::memcpy(m_car.fromNodeRecord, v.FromRec(m_reverse), sizeof m_car.fromNodeRecord);
    std::memcpy(m_car.toNodeRecord, v.ToRec(m_reverse), sizeof m_car.toNodeRecord);
    m_car.headingDiff = 0;
    m_car.fixDistance = 0;
    return true;
}

void CRouteSimulator::TakeSegment(int k) {
    LinkPoint a, b;
    m_link.Segment(m_reverse, k, a, b);
    m_car.segmentIndex = static_cast<std::int16_t>(k);
    m_car.segStart[0] = static_cast<std::int16_t>(a.x);
    m_car.segStart[1] = static_cast<std::int16_t>(a.y);
    m_car.segEnd[0] = static_cast<std::int16_t>(b.x);
    m_car.segEnd[1] = static_cast<std::int16_t>(b.y);
    m_car.segmentRemaining = SegmentLength(a, b);
}

void CRouteSimulator::Finish(MatchResult& out) {
    LinkPoint a, b;
    m_link.Segment(m_reverse, m_car.segmentIndex, a, b);
    const int length = SegmentLength(a, b);
    const int pos = length < 1 ? 100000 : (length - m_car.segmentRemaining) * 100000 / length;
    m_car.segmentPosition = pos;
    m_car.heading = CalcMapBearing(m_link.originX + a.x, m_link.originY + a.y, m_link.originX + b.x,
                                   m_link.originY + b.y);
    m_car.x = m_link.originX + a.x + geo::TruncInt32((b.x - a.x) * static_cast<double>(pos) * 1e-5);
    m_car.y = m_link.originY + a.y + geo::TruncInt32((b.y - a.y) * static_cast<double>(pos) * 1e-5);
    m_car.status = 1;
    int remaining = m_car.segmentRemaining;
    for (int k = m_car.segmentIndex + 1; k < m_link.SegmentCount(); ++k) {
        LinkPoint p, q;
        m_link.Segment(m_reverse, k, p, q);
        remaining += SegmentLength(p, q);
    }
    const int linkLength = m_link.Length();
    m_car.linkPosition =
        linkLength < 1 ? 100000 : static_cast<int>((linkLength - remaining) * 100000LL / linkLength);
    m_car.moved = 0;
    if (g_lastX != -1 || g_lastY != -1) {
        const double dx = std::fabs(static_cast<double>(m_car.x) - g_lastX) * m_xScale;
        const double dy = std::fabs(static_cast<double>(m_car.y) - g_lastY) * kYScale;
        m_car.moved = geo::TruncInt32(std::sqrt(dx * dx + dy * dy));
    }
    g_lastX = m_car.x;
    g_lastY = m_car.y;
    out = m_car;
}

int CRouteSimulator::Step(CRoutePath& route, MatchResult& out, int d) {
    if (!route.IsValid() || !m_reader || !m_reader->IsOpen() || route.ItemCount() < 1) return -1;
    m_car.speedMps = static_cast<std::int16_t>(d);
    m_car.speedKmh = static_cast<std::int32_t>(d * 3.6);
    const int last = route.ItemCount() - 1;
    const bool placing = m_car.x == 0 || m_car.y == 0;
    if (placing) {
        if (!LoadItem(route, 0)) return -1;
        TakeSegment(0);
        m_car.moved = 0;
        int first = 0;
        if (route.ItemCount() > 1)
            route.GetDistanceBetween(0, 1, first);
        else
            route.GetDistanceBetween(0, route.ItemCount(), first);
        d = std::max(m_link.Length() - first, 0);
    }
    if (m_item == last) {
        int lastDistance = 0;
        route.GetDistanceBetween(last, route.ItemCount(), lastDistance);
        if (m_jumpFlag) {
            g_lastItemTravelled = m_jump;
            m_jumpFlag = 0;
        }
        if (g_lastItemTravelled >= lastDistance) return 1;
        // The move onto the route's start point is not travel along the route.
        if (!placing) g_lastItemTravelled += d;
    }
    for (int guard = 0; guard < 1000000; ++guard) {
        if (d < 1) break;
        if (m_jumpFlag) {
            d = m_jump;
            m_jumpFlag = 0;
        }
        if (d < m_car.segmentRemaining) {
            m_car.segmentRemaining -= d;
            break;
        }
        d -= m_car.segmentRemaining;
        if (m_car.segmentIndex + 1 >= m_link.SegmentCount()) {
            if (m_item >= last) {
                // A step that runs past the end of the route's last link stops the car there, so
                // the car reaches the goal with a fix of its own (the guidance announces the
                // arrival from it); the next step reports the goal.
                m_car.segmentRemaining = 0;
                break;
            }
            if (!LoadItem(route, m_item + 1)) return -1;
            if (m_item == last) g_lastItemTravelled = d;
            TakeSegment(0);
        } else {
            TakeSegment(m_car.segmentIndex + 1);
        }
    }
    m_distance = ItemDistance(route, m_item);
    Finish(out);
    return 0;
}

void CRouteSimulator::SetPosition(CRoutePath& route, int distance, int item) {
    if (item == -1 || !route.IsValid() || !LoadItem(route, item)) return;
    if (distance != 0 || item == 0) {
        TakeSegment(0);
        int d = distance;
        while (d >= m_car.segmentRemaining && m_car.segmentIndex + 1 < m_link.SegmentCount()) {
            d -= m_car.segmentRemaining;
            TakeSegment(m_car.segmentIndex + 1);
        }
        m_car.segmentRemaining = std::max(m_car.segmentRemaining - d, 0);
    } else {
        TakeSegment(m_link.SegmentCount() - 1);
    }
    m_startDistance = distance;
    m_distance = ItemDistance(route, item) + distance;
    // On the last item the goal test counts from where the car was put.
    if (item == route.ItemCount() - 1) g_lastItemTravelled = std::max(distance, 0);
    MatchResult out;
    Finish(out);
}
