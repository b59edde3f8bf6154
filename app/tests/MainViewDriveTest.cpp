// The simulated drive on the sample device: a route planned from the eastbound 누리고속도로 to
// 가람시청 with the view's route manager, driven by the view's loop. Each of the loop's sleeps is
// taken by the test (the thread's loop-sleep hook), so the test sees the car after every step, lets
// the time pass and presses the player's buttons as the user would between two steps.
#include "MainViewFixture.h"

#include "app/HighwayMode.h"
#include "app/SimulPlayerDlg.h"
#include "platform/threads/Threads.h"
#include "position/MRNetReader.h"
#include "position/MatchResult.h"
#include "position/RouteSimulator.h"
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "skinui/NaviControl.h"
#include "skinui/main/NaviMainScreen.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"

#include <functional>

namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

using namespace mainview_test;

namespace {

// One sleep of the drive's loop and the car as it stood then.
struct Turn {
    DWORD ms = 0;
    bool hasCar = false;
    MatchResult car;
    int zoomPrompt = 0;
};

bool FastRoad(const MatchResult& car) {
    const int roadClass = car.link[10] & 0xE0;
    return roadClass == 0x20 || roadClass == 0x40;
}

bool SameSegment(const MatchResult& a, const MatchResult& b) {
    return a.status == 1 && b.status == 1 && a.mapId == b.mapId && a.linkIndex == b.linkIndex &&
           a.segmentIndex == b.segmentIndex;
}

class DriveTest : public MainViewTest {
protected:
    void TearDown() override {
        SetLoopSleepHook(nullptr);
        WinSetMessageBoxHandler(nullptr);
        MainViewTest::TearDown();
    }

    void PlanRoute() {
        CRouteManager& routes = m_view->GetRouteManager();
        ASSERT_EQ(routes.Init(kDataFolder), 1);
        routes.SetRouteKind(1);
        std::int32_t x = 0, y = 0;
        NetToMapCoord(45729040, 13495908, x, y);
        ASSERT_GE(routes.SetStart(x, y, u"출발"), 1);
        NetToMapCoord(45763755, 13506271, x, y);
        ASSERT_GE(routes.SetGoal(x, y, u"가람시청"), 1);
        ASSERT_EQ(routes.SearchRoute(), 0);
        ASSERT_EQ(routes.CommitRoute(), 1);
        ASSERT_NE(Path(), nullptr);
    }
    CRoutePath* Path() {
        CRoute* route = m_view->GetRouteManager().SelectedRoute();
        return route ? route->path.get() : nullptr;
    }

    // Runs the drive; each sleep of its loop is recorded, its time passes, then onTurn runs with
    // the turn's number (the user's actions between two steps).
    void Drive(const std::function<void(std::size_t)>& onTurn = {}) {
        SetLoopSleepHook([this, onTurn](DWORD ms) {
            Turn t;
            t.ms = ms;
            if (const MatchResult* car = m_view->GetSimulatedCar()) {
                t.hasCar = true;
                t.car = *car;
            }
            if (CHighwayMode* mode = m_view->GetHighwayMode()) t.zoomPrompt = mode->ZoomPrompt();
            m_turns.push_back(t);
            m_clock.Advance(ms);
            if (onTurn) onTurn(m_turns.size() - 1);
        });
        m_view->RunSimulatedDrive(true);
        SetLoopSleepHook(nullptr);
    }

    // The steps of the whole route worked out apart from the view: the simulator on its own
    // reader, base metres a step and 20 more while the car is on a road of class 1 or 2.
    std::vector<MatchResult> Replay(int base) {
        std::vector<MatchResult> cars;
        CMRNetReader reader;
        CRouteSimulator sim(&reader);
        EXPECT_TRUE(sim.Start(kDataFolder));
        MatchResult car, last;
        while (cars.size() < 100000 && sim.Step(*Path(), car, base + (FastRoad(last) ? 20 : 0)) == 0) {
            cars.push_back(car);
            last = car;
        }
        return cars;
    }

    void Press(const char16_t* name) {
        NaviCommand cmd;
        cmd.target = name;
        ASSERT_NE(m_view->GetSimulPlayer(), nullptr);
        m_view->GetSimulPlayer()->ProcessEvent(cmd);
    }

