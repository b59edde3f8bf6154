// What velko-dialog hands each application dialog it runs: the skin builder, the settings given
// with --set (dialog keys such as type=, row=, direct=, kind=), the device's lists and their
// files as the program loads them, and the key=value lines the dialog reports.
#pragma once

#include "platform/base/CString.h"

#include <map>
#include <string>
#include <vector>

class NaviMessageBox;
class NaviRcBuilder;

struct DialogSession {
    NaviRcBuilder* builder = nullptr;
    NaviMessageBox* messageBox = nullptr; // the run's skinned message box
    std::map<std::string, std::string> settings;
    CString recentFile;          // "DestPosition"
    CString safePointFile;       // item "안전운행지점"
    CString switchedOffFile;     // item "안전운행지점(지운것)"
    CString dataFolder;          // the map data folder the program opens
    std::vector<std::string> lines; // printed after the run, in order
    int exitCode = 0;               // set when the dialog could not run on the device's data

    // A dialog setting as an integer; fallback when it is not given or not a number.
    int Int(const std::string& key, int fallback) const;
    void Print(const std::string& key, const std::string& value) { lines.push_back(key + "=" + value); }
    void Print(const std::string& key, long long value) { Print(key, std::to_string(value)); }
};

// One application dialog the tool can run: its name on the command line and the function that
// builds it over the session, runs it modally and reports its result and selection.
struct DialogEntry {
    const char* name;
    void (*run)(DialogSession& session);
};

// The dialogs, one row each (Dialogs.cpp).
const std::vector<DialogEntry>& DialogTable();

// The dialogs' run functions.
void RunRecentDialog(DialogSession& session);
void RunSafeDriveDialog(DialogSession& session);
void RunDorvaDialog(DialogSession& session);
void RunLatLonDialog(DialogSession& session);
void RunPointRegDialog(DialogSession& session);
void RunPointTabDialog(DialogSession& session);
void RunRouteSaveDialog(DialogSession& session);
void RunSavedRoutesDialog(DialogSession& session);
void RunRouteInfoDialog(DialogSession& session);
void RunWaypointsDialog(DialogSession& session);
void RunPlayerDialog(DialogSession& session);
void RunHighwayDialog(DialogSession& session);
void RunVolumeDialog(DialogSession& session);
void RunInfoDialog(DialogSession& session);
void RunLogPanelDialog(DialogSession& session);
void RunLogoDialog(DialogSession& session);
void RunWarningDialog(DialogSession& session);
void RunHotKeyDialog(DialogSession& session);
// --page NAME: a settings page in the common dialog (PageDialogs.cpp).
void RunSettingsPageDialog(DialogSession& session);
