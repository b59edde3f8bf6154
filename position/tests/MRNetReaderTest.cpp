#include "position/MRNetReader.h"

#include "route/tests/NetTestSupport.h"
#include "tools/mkdevice/DeviceBuilder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class MRNetReaderHandTest : public ::testing::Test {
protected:
    void SetUp() override { root.Write(handnet::Files()); }
    NetRoot root;
    CMRNetReader reader;
};

TEST_F(MRNetReaderHandTest, OpensTheEightFilesAndReadsRecords) {
    ASSERT_TRUE(reader.Open(NetRoot::Folder()));
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.MapCount(), 2);
    MRMapRecord r;
    EXPECT_EQ(reader.GetMapRecord(2, r), 0); // the id equal to the count
    EXPECT_EQ(reader.GetMapRecord(-1, r), 0);
    ASSERT_EQ(reader.GetMapRecord(1, r), 1);
    EXPECT_EQ(r.linkOffset, 112u);

    std::uint8_t link[28];
    ASSERT_TRUE(reader.GetLink(1, 0, link));
    EXPECT_EQ(mrformat::U16(link + 8), 111);
    EXPECT_FALSE(reader.GetLink(1, 1, link)); // beyond map 1's link count

    MRCrossNode j;
    ASSERT_TRUE(reader.GetNodeJunction(0, 1, 2, j));
    EXPECT_EQ(j.links[1], 3); // flag bits 13-15 masked away
    EXPECT_FALSE(reader.GetNodeJunction(0, 1, 9, j));
    EXPECT_FALSE(reader.GetNodeJunction(0, 3, 1, j)); // a pass-through node

    std::uint8_t ex[6];
    ASSERT_TRUE(reader.GetNodeNeighbour(1, 0, ex));
    EXPECT_EQ(mrformat::U16(ex), 0xC000);
    EXPECT_EQ(mrformat::U16(ex + 4), 2);
    EXPECT_FALSE(reader.GetNodeNeighbour(0, 0, ex)); // a junction node has no boundary record

    std::uint16_t x1, y1, x2, y2;
    ASSERT_TRUE(reader.GetSegment(0, 0, 0, x1, y1, x2, y2));
    EXPECT_EQ(x1, 100);
    EXPECT_EQ(x2, 300); // the shape point
    ASSERT_TRUE(reader.GetSegment(0, 0, 1, x1, y1, x2, y2));
    EXPECT_EQ(x1, 300);
    EXPECT_EQ(x2, 500); // the end node
    EXPECT_FALSE(reader.GetSegment(0, 0, 2, x1, y1, x2, y2));

    char name[22];
    ASSERT_TRUE(reader.ReadCrossName(0, 21, name, sizeof name));
    EXPECT_STREQ(name, "ABCDEFGHIJKLMNOPQRSTU");
    EXPECT_FALSE(reader.ReadCrossName(21, 22, name, sizeof name)); // 22 bytes and the terminator do not fit
    EXPECT_FALSE(reader.ReadCrossName(40, 5, name, sizeof name));  // past the end of the file
    EXPECT_EQ(reader.Close(), -1);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(reader.GetLink(1, 0, link));
}

TEST_F(MRNetReaderHandTest, WithAFileMissingTheOpenKeepsItsResultButIsOpenTellsTheTruth) {
    std::filesystem::remove(root.MrData() / "MRGuide.bin");
    EXPECT_TRUE(reader.Open(NetRoot::Folder()));
    EXPECT_FALSE(reader.IsOpen());
    std::filesystem::remove(root.MrData() / "MRManage.bin");
    EXPECT_FALSE(reader.Open(NetRoot::Folder()));
    EXPECT_FALSE(reader.Locate(45000500, 11910500));
}

