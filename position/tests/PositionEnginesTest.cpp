// The pedestrian engine CRoadLocator, the driving engine's forwarding, and FindNearestLink.
#include "position/MatchedPosSource.h"
#include "position/tests/MatchFixtures.h"

#include <gtest/gtest.h>

#include <memory>

using namespace matchtest;
using mkdev::NetModel;
using mkdev::RoadType;

namespace {

void Straight(NetModel& m) {
    m.AddLink(m.AddNode(kX0 + 6000, kRoadY), m.AddNode(kX0 + 30000, kRoadY), RoadType::NationalRoad);
}

TEST(RoadLocatorTest, FirstFixIsTakenAsGivenAndZeroSatellitesNeverMoveIt) {
    NetFixture net([](NetModel& m) { Straight(m); });
    CRoadLocator loc(&net.reader);
    MatchResult r;
    const GpsPosRecord first = Fix(kX0 + 10000, kRoadY + 500, 123, 50, 0, 10.0);
    EXPECT_EQ(loc.Match(first, r), 2);
    EXPECT_EQ(r.x, first.longitude);
    EXPECT_EQ(r.y, first.latitude);
    EXPECT_EQ(r.heading, 123);
    EXPECT_EQ(r.mapId, 0);
    EXPECT_EQ(r.slot, 4);
    EXPECT_EQ(r.speedMps, 1); // 50 / 36
    EXPECT_EQ(r.hasFix, 1);
    for (int i = 1; i < 25; ++i) {
        loc.Match(Fix(kX0 + 10000 + 500 * i, kRoadY, 90, 400, i, 1.0, 0), r);
        EXPECT_EQ(r.x, first.longitude) << i;
        EXPECT_EQ(r.y, first.latitude) << i;
    }
    // A reset starts over: the next fix is taken as given.
    loc.Reset();
    const GpsPosRecord again = Fix(kX0 + 20000, kRoadY, 45, 0, 30, 10.0);
    loc.Match(again, r);
    EXPECT_EQ(r.x, again.longitude);
    EXPECT_EQ(r.heading, 45);
}

TEST(RoadLocatorTest, HdopTenMovesOnlyBeyondFifteenMetres) {
    NetFixture net([](NetModel& m) { Straight(m); });
    EXPECT_EQ(CRoadLocator::HdopThreshold(10.0), 15);
    EXPECT_EQ(CRoadLocator::HdopThreshold(2.4), 3);
    EXPECT_EQ(CRoadLocator::HdopThreshold(2.5), 7);
    EXPECT_EQ(CRoadLocator::HdopThreshold(10.5), 20);
    CRoadLocator loc(&net.reader);
    EXPECT_EQ(loc.GetFixQuality(Fix(0, 0, 0, 0, 0, 10.0)), 90);
    EXPECT_EQ(loc.GetFixQuality(Fix(0, 0, 0, 0, 0, 25.0)), 0); // 75: below 76
    EXPECT_EQ(loc.GetFixQuality(Fix(0, 0, 0, 0, 0, 0.0, 8, 'V')), 0);
    MatchResult r;
    const std::int32_t x = kX0 + 10000, y = kRoadY;
    loc.Match(Fix(x, y, 0, 10, 0, 10.0), r);
    loc.Match(Fix(x, y + NorthUnits(10), 0, 10, 1, 10.0), r); // 9 m: stays
    EXPECT_EQ(r.y, y);
    loc.Match(Fix(x, y + NorthUnits(20), 0, 10, 2, 10.0), r); // 19 m: taken
    EXPECT_EQ(r.y, y + NorthUnits(20));
    EXPECT_EQ(r.x, x);
}

TEST(RoadLocatorTest, HeadingTurnsThroughNorth) {
    NetFixture net([](NetModel& m) { Straight(m); });
    CRoadLocator loc(&net.reader);
    MatchResult r;
    const std::int32_t x = kX0 + 10000, y = kRoadY;
    loc.Match(Fix(x, y, 350, 10, 0, 10.0), r);
    ASSERT_EQ(r.heading, 350);
    // 20 m towards a bearing of 8: dx = int(12 x 0.2667) = 3, dy = int(64 x 0.3333) = 21,
    // 90 - atan(21 / 3) = 8.1 -> 8; the turn from 350 is +18, taken 5 degrees a fix.
    loc.Match(Fix(x + 12, y + 64, 10, 10, 1, 10.0), r);
    EXPECT_EQ(r.heading, 355);
}

TEST(MatchedPosSourceTest, ForwardsToTheMatcher) {
    NetFixture net([](NetModel& m) { Straight(m); });
    std::unique_ptr<CMapMatchBase> engine = std::make_unique<CMatchedPosSource>(&net.reader);
    MatchResult r;
    GpsPosRecord used;
    std::uint8_t dr = 7;
    EXPECT_EQ(engine->Match2(Fix(kX0 + 10000, kRoadY + 20, 90, 400, 0), r, &dr, &used), 1);
    EXPECT_EQ(dr, 0);
    EXPECT_EQ(used.longitude, kX0 + 10000);
    EXPECT_EQ(r.linkIndex, 0);
    EXPECT_EQ(engine->GetStatusText(), nullptr);
    std::int32_t ex, ey;
    std::int16_t heading;
    ASSERT_EQ(engine->GetLinkEnd(0, 0, 0, ex, ey, heading), 1);
    EXPECT_EQ(ex, kX0 + 30000);
    EXPECT_EQ(heading, 90);
    ASSERT_EQ(engine->GetLinkEnd(0, 0, 1, ex, ey, heading), 1);
    EXPECT_EQ(ex, kX0 + 6000);
    EXPECT_EQ(heading, 270);
    char name[32];
    EXPECT_EQ(engine->GetJunctionName(0, 0, 1, name, sizeof name), 0); // a dead end
}

// Map 0: a north-south link in its west part; map 1 (to the east): one just over the border.
void TwoSheets(NetModel& m) {
    m.AddLink(m.AddNode(kX0 + 3000, kY0 + 2000), m.AddNode(kX0 + 3000, kY0 + 28000), RoadType::NationalRoad);
    m.AddLink(m.AddNode(kX0 + 36500, kY0 + 2000), m.AddNode(kX0 + 36500, kY0 + 28000),
              RoadType::NationalRoad);
}

TEST(FindNearestLinkTest, TheNinthOfTheSheetChoosesTheMaps) {
    NetFixture net([](NetModel& m) { TwoSheets(m); });
    std::uint16_t map = 99;
    std::int16_t link = 99, seg = 99;
    std::int32_t pos = 0;
    // East ninth: own map and the east neighbour are searched; map 1's link is 1,000 units away.
    ASSERT_TRUE(FindNearestLink(kX0 + 35500, kY0 + 15000, 1000, map, link, seg, pos, net.reader, 40000));
    EXPECT_EQ(map, 1);
    EXPECT_EQ(link, 0);
    EXPECT_EQ(seg, 0);
    EXPECT_EQ(pos, 50000); // half-way up the link
    // Middle ninth: only the own map, so its far link wins over the nearer one next door.
    ASSERT_TRUE(FindNearestLink(kX0 + 23000, kY0 + 15000, map, link, net.reader, 40000));
    EXPECT_EQ(map, 0);
    EXPECT_EQ(link, 0);
    // Without a margin the point lies in no link's box.
    EXPECT_FALSE(FindNearestLink(kX0 + 23000, kY0 + 15000, map, link, net.reader, 0));
}

TEST(FindNearestLinkTest, HeadingAndOneWayFiltersAndTies) {
    NetFixture net([](NetModel& m) {
        const int c = m.AddNode(kX0 + 18000, kY0 + 15000);
        mkdev::LinkOptions one;
        one.oneWay = 1;
        m.AddLink(c, m.AddNode(kX0 + 30000, kY0 + 15000), RoadType::NationalRoad, one); // 0: east, one-way
        m.AddLink(c, m.AddNode(kX0 + 18000, kY0 + 25000), RoadType::NationalRoad);      // 1: north
        // 2 and 3: two parallel streets, 1,000 units south and north of a test point between them.
        m.AddLink(m.AddNode(kX0 + 20000, kY0 + 4000), m.AddNode(kX0 + 26000, kY0 + 4000),
                  RoadType::TownStreet);
        m.AddLink(m.AddNode(kX0 + 20000, kY0 + 6000), m.AddNode(kX0 + 26000, kY0 + 6000),
                  RoadType::TownStreet);
    });
    std::uint16_t map;
    std::int16_t link;
    // Beside the corner: link 1 is 100 units away, link 0 200.
    const std::int32_t px = kX0 + 18100, py = kY0 + 15200;
    ASSERT_TRUE(FindNearestLink(px, py, map, link, net.reader, 500));
    EXPECT_EQ(link, 1);
    ASSERT_TRUE(FindNearestLink(px, py, 90, map, link, net.reader, 500)); // north-south is at right angles
    EXPECT_EQ(link, 0);
    // Westwards: link 1 is at right angles and link 0 refuses travel against it; links 2 and 3 lie
    // outside the margin, so nothing is measured.
    EXPECT_FALSE(FindNearestLink(px, py, 270, map, link, net.reader, 500));
    ASSERT_TRUE(
        FindNearestLink(px, py, 180, map, link, net.reader, 500)); // the two-way link, travelled south
    EXPECT_EQ(link, 1);
    // Equal distances: the first link measured (2) wins.
    ASSERT_TRUE(FindNearestLink(kX0 + 23000, kY0 + 5000, 90, map, link, net.reader, 1500));
    EXPECT_EQ(link, 2);
}

} // namespace
