#include "platform/files/tests/TempRoot.h"
#include "search/CharClass.h"
#include "search/NameDBFile.h"
#include "search/NameMatcher.h"
#include "search/NameSearcher.h"
#include "search/SearchFormat.h"
#include "search/tests/SearchBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char16_t* kNames = u"SearchDB\\nVelko.db";
const char16_t* kAdmin = u"SearchDB\\AdminName.db";

std::string AdminFixture() {
    return AdminNameBytes({"한울남도", "누리광역시", "가람시", "나래군"});
}

// Five names in code page 949 order under a two-level character tree:
//   L -> G: LG주유소;  가 -> 람: 가람병원, 가람시청, 가람역;  나 -> 래: 나래역.
// Index section at 84 (top entries at 0, children of L at 48, of 가 at 64, of 나 at 80),
// records at 180, one 30-byte class name at 380.
std::string NameFixture() {
    DbHeaderFields f;
    f.offset[2] = 84;
    f.count[2] = 3;
    f.recordBase = 180;
    f.recordEnd = 380;
    f.entry30 = 380;
    SearchBytes b = DbHeaderBytes(f);
    auto entry = [&](unsigned k0, unsigned k1, std::uint32_t child, unsigned childCount, std::uint32_t rec,
                     std::uint32_t recCount) { b.u8(k0).u8(k1).u32(child).u16(childCount).u32(rec).u32(recCount); };
    entry(0x4C, 0x00, 48, 1, 0, 1);
    entry(0xB0, 0xA1, 64, 1, 40, 3);
    entry(0xB3, 0xAA, 80, 1, 160, 1);
    entry(0x47, 0x00, 0, 0, 0, 1);
    entry(0xB6, 0xF7, 0, 0, 40, 3);
    entry(0xB7, 0xA1, 0, 0, 160, 1);
    EXPECT_EQ(b.size(), 180u);
    NameRecordBytes(b, K("LG주유소"), 6733, 100, 200, 1, 3, 0);
    NameRecordBytes(b, K("가람병원"), 6733, 11143, 1663, 1, 3, 7);
    NameRecordBytes(b, K("가람시청"), 6733, 5000, 6000, 2, 3, 0);
    NameRecordBytes(b, K("가람역"), 6734, 10, 20, 1, 0, 0);
    NameRecordBytes(b, K("나래역"), 6742, 30, 40, 1, 4, 0);
    b.text(K("의료"), 30);
    return b.s;
}

std::vector<std::string> HitNames(CNameEngine& e) {
    std::vector<std::string> out;
    for (int i = 0; i < e.GetCount(); ++i) {
        char name[21] = {};
        if (e.GetName(i, name)) out.push_back(Cp949ToUtf8(name));
    }
    return out;
}

struct Fixture {
    TempRoot root;
    Fixture(const std::string& names = NameFixture(), const std::string& admin = AdminFixture()) {
        root.MakeFile("SearchDB/nVelko.db", names);
        root.MakeFile("SearchDB/AdminName.db", admin);
    }
};

} // namespace

TEST(CharClass, ClassesOfKoreanAndLatinBytes) {
    struct Case {
        const char* utf8;
        bool syllable, consonant;
    } cases[] = {{"가", true, false}, {"람", true, false}, {"ㄱ", false, true}, {"ㅎ", false, true},
                 {"ㅏ", false, false}, {"햏", false, false}, {"똠", false, false}};
    for (const Case& c : cases) {
        const std::string b = K(c.utf8);
        ASSERT_EQ(b.size(), 2u) << c.utf8;
        const auto* p = reinterpret_cast<const unsigned char*>(b.c_str());
        EXPECT_EQ(tolvik::IsHangulSyllable(p), c.syllable) << c.utf8;
        EXPECT_EQ(tolvik::IsBareConsonant(p), c.consonant) << c.utf8;
    }
    EXPECT_EQ(K("가"), "\xB0\xA1");
    EXPECT_EQ(K("람"), "\xB6\xF7");
    EXPECT_EQ(K("ㄱ"), "\xA4\xA1");
    EXPECT_EQ(K("ㅎ"), "\xA4\xBE");
    EXPECT_EQ(K("햏"), "\xC1\x64");
    EXPECT_EQ(K("똠"), "\x8C\x63");
    EXPECT_TRUE(tolvik::IsPrintableByte(reinterpret_cast<const unsigned char*>("L")));
}

