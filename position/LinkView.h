// One link of the road network with everything the matching code walks: its record, its two
// node records and its points from the start node through the shape vertices to the end node
// (map-relative), plus the map's minimum corner and x scale.
#pragma once

#include "position/MRNetReader.h"

#include <cstdint>
#include <vector>

struct LinkPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct LinkView {
    int mapId = -1;
    int linkIndex = -1;
    std::uint8_t rec[mrformat::kLinkSize] = {};
    std::uint8_t startRec[mrformat::kNodeSize] = {};
    std::uint8_t endRec[mrformat::kNodeSize] = {};
    int startNode = 0;
    int endNode = 0;
    std::vector<LinkPoint> pts; // map-relative, link order
    std::int32_t originX = 0;
    std::int32_t originY = 0;
    double xScale = 0.27654;

    std::uint16_t Attr() const { return mrformat::U16(rec + 10); }
    int Length() const { return mrformat::U16(rec + 8); }
    int SegmentCount() const { return static_cast<int>(pts.size()) - 1; }
    // Segment k counted in travel direction (reverse: from the end node), map-relative points.
    void Segment(bool reverse, int k, LinkPoint& a, LinkPoint& b) const {
        const int n = SegmentCount();
        if (k < 0) k = 0;
        if (k >= n) k = n - 1;
        if (!reverse) {
            a = pts[k];
            b = pts[k + 1];
        } else {
            a = pts[n - k];
            b = pts[n - k - 1];
        }
    }
    // Node the car enters from and heads for in a direction.
    int FromNode(bool reverse) const { return reverse ? endNode : startNode; }
    int ToNode(bool reverse) const { return reverse ? startNode : endNode; }
    const std::uint8_t* FromRec(bool reverse) const { return reverse ? endRec : startRec; }
    const std::uint8_t* ToRec(bool reverse) const { return reverse ? startRec : endRec; }
};

// Reads a link of a map with its nodes and shape points; false when any read fails.
bool LoadLinkView(CMRNetReader& reader, int mapId, int linkIndex, LinkView& view);

// Node type: the top byte of a node record's second word (1 dead end, 2 joint, 0x81 border).
inline int NodeType(const std::uint8_t* nodeRec) {
    return static_cast<int>(mrformat::U32(nodeRec + 4) >> 24);
}
