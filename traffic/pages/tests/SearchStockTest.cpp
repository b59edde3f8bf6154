// The stock keeper over a fed store and a real interest-stock file: the interest list's limits
// and order, the file's reading and writing, the search by code and by name, and the markets.
#include "traffic/pages/SearchStock.h"
#include "traffic/pages/tests/StockFixture.h"

#include <string>
#include <vector>

class SearchStockTest : public StockFixture {
protected:
    ~SearchStockTest() override { SearchStock::destruct(); }
    static SearchStock& K() { return *SearchStock::instance(); }
    // The interest list as "name/code" texts.
    static std::vector<std::string> Interests() {
        std::vector<std::string> out;
        for (int i = 0; i < K().GetStockInterestCount(); ++i) {
            StockInterest s;
            K().GetInfoForInterestSel(i, s);
            out.push_back(Cp949ToUtf8(s.name) + "/" + std::to_string(s.code));
        }
        return out;
    }
    static std::string StockAt(int index) {
        StockIndex s;
        if (!K().GetStockIndexForAllSel(index, s)) return "none";
        return Cp949ToUtf8(s.name) + "/" + std::to_string(s.code) +
               (s.suffix ? ":" + std::string(1, char(s.suffix)) : "");
    }
    static int Add(int code, int suffix, const char* utf8) {
        return K().AddInterest(static_cast<WORD>(code), static_cast<BYTE>(suffix), Cp(utf8).c_str());
    }
};

TEST_F(SearchStockTest, InterestListSortsByNameThenCodeAndRefusesRepeatsAndATwentyFirst) {
    OpenStore({{1, 0, "나"}});
    ASSERT_EQ(K().GetStockInterestCount(), 0);
    EXPECT_EQ(Add(1, 0, "나"), 1);
    EXPECT_EQ(Add(4, 0, "가"), 1);
    EXPECT_EQ(Add(3, 0, "다"), 1);
    EXPECT_EQ(Add(2, 0, "가"), 1);
    EXPECT_EQ(Interests(), (std::vector<std::string>{"가/2", "가/4", "나/1", "다/3"}));
    EXPECT_EQ(Add(1, 0, "다른 이름"), 0); // same code and suffix
    EXPECT_EQ(Add(1, 'A', "나"), 1);      // another suffix is another stock
    for (int code = 100; code < 115; ++code) ASSERT_EQ(Add(code, 0, "종목"), 1);
    ASSERT_EQ(K().GetStockInterestCount(), 20);
    EXPECT_EQ(Add(200, 0, "가"), 0);
    EXPECT_EQ(K().GetStockInterestCount(), 20);
    const std::vector<std::string> full = Interests();
    K().Exit();
    const std::string saved = m_root.Read(kInterestFile);
    ASSERT_EQ(saved.size(), 4u + 20 * 33);
    EXPECT_EQ(saved.substr(0, 4), Le32(20));
    // Written in the list's order: 가/2 first.
    EXPECT_EQ(saved.substr(4, 33), InterestRecord(2, 0, "가"));

    // Read back whole; the 21st is refused again and the file stays as it was.
    EXPECT_EQ(Interests(), full);
    EXPECT_EQ(Add(201, 0, "하"), 0);
    K().Exit();
    EXPECT_EQ(m_root.Read(kInterestFile), saved);
}

TEST_F(SearchStockTest, MissingFileGivesAnEmptyListAndExitWritesCountZero) {
    OpenStore({{1, 0, "나"}});
    ASSERT_FALSE(m_root.Exists(kInterestFile));
    EXPECT_EQ(K().GetStockInterestCount(), 0);
    StockInterest s;
    EXPECT_EQ(K().GetInfoForInterestSel(0, s), 0);
    EXPECT_EQ(K().DeleteInterest(0), 0);
    EXPECT_EQ(K().DeleteInterest(-1), 0);
    K().Exit();
    EXPECT_EQ(m_root.Read(kInterestFile), Le32(0));
}

