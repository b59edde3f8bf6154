#include "position/PositionWorkers.h"

#include "platform/base/Clock.h"
#include "platform/files/Files.h"
#include "platform/serial/Serial.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kPeriods[2][4] = {{100, 2000, 500, 300}, {100, 2000, 2000, 4000}};
std::atomic<int> g_periodRow{0};

constexpr int kReadSize = 2048;
constexpr int kEmptyReadLimit = 100;
constexpr DWORD kUnitBaud = 38400;
const char16_t* const kUnitPortName = u"COM1:";
const char16_t* const kUnitUnavailable = u"교통 정보 수신기를 사용할 수 없습니다."; // string 178
const char16_t* const kGpsUnavailable = u"GPS를 사용할 수 없습니다.";               // string 179

// The accepted box of network coordinates.
bool InsideBox(const GpsPosRecord& fix) {
    return fix.longitude >= 45000000 && fix.longitude < 47160000 && fix.latitude >= 11910000 &&
           fix.latitude < 13890000;
}

// The hosted simulated clock, when one is installed: threads taking part register with it before
// they start, so the host never moves time past a thread that has not run yet.
SimulatedClock* HostedClock() {
    auto* clock = dynamic_cast<SimulatedClock*>(&TheClock());
    return clock && clock->IsHosted() ? clock : nullptr;
}

} // namespace

DWORD WorkerPeriodMs(WorkerPeriod which) {
    const int row = g_periodRow.load() == 1 ? 1 : 0;
    return kPeriods[row][static_cast<int>(which)];
}

void SetWorkerPeriodRow(int row) {
    g_periodRow = row;
}

int WorkerPeriodRow() {
    return g_periodRow.load();
}

const char CPositionWorkers::kSirfReset[] = "$PSRF104,37.338,126.588167,0,95000,237759,922,12,8*2D\r\n";
const std::uint8_t CPositionWorkers::kUbloxReset[12] = {0xB5, 0x62, 0x06, 0x04, 0x04, 0x00,
                                                        0xFF, 0x07, 0x02, 0x00, 0x16, 0x79};

