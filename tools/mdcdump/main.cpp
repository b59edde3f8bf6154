// velko-mdcdump [--root DIR] FILE [--max N]: prints a ".MDC" layer file: the header, the non-empty cells of
// the grid with their block sizes, and every record decoded by the layer's kind, texts in UTF-8.
// The guide-point file ("newGuidePoint.MDC") is printed with its own 32-byte record layout.
// With --root, FILE is a path inside the device's map data folder ("MAP/TOWN.MDC").
#include "mapview/LayerRecords.h"
#include "mapview/MapLayerFile.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/InputFile.h"
#include "platform/files/MapDataFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Layer files hold 32-bit offsets.
constexpr std::uint64_t kMaxLayerBytes = 0xFFFFFFFFull;

std::string Utf8(const std::string& cp949) {
    return Cp949ToUtf8(cp949);
}

bool IsGuidePointFile(const std::string& name) {
    std::string lower;
    for (char c : name) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return lower == "newguidepoint.mdc";
}

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void PrintGuidePoints(const std::uint8_t* block, std::uint32_t size, std::int32_t column, std::int32_t row,
                      long& printed, long limit) {
    for (std::uint32_t at = 0; at + 32 <= size; at += 32) {
        if (printed++ >= limit) return;
        const std::uint8_t* p = block + at;
        const int xOffset = static_cast<int>(U16(p + 5) * 0.8333333333333334);
        std::printf("  guide point: direction %u type %u speed %u heading %u x %d (file %u) y %u value %u"
                    "  point-file (%d, %d)\n",
                    p[0], p[1], p[2], U16(p + 3), xOffset, U16(p + 5), U16(p + 7), U16(p + 9),
                    column * 10000 + xOffset, row * 10000 + U16(p + 7));
    }
    if (size % 32) std::printf("  (%u bytes left over)\n", size % 32);
}

void PrintRecord(const LayerRecord& r) {
    switch (r.kind) {
    case layerkind::kLabel:
    case layerkind::kLabel2:
        std::printf(
            "  label: symbol %u source %u box %u mask 0x%04x at (%d, %d) text offset (%d, %d) \"%s\"\n",
            r.symbol, r.symbolSource, r.boxStyle, r.mask, r.at.x, r.at.y, r.textDx, r.textDy,
            Utf8(r.text).c_str());
        break;
    case layerkind::kPointSymbol:
        std::printf("  symbol: %u mask 0x%04x at (%d, %d)\n", r.symbol, r.mask, r.at.x, r.at.y);
        break;
    case layerkind::kSymbolText:
        std::printf("  symbol text: codes %u %u %u mask 0x%04x at (%d, %d) \"%s\" number %u \"%s\"\n",
                    r.symbol, r.symbolSource, r.boxStyle, r.mask, r.at.x, r.at.y, Utf8(r.text).c_str(),
                    r.number, Utf8(r.text2).c_str());
        break;
    case layerkind::kTrafficLink:
        std::printf("  traffic link %u box (%d, %d)-(%d, %d) %zu points%s:", r.linkIndex, r.minX, r.minY,
                    r.maxX, r.maxY, r.points.size(), r.noTail ? " no tail" : "");
        for (std::size_t i = 0; i < r.points.size(); ++i)
            std::printf(" (%d, %d)/(%d, %d)", r.points[i].x, r.points[i].y, r.directions[i].first,
                        r.directions[i].second);
        std::printf(" tail (%d, %d)\n", r.directions.back().first, r.directions.back().second);
        break;
    default:
        std::printf("  %s box (%d, %d)-(%d, %d) %zu points:",
                    r.kind == layerkind::kArea          ? "area"
                    : r.kind == layerkind::kEdgeRunArea ? "edge-run area"
                                                        : "line",
                    r.minX, r.minY, r.maxX, r.maxY, r.points.size());
        for (const LayerPoint& p : r.points) std::printf(" (%d, %d)", p.x, p.y);
        if (r.kind == layerkind::kEdgeRunArea) {
            std::printf(" runs:");
            for (const EdgeRun& run : r.runs) std::printf(" %d-%d", run.first, run.last);
        }
        std::printf("\n");
        break;
    }
}

} // namespace

