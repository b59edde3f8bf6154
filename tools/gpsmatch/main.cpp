// velko-gpsmatch: decodes a receiver log as velko-gpsdecode does and puts every fix on the road
// network of a device root, printing one line per fix: the fix actually used (a dead-reckoned
// fix shows its own position) and the match result; "records=0" when the log holds no fix.
//
//   velko-gpsmatch --root DIR [--unit] [--no-datum-shift] [--route FILE [--guide [--wav DIR]]]
//                  [--pedestrian] LOG
//
// --route follows a saved route (the route object's stream, as route files hold it); --guide
// also runs the guidance along it and prints every prompt (--wav writes each sound's image).
#include "position/MatchedPosSource.h"
#include "position/ReceiverLog.h"
#include "tools/gpsmatch/GuideRun.h"
#include "tools/gpsmatch/RouteFile.h"

#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/InputFile.h"
#include "platform/files/MapDataFolder.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

// A log is decoded whole in memory: a day's drive of NMEA is some tens of megabytes.
constexpr std::uint64_t kMaxLogBytes = 512u << 20;

int Usage() {
    std::fprintf(stderr, "usage: velko-gpsmatch --root DIR [--unit] [--no-datum-shift] [--route FILE] "
                         "[--guide [--wav DIR]] [--pedestrian] LOG\n");
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
    bool unit = false, noShift = false, pedestrian = false, guide = false;
    const char* wavDir = nullptr;
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
        else if (std::strcmp(argv[i], "--guide") == 0)
            guide = true;
        else if (std::strcmp(argv[i], "--wav") == 0 && i + 1 < argc)
            wavDir = argv[++i];
        else if (std::strcmp(argv[i], "--route") == 0 && i + 1 < argc)
            routePath = argv[++i];
        else if (argv[i][0] == '-' && argv[i][1] != 0)
            return Usage();
        else if (!path)
            path = argv[i];
        else
            return Usage();
    }
    if (!path || !root || (guide && !routePath) || (wavDir && !guide)) return Usage();
    DeviceRoot::SetRoot(root);

    std::string log, error;
    if (!InputFile::ReadAll(path, kMaxLogBytes, log, error)) {
        std::fprintf(stderr, "velko-gpsmatch: %s\n", error.c_str());
        return 2;
    }
    std::unique_ptr<CRouteLinkQuery> route;
    if (routePath) {
        int code = 0;
        route = LoadRouteFile(routePath, error, code);
        if (!route) {
            std::fprintf(stderr, "velko-gpsmatch: %s\n", error.c_str());
            return code;
        }
    }
    std::u16string folder;
    if (!FindMapDataFolder(folder, error)) {
        std::fprintf(stderr, "velko-gpsmatch: %s\n", error.c_str());
        return 2;
    }

    std::unique_ptr<CMapMatchBase> engine;
    if (pedestrian)
        engine = std::make_unique<CRoadLocator>();
    else
        engine = std::make_unique<CMatchedPosSource>();
    if (!engine->OpenNetwork(folder.c_str())) {
        std::fprintf(stderr, "velko-gpsmatch: no usable road network in %s\n",
                     DeviceRoot::Resolve(folder).c_str());
        return 1;
    }
    engine->Reset();
    engine->SetRoutePath(route.get());
    std::unique_ptr<GuideRun> guideRun;
    if (guide) {
        guideRun = GuideRun::Open(folder, routePath, wavDir ? wavDir : "", false, error);
        if (!guideRun) {
            std::fprintf(stderr, "velko-gpsmatch: %s\n", error.c_str());
            return 1;
        }
    }

    long fixes = 0;
    DecodeReceiverLog(log, unit, noShift, [&](const GpsPosRecord& fix) {
        ++fixes;
        MatchResult r;
        GpsPosRecord used;
        std::uint8_t dr = 0;
        engine->Match(fix, r, &dr, &used);
        Print(used, r, dr);
        if (guideRun) guideRun->Fix(r);
    });
    // A log without a single fix (empty, or not a receiver log at all) says so.
    if (fixes == 0) std::printf("records=0\n");
    return 0;
}
