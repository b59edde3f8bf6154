#include "traffic/receiver/tests/ReceiverFixture.h"

namespace {

// A sentence from the unit: STX, type, the payload escaped where needed (02, 03 and 1B as
// 1B and the inverted byte), a check byte making type + payload + check 0 modulo 256, ETX.
std::string Sentence(int type, const std::vector<int>& payload, bool escape = true) {
    int sum = type;
    for (int b : payload) sum += b;
    std::vector<int> all = payload;
    all.push_back((256 - sum % 256) % 256);
    std::string s{'\x02', static_cast<char>(type)};
    for (int b : all) {
        if (escape && (b == 0x02 || b == 0x03 || b == 0x1B)) {
            s.push_back('\x1B');
            s.push_back(static_cast<char>(~b & 0xFF));
        } else {
            s.push_back(static_cast<char>(b));
        }
    }
    s.push_back('\x03');
    return s;
}

std::string Filler(int n) { return std::string(static_cast<size_t>(n), '\xFF'); }

} // namespace

class DARCTest : public ReceiverFixture {
protected:
    CDARC& D() { return *CDARC::instance(); }
    void Feed(const std::string& s) { ASSERT_EQ(D().SetData(s.data(), s.size()), 1); }
    void Scanner(const std::vector<int>& searchList) {
        std::string f = Bytes({1, 1, 'A', static_cast<int>(searchList.size())});
        for (int c : searchList) f += Bytes({c});
        f += Bytes({static_cast<int>(searchList.size())});
        for (int c : searchList) f += Bytes({c});
        m_root.MakeFile("MapData/DARC/Freq.bin", f);
        CFreqScanner::instance()->openFile(Folder());
    }
};

TEST_F(DARCTest, TrafficSentenceWithUnescapedStxReachesTheStore) {
    WriteLinkTable({0x00060001, 0x00060002, 0x80020001, 0x80020002});
    CTraffic::instance()->openFile(Folder());
    std::string s = Bytes({0x02, 0x30, 0x17, 0x00, 0x00, 0x06, 0x00, 0x01, 0x0A, 0x00, 0x06, 0x00, 0x02,
                           0x2D, 0x80, 0x02, 0x00, 0x01, 0x0A, 0x80, 0x02, 0x00, 0x02, 0x46, 0x1C, 0x03});
    // The check byte: 0x30 plus the payload must be 0 modulo 256.
    int sum = 0;
    for (size_t i = 1; i + 1 < s.size(); ++i) sum += static_cast<unsigned char>(s[i]);
    ASSERT_EQ(sum % 256, 0);
    Feed(s + Filler(100));
    EXPECT_EQ(D().ParseData(), 1);
    EXPECT_EQ(D().GetPacketNum(), 1);
    const int speeds[] = {10, 45, 10, 70};
    const unsigned long colours[] = {0x1894C9, 0xDC0000, 0x8000FF, 0xDC0000};
    for (unsigned short i = 0; i < 4; ++i) {
        unsigned char v = 0;
        unsigned long c = 0;
        ASSERT_EQ(CTraffic::instance()->getSpeedByIdx(i, v), 1);
        EXPECT_EQ(v, speeds[i]);
        ASSERT_EQ(CTraffic::instance()->getLinkColorByIdx(i, c), 1);
        EXPECT_EQ(c, colours[i]);
    }
    bool noFast[4] = {false, true, true, true};
    CTraffic::instance()->SetDisplayOnOff(noFast);
    unsigned long c = 0;
    EXPECT_EQ(CTraffic::instance()->getLinkColorByIdx(3, c), 0);
    unsigned char avg = 0;
    CTraffic::instance()->getAverSpeedByType(3, avg);
    EXPECT_EQ(avg, 27);
    unsigned long id = 0;
    CTraffic::instance()->getDarcIDByIdx(2, id);
    EXPECT_EQ(id, 0x80020001ul);
    EXPECT_EQ(CTraffic::instance()->close(), 1);
    std::string saved = m_root.Read("My Documents/Velko/STIStore.bin");
    ASSERT_EQ(saved.size(), 1u + 4 * 12);
    EXPECT_EQ(saved[0], 0x65);
}

