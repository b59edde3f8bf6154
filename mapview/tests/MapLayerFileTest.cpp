#include "mapview/MapLayerFile.h"
#include "mapview/LayerRecords.h"
#include "mapview/tests/LayerBytes.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Kind-4 layer of 2 columns x 5 rows; every cell holds one 8-byte point symbol whose symbol
// number is the cell index. Cell i's block starts at 50 + 40 + 8 i.
std::string TenCellLayer() {
    LayerBytes b = LayerHeader(4, 1, 1000, 2000, 1200, 2500, 2, 5, 100, 100, 1000, 2000);
    for (unsigned i = 0; i < 10; ++i) b.u32(90 + 8 * i);
    for (unsigned i = 0; i < 10; ++i) b.u8(i).u8(0).u16(0xffff).i16(i).i16(-static_cast<int>(i));
    return Finish(b);
}

std::string BlockOf(const CMapLayerFile& layer) {
    if (!layer.GetBlock()) return {};
    return std::string(reinterpret_cast<const char*>(layer.GetBlock()), layer.GetBlockSize());
}

} // namespace

TEST(MapLayerFile, ReadsEveryHeaderField) {
    TempRoot root;
    root.MakeFile("MapData/ROAD.MDC", TenCellLayer());
    CMapLayerFile layer;
    ASSERT_EQ(layer.Open(u"MapData", u"ROAD.MDC"), 1);
    const MapLayerHeader& h = layer.GetHeader();
    EXPECT_EQ(h.version, 20261210u);
    EXPECT_EQ(layer.GetKind(), 4);
    EXPECT_TRUE(h.IsTiled());
    EXPECT_EQ(h.fileSize, 170u);
    EXPECT_EQ(h.minX, 1000);
    EXPECT_EQ(h.minY, 2000);
    EXPECT_EQ(h.maxX, 1200);
    EXPECT_EQ(h.maxY, 2500);
    EXPECT_EQ(h.columns, 2);
    EXPECT_EQ(h.rows, 5);
    EXPECT_EQ(h.cellWidth, 100u);
    EXPECT_EQ(h.cellHeight, 100u);
    EXPECT_EQ(h.originX, 1000u);
    EXPECT_EQ(h.originY, 2000u);
    EXPECT_EQ(layer.GetCellOffset(9), 162u);
    EXPECT_EQ(layer.GetName(), CString(u"ROAD.MDC"));
    // Cell 7 is column 1, row 2.
    std::int32_t x = 0, y = 0;
    layer.GetCellOrigin(7, x, y);
    EXPECT_EQ(x, 1100);
    EXPECT_EQ(y, 2200);
}

TEST(MapLayerFile, BlockRunsToNextNonEmptyCellOrFileSize) {
    // 1 column x 8 rows: cells 5 and 6 empty; cell 4 holds 3 records and must end at cell 7.
    LayerBytes b = LayerHeader(4, 1, 0, 0, 100, 800, 1, 8, 100, 100, 0, 0);
    const std::uint32_t base = 50 + 32;
    const std::uint32_t offsets[8] = {base, base + 8, base + 16, base + 24, base + 32, 0, 0, base + 56};
    for (std::uint32_t o : offsets) b.u32(o);
    for (unsigned r = 0; r < 8; ++r) b.u8(r).u8(0).u16(1).i16(r).i16(r); // cells 0..4: one record each,
    // cell 4 gets three records in all (the 5th to 7th records), cell 7 one (the 8th).
    std::string file = Finish(b);
    ASSERT_EQ(file.size(), base + 64);

    TempRoot root;
    root.MakeFile("L.MDC", file);
    CMapLayerFile layer;
    ASSERT_EQ(layer.Open(u"", u"L.MDC"), 1);
    ASSERT_EQ(layer.LoadCell(4), 1);
    EXPECT_EQ(layer.GetBlockSize(), 24u);
    EXPECT_EQ(BlockOf(layer), file.substr(base + 32, 24));
    ASSERT_EQ(layer.LoadCell(7), 1);
    EXPECT_EQ(layer.GetBlockSize(), 8u); // the last non-empty cell ends at the file size
    EXPECT_EQ(BlockOf(layer), file.substr(base + 56, 8));
    ASSERT_EQ(layer.LoadCell(5), 1);
    EXPECT_EQ(layer.GetBlockSize(), 0u);
    EXPECT_EQ(layer.GetBlock(), nullptr);
}

