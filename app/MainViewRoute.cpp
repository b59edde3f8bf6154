// Route search, the route result on the main screen, the route points and following the vehicle.
#include "app/CMainView.h"

#include "app/LockSet.h"
#include "app/RouteOptionListener.h"
#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/window/AfxControls.h"
#include "position/GuideManager.h"
#include "route/RouteFile.h"
#include "route/base/Coords.h"
#include "skinui/controls/NaviAnimImage.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviRouteBars.h"
#include "skinui/main/NaviRouteResult.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr int kCmdRouteFound = 101;
constexpr int kStepRoutePoint = 7;

// The string-table texts the route commands show.
const CString kResearchRunning = AfxLoadString(32889);
const CString kUnreachable = AfxLoadString(132);
const CString kTooManyWaypoints = AfxLoadString(184);
const CString kStartHereQuestion = AfxLoadString(10022);
const CString kCancelQuestion = AfxLoadString(10018);
constexpr const char16_t* kNoStart = u"출발지가 설정되어 있지 않습니다.";
constexpr const char16_t* kNoGoal = u"목적지가 설정되어 있지 않습니다.";
constexpr const char16_t* kNoRoute = u"탐색된 경로가 없습니다.";
constexpr const char16_t* kWaypointBar = u"경유지설정";

void Notice(const CString& text) { NaviMessageBox::ShowMessage(text, NaviMessageBox::kNotice); }
bool Ask(const CString& text) { return NaviMessageBox::ShowMessage(text, NaviMessageBox::kQuestion) == NaviMessageBox::kYes; }

// The message of an engine failure.
CString SearchFailureText(int code) {
    switch (code) {
    case 1: return u"탐색 옵션이 적절하지 않습니다.";
    case 4: return u"위성 정보가 출발지로 사용하기에 적절하지 않습니다.";
    case 5: return kNoGoal;
    case 6: return u"주변에 설정된 지점이 있습니다. 지점을 확인하시기 바랍니다.";
    case 17: return u"탐색에 필요한 메모리가 부족합니다.";
    case 32: return u"탐색가능 길이를 초과하였습니다.";
    case 41: return u"경유지가 포함되어 있는 경우 역방향 탐색을 할 수 없습니다.";
    default: return kUnreachable;
    }
}

bool NoPosition(const POINT& p) { return p.x == -1 && p.y == -1; }

} // namespace

// ---- the user's hold on the route lock set ----

bool CMainView::LockRouteForUser() {
    if (!m_lockSet) return false;
    // An operation inside another one (accepting inside a search) shares the outer hold.
    if (m_routeLockDepth > 0) {
        ++m_routeLockDepth;
        return true;
    }
    for (int attempt = 0; attempt < 100; ++attempt)
        if (m_lockSet->Lock(-1, 10)) {
            m_routeLockDepth = 1;
            return true;
        }
    return false;
}

void CMainView::UnlockRoute() {
    if (!m_lockSet || m_routeLockDepth == 0) return;
    if (--m_routeLockDepth == 0) m_lockSet->Unlock(-1);
}

void CMainView::SetReceptionLevelSource(std::function<int()> source) {
    std::lock_guard hold(m_receptionLock);
    m_receptionLevelSource = std::move(source);
}

int CMainView::ReceptionLevel() const {
    std::function<int()> source;
    {
        std::lock_guard hold(m_receptionLock);
        source = m_receptionLevelSource;
    }
    return source ? source() : 0;
}

bool CMainView::RouteTrafficOn() const {
    // Downloaded traffic weights routes whatever the broadcast's reception; broadcast traffic only
    // counts from reception level 2.
    if (!m_useTraffic.load()) return false;
    return ReceptionLevel() >= 2 || (m_config && m_config->GetTrafficValidFlag() != 0);
}

