// Frames per second of a full map rendering (background, layers and the route band) on the
// sample device at 240 x 320, flat and bird's-eye, at levels 1, 6 and 11. The map is set up as
// the shell sets it up; the route is searched once across the town.
#include "mapview/MapWnd.h"
#include "platform/files/DeviceRoot.h"
#include "route/RouteManager.h"
#include "tools/mapshot/MapShotSetup.h"
#include "tools/mkdevice/DeviceBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr const char16_t* kDataFolder = u"\\Storage Card\\MapData";
constexpr int kWidth = 240;
constexpr int kHeight = 320;

struct Device {
    Device() {
        root = (std::filesystem::temp_directory_path() / ("velko-bench-map-" + std::to_string(::getpid()))).string();
        mkdev::DeviceOptions o;
        o.outDir = root;
        o.quiet = true;
        mkdev::BuildDevice(o);
        DeviceRoot::SetRoot(root);
        routes.Init(kDataFolder);
        routes.SetRouteKind(1);
        // Across the town: map coordinates of two crossings.
        routes.SetStart(196098, 542129, u"출발");
        routes.SetGoal(203668, 532738, u"도착");
        if (routes.SearchRoute() == CRouteManager::kOk) {
            routes.CommitRoute();
            routes.AcceptSelectedResult();
        }
    }
    ~Device() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string root;
    CRouteManager routes;
};

Device& TheDevice() {
    static Device device;
    return device;
}

CRouteManager* g_routes = nullptr;
CMapWnd* g_map = nullptr;
void RouteBand(CDC* dc, int, int pass) {
    if (pass == 0 && g_routes && g_map) g_routes->DrawResultRoutes(dc, *g_map);
}

void Render(benchmark::State& state, bool bird) {
    Device& device = TheDevice();
    const int level = static_cast<int>(state.range(0));
    CMapWnd map;
    map.OnSize(0, kWidth, kHeight);
    CMapShotSetup setup;
    if (!setup.Load(kDataFolder, nullptr)) {
        state.SkipWithError("no drawing configuration");
        return;
    }
    setup.SetViewMode(bird ? 2 : 0);
    setup.OpenLayers(map);
    setup.SetMapLevel(map, level);
    setup.ApplyColorScheme(map, u"Color_주간.bin");
    map.SetCenter(199000, 538000, 1.5707963267948966);
    g_routes = &device.routes;
    g_map = &map;
    map.m_paintHook = RouteBand;

    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, kWidth, kHeight);
    CBitmap* old = dc.SelectObject(&bitmap);
    const RECT all{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        dc.FillSolidRect(&all, map.GetBackColor());
        dc.SetBkMode(TRANSPARENT);
        map.DrawMapLayers(&dc);
        benchmark::ClobberMemory();
    }
    dc.SelectObject(old);
    state.counters["routes"] = device.routes.GetRouteCount();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    g_map = nullptr;
}

void BM_FlatFrame(benchmark::State& state) { Render(state, false); }
void BM_BirdFrame(benchmark::State& state) { Render(state, true); }

} // namespace

BENCHMARK(BM_FlatFrame)->Arg(1)->Arg(6)->Arg(11)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BirdFrame)->Arg(1)->Arg(6)->Arg(11)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
