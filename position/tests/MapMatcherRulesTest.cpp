// The matcher's per-fix rules: the fix check, quality, tolerances, turn permission, the fix
// interval, start-up, standing still, the jump test, the one-way refusal and unmatched handling.
#include "position/MapMatcher.h"
#include "position/tests/MatchFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>

using namespace matchtest;
using mkdev::NetModel;
using mkdev::RoadType;

namespace {

void Straight(NetModel& m, int oneWay = 0) {
    mkdev::LinkOptions o;
    o.oneWay = oneWay;
    m.AddLink(m.AddNode(kX0 + 6000, kRoadY), m.AddNode(kX0 + 30000, kRoadY), RoadType::NationalRoad, o);
}

class RulesTest : public ::testing::Test {
protected:
    void SetUp() override { CMapMatcher::SetCarried(0, false); }
};

TEST_F(RulesTest, FixCheck) {
    struct Case {
        std::int32_t x, y;
        double hdop;
        int sats, speed, expected;
    } cases[] = {
        {kX0, kY0, 1.0, 8, 400, 0},       {44999999, kY0, 1.0, 8, 400, -1}, // west of the service area
        {47160000, kY0, 1.0, 8, 400, -1},                                   // the east edge is outside
        {kX0, 13890000, 1.0, 8, 400, -1},                                   // the north edge is outside
        {kX0, kY0, -0.5, 8, 400, -2},                                       // negative HDOP
        {kX0, kY0, 45.0, 8, 400, -2},                                       // HDOP 45
        {kX0, kY0, 44.9, 8, 400, 0},      {kX0, kY0, 1.0, 0, 400, -2},      // no satellites
        {kX0, kY0, 0.0, 8, 35, -2},                                         // HDOP 0 while below 3.6 km/h
        {kX0, kY0, 0.0, 8, 36, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CMapMatcher::CheckFix(Fix(c.x, c.y, 0, c.speed, 0, c.hdop, c.sats)), c.expected)
            << c.x << " " << c.hdop << " " << c.sats << " " << c.speed;
    GpsPosRecord nan = Fix(kX0, kY0, 0, 400, 0, std::nan(""));
    EXPECT_EQ(CMapMatcher::CheckFix(nan), -2);
}

TEST_F(RulesTest, DistanceLimitAndHeadingTolerance) {
    EXPECT_EQ(CMapMatcher::DistanceLimitFor(1.5, 0), 68); // 51 clamped up
    EXPECT_EQ(CMapMatcher::DistanceLimitFor(2.5, 0), 85);
    EXPECT_EQ(CMapMatcher::DistanceLimitFor(0.0, 0), 102);
    EXPECT_EQ(CMapMatcher::DistanceLimitFor(3.5, 0), 102); // 119 clamped down
    EXPECT_EQ(CMapMatcher::DistanceLimitFor(2.5, 3), 95);
    EXPECT_EQ(CMapMatcher::DistanceLimitFor(2.5, 4), 85);

    struct Case {
        int speed, motionClass, expected;
    } cases[] = {{500, 1, 34}, {500, 2, 34}, {500, 3, 23}, {35, 0, 180}, {36, 0, 42},
                 {129, 1, 53}, {130, 0, 31}, {399, 0, 31}, {400, 0, 23}};
    for (const Case& c : cases)
        EXPECT_EQ(CMapMatcher::HeadingToleranceFor(c.speed, c.motionClass), c.expected) << c.speed;
}

TEST_F(RulesTest, TurnPermission) {
    struct Case {
        std::uint16_t w;
        bool along, expected;
    } cases[] = {
        {0x2001, true, true},   {0x2001, false, false}, // class 2, only along
        {0x2002, true, false},  {0x2002, false, true},  // class 2, only against
        {0x1001, false, true},                          // class 1: not enforced
        {0x1021, false, false},                         // field A 1 enforces
        {0x1041, false, false},                         // field A 2 enforces
        {0x1061, false, true},                          // field A 3 does not
        {0x1009, false, false},                         // bits 2-4 = 2 enforce
        {0x1019, false, true},                          // bits 2-4 = 6 do not
        {0x2003, false, true},  {0x2000, false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CMapMatcher::IsTurnAllowed(c.w, c.along), c.expected) << std::hex << c.w;
}

TEST_F(RulesTest, FixQuality) {
    CMapMatcher m(nullptr);
    EXPECT_EQ(m.GetFixQuality(Fix(kX0, kY0, 0, 35, 0, 0.0)), 0);
    EXPECT_EQ(m.GetFixQuality(Fix(kX0, kY0, 0, 400, 0, 45.0)), 0);
    EXPECT_EQ(m.GetFixQuality(Fix(kX0, kY0, 0, 400, 0, 0.0)), 60);          // 100 - 0 - 40
    EXPECT_EQ(m.GetFixQuality(Fix(kX0, kY0, 0, 400, 0, 2.5)), 97);          // 100 - 3
    EXPECT_EQ(m.GetFixQuality(Fix(kX0, kY0, 0, 400, 0, 1.4, 8, 'V')), 89);  // 90 - 1
    EXPECT_EQ(m.GetFixQuality(Fix(kX0, kY0, 0, 400, 0, 44.0, 8, 'V')), 46); // 90 - 44
}

TEST_F(RulesTest, FixIntervalWrapsAtTheMinute) {
    CMapMatcher m(nullptr);
    MatchResult r;
    m.Match(Fix(kX0, kY0, 0, 400, 59), r);
    EXPECT_EQ(m.GetFixInterval(), 1);
    m.Match(Fix(kX0, kY0, 0, 400, 1), r);
    EXPECT_EQ(m.GetFixInterval(), 2);
    m.Match(Fix(kX0, kY0, 0, 400, 10), r);
    EXPECT_EQ(m.GetFixInterval(), 1); // 9 s: not 1 or 2
    m.Match(Fix(kX0, kY0, 0, 400, 14), r);
    EXPECT_EQ(m.GetFixInterval(), 1);
}

TEST_F(RulesTest, StartUpBelowWalkingSpeedGivesTheRawFix) {
    NetFixture net([](NetModel& m) { Straight(m); });
    CMapMatcher m(&net.reader);
    MatchResult r;
    const GpsPosRecord f = Fix(kX0 + 10000, kRoadY + 20, 90, 35, 0);
    EXPECT_EQ(m.Match(f, r), 2);
    EXPECT_EQ(r.x, f.longitude);
    EXPECT_EQ(r.y, f.latitude);
    EXPECT_EQ(r.heading, 90);
    EXPECT_EQ(r.speedMps, 0);
    EXPECT_EQ(r.linkIndex, -1);
}

TEST_F(RulesTest, StandingCarHoldsItsPlaceUnlessAGoodFixJumps) {
    NetFixture net([](NetModel& m) { Straight(m); });
    struct Case {
        double metres, hdop;
        int sats;
        char status;
        bool jumps;
    } cases[] = {
        {50, 1.0, 8, 'A', false},  // too close for a jump
        {150, 1.0, 8, 'A', true},  // a good fix 100 m or more away
        {150, 5.0, 8, 'A', false}, // HDOP not below 5
        {150, 1.0, 3, 'A', false}, // fewer than 4 satellites
        {150, 1.0, 8, 'V', false}, // not a valid fix
    };
    for (const Case& c : cases) {
        CMapMatcher m(&net.reader);
        MatchResult first, r;
        ASSERT_EQ(m.Match(Fix(kX0 + 10000, kRoadY, 90, 400, 0), first), 1);
        const GpsPosRecord f =
            Fix(kX0 + 10000 + EastUnits(c.metres), kRoadY, 90, 20, 1, c.hdop, c.sats, c.status);
        m.Match(f, r);
        if (c.jumps) {
            EXPECT_EQ(r.status, 2) << c.metres;
            EXPECT_EQ(r.x, f.longitude);
            EXPECT_EQ(r.heading, 0);
            EXPECT_EQ(r.speedMps, 0);
            EXPECT_EQ(m.OffsetX(), 0);
            EXPECT_EQ(m.OffsetY(), 0);
        } else {
            EXPECT_EQ(r.status, 1) << c.metres << " " << c.hdop;
            EXPECT_EQ(r.x, first.x);
            EXPECT_EQ(r.moved, 0);
        }
    }
}

TEST_F(RulesTest, OneWayLinkIsRefusedAgainstItsDirectionAboveWalkingPace) {
    NetFixture oneWay([](NetModel& m) { Straight(m, 1); });
    NetFixture twoWay([](NetModel& m) { Straight(m, 0); });
    MatchResult r;
    {
        CMapMatcher m(&oneWay.reader);
        EXPECT_EQ(m.Match(Fix(kX0 + 10000, kRoadY + 10, 270, 400, 0), r), 2);
        CMapMatcher along(&oneWay.reader);
        EXPECT_EQ(along.Match(Fix(kX0 + 10000, kRoadY + 10, 90, 400, 0), r), 1);
        EXPECT_EQ(r.reverse, 0);
    }
    {
        CMapMatcher m(&twoWay.reader);
        EXPECT_EQ(m.Match(Fix(kX0 + 10000, kRoadY + 10, 270, 400, 0), r), 1);
        EXPECT_EQ(r.reverse, 1);
    }
    // Speed 3 (0.3 km/h) or less: the one-way code is not asked (reached by the alternative search,
    // which has no low-speed step).
    for (int speed : {3, 4}) {
        CMapMatcher m(&oneWay.reader);
        ASSERT_EQ(m.Match(Fix(kX0 + 10000, kRoadY + 10, 270, 400, 0), r), 2);
        m.RequestRematch();
        m.Match(Fix(kX0 + 10000, kRoadY + 10, 270, speed, 1), r);
        EXPECT_EQ(r.status, speed <= 3 ? 1 : 2) << speed;
        if (speed <= 3) {
            EXPECT_EQ(r.reverse, 1);
        }
    }
}

TEST_F(RulesTest, UnmatchedFixesCarryTheLastOffsetWhichDecays) {
    NetFixture net([](NetModel& m) { Straight(m); });
    CMapMatcher m(&net.reader);
    MatchResult r;
    const std::int32_t x = kX0 + 10000;
    const std::int32_t north = NorthUnits(20); // the fixes run 20 m north of the road
    for (int i = 0; i < 3; ++i) ASSERT_EQ(m.Match(Fix(x + 40 * i, kRoadY + north, 90, 400, i), r), 1);
    const MatchResult last = r;
    // The car leaves the road northwards: the course is 90 degrees off the link.
    const std::int32_t fx = x + 80;
    std::int32_t fy = kRoadY + north + NorthUnits(11);
    ASSERT_EQ(m.Match(Fix(fx, fy, 0, 400, 3), r), 2);
    std::int32_t ox = last.x - fx, oy = last.y - (kRoadY + north);
    EXPECT_EQ(r.x, fx + ox);
    EXPECT_EQ(r.y, fy + oy);
    EXPECT_EQ(r.heading, 0);
    EXPECT_EQ(r.linkIndex, -1);
    EXPECT_EQ(r.speedMps, 11); // (400 + 5) / 36
    // Each further unmatched fix within 200 m of the last position keeps four fifths of the offset.
    for (int i = 4; i < 7; ++i) {
        fy += NorthUnits(11);
        ox = ox * 40 / 50;
        oy = oy * 40 / 50;
        ASSERT_EQ(m.Match(Fix(fx, fy, 0, 400, i), r), 2);
        EXPECT_EQ(r.x, fx + ox) << i;
        EXPECT_EQ(r.y, fy + oy) << i;
    }
    // Below 3.6 km/h an unmatched car stands.
    const MatchResult before = r;
    ASSERT_EQ(m.Match(Fix(fx, fy + NorthUnits(30), 0, 20, 7), r), 2);
    EXPECT_EQ(r.x, before.x);
    EXPECT_EQ(r.y, before.y);
    EXPECT_EQ(r.moved, 0);
}

TEST_F(RulesTest, AfterMissedFixesTheMoveCountsOnlyUnderSpeedTimesMissesTimesTwo) {
    NetFixture net([](NetModel& m) { Straight(m); });
    const std::int32_t x = kX0 + 10000;
    // Two unusable fixes, then a fix d metres on: the advance is 96 % of d, and it counts as moved
    // only while below 11 m/s x 2 misses x 2 = 44 m.
    struct Case {
        double metres;
        int expectedMoved;
    } cases[] = {{30, 27}, {60, 0}};
    for (const Case& c : cases) {
        CMapMatcher m(&net.reader);
        MatchResult r;
        ASSERT_EQ(m.Match(Fix(x, kRoadY, 90, 400, 0), r), 1);
        m.Match(Fix(x, kRoadY, 90, 400, 1, 1.0, 0), r);
        EXPECT_EQ(r.speedMps, 0);
        m.Match(Fix(x, kRoadY, 90, 400, 2, 1.0, 0), r);
        EXPECT_EQ(m.MissCount(), 2);
        ASSERT_EQ(m.Match(Fix(x + EastUnits(c.metres), kRoadY, 90, 400, 3), r), 1);
        EXPECT_NEAR(r.moved, c.expectedMoved, 1) << c.metres;
        EXPECT_EQ(m.MissCount(), 0);
    }
}

TEST_F(RulesTest, RematchFindsAnotherLink) {
    // Two parallel roads 30 m apart: link 0 on kRoadY, link 1 to its north.
    NetFixture net([](NetModel& m) {
        Straight(m);
        m.AddLink(m.AddNode(kX0 + 6000, kRoadY + NorthUnits(30)),
                  m.AddNode(kX0 + 30000, kRoadY + NorthUnits(30)), RoadType::NationalRoad);
    });
    CMapMatcher m(&net.reader);
    MatchResult r;
    ASSERT_EQ(m.Match(Fix(kX0 + 10000, kRoadY + NorthUnits(5), 90, 400, 0), r), 1);
    EXPECT_EQ(r.linkIndex, 0);
    m.RequestRematch();
    ASSERT_EQ(m.Match(Fix(kX0 + 10040, kRoadY + NorthUnits(5), 90, 400, 1), r), 1);
    EXPECT_EQ(r.linkIndex, 1);
    EXPECT_EQ(r.y, kRoadY + NorthUnits(30));
    EXPECT_EQ(r.checkCode, 0);
    // One-shot: the next fix tracks on from link 1... and the fix near link 0 pulls it back only
    // through the ordinary rules.
    ASSERT_EQ(m.Match(Fix(kX0 + 10080, kRoadY + NorthUnits(30), 90, 400, 2), r), 1);
    EXPECT_EQ(r.linkIndex, 1);
}

} // namespace

namespace {

// Hostile fixes (NaN and huge HDOP, coordinates at and beyond the service area, wrapping seconds,
// any course and speed) never crash the matcher or the pedestrian engine, and every result stays
// one of the three statuses.
TEST_F(RulesTest, HostileFixesAreHandledSafely) {
    NetFixture net([](NetModel& m) {
        Straight(m);
        m.AddLink(m.AddNode(kX0 + 18000, kRoadY - 9000), m.AddNode(kX0 + 18000, kRoadY + 9000),
                  RoadType::ExpresswayTunnel);
    });
    CMapMatcher m(&net.reader);
    std::uint32_t seed = 99;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    const std::int32_t xs[] = {kX0 + 10000, kX0 + 18000, 0,        -2147483647 - 1,
                               2147483647,  44999999,    47159999, 45000000};
    const std::int32_t ys[] = {kRoadY, kRoadY + 100, 0, -2147483647 - 1, 2147483647, 13889999, 11910000};
    const double hdops[] = {1.0, 0.0, -1.0, 44.99, 45.0, 1e300, std::nan(""), 0.5};
    for (int i = 0; i < 3000; ++i) {
        const std::int64_t x =
            static_cast<std::int64_t>(xs[next() % 8]) + static_cast<int>(next() % 200) - 100;
        GpsPosRecord f = Fix(static_cast<std::int32_t>(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX)),
                             ys[next() % 7], static_cast<int>(next() % 65536),
                             static_cast<int>(next() % 65536), static_cast<int>(next() % 256),
                             hdops[next() % 8], static_cast<int>(next() % 256) - 128, "AV"[next() % 2]);
        if (i % 3 == 0) { // mostly a plausible drive along the road, to reach the tracking paths
            f.longitude = kX0 + 8000 + (i * 40) % 20000;
            f.latitude = kRoadY + static_cast<std::int32_t>(next() % 60) - 30;
        }
        if (i % 500 == 0) m.RequestRematch();
        MatchResult r;
        const int status = m.Match(f, r);
        ASSERT_TRUE(status >= 1 && status <= 3) << i;
    }
}

} // namespace
