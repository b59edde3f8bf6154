#include "app/MessagePump.h"
#include "app/UiWorkQueue.h"
#include "app/ViewPositionShell.h"
#include "app/ViewThreads.h"

#include "config/NaviConfig.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"
#include "position/PositionWorkers.h"
#include "position/tests/RecordingShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

CUiWorkQueue* g_queue = nullptr;

LRESULT ViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_queue && g_queue->HandleMessage(message)) return 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The view: records every call and counts window work that arrived off the user-interface
// thread.
class ThreadCheckingView : public RecordingShell {
public:
    std::thread::id uiThread = std::this_thread::get_id();
    std::atomic<int> offUiThread{0};
    std::atomic<std::thread::id> rerouteThread{};

    void Check() {
        if (std::this_thread::get_id() != uiThread) ++offUiThread;
    }
    void SetGpsState(int s) override { Check(), RecordingShell::SetGpsState(s); }
    void SyncGpsClock(const GpsPosRecord& f) override { Check(), RecordingShell::SyncGpsClock(f); }
    void SetStatusText(const char16_t* t) override { Check(), RecordingShell::SetStatusText(t); }
    void SetEventText(const char16_t* t) override { Check(), RecordingShell::SetEventText(t); }
    void SetLinkState(int s) override { Check(), RecordingShell::SetLinkState(s); }
    void SetUnitMode(bool u) override { Check(), RecordingShell::SetUnitMode(u); }
    void FeedGpsDialog(const GpsSatRecord& s, const GpsPosRecord& f) override {
        Check(), RecordingShell::FeedGpsDialog(s, f);
    }
    void UpdateLogPanelMemory() override { Check(), RecordingShell::UpdateLogPanelMemory(); }
    void OnLinkReset(const char16_t* p) override { Check(), RecordingShell::OnLinkReset(p); }
    void UpdateHighwayPanel() override { Check(), RecordingShell::UpdateHighwayPanel(); }
    void FollowVehicle() override { Check(), RecordingShell::FollowVehicle(); }
    void MoveMapTo(std::int32_t x, std::int32_t y, int h) override { Check(), RecordingShell::MoveMapTo(x, y, h); }
    void SetHeadingSector(int s) override { Check(), RecordingShell::SetHeadingSector(s); }
    void StopAutoReturn() override { Check(), RecordingShell::StopAutoReturn(); }
    void RedrawMap() override { Check(), RecordingShell::RedrawMap(); }
    void RerouteWorker() override {
        rerouteThread = std::this_thread::get_id();
        RecordingShell::RerouteWorker();
    }
};

class ViewPositionShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ViewProc;
        wc.lpszClassName = u"ShellTestView";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, u"ShellTestView", u"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(window, nullptr);
        queue.Attach(window);
        g_queue = &queue;
    }
    void TearDown() override {
        g_queue = nullptr;
        queue.Detach();
        WinResetForTests();
    }
    // The user-interface thread's loop for a while.
    void RunUi(std::chrono::milliseconds time) {
        const auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end) {
            PumpMessages();
            std::this_thread::sleep_for(5ms);
        }
        PumpMessages();
    }

    TempRoot root;
    HWND window = nullptr;
    CUiWorkQueue queue;
};

TEST_F(ViewPositionShellTest, WorkPostedFromAWorkerRunsOnTheWindowsThreadWithTheLatestState) {
    std::vector<std::string> ran;
    std::thread::id ranOn;
    std::thread worker([&] {
        for (int i = 1; i <= 3; ++i) queue.Post(7, [&, i] { ran.push_back("move " + std::to_string(i)); });
        queue.Post([&] { ran.push_back("redraw"); });
        queue.Post(7, [&] {
            ran.push_back("move 4");
            ranOn = std::this_thread::get_id();
        });
        queue.Post([&] { ran.push_back("redraw"); });
    });
    worker.join();
    EXPECT_TRUE(ran.empty()); // nothing runs on the worker
    EXPECT_EQ(queue.Pending(), 3u); // the first three moves are one
    PumpMessages();
    EXPECT_EQ(ran, (std::vector<std::string>{"redraw", "move 4", "redraw"}));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    // Once the window is gone nothing is queued any more.
    queue.Post([&] { ran.push_back("late"); });
    queue.Detach();
    EXPECT_EQ(queue.Pending(), 0u);
    EXPECT_FALSE(queue.Post([&] { ran.push_back("later"); }));
    PumpMessages();
    EXPECT_EQ(ran.size(), 3u);
}

