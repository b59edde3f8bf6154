#include "traffic/receiver/tests/ReceiverFixture.h"

namespace {

std::string Command(int code) {
    // STX, '5', code, check so that '5' + code + check is 0 modulo 256, ETX.
    int check = (256 * 2 - 0x35 - code) % 256;
    return std::string{'\x02', '\x35', static_cast<char>(code), static_cast<char>(check), '\x03'};
}

} // namespace

class FreqScannerTest : public ReceiverFixture {
protected:
    // Freq.bin with one region per search-list entry is enough for the search.
    void WriteFreq(const std::vector<int>& searchList) {
        std::string f = Bytes({1, 2}) + "AB" + Bytes({static_cast<int>(searchList.size())});
        for (int c : searchList) f += Bytes({c});
        f += Bytes({static_cast<int>(searchList.size())});
        for (int c : searchList) f += Bytes({c});
        m_root.MakeFile("MapData/DARC/Freq.bin", f);
        S().openFile(Folder());
    }
    CFreqScanner& S() { return *CFreqScanner::instance(); }
    std::string Next() {
        char buf[8] = {};
        unsigned long length = 0;
        if (!S().GetNextSentence(buf, length)) return "";
        EXPECT_EQ(length, 5u);
        return std::string(buf, length);
    }
};

TEST_F(FreqScannerTest, ReadsRegionsAndLists) {
    // Two regions "서울" (CP949 BC AD BF EF) with 2 frequencies and "AB" with 1; search list 3 long.
    m_root.MakeFile("MapData/DARC/Freq.bin", Bytes({2, 4, 0xBC, 0xAD, 0xBF, 0xEF, 2, 'A', 'B', 2, 3, 36, 60, 100,
                                                    3, 60, 100, 36}));
    S().openFile(Folder());
    EXPECT_EQ(S().GetLocalNum(), 2);
    char name[8];
    S().GetLocalName(0, name, sizeof name);
    EXPECT_EQ(std::string(name), "\xBC\xAD\xBF\xEF");
    S().GetLocalName(1, name, 2); // cut to the buffer
    EXPECT_EQ(std::string(name), "A");
    S().GetLocalName(2, name, sizeof name);
    EXPECT_EQ(std::string(name), "");
    EXPECT_EQ(S().GetNumOfFreq(0), 2);
    EXPECT_EQ(S().GetNumOfFreq(1), 3);
    EXPECT_EQ(S().GetNumOfFreq(2), 0);
    EXPECT_EQ(S().GetFreq(2), 100);
    EXPECT_EQ(S().GetFreq(3), 0);
    S().StartSearch(60);
    EXPECT_EQ(Next(), Command(100));
}

TEST_F(FreqScannerTest, MalformedFilesLeaveEveryTableEmpty) {
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"name past the end", Bytes({1, 9, 'A'})},
        {"end indices go back", Bytes({2, 1, 'A', 1, 'B', 2, 1, 36, 60, 1, 36})},
        {"frequency list cut", Bytes({1, 1, 'A', 3, 36, 60})},
        {"search list cut", Bytes({1, 1, 'A', 1, 36, 4, 36})},
        {"empty file", ""},
    };
    for (const Case& c : cases) {
        CFreqScanner::destruct();
        m_root.MakeFile("MapData/DARC/Freq.bin", c.bytes);
        S().openFile(Folder());
        EXPECT_EQ(S().GetLocalNum(), 0) << c.name;
        EXPECT_EQ(S().GetFreq(0), 0) << c.name;
        EXPECT_EQ(S().StartSearch(36), 0) << c.name; // an empty search list cannot step
        EXPECT_EQ(S().IsScanMode(), 0) << c.name;
        EXPECT_EQ(Next(), "") << c.name;
    }
}

