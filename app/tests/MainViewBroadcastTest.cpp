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

// The same, read from another thread than the one decoding.
class RecordingDecoderShared : public IBroadcastDecoder {
public:
    int Decode(const std::uint8_t* bytes, std::size_t count) override {
        std::lock_guard lock(m_lock);
        if (count) m_received.assign(bytes, bytes + count);
        return count ? next.load() : 0;
    }
    std::vector<std::uint8_t> Received() {
        std::lock_guard lock(m_lock);
        return m_received;
    }
    std::atomic<int> next{0};

private:
    std::mutex m_lock;
    std::vector<std::uint8_t> m_received;
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

#include "app/ViewThreads.h"
#include "platform/files/DeviceRoot.h"
#include "platform/threads/Threads.h"

#include <chrono>
#include <fstream>
#include <string>

namespace {

// The tuning sentence for a frequency code: STX, 0x35, the code, the check byte that brings the
// sum of type and code to zero, ETX.
std::vector<std::uint8_t> Tune(std::uint8_t code) {
    return {0x02, 0x35, code, static_cast<std::uint8_t>((0x100 - 0x35 - code) & 0xFF), 0x03};
}

// A search list 36, 50, 80 (one region "A" of two frequencies) written by hand: the search
// started at 36 sends 50, then 80 once the unit reported each, then (back at the start with no
// good rate) 36 again and stops; a frequency chosen by hand goes out whatever the search does.
TEST(BroadcastTuning, SearchSentencesThenTheManualOne) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("velko_tuning_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir / "DARC");
    const std::uint8_t freq[] = {1, 1, 'A', 2, 36, 50, 3, 36, 50, 80};
    std::ofstream(dir / "DARC" / "Freq.bin", std::ios::binary).write(reinterpret_cast<const char*>(freq), sizeof freq);

    const std::string previousRoot = DeviceRoot::Root();
    DeviceRoot::SetRoot(dir.string());
    CFreqScanner::destruct();
    CFreqScanner* scanner = CFreqScanner::instance();
    scanner->openFile(CString(u""));
    std::vector<std::vector<std::uint8_t>> sent;
    const auto write = [&](const char* bytes, int count) {
        sent.emplace_back(reinterpret_cast<const std::uint8_t*>(bytes), reinterpret_cast<const std::uint8_t*>(bytes) + count);
        return count;
    };

    EXPECT_EQ(TuneReceiver(*scanner, write), 0);   // idle: nothing to send
    ASSERT_EQ(scanner->StartSearch(36), 1);
    EXPECT_EQ(TuneReceiver(*scanner, write), 1);
    EXPECT_EQ(scanner->IsWaitingPacket(), 1);
    EXPECT_EQ(TuneReceiver(*scanner, write), 0);   // the report is awaited
    scanner->SetWaitFlag(0);                         // a low receive rate came back
    EXPECT_EQ(TuneReceiver(*scanner, write), 1);
    scanner->SetWaitFlag(0);
    EXPECT_EQ(TuneReceiver(*scanner, write), 1);     // back at the start: the closing sentence
    EXPECT_EQ(scanner->IsScanMode(), 0);
    scanner->SetNewFreq(130);
    EXPECT_EQ(TuneReceiver(*scanner, write), 1);
    EXPECT_EQ(scanner->IsFreqChanged(), 0);
    EXPECT_EQ(sent, (std::vector<std::vector<std::uint8_t>>{Tune(50), Tune(80), Tune(36), Tune(130)}));
    CFreqScanner::destruct();
    DeviceRoot::SetRoot(previousRoot);
    fs::remove_all(dir);
}

// The GPS reader delivers into its ring, whose wake is forwarded to the thread table's event that
// the reception worker waits on: the bytes reach the decoder on the worker. The stop ends the
// worker without one more cycle.
TEST(BroadcastReceptionWorker, RingWakesTheWorkerAndTheStopEndsIt) {
    RecordingDecoderShared decoder;
    CountingStores stores;
    CBroadcastReception reception(decoder, stores);
    CTrafficRing ring;
    StopSignal stop;
    CViewThreads threads(stop);
    ring.ForwardWakeTo(threads.WakeEvent());
    std::atomic<int> cycles{0};
    ASSERT_TRUE(threads.Start(ViewWorker::Reception, THREAD_PRIORITY_BELOW_NORMAL, [&] {
        threads.ReceptionLoop([&] {
            reception.Cycle(ring);
            ++cycles;
        });
    }));
    const std::uint8_t bytes[] = {9, 8, 7, 6};
    decoder.next = 30;
    ring.Deliver(bytes, sizeof bytes);
    for (int i = 0; i < 500 && reception.ReceptionLevel() != 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(reception.ReceptionLevel(), 3);
    EXPECT_EQ(decoder.Received(), std::vector<std::uint8_t>(bytes, bytes + sizeof bytes));
    const int before = cycles.load();
    threads.StopThreads();
    ring.ForwardWakeTo(nullptr);
    EXPECT_EQ(cycles.load(), before);
}

} // namespace
