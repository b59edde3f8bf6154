#include "transit/SubConnect.h"
#include "transit/tests/FakeServer.h"

#include "platform/files/tests/TempRoot.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Station {
    std::string name, direction;
    long long serverX, y;
    std::string line;
};

std::string StationText(const std::vector<Station>& stations) {
    std::string t;
    for (const Station& s : stations)
        t += s.name + "|" + s.direction + "|" + std::to_string(s.serverX) + "|" + std::to_string(s.y) + "|" + s.line +
             "\n";
    return t;
}

// One route of the reply data: its record (big-endian on the wire) and its text.
std::string RouteData(std::int32_t lines, std::int32_t total, const std::string& text,
                      std::int32_t textLength = -1) {
    std::string d;
    PutBE(d, 7);
    PutBE(d, static_cast<std::uint32_t>(lines));
    PutBE(d, static_cast<std::uint32_t>(total));
    PutBE(d, static_cast<std::uint32_t>(textLength < 0 ? static_cast<std::int32_t>(text.size()) : textLength));
    return d + text;
}

std::string Reply(std::uint32_t status, std::int32_t routes, const std::string& data) {
    std::string r;
    PutBE(r, status);
    PutBE(r, static_cast<std::uint32_t>(routes));
    PutBE(r, static_cast<std::uint32_t>(data.size()));
    PutBE(r, 12345);
    return r + data;
}

const std::string kLine2 = Cp(u"가람선");

std::string FirstText() {
    return StationText({{Cp(u"가람역"), Cp(u"시청"), 100000, 450000, kLine2},
                        {Cp(u"시청"), Cp(u"바람"), 101000, 451000, kLine2},
                        {Cp(u"바람"), "", 102000, 452000, kLine2}});
}

std::string TwoRoutes() {
    return RouteData(3, 8, FirstText()) +
           RouteData(2, 5,
                     StationText({{Cp(u"가람역"), Cp(u"나래"), 100000, 450000, kLine2},
                                  {Cp(u"나래"), "", 103000, 453000, kLine2}}));
}

