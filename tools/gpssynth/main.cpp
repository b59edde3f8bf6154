// velko-gpssynth: synthesises a receiver log along a geometry.
//
//   velko-gpssynth (--route FILE | --points X,Y;X,Y;...) [--speed KMH] [--noise METRES]
//                  [--outage FROM_M-TO_M]... [--unit] [--no-datum-shift] [--seed N] --out LOG
//
// Points are map coordinates. One epoch a second: NMEA GGA, RMC, GSA and GSV, or with --unit the
// receiver unit's position and satellites frames followed by filler bytes.
#include "platform/files/InputFile.h"
#include "position/GpsLogSynth.h"
#include "route/RouteFile.h"
#include "route/base/Coords.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Map coordinates cover the national grid: x 0..575999, y 0..659999.
constexpr std::int32_t kMaxMapX = 575999;
constexpr std::int32_t kMaxMapY = 659999;
// The longest drive synthesised: ten times the length of the country.
constexpr double kMaxRouteMetres = 10000.0 * 1000.0;
constexpr std::uint64_t kMaxRouteFileBytes = 64u << 20;

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
        if (comma == std::string::npos || !ParseNumber(pair.substr(0, comma), 0, kMaxMapX, x) ||
            !ParseNumber(pair.substr(comma + 1), 0, kMaxMapY, y))
            return false;
        std::int32_t netX, netY;
        MapToNetCoord(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), netX, netY);
        points.emplace_back(netX, netY);
        at = end + 1;
        if (end == text.size()) break;
    }
    return !points.empty();
}

// The length in metres of a line through network points.
double LengthMetres(const std::vector<std::pair<double, double>>& points) {
    double sum = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double dx = (points[i].first - points[i - 1].first) * coords::kMetresPerNetX;
        const double dy = (points[i].second - points[i - 1].second) * coords::kMetresPerNetY;
        sum += std::sqrt(dx * dx + dy * dy);
    }
    return sum;
}

// The shape points of a route saved by velko-route (stored in map coordinates), in network
// coordinates as the synthesiser takes them. Every point must lie on the map grid, as --points
// requires, and the whole line must be a drive of sensible length. Returns the exit code (0 done).
int LoadRoutePoints(const std::string& hostPath, std::vector<std::pair<double, double>>& points) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!InputFile::ReadAll(hostPath, kMaxRouteFileBytes, bytes, error)) {
        std::fprintf(stderr, "velko-gpssynth: %s\n", error.c_str());
        return 2;
    }
    CRoutePath path;
    if (!ReadSavedRoutePath(bytes.data(), bytes.size(), path)) {
        std::fprintf(stderr, "velko-gpssynth: %s holds no route\n", hostPath.c_str());
        return 2;
    }
    std::vector<std::pair<double, double>> line;
    for (const CPathPoint& p : path.Points().Items()) {
        if (p.x < 0 || p.x > kMaxMapX || p.y < 0 || p.y > kMaxMapY) {
            std::fprintf(stderr,
                         "velko-gpssynth: %s: route point (%d, %d) lies off the map (x 0-%d, y 0-%d)\n",
                         hostPath.c_str(), p.x, p.y, kMaxMapX, kMaxMapY);
            return 2;
        }
        std::int32_t netX, netY;
        MapToNetCoord(p.x, p.y, netX, netY);
        line.emplace_back(netX, netY);
    }
    if (line.empty()) {
        std::fprintf(stderr, "velko-gpssynth: %s: the route has no points\n", hostPath.c_str());
        return 2;
    }
    if (LengthMetres(line) > kMaxRouteMetres) {
        std::fprintf(stderr, "velko-gpssynth: %s: the route is longer than %.0f km\n", hostPath.c_str(),
                     kMaxRouteMetres / 1000.0);
        return 2;
    }
    points.insert(points.end(), line.begin(), line.end());
    return 0;
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
            if (!value(v)) return Usage();
            if (const int code = LoadRoutePoints(v, o.points)) return code;
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
    if (LengthMetres(o.points) > kMaxRouteMetres) {
        std::fprintf(stderr, "velko-gpssynth: the line is longer than %.0f km\n", kMaxRouteMetres / 1000.0);
        return 2;
    }
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
