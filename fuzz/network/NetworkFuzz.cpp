// Fuzzes the road-network readers: the input is cut into the network files (each a 16-bit
// length and its bytes), made memory files under a scratch device root, and read through every
// reader: the engine's reader and block caches, the positioning reader, the road-name table, the
// crossing names and the map-data check. The readers open, seek and read the memory files as on
// disk, without a disk write per input.
#include "position/MRNetReader.h"
#include "route/MRReader.h"
#include "route/MapDataHeader.h"
#include "route/RoadNameTable.h"
#include "route/RpCache.h"
#include "route/base/ErrorLog.h"

#include "platform/files/DeviceRoot.h"
#include "platform/files/MemoryFiles.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

const char16_t* const kPaths[] = {
    u"\\MapData\\MRData\\MRManage.bin",    u"\\MapData\\MRData\\MRNode.bin",
    u"\\MapData\\MRData\\MRLink.bin",      u"\\MapData\\MRData\\MRVertex.bin",
    u"\\MapData\\MRData\\MRCross.bin",     u"\\MapData\\MRData\\MRNeighb.bin",
    u"\\MapData\\MRData\\MRGuide.bin",     u"\\MapData\\MRData\\MRCrossName.bin",
    u"\\MapData\\MRData\\LinkIDvsCode.db", u"\\MapData\\MRData\\RoadNameIndex.bin",
    u"\\MapData\\MRData\\RoadNameTbl.bin"};

std::string& RootPath() {
    static std::string root;
    return root;
}

void RemoveRoot() {
    std::error_code ec;
    std::filesystem::remove_all(RootPath(), ec);
}

// An empty scratch root: only the memory files answer.
void SetUpRoot() {
    if (!RootPath().empty()) return;
    std::string pattern = (std::filesystem::temp_directory_path() / "velko-netfuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    RootPath() = pattern;
    DeviceRoot::SetRoot(pattern);
    ErrorLog::Instance().SetEnabled(0);
    std::atexit(RemoveRoot);
}

// The middle of two stored coordinates, worked out wide: the corners come from the input.
std::int32_t Middle(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(a) + b) / 2);
}

// One unit below a stored coordinate, staying at the lowest value.
std::int32_t Below(std::int32_t a) {
    return a > INT32_MIN ? a - 1 : a;
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
        const std::int32_t some = codes < 0 ? 0 : (codes > 64 ? 64 : codes);
        std::vector<std::uint8_t> entries(static_cast<std::size_t>(some) * 8 + 1);
        reader.ReadCodes(entries.data(), some);
    }

    CMRNetReader net;
    if (net.Open(folder)) {
        MRMapRecord first;
        if (net.GetMapRecord(0, first)) {
            net.Locate(first.west, first.south);
            net.Locate(first.east, Below(first.north));
            net.Locate(Middle(first.west, first.east), Middle(first.south, first.north));
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
    SetUpRoot();
    std::size_t at = 0;
    for (const char16_t* path : kPaths) {
        std::size_t n = 0;
        if (at + 2 <= size) {
            n = data[at] | (data[at + 1] << 8);
            at += 2;
        }
        if (n > size - at) n = size - at;
        if (!MemoryFiles::Put(path, data + at, n)) std::abort();
        at += n;
    }
    Exercise();
    return 0;
}
