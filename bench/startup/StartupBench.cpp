// The navigator's start on the sample device, headless: from InitInstance (device checks, the
// settings, the document, the main screen, the drawing files, the route data, the map layers,
// the guidance data, the workers) to the first composed frame. Each run is a whole program run
// under the headless host whose script quits at once; only the start is timed. Target: 500 ms.
#include "app/NaviApp.h"
#include "platform/files/DeviceRoot.h"
#include "platform/host/HeadlessHost.h"
#include "platform/window/WindowHost.h"
#include "tools/mkdevice/DeviceBuilder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Device {
    Device() {
        root = (std::filesystem::temp_directory_path() / ("velko-bench-startup-" + std::to_string(::getpid())))
                   .string();
        mkdev::DeviceOptions o;
        o.outDir = root + "/device";
        o.quiet = true;
        mkdev::BuildDevice(o);
        DeviceRoot::SetRoot(o.outDir);
        std::ofstream(root + "/quit.script") << "quit\n";
    }
    ~Device() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string root;
};

// The program with its start timed: InitInstance, then the main window's first paint composed.
class TimedApp : public CNaviApp {
public:
    BOOL InitInstance() override {
        const auto begin = std::chrono::steady_clock::now();
        started = CNaviApp::InitInstance();
        if (started) {
            WinDispatchPending();
            composed = WinComposeScreen();
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        return started;
    }
    BOOL started = FALSE;
    bool composed = false;
    double seconds = 0.0;
};

void BM_StartToFirstFrame(benchmark::State& state) {
    static Device device;
    for (auto _ : state) {
        TimedApp app;
        HostOptions options;
        options.script = device.root + "/quit.script";
        options.outDir = device.root + "/out";
        HeadlessHost host(options);
        std::string error;
        if (!host.Prepare(&error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        const int code = host.Run([] { return AfxWinMain(); });
        if (code != 0 || !app.started || !app.composed) {
            state.SkipWithError("the program did not start on the sample device");
            return;
        }
        state.SetIterationTime(app.seconds);
    }
}

} // namespace

BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

BENCHMARK_MAIN();
