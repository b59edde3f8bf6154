// Tracking along the matched link: the advance, waiting at a junction with the distance carried,
// the junction look-ahead through joints and sheet borders, the reachable-link expansion and the
// dead-reckoning step.
#include "position/Geometry.h"
#include "position/LinkReach.h"
#include "position/LinkView.h"
#include "position/MapMatcher.h"
#include "position/tests/MatchFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

using namespace matchtest;
using mkdev::NetModel;
using mkdev::RoadType;

namespace {

// Fewest x units that measure at least the metres (0.27654 m per unit).
std::int32_t UnitsFor(int metres) {
    return static_cast<std::int32_t>(std::ceil(metres / 0.27654));
}

void Straight(NetModel& m) {
    m.AddLink(m.AddNode(kX0 + 6000, kRoadY), m.AddNode(kX0 + 30000, kRoadY), RoadType::NationalRoad);
}

class TrackingTest : public ::testing::Test {
protected:
    void SetUp() override { CMapMatcher::SetCarried(0, false); }
};

TEST_F(TrackingTest, AdvanceBlendsSpeedAndMeasuredDistance) {
    NetFixture net([](NetModel& m) { Straight(m); });
    // Speed 400 (40 km/h): (400 + 18) x interval / 36 = 11 m a second (23 m over 2 s), averaged
    // with the measured along-track advance.
    struct Case {
        int measured, seconds, expected;
    } cases[] = {{15, 1, 13}, {11, 1, 11}, {7, 1, 9}, {23, 2, 23}};
    for (const Case& c : cases) {
        CMapMatcher m(&net.reader);
        MatchResult first, r;
        const std::int32_t x = kX0 + 10000;
        ASSERT_EQ(m.Match(Fix(x, kRoadY, 90, 400, 0), first), 1);
        // The foot lies at t = 16,666 of the 24,000-unit link: 3,999 units on, 20,001 units
        // (5,531 m) before the end node.
        EXPECT_EQ(first.segmentRemaining, 5531);
        ASSERT_EQ(m.Match(Fix(x + UnitsFor(c.measured), kRoadY, 90, 400, c.seconds), r), 1);
        EXPECT_EQ(first.segmentRemaining - r.segmentRemaining, c.expected) << c.measured;
    }
}

TEST_F(TrackingTest, AfterAnUnusableFixTheAdvanceIs96PercentOfTheMeasured) {
    NetFixture net([](NetModel& m) { Straight(m); });
    CMapMatcher m(&net.reader);
    MatchResult first, r;
    const std::int32_t x = kX0 + 10000;
    ASSERT_EQ(m.Match(Fix(x, kRoadY, 90, 400, 0), first), 1);
    m.Match(Fix(x, kRoadY, 90, 400, 1, 1.0, 0), r); // no satellites
    EXPECT_EQ(r.checkCode, -2);
    EXPECT_EQ(r.x, first.x);
    ASSERT_EQ(m.Match(Fix(x + UnitsFor(25), kRoadY, 90, 400, 2), r), 1);
    EXPECT_EQ(first.segmentRemaining - r.segmentRemaining, 24); // 25 x 4800 / 5000
}

TEST_F(TrackingTest, AfterAnUnusableFixAFarFixInACorruptMapBoxDoesNotOverflowTheAdvance) {
    // A corrupt map record stretches a sheet at the network's west end east to its east end: a fix
    // some 575 km east is still "on the sheet" and is tracked along the road; 96 % of that
    // distance times 4800 does not fit in 32 bits.
    TempRoot root;
    NetModel model;
    const std::int32_t westX = 45010000;
    model.AddLink(model.AddNode(westX + 6000, kRoadY), model.AddNode(westX + 30000, kRoadY),
                  RoadType::NationalRoad);
    const std::string mrData = root.Path() + "/MapData/MRData";
    model.Write(mrData);
    {
        std::fstream manage(mrData + "/MRManage.bin", std::ios::in | std::ios::out | std::ios::binary);
        ASSERT_TRUE(manage.good());
        const std::uint32_t east = 47150000;
        const char bytes[4] = {static_cast<char>(east), static_cast<char>(east >> 8),
                               static_cast<char>(east >> 16), static_cast<char>(east >> 24)};
        manage.seekp(mrformat::kManageHeaderSize + 32); // the first map's east edge
        manage.write(bytes, 4);
    }
    CMRNetReader reader;
    ASSERT_TRUE(reader.Open(u"\\MapData"));
    CMapMatcher m(&reader);
    MatchResult first, r;
    const std::int32_t x = westX + 10000;
    ASSERT_EQ(m.Match(Fix(x, kRoadY, 90, 400, 0), first), 1);
    m.Match(Fix(x, kRoadY, 90, 400, 1, 1.0, 0), r); // no satellites
    ASSERT_EQ(r.checkCode, -2);
    // The walk runs off the road's dead end and no road lies near the far fix.
    m.Match(Fix(47100000, kRoadY, 90, 400, 2), r);
    EXPECT_EQ(r.checkCode, 0);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.linkIndex, -1);
}

