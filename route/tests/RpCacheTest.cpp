#include "route/RpCache.h"

#include "route/tests/NetTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<std::uint8_t[]> Block(std::size_t n, std::uint8_t fill = 0) {
    auto b = std::make_unique<std::uint8_t[]>(n);
    std::fill(b.get(), b.get() + n, fill);
    return b;
}

TEST(CacheHeaderTest, EvictsTheMapLoadedLongestAgo) {
    CacheHeader h;
    ASSERT_EQ(h.Init(1000, 4, 5), 1);
    ASSERT_EQ(h.Insert(1, Block(600), 600, 0, 3), 1);
    ASSERT_EQ(h.Insert(2, Block(600), 600, 0, 3), 1);
    EXPECT_FALSE(h.Holds(1));
    EXPECT_TRUE(h.Holds(2));
    EXPECT_EQ(h.BytesInUse(), 600);
}

TEST(CacheHeaderTest, ReadsDoNotMoveAMapInTheEvictionOrder) {
    CacheHeader h;
    ASSERT_EQ(h.Init(1000, 4, 5), 1);
    ASSERT_EQ(h.Insert(1, Block(300), 300, 0, 3), 1);
    ASSERT_EQ(h.Insert(2, Block(300), 300, 0, 3), 1);
    EXPECT_EQ(h.Lookup(1, 0, 3), 1);
    ASSERT_EQ(h.Insert(3, Block(500), 500, 0, 3), 1);
    EXPECT_FALSE(h.Holds(1));
    EXPECT_TRUE(h.Holds(2));
    EXPECT_EQ(h.BytesInUse(), 800);
}

TEST(CacheHeaderTest, RefusedInsertsLeaveTheCacheAsItWas) {
    CacheHeader h;
    ASSERT_EQ(h.Init(1000, 4, 5), 1);
    ASSERT_EQ(h.Insert(2, Block(600, 7), 600, 1, 3), 1);
    // Larger than the whole budget: nothing is evicted.
    EXPECT_EQ(h.Insert(3, Block(1200), 1200, 0, 3), 0);
    EXPECT_TRUE(h.Holds(2));
    // The same (map, kind) again: refused, the first block stays, nothing evicted for it.
    EXPECT_EQ(h.Insert(2, Block(500, 9), 500, 1, 3), 0);
    ASSERT_NE(h.Block(2, 1), nullptr);
    EXPECT_EQ(h.Block(2, 1)[0], 7);
    EXPECT_EQ(h.BytesInUse(), 600);
    // Bad map or kind numbers.
    EXPECT_EQ(h.Insert(4, Block(10), 10, 0, 3), 0); // 4 is the sentinel
    EXPECT_EQ(h.Insert(1, Block(10), 10, 5, 3), 0);
    EXPECT_EQ(h.Evict(4), 0);
}

TEST(CacheHeaderTest, AnUnknownKindIsLogged) {
    NetRoot root;
    CacheHeader h;
    ASSERT_EQ(h.Init(1000, 4, 5), 1);
    EXPECT_EQ(h.Lookup(0, 5, 3), 0);
    EXPECT_TRUE(root.Logged("VelkoCacheHeader("));
    EXPECT_TRUE(root.Logged(") Overflow DataNum"));
}

class RpCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        root.Write(handnet::Files());
        ASSERT_EQ(reader.Open(3, NetRoot::Folder()), 1);
        ASSERT_EQ(cache.Init(RpCache::kDefaultBudget, reader.MapCount(), RpCache::kKindCount, &reader), 1);
    }
    NetRoot root;
    MRReader reader;
    RpCache cache;
};