void CMainView::SetMatchedVehicle(std::uint16_t mapId, std::uint16_t linkId, std::int8_t side, std::int32_t x,
                                  std::int32_t y) {
    m_matched.mapId = mapId;
    m_matched.linkId = linkId;
    m_matched.side = side;
    m_matched.x = x;
    m_matched.y = y;
}

// ---- route result display and following ----

void CMainView::SearchRouteAndShow() {
    if (m_pedestrianTargetScreen || m_pedestrianMode) return;
    m_pointPickMode = kPickMove;
    if (m_researchRunning) {
        Notice(kResearchRunning);
        return;
    }
    if (!SearchRoute(false, 15, false)) return;
    ShowRouteResult();
}

void CMainView::SearchRouteAndShowKeepMode() {
    if (m_pedestrianTargetScreen || m_pedestrianMode || m_simulating) return;
    if (m_researchRunning) {
        Notice(kResearchRunning);
        return;
    }
    if (!SearchRoute(true, 15, false)) return;
    ShowRouteResult();
}

void CMainView::ShowRouteResult() {
    if (m_mainScreen) m_mainScreen->SetRouteResultMode(true);
    m_routeManager.SelectResult(0);
    SendMain(kCmdRouteResultReset);
    SendMain(kCmdResultOnly);
    if (const CRoute* route = m_routeManager.SelectedRoute()) {
        const int index = route->header->kind;
        SendMain(index, route->path->TotalLength(), route->path->TotalTime());
        SendMain(kCmdRouteFlag, index, route->useTraffic ? 1 : 0);
    }
    StopAutoReturn();
    StopFollowing();
    ShowRouteOverview();
    if (m_mainScreen) m_mainScreen->ResetIdleTicks();
}

void CMainView::FollowVehicle() {
    if (!m_mapReady) return;
    std::int32_t x = -1, y = -1;
    const bool parked = !m_guiding && !m_pedestrianTargetScreen;
    if (parked) {
        // With a usable fix the per-fix work keeps the map on the vehicle.
        if (m_fixValid) return;
        if (m_doc) {
            x = m_doc->vehicleX;
            y = m_doc->vehicleY;
        }
    } else if (m_carX >= 0 || m_carY >= 0) {
        x = m_carX;
        y = m_carY;
    } else if (m_fixValid) {
        NetToMapCoord(m_fix.longitude, m_fix.latitude, x, y);
    }
    if (x < 0 && y < 0) return;
    const int heading = m_fixValid ? m_fix.course : 0;
    m_headingIndex = heading / 10 % 36;
    MoveMapTo(x, y, heading);
    if (parked) StopAutoReturn();
}

// ---- route search ----

void CMainView::ComputeUseTraffic() {
    m_useTraffic = m_config->IsBroadcastTrafficOn() ||
                   (m_config->GetTrafficValidFlag() != 0 && m_config->GetValue(14) != 0);
}

