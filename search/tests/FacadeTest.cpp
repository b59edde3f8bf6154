// The search facade's settings, version checks and the point-of-interest lookup without a dialog,
// on small hand-built databases.
#include "platform/files/tests/TempRoot.h"
#include "search/CSearchManager.h"
#include "search/tests/SearchBytes.h"

#include <gtest/gtest.h>

namespace {

int Callback(unsigned long, unsigned long, int, int) {
    return 0;
}

TEST(CSearchManagerTest, PathsAreFormedFromTheDataFolderWhateverItsLength) {
    CSearchManager m;
    EXPECT_TRUE(m.InitPath(u"\\Storage Card\\MapData"));
    EXPECT_TRUE(m.GetNameDBPath() == u"\\Storage Card\\MapData\\SearchDB\\nVelko.db");
    EXPECT_TRUE(m.GetAddrDBPath() == u"\\Storage Card\\MapData\\SearchDB\\aVelko.db");
    EXPECT_TRUE(m.GetThemePath() == u"\\Storage Card\\MapData\\SearchDB\\Theme");
    EXPECT_TRUE(m.GetAdminDBPath() == u"\\Storage Card\\MapData\\SearchDB\\AdminName.db");
    EXPECT_TRUE(m.GetPOIDBPath() == u"\\Storage Card\\MapData\\SearchDB\\POI.db");

    // A folder longer than the handheld's 260-character paths is kept whole, never cut.
    std::u16string deep = u"\\Storage Card";
    while (deep.size() < 400) deep += u"\\깊은폴더";
    m.InitPath(deep.c_str());
    EXPECT_TRUE(m.GetPOIDBPath() == CString((deep + u"\\SearchDB\\POI.db").c_str()));
    m.SetStoragePath(deep.c_str());
    EXPECT_TRUE(m.GetStoragePath() == CString(deep.c_str()));
    m.SetStoragePath(nullptr);
    EXPECT_TRUE(m.GetStoragePath().IsEmpty());
    EXPECT_TRUE(m.InitThemePath(u"anything"));
}

TEST(CSearchManagerTest, VersionChecksReadTheHeadersTheyName) {
    TempRoot root;
    root.MakeFile("SearchDB/nVelko.db", DbHeaderBytes(DbHeaderFields{}).s);
    root.MakeFile("SearchDB/AdminName.db", AdminNameBytes({"한울남도", "가람시"}));
    DbHeaderFields blank;
    blank.version = "   ";
    root.MakeFile("Other/SearchDB/nVelko.db", DbHeaderBytes(blank).s);
    root.MakeFile("Other/SearchDB/aVelko.db", DbHeaderBytes(DbHeaderFields{}).s.substr(0, 60));

    CSearchManager m;
    m.InitPath(u"");
    CNaviVersion v;
    EXPECT_TRUE(m.GetNameDBVersion(v));
    EXPECT_TRUE(m.GetAdminDBVersion(v));
    EXPECT_FALSE(m.GetAddrDBVersion(v)); // no address database here
    EXPECT_TRUE(m.GetThemeDBVersion(v)); // no theme file anywhere

    // A version text without a first token, a header cut short, no admin-name file.
    m.InitPath(u"\\Other");
    EXPECT_FALSE(m.GetNameDBVersion(v));
    EXPECT_FALSE(m.GetAddrDBVersion(v));
    EXPECT_FALSE(m.GetAdminDBVersion(v));
    EXPECT_TRUE(m.GetThemeDBVersion(v));
}

TEST(CSearchManagerTest, PointOfInterestLookupWithoutDialog) {
    TempRoot root;
    root.MakeFile("SearchDB/POI.db", PoiFixture({PoiRecord(K("가람시청"), "0|" + K("031-123-4567") + "|1|" +
                                                                          K("한울남도 가람시 시청동"))}));
    CSearchManager m;
    m.InitPath(u"");
    _POI_RESULT r;
    ASSERT_TRUE(m.StartSearch(1, r));
    EXPECT_EQ(Cp949ToUtf8(r.name), "가람시청");
    ASSERT_EQ(r.items.size(), 2u);
    EXPECT_EQ(Cp949ToUtf8(r.items[1].text), "한울남도 가람시 시청동");

    _POI_RESULT untouched;
    EXPECT_FALSE(m.StartSearch(0, untouched));
    EXPECT_FALSE(m.StartSearch(2, untouched));
    EXPECT_TRUE(untouched.items.empty());
    m.InitPath(u"\\Nowhere");
    EXPECT_FALSE(m.StartSearch(1, untouched));
}

TEST(CSearchManagerTest, CopiesTakeEverySettingAndNoSearch) {
    CSearchManager m;
    EXPECT_EQ(m.GetUIType(), -1);
    EXPECT_EQ(m.GetSearchType(), -1);
    EXPECT_TRUE(m.GetUseMenuButton());
    EXPECT_TRUE(m.ReloadedSearchDB()); // no search runs

    m.InitPath(u"\\Data");
    m.SetStoragePath(u"\\Storage Card\\Neigh");
    m.InitCurrentPos(123456, 654321);
    m.SetSearchName(u"AroundSearch");
    m.SetResourceBuilder(reinterpret_cast<NaviRcBuilder*>(0x10));
    m.SetUIType(2004);
    m.SetNaviMediator(reinterpret_cast<NaviMediator*>(0x20));
    m.SetDirectRoute(true);
    m.SetUseMenuButton(false);
    m.m_pMapCallback = &Callback;
    m.SetSearchType(4);

    for (int pass = 0; pass < 2; ++pass) {
        CSearchManager copy;
        if (pass == 0) {
            CSearchManager made(m);
            copy = made;
        } else {
            copy = m;
        }
        EXPECT_TRUE(copy.GetPOIDBPath() == u"\\Data\\SearchDB\\POI.db");
        EXPECT_TRUE(copy.GetStoragePath() == u"\\Storage Card\\Neigh");
        EXPECT_EQ(copy.GetCurrentX(), 123456u);
        EXPECT_EQ(copy.GetCurrentY(), 654321u);
        EXPECT_TRUE(copy.GetSearchName() == u"AroundSearch");
        EXPECT_EQ(copy.GetResourceBuilder(), reinterpret_cast<NaviRcBuilder*>(0x10));
        EXPECT_EQ(copy.GetUIType(), 2004);
        EXPECT_EQ(copy.GetNaviMediator(), reinterpret_cast<NaviMediator*>(0x20));
        EXPECT_TRUE(copy.GetDirectRoute());
        EXPECT_FALSE(copy.GetUseMenuButton());
        EXPECT_EQ(copy.m_pMapCallback, &Callback);
        EXPECT_EQ(copy.GetSearchType(), -1);
    }
    // Types 4 and 5 hold nothing to reload; a type whose dialog is not there fails.
    EXPECT_TRUE(m.ReloadedSearchDB());
    m.SetSearchType(0);
    EXPECT_FALSE(m.ReloadedSearchDB());
    m.SetSearchType(1);
    EXPECT_FALSE(m.ReloadedSearchDB());
}

// Without the address database the address search shows nothing and leaves the record as it was.
TEST(CSearchManagerTest, AddressSearchWithoutItsDatabase) {
    TempRoot root;
    root.MakeFile("Data/SearchDB/AdminName.db", AdminNameBytes({"한울남도"}));
    CSearchManager m;
    m.InitPath(u"\\Data");
    _ADDR_RESULT r;
    r.levelIndex[0] = 3;
    r.pointType = 1;
    r.routeDirectly = 1;
    EXPECT_EQ(m.StartSearch(r), CSearchManager::kCannotOpen);
    EXPECT_EQ(r.levelIndex[0], 3);
    EXPECT_EQ(r.pointType, 1);
    EXPECT_EQ(r.routeDirectly, 1);
    EXPECT_EQ(m.GetSearchType(), -1);
}

} // namespace
