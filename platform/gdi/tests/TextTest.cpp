#include "platform/gdi/tests/GdiTestSupport.h"

#include <string>
#include <sys/stat.h>

namespace {

struct TextCase {
    const char16_t* text;
    UINT format;
    LONG width;
    LONG height;
};

bool NanumInstalled() {
    struct stat st;
    return ::stat("/usr/share/fonts/truetype/nanum/NanumGothic.ttf", &st) == 0;
}

} // namespace

TEST(BuiltinText, CalcRectWidthIsTheSumOfTheAdvances) {
    Canvas canvas(10, 10);
    // Cells are 6 pixels wide, Hangul takes two; lines are 10 pixels high.
    const TextCase cases[] = {
        {u"Hello", DT_SINGLELINE, 30, 10},
        {u"서울", DT_SINGLELINE, 24, 10},
        {u"A서", DT_SINGLELINE, 18, 10},
        {u"ab\ncde", 0, 18, 20},
        {u"ab\r\ncde\nf", 0, 18, 30},
        {u"ab\ncde", DT_SINGLELINE, 30, 10},
        {u"&Save", 0, 24, 10},           // the prefix mark takes no room
        {u"&Save", DT_NOPREFIX, 30, 10}, // unless prefixes are off
        {u"a&&b", 0, 18, 10},            // "&&" is one '&'
        {u"", DT_SINGLELINE, 0, 0},
    };
    for (const TextCase& c : cases) {
        RECT r{5, 7, 5, 7};
        const int height = DrawText(canvas.dc, c.text, -1, &r, c.format | DT_CALCRECT);
        EXPECT_EQ(r.right - r.left, c.width)
            << std::u16string(c.text).size() << " units, format " << c.format;
        EXPECT_EQ(r.bottom - r.top, c.height);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(r.left, 5);
        EXPECT_EQ(r.top, 7);
    }
    EXPECT_EQ(canvas.Ink().right, -1); // measuring draws nothing
}

TEST(BuiltinText, ExtentsAndMetrics) {
    Canvas canvas(10, 10);
    int dx[4] = {};
    int fit = -1;
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPoint(canvas.dc, u"abc서", 4, 20, &fit, dx, &size));
    EXPECT_EQ(dx[0], 6);
    EXPECT_EQ(dx[1], 12);
    EXPECT_EQ(dx[2], 18);
    EXPECT_EQ(dx[3], 30);
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(size.cx, 30);
    EXPECT_EQ(size.cy, 10);

    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(canvas.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 10);
    EXPECT_EQ(tm.tmAscent, 8);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmAveCharWidth, 6);
    // Every face is the built-in font; a height of 20 doubles the cell.
    HFONT font = CreateFont(20, 0, 0, 0, FW_BOLD, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"Verdana");
    HGDIOBJ old = SelectObject(canvas.dc, font);
    GetTextMetrics(canvas.dc, &tm);
    EXPECT_EQ(tm.tmHeight, 20);
    EXPECT_EQ(tm.tmAveCharWidth, 12);
    GetTextExtentExPoint(canvas.dc, u"ab", 2, 0, nullptr, nullptr, &size);
    EXPECT_EQ(size.cx, 24);
    SelectObject(canvas.dc, old);
    DeleteObject(font);
}

TEST(BuiltinText, DrawTextPlacesTheInkWhereTheFormatSays) {
    // "AB": both glyphs have ink in cell columns 0..4 and rows 1..7.
    struct Case {
        const char16_t* text;
        UINT format;
        RECT ink;
    };
    const Case cases[] = {
        {u"AB", DT_LEFT | DT_SINGLELINE, {10, 11, 20, 17}},
        // The text (12 wide) ends at the right edge 110.
        {u"AB", DT_RIGHT | DT_SINGLELINE, {98, 11, 108, 17}},
        // left = 10 + (100 - 12) / 2, top = 10 + (40 - 10) / 2.
        {u"AB", DT_CENTER | DT_VCENTER | DT_SINGLELINE, {54, 26, 64, 32}},
        {u"AB", DT_BOTTOM | DT_SINGLELINE, {10, 41, 20, 47}},
        // Each line is centred on its own: "A" at 57, "AB" at 54 one line lower.
        {u"A\nAB", DT_CENTER, {54, 11, 64, 27}},
    };
    for (const Case& c : cases) {
        Canvas canvas(120, 60);
        RECT r{10, 10, 110, 50};
        SetBkMode(canvas.dc, TRANSPARENT);
        DrawText(canvas.dc, c.text, -1, &r, c.format | DT_NOPREFIX);
        const RECT ink = canvas.Ink();
        EXPECT_TRUE(ink.left == c.ink.left && ink.top == c.ink.top && ink.right == c.ink.right &&
                    ink.bottom == c.ink.bottom)
            << "format " << c.format << ": " << ink.left << "," << ink.top << "," << ink.right << ","
            << ink.bottom;
    }
}

