#include "mapview/LayerRecords.h"
#include "mapview/tests/LayerBytes.h"

#include <gtest/gtest.h>

namespace {

std::vector<LayerRecord> ReadAll(int kind, bool tiled, const LayerBytes& b, std::int32_t ox = 0,
                                 std::int32_t oy = 0, bool* truncated = nullptr) {
    CLayerRecordReader reader(kind, tiled, reinterpret_cast<const std::uint8_t*>(b.s.data()),
                              static_cast<std::uint32_t>(b.s.size()), ox, oy);
    std::vector<LayerRecord> out;
    LayerRecord r;
    while (reader.Next(r)) out.push_back(r);
    if (truncated) *truncated = reader.Truncated();
    return out;
}

} // namespace

TEST(LayerRecords, TiledLabelAddsCellOriginAndBoundsText) {
    LayerBytes b;
    // Text field full (21 bytes, no NUL): the text stops at the field's end.
    b.u8(7).u8(1).u8(3).u16(0x0104).i16(-5).i16(300).u8(0xfe).u8(4).text("ABCDEFGHIJKLMNOPQRSTU", 21);
    b.u8(8).u8(0).u8(0).u16(0x8000).i16(1).i16(2).u8(0).u8(0).text("\xC7\xD1", 21);
    ASSERT_EQ(b.size(), 64u);
    auto recs = ReadAll(1, true, b, 12000, 20000);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].symbol, 7);
    EXPECT_EQ(recs[0].symbolSource, 1);
    EXPECT_EQ(recs[0].boxStyle, 3);
    EXPECT_EQ(recs[0].mask, 0x0104);
    EXPECT_EQ(recs[0].at, (LayerPoint{11995, 20300}));
    EXPECT_EQ(recs[0].textDx, -2);
    EXPECT_EQ(recs[0].textDy, 4);
    EXPECT_EQ(recs[0].text, "ABCDEFGHIJKLMNOPQRSTU");
    EXPECT_EQ(recs[1].text, "\xC7\xD1"); // CP949 bytes as stored
    EXPECT_EQ(recs[1].at, (LayerPoint{12001, 20002}));
}

TEST(LayerRecords, UntiledLabelUsesAbsoluteCoordinates) {
    LayerBytes b;
    b.u8(2).u8(0).u8(0).u16(0xffff).i32(-70000).i32(123456).u8(3).u8(0xfd).text("TOWN", 21);
    ASSERT_EQ(b.size(), 36u);
    auto recs = ReadAll(6, false, b, 999, 999);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].at, (LayerPoint{-70000, 123456}));
    EXPECT_EQ(recs[0].textDx, 3);
    EXPECT_EQ(recs[0].textDy, -3);
    EXPECT_EQ(recs[0].text, "TOWN");
}

TEST(LayerRecords, LinesAndAreasTiledAndUntiled) {
    LayerBytes t;
    t.i16(0).i16(-1).i16(10).i16(5).u16(3).i16(0).i16(-1).i16(10).i16(5).i16(4).i16(4);
    t.i16(1).i16(1).i16(1).i16(1).u16(0); // a record without points is still a record
    auto tiled = ReadAll(2, true, t, 100, 200);
    ASSERT_EQ(tiled.size(), 2u);
    EXPECT_EQ(tiled[0].minX, 100);
    EXPECT_EQ(tiled[0].minY, 199);
    EXPECT_EQ(tiled[0].maxX, 110);
    EXPECT_EQ(tiled[0].maxY, 205);
    EXPECT_EQ(tiled[0].points, (std::vector<LayerPoint>{{100, 199}, {110, 205}, {104, 204}}));
    EXPECT_TRUE(tiled[1].points.empty());

    LayerBytes u;
    u.i32(-1).i32(-2).i32(100000).i32(200000).u16(2).i32(-1).i32(-2).i32(100000).i32(200000);
    auto untiled = ReadAll(3, false, u, 5, 5);
    ASSERT_EQ(untiled.size(), 1u);
    EXPECT_EQ(untiled[0].points, (std::vector<LayerPoint>{{-1, -2}, {100000, 200000}}));
    EXPECT_EQ(untiled[0].maxY, 200000);
}

TEST(LayerRecords, EdgeRunsKeepOnlySoundRuns) {
    LayerBytes b;
    b.i16(0).i16(0).i16(20).i16(20).u16(4).i16(0).i16(0).i16(20).i16(0).i16(20).i16(20).i16(0).i16(20);
    // runs: {0,2} sound, {2,4} wraps (last == n) and is sound, {3,2} backwards, {1,5} past n,
    // {-2,1} negative.
    b.i16(5).i16(0).i16(2).i16(2).i16(4).i16(3).i16(2).i16(1).i16(5).i16(-2).i16(1);
    // A second record follows: the runs' bytes are consumed whatever their validity.
    b.i16(0).i16(0).i16(0).i16(0).u16(0).i16(0);
    auto recs = ReadAll(7, true, b);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].runs, (std::vector<EdgeRun>{{0, 2}, {2, 4}}));
    EXPECT_EQ(recs[0].points.size(), 4u);
    EXPECT_TRUE(recs[1].runs.empty());
}

