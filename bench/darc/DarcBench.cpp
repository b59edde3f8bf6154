// The broadcast receiver's throughput: traffic sentences for a 60,000-link table fed in the
// reception thread's 20,480-byte batches (bytes per second), and the per-call cost of the index
// queries that the map display and the route engine make.
#include "platform/files/DeviceRoot.h"
#include "traffic/receiver/DARC.h"
#include "traffic/receiver/Traffic.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kLinks = 60000;

std::uint32_t IdOf(int i) { return (i % 3 == 0 ? 0x80020000u : 0x00060000u) + static_cast<std::uint32_t>(i); }

// The store open on a 60,000-link table (ids ascending: the ordinary ones first).
void OpenStore() {
    static bool open = false;
    if (open) return;
    open = true;
    std::string dir = std::filesystem::temp_directory_path().string() + "/velko-darc-bench-XXXXXX";
    if (!::mkdtemp(dir.data())) std::abort();
    std::filesystem::create_directories(dir + "/Map/MRDATA");
    {
        std::vector<std::uint32_t> ids;
        for (int i = 0; i < kLinks; ++i) ids.push_back(IdOf(i));
        std::sort(ids.begin(), ids.end());
        std::ofstream out(dir + "/Map/MRDATA/DARCLINK.bin", std::ios::binary);
        for (std::uint32_t id : ids)
            for (int b = 0; b < 4; ++b) out.put(static_cast<char>(id >> (8 * b)));
    }
    DeviceRoot::SetRoot(dir);
    CTraffic::instance()->openFile(CString(u"\\Map"));
    std::filesystem::remove_all(dir);
}

// Traffic sentences with escaping, as the unit sends them.
std::string Stream(std::size_t bytes) {
    std::mt19937 random(5);
    std::string s;
    while (s.size() < bytes) {
        std::vector<std::uint8_t> p = {0x17, 0x00};
        for (int k = 0; k < 4; ++k) {
            std::uint32_t id = IdOf(static_cast<int>(random() % kLinks));
            for (int b = 3; b >= 0; --b) p.push_back(static_cast<std::uint8_t>(id >> (8 * b)));
            p.push_back(static_cast<std::uint8_t>(random() % 120 + 1));
        }
        unsigned sum = 0x30;
        for (std::uint8_t b : p) sum += b;
        p.push_back(static_cast<std::uint8_t>(0u - sum));
        s += '\x02';
        s += '\x30';
        for (std::uint8_t b : p) {
            if (b == 2 || b == 3 || b == 0x1B) {
                s += '\x1B';
                s += static_cast<char>(~b & 0xFF);
            } else {
                s += static_cast<char>(b);
            }
        }
        s += '\x03';
    }
    return s;
}

void BM_TrafficSentences(benchmark::State& state) {
    OpenStore();
    const std::string stream = Stream(20480 * 50);
    CDARC* darc = CDARC::instance();
    std::size_t at = 0;
    for (auto _ : state) {
        if (at + 20480 > stream.size()) at = 0;
        darc->SetData(stream.data() + at, 20480);
        benchmark::DoNotOptimize(darc->ParseData());
        at += 20480;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 20480);
}
BENCHMARK(BM_TrafficSentences);

void BM_SpeedByIndex(benchmark::State& state) {
    OpenStore();
    CTraffic* t = CTraffic::instance();
    unsigned short i = 0;
    for (auto _ : state) {
        unsigned char speed = 0;
        benchmark::DoNotOptimize(t->getSpeedByIdx(i, speed));
        benchmark::DoNotOptimize(speed);
        i = static_cast<unsigned short>((i + 7919) % kLinks);
    }
}
BENCHMARK(BM_SpeedByIndex);

void BM_ColourByIndex(benchmark::State& state) {
    OpenStore();
    CTraffic* t = CTraffic::instance();
    unsigned short i = 0;
    for (auto _ : state) {
        unsigned long colour = 0;
        benchmark::DoNotOptimize(t->getLinkColorByIdx(i, colour));
        benchmark::DoNotOptimize(colour);
        i = static_cast<unsigned short>((i + 7919) % kLinks);
    }
}
BENCHMARK(BM_ColourByIndex);

} // namespace

BENCHMARK_MAIN();
