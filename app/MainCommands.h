// The main screen's command vocabulary: the control and menu names the screen builders give their
// controls, the key functions 1 to 17 of the hardware keys, and the searches "이전" returns to,
// each table searched in order, the first equal name (exact, case-sensitive) winning.
//
// The tables are written over the view type so that the program runs them on CMainView and a
// test can run the very same tables on a view that only records what it was asked; the view
// answers every operation named here.
#pragma once

#include "platform/base/CString.h"
#include "skinui/NaviCommand.h"

template <class View>
class CMainCommands {
public:
    static constexpr int kQuestion = 3000;
    static constexpr int kNotice = 3001;
    static constexpr int kYes = 4001;
    // Prompts of the zoom keys (their string-table ids).
    static constexpr int kZoomInPrompt = 32832;
    static constexpr int kZoomOutPrompt = 32834;
    static constexpr int kFirstKeyFunction = 1;
    static constexpr int kLastKeyFunction = 17;
    static constexpr const char16_t* kPedestrianRefusal = u"보행자 모드에서는 설정 할 수 없습니다.";
    static constexpr const char16_t* kExitQuestion = u"벨코를 종료 하시겠습니까?";

    using Action = void (*)(View&, const NaviCommand&);
    using Step = void (*)(View&);

    // A name and what it does; a null action is a known name that does nothing.
    struct Entry {
        const char16_t* name;
        Action action;
    };
    struct KeyEntry {
        short function;
        Step action;
    };
    struct SearchEntry {
        const char16_t* name;
        Step action;
    };

    // The command's name looked up in the dispatch table; false when nothing is called so.
    static bool Dispatch(View& v, const NaviCommand& cmd) {
        for (const Entry& e : kCommands)
            if (cmd.target == e.name) {
                if (e.action) e.action(v, cmd);
                return true;
            }
        return false;
    }

    // Key function 1 to 17; 1 to 16 close an open main-screen menu first. False for other values.
    static bool RunKey(View& v, short function) {
        if (function < kFirstKeyFunction || function > kLastKeyFunction) return false;
        if (function < kLastKeyFunction) v.CloseMainMenu();
        for (const KeyEntry& e : kKeys)
            if (e.function == function) {
                e.action(v);
                return true;
            }
        return false;
    }

    // The search or list of the last search name, run again in re-entry mode; false when the
    // name is none of them.
    static bool ReturnToLast(View& v) {
        const CString name = v.GetLastSearchName();
        for (const SearchEntry& e : kLastSearches)
            if (name == e.name) {
                e.action(v);
                return true;
            }
        return false;
    }

private:
    static void PickWithText(View& v, int mode, const char16_t* text) {
        v.SetPointPickMode(mode);
        v.SetEventText(u"%s", text);
    }

    // A point that pedestrian mode cannot take: the notice, the pick mode left as it was.
    static bool RefusedOnFoot(View& v) {
        if (!v.IsPedestrianMode()) return false;
        v.CommandMessage(kPedestrianRefusal, kNotice);
        return true;
    }

    // The sub-entries of the waypoint menu ("경유지설정"), by the command's control name.
    static constexpr Entry kWaypointEntries[] = {
        {u"경유지추가", [](View& v, const NaviCommand&) { PickWithText(v, View::kPickWaypoint, u"경유지를 추가하세요."); }},
        {u"이동",
         [](View& v, const NaviCommand& c) {
             v.SetMovedWaypoint(c.id);
             v.SetPointPickMode(View::kPickMoveWaypoint);
             v.SetEventText(u"경유지(%d)를 이동합니다.", c.id + 1);
         }},
        {u"삭제",
         [](View& v, const NaviCommand& c) {
             v.DeleteWaypoint(c.id);
             v.SetPointPickMode(View::kPickMove);
             v.RedrawWholeMap();
         }},
        {u"지점이동", [](View& v, const NaviCommand& c) { v.ShowWaypointOnMap(c.id); }},
        {u"설정취소", [](View& v, const NaviCommand&) { PickWithText(v, View::kPickMove, u"경유지 설정을 취소합니다."); }},
    };

