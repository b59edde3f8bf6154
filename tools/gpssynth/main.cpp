// velko-gpssynth: synthesises a receiver log along a geometry.
//
//   velko-gpssynth (--route FILE | --points X,Y;X,Y;...) [--speed KMH] [--noise METRES]
//                  [--outage FROM_M-TO_M]... [--unit] [--no-datum-shift] [--seed N] --out LOG
//
// Points are map coordinates. One epoch a second: NMEA GGA, RMC, GSA and GSV, or with --unit the
// receiver unit's position and satellites frames followed by filler bytes.
#include "position/GpsLogSynth.h"
#include "route/RouteFile.h"
#include "route/base/Coords.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: velko-gpssynth (--route FILE | --points X,Y;X,Y;...) [--speed KMH] [--noise METRES]\n"
        "                     [--outage FROM_M-TO_M]... [--unit] [--no-datum-shift] [--seed N] --out LOG\n");
    return 2;
}

bool ParseNumber(const std::string& text, double lo, double hi, double& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != 0 || !(v >= lo && v <= hi)) return false;
    out = v;
    return true;
}

bool ParsePoints(const std::string& text, std::vector<std::pair<double, double>>& points) {
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find(';', at);
        if (end == std::string::npos) end = text.size();
        std::string pair = text.substr(at, end - at);
        std::size_t comma = pair.find(',');
        double x, y;
        if (comma == std::string::npos || !ParseNumber(pair.substr(0, comma), 0, 575999, x) ||
            !ParseNumber(pair.substr(comma + 1), 0, 659999, y))
            return false;
        std::int32_t netX, netY;
        MapToNetCoord(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), netX, netY);
        points.emplace_back(netX, netY);
        at = end + 1;
        if (end == text.size()) break;
    }
    return !points.empty();
}

// The shape points of a route saved by velko-route (stored in map coordinates), in network
// coordinates as the synthesiser takes them.
bool LoadRoutePoints(const std::string& hostPath, std::vector<std::pair<double, double>>& points) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) return false;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    CRoutePath path;
    if (!ReadSavedRoutePath(bytes.data(), bytes.size(), path)) return false;
    for (const CPathPoint& p : path.Points().Items()) {
        std::int32_t netX, netY;
        MapToNetCoord(p.x, p.y, netX, netY);
        points.emplace_back(netX, netY);
    }
    return !points.empty();
}

} // namespace

int main(int argc, char** argv) {
    GpsSynthOptions o;
    std::string out;
    bool havePoints = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc) return false;
            v = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--unit") {
            o.unit = true;
        } else if (a == "--no-datum-shift") {
            o.noDatumShift = true;
        } else if (a == "--points") {
            if (!value(v) || !ParsePoints(v, o.points)) {
                std::fprintf(stderr, "velko-gpssynth: bad --points (map coordinates X,Y;X,Y;...)\n");
                return 2;
            }
            havePoints = true;
        } else if (a == "--route") {
            if (!value(v) || !LoadRoutePoints(v, o.points)) {
                std::fprintf(stderr, "velko-gpssynth: cannot read a route from %s\n", v.c_str());
                return 2;
            }
            havePoints = true;
        } else if (a == "--speed") {
            if (!value(v) || !ParseNumber(v, 0.1, 400, o.speedKmh)) return Usage();
        } else if (a == "--noise") {
            if (!value(v) || !ParseNumber(v, 0, 1000, o.noiseMetres)) return Usage();
        } else if (a == "--outage") {
            std::size_t dash = value(v) ? v.find('-', 1) : std::string::npos;
            double from, to;
            if (dash == std::string::npos || !ParseNumber(v.substr(0, dash), 0, 1e9, from) ||
                !ParseNumber(v.substr(dash + 1), 0, 1e9, to) || !(from < to)) {
                std::fprintf(stderr, "velko-gpssynth: bad --outage (FROM_M-TO_M)\n");
                return 2;
            }
            o.outages.emplace_back(from, to);
        } else if (a == "--seed") {
            double seed;
            if (!value(v) || !ParseNumber(v, 0, 4294967295.0, seed)) return Usage();
            o.seed = static_cast<std::uint32_t>(seed);
        } else if (a == "--out") {
            if (!value(out)) return Usage();
        } else {
            return Usage();
        }
    }
    if (!havePoints || out.empty()) return Usage();
    CGpsLogSynth synth(o);
    std::string log = synth.Generate();
    if (log.empty()) {
        std::fprintf(stderr, "velko-gpssynth: nothing to write\n");
        return 1;
    }
    // Written beside the target, then renamed over it.
    std::string temp = out + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(log.data(), static_cast<std::streamsize>(log.size()));
        if (!file) {
            std::fprintf(stderr, "velko-gpssynth: cannot write %s\n", temp.c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, out, ec);
    if (ec) {
        std::fprintf(stderr, "velko-gpssynth: cannot write %s: %s\n", out.c_str(), ec.message().c_str());
        std::filesystem::remove(temp, ec);
        return 1;
    }
    std::fprintf(stderr, "velko-gpssynth: %zu epochs, %zu bytes -> %s\n", synth.Epochs().size(), log.size(),
                 out.c_str());
    return 0;
}
