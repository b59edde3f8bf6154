// The simulated drive along the route: the player strip over the map and a virtual car that the
// route simulator moves along the selected route every 700 ms, with the same guidance, highway
// panel and map following as a real drive. It runs on the user-interface thread inside the
// command that started it and pumps the window messages itself, so the player's buttons and the
// map stay live.
#include "app/CMainView.h"

#include "app/CMainFrame.h"
#include "app/HighwayPanel.h"
#include "app/LockSet.h"
#include "app/MessagePump.h"
#include "app/SimulPlayerDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Clock.h"
#include "platform/threads/Threads.h"
#include "platform/window/AfxControls.h"
#include "position/GuideManager.h"
#include "position/MatchResult.h"
#include "position/RouteSimulator.h"
#include "route/base/Coords.h"
#include "skinui/main/NaviMainScreen.h"

#include <cstring>

namespace {

constexpr const char16_t* kNoDriveOnFoot = u"보행자 모드에서는 모의주행을 할 수 없습니다.";
// String 61220.
constexpr UINT kNoRouteToDrive = 61220;

constexpr DWORD kStepMs = 700;
constexpr DWORD kPausedMs = 100;
// Road classes 1 and 2 (bits 5-7 of the link's attribute byte) drive 20 m further a step.
constexpr int kAttributeByte = 10;
constexpr std::uint8_t kClassMask = 0xE0;
constexpr int kFastRoadExtra = 20;
constexpr BYTE kKeepAwakeKey = 0x87; // F24
// The panel list named after the highway list type.
const char16_t* ListCommand(int type) {
    switch (type) {
    case CHighwayPanel::kRestAreas:
        return u"전체_휴게소";
    case CHighwayPanel::kJunctions:
        return u"전체_분기점";
    case CHighwayPanel::kInterchanges:
        return u"전체_IC";
    default:
        return u"전체";
    }
}

// A WM_QUIT waits in the calling thread's queue.
bool QuitWaiting() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

CRoutePath* DrivablePath(CRouteManager& routes) {
    CRoute* route = routes.SelectedRoute();
    CRoutePath* path = route ? route->path.get() : nullptr;
    return path && path->IsValid() && path->ItemCount() > 0 ? path : nullptr;
}

} // namespace

// What one drive owns.
class CSimulatedDrive {
public:
    std::unique_ptr<CSimulPlayerDlg> player;
    std::unique_ptr<CRouteSimulator> simulator;
    // The simulated fix of the last step.
    MatchResult car;
    int guidance = 1;
};

CSimulPlayerDlg* CMainView::GetSimulPlayer() const { return m_drive ? m_drive->player.get() : nullptr; }

const MatchResult* CMainView::GetSimulatedCar() const { return m_drive ? &m_drive->car : nullptr; }