    // The results of a multi-route search ("다중탐색"), by the command's id 1 to 9.
    static void ShowRouteResult(View& v, const NaviCommand& c) {
        v.SelectRouteResult(c.id);
        v.ShowRouteOverview();
        v.ResetMenuIdle();
    }
    static void ShowResultInfo(View& v, const NaviCommand&) { v.ShowRouteInfo(true, true, false); }
    static void AcceptChosenResult(View& v, const NaviCommand&) { v.AcceptRoute(3); }

    // The results of a multi-route search ("다중탐색"), by the command's id 1 to 9.
    static constexpr Action kMultiRoute[9] = {
        ShowRouteResult, ShowRouteResult, ShowRouteResult, ShowRouteResult, ShowResultInfo, AcceptChosenResult,
        ShowResultInfo,  AcceptChosenResult,
        [](View& v, const NaviCommand&) {
            v.AcceptRoute(0);
            v.SearchMultiRoute();
        },
    };

    static constexpr Entry kCommands[] = {
        {u"VelkoMenu",
         [](View& v, const NaviCommand&) {
             if (v.IsSimulating()) v.StopSimulatedDrive();
         }},
        {u"UIRefresh0", [](View& v, const NaviCommand& c) { v.RefreshMainScreen(c.id); }},
        {u"출발지",
         [](View& v, const NaviCommand&) {
             if (!RefusedOnFoot(v)) PickWithText(v, View::kPickStart, u"출발지를 설정 하세요.");
         }},
        {u"목적지", [](View& v, const NaviCommand&) { PickWithText(v, View::kPickGoal, u"목적지를 설정 하세요."); }},
        {u"경유지설정",
         [](View& v, const NaviCommand& c) {
             if (RefusedOnFoot(v)) return;
             for (const Entry& e : kWaypointEntries)
                 if (c.control == e.name) {
                     e.action(v, c);
                     return;
                 }
         }},
        {u"지도이동", nullptr},
        {u"경로탐색",
         [](View& v, const NaviCommand&) {
             v.ClearRouteAccepted();
             v.SearchRouteAndShow();
         }},
        {u"지점등록", [](View& v, const NaviCommand&) { v.RegisterMapCenter(); }},
        {u"탐색_초보", [](View& v, const NaviCommand&) { v.SearchRouteAndShow(); }},
        {u"SimulDlgOn", [](View& v, const NaviCommand&) { v.ShowSimulPlayer(true); }},
        {u"명칭검색", [](View& v, const NaviCommand&) { v.SearchName(false); }},
        {u"시설분류", [](View& v, const NaviCommand&) { v.SearchCategory(false); }},
        {u"주변검색", [](View& v, const NaviCommand&) { v.SearchAround(false); }},
        {u"주소검색", [](View& v, const NaviCommand&) { v.SearchAddress(false, true); }},
        {u"테마검색", [](View& v, const NaviCommand&) { v.SearchTheme(false); }},
        {u"경위도", [](View& v, const NaviCommand&) { v.MoveToLatLon(false); }},
        {u"도르바", [](View& v, const NaviCommand&) { v.MoveByDorvaCode(false); }},
        {u"종료",
         [](View& v, const NaviCommand&) {
             if (v.CommandMessage(kExitQuestion, kQuestion) != kYes) return;
             // A drive in progress ends first; the exit runs once its loop has unwound.
             if (v.IsSimulating()) v.StopSimulatedDrive();
             v.RequestExit();
         }},
        {u"Gps",
         [](View& v, const NaviCommand& c) {
             if (c.id != 0) v.ShowRoutePoint(3000);
             else v.ShowGpsSkyView();
         }},
        {u"Compass", [](View& v, const NaviCommand&) { v.CycleViewMode(); }},
        {u"RouteResult", [](View& v, const NaviCommand&) { v.ShowRouteInfo(true, false, false); }},
        {u"Zarn", [](View& v, const NaviCommand&) { v.ShowTrafficSheet(1); }},
        {u"LevelBar", [](View& v, const NaviCommand& c) { v.ZoomStep(c.id, 0); }},
        {u"ExLevelBar", [](View& v, const NaviCommand& c) { v.SetLevelFromBar(c.id); }},
        {u"TASKBAR_SHOW", [](View& v, const NaviCommand&) { v.ShowTaskbar(true); }},
        {u"TASKBAR_HIDE", [](View& v, const NaviCommand&) { v.ShowTaskbar(false); }},
        {u"이전_초보", [](View& v, const NaviCommand&) { v.ReturnToLastSearch(); }},
        {u"이전", [](View& v, const NaviCommand&) { v.ReturnToLastSearch(); }},
        {u"ReRoute",
         [](View& v, const NaviCommand&) {
             if (!v.IsRerouteAllowed()) return;
             if (v.GetSetting(17) != 0 && v.IsResearchRunning()) return;
             v.StartManualReroute();
         }},
        {u"Guide", [](View& v, const NaviCommand&) { v.ResetGuideAnnouncements(); }},
        {u"EventString",
         [](View& v, const NaviCommand& c) {
             if (c.id == 1) v.NextEventString();
         }},
        {u"TrafficUpdateRoute", [](View& v, const NaviCommand&) { v.StartRerouteThread(); }},
        {u"SafeZone", [](View& v, const NaviCommand&) { v.DeleteSafeZoneSection(); }},
        {u"최근목적지", [](View& v, const NaviCommand&) { v.ShowRecentDestinations(false, true); }},
        {u"안전운행관리", [](View& v, const NaviCommand&) { v.ManageSafeDrivePoints(0); }},
        {u"집으로", [](View& v, const NaviCommand&) { v.GoHome(true); }},
        {u"자주가는곳", [](View& v, const NaviCommand&) { v.GoFrequentPlace(true); }},
        {u"경로정보", [](View& v, const NaviCommand&) { v.ShowRouteInfo(true, false, true); }},
        {u"전체경로보기", [](View& v, const NaviCommand&) { v.StartGuidance(); }},
        {u"경로재설정", [](View& v, const NaviCommand&) { v.ResetRoute(); }},
        {u"경로저장", [](View& v, const NaviCommand&) { v.SaveRoute(true); }},
        {u"경로취소", [](View& v, const NaviCommand&) { v.CancelRoute(true, true); }},
        {u"목적지이동",
         [](View& v, const NaviCommand&) {
             v.ShowRoutePoint(3002);
             v.StartAutoReturn();
         }},
        {u"경유지관리", [](View& v, const NaviCommand&) { v.ManageWaypoints(true); }},
        {u"출발지이동",
         [](View& v, const NaviCommand&) {
             v.ShowRoutePoint(3001);
             v.StartAutoReturn();
         }},
        {u"모의주행", [](View& v, const NaviCommand&) { v.RunSimulatedDrive(true); }},
        {u"볼륨", [](View& v, const NaviCommand&) { v.ShowVolumeWindow(); }},
        {u"등록지점관리", [](View& v, const NaviCommand&) { v.ShowRegisteredPoints(false, true); }},
        {u"등록지점", [](View& v, const NaviCommand&) { v.ShowRegisteredPoints(false, true); }},
        {u"저장정보관리", [](View& v, const NaviCommand&) { v.OpenSavedRoute(); }},
        {u"저장경로", [](View& v, const NaviCommand&) { v.OpenSavedRoute(); }},
        {u"정보저장위치", [](View& v, const NaviCommand&) { v.ShowSaveLocationSettings(); }},
        {u"GPS정보보기", [](View& v, const NaviCommand&) { v.ShowGpsSkyView(); }},
        {u"버젼정보보기", [](View& v, const NaviCommand&) { v.ShowNotImplemented(); }},
        {u"ZARN", [](View& v, const NaviCommand&) { v.ShowTrafficSheet(1); }},
        {u"한국도로공사", [](View& v, const NaviCommand&) { v.DownloadTraffic(1); }},
        {u"안전운행구간", [](View& v, const NaviCommand&) { v.ShowSafeDriveSettings(); }},
        {u"시스템", [](View& v, const NaviCommand&) { v.ShowSystemSettings(0); }},
        {u"메뉴없음", [](View& v, const NaviCommand&) { v.ShowSystemSettings(3); }},
        {u"디스플레이", [](View& v, const NaviCommand&) { v.ShowDisplaySettings(); }},
        {u"안내-탐색", [](View& v, const NaviCommand&) { v.ShowRouteSearchSettings(); }},
        {u"다중탐색",
         [](View& v, const NaviCommand& c) {
             if (c.id >= 1 && c.id <= 9) kMultiRoute[c.id - 1](v, c);
         }},
        {u"고속모드", [](View& v, const NaviCommand&) { v.ShowHighwayPanel(); }},
        {u"보행자", [](View& v, const NaviCommand&) { v.LeavePedestrianMode(); }},
        {u"POIBAR", [](View& v, const NaviCommand& c) { v.OnPoiBarSelect(c.id); }},
        {u"버젼정보", [](View& v, const NaviCommand&) { v.ShowProgramInfo(); }},
        {u"사운드", [](View& v, const NaviCommand&) { v.ShowSoundSettings(0); }},
        {u"Mute", [](View& v, const NaviCommand&) { v.RunKeyFunction(17); }},
    };