TEST_F(FreqScannerTest, SearchCycleReturnsToBestOrStart) {
    WriteFreq({10, 20, 30});
    // Poor rates everywhere: the cycle ends back at the start.
    EXPECT_EQ(S().StartSearch(20), 1);
    EXPECT_EQ(Next(), Command(30));
    EXPECT_EQ(S().SetReceiveRate(15, 30), 1);
    EXPECT_EQ(S().SetReceiveRate(90, 10), 0); // a report for another frequency
    EXPECT_EQ(Next(), Command(10));
    S().SetReceiveRate(20, 10);
    EXPECT_EQ(S().IsSearching(), 1);
    EXPECT_EQ(Next(), Command(20));
    EXPECT_EQ(S().IsSearching(), 0);

    // A rate above 20 is worth returning to.
    S().StartSearch(20);
    EXPECT_EQ(Next(), Command(30));
    S().SetWaitFlag(1);
    S().SetReceiveRate(40, 30);
    EXPECT_EQ(S().IsWaitingPacket(), 0);
    EXPECT_EQ(Next(), Command(10));
    S().SetReceiveRate(25, 10);
    EXPECT_EQ(Next(), Command(30));
    EXPECT_EQ(S().IsSearching(), 0);
}

TEST_F(FreqScannerTest, GoodRateStopsAndUnlistedStartWraps) {
    WriteFreq({10, 20, 30});
    S().StartSearch(20);
    EXPECT_EQ(Next(), Command(30));
    S().SetReceiveRate(60, 30);
    EXPECT_EQ(S().IsScanMode(), 0);
    EXPECT_EQ(S().IsSearching(), 0);

    // 25 is not listed: the first step is entry 256 modulo 3 = 1.
    S().StartSearch(25);
    EXPECT_EQ(Next(), Command(20));
    EXPECT_EQ(Next(), Command(30));
    EXPECT_EQ(Next(), Command(10));
    EXPECT_EQ(Next(), Command(20));
    EXPECT_EQ(S().IsSearching(), 1); // never reaches an unlisted start
}

TEST_F(FreqScannerTest, ManualRequest) {
    WriteFreq({10, 20, 30});
    S().StartSearch(20);
    S().SetNewFreq(36);
    EXPECT_EQ(S().IsScanMode(), 0);
    EXPECT_EQ(S().IsFreqChanged(), 1);
    char buf[8];
    unsigned long length = 0;
    ASSERT_EQ(S().GetManualSentence(buf, length), 1);
    EXPECT_EQ(std::string(buf, length), Bytes({0x02, 0x35, 0x24, 0xA7, 0x03}));
    EXPECT_EQ(S().IsFreqChanged(), 0);
}

TEST_F(FreqScannerTest, ChannelInformation) {
    CChannelInfo& c = *CChannelInfo::instance();
    std::string p = Bytes({0x10, 0x50, 0x80, 0, 0, 3}) + "KBS";
    EXPECT_EQ(c.setData(reinterpret_cast<const unsigned char*>(p.data()), static_cast<int>(p.size())), 80);
    EXPECT_EQ(c.IsNetworkIDValid(), 1);
    EXPECT_EQ(c.GetTextLength(), 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(c.GetText()), 3), "KBS");

    std::string other = Bytes({0x10, 0x40, 0x07, 0, 0, 3}) + "XYZ";
    EXPECT_EQ(c.setData(reinterpret_cast<const unsigned char*>(other.data()), 9), -1);
    EXPECT_EQ(c.GetNetworkID(), 0x80);

    std::string tooLong = Bytes({0x10, 0x50, 0x07, 0, 0, 17}) + std::string(17, 'x');
    EXPECT_EQ(c.setData(reinterpret_cast<const unsigned char*>(tooLong.data()), static_cast<int>(tooLong.size())), 0);
    EXPECT_EQ(c.IsNetworkIDValid(), 0);
    EXPECT_EQ(c.GetTextLength(), 3); // the text and its length stay together

    std::string cut = Bytes({0x10, 0x50, 0x05, 0, 0, 8}) + "ab"; // shorter than its text
    EXPECT_EQ(c.setData(reinterpret_cast<const unsigned char*>(cut.data()), static_cast<int>(cut.size())), 0);
    EXPECT_EQ(c.GetNetworkID(), 0x07);

    for (int id : {5, 6, 0x80, 0x81, 4, 7, 0x7F, 0x82}) {
        std::string q = Bytes({0x10, 0x50, id, 0, 0, 0});
        c.setData(reinterpret_cast<const unsigned char*>(q.data()), 6);
        EXPECT_EQ(c.IsNetworkIDValid(), id == 5 || id == 6 || id == 0x80 || id == 0x81 ? 1 : 0) << id;
    }
}
