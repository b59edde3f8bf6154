#include "platform/files/tests/TempRoot.h"
#include "search/ThemeDB.h"
#include "search/tests/SearchBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

struct Place {
    const char* name;
    std::uint32_t x, y;
    unsigned region1, region2;
    int detail;
};

// The current position of every search below.
constexpr std::int32_t kX = 10000, kY = 10000;

const std::vector<Place> kPlaces = {
    {"나호수", kX + 1000, kY, 1, 2, 1},          // 3.00 km
    {"가공원", kX + 1500, kY + 1500, 1, 2, 0},   // 6.36 km
    {"가시장", kX, kY - 1000, 1, 2, 0},          // 3.00 km
    {"가시장", kX - 1000, kY, 2, 1, 0},          // 3.00 km, same name, later regions
    {"다리", kX, kY + 1600, 2, 2, 2},            // 4.80 km
    {"라성", kX + 1650, kY + 1650, 0, 1, 0},     // inside the 5 km square, 7.00 km away
};

// Header 228 bytes; regions at 228 (2 x 28); places at 284; labels (주소, 소개) after them; the
// detail index, then the detail blocks from their base.
std::string ThemeFile(const char* title, const std::vector<Place>& places, std::int32_t placeCount = -1) {
    const std::uint32_t regions = 228, placeAt = regions + 2 * 28;
    const std::uint32_t labels = placeAt + 48 * static_cast<std::uint32_t>(places.size());
    const std::uint32_t index = labels + 2 * 40;
    const std::vector<std::string> blocks = {
        [] {
            SearchBytes d;
            d.u16(0).u32(0).text(K("나호수"), 20).raw(K("1|가람시 호수로 1|2|맑은 물이 고인 호수|0|X"));
            return d.s;
        }(),
        [] {
            SearchBytes d;
            d.u16(0).u32(0).text(K("다리"), 20).raw(K("2|돌다리"));
            return d.s;
        }(),
    };
    const std::uint32_t base = index + 8 * static_cast<std::uint32_t>(blocks.size());
    SearchBytes b;
    b.text("THEME", 32).text(K(title), 40).text(K("설명"), 100).u8(0).u8(0).u8(0).u8(0).u32(0);
    b.u32(regions).u32(2).u32(placeAt).u32(placeCount < 0 ? static_cast<std::uint32_t>(places.size()) : placeCount);
    b.u32(labels).u32(2).u32(index).u32(static_cast<std::uint32_t>(blocks.size())).u32(0).u32(0).u32(base).u32(0);
    EXPECT_EQ(b.size(), 228u);
    b.text(K("한울남도"), 28).text(K("가람시"), 28);
    for (const Place& p : places) {
        b.text(K(p.name), 20).u32(p.x).u32(p.y).u16(p.region1).u16(p.region2).u16(0).u32(static_cast<std::uint32_t>(p.detail));
        b.text("", 10);
    }
    b.text(K("주소"), 40).text(K("소개"), 40);
    std::uint32_t at = 0;
    for (const std::string& d : blocks) {
        b.u32(at).u32(static_cast<std::uint32_t>(d.size()));
        at += static_cast<std::uint32_t>(d.size());
    }
    for (const std::string& d : blocks) b.raw(d);
    return b.s;
}

struct ThemeFx {
    TempRoot root;
    CThemeDB db;
    ThemeFx() {
        root.MakeFile("SearchDB/Theme/b.thm", ThemeFile("맛집 기행", kPlaces));
        root.MakeFile("SearchDB/Theme/a.thm", ThemeFile("가람 명소", kPlaces));
        root.MakeFile("SearchDB/Theme/c.thm", "short");
        root.MakeFile("SearchDB/Theme/d.thm", ThemeFile("빈 테마", {}));
        root.MakeFile("SearchDB/Theme/e.thm", ThemeFile("큰 테마", kPlaces, 0x7FFFFFFF));
        EXPECT_TRUE(db.Init(u"SearchDB\\Theme"));
        db.SetCurrentPos(kX, kY);
    }
};

