// The national-scale network that the route benchmark searches must have the road hierarchy
// the search's level rule relies on: the roads of levels 0-1 alone join the whole country, the
// roads of levels 0-2 join every node to them, and the alleys only add ways between streets;
// all of it driving the one-way roads only their way. The same seed builds the same network.
// Long routes over it, from and to every kind of road, are found within the engine's limits.
#include "route/RoutePlan.h"
#include "route/base/ErrorLog.h"
#include "route/tests/EngineFixture.h"
#include "tools/mkdevice/Networks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using mkdev::NetModel;

int LevelOf(const mkdev::NetLink& l) {
    return mkdev::LevelOfRoadKind(mkdev::Attributes(l.type).roadKind);
}

// Whether the links of levels up to maxLevel, driven only in their allowed directions, join
// every node they touch both ways (strongly connected). Reports the nodes touched.
bool StronglyConnected(const NetModel& m, int maxLevel, std::size_t& touched) {
    const std::size_t n = m.Nodes().size();
    std::vector<std::vector<int>> out(n), in(n);
    std::vector<char> used(n, 0);
    for (const mkdev::NetLink& l : m.Links()) {
        if (LevelOf(l) > maxLevel) continue;
        used[static_cast<std::size_t>(l.a)] = used[static_cast<std::size_t>(l.b)] = 1;
        if (l.opt.oneWay == 0 || l.opt.oneWay == 1) {
            out[static_cast<std::size_t>(l.a)].push_back(l.b);
            in[static_cast<std::size_t>(l.b)].push_back(l.a);
        }
        if (l.opt.oneWay == 0 || l.opt.oneWay == 2) {
            out[static_cast<std::size_t>(l.b)].push_back(l.a);
            in[static_cast<std::size_t>(l.a)].push_back(l.b);
        }
    }
    touched = 0;
    int root = -1;
    for (std::size_t i = 0; i < n; ++i)
        if (used[i]) {
            ++touched;
            if (root < 0) root = static_cast<int>(i);
        }
    if (root < 0) return false;
    auto reachesAll = [&](const std::vector<std::vector<int>>& adj) {
        std::vector<char> seen(n, 0);
        std::vector<int> stack{root};
        seen[static_cast<std::size_t>(root)] = 1;
        std::size_t count = 1;
        while (!stack.empty()) {
            int v = stack.back();
            stack.pop_back();
            for (int w : adj[static_cast<std::size_t>(v)])
                if (!seen[static_cast<std::size_t>(w)]) {
                    seen[static_cast<std::size_t>(w)] = 1;
                    ++count;
                    stack.push_back(w);
                }
        }
        return count == touched;
    };
    return reachesAll(out) && reachesAll(in);
}

TEST(NationalNetwork, EachLevelIsConnectedByItselfAndJoinsTheOneAbove) {
    for (std::uint64_t seed : {2026ull, 7ull}) {
        const NetModel m = mkdev::BuildNational(seed);
        std::size_t touched[4] = {};
        for (int level = 1; level <= 3; ++level)
            EXPECT_TRUE(StronglyConnected(m, level, touched[level]))
                << "seed " << seed << ", levels 0-" << level;
        // The national roads and expressways are only a part of the network; the town streets
        // already reach every node, so the alleys never carry the only way anywhere.
        EXPECT_LT(touched[1], touched[2]) << seed;
        EXPECT_EQ(touched[2], m.Nodes().size()) << seed;
        EXPECT_EQ(touched[3], m.Nodes().size()) << seed;
    }
}

TEST(NationalNetwork, EveryWayIntoANodeHasAWayOn) {
    // A car that arrives at a node along a link can leave along another link (the network has
    // no banned turns, and turning back is only allowed at a dead end of one link): no ramp or
    // carriageway leads into a node that only has roads arriving.
    const NetModel m = mkdev::BuildNational(2026);
    const std::size_t n = m.Nodes().size();
    std::vector<int> degree(n, 0), leaving(n, 0);
    auto canLeave = [](const mkdev::NetLink& l, int node) {
        if (l.opt.oneWay == 3) return false;
        if (l.opt.oneWay == 1) return node == l.a;
        if (l.opt.oneWay == 2) return node == l.b;
        return true;
    };
    for (const mkdev::NetLink& l : m.Links())
        for (int v : {l.a, l.b}) {
            ++degree[static_cast<std::size_t>(v)];
            if (canLeave(l, v)) ++leaving[static_cast<std::size_t>(v)];
        }
    int traps = 0;
    for (const mkdev::NetLink& l : m.Links())
        for (int v : {l.a, l.b}) {
            const int from = v == l.a ? l.b : l.a;
            if (!canLeave(l, from)) continue; // the link cannot be driven into v
            const std::size_t i = static_cast<std::size_t>(v);
            const int othersLeaving = leaving[i] - (canLeave(l, v) ? 1 : 0);
            if (degree[i] > 1 && othersLeaving == 0) ++traps;
        }
    EXPECT_EQ(traps, 0);
}

