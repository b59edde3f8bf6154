#include "route/base/MemStream.h"

#include <gtest/gtest.h>

TEST(MemReader, EndRuleAndRefusedTransfers) {
    const std::uint8_t bytes[] = {0x78, 0x56, 0x34, 0x12, 0xAA};
    CMemReader r(bytes, 4);
    std::uint32_t v = 0;
    EXPECT_EQ(r.ReadDword(v), 1); // ends exactly at the size: succeeds...
    EXPECT_EQ(v, 0x12345678u);
    EXPECT_FALSE(r.IsValid()); // ...and leaves the stream invalid
    std::uint8_t b = 0x55;
    EXPECT_EQ(r.ReadByte(b), 0);
    EXPECT_EQ(b, 0x55);

    // A transfer that would run past the size is refused whole.
    CMemReader short3(bytes, 3);
    v = 0xDEADBEEF;
    EXPECT_EQ(short3.ReadDword(v), 0);
    EXPECT_EQ(v, 0xDEADBEEFu);
    EXPECT_EQ(short3.GetPosition(), 0);
    EXPECT_FALSE(short3.IsValid());
}

TEST(MemReader, UnalignedWordsAndUnboundedSize) {
    const std::uint8_t bytes[] = {0x00, 0x34, 0x12, 0x34, 0x12};
    CMemReader r(bytes, 0); // size 0: unbounded, never turns invalid
    std::uint8_t skip;
    std::uint16_t w1 = 0, w2 = 0;
    r >> skip >> w1 >> w2;
    EXPECT_EQ(w1, 0x1234);
    EXPECT_EQ(w2, 0x1234);
    EXPECT_TRUE(r.IsValid());
    EXPECT_EQ(r.GetSize(), CMemStream::kUnbounded);
}

TEST(MemStreams, SeekOrigins) {
    std::uint8_t bytes[10] = {};
    CMemReader r(bytes, 10);
    EXPECT_EQ(r.Seek(4, 1), 1); // counted back from the end
    EXPECT_EQ(r.GetPosition(), 6);
    EXPECT_EQ(r.Seek(2, 2), 1);
    EXPECT_EQ(r.GetPosition(), 8);
    EXPECT_EQ(r.Seek(10, 0), 0); // at the size: invalid
    EXPECT_EQ(r.Seek(0, 0), 1);  // a seek makes it valid again
    EXPECT_EQ(r.Seek(-1, 0), 0); // never before the buffer

    CMemWriter w(bytes, 10);
    w.WriteByte(1);
    EXPECT_EQ(w.Seek(4, 1), 1); // size + offset; valid unchanged
    EXPECT_EQ(w.GetPosition(), 14);
    EXPECT_EQ(w.WriteByte(7), 0); // but nothing is written past the buffer
    EXPECT_EQ(w.Seek(9, 0), 0);   // the failed write invalidated it
}

TEST(MemWriter, WritesLittleEndianAndRefusesOverrun) {
    std::uint8_t bytes[7] = {};
    CMemWriter w(bytes, 7);
    EXPECT_EQ(w.WriteWord(0xBEEF), 1);
    EXPECT_EQ(w.WriteDword(0x01020304), 1);
    EXPECT_EQ(w.WriteWord(0xFFFF), 0); // one byte left: refused whole
    EXPECT_EQ(bytes[6], 0);
    const std::uint8_t expected[] = {0xEF, 0xBE, 0x04, 0x03, 0x02, 0x01, 0x00};
    EXPECT_EQ(0, std::memcmp(bytes, expected, 7));
}
