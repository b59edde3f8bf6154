#include "route/RoadNameTable.h"

#include "route/tests/NetTestSupport.h"

#include "platform/base/Text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using handnet::Bytes;

struct NameEntry {
    int map, link;
    std::u16string name;
};

// Writes RoadNameIndex.bin (entries in the order given) and RoadNameTbl.bin (20-byte names).
void WriteNames(const NetRoot& root, const std::vector<NameEntry>& entries, std::uint32_t storedCount) {
    handnet::Out idx, tbl;
    idx.u32(storedCount);
    for (const NameEntry& e : entries) {
        idx.u16(static_cast<std::uint16_t>(e.map))
            .u16(static_cast<std::uint16_t>(e.link))
            .u32(static_cast<std::uint32_t>(tbl.b.size()));
        std::string cp = Utf16ToCp949(e.name);
        cp.resize(20, '\0');
        tbl.text(cp);
    }
    handnet::WriteFiles(root.MrData(), {{"RoadNameIndex.bin", idx.b}, {"RoadNameTbl.bin", tbl.b}});
}

std::u16string Wide(const char* cp949) {
    return Cp949ToUtf16(std::string_view(cp949, strnlen(cp949, 20)));
}

TEST(RoadNameTableTest, AOneEntryIndexFindsOnlyItsEntry) {
    NetRoot root;
    WriteNames(root, {{3, 7, u"중앙로"}}, 1);
    CRoadNameTable t;
    ASSERT_EQ(t.Load(NetRoot::Folder()), 1);
    std::uint32_t off = 99;
    EXPECT_TRUE(t.FindNameOffset(3, 7, off));
    EXPECT_EQ(off, 0u);
    for (auto [m, l] : {std::pair{3, 6}, {3, 8}, {2, 7}, {4, 7}, {-1, 7}})
        EXPECT_FALSE(t.FindNameOffset(m, l, off)) << m << "," << l;
}

TEST(RoadNameTableTest, TheSearchComparesSignedValues) {
    NetRoot root;
    // Sorted as signed 16-bit values: map -1 comes first.
    WriteNames(root,
               {{-1, 5, u"가"}, {0, -3, u"나"}, {0, 2, u"다"}, {0, 9, u"라"}, {1, 0, u"마"}, {300, 4, u"바"}},
               6);
    CRoadNameTable t;
    ASSERT_EQ(t.Load(NetRoot::Folder()), 1);
    const std::pair<int, int> keys[] = {{-1, 5}, {0, -3}, {0, 2}, {0, 9}, {1, 0}, {300, 4}};
    for (std::size_t i = 0; i < 6; ++i) {
        std::uint32_t off = 0;
        ASSERT_TRUE(t.FindNameOffset(keys[i].first, keys[i].second, off)) << i;
        EXPECT_EQ(off, 20u * i);
    }
    std::uint32_t off;
    EXPECT_FALSE(t.FindNameOffset(0, 3, off));
    // Ids are 16-bit keys: 65535 is the same map as -1.
    ASSERT_TRUE(t.FindNameOffset(65535, 5, off));
    EXPECT_EQ(off, 0u);
}

TEST(RoadNameTableTest, OverpassesAndUnderpassesAreNotOrdinaryButFillTheBuffer) {
    NetRoot root;
    WriteNames(root, {{0, 1, u"가람고가차도"}, {0, 2, u"역전지하차도"}, {0, 3, u"시청로"}}, 3);
    CRoadNameTable t;
    ASSERT_EQ(t.Load(NetRoot::Folder()), 1);
    char buf[20];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_FALSE(t.IsOrdinaryRoad(0, 1, buf));
    EXPECT_EQ(Wide(buf), u"가람고가차도");
    EXPECT_FALSE(t.IsOrdinaryRoad(0, 2, buf));
    EXPECT_EQ(Wide(buf), u"역전지하차도");
    EXPECT_TRUE(t.IsOrdinaryRoad(0, 3, buf));
    EXPECT_EQ(Wide(buf), u"시청로");
    std::memset(buf, 'x', sizeof buf);
    EXPECT_FALSE(t.IsOrdinaryRoad(0, 4, buf)); // not in the index: the buffer is untouched
    EXPECT_EQ(buf[0], 'x');
    EXPECT_TRUE(t.GetRoadName(0, 3, buf));
    EXPECT_EQ(Wide(buf), u"시청로");
    EXPECT_FALSE(t.GetRoadName(5, 3, buf));
}

