// The area stage of the sample device: the area table of the map point lookup
// ("SearchDB\Admin.db", "Gu.bin", "Dong.bin") drawn from the sample's table of areas.
#pragma once

#include <cstdint>
#include <string>

namespace mkdev {

struct DeviceLayout;

struct AreaSummary {
    int meshes = 0;
    long cellRecords = 0;
    int districts = 0;
    int neighbourhoods = 0;
};

// The n of the sample's meshes: 1 in mesh (16, 52), 7 in mesh (18, 54), 4 elsewhere.
int SampleMeshCells(int column, int row);

AreaSummary BuildAreaStage(const DeviceLayout& layout);

// Writes national-scale area tables into a folder (host path): every mesh present, 4 x 4 cells,
// a few seeded synthetic areas per cell (the same seed gives the same files). For timing.
void WriteNationalAreas(const std::string& searchDbDir, std::uint64_t seed);

} // namespace mkdev
