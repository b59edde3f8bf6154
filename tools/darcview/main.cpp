// velko-darcview: the traffic-broadcast sheet over a device root, hosted as the navigator hosts
// it (a host dialog at (0, 26), 240 x 294, caption "ZARN정보"), with the receiver's stores opened
// and fed from a recorded receiver stream (velko-darcsynth writes one).
//
//   velko-darcview --root DIR [--stream FILE] [--port COMn: [--com N=PATH] [--seconds N]]
//                  [--match IDX1,IDX2] [--title TEXT] [--current] (--script FILE --out DIR [--sdl] | --sdl)
//   velko-darcview --root DIR --road NAME
//
// --port reads a live receiver (velko-darcsynth --serve plays one) for N seconds before the
// sheet opens. --match reports the two matched link indices to the receiver link, as the navigator's map
// matching does; --current shows the current-road page alone in place of the sheet. A person
// uses the SDL host; a script drives the headless host (or the SDL host with --sdl) and OUT gets
// its frames and message-box log. The sheet opens at the start and again at each tap on the
// screen below it; each time it closes the program prints "receive status= rate= frequency= version=
// region= choice=" when the receive tab was opened, "sheet=N closed", then
// "mapmove=0" or "mapmove=1 x= y= extent= code= position=X,Y", "display=A,B,C,D" (원활, 서행,
// 지체, 정체) and one "interest slot= name=" line per road of interest. --road prints, for every
// link of the link table that lies on the named road, "link index= row= x= y= extent= code=
// position=": the speed row the current-road page selects for it and the map move from that
// row; then "links=N". Exit code 0 on success, 1 on a failure, 2 on bad usage.
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "platform/files/InputFile.h"
#include "platform/files/MapDataFolder.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/SdlHost.h"
#include "position/SerialPort.h"
#include "tools/darcview/DarcViewApp.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/pages/TrafficRoadDB.h"
#include "traffic/receiver/Traffic.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: velko-darcview --root DIR [--stream FILE] [--port COMn: [--com N=PATH] [--seconds N]]\n"
                         "                      [--match IDX1,IDX2] [--title TEXT] [--current] (--script FILE --out DIR [--sdl] | --sdl)\n"
                         "       velko-darcview --root DIR --road NAME\n");
    return 2;
}

// The links of the link table that lie on the named road, found as the current-road page finds
// the road of a matched link.
int ListRoadLinks(const std::u16string& mapFolder, const std::u16string& name) {
    CTraffic::instance()->openFile(CString(mapFolder));
    TrafficRoadDB db;
    if (!db.Open(TrafficRoadDB::DefaultPath().GetString())) {
        std::fprintf(stderr, "velko-darcview: no road tables below %s\n", Utf16ToUtf8(mapFolder).c_str());
        CTraffic::destruct();
        return 1;
    }
    int found = 0;
    const int count = CTraffic::instance()->GetLinkCount();
    for (int i = 0; i < count && i < 0xFFFF; ++i) {
        const sSAVETRAFFIC* state = db.FindDrivingRoad(static_cast<unsigned short>(i), 0xFFFF);
        if (!state) continue;
        if (std::u16string(db.GetDrivingRoadName()) != name) continue;
        const int row = db.GetDrivingRow();
        const sSAVETRAFFIC road = *state;
        if (!db.RestoreState(&road)) continue;
        // The map move a page makes from that row's section.
        sMOVEMAP move;
        move.x = db.GetSectionX(row / 2);
        move.y = db.GetSectionY(row / 2);
        move.extent = db.GetSectionLength(row / 2);
        move.code = db.GetGridCode(row / 2);
        std::printf("link index=%d row=%d %s\n", i, row, MapMoveText(move).c_str());
        ++found;
    }
    std::printf("links=%d\n", found);
    CTraffic::destruct();
    return found > 0 ? 0 : 1;
}

