// The point set of a route (start, up to five waypoints, goal, as LinkPos records) and the
// attachment of a point in network coordinates to the nearest suitable link, read through the
// engine's block caches at network level 3.
#pragma once

#include "route/EngineList.h"
#include "route/RpCache.h"
#include "route/base/RouteTypes.h"

#include <cstdint>

struct NetXY {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class PointManage {
public:
    enum Kind { kStart = 0, kGoal = 1, kWaypoint = 2 };
    static constexpr int kMaxWaypoints = 5;
    static constexpr std::uint16_t kNone = 65535;

    // heap: the engine's private heap, for the candidate list.
    int Init(MRReader* reader, RpCache* cache, HANDLE heap);
    void Clear();

    // 0 failure; 1 attached; for a goal or waypoint 2 (restricted link) or 3-6 (width class 1-4).
    int AttachPoint(int kind, NetXY point, LinkPos& out);
    // Ties the point to the link's start node (end = 1) or its end node and stores it.
    int TieToLink(int kind, std::uint16_t map, std::uint16_t link, int end);
    // Start and goal replace; a waypoint is appended (false when five are held).
    bool StorePoint(int kind, const LinkPos& pos);
    void StoreRawPoint(int kind, std::int32_t x, std::int32_t y);
    void ClearWaypoints() { m_waypointCount = 0; }
    void ClearCandidates() { m_candidates.Clear(); }
    bool ReplaceWaypoint(int i, const LinkPos& pos);
    void GetWaypoint(LinkPos& out, int i) const;

    int FindMap(NetXY point) const;
    int FindNeighbourMap(int map, NetXY point) const;
    int CheckNode(int kind, const LinkPos& pos);
    // Metres from q to the segment p1-p2 (0.27654 m per x unit, 0.30879 m per y unit).
    static float SegmentDistance(NetXY p1, NetXY p2, NetXY q);
    // Whole metres from q to the link's polyline; 0xFFFFFFFF on a read failure.
    std::uint32_t LinkDistance(int map, int link, NetXY q);

    const LinkPos& Start() const { return m_start; }
    const LinkPos& Goal() const { return m_goal; }
    const LinkPos& Waypoint(int i) const { return m_waypoints[i]; }
    int WaypointCount() const { return m_waypointCount; }
    NetXY RawPoint(int kind, int waypoint = 0) const;

private:
    bool ReadNodePoint(int map, int node, std::uint8_t* record, NetXY& at);
    static bool Inside(const MRBox& b, NetXY p);

    MRReader* m_reader = nullptr;
    RpCache* m_cache = nullptr;
    List m_candidates; // (map id << 16) | link id
    LinkPos m_start, m_goal;
    LinkPos m_waypoints[kMaxWaypoints];
    NetXY m_rawStart{-1, -1}, m_rawGoal{-1, -1};
    NetXY m_rawWaypoints[kMaxWaypoints];
    int m_waypointCount = 0;
};
