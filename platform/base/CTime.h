// A point in time in whole seconds since 1970-01-01 UTC (what MFC's CTime gives the stores),
// read from the injectable clock. Civil fields are local time, as on the handheld.
#pragma once

#include "platform/base/CTimeSpan.h"
#include "platform/base/WinTypes.h"

#include <compare>
#include <cstdint>

class CTime {
public:
    CTime() = default;
    explicit CTime(std::int64_t seconds) : m_seconds(seconds) {}
    // From local civil time.
    CTime(int year, int month, int day, int hour, int minute, int second);

    // The process clock's current time.
    static CTime GetCurrentTime();

    std::int64_t GetTime() const { return m_seconds; }
    int GetYear() const { return Local().wYear; }
    int GetMonth() const { return Local().wMonth; }
    int GetDay() const { return Local().wDay; }
    int GetHour() const { return Local().wHour; }
    int GetMinute() const { return Local().wMinute; }
    int GetSecond() const { return Local().wSecond; }

    CTime operator+(CTimeSpan span) const { return CTime(m_seconds + span.GetTotalSeconds()); }
    CTime operator-(CTimeSpan span) const { return CTime(m_seconds - span.GetTotalSeconds()); }
    CTimeSpan operator-(CTime other) const { return CTimeSpan(m_seconds - other.m_seconds); }
    auto operator<=>(const CTime&) const = default;

private:
    SYSTEMTIME Local() const;
    std::int64_t m_seconds = 0;
};
