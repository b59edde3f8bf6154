// The services the GPS reader and its companion loops ask of the main view, as the workers get
// them. The configuration answers come from the configuration store, the keep-awake key goes to
// the window system (which takes it from any thread), the re-route worker runs on the view's
// thread table; everything that draws, moves the map or touches a window (the GPS icon and
// information dialog, texts, the highway panel, following, map moves, redraws) is posted to the
// user-interface thread and reaches the view there. The rest reaches the view on the calling
// worker's thread, so the view answers those from state it shares safely.
//
// Also the start of the view's seven workers in their order.
//
// Wiring in the view: the view's window procedure hands every message to
// CUiWorkQueue::HandleMessage first (the queue attached to the view's window); the shell is made
// before the CPositionWorkers that call it, the CViewThreads after them (it shares their stop
// signal) and destroyed first, so every worker is joined before the loops' owner goes; the queue
// is detached before the shell goes, dropping work that still waits.
#pragma once

#include "position/PositionShell.h"

#include <functional>

class CNaviConfig;
class CPositionWorkers;
class CTrafficDownload;
class CUiWorkQueue;
class CViewThreads;

class CViewPositionShell : public IPositionShell {
public:
    // view answers on the user-interface thread for the window operations and on the workers'
    // threads for the others; its configuration operations are not used.
    CViewPositionShell(IPositionShell& view, CNaviConfig& config, CUiWorkQueue& ui);

    // Starts on the thread table (kept for the re-route worker), in order: voice, GPS reader, broadcast reception, traffic re-route, route monitor,
    // port pacing, traffic database update. The four position loops pass the table's pause gate;
    // receptionCycle runs on each wake of the reception worker; without a traffic download the
    // update worker only waits for the stop.
    void StartThreads(CViewThreads& threads, CPositionWorkers& workers, CTrafficDownload* download, std::function<void()> receptionCycle);

    // The exit: the workers stopped and joined first (the re-route worker before the others),
    // then the reader's shutdown (browser setting, trail, ports, route manager, broadcast
    // stores). Runs once, however the program ends; false when it had run already.
    bool ShutdownDevices(CPositionWorkers& workers);
    bool IsShutDown() const { return m_shutDown; }

    // ---- configuration ----
    int Setting(int index) override;
    int ReceiverMode() override;
    std::u16string GpsPortName() override;
    std::uint32_t GpsBaudRate() override;
    bool UsesHighSpeedPort() override;
    const char16_t* DataFolder() override;

    // ---- the GPS reader ----
    bool OpenNetwork() override { return m_view.OpenNetwork(); }
    void OnGpsFix(const GpsPosRecord& fix) override { m_view.OnGpsFix(fix); }
    int FixQuality(const GpsPosRecord& fix) override { return m_view.FixQuality(fix); }
    int FixInterval() override { return m_view.FixInterval(); }
    void SetGpsState(int state) override;
    void SyncGpsClock(const GpsPosRecord& fix) override;
    void SetStatusText(const char16_t* text) override;
    void SetEventText(const char16_t* text) override;
    bool IsFollowing() override { return m_view.IsFollowing(); }
    bool IsSimulating() override { return m_view.IsSimulating(); }
    void SetLinkState(int state) override;
    void SetUnitMode(bool unit) override;
    void FeedGpsDialog(const GpsSatRecord& satellites, const GpsPosRecord& fix) override;
    void UpdateLogPanelMemory() override;
    void OnLinkReset(const char16_t* port) override;
    void OpenBroadcastStores() override { m_view.OpenBroadcastStores(); }
    void CloseBroadcastStores() override { m_view.CloseBroadcastStores(); }
    void SetBroadcastConnected(int connected) override { m_view.SetBroadcastConnected(connected); }
    void SetBroadcastGpsScore(int score) override { m_view.SetBroadcastGpsScore(score); }
    bool LoggingWanted() override { return m_view.LoggingWanted(); }
    bool StartLog() override { return m_view.StartLog(); }
    void StopLog() override { m_view.StopLog(); }
    void AppendLog(const char* bytes, int count) override { m_view.AppendLog(bytes, count); }
    void KeepAwake() override;

    // ---- the voice loop ----
    bool IsGuiding() override { return m_view.IsGuiding(); }
    void ProcessVoice() override { m_view.ProcessVoice(); }

    // ---- the traffic re-route watch ----
    RerouteWatchState RerouteState() override { return m_view.RerouteState(); }
    void SetRerouteCountdown(int value) override { m_view.SetRerouteCountdown(value); }
    void RerouteWorker() override { m_view.RerouteWorker(); }
    void TrafficRerouteWorker() override { m_view.TrafficRerouteWorker(); }
    void PlayMessage(int message) override { m_view.PlayMessage(message); }
    // With automatic re-search on (setting 15): the view's re-route work, once, on the table's
    // re-route worker (nothing before the threads were started).
    void StartRerouteThread() override;

    // ---- the route monitor ----
    RouteMonitorState MonitorState() override { return m_view.MonitorState(); }
    bool TakeNewMatchedFix() override { return m_view.TakeNewMatchedFix(); }
    void SetOffRoute(bool offRoute) override { m_view.SetOffRoute(offRoute); }
    bool IsOffRoute() override { return m_view.IsOffRoute(); }
    void UpdateHighwayPanel() override;
    void FollowVehicle() override;
    void MoveMapTo(std::int32_t x, std::int32_t y, int heading) override;
    void SetHeadingSector(int sector) override;
    void StopAutoReturn() override;
    void RedrawMap() override;

    // ---- shutdown (on the user-interface thread) ----
    void RestoreBrowserSetting() override { m_view.RestoreBrowserSetting(); }
    void SetDeviceActive(int active) override { m_view.SetDeviceActive(active); }
    void SaveTrail() override { m_view.SaveTrail(); }
    void ReleaseRouteManager() override { m_view.ReleaseRouteManager(); }
    void DestroyBroadcastSingletons() override { m_view.DestroyBroadcastSingletons(); }

private:
    IPositionShell& m_view;
    CNaviConfig& m_config;
    CUiWorkQueue& m_ui;
    CViewThreads* m_threads = nullptr;
    bool m_shutDown = false;
};
