// The whole program with its workers running: started headless on the sample device, ten seconds
// of a receiver log replayed into COM1 one epoch each simulated second, then quit. The GPS reader
// decodes what arrives while the user-interface thread runs the script; the run ends cleanly with
// every worker joined. Also run under ThreadSanitizer by the tsan preset.
#include "app/CMainView.h"
#include "app/NaviApp.h"
#include "platform/base/Clock.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/gdi/Gdi.h"
#include "platform/host/HeadlessHost.h"
#include "platform/serial/PseudoTerminal.h"
#include "position/GpsLogSynth.h"
#include "position/PositionWorkers.h"
#include "tools/mkdevice/DeviceBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSeconds = 10;

TEST(ProgramGpsFeedTest, StartsDecodesTenSecondsOfReceiverLogAndQuits) {
    // A copy of the sample device the tool tests share (ctest names it), else one built here.
    TempRoot root;
    const std::string deviceDir = root.Path() + "/device";
    const char* shared = std::getenv("VELKO_TOOL_DEVICE");
    if (shared && std::filesystem::is_directory(shared)) {
        std::filesystem::copy(shared, deviceDir, std::filesystem::copy_options::recursive);
    } else {
        mkdev::DeviceOptions device;
        device.outDir = deviceDir;
        device.quiet = true;
        mkdev::BuildDevice(device);
    }
    DeviceRoot::ClearOverrides();
    DeviceRoot::SetRoot(deviceDir);
    GdiUseBuiltinFont(true);

    // A drive east from the sample's centre at 50 km/h, one epoch a second from 03:00:00 UTC.
    GpsSynthOptions synth;
    synth.points = {{45761782.0, 13504989.0}, {45781782.0, 13504989.0}};
    CGpsLogSynth log(synth);
    const std::string bytes = log.Generate();
    ASSERT_GE(log.EpochEnds().size(), static_cast<std::size_t>(kSeconds));

    // The receiver on COM1 (the sample handheld's port, 4800 baud).
    PseudoTerminal receiver;
    ASSERT_TRUE(receiver.IsOpen());
    DeviceRoot::OverrideSetting("com1", receiver.DevicePath());

    std::string script;
    for (int i = 0; i <= kSeconds; ++i) script += "wait 1000\n";
    script += "quit\n";
    std::ofstream(root.Path() + "/feed.script") << script;

    // Hosted simulated time: the workers sleep on the clock and only the host moves it.
    SimulatedClock clock;
    clock.SetHosted(true);
    InstallClock(&clock);
    CNaviApp app;
    HostOptions options;
    options.script = root.Path() + "/feed.script";
    options.outDir = root.Path() + "/out";
    HeadlessHost host(options);
    std::string error;
    ASSERT_TRUE(host.Prepare(&error)) << error;

    // Between the script's steps (user-interface thread): once the workers run, each second of
    // simulated time the next epoch goes down the line and the clock is stepped on until the
    // reader has decoded it, so that the replay does not outrun the reader.
    bool started = false;
    std::uint64_t startTick = 0;
    int fed = 0;
    std::vector<int> decodedSeconds;
    GpsPosRecord last{};
    host.Runner()->beforeStep = [&] {
        CMainView* view = CMainView::Get();
        CPositionWorkers* workers = view ? view->GetPositionWorkers() : nullptr;
        if (!workers || !view->ThreadsStarted()) return;
        const std::uint64_t now = TheClock().TickCount();
        if (!started) {
            started = true;
            startTick = now;
        }
        while (fed < kSeconds && now >= startTick + static_cast<std::uint64_t>(fed) * 1000) {
            const std::size_t from = fed == 0 ? 0 : log.EpochEnds()[static_cast<std::size_t>(fed - 1)];
            const std::size_t to = log.EpochEnds()[static_cast<std::size_t>(fed)];
            // The reader loads its road network before it opens the port, and opening the port
            // drops what the line held: the first epoch is sent again each simulated second until
            // the reader has it. Later epochs go once. The workers run in steps of the clock
            // until the reader has decoded the epoch (bounded: on a loaded machine a step's wait
            // for the workers to settle can run out before the reader has read the line, so a
            // later epoch gets up to ten simulated seconds too).
            GpsPosRecord fix{};
            for (int step = 0; step < (fed == 0 ? 300 : 100); ++step) {
                if (step % 10 == 0 && (fed == 0 || step == 0))
                    ASSERT_EQ(receiver.Write(bytes.data() + from, to - from), to - from);
                clock.RunFor(100);
                fix = workers->CurrentFix();
                if (fix.status == 'A' && fix.second == fed) break;
            }
            if (fix.status == 'A' && fix.second == fed) {
                decodedSeconds.push_back(fed);
                last = fix;
            }
            ++fed;
        }
    };
    const int code = host.Run([] { return AfxWinMain(); });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(host.Failed()) << host.Failure();
    EXPECT_EQ(CMainView::Get(), nullptr); // the view has gone, its workers joined
    EXPECT_EQ(fed, kSeconds);
    // Every epoch was decoded in its second, the last one where the drive was then (network units
    // are 1/100 arc-second, about 0.25 m east and 0.31 m north here: within a few metres).
    std::vector<int> all;
    for (int i = 0; i < kSeconds; ++i) all.push_back(i);
    EXPECT_EQ(decodedSeconds, all);
    const GpsSynthEpoch& end = log.Epochs()[kSeconds - 1];
    EXPECT_NEAR(last.longitude, end.x, 20);
    EXPECT_NEAR(last.latitude, end.y, 20);
    InstallClock(nullptr);
    GdiUseBuiltinFont(false);
    DeviceRoot::ClearOverrides();
}

} // namespace