TEST(NationalNetwork, TheSameSeedBuildsTheSameNetwork) {
    const NetModel a = mkdev::BuildNational(11), b = mkdev::BuildNational(11), c = mkdev::BuildNational(12);
    ASSERT_EQ(a.Nodes().size(), b.Nodes().size());
    ASSERT_EQ(a.Links().size(), b.Links().size());
    for (std::size_t i = 0; i < a.Nodes().size(); ++i) ASSERT_EQ(a.Nodes()[i].pt, b.Nodes()[i].pt) << i;
    for (std::size_t i = 0; i < a.Links().size(); ++i) {
        const mkdev::NetLink &x = a.Links()[i], &y = b.Links()[i];
        ASSERT_TRUE(x.a == y.a && x.b == y.b && x.type == y.type && x.opt.oneWay == y.opt.oneWay &&
                    x.shape == y.shape)
            << i;
    }
    bool differs = a.Nodes().size() != c.Nodes().size();
    for (std::size_t i = 0; !differs && i < a.Nodes().size(); ++i)
        differs = !(a.Nodes()[i].pt == c.Nodes()[i].pt);
    EXPECT_TRUE(differs) << "another seed, another network";
}

class NationalRoutes : public ::testing::Test {
protected:
    static void SetUpTestSuite() { device = new enginetest::TempDevice(mkdev::BuildNational(2026)); }
    static void TearDownTestSuite() {
        delete device;
        device = nullptr;
    }
    void TearDown() override { EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0); }

    // Searches from a to b with a fresh engine, as the route manager does.
    void ExpectRoute(const char* what, mkdev::NetPoint a, mkdev::NetPoint b) {
        CRoutePlan engine;
        ASSERT_EQ(engine.Init(enginetest::TempDevice::DataFolder()), 1);
        engine.SetSearchParams(0, 0, 0, 0);
        if (!engine.SetPoint(0, a.x, a.y).result || !engine.SetPoint(1, b.x, b.y).result) {
            ADD_FAILURE() << what << ": a point was not attached";
            return;
        }
        EXPECT_EQ(engine.Search(), CRoutePlan::kFound) << what;
        EXPECT_TRUE(engine.LastLegLong()) << what;
        EXPECT_FALSE(engine.RoutePath().empty()) << what;
        EXPECT_LE(engine.PeakMemoryMB(), CRoutePlan::kMemoryGuardMB) << what;
    }

    static enginetest::TempDevice* device;
};

enginetest::TempDevice* NationalRoutes::device = nullptr;

// One test, so that the network (about 700,000 links) is written once.
TEST_F(NationalRoutes, LongRoutesFromEveryKindOfRoadAreFoundWithinTheLimits) {
    // Lattice sites are 40,000 x 36,000 units from (45000000, 11910000); the east-west
    // expressways run 2,000 units above every fourth row from row 1, the north-south ones
    // 1,500 units east of every fourth column from column 2, each ending at the box's edge in a
    // ramp to the last site and a turning loop between its carriageways.
    auto site = [](int c, int r, std::int32_t dx, std::int32_t dy) {
        return mkdev::NetPoint{45000000 + c * 40000 + dx, 11910000 + r * 36000 + dy};
    };
    struct Case {
        const char* what;
        mkdev::NetPoint from, to;
    } cases[] = {
        {"east-west expressway to north-south expressway", site(10, 5, 30000, 2000),
         site(22, 20, 1500, 9000)},
        {"north-south expressway to east-west expressway", site(22, 20, 1620, 9000),
         site(10, 5, 30000, 2120)},
        {"from the ramp at the southern end of an expressway", site(46, 0, 1560, 16000),
         site(40, 12, 20000, 20000)},
        {"to the northern end of an expressway", site(30, 45, 20000, 20000), site(34, 54, 1560, 17000)},
        {"from the turning loop at the western end of an expressway", site(0, 9, 20000, 2060),
         site(8, 20, 20000, 20000)},
    };
    for (const Case& c : cases) ExpectRoute(c.what, c.from, c.to);

    // Random pairs 50-400 km apart, each point within reach of a road.
    std::mt19937 rng(17);
    std::uniform_int_distribution<std::int32_t> px(45000000, 47159999), py(11910000, 13889999);
    for (int found = 0; found < 8;) {
        mkdev::NetPoint a{px(rng), py(rng)}, b{px(rng), py(rng)};
        double dx = std::abs(static_cast<double>(a.x) - b.x) * 0.27654,
               dy = std::abs(static_cast<double>(a.y) - b.y) * 0.30879;
        double apart = std::sqrt(dx * dx + dy * dy);
        if (apart < 50000.0 || apart > 400000.0) continue;
        CRoutePlan probe;
        ASSERT_EQ(probe.Init(enginetest::TempDevice::DataFolder()), 1);
        if (!probe.SetPoint(0, a.x, a.y).result || !probe.SetPoint(1, b.x, b.y).result) continue;
        ++found;
        ExpectRoute("random pair", a, b);
    }
}

} // namespace
