#include "route/MRReader.h"

#include "route/tests/NetTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class MRReaderTest : public ::testing::Test {
protected:
    NetRoot root;
    MRReader reader;
};

TEST_F(MRReaderTest, ReadsEveryRecordKindOfTheHandWrittenNetwork) {
    root.Write(handnet::Files());
    ASSERT_EQ(reader.Open(3, NetRoot::Folder()), 1);
    EXPECT_EQ(reader.MapCount(), 2);
    ASSERT_NE(reader.MapBox(1), nullptr);
    EXPECT_EQ(reader.MapBox(1)->west, 45001000);
    EXPECT_EQ(reader.MapRecord(2), nullptr);

    std::uint8_t link[28];
    ASSERT_EQ(reader.ReadLink(link, 0, 1), 1);
    EXPECT_EQ(link[0], (2 << 4) | 2);
    EXPECT_EQ(mrformat::LinkStartNode(link), 0);
    EXPECT_EQ(mrformat::LinkEndNode(link), 2);
    ASSERT_EQ(reader.ReadLink(link, 1, 0), 1); // map 1's block starts at 112
    EXPECT_EQ(mrformat::U16(link + 8), 111);

    // Node n0: bit 31 clear, 3 in bits 24-30, offset 0; n3: bit 31 set.
    std::uint8_t node[8];
    ASSERT_EQ(reader.ReadNode(node, 0, 3), 1);
    std::uint32_t ref3 = mrformat::U32(node + 4);
    EXPECT_TRUE(mrformat::IsPassThrough(ref3));
    ASSERT_EQ(reader.ReadNode(node, 0, 0), 1);
    EXPECT_EQ(mrformat::LinkCountOf(mrformat::U32(node + 4)), 3);

    // A junction of three links is 15 bytes: head, three entries, three masks, guide offset.
    MRCrossNode j;
    ASSERT_EQ(reader.ReadCrossNode(j, 0, mrformat::U32(node + 4)), 1);
    EXPECT_EQ(j.count, 3);
    EXPECT_EQ(j.links[0], 0);
    EXPECT_EQ(j.links[2], 2);
    EXPECT_EQ(j.turns[2], 0x01);
    EXPECT_EQ(j.guideOffset, 0);
    EXPECT_EQ(j.NameLength(), 21);
    // The junction record of n1 at 15: its second entry carries flag bits, masked away.
    ASSERT_EQ(reader.ReadCrossNode(j, 0, 0x02000000u | 15), 1);
    EXPECT_EQ(j.links[1], 3);
    EXPECT_EQ(j.guideOffset, 9);

    std::uint8_t ex[6];
    ASSERT_EQ(reader.ReadExNode(ex, 0, ref3), 1);
    EXPECT_EQ(mrformat::U16(ex), 0x4001);

    ASSERT_EQ(reader.ReadLink(link, 0, 0), 1);
    std::uint8_t vertices[4];
    ASSERT_EQ(reader.ReadVertices(vertices, sizeof vertices, 0, link), 1);
    EXPECT_EQ(mrformat::U16(vertices), 300);
    EXPECT_EQ(mrformat::U16(vertices + 2), 150);

    // A name reference of length 5 at offset 32 reads bytes 32-36 of the map's name block.
    char name[8] = {};
    ASSERT_EQ(reader.ReadCrossName(name, sizeof name, 0, (5u << 24) | 32), 1);
    EXPECT_EQ(std::string(name, 5), "lmnop");

    MRCrossNode n0;
    ASSERT_EQ(reader.ReadCrossNode(n0, 0, 0x03000000u), 1);
    std::uint8_t table[9];
    ASSERT_EQ(reader.ReadGuideCode(table, sizeof table, 0, 3, n0), 1);
    EXPECT_EQ(table[1], 12);
    EXPECT_EQ(table[8], 14);

    ASSERT_EQ(reader.ReadCodeCount(), 2);
    std::uint8_t codes[16];
    ASSERT_EQ(reader.ReadCodes(codes, 2), 1);
    EXPECT_EQ(mrformat::U16(codes + 8), 1);
    EXPECT_EQ(mrformat::U16(codes + 12), 9);

    std::vector<std::uint8_t> all;
    ASSERT_EQ(reader.LoadAllCrossNames(all), 1);
    EXPECT_EQ(all.size(), 43u);
    char copy[22] = {};
    ASSERT_EQ(reader.CopyCrossName(copy, sizeof copy, all, 0, (22u << 24) | 21), 1);
    EXPECT_EQ(std::string(copy, 22), "abcdefghijklmnopqrstuv");
}

