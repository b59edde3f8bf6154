// Route files, bus and subway routes, the route information, waypoints and the re-route worker.
#include "app/MainViewRoutes.h"

#include "app/CMainView.h"
#include "app/LockSet.h"
#include "app/PointCommands.h"
#include "app/RouteInfoDlg.h"
#include "app/RouteSaveDlg.h"
#include "app/StorageLocation.h"
#include "app/UiWorkQueue.h"
#include "app/ViewThreads.h"
#include "app/WaypointDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/window/AfxControls.h"
#include "config/NaviConfig.h"
#include "platform/files/DeviceRoot.h"
#include "position/GuideManager.h"
#include "route/base/BinFile.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviMainScreen.h"
#include "transit/BusConnect.h"
#include "transit/BusDialog.h"
#include "transit/SubConnect.h"
#include "transit/SubDialog.h"

#include <cstdlib>
#include <mutex>
#include <string>

namespace {

// The texts of the string table these commands show.
const CString kNotRouteFile = AfxLoadString(146);
const CString kNoReverseWithWaypoints = AfxLoadString(185);
const CString kBusyCannotRead = AfxLoadString(212);
const CString kOldRouteFile = AfxLoadString(10004);
const CString kResearchRunning = AfxLoadString(32889);

constexpr const char16_t* kNoRoute = u"탐색된 경로가 없습니다.";
constexpr const char16_t* kSaved = u"%s에 저장 하였습니다.";
constexpr const char16_t* kSaveFailed = u"경로를 저장하지 못했습니다.";
constexpr const char16_t* kBadName = u"저장할 수 없는 이름입니다.";

constexpr std::uint8_t kCarRoute = 0x0F;
constexpr std::uint8_t kOldCarRoute = 0xAA;
constexpr std::uint8_t kBusRoute = 0xBB;
constexpr std::uint8_t kSubwayRoute = 0xCC;

constexpr int kBusPort = 19012;
constexpr int kSubwayPort = 29452;
constexpr int kBasicMenu = 2004;
constexpr DWORD kRouteLockMs = 10;

// Bus server results to the message shown.
int BusMessage(int result) {
    switch (result) {
    case -1: return 134;
    case -2: return 135;
    case -4: return 137;
    case -5: return 138;
    case -10: return 139;
    case -11: return 140;
    default: return 136;
    }
}

int SubwayMessage(int result) {
    switch (static_cast<std::uint32_t>(result)) {
    case 0xC0000002u: return 134;
    case 0xC0000003u: return 135;
    case 0xC0000005u: return 138;
    case 0xC0000001u: return 139;
    default: break;
    }
    if (result == -10) return 139;
    if (result == -11) return 140;
    return 136;
}

CString TransitText(int id) {
    // 134-141 are the route servers' messages; anything else is "no service" (136).
    return AfxLoadString(id >= 134 && id <= 141 ? static_cast<UINT>(id) : 136u);
}

// A route server's address from device.ini ("busserver" / "subwayserver" = HOST[:PORT]; the
// loopback and the server's own port when absent). False when the setting names no host or a
// port outside 1-65535: the client cannot be set up.
bool TransitServer(const char* key, int defaultPort, std::string& host, int& port) {
    const std::string setting = DeviceRoot::Setting(key, "127.0.0.1");
    host = setting;
    port = defaultPort;
    const std::size_t colon = setting.rfind(':');
    if (colon != std::string::npos) {
        host = setting.substr(0, colon);
        const std::string digits = setting.substr(colon + 1);
        char* end = nullptr;
        const long p = std::strtol(digits.c_str(), &end, 10);
        if (digits.empty() || !end || *end != 0 || p < 1 || p > 65535) return false;
        port = static_cast<int>(p);
    }
    return !host.empty();
}

routes_dialogs::RouteInfoRunner& InfoRunner() {
    static routes_dialogs::RouteInfoRunner runner;
    return runner;
}
routes_dialogs::RouteSaveRunner& SaveRunner() {
    static routes_dialogs::RouteSaveRunner runner;
    return runner;
}
routes_dialogs::WaypointRunner& WaypointRunnerSlot() {
    static routes_dialogs::WaypointRunner runner;
    return runner;
}
routes_dialogs::TransitRunner& TransitRunnerSlot() {
    static routes_dialogs::TransitRunner runner;
    return runner;
}

int RunRouteInfo(CRouteInfoDlg& dlg) {
    if (InfoRunner()) return InfoRunner()(dlg);
    dlg.DoModal();
    return dlg.GetActionCode();
}

routes_dialogs::RouteSaveAnswer RunRouteSave(CRouteSaveDlg& dlg) {
    if (SaveRunner()) return SaveRunner()(dlg);
    dlg.DoModal();
    routes_dialogs::RouteSaveAnswer a;
    a.action = dlg.GetActionCode();
    a.name = dlg.GetRouteName();
    a.selected = dlg.GetSelectedRoute();
    a.reverse = dlg.IsReverseSearch();
    return a;
}

routes_dialogs::WaypointAnswer RunWaypoints(CWaypointDlg& dlg) {
    if (WaypointRunnerSlot()) return WaypointRunnerSlot()(dlg);
    dlg.DoModal();
    return {dlg.GetActionCode(), dlg.GetSelection()};
}

} // namespace

