#include "platform/files/tests/TempRoot.h"
#include "search/CateIndex.h"
#include "search/PoiFile.h"
#include "search/tests/SearchBytes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char16_t* kNames = u"SearchDB\\nVelko.db";
const char16_t* kAdmin = u"SearchDB\\AdminName.db";

// Category tree from base 84: 의료 (kind stored as 5) > {병원, 약국}; 교통시설 > 지하철역; every
// minor class > 한울남도 > 가람시 > facilities 1, 2, 3. Records at 180, class names at 300.
std::string CateFixture(std::uint32_t fac1 = 1, std::uint32_t facCount = 3) {
    DbHeaderFields f;
    f.offset[4] = 84;
    f.count[4] = 2;
    f.recordBase = 180;
    f.recordEnd = 300;
    f.entry30 = 300;
    SearchBytes b = DbHeaderBytes(f);
    auto node = [&](unsigned name, std::uint32_t child, std::uint32_t count, unsigned kind) {
        b.u16(name).u32(child).u32(count).u8(0).u8(kind);
    };
    node(1, 24, 2, 5);
    node(4, 48, 1, 1);
    node(2, 60, 1, 0);
    node(3, 60, 1, 0);
    node(5, 60, 1, 0);
    node(1, 72, 1, 0);
    node(3, 84, facCount, 0);
    b.u32(fac1).u32(2).u32(3);
    EXPECT_EQ(b.size(), 180u);
    NameRecordBytes(b, K("가람중앙병원"), 6733, 11143, 1663, 1, 3, 5);
    NameRecordBytes(b, K("나래병원"), 6742, 10, 20, 2, 3, 0);
    NameRecordBytes(b, K("다솜의원"), 6744, 30, 40, 1, 3, 0);
    for (const char* c : {"의료", "병원", "약국", "교통시설", "지하철역"}) b.text(K(c), 30);
    return b.s;
}

struct CateFx {
    TempRoot root;
    explicit CateFx(const std::string& names = CateFixture()) {
        root.MakeFile("SearchDB/nVelko.db", names);
        root.MakeFile("SearchDB/AdminName.db", AdminNameBytes({"한울남도", "누리광역시", "가람시"}));
    }
};

std::string ItemName(CCateIndex& c, int level, int index) {
    char out[31] = {};
    return c.GetItemName(level, index, out) ? Cp949ToUtf8(out) : "<none>";
}

} // namespace

TEST(CateIndex, WalksTheTreeAndReadsFacilities) {
    CateFx fx;
    CCateIndex c;
    ASSERT_TRUE(c.OpenOn(kNames, kAdmin));
    EXPECT_EQ(c.GetTopCount(), 2);
    EXPECT_EQ(c.GetListCount(1), 2);
    EXPECT_EQ(c.GetListCount(2), 1);
    EXPECT_EQ(c.GetListCount(3), 1);
    EXPECT_EQ(c.GetFacilityCount(), 3);
    EXPECT_EQ(ItemName(c, 0, 0), "의료");
    EXPECT_EQ(ItemName(c, 0, 1), "교통시설");
    EXPECT_EQ(ItemName(c, 1, 1), "약국");
    EXPECT_EQ(ItemName(c, 2, 0), "한울남도");
    EXPECT_EQ(ItemName(c, 3, 0), "가람시");
    EXPECT_EQ(ItemName(c, 3, 1), "<none>");
    EXPECT_EQ(c.GetNode(0, 0)->kind, 3); // stored as 5

    // The first facility is index 0.
    char name[21] = {};
    ASSERT_TRUE(c.GetName(0, name));
    EXPECT_EQ(Cp949ToUtf8(name), "가람중앙병원");
    NameHit hit;
    ASSERT_TRUE(c.GetHit(1, hit));
    EXPECT_EQ(Cp949ToUtf8(hit.name), "나래병원");
    EXPECT_EQ(Cp949ToUtf8(hit.text), "누리시 가람시");
    EXPECT_EQ(hit.hasDetail, 0);
    EXPECT_EQ(c.GetDetailNumber(0), 5u);
    _CATE_RESULT r;
    EXPECT_FALSE(c.GetFacility(-1, r));
    EXPECT_FALSE(c.GetFacility(3, r));
    ASSERT_TRUE(c.GetFacility(2, r));
    EXPECT_EQ(Cp949ToUtf8(r.name), "다솜의원");
    EXPECT_EQ(r.pos[0], 6744);

    ASSERT_TRUE(c.Select(0, 1));
    EXPECT_EQ(c.GetListCount(1), 1);
    EXPECT_EQ(ItemName(c, 1, 0), "지하철역");
    EXPECT_EQ(c.GetFacilityCount(), 3);
    EXPECT_FALSE(c.Select(0, 2));
    EXPECT_FALSE(c.Select(1, -1));
    EXPECT_TRUE(c.Select(4, 0));
}