TEST_F(TrackingTest, CarWaitsAtAJunctionWithNoContinuationNearItsCourse) {
    // W (0) runs east into J; from J only N (1) and S (2) go on, both 90 degrees off the course.
    NetFixture net([](NetModel& m) {
        const int a = m.AddNode(kX0 + 6000, kRoadY), j = m.AddNode(kX0 + 18000, kRoadY);
        m.AddLink(a, j, RoadType::NationalRoad);
        m.AddLink(j, m.AddNode(kX0 + 18000, kRoadY + 12000), RoadType::NationalRoad);
        m.AddLink(j, m.AddNode(kX0 + 18000, kRoadY - 12000), RoadType::NationalRoad);
    });
    CMapMatcher m(&net.reader);
    MatchResult r;
    const std::int32_t jx = kX0 + 18000;
    ASSERT_EQ(m.Match(Fix(jx - 30, kRoadY, 90, 400, 0), r), 1);
    EXPECT_EQ(r.segmentRemaining, 8); // 30 x 0.27654
    // a = (15 + 11) / 2 = 13: 8 m to the junction, 5 m carried.
    ASSERT_EQ(m.Match(Fix(jx - 30 + UnitsFor(15), kRoadY, 90, 400, 1), r), 1);
    EXPECT_EQ(r.linkIndex, 0);
    EXPECT_EQ(r.segmentRemaining, 0);
    EXPECT_EQ(r.x, jx);
    EXPECT_EQ(r.heading, 90); // the course while a distance is carried
    EXPECT_EQ(CMapMatcher::CarriedDistance(), 5);
    // Next second: 11 m by speed plus the 5 carried, still waiting.
    ASSERT_EQ(m.Match(Fix(jx - 30 + UnitsFor(26), kRoadY, 90, 400, 2), r), 1);
    EXPECT_EQ(r.linkIndex, 0);
    EXPECT_EQ(CMapMatcher::CarriedDistance(), 16);
}

TEST_F(TrackingTest, CourseOffTheLinkJustBeforeAJunctionSetsTheJunctionPassingFlag) {
    // W (0) east into J, E (1) on, N (2) north. The car, 30 m before J, starts cutting the corner:
    // a fix 7.7 m east and 7.7 m north with course 45, which agrees with its own movement (motion
    // class 0) but is 45 degrees off the link, beyond road class 4 + tolerance 23.
    const std::int32_t jx = kX0 + 18000;
    NetFixture net([&](NetModel& m) {
        const int j = m.AddNode(jx, kRoadY);
        m.AddLink(m.AddNode(kX0 + 6000, kRoadY), j, RoadType::NationalRoad);
        m.AddLink(j, m.AddNode(kX0 + 30000, kRoadY), RoadType::NationalRoad);
        m.AddLink(j, m.AddNode(jx, kRoadY + 12000), RoadType::NationalRoad);
    });
    CMapMatcher m(&net.reader);
    MatchResult r;
    ASSERT_EQ(m.Match(Fix(jx - 145, kRoadY, 90, 400, 0), r), 1);
    ASSERT_EQ(m.Match(Fix(jx - 109, kRoadY, 90, 400, 1), r), 1);
    const int before = r.segmentRemaining;
    ASSERT_EQ(m.Match(Fix(jx - 109 + 28, kRoadY + 25, 45, 400, 2), r), 1);
    EXPECT_EQ(m.MotionClass(), 0);
    EXPECT_EQ(r.linkIndex, 0);
    // Along-track 8 m (cos 42 x 10.9 m), so a = (8 + 11) / 2 = 9; the junction is then within the
    // 32 m of road class 4 ahead.
    EXPECT_EQ(before - r.segmentRemaining, 9);
    EXPECT_LT(r.segmentRemaining, 32);
    EXPECT_TRUE(CMapMatcher::JunctionPassing());
    EXPECT_EQ(r.heading, 45);
    // The next fix adds two thirds of the distance ahead to its advance and clears the flag.
    m.Match(Fix(jx - 109 + 56, kRoadY + 50, 45, 400, 3), r);
    EXPECT_FALSE(CMapMatcher::JunctionPassing());
}

