#include "app/ViewPositionShell.h"

#include "app/TrafficDownload.h"
#include "app/UiWorkQueue.h"
#include "app/ViewThreads.h"
#include "config/NaviConfig.h"
#include "platform/window/Window.h"
#include "position/PositionWorkers.h"

namespace {

// Keys of the window work that a newer post supersedes.
enum PostKey {
    kGpsState = 1,
    kStatusText,
    kEventText,
    kLinkState,
    kUnitMode,
    kGpsDialog,
    kLogPanel,
    kHighwayPanel,
    kFollow,
    kMoveMap,
    kHeadingSector,
    kAutoReturn,
    kRedraw,
};

constexpr BYTE kKeepAwakeKey = 0x87; // F24

} // namespace

CViewPositionShell::CViewPositionShell(IPositionShell& view, CNaviConfig& config, CUiWorkQueue& ui)
    : m_view(view), m_config(config), m_ui(ui) {}

void CViewPositionShell::StartThreads(CViewThreads& threads, CPositionWorkers& workers, CTrafficDownload* download,
                                      std::function<void()> receptionCycle) {
    m_threads = &threads;
    workers.SetPauseGate(&threads.Gate());
    CViewThreads& t = threads;
    t.Start(ViewWorker::Voice, THREAD_PRIORITY_TIME_CRITICAL, [&workers] { workers.VoiceGuideThread(); });
    t.Start(ViewWorker::GpsReader, THREAD_PRIORITY_NORMAL, [&workers] { workers.GpsReaderThread(); });
    t.Start(ViewWorker::Reception, THREAD_PRIORITY_BELOW_NORMAL,
            [&t, cycle = std::move(receptionCycle)] { t.ReceptionLoop(cycle); });
    t.Start(ViewWorker::TrafficReroute, THREAD_PRIORITY_BELOW_NORMAL, [&workers] { workers.TrafficRerouteThread(); });
    t.Start(ViewWorker::RouteMonitor, THREAD_PRIORITY_BELOW_NORMAL, [&workers] { workers.RouteMonitorThread(); });
    // The pacing and update workers keep the handheld's default priority.
    t.Start(ViewWorker::Pacing, THREAD_PRIORITY_NORMAL,
            [&t, this] { t.PortPacingLoop([this] { return m_config.UsesHighSpeedPort(); }); });
    t.Start(ViewWorker::TrafficDb, THREAD_PRIORITY_NORMAL, [&t, download] {
        if (download)
            download->TrafficDbUpdateThread(t.Stop(), &t.Gate());
        else
            while (t.Gate().Pass(&t.Stop()) && t.Stop().Sleep(CTrafficDownload::kUpdatePeriodMs)) {
            }
    });
}

bool CViewPositionShell::ShutdownDevices(CPositionWorkers& workers) {
    if (m_shutDown) return false;
    m_shutDown = true;
    if (m_threads) m_threads->StopThreads();
    workers.ShutdownDevices();
    return true;
}

// ---- configuration ----

int CViewPositionShell::Setting(int index) {
    return m_config.GetValue(index);
}

int CViewPositionShell::ReceiverMode() {
    return m_config.GetReceiverMode();
}

std::u16string CViewPositionShell::GpsPortName() {
    return std::u16string(static_cast<const char16_t*>(m_config.GetComPortName()));
}

std::uint32_t CViewPositionShell::GpsBaudRate() {
    return static_cast<std::uint32_t>(m_config.GetBaudRate());
}

bool CViewPositionShell::UsesHighSpeedPort() {
    return m_config.UsesHighSpeedPort();
}

const char16_t* CViewPositionShell::DataFolder() {
    return m_config.GetDataFolder();
}

// ---- window work, posted ----

void CViewPositionShell::SetGpsState(int state) {
    m_ui.Post(kGpsState, [this, state] { m_view.SetGpsState(state); });
}

void CViewPositionShell::SyncGpsClock(const GpsPosRecord& fix) {
    m_ui.Post([this, fix] { m_view.SyncGpsClock(fix); });
}

void CViewPositionShell::SetStatusText(const char16_t* text) {
    m_ui.Post(kStatusText, [this, copy = std::u16string(text ? text : u"")] { m_view.SetStatusText(copy.c_str()); });
}

void CViewPositionShell::SetEventText(const char16_t* text) {
    m_ui.Post(kEventText, [this, copy = std::u16string(text ? text : u"")] { m_view.SetEventText(copy.c_str()); });
}

void CViewPositionShell::SetLinkState(int state) {
    m_ui.Post(kLinkState, [this, state] { m_view.SetLinkState(state); });
}

void CViewPositionShell::SetUnitMode(bool unit) {
    m_ui.Post(kUnitMode, [this, unit] { m_view.SetUnitMode(unit); });
}

void CViewPositionShell::FeedGpsDialog(const GpsSatRecord& satellites, const GpsPosRecord& fix) {
    m_ui.Post(kGpsDialog, [this, satellites, fix] { m_view.FeedGpsDialog(satellites, fix); });
}

void CViewPositionShell::UpdateLogPanelMemory() {
    m_ui.Post(kLogPanel, [this] { m_view.UpdateLogPanelMemory(); });
}

void CViewPositionShell::OnLinkReset(const char16_t* port) {
    m_ui.Post([this, copy = std::u16string(port ? port : u"")] { m_view.OnLinkReset(copy.c_str()); });
}

void CViewPositionShell::UpdateHighwayPanel() {
    m_ui.Post(kHighwayPanel, [this] { m_view.UpdateHighwayPanel(); });
}

void CViewPositionShell::FollowVehicle() {
    m_ui.Post(kFollow, [this] { m_view.FollowVehicle(); });
}

void CViewPositionShell::MoveMapTo(std::int32_t x, std::int32_t y, int heading) {
    m_ui.Post(kMoveMap, [this, x, y, heading] { m_view.MoveMapTo(x, y, heading); });
}

void CViewPositionShell::SetHeadingSector(int sector) {
    m_ui.Post(kHeadingSector, [this, sector] { m_view.SetHeadingSector(sector); });
}

void CViewPositionShell::StopAutoReturn() {
    m_ui.Post(kAutoReturn, [this] { m_view.StopAutoReturn(); });
}

void CViewPositionShell::RedrawMap() {
    m_ui.Post(kRedraw, [this] { m_view.RedrawMap(); });
}

// ---- the rest ----

void CViewPositionShell::KeepAwake() {
    keybd_event(kKeepAwakeKey, 0, KEYEVENTF_KEYUP | KEYEVENTF_SILENT, 0);
}

void CViewPositionShell::StartRerouteThread() {
    if (!m_threads || !m_config.GetValue(15)) return;
    // The traffic watch asks for it: a re-search for the received traffic.
    m_threads->StartReroute([this] { m_view.TrafficRerouteWorker(); });
}
