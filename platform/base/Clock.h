// The injectable clock: tick count, local time and UTC. Tests install a simulated clock so
// that timers and waits run in simulated time.
#pragma once

#include "platform/base/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start.
    virtual std::uint64_t TickCount() = 0;
    // Milliseconds since 1970-01-01 UTC.
    virtual std::int64_t UtcMilliseconds() = 0;
    // Offset of local time from UTC, in minutes.
    virtual int LocalOffsetMinutes() = 0;
    // Lets time pass: the system clock sleeps, a simulated clock advances.
    virtual void Sleep(DWORD ms) = 0;
    virtual bool IsSimulated() const { return false; }
    // True when workers' sleeps wait for the host to move time (see SimulatedClock).
    virtual bool IsHosted() const { return false; }
    // A hosted clock's sleep that also ends when `interrupted` answers true (looked at whenever
    // the sleeper is woken); false when it was interrupted. Other clocks sleep, then ask.
    virtual bool SleepUnless(DWORD ms, const std::function<bool()>& interrupted) {
        Sleep(ms);
        return !interrupted();
    }
    // Makes sleepers look at their interruption again.
    virtual void Wake() {}
};

class SystemClock : public Clock {
public:
    std::uint64_t TickCount() override;
    std::int64_t UtcMilliseconds() override;
    int LocalOffsetMinutes() override;
    void Sleep(DWORD ms) override;
};

// Time moves only when told to. Thread-safe.
//
// By default a Sleep moves time itself. In hosted mode only the host moves time: a sleeping
// thread waits until the clock reaches its deadline, and the host (RunUntil) steps the clock from
// one sleeper's deadline to the next, letting every registered worker run until it sleeps again
// before each step, so that threaded runs repeat exactly.
class SimulatedClock : public Clock {
public:
    explicit SimulatedClock(std::int64_t utcMs = 1'700'000'000'000LL, int localOffsetMinutes = 9 * 60)
        : m_utc(utcMs), m_offset(localOffsetMinutes) {}
    std::uint64_t TickCount() override { return m_tick.load(); }
    std::int64_t UtcMilliseconds() override { return m_utc.load(); }
    int LocalOffsetMinutes() override { return m_offset; }
    void Sleep(DWORD ms) override;
    bool IsSimulated() const override { return true; }
    bool IsHosted() const override { return m_hosted.load(); }
    bool SleepUnless(DWORD ms, const std::function<bool()>& interrupted) override;
    void Wake() override;
    void Advance(std::uint64_t ms);
    void SetUtc(std::int64_t utcMs) { m_utc = utcMs; }

    // The thread that turns hosted mode on is the host: its own sleeps move time (it has no one
    // else to wait for); every other thread waits for the host.
    void SetHosted(bool hosted);
    // Threads the host waits for: each registers while it runs.
    void AddWorker();
    void RemoveWorker();
    // The host: waits (at most settleMs of real time) until every registered worker sleeps;
    // true when they all do.
    bool WaitQuiet(int settleMs = 2000);
    // The host: moves the clock to `tick`, stopping at every sleeper's deadline on the way and
    // waiting for the workers to settle before each step and at the end.
    void RunUntil(std::uint64_t tick);
    void RunFor(std::uint64_t ms) { RunUntil(TickCount() + ms); }
    // The earliest deadline of a sleeping thread, or none.
    bool NextDeadline(std::uint64_t& tick);

private:
    // Outside hosted mode, and on the host thread, a sleep moves time at once.
    bool MovesTimeItself() const;
    std::atomic<std::uint64_t> m_tick{0};
    std::atomic<std::int64_t> m_utc;
    int m_offset;
    std::atomic<bool> m_hosted{false};
    std::atomic<std::thread::id> m_hostThread{};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::multiset<std::uint64_t> m_deadlines;
    int m_workers = 0;
    int m_asleep = 0;
};

// The process clock (the system clock unless a test installed another). The installed clock
// must outlive its use; passing nullptr restores the system clock.
Clock& TheClock();
void InstallClock(Clock* clock);

DWORD GetTickCount();
void GetLocalTime(SYSTEMTIME* time);
void GetSystemTime(SYSTEMTIME* time);
// Civil time from milliseconds since 1970 and back (proleptic Gregorian, no leap seconds).
SYSTEMTIME SystemTimeFromMilliseconds(std::int64_t ms);
std::int64_t MillisecondsFromSystemTime(const SYSTEMTIME& time);