std::vector<std::string> Names(CThemeDB& db) {
    std::vector<std::string> out;
    for (int i = 0; i < db.GetCount(); ++i) {
        ThemeRow row;
        if (db.GetRow(i, row)) out.push_back(Cp949ToUtf8(row.name) + " " + Cp949ToUtf8(row.text));
        else out.push_back("<no row>");
    }
    return out;
}

} // namespace

TEST(ThemeDB, ListsReadableThemesInPathOrder) {
    ThemeFx fx;
    ASSERT_EQ(fx.db.GetThemeCount(), 4); // c.thm has no header
    char title[41] = {};
    ASSERT_TRUE(fx.db.GetThemeTitle(0, title));
    EXPECT_EQ(Cp949ToUtf8(title), "가람 명소");
    ASSERT_TRUE(fx.db.GetThemeTitle(1, title));
    EXPECT_EQ(Cp949ToUtf8(title), "맛집 기행");
    EXPECT_FALSE(fx.db.GetThemeTitle(4, title));
    char description[101] = {};
    ASSERT_TRUE(fx.db.GetThemeDescription(0, description));
    EXPECT_EQ(Cp949ToUtf8(description), "설명");
    EXPECT_FALSE(fx.db.LoadTheme(2)); // no places
    EXPECT_FALSE(fx.db.LoadTheme(3)); // a place count past the file
    EXPECT_FALSE(fx.db.LoadTheme(4));
    EXPECT_TRUE(fx.db.LoadTheme(0));
    EXPECT_EQ(fx.db.GetRegionCount(), 2);

    TempRoot empty;
    CThemeDB none;
    EXPECT_FALSE(none.Init(u"SearchDB\\Theme"));
}

TEST(ThemeDB, DistanceOrderAndTheRadius) {
    EXPECT_FLOAT_EQ(CThemeDB::Distance(1000, 0), 3.0f);
    EXPECT_NEAR(CThemeDB::Distance(1500, 1500), 1500 * std::sqrt(2.0) * 0.003, 1e-5);
    ThemeFx fx;
    ASSERT_TRUE(fx.db.LoadTheme(0));
    EXPECT_EQ(fx.db.GetCount(), 6);
    ASSERT_TRUE(fx.db.Search(0, "", 2));
    const std::vector<std::string> all = {"가시장 3.00Km", "가시장 3.00Km", "나호수 3.00Km",
                                          "다리 4.80Km",   "가공원 6.36Km", "라성 7.00Km"};
    EXPECT_EQ(Names(fx.db), all);
    _THEME_RESULT r;
    ASSERT_TRUE(fx.db.GetPosition(0, r));
    EXPECT_EQ(r.y, static_cast<std::uint32_t>(kY - 1000)); // regions (1, 2) before (2, 1)
    ASSERT_TRUE(fx.db.GetPosition(1, r));
    EXPECT_EQ(r.x, static_cast<std::uint32_t>(kX - 1000));
    EXPECT_DOUBLE_EQ(fx.db.GetDistance(3), static_cast<double>(CThemeDB::Distance(0, 1600)));

    // Narrowing the unfiltered distance list keeps the same circle as a full scan.
    const std::vector<std::string> within5 = {"가시장 3.00Km", "가시장 3.00Km", "나호수 3.00Km", "다리 4.80Km"};
    ASSERT_TRUE(fx.db.Search(5, "", 2));
    EXPECT_EQ(Names(fx.db), within5);
    ASSERT_TRUE(fx.db.LoadTheme(0));
    ASSERT_TRUE(fx.db.Search(5, "", 2));
    EXPECT_EQ(Names(fx.db), within5);
    EXPECT_FALSE(fx.db.GetPosition(4, r));
    EXPECT_EQ(fx.db.GetDetailNumber(4), -1);
    EXPECT_FALSE(fx.db.Search(2, "", 2));
}

