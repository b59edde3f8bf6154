// Expansion of the road network ahead of a car: the links reachable from its place on its link
// within a distance, without leaving the car's heading or turning too sharply at a junction.
// The matcher asks it whether a stretch without GPS reception lies ahead; guide points ask
// whether a point's link lies on the road ahead.
#pragma once

#include "position/MRNetReader.h"

#include <cstdint>
#include <vector>

class CLinkReach {
public:
    struct Entry {
        std::int16_t mapId = 0;
        std::int16_t linkIndex = 0;
        std::uint8_t along = 0;    // 1 along the link, 0 against it
        std::int32_t distance = 0; // metres from the car to the end of the link
    };

    virtual ~CLinkReach() = default;

    void SetLimits(int headingAngle, int turnAngle, int distance);
    // Fills the reached list from the car's place: segment segmentIndex (in travel direction) at
    // segmentPosition (0..100000) of the link, heading in degrees.
    void Expand(int mapId, int linkIndex, int along, int segmentIndex, int segmentPosition, int heading,
                CMRNetReader& reader);
    bool Contains(int mapId, int linkIndex) const;
    // The first reached link whose reception class (attribute bits 8-10) is 3.
    bool FindTypeThree(CMRNetReader& reader, int& mapId, int& linkIndex) const;
    const std::vector<Entry>& Reached() const { return m_reached; }

    // Metres from the car's place to the end of its link, measured as the expansion does.
    static int DistanceToLinkEnd(CMRNetReader& reader, int mapId, int linkIndex, int along, int segmentIndex,
                                 int segmentPosition);

private:
    int m_headingAngle = 90;
    int m_turnAngle = 90;
    int m_distance = 500;
    std::vector<Entry> m_stack;
    std::vector<Entry> m_reached;
};
