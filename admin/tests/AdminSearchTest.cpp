#include "admin/AdminSearch.h"
#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct Bytes {
    std::string s;
    Bytes& u16(unsigned v) {
        s.push_back(static_cast<char>(v & 0xff));
        s.push_back(static_cast<char>((v >> 8) & 0xff));
        return *this;
    }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xffff).u16(v >> 16); }
};

struct Rect {
    unsigned x1, y1, x2, y2;
};
struct Record {
    unsigned gu, dong;
    std::vector<Rect> rects;
};
// A mesh: n, and the records of some cells (cell index = column x n + row); an optional forced
// record count for a cell.
struct Mesh {
    unsigned n;
    std::map<unsigned, std::vector<Record>> cells;
    std::map<unsigned, std::uint32_t> countOverride;
    std::uint32_t offsetOverride = 0; // non-zero: the directory points there instead
};

std::string AdminDb(const std::map<unsigned, Mesh>& meshes) {
    Bytes dir, blocks;
    const std::uint32_t base = 3168 * 8;
    std::map<unsigned, std::uint32_t> at;
    for (const auto& [index, mesh] : meshes) {
        at[index] = base + static_cast<std::uint32_t>(blocks.s.size());
        const unsigned n = mesh.n;
        Bytes body;
        const std::uint32_t cellsAt = at[index] + 2 + 8 * (n <= 16 ? n * n : 0);
        blocks.u16(n);
        if (n > 16) continue; // a corrupt n: no table behind it
        std::uint32_t next = cellsAt;
        for (unsigned c = 0; c < n * n; ++c) {
            auto it = mesh.cells.find(c);
            if (it == mesh.cells.end()) {
                blocks.u32(0).u32(0);
                continue;
            }
            Bytes cell;
            for (const Record& r : it->second) {
                cell.u16(r.gu).u16(r.dong).u16(static_cast<unsigned>(r.rects.size()));
                for (const Rect& q : r.rects) cell.u16(q.x1).u16(q.y1).u16(q.x2).u16(q.y2);
            }
            auto forced = mesh.countOverride.find(c);
            blocks.u32(next).u32(forced != mesh.countOverride.end() ? forced->second
                                                                    : static_cast<std::uint32_t>(it->second.size()));
            body.s += cell.s;
            next += static_cast<std::uint32_t>(cell.s.size());
        }
        blocks.s += body.s;
    }
    for (unsigned i = 0; i < 3168; ++i) {
        auto it = meshes.find(i);
        if (it == meshes.end())
            dir.u32(0).u32(0);
        else
            dir.u32(it->second.offsetOverride ? it->second.offsetOverride : at[i]).u32(1);
    }
    return dir.s + blocks.s;
}

std::string Names(const std::vector<const char*>& utf8) {
    std::string s;
    for (const char* n : utf8) {
        std::string f = Utf8ToCp949(n);
        f.resize(12, '\0');
        s += f;
    }
    return s;
}

constexpr unsigned kMesh = 16 * 66 + 53; // 1109: map (192000..203999, 530000..539999)

struct Tables {
    TempRoot root;
    CAdminSearch search;
    explicit Tables(const std::map<unsigned, Mesh>& meshes, bool withGu = true) {
        root.MakeFile("SearchDB/Admin.db", AdminDb(meshes));
        if (withGu) root.MakeFile("SearchDB/Gu.bin", Names({"가람시중앙구", "가람시", "나래군"}));
        root.MakeFile("SearchDB/Dong.bin", Names({"시청앞광장동", "시청동", "역전동"}));
    }
    std::string Ask(long x, long y, int* result = nullptr, bool guOnly = false) {
        char answer[25];
        std::memset(answer, '#', sizeof answer);
        const int r = guOnly ? search.GetGuName(x, y, answer) : search.DoSrch(x, y, answer);
        if (result) *result = r;
        if (!r) return std::string(answer, 25) == std::string(25, '#') ? "<none>" : "<touched>";
        if (!std::memchr(answer, 0, 25)) return "<no terminator>";
        return Cp949ToUtf8(answer);
    }
};

