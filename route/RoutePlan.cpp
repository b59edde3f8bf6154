#include "route/RoutePlan.h"

#include "route/RpResult.h"
#include "route/base/Coords.h"
#include "route/base/ErrorLog.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kSource = "VelkoRoutePlan";

bool SamePos(const LinkPos& a, const LinkPos& b) {
    return a.mapId == b.mapId && a.linkId == b.linkId && a.nodeId == b.nodeId && a.x == b.x && a.y == b.y &&
           a.extra == b.extra;
}

void Log(int line, const char* message) {
    ErrorLog::Instance().WriteErrorLog(line, kSource, message);
}

} // namespace

CRoutePlan::CRoutePlan() = default;

CRoutePlan::~CRoutePlan() {
    ReleaseSearch();
    m_forward.Release();
    m_backward.Release();
    m_pool.Release();
    m_points.ClearCandidates();
    m_cache.Free();
    if (m_heap) HeapDestroy(m_heap);
}

int CRoutePlan::Fail(int line, const char* message, int code) {
    Log(line, message);
    return code;
}

int CRoutePlan::Init(const char16_t* dataFolder, const MRMapRecord* records, const MRBox* boxes,
                     int recordCount, CostProfile extra, std::uint8_t applyExtra) {
    if (m_initialised) return 1;
    if (!m_heap) m_heap = HeapCreate(0, 4096, 0);
    if (!m_heap) return 0;
    ErrorLog::Instance().SetEnabled(0);
    if (!dataFolder || !m_reader.Open(3, dataFolder, records, boxes, recordCount)) {
        Log(__LINE__, "MR File Open Error!");
        return 0;
    }
    int maps = m_reader.MapCount();
    if (!m_cache.Init(RpCache::kDefaultBudget, maps, RpCache::kKindCount, &m_reader)) {
        Log(__LINE__, "Route Cache ininitialize error");
        return 0;
    }
    if (!m_points.Init(&m_reader, &m_cache, m_heap)) {
        Log(__LINE__, "Point Process ininitialize error");
        return 0;
    }
    if (!m_forward.Init(m_heap, &m_reader, true) || !m_backward.Init(m_heap, &m_reader, false) ||
        !m_pool.Init(m_heap))
        return 0;
    m_state.Init(extra, applyExtra);
    m_state.SetGuideCacheByte(&m_cacheBytes[RpCache::kGuides]);
    m_queue.Init();
    SetCacheBytes(1);
    m_initialised = true;
    return 1;
}

void CRoutePlan::SetSearchParams(int type, int useTraffic, int variant, int fromVehicle) {
    m_state.SetSearchParams(type, useTraffic, variant, fromVehicle);
}

CRoutePlan::PointResult CRoutePlan::SetPoint(int kind, std::int32_t x, std::int32_t y) {
    PointResult r;
    if (m_initialised) {
        r.result = m_points.AttachPoint(kind, NetXY{x, y}, r.pos);
        if (r.result > 0 && kind != PointManage::kWaypoint) {
            m_points.StorePoint(kind, r.pos);
            m_points.StoreRawPoint(kind, x, y);
        }
    }
    r.count =
        (m_points.Start().IsSet() ? 1 : 0) + (m_points.Goal().IsSet() ? 1 : 0) + m_points.WaypointCount();
    return r;
}

CRoutePlan::PointResult CRoutePlan::SetPointAt(int kind, std::int32_t x, std::int32_t y) {
    if (kind == PointManage::kStart) m_startLinkFlag = 0;
    return SetPoint(kind, x, y);
}

int CRoutePlan::SetPointOnLink(int kind, std::uint16_t map, std::uint16_t link, std::int32_t x,
                               std::int32_t y) {
    if (!m_initialised) return 0;
    // Tie to the end node nearer the given point first.
    std::uint8_t rec[mrformat::kLinkSize], node[mrformat::kNodeSize];
    int firstEnd = 0;
    if (ReadLink(rec, map, link, 3) == 1) {
        std::int32_t ax = 0, ay = 0, bx = 0, by = 0;
        if (ReadNode(node, map, mrformat::LinkStartNode(rec), 3) == 1 && NodePoint(map, node, ax, ay) &&
            ReadNode(node, map, mrformat::LinkEndNode(rec), 3) == 1 && NodePoint(map, node, bx, by) &&
            Distance(m_reader, x, y, ax, ay, map, map) < Distance(m_reader, x, y, bx, by, map, map))
            firstEnd = 1;
    }
    if (kind == PointManage::kWaypoint && m_points.WaypointCount() >= PointManage::kMaxWaypoints) return 0;
    int ok = m_points.TieToLink(kind, map, link, firstEnd);
    if (!ok) ok = m_points.TieToLink(kind, map, link, 1 - firstEnd);
    if (!ok) return 0;
    m_points.StoreRawPoint(kind, x, y);
    m_startLinkFlag = 1;
    return 1;
}

