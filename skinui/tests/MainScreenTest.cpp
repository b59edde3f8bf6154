// The main-screen controller: its controls, menu modes and how taps become the commands the
// shell receives.
#include "SkinTestSupport.h"

#include "platform/sound/Sound.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviMenus.h"
#include "skinui/main/NaviRouteBars.h"

#include <memory>
#include <string>
#include <vector>

namespace {

Bytes Wav(int samples) {
    Bytes out{'R', 'I', 'F', 'F'};
    Put32(out, 36 + samples * 2);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, 22050);
    Put32(out, 44100);
    Put16(out, 2);
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, samples * 2);
    for (int i = 0; i < samples; ++i) Put16(out, (i % 20) * 300);
    return out;
}

// One line per command the controller hands on: target, id, and the control when there is one.
class Log : public NaviListener {
public:
    void ProcessEvent(NaviCommand& cmd) override {
        std::string line = Utf16ToUtf8(cmd.target.GetString()) + "," + std::to_string(cmd.id);
        if (!cmd.control.IsEmpty()) line += "," + Utf16ToUtf8(cmd.control.GetString());
        lines.push_back(line);
    }
    std::vector<std::string> lines;
};

class MainScreen : public ::testing::Test {
protected:
    void SetUp() override {
        SoundReset();
        recorder = std::make_shared<SoundRecorder>();
        SoundSetOutput(recorder);
        const Bytes wav = Wav(100);
        root.MakeFile("res/click.wav", std::string(wav.begin(), wav.end()));
        const Bytes archive = ArchiveBytes({}, 0);
        root.MakeFile("res/ResData.bin", std::string(archive.begin(), archive.end()));
        screen.CreateRcBuilder(kCmdMenuAdvanced);
        screen.OpenSkin(u"\\res");
        screen.SetListener(&log);
        screen.CreateControls();
    }
    void TearDown() override { SoundSetOutput(nullptr); }
    // A tap as the main view makes it: pen-down through "LBUTTONDOWN", then OnTap.
    void Tap(int x, int y) {
        NaviCommand down;
        down.target = kTargetPenDown;
        down.param1 = x;
        down.param2 = y;
        screen.ProcessCommand(down);
        log.lines.clear();
        recorder->Clear();
        screen.OnTap(x, y);
    }
    int Clicks() const { return static_cast<int>(recorder->Clips().size()); }
    NaviControl* Find(const char16_t* name) const { return screen.FindControl(name); }
    void Main(int id, int param1 = -1, int param2 = -1) {
        NaviCommand cmd;
        cmd.target = kTargetMain;
        cmd.id = id;
        cmd.param1 = param1;
        cmd.param2 = param2;
        screen.ProcessCommand(cmd);
    }

