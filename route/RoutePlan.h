// The route-planning engine: one object that owns a private heap, the reader of the road
// network, the block caches, the point set, the search state and structures. The route
// manager creates it, sets the search parameters and the points, runs Search leg by leg and
// reads the route path it leaves behind, then calls Release.
#pragma once

#include "route/CostModel.h"
#include "route/MRReader.h"
#include "route/PointManage.h"
#include "route/RouteSearch.h"
#include "route/RpCache.h"
#include "route/base/RouteTypes.h"

#include <cstdint>
#include <vector>

class CRoutePlan {
public:
    // Result codes of Search.
    enum Result {
        kFound = 0,
        kInternal = 2,
        kNoStart = 4,
        kNoGoal = 5,
        kRepeatedPoint = 6,
        kOutOfMemory = 17,
        kResultFailed = 18,
        kBadDistance = 32,
        kNoExpansion = 39,
    };
    static constexpr int kRoutePathItems = 7000;
    static constexpr int kLegPathItems = 3000;
    static constexpr std::int32_t kMaxVisits = 80000;
    static constexpr double kMemoryGuardMB = 6.0;
    static constexpr std::int64_t kFixedBytes = 100768;

    struct PointResult {
        int count = 0;  // points held after the call
        int result = 0; // the attachment's result (0 failure, 1 attached, 2-6 link nature)
        LinkPos pos;
    };

    CRoutePlan();
    ~CRoutePlan();
    CRoutePlan(const CRoutePlan&) = delete;
    CRoutePlan& operator=(const CRoutePlan&) = delete;

    // dataFolder holds "MRData". The caller may hand over the map records and boxes.
    int Init(const char16_t* dataFolder, const MRMapRecord* records = nullptr, const MRBox* boxes = nullptr,
             int recordCount = 0, CostProfile extra = CostProfile(), std::uint8_t applyExtra = 0);
    void SetSearchParams(int type, int useTraffic, int variant, int fromVehicle);

    // Attaches a point to the nearest link. Start and goal are stored; a waypoint is only
    // attached (the caller stores the ones it keeps with SetPointRecord).
    PointResult SetPoint(int kind, std::int32_t x, std::int32_t y);
    PointResult SetPointAt(int kind, std::int32_t x, std::int32_t y);
    int SetPointOnLink(int kind, std::uint16_t map, std::uint16_t link, std::int32_t x, std::int32_t y);
    // Stores a ready LinkPos; 0 for a sixth waypoint.
    int SetPointRecord(int kind, const LinkPos& pos, std::int32_t x, std::int32_t y);
    void ClearWaypoints() { m_points.ClearWaypoints(); }

    int CheckPoints() const;
    int SelectLeg(int i);
    int Search();
    bool Release();

    static void MapToNetCoord(std::int32_t x, std::int32_t y, std::int32_t& netX, std::int32_t& netY);
    static void NetToMapCoord(std::int32_t x, std::int32_t y, std::int32_t& mapX, std::int32_t& mapY);

    // The route path of the last successful search.
    const std::vector<PathItem>& RoutePath() const { return m_routePath; }
    // Cost of the last leg's path as the search found it (the forward meeting node's cost, or the
    // best total of a two-sided search).
    float LastLegCost() const { return m_lastLegCost; }
    void SetStop(std::uint8_t stop) { m_stop = stop; }
    // Whether the last leg searched took the two-sided long search.
    bool LastLegLong() const { return m_lastLegLong; }
    // Straight-line length of the last leg searched, metres.
    float LastLegDistance() const { return m_D; }

    // Engine memory in MB as the guard computes it, and the highest value seen since Init.
    double MemoryUseMB() const;
    double PeakMemoryMB() const { return m_peakMB; }
    std::int32_t VisitCount() const { return m_visits; }
    // Lower limits for tests of the limit paths (defaults: 80,000 visits, 500,000 nodes).
    void SetLimitsForTest(std::int32_t maxVisits, std::int32_t poolCapacity);
    // A lower open-queue capacity and memory guard for tests of those limits (defaults: 2,999
    // queued nodes, 6.0 MB).
    void SetQueueLimitForTest(int nodes) { m_queue.SetLimitForTest(nodes); }
    void SetMemoryGuardForTest(double megabytes) { m_memoryGuardMB = megabytes; }

