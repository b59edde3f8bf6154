#include "tools/dialog/DialogSession.h"

#include <cerrno>
#include <cstdlib>

const std::vector<DialogEntry>& DialogTable() {
    static const std::vector<DialogEntry> table = {
        {"recent", RunRecentDialog},
        {"safedrive", RunSafeDriveDialog},
        {"dorva", RunDorvaDialog},
        {"latlon", RunLatLonDialog},
        {"pointreg", RunPointRegDialog},
        {"pointtab", RunPointTabDialog},
        {"routesave", RunRouteSaveDialog},
        {"savedroutes", RunSavedRoutesDialog},
        {"routeinfo", RunRouteInfoDialog},
        {"waypoints", RunWaypointsDialog},
        {"player", RunPlayerDialog},
        {"highway", RunHighwayDialog},
        {"volume", RunVolumeDialog},
        {"info", RunInfoDialog},
        {"logpanel", RunLogPanelDialog},
        {"logo", RunLogoDialog},
        {"warning", RunWarningDialog},
        {"hotkey", RunHotKeyDialog},
        {"page", RunSettingsPageDialog},
    };
    return table;
}

int DialogSession::Int(const std::string& key, int fallback) const {
    const auto it = settings.find(key);
    if (it == settings.end() || it->second.empty()) return fallback;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(it->second.c_str(), &end, 10);
    if (errno != 0 || !end || *end != 0 || value < -2147483647L || value > 2147483647L) return fallback;
    return static_cast<int>(value);
}
