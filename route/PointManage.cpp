#include "route/PointManage.h"

#include "route/RouteSearch.h"
#include "route/base/ErrorLog.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {

constexpr const char* kSource = "VelkoPointManage";
constexpr int kLevel = 3;

int Fail(int line, const char* message) {
    ErrorLog::Instance().WriteErrorLog(line, kSource, message);
    return 0;
}

int OneWayOf(const std::uint8_t* link) {
    return mrformat::U16(link + 10) & 3;
}
int FacilityOf(const std::uint8_t* link) {
    return (mrformat::U16(link + 10) >> 5) & 7;
}

} // namespace

int PointManage::Init(MRReader* reader, RpCache* cache, HANDLE heap) {
    if (!reader || !cache) return 0;
    m_reader = reader;
    m_cache = cache;
    m_candidates.SetHeap(heap);
    Clear();
    return 1;
}

void PointManage::Clear() {
    m_start.Reset();
    m_goal.Reset();
    for (LinkPos& w : m_waypoints) w.Reset();
    m_rawStart = m_rawGoal = NetXY{-1, -1};
    for (NetXY& r : m_rawWaypoints) r = NetXY{-1, -1};
    m_waypointCount = 0;
}

bool PointManage::Inside(const MRBox& b, NetXY p) {
    std::int32_t x1 = std::min(b.west, b.east), x2 = std::max(b.west, b.east);
    std::int32_t y1 = std::min(b.south, b.north), y2 = std::max(b.south, b.north);
    return x1 <= p.x && p.x < x2 && y1 <= p.y && p.y < y2;
}

int PointManage::FindMap(NetXY p) const {
    if (!m_reader) return kNone;
    int count = m_reader->MapCount();
    int low = 0, high = count - 1;
    while (low <= high) {
        int mid = (low + high) / 2;
        const MRBox* b = m_reader->MapBox(mid);
        if (!b) break;
        if (Inside(*b, p)) return mid;
        std::int32_t x1 = std::min(b->west, b->east), x2 = std::max(b->west, b->east);
        std::int32_t y2 = std::max(b->south, b->north);
        if (p.x < x1 || (p.x < x2 && p.y < y2))
            high = mid - 1;
        else
            low = mid + 1;
    }
    for (int id = 0; id < count; ++id) {
        const MRBox* b = m_reader->MapBox(id);
        if (b && Inside(*b, p)) return id;
    }
    return kNone;
}

int PointManage::FindNeighbourMap(int map, NetXY p) const {
    const MRMapRecord* rec = m_reader ? m_reader->MapRecord(map) : nullptr;
    if (!rec) return kNone;
    for (std::uint16_t id : rec->neighbours) {
        if (id == mrformat::kNoMap) continue;
        const MRBox* b = m_reader->MapBox(id);
        if (b && Inside(*b, p)) return id;
    }
    return kNone;
}

float PointManage::SegmentDistance(NetXY p1, NetXY p2, NetXY q) {
    const float kx = 0.27654f, ky = 0.30879f;
    auto diff = [](std::int32_t a, std::int32_t b) {
        return static_cast<float>(static_cast<std::int64_t>(a) - static_cast<std::int64_t>(b));
    };
    float ax = diff(q.x, p1.x) * kx, ay = diff(q.y, p1.y) * ky;
    float bx = diff(q.x, p2.x) * kx, by = diff(q.y, p2.y) * ky;
    float sx = diff(p2.x, p1.x) * kx, sy = diff(p2.y, p1.y) * ky;
    float lenA = std::sqrt(ax * ax + ay * ay);
    float lenS = std::sqrt(sx * sx + sy * sy);
    if (lenS == 0.0f) return lenA; // a segment of zero length: the distance to its point
    float d = std::trunc(sx * ax + sy * ay);
    if (d < 0.0f) return lenA;
    if (sx * bx + sy * by > 0.0f) return std::sqrt(bx * bx + by * by);
    float t = d / lenS;
    float sq = ax * ax + ay * ay - t * t;
    return sq > 0.0f ? std::sqrt(sq) : 0.0f;
}