namespace routes_dialogs {

void SetRouteInfoRunner(RouteInfoRunner runner) { InfoRunner() = std::move(runner); }
void SetRouteSaveRunner(RouteSaveRunner runner) { SaveRunner() = std::move(runner); }
void SetWaypointRunner(WaypointRunner runner) { WaypointRunnerSlot() = std::move(runner); }
void SetTransitRunner(TransitRunner runner) { TransitRunnerSlot() = std::move(runner); }

} // namespace routes_dialogs

// ---- the group's own state ----

struct CMainView::RoutesState {
    CBusConnect bus;
    CSubConnect sub;
    // Used only by the user-interface thread.
    bool openedFromFile = false;
    bool searchAgain = false;
    // Shared with the re-route worker.
    mutable std::mutex mutex;
    int fixKind = 0;
    std::uint16_t mapId = 0, linkId = 0;
    std::uint32_t side = 0;
    std::int32_t x = 0, y = 0;
    std::atomic<bool> rerouteActive{false};
    std::atomic<bool> rerouteRequested{false};
};

CMainView::RoutesState* CMainView::NewRoutesState() { return new RoutesState; }

void CMainView::RoutesStateDeleter::operator()(RoutesState* state) const { delete state; }

void CMainView::SetRerouteStart(int fixKind, std::uint16_t mapId, std::uint16_t linkId, std::uint32_t side,
                                std::int32_t x, std::int32_t y) {
    std::lock_guard<std::mutex> hold(m_routes->mutex);
    m_routes->fixKind = fixKind;
    m_routes->mapId = mapId;
    m_routes->linkId = linkId;
    m_routes->side = side;
    m_routes->x = x;
    m_routes->y = y;
}

bool CMainView::IsRerouteActive() const { return m_routes->rerouteActive.load(); }

bool CMainView::IsRerouteThreadRunning() const { return m_threads && m_threads->RerouteRunning(); }

bool CMainView::IsRouteOpenedFromFile() const { return m_routes->openedFromFile; }

bool CMainView::RouteSearchAllowed() const {
    return !m_simulating && !m_pedestrianMode && !m_researchRunning.load() && !(m_lockSet && m_lockSet->IsLocked(-1));
}

bool CMainView::HasShownRoute() const {
    switch (m_routeMode) {
    case kCarRoute:
    case kOldCarRoute: {
        const CRoute* route = m_routeManager.SelectedRoute();
        return route && route->hasResult && route->path;
    }
    case kBusRoute: return m_routes->bus.HasInfo() != 0;
    case kSubwayRoute: return m_routes->sub.HasInfo() != 0;
    default: return false;
    }
}

