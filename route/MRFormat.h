// Record layouts of the "MRData" road network shared by its readers: the 116-byte map record
// of MRManage.bin, the 28-byte link and 8-byte node records, and the in-memory junction.
// Values are unpacked field by field, little-endian.
#pragma once

#include <cstdint>
#include <cstring>

namespace mrformat {

constexpr int kManageHeaderSize = 488; // u16 map count and the 486-byte data-set header
constexpr int kMapRecordSize = 116;
constexpr int kLinkSize = 28;
constexpr int kNodeSize = 8;
constexpr int kVertexSize = 4;
constexpr int kExNodeSize = 6;
constexpr int kCodeEntrySize = 8;
constexpr int kMaxJunctionLinks = 8;
constexpr std::uint16_t kNoMap = 65535;
constexpr std::uint16_t kNoGuideTable = 65535;

inline std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int16_t I16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(U16(p));
}
inline std::int32_t I32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(U32(p));
}
inline void PutU16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::uint8_t* p, std::uint32_t v) {
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

// Node record fields (bytes 4-7: the junction reference).
inline bool IsPassThrough(std::uint32_t ref) {
    return (ref & 0x80000000u) != 0;
}
inline int LinkCountOf(std::uint32_t ref) {
    return static_cast<int>((ref >> 24) & 0x7F);
}
inline std::uint32_t BlockOffsetOf(std::uint32_t ref) {
    return ref & 0xFFFFFF;
}

// Link record fields.
inline std::uint16_t LinkVertexCount(const std::uint8_t* link) {
    return U16(link + 2);
}
inline std::uint16_t LinkStartNode(const std::uint8_t* link) {
    return U16(link + 4);
}
inline std::uint16_t LinkEndNode(const std::uint8_t* link) {
    return U16(link + 6);
}
inline std::uint16_t LinkFirstVertex(const std::uint8_t* link) {
    return U16(link + 22);
}

} // namespace mrformat

// One map's record of MRManage.bin, unpacked.
struct MRMapRecord {
    std::uint16_t nodeCount = 0;
    std::uint16_t linkCount = 0;
    std::uint16_t neighbours[9] = {}; // 3 x 3 block, slot = 3 x row + column, row 0 south
    std::uint16_t xScale = 0;         // metres per x unit x 100,000
    std::int32_t west = 0, south = 0, east = 0, north = 0;
    std::uint32_t nodeOffset = 0, crossOffset = 0, exNodeOffset = 0, guideOffset = 0, linkOffset = 0,
                  vertexOffset = 0, nameOffset = 0;
    std::int16_t levelLinks[4] = {};
    std::int16_t levelNodes[4] = {};
    std::int32_t levelCrossSize[4] = {};
    std::int32_t levelGuideSize[4] = {};

    void Unpack(const std::uint8_t* p) {
        using namespace mrformat;
        nodeCount = U16(p);
        linkCount = U16(p + 2);
        for (int i = 0; i < 9; ++i) neighbours[i] = U16(p + 4 + 2 * i);
        xScale = U16(p + 22);
        west = I32(p + 24);
        south = I32(p + 28);
        east = I32(p + 32);
        north = I32(p + 36);
        nodeOffset = U32(p + 40);
        crossOffset = U32(p + 44);
        exNodeOffset = U32(p + 48);
        guideOffset = U32(p + 52);
        linkOffset = U32(p + 56);
        vertexOffset = U32(p + 60);
        nameOffset = U32(p + 64);
        for (int i = 0; i < 4; ++i) {
            levelLinks[i] = I16(p + 68 + 2 * i);
            levelNodes[i] = I16(p + 76 + 2 * i);
            levelCrossSize[i] = I32(p + 84 + 4 * i);
            levelGuideSize[i] = I32(p + 100 + 4 * i);
        }
    }
};

// A map's box in network coordinates: west, south, east, north (record bytes 24-39).
struct MRBox {
    std::int32_t west = 0, south = 0, east = 0, north = 0;
};

// A junction in memory: the name reference, up to eight link entries (masked to their 13-bit
// link ids), their turn masks and the guide-table offset. count is the node's link count.
struct MRCrossNode {
    std::uint32_t head = 0;
    std::uint16_t links[mrformat::kMaxJunctionLinks] = {};
    std::uint8_t turns[mrformat::kMaxJunctionLinks] = {};
    std::uint16_t guideOffset = mrformat::kNoGuideTable;
    int count = 0;

    // Unpacks a packed record of n links ((n + 2) x 3 bytes); false when n is outside 1..8.
    bool Unpack(const std::uint8_t* p, int n) {
        using namespace mrformat;
        if (n < 1 || n > kMaxJunctionLinks) return false;
        *this = MRCrossNode();
        head = U32(p);
        for (int i = 0; i < n; ++i) links[i] = static_cast<std::uint16_t>(U16(p + 4 + 2 * i) & 0x1FFF);
        for (int i = 0; i < n; ++i) turns[i] = p[4 + 2 * n + i];
        guideOffset = U16(p + 4 + 3 * n);
        count = n;
        return true;
    }
    int NameLength() const { return static_cast<int>(head >> 24); }
    std::uint32_t NameOffset() const { return head & 0xFFFFFF; }
};
