// velko-route: plans a route over a device root through the route manager and prints it as
// key=value lines, or prints a saved route file (a .vkp route or RouteTbl.bin).
//
//   velko-route --root DIR --from X,Y [--via X,Y]... --to X,Y [--net] [--kind 1..4]
//               [--traffic LINKINDEX=KMH]... [--save NAME]
//   velko-route --dump FILE
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "route/RouteManager.h"
#include "route/TrafficStandIn.h"
#include "route/base/Coords.h"
#include "tools/route/RoutePrint.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr const char16_t* kDataFolder = u"\\Storage Card\\MapData";
constexpr const char16_t* kSavedRouteFolder = u"\\My Documents\\VelkoData\\SaveRoute";

struct Options {
    std::string root, dump, save;
    bool haveFrom = false, haveTo = false, net = false;
    POINT from, to;
    std::vector<POINT> via;
    int kind = 1;
    std::vector<std::pair<int, int>> traffic;
};

int Usage() {
    std::cerr << "usage: velko-route --root DIR --from X,Y [--via X,Y]... --to X,Y [--net] [--kind 1..4]\n"
                 "                   [--traffic LINKINDEX=KMH]... [--save NAME]\n"
                 "       velko-route --dump FILE\n";
    return 2;
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
    p.x = static_cast<LONG>(x);
    p.y = static_cast<LONG>(y);
    return true;
}

bool Parse(int argc, char** argv, Options& o) {
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
            if (!value(v) || !ParsePoint(v, o.from)) return false;
            o.haveFrom = true;
        } else if (arg == "--to") {
            if (!value(v) || !ParsePoint(v, o.to)) return false;
            o.haveTo = true;
        } else if (arg == "--via") {
            POINT p;
            if (!value(v) || !ParsePoint(v, p)) return false;
            o.via.push_back(p);
        } else if (arg == "--net") {
            o.net = true;
        } else if (arg == "--kind") {
            if (!value(v)) return false;
            o.kind = std::atoi(v.c_str());
            if (o.kind < 1 || o.kind > 4) return false;
        } else if (arg == "--traffic") {
            long index = 0, speed = 0;
            if (!value(v) || !ParsePair(v, '=', index, speed) || index < 0 || index > 65535 || speed < 0 ||
                speed > 255)
                return false;
            o.traffic.emplace_back(static_cast<int>(index), static_cast<int>(speed));
        } else {
            return false;
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
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "velko-route: cannot open " << file << "\n";
        return 2;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
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
    CRouteManager manager;
    if (!manager.Init(kDataFolder)) {
        std::cerr << "velko-route: no usable road network under " << o.root << "\n";
        return 2;
    }
    manager.SetRouteKind(o.kind);
    if (!o.traffic.empty()) {
        for (const auto& [index, speed] : o.traffic)
            CTraffic::instance()->SetSpeed(static_cast<std::uint16_t>(index),
                                           static_cast<std::uint8_t>(speed));
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
    if (!o.dump.empty()) return Dump(o.dump);
    if (o.root.empty()) o.root = DeviceRoot::DefaultRoot();
    return Plan(o);
}