CPositionWorkers::CPositionWorkers(IPositionShell& shell) : m_shell(shell) {
    m_scan.done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_scan.resume = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_download.done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_download.resume = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

CPositionWorkers::~CPositionWorkers() {
    StopThreads();
    CloseReceiverPorts();
    for (HANDLE h : {m_scan.done, m_scan.resume, m_download.done, m_download.resume}) CloseHandle(h);
}

// ---- receiver mode and ports ----

void CPositionWorkers::SelectReceiverMode() {
    const bool trafficWasOn = m_trafficOn;
    int mode = m_shell.ReceiverMode();
    if (mode < 1 || mode > 3) mode = 2;
    m_mode = mode;
    const int noShift = m_shell.Setting(28);
    m_nmea.SetNoDatumShift(noShift);
    m_unit.SetNoDatumShift(noShift);
    if (mode == 1) {
        m_current = &m_unit;
        m_unit.SetGpsDecoding(1);
    } else {
        m_current = &m_nmea;
        if (mode == 3) m_unit.SetGpsDecoding(0);
    }
    m_trafficOn = mode == 1 || mode == 3;
    if (m_trafficOn && !m_broadcastStarted) {
        m_shell.OpenBroadcastStores();
        m_broadcastStarted = true;
    } else if (m_trafficOn != trafficWasOn) {
        if (m_trafficOn) {
            m_shell.OpenBroadcastStores();
        } else {
            m_shell.CloseBroadcastStores();
            m_broadcastStarted = false;
        }
    }
}

bool CPositionWorkers::OpenReceiverPorts() {
    const bool unit = OpenUnitPort();
    const bool gps = OpenGpsPort();
    return unit && gps;
}

bool CPositionWorkers::OpenPort(CSerialPort& port, const char16_t* name, DWORD baud, int attempts) {
    for (int i = 0; i < attempts; ++i) {
        if (i > 0 && !m_stop.Sleep(10)) return false;
        if (port.Open(name, GENERIC_READ | GENERIC_WRITE)) break;
    }
    if (!port.IsOpen()) return false;
    if (!port.Setup(baud, 8, 0, 0)) {
        port.Close();
        return false;
    }
    return true;
}

bool CPositionWorkers::OpenUnitLine(int attempts) {
    std::lock_guard lock(m_unitPortLock);
    if (!OpenPort(m_unitPort, kUnitPortName, kUnitBaud, attempts)) return false;
    m_unitPort.Write(zarn::kConfigureFrame, sizeof zarn::kConfigureFrame);
    return true;
}

int CPositionWorkers::WriteUnitPort(const void* bytes, int count) {
    if (!bytes || count <= 0) return 0;
    std::lock_guard lock(m_unitPortLock);
    // Through the handle, so that the port object's error field stays the reader's alone.
    const HANDLE handle = m_unitPort.GetHandle();
    if (handle == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    if (!WriteComm(handle, bytes, static_cast<DWORD>(count), &written)) return 0;
    return static_cast<int>(written);
}

bool CPositionWorkers::OpenUnitPort() {
    const int mode = m_mode;
    if (mode == 2) return true;
    const bool ok = OpenUnitLine(5);
    if (!ok) {
        m_shell.SetStatusText(kUnitUnavailable);
        if (mode == 1) {
            m_shell.SetLinkState(0);
            ReportState(-1);
        }
    } else if (mode == 1) {
        m_shell.SetLinkState(m_gpsState != -1 ? 1 : 2);
    }
    m_shell.SetUnitMode(mode == 1);
    return ok;
}

bool CPositionWorkers::OpenGpsPort() {
    const int mode = m_mode;
    if (mode == 1) return true;
    const std::u16string name = m_shell.GpsPortName();
    const bool ok = OpenPort(m_gpsPort, name.c_str(), m_shell.GpsBaudRate(), 1);
    if (ok) {
        m_shell.SetLinkState(m_gpsState != -1 ? 1 : 2);
    } else {
        if (m_shell.IsFollowing()) m_shell.SetEventText(kGpsUnavailable);
        m_shell.SetLinkState(0);
        ReportState(-1);
    }
    m_shell.SetUnitMode(mode == 1);
    return ok;
}

void CPositionWorkers::CloseReceiverPorts() {
    {
        std::lock_guard lock(m_unitPortLock);
        m_unitPort.Close();
    }
    m_gpsPort.Close();
}

void CPositionWorkers::CloseUnitPort() {
    if (m_mode == 1 || m_mode == 3) {
        std::lock_guard lock(m_unitPortLock);
        m_unitPort.Close();
    }
}

void CPositionWorkers::CloseGpsPort() {
    if (m_mode == 2 || m_mode == 3) m_gpsPort.Close();
}

void CPositionWorkers::ReportState(int state) {
    m_gpsState = state;
    m_shell.SetGpsState(state);
}

GpsPosRecord CPositionWorkers::CurrentFix() const {
    std::lock_guard lock(m_fixMutex);
    return m_fix;
}

// ---- the reader ----

int CPositionWorkers::GpsReaderThread() {
    m_readerRunning = true;
    if (!m_shell.OpenNetwork()) m_shell.SetStatusText(u"MMData Load Fail");
    m_noFixInBox = true;
    OpenReceiverPorts();
    while (ReaderCycle()) {
    }
    CloseReceiverPorts();
    m_readerRunning = false;
    // A scan waiting for the ports to close must not wait for a reader that has gone.
    SetEvent(m_scan.done);
    return 0;
}

void CPositionWorkers::HandlePauses() {
    if (m_scan.request) {
        CloseReceiverPorts();
        SetEvent(m_scan.done);
        if (m_stop.Wait(m_scan.resume, INFINITE) != WAIT_OBJECT_0) return;
        SelectReceiverMode();
        OpenReceiverPorts();
    }
    if (m_download.request) {
        SetEvent(m_download.done);
        if (m_stop.Wait(m_download.resume, INFINITE) != WAIT_OBJECT_0) return;
    }
    if (m_reconfigure.exchange(false)) {
        CloseReceiverPorts();
        SelectReceiverMode();
        OpenReceiverPorts();
    }
}

bool CPositionWorkers::PassGate() {
    PauseGate* gate = m_gate.load();
    return !gate || gate->Pass(&m_stop);
}

bool CPositionWorkers::ReaderCycle() {
    if (!PassGate()) return false;
    if (!m_stop.Sleep(WorkerPeriodMs(WorkerPeriod::GpsReader))) return false;
    if (m_shell.IsSimulating()) return true;
    HandlePauses();
    if (m_stop.IsSet()) return false;

    if (m_gpsReset.exchange(false)) {
        m_gpsPort.Write(kSirfReset, static_cast<int>(std::strlen(kSirfReset)));
        m_gpsPort.Write(kUbloxReset, sizeof kUbloxReset);
    }
    if (m_memoryFigures.exchange(false)) m_shell.UpdateLogPanelMemory();
    const bool wantLog = m_shell.LoggingWanted();
    if (wantLog != m_logging) {
        if (wantLog) {
            if (m_shell.StartLog()) m_logging = true;
        } else {
            m_shell.StopLog();
            m_logging = false;
        }
    }

    const int mode = m_mode;
    CSerialPort& port = mode == 1 ? m_unitPort : m_gpsPort;
    const int read = port.Read(m_buffer, kReadSize + 1);
    m_buffer[kReadSize] = 0;
    if (m_logging && read > 0) m_shell.AppendLog(reinterpret_cast<const char*>(m_buffer), read);

    if (m_shell.UsesHighSpeedPort()) WatchSilentFixes();

    int flags = 0;
    if (read <= 0) {
        if (++m_emptyReads > kEmptyReadLimit) ResetLink();
    } else {
        m_shell.SetLinkState(3);
        flags = m_current->PutData(reinterpret_cast<const char*>(m_buffer), read);
        if (flags & kGpsNewPosition) TakePosition(flags, read);
    }
    PassTraffic(flags, read);
    return !m_stop.IsSet();
}

void CPositionWorkers::WatchSilentFixes() {
    const int interval = static_cast<std::int8_t>(m_shell.FixInterval());
    const int limit = interval > 0 ? 150 / interval : 150;
    if (m_invalidFixes <= limit || m_noFixInBox) return;
    m_gpsPort.Close();
    if (!m_stop.Sleep(300)) return;
    const std::u16string name = m_shell.GpsPortName();
    if (!OpenPort(m_gpsPort, name.c_str(), m_shell.GpsBaudRate(), 1)) {
        // Closing both and looping on lets the empty-read reset retry, instead of leaving the
        // car without positions until the program restarts.
        CloseReceiverPorts();
    }
    ++m_watchdogReopens;
    FeedDialog();
    m_invalidFixes = 0;
}

void CPositionWorkers::ResetLink() {
    const int mode = m_mode;
    if (mode == 1) m_shell.SetBroadcastConnected(0);
    CSerialPort& port = mode == 1 ? m_unitPort : m_gpsPort;
    const std::u16string name = mode == 1 ? std::u16string(kUnitPortName) : m_shell.GpsPortName();
    const DWORD baud = m_shell.GpsBaudRate();
    if (mode == 1) {
        std::lock_guard lock(m_unitPortLock);
        port.Close();
    } else {
        port.Close();
    }
    if (mode != 3 && !m_stop.Sleep(300)) return;
    {
        std::lock_guard lock(m_fixMutex);
        m_fix = GpsPosRecord{};
        m_fixCopy = GpsPosRecord{};
        m_satellites = GpsSatRecord{};
    }
    m_shell.OnLinkReset(name.c_str());
    ReportState(-1);
    if (mode != 3 && !m_stop.Sleep(300)) return;
    if (mode == 1)
        OpenUnitLine(1);
    else
        OpenPort(port, name.c_str(), baud, 1);
    FeedDialog();
    m_emptyReads = 0;
}

void CPositionWorkers::TakePosition(int /*flags*/, int /*read*/) {
    m_shell.KeepAwake();
    m_emptyReads = 0;
    GpsPosRecord fix;
    if (!m_current->GetPosition(&fix)) {
        {
            std::lock_guard lock(m_fixMutex);
            m_fix = GpsPosRecord{};
        }
        ReportState(0);
        return;
    }
    {
        std::lock_guard lock(m_fixMutex);
        m_fix = fix;
    }
    if (!m_clockSynced && fix.status == 'A') {
        m_shell.SyncGpsClock(fix);
        m_clockSynced = true;
    }
    if (m_noFixInBox && InsideBox(fix)) m_noFixInBox = false;
    if (m_shell.UsesHighSpeedPort()) {
        if (fix.hdop != 50.0 && fix.hdop != 0.0)
            m_invalidFixes = 0;
        else if (fix.status == 'V')
            ++m_invalidFixes;
        else
            m_invalidFixes = 0;
    }
    FeedDialog();
    {
        std::lock_guard lock(m_fixMutex);
        m_fixCopy = fix;
    }
    m_shell.OnGpsFix(fix);
    if (!m_scan.request) {
        const int quality = m_shell.FixQuality(fix);
        ReportState(quality);
        if (m_trafficOn) m_shell.SetBroadcastGpsScore(quality);
    }
}

void CPositionWorkers::FeedDialog() {
    GpsSatRecord satellites;
    m_current->GetSatellites(&satellites);
    GpsPosRecord fix;
    {
        std::lock_guard lock(m_fixMutex);
        m_satellites = satellites;
        fix = m_fix;
    }
    if (!m_scan.request) m_shell.FeedGpsDialog(satellites, fix);
}

void CPositionWorkers::PassTraffic(int flags, int read) {
    const int mode = m_mode;
    if (mode != 1 && mode != 3) return;
    if (mode == 1) {
        if (read <= 0) return;
    } else {
        const int n = m_unitPort.Read(m_buffer, kReadSize + 1);
        if (n <= 0) {
            if (++m_unitEmptyReads > kEmptyReadLimit) {
                {
                    std::lock_guard lock(m_unitPortLock);
                    m_unitPort.Close();
                }
                if (!m_stop.Sleep(300)) return;
                m_shell.SetBroadcastConnected(0);
                m_unitEmptyReads = 0;
                OpenUnitLine(1);
            }
            return;
        }
        m_unitEmptyReads = 0;
        flags = m_unit.PutData(reinterpret_cast<const char*>(m_buffer), n);
        if (flags == 0) return;
    }
    if (flags < kGpsTrafficWaiting) return;
    std::uint8_t bytes[kReadSize];
    int count = 0;
    m_unit.GetTrafficBytes(bytes, &count);
    if (count <= 0) return;
    m_shell.SetBroadcastConnected(1);
    m_ring.Deliver(bytes, static_cast<std::size_t>(count));
}

// ---- port scan and probes ----

bool CPositionWorkers::ScanPause() {
    ResetEvent(m_scan.resume); // a resume left over from an earlier scan must not count
    ResetEvent(m_scan.done);
    m_scan.request = true;
    const bool closed = !m_readerRunning || m_stop.Wait(m_scan.done, 1000) == WAIT_OBJECT_0;
    m_scan.request = false;
    return closed;
}

void CPositionWorkers::EndScanPause() {
    SetEvent(m_scan.resume);
}

bool CPositionWorkers::FindReceivers(std::uint8_t& unitFound, std::uint8_t& both, int& portIndex, int& speedCode) {
    unitFound = 0;
    both = 0;
    portIndex = 0;
    speedCode = 4;
    // While the reader still holds the ports nothing is probed: probing them would fight it.
    if (!ScanPause()) {
        EndScanPause();
        return false;
    }
    unitFound = ProbeUnitPort(kUnitPortName, kUnitBaud) ? 1 : 0;
    struct Candidate {
        const char16_t* port;
        DWORD baud;
        int index, code;
    };
    bool found = false;
    if (!unitFound) {
        for (const Candidate& c : {Candidate{u"COM1:", 4800, 0, 1}, Candidate{u"COM1:", 9600, 0, 2}}) {
            if (ProbeNmeaPort(c.port, c.baud)) {
                portIndex = c.index;
                speedCode = c.code;
                found = true;
                break;
            }
        }
    }
    if (!found) {
        const Candidate order[] = {
            {u"COM2:", 4800, 1, 1},  {u"COM4:", 4800, 3, 1},  {u"COM4:", 57600, 3, 5}, {u"COM5:", 4800, 4, 1},
            {u"COM5:", 57600, 4, 5}, {u"COM6:", 4800, 5, 1},  {u"COM6:", 57600, 5, 5}, {u"COM5:", 38400, 4, 4},
            {u"COM6:", 38400, 5, 4}, {u"COM8:", 38400, 7, 4},
        };
        for (const Candidate& c : order) {
            if (m_stop.IsSet()) break;
            if (ProbeNmeaPort(c.port, c.baud)) {
                portIndex = c.index;
                speedCode = c.code;
                both = unitFound;
                found = true;
                break;
            }
        }
    }
    EndScanPause();
    return found || unitFound;
}

bool CPositionWorkers::ProbeNmeaPort(const char16_t* name, DWORD baud) {
    CSerialPort port;
    if (!m_stop.Sleep(500)) return false;
    if (!port.Open(name, GENERIC_READ | GENERIC_WRITE) || !port.Setup(baud, 8, 0, 0)) return false;
    if (!m_stop.Sleep(1500)) return false;
    char bytes[kReadSize + 1] = {};
    const int n = port.Read(bytes, kReadSize + 1);
    port.Close();
    if (n < 10) return false;
    // A "$" followed by "GP" or "TO", all before the last two bytes read.
    for (int i = 0; i + 2 < n; ++i)
        if (bytes[i] == '$' && ((bytes[i + 1] == 'G' && bytes[i + 2] == 'P') || (bytes[i + 1] == 'T' && bytes[i + 2] == 'O')))
            return true;
    return false;
}

bool CPositionWorkers::ProbeUnitPort(const char16_t* name, DWORD baud) {
    CSerialPort port;
    if (!m_stop.Sleep(500)) return false;
    if (!port.Open(name, GENERIC_READ | GENERIC_WRITE) || !port.Setup(baud, 8, 0, 0)) return false;
    port.Write(zarn::kProbeFrame, sizeof zarn::kProbeFrame);
    if (!m_stop.Sleep(1500)) return false;
    std::uint8_t bytes[kReadSize + 1] = {};
    const int n = port.Read(bytes, kReadSize + 1);
    port.Close();
    if (n < 2) return false;
    for (int i = 0; i + 1 < n; ++i)
        if (bytes[i] == 0x02 && bytes[i + 1] == 'A') return true;
    return false;
}

bool CPositionWorkers::ProbeNmeaPortAndResume(const char16_t* name, DWORD baud) {
    const bool yes = ProbeNmeaPort(name, baud);
    EndScanPause();
    return yes;
}

bool CPositionWorkers::ProbeUnitPortAndResume(const char16_t* name, DWORD baud) {
    const bool yes = ProbeUnitPort(name, baud);
    EndScanPause();
    return yes;
}

bool CPositionWorkers::PauseForDownload(DWORD ms) {
    ResetEvent(m_download.resume);
    ResetEvent(m_download.done);
    m_download.request = true;
    const bool parked = !m_readerRunning || m_stop.Wait(m_download.done, ms) == WAIT_OBJECT_0;
    if (!parked) m_download.request = false;
    return parked;
}

void CPositionWorkers::ResumeAfterDownload() {
    m_download.request = false;
    SetEvent(m_download.resume);
}

// ---- companion loops ----

int CPositionWorkers::VoiceGuideThread() {
    while (PassGate() && m_stop.Sleep(WorkerPeriodMs(WorkerPeriod::Voice))) {
        if (m_shell.IsGuiding() || m_shell.IsSimulating()) m_shell.ProcessVoice();
    }
    return 0;
}

int CPositionWorkers::TrafficRerouteThread() {
    while (PassGate()) {
        if (!m_shell.IsSimulating()) TrafficRerouteCycle();
        if (!m_stop.Sleep(WorkerPeriodMs(WorkerPeriod::TrafficReroute))) break;
    }
    return 0;
}

void CPositionWorkers::TrafficRerouteCycle() {
    const RerouteWatchState s = m_shell.RerouteState();
    // 1. The re-route countdown of guidance.
    if (s.hasRoute && !s.searchRunning && s.rerouteAllowed && s.fixPresent && !s.pedestrian && s.driveMode == 1 &&
        m_shell.Setting(17)) {
        if (s.guiding) {
            if (s.countdown >= 51) {
                m_shell.RerouteWorker();
            } else if (s.countdown >= 0 && s.routePointsPassed >= 1 && s.routePosition != m_lastRoutePosition) {
                m_shell.SetRerouteCountdown(s.guidanceCountdown);
                m_lastRoutePosition = s.routePosition;
            }
        } else if (s.countdown >= 0) {
            m_shell.SetRerouteCountdown(0);
        }
    }
    // 2. Without broadcast traffic, only fresh downloaded traffic in use goes on.
    if (!s.broadcastTrafficOn && (!s.trafficInfoValid || !m_shell.Setting(14))) return;
    // 3. The announcement, once per interval, while the route is 0 to 2 minutes into it.
    const int interval = m_shell.Setting(16);
    if (!(s.routeUsesTraffic && s.rerouteAllowed && s.fixPresent && !s.pedestrian && s.driveMode == 1 && interval > 0))
        return;
    const std::int64_t m = s.minutesSinceRoute;
    if (m < interval || m % interval >= 3) {
        m_announced = false;
        return;
    }
    if (s.trafficState != 3 || s.guiding || m_announced || s.researchRunning) return;
    if (!m_shell.Setting(15)) {
        m_shell.PlayMessage(20);
        m_announced = true;
    } else if (s.rerouteDistance >= 1000) {
        m_shell.PlayMessage(20);
        m_shell.StartRerouteThread();
        m_announced = true;
    }
}

int CPositionWorkers::RouteMonitorThread() {
    while (PassGate()) {
        if (!m_shell.IsSimulating()) RouteMonitorCycle();
        if (!m_stop.Sleep(WorkerPeriodMs(WorkerPeriod::RouteMonitor))) break;
    }
    return 0;
}

void CPositionWorkers::RouteMonitorCycle() {
    const RouteMonitorState s = m_shell.MonitorState();
    if (s.roadId != m_lastRoad || (s.broadcastReceiverOn && s.broadcastConnected != m_lastConnection)) {
        m_lastRoad = s.roadId;
        if (s.broadcastReceiverOn) m_lastConnection = s.broadcastConnected;
    }
    if (s.highwayPanelActive) m_shell.UpdateHighwayPanel();
    if (m_shell.TakeNewMatchedFix()) {
        if (s.offRouteCount >= 3) {
            m_shell.SetOffRoute(true);
            m_shell.UpdateHighwayPanel();
            m_shell.FollowVehicle();
        } else if (m_shell.IsOffRoute() && s.offRouteCount >= 2) {
            m_shell.UpdateHighwayPanel();
            m_shell.FollowVehicle();
        } else if (s.followOption && s.guidedOrSimulated && s.vehicleValid &&
                   (!m_havePosition || s.vehicleX != m_lastX || s.vehicleY != m_lastY)) {
            m_lastX = s.vehicleX;
            m_lastY = s.vehicleY;
            m_havePosition = true;
            m_shell.SetHeadingSector((s.heading / 10) % 36);
            m_shell.MoveMapTo(s.vehicleX, s.vehicleY, s.rotateMap ? s.heading : 0);
            m_shell.StopAutoReturn();
        }
    } else if (s.displayOptionOn && ++m_cyclesWithoutFix % 20 == 0) {
        m_shell.RedrawMap();
    }
    if (m_shell.IsOffRoute() && s.gpsState == 0) {
        m_shell.SetGpsState(0);
        m_shell.UpdateHighwayPanel();
        m_shell.FollowVehicle();
        m_shell.SetOffRoute(false);
    }
}

// ---- threads and shutdown ----

template <class Loop>
void CPositionWorkers::Launch(const std::string& name, int priority, Loop loop) {
    m_priorities.emplace_back(name, priority);
    SimulatedClock* clock = HostedClock();
    if (clock) clock->AddWorker();
    m_threads.emplace_back([this, loop, clock] {
        (this->*loop)();
        if (clock) clock->RemoveWorker();
    });
}

void CPositionWorkers::StartThreads() {
    if (!m_threads.empty()) return;
    m_stop.Clear();
    Launch("voice", THREAD_PRIORITY_TIME_CRITICAL, &CPositionWorkers::VoiceGuideThread);
    Launch("gps", THREAD_PRIORITY_NORMAL, &CPositionWorkers::GpsReaderThread);
    Launch("reroute", THREAD_PRIORITY_BELOW_NORMAL, &CPositionWorkers::TrafficRerouteThread);
    Launch("monitor", THREAD_PRIORITY_BELOW_NORMAL, &CPositionWorkers::RouteMonitorThread);
}

void CPositionWorkers::StopThreads() {
    m_stop.Signal();
    for (std::thread& t : m_threads)
        if (t.joinable()) t.join();
    m_threads.clear();
}

int CPositionWorkers::ThreadPriority(const std::string& name) const {
    for (const auto& [n, p] : m_priorities)
        if (n == name) return p;
    return THREAD_PRIORITY_ERROR_RETURN;
}

void CPositionWorkers::ShutdownDevices() {
    m_shell.RestoreBrowserSetting();
    m_shell.SetDeviceActive(0);
    m_shell.SaveTrail();
    // The loops stop before the ports close: the reader may still be reading them.
    StopThreads();
    CloseReceiverPorts();
    m_shell.ReleaseRouteManager();
    if (m_broadcastStarted) {
        m_shell.CloseBroadcastStores();
        m_broadcastStarted = false;
    }
    m_shell.DestroyBroadcastSingletons();
}
