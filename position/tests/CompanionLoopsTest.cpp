#include "position/tests/WorkerHarness.h"

namespace {

class CompanionTest : public WorkerHarness {
protected:
    void SetUp() override {
        WorkerHarness::SetUp();
        SetWorkerPeriodRow(0);
    }
    void TearDown() override {
        SetWorkerPeriodRow(0);
        WorkerHarness::TearDown();
    }
};

TEST_F(CompanionTest, TheVoiceLoopPlaysOnlyWhileGuidingOrSimulating) {
    StartLoop(&CPositionWorkers::VoiceGuideThread);
    Run(2000);
    EXPECT_EQ(m_shell.Count("voice"), 0);
    m_shell.guiding = true;
    Run(2000);
    EXPECT_EQ(m_shell.Count("voice"), 4); // every 500 ms
    m_shell.guiding = false;
    m_shell.simulating = true;
    SetWorkerPeriodRow(1); // a re-search runs: every 2000 ms
    m_shell.Clear();
    Run(500); // the sleep under way ends on the old period
    Run(4000);
    EXPECT_EQ(m_shell.Count("voice"), 3);
}

class RerouteTest : public CompanionTest {
protected:
    void SetUp() override {
        CompanionTest::SetUp();
        m_shell.settings[14] = 1;
        m_shell.settings[16] = 5;
        m_shell.settings[17] = 1;
        RerouteWatchState& s = m_shell.reroute;
        s.hasRoute = s.rerouteAllowed = s.fixPresent = s.trafficInfoValid = s.routeUsesTraffic = true;
        s.driveMode = 1;
        s.trafficState = 3;
    }
    // One watch cycle per minute since the route was made.
    std::vector<int> MinutesWithMessage(int last) {
        std::vector<int> minutes;
        for (int m = 0; m <= last; ++m) {
            m_shell.reroute.minutesSinceRoute = m;
            const int before = m_shell.Count("message 20");
            Run(2000);
            if (m_shell.Count("message 20") > before) minutes.push_back(m);
        }
        return minutes;
    }
};

TEST_F(RerouteTest, TheAnnouncementComesOncePerInterval) {
    StartLoop(&CPositionWorkers::TrafficRerouteThread);
    const std::vector<int> expected = {5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 85, 90};
    EXPECT_EQ(MinutesWithMessage(92), expected);
    EXPECT_EQ(m_shell.Count("reroute thread"), 0);
}

TEST_F(RerouteTest, SeveralCyclesInOneMinuteAnnounceOnce) {
    StartLoop(&CPositionWorkers::TrafficRerouteThread);
    m_shell.reroute.minutesSinceRoute = 6;
    Run(2000 * 10);
    m_shell.reroute.minutesSinceRoute = 7;
    Run(2000 * 10);
    EXPECT_EQ(m_shell.Count("message 20"), 1);
}

TEST_F(RerouteTest, AutomaticReSearchStartsTheReRouteThread) {
    m_shell.settings[15] = 1;
    m_shell.reroute.rerouteDistance = 999;
    StartLoop(&CPositionWorkers::TrafficRerouteThread);
    m_shell.reroute.minutesSinceRoute = 5;
    Run(2000);
    EXPECT_EQ(m_shell.Count("message 20"), 0);
    m_shell.reroute.rerouteDistance = 1000;
    Run(2000);
    EXPECT_EQ(m_shell.Count("message 20"), 1);
    EXPECT_EQ(m_shell.Count("reroute thread"), 1);
}

TEST_F(RerouteTest, TheGuidanceCountdown) {
    StartLoop(&CPositionWorkers::TrafficRerouteThread);
    {
        RerouteWatchState& s = m_shell.reroute;
        s.guiding = true;
        s.countdown = 51;
    }
    Run(2000);
    EXPECT_EQ(m_shell.Count("reroute now"), 1);
    m_shell.Clear();
    m_shell.reroute.countdown = 3;
    m_shell.reroute.routePointsPassed = 1;
    m_shell.reroute.routePosition = 12;
    m_shell.reroute.guidanceCountdown = 30;
    Run(2000);
    EXPECT_EQ(m_shell.Count("countdown 30"), 1);
    Run(2000); // the same route position: not reloaded
    EXPECT_EQ(m_shell.CountPrefix("countdown"), 1);
    m_shell.reroute.guiding = false;
    Run(2000);
    EXPECT_EQ(m_shell.Count("countdown 0"), 1);
}

TEST_F(CompanionTest, TheRouteMonitorFollowsAndNoticesLeavingTheRoute) {
    {
        RouteMonitorState& s = m_shell.monitor;
        s.followOption = s.guidedOrSimulated = s.vehicleValid = s.rotateMap = true;
        s.vehicleX = 45760000;
        s.vehicleY = 13500000;
        s.heading = 357;
        s.gpsState = 50;
    }
    StartLoop(&CPositionWorkers::RouteMonitorThread);
    m_shell.newFixes = 1;
    Run(300);
    EXPECT_EQ(m_shell.Count("sector 35"), 1);
    EXPECT_EQ(m_shell.Count("move 45760000,13500000 357"), 1);
    EXPECT_EQ(m_shell.Count("stop auto-return"), 1);
    m_shell.newFixes = 1; // the same place: the map stays
    Run(300);
    EXPECT_EQ(m_shell.CountPrefix("move"), 1);

    m_shell.Clear();
    m_shell.monitor.offRouteCount = 3;
    m_shell.newFixes = 1;
    Run(300);
    EXPECT_EQ(m_shell.Events(), (std::vector<std::string>{"off route", "panel", "follow"}));
    EXPECT_TRUE(m_shell.offRoute);

    // Without fixes and with a display option on, every 20th cycle redraws.
    m_shell.Clear();
    m_shell.monitor.displayOptionOn = true;
    Run(300 * 40);
    EXPECT_EQ(m_shell.Count("redraw"), 2);
}

TEST_F(CompanionTest, ShutdownStopsEverythingInOrder) {
    m_shell.mode = 3;
    Line(1);
    Line(2);
    CPositionWorkers& w = Workers();
    w.SelectReceiverMode();
    w.StartThreads();
    EXPECT_EQ(w.ThreadPriority("voice"), 0);
    EXPECT_EQ(w.ThreadPriority("gps"), 3);
    EXPECT_EQ(w.ThreadPriority("reroute"), 4);
    EXPECT_EQ(w.ThreadPriority("monitor"), 4);
    WaitAsleep();
    Run(1000);
    m_shell.Clear();
    const auto start = std::chrono::steady_clock::now();
    w.ShutdownDevices();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(w.ThreadsRunning());
    EXPECT_EQ(m_shell.Events(), (std::vector<std::string>{"browser restored", "device active 0", "trail saved",
                                                         "route manager released", "stores closed",
                                                         "singletons destroyed"}));
}

TEST_F(CompanionTest, AllLoopsWithFixesFlowingStopPromptly) {
    Line(2);
    m_shell.guiding = true;
    m_shell.monitor.followOption = m_shell.monitor.guidedOrSimulated = m_shell.monitor.vehicleValid = true;
    CPositionWorkers& w = Workers();
    w.SelectReceiverMode();
    w.StartThreads();
    WaitAsleep();
    for (int i = 0; i < 20; ++i) {
        Feed(2, Fix(i, 45760000 + i * 50, 13500000));
        m_shell.newFixes = 1;
        m_shell.monitor.vehicleX = 45760000 + i * 50;
        Run(100);
    }
    EXPECT_EQ(m_shell.Fixes().size(), 20u);
    EXPECT_GE(m_shell.Count("voice"), 3);
    const auto start = std::chrono::steady_clock::now();
    w.StopThreads();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

} // namespace
