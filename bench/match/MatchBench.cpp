// Map-matching throughput in fixes per second, matched by the driving engine from a fresh start
// in every iteration: a long drive synthesised along the middle row of the nine-sheet grid
// fixture (crossings, sheet borders), and a drive along a route the engine plans across the
// sample region, both with a little noise.
#include "platform/files/DeviceRoot.h"
#include "position/GpsLogSynth.h"
#include "position/MatchedPosSource.h"
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "tools/mkdevice/Networks.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kRegionX = 45720000, kRegionY = 13470000;

// Points in km east and north of the region's corner, as network coordinates.
std::vector<std::pair<double, double>> FromKm(const std::vector<std::pair<double, double>>& km) {
    std::vector<std::pair<double, double>> points;
    for (const auto& p : km) {
        const mkdev::NetPoint q = mkdev::KmToNet(kRegionX, kRegionY, p.first, p.second);
        points.push_back({q.x, q.y});
    }
    return points;
}

struct Drive {
    std::filesystem::path root;
    std::vector<GpsPosRecord> fixes;

    // Writes the network under a fresh root (the device root from then on) and synthesises a
    // drive along the geometry that path gives (network coordinates).
    Drive(mkdev::NetModel net, const std::function<std::vector<std::pair<double, double>>()>& path) {
        root = std::filesystem::temp_directory_path() /
               ("velko_match_bench_" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        net.Write((root / "MapData" / "MRData").string());
        DeviceRoot::SetRoot(root.string());
        GpsSynthOptions o;
        o.points = path();
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

Drive& GridDrive() {
    // West to east along the middle row and back, then up the middle column.
    static Drive drive(mkdev::BuildFixture("grid3x3"), [] {
        return FromKm({{5.0, 13.9}, {24.9, 13.9}, {5.0, 13.9}, {14.93, 13.9}, {14.93, 4.6}, {14.93, 23.2}});
    });
    return drive;
}

Drive& SampleRouteDrive() {
    // The route the engine plans from the west of the region to its north-east.
    static Drive drive(mkdev::BuildSampleRegion(), [] {
        std::vector<std::pair<double, double>> points;
        CRouteManager manager;
        if (manager.Init(u"\\MapData") != 1) return points;
        manager.SetRouteKind(1);
        std::int32_t x, y;
        const std::vector<std::pair<double, double>> ends = FromKm({{4.25, 20.5}, {24.25, 22.5}});
        NetToMapCoord(static_cast<std::int32_t>(ends[0].first), static_cast<std::int32_t>(ends[0].second), x,
                      y);
        if (manager.SetStart(x, y, u"출발") < 1) return points;
        NetToMapCoord(static_cast<std::int32_t>(ends[1].first), static_cast<std::int32_t>(ends[1].second), x,
                      y);
        if (manager.SetGoal(x, y, u"도착") < 1 || manager.SearchRoute() != 0 || manager.CommitRoute() != 1)
            return points;
        for (const CPathPoint& p : manager.SelectedRoute()->path->Points().Items()) {
            MapToNetCoord(p.x, p.y, x, y);
            points.push_back({static_cast<double>(x), static_cast<double>(y)});
        }
        return points;
    });
    return drive;
}

void MatchDrive(benchmark::State& state, Drive& drive) {
    DeviceRoot::SetRoot(drive.root.string());
    if (drive.fixes.empty()) {
        state.SkipWithError("no drive");
        return;
    }
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

void BM_MatchDrive(benchmark::State& state) {
    MatchDrive(state, GridDrive());
}
BENCHMARK(BM_MatchDrive)->Unit(benchmark::kMillisecond);

void BM_MatchSampleRouteDrive(benchmark::State& state) {
    MatchDrive(state, SampleRouteDrive());
}
BENCHMARK(BM_MatchSampleRouteDrive)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
