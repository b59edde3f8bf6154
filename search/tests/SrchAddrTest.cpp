#include "platform/files/tests/TempRoot.h"
#include "search/SrchAddr.h"
#include "search/tests/SearchBytes.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <vector>

namespace {

const char16_t* kAddr = u"SearchDB\\aVelko.db";
const char16_t* kAdmin = u"SearchDB\\AdminName.db";

struct Lot {
    unsigned mountain, main, sub;
};

std::string LotBytes(const std::vector<Lot>& lots) {
    SearchBytes b;
    unsigned k = 0;
    for (const Lot& l : lots) {
        ++k;
        b.u8(0).u8(l.mountain).u16(l.main).u16(l.sub).u16(6733).u16(1000 + k).u16(2000 + k);
    }
    return b.s;
}

// A parcel block: inflated size, stored size, count, flag, data.
std::string Block(const std::string& plain, bool compress, std::uint32_t count, std::uint32_t inflated) {
    std::string data = plain;
    if (compress) {
        uLongf n = compressBound(plain.size());
        data.resize(n);
        EXPECT_EQ(::compress(reinterpret_cast<Bytef*>(data.data()), &n,
                             reinterpret_cast<const Bytef*>(plain.data()), plain.size()),
                  Z_OK);
        data.resize(n);
    }
    SearchBytes b;
    b.u32(inflated).u32(static_cast<std::uint32_t>(data.size())).u32(count).u8(compress ? 1 : 0).raw(data);
    return b.s;
}

const std::vector<Lot> kLots = {{0, 1, 0},   {0, 12, 0},  {0, 12, 3}, {0, 123, 1},
                                {0, 123, 7}, {0, 200, 0}, {1, 5, 0},  {1, 12, 0}};

// Area tree: 한울남도 > 가람시 > {한울가람신도시2동 (parcels), 나래읍 > {가곡리, 나곡리}, 시청동 (the area
// itself)}; 누리광역시 > 누리구 (nothing below, name index past the table).
std::string AddrFixture(const std::string& firstBlock) {
    DbHeaderFields f;
    f.version = "3 1 0 ADDR 20261210";
    f.offset[0] = 84;
    f.count[0] = 2;
    SearchBytes b = DbHeaderBytes(f);
    auto node = [&](unsigned name, std::uint32_t child, unsigned count, unsigned type, unsigned x) {
        b.u16(name).u32(child).u16(count).u32(0).u16(0).u8(type).u16(0).u16(0).u8(0);
        b.u16(6733).u16(x).u16(500).u16(0);
    };
    const std::uint32_t blocks = 252;
    const std::string single = Block(LotBytes({{0, 77, 0}}), false, 1, 12);
    node(1, 56, 1, 0, 1);   // base + 0
    node(2, 84, 1, 0, 2);   // base + 28
    node(3, 112, 3, 0, 3);  // base + 56
    node(99, 196, 0, 0, 4); // base + 84
    node(4, blocks, 1, 3, 5);  // base + 112
    node(5, 196, 2, 2, 6);     // base + 140
    node(6, 0, 0, 6, 7);       // base + 168
    node(7, blocks + static_cast<std::uint32_t>(firstBlock.size()), 1, 3, 8); // base + 196
    node(8, 0, 0, 3, 9);       // base + 224: no parcel block
    EXPECT_EQ(b.size(), 84u + blocks);
    b.raw(firstBlock).raw(single);
    return b.s;
}

std::string AdminFixture() {
    return AdminNameBytes({"한울남도", "누리광역시", "가람시", "한울가람신도시2동", "나래읍", "시청동", "가곡리", "나곡리"});
}

struct Fixture {
    TempRoot root;
    explicit Fixture(const std::string& block = Block(LotBytes(kLots), true, 8, 96)) {
        root.MakeFile("SearchDB/aVelko.db", AddrFixture(block));
        root.MakeFile("SearchDB/AdminName.db", AdminFixture());
    }
};

std::string Name(CSrchAddr& a, int level, int index) {
    char out[21] = {};
    return a.GetTypeName(level, index, out) ? Cp949ToUtf8(out) : "<none>";
}

std::string NearText(CSrchAddr& a, int i) {
    _ADDR_RESULT r;
    return a.GetSearchResult(4 + i, i, r) ? Cp949ToUtf8(r.detail) : "<none>";
}

} // namespace

