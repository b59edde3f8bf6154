// velko-gpsdecode: decodes a receiver log through the program's own decoders and prints one line
// per position record.
//
//   velko-gpsdecode [--unit] [--no-datum-shift] LOG
//
// LOG holds NMEA text, or the receiver unit's frames with --unit; the program's raw log is
// recognised by its "Start_Log" header, which is skipped.
#include "position/ReceiverLog.h"

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
    DecodeReceiverLog(log, unit, noShift, Print);
    return 0;
}
