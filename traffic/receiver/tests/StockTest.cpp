#include "traffic/receiver/tests/ContentFixture.h"

#include <cstring>

class StockTest : public ContentFixture {
protected:
    CStock& S() { return *CStock::instance(); }
    static std::string Item(std::uint32_t key, const char* utf8) {
        std::string name = Utf8ToCp949(utf8);
        return Le32(key) + Bytes({static_cast<int>(name.size())}) + name;
    }
    void WriteTables(const std::string& items) {
        m_root.MakeFile("MapData/DARC/SIMID.bin", items);
        m_root.MakeFile("MapData/DARC/SIMTable01.bin", Bytes({2, 5}) + "KOSPI" + Bytes({6}) + "KOSDAQ");
    }
    void OpenSample() {
        // Code 1 suffix 0, code 593 suffix 'A' (0x25141), a nameless item, code 1024.
        WriteTables(Le32(4) + Item(0x100, "가나") + Item(0x25141, "삼성") + Item(0x30000, "") + Item(0x40000, "끝"));
        S().openFile(Folder());
    }
    int Feed(const Packet& p) { return S().setData(p.data(), static_cast<int>(p.size())); }
    static Packet Quote(int code, int suffix, int closed) {
        return {0x1A, 0x10, static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code),
                static_cast<unsigned char>(suffix), static_cast<unsigned char>(closed),
                0x4C, 0x35, 0x02, 0x00, 0x10, 0x01, 0x02, 0x03, 0x4C, 0x40, 0x4C, 0x30, 0x4C, 0x36, 0x4C, 0x34};
    }
    static Packet Market(int index) {
        return {0x1A, 0x50, static_cast<unsigned char>(index), 0x03, 0x0D, 0x40, 0x80, 0x64, 1, 2, 3,
                4, 5, 6, 0x07, 0x08, 0x09, 0x0A, 0xEE, 0x00, 0x00, 0x01};
    }
};

TEST_F(StockTest, QuotationFillsTheItemOfItsKey) {
    OpenSample();
    unsigned long count = 0;
    EXPECT_EQ(S().getCount(count), 4);
    EXPECT_EQ(Feed(Quote(593, 'A', 0x80)), 1);
    SIM item;
    ASSERT_EQ(S().getStockDataByCode(item, 593, 'A'), 1);
    EXPECT_EQ(item.key, 0x25141u);
    EXPECT_EQ(item.price, 0x4C35);
    EXPECT_EQ(item.direction, 2);
    EXPECT_EQ(item.change, 0x0010);
    EXPECT_EQ(item.volume, 0x010203u);
    EXPECT_EQ(item.high, 0x4C40);
    EXPECT_EQ(item.low, 0x4C30);
    EXPECT_EQ(item.ask, 0x4C36);
    EXPECT_EQ(item.bid, 0x4C34);
    int closed = 0;
    ASSERT_EQ(S().isMarketFinished(closed), 1);
    EXPECT_EQ(closed, 128);
    closed = 255;
    EXPECT_EQ(S().isMarketFinished(closed), 0);
    // An item without a quotation answers 0.
    EXPECT_EQ(S().getStockDataByCode(item, 1, 0), 0);
}

TEST_F(StockTest, UnknownKeyChangesOnlyTheMarketClosedValue) {
    OpenSample();
    ASSERT_EQ(Feed(Quote(593, 'A', 0x80)), 1);
    ASSERT_EQ(Feed(Quote(594, 'A', 0x00)), 1);
    SIM item;
    item.volume = 5;
    EXPECT_EQ(S().getStockDataByCode(item, 594, 'A'), 0);
    EXPECT_EQ(item.volume, 0xFFFFFFFFu);
    int closed = 0;
    S().isMarketFinished(closed);
    EXPECT_EQ(closed, 0);
    ASSERT_EQ(S().getStockDataByCode(item, 593, 'A'), 1);
    EXPECT_EQ(item.price, 0x4C35);
}

