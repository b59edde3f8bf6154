// A national-scale network for benchmarks: a lattice of town sites over the whole valid box,
// most with a street grid, joined by national roads, with expressways every eighth lattice
// row. Built from a seeded generator of our own so the same seed gives the same bytes
// everywhere.
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

struct Town {
    bool present = false;
    int west = -1, east = -1, south = -1, north = -1; // middle nodes of the four sides
    std::int32_t southY = 0;
};

} // namespace

NetModel BuildNational(std::uint64_t seed) {
    NetModel m;
    SplitMix rng(seed);
    constexpr std::int32_t kX0 = 45000000, kY0 = 11910000;
    constexpr std::int32_t kSiteW = 40000, kSiteH = 36000;
    constexpr int kCols = 2160000 / kSiteW, kRows = 1980000 / kSiteH;
    constexpr std::int32_t kStepX = 900, kStepY = 800;
    std::vector<Town> towns(static_cast<std::size_t>(kCols * kRows));
    auto at = [&](int c, int r) -> Town& { return towns[static_cast<std::size_t>(r * kCols + c)]; };

    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            if (rng.Below(10) < 2) continue;
            Town& t = at(c, r);
            t.present = true;
            int n = 10 + rng.Below(13);
            std::int32_t ox = kX0 + c * kSiteW + 3000 + rng.Below(kSiteW - 6000 - (n - 1) * kStepX);
            std::int32_t oy = kY0 + r * kSiteH + 5000 + rng.Below(kSiteH - 8000 - (n - 1) * kStepY);
            std::vector<int> g(static_cast<std::size_t>(n * n));
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    g[static_cast<std::size_t>(i * n + j)] = m.AddNode(ox + i * kStepX, oy + j * kStepY);
            auto node = [&](int i, int j) { return g[static_cast<std::size_t>(i * n + j)]; };
            for (int j = 0; j < n; ++j)
                for (int i = 0; i + 1 < n; ++i) {
                    RoadType type = j == n / 2 ? RoadType::TownMain : RoadType::TownStreet;
                    if (j % 4 == 3 && rng.Below(3) == 0) type = RoadType::Alley;
                    LinkOptions o;
                    if (type == RoadType::TownStreet && j % 5 == 1) o.oneWay = 1 + (j / 5) % 2;
                    m.AddLink(node(i, j), node(i + 1, j), type, o);
                }
            for (int i = 0; i < n; ++i)
                for (int j = 0; j + 1 < n; ++j)
                    m.AddLink(node(i, j), node(i, j + 1),
                              i == n / 2 ? RoadType::TownMain : RoadType::TownStreet);
            t.west = node(0, n / 2);
            t.east = node(n - 1, n / 2);
            t.south = node(n / 2, 0);
            t.north = node(n / 2, n - 1);
            t.southY = oy;
        }
    // National roads to the eastern and northern neighbours.
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            Town& t = at(c, r);
            if (!t.present) continue;
            if (c + 1 < kCols && at(c + 1, r).present) {
                NetPoint a = m.NodePoint(t.east), b = m.NodePoint(at(c + 1, r).west);
                LinkOptions o;
                o.roadNumber = static_cast<std::uint16_t>(1 + r);
                m.AddLink(t.east, at(c + 1, r).west, RoadType::NationalRoad, o,
                          {{(a.x + b.x) / 2, (a.y + b.y) / 2 + 500}});
            }
            if (r + 1 < kRows && at(c, r + 1).present) {
                NetPoint a = m.NodePoint(t.north), b = m.NodePoint(at(c, r + 1).south);
                LinkOptions o;
                o.roadNumber = static_cast<std::uint16_t>(100 + c);
                m.AddLink(t.north, at(c, r + 1).south, RoadType::NationalRoad, o,
                          {{(a.x + b.x) / 2 + 500, (a.y + b.y) / 2}});
            }
        }
    // Expressways: two carriageways along every eighth lattice row, below the towns, with a
    // two-way interchange ramp to each town's southern entry.
    for (int r = 1; r < kRows; r += 8) {
        std::int32_t y = kY0 + r * kSiteH + 2000;
        int prevEb = -1, prevWb = -1;
        LinkOptions o;
        o.oneWay = 1;
        o.roadNumber = static_cast<std::uint16_t>(10 * (r / 8 + 1));
        for (int c = 0; c < kCols; ++c) {
            std::int32_t x = kX0 + c * kSiteW + kSiteW / 2;
            int eb = m.AddNode(x, y), wb = m.AddNode(x, y + 120);
            if (prevEb >= 0) {
                bool tunnel = rng.Below(10) == 0;
                RoadType t = tunnel ? RoadType::ExpresswayTunnel : RoadType::Expressway;
                m.AddLink(prevEb, eb, t, o);
                m.AddLink(wb, prevWb, t, o);
            }
            Town& t = at(c, r);
            if (t.present) {
                LinkOptions ramp;
                ramp.facilityCode = kFacilityInterchange;
                ramp.facilityValue = static_cast<std::uint16_t>(c + 1);
                m.AddLink(eb, t.south, RoadType::IcRamp, ramp);
                m.AddLink(wb, t.south, RoadType::IcRamp);
            }
            prevEb = eb;
            prevWb = wb;
        }
    }
    return m;
}

} // namespace mkdev