void CMainView::RunSimulatedDrive(bool restoreOnRefusal) {
    // The drive's own pump can bring the command again: one drive at a time.
    if (m_simulationLoop || m_drive) return;
    if (m_pedestrianMode || !DrivablePath(m_routeManager)) {
        NaviMessageBox::ShowMessage(m_pedestrianMode ? CString(kNoDriveOnFoot) : AfxLoadString(kNoRouteToDrive),
                                    NaviMessageBox::kNotice);
        if (restoreOnRefusal) RestoreMainScreen();
        return;
    }
    m_simulationLoop = true;
    m_simulating = true;
    SetFollowing(false);
    m_drive = std::make_shared<CSimulatedDrive>();
    const int speedBefore = m_config ? m_config->GetValue(40) : 0;
    auto player = std::make_unique<CSimulPlayerDlg>(this);
    player->SetPanelName(u"모의주행");
    if (m_mainScreen) player->SetRcBuilder(m_mainScreen->GetRcBuilder());
    if (GetSafeHwnd() && player->Create(this)) {
        player->SetMainFrame(CMainFrame::Get());
        player->ShowWindow(SW_SHOW);
    }
    player->SetRoute(&m_routeManager);
    player->SetSpeed(speedBefore);
    player->SetEventTarget(this);
    m_drive->player = std::move(player);
    if (m_guide && m_config) {
        // Speed warnings stay on for every road class while simulating.
        int roadClassSpeeds[5];
        for (int i = 0; i < 5; ++i) roadClassSpeeds[i] = m_config->GetValue(23 + i);
        m_guide->SetSpeedLimits(m_config->GetValue(21), 0, roadClassSpeeds, 5);
    }
    if (m_mainScreen) m_mainScreen->SetSimulation(true);
    m_drive->simulator = std::make_unique<CRouteSimulator>();

    // The loop returns when the drive ends, or starts again from the route's start when the
    // running flag was cleared under it.
    while (m_simulationLoop && !QuitWaiting()) {
        SimulatedDriveLoop();
        m_guideInfo.Clear();
        m_simulating = true;
    }
    m_simulationLoop = false;

    m_simulating = false;
    if (m_mainScreen) m_mainScreen->SetSimulation(false);
    PumpMessages();
    std::memset(static_cast<void*>(&m_drive->car), 0xFF, sizeof m_drive->car);
    m_drive->simulator.reset();
    ApplyGuidanceOptions();
    if (m_drive->player) {
        if (m_drive->player->GetSafeHwnd()) m_drive->player->DestroyWindow();
        m_drive->player.reset();
    }
    m_drive.reset();
    // The speed chosen in the player is the next drive's.
    if (m_config && m_config->GetValue(40) != speedBefore) m_config->SaveSettings(-1);
    StartAutoReturn();
    m_guideInfo.Clear();
    m_highwayBarStart = GetTickCount();
    if (m_exitAfterDrive) {
        m_exitAfterDrive = false;
        if (CMainFrame* frame = CMainFrame::Get(); frame && frame->GetSafeHwnd())
            frame->PostMessage(WM_CLOSE, 0, 0);
    }
}

void CMainView::StopSimulatedDrive() { m_simulationLoop = false; }

void CMainView::PlayPendingVoice() {
    // The guidance step publishes under the voice player's own lock; the manager lives until the
    // workers have been joined.
    if (m_guide) m_guide->ProcessVoice();
}

bool CMainView::DeferExitDuringDrive() {
    if (!m_simulationLoop) return false;
    StopSimulatedDrive();
    m_exitAfterDrive = true;
    return true;
}