TEST_F(StockTest, MarketStatusTimeAndGaps) {
    OpenSample();
    MARKET_STATUS m;
    EXPECT_EQ(S().getMarketDataByCode(m, 1), 0); // not received yet
    EXPECT_EQ(Feed(Market(0xFF)), 0);
    EXPECT_EQ(Feed(Market(2)), 0); // two markets
    ASSERT_EQ(Feed(Market(1)), 1);
    ASSERT_EQ(S().getMarketDataByCode(m, 1), 1);
    EXPECT_EQ(m.value, 0x030D40u); // 2000.00
    EXPECT_EQ(m.change, 0x8064);
    EXPECT_EQ(m.field3, 0x010203u);
    EXPECT_EQ(m.field4, 0x040506u);
    EXPECT_EQ(m.field5, 0x0708);
    EXPECT_EQ(m.field6, 0x090A);
    EXPECT_EQ(m.validity, 0x000001u);
    EXPECT_EQ(m.index, 1);
    EXPECT_EQ(S().getMarketDataByCode(m, 2), 0);
    EXPECT_EQ(S().getMarketDataByCode(m, 255), 0);

    CTime t;
    EXPECT_EQ(S().GetLastUpdatedTime(t), 0);
    EXPECT_EQ(Feed(TimePacket(26, 0, 3, 14, 15, 60)), 0);
    EXPECT_EQ(S().GetLastUpdatedTime(t), 0);
    ASSERT_EQ(Feed(TimePacket(26, 0, 3, 14, 15, 9)), 1);
    ASSERT_EQ(S().GetLastUpdatedTime(t), 1);
    EXPECT_EQ(t.GetHour(), 15);
    EXPECT_EQ(t.GetMinute(), 9);

    ASSERT_EQ(Feed(Quote(593, 'A', 0)), 1);
    AdvanceMinutes(30);
    ASSERT_EQ(Feed(Quote(1, 0, 0)), 1);
    SIM item;
    EXPECT_EQ(S().getStockDataByCode(item, 593, 'A'), 1);
    AdvanceMinutes(31);
    ASSERT_EQ(Feed(Market(0)), 1);
    EXPECT_EQ(S().getStockDataByCode(item, 593, 'A'), 0);
    EXPECT_EQ(S().getStockDataByCode(item, 1, 0), 0);
    EXPECT_EQ(S().getMarketDataByCode(m, 1), 0);
    EXPECT_EQ(S().getMarketDataByCode(m, 0), 1); // written after the reset
}

TEST_F(StockTest, IterationStopsAtAnEmptyNameAndFitsTheBuffer) {
    OpenSample();
    S().readyTravel();
    char name[32] = {};
    unsigned short code = 0;
    unsigned char suffix = 0;
    ASSERT_EQ(S().nextCode(name, sizeof name, code, suffix), 1);
    EXPECT_EQ(Cp949ToUtf8(name), "가나");
    EXPECT_EQ(code, 1);
    EXPECT_EQ(suffix, 0);
    std::memset(name, 0, sizeof name);
    ASSERT_EQ(S().nextCode(name, 3, code, suffix), 1); // room for one two-byte character
    EXPECT_EQ(Cp949ToUtf8(name), "삼");
    EXPECT_EQ(code, 593);
    EXPECT_EQ(suffix, 'A');
    EXPECT_EQ(S().nextCode(name, sizeof name, code, suffix), 0);
}

TEST_F(StockTest, ItemTablesThatCannotBeSearchedAreRefused) {
    const struct {
        const char* name;
        std::string items;
        unsigned long count;
    } cases[] = {
        {"ascending", Le32(2) + Item(1, "a") + Item(2, "b"), 2},
        {"equal keys", Le32(2) + Item(2, "a") + Item(2, "b"), 0},
        {"descending", Le32(2) + Item(3, "a") + Item(2, "b"), 0},
        {"count beyond the file", Le32(1000000) + Item(1, "a"), 0},
        {"name cut short", Le32(1) + Le32(1) + Bytes({9, 'a'}), 0},
    };
    for (const auto& c : cases) {
        WriteTables(c.items);
        S().openFile(Folder());
        unsigned long count = 99;
        S().getCount(count);
        EXPECT_EQ(count, c.count) << c.name;
        SIM item;
        EXPECT_EQ(S().getStockDataByCode(item, 0, 2), 0) << c.name;
        CStock::destruct();
    }
}