TEST_F(DARCTest, FramingWindowAndEscapes) {
    // A data sentence whose ETX lies at position 20 waits until 52 bytes from its STX are in.
    std::string data = Sentence(0x30, {0x17, 0x00, 0x00, 0x06, 0x00, 0x01, 0x0A, 0x00, 0x06, 0x00, 0x04, 0x2D,
                                       0x80, 0x05, 0x00, 0x01, 0x0A});
    ASSERT_EQ(data.size(), 21u);
    ASSERT_EQ(data[20], '\x03');
    Feed(Filler(80) + data);
    EXPECT_EQ(D().ParseData(), 0);
    EXPECT_EQ(D().GetBufferedLength(), 101);
    // 1B FC in the payload is the data byte 03 and does not end the sentence.
    std::string escaped = Sentence(0x40, {0x03, 36});
    ASSERT_EQ(escaped.substr(2, 2), Bytes({0x1B, 0xFC}));
    Feed(escaped + Filler(100));
    EXPECT_EQ(D().ParseData(), 2); // the data packet (counted though no store took it) and the report
    unsigned char r = 0, f = 0;
    ASSERT_EQ(D().GetReceiveRate(r, f), 1);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(f, 36);
}

TEST_F(DARCTest, CheckFailureIsConsumed) {
    std::string bad = Sentence(0x40, {50, 36});
    bad[4] = static_cast<char>(bad[4] + 1); // the sum becomes 1
    Feed(bad + Filler(100));
    EXPECT_EQ(D().ParseData(), 0);
    unsigned char r = 0, f = 0;
    EXPECT_EQ(D().GetReceiveRate(r, f), 0);
    EXPECT_EQ(D().GetBufferedLength(), 0); // the sentence went, then the filler as garbage
}

TEST_F(DARCTest, FewerThanHundredBytesWait) {
    std::string s = Sentence(0x40, {50, 36}) + Filler(60);
    Feed(s);
    EXPECT_EQ(D().ParseData(), 0);
    EXPECT_EQ(D().GetBufferedLength(), static_cast<int>(s.size()));
    Feed(Filler(40));
    EXPECT_EQ(D().ParseData(), 1);
}

TEST_F(DARCTest, ReportEndedByStxKeepsTheNextSentence) {
    // A rate report ended by the STX of a version report: both are taken.
    std::string rate = Sentence(0x40, {80, 36});
    rate.pop_back(); // no ETX: the next STX ends it
    std::string version = Sentence(0x41, {'K', 1, 2, 3, 'B', 0, 0});
    Feed(rate + version + Filler(120));
    EXPECT_EQ(D().ParseData(), 1);
    CString text;
    ASSERT_EQ(D().GetVersionString(text), 1);
    EXPECT_TRUE(text == CString(u"K1.23"));
    char a[4], b[3];
    ASSERT_EQ(D().GetVersions(a, b), 1);
    EXPECT_EQ(std::string(a, 4), Bytes({'K', 1, 2, 3}));
    EXPECT_EQ(std::string(b, 3), Bytes({'B', 0, 0}));
}

TEST_F(DARCTest, StxAmongTheLastTwoBytesIsKept) {
    std::string s = Sentence(0x40, {70, 40});
    Feed(Filler(98) + s.substr(0, 2)); // 100 bytes, the last two are STX and the type
    EXPECT_EQ(D().ParseData(), 0);
    EXPECT_EQ(D().GetBufferedLength(), 2);
    Feed(s.substr(2) + Filler(100));
    EXPECT_EQ(D().ParseData(), 1);
    unsigned char r = 0, f = 0;
    ASSERT_EQ(D().GetReceiveRate(r, f), 1);
    EXPECT_EQ(r, 70);

    Feed(Filler(99) + "\x02");
    D().ParseData();
    EXPECT_EQ(D().GetBufferedLength(), 1);
}

TEST_F(DARCTest, WindowWithoutTerminatorCostsTheWindow) {
    // No terminator within 52 bytes; an ESC at position 51 counts the same.
    std::string open = Bytes({0x02, 0x30}) + std::string(60, '\x11');
    Feed(open + Filler(40));
    EXPECT_EQ(D().ParseData(), 0);
    EXPECT_EQ(D().GetBufferedLength(), 50);
    CDARC::destruct();
    std::string esc = Bytes({0x02, 0x30}) + std::string(49, '\x11') + Bytes({0x1B, 0xFC, 0x03});
    Feed(esc + Filler(100));
    EXPECT_EQ(D().ParseData(), 0);
    EXPECT_EQ(D().GetBufferedLength(), 102); // only the window went: FC 03 and the filler stay
}

