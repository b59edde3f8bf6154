// The simulated drive: moves a car along the current route link by link and segment by segment,
// producing at each step the MatchResult the map matcher produces for a real fix, so guidance and
// the map run unchanged. Also the adapter through which the matcher asks a route object whether a
// link belongs to it.
#pragma once

#include "position/LinkView.h"
#include "position/MRNetReader.h"
#include "position/MatchResult.h"
#include "route/RoutePath.h"

#include <cstdint>

class CRoutePathQuery : public CRouteLinkQuery {
public:
    explicit CRoutePathQuery(CRoutePath* route = nullptr) : m_route(route) {}
    void SetRoute(CRoutePath* route) { m_route = route; }
    bool IsValid() const override { return m_route && m_route->IsValid(); }
    bool HasLink(int mapId, int linkIndex, int against) const override {
        int index = -1;
        return m_route && m_route->FindRouteItem(mapId, linkIndex, against, nullptr, index, 0) == 1;
    }

private:
    CRoutePath* m_route;
};

class CRouteSimulator {
public:
    // The reader defaults to the program's shared one.
    explicit CRouteSimulator(CMRNetReader* reader = nullptr);
    virtual ~CRouteSimulator() = default;

    // Clears the car and opens the road network on the folder (with optional memory images of the
    // node, link and junction files); returns the open result.
    bool Start(const char16_t* dataFolder, const std::uint8_t* nodes = nullptr, std::size_t nodeSize = 0,
               const std::uint8_t* links = nullptr, std::size_t linkSize = 0,
               const std::uint8_t* junctions = nullptr, std::size_t junctionSize = 0);
    // Advances the car by distance metres: -1 route not valid or network not open, 1 the goal is
    // reached (out unchanged), 0 otherwise with out filled.
    int Step(CRoutePath& route, MatchResult& out, int distance);
    // Puts the car on item (nothing for -1): walks distance metres into it (or, with 0, into item 0
    // from its start), else places it at the item's last segment.
    void SetPosition(CRoutePath& route, int distance, int item);
    // The player's slider: the next step moves the car by this distance in one go.
    void Jump(int distance) {
        m_jump = distance;
        m_jumpFlag = 1;
    }
    int GetItemIndex() const { return m_item; }
    int DistanceAlongRoute() const { return m_distance; }
    const MatchResult& Car() const { return m_car; }

private:
    bool LoadItem(CRoutePath& route, int item);
    int SegmentLength(const LinkPoint& a, const LinkPoint& b) const;
    void TakeSegment(int k);
    void Finish(MatchResult& out);

    CMRNetReader* m_reader;
    int m_item = 0;
    MatchResult m_car;
    LinkView m_link;
    bool m_reverse = false;
    double m_xScale = 0.27654;
    int m_jump = 0;
    std::uint8_t m_jumpFlag = 0;
    int m_startDistance = 0;
    int m_distance = 0;
};
