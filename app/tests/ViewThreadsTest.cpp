#include "app/ViewThreads.h"

#include "position/PositionWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Waits (real time) until cond holds; false after five seconds.
template <class Cond>
bool WaitFor(Cond cond) {
    for (int i = 0; i < 5000; ++i) {
        if (cond()) return true;
        std::this_thread::sleep_for(1ms);
    }
    return cond();
}

// A well-behaved worker: passes the gate at the top of each turn, sleeps through the stop signal.
struct GatedWorker {
    std::atomic<int> turns{0};
    std::atomic<bool> pacingIdleAtStop{false};
    void Run(CViewThreads& threads) {
        while (threads.Gate().Pass(&threads.Stop()) && threads.Stop().Sleep(5)) ++turns;
        pacingIdleAtStop = threads.IsPacingIdle();
    }
};

TEST(ViewThreads, WorkersAreStartedOnceAndRecordedInOrder) {
    StopSignal stop;
    CViewThreads threads(stop);
    GatedWorker a, b;
    EXPECT_EQ(threads.Priority(ViewWorker::Voice), THREAD_PRIORITY_ERROR_RETURN);
    EXPECT_TRUE(threads.Start(ViewWorker::Voice, 0, [&] { a.Run(threads); }));
    EXPECT_TRUE(threads.Start(ViewWorker::GpsReader, 3, [&] { b.Run(threads); }));
    EXPECT_FALSE(threads.Start(ViewWorker::Voice, 0, [&] { a.Run(threads); }));
    EXPECT_EQ(threads.Priority(ViewWorker::Voice), 0);
    EXPECT_EQ(threads.Priority(ViewWorker::GpsReader), 3);
    EXPECT_EQ(threads.StartOrder(), (std::vector<ViewWorker>{ViewWorker::Voice, ViewWorker::GpsReader}));
    EXPECT_TRUE(WaitFor([&] { return a.turns > 0 && b.turns > 0; }));
    threads.StopThreads();
    EXPECT_TRUE(stop.IsSet());
    const int after = a.turns;
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(a.turns, after); // joined: nothing runs any more
    threads.StopThreads();     // a second stop is harmless
}

TEST(ViewThreads, StoppingWhilePacingHoldsTheGateWaitsForThePacingWorker) {
    StopSignal stop;
    CViewThreads threads(stop);
    EXPECT_TRUE(threads.IsPacingIdle()); // never ran
    EXPECT_EQ(threads.PacingState(), CViewThreads::kPacingNotRun);
    GatedWorker gps, voice;
    threads.Start(ViewWorker::GpsReader, 3, [&] { gps.Run(threads); });
    threads.Start(ViewWorker::Voice, 0, [&] { voice.Run(threads); });
    threads.Start(ViewWorker::Pacing, 3, [&] { threads.PortPacingLoop([] { return true; }); });
    ASSERT_TRUE(WaitFor([&] { return threads.PacingState() == CViewThreads::kPacingRunning; }));
    // The first hold comes after 1500 ms; while it lasts the workers stand at the gate.
    ASSERT_TRUE(WaitFor([&] { return !threads.Gate().IsOpen(); }));
    const int held = gps.turns;
    std::this_thread::sleep_for(100ms);
    EXPECT_LE(gps.turns, held + 1);
    threads.StopThreads();
    EXPECT_EQ(threads.PacingState(), CViewThreads::kPacingEnded);
    EXPECT_TRUE(threads.Gate().IsOpen());
    // The other workers saw their stop only after the pacing worker had ended.
    EXPECT_TRUE(gps.pacingIdleAtStop);
    EXPECT_TRUE(voice.pacingIdleAtStop);
}

TEST(ViewThreads, PacingEndsWhenThePortIsNoLongerFast) {
    StopSignal stop;
    CViewThreads threads(stop);
    std::atomic<int> asked{0};
    threads.Start(ViewWorker::Pacing, 3, [&] {
        threads.PortPacingLoop([&] {
            ++asked;
            return false;
        });
    });
    ASSERT_TRUE(WaitFor([&] { return threads.PacingState() == CViewThreads::kPacingEnded; }));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(threads.Gate().IsOpen());
    EXPECT_FALSE(stop.IsSet()); // the others go on
    threads.StopThreads();
}

TEST(ViewThreads, AWorkerIgnoringItsMarkIsReportedAndStillJoined) {
    StopSignal stop;
    CViewThreads threads(stop);
    std::vector<std::string> late;
    threads.SetLateReporter([&](const char* name) { late.push_back(name); });
    std::atomic<bool> stubbornEnded{false};
    GatedWorker monitor;
    threads.Start(ViewWorker::TrafficReroute, 4, [&] {
        std::this_thread::sleep_for(3s); // deaf to the stop signal
        stubbornEnded = true;
    });
    threads.Start(ViewWorker::RouteMonitor, 4, [&] { monitor.Run(threads); });
    const auto start = std::chrono::steady_clock::now();
    threads.StopThreads();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(stubbornEnded); // joined, not abandoned
    EXPECT_GE(took, 2s);
    EXPECT_EQ(late, (std::vector<std::string>{"reroute"}));
}

TEST(ViewThreads, TheRerouteWorkerRunsOneAtATimeAndIsJoinedByTheStop) {
    StopSignal stop;
    CViewThreads threads(stop);
    std::atomic<bool> release{false}, ended{false};
    std::atomic<int> rowInside{-1};
    ASSERT_TRUE(threads.StartReroute([&] {
        rowInside = WorkerPeriodRow();
        while (!release) std::this_thread::yield();
        std::this_thread::sleep_for(100ms);
        ended = true;
    }));
    EXPECT_TRUE(threads.RerouteRunning());
    EXPECT_FALSE(threads.StartReroute([] {}));
    ASSERT_TRUE(WaitFor([&] { return rowInside.load() != -1; }));
    EXPECT_EQ(rowInside, 1);
    EXPECT_EQ(WorkerPeriodMs(WorkerPeriod::RouteMonitor), 4000u);
    release = true;
    threads.StopThreads();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(threads.RerouteRunning());
    EXPECT_EQ(WorkerPeriodRow(), 0);
    EXPECT_FALSE(threads.StartReroute([] {})); // nothing starts after the stop
}

TEST(ViewThreads, AFinishedRerouteMakesRoomForTheNext) {
    StopSignal stop;
    CViewThreads threads(stop);
    std::atomic<int> runs{0};
    ASSERT_TRUE(threads.StartReroute([&] { ++runs; }));
    ASSERT_TRUE(WaitFor([&] { return !threads.RerouteRunning(); }));
    ASSERT_TRUE(threads.StartReroute([&] { ++runs; }));
    threads.StopThreads();
    EXPECT_EQ(runs, 2);
}

TEST(ViewThreads, TheReceptionWorkerRunsOnEachWakeAndEndsOnTheStop) {
    StopSignal stop;
    CViewThreads threads(stop);
    std::atomic<int> cycles{0};
    threads.Start(ViewWorker::Reception, 4, [&] { threads.ReceptionLoop([&] { ++cycles; }); });
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(cycles, 0);
    SetEvent(threads.WakeEvent());
    ASSERT_TRUE(WaitFor([&] { return cycles == 1; }));
    SetEvent(threads.WakeEvent());
    ASSERT_TRUE(WaitFor([&] { return cycles == 2; }));
    threads.StopThreads();
    EXPECT_EQ(cycles, 2);
    EXPECT_EQ(threads.WakeEvent(), nullptr);
}

} // namespace