TEST(CharClass, InitialConsonantQueriesAreRefused) {
    // The initial consonants of 가람시청, worked out from the syllable codes: (code - 0xAC00) / 588
    // indexes ㄱㄲㄴㄷㄸㄹㅁㅂㅃㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎ.
    const std::u16string initials = u"ㄱㄲㄴㄷㄸㄹㅁㅂㅃㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎ";
    std::u16string consonants;
    for (char16_t c : std::u16string(u"가람시청")) consonants += initials[(c - 0xAC00) / 588];
    const std::string bytes = Utf16ToCp949(consonants);
    EXPECT_EQ(bytes, "\xA4\xA1\xA4\xA9\xA4\xB5\xA4\xBA");
    EXPECT_EQ(CNameSearcher::CheckQuery(bytes.c_str()), 0);
    EXPECT_EQ(CNameSearcher::CheckQuery(K("가람ㅅ").c_str()), 0);
    EXPECT_EQ(CNameSearcher::CheckQuery(K("LGㄱ").c_str()), 0);
    EXPECT_EQ(CNameSearcher::CheckQuery(K("가람 시청").c_str()), 2);
    EXPECT_EQ(CNameSearcher::CheckQuery(K("ㅏ").c_str()), 2);
    EXPECT_EQ(CNameSearcher::CheckQuery(""), 0);

    Fixture fx;
    CNameSearcher s;
    ASSERT_TRUE(s.Create());
    ASSERT_TRUE(s.OpenOn(kNames, kAdmin));
    int code = 9;
    EXPECT_FALSE(s.SearchPrefix(bytes.c_str(), code));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(s.SearchExpanded(bytes.c_str(), code));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(s.SearchPrefix(K("ㅏ").c_str(), code));
    EXPECT_EQ(code, -1);
    EXPECT_EQ(s.GetMode(), CNameSearcher::kNone);
    EXPECT_EQ(s.GetCount(), 0);
    EXPECT_TRUE(s.SearchPrefix(K("가람").c_str(), code));
    EXPECT_EQ(code, 2);
    EXPECT_EQ(s.GetCount(), 3);
}

TEST(CharClass, NamesCollateByCodePageBytes) {
    std::vector<std::string> names = {K("가람시청"), K("똠양꿍식당"), K("LG주유소"), K("나래역")};
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
    });
    const std::vector<std::string> expected = {K("LG주유소"), K("똠양꿍식당"), K("가람시청"), K("나래역")};
    EXPECT_EQ(names, expected);
}

TEST(NameDBFile, PrefixSearchThroughTheTreeAndBeyond) {
    Fixture fx;
    CNameDBFile db;
    ASSERT_TRUE(db.OpenOn(kNames, kAdmin));
    struct Case {
        const char* query;
        std::vector<std::string> names;
    } cases[] = {
        {"가", {"가람병원", "가람시청", "가람역"}},
        {"가람", {"가람병원", "가람시청", "가람역"}},
        {"가람시", {"가람시청"}},
        {"가람역", {"가람역"}},
        {"LG주", {"LG주유소"}},
        {"L", {"LG주유소"}},
        {"나래역", {"나래역"}},
        {"가람X", {}},
        {"다솜", {}},
        {"가람시청앞광장에서있는곳", {}}, // 24 bytes: longer than any name
    };
    for (const Case& c : cases) {
        const bool found = db.Search(K(c.query).c_str());
        EXPECT_EQ(found, !c.names.empty()) << c.query;
        std::vector<std::string> expected(c.names.begin(), c.names.end());
        EXPECT_EQ(HitNames(db), expected) << c.query;
    }
    EXPECT_FALSE(db.Search(""));
    // A 300-byte query is cut to 255 bytes and matches nothing.
    const std::string longQuery = K("가람") + std::string(296, 'x');
    EXPECT_FALSE(db.Search(longQuery.c_str()));
    EXPECT_EQ(db.GetCount(), 0);
}