TEST_F(MRNetReaderHandTest, MemoryImagesAnswerLikeTheFiles) {
    auto files = handnet::Files();
    ASSERT_TRUE(reader.Open(NetRoot::Folder()));
    std::uint8_t fileNode[8], fileLink[28];
    MRCrossNode fileJunction;
    ASSERT_TRUE(reader.GetNode(0, 2, fileNode));
    ASSERT_TRUE(reader.GetLink(0, 3, fileLink));
    ASSERT_TRUE(reader.GetNodeJunction(0, 0, 3, fileJunction));

    const auto& n = files["MRNode.bin"];
    const auto& l = files["MRLink.bin"];
    const auto& c = files["MRCross.bin"];
    reader.SetMemoryCopies(n.data(), n.size(), l.data(), l.size(), c.data(), c.size());
    std::uint8_t memNode[8], memLink[28];
    MRCrossNode memJunction;
    ASSERT_TRUE(reader.GetNode(0, 2, memNode));
    ASSERT_TRUE(reader.GetLink(0, 3, memLink));
    ASSERT_TRUE(reader.GetNodeJunction(0, 0, 3, memJunction));
    EXPECT_EQ(0, std::memcmp(fileNode, memNode, 8));
    EXPECT_EQ(0, std::memcmp(fileLink, memLink, 28));
    EXPECT_EQ(fileJunction.head, memJunction.head);
    EXPECT_EQ(0, std::memcmp(fileJunction.links, memJunction.links, sizeof fileJunction.links));
    EXPECT_EQ(0, std::memcmp(fileJunction.turns, memJunction.turns, sizeof fileJunction.turns));
    EXPECT_EQ(fileJunction.guideOffset, memJunction.guideOffset);

    // Reads are bounded by the images' sizes.
    reader.SetMemoryCopies(n.data(), 20, l.data(), 28 * 3, c.data(), 14);
    EXPECT_FALSE(reader.GetNode(0, 2, memNode));
    EXPECT_FALSE(reader.GetLink(0, 3, memLink));
    EXPECT_FALSE(reader.GetNodeJunction(0, 0, 3, memJunction));
    EXPECT_FALSE(reader.ReadLinks(0, 4, std::vector<std::uint8_t>(28 * 4).data(), 28 * 4));
    std::vector<std::uint8_t> small(28);
    EXPECT_FALSE(reader.ReadLinks(0, 2, small.data(), small.size())); // the caller's buffer is too small
    reader.SetMemoryCopies(nullptr, 0, nullptr, 0, nullptr, 0);
    EXPECT_TRUE(reader.GetLink(0, 3, memLink));
}

TEST_F(MRNetReaderHandTest, FindMapGivesAPointOnTheEastEdgeToTheEasternMap) {
    ASSERT_TRUE(reader.Open(NetRoot::Folder()));
    EXPECT_EQ(reader.FindMap(45000999, 11910500), 0);
    EXPECT_EQ(reader.FindMap(45001000, 11910500), 1);
    EXPECT_EQ(reader.FindMap(45002000, 11910500), -1);
    EXPECT_EQ(reader.FindMap(45000500, 11911000), -1);
}

// The grid3x3 fixture: nine sheets numbered column by column, south to north:
//   2 5 8
//   1 4 7
//   0 3 6
// sheet (col, row) spans x 45720000 + 36000 col .. + 36000, y 13470000 + 30000 row .. + 30000.
class MRNetReaderGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        mkdev::DeviceOptions o;
        o.outDir = root.Dir().string();
        o.network = "fixture:grid3x3";
        o.quiet = true;
        mkdev::BuildDevice(o);
        ASSERT_TRUE(reader.Open(u"\\Storage Card\\MapData"));
        ASSERT_TRUE(reader.IsOpen());
        ASSERT_EQ(reader.MapCount(), 9);
    }
    static std::int32_t X(int col, int part) { return 45720000 + 36000 * col + part; }
    static std::int32_t Y(int row, int part) { return 13470000 + 30000 * row + part; }
    std::vector<int> Window() const {
        std::vector<int> ids;
        for (int s = 0; s < 9; ++s) ids.push_back(reader.WindowMapId(s));
        return ids;
    }
    NetRoot root;
    CMRNetReader reader;
};

TEST_F(MRNetReaderGridTest, FindMapUsesTheBinarySearchAtAnEastEdge) {
    // On the east edge of sheet 1 (column 0, row 1): sheet 4. The binary search looks at 4
    // first; a scan from 0 would have to read five records.
    long before = reader.RecordReads();
    EXPECT_EQ(reader.FindMap(X(1, 0), Y(1, 15000)), 4);
    EXPECT_LE(reader.RecordReads() - before, 1);
    before = reader.RecordReads();
    EXPECT_EQ(reader.FindMap(X(2, 0), Y(2, 29999)), 8);
    EXPECT_LE(reader.RecordReads() - before, 4);
    before = reader.RecordReads();
    EXPECT_EQ(reader.FindMap(X(1, 35999), Y(0, 0)), 3);
    EXPECT_LE(reader.RecordReads() - before, 4);
    EXPECT_EQ(reader.FindMap(X(3, 0), Y(1, 0)), -1);
}

