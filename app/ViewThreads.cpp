#include "app/ViewThreads.h"

#include "platform/base/Clock.h"
#include "platform/sound/Sound.h"
#include "position/PositionWorkers.h"

#include <cstdio>

namespace {

// The hosted simulated clock, when one is installed: a worker registers with it before it
// starts, so the host never moves time past a thread that has not run yet.
SimulatedClock* HostedClock() {
    auto* clock = dynamic_cast<SimulatedClock*>(&TheClock());
    return clock && clock->IsHosted() ? clock : nullptr;
}

constexpr const char* kNames[kViewWorkerCount] = {"pacing", "gps", "voice", "monitor", "reroute", "reception",
                                                   "trafficdb"};

} // namespace

CViewThreads::CViewThreads(StopSignal& stop) : m_stop(stop), m_wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    for (Slot& slot : m_slots) slot.ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_lateReporter = [](const char* name) {
        std::fprintf(stderr, "velko: the %s worker did not end within 2000 ms; waiting for it\n", name);
    };
}

CViewThreads::~CViewThreads() {
    StopThreads();
    for (Slot& slot : m_slots) CloseHandle(slot.ended);
}

const char* CViewThreads::Name(ViewWorker which) {
    return kNames[static_cast<int>(which)];
}

bool CViewThreads::Start(ViewWorker which, int priority, std::function<void()> body) {
    Slot& slot = m_slots[static_cast<int>(which)];
    if (slot.started || !body) return false;
    ResetEvent(slot.ended);
    SimulatedClock* clock = HostedClock();
    if (clock) clock->AddWorker();
    slot.priority = priority;
    slot.started = true;
    const HANDLE ended = slot.ended;
    slot.thread = std::thread([body = std::move(body), ended, clock] {
        body();
        SetEvent(ended);
        if (clock) clock->RemoveWorker();
    });
    m_order.push_back(which);
    return true;
}

bool CViewThreads::IsStarted(ViewWorker which) const {
    return m_slots[static_cast<int>(which)].started;
}

int CViewThreads::Priority(ViewWorker which) const {
    const Slot& slot = m_slots[static_cast<int>(which)];
    return slot.started ? slot.priority : THREAD_PRIORITY_ERROR_RETURN;
}

std::vector<ViewWorker> CViewThreads::StartOrder() const {
    return m_order;
}

// ---- the pacing and reception loops ----

void CViewThreads::PortPacingLoop(const std::function<bool()>& highSpeed) {
    m_pacingState = kPacingRunning;
    while (m_pacingStop.Sleep(kPacingPeriodMs) && !m_stop.IsSet()) {
        if (!highSpeed()) break;
        // The others stop at the top of their next loop turn, whatever locks they hold are
        // released by then.
        m_gate.Close();
        m_pacingStop.Sleep(kPacingHoldMs);
        m_gate.Open();
    }
    m_gate.Open();
    m_pacingState = kPacingEnded;
}

bool CViewThreads::IsPacingIdle() const {
    const int state = m_pacingState.load();
    return state == kPacingNotRun || state == kPacingEnded;
}

void CViewThreads::ReceptionLoop(const std::function<void()>& cycle) {
    while (!m_stop.IsSet()) {
        if (m_stop.Wait(m_wake, INFINITE) != WAIT_OBJECT_0) break;
        // The stop also sets the wake event: the mark is looked at before any work.
        if (m_stop.IsSet() || !m_gate.Pass(&m_stop)) break;
        if (cycle) cycle();
    }
}

// ---- the re-route worker ----

bool CViewThreads::StartReroute(std::function<void()> body, int priority) {
    if (!body || m_rerouteRunning.load() || m_stop.IsSet()) return false;
    JoinReroute();
    m_reroutePriority = priority;
    m_rerouteRunning = true;
    SetWorkerPeriodRow(1);
    SimulatedClock* clock = HostedClock();
    if (clock) clock->AddWorker();
    m_reroute = std::thread([this, body = std::move(body), clock] {
        body();
        SetWorkerPeriodRow(0);
        m_rerouteRunning = false;
        if (clock) clock->RemoveWorker();
    });
    return true;
}

void CViewThreads::JoinReroute() {
    if (m_reroute.joinable()) m_reroute.join();
}

// ---- the stop ----

void CViewThreads::SetLateReporter(std::function<void(const char* name)> reporter) {
    m_lateReporter = std::move(reporter);
}

void CViewThreads::StopThreads() {
    // 1. The pacing worker first: once it has ended the gate is open and stays open.
    m_pacingStop.Signal();
    Slot& pacing = m_slots[static_cast<int>(ViewWorker::Pacing)];
    if (pacing.thread.joinable()) pacing.thread.join();
    // 2. Every other worker's mark, and the reception worker's wake; a prompt still playing is
    // cut short, so the voice worker returns from it.
    m_stop.Signal();
    if (m_wake) SetEvent(m_wake);
    PlaySoundW(nullptr, nullptr, 0);
    // 3. The re-route worker may be using the route manager: it ends before anything is torn down.
    JoinReroute();
    // 4. Each worker in turn.
    for (int i = 0; i < kViewWorkerCount; ++i) {
        Slot& slot = m_slots[i];
        if (!slot.thread.joinable()) continue;
        if (WaitForSingleObject(slot.ended, kStopWaitMs) == WAIT_TIMEOUT &&
            WaitForSingleObject(slot.ended, kStopWaitMs) == WAIT_TIMEOUT && m_lateReporter)
            m_lateReporter(kNames[i]);
        slot.thread.join();
    }
    if (m_wake) {
        CloseHandle(m_wake);
        m_wake = nullptr;
    }
}
