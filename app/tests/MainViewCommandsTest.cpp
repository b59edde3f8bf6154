// The main screen's commands. The command tables run over a view that records what it is asked
// (the same tables the program runs on the main view): each name reaches its operation with its
// arguments, the refusals and conditions hold. Then the main view itself on the sample device:
// the zoom keys with their prompts, keys outside 1 to 17, the refusals and questions through the
// message box, the exit request.
#include "MainViewFixture.h"

#include "app/MainCommands.h"
#include "skinui/main/NaviMainScreen.h"

#include <cstdarg>
#include <deque>
#include <sstream>

using namespace mainview_test;

// The fixture's sample device and document class (this program's own).
namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

namespace {

// A view that answers the command tables from plain fields and writes down every operation it is
// asked for, with its arguments ("ShowRouteInfo(1,1,0)").
struct RecordingView {
    using Commands = CMainCommands<RecordingView>;
    static constexpr int kPickMove = CMainView::kPickMove;
    static constexpr int kPickStart = CMainView::kPickStart;
    static constexpr int kPickWaypoint = CMainView::kPickWaypoint;
    static constexpr int kPickGoal = CMainView::kPickGoal;
    static constexpr int kPickMoveWaypoint = CMainView::kPickMoveWaypoint;

    // State the tables read.
    bool pedestrian = false, simulating = false, researchRunning = false, rerouteAllowed = false;
    bool trafficAvailable = false, volumeWindow = false, advancedMenu = true;
    int setting17 = 0;
    std::deque<int> answers; // message box answers, 4001 when none is queued
    // State the tables set.
    int pickMode = CMainView::kPickMove;
    int movedWaypoint = -1;
    bool routeAccepted = true;
    std::u16string eventText;
    CString lastSearchName;
    std::vector<std::string> calls;
    std::vector<std::u16string> messages;

    template <class... A>
    void Rec(const char* name, A... args) {
        std::ostringstream out;
        out << name << '(';
        int n = 0;
        ((out << (n++ ? "," : "") << static_cast<int>(args)), ...);
        out << ')';
        calls.push_back(out.str());
    }

    // Answers.
    bool IsPedestrianMode() const { return pedestrian; }
    bool IsSimulating() const { return simulating; }
    bool IsResearchRunning() const { return researchRunning; }
    bool IsRerouteAllowed() const { return rerouteAllowed; }
    bool IsTrafficAvailable() const { return trafficAvailable; }
    bool HasVolumeWindow() const { return volumeWindow; }
    int GetSetting(int index) const { return index == 17 ? setting17 : 0; }
    const CString& GetLastSearchName() const { return lastSearchName; }
    int CommandMessage(const CString& text, int type) {
        messages.push_back(text.Str() + (type == 3000 ? u" ?" : u" !"));
        if (answers.empty()) return 4001;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }

    // State.
    void SetPointPickMode(int mode) { pickMode = mode; }
    void SetEventText(const char16_t* format, ...) {
        va_list args;
        va_start(args, format);
        CString text;
        text.FormatV(format, args);
        va_end(args);
        eventText = text.Str();
    }
    void SetMovedWaypoint(int index) { movedWaypoint = index; }
    void ClearRouteAccepted() { routeAccepted = false; }
    void RunKeyFunction(short function) { Commands::RunKey(*this, function); }
    void ReturnToLastSearch() { Commands::ReturnToLast(*this); }

