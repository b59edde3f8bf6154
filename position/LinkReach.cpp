#include "position/LinkReach.h"

#include "position/Geometry.h"
#include "position/LinkView.h"

#include <cstdlib>
#include <map>
#include <tuple>

namespace {

// Straight length of a segment in metres, on map-relative points scaled by 27 and 31 per 100 units.
int ScaledLength(const LinkPoint& a, const LinkPoint& b) {
    return CalcDistance(a.x / 100 * 27, a.y / 100 * 31, b.x / 100 * 27, b.y / 100 * 31);
}

// Bearing with which a link is entered: from its entry node to the second point after it (the far
// node when the link has fewer than two shape points), network coordinates.
int EntryBearing(const LinkView& v, bool along) {
    const int n = static_cast<int>(v.pts.size());
    const int vertices = n - 2;
    const LinkPoint from = along ? v.pts.front() : v.pts.back();
    LinkPoint to;
    if (vertices < 2)
        to = along ? v.pts.back() : v.pts.front();
    else
        to = along ? v.pts[2] : v.pts[n - 3];
    return CalcMapBearing(v.originX + from.x, v.originY + from.y, v.originX + to.x, v.originY + to.y);
}

// Bearing of the link's last segment in travel direction.
int ArrivingBearing(const LinkView& v, bool along) {
    const int n = static_cast<int>(v.pts.size());
    const LinkPoint a = along ? v.pts[n - 2] : v.pts[1];
    const LinkPoint b = along ? v.pts[n - 1] : v.pts[0];
    return CalcMapBearing(v.originX + a.x, v.originY + a.y, v.originX + b.x, v.originY + b.y);
}

bool OneWayAllows(std::uint16_t attr, bool along) {
    switch (attr & 3) {
    case 1:
        return along;
    case 2:
        return !along;
    case 3:
        return false;
    default:
        return true;
    }
}

} // namespace

void CLinkReach::SetLimits(int headingAngle, int turnAngle, int distance) {
    m_headingAngle = headingAngle;
    m_turnAngle = turnAngle;
    m_distance = distance;
}

int CLinkReach::DistanceToLinkEnd(CMRNetReader& reader, int mapId, int linkIndex, int along, int segmentIndex,
                                  int segmentPosition) {
    LinkView v;
    if (!LoadLinkView(reader, mapId, linkIndex, v)) return 0;
    if (segmentIndex < 0) return v.Length();
    const bool reverse = !along;
    int travelled = 0;
    const int n = v.SegmentCount();
    for (int k = 0; k < segmentIndex && k < n; ++k) {
        LinkPoint a, b;
        v.Segment(reverse, k, a, b);
        travelled += ScaledLength(a, b);
    }
    if (segmentIndex < n) {
        LinkPoint a, b;
        v.Segment(reverse, segmentIndex, a, b);
        travelled += static_cast<int>(ScaledLength(a, b) * static_cast<double>(segmentPosition) * 0.00001);
    }
    return static_cast<std::int16_t>(v.Length() - travelled);
}

void CLinkReach::Expand(int mapId, int linkIndex, int along, int segmentIndex, int segmentPosition,
                        int heading, CMRNetReader& reader) {
    m_reached.clear();
    m_stack.clear();
    m_stack.reserve(40);
    m_stack.push_back({static_cast<std::int16_t>(mapId), static_cast<std::int16_t>(linkIndex),
                       static_cast<std::uint8_t>(along ? 1 : 0), 0});
    const int d0 = DistanceToLinkEnd(reader, mapId, linkIndex, along, segmentIndex, segmentPosition);
    // Shortest distance at which each (map, link, direction) was reached: a link reached again at
    // an equal or longer distance adds nothing, which also ends loops back to the start link.
    std::map<std::tuple<int, int, int>, int> best;

    while (!m_stack.empty()) {
        Entry e = m_stack.back();
        m_stack.pop_back();
        LinkView v;
        if (!LoadLinkView(reader, e.mapId, e.linkIndex, v)) continue;
        const bool start = e.mapId == mapId && e.linkIndex == linkIndex;
        const bool eAlong = e.along != 0;
        if (!start && std::abs(HeadingDifference(static_cast<std::int16_t>(EntryBearing(v, eAlong)),
                                                 static_cast<std::int16_t>(heading))) > m_headingAngle)
            continue;
        e.distance = start ? d0 : e.distance + v.Length();
        const auto key = std::make_tuple(static_cast<int>(e.mapId), static_cast<int>(e.linkIndex),
                                         static_cast<int>(e.along));
        auto it = best.find(key);
        if (it != best.end() && it->second <= e.distance) continue;
        best[key] = e.distance;
        m_reached.push_back(e);
        if (e.distance > m_distance) continue;

        const int exitNode = eAlong ? v.endNode : v.startNode;
        const std::uint8_t* exitRec = eAlong ? v.endRec : v.startRec;
        const std::uint32_t ref = mrformat::U32(exitRec + 4);
        if (!mrformat::IsPassThrough(ref)) {
            const int count = mrformat::LinkCountOf(ref);
            MRCrossNode j;
            if (count < 1 || !reader.GetNodeJunction(e.mapId, exitNode, count, j)) continue;
            const int arriving = ArrivingBearing(v, eAlong);
            int own = -1;
            for (int i = 0; i < j.count; ++i)
                if (j.links[i] == e.linkIndex) {
                    own = i;
                    break;
                }
            if (own < 0) continue;
            for (int i = 0; i < j.count; ++i) {
                if (i == own || !(j.turns[own] & (1u << i))) continue;
                LinkView next;
                if (!LoadLinkView(reader, e.mapId, j.links[i], next)) continue;
                const bool nAlong = next.startNode == exitNode;
                if (!OneWayAllows(next.Attr(), nAlong)) continue;
                const int entry = EntryBearing(next, nAlong);
                if (std::abs(HeadingDifference(static_cast<std::int16_t>(entry),
                                               static_cast<std::int16_t>(arriving))) > m_turnAngle)
                    continue;
                m_stack.push_back({e.mapId, static_cast<std::int16_t>(j.links[i]),
                                   static_cast<std::uint8_t>(nAlong ? 1 : 0), e.distance});
            }
        } else {
            std::uint8_t nb[mrformat::kExNodeSize];
            if (!reader.GetNodeNeighbour(e.mapId, exitNode, nb)) continue;
            const int nMap = mrformat::U16(nb) & 0x3FFF;
            const int nNode = mrformat::U16(nb + 2);
            const int nLink = mrformat::U16(nb + 4);
            std::uint8_t rec[mrformat::kLinkSize];
            if (!reader.GetLink(nMap, nLink, rec)) continue;
            m_stack.push_back({static_cast<std::int16_t>(nMap), static_cast<std::int16_t>(nLink),
                               static_cast<std::uint8_t>(mrformat::LinkStartNode(rec) == nNode ? 1 : 0),
                               e.distance});
        }
    }
}

bool CLinkReach::Contains(int mapId, int linkIndex) const {
    for (const Entry& e : m_reached)
        if (e.mapId == mapId && e.linkIndex == linkIndex) return true;
    return false;
}

bool CLinkReach::FindTypeThree(CMRNetReader& reader, int& mapId, int& linkIndex) const {
    for (const Entry& e : m_reached) {
        std::uint8_t rec[mrformat::kLinkSize];
        if (!reader.GetLink(e.mapId, e.linkIndex, rec)) return false;
        if ((mrformat::U16(rec + 10) & 0x700) == 0x300) {
            mapId = e.mapId;
            linkIndex = e.linkIndex;
            return true;
        }
    }
    return false;
}