    TempRoot root;
    std::shared_ptr<SoundRecorder> recorder;
    Log log;
    NaviMainScreen screen;
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(MainScreen, ControlsInDrawingOrderAndPlaces) {
    std::vector<std::u16string> names;
    for (NaviControl* c : screen.GetControls()) names.emplace_back(c->Name().GetString());
    EXPECT_EQ(names, (std::vector<std::u16string>{
                         u"Car", u"Compass", u"RouteResult", u"Gps", u"Zarn", u"ReRoute", u"TrafficUpdateRoute",
                         u"SafeZone", u"POIBAR", u"LevelBar", u"ExLevelBar", u"TrackBar", u"DistBar", u"Mute",
                         u"EventString", u"시스템메세지", u"고속모드", u"보행자", u"Guide", u"ToolBar", u"VelkoMenu",
                         u"지점등록", u"경유지설정", u"NaviMenu", u"NaviMenuAdv", u"NaviMyMenu", u"다중탐색"}));
    struct Place {
        const char16_t* name;
        int x, y;
    };
    const Place places[] = {
        {u"Gps", 2, 2},       {u"Compass", 2, 37},   {u"RouteResult", 2, 72}, {u"SafeZone", 182, 71},
        {u"TrackBar", 49, 2}, {u"DistBar", 3, 260},  {u"Zarn", 2, 225},       {u"Mute", 4, 237},
        {u"VelkoMenu", 2, 281}, {u"ToolBar", 42, 281}, {u"Guide", 176, 197},  {u"ReRoute", 186, 244},
        {u"경유지설정", 72, 252}, {u"지점등록", 174, 281}, {u"보행자", 188, 242}, {u"고속모드", 171, 36},
    };
    for (const Place& p : places) {
        NaviControl* c = Find(p.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->GetPos().x, p.x) << Utf16ToUtf8(p.name);
        EXPECT_EQ(c->GetPos().y, p.y) << Utf16ToUtf8(p.name);
    }
    EXPECT_TRUE(SameRect(Find(u"LevelBar")->GetRect(), RECT{209, 2, 238, 31}));
    EXPECT_TRUE(SameRect(Find(u"고속모드")->GetRect(), RECT{171, 36, 238, 69}));
    // The start mode reached every control: the launcher knows it.
    EXPECT_EQ(static_cast<NaviMenuLauncher*>(Find(u"VelkoMenu"))->GetMode(), kCmdMenuAdvanced);
    EXPECT_FALSE(Find(u"NaviMenuAdv")->IsVisible());
    EXPECT_FALSE(Find(u"TrackBar")->IsVisible());
    EXPECT_FALSE(Find(u"다중탐색")->IsVisible());
}

TEST_F(MainScreen, MenuModesTaskbarAndFollowing) {
    screen.SetMenuMode(kCmdMenuAdvanced);
    EXPECT_TRUE(Find(u"NaviMenuAdv")->IsVisible());
    EXPECT_TRUE(static_cast<NaviMenuLauncher*>(Find(u"VelkoMenu"))->IsMenuOpen());
    screen.SetMenuMode(kCmdMenuClose);
    EXPECT_EQ(screen.GetMode(), kCmdMenuAdvanced);
    EXPECT_EQ(screen.GetMenuName(), CString());
    EXPECT_FALSE(Find(u"NaviMenuAdv")->IsVisible());
    Main(kCmdRestoreMenu);
    EXPECT_TRUE(Find(u"NaviMenuAdv")->IsVisible());
    EXPECT_EQ(screen.GetIdleTicks(), 0);
    Main(kCmdCloseMenus);
    EXPECT_EQ(screen.GetMenuName(), CString());
    screen.SetMenuMode(9999); // no mode: nothing changes
    EXPECT_EQ(screen.GetMode(), kCmdMenuAdvanced);

    // "윈도버튼" of the basic menu (157, 0 from the menu's 6, 6) toggles the taskbar; the menu stays.
    screen.SetMenuMode(kCmdMenuBasic);
    Tap(180, 20);
    EXPECT_EQ(log.lines, (Lines{"TASKBAR_SHOW,0", "UIRefresh0,1", "지도이동,-1"}));
    EXPECT_TRUE(screen.TakeTaskbarShownEvent());
    EXPECT_FALSE(screen.TakeTaskbarShownEvent());
    EXPECT_EQ(screen.GetMenuName(), CString(u"NaviMenu"));
    Tap(180, 20);
    EXPECT_EQ(log.lines, (Lines{"TASKBAR_HIDE,0", "UIRefresh0,1", "지도이동,-1"}));
    EXPECT_FALSE(screen.IsTaskbarShown());
    // In the advanced menu (its "윈도버튼" at 59, 0 from 5, 5) showing the taskbar closes the menu.
    screen.SetMenuMode(kCmdMenuAdvanced);
    Tap(80, 15);
    EXPECT_EQ(log.lines.front(), "TASKBAR_SHOW,0");
    EXPECT_EQ(screen.GetMenuName(), CString());

    // Following the car is refused while simulating.
    log.lines.clear();
    screen.SetSimulation(true);
    screen.SetFollowCar(true);
    EXPECT_FALSE(screen.IsFollowCar());
    EXPECT_TRUE(log.lines.empty());
    screen.SetSimulation(false);
    screen.SetFollowCar(true);
    EXPECT_TRUE(screen.IsFollowCar());
    EXPECT_EQ(log.lines, (Lines{"UIRefresh0,1"}));
}

TEST_F(MainScreen, TapsBecomeCommands) {
    // (a) No menu, on the compass.
    Tap(10, 50);
    EXPECT_EQ(log.lines, (Lines{"Compass,1", "UIRefresh0,1", "지도이동,-1"}));
    EXPECT_EQ(Clicks(), 1);
    // (b) Basic menu, on "명칭검색": the entry, and the menu closes.
    screen.SetMenuMode(kCmdMenuBasic);
    Tap(50, 60);
    EXPECT_EQ(log.lines, (Lines{"명칭검색,0", "UIRefresh0,1", "지도이동,-1"}));
    EXPECT_EQ(Clicks(), 1);
    EXPECT_EQ(screen.GetMenuName(), CString());
    EXPECT_FALSE(Find(u"NaviMenu")->IsVisible());
    // (c) Basic menu, left of it: only the map move, no click, the menu stays.
    screen.SetMenuMode(kCmdMenuBasic);
    Tap(3, 200);
    EXPECT_EQ(log.lines, (Lines{"지도이동,-1"}));
    EXPECT_EQ(Clicks(), 0);
    EXPECT_EQ(screen.GetMenuName(), CString(u"NaviMenu"));
    // (d) The launcher's close area below the menu closes it; the mode stays.
    Tap(10, 310);
    EXPECT_EQ(log.lines, (Lines{"UIRefresh0,1", "지도이동,-1"}));
    EXPECT_EQ(Clicks(), 1);
    EXPECT_EQ(screen.GetMenuName(), CString());
    EXPECT_EQ(screen.GetMode(), kCmdMenuBasic);
    // At (10, 300) the menu (down to y 302) takes the tap before the launcher.
    screen.SetMenuMode(kCmdMenuBasic);
    Tap(10, 300);
    EXPECT_EQ(log.lines.front(), ",0");
    // A tap on the launcher while no menu is open reopens the last menu.
    Tap(10, 300);
    EXPECT_EQ(screen.GetMenuName(), CString(u"NaviMenu"));
}

TEST_F(MainScreen, RouteResultModeTakesOnlyItsPanel) {
    Main(2023);
    for (int id = 1; id <= 3; ++id) Main(id, 1000 * id, 600 * id);
    Main(2022);
    screen.SetRouteResultMode(true);
    EXPECT_TRUE(Find(u"다중탐색")->IsVisible());
    Tap(30, 130);
    EXPECT_EQ(log.lines, (Lines{"다중탐색,2", "UIRefresh0,1"}));
    EXPECT_EQ(Clicks(), 1);
    // The compass is not reached: off the rows and the bar nothing reacts.
    Tap(10, 50);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(Clicks(), 0);
    screen.SetRouteResultMode(false);
    EXPECT_FALSE(Find(u"다중탐색")->IsVisible());
}

TEST_F(MainScreen, WaypointToolTogglesTheWaypointState) {
    screen.SetMenuMode(kCmdMenuAdvanced);
    screen.SetMenuMode(kCmdMenuClose);
    // "경유지" is the second tool, at (75, 281).
    Tap(80, 290);
    EXPECT_EQ(log.lines, (Lines{"경유지설정,-1,경유지추가", "경유지,0", "UIRefresh0,1"}));
    EXPECT_EQ(screen.GetSubMode(), CString(u"경유지설정"));
    Find(u"경유지설정")->SetVisible(true);
    Tap(80, 290);
    EXPECT_EQ(log.lines, (Lines{"경유지설정,-1,설정취소", "경유지,0", "UIRefresh0,1"}));
    EXPECT_EQ(screen.GetSubMode(), CString());
    EXPECT_FALSE(Find(u"경유지설정")->IsVisible());
    // With waypoints the bar opens on its list and the state is entered with id 0.
    NaviCommand add;
    add.target = kTargetMain;
    add.id = kCmdAddWaypoint;
    add.text = u"서울역";
    screen.ProcessCommand(add);
    Tap(80, 290);
    EXPECT_EQ(log.lines, (Lines{"경유지설정,0", "경유지,0", "UIRefresh0,1"}));
    EXPECT_TRUE(Find(u"경유지설정")->IsVisible());
    // A tap elsewhere on the map leaves the state and hides the bar.
    Tap(120, 160);
    EXPECT_EQ(screen.GetSubMode(), CString());
    EXPECT_FALSE(Find(u"경유지설정")->IsVisible());
}
