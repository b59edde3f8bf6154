#include "transit/BusConnect.h"
#include "transit/tests/FakeServer.h"

#include "platform/files/tests/TempRoot.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Stop {
    std::string name;
    long long serverX;
    long long y;
    std::string line;
};

std::string Route(int stopLines, int total, const std::vector<Stop>& stops) {
    std::string t = std::to_string(stopLines) + "|" + std::to_string(total) + "\n";
    for (const Stop& s : stops)
        t += s.name + "|" + std::to_string(s.serverX) + "|" + std::to_string(s.y) + "|" + s.line + "\n";
    return t;
}

std::string Reply(std::int32_t status, std::int32_t routes, const std::string& text) {
    std::string r;
    PutLE(r, 12345);
    PutBE(r, static_cast<std::uint32_t>(status));
    PutBE(r, 0);
    PutBE(r, static_cast<std::uint32_t>(routes));
    PutBE(r, static_cast<std::uint32_t>(text.size()));
    return r + text;
}

// Three routes: 4 stop lines (two transfers) over 17 stops, 2 over 9, 1 over 3.
std::string ThreeRoutes() {
    return Route(4, 17,
                 {{Cp(u"가람시청"), 100000, 450000, "12"},
                  {Cp(u"가람역"), 100500, 451000, "700"},
                  {Cp(u"나래입구"), 101000, 452000, Cp(u"광역9")},
                  {Cp(u"다솜면사무소"), 102000, 453000, "3"}}) +
           Route(2, 9, {{Cp(u"가람시청"), 100000, 450000, "12"}, {Cp(u"다솜면사무소"), 102000, 453000, "12"}}) +
           Route(1, 3, {{Cp(u"가람역"), 100500, 451000, "5"}});
}