    // Operations.
    void StopSimulatedDrive() { Rec("StopSimulatedDrive"); }
    void RefreshMainScreen(int id) { Rec("RefreshMainScreen", id); }
    void DeleteWaypoint(int i) { Rec("DeleteWaypoint", i); }
    void RedrawWholeMap() { Rec("RedrawWholeMap"); }
    void ShowWaypointOnMap(int i) { Rec("ShowWaypointOnMap", i); }
    void SearchRouteAndShow() { Rec("SearchRouteAndShow"); }
    void SearchRouteAndShowKeepMode() { Rec("SearchRouteAndShowKeepMode"); }
    void RegisterMapCenter() { Rec("RegisterMapCenter"); }
    void ShowSimulPlayer(bool on) { Rec("ShowSimulPlayer", on); }
    void SearchName(bool r) { Rec("SearchName", r); }
    void SearchCategory(bool r) { Rec("SearchCategory", r); }
    // A fresh nearby search names its screen by the menu (as the search does); a re-entry keeps it.
    void SearchAround(bool r) {
        Rec("SearchAround", r);
        if (!r) lastSearchName = advancedMenu ? u"AroundSearchAdv" : u"AroundSearch";
    }
    void SearchAddress(bool r, bool restore) { Rec("SearchAddress", r, restore); }
    void SearchTheme(bool r) { Rec("SearchTheme", r); }
    void SearchPoiInfo(bool r) { Rec("SearchPoiInfo", r); }
    void MoveToLatLon(bool r) { Rec("MoveToLatLon", r); }
    void MoveByDorvaCode(bool r) { Rec("MoveByDorvaCode", r); }
    void RequestExit() { Rec("RequestExit"); }
    void ShowRoutePoint(int which) { Rec("ShowRoutePoint", which); }
    void ShowGpsSkyView() { Rec("ShowGpsSkyView"); }
    void CycleViewMode() { Rec("CycleViewMode"); }
    void ShowRouteInfo(bool a, bool b, bool c) { Rec("ShowRouteInfo", a, b, c); }
    void ShowTrafficSheet(int fromMenu) { Rec("ShowTrafficSheet", fromMenu); }
    bool ZoomStep(int step, int prompt) {
        Rec("ZoomStep", step, prompt);
        return true;
    }
    bool SetLevelFromBar(int level) {
        Rec("SetLevelFromBar", level);
        return true;
    }
    void ShowTaskbar(bool show) { Rec("ShowTaskbar", show); }
    bool StartManualReroute() {
        Rec("StartManualReroute");
        return true;
    }
    void ResetGuideAnnouncements() { Rec("ResetGuideAnnouncements"); }
    void SyncGuideSoundFlags() { Rec("SyncGuideSoundFlags"); }
    void NextEventString() { Rec("NextEventString"); }
    void StartRerouteThread() { Rec("StartRerouteThread"); }
    void DeleteSafeZoneSection() { Rec("DeleteSafeZoneSection"); }
    void ShowRecentDestinations(bool r, bool restore) { Rec("ShowRecentDestinations", r, restore); }
    void ManageSafeDrivePoints(int r) { Rec("ManageSafeDrivePoints", r); }
    void GoHome(bool restore) { Rec("GoHome", restore); }
    void GoFrequentPlace(bool restore) { Rec("GoFrequentPlace", restore); }
    void StartGuidance() { Rec("StartGuidance"); }
    void ResetRoute() { Rec("ResetRoute"); }
    void SaveRoute(bool restore) { Rec("SaveRoute", restore); }
    void CancelRoute(bool ask, bool restore) { Rec("CancelRoute", ask, restore); }
    void StartAutoReturn() { Rec("StartAutoReturn"); }
    void ManageWaypoints(bool restore) { Rec("ManageWaypoints", restore); }
    void RunSimulatedDrive(bool restore) { Rec("RunSimulatedDrive", restore); }
    void ShowVolumeWindow() { Rec("ShowVolumeWindow"); }
    void ToggleMute() { Rec("ToggleMute"); }
    void ShowRegisteredPoints(bool r, bool restore) { Rec("ShowRegisteredPoints", r, restore); }
    void OpenSavedRoute() { Rec("OpenSavedRoute"); }
    void ShowSaveLocationSettings() { Rec("ShowSaveLocationSettings"); }
    void ShowNotImplemented() { Rec("ShowNotImplemented"); }
    void DownloadTraffic(int fromMenu) { Rec("DownloadTraffic", fromMenu); }
    void ShowSafeDriveSettings() { Rec("ShowSafeDriveSettings"); }
    void ShowSystemSettings(int page) { Rec("ShowSystemSettings", page); }
    void ShowDisplaySettings() { Rec("ShowDisplaySettings"); }
    void ShowRouteSearchSettings() { Rec("ShowRouteSearchSettings"); }
    void SelectRouteResult(int id) { Rec("SelectRouteResult", id); }
    void ShowRouteOverview() { Rec("ShowRouteOverview"); }
    void ResetMenuIdle() { Rec("ResetMenuIdle"); }
    void AcceptRoute(int how) { Rec("AcceptRoute", how); }
    void SearchMultiRoute() { Rec("SearchMultiRoute"); }
    void ShowHighwayPanel() { Rec("ShowHighwayPanel"); }
    void LeavePedestrianMode() { Rec("LeavePedestrianMode"); }
    void OnPoiBarSelect(int entry) { Rec("OnPoiBarSelect", entry); }
    void ShowProgramInfo() { Rec("ShowProgramInfo"); }
    void ShowSoundSettings(int page) { Rec("ShowSoundSettings", page); }
    void CloseMainMenu() { Rec("CloseMainMenu"); }
    void AddSafeDrivePointHere() { Rec("AddSafeDrivePointHere"); }
    void RequestMatcherRematch() { Rec("RequestMatcherRematch"); }
};

using Commands = CMainCommands<RecordingView>;
using Calls = std::vector<std::string>;

NaviCommand Command(const char16_t* target, int id = -1, const char16_t* control = u"") {
    NaviCommand cmd;
    cmd.target = target;
    cmd.id = id;
    cmd.control = control;
    return cmd;
}

Calls Dispatched(RecordingView& v, const char16_t* target, int id = -1, const char16_t* control = u"") {
    v.calls.clear();
    Commands::Dispatch(v, Command(target, id, control));
    return v.calls;
}

const char16_t* const kOnFoot = u"보행자 모드에서는 설정 할 수 없습니다. !";

TEST(MainCommandTable, EachNameReachesItsOperation) {
    struct Case {
        const char16_t* name;
        int id;
        Calls calls;
    };
    const Case cases[] = {
        {u"경로탐색", -1, {"SearchRouteAndShow()"}},
        {u"지점등록", -1, {"RegisterMapCenter()"}},
        {u"탐색_초보", -1, {"SearchRouteAndShow()"}},
        {u"SimulDlgOn", -1, {"ShowSimulPlayer(1)"}},
        {u"명칭검색", -1, {"SearchName(0)"}},
        {u"시설분류", -1, {"SearchCategory(0)"}},
        {u"주변검색", -1, {"SearchAround(0)"}},
        {u"주소검색", -1, {"SearchAddress(0,1)"}},
        {u"테마검색", -1, {"SearchTheme(0)"}},
        {u"경위도", -1, {"MoveToLatLon(0)"}},
        {u"도르바", -1, {"MoveByDorvaCode(0)"}},
        {u"Compass", -1, {"CycleViewMode()"}},
        {u"RouteResult", -1, {"ShowRouteInfo(1,0,0)"}},
        {u"Zarn", -1, {"ShowTrafficSheet(1)"}},
        {u"ZARN", -1, {"ShowTrafficSheet(1)"}},
        {u"LevelBar", 1, {"ZoomStep(1,0)"}},
        {u"LevelBar", 3, {"ZoomStep(3,0)"}},
        {u"ExLevelBar", 20, {"SetLevelFromBar(20)"}},
        {u"TASKBAR_SHOW", -1, {"ShowTaskbar(1)"}},
        {u"TASKBAR_HIDE", -1, {"ShowTaskbar(0)"}},
        {u"Guide", -1, {"ResetGuideAnnouncements()"}},
        {u"EventString", 1, {"NextEventString()"}},
        {u"EventString", 0, {}},
        {u"TrafficUpdateRoute", -1, {"StartRerouteThread()"}},
        {u"SafeZone", -1, {"DeleteSafeZoneSection()"}},
        {u"최근목적지", -1, {"ShowRecentDestinations(0,1)"}},
        {u"안전운행관리", -1, {"ManageSafeDrivePoints(0)"}},
        {u"집으로", -1, {"GoHome(1)"}},
        {u"자주가는곳", -1, {"GoFrequentPlace(1)"}},
        {u"경로정보", -1, {"ShowRouteInfo(1,0,1)"}},
        {u"전체경로보기", -1, {"StartGuidance()"}},
        {u"경로재설정", -1, {"ResetRoute()"}},
        {u"경로저장", -1, {"SaveRoute(1)"}},
        {u"경로취소", -1, {"CancelRoute(1,1)"}},
        {u"목적지이동", -1, {"ShowRoutePoint(3002)", "StartAutoReturn()"}},
        {u"경유지관리", -1, {"ManageWaypoints(1)"}},
        {u"출발지이동", -1, {"ShowRoutePoint(3001)", "StartAutoReturn()"}},
        {u"모의주행", -1, {"RunSimulatedDrive(1)"}},
        {u"볼륨", -1, {"ShowVolumeWindow()"}},
        {u"등록지점관리", -1, {"ShowRegisteredPoints(0,1)"}},
        {u"등록지점", -1, {"ShowRegisteredPoints(0,1)"}},
        {u"저장정보관리", -1, {"OpenSavedRoute()"}},
        {u"저장경로", -1, {"OpenSavedRoute()"}},
        {u"정보저장위치", -1, {"ShowSaveLocationSettings()"}},
        {u"GPS정보보기", -1, {"ShowGpsSkyView()"}},
        {u"버젼정보보기", -1, {"ShowNotImplemented()"}},
        {u"한국도로공사", -1, {"DownloadTraffic(1)"}},
        {u"안전운행구간", -1, {"ShowSafeDriveSettings()"}},
        {u"시스템", -1, {"ShowSystemSettings(0)"}},
        {u"메뉴없음", -1, {"ShowSystemSettings(3)"}},
        {u"디스플레이", -1, {"ShowDisplaySettings()"}},
        {u"안내-탐색", -1, {"ShowRouteSearchSettings()"}},
        {u"고속모드", -1, {"ShowHighwayPanel()"}},
        {u"보행자", -1, {"LeavePedestrianMode()"}},
        {u"POIBAR", 4, {"OnPoiBarSelect(4)"}},
        {u"버젼정보", -1, {"ShowProgramInfo()"}},
        {u"사운드", -1, {"ShowSoundSettings(0)"}},
        {u"UIRefresh0", 2, {"RefreshMainScreen(2)"}},
        // Known names that do nothing, and names the vocabulary does not hold (compared whole and
        // case-sensitive).
        {u"지도이동", -1, {}},
        {u"gps", 0, {}},
        {u"Gps ", 0, {}},
        {u"경로 탐색", -1, {}},
        {u"", -1, {}},
    };
    for (const Case& c : cases) {
        RecordingView v;
        EXPECT_EQ(Dispatched(v, c.name, c.id), c.calls) << Utf16ToUtf8(c.name);
        EXPECT_TRUE(v.messages.empty()) << Utf16ToUtf8(c.name);
        EXPECT_EQ(v.pickMode, CMainView::kPickMove) << Utf16ToUtf8(c.name);
    }
}

TEST(MainCommandTable, OnlyTheRouteSearchEntryClearsTheAcceptedRoute) {
    RecordingView v;
    EXPECT_EQ(Dispatched(v, u"탐색_초보"), Calls{"SearchRouteAndShow()"});
    EXPECT_TRUE(v.routeAccepted);
    EXPECT_EQ(Dispatched(v, u"경로탐색"), Calls{"SearchRouteAndShow()"});
    EXPECT_FALSE(v.routeAccepted);
}

TEST(MainCommandTable, PointPicksSetTheModeAndTheirTextOrAreRefusedOnFoot) {
    struct Case {
        const char16_t* name;
        const char16_t* control;
        int id;
        bool onFoot;
        int mode;                // the pick mode afterwards
        const char16_t* text;    // the event text afterwards
        const char16_t* message; // the notice, or null
    };
    const int keep = CMainView::kPickZoomIn; // the mode before, to show it is kept
    const Case cases[] = {
        {u"출발지", u"", -1, false, CMainView::kPickStart, u"출발지를 설정 하세요.", nullptr},
        {u"출발지", u"", -1, true, keep, u"", kOnFoot},
        {u"목적지", u"", -1, false, CMainView::kPickGoal, u"목적지를 설정 하세요.", nullptr},
        {u"목적지", u"", -1, true, CMainView::kPickGoal, u"목적지를 설정 하세요.", nullptr},
        {u"경유지설정", u"경유지추가", -1, false, CMainView::kPickWaypoint, u"경유지를 추가하세요.", nullptr},
        {u"경유지설정", u"경유지추가", -1, true, keep, u"", kOnFoot},
        {u"경유지설정", u"이동", 0, false, CMainView::kPickMoveWaypoint, u"경유지(1)를 이동합니다.", nullptr},
        {u"경유지설정", u"이동", 4, false, CMainView::kPickMoveWaypoint, u"경유지(5)를 이동합니다.", nullptr},
        {u"경유지설정", u"이동", 0, true, keep, u"", kOnFoot},
        {u"경유지설정", u"설정취소", -1, false, CMainView::kPickMove, u"경유지 설정을 취소합니다.", nullptr},
        {u"경유지설정", u"다른것", 2, false, keep, u"", nullptr},
        {u"경유지설정", u"", 2, false, keep, u"", nullptr},
    };
    for (const Case& c : cases) {
        RecordingView v;
        v.pedestrian = c.onFoot;
        v.pickMode = keep;
        const std::string what = Utf16ToUtf8(c.name) + "/" + Utf16ToUtf8(c.control) + (c.onFoot ? " on foot" : "");
        EXPECT_EQ(Dispatched(v, c.name, c.id, c.control), Calls{}) << what;
        EXPECT_EQ(v.pickMode, c.mode) << what;
        EXPECT_EQ(v.eventText, c.text) << what;
        EXPECT_EQ(v.messages, c.message ? std::vector<std::u16string>{c.message} : std::vector<std::u16string>{})
            << what;
        EXPECT_TRUE(v.pedestrian == c.onFoot) << what; // a refusal keeps the mode
    }
    // The moved waypoint is the command's id.
    RecordingView v;
    Dispatched(v, u"경유지설정", 3, u"이동");
    EXPECT_EQ(v.movedWaypoint, 3);
}

TEST(MainCommandTable, WaypointMenuDeletesAndShowsByIndex) {
    RecordingView v;
    v.pickMode = CMainView::kPickWaypoint;
    EXPECT_EQ(Dispatched(v, u"경유지설정", 2, u"삭제"), (Calls{"DeleteWaypoint(2)", "RedrawWholeMap()"}));
    EXPECT_EQ(v.pickMode, CMainView::kPickMove);
    EXPECT_EQ(Dispatched(v, u"경유지설정", 1, u"지점이동"), Calls{"ShowWaypointOnMap(1)"});
    // On foot neither is reached.
    v.pedestrian = true;
    EXPECT_EQ(Dispatched(v, u"경유지설정", 2, u"삭제"), Calls{});
}

TEST(MainCommandTable, GpsOpensTheSkyViewForZeroAndFollowsTheVehicleOtherwise) {
    RecordingView v;
    EXPECT_EQ(Dispatched(v, u"Gps", 0), Calls{"ShowGpsSkyView()"});
    for (int id : {1, -1, 2})
        EXPECT_EQ(Dispatched(v, u"Gps", id), Calls{"ShowRoutePoint(3000)"}) << id;
}

TEST(MainCommandTable, MultiRouteIdsOneToNineOnly) {
    const std::vector<Calls> expected = {
        {},
        {"SelectRouteResult(1)", "ShowRouteOverview()", "ResetMenuIdle()"},
        {"SelectRouteResult(2)", "ShowRouteOverview()", "ResetMenuIdle()"},
        {"SelectRouteResult(3)", "ShowRouteOverview()", "ResetMenuIdle()"},
        {"SelectRouteResult(4)", "ShowRouteOverview()", "ResetMenuIdle()"},
        {"ShowRouteInfo(1,1,0)"},
        {"AcceptRoute(3)"},
        {"ShowRouteInfo(1,1,0)"},
        {"AcceptRoute(3)"},
        {"AcceptRoute(0)", "SearchMultiRoute()"},
        {},
    };
    RecordingView v;
    for (int id = 0; id <= 10; ++id) EXPECT_EQ(Dispatched(v, u"다중탐색", id), expected[id]) << id;
    EXPECT_EQ(Dispatched(v, u"다중탐색", -1), Calls{});
}

TEST(MainCommandTable, ExitAsksAndEndsOnlyOnYes) {
    RecordingView v;
    v.answers = {4002};
    EXPECT_EQ(Dispatched(v, u"종료"), Calls{});
    EXPECT_EQ(v.messages, std::vector<std::u16string>{u"벨코를 종료 하시겠습니까? ?"});
    v.answers = {4001};
    EXPECT_EQ(Dispatched(v, u"종료"), Calls{"RequestExit()"});
    // During a simulated drive the drive is stopped as well.
    v.simulating = true;
    v.answers = {4001};
    EXPECT_EQ(Dispatched(v, u"종료"), (Calls{"StopSimulatedDrive()", "RequestExit()"}));
    v.answers = {4002};
    EXPECT_EQ(Dispatched(v, u"종료"), Calls{});
}

TEST(MainCommandTable, MenuKeyStopsOnlyARunningDrive) {
    RecordingView v;
    EXPECT_EQ(Dispatched(v, u"VelkoMenu"), Calls{});
    v.simulating = true;
    EXPECT_EQ(Dispatched(v, u"VelkoMenu"), Calls{"StopSimulatedDrive()"});
}

TEST(MainCommandTable, ReRouteStartsOnlyWhenAllowedAndNotDuringARefusedResearch) {
    struct Case {
        bool allowed;
        int setting17;
        bool researching;
        bool starts;
    };
    const Case cases[] = {
        {false, 0, false, false}, {false, 0, true, false}, {true, 0, false, true},
        {true, 0, true, true},    {true, 1, false, true},  {true, 1, true, false},
    };
    for (const Case& c : cases) {
        RecordingView v;
        v.rerouteAllowed = c.allowed;
        v.setting17 = c.setting17;
        v.researchRunning = c.researching;
        EXPECT_EQ(Dispatched(v, u"ReRoute"), c.starts ? Calls{"StartManualReroute()"} : Calls{})
            << c.allowed << c.setting17 << c.researching;
    }
}

TEST(MainCommandTable, MuteIsKeyFunctionSeventeenAndNeedsTheVolumeWindow) {
    RecordingView v;
    EXPECT_EQ(Dispatched(v, u"Mute"), Calls{});
    v.volumeWindow = true;
    // Function 17 leaves an open menu as it is.
    EXPECT_EQ(Dispatched(v, u"Mute"), Calls{"ToggleMute()"});
}

TEST(MainCommandTable, BackAfterANearbySearchReopensItUnderTheSameScreenName) {
    for (bool advanced : {true, false}) {
        RecordingView v;
        v.advancedMenu = advanced;
        Dispatched(v, u"주변검색");
        const CString name = v.lastSearchName;
        EXPECT_EQ(name, advanced ? u"AroundSearchAdv" : u"AroundSearch");
        EXPECT_EQ(Dispatched(v, u"이전"), Calls{"SearchAround(1)"});
        EXPECT_EQ(v.lastSearchName, name);
        EXPECT_EQ(Dispatched(v, u"이전_초보"), Calls{"SearchAround(1)"});
    }
}

TEST(MainCommandTable, BackRunsTheLastSearchOrListAgain) {
    struct Case {
        const char16_t* last;
        Calls calls;
    };
    const Case cases[] = {
        {u"NameSearch", {"SearchName(1)"}},
        {u"NameSearchAdv", {"SearchName(1)"}},
        {u"AddressSearch", {"SearchAddress(1,1)"}},
        {u"AddressSearchAdv", {"SearchAddress(1,1)"}},
        {u"ThemeSearch", {"SearchTheme(1)"}},
        {u"ThemeSearchAdv", {"SearchTheme(1)"}},
        {u"AroundSearch", {"SearchAround(1)"}},
        {u"POIInfo", {"SearchPoiInfo(1)"}},
        {u"POIInfoAdv", {"SearchPoiInfo(1)"}},
        {u"CateSearch", {"SearchCategory(1)"}},
        {u"최근목적지", {"ShowRecentDestinations(1,1)"}},
        {u"안전운행관리", {"ManageSafeDrivePoints(1)"}},
        {u"등록지점관리", {"ShowRegisteredPoints(1,1)"}},
        {u"경위도이동", {"MoveToLatLon(1)"}},
        {u"도르바이동", {"MoveByDorvaCode(1)"}},
        {u"경유지관리", {"ManageWaypoints(0)"}},
        // No such list: nothing.
        {u"", {}},
        {u"CateSearchAdv", {}},
        {u"지점등록", {}},
        {u"namesearch", {}},
    };
    for (const Case& c : cases) {
        RecordingView v;
        v.lastSearchName = c.last;
        EXPECT_EQ(Dispatched(v, u"이전"), c.calls) << Utf16ToUtf8(c.last);
    }
}

TEST(MainCommandTable, KeyFunctionsOneToSeventeen) {
    struct Case {
        short function;
        Calls calls; // after the menu is closed (functions 1 to 16)
    };
    const Case cases[] = {
        {1, {"ShowRoutePoint(3000)"}},
        {2, {"AddSafeDrivePointHere()"}},
        {3, {"RequestMatcherRematch()"}},
        {4, {"GoHome(0)"}},
        {5, {"GoFrequentPlace(0)"}},
        {6, {"SearchName(0)"}},
        {7, {"SearchAddress(0,0)"}},
        {8, {"ShowRegisteredPoints(0,0)"}},
        {9, {"SearchRouteAndShowKeepMode()"}},
        {10, {"ShowGpsSkyView()"}},
        {11, {"ManageWaypoints(0)"}},
        {12, {"CycleViewMode()"}},
        {13, {"ZoomStep(1,32832)"}},
        {14, {"ZoomStep(2,32834)"}},
        {15, {"SyncGuideSoundFlags()", "ResetGuideAnnouncements()"}},
        {16, {"ShowTrafficSheet(0)"}},
    };
    for (const Case& c : cases) {
        RecordingView v;
        v.trafficAvailable = true;
        Calls expected{"CloseMainMenu()"};
        expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        v.RunKeyFunction(c.function);
        EXPECT_EQ(v.calls, expected) << c.function;
    }
    // Outside 1 to 17 nothing at all, not even the menu closed.
    for (short function : {0, 18, -1, 100}) {
        RecordingView v;
        EXPECT_FALSE(Commands::RunKey(v, function)) << function;
        EXPECT_EQ(v.calls, Calls{}) << function;
    }
}

TEST(MainCommandTable, KeyFunctionConditions) {
    auto run = [](RecordingView& v, short function) {
        v.calls.clear();
        v.RunKeyFunction(function);
        return v.calls;
    };
    RecordingView v;
    const Calls closed{"CloseMainMenu()"};
    // 3 and 11 are nothing on foot, 11 nothing during a drive, 16 nothing without traffic.
    v.pedestrian = true;
    EXPECT_EQ(run(v, 3), closed);
    EXPECT_EQ(run(v, 11), closed);
    v.pedestrian = false;
    v.simulating = true;
    EXPECT_EQ(run(v, 11), closed);
    EXPECT_EQ(run(v, 3), (Calls{"CloseMainMenu()", "RequestMatcherRematch()"}));
    EXPECT_EQ(run(v, 16), closed);
}

// ---- the main view ----

class MainViewCommandsTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT type) {
            shown.push_back(text + (type == kSkinnedQuestion ? u" ?" : u" !"));
            if (answers.empty()) return IDOK;
            const int a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    void TearDown() override {
        WinSetMessageBoxHandler(nullptr);
        MainViewTest::TearDown();
    }
    void Send(const char16_t* target, int id = -1, const char16_t* control = u"") {
        NaviCommand cmd = Command(target, id, control);
        m_view->ProcessEvent(cmd);
    }
    // The next level above (step 1) or below (step -1) whose level-table flag is set, read from
    // the sample's "level.bin" (records of 12 bytes, the flag first); -1 when none.
    int NextUsed(int from, int step) {
        const std::vector<std::uint8_t> bytes = ReadCe(std::u16string(kDataFolder) + u"\\level.bin");
        for (int level = from + step; level >= 1 && level <= 15; level += step)
            if (static_cast<std::size_t>(level) * 12 <= bytes.size() && bytes[static_cast<std::size_t>(level - 1) * 12])
                return level;
        return -1;
    }
    std::vector<std::u16string> shown;
    std::deque<int> answers;
};

