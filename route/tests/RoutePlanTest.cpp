// The engine's life cycle and driver: coordinate pair, point setters, point checks, result
// codes of the driver, the leg-distance boundary between the two searches, and the limits.
#include "route/EngineList.h"
#include "route/RoutePlan.h"
#include "route/base/ErrorLog.h"
#include "route/tests/EngineFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using enginetest::Km;
using enginetest::TempDevice;
using mkdev::NetModel;
using mkdev::NetPoint;
using mkdev::RoadType;

TEST(EngineCoords, MapToNetAndBack) {
    std::int32_t X = 0, Y = 0;
    CRoutePlan::MapToNetCoord(0, 0, X, Y);
    EXPECT_EQ(X, 45000000);
    EXPECT_EQ(Y, 11910000);
    // t = trunc(100 x 0.8333) = 83, X = trunc(83 x 4.5) + 45000000; Y = 300 + 11910000.
    CRoutePlan::MapToNetCoord(100, 100, X, Y);
    EXPECT_EQ(X, 45000373);
    EXPECT_EQ(Y, 11910300);
    // Back: trunc(373 / 4.5) = 82, trunc(82 x 1.2) = 98; 300 / 3 = 100. Not the point it came from.
    std::int32_t x = 0, y = 0;
    CRoutePlan::NetToMapCoord(X, Y, x, y);
    EXPECT_EQ(x, 98);
    EXPECT_EQ(y, 100);
}

TEST(NodeQueue, HoldsAtMost2999AndPopsSmallestKeyFirst) {
    NodeQueue q;
    q.Init();
    SearchNode n;
    for (int i = 0; i < 2999; ++i) {
        n.key = static_cast<std::uint32_t>((i * 7919) % 2999); // every key 0..2998 once
        n.self = i;
        ASSERT_EQ(q.Push(n), 1) << i;
    }
    n.key = 0;
    EXPECT_EQ(q.Push(n), 0) << "the 3,000th push is refused";
    EXPECT_EQ(q.Size(), 2999);
    SearchNode out;
    for (std::uint32_t k = 0; k < 2999; ++k) {
        ASSERT_TRUE(q.Pop(out));
        EXPECT_EQ(out.key, k);
    }
    EXPECT_FALSE(q.Pop(out));
}

TEST(NodeQueue, EqualKeysKeepTheLeftChild) {
    NodeQueue q;
    q.Init();
    SearchNode n;
    // Heap after pushes: [1] key 1, [2] key 5 (self 2), [3] key 5 (self 3), [4] key 9.
    const std::pair<std::uint32_t, int> pushes[] = {{1, 1}, {5, 2}, {5, 3}, {9, 4}};
    for (auto [key, self] : pushes) {
        n.key = key;
        n.self = self;
        q.Push(n);
    }
    SearchNode out;
    ASSERT_TRUE(q.Pop(out));
    EXPECT_EQ(out.self, 1);
    ASSERT_TRUE(q.Pop(out));
    EXPECT_EQ(out.self, 2) << "of two equal children the left one comes up";
}

TEST(EngineLists, MapIdsAreDistinctAndAtMost16) {
    MapIdList ids;
    EXPECT_EQ(ids.At(0), -1) << "nothing held";
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(ids.Add(100 + i));
    EXPECT_FALSE(ids.Add(200)) << "a 17th id";
    EXPECT_FALSE(ids.Add(105)) << "a duplicate";
    EXPECT_EQ(ids.Count(), 16);
    EXPECT_EQ(ids.Find(105), 5);
    EXPECT_EQ(ids.Find(200), -1);
    EXPECT_EQ(ids.At(15), 115);
    EXPECT_EQ(ids.At(16), -1);
}

TEST(EngineLists, ListKeepsInsertionOrderOnThePrivateHeap) {
    HANDLE heap = HeapCreate(0, 4096, 0);
    {
        List list(heap);
        for (std::uint32_t v : {7u, 0x00010002u, 3u}) EXPECT_TRUE(list.Add(v));
        std::vector<std::uint32_t> seen;
        list.ForEach([&](std::uint32_t v) { seen.push_back(v); });
        EXPECT_EQ(seen, (std::vector<std::uint32_t>{7u, 0x00010002u, 3u}));
        list.Clear();
        EXPECT_EQ(list.Count(), 0);
        EXPECT_TRUE(list.Add(9));
        EXPECT_EQ(list.Count(), 1);
    }
    HeapDestroy(heap);
    List noHeap;
    EXPECT_FALSE(noHeap.Add(1));
}

