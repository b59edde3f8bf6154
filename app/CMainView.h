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
#include "app/GpsLogFile.h"
#include "app/MainViewBroadcast.h"
#include "app/MapMarkIcon.h"
#include "app/TrafficDownload.h"
#include "app/MapDocState.h"
#include "app/SafeDrivingDlg.h"
#include "mapview/MapWnd.h"
#include "platform/base/CString.h"
#include "platform/threads/Threads.h"
#include "platform/window/Afx.h"
#include "position/GpsReceiver.h"
#include "position/GuideInfo.h"
#include "position/MatchResult.h"
#include "position/PositionShell.h"
#include "route/RouteManager.h"
#include "search/NaviMediator.h"
#include "search/SearchRecords.h"
#include "skinui/NaviCommand.h"
#include "skinui/NaviListener.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class CHighwayMode;
class CHighwayPanel;
class CGuideManager;
class CRoadNameTable;
class CLocusRecorder;
class CMainViewHighway;
class CMainViewKeys;
class CViewKeys;
class CLockSet;
class CMainViewPosition;
class CPositionWorkers;
class CSearchManager;
class CUiWorkQueue;
class CViewPositionShell;
class CViewThreads;
class CGpsInfoDlg;
class CLogPanelWnd;
class CNaviCommonDlg;
class CNaviConfig;
class NaviControl;
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
    // The guidance's off-route count as the status line reads it (below 0 while re-searching).
    void SetOffRouteCount(int count) { m_offRouteCount = count; }
    // A re-search for the traffic information runs (its message replaces the top bar). The
    // re-route worker sets it while it plans for the traffic; read on the user-interface thread.
    void SetTrafficReroutePending(bool on) { m_trafficReroutePending = on; }
    bool IsTrafficReroutePending() const { return m_trafficReroutePending.load(); }
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
    // The display page "환경설정-디스플레이" in the common dialog with its listener, then
    // ApplyDisplaySettings with the page's result (MainViewSettings.cpp).
    void ShowDisplaySettings();
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
    // The heading sector (heading / 10, 0-35) the compass and the car image show.
    void SetHeadingIndex(int sector) { m_headingIndex = ((sector % 36) + 36) % 36; }
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
    // What the command tables ask of the view besides the operations above.
    // A message box of the platform (3001 notice, 3000 question); the answer (4001 yes).
    int CommandMessage(const CString& text, int type);
    void ClearRouteAccepted() { m_routeAccepted = false; }
    // The waypoint a map tap in pick mode 61205 moves.
    void SetMovedWaypoint(int index) { m_movingWaypoint = index; }
    int GetMovedWaypoint() const { return m_movingWaypoint; }
    // The map rendered again and repainted.
    void RedrawWholeMap();
    // "UIRefresh0": 1 and 2 repaint the map window at once without rendering it again; any
    // other id brings the overlay controls up to date in the map window.
    void RefreshMainScreen(int id);
    // The main screen asked to end the program (the tap that asked carries it out).
    void RequestExit();
    void ShowTaskbar(bool show);
    // A zoom step (1 up, 2 down) to the next used level, as the level bar's StepLevel; when the
    // level changed, the pending route result is dropped, the automatic zoom waits 15 fixes and
    // the prompt (32832 zoom in, 32834 zoom out, 0 none) becomes the event text. Other steps are
    // the level bar's. True when the level changed.
    bool ZoomStep(int step, int promptId);
    // Fixes the automatic zoom still waits after a zoom step.
    int GetZoomPromptCount() const;
    void SelectRouteResult(int id);
    void ResetMenuIdle();
    void CloseMainMenu();
    bool IsKeyFunctionRunning() const { return m_keyFunctionRunning; }
    // The voice's pedestrian sound from the view's pedestrian flag.
    void SyncGuideSoundFlags();
    // Traffic to show: the broadcast receiver is used (setting 32) or a download is still valid.
    bool IsTrafficAvailable() const;
    // The volume window (made with the skinned user interface).
    bool HasVolumeWindow() const;
    void ToggleMute();
    // The re-route button's condition: a route followed outside pedestrian mode, and either
    // guidance running or a re-search running.
    bool IsRerouteAllowed();
    // "ReRoute": the re-route worker started with the reason "경로를 이탈 하였습니다."; false
    // when it could not start.
    bool StartManualReroute();
    // The reason of the running re-route (empty when none); the worker empties it as it ends.
    CString GetRerouteMessage() const;
    void SetRerouteMessage(const CString& text);
    int GetSetting(int index) const;
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
    // briefly at every fix. False when the set stayed busy (or does not exist). On the
    // user-interface thread; an operation inside another one shares the outer hold.
    bool LockRouteForUser();
    void UnlockRoute();
    // The point a search or a dialog handed over last (map coordinates); the route points of
    // SetRoutePointByKind are set there.
    void SetChosenPoint(std::int32_t x, std::int32_t y) {
        m_chosenX = x;
        m_chosenY = y;
    }
    POINT GetChosenPoint() const { return POINT{m_chosenX, m_chosenY}; }
    // The vehicle as the map matching delivers it (link ids, side of the link, network x, y); a
    // route search with a valid fix starts there.
    void SetMatchedVehicle(std::uint16_t mapId, std::uint16_t linkId, std::int8_t side, std::int32_t x,
                           std::int32_t y);
    // The waypoint a map tap moves in the waypoint-move mode (0-4; -1 none).
    void SetMovingWaypoint(int index) { m_movingWaypoint = index; }
    int GetMovingWaypoint() const { return m_movingWaypoint; }
    // The traffic-broadcast reception level (0-3) the route search and the re-route worker read
    // when they run; 0 without a source. Safe from any thread.
    void SetReceptionLevelSource(std::function<int()> source);
    int ReceptionLevel() const;
    // Whether a route planned now is weighted by traffic: traffic wanted, and either the broadcast
    // received at level 2 or better or the downloaded traffic valid (any thread).
    bool RouteTrafficOn() const;
    bool IsUsingTraffic() const { return m_useTraffic; }
    int GetRouteOptionValue() const { return m_routeOption; }
    bool IsSearchRunning() const { return m_searchRunning; }
    bool IsRouteChanged() const { return m_routeChanged; }
    // The re-route worker marks its run (any thread).
    void SetResearchRunning(bool on) { m_researchRunning = on; }
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
    // The search screens a launch runs. Unset (the program), the manager's own StartSearch runs
    // them; a test sets a runner that fills the view's record and answers a code as StartSearch
    // does, and may read the manager's settings.
    struct SearchRunners {
        std::function<int(CSearchManager&, _NAME_RESULT&)> name;
        std::function<int(CSearchManager&, _ADDR_RESULT&)> address;
        std::function<int(CSearchManager&, _CATE_RESULT&)> category;
        std::function<int(CSearchManager&, _THEME_RESULT&)> theme;
        std::function<int(CSearchManager&, _AROUND_RESULT&)> around;
        std::function<int(CSearchManager&, _POI_RESULT_AUTO&)> poi;
    };
    static SearchRunners& Runners();
    // The result records the searches keep between launches ("이전" reopens them).
    _NAME_RESULT& GetNameResult() { return m_nameResult; }
    _ADDR_RESULT& GetAddrResult() { return m_addrResult; }
    _CATE_RESULT& GetCateResult() { return m_cateResult; }
    _THEME_RESULT& GetThemeResult() { return m_themeResult; }
    _AROUND_RESULT& GetAroundResult() { return m_aroundResult; }
    _POI_RESULT_AUTO& GetPoiResult() { return m_poiResult; }
    // The manager of the search whose screens are open (null between searches).
    CSearchManager* GetActiveSearch() const { return m_activeSearch; }
    // The map position of the last search result.
    const POINT& GetSearchPoint() const { return m_searchPoint; }
    int GetFacilityCategory() const { return m_facilityCategory; }
    // SEARCH-SECTION (MainViewSearch.cpp): add declarations above this line

    // ---- per-fix work and pedestrian mode (MainViewFix.cpp) ----
    // Runs on the GPS reader thread after each fix.
    void OnGpsFix(const GpsPosRecord& fix);
    void EnterPedestrianMode();
    void LeavePedestrianMode();
    void UpdatePedestrianDistance();
    void UpdateCenterOffset();
    void SyncGpsClock(const GpsPosRecord& fix);
    // The matching engines: made on first use over the program's road-network reader (a test may
    // hand in its own before the first fix); OpenMatchNetwork opens both on the data folder.
    void SetMatchEngines(std::unique_ptr<CMapMatchBase> driving, std::unique_ptr<CMapMatchBase> pedestrian);
    bool OpenMatchNetwork();
    // One-shot requests the next fix carries out on the GPS thread: a reset of the engine in use,
    // and the engine's re-match request (key function 3).
    void RequestMatcherReset() { m_resetMatcherRequest = true; }
    void RequestMatcherRematch() { m_matcherRequest = true; }
    // The route changed: the map goes back to the vehicle at the next fix.
    void SetRouteChanged() { m_routeChanged = true; }
    // The broadcast receiver wants the matched link's ids.
    void SetDarcMatch(bool on) { m_darcMatch = on; }
    // What the GPS reader's companions ask, from their own threads.
    bool IsGuidingShared() const { return m_guidingShared.load(); }
    bool TakeNewMatchedFix() { return m_newMatchedFix.exchange(false); }
    int GetFixCount() const { return m_fixCount.load(); }
    int FixQualityOf(const GpsPosRecord& fix);
    int FixInterval();
    // The vehicle record of the last matched fix (GPS thread's copy, for the companions).
    bool GetMatchedVehicle(std::int32_t& mapX, std::int32_t& mapY, int& heading) const;
    // Set by the per-fix work's interface part: the destination was reached.
    bool IsArrived() const { return m_arrived; }
    void ClearArrival() { m_arrived = false; }
    // Guidance ended at the destination while the map followed the vehicle: the route was
    // cancelled that many times.
    int GetArrivalCancels() const { return m_arrivalCancels; }
    // The pedestrian target (map coordinates, -1 when none) and the GPS clock correction.
    POINT GetPedestrianTarget() const { return m_walkTarget; }
    bool IsGpsClockKnown() const { return m_clockKnown; }
    std::int32_t GetGpsClockOffset() const { return m_clockOffset; }
    // The user paged the highway panel: the panel holds that page and is filled at once.
    void OnHighwayPaging();
    // The guide point ahead as the safe-zone sign shows it (and the section deletion reads it);
    // the alert kind, 0 when no point is ahead.
    static int ShowSafeZoneAlert(class NaviSafeZoneMark& mark, const struct GuidePointNotice& notice, int roadClass);
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
    // The voice loop's turn (its own thread): plays what the last guidance step left for it,
    // a real drive's or the simulated one's.
    void PlayPendingVoice();
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
    // The one-shot re-route thread and its body. The thread started here re-plans for the traffic
    // information; forTraffic marks such a run while it holds the route (the status line says so).
    void StartRerouteThread();
    void RerouteWorker(bool forTraffic = false);
    // The three entry points that no menu reaches: a bus route and a subway route to the
    // destination (outside simulation and pedestrian mode; the result shown when one came back),
    // and the car route's re-search with the option panel; each only while a search may start.
    void SearchBusRouteAndShow();
    void SearchSubwayRouteAndShow();
    void SearchRouteAgainWithOptions();
    // What the re-route worker plans from: the kind of the last fix (1 is matched on a link: its map
    // id, link id, side and network x, y). Other kinds plan from the last start.
    // Safe from any thread (the per-fix work keeps it).
    void SetRerouteStart(int fixKind, std::uint16_t mapId, std::uint16_t linkId, std::uint32_t side, std::int32_t x,
                         std::int32_t y);
    // 1 while the re-route worker plans (the drawing reads it).
    bool IsRerouteActive() const;
    // Whether the one-shot re-route thread is still running (its work for the screen posted
    // once it is not).
    bool IsRerouteThreadRunning() const;
    // Whether the shown car route came from a saved file (the route information then offers no
    // new search).
    bool IsRouteOpenedFromFile() const;
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
    // The name of a safe-driving point the user adds at a network position:
    // "E%03d%02d%02d N%02d%02d%02d", longitude and latitude in degrees, minutes and seconds.
    static CString SafePointName(std::int32_t netX, std::int32_t netY);
    // Driving (guidance runs, or the receiver reports the car moving) or the simulated drive.
    bool IsCarMoving() const;
    // The most recent destinations the view keeps.
    static constexpr int kMaxRecentDestinations = 10;
    // POINTS-SECTION (MainViewPoints.cpp): add declarations above this line

    // ---- event line, safe zones, GPS logs, Dorva moves, hand-over (MainViewEvents.cpp) ----
    void NextEventString();
    void DeleteSafeZoneSection();
    bool StartLog();
    bool StopLog();
    void UpdateLogPanelMemory();
    void MoveByDorvaCode(bool reenter);
    int ReadHandoverFile();
    // "E%03d%02d%02d N%02d%02d%02d": longitude and latitude in degrees, minutes and seconds of
    // network coordinates, the name of a point given by its position.
    static CString PointNameText(std::int32_t netX, std::int32_t netY);
    // The safe-driving alert kind being announced, 0 when none.
    void SetSafeZoneKind(int kind) { m_safeZoneKind = kind; }
    int GetSafeZoneKind() const { return m_safeZoneKind.load(); }
    // The GPS log as the logging panel drives it: its start/stop flag (the GPS reader opens or
    // closes the log when the flag and the log differ) and its folder choice (0 "My Documents\Velko",
    // otherwise the data folder). The reader appends the raw bytes it reads (from its thread).
    void SetLoggingWanted(bool on) { m_logWanted = on; }
    bool LoggingWanted() const { return m_logWanted.load(); }
    void SetLogPlace(int place) { m_logPlace = place; }
    bool IsLogging() const { return m_logging.load(); }
    void AppendLog(const char* bytes, int count);
    // The log file open or closed last.
    CString GetLogPath() const;
    // What the logging panel is given to show: the free bytes of "My Documents\Velko" and of the
    // data card, the logging state and the folder choice.
    struct LogPanelFigures {
        std::uint64_t memoryFree = 0;
        std::uint64_t cardFree = 0;
        bool logging = false;
        int place = 0;
        bool open = false; // the panel is up: its figures are left alone
    };
    const LogPanelFigures& GetLogPanelFigures() const { return m_logPanel; }
    void SetLogPanelOpen(bool open) { m_logPanel.open = open; }
    // The code texts the Dorva dialog starts with (kept for the process, taken back from a run that
    // ended with a code).
    static void GetDorvaCodeTexts(CString texts[3]);
    // The point taken from the hand-over file last ((-1, -1) before any).
    POINT GetHandoverPoint() const { return m_handoverPoint; }
    // EVENTS-SECTION (MainViewEvents.cpp): add declarations above this line

    // ---- markers from the search screens ----
    void AddItem(AroundFacilityItem* item) override;
    void SetItem(int i, const AroundFacilityItem& item) override;
    void SetState(int state) override { m_mediatorState = state; }
    void ForwardKey(int key) override;
    int GetMediatorState() const { return m_mediatorState; }
    std::size_t GetMarkerCount() const { return m_markers.size(); }

    // ---- the settings pages' side of the view (MainViewSettings.cpp) ----
    // Runs a settings page in the common dialog with its listener; the dialog's result (0 when
    // there is no common dialog).
    int RunSettingsPage(class CSettingsPageListener& listener, const char16_t* page);
    // The receiver settings that decide how the ports are opened: port name, speed, settings 28
    // and 0, the broadcast unit (setting 32) and the separate GPS receiver (setting 31).
    struct GpsPortSettings {
        CString port;
        int baud = 0;
        int datum = 0;
        int mapMode = 0;
        int unit = 0;
        int separateGps = 0;
        bool operator==(const GpsPortSettings& other) const = default;
    };
    GpsPortSettings GetGpsPortSettings() const;
    // Compares a snapshot with the settings now and, when they differ, has the reader close and
    // reopen its ports.
    void ApplyGpsPortSettings(const GpsPortSettings& before);
    int GetPortReopenRequests() const { return m_portReopenRequests; }
    // The ports searched for receivers (false when none answered, or the reader is not made).
    bool FindReceivers(int& port, int& speed, bool& unit, bool& separateGps);
    // The driving trail emptied at once.
    void ClearTrail();
    // Voice guidance and the message box's click, on or off at once.
    void SetVoiceGuidance(bool on);
    void SetMessageBoxSound(bool on);
    // SETTINGS-SECTION (MainViewSettings.cpp): add declarations above this line

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
    // The user's saved positions with their names and icons (levels above 7).
    void DrawSavedPositions(CDC* dc);
    // The top bar, the turn arrow and the second turn mark for the followed route.
    void RefreshRouteBars(int phase);
    // The guidance message (off route, re-searching, traffic re-search) in its control.
    void ShowGuidanceMessage();
    // The current link's road name in the status line while the turn arrow is shown.
    void ShowCurrentRoadName();
    // One line of text centred in a box filled with the colour, the box's inside starting at
    // (x, y) and as large as the text; a dark one-pixel frame around it.
    static void DrawBoxedText(CDC* dc, const CString& text, int x, int y, COLORREF fill);
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
    std::atomic<int> m_viewMode{0};
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
    std::atomic<bool> m_pedestrianMode{false};
    bool m_pedestrianTargetScreen = false;
    bool m_mapReady = false;
    bool m_overlayOff = false;
    bool m_nightScheme = false;
    bool m_trafficDisplay = false;
    bool m_trafficDrawn = false;
    std::atomic<bool> m_logging{false};
    // Read by the workers (IsSimulating) while the drive's loop on this thread sets it.
    std::atomic<bool> m_simulating{false};
    bool m_guideArrowShown = false;
    bool m_shutDown = false;
    int m_drawSuspend = -1;
    int m_facilityCategory = -1;
    std::atomic<int> m_gpsState{0};

    // Status line.
    CString m_eventText;
    CString m_guideMessage;
    int m_offRouteCount = 0;
    std::atomic<bool> m_trafficReroutePending{false};
    // The road names of the data folder (loaded at the first use) and the link named last.
    std::shared_ptr<CRoadNameTable> m_roadNames;
    struct NamedLink {
        std::uint16_t mapId = 0, linkId = 0;
        std::int8_t side = 0;
        int kind = -1;
        bool operator==(const NamedLink&) const = default;
    } m_namedLink;
    CString m_placeName;
    GpsPosRecord m_fix{};
    bool m_fixValid = false;
    int m_roadKind = 0;
    long m_roadNumber = 0;
    int m_loggingCounter = 0;

    POINT m_penDown{0, 0};

    // Route state shared by the commands, the per-fix work and the re-route worker.
    std::atomic<std::uint8_t> m_routeMode{0}; // 0 none, 0x0F car, 0xBB bus, 0xCC subway
    std::atomic<bool> m_useTraffic{false};
    int m_routeOption = 0;
    bool m_routeAccepted = false;
    std::atomic<bool> m_researchRunning{false};
    CString m_lastSearchName;

    // COMMANDS-MEMBERS (MainViewCommands.cpp)
    mutable std::mutex m_rerouteMessageLock;
    CString m_rerouteMessage;

    // ROUTE-MEMBERS (MainViewRoute.cpp)
    std::int32_t m_chosenX = -1, m_chosenY = -1;
    struct MatchedVehicle {
        std::uint16_t mapId = 0, linkId = 0;
        std::int8_t side = 0;
        std::int32_t x = -1, y = -1;
    } m_matched;
    int m_movingWaypoint = -1;
    std::function<int()> m_receptionLevelSource;
    mutable std::mutex m_receptionLock;
    // Nesting of the user's hold on the route lock set (the user-interface thread only).
    int m_routeLockDepth = 0;
    bool m_searchRunning = false;
    // The overlay's route progress and the guidance progress values, reset with each new route.
    int m_routeProgress = 0;
    int m_guideProgress = 0;
    void ShowRouteResult();
    void ComputeUseTraffic();
    bool HasRoute() const;
    void SendMainText(int id, const char16_t* text);
    // The waypoint-move tap: the chosen waypoint moved there and the route searched again.
    void MoveWaypointTo(std::int32_t x, std::int32_t y, const CString& name);

    // SEARCH-MEMBERS (MainViewSearch.cpp)
    // What a search result asks for, whatever record it came in.
    struct SearchChoice {
        POINT pos{0, 0};
        int kind = 0;
        CString name;
        int levelStep = 0;
        bool directRoute = false;
    };
    // The main screen's point kind in the basic menu: what the map pick mode is for.
    int MenuPointKind() const;
    bool IsBasicMenu() const;
    // Sets up a manager with the data folder, screen name, builder, UI type and direct-route flag.
    void PrepareSearch(CSearchManager& manager, const CString& screen);
    // Shows the outdated-database notice when the version check fails.
    bool SearchDatabaseCurrent(bool current);
    // One launch of the name, address or category search: the database check (the address
    // database or the name database), the screens run over the search's record, and the choice
    // taken from it; a refused route point runs the search again.
    struct PointSearch {
        bool addressDatabase = false;
        bool restoreOnRefusal = false;
        std::function<int(CSearchManager&)> run;
        std::function<bool(SearchChoice&)> choose;
        std::function<void()> again;
    };
    void RunPointSearch(const PointSearch& search);
    // A chosen result: a route point at once, or the map moved to it. False when the route point
    // or waypoint was refused, so that the caller opens its screen again.
    bool TakeSearchChoice(const SearchChoice& choice, const CString& screen);
    void SendSearchDone(const CString& screen);
    void RepaintMapNow();
    _NAME_RESULT m_nameResult;
    _ADDR_RESULT m_addrResult;
    _THEME_RESULT m_themeResult;
    _CATE_RESULT m_cateResult;
    _AROUND_RESULT m_aroundResult;
    _POI_RESULT_AUTO m_poiResult;
    CSearchManager* m_activeSearch = nullptr;
    POINT m_searchPoint{0, 0};
    // The point-of-interest bar's entry the detail screen was opened for.
    POINT m_poiPoint{0, 0};
    CString m_poiName;
    CString m_poiScreen;

    // FIX-MEMBERS (MainViewFix.cpp)
    struct FixSnapshot;
    // The GPS thread's part of a fix: engine choice, matching, trail, guidance and route progress.
    void MatchFix(const GpsPosRecord& fix, MatchResult& matched, int& fixRate);
    void GuideFix(const MatchResult& matched, bool pedestrian, FixSnapshot& snap);
    // The interface part, on the user-interface thread, in the order of the fixes.
    void ApplyFixSnapshot(const FixSnapshot& snap);
    void EnsureMatchEnginesLocked();
    NaviControl* MainControl(const char16_t* name) const;
    // The highway display of a fix at the panel's page and list (GPS thread); the panel's state as
    // the GPS thread reads it, taken on the user-interface thread; a page the user turned to.
    void FillHighwayInfo(CGuideManager& guide, const MatchResult& matched, CRoutePath* path, FixSnapshot& snap);
    void SyncHighwayPanelView();
    static const char16_t* HighwayListCommand(int listType);
    std::atomic<bool> m_highwayHeld{false};
    std::atomic<int> m_highwayPage{0};
    std::atomic<int> m_highwayList{5};
    std::unique_ptr<CMapMatchBase> m_drivingEngine;
    std::unique_ptr<CMapMatchBase> m_pedestrianEngine;
    std::unique_ptr<CRouteLinkQuery> m_routeQuery;
    CMapMatchBase* m_activeMatcher = nullptr;
    // Guards the engines (the switch, matching, and the shared road-network reader they use).
    CCriticalSection m_matcherLock;
    // Guards the guidance manager between the per-fix work and the user-interface thread.
    std::mutex m_guideLock;
    // Guards the driving trail between the per-fix work (adds) and drawing.
    std::mutex m_locusLock;
    std::atomic<int> m_matcherMode{-1};
    std::atomic<bool> m_resetMatcherRequest{false};
    std::atomic<bool> m_matcherRequest{false};
    std::atomic<bool> m_routeChanged{false};
    std::atomic<bool> m_darcMatch{false};
    std::atomic<bool> m_guidingShared{false};
    std::atomic<bool> m_newMatchedFix{false};
    std::atomic<bool> m_fixProcessed{false};
    std::atomic<bool> m_gpsOn{false};
    std::atomic<int> m_fixCount{0};
    // The GPS thread's own state.
    int m_guideState = 1;
    MatchResult m_vehicleRecord{};
    mutable std::mutex m_vehicleLock;
    // The interface part's state (user-interface thread).
    bool m_arrived = false;
    int m_arrivalCancels = 0;
    POINT m_walkTarget{-1, -1};
    CString m_walkTargetName;
    std::int32_t m_clockOffset = 0;
    bool m_clockKnown = false;

    // DRIVE-MEMBERS (MainViewDrive.cpp)
    // The player, the route simulator and the simulated car of the drive that runs (made when the
    // drive starts, dropped when it ends).
    std::shared_ptr<class CSimulatedDrive> m_drive;
    bool m_simulationLoop = false;
    bool m_exitAfterDrive = false;
    // One step's guidance for the simulated car, as for a real fix.
    void GuideSimulatedStep(CRoutePath& path);

    // ROUTES-MEMBERS (MainViewRoutes.cpp)
    // The transit clients, the re-route worker's shared state and the route-file marks.
    struct RoutesState;
    struct RoutesStateDeleter {
        void operator()(RoutesState* state) const;
    };
    static RoutesState* NewRoutesState();
    std::unique_ptr<RoutesState, RoutesStateDeleter> m_routes{NewRoutesState()};
    // Whether a user's route search may start now (no drive, no pedestrian mode, no re-search,
    // the lock set free).
    bool RouteSearchAllowed() const;
    bool HasShownRoute() const;
    void ShowTransitError(int stringId);
    bool RefusedNotice(const char16_t* text, bool restore);
    void ShowTransitResult(bool subway);
    bool OpenCarRouteFile(const CString& path);
    void ShowOpenedRoute();

    // POINTS-MEMBERS (MainViewPoints.cpp)
    // The registered-point tab's list state between openings: folder row, point row, point kind.
    struct PointListState {
        int page = 0;
        int row = 0;
        int kind = 4;
    };
    class NaviRcBuilder* PointsBuilder() const;
    // A chosen point shown on the map (map coordinates) with the kind it was chosen as.
    void ShowChosenPoint(std::int32_t x, std::int32_t y, int kind, const CString& name, int level);
    // A chosen point made the waypoint, or the start or destination with the route searched;
    // false when refused.
    bool RouteToChosenPoint(std::int32_t x, std::int32_t y, int kind, const CString& name);
    void GoToRegisteredName(const char16_t* entry, bool restoreOnRefusal);
    PointListState m_pointListState;
    CSelectedPoint m_recentSelection;
    CSafePointSelection m_safeSelection;

    // EVENTS-MEMBERS (MainViewEvents.cpp)
    std::atomic<int> m_safeZoneKind{0};
    // The GPS log: the panel's flag and folder choice are read on the GPS reader's thread.
    std::atomic<bool> m_logWanted{false};
    std::atomic<int> m_logPlace{0};
    CGpsLogFile m_logFile;
    LogPanelFigures m_logPanel;
    POINT m_handoverPoint{-1, -1};

    // MULTI-SECTION (MainViewMultiRoute.cpp, MainViewDialogs.cpp)
