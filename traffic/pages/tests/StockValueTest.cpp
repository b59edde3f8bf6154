// The stock values as the pages show them: packed numbers, grouped texts, code texts, the
// change against the previous close, names cut on character boundaries and the lists' order.
#include "platform/base/Text.h"
#include "traffic/pages/StockIndex.h"
#include "traffic/pages/StockInterest.h"
#include "traffic/pages/StockText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

std::string U8(const CString& s) {
    return Utf16ToUtf8(s.Str());
}

StockInterest Quoted(std::uint16_t price, std::uint8_t direction, std::uint16_t change) {
    StockInterest s;
    s.price = price;
    s.direction = direction;
    s.change = change;
    s.volume = 100;
    return s;
}

} // namespace

TEST(StockValue, GroupedNumbersAndCodeTexts) {
    const struct {
        std::uint64_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {100000, "100,000"},
        {1000001, "1,000,001"},
        {1234567, "1,234,567"},
        {999999999, "999,999,999"},
        {1000000000, "1000000000"}, // beyond the grouped range: plain digits
        {std::numeric_limits<std::uint64_t>::max(), "18446744073709551615"},
    };
    for (const auto& c : cases) EXPECT_EQ(U8(StockGroupedNumber(c.value)), c.text) << c.value;
    EXPECT_EQ(U8(StockCodeText(593, 'A')), "00593A");
    EXPECT_EQ(U8(StockCodeText(65535, 'Z')), "65535Z");
    EXPECT_EQ(U8(StockCodeText(1, 0)), "00001"); // no suffix character
}

TEST(StockValue, PackedValuesAndVolumesDecodeWithoutOverflow) {
    // (bits 0-13) x 10^(bits 14-15): 0x4C35 is 3125 x 10.
    EXPECT_EQ(StockInterest::UnpackValue(0x4C35), 31250u);
    EXPECT_EQ(U8(StockGroupedNumber(StockInterest::UnpackValue(0x4C35))), "31,250");
    EXPECT_EQ(StockInterest::UnpackValue(0xFFFF), 16383000u);
    EXPECT_EQ(StockInterest::UnpackValue(0x0000), 0u);
    // (bits 0-21) x 10^(bits 22-31), in 64 bits; beyond them the largest value.
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    const struct {
        std::uint32_t packed;
        std::uint64_t value;
    } cases[] = {
        {0, 0},
        {3u | 2u << 22, 300},
        {0x3FFFFFu, 4194303},
        {1u | 19u << 22, 10000000000000000000ull},
        {2u | 19u << 22, kMax}, // 2 x 10^19 does not fit
        {1u | 20u << 22, kMax},
        {0xFFFFFFFFu, kMax},
        {0u | 1023u << 22, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(StockInterest::UnpackVolume(c.packed), c.value) << c.packed;
}

TEST(StockValue, ChangeAgainstThePreviousClose) {
    const struct {
        std::uint16_t price;
        std::uint8_t direction;
        std::uint16_t change;
        const char* text;
    } cases[] = {
        {10250, 2, 250, "250 (+2.50%)"}, // previous close 10,000
        {10250, 6, 250, "250 (+2.50%)"},
        {9750, 5, 250, "250 (-2.50%)"}, // previous close 10,000
        {9750, 9, 250, "250 (-2.50%)"},
        {300, 1, 100, "100 (+50.00%)"},
        {250, 1, 250, "250"},                // a rise from 0: no percentage
        {100, 7, 250, "250"},                // a rise larger than the price: no previous close to divide by
        {0, 4, 0, "0"},                      // a fall of nothing from nothing
        {5000, 3, 0, "0"},                   // unchanged
        {0x4C35, 2, 0x4019, "250 (+0.81%)"}, // 31,250 after a rise of 25 x 10: 250 / 31,000
    };
    for (const auto& c : cases)
        EXPECT_EQ(U8(Quoted(c.price, c.direction, c.change).ChangeText()), c.text) << c.text;
}

TEST(StockValue, NamesAreCutOnCharacterBoundariesAndOrderByBytesThenCode) {
    std::string fifteen;
    for (int i = 0; i < 15; ++i) fifteen += Utf8ToCp949("가");
    // 31 bytes: fifteen two-byte characters fill the 30-byte field exactly.
    StockIndex a(1, 0, (fifteen + "a").c_str(), 31);
    EXPECT_EQ(std::string(a.name), fifteen);
    // "a" first: the fifteenth character would end at byte 31, so 29 bytes are kept.
    StockIndex b(2, 0, ("a" + fifteen).c_str(), 31);
    EXPECT_EQ(std::string(b.name), "a" + fifteen.substr(0, 28));
    EXPECT_EQ(b.name[29], 0);
    // A NUL ends the name early.
    StockIndex c(3, 0, "ab\0cd", 5);
    EXPECT_STREQ(c.name, "ab");

    const StockIndex ga(5, 0, Utf8ToCp949("가").c_str(), 2);
    const StockIndex ga2(4, 'B', Utf8ToCp949("가").c_str(), 2);
    const StockIndex ga3(4, 'C', Utf8ToCp949("가").c_str(), 2);
    const StockIndex na(1, 0, Utf8ToCp949("나").c_str(), 2);
    const StockIndex digit(9, 0, "0", 1);
    EXPECT_TRUE(StockOrderLess(ga, na));
    EXPECT_FALSE(StockOrderLess(na, ga));
    EXPECT_TRUE(StockOrderLess(ga2, ga));   // same name: the lower code first
    EXPECT_TRUE(StockOrderLess(ga2, ga3));  // same code: the lower suffix first
    EXPECT_TRUE(StockOrderLess(digit, ga)); // unsigned bytes: ASCII before Hangul
    EXPECT_FALSE(StockOrderLess(ga, ga));
}