int CMainView::SearchRoute(bool withOptionPanel, signed char mode, bool keepEngineOption) {
    // The per-fix work holds an entry briefly at each fix: the user's search waits for it.
    if (!LockRouteForUser()) return 0;
    m_searchRunning = true;
    StopAutoReturn();
    SetFollowing(false);
    m_routeOption = m_config->GetValue(12);
    ComputeUseTraffic();

    CRoute& edited = m_routeManager.EditedRoute();
    const bool validFix = m_fixValid && m_matched.x >= 0;
    const bool haveResult = m_routeManager.GetRouteCount() > 0;
    bool startSet = false;
    auto startAtVehicle = [&] {
        if (validFix) {
            m_routeManager.SetStartAtCurrentPos(m_matched.mapId, m_matched.linkId,
                                                static_cast<std::uint8_t>(m_matched.side), m_matched.x,
                                                m_matched.y);
            startSet = true;
        } else if (m_doc && (m_doc->vehicleX >= 0 || m_doc->vehicleY >= 0)) {
            startSet = m_routeManager.SetStart(m_doc->vehicleX, m_doc->vehicleY, u"현위치") >= 1;
        }
        // The vehicle is not a start the user chose: the next search takes the vehicle again.
        edited.startSet = 0;
    };
    if (!withOptionPanel) {
        if (!edited.startSet && (!haveResult || Ask(kStartHereQuestion))) startAtVehicle();
    } else if (validFix) {
        startAtVehicle();
    }

    if (m_routeManager.HasWaypoints() && haveResult &&
        NaviMessageBox::ShowMessage(u"기존 경유지를 포함하시겠습니까?", NaviMessageBox::kQuestion) ==
            NaviMessageBox::kNo) {
        m_routeManager.ClearWaypoints();
        SendMainText(kCmdClearWaypoints, kWaypointBar);
    }

    if (!startSet && NoPosition(m_routeManager.GetStartPos())) {
        Notice(kNoStart);
        m_searchRunning = false;
        UnlockRoute();
        StartAutoReturn();
        return 0;
    }

    CRouteOptionListener options(m_commonDlg.get(), m_routeOption, m_config->GetValue(14));
    if (!withOptionPanel) {
        if (!keepEngineOption) m_routeManager.SetRouteKind(m_routeOption);
    } else {
        options.Run();
        if (m_commonDlg) m_commonDlg->SetNaviListener(this);
        m_routeOption = options.Get(CRouteOptionListener::kPriority);
        m_config->SetValue(12, m_routeOption);
        m_config->SetValue(14, options.Get(CRouteOptionListener::kUseTraffic) != 0 ? 1 : 0);
        if (options.Get(CRouteOptionListener::kSave)) m_config->SaveSettings(-1);
        ComputeUseTraffic();
        m_routeManager.SetRouteKind(m_routeOption);
        UpdateDisplayFlags();
    }
    if (options.Get(CRouteOptionListener::kReverse)) m_routeManager.SetReverse(true);

    int found = 0;
    if (!options.Get(CRouteOptionListener::kHere) && !options.Get(CRouteOptionListener::kBack)) {
        const POINT start = m_routeManager.GetStartPos();
        const POINT goal = m_routeManager.GetGoalPos();
        switch (static_cast<std::uint8_t>(mode)) {
        case 0xBB: found = SearchBusRoute(start.x, start.y, goal.x, goal.y) ? 1 : 0; break;
        case 0xCC: found = SearchSubwayRoute(start.x, start.y, goal.x, goal.y) ? 1 : 0; break;
        case 0x0F: found = RunRouteSearch(false) ? 1 : 0; break;
        default: break;
        }
    }
    m_routeManager.SetReverse(false);
    m_searchRunning = false;
    UnlockRoute();
    if (found) SendMain(kCmdRouteFound);
    return found;
}

bool CMainView::RunRouteSearch(bool fromVehicle) {
    int code = 0;
    {
        CWaitCursor wait;
        m_routeManager.SetUseTraffic(RouteTrafficOn() ? 1 : 0);
        code = fromVehicle ? m_routeManager.SearchRouteFromCurrentPos() : m_routeManager.SearchRoute();
        if (code == CRouteManager::kOk) {
            m_routeManager.ClearResults();
            m_routeManager.CommitRoute();
            if (m_guide) m_guide->PlayMessage(17);
            m_routeMode = 0x0F;
            m_routeProgress = 0;
            m_guideInfo.Clear();
            AddRouteToRecentDestinations();
        }
    }
    if (code != CRouteManager::kOk) Notice(SearchFailureText(code));
    m_routeProgress = 0;
    return code == CRouteManager::kOk;
}

// ---- route points ----