int main(int argc, char** argv) {
    long limit = 1L << 40;
    std::string file, root;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--max" && i + 1 < argc)
            limit = std::atol(argv[++i]);
        else if (a == "--root" && i + 1 < argc)
            root = argv[++i];
        else if (file.empty() && !a.empty() && a[0] != '-')
            file = a;
        else
            file.clear(), i = argc;
    }
    if (file.empty()) {
        std::fprintf(stderr, "usage: velko-mdcdump [--root DIR] FILE [--max N]\n");
        return 2;
    }
    if (!root.empty()) {
        DeviceRoot::SetRoot(root);
        std::u16string data;
        std::string error;
        if (!FindMapDataFolder(data, error)) {
            std::fprintf(stderr, "velko-mdcdump: %s\n", error.c_str());
            return 2;
        }
        file = DeviceRoot::Resolve(data + u"\\" + Utf8ToUtf16(file));
    }
    {
        // Only a plain file of a layer file's size goes to the layer reader.
        InputFile check;
        std::string error;
        if (!check.Open(file, kMaxLayerBytes, error)) {
            std::fprintf(stderr, "velko-mdcdump: %s\n", error.c_str());
            return 2;
        }
    }
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(file, ec);
    DeviceRoot::SetRoot(path.parent_path().string());
    const std::string fileName = path.filename().string();
    const std::u16string name = Utf8ToUtf16(fileName);

    CMapLayerFile layer;
    if (!layer.Open(u"", name.c_str())) {
        std::fprintf(stderr, "velko-mdcdump: %s: not a readable layer file\n", file.c_str());
        return 1;
    }
    const MapLayerHeader& h = layer.GetHeader();
    std::printf("file %s\n", fileName.c_str());
    std::printf("version %u kind %u %s size %u\n", h.version, h.kind, h.IsTiled() ? "tiled" : "untiled",
                h.fileSize);
    std::printf("box (%d, %d)-(%d, %d)\n", h.minX, h.minY, h.maxX, h.maxY);
    const bool guide = IsGuidePointFile(fileName);
    long printed = 0;
    if (!h.IsTiled()) {
        layer.LoadCell(0);
        std::printf("body %u bytes\n", layer.GetBlockSize());
        CLayerRecordReader reader(h.kind, false, layer.GetBlock(), layer.GetBlockSize());
        LayerRecord r;
        while (printed < limit && reader.Next(r)) {
            ++printed;
            PrintRecord(r);
        }
        if (reader.Truncated()) std::printf("  (record runs past the block)\n");
        return 0;
    }
    std::printf("grid %u x %u cells of %u x %u from (%u, %u)\n", h.columns, h.rows, h.cellWidth, h.cellHeight,
                h.originX, h.originY);
    long cells = 0;
    for (std::uint32_t c = 0; c < h.CellCount(); ++c) {
        if (layer.GetCellOffset(c) == 0) continue;
        ++cells;
        layer.LoadCell(static_cast<std::int32_t>(c));
        const std::int32_t column = static_cast<std::int32_t>(c / h.rows);
        const std::int32_t row = static_cast<std::int32_t>(c % h.rows);
        std::printf("cell %u (column %d, row %d) offset %u, %u bytes\n", c, column, row,
                    layer.GetCellOffset(c), layer.GetBlockSize());
        if (guide) {
            PrintGuidePoints(layer.GetBlock(), layer.GetBlockSize(), column, row, printed, limit);
            continue;
        }
        std::int32_t ox = 0, oy = 0;
        layer.GetCellOrigin(static_cast<std::int32_t>(c), ox, oy);
        CLayerRecordReader reader(h.kind, true, layer.GetBlock(), layer.GetBlockSize(), ox, oy);
        LayerRecord r;
        while (printed < limit && reader.Next(r)) {
            ++printed;
            PrintRecord(r);
        }
        if (reader.Truncated()) std::printf("  (record runs past the block)\n");
    }
    std::printf("%ld non-empty cells\n", cells);
    return 0;
}
