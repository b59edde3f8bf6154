// The broadcast stage: the traffic-broadcast link table of a road network and the receiver's
// frequency table. A broadcast link is one direction of a stretch of an expressway carriageway,
// national road, provincial road or town main road between two named places (or road ends and
// forks); every network link of the stretch carries the stretch's table index per direction.
#pragma once

#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/NetworkModel.h"

#include <cstdint>
#include <vector>

namespace mkdev {

// Road classes of broadcast link ids (bits 17-19); expressway ids also carry bit 31.
constexpr std::uint32_t kBroadcastHighwayBit = 0x80000000u;
int BroadcastRoadClass(RoadType type); // 0 = the road carries no broadcast link

// Gives every eligible link of the model its broadcast indices (0xFFFF elsewhere) and returns
// the link ids in table order (strictly ascending).
std::vector<std::uint32_t> AssignBroadcastLinks(NetModel& model);

// Writes MapData/MRData/DARCLINK.bin (the ids, u32 little-endian) and MapData/DARC/Freq.bin.
void WriteBroadcastFiles(const DeviceLayout& layout, const std::vector<std::uint32_t>& ids);

// The regions of Freq.bin (names, frequency codes) and its search list.
struct FreqRegion {
    std::u16string name;
    std::vector<std::uint8_t> codes;
};
std::vector<FreqRegion> SampleFreqRegions();
std::vector<std::uint8_t> SampleSearchList();

} // namespace mkdev