public:
    // The multi-route page run with the start of the additional routes (1 the vehicle's matched
    // road position); 1 when it searched, 0 when left without starting.
    int ShowMultiRoutePage(int startMode);
    // The waypoint bar of the main screen made again from the edited route's waypoints.
    void RefreshWaypointBar();
    // The kind (1 to 4) of the selected route; 0 when it has none of the four.
    int CurrentRouteKind() const;
    class CVolumeDlg* GetVolumeWindow() const { return m_volumeWnd.get(); }
    // The start-up warning "경고창", shown once per run at the view's first activation after the
    // skinned user interface is up.
    void ShowStartupWarning();
    class CWarningDlg* GetWarningDialog() const { return m_warningDlg.get(); }

private:
    void AnnounceRouteKind(int kind, bool withFlag);
    void SetUpDialogWindows();
    void TearDownDialogWindows();
    std::unique_ptr<class CVolumeDlg, void (*)(class CVolumeDlg*)> m_volumeWnd{nullptr, nullptr};
    std::unique_ptr<class CWarningDlg, void (*)(class CWarningDlg*)> m_warningDlg{nullptr, nullptr};
    bool m_warningShown = false;
    // SETTINGS-MEMBERS (MainViewSettings.cpp)
    int m_portReopenRequests = 0;