TEST(MapLayerFile, CacheReadsEachCellOnceAndEvictsLeastRecentlyUsed) {
    TempRoot root;
    root.MakeFile("P.MDC", TenCellLayer());
    CMapLayerFile layer;
    ASSERT_EQ(layer.Open(u"", u"P.MDC"), 1);

    // Cell 0 right after opening comes from the file.
    ASSERT_EQ(layer.LoadCell(0), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 1);
    ASSERT_EQ(layer.GetBlockSize(), 8u);
    EXPECT_EQ(layer.GetBlock()[0], 0);
    ASSERT_EQ(layer.LoadCell(0), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 1);

    for (int c = 1; c < 8; ++c) ASSERT_EQ(layer.LoadCell(c), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 8);
    // Back to cell 0: a hit that makes it the most recently used.
    ASSERT_EQ(layer.LoadCell(0), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 8);
    EXPECT_EQ(layer.GetBlock()[0], 0);
    // A ninth cell evicts cell 1 (now the least recently used), not cell 0.
    ASSERT_EQ(layer.LoadCell(8), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 9);
    EXPECT_EQ(layer.GetBlock()[0], 8);
    ASSERT_EQ(layer.LoadCell(0), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 9);
    ASSERT_EQ(layer.LoadCell(1), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 10);
    EXPECT_EQ(layer.GetBlock()[0], 1);
    // Cells 2..7 are still cached except the one cell 1 pushed out (cell 2).
    for (int c = 3; c < 8; ++c) ASSERT_EQ(layer.LoadCell(c), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 10);
    ASSERT_EQ(layer.LoadCell(2), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 11);

    // After a clear every cell is read again, the first one included.
    layer.ClearCellCache();
    EXPECT_EQ(layer.GetCurrentCell(), -1);
    ASSERT_EQ(layer.LoadCell(0), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 12);
}

TEST(MapLayerFile, ShortCellReadGivesEmptyCell) {
    TempRoot root;
    const std::string file = TenCellLayer();
    root.MakeFile("P.MDC", file);
    CMapLayerFile layer;
    ASSERT_EQ(layer.Open(u"", u"P.MDC"), 1);
    // The file shrinks after opening: cell 9's 8 bytes are only half there.
    root.MakeFile("P.MDC", file.substr(0, file.size() - 4));
    ASSERT_EQ(layer.LoadCell(9), 1);
    EXPECT_EQ(layer.GetBlockSize(), 0u);
    EXPECT_EQ(layer.GetBlock(), nullptr);
    ASSERT_EQ(layer.LoadCell(8), 1); // whole cells before the cut still read
    ASSERT_EQ(layer.GetBlockSize(), 8u);
    EXPECT_EQ(layer.GetBlock()[0], 8);
}

TEST(MapLayerFile, CellIndexPastTheGridIsEmptyAndSucceeds) {
    TempRoot root;
    root.MakeFile("P.MDC", TenCellLayer());
    CMapLayerFile layer;
    ASSERT_EQ(layer.Open(u"", u"P.MDC"), 1);
    ASSERT_EQ(layer.LoadCell(3), 1);
    for (std::int32_t c : {10, 11, -1, 0x7fffffff}) {
        ASSERT_EQ(layer.LoadCell(c), 1) << c;
        EXPECT_EQ(layer.GetCurrentCell(), c);
        EXPECT_EQ(layer.GetBlockSize(), 0u);
        EXPECT_EQ(layer.GetBlock(), nullptr);
    }
    EXPECT_EQ(layer.GetFileReadCount(), 1);
}

TEST(MapLayerFile, UntiledLayerReadsBodyOnceAndIgnoresCell) {
    // Kind 2, untiled: one line of two absolute points.
    LayerBytes b = LayerHeader(2, 0, 10, 20, 30, 40, 0, 0, 0, 0, 0, 0);
    b.i32(10).i32(20).i32(30).i32(40).u16(2).i32(10).i32(20).i32(30).i32(40);
    std::string file = Finish(b);
    TempRoot root;
    root.MakeFile("Map/U.MDC", file);
    CMapLayerFile layer;
    ASSERT_EQ(layer.Open(u"Map\\", u"U.MDC"), 1);
    ASSERT_EQ(layer.LoadCell(77), 1);
    EXPECT_EQ(BlockOf(layer), file.substr(50));
    ASSERT_EQ(layer.LoadCell(3), 1);
    ASSERT_EQ(layer.LoadCell(0), 1);
    EXPECT_EQ(layer.GetFileReadCount(), 1);
    EXPECT_EQ(layer.GetBlockSize(), file.size() - 50);

    CLayerRecordReader reader(layer.GetKind(), false, layer.GetBlock(), layer.GetBlockSize());
    LayerRecord r;
    ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(r.points, (std::vector<LayerPoint>{{10, 20}, {30, 40}}));
    EXPECT_FALSE(reader.Next(r));
    EXPECT_FALSE(reader.Truncated());
}

