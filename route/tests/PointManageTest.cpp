// Attaching points to links: the three search passes, the nearest link and its end node, the
// nature of a goal's link, ties, refused nodes, and the point-to-segment distance.
#include "route/PointManage.h"
#include "route/tests/EngineFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using enginetest::Km;
using enginetest::TempDevice;
using mkdev::NetModel;
using mkdev::NetPoint;
using mkdev::RoadType;

TEST(SegmentDistance, CasesWorkedByHand) {
    struct Case {
        const char* what;
        NetXY p1, p2, q;
        float expected;
    } cases[] = {
        {"beyond p2", {0, 0}, {1000, 0}, {1500, 0}, 500 * 0.27654f},
        {"before p1", {0, 0}, {1000, 0}, {-200, 0}, 200 * 0.27654f},
        {"beside the middle", {0, 0}, {1000, 0}, {500, 1000}, 1000 * 0.30879f},
        // d = trunc(276.54 x 138.27) = 38237, t = 138.2693: sqrt(138.27^2 - t^2) = 0.435, never NaN.
        {"on the segment", {0, 0}, {1000, 0}, {500, 0}, 0.435f},
        {"vertical segment", {0, 0}, {0, 1000}, {300, 400}, 300 * 0.27654f},
        {"zero length", {100, 100}, {100, 100}, {100, 200}, 100 * 0.30879f},
        {"zero length, on it", {100, 100}, {100, 100}, {100, 100}, 0.0f},
    };
    for (const Case& c : cases) {
        float d = PointManage::SegmentDistance(c.p1, c.p2, c.q);
        EXPECT_FALSE(std::isnan(d)) << c.what;
        EXPECT_NEAR(d, c.expected, 0.05f) << c.what;
    }
}

// Links of every nature, each far enough from the others that a point beside one attaches to it.
struct AttachNet {
    NetPoint a0 = Km(8.5, 4), a1 = Km(9.5, 4);           // town street, both ways, far from the rest
    NetPoint tieLow, tieHigh, tieLow2, tieHigh2;         // two parallel streets
    NetPoint over0 = Km(0.5, 8.5), over1 = Km(1.5, 8.5); // overpass: width class 1
    NetPoint under0 = Km(2, 8.5), under1 = Km(3, 8.5);   // underpass: width class 2
    NetPoint tun0 = Km(3.5, 8.5), tun1 = Km(4.5, 8.5);   // tunnel: width class 3
    NetPoint w4a = Km(0.5, 7), w4b = Km(1.5, 7);         // patched to width class 4
    NetPoint r0 = Km(2, 7), r1 = Km(3, 7);               // patched restriction flag
    NetPoint dj = Km(8, 2), dEnd = Km(8.5, 2), dW = Km(7.5, 2), dS = Km(8, 1.5); // dead end at dEnd

    NetModel Build() {
        NetModel m;
        auto link = [&](NetPoint p, NetPoint q, RoadType t) {
            m.AddLink(m.AddNode(p.x, p.y), m.AddNode(q.x, q.y), t);
        };
        link(a0, a1, RoadType::TownStreet);
        NetPoint base = Km(5, 3);
        tieHigh = {base.x, base.y + 2000};
        tieHigh2 = {base.x + 3000, base.y + 2000};
        tieLow = base;
        tieLow2 = {base.x + 3000, base.y};
        link(tieHigh, tieHigh2, RoadType::TownStreet); // added first: the lower link id
        link(tieLow, tieLow2, RoadType::TownStreet);
        link(over0, over1, RoadType::Overpass);
        link(under0, under1, RoadType::Underpass);
        link(tun0, tun1, RoadType::ExpresswayTunnel);
        link(w4a, w4b, RoadType::TownStreet);
        link(r0, r1, RoadType::TownStreet);
        int j = m.AddNode(dj.x, dj.y);
        m.AddLink(j, m.AddNode(dEnd.x, dEnd.y), RoadType::TownStreet);
        m.AddLink(j, m.AddNode(dW.x, dW.y), RoadType::TownStreet);
        m.AddLink(j, m.AddNode(dS.x, dS.y), RoadType::TownStreet);
        return m;
    }
};

class PointAttach : public ::testing::Test {
protected:
    void SetUp() override {
        dev = std::make_unique<TempDevice>(net.Build());
        // Patch two links before the engine reads anything.
        MRReader reader;
        ASSERT_TRUE(reader.Open(3, TempDevice::DataFolder()));
        int w4 = enginetest::FindLink(reader, 0, net.w4a, net.w4b);
        int r = enginetest::FindLink(reader, 0, net.r0, net.r1);
        reader.Close();
        ASSERT_GE(w4, 0);
        ASSERT_GE(r, 0);
        dev->PatchLinkAttributes(w4, 4 << 8);
        dev->PatchLinkAttributes(r, 0x0800);
        ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
    }
    int LinkBetween(NetPoint a, NetPoint b) { return enginetest::FindLink(engine.Reader(), 0, a, b); }
    int NodeAt(NetPoint p) { return enginetest::FindNode(engine.Reader(), 0, p); }

    AttachNet net;
    std::unique_ptr<TempDevice> dev;
    CRoutePlan engine;
};