TEST(LayerRecords, PointSymbolTrafficLinkAndSymbolText) {
    LayerBytes p;
    p.u8(9).u8(0xaa).u16(0x0010).i16(-100).i16(250);
    auto points = ReadAll(4, true, p, 1000, 1000);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].symbol, 9);
    EXPECT_EQ(points[0].mask, 0x0010);
    EXPECT_EQ(points[0].at, (LayerPoint{900, 1250}));

    LayerBytes t;
    t.u16(4711).i16(0).i16(0).i16(30).i16(40).u16(0x8002).i16(0).i16(0).i16(30).i16(40);
    t.u8(0).u8(125).u8(0x83).u8(0).u8(125).u8(125); // (0,125), (-125,0), (125,125)
    auto links = ReadAll(8, true, t, 10, 20);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].linkIndex, 4711);
    EXPECT_TRUE(links[0].noTail);
    EXPECT_EQ(links[0].points, (std::vector<LayerPoint>{{10, 20}, {40, 60}}));
    ASSERT_EQ(links[0].directions.size(), 3u);
    EXPECT_EQ(links[0].directions[1].first, -125);
    EXPECT_EQ(links[0].directions[2].second, 125);

    LayerBytes s;
    s.u8(31).u8(2).u8(3).u16(0xffff).i16(5).i16(6).u8(0).u8(0).text("NAME-OF-TWENTY-BYTES", 20).u8(0x55);
    s.u32(123456789).text("SECOND", 20);
    ASSERT_EQ(s.size(), 56u);
    auto syms = ReadAll(13, true, s, 0, 0);
    ASSERT_EQ(syms.size(), 1u);
    EXPECT_EQ(syms[0].symbol, 31);
    EXPECT_EQ(syms[0].symbolSource, 2);
    EXPECT_EQ(syms[0].boxStyle, 3);
    EXPECT_EQ(syms[0].text, "NAME-OF-TWENTY-BYTES"); // bounded by its 20-byte field
    EXPECT_EQ(syms[0].number, 123456789u);
    EXPECT_EQ(syms[0].text2, "SECOND");
}

TEST(LayerRecords, WalkStopsAtRecordThatDoesNotFit) {
    struct Case {
        const char* name;
        int kind;
        bool tiled;
        LayerBytes bytes;
        std::size_t records;
    };
    LayerBytes full;
    full.u8(1).u8(0).u16(1).i16(0).i16(0);
    std::vector<Case> cases;
    {
        LayerBytes b = full;
        b.u8(1).u8(0).u16(1).i16(0); // 6 of 8 bytes
        cases.push_back({"point symbol cut short", 4, true, b, 1});
    }
    {
        LayerBytes b;
        b.i16(0).i16(0).i16(0).i16(0).u16(2).i16(0).i16(0).i16(0); // second point missing a word
        cases.push_back({"line points past the end", 2, true, b, 0});
    }
    {
        LayerBytes b;
        b.i16(0).i16(0).i16(0).i16(0).u16(0x8000); // count above 32767
        cases.push_back({"line count too large", 5, true, b, 0});
    }
    {
        LayerBytes b;
        b.i16(0).i16(0).i16(0).i16(0).u16(1).i16(0).i16(0).i16(2).i16(0).i16(1); // 2 runs, 1 present
        cases.push_back({"runs past the end", 7, true, b, 0});
    }
    {
        LayerBytes b;
        b.u16(1).i16(0).i16(0).i16(0).i16(0).u16(1).i16(0).i16(0).u8(0).u8(0).u8(0); // tail pair short
        cases.push_back({"traffic directions past the end", 8, true, b, 0});
    }
    {
        LayerBytes b;
        b.i32(0).i32(0).i32(0).i32(0).u16(1).i32(5); // untiled point missing y
        cases.push_back({"untiled point past the end", 2, false, b, 0});
    }
    cases.push_back({"kind without records", 10, true, full, 0});
    cases.push_back({"point symbol has no untiled form", 4, false, full, 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto recs = ReadAll(c.kind, c.tiled, c.bytes);
        EXPECT_EQ(recs.size(), c.records);
    }
    CLayerRecordReader empty(2, true, nullptr, 100);
    LayerRecord r;
    EXPECT_FALSE(empty.Next(r));
}

TEST(LayerRecords, CellOriginNearTheIntegerLimitDoesNotOverflow) {
    // A hostile header can put a cell's origin at the edge of the 32-bit range; adding a record's
    // offset must stay defined (the sum wraps like the origin itself) and the walk must go on.
    LayerBytes p;
    p.u8(9).u8(0).u16(0x0001).i16(10).i16(-10);
    p.u8(9).u8(0).u16(0x0001).i16(-10).i16(10);
    auto recs = ReadAll(4, true, p, 2147483642, -2147483643);
    ASSERT_EQ(recs.size(), 2u);
    // 2147483642 + 10 = 2^31 + 4 wraps to -2^31 + 4; -2147483643 - 10 = -2^31 - 5 wraps to 2^31 - 5.
    EXPECT_EQ(recs[0].at, (LayerPoint{-2147483644, 2147483643}));
    EXPECT_EQ(recs[1].at, (LayerPoint{2147483632, -2147483633}));
}