    // Key functions. Keys are not menu taps: a refusal leaves the main screen as it is.
    static constexpr KeyEntry kKeys[] = {
        {1, [](View& v) { v.ShowRoutePoint(3000); }},
        {2, [](View& v) { v.AddSafeDrivePointHere(); }},
        {3,
         [](View& v) {
             if (!v.IsPedestrianMode()) v.RequestMatcherRematch();
         }},
        {4, [](View& v) { v.GoHome(false); }},
        {5, [](View& v) { v.GoFrequentPlace(false); }},
        {6, [](View& v) { v.SearchName(false); }},
        {7, [](View& v) { v.SearchAddress(false, false); }},
        {8, [](View& v) { v.ShowRegisteredPoints(false, false); }},
        {9, [](View& v) { v.SearchRouteAndShowKeepMode(); }},
        {10, [](View& v) { v.ShowGpsSkyView(); }},
        {11,
         [](View& v) {
             if (!v.IsSimulating() && !v.IsPedestrianMode()) v.ManageWaypoints(false);
         }},
        {12, [](View& v) { v.CycleViewMode(); }},
        {13, [](View& v) { v.ZoomStep(1, kZoomInPrompt); }},
        {14, [](View& v) { v.ZoomStep(2, kZoomOutPrompt); }},
        {15,
         [](View& v) {
             v.SyncGuideSoundFlags();
             v.ResetGuideAnnouncements();
         }},
        {16,
         [](View& v) {
             if (v.IsTrafficAvailable()) v.ShowTrafficSheet(0);
         }},
        {17,
         [](View& v) {
             if (v.HasVolumeWindow()) v.ToggleMute();
         }},
    };