std::map<unsigned, Mesh> Sample() {
    Mesh m{4, {}, {}};
    // Cell 12 (column 3, row 0): the first record's rectangle is 1 unit right of (11143, 1663);
    // the second holds it; the third would hold it too but is never reached.
    m.cells[12] = {{3, 3, {{11144, 1000, 11300, 2000}}},
                   {2, 2, {{11000, 1500, 11143, 1700}}},
                   {1, 1, {{0, 0, 11999, 2499}}}};
    // Cell 1 (column 0, row 1): the gap between A of district 1 and B of district 2.
    m.cells[1] = {{1, 1, {{100, 0, 200, 10000}}}, {2, 2, {{300, 4900, 400, 5100}}}};
    // Cell 5 (column 1, row 1): two records 5 units away; the first is kept. And a record
    // without rectangles alone in cell 6.
    m.cells[5] = {{3, 3, {{3000, 4000, 3100, 4100}}}, {2, 3, {{3110, 4000, 3200, 4100}}}};
    m.cells[6] = {{1, 1, {}}};
    // Cell 15 (last): the longest names; and a district past Gu.bin in cell 14; a neighbourhood
    // past Dong.bin in cell 13.
    m.cells[15] = {{1, 1, {{9000, 7500, 11999, 9999}}}};
    m.cells[14] = {{0xFFFF, 1, {{9000, 5000, 11999, 7499}}}};
    m.cells[13] = {{2, 9, {{9000, 2500, 11999, 4999}}}};
    std::map<unsigned, Mesh> meshes;
    meshes[kMesh] = m;
    return meshes;
}

} // namespace

TEST(AdminSearch, MeshAndCellArithmetic) {
    EXPECT_EQ(CAdminSearch::GetMeshIndex(575999, 659999), 3167);
    EXPECT_EQ(CAdminSearch::GetMeshIndex(203143, 531663), 1109);
    int c = -1, r = -1;
    ASSERT_TRUE(CAdminSearch::CellOf(4, 11143, 1663, c, r));
    EXPECT_EQ(c * 4 + r, 12);
    ASSERT_TRUE(CAdminSearch::CellOf(4, 9000, 2500, c, r));
    EXPECT_EQ(c, 3); // a shared column edge: the higher column
    EXPECT_EQ(r, 0); // a shared row edge: the lower row
    ASSERT_TRUE(CAdminSearch::CellOf(4, 0, 0, c, r));
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 0);
    ASSERT_TRUE(CAdminSearch::CellOf(7, 11999, 9999, c, r));
    EXPECT_EQ(c, 6); // 7 x 1714 = 11998: the point beyond the last whole cell is in the last
    EXPECT_EQ(r, 6);
    EXPECT_FALSE(CAdminSearch::CellOf(0, 10, 10, c, r));
    EXPECT_FALSE(CAdminSearch::CellOf(65535, 10, 10, c, r));
    EXPECT_TRUE(CAdminSearch::CellOf(10000, 11999, 9999, c, r));
    EXPECT_EQ(c, 9999);
}

TEST(AdminSearch, DistanceToARectangle) {
    EXPECT_EQ(CAdminSearch::GetDist2Rect(97, 250, 100, 100, 200, 400), 3);
    EXPECT_EQ(CAdminSearch::GetDist2Rect(97, 403, 100, 100, 200, 400), 6);
    EXPECT_EQ(CAdminSearch::GetDist2Rect(150, 250, 100, 100, 200, 400), 0);
    EXPECT_EQ(CAdminSearch::GetDist2Rect(210, 5000, 100, 0, 200, 10000), 10);
    EXPECT_EQ(CAdminSearch::GetDist2Rect(210, 5000, 300, 4900, 400, 5100), 90);
}

