// velko-route: plans a route over a device root through the route manager and prints it as
// key=value lines, or prints a saved route file (a .vkp route or RouteTbl.bin).
//
//   velko-route --root DIR --from X,Y [--via X,Y]... --to X,Y [--net] [--kind 1..4]
//               [--traffic LINKINDEX=KMH]... [--save NAME]
//   velko-route --dump FILE
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "platform/files/InputFile.h"
#include "platform/files/MapDataFolder.h"
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "traffic/receiver/Traffic.h"
#include "tools/route/RoutePrint.h"

#include <cstdio>
#include <cstdlib>
#include <climits>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char16_t* kSavedRouteFolder = u"\\My Documents\\VelkoData\\SaveRoute";

// Route files hold a few thousand items and points: some hundred kilobytes.
constexpr std::uint64_t kMaxRouteFileBytes = 64u << 20;
// Map coordinates cover the national grid.
constexpr long kMaxMapX = 575999;
constexpr long kMaxMapY = 659999;

struct Options {
    std::string root, dump, save;
    bool haveFrom = false, haveTo = false, net = false;
    POINT from, to;
    std::vector<POINT> via;
    int kind = 1;
    std::vector<std::pair<int, int>> traffic;
    std::string badPoint; // a point given outside the map
};

int Usage() {
    std::cerr << "usage: velko-route --root DIR --from X,Y [--via X,Y]... --to X,Y [--net] [--kind 1..4]\n"
                 "                   [--traffic LINKINDEX=KMH]... [--save NAME]\n"
                 "       velko-route --dump FILE\n";
    return 2;
}

bool ParseLong(const std::string& text, long& value) {
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && !*end;
}

bool ParsePair(const std::string& text, char separator, long& a, long& b) {
    const std::size_t at = text.find(separator);
    if (at == std::string::npos) return false;
    char* end = nullptr;
    const std::string first = text.substr(0, at), second = text.substr(at + 1);
    a = std::strtol(first.c_str(), &end, 10);
    if (first.empty() || *end) return false;
    b = std::strtol(second.c_str(), &end, 10);
    return !second.empty() && !*end;
}

bool ParsePoint(const std::string& text, POINT& p) {
    long x = 0, y = 0;
    if (!ParsePair(text, ',', x, y)) return false;
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) {
        // Kept out of range, so that the check on the map grid refuses it.
        x = x < 0 ? -1 : kMaxMapX * 100;
        y = y < 0 ? -1 : kMaxMapY * 100;
    }
    p.x = static_cast<LONG>(x);
    p.y = static_cast<LONG>(y);
    return true;
}

// Names the option value that was refused, on the line before the usage text.
bool Bad(const std::string& option, const std::string& value, const char* expected) {
    std::cerr << "velko-route: " << option << " " << value << ": " << expected << "\n";
    return false;
}

bool Parse(int argc, char** argv, Options& o) {
    std::vector<std::pair<std::string, POINT>> points;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--root") {
            if (!value(o.root)) return false;
        } else if (arg == "--dump") {
            if (!value(o.dump)) return false;
        } else if (arg == "--save") {
            if (!value(o.save) || o.save.empty()) return false;
        } else if (arg == "--from") {
            if (!value(v)) return false;
            if (!ParsePoint(v, o.from)) return Bad(arg, v, "X,Y expected");
            o.haveFrom = true;
            points.emplace_back("--from " + v, o.from);
        } else if (arg == "--to") {
            if (!value(v)) return false;
            if (!ParsePoint(v, o.to)) return Bad(arg, v, "X,Y expected");
            o.haveTo = true;
            points.emplace_back("--to " + v, o.to);
        } else if (arg == "--via") {
            POINT p;
            if (!value(v)) return false;
            if (!ParsePoint(v, p)) return Bad(arg, v, "X,Y expected");
            o.via.push_back(p);
            points.emplace_back("--via " + v, p);
        } else if (arg == "--net") {
            o.net = true;
        } else if (arg == "--kind") {
            if (!value(v)) return false;
            long kind = 0;
            if (!ParseLong(v, kind) || kind < 1 || kind > 4) return Bad(arg, v, "a kind from 1 to 4 expected");
            o.kind = static_cast<int>(kind);
        } else if (arg == "--traffic") {
            long index = 0, speed = 0;
            if (!value(v)) return false;
            if (!ParsePair(v, '=', index, speed) || index < 0 || index > 65535 || speed < 0 || speed > 255)
                return Bad(arg, v, "INDEX=KMH expected (index 0..65535, speed 0..255)");
            o.traffic.emplace_back(static_cast<int>(index), static_cast<int>(speed));
        } else {
            return false;
        }
    }
    // Every point must lie on the map grid (checked once --net is known).
    for (const auto& [given, p] : points) {
        const bool off = o.net ? p.x < 45000000 || p.x > 47159999 || p.y < 11910000 || p.y > 13889999
                               : p.x < 0 || p.x > kMaxMapX || p.y < 0 || p.y > kMaxMapY;
        if (off) {
            o.badPoint = given;
            break;
        }
    }
    return !o.dump.empty() || (o.haveFrom && o.haveTo);
}