public:
    // GPS-SECTION (MainViewGps.cpp, MainViewStart.cpp)
    // The logging panel over the view with the figures UpdateLogPanelMemory gathered; its
    // start/stop and folder choice become the log wish the GPS reader follows. Nothing while it
    // is up.
    void ShowLogPanel();
    bool IsLogPanelShown() const;
    CLogPanelWnd* GetLogPanelWnd() const { return m_logPanelWnd.get(); }
    // First-time steps of the start (MainViewStart.cpp): the POI bar's category and open state from
    // the settings and the display flags; whether any information service is switched on; the
    // guide points the user switched off handed to guidance; the main screen's first state
    // (waypoint buttons of a restored route, view mode, pedestrian control, user menu buttons,
    // volume) with the voice-guidance switch and the button sounds.
    void PrepareOverlayControls();
    void NoteServicesUsed();
    void ApplyDisabledGuidePoints();
    void PrepareMainScreen();
    // The active safe-driving alert's sign at its point on the map (overlay, levels above 4).
    void DrawSafeAlertSign(CDC* dc);
    bool AreServicesUsed() const { return m_servicesUsed; }
    bool IsVoiceGuidanceOn() const { return m_voiceGuidance; }

private:
    // GPS-MEMBERS (MainViewGps.cpp, MainViewStart.cpp)
    struct LogPanelDeleter {
        void operator()(CLogPanelWnd* panel) const;
    };
    std::unique_ptr<CLogPanelWnd, LogPanelDeleter> m_logPanelWnd;
    bool m_servicesUsed = false;
    bool m_voiceGuidance = true;
