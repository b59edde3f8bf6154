// Fuzzes the road-network readers: the input is cut into the network files (each a 16-bit
// length and its bytes), written under a scratch device root, and read through every reader:
// the engine's reader and block caches, the positioning reader, the road-name table, the
// crossing names and the map-data check.
#include "position/MRNetReader.h"
#include "route/MRReader.h"
#include "route/MapDataHeader.h"
#include "route/RoadNameTable.h"
#include "route/RpCache.h"
#include "route/base/ErrorLog.h"

#include "platform/files/DeviceRoot.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const char* const kFiles[] = {"MRManage.bin",    "MRNode.bin",        "MRLink.bin",     "MRVertex.bin",
                              "MRCross.bin",     "MRNeighb.bin",      "MRGuide.bin",    "MRCrossName.bin",
                              "LinkIDvsCode.db", "RoadNameIndex.bin", "RoadNameTbl.bin"};

std::filesystem::path Root() {
    static std::filesystem::path root = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velko-netfuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        DeviceRoot::SetRoot(pattern);
        ErrorLog::Instance().SetEnabled(0);
        return std::filesystem::path(pattern);
    }();
    return root;
}

void Exercise() {
    const char16_t* folder = u"\\MapData";
    MRReader reader;
    if (reader.Open(3, folder)) {
        RpCache cache;
        if (cache.Init(RpCache::kDefaultBudget, reader.MapCount(), RpCache::kKindCount, &reader)) {
            const int maps = reader.MapCount() < 4 ? reader.MapCount() : 4;
            for (int level = 0; level < 4; ++level)
                for (int map = 0; map < maps; ++map) {
                    const MRMapRecord* r = reader.MapRecord(map);
                    for (int l = 0; l < r->linkCount && l < 64; ++l) {
                        std::uint8_t link[28];
                        if (cache.ReadLink(link, map, l, level) == 1) {
                            std::uint8_t v[4 * 64];
                            reader.ReadVertices(v, sizeof v, map, link);
                        }
                    }
                    for (int n = 0; n < r->nodeCount && n < 64; ++n) {
                        std::uint8_t node[8];
                        if (cache.ReadNode(node, map, n, level) != 1) continue;
                        const std::uint32_t ref = mrformat::U32(node + 4);
                        MRCrossNode j;
                        std::uint8_t ex[6], g[64];
                        char name[32];
                        if (cache.ReadCross(j, map, ref, level) == 1) {
                            cache.ReadGuide(g, sizeof g, map, j.count, j, level);
                            reader.ReadCrossName(name, sizeof name, map, j.head);
                        }
                        cache.ReadExNode(ex, map, ref, level);
                    }
                }
            cache.SetEnabled(RpCache::kLinks, 0);
            std::uint8_t link[28];
            cache.ReadLink(link, 0, 0, 3);
        }
        std::vector<std::uint8_t> names;
        reader.LoadAllCrossNames(names);
        const std::int32_t codes = reader.ReadCodeCount();
        std::vector<std::uint8_t> entries(static_cast<std::size_t>(codes > 64 ? 64 : codes) * 8);
        reader.ReadCodes(entries.data(), codes > 64 ? 64 : codes);
    }

    CMRNetReader net;
    if (net.Open(folder)) {
        MRMapRecord first;
        if (net.GetMapRecord(0, first)) {
            net.Locate(first.west, first.south);
            net.Locate(first.east, first.north - 1);
            net.Locate((first.west + first.east) / 2, (first.south + first.north) / 2);
            for (int n = 0; n < first.nodeCount && n < 32; ++n) {
                MRCrossNode j;
                std::uint8_t ex[6];
                net.GetNodeJunction(0, n, 3, j);
                net.GetNodeNeighbour(0, n, ex);
            }
            for (int l = 0; l < first.linkCount && l < 32; ++l) {
                std::uint16_t a, b, c, d;
                net.GetSegment(0, l, 0, a, b, c, d);
                net.GetSegment(0, l, 1, a, b, c, d);
            }
        }
        net.FindMap(46000000, 12500000);
    }

    CRoadNameTable table;
    table.Load(folder);
    char road[20];
    for (int i = 0; i < 8; ++i) table.IsOrdinaryRoad(0, i, road);

    CMRNetAccess access;
    if (access.Open(folder)) {
        char name[22];
        for (int l = 0; l < 16; ++l) {
            access.GetCrossName(0, l, true, name, sizeof name);
            access.GetCrossName(0, l, false, name, sizeof name);
        }
    }
    CMapDataHeader header;
    header.Open(folder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path mr = Root() / "MapData" / "MRData";
    std::filesystem::create_directories(mr);
    std::size_t at = 0;
    for (const char* name : kFiles) {
        std::size_t n = 0;
        if (at + 2 <= size) {
            n = data[at] | (data[at + 1] << 8);
            at += 2;
        }
        if (n > size - at) n = size - at;
        std::ofstream out(mr / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + at), static_cast<std::streamsize>(n));
        at += n;
    }
    Exercise();
    return 0;
}
