// The simulated drive over a route made by hand on the T junction fixture, where every step can be
// worked out: W (link 0) and E (link 1) are 12,000 units each, one segment of
// int(12,000 x 0.27654) = 3,318 m; their records say 3,319 m (rounded up).
#include "position/RouteSimulator.h"
#include "position/tests/MatchFixtures.h"

#include <gtest/gtest.h>

using namespace matchtest;
using mkdev::NetModel;
using mkdev::RoadType;

namespace {

void TJunction(NetModel& m) {
    const int a = m.AddNode(kX0 + 6000, kRoadY), j = m.AddNode(kX0 + 18000, kRoadY);
    m.AddLink(a, j, RoadType::NationalRoad);
    m.AddLink(j, m.AddNode(kX0 + 30000, kRoadY), RoadType::NationalRoad);
    m.AddLink(j, m.AddNode(kX0 + 18000, kRoadY + 12000), RoadType::NationalRoad);
}

CPathLinkItem Item(int link, int direction, std::uint32_t remaining) {
    CPathLinkItem it;
    it.mapId = 0;
    it.linkId = static_cast<std::uint16_t>(link);
    it.direction = static_cast<std::uint8_t>(direction);
    it.remaining = remaining;
    return it;
}

// From 1,000 m into W to 2,000 m into E: W's part is 2,319 m, E's 2,000 m.
CRoutePath WestToEast() {
    CRoutePath path;
    path.Items().Add(Item(0, 0, 4319));
    path.Items().Add(Item(1, 0, 2000));
    path.SyncCounts();
    path.SetLoaded(1);
    return path;
}

class SimulatorTest : public ::testing::Test {
protected:
    NetFixture net{[](NetModel& m) { TJunction(m); }};
    CRouteSimulator sim{&net.reader};
};

TEST_F(SimulatorTest, DrivesFromTheStartPointToTheGoalIn20MetreSteps) {
    ASSERT_TRUE(sim.Start(u"\\MapData"));
    CRoutePath path = WestToEast();
    MatchResult out;
    // The first step puts the car at the start point: 3,319 - 2,319 = 1,000 m into W.
    ASSERT_EQ(sim.Step(path, out, 20), 0);
    EXPECT_EQ(out.linkIndex, 0);
    EXPECT_EQ(out.segmentRemaining, 2318);
    EXPECT_EQ(out.segmentPosition, 30138); // 1,000 x 100,000 / 3,318
    EXPECT_EQ(out.x, kX0 + 6000 + 3616);   // int(12,000 x 0.30138)
    EXPECT_EQ(out.y, kRoadY);
    EXPECT_EQ(out.heading, 90);
    EXPECT_EQ(out.speedMps, 20);
    EXPECT_EQ(out.speedKmh, 72);
    EXPECT_EQ(out.status, 1);
    EXPECT_EQ(out.moved, 0);
    // 115 steps on W leave 18 m; the next carries 2 m into E, then 100 steps reach 2,002 m of
    // E's 2,000 and the step after that reports the goal.
    int zeros = 1;
    MatchResult previous = out;
    int r;
    while ((r = sim.Step(path, out, 20)) == 0) {
        ++zeros;
        EXPECT_NEAR(out.moved, 20, 1);
        previous = out;
        ASSERT_LT(zeros, 1000);
    }
    EXPECT_EQ(r, 1);
    EXPECT_EQ(zeros, 217);
    EXPECT_EQ(sim.GetItemIndex(), 1);
    EXPECT_EQ(out.linkIndex, 1);
    EXPECT_EQ(out.segmentRemaining, 3318 - 2002);
    EXPECT_EQ(out.x, previous.x);
    EXPECT_EQ(sim.Step(path, out, 20), 1);
}

TEST_F(SimulatorTest, AJumpMovesTheCarInOneStep) {
    ASSERT_TRUE(sim.Start(u"\\MapData"));
    CRoutePath path = WestToEast();
    MatchResult out;
    ASSERT_EQ(sim.Step(path, out, 20), 0);
    sim.Jump(500);
    ASSERT_EQ(sim.Step(path, out, 20), 0);
    EXPECT_EQ(out.segmentRemaining, 2318 - 500);
    EXPECT_NEAR(out.moved, 500, 1); // measured between truncated positions
    // A step longer than the rest of W carries into E.
    ASSERT_EQ(sim.Step(path, out, 1900), 0);
    EXPECT_EQ(out.linkIndex, 1);
    EXPECT_EQ(out.segmentRemaining, 3318 - 82);
}

TEST_F(SimulatorTest, SetPositionPutsTheCarOnAnItem) {
    ASSERT_TRUE(sim.Start(u"\\MapData"));
    CRoutePath path = WestToEast();
    sim.SetPosition(path, 500, 1); // 500 m into E
    EXPECT_EQ(sim.GetItemIndex(), 1);
    EXPECT_EQ(sim.Car().segmentRemaining, 3318 - 500);
    EXPECT_EQ(sim.DistanceAlongRoute(), 2319 + 500);
    MatchResult out;
    ASSERT_EQ(sim.Step(path, out, 20), 0); // on from there, not from the route's start
    EXPECT_EQ(out.linkIndex, 1);
    EXPECT_EQ(out.segmentRemaining, 3318 - 520);
    sim.SetPosition(path, 0, 1); // no distance: the start of the item's last segment
    EXPECT_EQ(sim.Car().segmentRemaining, 3318);
    EXPECT_EQ(sim.Car().x, kX0 + 18000);
    sim.SetPosition(path, 0, -1); // nothing
    EXPECT_EQ(sim.GetItemIndex(), 1);
    // 1,900 m into E, whose route part is 2,000 m: five steps of 20 m, then the goal.
    sim.SetPosition(path, 1900, 1);
    int zeros = 0;
    while (sim.Step(path, out, 20) == 0 && zeros < 1000) ++zeros;
    EXPECT_EQ(zeros, 5);
}

TEST_F(SimulatorTest, ASecondDriveOnAOneItemRouteGoesTheWholeWay) {
    CRoutePath path;
    path.Items().Add(Item(0, 0, 500)); // the last 500 m of W
    path.SyncCounts();
    path.SetLoaded(1);
    for (int drive = 0; drive < 2; ++drive) {
        ASSERT_TRUE(sim.Start(u"\\MapData"));
        MatchResult out;
        int zeros = 0;
        while (sim.Step(path, out, 20) == 0 && zeros < 1000) ++zeros;
        // The placing step puts the car 3,319 - 500 = 2,819 m into W, 499 m before the end of its
        // 3,318 m segment; 24 steps of 20 m leave 19 m, the next step stops the car at the end of
        // W (the goal) and the one after that reports the goal.
        EXPECT_EQ(zeros, 26) << drive;
    }
}

TEST_F(SimulatorTest, AgainstTheLinkAndWithoutARoute) {
    ASSERT_TRUE(sim.Start(u"\\MapData"));
    CRoutePath empty;
    MatchResult out;
    EXPECT_EQ(sim.Step(empty, out, 20), -1);
    // E then W travelled westwards: from 1,000 m before J on E to 1,000 m past J on W.
    CRoutePath path;
    path.Items().Add(Item(1, 1, 2000));
    path.Items().Add(Item(0, 1, 1000));
    path.SyncCounts();
    path.SetLoaded(1);
    ASSERT_EQ(sim.Step(path, out, 20), 0);
    EXPECT_EQ(out.reverse, 1);
    EXPECT_EQ(out.heading, 270);
    // 3,319 - 1,000 = 2,319 m from B: 999 m before J; 69,891 of the segment from B.
    EXPECT_EQ(out.segmentRemaining, 999);
    EXPECT_EQ(out.segmentPosition, 69891);
    EXPECT_EQ(out.x, kX0 + 30000 - 8386);
    EXPECT_EQ(out.segStart[0], 30000); // B, relative to the sheet's west edge
    EXPECT_EQ(out.segEnd[0], 18000);   // J
}

} // namespace