TEST_F(MainViewCommandsTest, ZoomKeysStepToTheNextUsedLevelWithTheirPrompts) {
    Open();
    const int start = m_view->GetMapLevel();
    const int up = NextUsed(start, 1);
    const int down = NextUsed(start, -1);
    ASSERT_GT(up, start);
    ASSERT_GT(down, 0);
    m_view->GetMainScreen()->SetRouteResultPending(true);

    m_view->RunKeyFunction(13);
    EXPECT_EQ(m_view->GetMapLevel(), up);
    EXPECT_EQ(m_doc->mapLevel, up);
    EXPECT_EQ(m_view->GetEventText(), u"지도를 확대 합니다.");
    EXPECT_EQ(m_view->GetZoomPromptCount(), 15);
    EXPECT_FALSE(m_view->GetMainScreen()->IsRouteResultPending());
    EXPECT_EQ(m_view->GetLastKeyFunction(), 13);

    m_view->RunKeyFunction(14);
    EXPECT_EQ(m_view->GetMapLevel(), start);
    EXPECT_EQ(m_view->GetEventText(), u"지도를 축소 합니다.");
    m_view->RunKeyFunction(14);
    EXPECT_EQ(m_view->GetMapLevel(), down);

    // At the highest used level there is no step up: nothing changes, no prompt.
    int top = down;
    while (NextUsed(top, 1) > 0) top = NextUsed(top, 1);
    m_view->SetLevel(top);
    m_view->SetEventText(u"");
    m_view->UpdateHighwayPanel(GpsPosRecord{}); // the counter runs down by one fix
    const int count = m_view->GetZoomPromptCount();
    m_view->RunKeyFunction(13);
    EXPECT_EQ(m_view->GetMapLevel(), top);
    EXPECT_EQ(m_view->GetEventText(), u"");
    EXPECT_EQ(m_view->GetZoomPromptCount(), count);
    EXPECT_LT(count, 15);

    // The level bar's steps wait the automatic zoom too, but say nothing.
    Send(u"LevelBar", 2);
    EXPECT_EQ(m_view->GetMapLevel(), NextUsed(top, -1));
    EXPECT_EQ(m_view->GetZoomPromptCount(), 15);
    EXPECT_EQ(m_view->GetEventText(), u"");
}

