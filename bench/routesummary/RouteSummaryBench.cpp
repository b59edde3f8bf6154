// The route information screen's road-by-road summary on the national-scale network: routes
// 100 to 400 km long are planned once (seeded random start and goal pairs; pairs that cannot be
// routed are drawn again), then for each the summary is built as the screen builds it when the
// user opens it (the link reader and road names opened, every link read, every page laid out).
// Reports the median and the worst time per route. The network is shared with the route
// benchmark: $VELKO_BENCH_NET (default: a folder under the system's temporary folder).
#include "app/CMainView.h"
#include "app/RouteSummary.h"
#include "platform/files/DeviceRoot.h"
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "route/RoutePath.h"
#include "tools/mkdevice/Networks.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

namespace {

constexpr std::uint64_t kNetworkSeed = 2026;
constexpr std::uint32_t kPairSeed = 11;
constexpr int kRoutes = 40;

std::filesystem::path NetworkRoot() {
    const char* env = std::getenv("VELKO_BENCH_NET");
    std::filesystem::path root = env ? env : (std::filesystem::temp_directory_path() / "velko_bench_national");
    std::filesystem::path mr = root / "MapData" / "MRData";
    if (!std::filesystem::exists(mr / "MRManage.bin")) {
        std::fprintf(stderr, "writing the national network into %s ...\n", root.string().c_str());
        std::filesystem::create_directories(mr);
        mkdev::BuildNational(kNetworkSeed).Write(mr.string());
    }
    return root;
}

double MetresApart(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const double dx = std::abs(static_cast<double>(x1) - x2) * 0.27654,
                 dy = std::abs(static_cast<double>(y1) - y2) * 0.30879;
    return std::sqrt(dx * dx + dy * dy);
}

CString RoadNumberName(int number) { return CString(CMainView::GetRoadNumberName(static_cast<short>(number))); }

void RouteSummaries(benchmark::State& state) {
    DeviceRoot::SetRoot(NetworkRoot().string());
    const CString dataFolder(u"\\MapData");
    std::mt19937 rng(kPairSeed);
    std::uniform_int_distribution<std::int32_t> px(45000000, 47159999), py(11910000, 13889999);
    for (auto _ : state) {
        std::vector<double> ms;
        double km = 0.0;
        int pages = 0, drawn = 0;
        while (static_cast<int>(ms.size()) < kRoutes && drawn < 20 * kRoutes) {
            ++drawn;
            const std::int32_t x1 = px(rng), y1 = py(rng), x2 = px(rng), y2 = py(rng);
            const double apart = MetresApart(x1, y1, x2, y2);
            if (apart < 100000.0 || apart > 400000.0) continue;
            CRouteManager manager;
            if (manager.Init(dataFolder) == 0) {
                state.SkipWithError("the network cannot be opened");
                return;
            }
            std::int32_t sx = 0, sy = 0, gx = 0, gy = 0;
            NetToMapCoord(x1, y1, sx, sy);
            NetToMapCoord(x2, y2, gx, gy);
            if (manager.SetStart(sx, sy, u"출발") <= 0 || manager.SetGoal(gx, gy, u"도착") <= 0) continue;
            if (manager.SearchRoute() != 0) continue;
            manager.ClearResults();
            manager.CommitRoute();
            CRoute* route = manager.SelectedRoute();
            if (!route || !route->path) continue;
            const auto t0 = std::chrono::steady_clock::now();
            CNetLinkSource source(dataFolder);
            CRouteSummary summary;
            summary.Build(*route->path, u"출발", u"도착", {}, source, RoadNumberName);
            for (int p = 1; p <= summary.PageCount(); ++p) benchmark::DoNotOptimize(summary.Layout(p));
            const auto t1 = std::chrono::steady_clock::now();
            ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            km += route->path->TotalLength() / 1000.0;
            pages += summary.PageCount();
        }
        if (ms.empty()) {
            state.SkipWithError("no route could be planned");
            return;
        }
        std::sort(ms.begin(), ms.end());
        state.counters["routes"] = static_cast<double>(ms.size());
        state.counters["mean_route_km"] = km / static_cast<double>(ms.size());
        state.counters["mean_pages"] = static_cast<double>(pages) / static_cast<double>(ms.size());
        state.counters["median_ms"] = ms[ms.size() / 2];
        state.counters["worst_ms"] = ms.back();
    }
}

BENCHMARK(RouteSummaries)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