    std::vector<Turn> m_turns;
};

TEST_F(DriveTest, WithoutARouteOrOnFootNothingIsDriven) {
    Open();
    struct Case {
        bool pedestrian;
        const char16_t* text;
    } cases[] = {
        {false, u"탐색된 경로가 없습니다.\n모의주행을 시작할수 없습니다."},
        {true, u"보행자 모드에서는 모의주행을 할 수 없습니다."},
    };
    for (const Case& c : cases) {
        std::vector<std::u16string> shown;
        WinSetMessageBoxHandler([&](HWND, const std::u16string& text, const std::u16string&, UINT) {
            shown.push_back(text);
            return 4001;
        });
        if (c.pedestrian) PlanRoute();
        m_view->SetPedestrianMode(c.pedestrian);
        m_turns.clear();
        Drive();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], c.text);
        EXPECT_TRUE(m_turns.empty());
        EXPECT_FALSE(m_view->IsSimulating());
        EXPECT_FALSE(m_view->IsDriveLooping());
        EXPECT_EQ(m_view->GetSimulPlayer(), nullptr);
        EXPECT_FALSE(m_view->GetMainScreen()->IsSimulation());
    }
}

// Speed index 0 moves the car 80 m a step, 100 m while it is on a road of class 1 or 2 (the
// class of the road it stood on after the step before); the drive ends after the route's last
// step and the index stays in setting 40.
TEST_F(DriveTest, TheCarMovesEightyMetresAStepAndTwentyMoreOnFastRoadsToTheEnd) {
    Open();
    PlanRoute();
    ASSERT_EQ(m_view->LoadGuidanceData(kDataFolder), 0);
    m_config->SetValue(40, 0);
    bool simulatingMeanwhile = true;
    Drive([&](std::size_t) {
        simulatingMeanwhile = simulatingMeanwhile && m_view->IsSimulating() && m_view->GetSimulPlayer() &&
                              m_view->GetMainScreen()->IsSimulation() && !m_view->IsFollowing();
    });
    EXPECT_TRUE(simulatingMeanwhile);
    ASSERT_GT(m_turns.size(), 10u);
    int fast = 0, slow = 0;
    for (std::size_t i = 1; i < m_turns.size(); ++i) {
        EXPECT_EQ(m_turns[i].ms, 700u) << i;
        const MatchResult& before = m_turns[i - 1].car;
        const MatchResult& after = m_turns[i].car;
        if (!SameSegment(before, after)) continue;
        const int expected = FastRoad(before) ? 100 : 80;
        EXPECT_EQ(before.segmentRemaining - after.segmentRemaining, expected) << "step " << i;
        ++(expected == 100 ? fast : slow);
    }
    // The route has both kinds of road.
    EXPECT_GT(fast, 5);
    EXPECT_GT(slow, 5);
    // Every moving step of the route, then the step that finds the goal reached (its fix left
    // unfilled), and no more.
    const std::vector<MatchResult> cars = Replay(80);
    ASSERT_EQ(m_turns.size(), cars.size() + 1);
    for (std::size_t i = 0; i < cars.size(); ++i) {
        EXPECT_EQ(m_turns[i].car.x, cars[i].x) << i;
        EXPECT_EQ(m_turns[i].car.y, cars[i].y) << i;
    }
    EXPECT_EQ(m_turns.back().car.status, -1);
    // The car stands where the last step left it; the drive is over.
    std::int32_t x = 0, y = 0;
    NetToMapCoord(cars.back().x, cars.back().y, x, y);
    EXPECT_EQ(m_doc->vehicleX, x);
    EXPECT_EQ(m_doc->vehicleY, y);
    EXPECT_FALSE(m_view->IsSimulating());
    EXPECT_FALSE(m_view->IsDriveLooping());
    EXPECT_EQ(m_view->GetSimulPlayer(), nullptr);
    EXPECT_EQ(m_view->GetSimulatedCar(), nullptr);
    EXPECT_FALSE(m_view->GetMainScreen()->IsSimulation());
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
    EXPECT_EQ(m_config->GetValue(40), 0);
}