// Map coordinates of a point given on the command line.
POINT ToMap(const Options& o, POINT p) {
    if (!o.net) return p;
    std::int32_t x = 0, y = 0;
    NetToMapCoord(p.x, p.y, x, y);
    POINT m;
    m.x = x;
    m.y = y;
    return m;
}

int Dump(const std::string& file) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!InputFile::ReadAll(file, kMaxRouteFileBytes, bytes, error)) {
        std::cerr << "velko-route: " << error << "\n";
        return 2;
    }
    CRoute route;
    if (bytes.size() > 0x7fffffff ||
        !route.ReadBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()))) {
        std::cerr << "velko-route: " << file << " is not a route file\n";
        return 1;
    }
    routetool::PrintSummary(std::cout, 0, *route.path);
    routetool::PrintItems(std::cout, *route.path);
    return 0;
}

int Plan(const Options& o) {
    DeviceRoot::SetRoot(o.root);
    std::u16string folder;
    std::string error;
    if (!FindMapDataFolder(folder, error)) {
        std::cerr << "velko-route: " << error << "\n";
        return 2;
    }
    CRouteManager manager;
    if (!manager.Init(folder.c_str())) {
        std::cerr << "velko-route: no usable road network in " << DeviceRoot::Resolve(folder) << "\n";
        return 2;
    }
    manager.SetRouteKind(o.kind);
    if (!o.traffic.empty()) {
        // The link-speed store of the device, fed as the broadcast would feed it: one traffic
        // packet per given speed, for the link id at that table index. The save file is not
        // written back.
        CTraffic* traffic = CTraffic::instance();
        traffic->openFile(CString(folder));
        for (const auto& [index, speed] : o.traffic) {
            unsigned long id = 0;
            if (index < 0 || index > 0xFFFF || !traffic->getDarcIDByIdx(static_cast<unsigned short>(index), id)) {
                std::cerr << "velko-route: no broadcast link at index " << index << "\n";
                return 2;
            }
            unsigned char packet[22] = {0x17, 0x00};
            for (int k = 0; k < 4; ++k) {
                packet[2 + 5 * k] = static_cast<unsigned char>(id >> 24);
                packet[3 + 5 * k] = static_cast<unsigned char>(id >> 16);
                packet[4 + 5 * k] = static_cast<unsigned char>(id >> 8);
                packet[5 + 5 * k] = static_cast<unsigned char>(id);
                packet[6 + 5 * k] = static_cast<unsigned char>(speed);
            }
            traffic->setData(packet, sizeof packet);
        }
        manager.SetUseTraffic(1);
    }
    const POINT from = ToMap(o, o.from), to = ToMap(o, o.to);
    int code = 0;
    if (manager.SetStart(from.x, from.y, u"출발지") < 1)
        std::cerr << "velko-route: the start is on no road\n";
    for (std::size_t i = 0; i < o.via.size(); ++i) {
        const POINT v = ToMap(o, o.via[i]);
        CString name;
        name.Format(u"경유지%d", static_cast<int>(i + 1));
        const int r = manager.InsertWaypoint(v.x, v.y, name, static_cast<int>(i));
        if (r < 1 || r == CRouteManager::kRepeatedWaypoint) {
            std::cerr << "velko-route: waypoint " << i + 1 << " refused (" << r << ")\n";
            code = r == CRouteManager::kRepeatedWaypoint ? r : 6;
        }
    }
    if (manager.SetGoal(to.x, to.y, u"목적지") < 1) std::cerr << "velko-route: the goal is on no road\n";
    if (code == 0) code = manager.SearchRoute();
    const double searchMs = manager.EditedRoute().searchMilliseconds;
    if (code != 0) {
        routetool::PrintSummary(std::cout, code, CRoutePath());
        std::printf("search_ms=%.1f\n", searchMs);
        return 1;
    }
    manager.CommitRoute();
    const CRoute& route = *manager.SelectedRoute();
    routetool::PrintSummary(std::cout, code, *route.path);
    routetool::PrintItems(std::cout, *route.path);
    std::cout.flush();
    std::printf("search_ms=%.1f\n", searchMs);
    if (!o.save.empty()) {
        CreateDirectoryW(u"\\My Documents", nullptr);
        CreateDirectoryW(u"\\My Documents\\VelkoData", nullptr);
        CreateDirectoryW(kSavedRouteFolder, nullptr);
        CString file;
        const std::u16string name = Utf8ToUtf16(o.save);
        file.Format(u"%s\\%sR.vkp", kSavedRouteFolder, name.c_str());
        if (!manager.SaveRouteFile(file)) {
            std::cerr << "velko-route: the route could not be saved\n";
            return 1;
        }
        std::fprintf(stderr, "saved %s\n", DeviceRoot::Resolve(file.GetString()).c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) return Usage();
    if (!o.badPoint.empty()) {
        std::cerr << "velko-route: " << o.badPoint << " lies off the map ("
                  << (o.net ? "network X 45000000-47159999, Y 11910000-13889999"
                            : "map X 0-575999, Y 0-659999")
                  << ")\n";
        return 2;
    }
    if (!o.dump.empty()) return Dump(o.dump);
    if (o.root.empty()) o.root = DeviceRoot::DefaultRoot();
    return Plan(o);
}
