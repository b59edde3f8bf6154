// The main view's worker threads: the table of the seven long-running workers (each with its
// priority and an "ended" event), the pause gate the port-pacing worker closes so that the
// others take a breath at the top of their loops, the wake event of the broadcast reception
// worker, the one-shot re-route worker, and the orderly stop.
//
// Every worker waits through the stop signal, so stopping ends each of them within a loop
// turn; a worker that is still running after two waits of 1000 ms is reported and then joined
// all the same, so that no worker outlives the view.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/threads/Threads.h"

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The seven workers in the order the stop protocol takes them.
enum class ViewWorker { Pacing = 0, GpsReader, Voice, RouteMonitor, TrafficReroute, Reception, TrafficDb };
constexpr int kViewWorkerCount = 7;

class CViewThreads {
public:
    // The pacing states: the pacing worker never ran, runs, has ended.
    static constexpr int kPacingNotRun = 1;
    static constexpr int kPacingRunning = 2;
    static constexpr int kPacingEnded = 3;
    static constexpr DWORD kStopWaitMs = 1000;
    static constexpr DWORD kPacingPeriodMs = 1500;
    static constexpr DWORD kPacingHoldMs = 500;

    // stop is the signal every worker's waits and sleeps include (the GPS reader's own).
    explicit CViewThreads(StopSignal& stop);
    ~CViewThreads();
    CViewThreads(const CViewThreads&) = delete;
    CViewThreads& operator=(const CViewThreads&) = delete;

    // Starts a worker running body on its own thread; false when that worker runs already.
    bool Start(ViewWorker which, int priority, std::function<void()> body);
    bool IsStarted(ViewWorker which) const;
    // The priority a worker was started with (handheld numbering); THREAD_PRIORITY_ERROR_RETURN
    // for a worker never started.
    int Priority(ViewWorker which) const;
    // The order in which workers were started.
    std::vector<ViewWorker> StartOrder() const;
    static const char* Name(ViewWorker which);

    StopSignal& Stop() { return m_stop; }
    PauseGate& Gate() { return m_gate; }
    // Auto-reset; set to wake the reception worker (and by the stop).
    HANDLE WakeEvent() const { return m_wake; }

    // ---- the worker loops this table runs itself ----
    // The port pacing: every 1500 ms, while highSpeed() answers true, closes the gate for
    // 500 ms. Ends on its own stop mark or when the port is no longer a high-speed one, the gate
    // open.
    void PortPacingLoop(const std::function<bool()>& highSpeed);
    int PacingState() const { return m_pacingState.load(); }
    bool IsPacingIdle() const;
    // The broadcast reception: waits for the wake event, passes the gate, runs cycle().
    void ReceptionLoop(const std::function<void()>& cycle);

    // ---- the one-shot re-route worker ----
    // Runs body once on its own thread (at priority, handheld numbering) with the worker period
    // row at 1 while it runs. One at a time: false while the previous run is still going. A
    // finished run is joined here.
    bool StartReroute(std::function<void()> body, int priority = THREAD_PRIORITY_BELOW_NORMAL);
    bool RerouteRunning() const { return m_rerouteRunning.load(); }
    // The priority the last re-route run was started with; THREAD_PRIORITY_ERROR_RETURN before.
    int ReroutePriority() const { return m_reroutePriority; }

    // ---- the stop ----
    // The pacing worker is stopped first and waited for, so that no worker stays held at the
    // gate; then the stop signal and the wake event; the re-route worker is joined; then each of
    // the seven in order: two waits of 1000 ms, a report when it is still running, and a join.
    // The wake event is closed. Safe to call twice.
    void StopThreads();
    // Told the name of each worker still running after the two waits (by default a line on
    // stderr).
    void SetLateReporter(std::function<void(const char* name)> reporter);

private:
    struct Slot {
        std::thread thread;
        HANDLE ended = nullptr;
        int priority = THREAD_PRIORITY_ERROR_RETURN;
        bool started = false;
    };

    void JoinReroute();

    StopSignal& m_stop;
    StopSignal m_pacingStop;
    PauseGate m_gate;
    HANDLE m_wake = nullptr;
    std::array<Slot, kViewWorkerCount> m_slots;
    std::vector<ViewWorker> m_order;
    std::atomic<int> m_pacingState{kPacingNotRun};
    std::thread m_reroute;
    std::atomic<bool> m_rerouteRunning{false};
    int m_reroutePriority = THREAD_PRIORITY_ERROR_RETURN;
    std::function<void(const char*)> m_lateReporter;
};
