#include "position/tests/WorkerHarness.h"

#include "platform/threads/Threads.h"
#include "position/ZarnReceiver.h"

#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::int32_t kX = 45720000 + 36000; // 127.1 E
constexpr std::int32_t kY = 13470000 + 36000; // 37.5 N

class ReaderTest : public WorkerHarness {};

TEST_F(ReaderTest, NmeaFixesDriveTheReader) {
    Line(2);
    StartReader();
    EXPECT_EQ(m_shell.Count("link 2"), 1); // port open, no fix yet
    EXPECT_EQ(m_shell.Count("gps mode"), 1);
    for (int i = 0; i < 5; ++i) {
        Feed(2, Fix(i, kX + 100 * i, kY, i == 0 ? 'V' : 'A'));
        Run(100);
    }
    const auto fixes = m_shell.Fixes();
    ASSERT_EQ(fixes.size(), 5u);
    EXPECT_EQ(fixes[4].longitude, kX + 400);
    EXPECT_EQ(fixes[4].latitude, kY);
    EXPECT_EQ(m_shell.Count("clock"), 1); // at the first "A" fix only
    EXPECT_EQ(m_shell.Count("key 0x87"), 5);
    EXPECT_EQ(m_shell.Count("link 3"), 5);
    EXPECT_EQ(m_shell.Count("state 77"), 5); // the engine's quality of each fix
    EXPECT_EQ(m_shell.CountPrefix("score"), 0); // no traffic reception in mode 2
    EXPECT_EQ(Workers().GpsState(), 77);
    // Five cycles of 100 ms, one fix each.
    EXPECT_EQ(m_clock.TickCount(), 500u);
}

TEST_F(ReaderTest, ASilentReceiverIsReopenedAfter101EmptyReads) {
    Line(2);
    StartReader();
    Feed(2, Fix(0, kX, kY));
    Run(100);
    ASSERT_EQ(m_shell.Fixes().size(), 1u);
    Run(100 * 100); // 100 empty reads
    EXPECT_EQ(m_shell.CountPrefix("reset"), 0);
    Run(100 + 300); // the 101st, then the port is closed for 300 ms
    EXPECT_EQ(m_shell.Count("reset COM2:"), 1);
    EXPECT_EQ(m_shell.Last("state"), "state -1");
    EXPECT_EQ(Workers().GpsState(), -1);
    EXPECT_EQ(Workers().CurrentFix().longitude, 0);
    // Reopened: fixes flow again.
    Run(300);
    Feed(2, Fix(1, kX, kY));
    Run(100);
    EXPECT_EQ(m_shell.Fixes().size(), 2u);
    EXPECT_EQ(m_shell.Last("state"), "state 77");
}

TEST_F(ReaderTest, InModeThreeUnitSilenceResetsOnlyTheUnitPort) {
    m_shell.mode = 3;
    Line(1);
    Line(2);
    StartReader();
    EXPECT_EQ(m_shell.Count("stores open"), 1);
    for (int i = 0; i < 110; ++i) {
        Feed(2, Fix(i, kX + i, kY));
        Run(100);
    }
    Run(400);
    EXPECT_EQ(m_shell.Count("connected 0"), 1); // the unit's link was reset once
    EXPECT_EQ(m_shell.CountPrefix("reset"), 0); // the position link was never reset
    // The reader pauses 300 ms while the unit's port is closed: three fixes arrive together
    // and only the newest is taken.
    EXPECT_EQ(m_shell.Fixes().size(), 107u);
    EXPECT_EQ(m_shell.Fixes().back().longitude, kX + 109);
    EXPECT_EQ(m_shell.Count("score 77"), 107);
}

TEST_F(ReaderTest, TheSilentFixWatchdogReopensTheFastPort) {
    m_shell.highSpeed = true;
    m_shell.interval = 1; // limit 150 invalid fixes
    Line(2);
    StartReader();
    int second = 0;
    Feed(2, Fix(second++, kX, kY, 'A', 1.0)); // a fix inside the box
    Run(100);
    for (int i = 0; i < 150; ++i) {
        Feed(2, Fix(second++, kX, kY, 'V', i % 2 ? 50.0 : 0.0));
        Run(100);
    }
    EXPECT_EQ(Workers().WatchdogReopens(), 0);
    Feed(2, Fix(second++, kX, kY, 'V', 50.0)); // the 151st in a row
    Run(100);
    Run(400);
    EXPECT_EQ(Workers().WatchdogReopens(), 1);
    // Any other HDOP starts the count again.
    for (int i = 0; i < 149; ++i) {
        Feed(2, Fix(second++, kX, kY, 'V', 50.0));
        Run(100);
    }
    Feed(2, Fix(second++, kX, kY, 'V', 2.5));
    Run(100);
    for (int i = 0; i < 100; ++i) {
        Feed(2, Fix(second++, kX, kY, 'V', 50.0));
        Run(100);
    }
    EXPECT_EQ(Workers().WatchdogReopens(), 1);
}

