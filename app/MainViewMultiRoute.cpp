// The multi-route search: after a route has been found the user ticks further route kinds on the
// page "다중경로탐색"; each ticked kind other than the current route's is searched, kept as a result
// of its own and shown on the main screen beside the others.
#include "app/CMainView.h"

#include "app/LockSet.h"
#include "app/MultiRoutePageListener.h"
#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/window/Window.h"
#include "position/GuideManager.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviRouteBars.h"
#include "skinui/main/NaviRouteResult.h"

namespace {

constexpr const char16_t* kResearchRunning = u"재탐색 실행 중입니다."; // 32889
constexpr const char16_t* kNoMultiRoute = u"추가경로 탐색을 할 수 없습니다. 재시도 해 주십시요";
constexpr const char16_t* kStartHereQuestion = u"현위치로 출발지를 설정하시겠습니까?"; // 10022
constexpr const char16_t* kWaypointBar = u"경유지설정";
constexpr DWORD kLockMs = 10;
// A key-up of this key (silent) between two searches keeps the device from sleeping.
constexpr BYTE kKeepAwakeKey = 135;
constexpr int kVoiceRoutesFound = 17;

// Holds every entry of the route lock set for one scope: whatever way the scope is left, the set
// is released.
class RouteLockHold {
public:
    explicit RouteLockHold(CLockSet* locks) : m_locks(locks), m_held(locks && locks->Lock(-1, kLockMs)) {}
    ~RouteLockHold() { Release(); }
    RouteLockHold(const RouteLockHold&) = delete;
    RouteLockHold& operator=(const RouteLockHold&) = delete;
    bool Held() const { return m_held; }
    void Release() {
        if (m_held) m_locks->Unlock(-1);
        m_held = false;
    }

private:
    CLockSet* m_locks;
    bool m_held;
};

} // namespace

int CMainView::CurrentRouteKind() const {
    const CRoute* route = m_routeManager.SelectedRoute();
    const int kind = route && route->header ? route->header->kind : 0;
    return CMultiRoutePageListener::IsKind(kind) ? kind : 0;
}

void CMainView::AnnounceRouteKind(int kind, bool withFlag) {
    const CRoute* route = m_routeManager.SelectedRoute();
    if (!route || !route->path) return;
    SendMain(kind, route->path->TotalLength(), route->path->TotalTime());
    if (withFlag) SendMain(kCmdRouteFlag, kind, route->useTraffic == 1 ? 1 : 0);
}

void CMainView::RefreshWaypointBar() {
    SendMainText(kCmdClearWaypoints, kWaypointBar);
    for (int i = 0; i < m_routeManager.GetWaypointCount(); ++i) SendMainText(kCmdAddWaypoint, u"경유지");
}

void CMainView::SearchMultiRoute() {
    if (m_researchRunning.load()) {
        NaviMessageBox::ShowMessage(kResearchRunning, NaviMessageBox::kNotice);
        return;
    }
    if (!m_lockSet || m_lockSet->IsLocked(-1)) {
        NaviMessageBox::ShowMessage(kNoMultiRoute, NaviMessageBox::kNotice);
        return;
    }
    RouteLockHold hold(m_lockSet.get());
    if (!hold.Held()) return;

    // The main screen in route-result mode on the current route.
    if (m_mainScreen) {
        m_mainScreen->ResetIdleTicks();
        m_mainScreen->SetRouteResultMode(true);
    }
    m_routeManager.SelectResult(0);
    SendMain(kCmdRouteResultReset);
    if (const int kind = CurrentRouteKind()) AnnounceRouteKind(kind, true);
    StopAutoReturn();
    StopFollowing();
    ShowRouteOverview();

    // Where the additional routes start: as the current one did, at the vehicle's matched road
    // position (1) or at its shown position (2).
    int mode = 0;
    const CRoute* selected = m_routeManager.SelectedRoute();
    const bool userStart = selected && selected->startSet;
    if (!userStart) {
        const bool fix = m_fixValid && m_matched.x >= 0;
        const int option = m_routeManager.GetRouteOption(0);
        if (!fix) {
            if (option == 0 && m_doc && (m_doc->vehicleX >= 0 || m_doc->vehicleY >= 0) &&
                m_routeManager.SetStart(m_doc->vehicleX, m_doc->vehicleY, u"현위치") >= 1) {
                m_routeManager.EditedRoute().startSet = 0;
                mode = 2;
            }
        } else if (option == 0 ||
                   NaviMessageBox::ShowMessage(kStartHereQuestion, NaviMessageBox::kQuestion) ==
                       NaviMessageBox::kYes) {
            m_routeManager.SetStartAtCurrentPos(m_matched.mapId, m_matched.linkId,
                                                static_cast<std::uint8_t>(m_matched.side), m_matched.x,
                                                m_matched.y);
            mode = 1;
        }
    }

    RepaintMapNow();
    const int searched = ShowMultiRoutePage(mode);
    hold.Release();
    if (!searched) RefreshWaypointBar();
}

int CMainView::ShowMultiRoutePage(int startMode) {
    std::int32_t flags[CMultiRoutePageListener::kKinds] = {};
    if (m_config) m_config->GetMultiRouteOptions(flags);
    const int current = CurrentRouteKind();
    CMultiRoutePageListener page(m_commonDlg.get(), flags, current);
    SendMain(kCmdGuidanceBarOff);
    page.Run();
    if (m_commonDlg) m_commonDlg->SetNaviListener(this);
    page.GetFlags(flags);
    m_routeManager.SetRouteChoiceMode(true);
    RepaintMapNow();

    if (!page.Started()) {
        if (m_mainScreen) m_mainScreen->SetRouteResultMode(false);
        m_routeManager.SetRouteChoiceMode(false);
        return 0;
    }

    {
        CWaitCursor wait;
        for (int kind = 1; kind <= CMultiRoutePageListener::kKinds; ++kind) {
            if (!page.IsTicked(kind) || kind == current) continue;
            m_routeManager.SetRouteKind(kind);
            const int code =
                startMode == 1 ? m_routeManager.SearchRouteFromCurrentPos() : m_routeManager.SearchRoute();
            keybd_event(kKeepAwakeKey, 0, KEYEVENTF_KEYUP | KEYEVENTF_SILENT, 0);
            // A kind that finds no route is left out; the others go on.
            if (code != CRouteManager::kOk) continue;
            m_routeManager.CommitRoute();
            m_routeManager.SelectResult(kind);
            AnnounceRouteKind(kind, true);
            RepaintMapNow();
        }
        if (m_guide) m_guide->PlayMessage(kVoiceRoutesFound);
        if (current) {
            m_routeManager.SelectResult(current);
            AnnounceRouteKind(current, false);
        }
        if (m_config) {
            m_config->SetMultiRouteOptions(flags);
            m_config->SaveSettings(-1);
        }
        ShowRouteOverview();
        ResetMenuIdle();
    }
    // Later searches make their engine afresh again.
    m_routeManager.SetRouteChoiceMode(false);
    SendMain(kCmdRouteResultShow);
    RepaintMapNow();
    return 1;
}
