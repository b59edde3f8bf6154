// Feeds arbitrary bytes to the layer reader as a ".MDC" file: open, load every cell (and a few
// outside the grid) through the cache, and decode every block as the header's kind. The file is
// a memory file: the reader opens, seeks and reads it as on disk, without a disk write per input.
#include "mapview/LayerRecords.h"
#include "mapview/MapLayerFile.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/MemoryFiles.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

std::string& RootPath() {
    static std::string root;
    return root;
}

void RemoveRoot() {
    std::error_code ec;
    std::filesystem::remove_all(RootPath(), ec);
}

// An empty scratch root, so that nothing but the memory file can answer.
void SetUpRoot() {
    if (!RootPath().empty()) return;
    std::string pattern = (std::filesystem::temp_directory_path() / "velko-fuzz-layers-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    RootPath() = pattern;
    DeviceRoot::SetRoot(pattern);
    std::atexit(RemoveRoot);
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
    SetUpRoot();
    if (!MemoryFiles::Put(u"\\F.MDC", data, size)) std::abort();

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