// A 3 x 3 street grid (island A), one street 1.5 km east of it and one 6 km away (islands B, C).
struct Islands {
    NetPoint A(int c, int r) const { return Km(1.0 + 0.5 * c, 1.0 + 0.5 * r); }
    NetPoint b0 = Km(3.5, 1.5), b1 = Km(3.9, 1.5);
    NetPoint c0 = Km(8.0, 7.5), c1 = Km(8.5, 7.5);
    NetModel Build() const {
        NetModel m;
        int g[3][3];
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < 3; ++r) g[c][r] = m.AddNode(A(c, r).x, A(c, r).y);
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < 3; ++r) {
                if (c + 1 < 3) m.AddLink(g[c][r], g[c + 1][r], RoadType::TownStreet);
                if (r + 1 < 3) m.AddLink(g[c][r], g[c][r + 1], RoadType::TownStreet);
            }
        m.AddLink(m.AddNode(b0.x, b0.y), m.AddNode(b1.x, b1.y), RoadType::TownStreet);
        m.AddLink(m.AddNode(c0.x, c0.y), m.AddNode(c1.x, c1.y), RoadType::TownStreet);
        return m;
    }
};

NetPoint Mid(NetPoint a, NetPoint b, double t = 0.3) {
    return {a.x + static_cast<std::int32_t>((b.x - a.x) * t),
            a.y + static_cast<std::int32_t>((b.y - a.y) * t)};
}

class RoutePlanEngine : public ::testing::Test {
protected:
    void SetUp() override {
        dev = std::make_unique<TempDevice>(net.Build());
        ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
        engine.SetSearchParams(0, 0, 0, 0);
    }
    LinkPos Attach(int kind, NetPoint p) {
        CRoutePlan::PointResult r = engine.SetPoint(kind, p.x, p.y);
        EXPECT_GT(r.result, 0);
        return r.pos;
    }
    void TearDown() override {
        EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0) << "a pending code was left";
    }

    Islands net;
    std::unique_ptr<TempDevice> dev;
    CRoutePlan engine;
};

TEST_F(RoutePlanEngine, InitFailsWithoutANetwork) {
    CRoutePlan other;
    EXPECT_EQ(other.Init(u"\\NoSuchFolder"), 0);
    EXPECT_EQ(other.Search(), CRoutePlan::kInternal);
}

TEST_F(RoutePlanEngine, FindsARouteAndItsPathStartsOnTheStartLink) {
    LinkPos s = Attach(0, Mid(net.A(0, 0), net.A(1, 0)));
    LinkPos g = Attach(1, Mid(net.A(2, 2), net.A(2, 1)));
    ASSERT_EQ(engine.Search(), CRoutePlan::kFound);
    const auto& path = engine.RoutePath();
    ASSERT_GE(path.size(), 2u);
    EXPECT_EQ(path.front().linkId, s.linkId);
    EXPECT_EQ(path.front().nodeId, s.nodeId);
    EXPECT_TRUE(path.back().nodeId == g.nodeId || path.back().linkId == g.linkId);
    EXPECT_FALSE(engine.LastLegLong());
}

TEST_F(RoutePlanEngine, ASearchLeavesTheCacheSwitchesOn) {
    Attach(0, Mid(net.A(0, 0), net.A(1, 0)));
    Attach(1, Mid(net.A(2, 2), net.A(2, 1)));
    // Switches a search turned off (the cost model turns guide tables off on long legs).
    engine.Cache().SetEnabled(RpCache::kGuides, 0);
    engine.Cache().SetEnabled(RpCache::kExNodes, 0);
    ASSERT_EQ(engine.Search(), CRoutePlan::kFound);
    for (int k = 0; k < RpCache::kKindCount; ++k) EXPECT_EQ(engine.Cache().Enabled(k), 1) << k;
}

TEST_F(RoutePlanEngine, PointChecksBeforeAnySearch) {
    LinkPos p = Attach(0, Mid(net.A(0, 0), net.A(1, 0)));
    // No goal yet.
    EXPECT_EQ(engine.Search(), CRoutePlan::kNoGoal);
    // Start equal to goal without waypoints.
    ASSERT_EQ(engine.SetPointRecord(0, p, p.x, p.y), 1);
    ASSERT_EQ(engine.SetPointRecord(1, p, p.x, p.y), 1);
    EXPECT_EQ(engine.Search(), CRoutePlan::kRepeatedPoint);
    EXPECT_TRUE(engine.RoutePath().empty());
    // The same start and goal with a waypoint between: a round trip.
    LinkPos w = engine.SetPoint(2, Mid(net.A(2, 2), net.A(1, 2)).x, Mid(net.A(2, 2), net.A(1, 2)).y).pos;
    ASSERT_EQ(engine.SetPointRecord(2, w, w.x, w.y), 1);
    EXPECT_EQ(engine.Search(), CRoutePlan::kFound);
    // Two equal waypoints.
    ASSERT_EQ(engine.SetPointRecord(2, w, w.x, w.y), 1);
    EXPECT_EQ(engine.Search(), CRoutePlan::kRepeatedPoint);
    // No start at all.
    engine.Release();
    engine.SetSearchParams(0, 0, 0, 0);
    Attach(1, Mid(net.A(2, 2), net.A(2, 1)));
    EXPECT_EQ(engine.Search(), CRoutePlan::kNoStart);
}

