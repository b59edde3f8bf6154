// velko-gpsmatch: decodes a receiver log as velko-gpsdecode does and puts every fix on the road
// network of a device root, printing one line per fix: the fix actually used (a dead-reckoned
// fix shows its own position) and the match result.
//
//   velko-gpsmatch --root DIR [--unit] [--no-datum-shift] [--route FILE] [--pedestrian] LOG
//
// --route follows a saved route (the route object's stream, as route files hold it).
#include "position/MatchedPosSource.h"
#include "position/ReceiverLog.h"
#include "tools/gpsmatch/RouteFile.h"

#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: velko-gpsmatch --root DIR [--unit] [--no-datum-shift] [--route FILE] "
                         "[--pedestrian] LOG\n");
    return 2;
}

void Print(const GpsPosRecord& f, const MatchResult& r, int dr) {
    std::printf("time=%02u%02u%02u x=%d y=%d speed=%u course=%u status=%d map=%d link=%d dir=%d mx=%d my=%d "
                "heading=%d dr=%d\n",
                f.hour, f.minute, f.second, f.longitude, f.latitude, f.speed, f.course, r.status, r.mapId,
                r.linkIndex, r.reverse == 0xFF ? -1 : r.reverse, r.x, r.y, r.heading, dr);
}

} // namespace

int main(int argc, char** argv) {
    bool unit = false, noShift = false, pedestrian = false;
    const char* root = nullptr;
    const char* routePath = nullptr;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--unit") == 0)
            unit = true;
        else if (std::strcmp(argv[i], "--no-datum-shift") == 0)
            noShift = true;
        else if (std::strcmp(argv[i], "--pedestrian") == 0)
            pedestrian = true;
        else if (std::strcmp(argv[i], "--root") == 0 && i + 1 < argc)
            root = argv[++i];
        else if (std::strcmp(argv[i], "--route") == 0 && i + 1 < argc)
            routePath = argv[++i];
        else if (argv[i][0] == '-' && argv[i][1] != 0)
            return Usage();
        else if (!path)
            path = argv[i];
        else
            return Usage();
    }
    if (!path || !root) return Usage();
    DeviceRoot::SetRoot(root);

    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "velko-gpsmatch: cannot open %s\n", path);
        return 1;
    }
    std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    std::unique_ptr<CMapMatchBase> engine;
    if (pedestrian)
        engine = std::make_unique<CRoadLocator>();
    else
        engine = std::make_unique<CMatchedPosSource>();
    if (!engine->OpenNetwork(u"\\MapData")) {
        std::fprintf(stderr, "velko-gpsmatch: no road network under %s/MapData\n", root);
        return 1;
    }
    std::unique_ptr<CRouteLinkQuery> route;
    if (routePath) {
        std::string error;
        route = LoadRouteFile(routePath, error);
        if (!route) {
            std::fprintf(stderr, "velko-gpsmatch: %s\n", error.c_str());
            return 1;
        }
    }
    engine->Reset();
    engine->SetRoutePath(route.get());

    DecodeReceiverLog(log, unit, noShift, [&](const GpsPosRecord& fix) {
        MatchResult r;
        GpsPosRecord used;
        std::uint8_t dr = 0;
        engine->Match(fix, r, &dr, &used);
        Print(used, r, dr);
    });
    return 0;
}
