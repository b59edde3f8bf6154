// The area lookup on national-scale area tables (every mesh present, written once into
// $VELKO_BENCH_AREA, default a folder under the system's temporary folder): DoSrch at 100,000
// seeded points over the whole grid; reports lookups per second. Also reported: the nearby
// search of every category at 100 positions of the sample device (built once beside it).
#include "admin/AdminSearch.h"
#include "platform/files/DeviceRoot.h"
#include "search/NeighManage.h"
#include "tools/mkdevice/AreaStage.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/PlaceTable.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

namespace {

constexpr std::uint64_t kAreaSeed = 2026;
constexpr std::uint32_t kPointSeed = 11;

std::filesystem::path Root() {
    const char* env = std::getenv("VELKO_BENCH_AREA");
    return env ? env : (std::filesystem::temp_directory_path() / "velko_bench_area");
}

void NationalLookups(benchmark::State& state) {
    const std::filesystem::path root = Root();
    const std::filesystem::path db = root / "SearchDB";
    if (!std::filesystem::exists(db / "Admin.db")) {
        std::fprintf(stderr, "writing the national area tables into %s ...\n", db.string().c_str());
        mkdev::WriteNationalAreas(db.string(), kAreaSeed);
    }
    DeviceRoot::SetRoot(root.string());
    CAdminSearch search;
    if (!search.OpenTbl("\\SearchDB\\")) {
        state.SkipWithError("the area tables cannot be opened");
        return;
    }
    std::mt19937 rng(kPointSeed);
    std::uniform_int_distribution<long> px(1, 575999), py(1, 659999);
    std::vector<std::pair<long, long>> points(100000);
    for (auto& p : points) p = {px(rng), py(rng)};
    for (auto _ : state) {
        int found = 0;
        char answer[25];
        const auto t0 = std::chrono::steady_clock::now();
        for (const auto& [x, y] : points) found += search.DoSrch(x, y, answer);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.counters["lookups_per_s"] = static_cast<double>(points.size()) / s;
        state.counters["found"] = found;
    }
}

void NearbyOnTheSample(benchmark::State& state) {
    const std::filesystem::path root = Root() / "sample";
    if (!std::filesystem::exists(root / "device.ini")) {
        mkdev::DeviceOptions o;
        o.outDir = root.string();
        o.quiet = true;
        mkdev::BuildDevice(o);
    }
    DeviceRoot::SetRoot(root.string());
    std::mt19937 rng(kPointSeed);
    std::uniform_real_distribution<double> e(2.0, 28.0), n(2.0, 28.0);
    std::vector<mkdev::NetPoint> at;
    for (int i = 0; i < 100; ++i) at.push_back(mkdev::SampleNet(e(rng), n(rng)));
    for (auto _ : state) {
        int hits = 0;
        const auto t0 = std::chrono::steady_clock::now();
        for (int c = 0; c < CNeighManage::kCategories; ++c)
            for (const mkdev::NetPoint& p : at) {
                CNeighManage m;
                m.InitNeighManage(c, p.x, p.y, u"\\Storage Card\\MapData", CNeighManage::CategoryFile(c));
                hits += m.GetCount();
            }
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        state.counters["ms_per_search"] = ms / (100.0 * CNeighManage::kCategories);
        state.counters["hits"] = hits;
    }
}

BENCHMARK(NationalLookups)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(NearbyOnTheSample)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
