// The skin stage of the sample device: the interface's images, drawn from the manifests in
// tools/mkdevice/skin/ with the software GDI and the Korean font, packed into the skin archive
// "res\ResData.bin", and the tap sound "res\click.wav".
#pragma once

#include "platform/base/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mkdev {

struct DeviceLayout;

// One manifest line: entry name | width x height | style | caption | fill | caption colour.
struct SkinImageSpec {
    std::string name; // UTF-8
    int width = 0;
    int height = 0;
    std::string style;
    std::u16string caption;
    COLORREF fill = 0;
    COLORREF ink = 0;
};

// Reads every manifest line of a file; throws std::runtime_error naming the line when one is
// malformed.
std::vector<SkinImageSpec> ReadSkinManifest(const std::string& path);
// The PNG file of one image.
std::vector<std::uint8_t> DrawSkinImage(const SkinImageSpec& spec);
// The archive of (name in UTF-8, PNG) pairs: names stored in code page 949, header values 0.
std::vector<std::uint8_t> PackSkinArchive(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& images);
// 40 ms of click at 22,050 Hz, mono, 16-bit PCM.
std::vector<std::uint8_t> ClickWav();

struct SkinSummary {
    int images = 0;
    std::size_t archiveBytes = 0;
};
// Draws every image of every manifest in the folder (files *.txt, in name order) and the weather
// group into the device's archive and writes the click.
SkinSummary BuildSkinStage(const DeviceLayout& layout, const std::string& manifestDir);

} // namespace mkdev
