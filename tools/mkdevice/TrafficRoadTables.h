// The broadcast road tables of the traffic pages ("Darc\DLevel1.db" below the map data folder):
// the broadcast links of a road network arranged as a tree the user browses. Level 0 holds the
// four road groups "고속도로", "국도", "지방도", "시내도로"; expressways sit at level 1 with their
// sections at level 2; other roads sit under the town or district nearest to them (level 1), the
// roads at level 2, their sections at level 3.
//
// A section is one direction of a broadcast stretch. A road of n sections lists the first
// direction (east- or northbound, along the road's longer extent) in records 0 ... n/2-1, with the
// direction bit and pairing keys 1, 2, ...; record n-1-i is the other direction of record i's
// stretch, with the same key. Sections carry their broadcast link id, the places at their ends,
// their length in metres and their midpoint as a map sheet code with offsets in the sheet.
#pragma once

#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/NetworkModel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mkdev {

struct TrafficRoadSummary {
    int roads = 0;
    int districts = 0;
    int sections = 0;
    int unpaired = 0; // one-way stretches without a stretch of the other direction (left out)
};

// The file's bytes for a network whose links carry their broadcast indices into ids (as
// AssignBroadcastLinks gave them). Sheet positions use the sample region's sheets.
std::vector<std::uint8_t> BuildTrafficRoadTables(const NetModel& model, const std::vector<std::uint32_t>& ids,
                                                 TrafficRoadSummary* summary = nullptr);

// Writes MapData/DARC/DLevel1.db.
TrafficRoadSummary WriteTrafficRoadTables(const DeviceLayout& layout, const NetModel& model,
                                          const std::vector<std::uint32_t>& ids);

} // namespace mkdev
