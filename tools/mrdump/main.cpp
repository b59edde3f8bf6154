// velko-mrdump [--check] (--root DIR | MAPDATA)
//
// Lists the road network of a MapData folder (maps, nodes, links with their attributes,
// junctions with turn masks and guide codes, border records, names in UTF-8), or with --check
// verifies that it is coherent and prints what it holds. The files are read whole and every
// offset, count and size is checked before it is used, so a damaged network gives messages,
// never a crash.
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/InputFile.h"
#include "platform/files/MapDataFolder.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The largest network file read: the national network's biggest file is some tens of megabytes.
constexpr std::uint64_t kMaxFileBytes = 1ull << 30;

struct Blob {
    Bytes data;
    bool present = false;
    std::size_t Size() const { return data.size(); }
    bool Has(std::uint64_t off, std::uint64_t n) const {
        return off <= data.size() && n <= data.size() - off;
    }
    std::uint32_t U8(std::uint64_t o) const { return Has(o, 1) ? data[o] : 0; }
    std::uint32_t U16(std::uint64_t o) const { return Has(o, 2) ? data[o] | (data[o + 1] << 8) : 0; }
    std::uint32_t U32(std::uint64_t o) const { return Has(o, 4) ? U16(o) | (U16(o + 2) << 16) : 0; }
    std::int32_t I16(std::uint64_t o) const { return static_cast<std::int16_t>(U16(o)); }
    std::int32_t I32(std::uint64_t o) const { return static_cast<std::int32_t>(U32(o)); }
    std::string Text(std::uint64_t o, std::uint64_t n) const {
        if (!Has(o, n)) return {};
        return std::string(data.begin() + static_cast<std::ptrdiff_t>(o),
                           data.begin() + static_cast<std::ptrdiff_t>(o + n));
    }
};

Blob Load(const std::filesystem::path& dir, const char* name) {
    Blob b;
    // Names on a card may differ in case.
    std::filesystem::path found;
    std::error_code ec;
    if (std::filesystem::is_directory(dir, ec))
        for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
            std::string n = e.path().filename().string(), want = name;
            if (n.size() == want.size() && std::equal(n.begin(), n.end(), want.begin(), [](char a, char b) {
                    return std::tolower(a) == std::tolower(b);
                }))
                found = e.path();
        }
    if (found.empty()) return b;
    std::string error;
    if (!InputFile::ReadAll(found.string(), kMaxFileBytes, b.data, error)) {
        std::fprintf(stdout, "ERROR: %s\n", error.c_str());
        return b;
    }
    b.present = true;
    return b;
}

std::filesystem::path FindFolder(const std::filesystem::path& dir, const std::string& name) {
    std::error_code ec;
    if (std::filesystem::is_directory(dir, ec))
        for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
            std::string n = e.path().filename().string();
            if (n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
                    return std::tolower(a) == std::tolower(b);
                }))
                return e.path();
        }
    return dir / name;
}

struct MapRec {
    std::uint32_t nodes = 0, links = 0;
    std::uint32_t nb[9] = {};
    std::uint32_t xscale = 0;
    // Held wide: the box is read as stored, and differences and sums of hostile values must not
    // overflow.
    long west = 0, south = 0, east = 0, north = 0;
    std::uint32_t nodeOff = 0, crossOff = 0, neighbOff = 0, guideOff = 0, linkOff = 0, vertexOff = 0,
                  nameOff = 0;
    std::int32_t linkCnt[4] = {}, nodeCnt[4] = {}, crossSize[4] = {}, guideSize[4] = {};
    std::uint64_t neighbSize = 0, crossBlock = 0, guideBlock = 0, nameBlock = 0, vertexBlock = 0;
};

struct Network {
    Blob manage, node, link, vertex, cross, neighb, guide, names, codes, roadIdx, roadTbl;
    std::vector<MapRec> maps;
};

