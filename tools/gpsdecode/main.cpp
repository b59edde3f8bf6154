// velko-gpsdecode: decodes a receiver log through the program's own decoders and prints one line
// per position record.
//
//   velko-gpsdecode [--unit] [--no-datum-shift] LOG
//
// LOG holds NMEA text, or the receiver unit's frames with --unit; the program's raw log is
// recognised by its "Start_Log" header, which is skipped.
#include "position/NmeaParser.h"
#include "position/NmeaReceiver.h"
#include "position/ZarnReceiver.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: velko-gpsdecode [--unit] [--no-datum-shift] LOG\n");
    return 2;
}

void Print(const GpsPosRecord& r) {
    double lat = r.latitude / 360000.0;
    double lon = r.longitude / 360000.0;
    if (r.northSouth == 'S') lat = -lat;
    if (r.eastWest == 'W') lon = -lon;
    std::printf(
        "date=%02u%02u%02u time=%02u%02u%02u status=%c lat=%.7f lon=%.7f speed=%.1f course=%u alt=%.1f "
        "used=%d\n",
        r.day, r.month, r.year, r.hour, r.minute, r.second, r.status ? r.status : '-', lat, lon,
        r.speed / 10.0, r.course, r.altitude / 10.0, r.satellitesUsed);
}

} // namespace

int main(int argc, char** argv) {
    bool unit = false;
    bool noShift = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--unit") == 0)
            unit = true;
        else if (std::strcmp(argv[i], "--no-datum-shift") == 0)
            noShift = true;
        else if (argv[i][0] == '-' && argv[i][1] != 0)
            return Usage();
        else if (!path)
            path = argv[i];
        else
            return Usage();
    }
    if (!path) return Usage();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "velko-gpsdecode: cannot open %s\n", path);
        return 1;
    }
    std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const char kHeader[] = "Start_Log"; // followed by a zero byte in the program's logs
    std::size_t at = 0;
    if (log.compare(0, 9, kHeader) == 0) at = log.size() > 9 && log[9] == 0 ? 10 : 9;

    CNmeaParser parser;
    CNmeaReceiver nmea(&parser);
    CZarnReceiver zarn;
    CGpsReceiver& receiver = unit ? static_cast<CGpsReceiver&>(zarn) : nmea;
    receiver.SetNoDatumShift(noShift ? 1 : 0);
    // One record is pending at a time, so the log goes in small steps: a line of NMEA, or a byte
    // of frames (a frame completes when the byte 200 after its start arrives).
    while (at < log.size()) {
        std::size_t n = 1;
        if (!unit) {
            std::size_t lf = log.find('\n', at);
            n = (lf == std::string::npos ? log.size() : lf + 1) - at;
        }
        if (receiver.PutData(log.data() + at, static_cast<int>(n)) & kGpsNewPosition) {
            GpsPosRecord r;
            if (receiver.GetPosition(&r)) Print(r);
        }
        at += n;
    }
    return 0;
}