class SubConnectTest : public ::testing::Test {
protected:
    void SetUp() override {
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            m_messages.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override { WinSetMessageBoxHandler(nullptr); }

    int Ask(FakeServer& server, CSubConnect& c) {
        c.Setup("127.0.0.1", static_cast<short>(server.Port()));
        c.SetReplyTimeout(1);
        const int r = c.Execute(120000, 450000, 240000, 460000);
        c.Close();
        return r;
    }
    std::vector<std::u16string> m_messages;
};

constexpr int kFailed = static_cast<int>(0xC0000001u);

TEST_F(SubConnectTest, RequestBytesAndStatuses) {
    for (std::uint32_t status : {0xC0000002u, 0xC0000003u, 0xC0000005u, 0xC0000004u}) {
        FakeServer server(40, Reply(status, 0, ""));
        CSubConnect c;
        EXPECT_EQ(Ask(server, c), static_cast<int>(status));
        EXPECT_EQ(Hex(server.Request()),
                  "00 00 00 05 00 00 00 05 00 00 00 18 00 00 30 39 00 01 86 A0 00 06 DD D0 00 03 0D 40 00 07 04 E0 "
                  "00 00 03 E8 00 00 03 E8");
    }
}

TEST_F(SubConnectTest, StationsOfAReply) {
    FakeServer server(40, Reply(0x80000005u, 2, TwoRoutes()));
    CSubConnect c;
    ASSERT_EQ(Ask(server, c), 0);
    EXPECT_EQ(c.GetRouteNum(), 2);
    EXPECT_EQ(c.GetStopNum(0), 3);
    EXPECT_EQ(c.GetTotalStop(0), 8);
    EXPECT_EQ(c.GetStopNum(1), 2);
    EXPECT_EQ(c.GetTotalStop(1), 5);
    EXPECT_EQ(c.GetStopNum(2), -1);
    SubLineInfo s{};
    ASSERT_EQ(c.GetStationInfo(1, 1, s), 1);
    EXPECT_EQ(std::string(s.name), Cp(u"나래"));
    EXPECT_EQ(std::string(s.direction), "");
    EXPECT_EQ(s.x, 123600); // 103000 x 1.2
    EXPECT_EQ(s.y, 453000);
    EXPECT_EQ(std::string(s.line), kLine2);
    ASSERT_EQ(c.GetStationInfo(0, 1, s), 1);
    EXPECT_EQ(std::string(s.direction), Cp(u"바람"));
    SubLineInfo before = s;
    EXPECT_EQ(c.GetStationInfo(0, 3, s), 0); // station equal to the station-line count
    EXPECT_EQ(std::memcmp(&before, &s, sizeof s), 0);
}

TEST_F(SubConnectTest, RoutesFollowEachOtherByTheirTextLengths) {
    // Texts of 120 and 95 bytes: 16 + 120 + 16 + 95 = 247 bytes, the second record at 136.
    std::string first = StationText({{"A", "B", 100000, 450000, "1"}});
    first += std::string(120 - first.size(), 'z');
    std::string second = StationText({{"C", "D", 200000, 460000, "2"}});
    second += std::string(95 - second.size(), 'z');
    const std::string data = RouteData(1, 4, first) + RouteData(1, 6, second);
    ASSERT_EQ(data.size(), 247u);
    ASSERT_EQ(data.substr(136 + 16, 2), "C|");
    FakeServer server(40, Reply(0x80000005u, 2, data));
    CSubConnect c;
    ASSERT_EQ(Ask(server, c), 0);
    SubLineInfo s{};
    ASSERT_EQ(c.GetStationInfo(1, 0, s), 1);
    EXPECT_EQ(std::string(s.name), "C");
    EXPECT_EQ(s.x, 240000);
    EXPECT_EQ(c.GetTotalStop(1), 6);
}

TEST_F(SubConnectTest, MalformedRepliesFail) {
    const std::string good = Reply(0x80000005u, 2, TwoRoutes());
    std::string wrongMagic = good;
    wrongMagic[15] = 0x3A;
    std::string negative;
    PutBE(negative, 0x80000005u);
    PutBE(negative, 1);
    PutBE(negative, static_cast<std::uint32_t>(-16));
    PutBE(negative, 12345);
    std::string huge = negative.substr(0, 8);
    PutBE(huge, 1u << 30);
    PutBE(huge, 12345);
    const std::string pastTheData =
        Reply(0x80000005u, 1, RouteData(1, 1, StationText({{"A", "B", 1, 1, "1"}}), 500));
    const struct {
        const char* name;
        std::string reply;
    } cases[] = {
        {"wrong magic", wrongMagic},
        {"header cut short", good.substr(0, 10)},
        {"data cut short", good.substr(0, good.size() - 3)},
        {"length -16", negative},
        {"length 2^30", huge},
        {"a text past the data", pastTheData},
        {"three routes announced, two there", Reply(0x80000005u, 3, TwoRoutes())},
        {"closing at once", ""},
    };
    for (const auto& k : cases) {
        FakeServer server(40, k.reply);
        CSubConnect c;
        EXPECT_EQ(Ask(server, c), kFailed) << k.name;
        EXPECT_EQ(c.HasInfo(), 0) << k.name;
        EXPECT_EQ(c.GetRouteNum(), 0) << k.name;
    }
}

TEST_F(SubConnectTest, SilenceAndNoServer) {
    FakeServer server(40, "", true);
    CSubConnect c;
    EXPECT_EQ(Ask(server, c), kFailed);
    c.Setup("127.0.0.1", static_cast<short>(UnusedLoopbackPort()));
    EXPECT_EQ(c.Execute(1, 1, 1, 1), -10);
    EXPECT_EQ(c.Execute(1, 0, 1, 1), -11);
}

TEST_F(SubConnectTest, SaveAndReopenWithoutConvertingTwice) {
    TempRoot root;
    FakeServer server(40, Reply(0x80000005u, 2, TwoRoutes()));
    CSubConnect c;
    ASSERT_EQ(Ask(server, c), 0);
    ASSERT_EQ(c.SaveRouteSub(u"\\sub.vkp"), 1);
    const std::string bytes = root.Read("sub.vkp");
    const std::string data = TwoRoutes();
    ASSERT_EQ(bytes.size(), 38 + data.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xCC);
    EXPECT_EQ(bytes[1], '2');
    std::string header;
    PutLE(header, static_cast<std::uint32_t>(data.size() + 16));
    for (std::uint32_t v : {0x80000005u, 2u, static_cast<std::uint32_t>(data.size()), 12345u}) PutLE(header, v);
    EXPECT_EQ(Hex(bytes.substr(18, 20)), Hex(header));
    // The first route record as held: little-endian words.
    std::string record;
    for (std::uint32_t v : {7u, 3u, 8u, static_cast<std::uint32_t>(FirstText().size())}) PutLE(record, v);
    EXPECT_EQ(Hex(bytes.substr(38, 16)), Hex(record));

    CSubConnect reopened;
    ASSERT_EQ(reopened.OpenRouteSub(u"\\sub.vkp"), 1);
    EXPECT_EQ(reopened.GetRouteNum(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(reopened.GetStopNum(r), c.GetStopNum(r));
        EXPECT_EQ(reopened.GetTotalStop(r), c.GetTotalStop(r));
        for (int i = 0; i < c.GetStopNum(r); ++i) {
            SubLineInfo p{}, q{};
            ASSERT_EQ(c.GetStationInfo(r, i, p), 1);
            ASSERT_EQ(reopened.GetStationInfo(r, i, q), 1);
            EXPECT_EQ(std::memcmp(&p, &q, sizeof p), 0);
        }
    }
    // Saving the reopened answer writes the same bytes (nothing converted a second time).
    ASSERT_EQ(reopened.SaveRouteSub(u"\\again.vkp"), 1);
    EXPECT_EQ(root.Read("again.vkp"), bytes);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SubConnectTest, FilesThatAreNotSubwayAnswersAreRefusedAndTheAnswerStays) {
    TempRoot root;
    FakeServer server(40, Reply(0x80000005u, 2, TwoRoutes()));
    CSubConnect c;
    ASSERT_EQ(Ask(server, c), 0);
    ASSERT_EQ(c.SaveRouteSub(u"\\sub.vkp"), 1);
    const std::string good = root.Read("sub.vkp");
    std::string bus = good;
    bus[0] = '\xBB';
    root.MakeFile("bus.vkp", bus);
    root.MakeFile("short.vkp", good.substr(0, good.size() - 1));
    std::string pastData = good;
    pastData[38 + 12] = 0x7F; // the first route's text length runs past the data
    root.MakeFile("past.vkp", pastData);

    const struct {
        const char16_t* path;
        const char16_t* message;
    } cases[] = {
        {u"\\bus.vkp", u"지하철용 탐색데이타가 아닙니다."},
        {u"\\none.vkp", u"Fail to Open Subway Route File"},
        {u"\\short.vkp", nullptr},
        {u"\\past.vkp", nullptr},
    };
    for (const auto& k : cases) {
        m_messages.clear();
        EXPECT_EQ(c.OpenRouteSub(k.path), 0);
        ASSERT_EQ(m_messages.size(), 1u);
        if (k.message) {
            EXPECT_EQ(m_messages[0], k.message);
        }
        EXPECT_EQ(c.GetRouteNum(), 2);
        SubLineInfo s{};
        EXPECT_EQ(c.GetStationInfo(1, 1, s), 1);
    }
    CSubConnect empty;
    m_messages.clear();
    EXPECT_EQ(empty.SaveRouteSub(u"\\x.vkp"), 0);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], u"탐색된 경로가 없습니다.");
}

} // namespace
