// The standard sample device for a test, in a folder of the test's own. Building it takes seconds
// (most of a minute under the sanitizers), and every test case runs as a process of its own, so
// under ctest a test copies the device the tool tests share (the test names it in
// VELKO_TOOL_DEVICE, see velko_test's SAMPLE_DEVICE); run by hand, without that variable, the
// test builds the device itself. The copy is a whole one: tests write the user's files and may
// damage map files on purpose, and the shared device must stay as the builder wrote it.
#pragma once

#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/SavedRouteStage.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace mkdev {

// The shared device's folder, or empty when there is none to copy.
inline std::string SharedSampleDevice() {
    const char* shared = std::getenv("VELKO_TOOL_DEVICE");
    if (!shared || !*shared) return {};
    std::error_code ec;
    // The builder writes the saved routes last: a device without the last of them is not complete.
    if (!std::filesystem::is_regular_file(std::filesystem::path(shared) / kLastSavedRoute, ec)) return {};
    return shared;
}

// Writes the sample device (network "sample", seed 1) into outDir.
inline void MakeSampleDevice(const std::string& outDir) {
    const std::string shared = SharedSampleDevice();
    if (!shared.empty()) {
        std::filesystem::create_directories(outDir);
        std::filesystem::copy(shared, outDir,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        return;
    }
    DeviceOptions o;
    o.outDir = outDir;
    o.quiet = true;
    BuildDevice(o);
}

} // namespace mkdev