TEST_F(MRReaderTest, BoundaryBlockOfTheLastMapRunsToTheEndOfTheFile) {
    auto files = handnet::Files();
    files["MRNeighb.bin"].resize(6 + 18, 0); // the last block grows with the file
    root.Write(files);
    ASSERT_EQ(reader.Open(3, NetRoot::Folder()), 1);
    EXPECT_EQ(reader.GetExNodeBlockSize(0), 6);
    EXPECT_EQ(reader.GetExNodeBlockSize(1), 18);
    EXPECT_EQ(reader.GetExNodeBlockSize(2), -1);
}

TEST_F(MRReaderTest, WithoutTheCrossNameFileNothingFurtherIsOpened) {
    auto files = handnet::Files();
    files.erase("MRCrossName.bin");
    root.Write(files);
    EXPECT_EQ(reader.Open(3, NetRoot::Folder()), 0);
    EXPECT_FALSE(reader.IsOpened());
    auto lines = root.LogLines();
    // The pool's own line, then the reader's; nothing about a later file.
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("VelkoMRReader("), std::string::npos);
    EXPECT_NE(lines.back().find(") CrossName File Open Error !"), std::string::npos);
    for (const std::string& l : lines) EXPECT_EQ(l.find("Vretex"), std::string::npos) << l;
    EXPECT_EQ(reader.Pool().OpenCount(), 0);
}

TEST_F(MRReaderTest, AMissingLevelThreeFileFailsTheOpenEveryTime) {
    for (const char* missing : {"MRNode.bin", "MRLink.bin", "MRCross.bin", "MRNeighb.bin"}) {
        SCOPED_TRACE(missing);
        std::filesystem::remove_all(root.MrData());
        auto files = handnet::Files();
        files.erase(missing);
        root.Write(files);
        MRReader r;
        EXPECT_EQ(r.Open(3, NetRoot::Folder()), 0);
        EXPECT_FALSE(r.IsOpened());
        // A second open does not report success on the strength of the first.
        EXPECT_EQ(r.Open(3, NetRoot::Folder()), 0);
        std::uint8_t link[28];
        EXPECT_EQ(r.ReadLink(link, 0, 0), 0);
    }
}

TEST_F(MRReaderTest, CallerRecordsMustCoverTheMapCount) {
    root.Write(handnet::Files());
    MRMapRecord records[1];
    MRBox boxes[1];
    EXPECT_EQ(reader.Open(3, NetRoot::Folder(), records, boxes, 1), 0);
    MRMapRecord two[2];
    MRBox twoBoxes[2];
    two[1].linkCount = 1;
    two[1].linkOffset = 112;
    ASSERT_EQ(reader.Open(3, NetRoot::Folder(), two, twoBoxes, 2), 1);
    std::uint8_t link[28];
    EXPECT_EQ(reader.ReadLink(link, 1, 0), 1);
    EXPECT_EQ(reader.ReadLink(link, 0, 0), 0); // the caller's record of map 0 has no links
}

