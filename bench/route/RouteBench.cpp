// Route searches on the national-scale network: 100 seeded random start and goal pairs 50 to
// 400 km apart (pairs whose goal cannot be reached are drawn again). Reports the median and
// 95th-percentile time per route, the peak of the engine's own memory guard, and how many
// routes failed on a limit (visits, memory guard, node pool, queue). The network is written
// once into $VELKO_BENCH_NET (default: a folder under the system's temporary folder).
// $VELKO_BENCH_PAIRS sets another seed for the random pairs, to try the network on other routes.
#include "platform/files/DeviceRoot.h"
#include "route/RoutePlan.h"
#include "route/base/ErrorLog.h"
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
constexpr std::uint32_t kPairSeed = 4;
constexpr int kRoutes = 100;

std::filesystem::path NetworkRoot() {
    const char* env = std::getenv("VELKO_BENCH_NET");
    std::filesystem::path root =
        env ? env : (std::filesystem::temp_directory_path() / "velko_bench_national");
    std::filesystem::path mr = root / "MapData" / "MRData";
    if (!std::filesystem::exists(mr / "MRManage.bin")) {
        std::fprintf(stderr, "writing the national network into %s ...\n", root.string().c_str());
        std::filesystem::create_directories(mr);
        mkdev::BuildNational(kNetworkSeed).Write(mr.string());
    }
    return root;
}

double MetresApart(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    double dx = std::abs(static_cast<double>(x1) - x2) * 0.27654,
           dy = std::abs(static_cast<double>(y1) - y2) * 0.30879;
    return std::sqrt(dx * dx + dy * dy);
}

// Road kind of the link a point was attached to (-1 when it cannot be read).
int RoadKind(CRoutePlan& engine, const LinkPos& pos) {
    std::uint8_t link[mrformat::kLinkSize];
    if (engine.Reader().ReadLink(link, pos.mapId, pos.linkId) != 1) return -1;
    return LinkFields::From(link).roadKind;
}

void NationalRoutes(benchmark::State& state) {
    DeviceRoot::SetRoot(NetworkRoot().string());
    const char* pairs = std::getenv("VELKO_BENCH_PAIRS");
    std::mt19937 rng(pairs ? static_cast<std::uint32_t>(std::strtoul(pairs, nullptr, 10)) : kPairSeed);
    std::uniform_int_distribution<std::int32_t> px(45000000, 47159999), py(11910000, 13889999);
    for (auto _ : state) {
        std::vector<double> ms;
        double peak = 0.0;
        int guardFailures = 0, limitFailures = 0, otherFailures = 0, notAttached = 0, unreachable = 0;
        while (static_cast<int>(ms.size()) + guardFailures + limitFailures + otherFailures < kRoutes) {
            std::int32_t x1 = px(rng), y1 = py(rng), x2 = px(rng), y2 = py(rng);
            double apart = MetresApart(x1, y1, x2, y2);
            if (apart < 50000.0 || apart > 400000.0) continue;
            // A fresh engine per route, as the route manager makes one.
            CRoutePlan engine;
            if (!engine.Init(u"\\MapData")) {
                state.SkipWithError("the network cannot be opened");
                return;
            }
            engine.SetSearchParams(0, 0, 0, 0);
            CRoutePlan::PointResult from = engine.SetPoint(0, x1, y1), to = engine.SetPoint(1, x2, y2);
            if (!from.result || !to.result) {
                ++notAttached; // no road within reach of a point
                continue;
            }
            auto t0 = std::chrono::steady_clock::now();
            int code = engine.Search();
            auto t1 = std::chrono::steady_clock::now();
            peak = std::max(peak, engine.PeakMemoryMB());
            if (code == CRoutePlan::kNoExpansion) {
                std::fprintf(
                    stderr, "route %.0f km (%d,%d)->(%d,%d) from road kind %d to %d found no way (39)\n",
                    apart / 1000.0, x1, y1, x2, y2, RoadKind(engine, from.pos), RoadKind(engine, to.pos));
                ++unreachable;
                continue;
            }
            if (code == CRoutePlan::kFound) {
                ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            } else if (code == CRoutePlan::kInternal || code == CRoutePlan::kOutOfMemory) {
                // A limit: the memory guard, the visits, the node pool or the open queue.
                bool guard = engine.PeakMemoryMB() > CRoutePlan::kMemoryGuardMB;
                ++(guard ? guardFailures : limitFailures);
                std::fprintf(
                    stderr,
                    "route %.0f km (%d,%d)->(%d,%d) from road kind %d to %d failed with %d (%s) after %d "
                    "visits, guard at %.2f MB, level %d\n",
                    apart / 1000.0, x1, y1, x2, y2, RoadKind(engine, from.pos), RoadKind(engine, to.pos),
                    code, guard ? "memory guard" : "limit", engine.VisitCount(), engine.PeakMemoryMB(),
                    engine.State().LevelInForce());
            } else {
                ++otherFailures;
                std::fprintf(stderr, "route %.0f km failed with %d\n", apart / 1000.0, code);
            }
        }
        std::sort(ms.begin(), ms.end());
        auto pct = [&](double p) {
            if (ms.empty()) return 0.0;
            std::size_t i = static_cast<std::size_t>(std::ceil(p * static_cast<double>(ms.size()))) - 1;
            return ms[std::min(i, ms.size() - 1)];
        };
        state.counters["routes_found"] = static_cast<double>(ms.size());
        state.counters["median_ms"] = pct(0.5);
        state.counters["p95_ms"] = pct(0.95);
        state.counters["peak_guard_MB"] = peak;
        state.counters["memory_guard_failures"] = guardFailures;
        state.counters["other_limit_failures"] = limitFailures;
        state.counters["other_failures"] = otherFailures;
        state.counters["redrawn_not_attached"] = notAttached;
        state.counters["redrawn_unreachable"] = unreachable;
    }
}

BENCHMARK(NationalRoutes)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
