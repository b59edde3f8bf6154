// The dialogs over a planned route: the route information with its summary, the waypoint list,
// the simulation player stepped as the drive steps it, and the highway panel. The route is a
// route file (as velko-route saves it) loaded into a route manager on the device's map data.
#include "app/CMainView.h"
#include "app/HighwayPanel.h"
#include "app/LockSet.h"
#include "app/RouteInfoDlg.h"
#include "app/SimulPlayerDlg.h"
#include "app/WaypointDlg.h"
#include "platform/base/CTime.h"
#include "platform/base/Text.h"
#include "platform/window/Dialog.h"
#include "position/MatchResult.h"
#include "position/RouteSimulator.h"
#include "route/MRFormat.h"
#include "route/RouteManager.h"
#include "route/RoutePath.h"
#include "route/base/InputPanel.h"
#include "tools/dialog/DialogSession.h"

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// The window the modeless player and panel float over, stepped by a timer: the simulated drive's
// 700 ms step (100 ms while the player holds), so a script's waits and taps interleave with it.
constexpr UINT kStepTemplate = 4103;

class SteppedHost : public CDialog {
public:
    explicit SteppedHost(std::function<UINT(bool& done)> step) : CDialog(kStepTemplate), m_step(std::move(step)) {
        DialogTemplateInfo info;
        info.rect = RECT{0, 0, 240, 320};
        info.style = WS_POPUP | WS_VISIBLE;
        AfxRegisterDialogTemplate(kStepTemplate, info);
    }
    std::function<void(CWnd*)> onInit;
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        // The map view it stands for runs full screen.
        HideTaskbar();
        if (onInit) onInit(this);
        SetTimer(1, 20);
        return TRUE;
    }
    void OnTimer(UINT_PTR) override {
        KillTimer(1);
        bool done = false;
        const UINT next = m_step(done);
        if (done) EndDialog(IDOK);
        else SetTimer(1, next);
    }
    void OnOK() override {}
    void OnCancel() override {}

private:
    std::function<UINT(bool&)> m_step;
};

// The route manager on the device's map data with the --route file loaded; false (and a line
// saying why) when there is none.
bool LoadRoute(DialogSession& session, CRouteManager& manager) {
    const auto file = session.settings.find("route");
    session.exitCode = 1;
    if (file == session.settings.end()) {
        session.Print("route.error", "no --route file");
        return false;
    }
    if (manager.Init(session.dataFolder) == 0) {
        session.Print("route.error", "the road network cannot be opened");
        return false;
    }
    if (!manager.LoadRouteFile(Utf8ToUtf16(file->second).c_str()) || !manager.SelectedRoute() ||
        !manager.SelectedRoute()->path) {
        session.Print("route.error", "the route file cannot be read");
        return false;
    }
    session.exitCode = 0;
    const CRoutePath& path = *manager.SelectedRoute()->path;
    session.Print("route.length", path.TotalLength());
    session.Print("route.time", path.TotalTime());
    session.Print("route.waypoints", manager.GetWaypointCount());
    return true;
}

// --clock HH:MM:SS: the seconds to add to the device's local time so that it reads that time.
int ClockOffset(const DialogSession& session) {
    const auto clock = session.settings.find("clock");
    int h = 0, m = 0, s = 0;
    char tail = 0;
    if (clock == session.settings.end() ||
        std::sscanf(clock->second.c_str(), "%d:%d:%d%c", &h, &m, &s, &tail) != 3 || h < 0 || h > 23 || m < 0 ||
        m > 59 || s < 0 || s > 59)
        return 0;
    const CTime now = CTime::GetCurrentTime();
    return (h * 3600 + m * 60 + s) - (now.GetHour() * 3600 + now.GetMinute() * 60 + now.GetSecond());
}

// Keeps the summary as the screen last showed it: closing the screen takes it away.
class SummaryKeepingInfoDlg : public CRouteInfoDlg {
public:
    void ProcessEvent(NaviCommand& cmd) override {
        CRouteInfoDlg::ProcessEvent(cmd);
        if (Summary().PageCount() > 0) {
            entries = Summary().Entries();
            pages = Summary().PageCount();
            page = GetCurrentPage();
        }
    }
    std::vector<RouteSummaryEntry> entries;
    int pages = 0, page = 0;
};

CString RoadNumberName(int number) { return CString(CMainView::GetRoadNumberName(static_cast<short>(number))); }

} // namespace

void RunRouteInfoDialog(DialogSession& session) {
    CRouteManager manager;
    if (!LoadRoute(session, manager)) return;
    SummaryKeepingInfoDlg dialog;
    dialog.SetPanelName(CRouteInfoDlg::kPanelName);
    dialog.SetRcBuilder(session.builder);
    dialog.SetUIType(session.Int("type", 2004));
    dialog.SetFromSearch(session.Int("search", 0) != 0);
    dialog.SetRouteManager(&manager);
    dialog.SetClockOffset(ClockOffset(session));
    dialog.SetRoadNumberNames(RoadNumberName);
    dialog.DoModal();
    session.Print("result", dialog.GetActionCode());
    for (const char16_t* label : {u"탐색결과", u"전체거리값", u"현재시각값", u"잔여시간값", u"도착예정시각값", u"출발지",
                                  u"경유지", u"목적지"})
        session.Print("info." + Utf16ToUtf8(label), Utf16ToUtf8(dialog.LabelText(label).GetString()));
    session.Print("tabs", dialog.TabCount());
    session.Print("summary.pages", dialog.pages);
    session.Print("summary.page", dialog.page);
    const auto& entries = dialog.entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
        session.Print("summary." + std::to_string(i), Utf16ToUtf8(CRouteSummary::RowText(entries[i]).GetString()));
}