// The speed chosen in the player is kept in setting 40 (and saved) for the next drive, which
// starts with it: "속도업" twice is index 2, 280 m a step (300 m on fast roads).
TEST_F(DriveTest, TheChosenSpeedIsKeptForTheNextDrive) {
    Open();
    PlanRoute();
    m_config->SetValue(40, 0);
    Drive([&](std::size_t turn) {
        if (turn == 0) {
            Press(u"속도업");
            Press(u"속도업");
        }
        if (turn == 3) Press(u"종료");
    });
    EXPECT_EQ(m_config->GetValue(40), 2);
    // Saved: read back from config.bin.
    m_config->SetValue(40, 0);
    m_config->Load(kDataFolder);
    EXPECT_EQ(m_config->GetValue(40), 2);
    m_turns.clear();
    bool stepsOk = true;
    int checked = 0;
    Drive([&](std::size_t turn) {
        if (turn == 0) EXPECT_EQ(m_view->GetSimulPlayer()->GetSpeedIndex(), 2);
        if (turn >= 1 && SameSegment(m_turns[turn - 1].car, m_turns[turn].car)) {
            const int expected = FastRoad(m_turns[turn - 1].car) ? 300 : 280;
            stepsOk = stepsOk && m_turns[turn - 1].car.segmentRemaining - m_turns[turn].car.segmentRemaining == expected;
            ++checked;
        }
        if (turn == 30) Press(u"종료");
    });
    EXPECT_TRUE(stepsOk);
    EXPECT_GT(checked, 0);
}

// "정지" pauses: the car stays, the loop looks at the player every 100 ms and refreshes the
// highway panel each time (each refresh counts the zoom prompt down); "플레이" goes on from where
// the car stood, along the same steps as a drive without the pause.
TEST_F(DriveTest, APauseKeepsTheCarAndRefreshesThePanelEveryHundredMilliseconds) {
    Open();
    PlanRoute();
    m_config->SetValue(40, 0);
    constexpr std::size_t kPauseAt = 4, kPausedTurns = 6;
    // Outside a drive there is no player to show.
    m_view->ShowSimulPlayer(true);
    EXPECT_EQ(m_view->GetSimulPlayer(), nullptr);
    bool hidden = true, shown = false;
    Drive([&](std::size_t turn) {
        if (turn == 1) {
            const HWND player = m_view->GetSimulPlayer()->m_hWnd;
            m_view->ShowSimulPlayer(false);
            hidden = !::IsWindowVisible(player);
            m_view->ShowSimulPlayer(true);
            shown = ::IsWindowVisible(player) != FALSE;
        }
        if (turn == kPauseAt) {
            Press(u"정지");
            m_view->GetHighwayMode()->StartZoomPrompt();
        }
        if (turn == kPauseAt + kPausedTurns) Press(u"플레이");
        if (turn == 20) Press(u"종료");
    });
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(shown);
    ASSERT_GT(m_turns.size(), kPauseAt + kPausedTurns + 2);
    const MatchResult& paused = m_turns[kPauseAt].car;
    for (std::size_t k = 1; k <= kPausedTurns; ++k) {
        const Turn& t = m_turns[kPauseAt + k];
        EXPECT_EQ(t.ms, 100u) << k;
        EXPECT_EQ(t.car.x, paused.x) << k;
        EXPECT_EQ(t.car.y, paused.y) << k;
        EXPECT_EQ(t.zoomPrompt, CHighwayMode::kZoomPromptTurns - static_cast<int>(k)) << k;
    }
    // Resumed: the moving steps are those of a drive never paused.
    std::vector<MatchResult> moving;
    for (const Turn& t : m_turns)
        if (t.ms == 700u) moving.push_back(t.car);
    const std::vector<MatchResult> cars = Replay(80);
    ASSERT_LE(moving.size(), cars.size());
    for (std::size_t i = 0; i < moving.size(); ++i) {
        EXPECT_EQ(moving[i].x, cars[i].x) << i;
        EXPECT_EQ(moving[i].y, cars[i].y) << i;
    }
    EXPECT_FALSE(m_view->IsSimulating());
}

