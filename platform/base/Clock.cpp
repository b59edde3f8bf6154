#include "platform/base/Clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace {
SystemClock g_systemClock;
std::atomic<Clock*> g_clock{&g_systemClock};

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}
} // namespace

std::uint64_t SystemClock::TickCount() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::int64_t SystemClock::UtcMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int SystemClock::LocalOffsetMinutes() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<int>(local.tm_gmtoff / 60);
}

void SystemClock::Sleep(DWORD ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SimulatedClock::Advance(std::uint64_t ms) {
    {
        std::lock_guard lock(m_mutex);
        m_tick += ms;
        m_utc += static_cast<std::int64_t>(ms);
    }
    m_changed.notify_all();
}

void SimulatedClock::SetHosted(bool hosted) {
    m_hostThread = std::this_thread::get_id();
    m_hosted = hosted;
}

bool SimulatedClock::MovesTimeItself() const {
    return !m_hosted || std::this_thread::get_id() == m_hostThread.load();
}

void SimulatedClock::Sleep(DWORD ms) {
    if (MovesTimeItself()) {
        Advance(ms);
        return;
    }
    SleepUnless(ms, [] { return false; });
}

bool SimulatedClock::SleepUnless(DWORD ms, const std::function<bool()>& interrupted) {
    if (MovesTimeItself()) {
        Advance(ms);
        return !interrupted();
    }
    std::unique_lock lock(m_mutex);
    const std::uint64_t deadline = m_tick.load() + ms;
    if (ms == 0) return !interrupted();
    const auto entry = m_deadlines.insert(deadline);
    ++m_asleep;
    m_changed.notify_all(); // the host may be waiting for this thread to settle
    bool cut = false;
    m_changed.wait(lock, [&] {
        if (m_tick.load() >= deadline) return true;
        cut = interrupted();
        return cut;
    });
    --m_asleep;
    m_deadlines.erase(entry);
    m_changed.notify_all();
    return !cut;
}

void SimulatedClock::Wake() {
    { std::lock_guard lock(m_mutex); }
    m_changed.notify_all();
}

void SimulatedClock::AddWorker() {
    std::lock_guard lock(m_mutex);
    ++m_workers;
}

void SimulatedClock::RemoveWorker() {
    {
        std::lock_guard lock(m_mutex);
        --m_workers;
    }
    m_changed.notify_all();
}

bool SimulatedClock::WaitQuiet(int settleMs) {
    std::unique_lock lock(m_mutex);
    // Sleepers whose deadline has come are awake even before they have run.
    auto quiet = [&] {
        const std::uint64_t now = m_tick.load();
        int due = 0;
        for (auto it = m_deadlines.begin(); it != m_deadlines.end() && *it <= now; ++it) ++due;
        return m_asleep - due >= m_workers;
    };
    return m_changed.wait_for(lock, std::chrono::milliseconds(settleMs), quiet);
}

bool SimulatedClock::NextDeadline(std::uint64_t& tick) {
    std::lock_guard lock(m_mutex);
    if (m_deadlines.empty()) return false;
    tick = *m_deadlines.begin();
    return true;
}

void SimulatedClock::RunUntil(std::uint64_t tick) {
    for (;;) {
        WaitQuiet();
        const std::uint64_t now = m_tick.load();
        if (now >= tick) return;
        std::uint64_t next = tick;
        std::uint64_t deadline = 0;
        if (NextDeadline(deadline) && deadline > now && deadline < next) next = deadline;
        Advance(next - now);
    }
}

Clock& TheClock() {
    return *g_clock.load();
}
void InstallClock(Clock* clock) {
    g_clock.store(clock ? clock : &g_systemClock);
}

DWORD GetTickCount() {
    return static_cast<DWORD>(TheClock().TickCount());
}

SYSTEMTIME SystemTimeFromMilliseconds(std::int64_t ms) {
    std::int64_t days = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
    std::int64_t rest = ms - days * 86400000;
    std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
    SYSTEMTIME t;
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(m);
    t.wDay = static_cast<WORD>(d);
    t.wDayOfWeek = static_cast<WORD>(((days % 7) + 11) % 7); // 1970-01-01 was a Thursday (4)
    t.wHour = static_cast<WORD>(rest / 3600000);
    t.wMinute = static_cast<WORD>((rest / 60000) % 60);
    t.wSecond = static_cast<WORD>((rest / 1000) % 60);
    t.wMilliseconds = static_cast<WORD>(rest % 1000);
    return t;
}

std::int64_t MillisecondsFromSystemTime(const SYSTEMTIME& t) {
    std::int64_t days = DaysFromCivil(t.wYear, t.wMonth, t.wDay);
    return ((days * 24 + t.wHour) * 60 + t.wMinute) * 60000 + t.wSecond * 1000LL + t.wMilliseconds;
}

void GetSystemTime(SYSTEMTIME* time) {
    if (time) *time = SystemTimeFromMilliseconds(TheClock().UtcMilliseconds());
}

void GetLocalTime(SYSTEMTIME* time) {
    if (!time) return;
    Clock& clock = TheClock();
    *time = SystemTimeFromMilliseconds(clock.UtcMilliseconds() + clock.LocalOffsetMinutes() * 60000LL);
}
