// The record every position-on-road engine reports for a fix, and the engines' common interface.
// A MatchResult is the car state: the link it is on, where on the link, the heading and speed,
// and copies of the link and node records that guidance reads.
#pragma once

#include "position/GpsReceiver.h"
#include "route/MRFormat.h"

#include <cstdint>

struct MatchResult {
    std::uint8_t reverse = 0;   // 1 travelling from the link's end node to its start; 0xFF no link
    std::int8_t slot = 0;       // the link's map in the reader's 3 x 3 window; 4 when no link
    std::int16_t mapId = 0;     // -1 none
    std::int16_t linkIndex = 0; // -1 none
    std::int16_t fromNode = 0;
    std::int16_t toNode = 0;
    std::int16_t heading = 0;
    std::int16_t segmentIndex = 0; // counted in travel direction
    std::int16_t headingDiff = 0;
    std::int16_t speedMps = 0;
    std::int32_t speedKmh = 0;
    std::int32_t status = 0; // 1 on a link, 2 a position without a link, 3 no position
    std::int32_t x = 0;      // network coordinates
    std::int32_t y = 0;
    std::int32_t fixDistance = 0;
    std::int32_t moved = 0;
    std::int32_t segmentPosition = 0; // 0..100000 in travel direction
    std::int32_t segmentRemaining = 0;
    std::int32_t linkPosition = 0; // 0..100000 in travel direction
    std::int32_t quality = 0;
    std::int32_t checkCode = 0; // 0 usable, -1 outside the service area, -2 unusable
    std::int32_t hasFix = 0;
    std::uint8_t link[mrformat::kLinkSize] = {};
    std::uint8_t fromNodeRecord[mrformat::kNodeSize] = {};
    std::uint8_t toNodeRecord[mrformat::kNodeSize] = {};
    std::int16_t segStart[2] = {}; // relative to the map's minimum corner, travel order
    std::int16_t segEnd[2] = {};

    // The segment's points hold map-relative offsets of 0..65,535 in their 16 bits.
    std::int32_t SegStartX() const { return static_cast<std::uint16_t>(segStart[0]); }
    std::int32_t SegStartY() const { return static_cast<std::uint16_t>(segStart[1]); }
    std::int32_t SegEndX() const { return static_cast<std::uint16_t>(segEnd[0]); }
    std::int32_t SegEndY() const { return static_cast<std::uint16_t>(segEnd[1]); }
};

// A junction ahead of (or behind) the car: where the plain joints in front of it end.
struct JunctionLookahead {
    std::int8_t slot = 0;
    std::int16_t mapId = 0;
    std::int16_t node = 0;
    std::int32_t distance = 0;
    std::uint8_t nodeRecord[mrformat::kNodeSize] = {};
    MRCrossNode junction;
};

// What the matcher asks of the route it follows: whether it is valid and whether a link in a
// direction (against = 1 when travelled from its end node) belongs to it.
class CRouteLinkQuery {
public:
    virtual ~CRouteLinkQuery() = default;
    virtual bool IsValid() const = 0;
    virtual bool HasLink(int mapId, int linkIndex, int against) const = 0;
};

// The engines that turn a fix into a position on the road network.
class CMapMatchBase {
public:
    virtual ~CMapMatchBase() = default;
    // Matches one fix; deadReckoned and used (optional) receive the fix actually used.
    virtual int Match(GpsPosRecord fix, MatchResult& out, std::uint8_t* deadReckoned = nullptr,
                      GpsPosRecord* used = nullptr) = 0;
    virtual int Match2(GpsPosRecord fix, MatchResult& out, std::uint8_t* deadReckoned = nullptr,
                       GpsPosRecord* used = nullptr) {
        return Match(fix, out, deadReckoned, used);
    }
    virtual int GetFixInterval() = 0;
    virtual bool OpenNetwork(const char16_t* dataFolder) = 0;
    virtual void GetJunctionLookahead(JunctionLookahead& ahead, JunctionLookahead& behind) = 0;
    virtual void SetRoutePath(const CRouteLinkQuery* route) = 0;
    virtual int GetLinkEnd(int mapId, int linkIndex, int against, std::int32_t& x, std::int32_t& y,
                           std::int16_t& heading) = 0;
    virtual int GetJunctionName(int mapId, int linkIndex, int startNode, char* buffer, int bufferSize) = 0;
    virtual void Reset() = 0;
    virtual void SetLastResult(const MatchResult& result) = 0;
    virtual void RequestRematch() = 0;
    virtual int GetFixQuality(const GpsPosRecord& fix) = 0;
    virtual const char16_t* GetStatusText() = 0;
};
