#include "platform/files/tests/TempRoot.h"
#include "route/base/Coords.h"
#include "search/NeighManage.h"
#include "search/tests/SearchBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

// The car: network (45,729,000, 13,485,000) is point-file (162000, 525000), cell 16 x 66 + 52.
constexpr long kCarX = 45729000, kCarY = 13485000;

struct Facility {
    unsigned brand;
    std::int32_t x, y; // point-file coordinates
    std::string name;  // code page 949
};

// A facility file: 50-byte header, 3168 cell offsets (0 = empty), the records cell by cell.
std::string FacilityFile(int kind, const std::vector<Facility>& facilities, std::uint32_t statedSize = 0,
                         std::size_t cutLast = 0) {
    std::map<unsigned, std::string> cells;
    for (const Facility& f : facilities) {
        const unsigned cell = static_cast<unsigned>(f.x / 10000 * 66 + f.y / 10000);
        // Stored x is in units of 5/6: 6/5 of the offset.
        const unsigned storedX = static_cast<unsigned>((f.x % 10000) * 6 / 5);
        SearchBytes r;
        if (kind == 4) {
            r.u8(f.brand).u8(0).u16(0).u16(storedX).u16(static_cast<unsigned>(f.y % 10000));
        } else {
            r.u8(f.brand).u16(0).u16(0).u16(storedX).u16(static_cast<unsigned>(f.y % 10000)).u8(0).u8(0);
            r.text(f.name, 21);
        }
        cells[cell] += r.s;
    }
    SearchBytes b;
    b.u32(20261210).u8(static_cast<unsigned>(kind)).u8(1).u32(0);
    for (int i = 0; i < 4; ++i) b.u32(0);
    b.u32(0).u16(48).u16(66).u32(10000).u32(10000).u32(0).u32(0);
    EXPECT_EQ(b.size(), 50u);
    std::uint32_t at = 50 + 4 * 3168;
    for (unsigned c = 0; c < 3168; ++c) {
        auto it = cells.find(c);
        b.u32(it == cells.end() ? 0 : at);
        if (it != cells.end()) at += static_cast<std::uint32_t>(it->second.size());
    }
    for (const auto& [cell, bytes] : cells) b.raw(bytes);
    if (cutLast) b.s.resize(b.s.size() - cutLast);
    b.patch32(6, statedSize ? statedSize : static_cast<std::uint32_t>(b.size()));
    return b.s;
}

struct Hit {
    std::string name;
    std::int32_t distance, bearing, level, x, y;
    bool operator==(const Hit&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Hit& h) {
    return o << Cp949ToUtf8(h.name) << " " << h.distance << "m " << h.bearing << " L" << h.level << " (" << h.x
             << ", " << h.y << ")";
}

std::vector<Hit> Search(TempRoot& root, const std::string& file, int category, long x = kCarX, long y = kCarY) {
    root.MakeFile("Data/Neigh/F.MDC", file);
    CNeighManage m;
    m.InitNeighManage(category, x, y, u"Data", u"Neigh\\F.MDC");
    std::vector<Hit> out;
    for (int i = 0; i < m.GetCount(); ++i) {
        std::uint8_t brand = 0;
        std::int32_t hx, hy, d, b, l;
        char name[21];
        EXPECT_TRUE(m.GetFacility(i, brand, hx, hy, d, b, l, name));
        out.push_back({name, d, b, l, hx, hy});
    }
    std::uint8_t brand;
    std::int32_t v;
    char name[21];
    EXPECT_FALSE(m.GetFacility(m.GetCount(), brand, v, v, v, v, v, name));
    EXPECT_FALSE(m.GetFacility(-1, brand, v, v, v, v, v, name));
    return out;
}

} // namespace