// A refusal's notice; the main screen restored when asked. Always true (the command ends).
bool CMainView::RefusedNotice(const char16_t* text, bool restore) {
    NaviMessageBox::ShowMessage(text, NaviMessageBox::kNotice);
    if (restore) RestoreMainScreen();
    return true;
}

void CMainView::ShowTransitError(int stringId) {
    AfxMessageBox(TransitText(stringId), MB_OK | MB_ICONERROR);
}

// ---- bus and subway routes ----

bool CMainView::SearchBusRoute(std::int32_t startX, std::int32_t startY, std::int32_t goalX, std::int32_t goalY) {
    CBusConnect& bus = m_routes->bus;
    int result = 0;
    {
        CWaitCursor wait;
        std::string host;
        int port = 0;
        if (!TransitServer("busserver", kBusPort, host, port) || bus.Setup(host.c_str(), static_cast<short>(port)) != 1) {
            wait.Restore();
            ShowTransitError(141);
            return false;
        }
        result = bus.Execute(static_cast<ULONG>(startX), static_cast<ULONG>(startY), static_cast<ULONG>(goalX),
                             static_cast<ULONG>(goalY));
        bus.Close();
    }
    if (result == 0) {
        m_routeMode = kBusRoute;
        return true;
    }
    ShowTransitError(BusMessage(result));
    return false;
}

bool CMainView::SearchSubwayRoute(std::int32_t startX, std::int32_t startY, std::int32_t goalX, std::int32_t goalY) {
    CSubConnect& sub = m_routes->sub;
    int result = 0;
    {
        CWaitCursor wait;
        std::string host;
        int port = 0;
        if (!TransitServer("subwayserver", kSubwayPort, host, port) ||
            sub.Setup(host.c_str(), static_cast<short>(port)) != 1) {
            wait.Restore();
            ShowTransitError(141);
            return false;
        }
        result = sub.Execute(static_cast<ULONG>(startX), static_cast<ULONG>(startY), static_cast<ULONG>(goalX),
                             static_cast<ULONG>(goalY));
        sub.Close();
    }
    if (result == 0) {
        m_routeMode = kSubwayRoute;
        return true;
    }
    ShowTransitError(SubwayMessage(result));
    return false;
}

void CMainView::ShowTransitResult(bool subway) {
    routes_dialogs::TransitAnswer answer;
    if (TransitRunnerSlot()) {
        answer = TransitRunnerSlot()(subway);
    } else {
        RegisterTransitDialogTemplates();
        if (subway) {
            CSubDialog dlg(this);
            dlg.m_pConnect = &m_routes->sub;
            answer.code = static_cast<int>(dlg.DoModal());
            SubLineInfo info{};
            dlg.GetInfo(info);
            answer.x = info.x;
            answer.y = info.y;
        } else {
            CBusDialog dlg(this);
            dlg.m_pConnect = &m_routes->bus;
            answer.code = static_cast<int>(dlg.DoModal());
            BusStopInfo info{};
            dlg.GetInfo(info);
            answer.x = info.x;
            answer.y = info.y;
        }
    }
    if (answer.code == 2) {
        StartAutoReturn();
        return;
    }
    // The chosen stop becomes the point shown, the map centred on it facing north.
    StopFollowing();
    MoveMapTo(answer.x, answer.y, 0);
    m_routes->searchAgain = false;
}

// ---- the route information ----

