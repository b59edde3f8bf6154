#include "platform/base/CString.h"

#include <gtest/gtest.h>

#include <string>

TEST(CStringFormat, WindowsConversions) {
    struct Case {
        std::u16string expected;
        CString actual;
    };
    auto f = [](const char16_t* format, auto... args) {
        CString s;
        s.Format(format, args...);
        return s;
    };
    const Case cases[] = {
        {u"a 42 b", f(u"a %d b", 42)},
        {u"[  -7]", f(u"[%4d]", -7)},
        {u"[7   ]", f(u"[%-4d]", 7)},
        {u"00ff", f(u"%04x", 255)},
        {u"3.14", f(u"%.2f", 3.14159)},
        {u"경로", f(u"%s", u"경로")},
        {u"경로", f(u"%hs", "\xb0\xe6\xb7\xce")},
        {u"경로", f(u"%S", "\xb0\xe6\xb7\xce")},
        {u"-5", f(u"%ld", -5)},
        {u"12345678901", f(u"%I64d", 12345678901LL)},
        {u"%", f(u"%%")},
        {u"x", f(u"%c", u'x')},
        {u"[  ab]", f(u"[%4s]", u"ab")},
        {u"ab", f(u"%.2s", u"abcd")},
        {u"(null)", f(u"%s", static_cast<const char16_t*>(nullptr))},
        {u"  5", f(u"%*d", 3, 5)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual.Str(), c.expected);
}

TEST(CStringFormat, LongTextIsNotCut) {
    std::u16string big(5000, u'가');
    CString s;
    s.Format(u"%s!", big.c_str());
    EXPECT_EQ(s.GetLength(), 5001);
}

TEST(CStringOps, SearchAndEdit) {
    CString s(u"\\Storage Card\\MapData");
    EXPECT_EQ(s.Find(u'\\', 1), 13);
    EXPECT_EQ(s.ReverseFind(u'\\'), 13);
    EXPECT_EQ(s.Mid(1, 7).Str(), u"Storage");
    EXPECT_EQ(s.Right(7).Str(), u"MapData");
    EXPECT_EQ(s.Left(100).Str(), s.Str());
    EXPECT_EQ(s.Mid(50).Str(), u"");
    EXPECT_EQ(s.CompareNoCase(u"\\storage card\\MAPDATA"), 0);
    CString t(u"a\nb\n");
    EXPECT_EQ(t.Replace(u"\n", u"\r\n"), 2);
    EXPECT_EQ(t.Str(), u"a\r\nb\r\n");
    CString u(u"  x  ");
    EXPECT_EQ(u.Trim().Str(), u"x");
    char16_t* buffer = u.GetBuffer(10);
    buffer[0] = u'y';
    buffer[1] = 0;
    u.ReleaseBuffer();
    EXPECT_EQ(u.Str(), u"y");
}