TEST_F(TrackingTest, LookaheadRunsThroughJointsAndSheetBorders) {
    // A (dead end) - 0 - P (joint) - 1 - sheet border - Q (junction) in the next sheet.
    NetFixture net([](NetModel& m) {
        const int a = m.AddNode(kX0 + 20000, kRoadY), p = m.AddNode(kX0 + 28000, kRoadY),
                  q = m.AddNode(kX0 + 42000, kRoadY);
        m.AddLink(a, p, RoadType::NationalRoad);
        m.AddLink(p, q, RoadType::NationalRoad);
        m.AddLink(q, m.AddNode(kX0 + 42000, kRoadY + 3000), RoadType::NationalRoad);
        m.AddLink(q, m.AddNode(kX0 + 48000, kRoadY), RoadType::NationalRoad);
    });
    CMapMatcher m(&net.reader);
    MatchResult r;
    ASSERT_EQ(m.Match(Fix(kX0 + 26000, kRoadY, 90, 400, 0), r), 1);
    ASSERT_EQ(r.segmentRemaining, 553); // 2,000 units x 0.27654
    JunctionLookahead ahead, behind;
    m.GetJunctionLookahead(ahead, behind);
    // Ahead: 553 m, then the rest of link 1 in this sheet (8,000 units: 2,213 m rounded up) and its
    // piece in the next sheet (6,000 units: 1,660 m).
    EXPECT_EQ(ahead.distance, 553 + 2213 + 1660);
    EXPECT_EQ(ahead.mapId, 1);
    EXPECT_EQ(ahead.slot, 5); // east of the centre
    EXPECT_EQ(NodeType(ahead.nodeRecord), 3);
    EXPECT_EQ(ahead.junction.count, 2); // P, the last plain joint passed
    // Behind: the segment's 2,212 m less the 553 ahead, and A is a dead end.
    EXPECT_EQ(behind.distance, 2212 - 553);
    EXPECT_EQ(behind.mapId, 0);
    EXPECT_EQ(NodeType(behind.nodeRecord), 1);
    EXPECT_EQ(behind.junction.count, 0);
}

// Start link S (0) due north into J; L (1) leaves J at a map bearing of about 355 degrees and
// B (2) straight on, but turning from S into B is banned.
void Fork(NetModel& m) {
    const int s = m.AddNode(kX0 + 18000, kY0 + 2000), j = m.AddNode(kX0 + 18000, kY0 + 12000);
    const int link0 = m.AddLink(s, j, RoadType::NationalRoad);
    m.AddLink(j, m.AddNode(kX0 + 18000 - 1090, kY0 + 22000), RoadType::NationalRoad);
    const int link2 = m.AddLink(j, m.AddNode(kX0 + 18000, kY0 + 22000), RoadType::NationalRoad);
    m.BanTurn(j, link0, link2);
}

TEST_F(TrackingTest, ReachUsesFoldedHeadingsAndTheTurnBytes) {
    NetFixture net([](NetModel& m) { Fork(m); });
    LinkView l1;
    ASSERT_TRUE(LoadLinkView(net.reader, 0, 1, l1));
    EXPECT_EQ(CalcMapBearing(l1.originX + l1.pts[0].x, l1.originY + l1.pts[0].y, l1.originX + l1.pts[1].x,
                             l1.originY + l1.pts[1].y),
              355);
    CLinkReach reach;
    reach.SetLimits(90, 90, 5000);
    reach.Expand(0, 0, 1, 0, 0, 5, net.reader);
    EXPECT_TRUE(reach.Contains(0, 0));
    EXPECT_TRUE(reach.Contains(0, 1));  // 355 against a heading of 5: 10 degrees apart
    EXPECT_FALSE(reach.Contains(0, 2)); // straight ahead, but the turn byte refuses it
    reach.SetLimits(9, 90, 5000);
    reach.Expand(0, 0, 1, 0, 0, 5, net.reader);
    EXPECT_FALSE(reach.Contains(0, 1));
}