void RunWaypointsDialog(DialogSession& session) {
    CRouteManager manager;
    if (!LoadRoute(session, manager)) return;
    // The tool's own lock set stands for the program's route locks.
    CLockSet locks;
    locks.Create(3);
    CWaypointDlg dialog(locks);
    dialog.Broker().SetPanelName(u"경유지관리");
    dialog.Broker().SetRcBuilder(session.builder);
    dialog.SetMode(session.Int("menu", 1) != 0);
    dialog.SetRouteManager(&manager);
    dialog.DoModal();
    session.Print("result", dialog.GetActionCode());
    session.Print("selection", dialog.GetSelection());
    session.Print("selection.text", Utf16ToUtf8(dialog.GetSelectedText().GetString()));
    for (int i = 0; i < manager.GetWaypointCount(); ++i)
        session.Print("waypoint." + std::to_string(i), Utf16ToUtf8(manager.GetWaypointName(i).GetString()));
}

void RunPlayerDialog(DialogSession& session) {
    CRouteManager manager;
    if (!LoadRoute(session, manager)) return;
    CRoutePath& path = *manager.SelectedRoute()->path;
    CRouteSimulator simulator;
    if (!simulator.Start(session.dataFolder.GetString())) {
        session.exitCode = 1;
        session.Print("route.error", "the road network cannot be opened");
        return;
    }
    CSimulPlayerDlg player;
    const int steps = session.Int("steps", 10);
    int step = 0, moves = 0, jumps = 0, slider = 0;
    bool arrived = false;
    MatchResult car;
    SteppedHost host([&](bool& done) -> UINT {
        // One turn of the drive: end, hold, jump, advance, report to the slider.
        slider = player.GetSliderPos();
        if (player.IsEndRequested() || step >= steps || arrived) {
            done = true;
            return 0;
        }
        ++step;
        if (player.IsHolding()) return 100;
        if (player.IsCheckJump()) {
            const int item = player.FindJumpPoint();
            if (item >= 0) {
                simulator.SetPosition(path, player.TakeJumpDistance(), item);
                ++jumps;
            }
        }
        int distance = player.GetSpeedStep();
        // The link the car stood on before this step: class 1 and 2 roads go 20 m further.
        const int roadClass = car.status == 1 ? (mrformat::U16(car.link + 10) >> 5) & 7 : 0;
        if (roadClass == 1 || roadClass == 2) distance += 20;
        const int result = simulator.Step(path, car, distance);
        if (result == 1) arrived = true;
        if (result == 0) ++moves;
        player.AdvanceSlider(simulator.GetItemIndex(), simulator.DistanceAlongRoute(), result == 0 ? 1 : 0);
        // The player goes with its host window: what it shows is read while it is there.
        slider = player.GetSliderPos();
        return 700;
    });
    host.onInit = [&](CWnd* over) {
        player.SetPanelName(u"모의주행");
        player.SetRcBuilder(session.builder);
        if (player.Create(over)) player.ShowWindow(SW_SHOW);
        player.SetRoute(&manager);
        player.SetSpeed(session.Int("speed", 0));
    };
    host.DoModal();
    session.Print("steps", step);
    session.Print("moves", moves);
    session.Print("jumps", jumps);
    session.Print("arrived", arrived ? 1 : 0);
    session.Print("ended", player.IsEndRequested() ? 1 : 0);
    session.Print("speed.index", player.GetSpeedIndex());
    session.Print("route.slider", player.GetRouteLength());
    session.Print("slider", slider);
    session.Print("car.item", simulator.GetItemIndex());
    session.Print("car.travelled", simulator.DistanceAlongRoute());
    if (player.GetSafeHwnd()) player.DestroyWindow();
}

void RunHighwayDialog(DialogSession& session) {
    CRouteManager manager;
    if (!LoadRoute(session, manager)) return;
    const CRoutePath& path = *manager.SelectedRoute()->path;
    CHighwayPanel panel;
    std::vector<int> pages;
    const int steps = session.Int("steps", 1);
    int step = 0;
    SteppedHost host([&](bool& done) -> UINT {
        done = ++step > steps;
        return 1000;
    });
    host.onInit = [&](CWnd* over) {
        panel.SetPanelName(u"고속모드");
        panel.SetRcBuilder(session.builder);
        if (!panel.Create(over)) return;
        panel.SetPagingCallback([&](int first, CHighwayPanel*) { pages.push_back(first); });
        panel.SetFacilityCount(session.Int("facilities", 0));
        panel.SetRouteState(true, 0);
        panel.SetRemaining(path.TotalLength(), session.Int("next", 0), path.TotalTime(), session.Int("speed", 0),
                           static_cast<std::uint8_t>(session.Int("bar", 1)));
        panel.Refresh(true);
        panel.ShowWindow(SW_SHOW);
    };
    host.DoModal();
    session.Print("remaining", Utf16ToUtf8(panel.RemainingText()));
    session.Print("next", Utf16ToUtf8(panel.SecondText()));
    session.Print("time", Utf16ToUtf8(panel.TimeText()));
    session.Print("count", Utf16ToUtf8(panel.CountText()));
    session.Print("page", panel.GetPageIndex());
    session.Print("list", panel.GetListType());
    for (std::size_t i = 0; i < pages.size(); ++i) session.Print("paged." + std::to_string(i), pages[i]);
    panel.Release();
}