void CMainView::ShowRouteInfo(bool resultMode, bool acceptAfter, bool fromMenu) {
    if (m_pedestrianMode) {
        RefusedNotice(u"보행자모드에서는 경로 정보를 볼 수 없습니다.", fromMenu);
        return;
    }
    if (!HasShownRoute()) {
        RefusedNotice(kNoRoute, fromMenu);
        return;
    }
    StopAutoReturn();
    const bool resultOverlay = m_mainScreen && m_mainScreen->IsRouteResultMode();
    if (resultOverlay) m_mainScreen->StopIdleTicks();

    if (m_routeMode == kBusRoute || m_routeMode == kSubwayRoute) {
        ShowTransitResult(m_routeMode == kSubwayRoute);
        return;
    }

    CRouteInfoDlg dlg(this);
    dlg.SetPanelName(CRouteInfoDlg::kPanelName);
    if (m_mainScreen) {
        dlg.SetRcBuilder(m_mainScreen->GetRcBuilder());
        dlg.SetUIType(m_mainScreen->GetMode());
    }
    dlg.SetFromSearch(fromMenu);
    dlg.SetRouteManager(&m_routeManager);
    // The clocks shown follow the GPS time once it is known.
    dlg.SetClockOffset(m_clockOffset);
    if (auto* bar = m_mainScreen ? dynamic_cast<NaviHighwayBar*>(m_mainScreen->FindControl(u"TrackBar")) : nullptr) {
        const CRoute* route = m_routeManager.SelectedRoute();
        const CRoutePath* path = route && route->path ? route->path.get() : nullptr;
        if (!acceptAfter) {
            // A route being driven: the time left as the bar estimates it from the speed so far.
            if (bar->Snapshot().routeTime > 0) {
                std::uint32_t left = 0;
                bar->GetRemainingTime(left);
                dlg.SetEstimatedTime(static_cast<int>(left));
            }
        } else if (path) {
            // A new route: the bar estimates from the route's own time and length.
            bar->SetRouteTime(path->TotalTime());
            bar->SetRouteLength(path->TotalLength());
        }
    }
    const int code = RunRouteInfo(dlg);
    if (acceptAfter) AcceptRoute(0);
    if (m_mainScreen && m_mainScreen->IsRouteResultMode()) m_mainScreen->SetRouteResultMode(false);

    switch (code) {
    case 5:
        CancelRoute(true, true);
        if (fromMenu) RestoreMainScreen();
        break;
    case 6: AcceptRoute(2); break;
    case 7:
        m_routes->searchAgain = !resultMode;
        AcceptRoute(1);
        if (m_mainScreen && m_mainScreen->GetMode() == kBasicMenu)
            SearchRouteAndShowKeepMode();
        else
            SearchMultiRoute();
        break;
    case 8:
        SaveRoute(false);
        m_routes->searchAgain = false;
        AcceptRoute(2);
        break;
    case 9:
        AcceptRoute(1);
        StartGuidance();
        break;
    case 10:
        AcceptRoute(2);
        RunSimulatedDrive(false);
        break;
    case 13:
    case 14:
        ShowRoutePoint(code == 13 ? 3001 : 3002);
        StartAutoReturn();
        break;
    case 15:
        AcceptRoute(1);
        ManageWaypoints(false);
        break;
    default:
        m_routes->searchAgain = false;
        AcceptRoute(2);
        if (code == 3) RestoreMainScreen();
        break;
    }
}

// ---- saving and opening ----

void CMainView::SaveRoute(bool restoreOnRefusal) {
    if (m_simulating) return;
    if (m_pedestrianMode) {
        RefusedNotice(u"보행자 모드에서는 경로를 저장 할 수 없습니다.", restoreOnRefusal);
        return;
    }
    if (m_researchRunning.load()) {
        RefusedNotice(kResearchRunning, restoreOnRefusal);
        return;
    }
    if (!HasShownRoute()) {
        RefusedNotice(kNoRoute, restoreOnRefusal);
        return;
    }
    CRouteSaveDlg dlg(this);
    dlg.SetPanelName(CRouteSaveDlg::kSaveScreen);
    if (m_mainScreen) dlg.SetRcBuilder(m_mainScreen->GetRcBuilder());
    const routes_dialogs::RouteSaveAnswer answer = RunRouteSave(dlg);
    if (answer.action == CRouteSaveDlg::kActionBack) {
        if (restoreOnRefusal) RestoreMainScreen();
        return;
    }
    if (answer.action != CRouteSaveDlg::kActionSave) return;

    // The name becomes "<name>R.vkp" in the storage folder: nothing that would leave the folder
    // or name a device is taken.
    if (!CRouteSaveDlg::IsValidRouteName(answer.name)) {
        NaviMessageBox::ShowMessage(kBadName, NaviMessageBox::kNotice);
        return;
    }
    StopAutoReturn();
    EnsureStorageFolder(-1);
    const CString folder = CNaviConfig::GetInstance()->GetItemPath(u"현재저장위치", -1);
    CString path;
    path.Format(u"%s\\%sR.vkp", folder.GetString(), answer.name.GetString());
    bool saved = false;
    if (m_routeMode == kBusRoute) {
        // The client reports its own failures; a bus or subway route is saved without a notice.
        m_routes->bus.SaveRouteBus(path.GetString());
    } else if (m_routeMode == kSubwayRoute) {
        m_routes->sub.SaveRouteSub(path.GetString());
    } else {
        // Entry 2 guards the route while it is written; nothing else holds it for long.
        const bool locked = m_lockSet && m_lockSet->Lock(2, INFINITE);
        saved = m_routeManager.SaveRouteFile(path.GetString());
        if (locked) m_lockSet->Unlock(2);
        CString text;
        if (saved)
            text.Format(kSaved, path.GetString());
        else
            text = kSaveFailed;
        NaviMessageBox::ShowMessage(text, NaviMessageBox::kNotice);
    }
    StartAutoReturn();
}