bool PointManage::ReadNodePoint(int map, int node, std::uint8_t* record, NetXY& at) {
    const MRMapRecord* rec = m_reader->MapRecord(map);
    if (!rec || m_cache->ReadNode(record, map, node, kLevel) != 1) return false;
    at.x = static_cast<std::int32_t>(static_cast<std::int64_t>(rec->west) + mrformat::U16(record));
    at.y = static_cast<std::int32_t>(static_cast<std::int64_t>(rec->south) + mrformat::U16(record + 2));
    return true;
}

std::uint32_t PointManage::LinkDistance(int map, int link, NetXY q) {
    std::uint8_t rec[mrformat::kLinkSize];
    std::uint8_t node[mrformat::kNodeSize];
    const MRMapRecord* mr = m_reader ? m_reader->MapRecord(map) : nullptr;
    if (!mr || m_cache->ReadLink(rec, map, link, kLevel) != 1) {
        Fail(__LINE__, "Read File link error");
        return 0xFFFFFFFFu;
    }
    NetXY a, b;
    if (!ReadNodePoint(map, mrformat::LinkStartNode(rec), node, a)) {
        Fail(__LINE__, "Read File _Node Error");
        return 0xFFFFFFFFu;
    }
    if (!ReadNodePoint(map, mrformat::LinkEndNode(rec), node, b)) {
        Fail(__LINE__, "Read File Node Error");
        return 0xFFFFFFFFu;
    }
    int nv = mrformat::LinkVertexCount(rec);
    std::vector<std::uint8_t> vertices(static_cast<std::size_t>(nv) * mrformat::kVertexSize);
    if (nv > 0 &&
        !m_reader->ReadVertices(vertices.data(), static_cast<std::int64_t>(vertices.size()), map, rec)) {
        Fail(__LINE__, "Read File Vertex Error");
        return 0xFFFFFFFFu;
    }
    float best = 9999999.0f;
    NetXY prev = a;
    for (int i = 0; i <= nv; ++i) {
        NetXY next = b;
        if (i < nv) {
            const std::uint8_t* v = &vertices[static_cast<std::size_t>(i) * mrformat::kVertexSize];
            next.x = static_cast<std::int32_t>(static_cast<std::int64_t>(mr->west) + mrformat::U16(v));
            next.y = static_cast<std::int32_t>(static_cast<std::int64_t>(mr->south) + mrformat::U16(v + 2));
        }
        best = std::min(best, SegmentDistance(prev, next, q));
        prev = next;
    }
    return static_cast<std::uint32_t>(best);
}

int PointManage::CheckNode(int kind, const LinkPos& pos) {
    std::uint8_t node[mrformat::kNodeSize];
    if (!m_reader || m_cache->ReadNode(node, pos.mapId, pos.nodeId, kLevel) != 1)
        return Fail(__LINE__, "Get _Node Error");
    std::uint32_t ref = mrformat::U32(node + 4);
    if (mrformat::IsPassThrough(ref)) return 1;
    int n = mrformat::LinkCountOf(ref);
    if (n == 0) return 0;
    MRCrossNode cross;
    if (m_cache->ReadCross(cross, pos.mapId, ref, kLevel) != 1) return Fail(__LINE__, "Get Cross Node Error");
    std::uint8_t links[mrformat::kMaxJunctionLinks][mrformat::kLinkSize];
    for (int i = 0; i < n; ++i)
        if (m_cache->ReadLink(links[i], pos.mapId, cross.links[i], kLevel) != 1)
            return Fail(__LINE__, "Get Link Error");

    // Blocked as seen by a car arriving at (or, exchanged, leaving) the node.
    auto allBlocked = [&](bool exchanged) {
        for (int i = 0; i < n; ++i) {
            int w = OneWayOf(links[i]);
            bool atFirst = mrformat::LinkStartNode(links[i]) == pos.nodeId;
            bool atSecond = mrformat::LinkEndNode(links[i]) == pos.nodeId;
            int codeAtSecond = exchanged ? 1 : 2, codeAtFirst = exchanged ? 2 : 1;
            bool blocked = w == 3 || (w == codeAtSecond && atSecond) || (w == codeAtFirst && atFirst);
            if (!blocked) return false;
        }
        return true;
    };
    if (kind == kWaypoint) {
        if (n == 1) return 0;
        if (allBlocked(true)) return 0;
        return allBlocked(false) ? 0 : 1;
    }
    if (allBlocked(false)) return 0;
    bool allClosed = true;
    for (int i = 0; i < n; ++i)
        if (FacilityOf(links[i]) != 7) allClosed = false;
    return allClosed ? 0 : 1;
}