bool ParseIndex(const std::string& text, unsigned long& out) {
    if (text.empty() || text.size() > 5) return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 10);
    if (!end || *end || v > 0xFFFF) return false;
    out = v;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string root, script, out, road, port;
    bool sdl = false;
    DarcViewOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc) return false;
            v = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--root") {
            if (!value(root)) return Usage();
        } else if (a == "--stream") {
            if (!value(options.stream)) return Usage();
        } else if (a == "--port") {
            if (!value(port)) return Usage();
        } else if (a == "--com") {
            std::size_t eq;
            if (!value(v) || (eq = v.find('=')) == std::string::npos || eq == 0) return Usage();
            DeviceRoot::OverrideSetting("com" + v.substr(0, eq), v.substr(eq + 1));
        } else if (a == "--seconds") {
            if (!value(v)) return Usage();
            options.seconds = std::atof(v.c_str());
            if (!(options.seconds > 0 && options.seconds <= 3600)) return Usage();
        } else if (a == "--match") {
            std::size_t comma;
            if (!value(v) || (comma = v.find(',')) == std::string::npos ||
                !ParseIndex(v.substr(0, comma), options.matchFirst) ||
                !ParseIndex(v.substr(comma + 1), options.matchSecond))
                return Usage();
            options.match = true;
        } else if (a == "--title") {
            if (!value(v)) return Usage();
            options.title = CString(Utf8ToUtf16(v));
        } else if (a == "--road") {
            if (!value(road) || road.empty()) return Usage();
        } else if (a == "--current") {
            options.current = true;
        } else if (a == "--script") {
            if (!value(script)) return Usage();
        } else if (a == "--out") {
            if (!value(out)) return Usage();
        } else if (a == "--sdl") {
            sdl = true;
        } else {
            return Usage();
        }
    }
    if (root.empty() || (road.empty() && script.empty() && !sdl) || (!script.empty() && out.empty())) return Usage();
    DeviceRoot::SetRoot(root);
    std::string error;
    if (!FindMapDataFolder(options.mapFolder, error)) {
        std::fprintf(stderr, "velko-darcview: %s\n", error.c_str());
        return 1;
    }
    if (!road.empty()) return ListRoadLinks(options.mapFolder, Utf8ToUtf16(road));
    if (!options.stream.empty()) {
        InputFile probe;
        if (!probe.Open(options.stream, 1ull << 30, error)) {
            std::fprintf(stderr, "velko-darcview: %s\n", error.c_str());
            return 1;
        }
    }
    // The port is opened here, so that a missing one ends the program before the sheet is shown.
    CSerialPort serial;
    if (!port.empty()) {
        if (!serial.Open(Utf8ToUtf16(port).c_str(), GENERIC_READ | GENERIC_WRITE) || !serial.Setup(38400, 8, 0, 0)) {
            std::fprintf(stderr, "velko-darcview: cannot open %s (error %lu)\n", port.c_str(),
                         static_cast<unsigned long>(serial.GetLastErrorCode()));
            return 1;
        }
        options.port = &serial;
    }

    DarcViewApp app(options);
    int code = 0;
    if (!sdl) {
        HostOptions host;
        host.script = script;
        host.outDir = out;
        HeadlessHost headless(host);
        if (!headless.Prepare(&error)) {
            std::fprintf(stderr, "velko-darcview: %s\n", error.c_str());
            return 2;
        }
        code = headless.Run([] { return AfxWinMain(); });
        if (headless.Failed()) {
            std::fprintf(stderr, "velko-darcview: %s\n", headless.Failure().c_str());
            return 1;
        }
    } else {
        SdlHostOptions host;
        host.script = script;
        host.outDir = out.empty() ? "." : out;
        host.title = "velko-darcview";
        SdlHost window(host);
        if (!window.Open(&error)) {
            std::fprintf(stderr, "velko-darcview: %s\n", error.c_str());
            return 1;
        }
        code = window.Run([] { return AfxWinMain(); });
        if (!window.Failure().empty()) {
            std::fprintf(stderr, "velko-darcview: %s\n", window.Failure().c_str());
            return 1;
        }
    }
    if (app.Failed()) {
        std::fprintf(stderr, "velko-darcview: %s\n", app.Error().c_str());
        return 1;
    }
    return code == 0 ? 0 : 1;
}
