// The search stage of the sample device: the name database with its character index and
// category tree ("SearchDB\nVelko.db"), the administrative names ("AdminName.db"), the address
// database with its parcel blocks ("aVelko.db"), the point-of-interest details ("POI.db") and
// the theme files ("Theme\*.thm"), all drawn from the sample's place table.
#pragma once

#include "tools/mkdevice/NetworkModel.h"

#include <cstdint>
#include <string>

namespace mkdev {

struct DeviceLayout;

struct SearchSummary {
    long names = 0;
    long areas = 0;
    long parcels = 0;
    long poiRecords = 0;
    long themes = 0;
};

// A position as the search databases store it: the code of the 12,000 x 10,000 map-unit sheet
// and the offsets within it.
struct SheetPos {
    std::uint16_t code = 0, dx = 0, dy = 0;
};
// The sheet position of a network point of the sample region (its sheets are codes 6732-6734,
// 6736-6738 and 6742-6744: columns 16-18, rows 52-54); throws outside them.
SheetPos SampleSheetPos(NetPoint p);

// Writes the search databases of the sample region over the network's roads.
SearchSummary BuildSearchStage(const DeviceLayout& layout, const NetModel& model);

// Writes a national-scale name database and admin-name table into a folder (host path):
// `count` seeded names of shops, offices and facilities (the same seed gives the same files),
// positions on the sample's sheets. For timing the name searches.
void WriteNationalNames(const std::string& searchDbDir, std::uint64_t seed, std::size_t count = 1000000);

} // namespace mkdev