TEST(MapLayerFile, PathRuleAndReopenKeepHeader) {
    EXPECT_EQ(CMapLayerFile::BuildPath(u"", u"A.MDC"), CString(u"A.MDC"));
    EXPECT_EQ(CMapLayerFile::BuildPath(u"\\MapData\\", u"A.MDC"), CString(u"\\MapData\\A.MDC"));
    EXPECT_EQ(CMapLayerFile::BuildPath(u"\\MapData", u"POINT\\A.MDC"), CString(u"\\MapData\\POINT\\A.MDC"));

    TempRoot root;
    root.MakeFile("Card1/POINT/P.MDC", TenCellLayer());
    root.MakeFile("Card2/POINT/P.MDC", TenCellLayer());
    CMapLayerFile layer;
    ASSERT_EQ(layer.Open(u"\\Card1", u"POINT\\P.MDC"), 1);
    ASSERT_EQ(layer.LoadCell(2), 1);
    EXPECT_FALSE(layer.Reopen(u"\\Nowhere"));
    EXPECT_TRUE(layer.Reopen(u"\\Card2"));
    EXPECT_EQ(layer.GetHeader().columns, 2);
    ASSERT_EQ(layer.LoadCell(5), 1);
    ASSERT_EQ(layer.GetBlockSize(), 8u);
    EXPECT_EQ(layer.GetBlock()[0], 5);
    ASSERT_EQ(layer.LoadCell(2), 1); // still cached from before the reopen
    EXPECT_EQ(layer.GetFileReadCount(), 2);
}

TEST(MapLayerFile, FailedOpenForgetsThePreviousLayer) {
    TempRoot root;
    root.MakeFile("P.MDC", TenCellLayer());
    root.MakeFile("BAD.MDC", TenCellLayer().substr(0, 40));
    CMapLayerFile layer;
    ASSERT_EQ(layer.Open(u"", u"P.MDC"), 1);
    ASSERT_EQ(layer.LoadCell(4), 1);
    EXPECT_EQ(layer.Open(u"", u"BAD.MDC"), 0);
    EXPECT_TRUE(layer.GetName().IsEmpty());
    EXPECT_EQ(layer.GetKind(), 0);
    EXPECT_EQ(layer.GetBlock(), nullptr);
    EXPECT_EQ(layer.GetCurrentCell(), -1);
    ASSERT_EQ(layer.LoadCell(4), 1); // nothing open: an empty untiled body, no crash
    EXPECT_EQ(layer.GetBlockSize(), 0u);
}

TEST(MapLayerFile, StyleSettersAndBorderSwitch) {
    CMapLayerFile layer;
    EXPECT_EQ(layer.GetColor(), 0u);
    EXPECT_EQ(layer.GetPenWidth(), 0);
    layer.SetColor(RGB(1, 2, 3));
    layer.SetPenWidth(5);
    layer.SetBorderColor(RGB(9, 8, 7));
    EXPECT_EQ(layer.GetColor(), RGB(1, 2, 3));
    EXPECT_EQ(layer.GetPenWidth(), 5);
    EXPECT_EQ(layer.GetBorderColor(), RGB(9, 8, 7));
    for (int value : {1, 2, 0, -1, 257}) {
        layer.SetBorder(value);
        EXPECT_EQ(layer.GetBorder(), value == 1 ? 1 : 0) << value;
    }
}

// ---------------------------------------------------------------------------------------------
// Corrupt layers: each either fails to open or yields empty cells / no garbage records.