// Leaving the program inside a drive: a quit ends the drive at its next look at the queue and
// stays there for the message loop; the exit menu stops the drive and closes the frame only
// after the drive's loop has unwound.
TEST_F(DriveTest, AQuitEndsTheDriveAndStaysForTheMessageLoop) {
    Open();
    PlanRoute();
    Drive([&](std::size_t turn) {
        if (turn == 2) PostQuitMessage(0);
    });
    // The quit came in the third turn's sleep: no step after it.
    EXPECT_EQ(m_turns.size(), 3u);
    EXPECT_TRUE(WinQuitPending());
    EXPECT_FALSE(m_view->IsSimulating());
    EXPECT_EQ(m_view->GetSimulPlayer(), nullptr);
}

TEST_F(DriveTest, AnExitDuringADriveClosesTheFrameAfterTheDrive) {
    for (const bool byMenu : {true, false}) {
        Open();
        PlanRoute();
        NaviControl* compass = m_view->GetMainScreen()->FindControl(u"Compass");
        ASSERT_NE(compass, nullptr);
        const RECT r = compass->GetRect();
        const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
        bool viewDuringDrive = false;
        m_turns.clear();
        Drive([&](std::size_t turn) {
            if (turn != 2) return;
            if (byMenu) {
                // "종료" answered yes, then the tap that carries it, through the map window.
                m_view->GetMainScreen()->RequestExit();
                const HWND map = m_view->GetMapWnd().m_hWnd;
                ::SendMessageW(map, WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
                ::SendMessageW(map, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
            } else {
                m_frame->SendMessage(WM_CLOSE);
            }
            viewDuringDrive = CMainView::Get() == m_view;
        });
        EXPECT_TRUE(viewDuringDrive) << byMenu;
        // The step under way ended, no other came; the frame is still there.
        EXPECT_EQ(m_turns.size(), 3u) << byMenu;
        EXPECT_EQ(CMainView::Get(), m_view) << byMenu;
        EXPECT_FALSE(m_view->IsSimulating()) << byMenu;
        WinDispatchPending();
        EXPECT_EQ(m_app->m_pMainWnd, nullptr) << byMenu;
        EXPECT_EQ(CMainView::Get(), nullptr) << byMenu;
        m_app.reset();
        WinResetForTests();
    }
}

// Under the headless host a script goes on during the drive: its wait passes in the drive's
// sleeps, its frame is taken and its tap on the player's "종료" ends the drive.
TEST_F(DriveTest, AScriptTapsAndTakesFramesDuringADrive) {
    Open();
    PlanRoute();
    // Where the player's "종료" is: a first drive ended at once.
    RECT player{};
    Drive([&](std::size_t) {
        ::GetWindowRect(m_view->GetSimulPlayer()->m_hWnd, &player);
        Press(u"종료");
    });
    ASSERT_GT(player.bottom, player.top);
    const int tapX = player.left + 12, tapY = player.top + 132 + 14;
    // The host's script and output folder; the device stays the sample.
    TempRoot hostRoot;
    DeviceRoot::SetRoot(s_device->root.Path());
    std::uint64_t start = 0, end = 0;
    const HostedRun run = RunHosted(hostRoot,
                                    "wait 7000\nsnapshot drive-10\ntap " + std::to_string(tapX) + " " +
                                        std::to_string(tapY) + "\n",
                                    [&] {
                                        start = GetTickCount();
                                        m_view->RunSimulatedDrive(true);
                                        end = GetTickCount();
                                        return 0;
                                    });
    EXPECT_FALSE(run.failed) << run.failure;
    EXPECT_TRUE(std::filesystem::exists(hostRoot.Host("out/frames/drive-10.png")));
    // The wait ends with the tenth sleep (7000 ms), where the frame is taken; the tap comes in
    // the next sleep and is handled by the pump of the step at 7700 ms, which ends the drive.
    EXPECT_EQ(end - start, 7700u);
    EXPECT_FALSE(m_view->IsSimulating());
    EXPECT_EQ(m_view->GetSimulPlayer(), nullptr);
}

} // namespace