public:
    // ---- traffic broadcast (MainViewTraffic.cpp) ----
    // The broadcast reception: made with the position services, on the receiver library's decoder
    // and stores; the route search's reception level is read from it.
    void CreateBroadcastReception();
    CBroadcastReception* BroadcastReception() const { return m_reception.get(); }
    // One wake-up of the reception worker (the thread table's reception loop runs it each time the
    // GPS reader's traffic ring forwards its wake): the pending bytes decoded, the level updated,
    // then, with the stores open, the frequency scanner's tuning sentences written to the receiver
    // unit's port.
    void BroadcastReceptionCycle();
    // The receiver library's stores, opened and closed under the stores lock (the GPS reader's
    // receiver mode, the download and the exit); opening copies the configuration's display
    // options into the traffic store and lets the per-fix work hand the matched link over. A close
    // while the traffic sheet is up is done when the sheet returns (an open meanwhile cancels it).
    void OpenBroadcastStores();
    void CloseBroadcastStores();
    bool BroadcastStoresOpen() const;
    // Every singleton of the receiver and pages libraries, in their order, the decoder last; with
    // alsoOwn the application's own (road-network reader, NMEA parser, configuration) after them.
    void DestroyBroadcastSingletons(bool alsoOwn = false);
    // The application's own singletons, last at exit (once view, frame and document are gone).
    static void DestroyOwnSingletons();
    // Told the name of each singleton as it is destroyed (tests).
    static void SetSingletonRecorder(std::function<void(const char*)> recorder);
    static void RecordSingleton(const char* name);
    // Runs the traffic sheet's host with the title (by default the host dialog, modally); tests put
    // a runner that plays the sheet's part.
    void SetTrafficSheetRunner(std::function<void(const CString& title)> runner) {
        m_trafficSheetRunner = std::move(runner);
    }
    // The map move the sheet left in the page store: level from the section's length, the map
    // centred on the grid cell's point when it has one, the move flag cleared.
    void ApplyTrafficMapMove();
    // Display options: the configuration's four service switches, as the sheet's booleans.
    void ReadTrafficDisplayOptions(bool options[4]) const;
    // The options stored in the configuration (settings file saved) and in the traffic store.
    void StoreTrafficDisplayOptions(const bool options[4]);
    // Writes a tuning sentence to the receiver unit's port (serialised with the reader's port use).
    void SetTuningWriter(std::function<int(const char*, int)> writer) { m_tuningWriter = std::move(writer); }
    // The highway traffic download (made with the reception; null before).
    CTrafficDownload* GetTrafficDownload() const { return m_download.get(); }
    // TRAFFIC-SECTION (MainViewTraffic.cpp): add declarations above this line