int PointManage::AttachPoint(int kind, NetXY point, LinkPos& out) {
    if (!m_reader) return 0;
    struct Candidate {
        std::uint16_t map, link;
        std::uint32_t distance;
    };
    ClearCandidates();
    for (std::int32_t w : {2400, 5400, 8400}) {
        int home = FindMap(point);
        if (home == kNone) return 0;
        MapIdList maps;
        // Saturating: a point inside a map whose box lies at the edge of the range stays in range.
        auto off = [](std::int32_t v, std::int32_t d) {
            return static_cast<std::int32_t>(
                std::clamp<std::int64_t>(static_cast<std::int64_t>(v) + d, INT32_MIN, INT32_MAX));
        };
        const NetXY corners[4] = {{off(point.x, -w), off(point.y, -w)},
                                  {off(point.x, w), off(point.y, -w)},
                                  {off(point.x, -w), off(point.y, w)},
                                  {off(point.x, w), off(point.y, w)}};
        for (const NetXY& c : corners) {
            int m = FindNeighbourMap(home, c);
            if (m != kNone) maps.Add(m);
        }
        for (int i = 0; i < maps.Count(); ++i) {
            const int m = maps.At(i);
            const MRMapRecord* rec = m_reader->MapRecord(m);
            if (!rec) continue;
            std::uint8_t link[mrformat::kLinkSize];
            for (int l = 0; l < rec->linkCount; ++l) {
                if (m_cache->ReadLink(link, m, l, kLevel) != 1) {
                    ClearCandidates();
                    return Fail(__LINE__, "Read Link Error");
                }
                if (FacilityOf(link) == 7) continue;
                const std::int64_t west = rec->west, south = rec->south;
                std::int64_t x1 = west + mrformat::U16(link + 14), y1 = south + mrformat::U16(link + 16);
                std::int64_t x2 = west + mrformat::U16(link + 18), y2 = south + mrformat::U16(link + 20);
                if (x1 <= static_cast<std::int64_t>(point.x) + w &&
                    x2 >= static_cast<std::int64_t>(point.x) - w &&
                    y1 <= static_cast<std::int64_t>(point.y) + w &&
                    y2 >= static_cast<std::int64_t>(point.y) - w &&
                    !m_candidates.Add((static_cast<std::uint32_t>(m) << 16) |
                                      static_cast<std::uint32_t>(l))) {
                    ClearCandidates();
                    return Fail(__LINE__, "Memory Allocation Error");
                }
            }
        }
        if (m_candidates.Count() > 0) break;
    }
    if (m_candidates.Count() == 0) {
        ClearCandidates();
        return 0;
    }
    std::vector<Candidate> candidates;
    candidates.reserve(static_cast<std::size_t>(m_candidates.Count()));
    m_candidates.ForEach([&](std::uint32_t c) {
        candidates.push_back(
            {static_cast<std::uint16_t>(c >> 16), static_cast<std::uint16_t>(c & 0xFFFF), 0});
    });
    ClearCandidates();
    for (Candidate& c : candidates) c.distance = LinkDistance(c.map, c.link, point);
    // A later candidate moves ahead only when strictly nearer: equal distances keep their order.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
    const Candidate best = candidates.front();
    if (best.distance == 0xFFFFFFFFu) return 0;

    std::uint8_t link[mrformat::kLinkSize], node[mrformat::kNodeSize];
    if (m_cache->ReadLink(link, best.map, best.link, kLevel) != 1)
        return Fail(__LINE__, "Read File link error");
    std::uint16_t first = mrformat::LinkStartNode(link), second = mrformat::LinkEndNode(link);
    NetXY pFirst, pSecond;
    if (!ReadNodePoint(best.map, first, node, pFirst) || !ReadNodePoint(best.map, second, node, pSecond))
        return Fail(__LINE__, "Read File Node error");
    LinkPos a, b;
    a.mapId = b.mapId = best.map;
    a.linkId = b.linkId = best.link;
    a.nodeId = first;
    a.x = pFirst.x;
    a.y = pFirst.y;
    b.nodeId = second;
    b.x = pSecond.x;
    b.y = pSecond.y;
    int oneWay = OneWayOf(link);
    if (kind == kStart && oneWay == 1) a = b;
    if (kind == kStart && oneWay == 2) b = a;
    float dFirst = Distance(*m_reader, point.x, point.y, pFirst.x, pFirst.y, best.map, best.map);
    float dSecond = Distance(*m_reader, point.x, point.y, pSecond.x, pSecond.y, best.map, best.map);
    const LinkPos* order[2] = {&b, &a};
    if (dFirst < dSecond) std::swap(order[0], order[1]);
    const LinkPos* chosen = nullptr;
    for (const LinkPos* c : order)
        if (CheckNode(kind, *c)) {
            chosen = c;
            break;
        }
    if (!chosen) return 0;
    out = *chosen;
    out.extra = 0;
    if (kind == kStart) return 1;
    std::uint16_t attr = mrformat::U16(link + 10);
    if (attr & 0x0800) return 2;
    int width = (attr >> 8) & 7;
    if (width >= 1 && width <= 4) return 2 + width;
    return 1;
}