class Reporter {
public:
    bool check = false;
    long problems = 0;
    void Problem(const char* fmt, ...) {
        ++problems;
        if (problems > 200) return;
        va_list ap;
        va_start(ap, fmt);
        std::fprintf(stdout, "ERROR: ");
        std::vfprintf(stdout, fmt, ap);
        std::fprintf(stdout, "\n");
        va_end(ap);
    }
    void List(const char* fmt, ...) {
        if (check) return;
        va_list ap;
        va_start(ap, fmt);
        std::vfprintf(stdout, fmt, ap);
        va_end(ap);
    }
};

int LevelOfKind(int kind) {
    return kind <= 1 ? 0 : kind <= 4 ? 1 : kind <= 6 ? 2 : 3;
}

std::string Utf8(const std::string& cp949) {
    std::string s = cp949;
    auto z = s.find('\0');
    if (z != std::string::npos) s.resize(z);
    return Cp949ToUtf8(s);
}

// The next block's offset (or the file's end) bounds a map's block.
std::uint64_t BlockSize(const Network& net, std::size_t id, std::uint32_t MapRec::*field,
                        std::size_t fileSize) {
    std::uint64_t start = net.maps[id].*field;
    std::uint64_t end = fileSize;
    for (std::size_t k = id + 1; k < net.maps.size(); ++k) {
        std::uint64_t o = net.maps[k].*field;
        if (o >= start) {
            end = o;
            break;
        }
    }
    return end >= start ? end - start : 0;
}

const char* const kWidth[8] = {"",        " overpass", " underpass", " tunnel",
                               " width4", " width5",   " width6",    " width7"};
const char* const kOneWay[4] = {"both", "forward", "backward", "closed"};

} // namespace