void CMainView::ShowRoutePoint(int which) {
    if (which == 3000) {
        StartFollowing();
        FollowVehicle();
        return;
    }
    if (which == 3003) {
        ManageWaypoints(false);
        return;
    }
    if (which != 3001 && which != 3002) return;
    StopFollowing();
    POINT p;
    if (which == 3001)
        p = m_routeManager.GetStartPos();
    else
        p = m_pedestrianMode ? m_routeManager.GetTargetPos() : m_routeManager.GetGoalPos();
    if (NoPosition(p)) {
        Notice(which == 3001 ? kNoStart : kNoGoal);
        SendMain(kCmdRestoreMenu);
        return;
    }
    const int level = StepToLevel(kStepRoutePoint);
    if (level > 0) TakeLevel(level);
    MoveMapTo(p.x, p.y, m_heading);
}

bool CMainView::SetRoutePointByKind(int kind, const CString& name) {
    switch (kind) {
    case 1: {
        const int road = m_routeManager.SetStart(m_chosenX, m_chosenY, name);
        if (ConfirmPointOnTunnel(road, 0)) return true;
        m_routeManager.EditedRoute().startSet = 0;
        return false;
    }
    case 2: {
        const int road = m_routeManager.SetGoal(m_chosenX, m_chosenY, name);
        if (ConfirmPointOnTunnel(road, 1)) return true;
        // Only a goal that was replaced is put back: a refused one left the old goal in place.
        if (road >= 1) m_routeManager.RestorePrevGoal();
        return false;
    }
    case 4:
        m_routeManager.SetGoal(m_chosenX, m_chosenY, name);
        return true;
    default:
        return true;
    }
}

void CMainView::UseSelectedPoint(std::int32_t x, std::int32_t y, int kind, const CString& name, bool moveMap,
                                 int level, int heading) {
    RestartAutoReturn();
    SetFollowing(false);
    CString pointName = name;
    if (pointName.IsEmpty()) {
        char answer[CAdminSearch::kAnswerSize] = {};
        if (m_adminSearch.DoSrch(x, y, answer)) pointName = CString(Cp949ToUtf16(answer));
    }
    SetChosenPoint(x, y);
    switch (kind) {
    case 1: SetRoutePointByKind(1, pointName); break;
    case 2: SetRoutePointByKind(2, pointName); break;
    case 3: AddWaypoint(x, y, pointName); break;
    default: break;
    }
    if (!moveMap) return;
    if (level > 0) TakeLevel(level);
    m_headingIndex = ((heading / 10) % 36 + 36) % 36;
    SetEventText(u"'%s' 주변", pointName.GetString());
    MoveMapTo(x, y, heading);
}

// ---- cancel, reset, accept ----

bool CMainView::HasRoute() const {
    const CRoute* route = m_routeManager.SelectedRoute();
    return m_routeMode != 0 || (route && route->hasResult);
}

void CMainView::CancelRoute(bool ask, bool restoreScreen) {
    auto refuse = [&](const char16_t* text) {
        if (text) Notice(text);
        if (restoreScreen) RestoreMainScreen();
    };
    if (m_pedestrianMode) return refuse(u"보행자 모드에서는 경로를 삭제 할 수 없습니다.");
    if (m_simulating) return refuse(nullptr);
    if (m_researchRunning) return refuse(kResearchRunning);
    if (!HasRoute()) return refuse(kNoRoute);
    if (ask && !Ask(kCancelQuestion)) return refuse(nullptr);
    AcceptRoute(2);
    m_routeManager.ClearRoute();
    m_routeMode = 0;
    m_guideProgress = 0;
    m_routeProgress = 0;
    m_routeOption = 0;
    m_guideInfo.Clear();
    SendMainText(kCmdClearWaypoints, kWaypointBar);
    SendMainText(kCmdRouteSearchOff, u"");
    m_mapWnd.RequestRedraw(1);
}

void CMainView::ResetRoute() {
    if (m_pedestrianMode) {
        Notice(u"보행자 모드에서는 경로재설정을 할 수 없습니다.");
        RestoreMainScreen();
        return;
    }
    if (!HasRoute()) {
        Notice(kNoRoute);
        RestoreMainScreen();
        return;
    }
    SearchRouteAndShowKeepMode();
}