int PointManage::TieToLink(int kind, std::uint16_t map, std::uint16_t link, int end) {
    if (map == kNone || link == kNone || !m_reader) return 0;
    std::uint8_t rec[mrformat::kLinkSize], node[mrformat::kNodeSize];
    if (m_cache->ReadLink(rec, map, link, kLevel) != 1) return Fail(__LINE__, "Read File link error");
    std::uint16_t n = end == 1 ? mrformat::LinkStartNode(rec) : mrformat::LinkEndNode(rec);
    NetXY at;
    if (!ReadNodePoint(map, n, node, at)) return Fail(__LINE__, "Read File Node error");
    LinkPos pos;
    pos.mapId = map;
    pos.linkId = link;
    pos.nodeId = n;
    pos.x = at.x;
    pos.y = at.y;
    pos.extra = static_cast<std::uint32_t>(end);
    if (!CheckNode(kind, pos)) return 0;
    return StorePoint(kind, pos) ? 1 : 0;
}

bool PointManage::StorePoint(int kind, const LinkPos& pos) {
    switch (kind) {
    case kStart:
        m_start = pos;
        return true;
    case kGoal:
        m_goal = pos;
        return true;
    case kWaypoint:
        if (m_waypointCount >= kMaxWaypoints) return false;
        m_waypoints[m_waypointCount++] = pos;
        return true;
    default:
        return false;
    }
}

void PointManage::StoreRawPoint(int kind, std::int32_t x, std::int32_t y) {
    if (kind == kStart)
        m_rawStart = {x, y};
    else if (kind == kGoal)
        m_rawGoal = {x, y};
    else if (kind == kWaypoint && m_waypointCount > 0)
        m_rawWaypoints[m_waypointCount - 1] = {x, y};
}

bool PointManage::ReplaceWaypoint(int i, const LinkPos& pos) {
    if (i < 0 || i >= m_waypointCount) return false;
    m_waypoints[i] = pos;
    return true;
}

void PointManage::GetWaypoint(LinkPos& out, int i) const {
    if (i >= 0 && i < m_waypointCount) out = m_waypoints[i];
}

NetXY PointManage::RawPoint(int kind, int waypoint) const {
    if (kind == kStart) return m_rawStart;
    if (kind == kGoal) return m_rawGoal;
    if (waypoint >= 0 && waypoint < m_waypointCount) return m_rawWaypoints[waypoint];
    return NetXY{-1, -1};
}
