// The view's side of the point dialogs: opening the recent destinations and the safe-driving
// points with the selection the view remembers between openings, checking the chosen point, and
// carrying out a change of the storage location that the save-location page made.
#pragma once

#include "app/SafeDrivingDlg.h"
#include "app/SelectedPoint.h"

class CWnd;
class NaviRcBuilder;

// Runs the recent destinations when the list holds any (0 otherwise, nothing shown). Returns the
// dialog's result; for 1 (show) and 2 (route now) chosen holds the point. A chosen row that is
// no longer in the list gives the notice "최근목적지의 정보를 검색할 수 없습니다." and 3. The
// remembered selection is kept for the next opening, and reset after 3 and 4.
int RunRecentDestinations(CWnd* parent, NaviRcBuilder* builder, bool directRoute, CSelectedPoint& remembered,
                          CSelectedPoint& chosen);

// Runs the safe-driving points when either list holds any (0 otherwise). As above (a chosen row
// that is gone gives "안전운행구간에 대한 정보를 확인할 수 없습니다." and 3); restored is
// set when a switched-off point was restored (the guidance takes the list again).
int RunSafeDrivingPoints(CWnd* parent, NaviRcBuilder* builder, bool directRoute, CSafePointSelection& remembered,
                         CSafePointSelection& chosen, bool& restored);

// After the save-location page: when setting 64 differs from oldValue, moves the saved data and
// points the registered-point store at the new folder. A failed move shows string 61212 (the
// old location is back in force, in memory and in its settings file) and gives false.
bool ApplyStorageLocationChange(int oldValue);