TEST_F(SearchStockTest, InterestFileCountsAreCheckedAgainstTheLimitAndTheRecordsPresent) {
    OpenStore({{7, 'K', "칠"}});
    ASSERT_EQ(Feed(Quote(7, 'K', {0x4C35, 2, 25, 1000, 0, 0, 0, 0})), 1);
    std::string twentyFive = Le32(25);
    for (int i = 0; i < 25; ++i) twentyFive += InterestRecord(300 - i, 0, "주");
    std::string shortFile = Le32(3) + InterestRecord(7, 'K', "칠") + InterestRecord(5, 0, "오");
    shortFile += InterestRecord(6, 0, "육").substr(0, 20); // the third record is cut
    std::string fullName(30, 'x');                         // a name filling its field
    const struct {
        const char* what;
        std::string file;
        std::vector<int> codes;
    } cases[] = {
        {"count 25: the first 20", twentyFive, {300, 299, 298, 297, 296, 295, 294, 293, 292, 291,
                                                290, 289, 288, 287, 286, 285, 284, 283, 282, 281}},
        {"count 3, two whole records", shortFile, {7, 5}},
        {"count cut short", Bytes({2, 0, 0}), {}},
        {"empty file", "", {}},
        {"count 0 with a record after it", Le32(0) + InterestRecord(5, 0, "오"), {}},
        {"name filling the field", Le32(1) + Le16(9) + Bytes({'Z'}) + fullName, {9}},
    };
    for (const auto& c : cases) {
        m_root.MakeFile(kInterestFile, c.file);
        std::vector<int> codes;
        for (int i = 0; i < K().GetStockInterestCount(); ++i) {
            StockInterest s;
            ASSERT_EQ(K().GetInfoForInterestSel(i, s), 1);
            codes.push_back(s.code);
            if (s.code == 9) {
                EXPECT_EQ(std::string(s.name), fullName);
            }
            // The quotation comes from the store; a stock without one reads as not received.
            if (s.code == 7) {
                EXPECT_EQ(s.price, 0x4C35) << c.what;
            }
            if (s.code == 5) {
                EXPECT_EQ(s.volume, StockInterest::kNoVolume) << c.what;
            }
        }
        EXPECT_EQ(codes, c.codes) << c.what;
        SearchStock::destruct();
    }
}

TEST_F(SearchStockTest, SaveGoesBesideTheOldFileAndAFailedSaveKeepsIt) {
    OpenStore({{1, 0, "나"}});
    const std::string old = Le32(1) + InterestRecord(5, 0, "오");
    m_root.MakeFile(kInterestFile, old);
    ASSERT_EQ(Add(1, 0, "나"), 1);
    // A folder where the new file is written: the save fails and the old list stays.
    m_root.MakeFile(std::string(kInterestFile) + ".new/x", "");
    K().Exit();
    EXPECT_EQ(m_root.Read(kInterestFile), old);
    std::filesystem::remove_all(m_root.Host(std::string(kInterestFile) + ".new"));
    ASSERT_EQ(Add(1, 0, "나"), 1);
    K().Exit();
    EXPECT_EQ(m_root.Read(kInterestFile), Le32(2) + InterestRecord(1, 0, "나") + InterestRecord(5, 0, "오"));
    EXPECT_FALSE(m_root.Exists(std::string(kInterestFile) + ".new"));
}

TEST_F(SearchStockTest, StockListIsSortedWithNamesCutTo30BytesOnACharacterBoundary) {
    std::string longName;
    for (int i = 0; i < 100; ++i) longName += "가"; // 200 bytes in CP949
    OpenStore({{593, 'A', "삼성"},
               {59, '3', "다른"},
               {7, 0, "059펀드"},
               {8, 0, "삼양"},
               {9, 0, longName.c_str()},
               {10, 0, ("a" + longName).c_str()}});
    ASSERT_EQ(K().GetStockIndexCount(), 6);
    // Bytes compare unsigned: digits and Latin letters before Hangul, Hangul in 가나다 order.
    EXPECT_EQ(StockAt(0), "059펀드/7");
    EXPECT_EQ(StockAt(1), "a가가가가가가가가가가가가가가/10"); // 1 + 14 x 2 = 29 bytes
    EXPECT_EQ(StockAt(2), "가가가가가가가가가가가가가가가/9"); // 15 x 2 = 30 bytes
    EXPECT_EQ(StockAt(3), "다른/59:3");
    EXPECT_EQ(StockAt(4), "삼성/593:A");
    EXPECT_EQ(StockAt(5), "삼양/8");
    EXPECT_EQ(StockAt(6), "none");
    StockInterest s;
    ASSERT_EQ(K().GetInfoForStockIndexSel(4, s), 1);
    EXPECT_EQ(s.code, 593);
    EXPECT_EQ(s.volume, StockInterest::kNoVolume);
    EXPECT_EQ(K().GetInfoForStockIndexSel(6, s), 0);
}

