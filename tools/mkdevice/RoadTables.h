// The two tables every data builder shares: the attribute values written for each road type
// (so the route engine, the matcher, the point attachment and the route dialogs all read the
// road they should), and the guide codes the junction tables use.
#pragma once

#include <cstdint>
#include <string_view>

namespace mkdev {

enum class RoadType : std::uint8_t {
    Expressway,       // one carriageway of an expressway
    ExpresswayTunnel, // a carriageway inside a tunnel: no GPS reception
    JcRamp,           // connector between two expressways at a junction (JC)
    IcRamp,           // ramp between an expressway and an ordinary road at an interchange (IC)
    ServiceArea,      // the road through a service area beside a carriageway
    NationalRoad,
    ProvincialRoad,
    TownMain,   // a town's main road
    TownStreet, // an ordinary town street
    Roundabout, // a link of a roundabout's ring (one-way, roundabout bit)
    Overpass,   // a road on an elevated section (고가차도): a match needs four satellites
    Underpass,  // a road in an underpass (지하차도): no reception
    Alley,      // lowest class, network level 3
    Count
};

struct RoadAttributes {
    std::string_view name;     // for the dump and messages
    std::uint8_t roadKind;     // link byte 0 bits 4-6: 0,1 level 0; 2-4 level 1; 5,6 level 2; 7 level 3
    std::uint8_t lanes;        // link byte 0 bits 0-3
    std::uint8_t linkType;     // attribute bits 2-4 (2 = divided carriageway, 4 = ramp, 6 = service road)
    std::uint8_t facilityKind; // attribute bits 5-7: 1 expressway, 2/6 named urban road, 3 national,
                               // 4 local, 5 other, 7 never routed
    std::uint8_t widthClass;   // attribute bits 8-10: 1 overpass, 2 underpass, 3 tunnel
    std::uint8_t roadClass;    // attribute bits 12-15, the matcher's road class (higher = bigger road)
    bool expresswayGroup;      // counts as the expressway for guide codes (carriageways and JC ramps)
    bool rampGroup;            // an exit or entry of the expressway (IC ramps, service areas)
};

const RoadAttributes& Attributes(RoadType type);

// Network level of a road kind (the search's road-class levels).
int LevelOfRoadKind(int roadKind);

// Attribute word (link bytes 10-11) for a road type with a one-way code 0..3.
std::uint16_t AttributeWord(RoadType type, int oneWay);
// Link byte 0 for a road type; the roundabout bit comes from the type.
std::uint8_t LinkByte0(RoadType type);

// Facility codes (link byte 1) and the facility table's values. Codes 2-4 sit on the carriageway
// link whose end is the facility's exit; code 1 on each link that leaves a junction, naming where
// it leads. Rest areas, junctions and interchanges share one id space (the rest-area table).
enum FacilityCode : std::uint8_t {
    kFacilityNone = 0,
    kFacilityJunctionDirection = 1, // value = its direction record id (HighwayDB.db)
    kFacilityRestArea = 2,          // value = its rest-area record id (RestareaDB.db)
    kFacilityJunction = 3,          // an expressway junction (JC)
    kFacilityInterchange = 4,       // an interchange exit (IC)
};

// Guide codes written in the junctions' guide tables, and those the route result adds itself.
enum GuideCode : std::uint8_t {
    kGuideNone = 0,            // straight on, no announcement
    kGuideRoundaboutEntry = 2, // into a roundabout; the route result turns the exit into 46..57
    kGuideExitRight = 3,       // leaving the expressway, bearing right
    kGuideExitLeft = 4,        // leaving the expressway, bearing left
    kGuideExitStraight = 5,    // leaving the expressway straight ahead
    kGuideBranchLeft = 7,      // expressway junction, keep left
    kGuideBranchRight = 8,     // expressway junction, keep right
    kGuideEnterRight = 9,      // joining the expressway, bearing right
    kGuideEnterLeft = 10,      // joining the expressway, bearing left
    kGuideEnterStraight = 11,  // joining the expressway straight ahead
    kGuideTurnLeft = 12,
    kGuideTurnRight = 13,
    kGuideUTurn = 14,
    kGuideFollowRoad = 15,          // expressway junction, follow the expressway
    kGuideRoundaboutExitFirst = 46, // 46..57: roundabout exit by direction (route result)
    kGuideRoundaboutExitLast = 57,
    kGuideWaypoint = 59, // route result
    kGuideGoal = 60,     // route result
};

struct GuideCodeInfo {
    std::uint8_t code;
    std::string_view meaning;
};
// Every guide code the data and the route result use, with its meaning (for the dump).
const GuideCodeInfo* GuideCodes(std::size_t& count);
std::string_view GuideCodeMeaning(int code);

} // namespace mkdev