TEST(NeighManage, DistanceBearingLevelAndOrder) {
    std::int32_t px = 0, py = 0;
    NetToPointFileCoord(kCarX, kCarY, px, py);
    ASSERT_EQ(px, 162000);
    ASSERT_EQ(py, 525000);
    TempRoot root;
    const std::vector<Facility> f = {
        {1, 163000, 525000, K("가람중앙")},           // 1000 pf east: 4500 net x 0.27654 = 1244 m
        {2, 161000, 525000, K("나래")},               // 1244 m west: after 가람중앙병원 by name
        {3, 162000, 527000, K("북쪽")},               // 6000 net north x 0.30879 = 1852 m
        {4, 162000, 524000, K("남쪽")},               // 926 m south: the car is north of it
        {5, 162000, 530000, K("가람튼튼재활의학과")}, // 18 bytes: no room for the word
        {6, 202000, 525000, K("먼곳")},               // 180000 net east: 49,777 m, ring 4
        {7, 202200, 525000, K("너무먼곳")},           // 50,026 m: never a hit
    };
    const std::vector<Hit> expected = {
        {K("남쪽병원"), 926, 180, 6, 162000, 524000},
        {K("가람중앙병원"), 1244, 90, 6, 163000, 525000},
        {K("나래병원"), 1244, 270, 6, 161000, 525000},
        {K("북쪽병원"), 1852, 0, 5, 162000, 527000},
        {K("가람튼튼재활의학과"), 4631, 0, 4, 162000, 530000},
        {K("먼곳병원"), 49777, 90, 2, 202000, 525000},
    };
    EXPECT_EQ(Search(root, FacilityFile(1, f), 0), expected);
    EXPECT_EQ(CNeighManage::LevelOf(16001), 2);
    EXPECT_EQ(CNeighManage::LevelOf(16000), 3);
    EXPECT_EQ(CNeighManage::LevelOf(6000), 4);
    EXPECT_EQ(CNeighManage::LevelOf(1500), 6);
    EXPECT_EQ(CNeighManage::LevelOf(400), 7);
    EXPECT_EQ(CNeighManage::LevelOf(200), 8);
    EXPECT_EQ(CNeighManage::LevelOf(100), 9);
}

TEST(NeighManage, NamesByCategory) {
    struct Case {
        int category, kind;
        unsigned brand;
        const char* stored;
        const char* expected;
    } cases[] = {
        {5, 4, 69, "", "무료주차장"},   {5, 4, 31, "", "유료주차장"}, {3, 4, 46, "", "LG주유소"},
        {3, 4, 44, "", "S_OIL"},        {3, 4, 99, "", ""},           {2, 4, 10, "", "LPG"},
        {4, 4, 20, "", "정비소"},       {1, 1, 1, "온누리", "온누리약국"},
        {6, 1, 1, "국민", "국민은행"},  {6, 1, 2, "가람신협", "가람신협"},
        {7, 1, 1, "가람호텔", "가람호텔"}, {9, 1, 1, "가람역", "가람역"},
    };
    for (const Case& c : cases) {
        TempRoot root;
        const std::vector<Hit> hits = Search(root, FacilityFile(c.kind, {{c.brand, 162100, 525100, K(c.stored)}}), c.category);
        ASSERT_EQ(hits.size(), 1u) << c.category << " " << c.expected;
        EXPECT_EQ(Cp949ToUtf8(hits[0].name), c.expected) << c.category;
    }
    TempRoot root;
    CNeighManage m;
    root.MakeFile("Data/Neigh/F.MDC", FacilityFile(4, {{46, 162100, 525100, ""}}));
    EXPECT_FALSE(m.InitNeighManage(10, kCarX, kCarY, u"Data", u"Neigh\\F.MDC"));
    EXPECT_FALSE(m.InitNeighManage(-1, kCarX, kCarY, u"Data", u"Neigh\\F.MDC"));
    EXPECT_FALSE(m.InitNeighManage(3, kCarX, kCarY, u"Data", u"Neigh\\None.MDC"));
    EXPECT_STREQ(reinterpret_cast<const char*>(CNeighManage::CategoryFile(0)), reinterpret_cast<const char*>(u"Neigh\\HOSP.MDC"));
    EXPECT_EQ(CNeighManage::CategoryFile(10), nullptr);
}

