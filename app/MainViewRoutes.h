// How the view's route-file, transit and waypoint commands run their dialogs. Each runner sets up
// nothing itself: the view hands it the dialog it has prepared (panel name, builder, route manager,
// folder) and reads back what the user chose. The program uses the default runners, which run the
// dialogs modally; tests install runners that answer what the test queues.
#pragma once

#include "platform/base/CString.h"

#include <cstdint>
#include <functional>

class CRouteInfoDlg;
class CRouteSaveDlg;
class CWaypointDlg;

namespace routes_dialogs {

// The save and saved-routes screens: the action code, the typed name (save screen), the chosen
// file and whether it is to be searched in reverse (saved-routes screen).
struct RouteSaveAnswer {
    int action = 0;
    CString name;
    CString selected;
    bool reverse = false;
};

// The waypoint screen: the action code and the waypoint it acts on.
struct WaypointAnswer {
    int action = 4;
    int selection = -1;
};

// The transit result dialogs: 2 back, anything else with the chosen stop's map position.
struct TransitAnswer {
    int code = 2;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

using RouteInfoRunner = std::function<int(CRouteInfoDlg&)>;
using RouteSaveRunner = std::function<RouteSaveAnswer(CRouteSaveDlg&)>;
using WaypointRunner = std::function<WaypointAnswer(CWaypointDlg&)>;
// subway false: the bus dialog over the view's bus client; true: the subway dialog.
using TransitRunner = std::function<TransitAnswer(bool subway)>;

// Replace a runner; an empty function puts the default back.
void SetRouteInfoRunner(RouteInfoRunner runner);
void SetRouteSaveRunner(RouteSaveRunner runner);
void SetWaypointRunner(WaypointRunner runner);
void SetTransitRunner(TransitRunner runner);

} // namespace routes_dialogs