TEST(NameDBFile, HitsCarryRegionTextPositionAndDetails) {
    Fixture fx;
    CNameDBFile db;
    ASSERT_TRUE(db.OpenOn(kNames, kAdmin));
    ASSERT_TRUE(db.Search(K("가람").c_str()));
    ASSERT_EQ(db.GetCount(), 3);
    NameHit hit;
    ASSERT_TRUE(db.GetHit(0, hit));
    EXPECT_EQ(Cp949ToUtf8(hit.name), "가람병원");
    EXPECT_EQ(Cp949ToUtf8(hit.text), "한남 가람시");
    EXPECT_EQ(hit.pos[0], 6733);
    EXPECT_EQ(hit.pos[1], 11143);
    EXPECT_EQ(hit.pos[2], 1663);
    EXPECT_EQ(hit.hasDetail, 1);
    EXPECT_EQ(db.GetDetailNumber(0), 7u);
    ASSERT_TRUE(db.GetHit(1, hit));
    EXPECT_EQ(Cp949ToUtf8(hit.text), "누리시 가람시");
    EXPECT_EQ(hit.hasDetail, 0);
    // The third record has no district: no row.
    EXPECT_FALSE(db.GetHit(2, hit));
    // A hit number equal to the count is refused.
    EXPECT_FALSE(db.GetHit(3, hit));
    _NAME_RESULT r;
    EXPECT_FALSE(db.GetPosition(3, r));
    EXPECT_FALSE(db.GetPosition(-1, r));
    ASSERT_TRUE(db.GetPosition(1, r));
    EXPECT_EQ(Cp949ToUtf8(r.name), "가람시청");
    EXPECT_EQ(r.pos[1], 5000);
    char entry[31] = {};
    ASSERT_TRUE(db.ReadEntry30(1, entry));
    EXPECT_EQ(Cp949ToUtf8(entry), "의료");
    EXPECT_FALSE(db.ReadEntry30(2, entry));
    EXPECT_FALSE(db.ReadEntry30(0, entry));
    char local[21] = {};
    EXPECT_FALSE(db.GetLocal(0, local));
    EXPECT_FALSE(db.GetLocal(5, local));
    ASSERT_TRUE(db.GetLocal(4, local));
    EXPECT_EQ(Cp949ToUtf8(local), "나래군");
}

TEST(NameDBFile, VersionTextOfBothFiles) {
    TempRoot root;
    root.MakeFile("a.db", NameFixture());
    // An admin-name table of two names is 80 bytes: the version needs only its text.
    root.MakeFile("b.db", AdminNameBytes({"한울남도", "가람시"}));
    root.MakeFile("c.db", std::string(32, ' ') + std::string(60, 'x'));
    root.MakeFile("d.db", "3 1");
    _VERSION_INFO v;
    ASSERT_TRUE(CNameDBFile::ReadVersion(u"a.db", v));
    EXPECT_EQ(v.major, 3);
    EXPECT_EQ(v.minor, 1);
    EXPECT_EQ(v.revision, 0);
    EXPECT_EQ(std::string(v.word1, 4), "NAME");
    EXPECT_EQ(std::string(v.word2, 8), "20261210");
    ASSERT_TRUE(CNameDBFile::ReadVersion(u"b.db", v));
    EXPECT_EQ(std::string(v.word1, 5), "ADMIN");
    EXPECT_FALSE(CNameDBFile::ReadVersion(u"c.db", v));
    EXPECT_FALSE(CNameDBFile::ReadVersion(u"d.db", v));
    EXPECT_FALSE(CNameDBFile::ReadVersion(u"missing.db", v));
    // Tokens longer than the 10-byte words are cut to 10 bytes.
    ASSERT_TRUE(tolvik::ParseVersionText("12|2|3|ABCDEFGHIJKL|X\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", v));
    EXPECT_EQ(v.major, 12);
    EXPECT_EQ(std::string(v.word1, 10), "ABCDEFGHIJ");
}