// Loads a car route file under the whole lock set; false (string 212 shown) when it is busy.
bool CMainView::OpenCarRouteFile(const CString& path) {
    if ((m_lockSet && m_lockSet->IsLocked(-1)) || !LockRouteForUser()) {
        RefusedNotice(kBusyCannotRead, true);
        return false;
    }
    const bool loaded = m_routeManager.LoadRouteFile(path.GetString());
    if (loaded) {
        m_routeMode = kCarRoute;
        m_guideInfo = CGuideInfo{};
    }
    UnlockRoute();
    return loaded;
}

void CMainView::ShowOpenedRoute() {
    m_routes->openedFromFile = true;
    m_routeManager.SetReverse(false);
    ShowRouteInfo(false, false, false);
    m_routes->openedFromFile = false;
}

void CMainView::OpenSavedRoute() {
    if (m_simulating || m_pedestrianMode) {
        RestoreMainScreen();
        return;
    }
    CNaviConfig* config = CNaviConfig::GetInstance();
    const int locationBefore = config->GetValue(64);
    CRouteSaveDlg dlg(this);
    dlg.SetPanelName(CRouteSaveDlg::kSavedScreen);
    if (m_mainScreen) dlg.SetRcBuilder(m_mainScreen->GetRcBuilder());
    dlg.SetRouteFolder(config->GetItemPath(u"현재저장위치", -1) + u"\\");
    const routes_dialogs::RouteSaveAnswer answer = RunRouteSave(dlg);
    if (config->GetValue(64) != locationBefore && !ApplyStorageLocationChange(locationBefore)) {
        RestoreMainScreen();
        return;
    }
    if (answer.action == CRouteSaveDlg::kActionBack) {
        RestoreMainScreen();
        return;
    }
    if (answer.action != CRouteSaveDlg::kActionOpen) {
        if (m_viewMode == 0 || m_viewMode == 1) ApplyCurrentLevel();
        UpdateCenterOffset();
        return;
    }

    const CString path = config->GetItemPath(u"현재저장위치", -1) + u"\\" + answer.selected;
    std::uint8_t kind = 0;
    bool haveKind = false;
    {
        CBinFile file;
        if (file.Open(path.GetString(), CBinFile::kModeRead) != 0) {
            CString text;
            text = AfxLoadString(145);
            text.Replace(u"%1", path.GetString());
            RefusedNotice(text.GetString(), true);
            return;
        }
        // An empty file has no kind byte: it is not a route file.
        haveKind = file.Read(kind) == 1;
        file.Close();
    }
    bool opened = false;
    if (!haveKind) {
        m_routeMode = 0;
        RefusedNotice(kNotRouteFile, true);
        return;
    }
    switch (kind) {
    case kOldCarRoute: RefusedNotice(kOldRouteFile, true); return;
    case kBusRoute:
        opened = m_routes->bus.OpenRouteBus(path.GetString()) == 1;
        if (opened) m_routeMode = kBusRoute;
        break;
    case kSubwayRoute:
        opened = m_routes->sub.OpenRouteSub(path.GetString()) == 1;
        if (opened) m_routeMode = kSubwayRoute;
        break;
    case kCarRoute:
        if (!OpenCarRouteFile(path)) return;
        opened = true;
        break;
    default:
        m_routeMode = 0;
        RefusedNotice(kNotRouteFile, true);
        return;
    }
    if (!opened) {
        // The client has said what was wrong with the file; the route shown stays.
        RestoreMainScreen();
        return;
    }
    StopAutoReturn();
    if (answer.reverse && m_routeMode == kCarRoute) {
        if (m_routeManager.HasWaypoints()) {
            NaviMessageBox::ShowMessage(kNoReverseWithWaypoints, NaviMessageBox::kNotice);
            ShowOpenedRoute();
        } else {
            SearchReverseRoute();
        }
    } else {
        ShowOpenedRoute();
    }
    StartAutoReturn();
}

