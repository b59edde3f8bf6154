// What the GPS reader and its companion loops ask of the application shell's main view. The
// view implements it; the loops never touch a window themselves: every operation that draws or
// moves the map is expected to post its work to the user-interface thread.
#pragma once

#include "position/GpsReceiver.h"

#include <cstdint>
#include <string>

// The route and traffic state the traffic re-route watch reads each cycle.
struct RerouteWatchState {
    bool hasRoute = false;
    bool searchRunning = false;  // the route manager's search-running byte is 1
    bool rerouteAllowed = false; // re-searching is allowed
    bool fixPresent = false;
    bool pedestrian = false;
    int driveMode = 0;
    bool guiding = false; // guidance active
    int countdown = -1;   // the view's re-route countdown (-1: not running)
    int guidanceCountdown = 0; // the value the guidance manager proposes
    int routePointsPassed = 0;
    int routePosition = 0;  // the current route position (item index)
    bool broadcastTrafficOn = false;
    bool trafficInfoValid = false;
    bool routeUsesTraffic = false;
    std::int64_t minutesSinceRoute = 0; // whole minutes since the route was made
    int trafficState = 0;
    bool researchRunning = false;
    int rerouteDistance = 0;
};

// What the route monitor reads each cycle.
struct RouteMonitorState {
    int roadId = -1;              // road identifier of the current match
    int broadcastConnected = 0;   // the receiver unit's connection
    bool broadcastReceiverOn = false;
    bool highwayPanelActive = false;
    int offRouteCount = 0;        // off-route fixes in a row
    bool followOption = false;
    bool guidedOrSimulated = false;
    bool vehicleValid = false;
    std::int32_t vehicleX = 0, vehicleY = 0;
    int heading = 0;              // degrees
    bool rotateMap = false;
    bool displayOptionOn = false; // any of the four map-display options
    int gpsState = 0;
};

class IPositionShell {
public:
    virtual ~IPositionShell() = default;

    // ---- configuration ----
    virtual int Setting(int index) = 0;
    virtual int ReceiverMode() = 0;                   // 1 unit, 2 NMEA GPS, 3 both
    virtual std::u16string GpsPortName() = 0;         // "COMn:"
    virtual std::uint32_t GpsBaudRate() = 0;
    virtual bool UsesHighSpeedPort() = 0;
    virtual const char16_t* DataFolder() = 0;

    // ---- the GPS reader ----
    virtual bool OpenNetwork() = 0;                   // the position-on-road engine's network
    virtual void OnGpsFix(const GpsPosRecord& fix) = 0; // the per-fix work
    virtual int FixQuality(const GpsPosRecord& fix) = 0;
    virtual int FixInterval() = 0;                    // seconds, as a signed byte
    virtual void SetGpsState(int state) = 0;
    virtual void SyncGpsClock(const GpsPosRecord& fix) = 0;
    virtual void SetStatusText(const char16_t* text) = 0;
    virtual void SetEventText(const char16_t* text) = 0;
    virtual bool IsFollowing() = 0;
    virtual bool IsSimulating() = 0;
    // The GPS information dialog: link state (0 none, 1 open, 2 open without fix, 3 bytes),
    // whether the unit mode is on, and its satellite and position feed (only while it is open).
    virtual void SetLinkState(int state) = 0;
    virtual void SetUnitMode(bool unit) = 0;
    virtual void FeedGpsDialog(const GpsSatRecord& satellites, const GpsPosRecord& fix) = 0;
    virtual void UpdateLogPanelMemory() = 0;
    // The link on `port` was reset: the current match result is all 0xFF, its flags cleared,
    // highlight cleared, the map redrawn and the auto-return countdown started.
    virtual void OnLinkReset(const char16_t* port) = 0;
    virtual void OpenBroadcastStores() = 0;
    virtual void CloseBroadcastStores() = 0;
    virtual void SetBroadcastConnected(int connected) = 0;
    virtual void SetBroadcastGpsScore(int score) = 0;
    // Raw-data log.
    virtual bool LoggingWanted() = 0;
    virtual bool StartLog() = 0;
    virtual void StopLog() = 0;
    virtual void AppendLog(const char* bytes, int count) = 0;
    // Injects the silent key-up of key 0x87 that keeps the handheld awake.
    virtual void KeepAwake() = 0;

    // ---- the voice loop ----
    virtual bool IsGuiding() = 0;
    virtual void ProcessVoice() = 0;

    // ---- the traffic re-route watch ----
    virtual RerouteWatchState RerouteState() = 0;
    virtual void SetRerouteCountdown(int value) = 0;
    virtual void RerouteWorker() = 0;
    // The re-route work when the received traffic asks for it (the shell may show that it runs
    // for the traffic); by default the same work.
    virtual void TrafficRerouteWorker() { RerouteWorker(); }
    virtual void PlayMessage(int message) = 0;
    virtual void StartRerouteThread() = 0;

    // ---- the route monitor ----
    virtual RouteMonitorState MonitorState() = 0;
    virtual bool TakeNewMatchedFix() = 0; // true once per new matched fix
    virtual void SetOffRoute(bool offRoute) = 0;
    virtual bool IsOffRoute() = 0;
    virtual void UpdateHighwayPanel() = 0;
    virtual void FollowVehicle() = 0;
    virtual void MoveMapTo(std::int32_t x, std::int32_t y, int heading) = 0;
    virtual void SetHeadingSector(int sector) = 0;
    virtual void StopAutoReturn() = 0;
    virtual void RedrawMap() = 0;

    // ---- shutdown ----
    virtual void RestoreBrowserSetting() = 0;
    virtual void SetDeviceActive(int active) = 0;
    virtual void SaveTrail() = 0; // "\My Documents\Velko\locus.bin"
    virtual void ReleaseRouteManager() = 0;
    virtual void DestroyBroadcastSingletons() = 0;
};
