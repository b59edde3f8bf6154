// The limits that end a search: a full open queue, the engine-memory guard and the route path
// buffer. Each failure returns its code once (the pending code is taken, not left behind) and
// leaves no route; with the limit back at its value the same search succeeds.
#include "route/RoutePlan.h"
#include "route/base/ErrorLog.h"
#include "route/tests/EngineFixture.h"

#include <gtest/gtest.h>

namespace {

using enginetest::Km;
using enginetest::TempDevice;
using mkdev::NetModel;
using mkdev::NetPoint;
using mkdev::RoadType;

// On national road 43 south of the interchange and on national road 3 north of the expressway's
// west end of the sample region: a long search over three sheets, through pass-through nodes.
const NetPoint kSouth43 = Km(11.85, 6.0), kNorth3 = Km(1.2, 10.5);

class SampleRegionLimits : public ::testing::Test {
protected:
    static void SetUpTestSuite() { device = new TempDevice(mkdev::BuildSampleRegion()); }
    static void TearDownTestSuite() {
        delete device;
        device = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
        engine.SetSearchParams(0, 0, 0, 0);
        ASSERT_GT(engine.SetPoint(0, kSouth43.x, kSouth43.y).result, 0);
        ASSERT_GT(engine.SetPoint(1, kNorth3.x, kNorth3.y).result, 0);
    }
    void TearDown() override {
        EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0) << "a pending code was left";
    }

    static TempDevice* device;
    CRoutePlan engine;
};

TempDevice* SampleRegionLimits::device = nullptr;

TEST_F(SampleRegionLimits, RefusedPushFailsTheSearchWith2) {
    // The start node is popped at once; its first expansion pushes at least two candidates (the
    // start lies on a two-way national road), so a queue of one refuses the second of them.
    engine.SetQueueLimitForTest(1);
    EXPECT_EQ(engine.Search(), CRoutePlan::kInternal);
    EXPECT_TRUE(engine.RoutePath().empty());
    EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0) << "returned, then reset";

    engine.SetQueueLimitForTest(NodeQueue::kPositions - 1);
    ASSERT_EQ(engine.Search(), CRoutePlan::kFound);
    EXPECT_FALSE(engine.RoutePath().empty());
}

TEST_F(SampleRegionLimits, MemoryGuardFailsTheSearchWith2) {
    // From the first plain node on, the engine holds at least the fixed 100,768 bytes and the
    // node pool's first block of 10,000 x 20 bytes: 300,768 bytes = 0.2868 MB. The cost tables and
    // the cached blocks come on top, so a guard at exactly that floor is already exceeded.
    const double floorMB = (100768.0 + 200000.0) / 1048576.0;
    struct Case {
        const char* what;
        double guardMB;
        int code;
    } cases[] = {
        {"below the fixed bytes and the pool", 0.25, CRoutePlan::kInternal},
        {"at the fixed bytes and the pool", floorMB, CRoutePlan::kInternal},
        {"the engine's own 6 MB", CRoutePlan::kMemoryGuardMB, CRoutePlan::kFound},
    };
    for (const Case& c : cases) {
        engine.SetMemoryGuardForTest(c.guardMB);
        EXPECT_EQ(engine.Search(), c.code) << c.what;
        EXPECT_EQ(engine.RoutePath().empty(), c.code != CRoutePlan::kFound) << c.what;
        EXPECT_GT(engine.PeakMemoryMB(), floorMB) << c.what;
        EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0) << "returned, then reset: " << c.what;
    }
    EXPECT_TRUE(engine.LastLegLong());
    EXPECT_LE(engine.PeakMemoryMB(), CRoutePlan::kMemoryGuardMB);
}

// A straight chain of links 4 x units (1.1 m, stored as 2 m) long, dead ends at both ends, in one
// sheet.
NetModel Chain(int links) {
    NetModel m;
    NetPoint o = Km(1.0, 1.0);
    int prev = m.AddNode(o.x, o.y);
    for (int i = 1; i <= links; ++i) {
        int next = m.AddNode(o.x + 4 * i, o.y);
        m.AddLink(prev, next, RoadType::TownStreet);
        prev = next;
    }
    return m;
}

