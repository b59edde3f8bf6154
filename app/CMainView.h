// The single view of the main window and the hub of the running program. It owns the map window
// (child id 111), the main-screen overlay "NaviMain" drawn over it, the route manager, the area
// lookup and the driving trail, and it turns pen events on the map into level changes, map moves
// and main-screen commands. The map window calls back into it before painting (the day and night
// check), while painting (the overlay phases) and on every pen event; those callbacks reach the
// view through the process-wide view pointer.
//
// Everything here runs on the user-interface thread.
#pragma once

#include "admin/AdminSearch.h"
#include "app/MapDocState.h"
#include "mapview/MapWnd.h"
#include "platform/base/CString.h"
#include "platform/window/Afx.h"
#include "position/GpsReceiver.h"
#include "position/GuideInfo.h"
#include "route/RouteManager.h"
#include "search/NaviMediator.h"
#include "skinui/NaviCommand.h"
#include "skinui/NaviListener.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class CHighwayMode;
class CHighwayPanel;
class CGuideManager;
class CLocusRecorder;
class CMainViewHighway;
class CMainViewKeys;
class CViewKeys;
class CLockSet;
class CMainViewPosition;
class CPositionWorkers;
class CUiWorkQueue;
class CViewPositionShell;
class CViewThreads;
class CGpsInfoDlg;
class CNaviCommonDlg;
class CNaviConfig;
class NaviMainScreen;
class NaviMessageBox;

// The view's guidance manager is made by its first loading; the deleter lives with it.
struct CGuideManagerDeleter {
    void operator()(CGuideManager* guide) const;
};

class CMainView : public CView, public NaviListener, public NaviMediator {
    DECLARE_DYNCREATE(CMainView)
public:
    static constexpr int kMapWindowId = 111;
    static constexpr int kMaxLevel = 15;
    // Point-pick modes: the string-table id of the prompt of what the next map tap means.
    static constexpr int kPickZoomIn = 32823;
    static constexpr int kPickZoomOut = 32824;
    static constexpr int kPickMove = 32825;
    static constexpr int kPickStart = 32827;
    static constexpr int kPickWaypoint = 32828;
    static constexpr int kPickGoal = 32829;
    static constexpr int kPickMoveWaypoint = 61205;
    // A pen stroke longer than this (pixels, along x or y) is a swipe, not a tap.
    static constexpr int kSwipePixels = 50;
    static constexpr int kAutoReturnStopped = -100;
    // Overlay colours (COLORREF): the line to the goal and the pedestrian's line to the target.
    static constexpr COLORREF kGoalLineColour = 0x960000;
    static constexpr COLORREF kWalkLineColour = 0x009600;
    // The car image in heading-up and bird's-eye modes.
    static constexpr int kCarImageHeadingUp = 0;
    static constexpr int kCarImageBird = 38;
    static constexpr int kNoDirection = 36;
    static constexpr int kBirdDirection = 37;
    // The optional layers: nearby facilities by category 0-9, points of interest 0-6 (setting 3)
    // and the traffic-broadcast layers.
    static const char16_t* const kFacilityLayers[10];
    static const char16_t* const kPoiLayers[7];
    static const char16_t* const kTrafficLayers[4];

    CMainView();
    ~CMainView() override;

    // The view of the running program (null before construction and after destruction).
    static CMainView* Get();