void CMainView::SearchReverseRoute() {
    if (m_simulating || m_pedestrianMode) return;
    if (m_researchRunning.load()) {
        NaviMessageBox::ShowMessage(kResearchRunning, NaviMessageBox::kNotice);
        return;
    }
    if (!HasShownRoute()) {
        RefusedNotice(u"역방향 탐색 경로가 없습니다.", true);
        return;
    }
    if (!m_lockSet || !m_lockSet->Lock(-1, kRouteLockMs)) return;
    StopAutoReturn();
    m_routeManager.SetReverse(true);
    const bool found = RunRouteSearch(false);
    m_routeManager.SetReverse(false);
    m_lockSet->Unlock(-1);
    if (found) ShowRouteInfo(true, false, false);
}

// ---- the entry points without a caller ----

void CMainView::SearchBusRouteAndShow() {
    if (m_simulating || m_pedestrianMode || !RouteSearchAllowed()) return;
    if (SearchRoute(false, static_cast<signed char>(kBusRoute), false)) ShowRouteInfo(false, true, false);
    StartAutoReturn();
}

void CMainView::SearchSubwayRouteAndShow() {
    if (m_simulating || m_pedestrianMode || !RouteSearchAllowed()) return;
    if (SearchRoute(false, static_cast<signed char>(kSubwayRoute), false)) ShowRouteInfo(false, true, false);
    StartAutoReturn();
}

void CMainView::SearchRouteAgainWithOptions() {
    if (!RouteSearchAllowed()) return;
    SearchRouteAndShowKeepMode();
}

// ---- waypoints ----

void CMainView::ManageWaypoints(bool restoreOnRefusal) {
    if (m_pedestrianMode) {
        RefusedNotice(u"보행자 모드에서는 경유지관리를 할 수 없습니다.", restoreOnRefusal);
        return;
    }
    if (m_routeManager.GetWaypointCount() < 1) {
        RefusedNotice(u"설정된 경유지가 없습니다.", restoreOnRefusal);
        return;
    }
    CLockSet spare;
    if (!m_lockSet) spare.Create(3);
    CWaypointDlg dlg(m_lockSet ? *m_lockSet : spare, this);
    dlg.SetMode(restoreOnRefusal);
    dlg.Broker().SetPanelName(u"경유지관리");
    if (m_mainScreen) dlg.Broker().SetRcBuilder(m_mainScreen->GetRcBuilder());
    dlg.SetRouteManager(&m_routeManager);
    const routes_dialogs::WaypointAnswer answer = RunWaypoints(dlg);
    const int index = answer.selection;
    switch (answer.action) {
    case 3: RestoreMainScreen(); return;
    case 11: ShowWaypointOnMap(index); break;
    case 12:
        SetMovingWaypoint(index);
        m_pointPickMode = kPickMoveWaypoint;
        ShowWaypointOnMap(index);
        SetEventText(u"경유지(%d)를 이동합니다.", index + 1);
        break;
    case 13: DeleteWaypoint(index); break;
    case 14:
        NaviMessageBox::ShowMessage(u"경유지 순서가 변경되어 탐색을 다시 하겠습니다.", NaviMessageBox::kNotice);
        ResearchRouteAndShowInfo();
        break;
    case 15:
        ResearchRouteAndShowInfo();
        RestoreMainScreen();
        return;
    default: break;
    }
    // "이전" then brings the waypoint screen back.
    m_lastSearchName = u"경유지관리";
    if (m_mainScreen) {
        NaviCommand cmd;
        cmd.target = u"NaviMain";
        cmd.text = m_lastSearchName;
        cmd.id = 100;
        m_mainScreen->ProcessCommand(cmd);
    }
    if (m_mapWnd.m_hWnd) {
        m_mapWnd.Invalidate(FALSE);
        m_mapWnd.UpdateWindow();
    }
}