TEST(NameDBFile, NodeOfSeventyThousandNamesFindsItsLast) {
    // One top entry 가 with 70,000 records "가00000" ... "가69999" (a count past 16 bits).
    const std::uint32_t n = 70000;
    DbHeaderFields f;
    f.offset[2] = 84;
    f.count[2] = 1;
    f.recordBase = 100;
    f.recordEnd = 100 + n * 40;
    SearchBytes b = DbHeaderBytes(f);
    b.u8(0xB0).u8(0xA1).u32(0).u16(0).u32(0).u32(n);
    char digits[16];
    for (std::uint32_t i = 0; i < n; ++i) {
        std::snprintf(digits, sizeof digits, "%05u", i);
        NameRecordBytes(b, K("가") + digits, 6733, i % 60000, 1, 1, 3, 0);
    }
    Fixture fx(b.s);
    CNameDBFile db;
    ASSERT_TRUE(db.OpenOn(kNames, kAdmin));
    ASSERT_TRUE(db.Search((K("가") + "69999").c_str()));
    ASSERT_EQ(db.GetCount(), 1);
    EXPECT_EQ(HitNames(db)[0], "가69999");
    ASSERT_TRUE(db.Search((K("가") + "6999").c_str()));
    EXPECT_EQ(db.GetCount(), 10);
    ASSERT_TRUE(db.Search(K("가").c_str()));
    EXPECT_EQ(db.GetCount(), 70000);
}

TEST(NameDBFile, CorruptFilesFailCleanly) {
    const std::string good = NameFixture();
    auto with32 = [&](std::size_t at, std::uint32_t v) {
        SearchBytes b{good};
        b.patch32(at, v);
        return b.s;
    };
    auto with16 = [&](std::size_t at, unsigned v) {
        std::string s = good;
        s[at] = static_cast<char>(v & 0xff);
        s[at + 1] = static_cast<char>(v >> 8);
        return s;
    };
    {   // Truncated header.
        Fixture fx(good.substr(0, 60));
        CNameDBFile db;
        EXPECT_FALSE(db.OpenOn(kNames, kAdmin));
        EXPECT_FALSE(db.Search(K("가").c_str()));
    }
    {   // Index section past the end of the file.
        Fixture fx(with32(44, 100000));
        CNameDBFile db;
        EXPECT_FALSE(db.OpenOn(kNames, kAdmin));
    }
    {   // Top level claims 65,535 entries in a 96-byte section.
        Fixture fx(with16(48, 0xFFFF));
        CNameDBFile db;
        ASSERT_TRUE(db.OpenOn(kNames, kAdmin));
        EXPECT_FALSE(db.Search(K("가").c_str()));
    }
    {   // Children of 가 past the section.
        Fixture fx(with32(84 + 16 + 2, 5000));
        CNameDBFile db;
        ASSERT_TRUE(db.OpenOn(kNames, kAdmin));
        // 가 itself still answers from its records; the walk below it finds nothing.
        EXPECT_TRUE(db.Search(K("가").c_str()));
        EXPECT_TRUE(db.Search(K("가람시").c_str()));
        EXPECT_EQ(db.GetCount(), 1);
    }
    {   // A record count of 0x7FFFFFFF under 가람.
        Fixture fx(with32(84 + 64 + 12, 0x7FFFFFFF));
        CNameDBFile db;
        ASSERT_TRUE(db.OpenOn(kNames, kAdmin));
        EXPECT_TRUE(db.Search(K("가").c_str()));
        EXPECT_FALSE(db.Search(K("가람").c_str()));
        EXPECT_FALSE(db.Search(K("가람시").c_str()));
        EXPECT_EQ(db.GetCount(), 0);
    }
    {   // Record offset past the end.
        Fixture fx(with32(84 + 16 + 8, 0x10000000));
        CNameDBFile db;
        ASSERT_TRUE(db.OpenOn(kNames, kAdmin));
        EXPECT_FALSE(db.Search(K("가").c_str()));
    }
    {   // Missing admin table.
        TempRoot root;
        root.MakeFile("SearchDB/nVelko.db", good);
        CNameDBFile db;
        EXPECT_FALSE(db.OpenOn(kNames, kAdmin));
    }
}