    // ---- window and set-up ----
    void OnInitialUpdate() override;
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(CWnd* oldWnd) override;
    void OnKillFocus(CWnd* newWnd) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    // Creates the objects the view owns besides the map: the driving trail, the main screen with
    // its skin (folder "res" of the program folder) and its controls, the skinned message box and
    // the common dialog on the main screen's builder. Tearing down deletes them; twice is
    // harmless.
    void SetUpSkinnedUi();
    void TearDownSkinnedUi();
    // The document's drawing configuration and positions (the view reads them, and writes the
    // positions back); set from the document in OnInitialUpdate, or directly by a host.
    void SetDocState(CMapDocState* doc) { m_doc = doc; }
    CMapDocState* GetDocState() const { return m_doc; }
    // Opens the base-map layers of "para.bin" with their borders, then the nearby-facility,
    // point-of-interest and traffic layers. False (string 129 with the layer's name shown) when
    // a base-map layer cannot be opened.
    bool OpenMapLayers();
    // Gives the map window the symbol manager, colours and night hours, the level bars the level
    // table, and installs the map window's callbacks.
    void SetUpMapWindow();
    // The document's map level and vehicle taken into the view, the map shown at the document's
    // position and level, following the vehicle when the map stands on it.
    void OpenMapAtDocument();
    // Makes the GPS reader's services, in order: the work queue on the view's window, the
    // position shell, the position loops, the thread table on their stop signal; and the route
    // lock set. Later calls do nothing.
    void CreatePositionServices();
    // Starts the seven workers (after the first loading); nothing before CreatePositionServices.
    void StartThreads();
    bool ThreadsStarted() const;
    // The orderly stop of what the view runs: the workers stopped and joined, then the reader's
    // shutdown (trail saved, ports closed, route manager released). The first call does the
    // work, later calls nothing.
    void ShutdownDevices();
    bool IsShutDown() const { return m_shutDown; }
    void SaveTrail();
    // ---- the first loading's data steps ----
    // The route manager on the data folder's route data, then the data set's header. False, after
    // the header's message (stop icon), when the data set cannot be used.
    bool OpenRouteData(const CString& dataFolder);
    // The administrative-area tables of the folder "SearchDB"; on failure the folder is shown
    // and false returned (the start goes on).
    bool OpenAreaTable(const CString& dataFolder);
    // The guidance manager made and its data loaded (a failure is not fatal; the code returned).
    int LoadGuidanceData(const CString& dataFolder);
    // The route the user was on (the route table), taken into guidance; false when none.
    bool RestoreLastRoute();
    // The safe-driving and speed-warning options of the settings given to guidance.
    void ApplyGuidanceOptions();
    // The driving trail of the last run; false (an empty trail) when none can be read.
    bool LoadTrail();
    CGuideManager* GetGuideManager() const { return m_guide.get(); }
    int GetRouteDisplayState() const { return m_routeDisplayState; }
    DWORD GetHighwayBarStart() const { return m_highwayBarStart; }
    CLockSet* GetLockSet() const { return m_lockSet.get(); }
    CPositionWorkers* GetPositionWorkers() const { return m_workers.get(); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // ---- hardware keys ----
    // The application buttons are held while the view is active and setting 34 is on: taken as
    // hot keys of the view's window (or through GAPI input) with the process's key codes.
    void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
    void RegisterKeys();
    void ReleaseKeys();
    CViewKeys& GetKeys() { return *m_keys; }
    // Key function 1 to 17 (the hardware keys and "Mute"); other values do nothing.
    void RunKeyFunction(short function);
    int GetLastKeyFunction() const { return m_lastKeyFunction; }
    // Heading up while a key scroll starts: the map centred on the middle of the client area,
    // without the centre offset, turned to the heading.
    void FaceHeadingUp();
    // The map window's centre becomes the document's map position.
    void StoreMapCentre();

    // ---- highway panel ----
    // Shows the panel (its window made on first use) with the alert from the guidance record.
    void ShowHighwayPanel();
    // Whether the panel is to be shown; true whenever it sets the panel's shown flag.
    bool IsHighwayAlert();
    // On each fix (the route monitor posts it here): the panel filled or hidden, the turn and
    // speed zoom. Without an argument the view's last fix.
    void UpdateHighwayPanel(const GpsPosRecord& fix);
    void UpdateHighwayPanel() { UpdateHighwayPanel(m_fix); }
    CHighwayPanel* GetHighwayPanel() const { return m_highwayPanel.get(); }
    CHighwayMode* GetHighwayMode() const { return m_highwayMode.get(); }
    // The guidance record the panel is decided from, and the guidance states; set by the per-fix
    // work.
    const CGuideInfo& GetGuideInfo() const { return m_guideInfo; }
    void SetGuideInfo(const CGuideInfo& info) { m_guideInfo = info; }
    void SetGuidanceStarted(bool on) { m_guidanceStarted = on; }
    bool IsGuidanceStarted() const { return m_guidanceStarted; }
    void SetGuiding(bool on) { m_guiding = on; }
    bool IsGuiding() const { return m_guiding; }
    bool IsSimulating() const { return m_simulating; }
    void SetFixQuality(int quality) { m_fixQuality = quality; }
    int GetFixQuality() const { return m_fixValid ? m_fixQuality : 0; }

    // ---- colour schemes ----
    int ApplyDayNightColors();
    int UpdateDayNightColors();
    void ApplyColorScheme(const CString& fileName);
    bool IsNightScheme() const { return m_nightScheme; }
    int GetDisplayColorCount();

    // ---- map level, view mode, moves ----
    void SetMapLevel(int level, bool keepView = false);
    void ApplyCurrentLevel() { SetMapLevel(m_mapLevel, false); }
    void CycleViewMode();
    void ApplyViewMode(int mode);
    float GetLevelScale(int level) const;
    void MoveMapTo(std::int32_t x, std::int32_t y, int heading);
    bool StepLevel(int step);
    bool SetLevelFromBar(int level);
    void ZoomIn() { StepLevel(1); }
    void ZoomOut() { StepLevel(2); }
    void OnMapPen(UINT message, int x, int y);
    // The level of the n-th level in use (the level bars' step), -1 when there are fewer.
    int StepToLevel(int n) const;
    int GetMapLevel() const { return m_mapLevel; }
    // The level becomes the view's and the document's, and is applied.
    void SetLevel(int level) { TakeLevel(level); }
    int GetViewMode() const { return m_viewMode; }

    // ---- following and countdowns ----
    void StartFollowing();
    void StopFollowing();
    bool IsFollowing() const { return m_followVehicle; }
    // The follow flag as the workers read it (from any thread).
    bool IsFollowingShared() const { return m_followShared.load(); }
    // The follow flag alone, without telling the main screen.
    void SetFollowing(bool on) {
        m_followVehicle = on;
        m_followShared = on;
    }
    void StopAutoReturn() { m_autoReturn = kAutoReturnStopped; }
    void StartAutoReturn() { m_autoReturn = 0; }
    void RestartAutoReturn() {
        if (m_autoReturn >= 0) m_autoReturn = 0;
    }
    int GetAutoReturn() const { return m_autoReturn; }

    // ---- overlay and status line ----
    void DrawOverlay(CDC* dc, int phase);
    void RefreshOverlay(CDC* dc, int phase);
    void DrawPointSymbols(CDC* dc);
    void SetEventText(const char16_t* format, ...);
    const CString& GetEventText() const { return m_eventText; }
    void SetGpsState(int state);
    void UpdateDisplayFlags();
    void RestoreMainScreen();
    // The expressway's name by its route number; "" for a number not in the table.
    static const char16_t* GetRoadNumberName(short number);
    // The road text of a road kind (bits 5-7 of the link flags) and number; "" when none.
    static CString RoadText(int kind, long number);
    // "속도: %dkm/h 고도: %dm" with speed and altitude in tenths.
    static CString SpeedAltitudeText(int speedTenths, int altitudeTenths);
    // `E %03d°%02d'%02d" N %02d°%02d'%02d"` of network coordinates (1/100 second).
    static CString LatLonText(std::int32_t netX, std::int32_t netY);
    // The display page "환경설정-디스플레이" in the common dialog with the page's listener (given
    // by the settings dialogs), then ApplyDisplaySettings with the page's result.
    void ShowDisplaySettings();
    void SetDisplayPageListener(NaviListener* listener) { m_displayPageListener = listener; }
    // What the display page changed: night hours (setting 11 bit 1, settings 9 and 10), the view
    // mode (setting 0), pedestrian mode (setting 2, against its value before the page); result 3
    // restores the main screen; the level applied again and the map redrawn.
    void ApplyDisplaySettings(int pedestrianBefore, int result);

    // ---- state read and set by the other parts of the shell ----
    NaviMainScreen* GetMainScreen() const { return m_mainScreen; }
    CMapWnd& GetMapWnd() { return m_mapWnd; }
    CRouteManager& GetRouteManager() { return m_routeManager; }
    CAdminSearch& GetAdminSearch() { return m_adminSearch; }
    CLocusRecorder* GetLocus() const { return m_locus.get(); }
    int GetPointPickMode() const { return m_pointPickMode; }
    // The district and neighbourhood of the point tapped last.
    const CString& GetPlaceName() const { return m_placeName; }
    void SetPointPickMode(int mode) { m_pointPickMode = mode; }
    void SetEventMode(int mode) { m_eventMode = static_cast<std::int16_t>(mode); }
    void SetPedestrianMode(bool on) { m_pedestrianMode = on; }
    bool IsPedestrianMode() const { return m_pedestrianMode; }
    void SetMapReady(bool on) { m_mapReady = on; }
    // The vehicle in map coordinates and its heading (degrees; -1 unknown).
    void SetVehicle(std::int32_t x, std::int32_t y, int heading);
    void SetFix(const GpsPosRecord& fix, bool valid) {
        m_fix = fix;
        m_fixValid = valid;
    }
    // The road of the current link (road kind, road number), for the road status line.
    void SetCurrentRoad(int kind, long number) {
        m_roadKind = kind;
        m_roadNumber = number;
    }
    void SetLogging(bool on) { m_logging = on; }
    void SetFacilityCategory(int category) { m_facilityCategory = category; }
    void SetTrafficDisplay(bool on) { m_trafficDisplay = on; }
    int GetHeadingIndex() const { return m_headingIndex; }
    int GetDirectionIndex() const { return m_directionIndex; }

    // ---- GPS dialogs (MainViewGps.cpp) ----
    // Opens the GPS information window over the view, or closes it when it is open.
    void ShowGpsSkyView();
    // Makes the GPS reader close, reselect and reopen the receiver ports.
    void RequestGpsReconfigure();
    // The GPS information window (made on first use; open or not).
    CGpsInfoDlg& GpsDialog();
    bool IsGpsDialogOpen() const;
    void CloseGpsDialog();

    // ---- commands from the main screen (MainViewCommands.cpp) ----
    void ProcessEvent(NaviCommand& cmd) override;
    // Runs again, in re-entry mode, the search or list the last search name names.
    void ReturnToLastSearch();
    const CString& GetLastSearchName() const { return m_lastSearchName; }
    void SetLastSearchName(const CString& name) { m_lastSearchName = name; }
    void ShowNotImplemented();
    void ResetGuideAnnouncements();
    // Commands carried out by the settings, volume, information and traffic screens.
    void ShowVolumeWindow();
    void ShowProgramInfo();
    void ShowSaveLocationSettings();
    void ShowSafeDriveSettings();
    void ShowSystemSettings(int page);
    void ShowRouteSearchSettings();
    void ShowSoundSettings(int page);
    void ShowTrafficSheet(int fromMenu);
    void DownloadTraffic(int fromMenu);
    // COMMANDS-SECTION (MainViewCommands.cpp): add declarations above this line

    // ---- route search, route result and vehicle follow (MainViewRoute.cpp) ----
    void SearchRouteAndShow();
    void SearchRouteAndShowKeepMode();
    void FollowVehicle();
    // mode: 15 car, 0xBB bus, 0xCC subway; non-zero when a route was found.
    int SearchRoute(bool withOptionPanel, signed char mode, bool keepEngineOption);
    bool RunRouteSearch(bool fromVehicle);
    // 3000 follow the vehicle, 3001 the start, 3002 the destination, 3003 the waypoints.
    void ShowRoutePoint(int which);
    // kind 1 start, 2 destination, 4 destination without the tunnel question; false when refused.
    bool SetRoutePointByKind(int kind, const CString& name);
    void UseSelectedPoint(std::int32_t x, std::int32_t y, int kind, const CString& name, bool moveMap, int level,
                          int heading);
    void CancelRoute(bool ask, bool restoreScreen);
    void ResetRoute();
    // 0 accept with the waypoint bar, 1 without moving the map, 2 reset for cancel, 3 a chosen
    // result of a multi-route search.
    void AcceptRoute(int how);
    // roadKind of the point's road, pointKind 0 start, 1 destination, 2 waypoint.
    bool ConfirmPointOnTunnel(int roadKind, int pointKind);
    void ShowRouteOverview();
    bool AddWaypoint(std::int32_t x, std::int32_t y, const CString& name);
    void DeleteWaypoint(int index);
    void ShowWaypointOnMap(int index);
    int ResearchRouteAndShowInfo();
    void StartGuidance();
    bool IsResearchRunning() const { return m_researchRunning.load(); }
    int GetRouteMode() const { return m_routeMode; }
    void SetRouteMode(int mode) { m_routeMode = static_cast<std::uint8_t>(mode); }
    bool IsRouteAccepted() const { return m_routeAccepted; }
    // The user's own route operations (search, accept, loading a car route) take every entry of
    // the route lock set, retrying 10 ms tries for up to a second: the per-fix work holds entry 1
    // briefly at every fix. False when the set stayed busy (or does not exist).
    bool LockRouteForUser();
    void UnlockRoute();
    // ROUTE-SECTION (MainViewRoute.cpp): add declarations above this line

    // ---- the five searches and the point-of-interest bar (MainViewSearch.cpp) ----
    void SearchName(bool reenter);
    void SearchAddress(bool reenter, bool restoreOnRefusal);
    void SearchCategory(bool reenter);
    void SearchTheme(bool reenter);
    void SearchAround(bool reenter);
    // The nearby search's map preview of a facility (network position, level step).
    static void OnAroundPreview(std::int32_t x, std::int32_t y, int levelStep);
    void OnPoiBarSelect(int entry);
    void SearchPoiInfo(bool repeat);
    // SEARCH-SECTION (MainViewSearch.cpp): add declarations above this line

    // ---- per-fix work and pedestrian mode (MainViewFix.cpp) ----
    // Runs on the GPS reader thread after each fix.
    void OnGpsFix(const GpsPosRecord& fix);
    void EnterPedestrianMode();
    void LeavePedestrianMode();
    void UpdatePedestrianDistance();
    void UpdateCenterOffset();
    void SyncGpsClock(const GpsPosRecord& fix);
    // FIX-SECTION (MainViewFix.cpp): add declarations above this line

    // ---- the simulated drive (MainViewDrive.cpp) ----
    void RunSimulatedDrive(bool restoreOnRefusal);
    void StopSimulatedDrive();
    // Steps the simulated car until the drive is stopped or the route ends.
    void SimulatedDriveLoop();
    void ShowSimulPlayer(bool show);
    // True while the drive's loop runs (the drive stops at its next turn once cleared).
    bool IsDriveLooping() const { return m_simulationLoop; }
    // An exit asked for while the drive's loop runs (the exit menu, the frame closed): the drive
    // is stopped and the exit is posted once the loop has unwound, so the view is not destroyed
    // under it. False, doing nothing, when no drive runs.
    bool DeferExitDuringDrive();
    // The drive's player and its simulated car (null when no drive runs).
    class CSimulPlayerDlg* GetSimulPlayer() const;
    const struct MatchResult* GetSimulatedCar() const;
    // DRIVE-SECTION (MainViewDrive.cpp): add declarations above this line

    // ---- route files, transit routes, waypoints and re-route (MainViewRoutes.cpp) ----
    bool SearchBusRoute(std::int32_t startX, std::int32_t startY, std::int32_t goalX, std::int32_t goalY);
    bool SearchSubwayRoute(std::int32_t startX, std::int32_t startY, std::int32_t goalX, std::int32_t goalY);
    void ShowRouteInfo(bool resultMode, bool acceptAfter, bool fromMenu);
    void SaveRoute(bool restoreOnRefusal);
    void OpenSavedRoute();
    void SearchReverseRoute();
    void SearchMultiRoute();
    void ManageWaypoints(bool restoreOnRefusal);
    // The one-shot re-route thread and its body.
    void StartRerouteThread();
    void RerouteWorker();
    // ROUTES-SECTION (MainViewRoutes.cpp): add declarations above this line

    // ---- registered points, home, recent destinations, coordinates (MainViewPoints.cpp) ----
    void ShowRegisteredPoints(bool reenter, bool restoreOnRefusal);
    void RegisterMapCenter();
    void RegisterCurrentPoint(const POINT& pos);
    void GoHome(bool restoreOnRefusal);
    void GoFrequentPlace(bool restoreOnRefusal);
    void ShowRecentDestinations(bool reenter, bool restoreOnRefusal);
    void AddRouteToRecentDestinations();
    void MoveToLatLon(bool reenter);
    void AddSafeDrivePointHere();
    void ManageSafeDrivePoints(int reenter);
    // POINTS-SECTION (MainViewPoints.cpp): add declarations above this line

    // ---- event line, safe zones, GPS logs, Dorva moves, hand-over (MainViewEvents.cpp) ----
    void NextEventString();
    void DeleteSafeZoneSection();
    bool StartLog();
    bool StopLog();
    void UpdateLogPanelMemory();
    void MoveByDorvaCode(bool reenter);
    int ReadHandoverFile();
    // EVENTS-SECTION (MainViewEvents.cpp): add declarations above this line

    // ---- markers from the search screens ----
    void AddItem(AroundFacilityItem* item) override;
    void SetItem(int i, const AroundFacilityItem& item) override;
    void SetState(int state) override { m_mediatorState = state; }
    void ForwardKey(int key) override;
    int GetMediatorState() const { return m_mediatorState; }
    std::size_t GetMarkerCount() const { return m_markers.size(); }

protected:
    void OnDraw(CDC* dc) override;

private:
    static void MapPenHook(UINT message, UINT flags, int x, int y);
    static void MapPaintHook(CDC* dc, int view, int phase);
    static void MapPrePaintHook();
    void OnMapOverlay(CDC* dc, int phase);
    void DrawPhase0(CDC* dc);
    void DrawPhase1(CDC* dc);
    // The user's safe-driving points (sign and number) above level 6, when the document has them.
    void DrawSafePoints(CDC* dc);
    void ComposeEventText();
    void TakeLevel(int level);
    int NextUsedLevel(int from, int step) const;
    void SendMain(int id, int param1 = -1, int param2 = -1);
    bool PointInClient(POINT p) const;
    void ShowLayerByName(const char16_t* name, bool show);
    // The map window's layer of that file name and its index (null and -1 when it holds none).
    CMapLayerFile* FindMapLayer(const CString& name, int* index = nullptr);

    CNaviConfig* m_config = nullptr;
    CMapDocState* m_doc = nullptr;
    NaviMainScreen* m_mainScreen = nullptr;
    std::unique_ptr<NaviMessageBox> m_messageBox;
    std::unique_ptr<CNaviCommonDlg> m_commonDlg;
    std::unique_ptr<CGpsInfoDlg> m_gpsDialog;
    std::unique_ptr<CLocusRecorder> m_locus;
    std::unique_ptr<CMainViewKeys> m_keyAnswers;
    std::unique_ptr<CViewKeys> m_keys;
    std::unique_ptr<CHighwayPanel> m_highwayPanel;
    std::unique_ptr<CMainViewHighway> m_highwayAnswers;
    std::unique_ptr<CHighwayMode> m_highwayMode;
    CGuideInfo m_guideInfo;
    bool m_guidanceStarted = false;
    bool m_guiding = false;
    int m_fixQuality = 0;
    int m_lastKeyFunction = 0;
    bool m_keyFunctionRunning = false;
    std::vector<std::unique_ptr<AroundFacilityItem>> m_markers;
    int m_mediatorState = 0;
    NaviListener* m_displayPageListener = nullptr;
    NaviCommand m_command;

    CMapWnd m_mapWnd;
    CRouteManager m_routeManager;
    // Guidance outlives the workers (declared before them).
    std::unique_ptr<CGuideManager, CGuideManagerDeleter> m_guide;
    int m_routeDisplayState = 0;
    DWORD m_highwayBarStart = 0;
    // The GPS reader's services; made in this order and destroyed in the reverse (the table
    // first, so that every worker is joined before the loops' owner goes).
    std::unique_ptr<CUiWorkQueue> m_uiQueue;
    std::unique_ptr<CMainViewPosition> m_positionAnswers;
    std::unique_ptr<CViewPositionShell> m_positionShell;
    std::unique_ptr<CPositionWorkers> m_workers;
    std::unique_ptr<CViewThreads> m_threads;
    std::unique_ptr<CLockSet> m_lockSet;
    std::atomic<bool> m_followShared{false};
    CAdminSearch m_adminSearch;
    RECT m_client{0, 0, 0, 0};

    // Map level, view mode and heading.
    int m_mapLevel = 9;
    int m_viewMode = 0;
    int m_heading = 0;           // degrees
    int m_headingIndex = -1;     // heading / 10 in 0-35, -1 before the first heading
    int m_directionIndex = kNoDirection;
    int m_lastHeading = -1;
    bool m_lastSplit = false;
    std::int32_t m_carX = -1, m_carY = -1;

    // Modes and flags.
    int m_pointPickMode = kPickMove;
    std::int16_t m_eventMode = 1;
    int m_eventDisplayState = 0;
    int m_autoReturn = kAutoReturnStopped;
    int m_levelBarCountdown = 0;
    bool m_levelBarShown = false;
    bool m_exLevelBarShown = false;
    bool m_followVehicle = false;
    bool m_pedestrianMode = false;
    bool m_pedestrianTargetScreen = false;
    bool m_mapReady = false;
    bool m_overlayOff = false;
    bool m_nightScheme = false;
    bool m_trafficDisplay = false;
    bool m_trafficDrawn = false;
    bool m_logging = false;
    // Read by the workers (IsSimulating) while the drive's loop on this thread sets it.
    std::atomic<bool> m_simulating{false};
    bool m_guideArrowShown = false;
    bool m_shutDown = false;
    int m_drawSuspend = -1;
    int m_facilityCategory = -1;
    int m_gpsState = 0;

    // Status line.
    CString m_eventText;
    CString m_guideMessage;
    CString m_placeName;
    GpsPosRecord m_fix{};
    bool m_fixValid = false;
    int m_roadKind = 0;
    long m_roadNumber = 0;
    int m_loggingCounter = 0;

    POINT m_penDown{0, 0};

    // Route state shared by the commands, the per-fix work and the re-route worker.
    std::uint8_t m_routeMode = 0; // 0 none, 0x0F car, 0xBB bus, 0xCC subway
    bool m_useTraffic = false;
    int m_routeOption = 0;
    bool m_routeAccepted = false;
    std::atomic<bool> m_researchRunning{false};
    CString m_lastSearchName;

    // COMMANDS-MEMBERS (MainViewCommands.cpp)

    // ROUTE-MEMBERS (MainViewRoute.cpp)

    // SEARCH-MEMBERS (MainViewSearch.cpp)

    // FIX-MEMBERS (MainViewFix.cpp)

    // DRIVE-MEMBERS (MainViewDrive.cpp)
    // The player, the route simulator and the simulated car of the drive that runs (made when the
    // drive starts, dropped when it ends).
    std::shared_ptr<class CSimulatedDrive> m_drive;
    bool m_simulationLoop = false;
    bool m_exitAfterDrive = false;
    // One step's guidance for the simulated car, as for a real fix.
    void GuideSimulatedStep(CRoutePath& path);

    // ROUTES-MEMBERS (MainViewRoutes.cpp)

    // POINTS-MEMBERS (MainViewPoints.cpp)

    // EVENTS-MEMBERS (MainViewEvents.cpp)
};