TEST_F(RpCacheTest, RecordsBeyondTheLevelOrTheMap) {
    // Map 0 has link counts 1, 2, 3, 4 for levels 0-3.
    std::uint8_t link[28];
    EXPECT_EQ(cache.ReadLink(link, 0, 1, 1), 1);
    EXPECT_EQ(cache.ReadLink(link, 0, 2, 1), 2); // exists, not at level 1
    EXPECT_EQ(cache.ReadLink(link, 0, 5, 1), 0);
    EXPECT_TRUE(root.Logged("VelkoRpCache("));
    EXPECT_TRUE(root.Logged("Mapid(0) link(5) read error"));
    std::uint8_t node[8];
    EXPECT_EQ(cache.ReadNode(node, 0, 3, 1), 2); // node counts 2, 3, 4, 4
    EXPECT_EQ(cache.ReadNode(node, 0, 4, 3), 0);
    EXPECT_TRUE(root.Logged("Mapid(0) node(4) read error"));
    EXPECT_EQ(cache.ReadLink(link, 7, 0, 3), 0);
}

TEST_F(RpCacheTest, AMapCachedForALowerLevelIsReloadedForAHigherOne) {
    std::uint8_t link[28];
    ASSERT_EQ(cache.ReadLink(link, 0, 0, 1), 1);
    EXPECT_EQ(cache.Header().BlockSize(0, RpCache::kLinks), 2 * 28);
    ASSERT_EQ(cache.ReadLink(link, 0, 3, 3), 1);
    EXPECT_EQ(cache.Header().BlockSize(0, RpCache::kLinks), 4 * 28);
    EXPECT_EQ(mrformat::LinkStartNode(link), 2);
    // Cached for level 3, it serves a level-1 read.
    EXPECT_EQ(cache.ReadLink(link, 0, 1, 1), 1);
    EXPECT_EQ(cache.Header().BlockSize(0, RpCache::kLinks), 4 * 28);
}

TEST_F(RpCacheTest, ABlockOfAnotherKindLoadedForALowerLevelIsNotTakenForAHigherOne) {
    std::uint8_t node[8], link[28];
    ASSERT_EQ(cache.ReadNode(node, 0, 0, 0), 1); // nodes cached for level 0 (2 nodes)
    ASSERT_EQ(cache.ReadLink(link, 0, 3, 3), 1); // links for level 3
    EXPECT_EQ(cache.ReadNode(node, 0, 3, 3), 1); // node 3 exists at level 3
    EXPECT_EQ(mrformat::U16(node), 1000);
}

TEST_F(RpCacheTest, AnEnabledByteOfZeroReadsTheRecordDirectly) {
    cache.SetEnabled(RpCache::kLinks, 0);
    std::uint8_t link[28];
    ASSERT_EQ(cache.ReadLink(link, 0, 3, 1), 1); // beyond level 1, read from the file anyway
    EXPECT_EQ(mrformat::LinkStartNode(link), 2);
    EXPECT_FALSE(cache.Header().Holds(0));
    EXPECT_EQ(cache.Header().BytesInUse(), 0);
    cache.EnableAll();
    ASSERT_EQ(cache.ReadLink(link, 0, 3, 3), 1);
    EXPECT_TRUE(cache.Header().Holds(0));
}

TEST_F(RpCacheTest, JunctionsBoundaryNodesAndGuideTables) {
    MRCrossNode j;
    ASSERT_EQ(cache.ReadCross(j, 0, 0x03000000u, 3), 1);
    EXPECT_EQ(j.count, 3);
    // Loaded for level 0, the block ends at 27 bytes: n2's record (27..38) lies beyond it.
    cache.Header().Clear(true);
    EXPECT_EQ(cache.ReadCross(j, 0, 0x02000000u | 27, 0), 2);
    EXPECT_EQ(cache.Header().BlockSize(0, RpCache::kJunctions), 27);
    // More than eight links: a failed read, never an overflow of the junction.
    EXPECT_EQ(cache.ReadCross(j, 0, 0x09000000u, 3), 0);
    EXPECT_EQ(cache.ReadCross(j, 0, 0x7F000000u, 3), 0);
    EXPECT_EQ(cache.ReadCross(j, 0, 0x81000000u, 3), 0);

    std::uint8_t ex[6];
    ASSERT_EQ(cache.ReadExNode(ex, 1, 0x81000000u, 3), 1);
    EXPECT_EQ(mrformat::U16(ex), 0xC000);
    EXPECT_EQ(mrformat::U16(ex + 2), 3);
    EXPECT_EQ(cache.ReadExNode(ex, 1, 0x81000000u | 1, 3), 0);

    MRCrossNode n1;
    ASSERT_EQ(cache.ReadCross(n1, 0, 0x02000000u | 15, 3), 1);
    std::uint8_t g[4];
    ASSERT_EQ(cache.ReadGuide(g, sizeof g, 0, 2, n1, 3), 1);
    EXPECT_EQ(g[1], 13);
    MRCrossNode n2;
    ASSERT_EQ(cache.ReadCross(n2, 0, 0x02000000u | 27, 3), 1);
    // n2's table (13..16) lies beyond level 0's guide block (13 bytes).
    cache.Header().Clear(true);
    EXPECT_EQ(cache.ReadGuide(g, sizeof g, 0, 2, n2, 0), 2);
    EXPECT_EQ(cache.ReadGuide(g, 3, 0, 2, n2, 3), 0); // does not fit the buffer
}