TEST(CateIndex, BadRecordNumbersAndCounts) {
    {   // Record number 0 and one past the section.
        CateFx fx(CateFixture(0));
        CCateIndex c;
        ASSERT_TRUE(c.OpenOn(kNames, kAdmin));
        char name[21] = {};
        EXPECT_FALSE(c.GetName(0, name));
        EXPECT_EQ(c.GetDetailNumber(0), 0u);
        EXPECT_TRUE(c.GetName(1, name));
    }
    {
        CateFx fx(CateFixture(4));
        CCateIndex c;
        ASSERT_TRUE(c.OpenOn(kNames, kAdmin));
        char name[21] = {};
        EXPECT_FALSE(c.GetName(0, name));
    }
    {   // A facility count of 0x7FFFFFFF lists nothing.
        CateFx fx(CateFixture(1, 0x7FFFFFFF));
        CCateIndex c;
        ASSERT_TRUE(c.OpenOn(kNames, kAdmin));
        EXPECT_EQ(c.GetFacilityCount(), 0);
        NameHit hit;
        EXPECT_FALSE(c.GetHit(0, hit));
    }
    {   // A tree list past the end, and no tree at all.
        SearchBytes b{CateFixture()};
        b.patch32(84 + 2, 0x7FFFFF00);
        CateFx fx(b.s);
        CCateIndex c;
        EXPECT_FALSE(c.OpenOn(kNames, kAdmin));
        SearchBytes none{CateFixture()};
        none.s[60] = 0;
        none.s[61] = 0;
        CateFx fx2(none.s);
        EXPECT_FALSE(c.OpenOn(kNames, kAdmin));
    }
}

namespace {

std::string Utf8Text(const char* cp949) {
    return Cp949ToUtf8(cp949);
}

} // namespace

TEST(PoiFile, ReadsLabelledDetails) {
    std::string korean = "A";
    for (int i = 0; i < 1500; ++i) korean += "\xB0\xC5"; // 거
    TempRoot root;
    root.MakeFile("SearchDB/POI.db", PoiFixture({PoiRecord(K("가람시청"), "1|A|2|B"),
                                                 PoiRecord("x", "3|" + std::string(3000, 'x')),
                                                 PoiRecord("y", "3|" + korean),
                                                 PoiRecord("z", "4|Z|0|" + K("031-000-0000")),
                                                 PoiRecord("e", "")}));
    CPoiFile poi;
    ASSERT_TRUE(poi.Open(u"SearchDB\\POI.db"));
    _POI_RESULT r;
    ASSERT_TRUE(poi.ReadPOI(1, r));
    EXPECT_EQ(r.first, 12);
    EXPECT_EQ(r.second, 34);
    EXPECT_EQ(Utf8Text(r.name), "가람시청");
    ASSERT_EQ(r.items.size(), 2u);
    EXPECT_EQ(Utf8Text(r.items[0].label), "주소");
    EXPECT_STREQ(r.items[0].text, "A");
    EXPECT_EQ(Utf8Text(r.items[1].label), "영업시간");
    EXPECT_STREQ(r.items[1].text, "B");

    ASSERT_TRUE(poi.ReadPOI(2, r));
    ASSERT_EQ(r.items.size(), 1u);
    EXPECT_EQ(std::string(r.items[0].text), std::string(2046, 'x') + "..");

    ASSERT_TRUE(poi.ReadPOI(3, r));
    std::string expected = "A";
    for (int i = 0; i < 1022; ++i) expected += "\xB0\xC5";
    EXPECT_EQ(std::string(r.items[0].text), expected + "...");
    EXPECT_EQ(std::strlen(r.items[0].text), 2048u);

    // Label 4 is the label count itself: empty; label 0 is the first.
    ASSERT_TRUE(poi.ReadPOI(4, r));
    ASSERT_EQ(r.items.size(), 2u);
    EXPECT_STREQ(r.items[0].label, "");
    EXPECT_EQ(Utf8Text(r.items[1].label), "전화번호");

    // An empty detail text, 0 and count + 1 fail and leave the record as it was.
    EXPECT_FALSE(poi.ReadPOI(5, r));
    EXPECT_FALSE(poi.ReadPOI(0, r));
    EXPECT_FALSE(poi.ReadPOI(6, r));
    EXPECT_FALSE(poi.ReadPOI(-3, r));
    EXPECT_EQ(Utf8Text(r.items[1].label), "전화번호");
}

TEST(PoiFile, CorruptFilesFailCleanly) {
    TempRoot root;
    const std::string good = PoiFixture({PoiRecord("a", "1|A")});
    root.MakeFile("zero.db", PoiFixture({PoiRecord("a", "1|A")}, 0));
    root.MakeFile("short.db", good.substr(0, 40));
    auto patched = [&](std::size_t at, std::uint32_t v) {
        SearchBytes b{good};
        b.patch32(at, v);
        return b.s;
    };
    root.MakeFile("small.db", patched(208 + 4, 25));
    root.MakeFile("huge.db", patched(208 + 4, 0x7FFFFFFF));
    root.MakeFile("past.db", patched(208, 0x7FFFFF00));
    root.MakeFile("count.db", patched(44, 0x7FFFFFFF));
    CPoiFile poi;
    EXPECT_FALSE(poi.Open(u"zero.db"));
    EXPECT_FALSE(poi.Open(u"short.db"));
    EXPECT_FALSE(poi.Open(u"missing.db"));
    _POI_RESULT r;
    EXPECT_FALSE(poi.ReadPOI(1, r));
    for (const char16_t* f : {u"small.db", u"huge.db", u"past.db"}) {
        ASSERT_TRUE(poi.Open(f));
        EXPECT_FALSE(poi.ReadPOI(1, r));
    }
    ASSERT_TRUE(poi.Open(u"count.db"));
    EXPECT_TRUE(poi.ReadPOI(1, r));
    EXPECT_FALSE(poi.ReadPOI(1000, r));
}
