#include "route/base/Records.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

template <class R> Bytes Pack(const R& r) {
    Bytes out(static_cast<std::size_t>(r.GetSize()), 0xCC);
    r.Write(out.data());
    return out;
}

Bytes Name(const std::string& text, std::size_t size) {
    Bytes out(size, 0);
    std::copy(text.begin(), text.end(), out.begin());
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST(Records, PathRecordsPackToGoldenBytes) {
    CPathLinkRef ref;
    ref.mapId = 0x0102;
    ref.count = 3;
    ref.firstIndex = -2;
    EXPECT_EQ(Pack(ref), (Bytes{0x02, 0x01, 0x03, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}));

    CPathLinkItem item;
    item.mapId = 0x0A0B;
    item.linkId = 0x1234;
    item.direction = 1;
    item.kind = 2;
    item.facility = 3;
    item.remaining = 0x00012345;
    std::strcpy(item.name, "AB");
    EXPECT_EQ(Pack(item), Cat({{0x0B, 0x0A, 0x34, 0x12, 0x01, 0x02, 0x03, 0x00, 0x45, 0x23, 0x01, 0x00},
                               Name("AB", 20)}));

    CPathPoint point;
    point.x = 45000000; // 0x02AEA540
    point.y = -1;
    EXPECT_EQ(Pack(point), (Bytes{0x40, 0xA5, 0xAE, 0x02, 0xFF, 0xFF, 0xFF, 0xFF}));

    CRouteLinkKey key;
    key.linkId = 0x0102;
    key.direction = -1;
    key.itemIndex = 5;
    key.flag = 7;
    key.guideCode = 60;
    EXPECT_EQ(Pack(key), (Bytes{0x02, 0x01, 0xFF, 0xFF, 0x05, 0x00, 0x07, 0x3C}));
    EXPECT_EQ(Pack(CRouteLinkKey()), Bytes(8, 0));

    CPathGuideItem guide;
    guide.value = 1000;
    guide.code = 2;
    guide.itemIndex = -1;
    EXPECT_EQ(Pack(guide), (Bytes{0xE8, 0x03, 0x02, 0x00, 0xFF, 0xFF}));
}

TEST(Records, StoredRecordsPackToGoldenBytes) {
    CPosRecord pos;
    std::strcpy(pos.name, "P");
    pos.x = 1;
    pos.y = 2;
    pos.value1 = 9;
    pos.value2 = 8;
    EXPECT_EQ(Pack(pos), Cat({Name("P", 20), {1, 0, 0, 0, 2, 0, 0, 0, 9, 8}}));

    CRecentDestRecord dest;
    std::strcpy(dest.name, "\xb0\xe6\xc0\xaf"); // 경유
    dest.x = 100;
    dest.y = 200;
    dest.kind = 3;
    dest.values[0] = 4;
    dest.values[1] = 5;
    dest.values[2] = -1;
    dest.unstored = 77;
    Bytes packed = Pack(dest);
    ASSERT_EQ(packed.size(), 44u);
    EXPECT_EQ(packed,
              Cat({Name("\xb0\xe6\xc0\xaf", 20), {100, 0, 0, 0, 200, 0, 0, 0, 3,    0,    0,    0,
                                                  4,   0, 0, 0, 5,   0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}}));

    CSafePointRecord shortForm;
    shortForm.form = 1;
    std::strcpy(shortForm.name, "cam");
    shortForm.shortValue = 0x11223344;
    shortForm.x = 45000045; // point-file x 10
    shortForm.y = 11910000; // point-file y 0
    shortForm.values[0] = 1;
    shortForm.values[1] = 2;
    shortForm.values[2] = 3;
    shortForm.values[3] = 4;
    EXPECT_EQ(
        Pack(shortForm),
        Cat({Name("cam", 16), {0x44, 0x33, 0x22, 0x11, 10, 0, 0, 0, 0, 0, 0, 0}, {1, 0, 2, 0, 3, 0, 4, 0}}));

    CSafePointRecord origin;
    std::strcpy(origin.name, "0123456789012345678"); // 19 bytes
    origin.x = 45000000;
    origin.y = 11910000;
    EXPECT_EQ(
        Pack(origin),
        Cat({Name("0123456789012345678", 20), Bytes(8, 0), {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}));
}

TEST(Records, SafePointOddXSurvivesLoadAndSave) {
    // Stored x 11 reads as 45,000,049; truncating on the way back would store 10.
    Bytes stored = Cat({Name("odd", 20), {11, 0, 0, 0, 7, 0, 0, 0}, Bytes(8, 0)});
    CSafePointRecord r;
    r.Read(stored.data());
    EXPECT_EQ(r.x, 45000049);
    EXPECT_EQ(r.y, 11910021);
    EXPECT_EQ(Pack(r), stored);
}

TEST(Records, SafePointHostileCoordinatesSaturate) {
    // Stored point-file values far outside the country: the network coordinate stops at the
    // int32 limits instead of overflowing (x 4.5 + 45,000,000; y 3 + 11,910,000).
    struct Case {
        std::int32_t px, py, netX, netY;
    } const cases[] = {
        {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
        {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN},
        {470000000, 712000000, INT32_MAX, INT32_MAX}, // 2,115,000,000 + origin; 2,136,000,000 + origin
        {-10, -2, 44999955, 11909994},                // ordinary values keep the plain formula
    };
    for (const Case& c : cases) {
        Bytes stored = Cat({Name("far", 20), Bytes(16, 0)});
        for (int i = 0; i < 4; ++i) {
            stored[20 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(c.px) >> (8 * i));
            stored[24 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(c.py) >> (8 * i));
        }
        CSafePointRecord r;
        r.Read(stored.data());
        EXPECT_EQ(r.x, c.netX) << c.px;
        EXPECT_EQ(r.y, c.netY) << c.py;
    }
}

TEST(Records, RecentDestinationSameness) {
    CRecentDestRecord a, b;
    std::strcpy(a.name, "A");
    std::strcpy(b.name, "A");
    a.x = b.x = 5;
    a.y = b.y = 6;
    a.values[0] = 1; // not compared
    EXPECT_TRUE(a.IsSame(b));
    b.kind = 1;
    EXPECT_FALSE(a.IsSame(b));
}

TEST(Records, SaveAndLoadThroughFile) {
    TempRoot root;
    CBinFile file;
    ASSERT_EQ(file.Create(u"item.bin"), 0);
    CPathLinkItem item;
    item.linkId = 42;
    std::strcpy(item.name, "X");
    EXPECT_EQ(item.Save(file), 1);
    EXPECT_EQ(file.GetSize(), 32);
    file.Close();

    // Fewer than 32 bytes left still unpack (the rest reads as zero).
    root.MakeFile("short.bin", std::string("\x01\x00\x2A", 3));
    ASSERT_EQ(file.Open(u"short.bin", CBinFile::kModeRead), 0);
    CPathLinkItem loaded;
    loaded.remaining = 99;
    EXPECT_EQ(loaded.Load(file), 1);
    EXPECT_EQ(loaded.mapId, 1);
    EXPECT_EQ(loaded.linkId, 0x2A);
    EXPECT_EQ(loaded.remaining, 0u);
    EXPECT_EQ(loaded.Load(file), 0); // nothing left to read
}

TEST(Records, RecordListRoundTripsByteForByte) {
    Bytes stored = {2, 0, 0, 0};
    Bytes first = Cat({Name("a", 20), {11, 0, 0, 0, 3, 0, 0, 0}, {1, 0, 2, 0, 3, 0, 4, 0}});
    Bytes second =
        Cat({Name("b", 20), {0xFF, 0xFF, 0, 0, 9, 0, 0, 0}, {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}});
    stored = Cat({stored, first, second});
    std::vector<CSafePointRecord> records;
    ASSERT_TRUE(UnpackRecordList(stored.data(), stored.size(), records, 2000));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(PackRecordList(records), stored);

    // Counts that do not fit the bytes are refused.
    Bytes lying = stored;
    lying[0] = 3;
    EXPECT_FALSE(UnpackRecordList(lying.data(), lying.size(), records, 2000));
    EXPECT_TRUE(records.empty());
    Bytes huge = {0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_FALSE(UnpackRecordList(huge.data(), huge.size(), records, 2000));
    Bytes empty = {0, 0, 0, 0};
    EXPECT_TRUE(UnpackRecordList(empty.data(), empty.size(), records, 2000));
}