class BusConnectTest : public ::testing::Test {
protected:
    void SetUp() override {
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            m_messages.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override { WinSetMessageBoxHandler(nullptr); }

    int Ask(FakeServer& server, CBusConnect& c, ULONG sx = 120000, ULONG sy = 450000, ULONG dx = 240000,
            ULONG dy = 460000) {
        c.Setup("127.0.0.1", static_cast<short>(server.Port()));
        c.SetReplyTimeout(1);
        const int r = c.Execute(sx, sy, dx, dy);
        c.Close();
        return r;
    }

    std::vector<std::u16string> m_messages;
};

TEST_F(BusConnectTest, RequestBytesAndTheServersStatus) {
    FakeServer server(40, Reply(-5, 0, ""));
    CBusConnect c;
    EXPECT_EQ(Ask(server, c), -5);
    EXPECT_EQ(Hex(server.Request()),
              "39 30 00 00 00 10 00 04 00 00 00 00 00 00 00 05 00 01 86 A0 00 06 DD D0 00 03 0D 40 00 07 04 E0 "
              "00 00 03 E8 00 00 03 E8");
    ULONG a, b, x, y;
    c.GetStartDestPnt(a, b, x, y);
    EXPECT_EQ(a, 120000u);
    EXPECT_EQ(b, 450000u);
    EXPECT_EQ(x, 240000u);
    EXPECT_EQ(y, 460000u);
}

TEST_F(BusConnectTest, RoutesAndStopsOfAReply) {
    FakeServer server(40, Reply(0, 3, ThreeRoutes()));
    CBusConnect c;
    ASSERT_EQ(Ask(server, c), 0);
    EXPECT_EQ(c.HasInfo(), 1);
    EXPECT_EQ(c.GetRouteNum(), 3);
    EXPECT_EQ(c.GetStopNum(0), 4);
    EXPECT_EQ(c.GetTotalStop(0), 17);
    EXPECT_EQ(c.GetStopNum(1), 2);
    EXPECT_EQ(c.GetTotalStop(2), 3);
    EXPECT_EQ(c.GetStopNum(5), -1);
    EXPECT_EQ(c.GetStopNum(3), -1);
    EXPECT_EQ(c.GetTotalStop(-1), -1);

    BusStopInfo s{};
    ASSERT_EQ(c.GetStopInfo(0, 2, s), 1);
    EXPECT_EQ(std::string(s.name), Cp(u"나래입구"));
    EXPECT_EQ(s.x, 121200); // 101000 x 1.2
    EXPECT_EQ(s.y, 452000);
    EXPECT_EQ(std::string(s.line), Cp(u"광역9"));
    ASSERT_EQ(c.GetStopInfo(0, 0, s), 1);
    EXPECT_EQ(s.x, 120000); // a server x of 100000 comes back as 120000
    EXPECT_EQ(s.y, 450000);

    BusStopInfo untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    BusStopInfo probe = untouched;
    for (auto [route, stop] : {std::pair{0, 4}, {0, -1}, {1, 2}, {3, 0}, {-1, 0}}) {
        EXPECT_EQ(c.GetStopInfo(route, stop, probe), 0) << route << "," << stop;
        EXPECT_EQ(std::memcmp(&probe, &untouched, sizeof probe), 0);
    }
}

TEST_F(BusConnectTest, SetUpCloseAndZeroCoordinates) {
    CBusConnect c;
    EXPECT_EQ(c.Execute(1, 1, 1, 1), -10); // never set up
    EXPECT_EQ(c.Execute(0, 0, 0, 0), -10); // the set-up is checked first
    FakeServer server(40, Reply(0, 0, ""));
    c.Setup("127.0.0.1", static_cast<short>(server.Port()));
    EXPECT_EQ(c.Execute(0, 1, 1, 1), -11);
    EXPECT_EQ(c.Execute(1, 1, 1, 0), -11);
    EXPECT_EQ(c.Close(), 1);
    EXPECT_EQ(c.Close(), 1);
    EXPECT_EQ(c.Execute(1, 1, 1, 1), -10);
    EXPECT_FALSE(server.Accepted()); // nothing connected after Close
}

TEST_F(BusConnectTest, NoServerIsACommunicationFailure) {
    CBusConnect c;
    c.Setup("127.0.0.1", static_cast<short>(UnusedLoopbackPort()));
    EXPECT_EQ(c.Execute(120000, 450000, 240000, 460000), -10);
}

// Replies that must fail as -3 without disturbing the process.
TEST_F(BusConnectTest, MalformedRepliesFail) {
    const std::string good = Reply(0, 3, ThreeRoutes());
    std::string wrongMagic = good;
    wrongMagic[0] = 0x38;
    std::string negative;
    PutLE(negative, 12345);
    PutBE(negative, 0);
    PutBE(negative, 0);
    PutBE(negative, 1);
    PutBE(negative, static_cast<std::uint32_t>(-16));
    std::string huge = negative.substr(0, 16);
    PutBE(huge, 1u << 30);
    std::string negativeRoutes = negative.substr(0, 12);
    PutBE(negativeRoutes, static_cast<std::uint32_t>(-2));
    PutBE(negativeRoutes, 4);
    negativeRoutes += "1|1\n";
    const struct {
        const char* name;
        std::string reply;
    } cases[] = {
        {"wrong magic", wrongMagic},
        {"header cut short", good.substr(0, 12)},
        {"text cut short", good.substr(0, good.size() - 5)},
        {"length -16", negative},
        {"length 2^30", huge},
        {"negative route count", negativeRoutes},
        {"closing at once", ""},
    };
    for (const auto& k : cases) {
        FakeServer server(40, k.reply);
        CBusConnect c;
        EXPECT_EQ(Ask(server, c), -3) << k.name;
        EXPECT_EQ(c.HasInfo(), 0) << k.name;
    }
}

TEST_F(BusConnectTest, SilenceEndsAfterTheTimeOut) {
    FakeServer server(40, "", /*silent=*/true);
    CBusConnect c;
    EXPECT_EQ(Ask(server, c), -3);
}

TEST_F(BusConnectTest, ExtraRoutesAreCutAndFieldsThatDoNotFitAreCut) {
    std::string text;
    for (int i = 0; i < 7; ++i) text += Route(1, i + 1, {{"A", 100000, 450000, "1"}});
    const std::string longName(40, 'N');
    const std::string koreanName = Cp(u"가나다라마바사아자차카타파하") + "xy" + Cp(u"가"); // 28 + 2 + 2 bytes
    FakeServer server(40, Reply(0, 7, text));
    CBusConnect c;
    ASSERT_EQ(Ask(server, c), 0);
    EXPECT_EQ(c.GetRouteNum(), 5);
    EXPECT_EQ(c.GetTotalStop(4), 5);

    const std::string cut = Route(3, 5,
                                  {{longName, 100000, 450000, "123456789012345"},
                                   {koreanName, 12345678901234567LL, 450000, "1"},
                                   {"B", 100000, 4500001234567LL, "2"}});
    FakeServer server2(40, Reply(0, 1, cut));
    ASSERT_EQ(Ask(server2, c), 0);
    BusStopInfo s{};
    ASSERT_EQ(c.GetStopInfo(0, 0, s), 1);
    EXPECT_EQ(std::string(s.name), std::string(31, 'N'));
    EXPECT_EQ(std::string(s.line), "12345678901");
    ASSERT_EQ(c.GetStopInfo(0, 1, s), 1);
    EXPECT_EQ(std::string(s.name), Cp(u"가나다라마바사아자차카타파하") + "xy"); // the last character would split
    EXPECT_EQ(s.x, 2147483647); // "12345678901" clamped to 32 bits, and again after scaling
    ASSERT_EQ(c.GetStopInfo(0, 2, s), 1);
    EXPECT_EQ(s.y, 2147483647); // "45000012345" (11 characters) clamped
}

TEST_F(BusConnectTest, MalformedRoutesAreEmptyFromThereOn) {
    const std::string first = Route(2, 4, {{"A", 100000, 450000, "1"}, {"B", 100000, 450000, "1"}});
    const struct {
        const char* name;
        std::string text;
        int routes;
        int held;
    } cases[] = {
        {"a header without a bar", first + "2 4\nX|1|2|3\nY|1|2|3\n" + first, 3, 1},
        {"stop lines beyond the text", first + Route(9, 9, {{"C", 1, 1, "1"}}), 2, 1},
        {"a negative stop-line count", Route(-1, 3, {}) + first, 2, 0},
        {"a header without a line feed", first + "2|4", 2, 1},
    };
    for (const auto& k : cases) {
        FakeServer server(40, Reply(0, k.routes, k.text));
        CBusConnect c;
        ASSERT_EQ(Ask(server, c), 0) << k.name;
        EXPECT_EQ(c.GetRouteNum(), k.held) << k.name;
        EXPECT_EQ(c.GetStopNum(k.held), -1) << k.name;
        BusStopInfo s{};
        EXPECT_EQ(c.GetStopInfo(k.held, 0, s), 0) << k.name;
    }
}

TEST_F(BusConnectTest, StopLinesWithMissingFieldsAreNotRead) {
    const std::string text = "2|5\nA|100000|450000\nB|100000\n";
    FakeServer server(40, Reply(0, 1, text));
    CBusConnect c;
    ASSERT_EQ(Ask(server, c), 0);
    BusStopInfo s{};
    EXPECT_EQ(c.GetStopInfo(0, 0, s), 0); // only two bars before the line feed
    EXPECT_EQ(c.GetStopInfo(0, 1, s), 0);
}

TEST_F(BusConnectTest, SaveAndReopen) {
    TempRoot root;
    FakeServer server(40, Reply(0, 3, ThreeRoutes()));
    CBusConnect c;
    ASSERT_EQ(Ask(server, c, 130000, 451000, 250000, 452000), 0);
    ASSERT_EQ(c.SaveRouteBus(u"\\bus.vkp"), 1);

    // The file's bytes: kind, version, coordinates, length, the header as held, the text.
    const std::string bytes = root.Read("bus.vkp");
    const std::string text = ThreeRoutes();
    ASSERT_EQ(bytes.size(), 42 + text.size());
    std::string head;
    head += '\xBB';
    head += '2';
    for (std::uint32_t v : {130000u, 451000u, 250000u, 452000u, static_cast<std::uint32_t>(text.size() + 20)}) PutLE(head, v);
    for (std::uint32_t v : {12345u, 0u, 0u, 3u, static_cast<std::uint32_t>(text.size())}) PutLE(head, v);
    EXPECT_EQ(Hex(bytes.substr(0, 42)), Hex(head));
    EXPECT_EQ(bytes.substr(42), text);

    CBusConnect reopened;
    ASSERT_EQ(reopened.OpenRouteBus(u"\\bus.vkp"), 1);
    EXPECT_EQ(reopened.GetRouteNum(), 3);
    ULONG a, b, x, y;
    reopened.GetStartDestPnt(a, b, x, y);
    EXPECT_EQ(a, 130000u);
    EXPECT_EQ(y, 452000u);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(reopened.GetStopNum(r), c.GetStopNum(r));
        EXPECT_EQ(reopened.GetTotalStop(r), c.GetTotalStop(r));
        for (int i = 0; i < c.GetStopNum(r); ++i) {
            BusStopInfo p{}, q{};
            ASSERT_EQ(c.GetStopInfo(r, i, p), 1);
            ASSERT_EQ(reopened.GetStopInfo(r, i, q), 1);
            EXPECT_EQ(std::memcmp(&p, &q, sizeof p), 0);
        }
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(BusConnectTest, FilesThatAreNotBusAnswersAreRefusedAndTheAnswerStays) {
    TempRoot root;
    FakeServer server(40, Reply(0, 3, ThreeRoutes()));
    CBusConnect c;
    ASSERT_EQ(Ask(server, c), 0);
    ASSERT_EQ(c.SaveRouteBus(u"\\bus.vkp"), 1);
    const std::string good = root.Read("bus.vkp");

    std::string subway = good;
    subway[0] = '\xCC';
    root.MakeFile("subway.vkp", subway);
    root.MakeFile("short.vkp", good.substr(0, good.size() - 1));
    std::string huge = good;
    huge[38] = 0;
    huge[39] = 0;
    huge[40] = 0x20; // text length 2 MiB
    huge[41] = 0;
    root.MakeFile("huge.vkp", huge);
    std::string negative = good;
    negative[41] = '\x80';
    root.MakeFile("negative.vkp", negative);
    root.MakeFile("head.vkp", good.substr(0, 30));

    const struct {
        const char16_t* path;
        const char16_t* message;
    } cases[] = {
        {u"\\subway.vkp", u"버스용 탐색데이타가 아닙니다."},
        {u"\\missing.vkp", u"Fail to Open Bus Route File"},
        {u"\\short.vkp", nullptr},
        {u"\\huge.vkp", nullptr},
        {u"\\negative.vkp", nullptr},
        {u"\\head.vkp", nullptr},
    };
    for (const auto& k : cases) {
        m_messages.clear();
        EXPECT_EQ(c.OpenRouteBus(k.path), 0);
        ASSERT_EQ(m_messages.size(), 1u);
        if (k.message) {
            EXPECT_EQ(m_messages[0], k.message);
        }
        EXPECT_EQ(c.GetRouteNum(), 3);
        BusStopInfo s{};
        EXPECT_EQ(c.GetStopInfo(0, 3, s), 1);
    }
    m_messages.clear();
    EXPECT_EQ(c.OpenRouteBus(nullptr), 0);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(BusConnectTest, SavingWithoutAnAnswer) {
    TempRoot root;
    CBusConnect c;
    EXPECT_EQ(c.SaveRouteBus(u"\\bus.vkp"), 0);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], u"탐색된 경로가 없습니다.");
    EXPECT_FALSE(std::filesystem::exists(root.Host("bus.vkp")));
}

} // namespace