TEST_F(TrackingTest, ReachDistancesAndTheSameLinkNumberOnTheNextSheet) {
    // One road across the border: map 0 link 0 and map 1 link 0.
    NetFixture net([](NetModel& m) {
        m.AddLink(m.AddNode(kX0 + 24000, kRoadY), m.AddNode(kX0 + 48000, kRoadY), RoadType::NationalRoad);
    });
    // From the middle of map 0's piece (12,000 units, one segment, scaled 120 x 27 = 3,240 m,
    // record length 3,319 m): 3,319 - 1,620 = 1,699 m to its end.
    EXPECT_EQ(CLinkReach::DistanceToLinkEnd(net.reader, 0, 0, 1, 0, 50000), 1699);
    EXPECT_EQ(CLinkReach::DistanceToLinkEnd(net.reader, 0, 0, 1, -1, 0), 3319);
    CLinkReach reach;
    reach.SetLimits(90, 90, 5000);
    reach.Expand(0, 0, 1, 0, 50000, 90, net.reader);
    ASSERT_EQ(reach.Reached().size(), 2u);
    const CLinkReach::Entry& next = reach.Reached()[1];
    EXPECT_EQ(next.mapId, 1);
    EXPECT_EQ(next.linkIndex, 0);
    // The neighbouring sheet's link 0 is not the start link: its length (3,319 m) is added.
    EXPECT_EQ(next.distance, 1699 + 3319);
}

TEST_F(TrackingTest, ReachEndsOnALoopBackToTheStartLink) {
    // A square loop of four short links, all two-way; the expansion goes round it and stops.
    NetFixture net([](NetModel& m) {
        const int a = m.AddNode(kX0 + 10000, kRoadY), b = m.AddNode(kX0 + 10400, kRoadY),
                  c = m.AddNode(kX0 + 10400, kRoadY + 400), d = m.AddNode(kX0 + 10000, kRoadY + 400);
        m.AddLink(a, b, RoadType::TownStreet);
        m.AddLink(b, c, RoadType::TownStreet);
        m.AddLink(c, d, RoadType::TownStreet);
        m.AddLink(d, a, RoadType::TownStreet);
        m.AddLink(a, m.AddNode(kX0 + 9000, kRoadY), RoadType::TownStreet);
    });
    CLinkReach reach;
    reach.SetLimits(180, 180, 100000);
    reach.Expand(0, 0, 1, 0, 0, 90, net.reader);
    for (int link = 0; link < 5; ++link) EXPECT_TRUE(reach.Contains(0, link)) << link;
    EXPECT_LE(reach.Reached().size(), 10u); // each link in each direction at most once
}

TEST_F(TrackingTest, DeadReckoningStartsAtOnceOnAnUnderpassButNotOnAnOpenRoad) {
    NetFixture net([](NetModel& m) {
        const int a = m.AddNode(kX0 + 6000, kRoadY), b = m.AddNode(kX0 + 18000, kRoadY);
        m.AddLink(a, b, RoadType::Underpass);
        m.AddLink(m.AddNode(kX0 + 6000, kRoadY + 20000), m.AddNode(kX0 + 30000, kRoadY + 20000),
                  RoadType::NationalRoad);
    });
    struct Case {
        std::int32_t y;
        bool coasts;
    } cases[] = {{kRoadY, true}, {kRoadY + 20000, false}};
    for (const Case& c : cases) {
        CMapMatcher m(&net.reader);
        MatchResult r;
        ASSERT_EQ(m.Match(Fix(kX0 + 10000, c.y, 90, 800, 0), r), 1);
        const MatchResult before = r;
        GpsPosRecord used;
        std::uint8_t dr = 9;
        m.Match(Fix(kX0 + 10000, c.y, 90, 800, 1, 1.0, 0), r, &dr, &used);
        EXPECT_EQ(dr, c.coasts ? 1 : 0);
        EXPECT_EQ(r.status, 1);
        if (c.coasts) {
            // 800 / 36 = 22 units of the map grid due east of the last match; sin(90 x 0.0174533)
            // falls just short of 1, so the offset truncates to 21 map units.
            const std::int32_t mx = static_cast<std::int32_t>((before.x - 45000000) * 0.26666666666666666);
            const std::int32_t my = static_cast<std::int32_t>((before.y - 11910000) * 0.3333333333333333);
            EXPECT_EQ(used.longitude, static_cast<std::int32_t>((mx + 21) * 3.75 + 45000000));
            EXPECT_EQ(used.latitude, static_cast<std::int32_t>(my * 3.0 + 11910000));
            EXPECT_EQ(used.speed, 800);
            EXPECT_EQ(used.hdop, 0.5);
            EXPECT_EQ(used.satellitesUsed, 5);
            EXPECT_GT(r.x, before.x);
        } else {
            EXPECT_EQ(r.x, before.x);
            EXPECT_EQ(r.checkCode, -2);
        }
    }
}

