#include "platform/base/Text.h"

#include <gtest/gtest.h>

TEST(Cp949, EncodesAndDecodesKorean) {
    const std::string expected("\xb0\xe6\xc0\xaf\xc1\xf6\xbc\xb3\xc1\xa4", 10);
    EXPECT_EQ(Utf16ToCp949(u"경유지설정"), expected);
    EXPECT_EQ(Cp949ToUtf16(expected), u"경유지설정");
}

TEST(Cp949, MixedAsciiAndKoreanRoundTrip) {
    std::u16string text = u"서울 Seoul 1번";
    EXPECT_EQ(Cp949ToUtf16(Utf16ToCp949(text)), text);
}

TEST(Cp949, BrokenBytesBecomeReplacementNotCrash) {
    // A lead byte followed by a byte that cannot trail it, then a valid syllable.
    std::string broken("\xb0\x20\xb0\xe6", 4);
    std::u16string decoded = Cp949ToUtf16(broken);
    ASSERT_FALSE(decoded.empty());
    EXPECT_EQ(decoded.back(), u'경');
    EXPECT_EQ(Utf16ToCp949(u"\u0e01"), "?"); // Thai has no CP949 form
}

TEST(Utf8, RoundTripsAndSurrogates) {
    std::string utf8 = "경유지 \xF0\x9F\x98\x80"; // with a character outside the BMP
    std::u16string wide = Utf8ToUtf16(utf8);
    EXPECT_EQ(wide.size(), 6u);
    EXPECT_EQ(Utf16ToUtf8(wide), utf8);
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
}

TEST(WindowsConversions, MultiByteToWideCharCountsAndFills) {
    const char* text = "\xb0\xe6\xc0\xaf"; // 경유
    EXPECT_EQ(MultiByteToWideChar(CP_KOREAN, 0, text, -1, nullptr, 0), 3);
    char16_t out[3];
    EXPECT_EQ(MultiByteToWideChar(CP_KOREAN, 0, text, -1, out, 3), 3);
    EXPECT_EQ(std::u16string(out), u"경유");
    EXPECT_EQ(MultiByteToWideChar(CP_KOREAN, 0, text, -1, out, 2), 0); // too small: nothing
    char narrow[8];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"경유", -1, narrow, 8, nullptr, nullptr), 5);
    EXPECT_STREQ(narrow, text);
    EXPECT_TRUE(IsValidLocale(1042, LCID_SUPPORTED));
}
