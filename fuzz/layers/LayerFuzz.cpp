// Feeds arbitrary bytes to the layer reader as a ".MDC" file: open, load every cell (and a few
// outside the grid) through the cache, and decode every block as the header's kind.
#include "mapview/LayerRecords.h"
#include "mapview/MapLayerFile.h"
#include "platform/files/DeviceRoot.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                          ("velko-fuzz-layers-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(dir);
        DeviceRoot::SetRoot(dir.string());
        return dir.string();
    }();
    return folder;
}

void Decode(const CMapLayerFile& layer, bool tiled) {
    std::int32_t ox = 0, oy = 0;
    layer.GetCellOrigin(layer.GetCurrentCell(), ox, oy);
    CLayerRecordReader reader(layer.GetKind(), tiled, layer.GetBlock(), layer.GetBlockSize(), ox, oy);
    LayerRecord r;
    while (reader.Next(r)) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = Folder() + "/F.MDC";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);

    CMapLayerFile layer;
    if (!layer.Open(u"", u"F.MDC")) return 0;
    const MapLayerHeader& h = layer.GetHeader();
    if (!h.IsTiled()) {
        layer.LoadCell(0);
        Decode(layer, false);
        return 0;
    }
    const std::uint64_t cells = h.CellCount();
    for (std::uint64_t c = 0; c < cells && c < 4096; ++c) {
        if (!layer.LoadCell(static_cast<std::int32_t>(c))) continue;
        Decode(layer, true);
    }
    layer.LoadCell(static_cast<std::int32_t>(cells));
    layer.LoadCell(0);
    Decode(layer, true);
    return 0;
}
