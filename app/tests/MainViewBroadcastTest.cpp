#include "app/MainViewBroadcast.h"
#include "position/TrafficRing.h"
#include "traffic/receiver/DARC.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Traffic.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Records the bytes it is given and answers the parse counts the test sets.
class RecordingDecoder : public IBroadcastDecoder {
public:
    int Decode(const std::uint8_t* bytes, std::size_t count) override {
        ++calls;
        received.assign(bytes, bytes + count);
        return next;
    }
    int next = 0;
    int calls = 0;
    std::vector<std::uint8_t> received;
};

class CountingStores : public IBroadcastStores {
public:
    void OpenStores() override {
        ++opens;
        if (whileOpening) whileOpening();
    }
    void CloseStores() override { ++closes; }
    void ClearDownloadedTraffic() override { ++clears; }
    std::atomic<int> opens{0}, closes{0}, clears{0};
    std::function<void()> whileOpening;
};

struct Fixture : ::testing::Test {
    RecordingDecoder decoder;
    CountingStores stores;
    CBroadcastReception reception{decoder, stores};
};

using BroadcastReception = Fixture;

TEST_F(BroadcastReception, LevelFollowsTheParseCounts) {
    struct Case {
        const char* name;
        std::vector<int> counts;
        std::vector<int> levels;   // level after each count, starting from level 3
    };
    const Case cases[] = {
        {"two failures keep the level, a packet sets 1", {0, 0, 5}, {3, 3, 1}},
        {"the third failure in a row gives 0", {0, 0, 0}, {3, 3, 0}},
        {"a packet between failures restarts the count", {0, 0, 1, 0, 0}, {3, 3, 1, 1, 1}},
        {"the band edges", {9, 10, 29, 30, 1}, {1, 2, 2, 3, 1}},
        {"a negative count is a failure", {-1, -1, -1}, {3, 3, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CBroadcastReception r(decoder, stores);
        r.ApplyParseCount(30);
        ASSERT_EQ(r.ReceptionLevel(), 3);
        for (std::size_t i = 0; i < c.counts.size(); ++i) {
            r.ApplyParseCount(c.counts[i]);
            EXPECT_EQ(r.ReceptionLevel(), c.levels[i]) << "after count #" << i;
        }
    }
}

TEST_F(BroadcastReception, FirstPacketAfterADownloadClearsIt) {
    reception.OpenBroadcastStores();
    reception.SetDownloadTime(1'741'183'620);
    reception.ApplyParseCount(0);
    EXPECT_EQ(stores.clears, 0);
    EXPECT_NE(reception.DownloadTime(), 0);
    reception.ApplyParseCount(4);
    EXPECT_EQ(stores.clears, 1);
    EXPECT_EQ(reception.DownloadTime(), 0);
    reception.ApplyParseCount(4);
    EXPECT_EQ(stores.clears, 1);
}

TEST_F(BroadcastReception, CycleHandsThePendingBytesToTheDecoder) {
    CTrafficRing ring;
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    ring.Deliver(bytes.data(), bytes.size());
    decoder.next = 12;
    reception.Cycle(ring);
    EXPECT_EQ(decoder.received, bytes);
    EXPECT_EQ(ring.Count(), 0u);
    EXPECT_EQ(reception.ReceptionLevel(), 2);
}

TEST_F(BroadcastReception, CycleTakesAtMostTheWorkBuffer) {
    CTrafficRing ring;
    std::vector<std::uint8_t> chunk(4096);
    for (int n = 0; n < 8; ++n) {   // 32,768 bytes delivered
        std::fill(chunk.begin(), chunk.end(), static_cast<std::uint8_t>(n));
        ring.Deliver(chunk.data(), chunk.size());
    }
    reception.Cycle(ring);
    ASSERT_LE(decoder.received.size(), CBroadcastReception::kWorkBufferSize);
    ASSERT_FALSE(decoder.received.empty());
    EXPECT_EQ(decoder.received.back(), 7);   // the newest bytes are kept
}

TEST_F(BroadcastReception, CycleIsSkippedWhileTheStoresAreBeingOpened) {
    CTrafficRing ring;
    const std::uint8_t bytes[] = {1, 2, 3};
    ring.Deliver(bytes, sizeof bytes);
    stores.whileOpening = [&] { std::thread([&] { reception.Cycle(ring); }).join(); };
    reception.OpenBroadcastStores();
    EXPECT_EQ(decoder.calls, 0);
    EXPECT_EQ(ring.Count(), 3u);   // left pending for the next wake-up
    stores.whileOpening = nullptr;
    reception.Cycle(ring);
    EXPECT_EQ(decoder.calls, 1);
}

TEST_F(BroadcastReception, OpenAndCloseFromSeveralThreadsRunOnce) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) reception.OpenBroadcastStores();
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(stores.opens, 1);
    EXPECT_TRUE(reception.StoresOpen());
    threads.clear();
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) reception.CloseBroadcastStores();
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(stores.closes, 1);
    EXPECT_FALSE(reception.StoresOpen());
    reception.CloseBroadcastStores();
    EXPECT_EQ(stores.closes, 1);
}

// The reception thread and the user-interface thread both make the receiver's singletons on
// first use.
TEST(BroadcastSingletons, InstanceFromTwoThreadsGivesOneObject) {
    for (int round = 0; round < 20; ++round) {
        CDARC* darc[2] = {};
        CTraffic* traffic[2] = {};
        CFreqScanner* scanner[2] = {};
        std::atomic<bool> go{false};
        auto body = [&](int k) {
            while (!go.load()) {
            }
            darc[k] = CDARC::instance();
            traffic[k] = CTraffic::instance();
            scanner[k] = CFreqScanner::instance();
        };
        std::thread a(body, 0), b(body, 1);
        go = true;
        a.join();
        b.join();
        EXPECT_EQ(darc[0], darc[1]);
        EXPECT_EQ(traffic[0], traffic[1]);
        EXPECT_EQ(scanner[0], scanner[1]);
        CDARC::destruct();
        CTraffic::destruct();
        CFreqScanner::destruct();
    }
}

} // namespace

#include "app/BroadcastReceiver.h"
#include <filesystem>
#include <random>

namespace {

// The receiver library behind the interfaces: opening and closing on a folder without the
// broadcast tables runs clean and writes the stores' save files into "My Documents\Velko" (of the
// current folder, here the test's own), a packet after a download gives the broadcast's
// traffic 15 minutes, and no bytes decode to no packet.
TEST(ReceiverStores, OpenCloseAndClearOnAnEmptyFolder) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("velko_broadcast_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    {
        CReceiverDecoder decoder;
        CReceiverStores stores(dir.u16string() + u"/");
        CBroadcastReception reception(decoder, stores);
        reception.OpenBroadcastStores();
        EXPECT_TRUE(reception.StoresOpen());
        CTraffic::instance()->SetTrafficValidTime(0);
        reception.SetDownloadTime(1'741'183'620);
        reception.ApplyParseCount(1);
        EXPECT_EQ(CTraffic::instance()->GetTrafficValidTime(), 15);
        EXPECT_EQ(reception.DownloadTime(), 0);
        EXPECT_EQ(decoder.Decode(nullptr, 0), 0);
        reception.CloseBroadcastStores();
        EXPECT_FALSE(reception.StoresOpen());
    }
    fs::current_path(previous);
    EXPECT_FALSE(fs::is_empty(dir / "My Documents" / "Velko"));
    fs::remove_all(dir);
}

} // namespace
