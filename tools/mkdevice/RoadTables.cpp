#include "tools/mkdevice/RoadTables.h"

#include <array>

namespace mkdev {

namespace {

// name, kind, lanes, type, facility, width, class, expressway, ramp
constexpr std::array<RoadAttributes, static_cast<std::size_t>(RoadType::Count)> kAttributes{{
    {"expressway", 0, 2, 2, 1, 0, 6, true, false},
    {"expressway tunnel", 0, 2, 2, 1, 3, 6, true, false},
    {"junction ramp", 0, 1, 4, 1, 0, 5, true, false},
    {"interchange ramp", 1, 1, 4, 1, 0, 4, false, true},
    {"service area", 5, 1, 6, 1, 0, 2, false, true},
    {"national road", 2, 2, 0, 3, 0, 4, false, false},
    {"provincial road", 3, 2, 0, 4, 0, 3, false, false},
    {"town main road", 4, 2, 0, 5, 0, 3, false, false},
    {"town street", 5, 1, 0, 5, 0, 2, false, false},
    {"roundabout", 5, 1, 0, 5, 0, 2, false, false},
    {"overpass", 4, 2, 0, 5, 1, 3, false, false},
    {"underpass", 4, 2, 0, 5, 2, 3, false, false},
    {"alley", 7, 1, 0, 5, 0, 1, false, false},
}};

constexpr GuideCodeInfo kGuideCodes[] = {
    {0, "straight on (no announcement)"},
    {2, "enter the roundabout"},
    {3, "leave the expressway bearing right"},
    {4, "leave the expressway bearing left"},
    {5, "leave the expressway straight ahead"},
    {7, "junction: keep left"},
    {8, "junction: keep right"},
    {9, "join the expressway bearing right"},
    {10, "join the expressway bearing left"},
    {11, "join the expressway straight ahead"},
    {12, "turn left"},
    {13, "turn right"},
    {14, "turn back"},
    {15, "follow the expressway"},
    {46, "roundabout exit at 1 o'clock"},
    {47, "roundabout exit at 2 o'clock"},
    {48, "roundabout exit at 3 o'clock"},
    {49, "roundabout exit at 4 o'clock"},
    {50, "roundabout exit at 5 o'clock"},
    {51, "roundabout exit at 6 o'clock"},
    {52, "roundabout exit at 7 o'clock"},
    {53, "roundabout exit at 8 o'clock"},
    {54, "roundabout exit at 9 o'clock"},
    {55, "roundabout exit at 10 o'clock"},
    {56, "roundabout exit at 11 o'clock"},
    {57, "roundabout exit at 12 o'clock"},
    {59, "waypoint"},
    {60, "destination"},
};

} // namespace

const RoadAttributes& Attributes(RoadType type) {
    return kAttributes[static_cast<std::size_t>(type)];
}

int LevelOfRoadKind(int roadKind) {
    if (roadKind <= 1) return 0;
    if (roadKind <= 4) return 1;
    if (roadKind <= 6) return 2;
    return 3;
}

std::uint16_t AttributeWord(RoadType type, int oneWay) {
    const RoadAttributes& a = Attributes(type);
    return static_cast<std::uint16_t>((oneWay & 3) | ((a.linkType & 7) << 2) | ((a.facilityKind & 7) << 5) |
                                      ((a.widthClass & 7) << 8) | ((a.roadClass & 15) << 12));
}

std::uint8_t LinkByte0(RoadType type) {
    const RoadAttributes& a = Attributes(type);
    std::uint8_t b = static_cast<std::uint8_t>((a.lanes & 15) | ((a.roadKind & 7) << 4));
    if (type == RoadType::Roundabout) b |= 0x80;
    return b;
}

const GuideCodeInfo* GuideCodes(std::size_t& count) {
    count = sizeof kGuideCodes / sizeof kGuideCodes[0];
    return kGuideCodes;
}

std::string_view GuideCodeMeaning(int code) {
    for (const GuideCodeInfo& g : kGuideCodes)
        if (g.code == code) return g.meaning;
    return "?";
}

} // namespace mkdev