TEST_F(ReaderTest, AFixOnTheEastEdgeOfTheBoxDoesNotArmTheWatchdog) {
    m_shell.highSpeed = true;
    Line(2);
    StartReader();
    for (int i = 0; i < 160; ++i) {
        Feed(2, Fix(i, 47160000, kY, i == 0 ? 'A' : 'V', 50.0));
        Run(100);
    }
    EXPECT_EQ(m_shell.Fixes().size(), 160u);
    EXPECT_EQ(Workers().WatchdogReopens(), 0);
}

TEST_F(ReaderTest, TheUnitPassesTrafficBytesIntoTheRing) {
    m_shell.mode = 1;
    Line(1);
    StartReader();
    EXPECT_EQ(Received(1), std::string(reinterpret_cast<const char*>(zarn::kConfigureFrame), 10));
    EXPECT_EQ(m_shell.Count("unit mode"), 1);
    CTrafficRing& ring = Workers().TrafficRing();
    std::string all;
    for (int i = 0; i < 25; ++i) {
        const std::string bytes = "T" + std::to_string(i) + "abc";
        all += bytes;
        Feed(1, bytes);
        Run(100);
        // The wake event is set on the 1st, 11th and 21st delivery.
        const bool woken = WaitForSingleObject(ring.WakeEvent(), 0) == WAIT_OBJECT_0;
        EXPECT_EQ(woken, i % 10 == 0) << "delivery " << i + 1;
    }
    EXPECT_EQ(ring.Deliveries(), 25u);
    std::string taken(ring.Count(), '\0');
    ring.Take(reinterpret_cast<std::uint8_t*>(taken.data()), taken.size());
    EXPECT_EQ(taken, all);
    EXPECT_EQ(m_shell.Count("connected 1"), 25);
    EXPECT_EQ(m_shell.Count("connected 0"), 0);
    // The unit falls silent: its link is reset and the reception marked disconnected.
    Run(101 * 100 + 700);
    EXPECT_EQ(m_shell.Count("connected 0"), 1);
    EXPECT_EQ(m_shell.Count("reset COM1:"), 1);
    EXPECT_EQ(Received(1), std::string(reinterpret_cast<const char*>(zarn::kConfigureFrame), 10)); // reopened
}

TEST_F(ReaderTest, AnUnusableUnitPortIsReported) {
    m_shell.mode = 1;
    DeviceRoot::OverrideSetting("com1", m_root.Host("no-such-device"));
    StartReader();
    Run(100); // five attempts, 10 ms apart
    EXPECT_EQ(m_shell.Count("status 교통 정보 수신기를 사용할 수 없습니다."), 1);
    EXPECT_EQ(m_shell.Count("link 0"), 1);
    EXPECT_EQ(m_shell.Last("state"), "state -1");
}

TEST_F(ReaderTest, AGpsResetWritesBothResetMessages) {
    Line(2);
    StartReader();
    Workers().RequestGpsReset();
    Run(100);
    const std::string expected = std::string("$PSRF104,37.338,126.588167,0,95000,237759,922,12,8*2D\r\n") +
                                 std::string("\xB5\x62\x06\x04\x04\x00\xFF\x07\x02\x00\x16\x79", 12);
    EXPECT_EQ(Received(2), expected);
    Run(100);
    EXPECT_EQ(Received(2, 50), ""); // once
}

