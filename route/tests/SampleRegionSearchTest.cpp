// Long searches over the sample region's nine sheets: paths that join link to link (at shared
// nodes or through boundary records at sheet borders), obey one-way rules and turn masks, come
// out the same on every run, take the expressway where it is clearly faster, and run leg by leg
// through waypoints. Also the limits that only a search across sheets meets.
#include "route/RoutePlan.h"
#include "route/base/ErrorLog.h"
#include "route/tests/EngineFixture.h"

#include <gtest/gtest.h>

namespace {

using enginetest::Km;
using enginetest::TempDevice;
using mkdev::NetPoint;

class SampleRegionSearch : public ::testing::Test {
protected:
    static void SetUpTestSuite() { device = new TempDevice(mkdev::BuildSampleRegion()); }
    static void TearDownTestSuite() {
        delete device;
        device = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
        engine.SetSearchParams(0, 0, 0, 0);
    }
    void TearDown() override { EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0); }

    LinkPos Attach(int kind, NetPoint p) {
        CRoutePlan::PointResult r = engine.SetPoint(kind, p.x, p.y);
        EXPECT_GT(r.result, 0);
        return r.pos;
    }
    std::vector<std::uint8_t> Link(int map, int link) {
        std::vector<std::uint8_t> rec(mrformat::kLinkSize);
        EXPECT_TRUE(engine.Reader().ReadLink(rec.data(), map, link));
        return rec;
    }
    // The nodes at which the car enters and leaves an item's link.
    std::pair<int, int> Traversal(const PathItem& it) {
        auto rec = Link(it.mapId, it.linkId);
        int a = mrformat::LinkStartNode(rec.data()), b = mrformat::LinkEndNode(rec.data());
        int other = it.nodeId == a ? b : a;
        return it.side == 0 ? std::pair(other, static_cast<int>(it.nodeId))
                            : std::pair(static_cast<int>(it.nodeId), other);
    }

    // Checks joins, one-way rules and turn masks on every item, the first and last of each leg
    // included; returns the number of sheet borders crossed.
    int CheckPath(const std::vector<PathItem>& path) {
        int borders = 0;
        for (std::size_t k = 0; k < path.size(); ++k) {
            auto [entry, exit] = Traversal(path[k]);
            auto rec = Link(path[k].mapId, path[k].linkId);
            std::uint16_t attr = mrformat::U16(rec.data() + 10);
            EXPECT_NE((attr >> 5) & 7, 7) << "item " << k;
            int w = attr & 3;
            EXPECT_NE(w, 3) << "item " << k;
            if (w == 1) {
                EXPECT_EQ(entry, mrformat::LinkStartNode(rec.data())) << "one-way broken at item " << k;
            }
            if (w == 2) {
                EXPECT_EQ(entry, mrformat::LinkEndNode(rec.data())) << "one-way broken at item " << k;
            }
            if (k == 0) continue;
            const PathItem& prev = path[k - 1];
            const int prevExit = Traversal(prev).second;
            std::uint8_t node[mrformat::kNodeSize];
            EXPECT_TRUE(engine.Reader().ReadNode(node, prev.mapId, prevExit));
            std::uint32_t ref = mrformat::U32(node + 4);
            if (mrformat::IsPassThrough(ref)) {
                std::uint8_t ex[mrformat::kExNodeSize];
                EXPECT_TRUE(engine.Reader().ReadExNode(ex, prev.mapId, ref));
                EXPECT_EQ(path[k].mapId, mrformat::U16(ex) & 0x3FFF) << "item " << k;
                EXPECT_EQ(path[k].linkId, mrformat::U16(ex + 4)) << "item " << k;
                EXPECT_EQ(entry, mrformat::U16(ex + 2)) << "item " << k;
                ++borders;
                continue;
            }
            EXPECT_EQ(path[k].mapId, prev.mapId) << "item " << k;
            EXPECT_EQ(entry, prevExit) << "item " << k << " does not start where item " << k - 1 << " ends";
            MRCrossNode cross;
            EXPECT_TRUE(engine.Reader().ReadCrossNode(cross, prev.mapId, ref));
            int from = -1, to = -1;
            for (int i = 0; i < cross.count; ++i) {
                if (cross.links[i] == prev.linkId) from = i;
                if (cross.links[i] == path[k].linkId) to = i;
            }
            EXPECT_GE(from, 0);
            EXPECT_GE(to, 0);
            if (from >= 0 && to >= 0) {
                EXPECT_TRUE(cross.count == 1 || ((cross.turns[from] >> to) & 1))
                    << "banned turn before item " << k;
            }
        }
        return borders;
    }
    bool UsesExpressway(const std::vector<PathItem>& path) {
        for (const PathItem& it : path)
            if (((mrformat::U16(Link(it.mapId, it.linkId).data() + 10) >> 5) & 7) == 1) return true;
        return false;
    }