namespace {

struct CorruptCase {
    const char* name;
    std::string bytes;
    bool opens;
    // For layers that open: cells to load and the records expected from each (-1: any count,
    // only that it is decoded safely).
    std::vector<std::pair<std::int32_t, int>> cells;
};

std::string OneCell(unsigned kind, const LayerBytes& block, std::uint32_t offsetOverride = 0) {
    LayerBytes b = LayerHeader(kind, 1, 0, 0, 100, 100, 1, 1, 100, 100, 0, 0);
    b.u32(offsetOverride ? offsetOverride : 54);
    b.s += block.s;
    return Finish(b);
}

std::vector<CorruptCase> CorruptCases() {
    std::vector<CorruptCase> cases;
    {
        std::string s = TenCellLayer();
        cases.push_back({"short header", s.substr(0, 30), false, {}});
        cases.push_back({"size word not the length", s + "xx", false, {}});
        cases.push_back({"short table", s.substr(0, 70), false, {}});
    }
    cases.push_back({"zero columns", Finish(LayerHeader(4, 1, 0, 0, 1, 1, 0, 5, 100, 100, 0, 0)), false, {}});
    cases.push_back({"zero rows", Finish(LayerHeader(4, 1, 0, 0, 1, 1, 5, 0, 100, 100, 0, 0)), false, {}});
    {
        LayerBytes b = LayerHeader(4, 1, 0, 0, 1, 1, 1, 1, 0, 100, 0, 0);
        b.u32(0);
        cases.push_back({"zero cell width", Finish(b), false, {}});
        LayerBytes c = LayerHeader(4, 1, 0, 0, 1, 1, 1, 1, 100, 0, 0, 0);
        c.u32(0);
        cases.push_back({"zero cell height", Finish(c), false, {}});
    }
    cases.push_back(
        {"huge grid, no table", Finish(LayerHeader(4, 1, 0, 0, 1, 1, 65535, 65535, 1, 1, 0, 0)), false, {}});
    {
        LayerBytes rec;
        rec.u8(1).u8(0).u16(1).i16(0).i16(0);
        cases.push_back({"offset past the end", OneCell(4, rec, 5000), true, {{0, 0}}});
    }
    {
        // Cell 0 starts at 100, cell 1 at 62: its end comes before its start.
        LayerBytes b = LayerHeader(4, 1, 0, 0, 100, 100, 1, 2, 100, 100, 0, 0);
        b.u32(100).u32(62);
        for (int i = 0; i < 6; ++i) b.u8(1).u8(0).u16(1).i16(0).i16(0);
        cases.push_back({"end before start", Finish(b), true, {{0, 0}, {1, 5}}});
    }
    {
        LayerBytes rec;
        rec.i16(0).i16(0).i16(9).i16(9).u16(1000).i16(1).i16(1).i16(2).i16(2);
        cases.push_back({"point count past the block", OneCell(2, rec), true, {{0, 0}}});
    }
    {
        LayerBytes rec;
        rec.u16(3).i16(0).i16(0).i16(9).i16(9).u16(0x7fff).i16(1).i16(1);
        cases.push_back({"traffic link count past the block", OneCell(8, rec), true, {{0, 0}}});
    }
    {
        // Kind 7: three points, runs {-1, 1}, {2, 1}, {0, 4}, {0, 3}: only the last is sound.
        LayerBytes rec;
        rec.i16(0).i16(0).i16(9).i16(9).u16(3).i16(0).i16(0).i16(9).i16(0).i16(9).i16(9);
        rec.i16(4).i16(-1).i16(1).i16(2).i16(1).i16(0).i16(4).i16(0).i16(3);
        cases.push_back({"negative run", OneCell(7, rec), true, {{0, 1}}});
    }
    {
        LayerBytes rec;
        rec.i16(0).i16(0).i16(9).i16(9).u16(1).i16(0).i16(0).i16(-3);
        cases.push_back({"negative run count", OneCell(7, rec), true, {{0, 0}}});
    }
    {
        LayerBytes rec;
        rec.u8(1).u8(0).u8(0).u16(1).i16(0).i16(0).u8(0).u8(0).text("ABC", 10);
        cases.push_back({"label cut short", OneCell(1, rec), true, {{0, 0}}});
    }
    return cases;
}

} // namespace

TEST(MapLayerFile, CorruptLayersFailOrGiveEmptyCells) {
    for (const CorruptCase& c : CorruptCases()) {
        SCOPED_TRACE(c.name);
        TempRoot root;
        root.MakeFile("X.MDC", c.bytes);
        CMapLayerFile layer;
        ASSERT_EQ(layer.Open(u"", u"X.MDC"), c.opens ? 1 : 0);
        if (!c.opens) {
            EXPECT_TRUE(layer.GetName().IsEmpty());
            EXPECT_FALSE(layer.IsOpen());
            continue;
        }
        for (auto [cell, expected] : c.cells) {
            ASSERT_EQ(layer.LoadCell(cell), 1);
            std::int32_t ox = 0, oy = 0;
            layer.GetCellOrigin(cell, ox, oy);
            CLayerRecordReader reader(layer.GetKind(), true, layer.GetBlock(), layer.GetBlockSize(), ox, oy);
            LayerRecord r;
            int count = 0;
            while (reader.Next(r)) {
                ++count;
                for (const EdgeRun& run : r.runs) {
                    EXPECT_GE(run.first, 0);
                    EXPECT_LE(run.first, run.last);
                    EXPECT_LE(run.last, static_cast<int>(r.points.size()));
                }
            }
            EXPECT_EQ(count, expected) << "cell " << cell;
        }
    }
}