namespace {

// A name database for the matcher: header and records only.
std::string MatcherFixture(const std::vector<std::string>& namesCp949) {
    DbHeaderFields f;
    f.recordBase = 84;
    f.recordEnd = static_cast<std::uint32_t>(84 + 40 * namesCp949.size());
    SearchBytes b = DbHeaderBytes(f);
    unsigned i = 0;
    for (const std::string& n : namesCp949) NameRecordBytes(b, n, 6733, ++i, 0, 1, 3, 0);
    return b.s;
}

} // namespace

TEST(NameMatcher, RanksRecordsByTheWordsTheyHold) {
    Fixture fx(MatcherFixture({K("병원앞약국"), K("가람시청"), K("가람중앙병원"), K("나래역"), K("다솜가람")}));
    CNameMatcher m;
    ASSERT_TRUE(m.OpenOn(kNames, kAdmin));
    ASSERT_TRUE(m.Search(K("가람 병원").c_str()));
    EXPECT_EQ(HitNames(m), (std::vector<std::string>{"가람중앙병원", "가람시청", "다솜가람", "병원앞약국"}));
    std::vector<int> scores;
    for (const auto& h : m.Hits()) scores.push_back(h.score);
    EXPECT_EQ(scores, (std::vector<int>{2, 5, 5, 6}));
    NameHit hit;
    ASSERT_TRUE(m.GetHit(0, hit));
    EXPECT_EQ(Cp949ToUtf8(hit.text), "한남 가람시");
    EXPECT_FALSE(m.GetHit(4, hit));
    // A query beginning with a digit or a Latin letter is scanned; blanks only or a bare
    // consonant first are refused.
    EXPECT_FALSE(m.Search("7"));
    EXPECT_FALSE(m.Search("   "));
    EXPECT_FALSE(m.Search(K("ㄱ가").c_str()));
    // Byte positions: 람병 spans the boundary of two names' syllables only inside one name.
    ASSERT_TRUE(m.Search(K("앙병").c_str()));
    EXPECT_EQ(HitNames(m), std::vector<std::string>{"가람중앙병원"});
    EXPECT_EQ(CNameMatcher::Score(true, true, true), 1);
    EXPECT_EQ(CNameMatcher::Score(true, false, true), 3);
    EXPECT_EQ(CNameMatcher::Score(false, true, true), 4);
    EXPECT_EQ(CNameMatcher::Score(false, false, true), 7);
}

TEST(NameMatcher, KeepsTheBestHundredInFileOrder) {
    std::vector<std::string> names;
    char digits[16];
    for (int i = 0; i < 101; ++i) {
        std::snprintf(digits, sizeof digits, "%03d", i);
        names.push_back(K("가람") + digits);
    }
    names.push_back(K("병원"));       // score 6: dropped, the list is full of 5s
    names.push_back(K("가람병원"));   // score 2: replaces the 100th, sorted to the front
    Fixture fx(MatcherFixture(names));
    CNameMatcher m;
    ASSERT_TRUE(m.OpenOn(kNames, kAdmin));
    ASSERT_TRUE(m.Search(K("가람 병원").c_str()));
    const std::vector<std::string> got = HitNames(m);
    ASSERT_EQ(got.size(), 100u);
    EXPECT_EQ(got[0], "가람병원");
    EXPECT_EQ(got[1], "가람000");
    EXPECT_EQ(got[99], "가람098");
    EXPECT_EQ(std::count(got.begin(), got.end(), std::string("가람100")), 0);
    EXPECT_EQ(std::count(got.begin(), got.end(), std::string("병원")), 0);
}
