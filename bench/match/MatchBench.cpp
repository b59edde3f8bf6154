// Map-matching throughput in fixes per second: a long drive synthesised along the middle row of
// the nine-sheet grid fixture (crossings, sheet borders), with a little noise, matched by the
// driving engine from a fresh start in every iteration.
#include "platform/files/DeviceRoot.h"
#include "position/GpsLogSynth.h"
#include "position/MatchedPosSource.h"
#include "tools/mkdevice/Networks.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kRegionX = 45720000, kRegionY = 13470000;

struct Drive {
    std::filesystem::path root;
    std::vector<GpsPosRecord> fixes;

    Drive() {
        root = std::filesystem::temp_directory_path() /
               ("velko_match_bench_" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        mkdev::BuildFixture("grid3x3").Write((root / "MapData" / "MRData").string());
        DeviceRoot::SetRoot(root.string());
        // West to east along the middle row and back, then up the middle column.
        auto at = [](double e, double n) {
            const mkdev::NetPoint p = mkdev::KmToNet(kRegionX, kRegionY, e, n);
            return std::pair<double, double>(p.x, p.y);
        };
        GpsSynthOptions o;
        o.points = {at(5.0, 13.9),   at(24.9, 13.9), at(5.0, 13.9),
                    at(14.93, 13.9), at(14.93, 4.6), at(14.93, 23.2)};
        o.speedKmh = 60.0;
        o.noDatumShift = true;
        CGpsLogSynth synth(o);
        synth.Generate();
        std::uint32_t seed = 12345;
        auto noise = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<int>(seed >> 28) - 8; // -8..7 units
        };
        for (const GpsSynthEpoch& e : synth.Epochs()) {
            GpsPosRecord f;
            f.status = 'A';
            f.hour = static_cast<std::uint8_t>(e.utcMs / 3600000 % 24);
            f.minute = static_cast<std::uint8_t>(e.utcMs / 60000 % 60);
            f.second = static_cast<std::uint8_t>(e.utcMs / 1000 % 60);
            f.satellitesUsed = 8;
            f.hdop = 1.2;
            f.speed = static_cast<std::uint16_t>(e.speed);
            f.course = static_cast<std::uint16_t>(e.course);
            f.longitude = static_cast<std::int32_t>(e.x) + noise();
            f.latitude = static_cast<std::int32_t>(e.y) + noise();
            fixes.push_back(f);
        }
    }
    ~Drive() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

void BM_MatchDrive(benchmark::State& state) {
    static Drive drive;
    CMRNetReader reader;
    CMatchedPosSource engine(&reader);
    if (!engine.OpenNetwork(u"\\MapData")) {
        state.SkipWithError("no network");
        return;
    }
    std::int64_t matched = 0;
    for (auto _ : state) {
        engine.Reset();
        for (const GpsPosRecord& f : drive.fixes) {
            MatchResult r;
            matched += engine.Match(f, r) == 1;
            benchmark::DoNotOptimize(r);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(drive.fixes.size()));
    state.counters["fixes"] = static_cast<double>(drive.fixes.size());
    state.counters["matched_share"] =
        static_cast<double>(matched) / static_cast<double>(state.iterations() * drive.fixes.size());
}
BENCHMARK(BM_MatchDrive)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
