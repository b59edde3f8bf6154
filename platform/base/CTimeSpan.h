// A span of time in whole seconds (what MFC's CTimeSpan gives the stores).
#pragma once

#include <cstdint>

class CTimeSpan {
public:
    CTimeSpan() = default;
    explicit CTimeSpan(std::int64_t seconds) : m_seconds(seconds) {}
    CTimeSpan(long days, int hours, int minutes, int seconds)
        : m_seconds(((static_cast<std::int64_t>(days) * 24 + hours) * 60 + minutes) * 60 + seconds) {}

    std::int64_t GetTotalSeconds() const { return m_seconds; }
    std::int64_t GetTotalMinutes() const { return m_seconds / 60; }
    std::int64_t GetTotalHours() const { return m_seconds / 3600; }
    std::int64_t GetDays() const { return m_seconds / 86400; }

    CTimeSpan operator+(CTimeSpan other) const { return CTimeSpan(m_seconds + other.m_seconds); }
    CTimeSpan operator-(CTimeSpan other) const { return CTimeSpan(m_seconds - other.m_seconds); }
    bool operator==(const CTimeSpan&) const = default;

private:
    std::int64_t m_seconds = 0;
};
