// A two-map road network written out byte by byte, so that the readers are checked against
// the file formats directly and not against the builder.
//
// Map 0 (west, box 45000000,11910000 - 45001000,11911000):
//   nodes  n0 (100,100) junction of 3 links [l0 l1 l2], record at 0, name "ABC..U" (21 bytes)
//          n1 (500,100) junction of 2 links [l0 l3], record at 15, name "abc..v" (22 bytes)
//          n2 (100,500) junction of 2 links [l1 l3], record at 27, name ref 5 bytes at 32 ("lmnop")
//          n3 (1000,100) pass-through, boundary record at 0 -> map 1 (east) node 0 link 0
//   links  l0 n0->n1 road kind 0 (level 0), one shape vertex (300,150), facility code 4
//          l1 n0->n2 kind 2 (level 1); l2 n0->n3 kind 5 (level 2); l3 n2->n1 kind 7 (level 3)
//   turn at n0 from l2 into l1 is banned; n0 has a 3 x 3 guide table at 0
// Map 1 (east, box 45001000,11910000 - 45002000,11911000):
//   nodes  m0 (0,100) pass-through -> map 0 (west) node 3 link 2; m1 (400,100) dead end
//   links  k0 m0->m1 kind 5 (level 2)
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace handnet {

using Bytes = std::vector<std::uint8_t>;

struct Out {
    Bytes b;
    Out& u8(std::uint32_t v) {
        b.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Out& u16(std::uint32_t v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Out& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Out& text(const std::string& s) {
        for (char c : s) u8(static_cast<std::uint8_t>(c));
        return *this;
    }
};

constexpr std::int32_t kWest0 = 45000000, kSouth = 11910000;

// Link record: byte 0, facility code, vertex count, nodes, length, attributes, road number,
// box, first vertex, two traffic indices.
inline void Link(Out& o, int kind, int fac, int nv, int a, int b, int len, int attr, int x1, int y1, int x2,
                 int y2, int firstVertex) {
    o.u8((kind << 4) | 2).u8(fac).u16(nv).u16(a).u16(b).u16(len).u16(attr).u16(0);
    o.u16(x1).u16(y1).u16(x2).u16(y2).u16(firstVertex).u16(0xFFFF).u16(0xFFFF);
}

inline void MapRecord(Out& o, int nodes, int links, const int nb[9], std::int32_t west, std::uint32_t nodeOff,
                      std::uint32_t crossOff, std::uint32_t exOff, std::uint32_t guideOff,
                      std::uint32_t linkOff, std::uint32_t vertexOff, std::uint32_t nameOff, const int lc[4],
                      const int nc[4], const int cs[4], const int gs[4]) {
    o.u16(nodes).u16(links);
    for (int i = 0; i < 9; ++i) o.u16(nb[i] < 0 ? 0xFFFF : nb[i]);
    o.u16(27654)
        .u32(static_cast<std::uint32_t>(west))
        .u32(kSouth)
        .u32(static_cast<std::uint32_t>(west + 1000))
        .u32(kSouth + 1000);
    o.u32(nodeOff).u32(crossOff).u32(exOff).u32(guideOff).u32(linkOff).u32(vertexOff).u32(nameOff);
    for (int i = 0; i < 4; ++i) o.u16(lc[i]);
    for (int i = 0; i < 4; ++i) o.u16(nc[i]);
    for (int i = 0; i < 4; ++i) o.u32(cs[i]);
    for (int i = 0; i < 4; ++i) o.u32(gs[i]);
}

inline std::map<std::string, Bytes> Files() {
    std::map<std::string, Bytes> f;
    Out manage;
    manage.u16(2).text(std::string("MRDA\0", 5));
    manage.b.resize(488, 0);
    {
        const int nb0[9] = {-1, -1, -1, -1, 0, 1, -1, -1, -1};
        const int lc[4] = {1, 2, 3, 4}, nc[4] = {2, 3, 4, 4}, cs[4] = {27, 39, 39, 39},
                  gs[4] = {13, 17, 17, 17};
        MapRecord(manage, 4, 4, nb0, kWest0, 0, 0, 0, 0, 0, 0, 0, lc, nc, cs, gs);
        const int nb1[9] = {-1, -1, -1, 0, 1, -1, -1, -1, -1};
        const int lc1[4] = {0, 0, 1, 1}, nc1[4] = {0, 0, 2, 2}, cs1[4] = {0, 0, 9, 9}, gs1[4] = {0, 0, 0, 0};
        MapRecord(manage, 2, 1, nb1, kWest0 + 1000, 32, 39, 6, 17, 112, 4, 43, lc1, nc1, cs1, gs1);
    }
    f["MRManage.bin"] = manage.b;

    Out node;
    node.u16(100).u16(100).u32(0x03000000u);
    node.u16(500).u16(100).u32(0x02000000u | 15);
    node.u16(100).u16(500).u32(0x02000000u | 27);
    node.u16(1000).u16(100).u32(0x81000000u | 0);
    node.u16(0).u16(100).u32(0x81000000u | 0);
    node.u16(400).u16(100).u32(0x01000000u | 0);
    f["MRNode.bin"] = node.b;

    Out link;
    Link(link, 0, 4, 1, 0, 1, 130, 0x6000 | (1 << 5), 100, 100, 500, 150, 0);
    Link(link, 2, 0, 0, 0, 2, 124, 0x4000 | (3 << 5), 100, 100, 100, 500, 0);
    Link(link, 5, 0, 0, 0, 3, 249, 0x2000 | (5 << 5) | (3 << 8), 100, 100, 1000, 100, 0);
    Link(link, 7, 0, 0, 2, 1, 160, 0x1000 | (5 << 5), 100, 100, 500, 500, 0);
    Link(link, 5, 0, 0, 0, 1, 111, 0x2000 | (5 << 5), 0, 100, 400, 100, 0);
    f["MRLink.bin"] = link.b;

    Out vertex;
    vertex.u16(300).u16(150);
    f["MRVertex.bin"] = vertex.b;

    Out cross;
    // n0: name 21 bytes at 0; entries l0 l1 l2; masks; guide table at 0.
    cross.u32((21u << 24) | 0).u16(0).u16(1).u16(2).u8(0x06).u8(0x05).u8(0x01).u16(0);
    // n1: name 22 bytes at 21; entries l0 l3 (l3 with flag bits 13-15 set); guide table at 9.
    cross.u32((22u << 24) | 21).u16(0).u16(0xE003).u8(0x02).u8(0x01).u16(9);
    // n2: name 5 bytes at 32; entries l1 l3; guide table at 13.
    cross.u32((5u << 24) | 32).u16(1).u16(3).u8(0x02).u8(0x01).u16(13);
    // m1 of map 1: no name, entry k0, no guide table.
    cross.u32(0).u16(0).u8(0x01).u16(0xFFFF);
    f["MRCross.bin"] = cross.b;

    Out neighb;
    neighb.u16(0x4000 | 1).u16(0).u16(0); // map 0 n3 -> map 1 (east) node 0 link 0
    neighb.u16(0xC000 | 0).u16(3).u16(2); // map 1 m0 -> map 0 (west) node 3 link 2
    f["MRNeighb.bin"] = neighb.b;

    Out guide;
    guide.u8(14).u8(12).u8(13).u8(13).u8(14).u8(0).u8(12).u8(0).u8(14); // n0, 3 x 3
    guide.u8(14).u8(13).u8(12).u8(14);                                  // n1
    guide.u8(14).u8(0).u8(0).u8(14);                                    // n2
    f["MRGuide.bin"] = guide.b;

    Out names;
    names.text("ABCDEFGHIJKLMNOPQRSTU").text("abcdefghijklmnopqrstuv");
    f["MRCrossName.bin"] = names.b;

    Out codes;
    codes.u32(2).u16(0).u16(0).u16(7).u8(1).u8(0).u16(1).u16(0).u16(9).u8(0).u8(0);
    f["LinkIDvsCode.db"] = codes.b;
    return f;
}

inline void WriteFiles(const std::filesystem::path& mrData, const std::map<std::string, Bytes>& files) {
    std::filesystem::create_directories(mrData);
    for (const auto& [name, bytes] : files) {
        std::ofstream out(mrData / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

inline void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutU16(Bytes& b, std::size_t at, std::uint32_t v) {
    b.at(at) = static_cast<std::uint8_t>(v);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

// Offsets within MRManage.bin of map m's record fields.
inline std::size_t MapField(int map, int offset) {
    return 488 + 116 * static_cast<std::size_t>(map) + offset;
}

} // namespace handnet