int CRoutePlan::SetPointRecord(int kind, const LinkPos& pos, std::int32_t x, std::int32_t y) {
    if (!m_points.StorePoint(kind, pos)) return 0;
    m_points.StoreRawPoint(kind, x, y);
    if (kind == PointManage::kStart) m_startLinkFlag = 0;
    return 1;
}

int CRoutePlan::SelectLeg(int i) {
    int n = m_points.WaypointCount();
    if (i < 0 || i > n) return 0;
    m_legStart = i == 0 ? m_points.Start() : m_points.Waypoint(i - 1);
    m_legEnd = i == n ? m_points.Goal() : m_points.Waypoint(i);
    return 1;
}

int CRoutePlan::CheckPoints() const {
    if (m_legStart.mapId == 0xFFFF || m_legStart.linkId == 0xFFFF) return kNoStart;
    if (m_legEnd.mapId == 0xFFFF || m_legEnd.linkId == 0xFFFF) return kNoGoal;
    const int n = m_points.WaypointCount();
    // Two points tied to the same end of one link are the same point only when they were
    // also given at the same place: two places along one link make a route along it.
    auto same = [this](const LinkPos& a, NetXY ra, const LinkPos& b, NetXY rb) {
        return SamePos(a, b) && ra.x == rb.x && ra.y == rb.y;
    };
    const LinkPos& start = m_points.Start();
    const LinkPos& goal = m_points.Goal();
    const NetXY rs = m_points.RawPoint(PointManage::kStart), rg = m_points.RawPoint(PointManage::kGoal);
    if (n == 0 && same(start, rs, goal, rg)) return kRepeatedPoint;
    for (int i = 0; i < n; ++i) {
        const NetXY ri = m_points.RawPoint(PointManage::kWaypoint, i);
        if (same(m_points.Waypoint(i), ri, start, rs) && same(m_points.Waypoint(i), ri, goal, rg))
            return kRepeatedPoint;
        for (int j = i + 1; j < n; ++j)
            if (same(m_points.Waypoint(i), ri, m_points.Waypoint(j), m_points.RawPoint(PointManage::kWaypoint, j)))
                return kRepeatedPoint;
    }
    return kFound;
}

bool CRoutePlan::OnOneLink(int leg) {
    if (m_legStart.mapId != m_legEnd.mapId || m_legStart.linkId != m_legEnd.linkId) return false;
    const int n = m_points.WaypointCount();
    NetXY from = leg == 0 ? m_points.RawPoint(PointManage::kStart)
                          : m_points.RawPoint(PointManage::kWaypoint, leg - 1);
    NetXY to = leg == n ? m_points.RawPoint(PointManage::kGoal) : m_points.RawPoint(PointManage::kWaypoint, leg);
    if (from.x == -1 || from.y == -1) from = NetXY{m_legStart.x, m_legStart.y};
    if (to.x == -1 || to.y == -1) to = NetXY{m_legEnd.x, m_legEnd.y};
    std::uint8_t link[mrformat::kLinkSize];
    std::vector<NetXY> line;
    if (m_reader.ReadLink(link, m_legStart.mapId, m_legStart.linkId) != 1 ||
        !RpResult::LinkPolyline(m_reader, m_legStart.mapId, link, line))
        return false;
    // The car drives the link towards the leg start's node; that way must be open.
    if (!RpResult::DirectionTest(link, m_legStart.nodeId, 0)) return false;
    if (mrformat::LinkStartNode(link) == m_legStart.nodeId) std::reverse(line.begin(), line.end());
    return RpResult::PositionAlong(line, to) >= RpResult::PositionAlong(line, from);
}

void CRoutePlan::SetCacheBytes(std::uint8_t v) {
    for (std::uint8_t& b : m_cacheBytes) b = v;
}

double CRoutePlan::MemoryUseMB() const {
    std::int64_t bytes = m_forward.Bytes() + m_backward.Bytes() + m_pool.Bytes() +
                         const_cast<RpCache&>(m_cache).Header().BytesInUse() + kFixedBytes;
    return static_cast<double>(bytes) / 1048576.0;
}