TEST_F(MRNetReaderGridTest, OpeningAnotherNetworkEmptiesTheWindow) {
    ASSERT_TRUE(reader.Locate(X(1, 1000), Y(1, 1000)));
    ASSERT_EQ(reader.WindowMapId(0), 0);
    // The two-map network: its map 0 starts at the hand network's west edge, not at the grid's.
    root.Write(handnet::Files());
    ASSERT_TRUE(reader.Open(NetRoot::Folder()));
    for (int s = 0; s < 9; ++s) EXPECT_EQ(reader.WindowMapId(s), -1) << s;
    EXPECT_EQ(reader.Quadrant(), -1);
    MRMapRecord map;
    ASSERT_TRUE(reader.GetMapRecord(0, map));
    EXPECT_EQ(map.west, handnet::kWest0);
    EXPECT_EQ(map.neighbours[5], 1);
}

TEST_F(MRNetReaderGridTest, LocateFillsTheSlotsOfTheQuadrantAndSlides) {
    // South-west quadrant of the centre sheet: slots 0, 1, 3 take the centre's neighbours.
    ASSERT_TRUE(reader.Locate(X(1, 1000), Y(1, 1000)));
    EXPECT_EQ(reader.Quadrant(), 0);
    EXPECT_EQ(Window(), (std::vector<int>{0, 3, -1, 1, 4, -1, -1, -1, -1}));

    // A point in slot 0's sheet, north-east quadrant: sheet 0 moves to the centre, the old
    // centre to slot 8; slots 5, 7, 8 are filled from sheet 0's neighbours.
    long before = reader.RecordReads();
    ASSERT_TRUE(reader.Locate(X(0, 30000), Y(0, 25000)));
    EXPECT_EQ(reader.Quadrant(), 3);
    EXPECT_EQ(Window(), (std::vector<int>{-1, -1, -1, -1, 0, 3, -1, 1, 4}));
    EXPECT_EQ(reader.RecordReads(), before); // every record came from the window

    // North-west quadrant of sheet 0: slots 3, 6, 7; sheet 0 has no western neighbours.
    ASSERT_TRUE(reader.Locate(X(0, 100), Y(0, 29000)));
    EXPECT_EQ(reader.Quadrant(), 2);
    EXPECT_EQ(Window(), (std::vector<int>{-1, -1, -1, -1, 0, 3, -1, 1, 4}));

    // A point outside every window slot: the window is rebuilt around sheet 8.
    ASSERT_TRUE(reader.Locate(X(2, 20000), Y(2, 20000)));
    EXPECT_EQ(reader.Quadrant(), 3);
    EXPECT_EQ(Window(), (std::vector<int>{-1, -1, -1, -1, 8, -1, -1, -1, -1}));
    MRMapRecord centre;
    ASSERT_TRUE(reader.GetWindowRecord(4, centre));
    EXPECT_EQ(centre.west, X(2, 0));

    EXPECT_FALSE(reader.Locate(X(5, 0), Y(1, 0)));
}

TEST(MRNetReaderCorrupt, LocateOnAMapWithHugeCornersWorksOutTheQuadrantWithoutOverflow) {
    // The second map's box lies at the top of the 32-bit range: west + east would overflow.
    auto files = handnet::Files();
    auto& manage = files["MRManage.bin"];
    handnet::PutU32(manage, handnet::MapField(1, 24), 2000000000u);
    handnet::PutU32(manage, handnet::MapField(1, 28), 2000000000u);
    handnet::PutU32(manage, handnet::MapField(1, 32), 2100000000u);
    handnet::PutU32(manage, handnet::MapField(1, 36), 2100000000u);
    NetRoot root;
    root.Write(files);
    CMRNetReader reader;
    ASSERT_TRUE(reader.Open(NetRoot::Folder()));
    // The middle is (2050000000, 2050000000): east of it and south of it is quadrant 1.
    ASSERT_TRUE(reader.Locate(2060000000, 2040000000));
    EXPECT_EQ(reader.WindowMapId(4), 1);
    EXPECT_EQ(reader.Quadrant(), 1);
    ASSERT_TRUE(reader.Locate(2040000000, 2060000000));
    EXPECT_EQ(reader.Quadrant(), 2);
}

} // namespace
