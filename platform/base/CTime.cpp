#include "platform/base/CTime.h"

#include "platform/base/Clock.h"

CTime::CTime(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME t;
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    std::int64_t localMs = MillisecondsFromSystemTime(t);
    m_seconds = localMs / 1000 - static_cast<std::int64_t>(TheClock().LocalOffsetMinutes()) * 60;
}

CTime CTime::GetCurrentTime() {
    std::int64_t ms = TheClock().UtcMilliseconds();
    return CTime(ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000));
}

SYSTEMTIME CTime::Local() const {
    return SystemTimeFromMilliseconds((m_seconds + static_cast<std::int64_t>(TheClock().LocalOffsetMinutes()) * 60) *
                                      1000);
}