TEST(RoadNameTableTest, AnIndexCountBeyondTheFileIsCutToItsEntries) {
    NetRoot root;
    WriteNames(root, {{0, 1, u"가"}, {0, 2, u"나"}}, 0x7FFFFFFF);
    CRoadNameTable t;
    EXPECT_EQ(t.Load(NetRoot::Folder()), 0);
    EXPECT_EQ(t.EntryCount(), 2);
    std::uint32_t off;
    EXPECT_TRUE(t.FindNameOffset(0, 2, off));
    // Without the files nothing is loaded.
    std::filesystem::remove_all(root.MrData());
    EXPECT_EQ(t.Load(NetRoot::Folder()), 0);
    EXPECT_EQ(t.EntryCount(), 0);
}

class CrossNameTest : public ::testing::Test {
protected:
    void SetUp() override { root.Write(handnet::Files()); }
    NetRoot root;
    CMRNetAccess access;
};

TEST_F(CrossNameTest, NamesUpToTwentyOneBytes) {
    ASSERT_TRUE(access.Open(NetRoot::Folder()));
    char buf[22];
    // l0 starts at n0, whose name is 21 bytes: the whole name.
    ASSERT_TRUE(access.GetCrossName(0, 0, true, buf, sizeof buf));
    EXPECT_STREQ(buf, "ABCDEFGHIJKLMNOPQRSTU");
    // l0 ends at n1, whose name is 22 bytes: refused.
    EXPECT_FALSE(access.GetCrossName(0, 0, false, buf, sizeof buf));
    // l1 ends at n2: a 5-byte name.
    ASSERT_TRUE(access.GetCrossName(0, 1, false, buf, sizeof buf));
    EXPECT_STREQ(buf, "lmnop");
    // A buffer too small for the name and its terminator.
    char small[21];
    EXPECT_FALSE(access.GetCrossName(0, 0, true, small, sizeof small));
    std::uint8_t link[28];
    ASSERT_TRUE(access.GetLink(0, 3, link));
    EXPECT_EQ(mrformat::LinkStartNode(link), 2);
}

TEST_F(CrossNameTest, PassThroughNodesDeadEndsAndBadIdsGiveFalse) {
    ASSERT_TRUE(access.Open(NetRoot::Folder()));
    char buf[22];
    EXPECT_FALSE(access.GetCrossName(0, 2, false, buf, sizeof buf)); // n3 passes through to map 1
    EXPECT_FALSE(access.GetCrossName(1, 0, false, buf, sizeof buf)); // m1: a dead end
    EXPECT_FALSE(access.GetCrossName(0, -1, true, buf, sizeof buf));
    EXPECT_FALSE(access.GetCrossName(0, 4, true, buf, sizeof buf));
    EXPECT_FALSE(access.GetCrossName(2, 0, true, buf, sizeof buf));
}

TEST_F(CrossNameTest, AJunctionWithoutANameGivesAnEmptyText) {
    auto files = handnet::Files();
    handnet::PutU32(files["MRCross.bin"], 0, 0); // n0 without a name
    // A negative length byte counts as no name too.
    handnet::PutU32(files["MRCross.bin"], 27, 0x85000000u);
    root.Write(files);
    ASSERT_TRUE(access.Open(NetRoot::Folder()));
    char buf[22] = "zzz";
    ASSERT_TRUE(access.GetCrossName(0, 0, true, buf, sizeof buf));
    EXPECT_STREQ(buf, "");
    std::strcpy(buf, "zzz");
    ASSERT_TRUE(access.GetCrossName(0, 1, false, buf, sizeof buf));
    EXPECT_STREQ(buf, "");
}

TEST_F(CrossNameTest, DamagedJunctionsGiveFalse) {
    auto files = handnet::Files();
    handnet::PutU32(files["MRNode.bin"], 4, 0x09000000u);              // n0: 9 links
    handnet::PutU32(files["MRCross.bin"], 15, (20u << 24) | 0xFFFFF0); // n1: name past its block
    root.Write(files);
    ASSERT_TRUE(access.Open(NetRoot::Folder()));
    char buf[22];
    EXPECT_FALSE(access.GetCrossName(0, 0, true, buf, sizeof buf));
    EXPECT_FALSE(access.GetCrossName(0, 0, false, buf, sizeof buf));
    CMRNetAccess closed;
    EXPECT_FALSE(closed.GetCrossName(0, 0, true, buf, sizeof buf));
}

} // namespace
