#include "net/TrafficConnect.h"

#include "platform/base/Clock.h"
#include "platform/files/tests/TempRoot.h"
#include "net/tests/OneShotServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <utility>

namespace {

std::string Count(std::uint32_t n) {
    return std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
                       static_cast<char>(n)};
}

} // namespace

TEST(TrafficConnect, ThreeRecordsAreReceivedConvertedAndSaved) {
    TempRoot root;
    OneShotServer server(Count(3) + std::string("\x01\x02\x03\x04\x50", 5) + std::string("\x00\x00\x00\x07\x0A", 5) +
                         std::string("\xFF\x00\x00\x01\x00", 5));
    CTrafficConnect c;
    std::uint8_t first[32], second[32];
    for (int i = 0; i < 32; ++i) {
        first[i] = static_cast<std::uint8_t>('a' + i % 26);
        second[i] = static_cast<std::uint8_t>(i + 1);
    }
    c.SetRequest(first, second);
    c.SetServer("127.0.0.1", server.Port());
    ASSERT_EQ(c.Request(), CTrafficConnect::kReceived);
    const std::string request = server.Request();
    ASSERT_EQ(request.size(), 100u);
    EXPECT_EQ(request.substr(0, 4), std::string(4, '\0'));
    EXPECT_EQ(request.substr(4, 32), std::string(reinterpret_cast<char*>(second), 32));
    EXPECT_EQ(request.substr(36, 32), std::string(32, '\0'));
    EXPECT_EQ(request.substr(68, 32), std::string(reinterpret_cast<char*>(first), 32));
    ASSERT_EQ(c.GetItemCount(), 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(c.GetItem(0)), 5), std::string("\x04\x03\x02\x01\x50", 5));
    EXPECT_EQ(c.GetItem(2)[3], 0xFF);
    EXPECT_EQ(c.GetItem(3), nullptr);
    EXPECT_EQ(c.GetItem(-1), nullptr);
    ASSERT_TRUE(c.Save(u"\\My Documents\\Velko\\Traffic.bin"));
    const std::string file = root.Read("My Documents/Velko/Traffic.bin");
    ASSERT_EQ(file.size(), 15u);
    EXPECT_EQ(file.substr(0, 5), std::string("\x04\x03\x02\x01\x50", 5));
    CTrafficConnect reread;
    ASSERT_TRUE(reread.Open(u"\\My Documents\\Velko\\Traffic.bin"));
    EXPECT_EQ(reread.GetItemCount(), 3);
    EXPECT_EQ(reread.GetItem(1)[0], 7);
}

TEST(TrafficConnect, RefusalsAndBrokenRepliesLeaveTheItemsAlone) {
    TempRoot root;
    root.MakeFile("old.bin", std::string("\x01\x00\x00\x00\x21\x02\x00\x00\x00\x22", 10));
    struct Case {
        const char* what;
        std::string reply;
        int result;
    } cases[] = {
        {"count 0", Count(0), CTrafficConnect::kNoData},
        {"not subscribed", Count(0xFFFFFFFFu), CTrafficConnect::kNotSubscribed},
        {"not paid", Count(0xFFFFFFFEu), CTrafficConnect::kNotPaid},
        {"ten announced, seven sent", Count(10) + std::string(35, '\x01'), CTrafficConnect::kFailed},
        {"half a record", Count(1) + std::string(2, '\x01'), CTrafficConnect::kFailed},
        {"a count cut short", std::string("\x00\x00", 2), CTrafficConnect::kFailed},
        {"nothing", std::string(), CTrafficConnect::kFailed},
        {"more than a million", Count(0x40000000u) + std::string(50, '\x01'), CTrafficConnect::kFailed},
    };
    for (const Case& k : cases) {
        OneShotServer server(k.reply);
        CTrafficConnect c;
        ASSERT_TRUE(c.Open(u"old.bin"));
        c.SetServer("127.0.0.1", server.Port());
        EXPECT_EQ(c.Request(), k.result) << k.what;
        EXPECT_EQ(c.GetItemCount(), 2) << k.what;
        EXPECT_EQ(c.GetItem(1)[4], 0x22) << k.what;
    }
    CTrafficConnect none;
    EXPECT_EQ(none.Request(), CTrafficConnect::kNoServer);
    EXPECT_FALSE(none.Save(u"empty.bin"));
    EXPECT_FALSE(root.Exists("empty.bin"));
    none.SetServer("127.0.0.1", 1); // nothing listens on port 1
    EXPECT_EQ(none.Request(), CTrafficConnect::kFailed);
    none.ClearServer();
    EXPECT_EQ(none.Request(), CTrafficConnect::kNoServer);
}

TEST(TrafficConnect, ASilentServerTimesOutOnTheProcessClock) {
    // The reply may take 30 s unless another time is set (0 keeps it).
    const std::pair<std::uint32_t, std::uint64_t> cases[] = {{0, 30000}, {5000, 5000}};
    for (auto [set, limit] : cases) {
        SCOPED_TRACE(set);
        SimulatedClock clock;
        InstallClock(&clock);
        OneShotServer server(Count(3), true); // announces three records, sends none
        CTrafficConnect c;
        c.SetServer("127.0.0.1", server.Port());
        c.SetReplyTimeout(set);
        auto result = std::async(std::launch::async, [&] { return c.Request(); });
        server.Request();
        EXPECT_EQ(result.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
        clock.Advance(limit - 1000);
        EXPECT_EQ(result.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
        clock.Advance(1000);
        ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(result.get(), CTrafficConnect::kFailed);
        EXPECT_EQ(c.GetItemCount(), 0);
        InstallClock(nullptr);
    }
}
