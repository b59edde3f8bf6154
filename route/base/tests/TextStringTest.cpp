#include "route/base/TextString.h"

#include <gtest/gtest.h>

TEST(TextString, CutTokenSkipsSeparatorsAndKeepsTheRest) {
    CTextString s("  abc|def");
    EXPECT_STREQ(s.CutToken(), "abc");
    EXPECT_STREQ(s, "|def");
    EXPECT_STREQ(s.CutToken(), "def");
    EXPECT_STREQ(s, "");
    CTextString seps(" \t\r\n|");
    EXPECT_STREQ(seps.CutToken(), "");
    EXPECT_STREQ(seps, "");
    CTextString by("a,b,,c");
    EXPECT_STREQ(by.CutTokenBy(','), "a");
    EXPECT_STREQ(by.CutTokenBy(','), "b");
    EXPECT_STREQ(by.CutTokenBy(','), "c");
}

TEST(TextString, NumericSubRanges) {
    struct Case {
        const char* text;
        int start, count;
        int expected;
    } cases[] = {
        {"xx123yy", 2, 3, 123}, {"abc", 5, 5, 0}, {"42", 0, 0, 42}, {"-7", 0, 0, -7}, {"12345", 1, 4, 2345},
    };
    for (const auto& c : cases) EXPECT_EQ(CTextString(c.text).ToInt(c.start, c.count), c.expected) << c.text;
    EXPECT_EQ(CTextString("1aF0").HexToInt(0, 4), 0x1AF0);
    EXPECT_EQ(CTextString("1aF0").HexToInt(0, 0), 0);
    EXPECT_EQ(CTextString("1g").HexToInt(0, 2), 0x10); // a non-digit counts as 0
    EXPECT_EQ(CTextString("70000").ToShort(), static_cast<std::int16_t>(70000));
    EXPECT_DOUBLE_EQ(CTextString("x2.5").ToDouble(1, 3), 2.5);
    // A sub-range is read through a 32-byte buffer: only its first 31 characters count.
    std::string longDigits(40, '1');
    EXPECT_EQ(CTextString(longDigits).ToDouble(), std::stod(std::string(31, '1')));
}

TEST(TextString, LineEndsAndReplace) {
    CTextString s("a\nb\n");
    EXPECT_EQ(s.GetLengthCRLF(), 6);
    char out[8] = {};
    EXPECT_EQ(s.GetTextCRLF(out), 6);
    EXPECT_STREQ(out, "a\r\nb\r\n");
    EXPECT_EQ(s.Replace("\n", "\r\n", 0), 2);
    EXPECT_EQ(s.GetLength(), 6);
    CTextString t("aaaa");
    EXPECT_EQ(t.Replace("a", "aa", 2), 2); // scans on after each inserted text
    EXPECT_STREQ(t, "aaaaaa");
}

TEST(TextString, FormatCutsOverlongTextSafely) {
    std::string big(5000, 'x');
    CTextString s;
    s.Format("%s", big.c_str());
    EXPECT_EQ(s.GetLength(), CTextString::kWorkingSize - 1);
    EXPECT_EQ(s.Sprintf("%s", big.c_str()), CTextString::kWorkingSize - 1);
    EXPECT_EQ(s.Sprintf("%d-%s", 7, "ok"), 4);
}

TEST(TextString, MidSetMidTrimAndUpper) {
    CTextString s("hello");
    EXPECT_STREQ(s.Mid(1, 3), "ell");
    EXPECT_STREQ(s.Mid(3, 5), "");
    EXPECT_EQ(s.SetMid(3, 5), -1);
    EXPECT_STREQ(s, "hello");
    EXPECT_EQ(s.SetMid(1, 2), 0);
    EXPECT_STREQ(s, "el");
    CTextString pad("  x  ");
    pad.TrimLeft();
    pad.TrimRight();
    EXPECT_STREQ(pad, "x");
    // Korean text keeps its trail bytes (0xB0 0x61 would otherwise become 0xB0 0x41).
    CTextString mixed("ab\xb0\x61");
    mixed.ToUpper();
    EXPECT_STREQ(mixed, "AB\xb0\x61");
}

TEST(WideString, ConversionsAndCrLf) {
    CWideString s(u"id:00123");
    EXPECT_EQ(s.ToLong(3, 5), 123);
    EXPECT_EQ(s.ToLong(6, 5), 0);
    EXPECT_EQ(CWideString().GetByteLength(), 0);
    EXPECT_EQ(CWideString(u"가나").GetByteLength(), 4);
    CWideString lines(u"a\nb");
    EXPECT_EQ(lines.GetLengthCRLF(), 8);
    char16_t out[8] = {};
    EXPECT_EQ(lines.GetTextCRLF(out), 8);
    EXPECT_EQ(std::u16string(out), u"a\r\nb");
    CWideString path(u"\\a\\b");
    EXPECT_EQ(path.CutTokenBy(u'\\').Text().Str(), u"a");
    EXPECT_EQ(path.Text().Str(), u"\\b");
}