TEST_F(RoutePlanEngine, WaypointsAreAttachedThenStoredByTheCaller) {
    NetPoint p = Mid(net.A(1, 1), net.A(1, 2));
    CRoutePlan::PointResult r = engine.SetPoint(2, p.x, p.y);
    EXPECT_GT(r.result, 0);
    EXPECT_TRUE(r.pos.IsSet());
    EXPECT_EQ(engine.Points().WaypointCount(), 0) << "attaching does not store";
    for (int i = 0; i < PointManage::kMaxWaypoints; ++i) {
        LinkPos w = r.pos;
        w.x += i; // five different waypoints
        EXPECT_EQ(engine.SetPointRecord(2, w, w.x, w.y), 1);
    }
    EXPECT_EQ(engine.SetPointRecord(2, r.pos, p.x, p.y), 0) << "a sixth is refused";
    EXPECT_EQ(engine.Points().WaypointCount(), 5);
    EXPECT_EQ(engine.SelectLeg(5), 1);
    EXPECT_EQ(engine.SelectLeg(6), 0);
    engine.ClearWaypoints();
    EXPECT_EQ(engine.Points().WaypointCount(), 0);
    EXPECT_EQ(engine.SelectLeg(1), 0);
}

TEST_F(RoutePlanEngine, UnreachableGoalsReport39) {
    struct Case {
        const char* what;
        NetPoint from, to;
        bool longSearch;
    } cases[] = {
        {"short, into the near island", Mid(net.A(1, 1), net.A(2, 1)), Mid(net.b0, net.b1), false},
        {"short, out of the near island", Mid(net.b0, net.b1), Mid(net.A(1, 1), net.A(2, 1)), false},
        {"long, into the far island", Mid(net.A(1, 1), net.A(2, 1)), Mid(net.c0, net.c1), true},
        {"long, out of the far island", Mid(net.c0, net.c1), Mid(net.A(1, 1), net.A(2, 1)), true},
    };
    for (const Case& c : cases) {
        engine.Release();
        engine.SetSearchParams(0, 0, 0, 0);
        Attach(0, c.from);
        Attach(1, c.to);
        EXPECT_EQ(engine.Search(), CRoutePlan::kNoExpansion) << c.what;
        EXPECT_EQ(engine.LastLegLong(), c.longSearch) << c.what;
        EXPECT_TRUE(engine.RoutePath().empty()) << c.what;
        EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0) << "returned, then reset";
    }
}

// Leg distance as the search defines it, evaluated independently (float, left to right).
float LegDistance(std::int32_t dxUnits, std::int32_t dyUnits) {
    float dx = static_cast<float>(dxUnits) * (27654.0f + 27654.0f) * 1e-5f * 0.5f;
    float dy = static_cast<float>(dyUnits) * 0.30879f;
    return std::sqrt(dx * dx + dy * dy);
}

TEST_F(RoutePlanEngine, ExactlyThreeKilometresTakesTheLongSearch) {
    // Offsets whose distance is exactly 3000.0 and one just under it.
    std::int32_t exactDx = -1, exactDy = -1, underDx = -1, underDy = -1;
    for (std::int32_t dx = 3000; dx < 10000 && exactDx < 0; ++dx) {
        float rest = 3000.0f * 3000.0f - (dx * 0.27654f) * (dx * 0.27654f);
        if (rest <= 0) break;
        std::int32_t around = static_cast<std::int32_t>(std::sqrt(rest) / 0.30879f);
        for (std::int32_t dy = around - 2; dy <= around + 2; ++dy) {
            float d = LegDistance(dx, dy);
            if (d == 3000.0f && exactDx < 0) exactDx = dx, exactDy = dy;
            if (d < 3000.0f && d > 2999.8f) underDx = dx, underDy = dy;
        }
    }
    ASSERT_GE(exactDx, 0) << "no offset at exactly 3000 m";
    ASSERT_GE(underDx, 0);
    LinkPos s = Attach(0, Mid(net.A(0, 0), net.A(1, 0)));
    LinkPos g = Attach(1, Mid(net.A(2, 2), net.A(2, 1)));
    struct Case {
        std::int32_t dx, dy;
        bool longSearch;
    } cases[] = {{exactDx, exactDy, true}, {underDx, underDy, false}};
    for (const Case& c : cases) {
        LinkPos goal = g;
        goal.x = s.x + c.dx;
        goal.y = s.y + c.dy;
        ASSERT_EQ(engine.SetPointRecord(1, goal, goal.x, goal.y), 1);
        EXPECT_EQ(engine.Search(), CRoutePlan::kFound);
        EXPECT_EQ(engine.LastLegLong(), c.longSearch) << engine.LastLegDistance();
        ASSERT_FALSE(engine.RoutePath().empty());
        EXPECT_EQ(engine.RoutePath().back().linkId, g.linkId);
    }
}