TEST_F(RpCacheTest, TheInMemoryBoundaryCopyIsBounded) {
    auto files = handnet::Files();
    const handnet::Bytes& ex = files["MRNeighb.bin"];
    cache.SetExternalExNodes(ex.data(), static_cast<std::int64_t>(ex.size()));
    std::uint8_t rec[6];
    ASSERT_EQ(cache.ReadExNode(rec, 1, 0x81000000u, 3), 1);
    EXPECT_EQ(mrformat::U16(rec + 4), 2);
    cache.SetExternalExNodes(ex.data(), 8); // a copy shorter than map 1's record
    EXPECT_EQ(cache.ReadExNode(rec, 1, 0x81000000u, 3), 0);
}

TEST_F(RpCacheTest, BlockSizesAreCheckedBeforeAnythingIsAllocated) {
    struct Case {
        const char* what;
        int field;
        std::uint32_t value;
        int width;
        int kind;
    };
    const Case cases[] = {
        {"junction size of 0x7FFFFFFF", 84 + 12, 0x7FFFFFFF, 4, RpCache::kJunctions},
        {"guide size past the file", 100 + 12, 4000, 4, RpCache::kGuides},
        {"level link count above the map's", 68 + 6, 30000, 2, RpCache::kLinks},
        {"negative node count", 76 + 6, 0x8000, 2, RpCache::kNodes},
        {"link block offset past the file", 56, 0xFFFFFFF0u, 4, RpCache::kLinks},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(root.MrData());
        auto files = handnet::Files();
        if (c.width == 4)
            handnet::PutU32(files["MRManage.bin"], handnet::MapField(0, c.field), c.value);
        else
            handnet::PutU16(files["MRManage.bin"], handnet::MapField(0, c.field), c.value);
        root.Write(files);
        MRReader r;
        ASSERT_EQ(r.Open(3, NetRoot::Folder()), 1);
        RpCache k;
        ASSERT_EQ(k.Init(RpCache::kDefaultBudget, r.MapCount(), RpCache::kKindCount, &r), 1);
        EXPECT_EQ(k.LoadBlock(0, c.kind, 3), 0);
        EXPECT_EQ(k.Header().BytesInUse(), 0);
        EXPECT_FALSE(k.Header().Holds(0));
    }
}

} // namespace

TEST_F(RpCacheTest, ReleasingASearchTurnsItsSwitchesBackOnAndKeepsTheBlocks) {
    std::uint8_t rec[mrformat::kLinkSize];
    ASSERT_EQ(cache.ReadLink(rec, 0, 0, 3), 1);
    const std::int64_t held = cache.Header().BytesInUse();
    ASSERT_GT(held, 0);
    cache.SetEnabled(RpCache::kGuides, 0);
    cache.SetEnabled(RpCache::kNodes, 0);
    EXPECT_EQ(cache.ReleaseSearch(), 1);
    for (int k = 0; k < RpCache::kKindCount; ++k) EXPECT_EQ(cache.Enabled(k), 1) << k;
    EXPECT_EQ(cache.Header().BytesInUse(), held);

    RpCache unready;
    EXPECT_EQ(unready.ReleaseSearch(), 0);
    cache.Free();
    EXPECT_EQ(cache.ReleaseSearch(), 0);
}