TEST_F(PointAttach, SearchPassesWidenUpToTheThirdAndNoFurther) {
    const int link = LinkBetween(net.a0, net.a1);
    const int near = NodeAt(net.a0);
    struct Case {
        std::int32_t north; // network units beside the link, 30% along it from its first node
        int result;
    } cases[] = {{2000, 1}, {4000, 1}, {7000, 1}, {10000, 0}};
    for (const Case& c : cases) {
        NetXY p{net.a0.x + (net.a1.x - net.a0.x) * 3 / 10, net.a0.y + c.north};
        LinkPos out;
        EXPECT_EQ(engine.Points().AttachPoint(PointManage::kStart, p, out), c.result) << c.north;
        if (c.result == 0) continue;
        EXPECT_EQ(out.mapId, 0);
        EXPECT_EQ(out.linkId, link);
        EXPECT_EQ(out.nodeId, near) << "the nearer end node";
        EXPECT_EQ(out.x, net.a0.x);
        EXPECT_EQ(out.y, net.a0.y);
    }
}

TEST_F(PointAttach, PointOutsideEveryMapIsNotAttached) {
    LinkPos out;
    EXPECT_EQ(engine.Points().AttachPoint(PointManage::kGoal, NetXY{45000100, 11910100}, out), 0);
    EXPECT_FALSE(out.IsSet());
    EXPECT_EQ(engine.Points().FindMap(NetXY{45000100, 11910100}), PointManage::kNone);
    EXPECT_EQ(engine.Points().FindMap(NetXY{net.a0.x, net.a0.y}), 0);
}

TEST_F(PointAttach, EqualDistancesKeepTheLinkFoundFirst) {
    const int high = LinkBetween(net.tieHigh, net.tieHigh2), low = LinkBetween(net.tieLow, net.tieLow2);
    ASSERT_LT(high, low);
    NetXY p{net.tieLow.x + 1000, net.tieLow.y + 1000};
    LinkPos out;
    ASSERT_EQ(engine.Points().AttachPoint(PointManage::kGoal, p, out), 1);
    EXPECT_EQ(out.linkId, high);
}

TEST_F(PointAttach, GoalAndWaypointReportTheNatureOfTheirLink) {
    struct Case {
        const char* what;
        NetPoint a, b;
        int goal;
    } cases[] = {
        {"town street", net.a0, net.a1, 1},    {"restriction flag", net.r0, net.r1, 2},
        {"overpass", net.over0, net.over1, 3}, {"underpass", net.under0, net.under1, 4},
        {"tunnel", net.tun0, net.tun1, 5},     {"width class 4", net.w4a, net.w4b, 6},
    };
    for (const Case& c : cases) {
        NetXY p{(c.a.x + c.b.x) / 2 - 500, c.a.y + 100};
        LinkPos out;
        EXPECT_EQ(engine.Points().AttachPoint(PointManage::kGoal, p, out), c.goal) << c.what;
        EXPECT_EQ(out.linkId, LinkBetween(c.a, c.b)) << c.what;
        // Both ends of these links are dead ends, where no waypoint is put.
        EXPECT_EQ(engine.Points().AttachPoint(PointManage::kWaypoint, p, out), 0) << c.what;
        EXPECT_EQ(engine.Points().AttachPoint(PointManage::kStart, p, out), 1) << c.what;
    }
}

TEST_F(PointAttach, WaypointIsNotPutOnADeadEnd) {
    const int deadEnd = NodeAt(net.dEnd), junction = NodeAt(net.dj);
    const int stub = LinkBetween(net.dj, net.dEnd);
    LinkPos atEnd;
    atEnd.mapId = 0;
    atEnd.linkId = static_cast<std::uint16_t>(stub);
    atEnd.nodeId = static_cast<std::uint16_t>(deadEnd);
    EXPECT_EQ(engine.Points().CheckNode(PointManage::kWaypoint, atEnd), 0);
    EXPECT_EQ(engine.Points().CheckNode(PointManage::kGoal, atEnd), 1);
    EXPECT_EQ(engine.Points().CheckNode(PointManage::kStart, atEnd), 1);
    // A point near the dead end: a goal goes to the dead end, a waypoint to the junction.
    NetXY p{net.dEnd.x - 300, net.dEnd.y + 50};
    LinkPos out;
    ASSERT_EQ(engine.Points().AttachPoint(PointManage::kGoal, p, out), 1);
    EXPECT_EQ(out.nodeId, deadEnd);
    ASSERT_EQ(engine.Points().AttachPoint(PointManage::kWaypoint, p, out), 1);
    EXPECT_EQ(out.nodeId, junction);
    EXPECT_EQ(out.linkId, stub);
}

TEST_F(PointAttach, LinkDistanceOfTheWholePolyline) {
    const int link = LinkBetween(net.a0, net.a1);
    // 1000 units south of the link's middle; 500 units beyond its second end.
    EXPECT_EQ(engine.Points().LinkDistance(0, link, NetXY{(net.a0.x + net.a1.x) / 2, net.a0.y - 1000}),
              static_cast<std::uint32_t>(1000 * 0.30879));
    EXPECT_EQ(engine.Points().LinkDistance(0, link, NetXY{net.a1.x + 500, net.a1.y}),
              static_cast<std::uint32_t>(500 * 0.27654));
    EXPECT_EQ(engine.Points().LinkDistance(0, 60000, NetXY{net.a1.x, net.a1.y}), 0xFFFFFFFFu);
}

} // namespace