TEST(TrafficRingTest, OverflowDropsTheOldestBytes) {
    CTrafficRing ring;
    std::vector<std::uint8_t> a(20000, 'a'), b(1000, 'b');
    ring.Deliver(a.data(), a.size());
    ring.Deliver(b.data(), b.size());
    EXPECT_EQ(ring.Count(), 20000u - 2048u + 1000u);
    // More than one drop step is needed: never more than the capacity is kept.
    std::vector<std::uint8_t> c(6000, 'c');
    ring.Deliver(c.data(), c.size());
    EXPECT_LE(ring.Count(), CTrafficRing::kCapacity);
    std::vector<std::uint8_t> huge(30000);
    for (std::size_t i = 0; i < huge.size(); ++i) huge[i] = static_cast<std::uint8_t>(i);
    ring.Deliver(huge.data(), huge.size());
    ASSERT_EQ(ring.Count(), CTrafficRing::kCapacity);
    std::vector<std::uint8_t> out(CTrafficRing::kCapacity);
    ring.Take(out.data(), out.size());
    EXPECT_EQ(out.front(), static_cast<std::uint8_t>(30000 - 20480)); // the newest bytes stay
    EXPECT_EQ(out.back(), static_cast<std::uint8_t>(29999));
}

// ---- the port scan ----

class ScanTest : public WorkerHarness {
protected:
    struct Result {
        bool found = false;
        std::uint8_t unit = 9, both = 9;
        int port = -1, code = -1;
    };
    // Runs the scan on a thread that takes part in simulated time, polling the responders
    // between clock steps.
    Result Scan(std::initializer_list<Responder*> responders) {
        Result r;
        std::atomic<bool> done{false};
        m_clock.AddWorker();
        std::thread t([&] {
            r.found = Workers().FindReceivers(r.unit, r.both, r.port, r.code);
            done = true;
            m_clock.RemoveWorker();
        });
        while (!done) {
            m_clock.RunFor(100);
            for (Responder* p : responders) p->Poll();
        }
        t.join();
        return r;
    }
    const std::string kNmea = NmeaWrap("GPGGA,120000.00,,,,,0,00,,,M,,M,,");
};

TEST_F(ScanTest, FastPortFourIsFound) {
    for (int n : {1, 2, 5, 6, 8}) Line(n);
    Responder gps(Line(4), B57600, kNmea);
    const Result r = Scan({&gps});
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.unit, 0);
    EXPECT_EQ(r.both, 0);
    EXPECT_EQ(r.port, 3);
    EXPECT_EQ(r.code, 5);
}

TEST_F(ScanTest, AUnitAndAGpsAreBothFound) {
    for (int n : {2, 4, 6, 8}) Line(n);
    Responder unit(Line(1), B38400, std::string("\x02" "A123\x03", 6));
    Responder gps(Line(5), B4800, kNmea);
    const Result r = Scan({&unit, &gps});
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.unit, 1);
    EXPECT_EQ(r.both, 1);
    EXPECT_EQ(r.port, 4);
    EXPECT_EQ(r.code, 1);
    // The unit was asked with its probe.
    EXPECT_NE(Received(1, 50).find(std::string("\x02\x34\xCC\x03", 4)), std::string::npos);
}

TEST_F(ScanTest, NothingAnswers) {
    for (int n : {1, 2, 4, 5, 6, 8}) Line(n);
    Responder chatter(Line(2), B4800, "no sentence here at all"); // no "$GP" or "$TO"
    Responder shortOne(Line(4), B4800, "$GPGGA"); // fewer than 10 bytes
    const Result r = Scan({&chatter, &shortOne});
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.port, 0);
    EXPECT_EQ(r.code, 4);
}

TEST_F(ScanTest, ARunningReaderThatCannotPauseIsNotProbedAround) {
    m_shell.simulating = true; // a simulated drive: the reader passes by pause requests
    Line(2);
    StartReader();
    Responder gps(Line(2), B4800, kNmea);
    const Result r = Scan({&gps});
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.port, 0);
    EXPECT_EQ(r.code, 4);
}

TEST_F(ScanTest, TheReaderClosesItsPortsForTheScanAndReopensThem) {
    Line(1);
    Line(4);
    Line(5);
    Line(6);
    Line(8);
    Responder gps(Line(2), B4800, kNmea);
    StartReader();
    const int opened = m_shell.Count("link 1") + m_shell.Count("link 2");
    const Result r = Scan({&gps});
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.port, 1);
    EXPECT_EQ(r.code, 1);
    Run(200);
    EXPECT_EQ(m_shell.Count("link 1") + m_shell.Count("link 2"), opened + 1); // ports opened again
}

} // namespace