TEST_F(ViewPositionShellTest, TheSevenWorkersStartInOrderAndTheirWindowWorkReachesTheUiThread) {
    ThreadCheckingView view;
    view.following = false;
    view.monitor.followOption = true;
    view.monitor.guidedOrSimulated = true;
    view.monitor.vehicleValid = true;
    view.monitor.vehicleX = 4500100;
    view.monitor.vehicleY = 1300200;
    view.monitor.highwayPanelActive = true;
    view.newFixes = 1;
    CNaviConfig config;
    config.SetValue(29, 1); // COM2:, which this device does not have
    CViewPositionShell shell(view, config, queue);
    CPositionWorkers workers(shell);
    CViewThreads threads(workers.Stop());
    std::vector<std::string> late;
    threads.SetLateReporter([&](const char* name) { late.push_back(name); });
    EXPECT_EQ(shell.GpsPortName(), u"COM2:");
    std::atomic<int> receptions{0};
    shell.StartThreads(threads, workers, nullptr, [&] { ++receptions; });
    EXPECT_EQ(threads.StartOrder(),
              (std::vector<ViewWorker>{ViewWorker::Voice, ViewWorker::GpsReader, ViewWorker::Reception,
                                       ViewWorker::TrafficReroute, ViewWorker::RouteMonitor, ViewWorker::Pacing,
                                       ViewWorker::TrafficDb}));
    EXPECT_EQ(threads.Priority(ViewWorker::Voice), 0);
    EXPECT_EQ(threads.Priority(ViewWorker::GpsReader), 3);
    for (ViewWorker w : {ViewWorker::Reception, ViewWorker::TrafficReroute, ViewWorker::RouteMonitor})
        EXPECT_EQ(threads.Priority(w), 4);
    SetEvent(threads.WakeEvent());
    RunUi(800ms);
    const auto start = std::chrono::steady_clock::now();
    threads.StopThreads();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    PumpMessages();
    EXPECT_TRUE(late.empty());
    EXPECT_EQ(receptions, 1);
    EXPECT_EQ(threads.PacingState(), CViewThreads::kPacingEnded); // COM2 at 4800 is not paced
    // The reader could not open its port; the monitor moved the map to the vehicle.
    EXPECT_GE(view.Count("link 0"), 1);
    EXPECT_GE(view.Count("state -1"), 1);
    EXPECT_EQ(view.Count("move 4500100,1300200 0"), 1);
    EXPECT_GE(view.Count("panel"), 1);
    EXPECT_EQ(view.offUiThread, 0);
    // Joined: nothing more comes.
    const std::size_t events = view.Events().size();
    std::this_thread::sleep_for(350ms);
    PumpMessages();
    EXPECT_EQ(view.Events().size(), events);
}

TEST_F(ViewPositionShellTest, ClosedGateHoldsThePositionLoops) {
    ThreadCheckingView view;
    view.monitor.highwayPanelActive = true; // each monitor turn posts the panel refresh
    CNaviConfig config;
    CViewPositionShell shell(view, config, queue);
    CPositionWorkers workers(shell);
    CViewThreads threads(workers.Stop());
    threads.Gate().Close();
    shell.StartThreads(threads, workers, nullptr, {});
    RunUi(700ms);
    EXPECT_EQ(view.Count("panel"), 0);
    threads.Gate().Open();
    RunUi(700ms);
    EXPECT_GE(view.Count("panel"), 1);
    // Stopping while the gate is closed again still ends every loop.
    threads.Gate().Close();
    threads.StopThreads();
}

TEST_F(ViewPositionShellTest, AutomaticReSearchRunsTheViewsRerouteOnItsOwnWorker) {
    ThreadCheckingView view;
    CNaviConfig config;
    CViewPositionShell shell(view, config, queue);
    CPositionWorkers workers(shell);
    CViewThreads threads(workers.Stop());
    config.SetValue(15, 1);
    shell.StartRerouteThread(); // before the threads: nothing
    EXPECT_FALSE(threads.RerouteRunning());
    threads.Gate().Close(); // the loops stand still meanwhile
    shell.StartThreads(threads, workers, nullptr, {});
    config.SetValue(15, 0);
    shell.StartRerouteThread();
    EXPECT_FALSE(threads.RerouteRunning());
    EXPECT_EQ(view.Count("reroute now"), 0);
    config.SetValue(15, 1);
    shell.StartRerouteThread();
    threads.StopThreads(); // joins it
    EXPECT_EQ(view.Count("reroute now"), 1);
    EXPECT_NE(view.rerouteThread.load(), std::thread::id());
    EXPECT_NE(view.rerouteThread.load(), std::this_thread::get_id());
}

} // namespace

namespace {

TEST_F(ViewPositionShellTest, ShutdownStopsEveryWorkerBeforeTheDevicesAndRunsOnce) {
    ThreadCheckingView view;
    CNaviConfig config;
    config.SetValue(15, 1);
    CViewPositionShell shell(view, config, queue);
    CPositionWorkers workers(shell);
    CViewThreads threads(workers.Stop());
    shell.StartThreads(threads, workers, nullptr, {});
    // A re-route still running when the exit comes ends before the route manager goes.
    std::atomic<bool> rerouteEnded{false};
    ASSERT_TRUE(threads.StartReroute([&] {
        std::this_thread::sleep_for(200ms);
        rerouteEnded = true;
        view.Log("reroute ended");
    }));
    RunUi(150ms);
    EXPECT_TRUE(shell.ShutdownDevices(workers));
    EXPECT_TRUE(rerouteEnded);
    EXPECT_FALSE(shell.ShutdownDevices(workers));
    const std::vector<std::string> events = view.Events();
    auto at = [&](const std::string& e) {
        return std::find(events.begin(), events.end(), e) - events.begin();
    };
    ASSERT_LT(at("route manager released"), static_cast<long>(events.size()));
    EXPECT_LT(at("reroute ended"), at("route manager released"));
    EXPECT_LT(at("trail saved"), at("route manager released"));
    EXPECT_EQ(view.Count("route manager released"), 1);
    EXPECT_EQ(view.Count("singletons destroyed"), 1);
    EXPECT_EQ(threads.PacingState(), CViewThreads::kPacingEnded);
    // Every worker has gone: nothing new arrives.
    const std::size_t count = view.Events().size();
    std::this_thread::sleep_for(350ms);
    PumpMessages();
    EXPECT_EQ(view.Events().size(), count);
}

} // namespace
