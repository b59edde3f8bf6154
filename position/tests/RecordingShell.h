// A main view for the GPS loops' tests: it answers from settable values and records every call
// in order, from whichever thread it comes.
#pragma once

#include "platform/base/Text.h"
#include "position/PositionShell.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class RecordingShell : public IPositionShell {
public:
    // ---- what the shell answers ----
    std::map<int, int> settings;
    std::atomic<int> mode{2};
    std::u16string portName = u"COM2:";
    std::atomic<std::uint32_t> baud{4800};
    std::atomic<bool> highSpeed{false};
    std::atomic<int> quality{77};
    std::atomic<int> interval{1};
    std::atomic<bool> following{true};
    std::atomic<bool> simulating{false};
    std::atomic<bool> guiding{false};
    std::atomic<bool> networkOpens{true};
    RerouteWatchState reroute;
    RouteMonitorState monitor;
    std::atomic<int> newFixes{0};
    std::atomic<bool> offRoute{false};

    // ---- what was called ----
    std::vector<std::string> Events() {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    int Count(const std::string& event) {
        std::lock_guard lock(m_mutex);
        return static_cast<int>(std::count(m_events.begin(), m_events.end(), event));
    }
    int CountPrefix(const std::string& prefix) {
        std::lock_guard lock(m_mutex);
        return static_cast<int>(std::count_if(m_events.begin(), m_events.end(),
                                              [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
    }
    std::string Last(const std::string& prefix) {
        std::lock_guard lock(m_mutex);
        for (auto it = m_events.rbegin(); it != m_events.rend(); ++it)
            if (it->rfind(prefix, 0) == 0) return *it;
        return "";
    }
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_events.clear();
    }
    std::vector<GpsPosRecord> Fixes() {
        std::lock_guard lock(m_mutex);
        return m_fixes;
    }

    int Setting(int index) override {
        std::lock_guard lock(m_mutex);
        auto it = settings.find(index);
        return it == settings.end() ? 0 : it->second;
    }
    int ReceiverMode() override { return mode; }
    std::u16string GpsPortName() override { return portName; }
    std::uint32_t GpsBaudRate() override { return baud; }
    bool UsesHighSpeedPort() override { return highSpeed; }
    const char16_t* DataFolder() override { return u"\\MapData"; }
    bool OpenNetwork() override { return networkOpens; }
    void OnGpsFix(const GpsPosRecord& fix) override {
        std::lock_guard lock(m_mutex);
        m_fixes.push_back(fix);
        m_events.push_back("fix");
    }
    int FixQuality(const GpsPosRecord&) override { return quality; }
    int FixInterval() override { return interval; }
    void SetGpsState(int state) override { Log("state " + std::to_string(state)); }
    void SyncGpsClock(const GpsPosRecord&) override { Log("clock"); }
    void SetStatusText(const char16_t* text) override { Log("status " + Utf16ToUtf8(text)); }
    void SetEventText(const char16_t* text) override { Log("event " + Utf16ToUtf8(text)); }
    bool IsFollowing() override { return following; }
    bool IsSimulating() override { return simulating; }
    void SetLinkState(int state) override { Log("link " + std::to_string(state)); }
    void SetUnitMode(bool unit) override { Log(unit ? "unit mode" : "gps mode"); }
    void FeedGpsDialog(const GpsSatRecord&, const GpsPosRecord&) override { Log("dialog"); }
    void UpdateLogPanelMemory() override { Log("memory"); }
    void OnLinkReset(const char16_t* port) override { Log("reset " + Utf16ToUtf8(port)); }
    void OpenBroadcastStores() override { Log("stores open"); }
    void CloseBroadcastStores() override { Log("stores closed"); }
    void SetBroadcastConnected(int c) override { Log("connected " + std::to_string(c)); }
    void SetBroadcastGpsScore(int s) override { Log("score " + std::to_string(s)); }
    bool LoggingWanted() override { return false; }
    bool StartLog() override { return false; }
    void StopLog() override {}
    void AppendLog(const char*, int) override {}
    void KeepAwake() override { Log("key 0x87"); }
    bool IsGuiding() override { return guiding; }
    void ProcessVoice() override { Log("voice"); }
    RerouteWatchState RerouteState() override {
        std::lock_guard lock(m_mutex);
        return reroute;
    }
    void SetRerouteCountdown(int v) override {
        std::lock_guard lock(m_mutex);
        reroute.countdown = v;
        m_events.push_back("countdown " + std::to_string(v));
    }
    void RerouteWorker() override { Log("reroute now"); }
    void PlayMessage(int m) override { Log("message " + std::to_string(m)); }
    void StartRerouteThread() override { Log("reroute thread"); }
    RouteMonitorState MonitorState() override {
        std::lock_guard lock(m_mutex);
        return monitor;
    }
    bool TakeNewMatchedFix() override {
        int n = newFixes.load();
        while (n > 0 && !newFixes.compare_exchange_weak(n, n - 1)) {
        }
        return n > 0;
    }
    void SetOffRoute(bool v) override {
        offRoute = v;
        Log(v ? "off route" : "on route");
    }
    bool IsOffRoute() override { return offRoute; }
    void UpdateHighwayPanel() override { Log("panel"); }
    void FollowVehicle() override { Log("follow"); }
    void MoveMapTo(std::int32_t x, std::int32_t y, int heading) override {
        Log("move " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(heading));
    }
    void SetHeadingSector(int s) override { Log("sector " + std::to_string(s)); }
    void StopAutoReturn() override { Log("stop auto-return"); }
    void RedrawMap() override { Log("redraw"); }
    void RestoreBrowserSetting() override { Log("browser restored"); }
    void SetDeviceActive(int a) override { Log("device active " + std::to_string(a)); }
    void SaveTrail() override { Log("trail saved"); }
    void ReleaseRouteManager() override { Log("route manager released"); }
    void DestroyBroadcastSingletons() override { Log("singletons destroyed"); }

    void Log(const std::string& e) {
        std::lock_guard lock(m_mutex);
        m_events.push_back(e);
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_events;
    std::vector<GpsPosRecord> m_fixes;
};
