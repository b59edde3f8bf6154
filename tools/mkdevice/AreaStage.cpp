#include "tools/mkdevice/AreaStage.h"

#include "platform/base/Text.h"
#include "route/base/Coords.h"
#include "tools/mkdevice/ByteSink.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/PlaceTable.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <vector>

namespace mkdev {

namespace {

constexpr int kColumns = 48, kRows = 66;
constexpr std::int32_t kMeshW = 12000, kMeshH = 10000;
// Each area's rectangles are drawn this many map units inside its boxes, so that neighbouring
// areas leave a gap between them.
constexpr std::int32_t kInset = 20;

struct MapRect {
    std::int32_t x1, y1, x2, y2;
};

std::string Name12(const std::u16string& name) {
    const std::string s = Utf16ToCp949(name);
    if (s.size() > 12) throw std::runtime_error("area stage: name longer than 12 bytes: " + Utf16ToUtf8(name));
    return s;
}

MapRect ToMap(const KmBox& b) {
    std::int32_t x1, y1, x2, y2;
    const NetPoint a = SampleNet(b.x0, b.y0), c = SampleNet(b.x1, b.y1);
    NetToMapCoord(a.x, a.y, x1, y1);
    NetToMapCoord(c.x, c.y, x2, y2);
    return {x1 + kInset, y1 + kInset, x2 - kInset, y2 - kInset};
}

} // namespace

int SampleMeshCells(int column, int row) {
    if (column == 16 && row == 52) return 1;
    if (column == 18 && row == 54) return 7;
    return 4;
}

AreaSummary BuildAreaStage(const DeviceLayout& layout) {
    const PlaceTable& t = SamplePlaces();
    AreaSummary summary;
    // District and neighbourhood numbers: the level-1 and level-2 areas in table order.
    std::map<int, int> districtNo, dongNo;
    ByteSink gu, dong;
    for (std::size_t i = 0; i < t.areas.size(); ++i) {
        const Area& a = t.areas[i];
        if (a.level == 1) {
            districtNo[static_cast<int>(i)] = ++summary.districts;
            gu.Text(Name12(a.name), 12);
        } else if (a.level == 2) {
            dongNo[static_cast<int>(i)] = ++summary.neighbourhoods;
            dong.Text(Name12(a.name), 12);
        }
    }
    // The neighbourhoods' rectangles in map units.
    struct AreaRects {
        int gu, dong;
        std::vector<MapRect> rects;
    };
    std::vector<AreaRects> areas;
    for (const auto& [index, number] : dongNo) {
        const Area& a = t.areas[static_cast<std::size_t>(index)];
        AreaRects r{districtNo.at(a.parent), number, {}};
        for (const KmBox& b : a.boxes) r.rects.push_back(ToMap(b));
        areas.push_back(r);
    }
    // Meshes: the sample's sheets, columns 16-18, rows 52-54.
    ByteSink directory, blocks;
    const std::uint32_t base = kColumns * kRows * 8;
    std::map<int, std::uint32_t> meshAt;
    for (int column = 16; column <= 18; ++column)
        for (int row = 52; row <= 54; ++row) {
            const int n = SampleMeshCells(column, row);
            const std::int32_t mx = column * kMeshW, my = row * kMeshH;
            const std::int32_t w = kMeshW / n, h = kMeshH / n;
            meshAt[column * kRows + row] = base + static_cast<std::uint32_t>(blocks.Size());
            ByteSink cells;
            std::vector<ByteSink> cellBytes(static_cast<std::size_t>(n * n));
            std::vector<std::uint32_t> cellCount(static_cast<std::size_t>(n * n), 0);
            for (int ci = 0; ci < n; ++ci)
                for (int cj = 0; cj < n; ++cj) {
                    // The cell's bounds as the lookup finds cells (the last cell runs to the mesh edge).
                    const std::int32_t cx1 = ci * w, cx2 = ci == n - 1 ? kMeshW - 1 : (ci + 1) * w;
                    const std::int32_t cy1 = cj * h, cy2 = cj == n - 1 ? kMeshH - 1 : (cj + 1) * h;
                    const std::size_t c = static_cast<std::size_t>(ci * n + cj);
                    for (const AreaRects& a : areas) {
                        std::vector<MapRect> local;
                        for (const MapRect& r : a.rects) {
                            const MapRect m{std::max(r.x1 - mx, 0), std::max(r.y1 - my, 0),
                                            std::min(r.x2 - mx, kMeshW - 1), std::min(r.y2 - my, kMeshH - 1)};
                            if (m.x1 > m.x2 || m.y1 > m.y2) continue;
                            if (m.x2 < cx1 || m.x1 > cx2 || m.y2 < cy1 || m.y1 > cy2) continue;
                            local.push_back(m);
                        }
                        if (local.empty()) continue;
                        ByteSink& b = cellBytes[c];
                        b.U16(static_cast<std::uint32_t>(a.gu));
                        b.U16(static_cast<std::uint32_t>(a.dong));
                        b.U16(static_cast<std::uint32_t>(local.size()));
                        for (const MapRect& m : local) {
                            b.U16(static_cast<std::uint32_t>(m.x1));
                            b.U16(static_cast<std::uint32_t>(m.y1));
                            b.U16(static_cast<std::uint32_t>(m.x2));
                            b.U16(static_cast<std::uint32_t>(m.y2));
                        }
                        ++cellCount[c];
                        ++summary.cellRecords;
                    }
                }
            const std::uint32_t tableAt = meshAt[column * kRows + row];
            std::uint32_t at = tableAt + 2 + 8 * static_cast<std::uint32_t>(n * n);
            blocks.U16(static_cast<std::uint32_t>(n));
            for (std::size_t c = 0; c < cellBytes.size(); ++c) {
                blocks.U32(cellCount[c] ? at : 0);
                blocks.U32(cellCount[c]);
                at += static_cast<std::uint32_t>(cellBytes[c].Size());
            }
            for (const ByteSink& b : cellBytes) blocks.Bytes(b.Data().data(), b.Size());
            ++summary.meshes;
        }
    for (int m = 0; m < kColumns * kRows; ++m) {
        const auto it = meshAt.find(m);
        directory.U32(it == meshAt.end() ? 0 : it->second);
        directory.U32(it == meshAt.end() ? 0 : 1);
    }
    ByteSink file;
    file.Bytes(directory.Data().data(), directory.Size());
    file.Bytes(blocks.Data().data(), blocks.Size());
    WriteFileAtomic(layout.searchDb + "/Admin.db", file.Data());
    WriteFileAtomic(layout.searchDb + "/Gu.bin", gu.Data());
    WriteFileAtomic(layout.searchDb + "/Dong.bin", dong.Data());
    return summary;
}

void WriteNationalAreas(const std::string& dir, std::uint64_t seed) {
    std::filesystem::create_directories(dir);
    constexpr int kDistricts = 250, kTowns = 3500, n = 4;
    std::mt19937_64 rng(seed);
    ByteSink gu, dong;
    for (int i = 1; i <= kDistricts; ++i) gu.Text("GU" + std::to_string(i), 12);
    for (int i = 1; i <= kTowns; ++i) dong.Text("DONG" + std::to_string(i), 12);
    ByteSink directory, blocks;
    const std::uint32_t base = kColumns * kRows * 8;
    const std::int32_t w = kMeshW / n, h = kMeshH / n;
    for (int m = 0; m < kColumns * kRows; ++m) {
        const std::uint32_t at = base + static_cast<std::uint32_t>(blocks.Size());
        directory.U32(at);
        directory.U32(1);
        std::vector<ByteSink> cells(n * n);
        std::vector<std::uint32_t> counts(n * n, 0);
        for (int c = 0; c < n * n; ++c) {
            const std::int32_t x0 = (c / n) * w, y0 = (c % n) * h;
            // Three areas of one or two rectangles inside the cell.
            for (int a = 0; a < 3; ++a) {
                ByteSink& b = cells[static_cast<std::size_t>(c)];
                const int rects = 1 + static_cast<int>(rng() % 2);
                b.U16(static_cast<std::uint32_t>(1 + rng() % kDistricts));
                b.U16(static_cast<std::uint32_t>(1 + rng() % kTowns));
                b.U16(static_cast<std::uint32_t>(rects));
                for (int r = 0; r < rects; ++r) {
                    const std::int32_t x1 = x0 + static_cast<std::int32_t>(rng() % (w / 2));
                    const std::int32_t y1 = y0 + static_cast<std::int32_t>(rng() % (h / 2));
                    b.U16(static_cast<std::uint32_t>(x1));
                    b.U16(static_cast<std::uint32_t>(y1));
                    b.U16(static_cast<std::uint32_t>(x1 + 50 + static_cast<std::int32_t>(rng() % (w / 2))));
                    b.U16(static_cast<std::uint32_t>(y1 + 50 + static_cast<std::int32_t>(rng() % (h / 2))));
                }
                ++counts[static_cast<std::size_t>(c)];
            }
        }
        std::uint32_t cellAt = at + 2 + 8 * n * n;
        blocks.U16(n);
        for (int c = 0; c < n * n; ++c) {
            blocks.U32(cellAt);
            blocks.U32(counts[static_cast<std::size_t>(c)]);
            cellAt += static_cast<std::uint32_t>(cells[static_cast<std::size_t>(c)].Size());
        }
        for (const ByteSink& b : cells) blocks.Bytes(b.Data().data(), b.Size());
    }
    ByteSink file;
    file.Bytes(directory.Data().data(), directory.Size());
    file.Bytes(blocks.Data().data(), blocks.Size());
    WriteFileAtomic(dir + "/Admin.db", file.Data());
    WriteFileAtomic(dir + "/Gu.bin", gu.Data());
    WriteFileAtomic(dir + "/Dong.bin", dong.Data());
}

} // namespace mkdev