TEST_F(MainViewCommandsTest, KeysOutsideOneToSeventeenAndMuteWithoutVolumeWindowDoNothing) {
    Open();
    m_view->RunKeyFunction(12);
    const int level = m_view->GetMapLevel();
    const int mode = m_view->GetViewMode();
    for (short function : {0, 18, -3}) m_view->RunKeyFunction(function);
    Send(u"Mute");
    EXPECT_EQ(m_view->GetLastKeyFunction(), 17); // "Mute" is function 17 ...
    EXPECT_EQ(m_view->GetMapLevel(), level);       // ... which without a volume window does nothing
    EXPECT_EQ(m_view->GetViewMode(), mode);
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickMove);
    EXPECT_EQ(m_view->GetZoomPromptCount(), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(m_view->IsKeyFunctionRunning());
}

TEST_F(MainViewCommandsTest, OnFootTheStartIsRefusedWithANoticeAndTheModeKept) {
    Open();
    m_view->SetPedestrianMode(true);
    Send(u"출발지");
    EXPECT_EQ(shown, std::vector<std::u16string>{kOnFoot});
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickMove);
    EXPECT_TRUE(m_view->IsPedestrianMode());
    Send(u"목적지");
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickGoal);
    EXPECT_EQ(m_view->GetEventText(), u"목적지를 설정 하세요.");
    EXPECT_EQ(shown.size(), 1u);

    m_view->SetPedestrianMode(false);
    Send(u"경유지설정", 0, u"이동");
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickMoveWaypoint);
    EXPECT_EQ(m_view->GetMovedWaypoint(), 0);
    EXPECT_EQ(m_view->GetEventText(), u"경유지(1)를 이동합니다.");
}

