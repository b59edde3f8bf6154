// Link costs against values worked out by hand from the cost tables: speeds V of the profile
// give factors F = 60 / V, the unit cost is F x m2 x m1 (or 60 / v x m2 x m1 with a traffic
// speed v), and the cost is length x unit + turn cost.
#include "route/CostModel.h"
#include "route/tests/EngineFixture.h"
#include "traffic/receiver/tests/TrafficTestStore.h"

#include <gtest/gtest.h>

namespace {

using enginetest::LinkSpec;

struct Params {
    int type = 0, useTraffic = 0, variant = 0;
    float D = 2000.0f; // band 0
};

struct CostCase {
    const char* what;
    Params p;
    LinkSpec link;
    SearchDir dir;
    int guide;
    float expected;
};

LinkSpec Spec(int roadKind, int lanes, int linkType, int facility, int width = 0, int oneWay = 0) {
    LinkSpec s;
    s.roadKind = roadKind;
    s.lanes = lanes;
    s.linkType = linkType;
    s.facility = facility;
    s.width = width;
    s.oneWay = oneWay;
    return s;
}

RouteSearchState MakeState(const Params& p) {
    RouteSearchState s;
    s.Init(CostProfile(), 0);
    s.SetSearchParams(p.type, p.useTraffic, p.variant, 0);
    s.SetUpLeg(p.D);
    return s;
}

// Profile 0 (type 0, D <= 3000): F0 = F1 = F3 = F10 = 0.923077, F2 = 0.75, F4 = F5 = F7 = F11 = 1,
// F6 = F9 = F12 = 1.5, F8 = 1.2, F13 = 2, F14 = 6; K = 100, 60, 400, 40.
// Profile 1 (type 1 variant 0): F0 = F1 = 6, K = 50, 30, 140, 20.
// Profile 4 (type 1 variant 1): F0 = F1 = 4, F2..F13 = 1, F14 = 2; K all 0.
const Params kType0{};
const Params kType1{1, 0, 0};
const Params kVariant1{1, 0, 1};
const Params kType0Traffic{0, 1, 0};

TEST(LinkCost, MatchesHandComputedTable) {
    const SearchDir in = SearchDir::AtFirstEnd;
    const CostCase cases[] = {
        // Road kind 2 with lane value 9 halves F3: 1000 x 0.923077 x 0.5 + K4.
        {"kind 2 lanes 9", kType0, Spec(2, 9, 0, 3), in, 0, 501.54f},
        // Link type 4: m2 0.3; facility 3 keeps n = 9 (F3 x 0.5).
        {"ramp facility 3", kType0, Spec(2, 9, 4, 3), in, 0, 178.46f},
        // Link type 4, facility 5: n 2 -> 4, kind 4 takes F12 = 1.5 (not F13): 1000 x 1.5 x 0.3 + 40.
        {"ramp n + 2", kType0, Spec(4, 2, 4, 5), in, 0, 490.0f},
        // Link type 5, facility 1: m2 0.8; kind 0 facility 1 drops the turn, n < 4: F1 x 1.2.
        {"type 5 facility 1", kType0, Spec(0, 2, 5, 1), in, 120, 886.15f},
        // Link type 5, facility 1 on road kind 2: m2 1.3, F6 = 1.5.
        {"type 5 facility 1 kind 2", kType0, Spec(2, 2, 5, 1), in, 0, 1990.0f},
        // Link type 5, facility 3: m2 1.3; kind 3 (not facility 4), n 2: F13 = 2.
        {"type 5 facility 3", kType0, Spec(3, 2, 5, 3), in, 0, 2640.0f},
        // Link type 5, facility 2 on kind 1, both ways, n 4: m2 0.8; kind 1 drops the turn, F2 x 1.4.
        {"type 5 facility 2 n 4", kType0, Spec(1, 4, 5, 2), in, 12, 840.0f},
        // The same with n 2: m2 1.1, F2 x 1.6.
        {"type 5 facility 2 n 2", kType0, Spec(1, 2, 5, 2), in, 12, 1320.0f},
        // Facility 6 on a one-way kind 1 link: m2 1.1; n 6: F2.
        {"type 5 facility 6 one-way", kType0, Spec(1, 6, 5, 6, 0, 1), in, 0, 825.0f},
        // Traffic on: m2 1.6 and F13 = 6.
        {"type 5 traffic on", kType0Traffic, Spec(3, 2, 5, 3), in, 0, 9640.0f},
        // Link types 3 and 6 on a town street (F12 = 1.5): m2 1.2 and 1.8.
        {"link type 3", kType0, Spec(5, 1, 3, 5), in, 0, 1840.0f},
        {"link type 6", kType0, Spec(5, 1, 6, 5), in, 0, 2740.0f},
        // Link type 3, facility 1, search type 1: F0 = 60 x 0.06666667 = 4 (not 6), m2 1.2.
        {"link type 3 facility 1 type 1", kType1, Spec(0, 6, 3, 1), in, 0, 4800.0f},
        // Width class 4: m1 1.0 with facility 1, 2 and 6, 1.4 otherwise; classes 1-3 m1 0.8.
        {"width 4 facility 1", kType0, Spec(0, 6, 0, 1, 4), in, 0, 923.08f},
        {"width 4 facility 2", kType0, Spec(1, 6, 0, 2, 4), in, 0, 750.0f},
        {"width 4 facility 6", kType0, Spec(4, 6, 0, 6, 4), in, 0, 1040.0f},
        {"width 4 facility 3", kType0, Spec(2, 2, 0, 3, 4), in, 0, 2140.0f},
        {"width 2", kType0, Spec(2, 2, 0, 3, 2), in, 0, 1240.0f},
        // Link type 2 (divided): n 2 -> 4, m1 x 0.8; kind 0 facility 1, n 4: F1.
        {"divided expressway", kType0, Spec(0, 2, 2, 1), in, 0, 738.46f},
        // Facility 1 with n < 2: n := 3, F1 x 1.2.
        {"expressway one lane", kType0, Spec(0, 1, 0, 1), in, 0, 1107.69f},
        // Variant 1: lane 9 -> 8 (no halving) and m1 0.9 in place of 1.4: F3 = 1 x 0.9, K4 0.
        {"variant 1 lane remap", kVariant1, Spec(2, 9, 0, 3, 4), in, 0, 900.0f},
        // Variant 1, link type 2: n 4 -> 8, no m1 x 0.8, m1 0.9.
        {"variant 1 divided", kVariant1, Spec(2, 4, 2, 3), in, 0, 900.0f},
        // Variant 1, link type 2 with n 9: 18 / 2 is 9 -> 8.
        {"variant 1 n / 2 is 9", kVariant1, Spec(2, 9, 2, 3), in, 0, 900.0f},
        // Turn costs by guide code on a town street (1500 for the link).
        {"code 12", kType0, Spec(5, 1, 0, 5), in, 12, 1600.0f},
        {"code 25", kType0, Spec(5, 1, 0, 5), in, 25, 1600.0f},
        {"code 13", kType0, Spec(5, 1, 0, 5), in, 13, 1560.0f},
        {"code 19", kType0, Spec(5, 1, 0, 5), in, 19, 1560.0f},
        {"code 14", kType0, Spec(5, 1, 0, 5), in, 14, 1900.0f},
        {"code 120", kType0, Spec(5, 1, 0, 5), in, 120, 3500.0f},
        {"code 15", kType0, Spec(5, 1, 0, 5), in, 15, 1540.0f},
        {"code 21", kType0, Spec(5, 1, 0, 5), in, 21, 1540.0f},
        {"no code", kType0, Spec(5, 1, 0, 5), in, -1, 1540.0f},
        // Rows that drop the turn cost: kind 0 facility 1 and kind 1 outside facilities 3-5.
        {"kind 0 facility 1 no turn", kType0, Spec(0, 6, 0, 1), in, 120, 923.08f},
        {"kind 1 facility 2 no turn", kType0, Spec(1, 6, 0, 2), in, 120, 750.0f},
        {"kind 1 facility 4 keeps turn", kType0, Spec(1, 2, 0, 4), in, 120, 3500.0f},
        // Traffic on without a speed: F14 = 20, but road kind 7 uses 6.
        {"traffic kind 6 one lane", kType0Traffic, Spec(6, 1, 0, 5), in, 0, 20040.0f},
        {"traffic kind 7", kType0Traffic, Spec(7, 1, 0, 5), in, 0, 6040.0f},
        // Search type 1 with traffic on: an expressway link costs as at 5 km/h, m1 0.8 (type 2).
        {"type 1 expressway at 5", Params{1, 1, 0}, Spec(0, 2, 2, 1), in, 0, 9620.0f},
    };
    for (const CostCase& c : cases) {
        RouteSearchState s = MakeState(c.p);
        auto rec = c.link.Bytes();
        EXPECT_NEAR(s.LinkCost(rec.data(), c.dir, c.guide), c.expected, 0.05f) << c.what;
    }
}

class TrafficCost : public ::testing::Test {
protected:
    void SetUp() override { traffictest::OpenStore(); }
    void TearDown() override { traffictest::CloseStore(); }
};

TEST_F(TrafficCost, SpeedOfTheTravelDirection) {
    traffictest::SetSpeed(7, 5);
    LinkSpec street = Spec(5, 1, 0, 5);
    street.trafficForward = 7;
    street.trafficBackward = 8;
    auto rec = street.Bytes();
    RouteSearchState s = MakeState(kType0Traffic);
    // Entering at the first end: index at byte 24, v = 5: 1000 x 60 / 5 + 40.
    EXPECT_NEAR(s.LinkCost(rec.data(), SearchDir::AtFirstEnd, 0), 12040.0f, 0.05f);
    // The other way: index 8 has no speed, F12 = 1.5.
    EXPECT_NEAR(s.LinkCost(rec.data(), SearchDir::AtSecondEnd, 0), 1540.0f, 0.05f);
    // With traffic off the speed is not asked for.
    RouteSearchState off = MakeState(kType0);
    EXPECT_NEAR(off.LinkCost(rec.data(), SearchDir::AtFirstEnd, 0), 1540.0f, 0.05f);
}

TEST_F(TrafficCost, SpeedAdjustments) {
    struct Case {
        const char* what;
        std::uint8_t speed;
        LinkSpec link;
        float expected;
    } cases[] = {
        // Facility 2: 50 + trunc(15) = 65; kind 1 facility 2: 1000 x 60 / 65 + 40.
        {"facility 2 raised", 50, Spec(1, 6, 0, 2), 963.08f},
        // Facility 6: 200 + 60 = 260, capped at 254.
        {"facility 6 capped", 200, Spec(4, 6, 0, 6), 276.22f},
        // Facility 5 is not raised: 60 / 50.
        {"facility 5 as broadcast", 50, Spec(5, 1, 0, 5), 1240.0f},
        // 255 means no speed: the road-kind factor F12 applies.
        {"255 is none", 255, Spec(5, 1, 0, 5), 1540.0f},
    };
    for (const Case& c : cases) {
        traffictest::SetSpeed(3, c.speed);
        LinkSpec l = c.link;
        l.trafficForward = 3;
        auto rec = l.Bytes();
        RouteSearchState s = MakeState(kType0Traffic);
        EXPECT_NEAR(s.LinkCost(rec.data(), SearchDir::AtFirstEnd, 0), c.expected, 0.05f) << c.what;
    }
}

TEST(CostModel, ClosedAndUnroutableLinksAreNeverAdmitted) {
    RouteSearchState s = MakeState(kType0);
    struct Case {
        LinkSpec link;
        std::uint16_t node;
        bool forward, admitted;
    } cases[] = {
        {Spec(5, 1, 0, 5, 0, 3), 0, true, false}, // one-way 3
        {Spec(5, 1, 0, 5, 0, 3), 1, false, false},
        {Spec(5, 1, 0, 7, 0, 0), 0, true, false}, // facility kind 7
        {Spec(5, 1, 0, 7, 0, 0), 1, false, false},
        {Spec(5, 1, 0, 5, 0, 1), 0, true, true},  // leaving the first end of a 1-way link
        {Spec(5, 1, 0, 5, 0, 1), 1, true, false}, // leaving its second end
        {Spec(5, 1, 0, 5, 0, 1), 1, false, true}, // backward: the car arrives at the second end
        {Spec(5, 1, 0, 5, 0, 1), 0, false, false},
        {Spec(5, 1, 0, 5, 0, 2), 0, true, false},
        {Spec(5, 1, 0, 5, 0, 2), 1, true, true},
        {Spec(5, 1, 0, 5, 0, 2), 0, false, true},
        {Spec(5, 1, 0, 5, 0, 2), 1, false, false},
    };
    for (const Case& c : cases) {
        auto rec = c.link.Bytes();
        EXPECT_EQ(s.Admit(rec.data(), c.node, c.forward), c.admitted)
            << "one-way " << c.link.oneWay << " facility " << c.link.facility << " node " << c.node;
    }
}

TEST(CostModel, ProfilesByBandAndKind) {
    RouteSearchState s;
    s.Init(CostProfile(), 0);
    struct Case {
        int type, variant;
        float D;
        int index;
        float w;
        std::int32_t V0, T3;
    } cases[] = {
        {0, 0, 3000.0f, 0, 0.6f, 65, 40000},    {1, 0, 3000.1f, 6, 0.8f, 10, 40000},
        {2, 0, 30000.0f, 12, 0.8f, 75, 40000},  {3, 0, 119999.0f, 18, 0.8f, 80, 60000},
        {1, 1, 120000.0f, 24, 1.0f, 15, 40000}, {3, 0, 20000.0f, 13, 0.8f, 85, 60000},
    };
    for (const Case& c : cases) {
        s.SetSearchParams(c.type, 0, c.variant, 0);
        s.SetUpLeg(c.D);
        EXPECT_EQ(s.ProfileIndex(c.D), c.index);
        EXPECT_FLOAT_EQ(s.Weight(), c.w);
        EXPECT_EQ(s.Profile().V[0], c.V0);
        EXPECT_EQ(s.Profile().T[3], c.T3);
    }
    // Level floor and meeting level by leg distance.
    s.SetSearchParams(0, 0, 0, 0);
    s.SetUpLeg(3000.0f);
    EXPECT_EQ(s.LevelFloor(), 3);
    EXPECT_EQ(s.MeetingLevel(), 3);
    s.SetUpLeg(30000.0f);
    EXPECT_EQ(s.LevelFloor(), 2);
    s.SetUpLeg(30001.0f);
    EXPECT_EQ(s.LevelFloor(), 1);
    EXPECT_EQ(s.MeetingLevel(), 2);
}

TEST(CostModel, LevelSwitchNarrowsToBiggerRoads) {
    RouteSearchState s = MakeState(Params{0, 0, 0, 50000.0f}); // T = 5000, 10000, 20000
    auto national = Spec(2, 2, 0, 3).Bytes();                  // level 1
    auto town = Spec(5, 1, 0, 5).Bytes();                      // level 2
    auto alley = Spec(7, 1, 0, 5).Bytes();                     // level 3
    s.LevelSwitch(100.0f);                                     // the first call only marks level 3 done
    EXPECT_EQ(s.LevelInForce(), 3);
    // Two level-2 links seen from alleys, then a node 6 km out: level 2.
    s.CountLink(3, town.data());
    s.LevelSwitch(6000.0f);
    EXPECT_EQ(s.LevelInForce(), 3) << "one link is not enough";
    s.CountLink(3, town.data());
    s.LevelSwitch(6000.0f);
    EXPECT_EQ(s.LevelInForce(), 2);
    EXPECT_FALSE(s.LevelAllows(alley.data()));
    EXPECT_TRUE(s.LevelAllows(town.data()));
    // Fifteen level-1 links: level 1 once beyond T2 / 2, and switching freezes.
    for (int i = 0; i < 15; ++i) s.CountLink(2, national.data());
    s.LevelSwitch(9000.0f);
    EXPECT_EQ(s.LevelInForce(), 2);
    s.LevelSwitch(10001.0f);
    EXPECT_EQ(s.LevelInForce(), 1);
    EXPECT_TRUE(s.Frozen());
    EXPECT_FALSE(s.LevelAllows(town.data()));
}

TEST(CostModel, FrozenLevelsKeepEveryRoadKind) {
    RouteSearchState s = MakeState(Params{0, 0, 0, 2000.0f});
    s.FreezeLevels();
    for (int i = 0; i < 20; ++i) s.CountLink(3, Spec(2, 2, 0, 3).Bytes().data());
    s.LevelSwitch(1.0f);
    s.LevelSwitch(20000.0f);
    EXPECT_EQ(s.LevelInForce(), 3);
    for (int kind = 0; kind < 8; ++kind) EXPECT_TRUE(s.LevelAllows(Spec(kind, 1, 0, 5).Bytes().data()));
}

TEST(CostModel, CorridorKeepsEverythingOnShortLegsAndPrunesLongOnes) {
    RouteSearchState near = MakeState(Params{0, 0, 0, 2500.0f});
    EXPECT_TRUE(near.Corridor(100.0f, 1.0e6f, 7, 2000));
    // Type 0, D = 200 km: far behind the start with the target close by elsewhere.
    RouteSearchState far = MakeState(Params{0, 0, 0, 200000.0f});
    EXPECT_TRUE(far.Corridor(1000.0f, 199000.0f, 5, 10)) << "fewer than 20 queued: kept";
    // G becomes 100 km (< 0.7 D), a candidate 190 km from the target on road kind 5: dropped.
    EXPECT_TRUE(far.Corridor(100000.0f, 100000.0f, 2, 50));
    EXPECT_FALSE(far.Corridor(30000.0f, 190000.0f, 5, 50));
    EXPECT_TRUE(far.Corridor(30000.0f, 150000.0f, 1, 50));
}

} // namespace