void CMainView::ShowSimulPlayer(bool show) {
    CSimulPlayerDlg* player = GetSimulPlayer();
    if (!m_simulating || !player || !player->GetSafeHwnd()) return;
    if ((player->IsWindowVisible() != FALSE) != show) player->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CMainView::SimulatedDriveLoop() {
    CRoutePath* path = DrivablePath(m_routeManager);
    if (!path || !m_drive || !m_drive->simulator) {
        // Nothing to drive (the route went while the drive ran): the drive ends, instead of
        // being started again and again.
        m_simulating = false;
        m_simulationLoop = false;
        return;
    }
    CSimulatedDrive& drive = *m_drive;
    CRouteSimulator& simulator = *drive.simulator;
    if (m_guide) m_guide->Reset();
    simulator.Start(m_config ? m_config->GetDataFolder() : u"");
    drive.car = MatchResult();
    drive.guidance = 1;
    m_highwayBarStart = GetTickCount();
    if (m_highwayPanel) m_highwayPanel->SetNextFacility(-1);

    while (m_simulationLoop) {
        if (!m_simulating) return;
        // An exit (WM_QUIT) waits: the drive ends and leaves it to the message loop.
        if (PumpMessages()) {
            m_simulationLoop = false;
            return;
        }
        // The pump may have ended the drive (the player's "종료", "VelkoMenu", an exit).
        if (!m_simulationLoop || !m_drive) return;
        CSimulPlayerDlg* player = drive.player.get();
        if (player && player->IsEndRequested()) {
            StopSimulatedDrive();
            return;
        }
        if (player && player->IsHolding()) {
            UpdateHighwayPanel();
            SleepInLoop(kPausedMs);
            continue;
        }
        if (player && player->IsCheckJump()) {
            const int item = player->FindJumpPoint();
            simulator.SetPosition(*path, player->TakeJumpDistance(), item);
        }
        int step = player ? player->GetSpeedStep() : CSimulPlayerDlg::kSpeedSteps[0];
        if (player && m_config) m_config->SetValue(40, player->GetSpeedIndex());
        // The road the car is on is the one of the last step's fix.
        const std::uint8_t roadClass = drive.car.link[kAttributeByte] & kClassMask;
        if (roadClass == 0x20 || roadClass == 0x40) step += kFastRoadExtra;
        std::memset(static_cast<void*>(&drive.car), 0xFF, sizeof drive.car);
        const int result = simulator.Step(*path, drive.car, step);
        if (player)
            player->AdvanceSlider(simulator.GetItemIndex(), simulator.DistanceAlongRoute(),
                                  result == 0 ? drive.car.moved : 0);
        if (result < 0) {
            // The route or the road network cannot be driven: the drive ends (starting it
            // again would fail the same way, without end).
            m_simulationLoop = false;
            return;
        }
        if (result > 0) {
            m_simulationLoop = false;
        } else {
            GuideSimulatedStep(*path);
            const MatchResult& car = drive.car;
            std::int32_t x = 0, y = 0;
            NetToMapCoord(car.x, car.y, x, y);
            SetVehicle(x, y, car.heading);
            if (m_doc) {
                m_doc->vehicleX = x;
                m_doc->vehicleY = y;
            }
            UpdateHighwayPanel();
            FollowVehicle();
            keybd_event(kKeepAwakeKey, 0, KEYEVENTF_KEYUP | KEYEVENTF_SILENT, 0);
        }
        SleepInLoop(kStepMs);
    }
}

void CMainView::GuideSimulatedStep(CRoutePath& path) {
    if (!m_guide || !m_drive) return;
    CSimulatedDrive& drive = *m_drive;
    const MatchResult& car = drive.car;
    // The per-fix work of the GPS reader shares the route and guidance: entry 1 of the lock set,
    // as a fix takes it.
    const bool locked = !m_lockSet || m_lockSet->Lock(1, 10);
    if (!locked) {
        m_guide->Guide(drive.guidance, car, nullptr, nullptr, nullptr, 0, 0, 0, 0);
        m_guide->GetTurnInfo(m_guideInfo);
        return;
    }
    m_routeManager.UpdateProgress(static_cast<std::uint16_t>(car.mapId), static_cast<std::uint16_t>(car.linkIndex),
                                  car.reverse, drive.simulator->GetItemIndex(), nullptr);
    std::int32_t waypointX = 0, waypointY = 0, goalX = 0, goalY = 0;
    const int next = m_routeManager.PassedWaypoints();
    if (next < m_routeManager.GetWaypointCount()) {
        const POINT p = m_routeManager.GetWaypointPos(next);
        if (p.x >= 0 && p.y >= 0) MapToNetCoord(p.x, p.y, waypointX, waypointY);
    }
    const POINT goal = m_routeManager.GetGoalPos();
    if (goal.x >= 0 && goal.y >= 0) MapToNetCoord(goal.x, goal.y, goalX, goalY);
    m_guide->Guide(drive.guidance, car, &path, nullptr, nullptr, waypointX, waypointY, goalX, goalY);
    m_guide->GetTurnInfo(m_guideInfo);
    if (m_highwayPanel && m_highwayPanel->visible) {
        const int listType = m_highwayPanel->GetListType();
        m_guide->GetHighwayInfo(m_guideInfo, car, &path, m_highwayPanel->GetPageIndex(), listType);
        if (!m_guideInfo.hasNext && !m_highwayPanel->IsShowingAll()) {
            NaviCommand cmd;
            cmd.target = ListCommand(listType);
            m_highwayPanel->ProcessEvent(cmd);
            m_guide->GetHighwayInfo(m_guideInfo, car, &path, m_highwayPanel->GetPageIndex(),
                                    m_highwayPanel->GetListType());
        }
        if (m_guideInfo.hasNext) m_highwayPanel->SetNextFacility(m_guideInfo.next.id);
    }
    if (m_lockSet) m_lockSet->Unlock(1);
}
