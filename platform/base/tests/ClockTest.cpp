#include "platform/base/Clock.h"
#include "platform/base/CTime.h"

#include <gtest/gtest.h>

TEST(Clock, CivilTimeConversions) {
    // 2026-12-10 12:00:00.250 UTC, a Thursday.
    SYSTEMTIME t{2026, 12, 0, 10, 12, 0, 0, 250};
    std::int64_t ms = MillisecondsFromSystemTime(t);
    EXPECT_EQ(ms, 1796904000250LL);
    SYSTEMTIME back = SystemTimeFromMilliseconds(ms);
    EXPECT_EQ(back.wYear, 2026);
    EXPECT_EQ(back.wMonth, 12);
    EXPECT_EQ(back.wDay, 10);
    EXPECT_EQ(back.wDayOfWeek, 4);
    EXPECT_EQ(back.wHour, 12);
    EXPECT_EQ(back.wMilliseconds, 250);
    SYSTEMTIME leap = SystemTimeFromMilliseconds(MillisecondsFromSystemTime({2024, 2, 0, 29, 23, 59, 59, 0}));
    EXPECT_EQ(leap.wMonth, 2);
    EXPECT_EQ(leap.wDay, 29);
}

TEST(Clock, SimulatedClockDrivesTickAndLocalTime) {
    SimulatedClock sim(MillisecondsFromSystemTime({2026, 12, 0, 10, 20, 30, 0, 0}), 9 * 60);
    InstallClock(&sim);
    DWORD t0 = GetTickCount();
    sim.Sleep(1500);
    EXPECT_EQ(GetTickCount() - t0, 1500u);
    SYSTEMTIME local;
    GetLocalTime(&local);
    EXPECT_EQ(local.wDay, 11); // 20:30 UTC is 05:30 the next day in Korea
    EXPECT_EQ(local.wHour, 5);
    EXPECT_EQ(local.wSecond, 1);
    InstallClock(nullptr);
}

TEST(Clock, CTimeFollowsTheInstalledClock) {
    // 2026-12-10 20:30:15 UTC is 2026-12-11 05:30:15 in Korea.
    SimulatedClock sim(1796934615000LL + 999, 9 * 60);
    InstallClock(&sim);
    CTime now = CTime::GetCurrentTime();
    EXPECT_EQ(now.GetTime(), 1796934615);
    EXPECT_EQ(now.GetDay(), 11);
    EXPECT_EQ(now.GetHour(), 5);
    EXPECT_EQ(now.GetMinute(), 30);
    EXPECT_EQ(now.GetSecond(), 15);
    EXPECT_EQ(CTime(2026, 12, 11, 5, 30, 15), now);
    CTimeSpan span = now - (now - CTimeSpan(0, 1, 30, 0));
    EXPECT_EQ(span.GetTotalSeconds(), 5400);
    EXPECT_EQ(span.GetTotalMinutes(), 90);
    InstallClock(nullptr);
}
