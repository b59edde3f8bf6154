// The drawing stage of the sample device: the map layers (".MDC") drawn from the road network's
// geometry, the road-number shields, the nearby-facility and traffic-link layers, the guide
// points, and the drawing configuration (layer list, colours, lines, levels).
#pragma once

#include "tools/mkdevice/NetworkModel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mkdev {

struct DeviceLayout;

// One written layer: its name under the map data folder and the header values a reader checks.
struct WrittenLayer {
    std::string name; // "MAP\ROAD_HIGHWAY.MDC"
    int kind = 0;
    bool tiled = true;
    std::int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    long records = 0;
};

struct DrawingSummary {
    std::vector<WrittenLayer> layers;
    std::int32_t mapMinX = 0, mapMinY = 0, mapMaxX = 0, mapMaxY = 0; // union of every layer's box
    long guidePoints = 0;
    long facilities = 0;
};

// Day and night colour-scheme names ("Color\Color_%s.bin").
constexpr const char* kDaySchemeName = "주간";
constexpr const char* kNightSchemeName = "야간";

// Writes every drawing file of the device for the network. sampleDecorations adds the sample
// region's towns, lake and parks (placed against the region's own corner).
DrawingSummary BuildDrawingStage(const DeviceLayout& layout, const NetModel& model, bool sampleDecorations);

// The network the options name (the same one the network stage writes).
NetModel NetworkFor(const std::string& network, std::uint64_t seed);

} // namespace mkdev
