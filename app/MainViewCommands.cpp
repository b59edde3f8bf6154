// The main screen's commands: the dispatcher of control names and key functions over the tables
// of MainCommands.h, the return to the last search, and the small view operations the tables use.
#include "app/CMainView.h"

#include "app/CMainFrame.h"
#include "app/HighwayMode.h"
#include "app/LockSet.h"
#include "app/MainCommands.h"
#include "app/ViewThreads.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/window/AfxControls.h"
#include "position/GuideManager.h"
#include "skinui/main/NaviMainScreen.h"

namespace {

using Commands = CMainCommands<CMainView>;

// The prompts of the zoom keys by their string-table id.
const char16_t* ZoomPromptText(int id) {
    switch (id) {
    case Commands::kZoomInPrompt:
        return u"지도를 확대 합니다.";
    case Commands::kZoomOutPrompt:
        return u"지도를 축소 합니다.";
    default:
        return nullptr;
    }
}

constexpr UINT kOffRouteReason = 147;

// The per-fix work holds route lock entry 1 while it guides; the announcements are reset between
// two fixes. Tries of 10 ms for up to 100 ms; without the lock set (nothing guides) at once.
template <class Work>
void BetweenFixes(CLockSet* locks, Work work) {
    if (!locks) {
        work();
        return;
    }
    for (int attempt = 0; attempt < 10; ++attempt)
        if (locks->Lock(1, 10)) {
            work();
            locks->Unlock(1);
            return;
        }
}

} // namespace

void CMainView::ProcessEvent(NaviCommand& cmd) {
    m_command = cmd;
    Commands::Dispatch(*this, m_command);
}

void CMainView::RunKeyFunction(short function) {
    if (function < Commands::kFirstKeyFunction || function > Commands::kLastKeyFunction || m_keyFunctionRunning)
        return;
    m_keyFunctionRunning = true;
    m_lastKeyFunction = function;
    Commands::RunKey(*this, function);
    m_keyFunctionRunning = false;
}

void CMainView::ReturnToLastSearch() { Commands::ReturnToLast(*this); }

// ---- what the tables ask of the view ----

int CMainView::CommandMessage(const CString& text, int type) { return NaviMessageBox::ShowMessage(text, type); }

void CMainView::RedrawWholeMap() { m_mapWnd.RequestRedraw(1); }

void CMainView::RefreshMainScreen(int id) {
    if (!m_mapWnd.m_hWnd) return;
    if (id == 1 || id == 2) {
        m_mapWnd.QuickRepaint();
        return;
    }
    if (CDC* dc = m_mapWnd.GetDC()) {
        RefreshOverlay(dc, 0);
        m_mapWnd.ReleaseDC(dc);
    }
}

void CMainView::RequestExit() {
    if (m_mainScreen) m_mainScreen->RequestExit();
}

void CMainView::ShowTaskbar(bool show) {
    CMainFrame* frame = CMainFrame::Get();
    if (!frame) return;
    if (show) frame->ShowTopBar();
    else frame->ShowFullScreen();
}

bool CMainView::ZoomStep(int step, int promptId) {
    const int before = m_mapLevel;
    StepLevel(step);
    if ((step != 1 && step != 2) || m_mapLevel == before) return false;
    if (m_mainScreen && m_mainScreen->IsRouteResultPending()) m_mainScreen->SetRouteResultPending(false);
    if (m_highwayMode) m_highwayMode->StartZoomPrompt();
    if (const char16_t* prompt = ZoomPromptText(promptId)) SetEventText(u"%s", prompt);
    return true;
}

int CMainView::GetZoomPromptCount() const { return m_highwayMode ? m_highwayMode->ZoomPrompt() : 0; }

void CMainView::SelectRouteResult(int id) { m_routeManager.SelectResult(id); }

void CMainView::ResetMenuIdle() {
    if (m_mainScreen) m_mainScreen->ResetIdleTicks();
}

void CMainView::CloseMainMenu() {
    if (m_mainScreen && !m_mainScreen->GetMenuName().IsEmpty()) m_mainScreen->CloseMenu();
}

void CMainView::SyncGuideSoundFlags() {
    if (!m_guide) return;
    BetweenFixes(m_lockSet.get(), [this] { m_guide->Voice().SetPedestrian(m_pedestrianMode); });
}

void CMainView::ResetGuideAnnouncements() {
    if (!m_guide) return;
    BetweenFixes(m_lockSet.get(), [this] { m_guide->ResetAnnouncements(); });
}

bool CMainView::IsTrafficAvailable() const {
    return m_config && (m_config->GetValue(32) != 0 || m_config->GetTrafficValidFlag() != 0);
}

bool CMainView::IsRerouteAllowed() {
    if (m_pedestrianMode || m_pedestrianTargetScreen) return false;
    if (m_routeManager.GetRouteOption(0) == 0) return false;
    return m_guiding || m_researchRunning.load();
}

bool CMainView::StartManualReroute() {
    if (!m_threads) return false;
    SetRerouteMessage(AfxLoadString(kOffRouteReason));
    if (m_threads->StartReroute([this] { RerouteWorker(); })) return true;
    SetRerouteMessage(CString());
    return false;
}

CString CMainView::GetRerouteMessage() const {
    std::lock_guard<std::mutex> hold(m_rerouteMessageLock);
    return m_rerouteMessage;
}

void CMainView::SetRerouteMessage(const CString& text) {
    std::lock_guard<std::mutex> hold(m_rerouteMessageLock);
    m_rerouteMessage = text;
}

int CMainView::GetSetting(int index) const { return m_config ? m_config->GetValue(index) : 0; }

// ---- commands that only open other screens ----

void CMainView::ShowNotImplemented() {
    CommandMessage(u"구현중 입니다.", NaviMessageBox::kNotice);
    RestoreMainScreen();
}