TEST_F(StockTest, SaveFileRoundTripAndItsChecks) {
    OpenSample();
    ASSERT_EQ(Feed(Quote(593, 'A', 0)), 1);
    ASSERT_EQ(Feed(Market(1)), 1);
    ASSERT_EQ(S().close(), 1);
    const std::string saved = m_root.Read("My Documents/Velko/SIMStore.bin");
    // Market count, two 23-byte market records, one 21-byte item record.
    ASSERT_EQ(saved.size(), 1u + 2 * 23 + 21);
    EXPECT_EQ(saved[0], 2);
    EXPECT_EQ(saved.substr(1, 23), Le32(0) + Bytes({0, 0}) + Le32(0) + Le32(0) + Bytes({0, 0, 0, 0}) +
                                       Le32(0xFFFFFFFF) + Bytes({0}));
    EXPECT_EQ(saved.substr(24, 23), Bytes({0x40, 0x0D, 0x03, 0, 0x64, 0x80, 3, 2, 1, 0, 6, 5, 4, 0, 8, 7, 0x0A, 9,
                                           1, 0, 0, 0, 1}));
    EXPECT_EQ(saved.substr(47), Bytes({0x41, 0x51, 0x02, 0, 0x35, 0x4C, 2, 0x10, 0, 3, 2, 1, 0, 0x40, 0x4C, 0x30,
                                       0x4C, 0x36, 0x4C, 0x34, 0x4C}));
    CStock::destruct();
    SetAge("My Documents/Velko/SIMStore.bin", 29 * 60);
    OpenSample();
    SIM item;
    EXPECT_EQ(S().getStockDataByCode(item, 593, 'A'), 1);
    MARKET_STATUS m;
    EXPECT_EQ(S().getMarketDataByCode(m, 1), 1);
    EXPECT_EQ(S().close(), 1);
    CStock::destruct();

    std::string other = saved;
    other[0] = 3; // another market count: ignored whole
    m_root.MakeFile("My Documents/Velko/SIMStore.bin", other);
    SetAge("My Documents/Velko/SIMStore.bin", 0);
    OpenSample();
    EXPECT_EQ(S().getStockDataByCode(item, 593, 'A'), 0);
    EXPECT_EQ(S().getMarketDataByCode(m, 1), 0);
    CStock::destruct();

    m_root.MakeFile("My Documents/Velko/SIMStore.bin", saved);
    SetAge("My Documents/Velko/SIMStore.bin", 30 * 60);
    OpenSample();
    EXPECT_EQ(S().getStockDataByCode(item, 593, 'A'), 0);
}

TEST_F(StockTest, CloseReportsAFileThatCannotBeWritten) {
    OpenSample();
    // A folder where the save file belongs: the file cannot be written.
    m_root.MakeFile("My Documents/Velko/SIMStore.bin.new/x", "");
    EXPECT_EQ(S().close(), 0);
    EXPECT_EQ(S().close(), 0); // not loaded any more
}

TEST_F(StockTest, TheReceiverLinkHandsEachServiceToItsStore) {
    OpenSample();
    CMarkup::instance()->openFile(Folder());
    CShortText::instance()->openFile(Folder());
    std::string bytes = Frame(Quote(593, 'A', 0x80)) + Frame(TimePacket(3, 0, 10, 3, 8, 5)) +
                        Frame(TimePacket(4, 2, 10, 3, 9, 1)) + std::string(120, '\xFF');
    CDARC* darc = CDARC::instance();
    ASSERT_EQ(darc->SetData(bytes.data(), static_cast<unsigned long>(bytes.size())), 1);
    EXPECT_EQ(darc->ParseData(), 3);
    SIM item;
    EXPECT_EQ(S().getStockDataByCode(item, 593, 'A'), 1);
    CTime t;
    ASSERT_EQ(CMarkup::instance()->GetLastUpdatedTime(t, 0), 1);
    EXPECT_EQ(t.GetMinute(), 5);
    ASSERT_EQ(CShortText::instance()->GetLastUpdatedTime(t, 1, 0), 1);
    EXPECT_EQ(t.GetMinute(), 1);
    EXPECT_EQ(CShortText::instance()->GetLastUpdatedTime(t, 0, 0), 0);
}
