// Runs the GPS loops in hosted simulated time: the test is the host that moves the clock, the
// loops sleep until it reaches their deadlines. Receivers sit on pseudo-terminals mapped to
// "COMn:" ports of a throw-away device root.
#pragma once

#include "platform/base/Clock.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/serial/PseudoTerminal.h"
#include "position/GpsLogSynth.h"
#include "position/PositionWorkers.h"
#include "position/tests/RecordingShell.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

// A receiver on a pseudo-terminal that talks only while its line is set to its own speed. The
// host polls it between clock steps, while every worker sleeps, so runs repeat exactly.
class Responder {
public:
    Responder(PseudoTerminal& line, speed_t speed, std::string answer)
        : m_line(line), m_speed(speed), m_answer(std::move(answer)),
          m_fd(::open(line.DevicePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK)) {}
    Responder(const Responder&) = delete;
    Responder& operator=(const Responder&) = delete;
    ~Responder() {
        if (m_fd >= 0) ::close(m_fd);
    }
    // Answers when the line is at its speed and nothing it said is still waiting.
    void Poll() {
        termios t{};
        if (m_fd < 0 || tcgetattr(m_fd, &t) != 0 || cfgetispeed(&t) != m_speed || m_line.DeviceQueued() != 0) return;
        m_line.Write(m_answer.data(), m_answer.size(), 100);
        m_line.WaitDeviceQueued(m_answer.size(), 1000);
    }

private:
    PseudoTerminal& m_line;
    speed_t m_speed;
    std::string m_answer;
    int m_fd;
};

class WorkerHarness : public ::testing::Test {
protected:
    void SetUp() override {
        m_clock.SetHosted(true);
        InstallClock(&m_clock);
        m_shell.settings[28] = 1; // positions stay as the sentences give them
    }
    void TearDown() override {
        StopLoop();
        m_workers.reset();
        InstallClock(nullptr);
        DeviceRoot::ClearOverrides();
    }

    // A pseudo-terminal standing for port COMn.
    PseudoTerminal& Line(int n) {
        auto& line = m_lines[n];
        if (!line) {
            line = std::make_unique<PseudoTerminal>();
            DeviceRoot::OverrideSetting("com" + std::to_string(n), line->DevicePath());
        }
        return *line;
    }

    CPositionWorkers& Workers() {
        if (!m_workers) m_workers = std::make_unique<CPositionWorkers>(m_shell);
        return *m_workers;
    }

    // Starts one loop on its own thread and waits until it sleeps.
    // The thread registers with the clock before it starts, as the workers' own starter does.
    template <class Loop>
    void StartLoop(Loop loop) {
        CPositionWorkers& w = Workers();
        m_clock.AddWorker();
        m_loop = std::thread([this, &w, loop] {
            (w.*loop)();
            m_clock.RemoveWorker();
        });
        WaitAsleep();
    }
    // The reader, after the receiver mode was chosen as the shell does at start-up.
    void StartReader() {
        Workers().SelectReceiverMode();
        StartLoop(&CPositionWorkers::GpsReaderThread);
    }
    void StopLoop() {
        if (m_workers) m_workers->Stop().Signal();
        if (m_loop.joinable()) m_loop.join();
    }
    // Until every registered thread sleeps on the clock.
    void WaitAsleep() { EXPECT_TRUE(m_clock.WaitQuiet(10000)); }
    // Sends bytes to the program's side of COMn and waits until they are queued there.
    void Feed(int n, const std::string& bytes) {
        PseudoTerminal& line = Line(n);
        const std::size_t before = line.DeviceQueued();
        ASSERT_EQ(line.Write(bytes.data(), bytes.size()), bytes.size());
        ASSERT_TRUE(line.WaitDeviceQueued(before + bytes.size(), 2000));
    }
    // What the program wrote to COMn.
    std::string Received(int n, int timeoutMs = 200) {
        std::string out;
        char buffer[4096];
        for (;;) {
            const std::size_t got = Line(n).Read(buffer, sizeof buffer, timeoutMs);
            if (got == 0) break;
            out.append(buffer, got);
            timeoutMs = 20;
        }
        return out;
    }
    void Run(std::uint64_t ms) { m_clock.RunFor(ms); }

    // One fix as a GGA and an RMC sentence: network x and y (no datum shift), status, HDOP.
    static std::string Fix(int second, std::int32_t x, std::int32_t y, char status = 'A', double hdop = 1.2) {
        char lat[32], lon[32], body[200];
        std::snprintf(lat, sizeof lat, "%02d%07.4f", y / 360000, (y % 360000) / 6000.0);
        std::snprintf(lon, sizeof lon, "%03d%07.4f", x / 360000, (x % 360000) / 6000.0);
        std::string out;
        std::snprintf(body, sizeof body, "GPGGA,1200%02d.00,%s,N,%s,E,%d,08,%.1f,50.0,M,18.5,M,,", second % 60, lat,
                      lon, status == 'A' ? 1 : 0, hdop);
        out += NmeaWrap(body);
        std::snprintf(body, sizeof body, "GPRMC,1200%02d.00,%c,%s,N,%s,E,0.0,0.0,101226,,,A", second % 60, status,
                      lat, lon);
        out += NmeaWrap(body);
        return out;
    }

    SimulatedClock m_clock;
    TempRoot m_root;
    RecordingShell m_shell;
    std::map<int, std::unique_ptr<PseudoTerminal>> m_lines;
    std::unique_ptr<CPositionWorkers> m_workers;
    std::thread m_loop;
};