void CMainView::AcceptRoute(int how) {
    if (m_mainScreen && m_mainScreen->IsRouteResultMode()) {
        m_mainScreen->SetRouteResultMode(false);
        m_mainScreen->StopIdleTicks();
    }
    m_routeAccepted = true;
    if (how == 0 || how == 3) {
        SendMainText(kCmdClearWaypoints, kWaypointBar);
        for (int i = 0; i < m_routeManager.GetWaypointCount(); ++i) SendMainText(kCmdAddWaypoint, u"경유지");
        // The per-fix work holds an entry briefly at each fix: the accept waits for it rather
        // than leave the route neither accepted nor saved.
        if (LockRouteForUser()) {
            m_routeManager.AcceptSelectedResult();
            if (!m_routeManager.IsLoadedFromFile()) m_routeManager.SaveRouteFile(nullptr);
            UnlockRoute();
        }
    }
    m_highwayBarStart = GetTickCount();
    m_routeDisplayState = m_routeManager.SelectedRoute() ? 15 : 0;
    if (how != 0 && m_guide) m_guide->Reset();
    if (how == 1) return;
    const int zoomStep = m_config->GetValue(4);
    if (zoomStep > 0) {
        const int level = StepToLevel(zoomStep);
        if (level > 0) TakeLevel(level);
    }
    if (!m_fixValid) {
        const POINT start = m_routeManager.GetStartPos();
        if (!NoPosition(start)) MoveMapTo(start.x, start.y, m_heading);
        m_mapWnd.RequestRedraw(1);
    } else {
        StartFollowing();
        FollowVehicle();
    }
    m_guideProgress = 0;
    m_routeProgress = 0;
    m_routeChanged = true;
}

// ---- the route-point operations of the dialogs ----

bool CMainView::ConfirmPointOnTunnel(int roadKind, int pointKind) {
    static const char16_t* const kNames[3] = {u"출발지", u"목적지", u"경유지"};
    const char16_t* name = kNames[pointKind >= 0 && pointKind <= 2 ? pointKind : 0];
    if (pointKind == 0 && roadKind > 0) roadKind = 1;
    bool ok = true;
    CString text;
    switch (roadKind) {
    case 2: text.Format(u"%s 지점이 고속도로 위에 있습니다. 설정 하시겠습니까?", name); break;
    case 3: text.Format(u"%s 지점이 고가도로 위에 있습니다. 설정 하시겠습니까?", name); break;
    case 4: text.Format(u"%s 지점이 지하차도 입니다. 설정 하시겠습니까?", name); break;
    case 5: text.Format(u"%s 지점이 터널 입니다. 설정 하시겠습니까?", name); break;
    default: break;
    }
    if (roadKind <= 0) {
        // No road found for the point (or the engine refused it).
        text.Format(u"%s로 사용할 도로를 찾지 못했거나 기존 설정과 중복되었습니다. %s를 확인해 주시기 바랍니다. ", name,
                    name);
        Notice(text);
        ok = false;
    } else if (!text.IsEmpty()) {
        ok = Ask(text);
    }
    if (ok) SendMain(kCmdRouteSearchOn);
    return ok;
}

void CMainView::ShowRouteOverview() {
    const CRoute* route = m_routeManager.SelectedRoute();
    if (!route) return;
    const int level = StepToLevel(route->zoomStep);
    if (level > 0) TakeLevel(level);
    if (route->centreX >= 0 && route->centreY >= 0) MoveMapTo(route->centreX, route->centreY, m_heading);
    if (m_mainScreen) m_mainScreen->SetRouteResultPending(true);
}