    static TempDevice* device;
    CRoutePlan engine;
    // On national road 43 south of the interchange, and on national road 3 north of the
    // expressway's west end: 11.5 km apart, 10 km of it by expressway.
    const NetPoint south43 = Km(11.85, 6.0), north3 = Km(1.2, 10.5);
};

TempDevice* SampleRegionSearch::device = nullptr;

TEST_F(SampleRegionSearch, LongSearchJoinsItsPathAndTakesTheExpressway) {
    LinkPos s = Attach(0, south43);
    Attach(1, north3);
    ASSERT_EQ(engine.Search(), CRoutePlan::kFound);
    EXPECT_TRUE(engine.LastLegLong());
    const std::vector<PathItem> path = engine.RoutePath();
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path.front().linkId, s.linkId);
    EXPECT_GE(CheckPath(path), 1) << "the route crosses a sheet border";
    EXPECT_TRUE(UsesExpressway(path));
    bool fromGoal = false;
    for (const PathItem& it : path) fromGoal |= it.side == 1;
    EXPECT_TRUE(fromGoal) << "the two-sided search met in the middle";

    // The same again.
    engine.Release();
    engine.SetSearchParams(0, 0, 0, 0);
    Attach(0, south43);
    Attach(1, north3);
    ASSERT_EQ(engine.Search(), CRoutePlan::kFound);
    const auto& again = engine.RoutePath();
    ASSERT_EQ(again.size(), path.size());
    for (std::size_t k = 0; k < path.size(); ++k) {
        EXPECT_EQ(again[k].mapId, path[k].mapId);
        EXPECT_EQ(again[k].linkId, path[k].linkId);
        EXPECT_EQ(again[k].nodeId, path[k].nodeId);
        EXPECT_EQ(again[k].side, path[k].side);
    }
}

TEST_F(SampleRegionSearch, TwoWaypointsGiveThreeLegs) {
    Attach(0, south43);
    Attach(1, north3);
    // Waypoints in the town and on national road 43 north of it.
    for (NetPoint p : {Km(11.5, 11.2), Km(11.8, 14.5)}) {
        CRoutePlan::PointResult w = engine.SetPoint(2, p.x, p.y);
        ASSERT_GT(w.result, 0);
        ASSERT_EQ(engine.SetPointRecord(2, w.pos, p.x, p.y), 1);
    }
    ASSERT_EQ(engine.Search(), CRoutePlan::kFound);
    const auto& path = engine.RoutePath();
    CheckPath(path);
    std::vector<std::size_t> marks;
    for (std::size_t k = 0; k < path.size(); ++k)
        if (path[k].legEnd) marks.push_back(k);
    ASSERT_EQ(marks.size(), 2u) << "one mark per waypoint leg";
    for (int i = 0; i < 2; ++i) {
        // The waypoint was moved to where its leg reached it.
        EXPECT_EQ(engine.Points().Waypoint(i).linkId, path[marks[i]].linkId);
        EXPECT_EQ(engine.Points().Waypoint(i).mapId, path[marks[i]].mapId);
        // The next leg's first item (the waypoint's link again) is not repeated.
        ASSERT_LT(marks[i] + 1, path.size());
        EXPECT_FALSE(path[marks[i] + 1].mapId == path[marks[i]].mapId &&
                     path[marks[i] + 1].linkId == path[marks[i]].linkId &&
                     path[marks[i] + 1].nodeId == path[marks[i]].nodeId);
    }
}

TEST_F(SampleRegionSearch, VisitLimitAndStopByteEndTheSearch) {
    Attach(0, south43);
    Attach(1, north3);
    engine.SetLimitsForTest(20, NodePool::kCapacity);
    EXPECT_EQ(engine.Search(), CRoutePlan::kInternal) << "more than 20 visits";
    EXPECT_TRUE(engine.RoutePath().empty());
    EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0);

    engine.SetLimitsForTest(CRoutePlan::kMaxVisits, NodePool::kCapacity);
    engine.SetStop(1);
    EXPECT_EQ(engine.Search(), CRoutePlan::kInternal) << "cancelled";
    EXPECT_TRUE(engine.RoutePath().empty());

    engine.SetStop(0);
    EXPECT_EQ(engine.Search(), CRoutePlan::kFound);
    EXPECT_LE(engine.PeakMemoryMB(), CRoutePlan::kMemoryGuardMB);
}

} // namespace