private:
    // TRAFFIC-MEMBERS (MainViewTraffic.cpp)
    std::unique_ptr<IBroadcastDecoder> m_broadcastDecoder;
    std::unique_ptr<IBroadcastStores> m_broadcastStores;
    std::unique_ptr<CBroadcastReception> m_reception;
    std::function<void(const CString&)> m_trafficSheetRunner;
    std::function<int(const char*, int)> m_tuningWriter;
    // The highway traffic download and the view's share of it.
    std::unique_ptr<TrafficViewShare> m_trafficShare;
    std::unique_ptr<CTrafficDownload> m_download;
    // The traffic sheet is up (it reads the stores): a close asked meanwhile (the GPS reader's
    // receiver mode) waits until the sheet returns. Both under m_sheetLock.
    std::mutex m_sheetLock;
    bool m_sheetUp = false;
    bool m_closeDeferred = false;

public:
    // POI-SECTION (MainViewPoiBar.cpp)
    // Fills the point-of-interest bar with the two facilities nearest the map centre (nothing
    // while the map follows the car).
    void FindPoiBarEntries();

public:
    // OVERLAY-SECTION (CMainViewOverlay.cpp)
    // The two highway facilities marked on the map while a route is followed without guidance:
    // indices into the followed route's list of rest areas, interchanges and junctions (codes
    // 2 to 4), -1 for none.
    void SetFacilityMarks(int first, int second) {
        m_facilityMarks[0] = first;
        m_facilityMarks[1] = second;
    }
    // The marker those facilities are drawn with (made with the skinned user interface).
    const CMapMarkIcon* GetMarkIcon() const { return m_markIcon.get(); }

