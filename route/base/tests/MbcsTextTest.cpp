#include "route/base/MbcsText.h"

#include <gtest/gtest.h>

TEST(MbcsText, StoredKoreanBecomesWideText) {
    // 가 B0 A1, 람 B6 F7, 똠 8C 63 (outside KS X 1001, inside code page 949).
    EXPECT_EQ(MbcsToCString("\xB0\xA1\xB6\xF7"), CString(u"가람"));
    EXPECT_EQ(MbcsToCString("LG\xC1\xD6"), CString(u"LG주"));
    EXPECT_EQ(MbcsToCString("\x8C\x63"), CString(u"똠"));
    EXPECT_EQ(MbcsToCString(""), CString());
    EXPECT_EQ(MbcsToCString(nullptr), CString());
    // A fixed field of 20 bytes with no terminator stops at its width; a zero ends it early.
    const char field[24] = "\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1XYZ";
    EXPECT_EQ(MbcsToCString(field, 20), CString(u"가가가가가가가가가가"));
    EXPECT_EQ(MbcsToCString("AB\0CD", 5), CString(u"AB"));
}