TEST(BuiltinText, DrawTextClipsToItsRectangleUnlessNoClip) {
    for (UINT noclip : {0u, DT_NOCLIP}) {
        Canvas canvas(60, 20);
        RECT r{0, 0, 20, 10};
        DrawText(canvas.dc, u"ABCDEF", -1, &r, DT_SINGLELINE | noclip);
        EXPECT_EQ(canvas.Ink().right, noclip ? 34 : 19);
    }
}

TEST(BuiltinText, OpaqueExtTextOutFillsItsRectangleWithTheBackground) {
    Canvas canvas(40, 20);
    const COLORREF blue = RGB(0, 0, 255);
    SetBkColor(canvas.dc, blue);
    SetBkMode(canvas.dc, TRANSPARENT); // ETO_OPAQUE fills whatever the mode
    const RECT r{2, 2, 38, 18};
    ASSERT_TRUE(ExtTextOut(canvas.dc, 4, 4, ETO_OPAQUE, &r, u"A", 1, nullptr));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 2 && x < 38 && y >= 2 && y < 18;
            const COLORREF c = canvas.At(x, y);
            if (!inside)
                EXPECT_EQ(c, kWhite) << x << "," << y;
            else
                EXPECT_TRUE(c == blue || c == RGB(0, 0, 0)) << x << "," << y;
        }
    // The top of 'A' (".###.") one row below the cell top.
    EXPECT_EQ(canvas.At(4, 5), blue);
    EXPECT_EQ(canvas.At(5, 5), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(7, 5), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(8, 5), blue);
}

TEST(BuiltinText, OpaqueBackgroundModeFillsTheTextCellOnly) {
    Canvas canvas(30, 20);
    SetBkColor(canvas.dc, RGB(255, 255, 0));
    SetBkMode(canvas.dc, OPAQUE);
    ExtTextOut(canvas.dc, 3, 4, 0, nullptr, u"ab", 2, nullptr);
    EXPECT_EQ(canvas.At(3, 4), RGB(255, 255, 0));   // cell top-left
    EXPECT_EQ(canvas.At(14, 13), RGB(255, 255, 0)); // cell bottom-right
    EXPECT_EQ(canvas.At(15, 4), kWhite);
    EXPECT_EQ(canvas.At(3, 14), kWhite);
}

TEST(FreeTypeText, HeightsFollowGdiCellAndEmRules) {
    if (!NanumInstalled()) GTEST_SKIP() << "fonts-nanum is not installed";
    Canvas canvas(200, 40);
    GdiUseBuiltinFont(false);
    TEXTMETRIC cell{}, em{};
    HFONT cellFont = CreateFont(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    HFONT emFont = CreateFont(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"Arial");
    HGDIOBJ old = SelectObject(canvas.dc, cellFont);
    GetTextMetrics(canvas.dc, &cell);
    SIZE hangul{};
    GetTextExtentPoint32(canvas.dc, u"서울", 2, &hangul);
    RECT r{0, 0, 200, 40};
    DrawText(canvas.dc, u"서울", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(canvas.dc, emFont);
    GetTextMetrics(canvas.dc, &em);
    SelectObject(canvas.dc, old);
    DeleteObject(cellFont);
    DeleteObject(emFont);
    GdiUseBuiltinFont(true);

    EXPECT_EQ(cell.tmHeight, 20);
    EXPECT_EQ(cell.tmAscent + cell.tmDescent, 20);
    EXPECT_EQ(em.tmHeight - em.tmInternalLeading, 20);
    EXPECT_GT(em.tmHeight, cell.tmHeight);
    EXPECT_GT(hangul.cx, 20);
    EXPECT_LT(hangul.cx, 50);
    // Antialiased: some ink pixels are between the text colour and the background.
    bool grey = false;
    for (int y = 0; y < 40 && !grey; ++y)
        for (int x = 0; x < 200 && !grey; ++x) {
            const COLORREF c = canvas.At(x, y);
            grey = c != kWhite && c != RGB(0, 0, 0);
        }
    EXPECT_TRUE(grey);
}