int main(int argc, char** argv) {
    Reporter rep;
    std::string folder, root;
    bool bad = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--check")
            rep.check = true;
        else if (a == "--root" && i + 1 < argc)
            root = argv[++i];
        else if (folder.empty() && !a.empty() && a[0] != '-')
            folder = a;
        else
            bad = true;
    }
    if (bad || folder.empty() == root.empty()) {
        std::fprintf(stderr, "usage: velko-mrdump [--check] (--root DIR | MAPDATA)\n");
        return 2;
    }
    if (!root.empty()) {
        // The map data of a device, found as the device finds it.
        DeviceRoot::SetRoot(root);
        std::u16string data;
        std::string error;
        if (!FindMapDataFolder(data, error)) {
            std::fprintf(stderr, "velko-mrdump: %s\n", error.c_str());
            return 2;
        }
        folder = DeviceRoot::Resolve(data);
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        std::fprintf(stderr, "velko-mrdump: %s: not a folder\n", folder.c_str());
        return 2;
    }
    std::printf("map data %s\n", folder.c_str());
    const std::filesystem::path mr = FindFolder(folder, "MRData");
    Network net;
    struct {
        Blob* blob;
        const char* name;
    } files[] = {{&net.manage, "MRManage.bin"},    {&net.node, "MRNode.bin"},
                 {&net.link, "MRLink.bin"},        {&net.vertex, "MRVertex.bin"},
                 {&net.cross, "MRCross.bin"},      {&net.neighb, "MRNeighb.bin"},
                 {&net.guide, "MRGuide.bin"},      {&net.names, "MRCrossName.bin"},
                 {&net.codes, "LinkIDvsCode.db"},  {&net.roadIdx, "RoadNameIndex.bin"},
                 {&net.roadTbl, "RoadNameTbl.bin"}};
    for (auto& f : files) {
        *f.blob = Load(mr, f.name);
        if (!f.blob->present) rep.Problem("%s is missing", f.name);
    }
    if (!net.manage.present) return 1;

    // ---- Map directory ----
    const Blob& m = net.manage;
    if (!m.Has(0, 488)) {
        rep.Problem("MRManage.bin is shorter than its 488-byte header");
        return 1;
    }
    if (m.Text(2, 5) != std::string("MRDA\0", 5)) rep.Problem("MRManage.bin lacks the \"MRDA\" magic");
    const std::uint32_t count = m.U16(0);
    if (count < 1 || count > 9999) rep.Problem("map count %u outside 1..9999", count);
    if (!m.Has(488, 116ull * count)) {
        rep.Problem("MRManage.bin holds fewer than %u map records", count);
        return 1;
    }
    net.maps.resize(count);
    for (std::uint32_t id = 0; id < count; ++id) {
        std::uint64_t b = 488 + 116ull * id;
        MapRec& r = net.maps[id];
        r.nodes = m.U16(b);
        r.links = m.U16(b + 2);
        for (int k = 0; k < 9; ++k) r.nb[k] = m.U16(b + 4 + 2 * k);
        r.xscale = m.U16(b + 22);
        r.west = m.I32(b + 24);
        r.south = m.I32(b + 28);
        r.east = m.I32(b + 32);
        r.north = m.I32(b + 36);
        r.nodeOff = m.U32(b + 40);
        r.crossOff = m.U32(b + 44);
        r.neighbOff = m.U32(b + 48);
        r.guideOff = m.U32(b + 52);
        r.linkOff = m.U32(b + 56);
        r.vertexOff = m.U32(b + 60);
        r.nameOff = m.U32(b + 64);
        for (int k = 0; k < 4; ++k) {
            r.linkCnt[k] = m.I16(b + 68 + 2 * k);
            r.nodeCnt[k] = m.I16(b + 76 + 2 * k);
            r.crossSize[k] = m.I32(b + 84 + 4 * k);
            r.guideSize[k] = m.I32(b + 100 + 4 * k);
        }
    }
    long oneWay = 0, roundabout = 0, tunnels = 0, banned = 0, borders = 0, junctionNames = 0, junctions = 0;
    long totalLinks = 0, totalNodes = 0, guideTables = 0;
    std::map<int, long> guideUse;
    std::set<std::string> junctionNameSet, roadNameSet;
    for (std::uint32_t id = 0; id < count; ++id) {
        MapRec& r = net.maps[id];
        // The boundary block runs to the next map's block, the last one to the end of the file.
        r.neighbSize =
            id + 1 < count
                ? (net.maps[id + 1].neighbOff >= r.neighbOff ? net.maps[id + 1].neighbOff - r.neighbOff : 0)
                : (net.neighb.Size() >= r.neighbOff ? net.neighb.Size() - r.neighbOff : 0);
        if (id + 1 < count && net.maps[id + 1].neighbOff < r.neighbOff)
            rep.Problem("map %u: boundary blocks are not in map-id order", id);
        r.crossBlock = BlockSize(net, id, &MapRec::crossOff, net.cross.Size());
        r.guideBlock = BlockSize(net, id, &MapRec::guideOff, net.guide.Size());
        r.nameBlock = BlockSize(net, id, &MapRec::nameOff, net.names.Size());
        r.vertexBlock = BlockSize(net, id, &MapRec::vertexOff, net.vertex.Size());
    }
    for (std::uint32_t id = 0; id < count; ++id) {
        const MapRec& r = net.maps[id];
        totalLinks += r.links;
        totalNodes += r.nodes;
        rep.List("map %u: box %ld,%ld - %ld,%ld  %u nodes, %u links, x scale %u\n", id, r.west, r.south,
                 r.east, r.north, r.nodes, r.links, r.xscale);
        rep.List("  neighbours (south-west first):");
        for (int k = 0; k < 9; ++k)
            rep.List(k % 3 ? " %5d" : " |%5d", r.nb[k] == 65535 ? -1 : static_cast<int>(r.nb[k]));
        rep.List("\n  per level: links %d %d %d %d, nodes %d %d %d %d, junction bytes %d %d %d %d, guide "
                 "bytes %d %d %d %d\n",
                 r.linkCnt[0], r.linkCnt[1], r.linkCnt[2], r.linkCnt[3], r.nodeCnt[0], r.nodeCnt[1],
                 r.nodeCnt[2], r.nodeCnt[3], r.crossSize[0], r.crossSize[1], r.crossSize[2], r.crossSize[3],
                 r.guideSize[0], r.guideSize[1], r.guideSize[2], r.guideSize[3]);
        // Map-level limits.
        if (r.xscale != 27654) rep.Problem("map %u: x scale %u, not 27654", id, r.xscale);
        if (r.east <= r.west || r.north <= r.south || r.east - r.west > 65535 || r.north - r.south > 65535)
            rep.Problem("map %u: box sides must be 1..65535 units", id);
        if (r.west < 45000000 || r.east > 47160000 || r.south < 11910000 || r.north > 13890000)
            rep.Problem("map %u: box outside the valid coordinates", id);
        if (r.links > 8192) rep.Problem("map %u: %u links, more than 8192", id, r.links);
        if (id > 0) {
            const MapRec& p = net.maps[id - 1];
            if (std::pair(p.west, p.south) >= std::pair(r.west, r.south))
                rep.Problem("map %u: not numbered column by column, south to north", id);
        }
        if (r.nb[4] != id) rep.Problem("map %u: centre neighbour is %u", id, r.nb[4]);
        for (int k = 0; k < 9; ++k) {
            if (r.nb[k] == 65535) continue;
            if (r.nb[k] >= count) {
                rep.Problem("map %u: neighbour %u beyond the map count", id, r.nb[k]);
                continue;
            }
            const MapRec& o = net.maps[r.nb[k]];
            long wantW = r.west + static_cast<long>(k % 3 - 1) * (r.east - r.west);
            long wantS = r.south + static_cast<long>(k / 3 - 1) * (r.north - r.south);
            if (o.west != wantW || o.south != wantS)
                rep.Problem("map %u: neighbour slot %d holds map %u, not adjacent", id, k, r.nb[k]);
        }
        for (int k = 0; k < 4; ++k) {
            if (k > 0 && (r.linkCnt[k] < r.linkCnt[k - 1] || r.nodeCnt[k] < r.nodeCnt[k - 1] ||
                          r.crossSize[k] < r.crossSize[k - 1] || r.guideSize[k] < r.guideSize[k - 1]))
                rep.Problem("map %u: per-level counts decrease", id);
            if (r.linkCnt[k] < 0 || r.nodeCnt[k] < 0 || r.crossSize[k] < 0 || r.guideSize[k] < 0)
                rep.Problem("map %u: negative per-level count", id);
        }
        if (r.linkCnt[3] != static_cast<std::int32_t>(r.links) ||
            r.nodeCnt[3] != static_cast<std::int32_t>(r.nodes))
            rep.Problem("map %u: level-3 counts differ from the map's counts", id);
        if (static_cast<std::uint64_t>(r.crossSize[3]) > r.crossBlock)
            rep.Problem("map %u: junction size beyond its block", id);
        if (static_cast<std::uint64_t>(r.guideSize[3]) > r.guideBlock)
            rep.Problem("map %u: guide size beyond its block", id);
        if (!net.node.Has(r.nodeOff, 8ull * r.nodes)) {
            rep.Problem("map %u: node block beyond MRNode.bin", id);
            continue;
        }
        if (!net.link.Has(r.linkOff, 28ull * r.links)) {
            rep.Problem("map %u: link block beyond MRLink.bin", id);
            continue;
        }
        // ---- Links ----
        std::vector<std::vector<std::uint32_t>> atNode(r.nodes);
        int prevLevel = 0;
        for (std::uint32_t li = 0; li < r.links; ++li) {
            std::uint64_t o = r.linkOff + 28ull * li;
            const Blob& L = net.link;
            std::uint32_t b0 = L.U8(o), fac = L.U8(o + 1), nv = L.U16(o + 2), a = L.U16(o + 4),
                          bnode = L.U16(o + 6);
            std::uint32_t len = L.U16(o + 8), attr = L.U16(o + 10), roadNo = L.U16(o + 12),
                          firstV = L.U16(o + 22);
            int kind = (b0 >> 4) & 7, level = LevelOfKind(kind);
            int ow = attr & 3, width = (attr >> 8) & 7;
            if (ow == 1 || ow == 2) ++oneWay;
            if (b0 & 0x80) ++roundabout;
            if (width == 3) ++tunnels;
            rep.List("  link %u: nodes %u -> %u, %u m, kind %d (level %d), lanes %u, %s%s, type %u, facility "
                     "kind %u%s, class %u",
                     li, a, bnode, len, kind, level, b0 & 15, kOneWay[ow], (b0 & 0x80) ? ", roundabout" : "",
                     (attr >> 2) & 7, (attr >> 5) & 7, kWidth[width], attr >> 12);
            if (roadNo) rep.List(", road %u", roadNo);
            if (fac) rep.List(", facility code %u", fac);
            rep.List(", %u vertices\n", nv);
            if (level < prevLevel) rep.Problem("map %u link %u: links are not ordered by level", id, li);
            prevLevel = level;
            for (int k = 0; k < 4; ++k) {
                bool inLevel = static_cast<std::int32_t>(li) < r.linkCnt[k];
                if (inLevel != (level <= k)) {
                    rep.Problem("map %u link %u: level %d disagrees with the level-%d link count", id, li,
                                level, k);
                    break;
                }
            }
            if (a >= r.nodes || bnode >= r.nodes) {
                rep.Problem("map %u link %u: end node beyond the node count", id, li);
                continue;
            }
            atNode[a].push_back(li);
            if (bnode != a) atNode[bnode].push_back(li);
            if (static_cast<std::int32_t>(a) >= r.nodeCnt[level] ||
                static_cast<std::int32_t>(bnode) >= r.nodeCnt[level])
                rep.Problem("map %u link %u: an end node lies beyond the link's level", id, li);
            // Geometry: length and box.
            std::vector<std::pair<long, long>> pts;
            pts.push_back({net.node.U16(r.nodeOff + 8ull * a), net.node.U16(r.nodeOff + 8ull * a + 2)});
            if (nv > 0 && (static_cast<std::uint64_t>(firstV) + nv) * 4 > r.vertexBlock) {
                rep.Problem("map %u link %u: shape vertices beyond the vertex block", id, li);
                continue;
            }
            for (std::uint32_t k = 0; k < nv; ++k) {
                std::uint64_t vo = r.vertexOff + 4ull * (firstV + k);
                pts.push_back({net.vertex.U16(vo), net.vertex.U16(vo + 2)});
            }
            pts.push_back(
                {net.node.U16(r.nodeOff + 8ull * bnode), net.node.U16(r.nodeOff + 8ull * bnode + 2)});
            double sum = 0;
            long minX = 65535, minY = 65535, maxX = 0, maxY = 0;
            for (std::size_t k = 0; k < pts.size(); ++k) {
                minX = std::min(minX, pts[k].first), maxX = std::max(maxX, pts[k].first);
                minY = std::min(minY, pts[k].second), maxY = std::max(maxY, pts[k].second);
                if (k == 0) continue;
                double dx = std::labs(pts[k].first - pts[k - 1].first) * 0.27654;
                double dy = std::labs(pts[k].second - pts[k - 1].second) * 0.30879;
                sum += std::sqrt(dx * dx + dy * dy);
            }
            double want = std::max(1.0, std::ceil(sum));
            if (want > 65535 || len != static_cast<std::uint32_t>(want))
                rep.Problem("map %u link %u: length %u m, the geometry gives %.0f m", id, li, len, want);
            if (L.U16(o + 14) != minX || L.U16(o + 16) != minY || L.U16(o + 18) != maxX ||
                L.U16(o + 20) != maxY)
                rep.Problem("map %u link %u: box differs from the geometry", id, li);
        }
        // ---- Nodes, junctions, border records ----
        for (std::uint32_t ni = 0; ni < r.nodes; ++ni) {
            std::uint64_t o = r.nodeOff + 8ull * ni;
            std::uint32_t x = net.node.U16(o), y = net.node.U16(o + 2), ref = net.node.U32(o + 4);
            std::uint32_t n = (ref >> 24) & 0x7F, off = ref & 0xFFFFFF;
            int nodeLevel = 3;
            while (nodeLevel > 0 && static_cast<std::int32_t>(ni) < r.nodeCnt[nodeLevel - 1]) --nodeLevel;
            if (ref & 0x80000000u) {
                ++borders;
                std::uint32_t w0 = net.neighb.U16(r.neighbOff + static_cast<std::uint64_t>(off));
                std::uint32_t other = w0 & 0x3FFF, side = w0 >> 14;
                std::uint32_t onode = net.neighb.U16(r.neighbOff + off + 2ull),
                              olink = net.neighb.U16(r.neighbOff + off + 4ull);
                rep.List("  node %u: %ld,%ld pass-through -> map %u (side %u) node %u link %u\n", ni,
                         r.west + static_cast<long>(x), r.south + static_cast<long>(y), other, side, onode,
                         olink);
                if (n != 1) rep.Problem("map %u node %u: pass-through node without 1 in bits 24-30", id, ni);
                if (atNode[ni].size() != 1)
                    rep.Problem("map %u node %u: pass-through node with %zu local links", id, ni,
                                atNode[ni].size());
                if (static_cast<std::uint64_t>(off) + 6 > r.neighbSize) {
                    rep.Problem("map %u node %u: boundary record beyond the block", id, ni);
                    continue;
                }
                if (other >= count) {
                    rep.Problem("map %u node %u: boundary record names map %u", id, ni, other);
                    continue;
                }
                const MapRec& om = net.maps[other];
                int wantSide = om.south > r.south ? 0 : om.west > r.west ? 1 : om.south < r.south ? 2 : 3;
                bool adjacent = (om.west == r.east && om.south == r.south) ||
                                (om.east == r.west && om.south == r.south) ||
                                (om.south == r.north && om.west == r.west) ||
                                (om.north == r.south && om.west == r.west);
                if (!adjacent || static_cast<int>(side) != wantSide)
                    rep.Problem("map %u node %u: boundary record's side %u does not match map %u", id, ni,
                                side, other);
                if (onode >= om.nodes || olink >= om.links) {
                    rep.Problem("map %u node %u: boundary record names node %u / link %u beyond map %u", id,
                                ni, onode, olink, other);
                    continue;
                }
                std::uint64_t oo = om.nodeOff + 8ull * onode;
                if (r.west + static_cast<long>(x) != om.west + static_cast<long>(net.node.U16(oo)) ||
                    r.south + static_cast<long>(y) != om.south + static_cast<long>(net.node.U16(oo + 2)))
                    rep.Problem("map %u node %u: its counterpart lies elsewhere", id, ni);
                std::uint32_t oref = net.node.U32(oo + 4);
                if (!(oref & 0x80000000u)) {
                    rep.Problem("map %u node %u: counterpart is not a pass-through node", id, ni);
                    continue;
                }
                std::uint64_t back = om.neighbOff + static_cast<std::uint64_t>(oref & 0xFFFFFF);
                std::uint32_t bw = net.neighb.U16(back), bnode = net.neighb.U16(back + 2),
                              blink = net.neighb.U16(back + 4);
                if ((bw & 0x3FFF) != id || bnode != ni || atNode[ni].empty() || blink != atNode[ni][0])
                    rep.Problem("map %u node %u: boundary records do not pair up", id, ni);
                std::uint64_t lo = om.linkOff + 28ull * olink;
                if (net.link.U16(lo + 4) != onode && net.link.U16(lo + 6) != onode)
                    rep.Problem("map %u node %u: the continuing link does not end at the counterpart", id,
                                ni);
                continue;
            }
            ++junctions;
            std::uint64_t jo = r.crossOff + static_cast<std::uint64_t>(off);
            std::uint64_t recLen = (n + 2ull) * 3;
            if (n < 1 || n > 8) {
                rep.Problem("map %u node %u: junction of %u links (1..8)", id, ni, n);
                continue;
            }
            if (off + recLen > r.crossBlock) {
                rep.Problem("map %u node %u: junction record beyond the block", id, ni);
                continue;
            }
            if (static_cast<std::int64_t>(off + recLen) > r.crossSize[nodeLevel])
                rep.Problem("map %u node %u: junction record beyond its level's junction size", id, ni);
            std::uint32_t nameRef = net.cross.U32(jo);
            std::uint32_t nameLen = nameRef >> 24, nameOff = nameRef & 0xFFFFFF;
            std::string name;
            if (nameLen) {
                if (nameOff + static_cast<std::uint64_t>(nameLen) > r.nameBlock)
                    rep.Problem("map %u node %u: name beyond the name block", id, ni);
                else {
                    name = net.names.Text(r.nameOff + static_cast<std::uint64_t>(nameOff), nameLen);
                    ++junctionNames;
                    junctionNameSet.insert(Utf8(name));
                }
            }
            std::vector<std::uint32_t> entries(n);
            for (std::uint32_t k = 0; k < n; ++k) entries[k] = net.cross.U16(jo + 4 + 2 * k) & 0x1FFF;
            std::uint32_t gOff = net.cross.U16(jo + 4 + 3ull * n);
            rep.List("  node %u: %ld,%ld junction of %u links%s%s%s, links", ni,
                     r.west + static_cast<long>(x), r.south + static_cast<long>(y), n,
                     name.empty() ? "" : " \"", Utf8(name).c_str(), name.empty() ? "" : "\"");
            for (std::uint32_t e : entries) rep.List(" %u", e);
            rep.List(", turn masks");
            for (std::uint32_t k = 0; k < n; ++k) {
                std::uint32_t mask = net.cross.U8(jo + 4 + 2 * n + k);
                rep.List(" %02X", mask);
                if (mask >> n) rep.Problem("map %u node %u: turn mask bits beyond the link count", id, ni);
                for (std::uint32_t j = 0; j < n; ++j)
                    if (j != k && !(mask & (1u << j))) ++banned;
            }
            for (std::uint32_t e : entries) {
                std::uint64_t lo = r.linkOff + 28ull * e;
                if (e >= r.links)
                    rep.Problem("map %u node %u: junction names link %u beyond the link count", id, ni, e);
                else if (net.link.U16(lo + 4) != ni && net.link.U16(lo + 6) != ni)
                    rep.Problem("map %u node %u: junction names link %u, which does not end here", id, ni, e);
            }
            std::vector<std::uint32_t> sorted = entries, local = atNode[ni];
            std::sort(sorted.begin(), sorted.end());
            if (sorted != local)
                rep.Problem("map %u node %u: junction entries differ from the links that end here", id, ni);
            if (gOff != 0xFFFF) {
                ++guideTables;
                if (gOff + static_cast<std::uint64_t>(n) * n > r.guideBlock) {
                    rep.Problem("map %u node %u: guide table beyond the guide block", id, ni);
                } else {
                    if (static_cast<std::int64_t>(gOff) + n * n > r.guideSize[nodeLevel])
                        rep.Problem("map %u node %u: guide table beyond its level's guide size", id, ni);
                    rep.List(", guide codes");
                    for (std::uint32_t k = 0; k < n * n; ++k) {
                        std::uint32_t c = net.guide.U8(r.guideOff + static_cast<std::uint64_t>(gOff) + k);
                        ++guideUse[static_cast<int>(c)];
                        rep.List("%s%u", k % n ? "," : " ", c);
                    }
                }
            }
            rep.List("\n");
        }
        // Every local link ends at nodes that list it.
        (void)atNode;
    }
    // ---- Facility table ----
    const Blob& c = net.codes;
    long facilities = 0;
    if (c.present) {
        std::int32_t n = c.I32(0);
        if (n < 0 || !c.Has(4, 8ull * static_cast<std::uint64_t>(n))) {
            rep.Problem("LinkIDvsCode.db: count %d does not fit the file", n);
        } else {
            facilities = n;
            std::uint32_t prev = 0;
            for (std::int32_t i = 0; i < n; ++i) {
                std::uint64_t o = 4 + 8ull * i;
                std::uint32_t map = c.U16(o), link = c.U16(o + 2), value = c.U16(o + 4), dir = c.U8(o + 6);
                rep.List("facility %d: map %u link %u value %u direction %u\n", i, map, link, value, dir);
                if (map < prev) rep.Problem("LinkIDvsCode.db: entry %d not sorted by map id", i);
                prev = map;
                if (map >= count || link >= net.maps[map].links)
                    rep.Problem("LinkIDvsCode.db: entry %d names no link", i);
                else if (net.link.U8(net.maps[map].linkOff + 28ull * link + 1) == 0)
                    rep.Problem("LinkIDvsCode.db: entry %d names a link without a facility code", i);
            }
        }
    }
    // ---- Road names ----
    long roadNames = 0;
    if (net.roadIdx.present) {
        std::uint32_t n = net.roadIdx.U32(0);
        if (!net.roadIdx.Has(4, 8ull * n)) {
            rep.Problem("RoadNameIndex.bin: count %u does not fit the file", n);
        } else {
            roadNames = n;
            std::pair<int, int> prev{-32769, -32769};
            for (std::uint32_t i = 0; i < n; ++i) {
                std::uint64_t o = 4 + 8ull * i;
                std::pair<int, int> key{net.roadIdx.I16(o), net.roadIdx.I16(o + 2)};
                std::uint32_t at = net.roadIdx.U32(o + 4);
                if (!(prev < key)) rep.Problem("RoadNameIndex.bin: entry %u out of order", i);
                prev = key;
                if (!net.roadTbl.Has(at, 20)) {
                    rep.Problem("RoadNameIndex.bin: entry %u points past RoadNameTbl.bin", i);
                    continue;
                }
                if (key.first < 0 || static_cast<std::uint32_t>(key.first) >= count || key.second < 0 ||
                    static_cast<std::uint32_t>(key.second) >= net.maps[key.first].links)
                    rep.Problem("RoadNameIndex.bin: entry %u names no link", i);
                std::string text = Utf8(net.roadTbl.Text(at, 20));
                roadNameSet.insert(text);
                rep.List("road name: map %d link %d \"%s\"\n", key.first, key.second, text.c_str());
            }
        }
    }
    std::printf("%u maps, %ld nodes, %ld links (%ld one-way, %ld roundabout, %ld tunnel), %ld junctions "
                "(%ld named, %ld guide tables, %ld banned turns), %ld border records, %ld facility entries, "
                "%ld road names\n",
                count, totalNodes, totalLinks, oneWay, roundabout, tunnels, junctions, junctionNames,
                guideTables, banned, borders, facilities, roadNames);
    if (rep.check) {
        auto names = [](const char* what, const std::set<std::string>& set) {
            std::printf("%s (%zu):", what, set.size());
            std::size_t shown = 0;
            for (const std::string& n : set) {
                if (++shown > 40) {
                    std::printf(" ...");
                    break;
                }
                std::printf(" %s", n.c_str());
            }
            std::printf("\n");
        };
        names("junction names", junctionNameSet);
        names("road names", roadNameSet);
        std::printf("guide codes used:");
        for (auto& [code, n] : guideUse) std::printf(" %d(%ld)", code, n);
        std::printf("\n");
        if (rep.problems)
            std::printf("%ld problem(s)\n", rep.problems);
        else
            std::printf("network is coherent\n");
    }
    return rep.problems ? 1 : 0;
}
