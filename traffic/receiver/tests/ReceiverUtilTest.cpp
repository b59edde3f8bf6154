#include "platform/base/Clock.h"
#include "traffic/receiver/DARCArray.h"
#include "traffic/receiver/DARCString.h"
#include "traffic/receiver/ReceiverUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Bit-at-a-time CRC: every input bit, least significant first, is shifted into a
// most-significant-first CCITT register (which is what reversing each byte amounts to).
std::uint16_t SlowCrc(const std::vector<unsigned char>& bytes) {
    std::uint16_t crc = 0;
    for (unsigned char b : bytes) {
        for (int bit = 0; bit < 8; ++bit) {
            bool in = (b >> bit) & 1;
            bool top = (crc & 0x8000) != 0;
            crc = static_cast<std::uint16_t>(crc << 1);
            if (in != top) crc ^= 0x1021;
        }
    }
    return crc;
}

unsigned char Reverse(unsigned char b) {
    unsigned char r = 0;
    for (int i = 0; i < 8; ++i)
        if (b & (1 << i)) r |= static_cast<unsigned char>(0x80 >> i);
    return r;
}

SIM* Item(std::uint32_t key, const char* name = "x") {
    SIM* s = new SIM;
    s->key = key;
    s->name = new char[std::strlen(name) + 1];
    std::strcpy(s->name, name);
    return s;
}

} // namespace

TEST(DarcCrc16, KnownValueAndSelfCheckingBlock) {
    const unsigned char abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(DarcCrc16(abc, 3), 0x971A);
    EXPECT_EQ(DarcCrc16(abc, 0), 0);
    EXPECT_EQ(DarcCrc16(nullptr, 3), 0);

    std::vector<unsigned char> block;
    for (int i = 0; i < 40; ++i) block.push_back(static_cast<unsigned char>(i * 37 + 5));
    std::uint16_t crc = SlowCrc(block);
    EXPECT_EQ(DarcCrc16(block.data(), static_cast<int>(block.size())), crc);
    // The trailer carries the CRC with each byte bit-reversed: the whole block checks to 0.
    block.push_back(Reverse(static_cast<unsigned char>(crc >> 8)));
    block.push_back(Reverse(static_cast<unsigned char>(crc & 0xFF)));
    EXPECT_EQ(DarcCrc16(block.data(), static_cast<int>(block.size())), 0);
}

TEST(StoreAgeMinutes, WholeMinutesOfTheUnsignedAge) {
    SimulatedClock clock(1'800'000'000'000LL);
    InstallClock(&clock);
    std::uint32_t now = 1'800'000'000u;
    EXPECT_EQ(CurrentTimeValue(), now);
    EXPECT_EQ(StoreAgeMinutes(30, now - (29 * 60 + 59)), 1);
    EXPECT_EQ(StoreAgeMinutes(30, now - 30 * 60), 0);
    EXPECT_EQ(StoreAgeMinutes(30, now + 60), 0); // a stamp in the future is old
    EXPECT_EQ(TimeMinusSpan(now, 90), now - 90);
    InstallClock(nullptr);
}

TEST(CDARCString, GrowsInBlocksAndKeepsRoomForTheNul) {
    CDARCString s;
    EXPECT_EQ(s.Capacity(), 0);
    std::vector<unsigned char> big(500, 'A');
    s.Set(big.data(), 500); // would not fit a single 500-byte block with its NUL
    EXPECT_EQ(s.GetPosition(), 500);
    EXPECT_EQ(s.Capacity(), 1000);
    EXPECT_EQ(s.Size(), 500);

    CDARCString t;
    std::vector<unsigned char> part(499, 'b');
    t.Append(part.data(), 499);
    EXPECT_EQ(t.Capacity(), 500);
    const unsigned char one[] = {'c'};
    t.Append(one, 1); // 500 bytes and the NUL
    EXPECT_EQ(t.Capacity(), 1000);
    EXPECT_EQ(t.Size(), 500);
    EXPECT_EQ(t.Data()[499], 'c');
    EXPECT_EQ(t.Data()[500], 0);

    const unsigned char text[] = "hello";
    t.Set(text, -1);
    EXPECT_EQ(t.GetPosition(), 5);
    EXPECT_EQ(t.Capacity(), 500);
    t.SetChar(0, 'H');
    t.SetChar(5, 'X'); // beyond the length: ignored
    char out[8] = {};
    t.Get(out, 3);
    EXPECT_EQ(std::string(out), "Hel");
    EXPECT_EQ(t.Size(), 5);
    t.Empty();
    EXPECT_EQ(t.Capacity(), 0);
    EXPECT_EQ(t.Size(), 0);
}

TEST(CDARCString, EraseEscRemovesControlBytesKeepingTheLength) {
    CDARCString s;
    const unsigned char bytes[] = {0x41, 0x0D, 0x0A, 0x42};
    s.Set(bytes, 4);
    s.EraseESC();
    EXPECT_EQ(s.GetPosition(), 4);
    EXPECT_EQ(s.Size(), 2);
    EXPECT_EQ(s.Data()[0], 0x41);
    EXPECT_EQ(s.Data()[1], 0x42);
    EXPECT_EQ(s.Data()[2], 0);
    // Korean CP949 bytes stay.
    const unsigned char korean[] = {0xB0, 0xA1, 0x1B, 0xB3, 0xAA};
    s.Set(korean, 5);
    s.EraseESC();
    EXPECT_EQ(s.Size(), 4);
    EXPECT_EQ(s.Data()[2], 0xB3);
}

TEST(CDARCArray, SearchesOnlyInsertedItems) {
    CDARCArray a;
    EXPECT_EQ(a.search(5), nullptr); // nothing allocated
    ASSERT_TRUE(a.setSize(4));
    EXPECT_EQ(a.search(5), nullptr); // slots allocated, none filled
    a.destroy();
    ASSERT_TRUE(a.setSize(4));
    ASSERT_TRUE(a.insert(Item(10)));
    ASSERT_TRUE(a.insert(Item(20)));
    ASSERT_TRUE(a.insert(Item(30, "third")));
    // Three of four slots filled: every inserted key is found, others are not.
    for (std::uint32_t k : {10u, 20u, 30u}) {
        SIM* s = a.search(k);
        ASSERT_NE(s, nullptr) << k;
        EXPECT_EQ(s->key, k);
    }
    EXPECT_STREQ(a.search(30)->name, "third");
    for (unsigned long k : {5ul, 15ul, 25ul, 35ul}) EXPECT_EQ(a.search(k), nullptr) << k;
    ASSERT_TRUE(a.insert(Item(40)));
    SIM* extra = Item(50);
    EXPECT_FALSE(a.insert(extra)); // beyond the size
    delete[] extra->name;
    delete extra;
    EXPECT_EQ(a.search(40)->key, 40u);

    a.startTravel();
    std::vector<std::uint32_t> keys;
    while (SIM* s = a.next()) keys.push_back(s->key);
    EXPECT_EQ(keys, (std::vector<std::uint32_t>{10, 20, 30, 40}));
    EXPECT_EQ(a.next(), nullptr);
    a.startTravel();
    EXPECT_EQ(a.next()->key, 10u);
}