// Beside link k (1-based) of the chain, near its second node.
NetPoint OnLink(int k) {
    NetPoint o = Km(1.0, 1.0);
    return {o.x + 4 * (k - 1) + 3, o.y};
}

TEST(RoutePathLimit, ARouteOfMoreThan7000ItemsFailsWith2) {
    // Start on the first link, waypoints a third and two thirds along, goal on the last link:
    // three legs of fewer than 3,000 items each. The goal on the dead-end last link is kept at
    // the node before the dead end (its link is the one before the last), and the last leg ends
    // at that node, so a chain of L links gives a route of L - 1 items, every link from the first
    // to the goal's once (each later leg drops its first item, the waypoint's link again).
    struct Case {
        int links;
        int code;
    } cases[] = {{7001, CRoutePlan::kFound}, {7002, CRoutePlan::kInternal}};
    for (const Case& c : cases) {
        TempDevice dev(Chain(c.links));
        CRoutePlan engine;
        ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
        engine.SetSearchParams(0, 0, 0, 0);
        const int w1 = c.links / 3, w2 = 2 * c.links / 3;
        CRoutePlan::PointResult start = engine.SetPoint(0, OnLink(1).x, OnLink(1).y);
        CRoutePlan::PointResult goal = engine.SetPoint(1, OnLink(c.links).x, OnLink(c.links).y);
        ASSERT_GT(start.result, 0);
        ASSERT_GT(goal.result, 0);
        ASSERT_EQ(start.pos.linkId, 0);
        ASSERT_EQ(goal.pos.linkId, c.links - 2);
        for (int k : {w1, w2}) {
            CRoutePlan::PointResult w = engine.SetPoint(2, OnLink(k).x, OnLink(k).y);
            ASSERT_GT(w.result, 0) << k;
            ASSERT_EQ(engine.SetPointRecord(2, w.pos, OnLink(k).x, OnLink(k).y), 1) << k;
        }
        EXPECT_EQ(engine.Search(), c.code) << c.links;
        if (c.code == CRoutePlan::kFound) {
            const std::vector<PathItem>& path = engine.RoutePath();
            ASSERT_EQ(path.size(), 7000u);
            for (std::size_t i = 0; i < path.size(); ++i) ASSERT_EQ(path[i].linkId, i) << "item " << i;
        } else {
            EXPECT_TRUE(engine.RoutePath().empty()) << c.links;
        }
        EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0) << "returned, then reset";
    }
}

TEST(RoutePathLimit, ALaterLegThatFailsLeavesNoRoute) {
    // The first leg (start to waypoint, along the chain) is found; the second cannot reach the
    // goal on a street of its own 300 m north of the chain.
    NetModel m = Chain(100);
    const NetPoint far0 = Km(1.0, 1.3), far1 = Km(1.1, 1.3);
    m.AddLink(m.AddNode(far0.x, far0.y), m.AddNode(far1.x, far1.y), RoadType::TownStreet);
    TempDevice dev(std::move(m));
    CRoutePlan engine;
    ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
    engine.SetSearchParams(0, 0, 0, 0);
    ASSERT_GT(engine.SetPoint(0, OnLink(1).x, OnLink(1).y).result, 0);
    ASSERT_GT(engine.SetPoint(1, (far0.x + far1.x) / 2, far0.y).result, 0);
    CRoutePlan::PointResult w = engine.SetPoint(2, OnLink(50).x, OnLink(50).y);
    ASSERT_GT(w.result, 0);
    ASSERT_EQ(engine.SetPointRecord(2, w.pos, OnLink(50).x, OnLink(50).y), 1);
    EXPECT_EQ(engine.Search(), CRoutePlan::kNoExpansion);
    EXPECT_TRUE(engine.RoutePath().empty()) << "the first leg alone is no route";
    EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0) << "returned, then reset";
}

} // namespace
