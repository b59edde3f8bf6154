// The stock door of the pages: the store's packed records arrive in the value objects field by
// field, and a store without data leaves the caller's object as it was.
#include "traffic/pages/tests/StockFixture.h"

#include <algorithm>
#include <cstring>

class DARCStockTest : public StockFixture {};

TEST_F(DARCStockTest, QuotationReachesEveryFieldOfTheInterestStockInOrder) {
    OpenStore({{593, 'A', "삼성"}, {1, 0, "가나"}});
    Quotation q{0x4C35, 7, 0x0102, 0x3FFFFF, 0x4C40, 0x4C30, 0x4C36, 0x4C34};
    ASSERT_EQ(Feed(Quote(593, 'A', q)), 1);
    StockInterest s(StockIndex(593, 'A', "x", 1));
    ASSERT_EQ(CDARCStock::instance()->getStockDataByCode(s, 593, 'A'), 1);
    EXPECT_EQ(s.price, 0x4C35);
    EXPECT_EQ(s.direction, 7);
    EXPECT_EQ(s.change, 0x0102);
    EXPECT_EQ(s.volume, 0x3FFFFFu);
    EXPECT_EQ(s.high, 0x4C40);
    EXPECT_EQ(s.low, 0x4C30);
    EXPECT_EQ(s.ask, 0x4C36);
    EXPECT_EQ(s.bid, 0x4C34);
    // Code, suffix and name are the caller's.
    EXPECT_EQ(s.code, 593);
    EXPECT_STREQ(s.name, "x");

    // No quotation (a listed stock never quoted, an unknown one): 0 and nothing touched.
    StockInterest untouched = s;
    EXPECT_EQ(CDARCStock::instance()->getStockDataByCode(untouched, 1, 0), 0);
    EXPECT_EQ(CDARCStock::instance()->getStockDataByCode(untouched, 7, 'Z'), 0);
    EXPECT_EQ(untouched.price, 0x4C35);
    EXPECT_EQ(untouched.volume, 0x3FFFFFu);
}

TEST_F(DARCStockTest, MarketRecordFillsTheFieldsAfterTheNumberAndKeepsTheName) {
    OpenStore({{1, 0, "가나"}});
    ASSERT_EQ(Feed(Market(2, 0x030D40, 0x8064, 0x000001)), 1);
    StockMarket m(2, "KOSPI200");
    ASSERT_EQ(CDARCStock::instance()->getMarketDataByCode(m, 2), 1);
    EXPECT_EQ(m.number, 2);
    EXPECT_EQ(m.value, 0x030D40u);
    EXPECT_EQ(m.change, 0x8064);
    EXPECT_EQ(m.field3, 0x010203u);
    EXPECT_EQ(m.field4, 0x040506u);
    EXPECT_EQ(m.field5, 0x0708);
    EXPECT_EQ(m.field6, 0x090A);
    EXPECT_EQ(m.validity, 1);
    EXPECT_STREQ(m.name, "KOSPI200");

    StockMarket other(0, "KOSPI");
    other.value = 5;
    EXPECT_EQ(CDARCStock::instance()->getMarketDataByCode(other, 0), 0); // nothing received
    EXPECT_EQ(CDARCStock::instance()->getMarketDataByCode(other, 9), 0); // no such market
    EXPECT_EQ(other.value, 5u);
}

TEST_F(DARCStockTest, IterationCountTimeAndConfigurationPassThrough) {
    OpenStore({{593, 'A', "삼성"}, {1, 0, "가나"}});
    DWORD count = 0;
    EXPECT_EQ(CDARCStock::instance()->getCount(count), 2);
    EXPECT_EQ(count, 2u);
    ASSERT_EQ(CDARCStock::instance()->readyTravel(), 1);
    char name[40] = {};
    WORD code = 0;
    BYTE suffix = 0;
    ASSERT_EQ(CDARCStock::instance()->nextCode(name, sizeof name, code, suffix), 1);
    EXPECT_EQ(Cp949ToUtf8(name), "가나");
    EXPECT_EQ(code, 1);
    std::memset(name, 0, sizeof name);
    ASSERT_EQ(CDARCStock::instance()->nextCode(name, sizeof name, code, suffix), 1);
    EXPECT_EQ(Cp949ToUtf8(name), "삼성");
    EXPECT_EQ(suffix, 'A');
    EXPECT_EQ(CDARCStock::instance()->nextCode(name, sizeof name, code, suffix), 0);

    CTime t;
    EXPECT_EQ(CDARCStock::instance()->GetLastUpdatedTime(t), 0);
    ASSERT_EQ(Feed(Time(10, 3, 9, 5)), 1);
    ASSERT_EQ(CDARCStock::instance()->GetLastUpdatedTime(t), 1);
    EXPECT_EQ(t.GetMonth(), 10);
    EXPECT_EQ(t.GetMinute(), 5);
    int closed = 255;
    EXPECT_EQ(CDARCStock::instance()->isMarketFinished(closed), 0);

    EXPECT_EQ(CDARCStock::instance()->GetConfigPointer(), &m_config);
    CDARCStock::destruct();
    EXPECT_EQ(CDARCStock::instance()->GetConfigPointer(), nullptr);
}
