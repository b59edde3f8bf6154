// The route result builder: turns the searched route path (path items of every leg) into the
// result blob: a caller's prefix (the 208-byte route header), the route object's 72-byte
// header and its seven vectors (route items, shape points, guide items, facility entries and
// three per-map run lists). It cuts the first and last links at the start and goal points,
// sums length, travel time and highway share, makes the guide codes (turns, roundabout exits,
// waypoints, goal) and looks the facilities up in LinkIDvsCode.db. The blob can also be
// written to the route table file.
#pragma once

#include "route/CostModel.h"
#include "route/MRReader.h"
#include "route/PointManage.h"
#include "route/RouteSearch.h"
#include "route/base/Records.h"

#include <cstdint>
#include <vector>

class RpResult {
public:
    // Guide and facility entries keep a route item index in 16 bits; run counts are 16-bit.
    static constexpr int kMaxRouteItems = 32767;
    static constexpr int kMaxRunItems = 65535;
    // A generous bound on the shape points of one route (a route that would need more fails).
    static constexpr std::size_t kMaxShapePoints = 4000000;
    // Below this the goal link's part is too short to announce the turn before it, metres.
    static constexpr std::int32_t kShortGoalPart = 7;
    enum GuideCode {
        kRoundaboutEntry = 2,
        kDeadEnd = 14,
        kRoundaboutExitFirst = 46,
        kWaypoint = 59,
        kGoal = 60
    };
    enum Kind { kNone = 0, kGuided = 1, kWaypointItem = 2, kGoalItem = 3 };

    // 0 (and a log line) when the point set is missing.
    int Init(const PointManage* points, MRReader* reader, const RouteSearchState* state);
    void SetPrefix(const void* prefix, int size);
    // Builds the blob from count path items; with writeFile also writes it to the route table
    // file. 1 on success; 0 on failure (the working data is dropped).
    int Build(const PathItem* path, int count, int writeFile);
    const std::vector<std::uint8_t>& Blob() const { return m_blob; }
    // Drops the blob.
    void Release() { m_blob.clear(); }
    // Drops the working data, the prefix and the totals.
    void Reset();

    std::int32_t TotalLength() const { return m_totalLength; }
    std::int32_t TotalTime() const { return m_totalTime; }

    // ---- the builder's arithmetic, on its own ----
    // Travel direction of a path item on its link: 0 from the first end node to the second.
    static int TravelDirection(const std::uint8_t* link, std::uint16_t nodeId, int side);
    // Index of the polyline segment nearest to p; of equal distances the first wins.
    static int NearestSegment(const std::vector<NetXY>& polyline, NetXY p);
    // p projected on the segment a-b, clamped to its ends.
    static NetXY Project(NetXY a, NetXY b, NetXY p);
    // The part of a polyline (travel order) after the start point or before the goal point.
    static std::vector<NetXY> PartialPolyline(const std::vector<NetXY>& polyline, NetXY p, bool fromStart);
    // Sum over the segments of trunc(sqrt((|dx| u 1e-5)^2 + (|dy| 0.30879)^2)), u the x scale.
    static std::int32_t PolylineMetres(const std::vector<NetXY>& polyline, int xScale);
    // Default speed of a link in km/h from its facility kind and lanes.
    static int DefaultSpeed(const std::uint8_t* link);
    // Seconds to travel metres of the link in a direction; with useTraffic the stand-in
    // receiver's speed replaces the default when it has one.
    static double TravelSeconds(const std::uint8_t* link, int direction, std::int32_t metres,
                                bool useTraffic);
    // Whole-degree bearing from a to b, clockwise from north.
    static int Bearing(NetXY a, NetXY b);
    // Exit code 46..57 from the bearing saved at the entry and the exit link's bearing.
    static int RoundaboutExitCode(int entryBearing, int exitBearing);
    // The one-way and facility test of a link against a node and a side.
    static bool DirectionTest(const std::uint8_t* link, std::uint16_t node, int side);
    // The link's polyline from its first end node to its second (network coordinates); false
    // when a node or the vertices cannot be read.
    static bool LinkPolyline(MRReader& reader, int map, const std::uint8_t* link, std::vector<NetXY>& out);
    // Where p falls along a polyline, as the start and goal cuts find it: the nearest segment
    // and the projected position on it (0..100,000), in one number that grows along the line.
    static std::int64_t PositionAlong(const std::vector<NetXY>& polyline, NetXY p);

private:
    struct LinkView {
        PathItem item;
        std::uint8_t rec[mrformat::kLinkSize] = {};
        int direction = 0;
        std::uint16_t entryNode = 0, exitNode = 0;
        const MRMapRecord* map = nullptr;
        std::vector<NetXY> polyline; // travel order, network coordinates
    };
    struct Junction {
        bool present = false;
        MRCrossNode cross;
    };
    struct Facility {
        std::uint16_t map = 0, link = 0, value = 0;
        std::uint8_t condition = 0;
    };

    bool View(const PathItem& item, LinkView& view);
    bool ReadJunction(int map, std::uint16_t node, Junction& junction);
    bool TurnAllowed(const LinkView& from, const LinkView& to);
    bool LoadFacilities();
    bool FindFacility(int map, int link, int direction, std::uint16_t& value) const;
    void AddShapePoints(const std::vector<NetXY>& points, std::uint16_t map);
    void AddTravel(const LinkView& view, std::int32_t metres);
    // Makes the route item, its guide item and its facility entries.
    bool MakeItem(const LinkView& view, const LinkView* next, std::int32_t metres, bool last);
    bool Finish(int writeFile);
    bool Fail(int line, const char* message);

    const PointManage* m_points = nullptr;
    MRReader* m_reader = nullptr;
    const RouteSearchState* m_state = nullptr;
    std::vector<std::uint8_t> m_prefix;
    std::vector<std::uint8_t> m_blob;
    bool m_facilitiesLoaded = false;
    std::vector<Facility> m_facilityTable;

    // Working data of one build.
    std::vector<CPathLinkItem> m_items;
    std::vector<std::int64_t> m_itemLength;
    std::vector<CPathPoint> m_shape;
    std::vector<std::uint16_t> m_shapeMap;
    std::vector<CRouteLinkKey> m_guides;
    std::vector<std::uint16_t> m_guideMap;
    std::vector<CPathGuideItem> m_facilities;
    std::int64_t m_total = 0, m_highwayLength = 0;
    float m_timeSum = 0.0f;
    bool m_highway = false, m_useTraffic = false;
    bool m_ringOpen = false;
    int m_ringBearing = 0;
    int m_ringGuide = -1;
    std::int32_t m_totalLength = 0, m_totalTime = 0;
};
