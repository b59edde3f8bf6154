// The sample-device builder: writes a device root stage by stage. Each stage adds its files
// under the root; later stages (drawing layers, search databases, voice clips, skin) are
// added to the list in DeviceBuilder.cpp.
#pragma once

#include "tools/mkdevice/NetworkModel.h"

#include <cstdint>
#include <string>

namespace mkdev {

struct DeviceOptions {
    std::string outDir;
    // "sample" (default), "fixture:NAME" or "national".
    std::string network = "sample";
    std::uint64_t seed = 1;
    bool quiet = false;
    // Where spoken clips are kept between builds (empty: the build folder's cache).
    std::string voiceCache;
};

// Folders of a device root (host paths).
struct DeviceLayout {
    explicit DeviceLayout(const std::string& root);
    std::string root, mapData, mrData, searchDb, programDir, resDir, userDir;
};

// Runs every stage; throws std::runtime_error (or std::invalid_argument) on failure.
void BuildDevice(const DeviceOptions& options);

// The road-network stage alone: writes MapData/MRData for the chosen network.
NetworkSummary BuildNetworkStage(const DeviceLayout& layout, const DeviceOptions& options);

} // namespace mkdev