    static constexpr SearchEntry kLastSearches[] = {
        {u"NameSearch", [](View& v) { v.SearchName(true); }},
        {u"NameSearchAdv", [](View& v) { v.SearchName(true); }},
        {u"AddressSearch", [](View& v) { v.SearchAddress(true, true); }},
        {u"AddressSearchAdv", [](View& v) { v.SearchAddress(true, true); }},
        {u"ThemeSearch", [](View& v) { v.SearchTheme(true); }},
        {u"ThemeSearchAdv", [](View& v) { v.SearchTheme(true); }},
        {u"AroundSearch", [](View& v) { v.SearchAround(true); }},
        {u"AroundSearchAdv", [](View& v) { v.SearchAround(true); }},
        {u"POIInfo", [](View& v) { v.SearchPoiInfo(true); }},
        {u"POIInfoAdv", [](View& v) { v.SearchPoiInfo(true); }},
        {u"CateSearch", [](View& v) { v.SearchCategory(true); }},
        {u"최근목적지", [](View& v) { v.ShowRecentDestinations(true, true); }},
        {u"안전운행관리", [](View& v) { v.ManageSafeDrivePoints(1); }},
        {u"등록지점관리", [](View& v) { v.ShowRegisteredPoints(true, true); }},
        {u"경위도이동", [](View& v) { v.MoveToLatLon(true); }},
        {u"도르바이동", [](View& v) { v.MoveByDorvaCode(true); }},
        {u"경유지관리", [](View& v) { v.ManageWaypoints(false); }},
    };
};