TEST_F(DARCTest, OverflowEmptiesTheBuffer) {
    EXPECT_EQ(D().SetData(nullptr, 5), 0);
    EXPECT_EQ(D().SetData("x", 0), 0);
    EXPECT_EQ(D().SetData("x", 0xFFFFFFFFul), 0);
    Feed(Filler(20000));
    Feed(Filler(480));
    EXPECT_EQ(D().GetBufferedLength(), 20480);
    Feed(Filler(10));
    EXPECT_EQ(D().GetBufferedLength(), 10);
}

TEST_F(DARCTest, IdleCallsWithoutChannelInformationStartASearch) {
    Scanner({10, 20, 30});
    Feed(Sentence(0x40, {30, 20}) + Filler(100));
    EXPECT_EQ(D().ParseData(), 1); // first idle call at the end
    EXPECT_EQ(CFreqScanner::instance()->IsSearching(), 0);
    Feed(Filler(100));
    EXPECT_EQ(D().ParseData(), 0); // second idle call
    EXPECT_EQ(CFreqScanner::instance()->IsSearching(), 1);
    char cmd[8];
    unsigned long n = 0;
    ASSERT_EQ(CFreqScanner::instance()->GetNextSentence(cmd, n), 1);
    EXPECT_EQ(static_cast<unsigned char>(cmd[2]), 30); // the search starts after the reported 20

    // Channel information with a known network id between the idle calls keeps the station.
    CDARC::destruct();
    CFreqScanner::instance()->StopSearch();
    Feed(Sentence(0x30, {0x10, 0x50, 0x80, 0, 0, 0}) + Filler(100));
    EXPECT_EQ(D().ParseData(), 1);
    Feed(Filler(100));
    D().ParseData();
    EXPECT_EQ(CFreqScanner::instance()->IsSearching(), 0);

    // An unknown network id searches at once.
    Feed(Sentence(0x30, {0x10, 0x50, 0x07, 0, 0, 0}) + Filler(100));
    D().ParseData();
    EXPECT_EQ(CFreqScanner::instance()->IsSearching(), 1);
}

TEST_F(DARCTest, PoorRatesWithAGpsScore) {
    Scanner({10, 20, 30});
    auto poor = [&](int n) {
        for (int i = 0; i < n; ++i) {
            // 94 bytes stay behind each report: no call ends idle, so no other search starts.
            Feed(Sentence(0x40, {10, 20}) + Filler(94));
            ASSERT_EQ(D().ParseData(), 1);
            ASSERT_EQ(CFreqScanner::instance()->IsSearching(), 0);
        }
    };
    // Without a GPS score poor reports are not counted.
    poor(300);
    EXPECT_EQ(D().GetLowRateCount(), 0);
    D().SetGPSScore(1);
    poor(201);
    EXPECT_EQ(D().GetLowRateCount(), 201);
    Feed(Sentence(0x40, {10, 20}) + Filler(94));
    D().ParseData(); // the 202nd poor report starts the search
    EXPECT_EQ(D().GetLowRateCount(), 0);
    EXPECT_EQ(CFreqScanner::instance()->IsSearching(), 1);
    CFreqScanner::instance()->StopSearch();
    poor(5);
    EXPECT_EQ(D().GetLowRateCount(), 5);
    Feed(Sentence(0x40, {11, 20}) + Filler(94));
    D().ParseData();
    EXPECT_EQ(D().GetLowRateCount(), 0);
}

TEST_F(DARCTest, ReportsBeforeTheirFirstArrival) {
    unsigned char r = 9, f = 9;
    EXPECT_EQ(D().GetReceiveRate(r, f), 0);
    int state = 7;
    EXPECT_EQ(D().IsDARCConnected(state), 0);
    EXPECT_EQ(state, 7);
    D().SetDARCConnected(1);
    EXPECT_EQ(D().IsDARCConnected(state), 1);
    EXPECT_EQ(state, 1);
    CString text;
    EXPECT_EQ(D().GetVersionString(text), 0);
    unsigned long a = 1, b = 1;
    D().GetMatchDARCID(a, b);
    EXPECT_EQ(a, 0ul);
    D().SetMatchDARCID(0xFFFFFFFFul, 12);
    D().GetMatchDARCID(a, b);
    EXPECT_EQ(a, 0xFFFFFFFFul);
    EXPECT_EQ(b, 12ul);
    int s1, s2, s3, s4;
    D().GetReceivingStatus(s1, s2, s3, s4);
    EXPECT_EQ(s1 + s2 + s3 + s4, 0);
}