private:
    // OVERLAY-MEMBERS (CMainViewOverlay.cpp)
    int m_facilityMarks[2] = {-1, -1};
    std::unique_ptr<CMapMarkIcon> m_markIcon;
    // The hand marker at the point handed over by another program (levels above 3).
    void DrawHandMarker(CDC* dc);
    // The marker icon on the remembered facilities of the followed route.
    void DrawFacilityMarks(CDC* dc);
    bool IsMenuOpen() const;

public:
    // REROUTE-SECTION (MainViewReroute.cpp)
    // What the traffic re-route watch and the route monitor read each cycle, on their own
    // threads: the followed route under a short try of route-lock entry 1 (a busy entry answers
    // "no route" for that cycle), everything else from values the per-fix work and the
    // user-interface thread share.
    RerouteWatchState RerouteWatch();
    RouteMonitorState RouteMonitor();
    // The re-route countdown: 0 and up while guidance counts the way driven off the route, 51 or
    // more re-plans at the watch's next cycle, -1 while a re-route plans.
    void SetRerouteCountdown(int value) { m_rerouteCountdown = value; }
    int GetRerouteCountdown() const { return m_rerouteCountdown.load(); }
    // The route monitor's off-route state.
    void SetOffRoute(bool on) { m_offRoute = on; }
    bool IsOffRoute() const { return m_offRoute.load(); }
    // Guided fixes in a row that were not on the route.
    int GetOffRouteFixes() const { return m_offRouteFixes.load(); }
    // The device-active mark (0 once the exit ran).
    void SetDeviceActive(int active) { m_deviceActive = active; }
    int GetDeviceActive() const { return m_deviceActive.load(); }
    // A fixed guidance message (1..24), played at once (any thread).
    void PlayGuidanceMessage(int id);
    // The receiver unit's connection and the GPS score, as the reader reports them: kept for the
    // route monitor and handed to the broadcast decoder.
    void SetBroadcastConnected(int connected);
    void SetBroadcastGpsScore(int score);
    int GetBroadcastConnected() const { return m_broadcastConnected.load(); }
    // REROUTE-SECTION: add declarations above this line