TEST(SrchAddr, OpensOnTheFirstPathAndWalksTheLevels) {
    Fixture fx;
    CSrchAddr a;
    ASSERT_TRUE(a.OpenOn(kAddr, kAdmin));
    EXPECT_EQ(a.GetDownNodeCount(6), 2);
    EXPECT_EQ(a.GetListCount(0), 2);
    EXPECT_EQ(a.GetListCount(1), 1);
    EXPECT_EQ(a.GetListCount(2), 3);
    EXPECT_EQ(a.GetListCount(3), 0); // the first neighbourhood has parcels, not villages
    EXPECT_EQ(Name(a, 0, 1), "누리광역시");
    EXPECT_EQ(Name(a, 2, 0), "한울가람신도시2동");
    EXPECT_EQ(a.GetDownNodeType(2, 0), 3);
    EXPECT_EQ(a.GetDownNodeType(2, 1), 2);
    EXPECT_EQ(a.GetDownNodeType(2, 3), -1);
    EXPECT_EQ(Name(a, 2, 3), "<none>");

    EXPECT_FALSE(a.Search(2, 0)); // parcels below: selected, no village list
    EXPECT_EQ(a.GetListCount(3), 0);
    ASSERT_TRUE(a.Search(2, 1));
    EXPECT_EQ(a.GetListCount(3), 2);
    EXPECT_EQ(Name(a, 3, 1), "나곡리");
    ASSERT_TRUE(a.Search(2, 2)); // the area itself is the result
    EXPECT_EQ(a.GetListCount(3), 0);
    _ADDR_RESULT r;
    ASSERT_TRUE(a.GetSearchResult(2, 2, r));
    EXPECT_EQ(Cp949ToUtf8(r.detail), "시청동");
    EXPECT_EQ(r.pos[0], 6733);
    EXPECT_EQ(r.pos[1], 7);

    EXPECT_FALSE(a.Search(0, 2));
    EXPECT_FALSE(a.Search(1, -1));
    EXPECT_FALSE(a.GetSearchResult(3, 0, r));
    EXPECT_TRUE(a.Search(7, 0)); // other levels: nothing done
    // 누리광역시 > 누리구: an empty list below clears the current node.
    ASSERT_TRUE(a.Search(0, 1));
    EXPECT_EQ(a.GetListCount(2), 0);
    EXPECT_EQ(a.GetDownNodeCount(1), 0);
    EXPECT_EQ(Name(a, 1, 0), "<none>"); // its name index lies past the table
    a.SetDepth(1);
    EXPECT_EQ(a.Search(0, 5, 0), 0);
}

TEST(SrchAddr, ParcelSearchExactAndNearest) {
    Fixture fx;
    CSrchAddr a;
    ASSERT_TRUE(a.OpenOn(kAddr, kAdmin));
    a.SetDepth(2);
    struct Case {
        const char* text;
        int result;
        std::vector<std::string> near;
    } cases[] = {
        {"123-5", 2, {"123-1"}},
        {"12-9", 2, {"12-3"}},
        {"12-3", 2, {"12-3"}},
        {"300", 1, {"123-7", "200"}},
        {"산20", 1, {"산 5", "산 12"}},
        {"산 12", 2, {"산 12"}},
        {"123456", 1, {"123-7", "200"}},
        {"0", 1, {"1", "12"}},
    };
    for (const Case& c : cases) {
        unsigned char mountain = 0;
        int main = 0, sub = 0;
        ASSERT_TRUE(CSrchAddr::ParseLotText(K(c.text), mountain, main, sub)) << c.text;
        EXPECT_EQ(a.Search(mountain, main, sub), c.result) << c.text;
        ASSERT_EQ(a.GetNearLotCount(), static_cast<int>(c.near.size())) << c.text;
        for (std::size_t i = 0; i < c.near.size(); ++i) EXPECT_EQ(NearText(a, static_cast<int>(i)), c.near[i]) << c.text;
    }
    unsigned char mountain = 0;
    int main = 0, sub = 0;
    ASSERT_TRUE(CSrchAddr::ParseLotText("123456", mountain, main, sub));
    EXPECT_EQ(main, 99999);
    EXPECT_FALSE(CSrchAddr::ParseLotText("  ", mountain, main, sub));
    // The near parcel's position: 200 is the sixth entry.
    ASSERT_EQ(a.Search(0, 300, 0), 1);
    _ADDR_RESULT r;
    ASSERT_TRUE(a.GetSearchResult(5, 1, r));
    EXPECT_EQ(r.pos[1], 1006);
    EXPECT_EQ(r.pos[2], 2006);
    EXPECT_FALSE(a.GetSearchResult(4, 2, r));
    EXPECT_FALSE(a.GetSearchResult(4, -1, r));

    // A village with a stored single-entry block answers it for any number.
    ASSERT_TRUE(a.Search(2, 1));
    a.SetDepth(3);
    EXPECT_EQ(a.Search(0, 5, 0), 2);
    EXPECT_EQ(NearText(a, 0), "77");
    ASSERT_TRUE(a.Search(3, 1)); // no block below
    EXPECT_EQ(a.Search(0, 5, 0), 0);
    EXPECT_EQ(a.GetNearLotCount(), 0);
}

