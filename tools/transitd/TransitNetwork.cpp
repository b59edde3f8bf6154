#include "tools/transitd/TransitNetwork.h"

#include "route/base/Coords.h"

#include <algorithm>
#include <cmath>

namespace transitd {
namespace {

// The sample region's south-west corner in network units and its size in kilometres.
constexpr std::int32_t kRegionX = 45720000;
constexpr std::int32_t kRegionY = 13470000;
constexpr double kRegionEastKm = 29.8;
constexpr double kRegionNorthKm = 27.7;
// A stop serves points within this distance.
constexpr double kStopReachKm = 1.5;

void KmOf(std::int32_t mapX, std::int32_t mapY, double& eastKm, double& northKm) {
    std::int32_t nx = 0, ny = 0;
    MapToNetCoord(mapX, mapY, nx, ny);
    eastKm = (static_cast<double>(nx) - kRegionX) * coords::kMetresPerNetX / 1000.0;
    northKm = (static_cast<double>(ny) - kRegionY) * coords::kMetresPerNetY / 1000.0;
}

} // namespace

int TransitNetwork::AddStop(const char16_t* name, double eastKm, double northKm) {
    const auto nx = static_cast<std::int32_t>(std::lround(kRegionX + eastKm * 1000.0 / coords::kMetresPerNetX));
    const auto ny = static_cast<std::int32_t>(std::lround(kRegionY + northKm * 1000.0 / coords::kMetresPerNetY));
    TransitStop s;
    s.name = name;
    NetToMapCoord(nx, ny, s.x, s.y);
    m_stops.push_back(s);
    return static_cast<int>(m_stops.size()) - 1;
}

TransitNetwork TransitNetwork::Bus() {
    TransitNetwork n;
    const int cityHall = n.AddStop(u"가람시청", 11.8, 11.2);
    const int station = n.AddStop(u"가람역", 12.4, 11.8);
    const int southGate = n.AddStop(u"남문사거리", 11.8, 10.0);
    const int northGate = n.AddStop(u"북문사거리", 11.8, 13.0);
    const int east = n.AddStop(u"동부사거리", 13.6, 11.8);
    const int interchange = n.AddStop(u"가람IC", 11.8, 8.6);
    const int naraeGate = n.AddStop(u"나래입구", 5.0, 20.0);
    const int narae = n.AddStop(u"나래중앙", 4.5, 20.5);
    const int dasomGate = n.AddStop(u"다솜입구", 24.0, 3.0);
    const int dasom = n.AddStop(u"다솜중앙", 24.5, 3.5);
    const int baramGate = n.AddStop(u"바람입구", 24.0, 22.0);
    const int baram = n.AddStop(u"바람중앙", 24.5, 22.5);
    n.m_lines = {
        {u"1", {southGate, cityHall, station, northGate}},
        {u"30", {station, northGate, naraeGate, narae}},
        {u"40", {cityHall, east, baramGate, baram}},
        {u"50", {southGate, interchange, dasomGate, dasom}},
        {u"광역9", {narae, northGate, east, baram}},
        {u"7", {station, cityHall, southGate}},
        {u"52", {east, dasomGate, dasom}},
    };
    return n;
}

TransitNetwork TransitNetwork::Subway() {
    TransitNetwork n;
    const int narae = n.AddStop(u"나래역", 4.5, 20.0);
    const int north = n.AddStop(u"북문역", 11.8, 13.0);
    const int station = n.AddStop(u"가람역", 12.4, 11.8);
    const int cityHall = n.AddStop(u"시청역", 11.8, 11.2);
    const int south = n.AddStop(u"남문역", 11.8, 10.0);
    const int dasom = n.AddStop(u"다솜역", 24.5, 3.5);
    n.m_lines = {{u"가람선", {narae, north, station, cityHall, south, dasom}}};
    return n;
}

int TransitNetwork::NearestStop(std::int32_t x, std::int32_t y) const {
    double e = 0, nk = 0;
    KmOf(x, y, e, nk);
    int best = -1;
    double bestKm = kStopReachKm;
    for (std::size_t i = 0; i < m_stops.size(); ++i) {
        double se = 0, sn = 0;
        KmOf(m_stops[i].x, m_stops[i].y, se, sn);
        const double d = std::hypot(se - e, sn - nk);
        if (d <= bestKm) {
            bestKm = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int TransitNetwork::Ride(int line, int from, int to, std::u16string* towards) const {
    const std::vector<int>& s = m_lines[static_cast<std::size_t>(line)].stops;
    const auto a = std::find(s.begin(), s.end(), from), b = std::find(s.begin(), s.end(), to);
    if (a == s.end() || b == s.end() || a == b) return -1;
    if (towards) *towards = m_stops[static_cast<std::size_t>(b > a ? s.back() : s.front())].name;
    return static_cast<int>(b > a ? b - a : a - b);
}

Answer TransitNetwork::Ask(std::int32_t startX, std::int32_t startY, std::int32_t destX, std::int32_t destY,
                           std::vector<TransitRoute>& routes) const {
    routes.clear();
    for (auto [x, y] : {std::pair{startX, startY}, std::pair{destX, destY}}) {
        double e = 0, n = 0;
        KmOf(x, y, e, n);
        if (e < 0 || n < 0 || e > kRegionEastKm || n > kRegionNorthKm) return Answer::OutsideRegion;
    }
    const int from = NearestStop(startX, startY);
    if (from < 0) return Answer::NoStartStop;
    const int to = NearestStop(destX, destY);
    if (to < 0) return Answer::NoDestStop;
    if (from == to) return Answer::NoRoute;

    const int lines = static_cast<int>(m_lines.size());
    const int stops = static_cast<int>(m_stops.size());
    auto step = [&](int stop, int line, int next) {
        RouteStep r{stop, line, u""};
        Ride(line, stop, next, &r.direction);
        return r;
    };
    // The alighting stop carries the line and direction it is reached by.
    auto last = [&](const RouteStep& before) { return RouteStep{to, before.line, before.direction}; };
    // Direct rides, then one transfer, then two: every combination of lines and transfer stops.
    for (int a = 0; a < lines; ++a) {
        const int ride = Ride(a, from, to, nullptr);
        if (ride > 0) {
            const RouteStep board = step(from, a, to);
            routes.push_back({{board, last(board)}, ride});
        }
    }
    for (int a = 0; a < lines; ++a)
        for (int b = 0; b < lines; ++b)
            for (int t = 0; t < stops; ++t) {
                if (a == b) continue;
                const int r1 = Ride(a, from, t, nullptr), r2 = Ride(b, t, to, nullptr);
                if (r1 > 0 && r2 > 0) {
                    const RouteStep change = step(t, b, to);
                    routes.push_back({{step(from, a, t), change, last(change)}, r1 + r2});
                }
            }
    for (int a = 0; a < lines; ++a)
        for (int b = 0; b < lines; ++b)
            for (int c = 0; c < lines; ++c)
                for (int t = 0; t < stops; ++t)
                    for (int u = 0; u < stops; ++u) {
                        if (a == b || b == c || t == u) continue;
                        const int r1 = Ride(a, from, t, nullptr), r2 = Ride(b, t, u, nullptr),
                                  r3 = Ride(c, u, to, nullptr);
                        if (r1 > 0 && r2 > 0 && r3 > 0) {
                            const RouteStep change = step(u, c, to);
                            routes.push_back({{step(from, a, t), step(t, b, u), change, last(change)}, r1 + r2 + r3});
                        }
                    }
    std::stable_sort(routes.begin(), routes.end(), [](const TransitRoute& p, const TransitRoute& q) {
        if (p.steps.size() != q.steps.size()) return p.steps.size() < q.steps.size();
        return p.totalStops < q.totalStops;
    });
    if (routes.size() > 5) routes.resize(5);
    return routes.empty() ? Answer::NoRoute : Answer::Ok;
}

} // namespace transitd
