// The GPS reader thread and its companions. The reader owns the receiver serial ports: it reads
// them every 100 ms, feeds the current receiver, takes positions and satellites, starts the
// shell's per-fix work, watches the link and reopens it when it falls silent, and passes the
// receiver unit's traffic bytes on. Beside it run the voice loop, the traffic re-route watch and
// the route monitor. The shell's main view owns one of these and answers its questions through
// IPositionShell.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/threads/Threads.h"
#include "position/GpsReceiver.h"
#include "position/NmeaReceiver.h"
#include "position/PositionShell.h"
#include "position/SerialPort.h"
#include "position/TrafficRing.h"
#include "position/ZarnReceiver.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Loop periods in ms: row 0 normally, row 1 while a route re-search runs; columns GPS reader,
// traffic re-route, voice, route monitor.
enum class WorkerPeriod { GpsReader = 0, TrafficReroute = 1, Voice = 2, RouteMonitor = 3 };
DWORD WorkerPeriodMs(WorkerPeriod which);
// The process-wide row index (1 while a re-search runs).
void SetWorkerPeriodRow(int row);
int WorkerPeriodRow();

class CPositionWorkers {
public:
    // The GPS reset: a SiRF initialisation with a fixed start position, then a u-blox reset.
    static const char kSirfReset[];
    static const std::uint8_t kUbloxReset[12];

    explicit CPositionWorkers(IPositionShell& shell);
    ~CPositionWorkers();
    CPositionWorkers(const CPositionWorkers&) = delete;
    CPositionWorkers& operator=(const CPositionWorkers&) = delete;

    // ---- receiver mode and ports ----
    void SelectReceiverMode();
    bool OpenReceiverPorts();
    bool OpenUnitPort();
    bool OpenGpsPort();
    void CloseReceiverPorts();
    void CloseUnitPort();
    void CloseGpsPort();
    int Mode() const { return m_mode.load(); }
    // Writes to the receiver unit's port from another thread (the reception worker's tuning
    // sentences): serialised with the reader's opening and closing of that port; the reader's
    // reads go on undisturbed. Bytes written, 0 when the port is closed.
    int WriteUnitPort(const void* bytes, int count);

    // ---- receivers found by probing ----
    // The port scan: unit found, unit and GPS both found, port index (COM number - 1) and speed
    // code (0 2400 ... 5 57600); true when a receiver was found.
    bool FindReceivers(std::uint8_t& unitFound, std::uint8_t& both, int& portIndex, int& speedCode);
    bool ProbeNmeaPort(const char16_t* port, DWORD baud);
    bool ProbeUnitPort(const char16_t* port, DWORD baud);
    bool ProbeNmeaPortAndResume(const char16_t* port, DWORD baud);
    bool ProbeUnitPortAndResume(const char16_t* port, DWORD baud);

    // ---- the traffic download's pause ----
    // Asks the reader to park (ports untouched); true once it has, within ms.
    bool PauseForDownload(DWORD ms);
    void ResumeAfterDownload();

    // ---- requests from the dialogs ----
    void RequestGpsReconfigure() { m_reconfigure = true; }
    void RequestGpsReset() { m_gpsReset = true; }
    void RequestMemoryFigures() { m_memoryFigures = true; }

    // ---- threads ----
    // Starts the voice loop, the GPS reader, the traffic re-route watch and the route monitor.
    void StartThreads();
    // Marks every loop to stop, wakes them and joins them.
    void StopThreads();
    // A gate every loop passes at the top of each turn (none by default); the shell's port
    // pacing closes it to let the receiver port breathe.
    void SetPauseGate(PauseGate* gate) { m_gate = gate; }
    bool ThreadsRunning() const { return !m_threads.empty(); }
    // How often the silent-fix watchdog reopened the GPS port.
    int WatchdogReopens() const { return m_watchdogReopens.load(); }
    // Priority each loop was started with (handheld numbering), by name.
    int ThreadPriority(const std::string& name) const;

    // The loops (each returns 0 when its stop mark is set).
    int GpsReaderThread();
    int VoiceGuideThread();
    int TrafficRerouteThread();
    int RouteMonitorThread();

    // Exit: browser setting restored, device inactive, trail saved, loops stopped and joined,
    // ports closed, route manager released, broadcast stores closed and their singletons gone.
    void ShutdownDevices();

    // ---- state ----
    int GpsState() const { return m_gpsState.load(); }
    GpsPosRecord CurrentFix() const;
    CTrafficRing& TrafficRing() { return m_ring; }
    StopSignal& Stop() { return m_stop; }

private:
    struct Pair {
        HANDLE done;   // ports closed / parked
        HANDLE resume; // may resume
        std::atomic<bool> request{false};
    };

    bool PassGate();
    bool ReaderCycle();
    void HandlePauses();
    void ResetLink();
    void WatchSilentFixes();
    void TakePosition(int flags, int read);
    void PassTraffic(int flags, int read);
    void FeedDialog();
    void ReportState(int state);
    bool OpenPort(CSerialPort& port, const char16_t* name, DWORD baud, int attempts);
    // The unit's port at its speed, sent its configuration frame.
    bool OpenUnitLine(int attempts);
    void TrafficRerouteCycle();
    void RouteMonitorCycle();
    bool ScanPause();
    void EndScanPause();
    template <class Loop>
    void Launch(const std::string& name, int priority, Loop loop);

    IPositionShell& m_shell;
    CSerialPort m_unitPort;
    CSerialPort m_gpsPort;
    std::atomic<int> m_mode{2};
    bool m_trafficOn = false;
    bool m_broadcastStarted = false;
    CNmeaReceiver m_nmea;
    CZarnReceiver m_unit;
    CGpsReceiver* m_current = &m_nmea;
    mutable std::mutex m_fixMutex;
    GpsPosRecord m_fix;
    GpsPosRecord m_fixCopy;
    GpsSatRecord m_satellites;
    std::atomic<int> m_gpsState{-1};
    Pair m_scan;
    Pair m_download;
    std::atomic<bool> m_reconfigure{false};
    std::atomic<bool> m_gpsReset{false};
    std::atomic<bool> m_memoryFigures{false};
    std::atomic<bool> m_readerRunning{false};
    CTrafficRing m_ring;
    // Held while the unit port is opened, closed or written to from outside the reader.
    std::mutex m_unitPortLock;
    bool m_logging = false;
    bool m_clockSynced = false;
    bool m_noFixInBox = true;
    int m_emptyReads = 0;
    int m_unitEmptyReads = 0;
    int m_invalidFixes = 0;
    std::atomic<int> m_watchdogReopens{0};
    std::uint8_t m_buffer[2049] = {};
    // Traffic re-route watch.
    int m_lastRoutePosition = -1;
    bool m_announced = false;
    // Route monitor.
    int m_lastRoad = -1;
    int m_lastConnection = 0;
    std::int32_t m_lastX = 0, m_lastY = 0;
    bool m_havePosition = false;
    int m_cyclesWithoutFix = 0;

    StopSignal m_stop;
    std::atomic<PauseGate*> m_gate{nullptr};
    std::vector<std::thread> m_threads;
    std::vector<std::pair<std::string, int>> m_priorities;
};