TEST(NeighManage, TenInTheFirstPassEndTheSearch) {
    TempRoot root;
    std::vector<Facility> f;
    // Ten in ring 1 at 17,000 point-file units east; one nearer in ring 2 at 12,005 units west.
    for (int i = 0; i < 10; ++i) f.push_back({48, 179000, 520000 + 500 * i, ""});
    f.push_back({48, 149995, 525000, ""});
    std::vector<Hit> hits = Search(root, FacilityFile(4, f), 3);
    ASSERT_EQ(hits.size(), 10u);
    for (const Hit& h : hits) EXPECT_EQ(h.x, 179000);
    // With nine in ring 1, ring 2's facility is found and comes first.
    f.erase(f.begin());
    hits = Search(root, FacilityFile(4, f), 3);
    ASSERT_EQ(hits.size(), 10u);
    EXPECT_EQ(hits[0].x, 149995);
    // A car in column 0, row 65 reads only cells inside the grid.
    std::int32_t nx = 0, ny = 0;
    PointFileToNetCoord(5000, 655000, nx, ny);
    hits = Search(root, FacilityFile(4, {{48, 15000, 655000, ""}, {48, 5000, 645000, ""}}), 3, nx, ny);
    EXPECT_EQ(hits.size(), 2u);
}

TEST(NeighManage, CellTables) {
    const std::uint32_t t = 50 + 4 * 3168;
    std::vector<std::uint32_t> off(3168, 0), start, size;
    // A first offset that is not 0: runs of equal offsets keep only their first, and the first
    // cell is always empty.
    off[0] = t;
    off[1] = t;
    off[2] = t + 100;
    off[3] = t + 100;
    off[4] = t + 200;
    CNeighManage::CellExtents(off, t + 300, start, size);
    EXPECT_EQ(size[0], 0u);
    EXPECT_EQ(size[1], 0u);
    EXPECT_EQ(size[2], 100u);
    EXPECT_EQ(size[3], 0u);
    EXPECT_EQ(size[4], 100u);
    // Offsets inside the table, decreasing, or past the end make the cell empty.
    std::fill(off.begin(), off.end(), 0);
    off[5] = 100;
    off[6] = t + 64;
    off[7] = t + 32;
    off[8] = t + 500;
    CNeighManage::CellExtents(off, t + 400, start, size);
    EXPECT_EQ(size[5], 0u);
    EXPECT_EQ(size[6], 336u);
    EXPECT_EQ(size[7], 0u);
    EXPECT_EQ(size[8], 0u);
}

TEST(NeighManage, CorruptFilesGiveFewerHits) {
    const std::vector<Facility> two = {{1, 162100, 525100, K("가")}, {2, 162200, 525100, K("나")}};
    TempRoot root;
    // A stated size beyond the file: the real end bounds the last cell.
    EXPECT_EQ(Search(root, FacilityFile(1, two, 0x7FFFFFFF), 6).size(), 2u);
    // A partial last record is not parsed.
    EXPECT_EQ(Search(root, FacilityFile(1, two, 0, 16), 6).size(), 1u);
    // A stated size that cuts the cell leaves the whole records before it.
    const std::string file = FacilityFile(1, two);
    EXPECT_EQ(Search(root, FacilityFile(1, two, static_cast<std::uint32_t>(file.size() - 1)), 6).size(), 1u);
    // A cell offset past the end, and a truncated table.
    SearchBytes bad{file};
    bad.patch32(50 + 4 * (16 * 66 + 52), 0x7FFFFFF0);
    EXPECT_TRUE(Search(root, bad.s, 6).empty());
    EXPECT_TRUE(Search(root, file.substr(0, 3000), 6).empty());
    EXPECT_TRUE(Search(root, file.substr(0, 20), 6).empty());
}