void CRoutePlan::SetLimitsForTest(std::int32_t maxVisits, std::int32_t poolCapacity) {
    m_maxVisits = maxVisits;
    m_pool.SetCapacity(poolCapacity);
}

void CRoutePlan::ReleaseSearch() {
    m_pool.Release();
    m_forward.Release();
    m_backward.Release();
    m_queue.Clear();
}

void CRoutePlan::ResetLeg() {
    m_switched = m_meetingMode = 0;
    m_startLinkFlag = 1;
    m_stop = 0;
    m_state.ClearFreeze();
}

void CRoutePlan::PrepareLeg() {
    m_switched = m_meetingMode = 0;
    m_fwdMeet = m_bwdMeet = -1;
    m_visits = 0;
    m_meetings = 0;
    m_lastMeetVisits = 0;
    m_bestTotal = 1000000000.0f;
    m_handedBack = 0;
    m_fwdMinH = RouteSearchState::kFarAway;
    m_fwdMaxD = 0.0f;
    m_keptS = 0.0f;
    m_bwdMaxD = 0.0f;
    m_longForward = false;
}

bool CRoutePlan::AdjustWaypoint(int i) {
    if (m_routePath.empty()) return false;
    const PathItem& last = m_routePath.back();
    LinkPos pos = m_points.Waypoint(i);
    pos.mapId = last.mapId;
    pos.linkId = last.linkId;
    pos.nodeId = last.nodeId;
    std::uint8_t link[mrformat::kLinkSize], node[mrformat::kNodeSize];
    if (last.side == 1) {
        if (ReadLink(link, last.mapId, last.linkId, 3) != 1) {
            Log(__LINE__, "read link Error");
            return false;
        }
        std::uint16_t a = mrformat::LinkStartNode(link), b = mrformat::LinkEndNode(link);
        pos.nodeId = last.nodeId == a ? b : a;
    }
    if (ReadNode(node, pos.mapId, pos.nodeId, 3) != 1) return false;
    m_viaPlainNode = mrformat::IsPassThrough(mrformat::U32(node + 4)) ? 1 : 0;
    return m_points.ReplaceWaypoint(i, pos);
}

int CRoutePlan::Search() {
    // A route that fails part-way (a later leg, or the route path full) leaves no route behind:
    // the legs found before the failure are no route to the goal.
    int code = SearchLegs();
    if (code != kFound) m_routePath.clear();
    return code;
}