TEST_F(TrackingTest, DeadReckonedSpeedFollowsTheLastRealSpeed) {
    struct Step {
        bool previousDeadReckoned;
        int previousSpeed, turn, expected, programWide;
    } steps[] = {
        {false, 800, 0, 800, 800}, // 80 km/h: the first coasting fix keeps it
        {true, 800, 10, 800, 800}, // never above the last real speed
        {true, 800, 90, 50, 800},  // after a turn of more than 60 degrees: 5 km/h
        {true, 50, 0, 100, 800},   // then up by 5 km/h a fix
        {false, 60, 0, 100, 100},  // from 6 km/h: up to 10 km/h
        {true, 100, 0, 100, 100},  // and no further
        {false, 20, 0, 70, 100},   // 2 km/h: 2 + 5
    };
    for (const Step& s : steps) {
        EXPECT_EQ(CMapMatcher::NextDeadReckonSpeed(s.previousDeadReckoned, s.previousSpeed, s.turn),
                  s.expected)
            << s.previousSpeed << " " << s.turn;
        EXPECT_EQ(CMapMatcher::DeadReckonSpeed(), s.programWide);
    }
}

TEST_F(TrackingTest, ResetClearsTheProgramWideValues) {
    CMapMatcher m(nullptr);
    CMapMatcher::SetCarried(17, true);
    CMapMatcher::NextDeadReckonSpeed(false, 900, 0);
    ASSERT_EQ(CMapMatcher::DeadReckonSpeed(), 900);
    m.Reset();
    EXPECT_EQ(CMapMatcher::CarriedDistance(), 0);
    EXPECT_FALSE(CMapMatcher::JunctionPassing());
    EXPECT_EQ(CMapMatcher::DeadReckonSpeed(), 100);
}

TEST_F(TrackingTest, JunctionNamesOfALinksEnds) {
    NetFixture net([](NetModel& m) {
        const int a = m.AddNode(kX0 + 6000, kRoadY), j = m.AddNode(kX0 + 18000, kRoadY, u"한빛사거리");
        m.AddLink(a, j, RoadType::NationalRoad);
        m.AddLink(j, m.AddNode(kX0 + 30000, kRoadY), RoadType::NationalRoad);
        const int k = m.AddNode(kX0 + 18000, kRoadY + 12000, u"가나다라마바사아자차카");
        m.AddLink(j, k, RoadType::NationalRoad);
        m.AddLink(k, m.AddNode(kX0 + 20000, kRoadY + 12000), RoadType::NationalRoad);
        m.AddLink(k, m.AddNode(kX0 + 16000, kRoadY + 12000), RoadType::NationalRoad);
    });
    CMapMatcher m(&net.reader);
    char name[32];
    ASSERT_EQ(m.GetJunctionName(0, 0, 0, name, sizeof name), 1);              // W's end node: J
    EXPECT_EQ(std::string(name), "\xc7\xd1\xba\xfb\xbb\xe7\xb0\xc5\xb8\xae"); // 한빛사거리 in CP949
    EXPECT_EQ(m.GetJunctionName(0, 0, 1, name, sizeof name), 0);              // W's start: a dead end
    EXPECT_EQ(m.GetJunctionName(0, 2, 0, name, sizeof name), 0); // N's end: its 22-byte name is refused
    EXPECT_EQ(m.GetJunctionName(0, 2, 1, name, sizeof name), 1); // N's start: J again
    EXPECT_EQ(m.GetJunctionName(0, 9, 0, name, sizeof name), 0); // no such link
}

} // namespace
