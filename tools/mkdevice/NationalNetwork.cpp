// A national-scale network for benchmarks, laid out as a road hierarchy the way a real
// country's network is:
// - level 1 (national roads, town main roads) and level 0 (expressways and their ramps) form
//   one connected network by themselves: a national road joins every lattice site to its four
//   neighbours, passing through each town on the town's main cross, or through a plain
//   crossroads where the site has no town;
// - level 2 (town streets) joins every crossing of a town to that town's main cross;
// - level 3 (alleys) only joins town streets, inside the towns.
// So a long search climbs to the big roads near its start, crosses the country on them (most
// of the way on the expressway grid) and comes down again near its goal. Built from a seeded
// generator of our own, so the same seed gives the same bytes everywhere.
#include "tools/mkdevice/Networks.h"

#include <vector>

namespace mkdev {

namespace {

class SplitMix {
public:
    explicit SplitMix(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t m_state;
};

// Where a lattice site meets the national roads: the four ends of a town's main cross, or one
// crossroads node for all four sides of a site without a town.
struct Site {
    bool town = false;
    int west = -1, east = -1, south = -1, north = -1;
};

} // namespace

NetModel BuildNational(std::uint64_t seed) {
    NetModel m;
    SplitMix rng(seed);
    constexpr std::int32_t kX0 = 45000000, kY0 = 11910000;
    constexpr std::int32_t kSiteW = 40000, kSiteH = 36000;
    constexpr int kCols = 2160000 / kSiteW, kRows = 1980000 / kSiteH;
    constexpr std::int32_t kStepX = 900, kStepY = 800;
    std::vector<Site> sites(static_cast<std::size_t>(kCols * kRows));
    auto at = [&](int c, int r) -> Site& { return sites[static_cast<std::size_t>(r * kCols + c)]; };

    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            Site& s = at(c, r);
            if (rng.Below(10) < 2) {
                // No town: the national roads meet at a plain crossroads.
                int x = m.AddNode(kX0 + c * kSiteW + kSiteW / 2 + rng.Below(4001) - 2000,
                                  kY0 + r * kSiteH + kSiteH / 2 + rng.Below(4001) - 2000);
                s.west = s.east = s.south = s.north = x;
                continue;
            }
            s.town = true;
            int n = 8 + rng.Below(8);
            std::int32_t ox = kX0 + c * kSiteW + 3000 + rng.Below(kSiteW - 6000 - (n - 1) * kStepX);
            std::int32_t oy = kY0 + r * kSiteH + 5000 + rng.Below(kSiteH - 8000 - (n - 1) * kStepY);
            std::vector<int> g(static_cast<std::size_t>(n * n));
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    g[static_cast<std::size_t>(i * n + j)] = m.AddNode(ox + i * kStepX, oy + j * kStepY);
            auto node = [&](int i, int j) { return g[static_cast<std::size_t>(i * n + j)]; };
            const int mid = n / 2;
            // East-west streets; the middle row is the main road, unbroken from edge to edge.
            // Alleys only ever replace ordinary streets, so the main cross stays on level 1.
            for (int j = 0; j < n; ++j)
                for (int i = 0; i + 1 < n; ++i) {
                    RoadType type = j == mid ? RoadType::TownMain : RoadType::TownStreet;
                    if (j != mid && j % 4 == 3 && rng.Below(3) == 0) type = RoadType::Alley;
                    LinkOptions o;
                    // Every fifth street is one-way, alternately east and west; never the
                    // town's edge, where a corner would be a way in without a way out.
                    if (type == RoadType::TownStreet && j % 5 == 1 && j + 1 < n) o.oneWay = 1 + (j / 5) % 2;
                    m.AddLink(node(i, j), node(i + 1, j), type, o);
                }
            // North-south streets, all two-way, so every crossing of the town is reachable on
            // level 2 and the alleys never carry the only way through.
            for (int i = 0; i < n; ++i)
                for (int j = 0; j + 1 < n; ++j) {
                    RoadType type = i == mid ? RoadType::TownMain : RoadType::TownStreet;
                    m.AddLink(node(i, j), node(i, j + 1), type);
                }
            // At each of the four entries of the town (the ends of the main cross, where the
            // national roads and the expressway ramps arrive) two short back lanes lead into the
            // first blocks on either side of the main road, to a small square from which three
            // streets go on into the town. A search that arrives from a big road meets the
            // lowest class within a few metres, and the streets beyond it, so it climbs back to
            // the big roads before it has gone far.
            auto squares = [&](int pi, int pj, int di, int dj) {
                // (pi, pj) is the entry, (di, dj) points into the town along the main road.
                for (int side : {-1, 1}) {
                    const int si = dj != 0 ? side : 0, sj = di != 0 ? side : 0; // across the main road
                    NetPoint p = m.NodePoint(node(pi, pj));
                    int sq = m.AddNode(p.x + (di + si) * kStepX / 8, p.y + (dj + sj) * kStepY / 8);
                    m.AddLink(node(pi, pj), sq, RoadType::Alley);
                    m.AddLink(sq, node(pi + si, pj + sj), RoadType::TownStreet);
                    m.AddLink(sq, node(pi + di, pj + dj), RoadType::TownStreet);
                    m.AddLink(sq, node(pi + si + di, pj + sj + dj), RoadType::TownStreet);
                }
            };
            squares(mid, 0, 0, 1);
            squares(mid, n - 1, 0, -1);
            squares(0, mid, 1, 0);
            squares(n - 1, mid, -1, 0);
            s.west = node(0, mid);
            s.east = node(n - 1, mid);
            s.south = node(mid, 0);
            s.north = node(mid, n - 1);
        }
    // National roads from every site to its eastern and northern neighbours, town or not, so
    // the national roads alone join the whole country.
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            const Site& s = at(c, r);
            if (c + 1 < kCols) {
                const Site& e = at(c + 1, r);
                NetPoint a = m.NodePoint(s.east), b = m.NodePoint(e.west);
                LinkOptions o;
                o.roadNumber = static_cast<std::uint16_t>(1 + r);
                m.AddLink(s.east, e.west, RoadType::NationalRoad, o,
                          {{(a.x + b.x) / 2, (a.y + b.y) / 2 + 500}});
            }
            if (r + 1 < kRows) {
                const Site& nb = at(c, r + 1);
                NetPoint a = m.NodePoint(s.north), b = m.NodePoint(nb.south);
                LinkOptions o;
                o.roadNumber = static_cast<std::uint16_t>(100 + c);
                m.AddLink(s.north, nb.south, RoadType::NationalRoad, o,
                          {{(a.x + b.x) / 2 + 500, (a.y + b.y) / 2}});
            }
        }
    // Expressways: a grid of two-carriageway roads, east-west along every fourth lattice row
    // (below the towns) and north-south along every fourth lattice column (west of the towns),
    // with an interchange at every town they pass (two-way ramps to the town's southern or
    // western entry) and a junction wherever two of them cross (ramps between all four
    // carriageways). Each expressway ends at an interchange with the site at its end, town or
    // crossroads, so no carriageway runs into a dead end.
    constexpr int kGridStep = 4;
    constexpr std::int32_t kEwOffset = 2000, kNsOffset = 1500, kApart = 120, kJoin = 60;
    auto ewRow = [&](int r) { return r % kGridStep == 1; };
    auto nsCol = [&](int c) { return c % kGridStep == 2; };
    struct Junction {
        int eb = -1, wb = -1, nb = -1, sb = -1;
    };
    std::vector<Junction> junctions(sites.size());
    auto jc = [&](int c, int r) -> Junction& { return junctions[static_cast<std::size_t>(r * kCols + c)]; };
    // The two carriageways of one expressway, and at each end a turning loop from the arriving
    // carriageway to the leaving one, so a car that comes up the end interchange's ramp can go on.
    auto carriageways = [&](RoadType* types, std::size_t count, const std::vector<int>& forward,
                            const std::vector<int>& back, LinkOptions o) {
        for (std::size_t k = 0; k + 1 < forward.size() && k < count; ++k) {
            m.AddLink(forward[k], forward[k + 1], types[k], o);
            m.AddLink(back[k + 1], back[k], types[k], o);
        }
        m.AddLink(back.front(), forward.front(), RoadType::JcRamp);
        m.AddLink(forward.back(), back.back(), RoadType::JcRamp);
    };
    for (int r = 0; r < kRows; ++r) {
        if (!ewRow(r)) continue;
        const std::int32_t y = kY0 + r * kSiteH + kEwOffset;
        std::vector<int> eb, wb;
        for (int c = 0; c < kCols; ++c) {
            if (nsCol(c)) {
                const std::int32_t x = kX0 + c * kSiteW + kNsOffset + kJoin;
                jc(c, r).eb = m.AddNode(x, y);
                jc(c, r).wb = m.AddNode(x, y + kApart);
                eb.push_back(jc(c, r).eb);
                wb.push_back(jc(c, r).wb);
            }
            const std::int32_t x = kX0 + c * kSiteW + kSiteW / 2;
            int e = m.AddNode(x, y), w = m.AddNode(x, y + kApart);
            eb.push_back(e);
            wb.push_back(w);
            const Site& s = at(c, r);
            if (s.town || c == 0 || c + 1 == kCols) {
                LinkOptions ramp;
                ramp.facilityCode = kFacilityInterchange;
                ramp.facilityValue = static_cast<std::uint16_t>(c + 1);
                m.AddLink(e, s.south, RoadType::IcRamp, ramp);
                m.AddLink(w, s.south, RoadType::IcRamp);
            }
        }
        std::vector<RoadType> types(eb.size());
        for (RoadType& t : types) t = rng.Below(10) == 0 ? RoadType::ExpresswayTunnel : RoadType::Expressway;
        LinkOptions o;
        o.oneWay = 1;
        o.roadNumber = static_cast<std::uint16_t>(10 * (r / kGridStep + 1));
        carriageways(types.data(), types.size(), eb, wb, o);
    }
    for (int c = 0; c < kCols; ++c) {
        if (!nsCol(c)) continue;
        const std::int32_t x = kX0 + c * kSiteW + kNsOffset;
        std::vector<int> nb, sb;
        for (int r = 0; r < kRows; ++r) {
            if (ewRow(r)) {
                const std::int32_t y = kY0 + r * kSiteH + kEwOffset + kJoin;
                jc(c, r).nb = m.AddNode(x, y);
                jc(c, r).sb = m.AddNode(x + kApart, y);
                nb.push_back(jc(c, r).nb);
                sb.push_back(jc(c, r).sb);
            }
            const std::int32_t y = kY0 + r * kSiteH + kSiteH / 2;
            int n = m.AddNode(x, y), s = m.AddNode(x + kApart, y);
            nb.push_back(n);
            sb.push_back(s);
            const Site& site = at(c, r);
            if (site.town || r == 0 || r + 1 == kRows) {
                LinkOptions ramp;
                ramp.facilityCode = kFacilityInterchange;
                ramp.facilityValue = static_cast<std::uint16_t>(1000 + r);
                m.AddLink(n, site.west, RoadType::IcRamp, ramp);
                m.AddLink(s, site.west, RoadType::IcRamp);
            }
        }
        std::vector<RoadType> types(nb.size());
        for (RoadType& t : types) t = rng.Below(10) == 0 ? RoadType::ExpresswayTunnel : RoadType::Expressway;
        LinkOptions o;
        o.oneWay = 1;
        o.roadNumber = static_cast<std::uint16_t>(15 + 10 * (c / kGridStep));
        carriageways(types.data(), types.size(), nb, sb, o);
    }
    for (const Junction& j : junctions) {
        if (j.eb < 0 || j.nb < 0) continue;
        for (int a : {j.eb, j.wb})
            for (int b : {j.nb, j.sb}) m.AddLink(a, b, RoadType::JcRamp);
    }
    return m;
}

} // namespace mkdev