int CRoutePlan::SearchLegs() {
    if (!m_initialised) return kInternal;
    m_routePath.clear();
    m_routePath.reserve(kRoutePathItems);
    m_lastLegCost = 0.0f;
    m_viaPlainNode = 0;
    const int n = m_points.WaypointCount();
    m_legsRemaining = n + 1;
    ErrorLog::Instance().TakeErrorCode(); // nothing left over from an earlier search
    for (int i = 0; i <= n; ++i) {
        if (!SelectLeg(i)) return Fail(__LINE__, "get Searching flag Error", kInternal);
        int check = CheckPoints();
        if (check != kFound) return Fail(__LINE__, "Node Setting Error", check);
        m_D = Distance(m_reader, m_legStart.x, m_legStart.y, m_legEnd.x, m_legEnd.y, m_legStart.mapId,
                       m_legEnd.mapId);
        if (!(m_D >= 0.0f && m_D <= 1000000.0f))
            return Fail(__LINE__, "distance setting error", kBadDistance);

        PrepareLeg();
        if (OnOneLink(i)) {
            // The leg's end lies ahead on the link the car is on: the leg is that link alone.
            // (A later leg's first item repeats the waypoint's link, so it adds nothing.)
            if (i == 0) {
                PathItem item{m_legStart.mapId, m_legStart.linkId, m_legStart.nodeId, 0, 0};
                item.legEnd = i < n ? 1 : 0;
                m_routePath.push_back(item);
            }
            ResetLeg();
            --m_legsRemaining;
            if (i < n && !AdjustWaypoint(i)) return Fail(__LINE__, "adjust via node Error", kInternal);
            continue;
        }
        // The start node: the start link, left at the leg start's node.
        SearchNode* start = nullptr;
        std::int32_t startIndex = m_pool.Allocate(start);
        if (startIndex < 0) {
            Log(__LINE__, "Nodefactory Error");
            return ErrorLog::Instance().TakeErrorCode();
        }
        start->key = 0;
        start->mapId = m_legStart.mapId;
        start->linkId = m_legStart.linkId;
        start->nodeId = m_legStart.nodeId;
        start->level = 0;
        start->pred = startIndex;
        if (!m_forward.MakeCostMap(start->mapId)) {
            Log(__LINE__, "make next cost Error");
            ReleaseSearch();
            int code = ErrorLog::Instance().TakeErrorCode();
            return code ? code : kInternal;
        }
        int status = 1;
        m_startEntry = EntryAt(start->mapId, start->nodeId, start->linkId, 3, status);
        if (status != 1) {
            Log(__LINE__, "Cache node read Error");
            ReleaseSearch();
            return kInternal;
        }
        start->entry = static_cast<std::int8_t>(m_startEntry);
        // The start is recorded under its own link's entry at its node only. (Recorded under
        // every entry, it would make the search drop every later arrival at that node: a route
        // that has to come back through the start's node, or whose goal link ends there, would
        // not be found, or only by a long way round.)
        m_forward.Store(start->mapId, start->nodeId, m_startEntry, 0.0f, startIndex);
        m_queue.Clear();
        m_queue.Push(*start);
        std::uint8_t startLink[mrformat::kLinkSize];
        if (ReadLink(startLink, start->mapId, start->linkId, 3) != 1) {
            Log(__LINE__, "read link Error");
            ReleaseSearch();
            return kInternal;
        }
        const LinkFields sl = LinkFields::From(startLink);
        if (m_startLinkFlag && (m_state.FromVehicle() & 1))
            m_startSpeedClass = sl.linkType == 2 ? 2 * sl.lanes : sl.lanes;
        if (sl.oneWay != 0) m_startLinkFlag = 1;

        m_state.SetUpLeg(m_D);
        SetCacheBytes(1);
        m_lastLegLong = !(m_D < 3000.0f);
        bool found = m_lastLegLong ? LongSearch() : ShortSearch();
        m_peakMB = std::max(m_peakMB, MemoryUseMB());
        if (!found) {
            char line[200];
            std::snprintf(line, sizeof line, "StartPoint(%d,%d)\nEndPoint(%d,%d)", m_legStart.x, m_legStart.y,
                          m_legEnd.x, m_legEnd.y);
            ErrorLog::Instance().WriteText(line);
            std::snprintf(line, sizeof line, "UsingMem(%1.1f) PQSize(%d)", MemoryUseMB(), m_queue.Size());
            ErrorLog::Instance().WriteText(line);
            std::snprintf(line, sizeof line, "VisitCount(%d) PointDistance(%1.1f)", m_visits,
                          static_cast<double>(m_D));
            ErrorLog::Instance().WriteText(line);
            ReleaseSearch();
            int code = ErrorLog::Instance().TakeErrorCode();
            // A failed search never reports success without a route.
            return code ? code : kInternal;
        }
        std::vector<PathItem> leg;
        if (!BuildLegPath(leg)) {
            ReleaseSearch();
            return Fail(__LINE__, "Makeing Shortest Path Erorr", kInternal);
        }
        ReleaseSearch();
        std::size_t from = i == 0 ? 0 : 1;
        if (m_routePath.size() + (leg.size() - std::min(from, leg.size())) >
            static_cast<std::size_t>(kRoutePathItems))
            return Fail(__LINE__, "Makeing Shortest Path Erorr", kInternal);
        for (std::size_t k = from; k < leg.size(); ++k) m_routePath.push_back(leg[k]);
        ResetLeg();
        --m_legsRemaining;
        if (i < n && !AdjustWaypoint(i)) return Fail(__LINE__, "adjust via node Error", kInternal);
    }
    // The caches keep their blocks for the next search but not the switches of this one.
    if (!m_cache.ReleaseSearch()) return Fail(__LINE__, "cache release Error", kInternal);
    // The result is built by the route manager from RoutePath(), with the files read directly.
    SetCacheBytes(0);
    return kFound;
}

bool CRoutePlan::Release() {
    ResetLeg();
    PrepareLeg();
    m_visits = 0;
    m_D = 0.0f;
    m_startSpeedClass = 0;
    m_routePath.clear();
    m_state.Reset();
    m_points.Clear();
    m_startLinkFlag = 1;
    ReleaseSearch();
    return true;
}

void CRoutePlan::MapToNetCoord(std::int32_t x, std::int32_t y, std::int32_t& netX, std::int32_t& netY) {
    ::MapToNetCoord(x, y, netX, netY);
}

void CRoutePlan::NetToMapCoord(std::int32_t x, std::int32_t y, std::int32_t& mapX, std::int32_t& mapY) {
    ::NetToMapCoord(x, y, mapX, mapY);
}
