// The category, nearby and theme screens' text rules and the facade's codes for the searches
// that cannot start: worked out by hand from the rules the screens follow.
#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/gdi/Gdi.h"
#include "search/CSearchManager.h"
#include "search/NaviMediator.h"
#include "search/ui/CAroundListCtrl.h"
#include "search/ui/CDlgAroundSrch.h"
#include "search/ui/CDlgCateSrch.h"
#include "search/ui/CDlgThemeSrch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TextCase {
    const char16_t* in;
    const char16_t* out;
};

TEST(CategoryCaptions, ClassNamesCutOnCharactersAreasShortened) {
    // Class names: more than 9 bytes keep 8 bytes of whole characters and "..".
    const TextCase classes[] = {
        {u"S_OIL주유소", u"S_OIL주.."}, // 11 bytes; byte 8 would split 유
        {u"고속도로시설", u"고속도로.."},  // 12 bytes
        {u"교통시설", u"교통시설"},          // 8 bytes
        {u"주유소ABC", u"주유소ABC"},        // 9 bytes stay
        {u"ABCDEFGHIJ", u"ABCDEFGH.."},
    };
    for (const TextCase& c : classes)
        EXPECT_EQ(Utf16ToUtf8(CDlgCateSrch::FilterString(c.in, true).GetString()), Utf16ToUtf8(c.out)) << Utf16ToUtf8(c.in);
    const TextCase areas[] = {
        {u"누리광역시", u"누리시"}, {u"한울남도", u"한남"}, {u"가람시", u"가람시"}, {u"세종특별자치시", u"세종특별자치시"}};
    for (const TextCase& c : areas)
        EXPECT_EQ(Utf16ToUtf8(CDlgCateSrch::FilterString(c.in, false).GetString()), Utf16ToUtf8(c.out)) << Utf16ToUtf8(c.in);
}

TEST(NearbyList, BearingSectors) {
    const struct {
        int bearing, sector;
    } cases[] = {{0, 0},   {5, 0},   {9, 0},   {10, 1},  {79, 1},  {80, 2},  {85, 2},   {90, 2},
                 {99, 2},  {100, 3}, {169, 3}, {170, 4}, {189, 4}, {190, 5}, {259, 5},  {260, 6},
                 {279, 6}, {280, 7}, {349, 7}, {350, 0}, {355, 0}, {360, 0}, {361, -1}, {-1, -1}};
    for (const auto& c : cases) EXPECT_EQ(CAroundListCtrl::Sector(c.bearing), c.sector) << c.bearing;
}

TEST(NearbyList, NamesWiderThan80PixelsAreShortened) {
    // Built-in font at height 13: a syllable 12 pixels, an ASCII letter 6.
    GdiUseBuiltinFont(true);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    const HGDIOBJ old = SelectObject(dc, font);
    const TextCase cases[] = {
        {u"가람중앙종합병원", u"가람중앙종합.."}, // 96 px; six syllables are the first 72 >= 71
        {u"가람소아과의원", u"가람소아과의.."},     // 84 px; cut after six syllables
        {u"SK주유소", u"SK주유소"},                 // 48 px
        {u"가나다라마바", u"가나다라마바"},         // 72 px fits
        {u"ABCDEFGHIJKLMN", u"ABCDEFGHIJKL.."},     // 84 px; twelve letters are 72 >= 71
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(Utf16ToUtf8(CDlgAroundSrch::ModifyName(dc, c.in).GetString()), Utf16ToUtf8(c.out)) << Utf16ToUtf8(c.in);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

TEST(NearbyList, CategoryNames) {
    EXPECT_EQ(Utf16ToUtf8(CDlgAroundSrch::GetCateName(0).GetString()), "병원");
    EXPECT_EQ(Utf16ToUtf8(CDlgAroundSrch::GetCateName(3).GetString()), "주유소");
    EXPECT_EQ(Utf16ToUtf8(CDlgAroundSrch::GetCateName(9).GetString()), "지하철역");
    EXPECT_TRUE(CDlgAroundSrch::GetCateName(10).IsEmpty());
    EXPECT_TRUE(CDlgAroundSrch::GetCateName(-1).IsEmpty());
}

TEST(ThemeFilter, RegionNamesAndFilterValues) {
    const TextCase regions[] = {{u"서울특별시", u"서울"}, {u"충청남도", u"충남"}, {u"경기도", u"경기"},
                                {u"세종특별자치시", u"세종특별자치시"}, {u"울산광역시", u"울산"},
                                {u"경상북도", u"경북"}, {u"제주도", u"제주"}, {u"한울남도", u"한울남도"}};
    for (const TextCase& c : regions)
        EXPECT_EQ(Utf16ToUtf8(CDlgThemeSrch::ShortRegion(c.in).GetString()), Utf16ToUtf8(c.out)) << Utf16ToUtf8(c.in);
    // Distances in km by combo row; in region mode the row is the region number.
    const int km[] = {0, 5, 10, 50, 100};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(CDlgThemeSrch::FilterValue(2, i), km[i]);
    EXPECT_EQ(CDlgThemeSrch::FilterValue(2, 7), 0);
    EXPECT_EQ(CDlgThemeSrch::FilterValue(1, 3), 3);
    EXPECT_EQ(CDlgThemeSrch::FilterValue(1, -1), 0);
}

class NullMediator : public NaviMediator {
public:
    void AddItem(AroundFacilityItem* item) override { delete item; ++added; }
    void SetItem(int, const AroundFacilityItem&) override {}
    void SetState(int) override {}
    void ForwardKey(int) override {}
    int added = 0;
};

int Callback(unsigned long, unsigned long, int, int) {
    return 0;
}

// The searches that cannot start: nothing is shown, no dialog or search type stays behind.
TEST(SearchFacade, SearchesThatCannotStart) {
    TempRoot root;
    CSearchManager m;
    m.InitPath(u"\\Nowhere");
    m.m_pMapCallback = Callback;
    _AROUND_RESULT around;
    around.row = 7;
    EXPECT_EQ(m.StartSearch(around), CSearchManager::kNoMediator);
    EXPECT_EQ(around.row, 7);
    EXPECT_EQ(around.kind, 0);
    EXPECT_EQ(m.GetSearchType(), -1);
    EXPECT_TRUE(m.ReloadedSearchDB());

    NullMediator mediator;
    m.SetNaviMediator(&mediator);
    m.m_pMapCallback = nullptr;
    EXPECT_EQ(m.StartSearch(around), CSearchManager::kNoMediator);
    EXPECT_EQ(mediator.added, 0);

    _CATE_RESULT category;
    category.index[0] = 2;
    category.pointType = 3;
    EXPECT_EQ(m.StartSearch(category), CSearchManager::kCannotOpen);
    EXPECT_EQ(category.index[0], 2);
    EXPECT_EQ(category.pointType, 3);
    EXPECT_EQ(m.GetSearchType(), -1);

    _THEME_RESULT theme;
    theme.theme = 1;
    EXPECT_EQ(m.StartSearch(theme), CSearchManager::kCannotOpen);
    EXPECT_EQ(theme.theme, 1);

    CNaviVersion version;
    EXPECT_TRUE(m.GetThemeDBVersion(version));
    EXPECT_TRUE(m.ReloadedSearchDB());
}

} // namespace