TEST(SrchAddr, ParcelTexts) {
    _ADDR lot;
    lot.mountain = 1;
    lot.main = 12;
    EXPECT_EQ(Cp949ToUtf8(CSrchAddr::LotText(lot)), "산 12");
    lot.sub = 4;
    EXPECT_EQ(Cp949ToUtf8(CSrchAddr::LotText(lot)), "산 12-4");
    lot.mountain = 0;
    lot.sub = 3;
    EXPECT_EQ(Cp949ToUtf8(CSrchAddr::LotText(lot)), "12-3");
    char detail[31];
    CSrchAddr::LotDetail(K("한울가람신도시2동").c_str(), K("산 123-45").c_str(), detail);
    EXPECT_EQ(Cp949ToUtf8(detail), "한울가람신도시2동 산 123-45번");
    EXPECT_EQ(std::strlen(detail), 29u);
    CSrchAddr::LotDetail(K("가람동").c_str(), "12-3", detail);
    EXPECT_EQ(Cp949ToUtf8(detail), "가람동 12-3번지");
}

TEST(SrchAddr, CorruptParcelBlocksGiveNothing) {
    const std::string plain = LotBytes(kLots);
    struct Case {
        const char* what;
        std::string block;
    } cases[] = {
        {"short inflation", Block(plain, true, 9, 108)},
        {"count 0x7FFFFFFF", Block(plain, true, 0x7FFFFFFF, 96)},
        {"huge inflated size", Block(plain, true, 8, 0xFFFFFFFF)},
        {"stored bytes beyond the inflated size", Block(plain, false, 8, 50)},
        {"zero entries", Block("", false, 0, 0)},
        {"broken stream", Block(std::string(96, '\x55'), false, 8, 96).replace(12, 1, "\x01")},
        {"stored size past the file", [&] {
             SearchBytes b{Block(plain, false, 8, 96)};
             b.patch32(4, 0x7FFFFFF0);
             return b.s;
         }()},
    };
    for (const Case& c : cases) {
        Fixture fx(c.block);
        CSrchAddr a;
        ASSERT_TRUE(a.OpenOn(kAddr, kAdmin)) << c.what;
        a.SetDepth(2);
        EXPECT_EQ(a.Search(0, 12, 0), 0) << c.what;
        EXPECT_EQ(a.GetNearLotCount(), 0) << c.what;
    }
}

TEST(SrchAddr, CorruptListsAndHeaders) {
    const std::string good = AddrFixture(Block(LotBytes(kLots), true, 8, 96));
    auto patched = [&](std::size_t at, std::uint32_t v, int width) {
        SearchBytes b{good};
        if (width == 4)
            b.patch32(at, v);
        else {
            b.s[at] = static_cast<char>(v & 0xff);
            b.s[at + 1] = static_cast<char>((v >> 8) & 0xff);
        }
        return b.s;
    };
    {   // No level-0 entries.
        TempRoot root;
        root.MakeFile("SearchDB/aVelko.db", patched(36, 0, 2));
        root.MakeFile("SearchDB/AdminName.db", AdminFixture());
        CSrchAddr a;
        EXPECT_FALSE(a.OpenOn(kAddr, kAdmin));
    }
    {   // 65,535 level-0 entries in a small file.
        TempRoot root;
        root.MakeFile("SearchDB/aVelko.db", patched(36, 0xFFFF, 2));
        root.MakeFile("SearchDB/AdminName.db", AdminFixture());
        CSrchAddr a;
        EXPECT_FALSE(a.OpenOn(kAddr, kAdmin));
    }
    {   // The second province's list lies past the end: selecting it fails.
        TempRoot root;
        root.MakeFile("SearchDB/aVelko.db", patched(84 + 28 + 2, 0x7FFFFFF0, 4));
        root.MakeFile("SearchDB/AdminName.db", AdminFixture());
        CSrchAddr a;
        ASSERT_TRUE(a.OpenOn(kAddr, kAdmin));
        EXPECT_FALSE(a.Search(0, 1));
    }
    {   // Truncated header.
        TempRoot root;
        root.MakeFile("SearchDB/aVelko.db", good.substr(0, 70));
        root.MakeFile("SearchDB/AdminName.db", AdminFixture());
        CSrchAddr a;
        EXPECT_FALSE(a.OpenOn(kAddr, kAdmin));
        _VERSION_INFO v;
        EXPECT_FALSE(a.GetAddrDBVersionInfo(kAddr, v));
    }
    TempRoot root;
    root.MakeFile("SearchDB/aVelko.db", good);
    CSrchAddr a;
    _VERSION_INFO v;
    ASSERT_TRUE(a.GetAddrDBVersionInfo(kAddr, v));
    EXPECT_EQ(v.major, 3);
    EXPECT_EQ(std::string(v.word1, 4), "ADDR");
    EXPECT_FALSE(a.OpenOn(kAddr, kAdmin)); // no admin-name table
}
