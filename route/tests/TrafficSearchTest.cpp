// Live traffic on the goal half of a long search: the backward search costs a link in the
// direction the car drives it, so a jam in the opposite direction does not push the route off
// its road. Also the unsigned queue key of a negative float key.
#include "route/RoutePlan.h"
#include "route/base/ErrorLog.h"
#include "route/tests/EngineFixture.h"
#include "traffic/receiver/tests/TrafficTestStore.h"

#include <gtest/gtest.h>

namespace {

using enginetest::Km;
using enginetest::TempDevice;
using mkdev::NetModel;
using mkdev::NetPoint;
using mkdev::RoadType;

TEST(QueueKey, TenTimesTheKeyTruncatedNegativeClampedToZero) {
    struct Case {
        float key;
        std::uint32_t expected;
    } cases[] = {{0.0f, 0},  {12.34f, 123}, {-0.05f, 0},
                 {-5.0f, 0}, {-1.0e9f, 0},  {429496729.0f, 4294967295u}};
    for (const Case& c : cases) EXPECT_EQ(QueueKey(c.key), c.expected) << c.key;
}

// Two roads from W to G, 4.5 km apart: the northern one a little shorter. Stubs lead off both ends.
struct TwoRoads {
    NetPoint w0 = Km(0.6, 2.0), w = Km(1.0, 2.0), g = Km(5.5, 2.0), g0 = Km(5.9, 2.0);
    NetPoint n[3] = {Km(1.5, 2.5), Km(3.2, 2.5), Km(5.0, 2.5)};
    NetPoint s[3] = {Km(1.5, 1.5), Km(3.2, 1.45), Km(5.0, 1.4)};
    NetModel Build() const {
        NetModel m;
        auto node = [&](NetPoint p) { return m.AddNode(p.x, p.y); };
        int W = node(w), G = node(g);
        m.AddLink(node(w0), W, RoadType::TownStreet);
        m.AddLink(G, node(g0), RoadType::TownStreet);
        for (const NetPoint* road : {n, s}) {
            int prev = W;
            for (int i = 0; i < 3; ++i) {
                int next = node(road[i]);
                m.AddLink(prev, next, RoadType::TownStreet);
                prev = next;
            }
            m.AddLink(prev, G, RoadType::TownStreet); // added from the road's last node to G
        }
        return m;
    }
};

class GoalHalfTraffic : public ::testing::Test {
protected:
    void SetUp() override { traffictest::OpenStore(); }
    void TearDown() override { traffictest::CloseStore(); }

    // The route from the west stub to the east stub with traffic on; true when it runs north.
    bool RunsNorth(std::uint16_t forwardIndex, std::uint16_t backwardIndex) {
        TwoRoads net;
        TempDevice dev(net.Build());
        {
            MRReader reader;
            EXPECT_TRUE(reader.Open(3, TempDevice::DataFolder()));
            int last = enginetest::FindLink(reader, 0, net.n[2], net.g);
            EXPECT_GE(last, 0);
            reader.Close();
            dev.PatchLinkTraffic(last, forwardIndex, backwardIndex);
        }
        CRoutePlan engine;
        EXPECT_EQ(engine.Init(TempDevice::DataFolder()), 1);
        engine.SetSearchParams(0, 1, 0, 0);
        EXPECT_GT(engine.SetPoint(0, net.w0.x + 1000, net.w0.y).result, 0);
        EXPECT_GT(engine.SetPoint(1, net.g.x + 300, net.g.y).result, 0); // goal node G
        EXPECT_EQ(engine.Search(), CRoutePlan::kFound);
        EXPECT_TRUE(engine.LastLegLong());
        int north = enginetest::FindNode(engine.Reader(), 0, net.n[2]);
        bool runsNorth = false;
        bool fromGoal = false;
        for (const PathItem& it : engine.RoutePath()) {
            runsNorth |= it.nodeId == north;
            fromGoal |= it.side == 1;
        }
        EXPECT_TRUE(fromGoal) << "the last links were found from the goal side";
        return runsNorth;
    }
};

TEST_F(GoalHalfTraffic, JamInTheOppositeDirectionIsIgnored) {
    traffictest::SetSpeed(100, 5);
    // No jam: the shorter northern road.
    EXPECT_TRUE(RunsNorth(0xFFFF, 0xFFFF));
    // 5 km/h towards W on the northern road's last link: the car drives towards G, unaffected.
    EXPECT_TRUE(RunsNorth(0xFFFF, 100));
    // 5 km/h towards G on that link: the southern road.
    EXPECT_FALSE(RunsNorth(100, 0xFFFF));
}

} // namespace