// Damaged networks: every read answers a failure, under the sanitizers, without a crash or a
// large allocation.
TEST_F(MRReaderTest, DamagedFilesGiveFailures) {
    struct Case {
        const char* what;
        std::function<void(std::map<std::string, handnet::Bytes>&)> damage;
        bool opens;
        std::function<int(MRReader&)> read; // 0 expected
    };
    auto readLink = [](MRReader& r) {
        std::uint8_t l[28];
        return r.ReadLink(l, 0, 0);
    };
    const Case cases[] = {
        {"MRManage.bin cut inside the map records", [](auto& f) { f["MRManage.bin"].resize(488 + 116 + 50); },
         false, readLink},
        {"MRManage.bin cut inside the header", [](auto& f) { f["MRManage.bin"].resize(1); }, false, readLink},
        {"link block offset past the end",
         [](auto& f) { handnet::PutU32(f["MRManage.bin"], handnet::MapField(0, 56), 0xFFFFFF00u); }, true,
         readLink},
        {"link count beyond the file",
         [](auto& f) { handnet::PutU16(f["MRManage.bin"], handnet::MapField(1, 2), 60000); }, true,
         [](MRReader& r) {
             std::uint8_t l[28];
             return r.ReadLink(l, 1, 59999);
         }},
        {"a junction of 9 links", [](auto&) {}, true,
         [](MRReader& r) {
             MRCrossNode j;
             return r.ReadCrossNode(j, 0, 0x09000000u);
         }},
        {"a junction offset past the junction block", [](auto&) {}, true,
         [](MRReader& r) {
             MRCrossNode j;
             return r.ReadCrossNode(j, 0, 0x03000000u | 30);
         }},
        {"a name past its block", [](auto&) {}, true,
         [](MRReader& r) {
             char n[32];
             return r.ReadCrossName(n, sizeof n, 0, (20u << 24) | 0xFFFFF0);
         }},
        {"a name longer than the buffer", [](auto&) {}, true,
         [](MRReader& r) {
             char n[21];
             return r.ReadCrossName(n, sizeof n, 0, (22u << 24) | 21);
         }},
        {"a boundary record past the block", [](auto&) {}, true,
         [](MRReader& r) {
             std::uint8_t e[6];
             return r.ReadExNode(e, 0, 0x81000000u | 4);
         }},
        {"a map id beyond the count", [](auto&) {}, true,
         [](MRReader& r) {
             std::uint8_t l[28];
             return r.ReadLink(l, 0x3FFF, 0);
         }},
        {"a guide table past the guide block", [](auto& f) { handnet::PutU16(f["MRCross.bin"], 13, 60000); },
         true,
         [](MRReader& r) {
             MRCrossNode j;
             if (!r.ReadCrossNode(j, 0, 0x03000000u)) return 1;
             std::uint8_t g[9];
             return r.ReadGuideCode(g, sizeof g, 0, 3, j);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(root.MrData());
        auto files = handnet::Files();
        c.damage(files);
        root.Write(files);
        MRReader r;
        EXPECT_EQ(r.Open(3, NetRoot::Folder()), c.opens ? 1 : 0);
        EXPECT_EQ(c.read(r), 0);
    }
}

TEST_F(MRReaderTest, ACodeCountBeyondTheFileIsCutToItsEntries) {
    auto files = handnet::Files();
    handnet::PutU32(files["LinkIDvsCode.db"], 0, 0x7FFFFFFF);
    root.Write(files);
    ASSERT_EQ(reader.Open(3, NetRoot::Folder()), 1);
    EXPECT_EQ(reader.ReadCodeCount(), 2);
    std::vector<std::uint8_t> many(24);
    EXPECT_EQ(reader.ReadCodes(many.data(), 3), 0);
}

class VFDTest : public ::testing::Test {
protected:
    NetRoot root;
    void MakeFiles(int n) {
        std::filesystem::create_directories(root.Dir() / "pool");
        for (int i = 0; i < n; ++i) {
            std::ofstream out(root.Dir() / "pool" / ("f" + std::to_string(i)), std::ios::binary);
            std::string body(20, static_cast<char>('a' + i));
            out << body;
        }
    }
};

TEST_F(VFDTest, AReadRunningPastTheEndReadsNothing) {
    MakeFiles(1);
    VFD pool;
    pool.SetRoot(u"/pool/");
    int d = pool.OpenFile(u"f0", "rb");
    ASSERT_GT(d, 0);
    char buf[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(pool.ReadAt(d, buf, 20 - 4, 8), 0);
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(pool.ReadAt(d, buf, 20 - 8, 8), 8);
    EXPECT_EQ(buf[0], 'a');
}

TEST_F(VFDTest, TheFifteenthFileClosesTheFirst) {
    MakeFiles(15);
    VFD pool;
    pool.SetRoot(u"/pool/");
    int d[15];
    for (int i = 0; i < 15; ++i) {
        std::u16string name = u"f" + std::u16string(1, static_cast<char16_t>(i < 10 ? u'0' + i : u'0'));
        if (i >= 10) name = u"f1" + std::u16string(1, static_cast<char16_t>(u'0' + (i - 10)));
        d[i] = pool.OpenFile(name.c_str(), "rb");
        ASSERT_GT(d[i], 0) << i;
    }
    EXPECT_EQ(pool.OpenCount(), 14);
    EXPECT_FALSE(pool.IsFileOpen(d[0]));
    for (int i = 1; i < 15; ++i) EXPECT_TRUE(pool.IsFileOpen(d[i])) << i;
    // A read through the closed descriptor opens the file again (closing the next oldest).
    char c = 0;
    EXPECT_EQ(pool.ReadAt(d[0], &c, 3, 1), 1);
    EXPECT_EQ(c, 'a');
    EXPECT_FALSE(pool.IsFileOpen(d[1]));
}

TEST_F(VFDTest, AFailedOpenFreesEveryDescriptor) {
    MakeFiles(2);
    VFD pool;
    pool.SetRoot(u"/pool/");
    int d = pool.OpenFile(u"f0", "rb");
    ASSERT_GT(d, 0);
    EXPECT_EQ(pool.OpenFile(u"missing", "rb"), -1);
    EXPECT_EQ(pool.OpenCount(), 0);
    char c;
    EXPECT_EQ(pool.ReadAt(d, &c, 0, 1), 0);
}

} // namespace