// ---- the re-route worker ----

void CMainView::StartRerouteThread() {
    if (!m_threads || !m_config || !m_config->GetValue(15)) return;
    m_routes->rerouteRequested = true;
    m_threads->StartReroute([this] { RerouteWorker(true); }, THREAD_PRIORITY_BELOW_NORMAL);
}

void CMainView::RerouteWorker(bool forTraffic) {
    // Runs on its own thread: the route is worked on under the whole lock set, and everything
    // that touches a window goes to the user-interface thread afterwards.
    if (!m_lockSet || !m_uiQueue || m_lockSet->IsLocked(-1) || !m_lockSet->Lock(-1, kRouteLockMs)) return;
    RoutesState& state = *m_routes;
    m_researchRunning = true;
    // While it plans the countdown is stopped; it counts again from 0 for the route it leaves.
    m_rerouteCountdown = -1;
    // Only the worker holding the route marks the traffic re-search, so a start that finds the
    // route busy leaves the mark of the one that runs alone.
    m_trafficReroutePending = forTraffic;
    state.rerouteActive = true;
    m_uiQueue->Post([this] {
        if (m_mapWnd.m_hWnd) m_mapWnd.Invalidate(FALSE);
    });

    // Traffic weights the new route when it is wanted and there is traffic to weight by now.
    m_routeManager.SetUseTraffic(RouteTrafficOn() ? 1 : 0);
    {
        std::lock_guard<std::mutex> hold(state.mutex);
        if (state.fixKind == 1)
            m_routeManager.SetStartAtCurrentPos(state.mapId, state.linkId, state.side, state.x, state.y);
    }
    const bool found = m_routeManager.Reroute() == 0;
    int waypoints = 0;
    if (found) {
        m_routeManager.ClearResults();
        m_routeManager.CommitRoute();
        m_routeManager.AcceptSelectedResult();
        if (m_guide) m_guide->Reset();
        waypoints = m_routeManager.GetWaypointCount();
    }
    state.rerouteActive = false;
    m_rerouteCountdown = 0;
    m_researchRunning = false;
    m_trafficReroutePending = false;
    state.rerouteRequested = false;
    m_lockSet->Unlock(-1);

    // One snapshot for the user-interface thread, in order.
    m_uiQueue->Post([this, found, waypoints] {
        {
            std::lock_guard<std::mutex> hold(m_routes->mutex);
            SetRerouteMessage(CString());
        }
        if (!found) return;
        m_guideInfo = CGuideInfo{};
        if (m_mainScreen) {
            NaviCommand bar;
            bar.target = u"NaviMain";
            bar.text = u"경유지설정";
            bar.id = 2016;
            m_mainScreen->ProcessCommand(bar);
            for (int i = 0; i < waypoints; ++i) {
                NaviCommand add;
                add.target = u"NaviMain";
                add.text = u"경유지";
                add.id = 2012;
                m_mainScreen->ProcessCommand(add);
            }
        }
        if (m_mapWnd.m_hWnd) m_mapWnd.Invalidate(FALSE);
    });
}