TEST_F(SearchStockTest, FindCodeOrNameTriesTheShownCodeThenFourDigitsThenTheName) {
    std::string longName;
    for (int i = 0; i < 20; ++i) longName += "가"; // 40 bytes in CP949, kept as 30
    // Sorted: 059펀드 (0), 가…가 (1), 다른 (2), 삼성 (3), 삼양 (4), 하나 (5).
    OpenStore({{593, 'A', "삼성"},
               {59, '3', "다른"},
               {7, 0, "059펀드"},
               {8, 0, "삼양"},
               {9, 0, longName.c_str()},
               {12, 0, "하나"}});
    const std::string cpLong = Cp(longName.c_str());
    const struct {
        std::string text; // CP949
        int index;
    } cases[] = {
        {"0593A", 3},  // four digits and the suffix: 593 'A'
        {"00593A", 3}, // as the list shows it; four digits would read 59 '3'
        {"00593", 2},  // no stock 593 without suffix: four digits, 59 '3'
        {"00012", 5},  // five digits alone: suffix 0
        {"059", 0},    // by name
        {Cp("삼"), 3}, // the first of 삼성 and 삼양
        {Cp("삼양"), 4},
        {Cp("하나"), 5},
        {Cp("하나다"), -1},
        {Cp("없음"), -1},
        {"", -1},
        {"99999Z", -1},
        {cpLong, 1},                       // the full name finds the name cut to 30 bytes
        {cpLong.substr(0, 30) + "x", 1},   // only the name's 30 bytes are compared
        {cpLong.substr(0, 29) + "ab", -1}, // cut where the name was not
    };
    for (const auto& c : cases) EXPECT_EQ(K().FindCodeOrName(c.text.c_str()), c.index) << Cp949ToUtf8(c.text);
    EXPECT_EQ(K().FindCodeOrName(nullptr), -1);
}

TEST_F(SearchStockTest, MarketsRefreshFromTheStoreAndInterestQuotationsUpdate) {
    OpenStore({{593, 'A', "삼성"}});
    ASSERT_EQ(K().GetMarketCount(), 4);
    const char* names[] = {"KOSPI", "KOSDAQ", "KOSPI200", "선물"};
    for (int i = 0; i < 4; ++i) {
        StockMarket m;
        ASSERT_EQ(K().GetStockMarketForIndex(i, m), 1);
        EXPECT_EQ(m.number, i);
        EXPECT_EQ(Cp949ToUtf8(m.name), names[i]);
        EXPECT_FALSE(m.HasValue());
    }
    StockMarket m;
    EXPECT_EQ(K().GetStockMarketForIndex(4, m), 0);
    EXPECT_EQ(K().GetStockMarketForIndex(-1, m), 0);
    ASSERT_EQ(Feed(Market(1, 200000, 0x8064, 7)), 1);
    ASSERT_EQ(K().GetStockMarketForIndex(1, m), 1);
    EXPECT_TRUE(m.HasValue());
    EXPECT_EQ(m.value, 200000u);
    EXPECT_DOUBLE_EQ(m.IndexValue(), 2000.0);
    EXPECT_DOUBLE_EQ(m.ChangeValue(), 1.0);
    EXPECT_TRUE(m.ChangeFlag());

    ASSERT_EQ(Add(593, 'A', "삼성"), 1);
    StockInterest s;
    ASSERT_EQ(K().GetInfoForInterestSel(0, s), 1);
    EXPECT_EQ(s.volume, StockInterest::kNoVolume);
    ASSERT_EQ(Feed(Quote(593, 'A', {0x4C35, 2, 25, 1000, 0, 0, 0, 0})), 1);
    EXPECT_EQ(K().ReUpdate(), 0);
    ASSERT_EQ(K().GetInfoForInterestSel(0, s), 1);
    EXPECT_EQ(s.price, 0x4C35);
    EXPECT_EQ(s.volume, 1000u);
    // A gap of more than 30 minutes marks everything not received: the keeper clears its copy.
    m_clock.Advance(31 * 60 * 1000);
    ASSERT_EQ(Feed(Market(0, 1, 1, 1)), 1);
    ASSERT_EQ(K().GetInfoForCode(593, 'A', s), 1);
    EXPECT_EQ(s.price, 0);
    EXPECT_EQ(s.volume, StockInterest::kNoVolume);
    ASSERT_EQ(K().GetStockMarketForIndex(1, m), 1);
    EXPECT_FALSE(m.HasValue());
    EXPECT_EQ(m.value, 0u);
}