TEST_F(MainViewCommandsTest, ExitIsAskedAndRequestedFromTheMainScreenOnlyOnYes) {
    Open();
    answers = {IDNO};
    Send(u"종료");
    EXPECT_EQ(shown, std::vector<std::u16string>{u"벨코를 종료 하시겠습니까? ?"});
    EXPECT_FALSE(m_view->GetMainScreen()->IsExitRequested());
    answers = {IDYES};
    Send(u"종료");
    EXPECT_TRUE(m_view->GetMainScreen()->IsExitRequested());
}

TEST_F(MainViewCommandsTest, RefreshOneAndTwoRepaintTheMapAtOnce) {
    Open();
    Compose();
    for (int id : {1, 2}) {
        const std::uint64_t before = WinPaintCount();
        Send(u"UIRefresh0", id); // no message dispatched after it
        EXPECT_EQ(WinPaintCount(), before + 1) << id;
    }
    // Any other id brings the overlay up to date in the window's context, without a paint.
    const std::uint64_t before = WinPaintCount();
    Send(u"UIRefresh0", 0);
    EXPECT_EQ(WinPaintCount(), before);
}

TEST_F(MainViewCommandsTest, CommandsNotBuiltYetSayItOrLeaveTheMapAlone) {
    Open();
    Send(u"버젼정보보기");
    EXPECT_EQ(shown, std::vector<std::u16string>{u"구현중 입니다. !"});
    // A re-route needs a followed route: without one nothing starts and no reason is set.
    Send(u"ReRoute");
    EXPECT_TRUE(m_view->GetRerouteMessage().IsEmpty());
    EXPECT_EQ(shown.size(), 1u);
}

} // namespace