TEST_F(RoutePlanEngine, NodePoolFullFailsWith17AndTheCodeIsReset) {
    Attach(0, Mid(net.A(0, 0), net.A(1, 0)));
    Attach(1, Mid(net.A(2, 2), net.A(2, 1)));
    engine.SetLimitsForTest(CRoutePlan::kMaxVisits, 3);
    EXPECT_EQ(engine.Search(), CRoutePlan::kOutOfMemory);
    EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0);
    engine.SetLimitsForTest(CRoutePlan::kMaxVisits, NodePool::kCapacity);
    EXPECT_EQ(engine.Search(), CRoutePlan::kFound);
}

TEST_F(RoutePlanEngine, UnreadableStartFailsWith2) {
    LinkPos s = Attach(0, Mid(net.A(0, 0), net.A(1, 0)));
    Attach(1, Mid(net.A(2, 2), net.A(2, 1)));
    struct Case {
        const char* what;
        std::uint16_t link, node;
    } cases[] = {{"node beyond the map", s.linkId, 60000}, {"link beyond the map", 8000, s.nodeId}};
    for (const Case& c : cases) {
        LinkPos bad = s;
        bad.linkId = c.link;
        bad.nodeId = c.node;
        ASSERT_EQ(engine.SetPointRecord(0, bad, bad.x, bad.y), 1);
        EXPECT_EQ(engine.Search(), CRoutePlan::kInternal) << c.what;
        EXPECT_TRUE(engine.RoutePath().empty()) << c.what;
    }
}

// A straight chain of links 5 x units (2 m) long, dead ends at both ends.
NetModel Chain(int links) {
    NetModel m;
    NetPoint o = Km(1.0, 1.0);
    int prev = m.AddNode(o.x, o.y);
    for (int i = 1; i <= links; ++i) {
        int next = m.AddNode(o.x + 5 * i, o.y);
        m.AddLink(prev, next, RoadType::TownStreet);
        prev = next;
    }
    return m;
}

TEST(LegPathLimit, ALegOfMoreThan3000ItemsFailsWith2) {
    struct Case {
        int links;
        int code;
    } cases[] = {{3000, CRoutePlan::kFound}, {3001, CRoutePlan::kInternal}};
    for (const Case& c : cases) {
        TempDevice dev(Chain(c.links));
        CRoutePlan engine;
        ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
        engine.SetSearchParams(0, 0, 0, 0);
        NetPoint o = Km(1.0, 1.0);
        // Beside the first link near its second node, and beside the last link near its end.
        ASSERT_GT(engine.SetPoint(0, o.x + 4, o.y).result, 0);
        ASSERT_GT(engine.SetPoint(1, o.x + 5 * (c.links - 1) + 4, o.y).result, 0);
        EXPECT_EQ(engine.Search(), c.code) << c.links;
        EXPECT_EQ(engine.RoutePath().size(), c.code == CRoutePlan::kFound ? 3000u : 0u) << c.links;
        EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0);
    }
}

class FarScale : public ::testing::Test {
protected:
    Islands net;
};

TEST_F(FarScale, PointsMoreThan1000KmApartAreRefusedWith32) {
    TempDevice dev(net.Build());
    dev.PatchXScale(0, 65535); // 0.65535 m per x unit
    CRoutePlan engine;
    ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
    engine.SetSearchParams(0, 0, 0, 0);
    LinkPos s = engine.SetPoint(0, Mid(net.A(0, 0), net.A(1, 0)).x, Mid(net.A(0, 0), net.A(1, 0)).y).pos;
    LinkPos g = engine.SetPoint(1, Mid(net.A(2, 2), net.A(2, 1)).x, Mid(net.A(2, 2), net.A(2, 1)).y).pos;
    ASSERT_TRUE(s.IsSet() && g.IsSet());
    // 2,159,999 x units apart: 1,415,555 m at this scale (597,324 m at 0.27654).
    s.x = 45000000;
    g.x = 47159999;
    g.y = s.y;
    ASSERT_EQ(engine.SetPointRecord(0, s, s.x, s.y), 1);
    ASSERT_EQ(engine.SetPointRecord(1, g, g.x, g.y), 1);
    EXPECT_EQ(engine.Search(), CRoutePlan::kBadDistance);
    EXPECT_TRUE(engine.RoutePath().empty());
}

} // namespace
