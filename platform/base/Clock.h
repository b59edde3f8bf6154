// The injectable clock: tick count, local time and UTC. Tests install a simulated clock so
// that timers and waits run in simulated time.
#pragma once

#include "platform/base/WinTypes.h"

#include <atomic>
#include <cstdint>
#include <mutex>

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
};

class SystemClock : public Clock {
public:
    std::uint64_t TickCount() override;
    std::int64_t UtcMilliseconds() override;
    int LocalOffsetMinutes() override;
    void Sleep(DWORD ms) override;
};

// Time moves only when told to. Thread-safe.
class SimulatedClock : public Clock {
public:
    explicit SimulatedClock(std::int64_t utcMs = 1'700'000'000'000LL, int localOffsetMinutes = 9 * 60)
        : m_utc(utcMs), m_offset(localOffsetMinutes) {}
    std::uint64_t TickCount() override { return m_tick.load(); }
    std::int64_t UtcMilliseconds() override { return m_utc.load(); }
    int LocalOffsetMinutes() override { return m_offset; }
    void Sleep(DWORD ms) override { Advance(ms); }
    bool IsSimulated() const override { return true; }
    void Advance(std::uint64_t ms) {
        m_tick += ms;
        m_utc += static_cast<std::int64_t>(ms);
    }
    void SetUtc(std::int64_t utcMs) { m_utc = utcMs; }

private:
    std::atomic<std::uint64_t> m_tick{0};
    std::atomic<std::int64_t> m_utc;
    int m_offset;
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