bool CMainView::AddWaypoint(std::int32_t x, std::int32_t y, const CString& name) {
    if (m_researchRunning) {
        Notice(kResearchRunning);
        return false;
    }
    if (!m_routeManager.HasGoal()) {
        Notice(u"설정된 목적지가 없습니다.");
        return false;
    }
    const int count = m_routeManager.GetWaypointCount();
    if (count >= CRoute::kMaxWaypoints) {
        Notice(kTooManyWaypoints);
        return false;
    }
    if (!Ask(u"경유지를 추가 하시겠습니까?")) return false;
    const int result = m_routeManager.InsertWaypoint(x, y, name, count);
    if (result == CRouteManager::kRepeatedWaypoint) {
        Notice(u"중복된 경유지 선택입니다.");
        return false;
    }
    if (result <= 0) {
        Notice(u"기존 지점과 중복 되었거나, 경유지 지점 설정을 실패 했습니다.");
        return false;
    }
    if (ResearchRouteAndShowInfo()) return true;
    m_routeManager.RemoveWaypoint(count);
    return false;
}

void CMainView::DeleteWaypoint(int index) {
    if (m_researchRunning) {
        Notice(kResearchRunning);
        return;
    }
    RouteWaypointVector& list = m_routeManager.EditedRoute().waypoints;
    if (index < 0 || index >= list.Count()) return;
    CString question;
    question.Format(u"경유지(%d)를 삭제하시겠습니까?", index + 1);
    if (!Ask(question)) return;
    // The whole entry (its link, position and name) goes back when the route cannot do without
    // it; so do the route's waypoint positions and names, which a failed search rewrites.
    const RouteWaypoint kept = list[index];
    const RouteHeader header = *m_routeManager.EditedRoute().header;
    m_routeManager.RemoveWaypoint(index);
    if (ResearchRouteAndShowInfo()) return;
    CRoute& edited = m_routeManager.EditedRoute();
    edited.waypoints.Insert(index, kept);
    std::copy(std::begin(header.waypoints), std::end(header.waypoints), std::begin(edited.header->waypoints));
    std::memcpy(edited.header->waypointNames, header.waypointNames, sizeof header.waypointNames);
}

void CMainView::ShowWaypointOnMap(int index) {
    const POINT p = m_routeManager.GetWaypointPos(index);
    if (p.x == -1 || p.y == -1 || p.y == -2) return;
    const int level = StepToLevel(kStepRoutePoint);
    if (level > 0) TakeLevel(level);
    StopFollowing();
    MoveMapTo(p.x, p.y, m_heading);
    StartAutoReturn();
}

int CMainView::ResearchRouteAndShowInfo() {
    if (m_searchRunning || m_pedestrianMode) return 0;
    if (!LockRouteForUser()) return 0;
    m_searchRunning = true;
    ComputeUseTraffic();
    const CRoute* first = m_routeManager.Result(0);
    const bool fromVehicle = first && first->vehicleStart == 1;
    const bool found = RunRouteSearch(fromVehicle);
    m_searchRunning = false;
    UnlockRoute();
    if (!found) return 0;
    ShowRouteInfo(true, true, false);
    return 1;
}

void CMainView::StartGuidance() {
    if (m_searchRunning) return;
    if (m_researchRunning) {
        Notice(kResearchRunning);
        RestoreMainScreen();
        return;
    }
    const CRoute* route = m_routeManager.SelectedRoute();
    if (!route || !route->hasResult) {
        Notice(kNoRoute);
        RestoreMainScreen();
        return;
    }
    if (m_mainScreen)
        if (auto* image = dynamic_cast<NaviAnimImage*>(m_mainScreen->FindControl(u"RouteResult")))
            image->SetState(route->header->kind);
    StopAutoReturn();
    if (m_guide) m_guide->Reset();
    ShowRouteOverview();
    m_guideInfo.Clear();
    m_guideProgress = 0;
    m_routeProgress = 0;
    m_guiding = true;
    m_mapWnd.RequestRedraw(1);
    StartAutoReturn();
}

void CMainView::SendMainText(int id, const char16_t* text) {
    if (!m_mainScreen) return;
    NaviCommand cmd;
    cmd.target = u"NaviMain";
    cmd.text = text;
    cmd.id = id;
    m_mainScreen->ProcessCommand(cmd);
}