    RouteSearchState& State() { return m_state; }
    PointManage& Points() { return m_points; }
    MRReader& Reader() { return m_reader; }
    RpCache& Cache() { return m_cache; }

private:
    enum class Side { Forward, Backward };
    struct Candidate {
        std::uint16_t map, link, meet; // the node at which the search enters the link
        int guide;
        bool plainContinuation;
    };

    // Reads with the level in force and the cache bytes in force.
    int ReadLink(std::uint8_t* buf, int map, int link, int level);
    int ReadNode(std::uint8_t* buf, int map, int node, int level);
    int ReadCross(MRCrossNode& cross, int map, std::uint32_t ref, int level);
    bool NodePoint(int map, const std::uint8_t* nodeRec, std::int32_t& x, std::int32_t& y) const;
    // Position of a link among the crossing links of a node: 0 at a plain node, -1 absent.
    // status: 1 read, 2 the node lies beyond the level's part of its map, 0 read failure.
    int EntryAt(int map, int node, int link, int level, int& status);
    void SetCacheBytes(std::uint8_t v);
    int Fail(int line, const char* message, int code);
    bool Guards();
    // Whether the car may drive onto the link at one of its end nodes (one-way code, closed
    // links, facility kind 7).
    static bool EnterableAt(const std::uint8_t* link, std::uint16_t node);

    int SearchLegs();
    bool Expand(const SearchNode& n, Side side, bool first);
    bool ShortSearch();
    bool LongSearch();
    bool BuildLegPath(std::vector<PathItem>& leg);
    void ReleaseSearch();
    void ResetLeg();   // after a leg: phase bytes, counts, start-link flag, stop byte, freeze
    void PrepareLeg(); // before a leg: meeting state, visit count, per-side progress
    bool AdjustWaypoint(int i);
    // Whether leg i's end lies ahead of its start on the one link both are on.
    bool OnOneLink(int leg);

    HANDLE m_heap = nullptr;
    std::uint8_t m_cacheBytes[RpCache::kKindCount] = {};
    RouteSearchState m_state;
    PointManage m_points;
    NodePool m_pool;
    MRReader m_reader;
    RpCache m_cache;
    CostTable m_forward, m_backward;
    NodeQueue m_queue;
    bool m_initialised = false;

    LinkPos m_legStart, m_legEnd;
    std::int32_t m_visits = 0;
    std::int32_t m_maxVisits = kMaxVisits;
    double m_memoryGuardMB = kMemoryGuardMB;
    float m_D = 0.0f;
    std::uint8_t m_switched = 0, m_meetingMode = 0;
    std::int32_t m_fwdMeet = -1, m_bwdMeet = -1;
    std::vector<PathItem> m_routePath;
    std::uint8_t m_startLinkFlag = 1;
    int m_startSpeedClass = 0;
    std::uint8_t m_stop = 0;
    std::uint8_t m_viaPlainNode = 0;
    int m_legsRemaining = 0;
    std::int32_t m_handedBack = 0;
    int m_startEntry = -1;
    float m_lastLegCost = 0.0f;
    float m_roundCost = 0.0f; // cost of the last node queued back onto the start node's key
    bool m_lastLegLong = false;
    double m_peakMB = 0.0;

    // Per-side progress of the long search.
    float m_fwdMinH = RouteSearchState::kFarAway, m_fwdMaxD = 0.0f;
    float m_keptS = 0.0f;
    float m_bwdMaxD = 0.0f;
    int m_meetings = 0;
    std::int32_t m_lastMeetVisits = 0;
    float m_bestTotal = 1000000000.0f;
    bool m_longForward = false;
};
