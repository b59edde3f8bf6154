#include "route/base/BinFile.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {
std::string Bytes(std::size_t n) {
    std::string v(n, '\0');
    std::iota(v.begin(), v.end(), '\0');
    return v;
}
} // namespace

TEST(BinFile, ReadsReportCountsZeroAndEndOfFile) {
    TempRoot root;
    root.MakeFile("data.bin", Bytes(10));
    CBinFile file;
    ASSERT_EQ(file.Open(u"data.bin", CBinFile::kModeRead), 0);
    unsigned char buffer[32] = {};
    EXPECT_EQ(file.Read(buffer, 0), 0);
    EXPECT_EQ(file.GetPosition(), 0); // an empty read does not touch the file
    EXPECT_EQ(file.Read(buffer, 32), 10);
    EXPECT_EQ(file.Read(buffer, 4), -1); // at the end: -1, not 0
    EXPECT_EQ(file.ReadChars(buffer, 3), -1);
    EXPECT_EQ(file.ReadCharsAt(buffer, 3, 2), 6); // 3 characters are 6 bytes, from byte 2
    EXPECT_EQ(buffer[0], 2);
    EXPECT_EQ(buffer[5], 7);
    EXPECT_EQ(file.GetPosition(), 8);
    std::uint16_t word = 0;
    EXPECT_EQ(file.Read(word), 2);
    EXPECT_EQ(word, 0x0908);
    EXPECT_EQ(file.GetSize(), 10);
}

TEST(BinFile, OutOfRangeOffsetsAndCountsAreRefused) {
    TempRoot root;
    root.MakeFile("data.bin", Bytes(10));
    CBinFile file;
    ASSERT_EQ(file.Open(u"data.bin", CBinFile::kModeRead | CBinFile::kModeWrite), 0);
    unsigned char buffer[8] = {};
    // An offset past 32 bits must not land on its low bits (byte 3 here).
    const long wide = 0x100000003L;
    EXPECT_EQ(file.Seek(wide, 0), -1);
    EXPECT_EQ(file.ReadAt(buffer, 1, wide), -1);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(file.WriteAt(buffer, 1, wide), -1);
    // A character count whose byte count does not fit an int is refused.
    EXPECT_EQ(file.ReadChars(buffer, 0x40000000), -1);
    EXPECT_EQ(file.WriteChars(buffer, 0x40000000), -1);
    EXPECT_EQ(file.GetSize(), 10);
}

TEST(BinFile, OpenCreateCloseStates) {
    TempRoot root;
    CBinFile missing;
    EXPECT_EQ(missing.Open(u"nothing.bin", CBinFile::kModeRead), -1);
    EXPECT_EQ(missing.IsOpen(), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(u""), reinterpret_cast<const char*>(CBinFile().GetFileName()));

    root.MakeFile("full.bin", Bytes(100));
    CBinFile file;
    ASSERT_EQ(file.Create(u"full.bin"), 0); // Create empties an existing file
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.Write(Bytes(5).data(), 5), 5);
    // Open on an open file closes it first (the written bytes are there).
    ASSERT_EQ(file.Open(CBinFile::kModeRead), 0);
    EXPECT_EQ(file.GetSize(), 5);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.IsOpen(), 0);

    // No data access: opens, but reads fail.
    CBinFile noAccess;
    ASSERT_EQ(noAccess.Open(u"full.bin", 0), 0);
    unsigned char b[4];
    EXPECT_EQ(noAccess.Read(b, 4), -1);
    EXPECT_EQ(noAccess.Delete(), 0);
    EXPECT_FALSE(root.Exists("full.bin"));
    EXPECT_EQ(noAccess.Delete(), -1);
}

TEST(BinFile, CopyFromCopiesChunksAndRemainder) {
    TempRoot root;
    root.MakeFile("src.bin", Bytes(4096 * 2 + 100));
    CBinFile src, dst;
    ASSERT_EQ(src.Open(u"src.bin", CBinFile::kModeRead), 0);
    ASSERT_EQ(dst.Create(u"dst.bin"), 0);
    EXPECT_EQ(dst.CopyFrom(src, 0, 4096), 4096 * 2 + 100);
    dst.Close();
    EXPECT_EQ(root.Read("dst.bin"), Bytes(4096 * 2 + 100));
}

TEST(BinFile, CopyFromStopsAtShortSourceAndRefusesBadArguments) {
    TempRoot root;
    root.MakeFile("src.bin", Bytes(50));
    CBinFile src, dst, closed;
    ASSERT_EQ(src.Open(u"src.bin", CBinFile::kModeRead), 0);
    ASSERT_EQ(dst.Create(u"dst.bin"), 0);
    EXPECT_EQ(dst.CopyFrom(src, 10, 0), -1);
    EXPECT_EQ(dst.CopyFrom(src, -1, 16), -1);
    EXPECT_EQ(dst.CopyFrom(closed, 10, 16), -1);
    // Asked for 200 bytes in chunks of 16: the source holds 50, so 50 are copied, not more.
    EXPECT_EQ(dst.CopyFrom(src, 200, 16), 50);
    EXPECT_EQ(dst.CopyFrom(src, 200, 16), 0); // nothing left: no -1 is added
    EXPECT_EQ(dst.GetSize(), 50);
}