private:
    // REROUTE-MEMBERS (MainViewReroute.cpp)
    // Notes one guided fix (GPS thread): on the route or not, and the guidance's proposals.
    void NoteGuidedFix(const void* path, int carItem, int offRouteSum, int remaining);
    std::atomic<int> m_rerouteCountdown{0};
    std::atomic<bool> m_offRoute{false};
    std::atomic<int> m_deviceActive{1};
    std::atomic<int> m_broadcastConnected{0};
    // Read once with the position services: any of the four map-display options is on.
    std::atomic<bool> m_displayOptionOn{false};
    // The highway panel is up (the user-interface thread notes it with each fix).
    std::atomic<bool> m_highwayPanelActive{false};
    // Left by the per-fix work for the watch and the monitor.
    std::atomic<int> m_lastFixKind{0};
    std::atomic<int> m_offRouteFixes{0};
    std::atomic<int> m_offRouteDistance{0};   // the guidance's re-route proposal
    std::atomic<int> m_routeFixes{0};         // guided fixes on the route since it was made
    std::atomic<int> m_guidedFixes{0};        // every guided fix: the route position moved
    std::atomic<int> m_remainingDistance{0};  // metres left along the route
    const void* m_guidedPath = nullptr;       // GPS thread only
    // The route the watch saw last and when it first saw it (watch thread only).
    const void* m_watchedRoute = nullptr;
    std::uint32_t m_watchedSelection = 0;
    std::uint64_t m_routeMadeTick = 0;
};
