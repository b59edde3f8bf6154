// Scripted drives over small networks; the expected (status, map, link, direction) sequences are
// worked out from the matching rules by hand.
#include "position/MapMatcher.h"
#include "position/tests/MatchFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <tuple>
#include <vector>

using namespace matchtest;
using mkdev::NetModel;
using mkdev::RoadType;

namespace {

using Key = std::tuple<int, int, int, int>; // status, map, link, direction

Key KeyOf(const MatchResult& r) {
    if (r.status != 1) return {r.status, -1, -1, -1};
    return {r.status, r.mapId, r.linkIndex, r.reverse};
}

// The distinct states in the order they occur (runs of one state count once).
std::vector<Key> Runs(const std::vector<MatchResult>& results) {
    std::vector<Key> out;
    for (const MatchResult& r : results)
        if (out.empty() || out.back() != KeyOf(r)) out.push_back(KeyOf(r));
    return out;
}

std::vector<MatchResult> Drive(CMapMatcher& m, const std::vector<GpsPosRecord>& fixes,
                               std::vector<GpsPosRecord>* used = nullptr) {
    std::vector<MatchResult> out;
    for (const GpsPosRecord& f : fixes) {
        MatchResult r;
        GpsPosRecord u;
        m.Match(f, r, nullptr, &u);
        out.push_back(r);
        if (used) used->push_back(u);
    }
    return out;
}

void Straight(NetModel& m, int oneWay = 0) {
    mkdev::LinkOptions o;
    o.oneWay = oneWay;
    m.AddLink(m.AddNode(kX0 + 6000, kRoadY), m.AddNode(kX0 + 30000, kRoadY), RoadType::NationalRoad, o);
}

// W (0) from the west into J, E (1) on to the east, N (2) to the north.
void TJunction(NetModel& m) {
    const int a = m.AddNode(kX0 + 6000, kRoadY), j = m.AddNode(kX0 + 18000, kRoadY);
    m.AddLink(a, j, RoadType::NationalRoad);
    m.AddLink(j, m.AddNode(kX0 + 30000, kRoadY), RoadType::NationalRoad);
    m.AddLink(j, m.AddNode(kX0 + 18000, kRoadY + 12000), RoadType::NationalRoad);
}

class ScenarioTest : public ::testing::Test {
protected:
    void SetUp() override { CMapMatcher::SetCarried(0, false); }
};

TEST_F(ScenarioTest, OffRoadNoiseAndAnOutlierKeepTheCarOnTheStraightRoad) {
    NetFixture net([](NetModel& m) { Straight(m); });
    ASSERT_TRUE(net.opened);
    CMapMatcher m(&net.reader);
    std::vector<GpsPosRecord> fixes;
    for (int i = 0; i < 20; ++i) {
        std::int32_t y = kRoadY + (i % 2 ? NorthUnits(8) : -NorthUnits(8));
        if (i == 10) y = kRoadY + NorthUnits(250); // one wild fix
        fixes.push_back(Fix(kX0 + 8000 + 40 * i, y, 90, 400, i));
    }
    auto results = Drive(m, fixes);
    EXPECT_EQ(Runs(results), (std::vector<Key>{{1, 0, 0, 0}}));
    for (const MatchResult& r : results) EXPECT_EQ(r.y, kRoadY);
    // The wild fix disagrees with the reported speed (motion class 3): tracking holds the car.
    EXPECT_LT(results[10].x, results[11].x);
}

TEST_F(ScenarioTest, TJunctionTakenStraightAndLeft) {
    NetFixture net([](NetModel& m) { TJunction(m); });
    ASSERT_TRUE(net.opened);
    const std::int32_t jx = kX0 + 18000;
    {
        CMapMatcher m(&net.reader);
        std::vector<GpsPosRecord> fixes;
        for (int i = 0; i < 40; ++i) fixes.push_back(Fix(jx - 1000 + 40 * i, kRoadY, 90, 400, i));
        EXPECT_EQ(Runs(Drive(m, fixes)), (std::vector<Key>{{1, 0, 0, 0}, {1, 0, 1, 0}}));
    }
    {
        CMapMatcher m(&net.reader);
        CMapMatcher::SetCarried(0, false);
        std::vector<GpsPosRecord> fixes;
        int t = 0;
        for (int i = 0; i < 25; ++i) fixes.push_back(Fix(jx - 1000 + 40 * i, kRoadY, 90, 400, t++));
        for (int i = 1; i < 20; ++i) fixes.push_back(Fix(jx, kRoadY + 36 * i, 0, 400, t++));
        EXPECT_EQ(Runs(Drive(m, fixes)), (std::vector<Key>{{1, 0, 0, 0}, {1, 0, 2, 0}}));
    }
}

TEST_F(ScenarioTest, CrossingASheetBorderMovesToTheNeighbouringMap) {
    NetFixture net([](NetModel& m) {
        m.AddLink(m.AddNode(kX0 + 24000, kRoadY), m.AddNode(kX0 + 48000, kRoadY), RoadType::NationalRoad);
    });
    ASSERT_TRUE(net.opened);
    CMapMatcher m(&net.reader);
    std::vector<GpsPosRecord> fixes;
    for (int i = 0; i < 150; ++i) fixes.push_back(Fix(kX0 + 33000 + 40 * i, kRoadY, 90, 400, i));
    auto results = Drive(m, fixes);
    EXPECT_EQ(Runs(results), (std::vector<Key>{{1, 0, 0, 0}, {1, 1, 0, 0}}));
}

TEST_F(ScenarioTest, PositionsHoldInTheEastOfASheetWhereOffsetsPass32767) {
    // The road lies 33,000 to 35,900 units east of the sheet's west edge.
    NetFixture net([](NetModel& m) {
        m.AddLink(m.AddNode(kX0 + 33000, kRoadY), m.AddNode(kX0 + 35900, kRoadY), RoadType::NationalRoad);
    });
    CMapMatcher m(&net.reader);
    for (int i = 0; i < 40; ++i) {
        MatchResult r;
        const GpsPosRecord f = Fix(kX0 + 33100 + 40 * i, kRoadY, 90, 400, i);
        ASSERT_EQ(m.Match(f, r), 1) << i;
        EXPECT_EQ(r.y, kRoadY);
        EXPECT_LT(std::abs(r.x - f.longitude) * 0.27654, 10.0) << i; // within 10 m of the fix
        EXPECT_EQ(r.SegStartX(), 33000);
    }
}

TEST_F(ScenarioTest, CloseBranchesWaitUntil71MetresThenFollowTheFixes) {
    // W (0) east into J; branches at bearings 70 (1) and 110 (2), 40 degrees apart: the car waits
    // at J until more than 71 m are carried, then takes the branch nearer the fixes.
    const std::int32_t jx = kX0 + 14000;
    NetFixture net([&](NetModel& m) {
        const int j = m.AddNode(jx, kRoadY);
        m.AddLink(m.AddNode(kX0 + 2000, kRoadY), j, RoadType::NationalRoad);
        m.AddLink(j, m.AddNode(jx + 9397, kRoadY + 3420), RoadType::NationalRoad);
        m.AddLink(j, m.AddNode(jx + 9397, kRoadY - 3420), RoadType::NationalRoad);
    });
    for (int branch : {1, 2}) {
        CMapMatcher m(&net.reader);
        CMapMatcher::SetCarried(0, false);
        const int sign = branch == 1 ? 1 : -1;
        std::vector<GpsPosRecord> fixes;
        int t = 0;
        for (int i = 0; i < 20; ++i) fixes.push_back(Fix(jx - 780 + 40 * i, kRoadY, 90, 400, t++));
        for (int i = 1; i < 30; ++i)
            fixes.push_back(
                Fix(jx + 376 * i / 10, kRoadY + sign * 137 * i / 10, branch == 1 ? 70 : 110, 400, t++));
        auto results = Drive(m, fixes);
        EXPECT_EQ(Runs(results), (std::vector<Key>{{1, 0, 0, 0}, {1, 0, branch, 0}})) << branch;
        // The car stands at J for the fixes that carry it up to 71 m: 11 m a fix at 40 km/h.
        int waiting = 0;
        for (const MatchResult& r : results) waiting += r.linkIndex == 0 && r.x == jx;
        EXPECT_GE(waiting, 6) << branch;
    }
}

// At 20 km/h the car stops mid-link and turns back, the course turning 90 degrees per fix.
std::vector<GpsPosRecord> UTurn() {
    std::vector<GpsPosRecord> fixes;
    const std::int32_t x = kX0 + 12000;
    for (int i = 0; i < 10; ++i) fixes.push_back(Fix(x + 20 * i, kRoadY, 90, 200, i));
    fixes.push_back(Fix(x + 200, kRoadY - 10, 180, 200, 10));
    fixes.push_back(Fix(x + 190, kRoadY - 10, 270, 200, 11));
    for (int i = 0; i < 10; ++i) fixes.push_back(Fix(x + 170 - 20 * i, kRoadY, 270, 200, 12 + i));
    return fixes;
}

TEST_F(ScenarioTest, UTurnOnATwoWayLinkFlipsTheDirection) {
    NetFixture net([](NetModel& m) { Straight(m); });
    CMapMatcher m(&net.reader);
    auto results = Drive(m, UTurn());
    for (int i = 0; i < 10; ++i) EXPECT_EQ(KeyOf(results[i]), Key(1, 0, 0, 0)) << i;
    for (int i = 15; i < 22; ++i) EXPECT_EQ(KeyOf(results[i]), Key(1, 0, 0, 1)) << i;
    for (const MatchResult& r : results) EXPECT_TRUE(r.linkIndex == 0 || r.status != 1);
}

TEST_F(ScenarioTest, UTurnOnAOneWayLinkDoesNotMatchAgainstIt) {
    NetFixture net([](NetModel& m) { Straight(m, 1); });
    CMapMatcher m(&net.reader);
    auto results = Drive(m, UTurn());
    for (int i = 0; i < 10; ++i) EXPECT_EQ(KeyOf(results[i]), Key(1, 0, 0, 0)) << i;
    for (int i = 15; i < 22; ++i) {
        EXPECT_EQ(results[i].status, 2) << i;
        EXPECT_EQ(results[i].linkIndex, -1) << i;
    }
}

TEST_F(ScenarioTest, CoastsThroughATunnelByDeadReckoning) {
    // E1 (0) to the tunnel (1, reception class 3) to E2 (2), joined by plain joints.
    NetFixture net([](NetModel& m) {
        const int a = m.AddNode(kX0 + 6000, kRoadY), t1 = m.AddNode(kX0 + 18000, kRoadY),
                  t2 = m.AddNode(kX0 + 21000, kRoadY), b = m.AddNode(kX0 + 30000, kRoadY);
        m.AddLink(a, t1, RoadType::Expressway);
        m.AddLink(t1, t2, RoadType::ExpresswayTunnel);
        m.AddLink(t2, b, RoadType::Expressway);
    });
    CMapMatcher m(&net.reader);
    std::vector<GpsPosRecord> fixes;
    std::vector<bool> dark;
    for (int i = 0; i < 110; ++i) {
        const std::int32_t x = kX0 + 15000 + 80 * i;
        const bool inside = x >= kX0 + 18200 && x < kX0 + 21000;
        dark.push_back(inside);
        fixes.push_back(Fix(x, kRoadY, 90, 800, i, 1.0, inside ? 0 : 8, inside ? 'V' : 'A'));
    }
    std::vector<GpsPosRecord> used;
    auto results = Drive(m, fixes, &used);
    EXPECT_EQ(Runs(results), (std::vector<Key>{{1, 0, 0, 0}, {1, 0, 1, 0}, {1, 0, 2, 0}}));
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        EXPECT_EQ(used[i].deadReckoned, dark[i] ? 1 : 0) << i;
        if (dark[i]) {
            // 80 km/h carried on: 800 / 36 = 22 units of the map grid per second, due east.
            EXPECT_EQ(used[i].speed, 800) << i;
            EXPECT_EQ(used[i].course, 90) << i;
            EXPECT_GT(results[i].x, results[i - 1].x) << i;
        }
    }
}

} // namespace