TEST(ThemeDB, RegionsWordsAndDetails) {
    ThemeFx fx;
    ASSERT_TRUE(fx.db.LoadTheme(1));
    // Mode 0 lists every place with its region text; the place with region 0 has no row.
    fx.db.Search(0, "", 0);
    const std::vector<std::string> rows = Names(fx.db);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], "나호수 한남 가람시");
    EXPECT_EQ(rows[3], "가시장 가람시 한울남도");
    EXPECT_EQ(rows[5], "<no row>");
    EXPECT_EQ(fx.db.GetDistance(0), -1.0);

    ASSERT_TRUE(fx.db.Search(2, "", 1));
    EXPECT_EQ(Names(fx.db), (std::vector<std::string>{"가시장 가람시 한울남도", "다리 가람시 가람시"}));
    EXPECT_FALSE(fx.db.Search(3, "", 1));

    // Words: in the name, or else in the place's detail texts; blanks only filter nothing.
    ASSERT_TRUE(fx.db.Search(0, K("고인").c_str(), 1));
    EXPECT_EQ(Names(fx.db), std::vector<std::string>{"나호수 한남 가람시"});
    ASSERT_TRUE(fx.db.Search(0, K("돌다 공원").c_str(), 2));
    EXPECT_EQ(Names(fx.db), (std::vector<std::string>{"다리 4.80Km", "가공원 6.36Km"}));
    ASSERT_TRUE(fx.db.Search(0, "   ", 1));
    EXPECT_EQ(fx.db.GetCount(), 6);

    std::vector<_POI_ITEM> items;
    ASSERT_TRUE(fx.db.GetDetail(0, items));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(Cp949ToUtf8(items[0].label), "주소");
    EXPECT_EQ(Cp949ToUtf8(items[0].text), "가람시 호수로 1");
    EXPECT_EQ(Cp949ToUtf8(items[1].label), "소개");
    EXPECT_STREQ(items[2].label, ""); // field 0 names no label
    EXPECT_STREQ(items[2].text, "X");
    EXPECT_FALSE(fx.db.GetDetail(2, items));
    EXPECT_FALSE(fx.db.GetDetail(-1, items));
}

TEST(ThemeDB, CorruptTablesFailCleanly) {
    const std::string good = ThemeFile("가람 명소", kPlaces);
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    } cases[] = {{"region table past the end", 180, 0x7FFFFFF0},   {"region count 0x7FFFFFFF", 184, 0x7FFFFFFF},
                 {"label table past the end", 196, 0x7FFFFFF0},    {"label count 0x7FFFFFFF", 200, 0x7FFFFFFF},
                 {"detail index past the end", 204, 0x7FFFFFF0},   {"detail count 0x7FFFFFFF", 208, 0x7FFFFFFF},
                 {"detail blocks past the end", 220, 0x7FFFFFF0}};
    for (const Case& c : cases) {
        SearchBytes b{good};
        b.patch32(c.at, c.value);
        TempRoot root;
        root.MakeFile("T/a.thm", b.s);
        CThemeDB db;
        ASSERT_TRUE(db.Init(u"T")) << c.what;
        ASSERT_TRUE(db.LoadTheme(0)) << c.what;
        db.SetCurrentPos(kX, kY);
        db.Search(0, K("고인").c_str(), 1); // the word filter reads the details
        db.Search(0, "", 0);
        for (int i = 0; i < db.GetCount(); ++i) {
            ThemeRow row;
            db.GetRow(i, row);
        }
        std::vector<_POI_ITEM> items;
        db.GetDetail(0, items);
        db.GetDetail(1, items);
    }
    // Regions and details out of reach give no row and no detail.
    SearchBytes b{good};
    b.patch32(180, 0x7FFFFFF0);
    b.patch32(204, 0x7FFFFFF0);
    TempRoot root;
    root.MakeFile("T/a.thm", b.s);
    CThemeDB db;
    ASSERT_TRUE(db.Init(u"T"));
    ASSERT_TRUE(db.LoadTheme(0));
    db.Search(0, "", 0);
    ThemeRow row;
    EXPECT_FALSE(db.GetRow(0, row));
    std::vector<_POI_ITEM> items;
    EXPECT_FALSE(db.GetDetail(0, items));
    EXPECT_TRUE(items.empty());
}