TEST(AdminSearch, NamesThePointsArea) {
    Tables t(Sample());
    ASSERT_EQ(t.search.OpenTbl("\\SearchDB\\"), 1);
    const long mx = 16 * 12000, my = 53 * 10000;
    struct Case {
        const char* what;
        long px, py;
        const char* answer;
    } cases[] = {
        {"inside the second record", 11143, 1663, "가람시 시청동"},
        {"the gap: nearer to A", 210, 5000, "가람시중앙구 시청앞광장"},
        {"equal distances keep the first", 3105, 4050, "나래군 역전동"},
        {"twelve and twelve bytes", 10000, 8000, "가람시중앙구 시청앞광장"},
        {"neighbourhood past the table", 10000, 3000, "가람시"},
        {"district past the table", 10000, 6000, "<none>"},
        {"records without rectangles", 3500, 5500, "<none>"},
        {"an empty cell", 4000, 100, "<none>"},
    };
    for (const Case& c : cases) EXPECT_EQ(t.Ask(mx + c.px, my + c.py), c.answer) << c.what;
    char answer[25];
    ASSERT_EQ(t.search.DoSrch(mx + 10000, my + 8000, answer), 1);
    EXPECT_EQ(std::strlen(answer), 23u);
    EXPECT_EQ(t.Ask(mx + 11143, my + 1663, nullptr, true), "가람시");
    // Outside the grid, on its lower edges, and in a mesh without data.
    EXPECT_EQ(t.Ask(0, my + 100), "<none>");
    EXPECT_EQ(t.Ask(mx + 100, 0), "<none>");
    EXPECT_EQ(t.Ask(576000, 100), "<none>");
    EXPECT_EQ(t.Ask(575999, 659999), "<none>");
    EXPECT_EQ(t.Ask(mx - 5, my + 100), "<none>");
}

TEST(AdminSearch, MissingOrCorruptTables) {
    {
        Tables t(Sample(), false);
        EXPECT_EQ(t.search.OpenTbl("\\SearchDB\\"), 0);
        EXPECT_EQ(t.Ask(16 * 12000 + 11143, 53 * 10000 + 1663), "<none>");
        EXPECT_EQ(t.Ask(16 * 12000 + 11143, 53 * 10000 + 1663, nullptr, true), "<none>");
    }
    std::map<unsigned, Mesh> meshes;
    meshes[100] = Mesh{0, {}, {}};
    meshes[101] = Mesh{65535, {}, {}};
    meshes[102] = Mesh{4, {}, {}, 0x7FFFFF00};
    Mesh counted{2, {}, {}};
    counted.cells[0] = {{2, 2, {{0, 0, 5999, 4999}}}};
    counted.countOverride[0] = 0x7FFFFFFF;
    meshes[103] = counted;
    Mesh cut{2, {}, {}};
    cut.cells[0] = {{2, 0, {{0, 0, 10, 10}, {20, 20, 30, 30}}}};
    cut.countOverride[0] = 2;
    meshes[104] = cut;
    Tables t(meshes);
    ASSERT_EQ(t.search.OpenTbl("\\SearchDB\\"), 1);
    auto at = [](unsigned mesh, long px, long py) {
        return std::pair<long, long>{static_cast<long>(mesh / 66) * 12000 + px, static_cast<long>(mesh % 66) * 10000 + py};
    };
    for (unsigned mesh : {100u, 101u, 102u}) {
        const auto [x, y] = at(mesh, 100, 100);
        EXPECT_EQ(t.Ask(x, y), "<none>") << mesh;
    }
    // A record count past the cell: the whole record read still counts.
    auto [x3, y3] = at(103, 100, 100);
    EXPECT_EQ(t.Ask(x3, y3), "가람시 시청동");
    auto [x4, y4] = at(104, 5, 5);
    EXPECT_EQ(t.Ask(x4, y4), "가람시");
}
