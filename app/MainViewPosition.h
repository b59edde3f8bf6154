// The main view's answers to the GPS reader and its companion loops, as the view's position
// shell (CViewPositionShell) passes them on. The window operations reach here on the
// user-interface thread (the shell posts them) and go to the view; the rest run on the workers'
// threads and answer from state that is safe to read there: the per-fix work, the matching
// engines, the guiding flag, the new-matched-fix mark, the re-route watch's and the route
// monitor's state (the view's atomics and its route lock) are the view's.
#pragma once

#include "position/PositionShell.h"

class CMainView;

class CMainViewPosition : public IPositionShell {
public:
    explicit CMainViewPosition(CMainView& view) : m_view(view) {}

    // ---- configuration (the position shell answers these from the configuration store) ----
    int Setting(int) override { return 0; }
    int ReceiverMode() override { return 2; }
    std::u16string GpsPortName() override { return u"COM1:"; }
    std::uint32_t GpsBaudRate() override { return 4800; }
    bool UsesHighSpeedPort() override { return false; }
    const char16_t* DataFolder() override { return u""; }

    // ---- the GPS reader (workers' threads) ----
    bool OpenNetwork() override;
    void OnGpsFix(const GpsPosRecord& fix) override;
    int FixQuality(const GpsPosRecord& fix) override;
    int FixInterval() override;
    bool IsFollowing() override;
    bool IsSimulating() override;
    void OpenBroadcastStores() override;
    void CloseBroadcastStores() override;
    void SetBroadcastConnected(int connected) override;
    void SetBroadcastGpsScore(int score) override;
    // The raw-data log: the panel's wish, and the view's log file (opened, appended to and
    // closed under the file's one lock).
    bool LoggingWanted() override;
    bool StartLog() override;
    void StopLog() override;
    void AppendLog(const char* bytes, int count) override;
    void KeepAwake() override {}

    // ---- window work (user-interface thread) ----
    void SetGpsState(int state) override;
    void SyncGpsClock(const GpsPosRecord& fix) override;
    void SetStatusText(const char16_t* text) override;
    void SetEventText(const char16_t* text) override;
    void SetLinkState(int state) override;
    void SetUnitMode(bool unit) override;
    void FeedGpsDialog(const GpsSatRecord& satellites, const GpsPosRecord& fix) override;
    void UpdateLogPanelMemory() override;
    void OnLinkReset(const char16_t*) override;

    // ---- the voice loop ----
    bool IsGuiding() override;
    void ProcessVoice() override;

    // ---- the traffic re-route watch ----
    RerouteWatchState RerouteState() override;
    void SetRerouteCountdown(int value) override;
    void RerouteWorker() override;
    void TrafficRerouteWorker() override;
    void PlayMessage(int message) override;
    void StartRerouteThread() override {}

    // ---- the route monitor ----
    RouteMonitorState MonitorState() override;
    bool TakeNewMatchedFix() override;
    void SetOffRoute(bool offRoute) override;
    bool IsOffRoute() override;
    void UpdateHighwayPanel() override;
    void FollowVehicle() override;
    void MoveMapTo(std::int32_t x, std::int32_t y, int heading) override;
    void SetHeadingSector(int sector) override;
    void StopAutoReturn() override;
    void RedrawMap() override;

    // ---- shutdown (user-interface thread) ----
    void RestoreBrowserSetting() override;
    void SetDeviceActive(int active) override;
    void SaveTrail() override;
    void ReleaseRouteManager() override;
    void DestroyBroadcastSingletons() override;

private:
    CMainView& m_view;
};
