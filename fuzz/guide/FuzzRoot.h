// A device root for the guidance fuzz targets: a map data folder with a complete set of small
// voice files, into which one input file at a time is written.
#pragma once

#include "platform/files/DeviceRoot.h"
#include "tools/mkdevice/VoiceFiles.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

inline const std::string& GuideFuzzRoot(const char* name) {
    static const std::string root = [name] {
        const std::filesystem::path p = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(p / "MapData");
        DeviceRoot::SetRoot(p.string());
        return p.string();
    }();
    return root;
}

// Writes the clip files with three-sample clips.
inline void WriteVoiceFiles(const std::string& mapData) {
    std::vector<mkdev::Samples> main(206, mkdev::Samples{1, 2, 3}), msg(24, mkdev::Samples{4, 5, 6});
    std::vector<mkdev::NamedClip> add;
    for (int n = 1; n <= 10; ++n) add.push_back({"N" + std::to_string(n), mkdev::Samples{7, 8}});
    mkdev::WriteMainClips(mapData, main);
    mkdev::WriteAddClips(mapData, add);
    mkdev::WriteMessageClips(mapData, msg);
}

inline void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}
