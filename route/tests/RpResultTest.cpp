// The route result builder: its arithmetic on its own (partial links, travel time, bearings,
// roundabout exits, the direction test) and whole blobs built over the hand-written two-map
// network, checked against bytes packed by hand.
#include "route/RoutePath.h"
#include "route/RoutePlan.h"
#include "route/RpResult.h"
#include "traffic/receiver/tests/TrafficTestStore.h"
#include "route/base/Coords.h"
#include "route/tests/NetTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using handnet::Out;

// ---- arithmetic ----

TEST(ResultPartialLink, NearestSegmentFirstOfEqualDistancesWins) {
    // The polyline runs out and back over the same segment: both are equally near.
    const std::vector<NetXY> line{{0, 0}, {1000, 0}, {0, 0}};
    EXPECT_EQ(RpResult::NearestSegment(line, NetXY{400, 30}), 0);
    const std::vector<NetXY> bend{{0, 0}, {1000, 0}, {1000, 1000}};
    EXPECT_EQ(RpResult::NearestSegment(bend, NetXY{990, 600}), 1);
    EXPECT_EQ(RpResult::NearestSegment(bend, NetXY{500, -40}), 0);
}

TEST(ResultPartialLink, ProjectionAndItsClamp) {
    struct Case {
        NetXY a, b, p, foot;
    };
    const Case cases[] = {
        {{0, 0}, {1000, 0}, {250, 77}, {250, 0}},         // inside: t = 0.25
        {{0, 0}, {1000, 0}, {-50, 10}, {0, 0}},           // before a
        {{0, 0}, {1000, 0}, {1200, 10}, {1000, 0}},       // beyond b
        {{100, 100}, {300, 150}, {200, 125}, {200, 125}}, // on the segment, t = 0.5
        {{0, 0}, {3, 0}, {1, 5}, {0, 0}},                 // t = 1/3 -> k = 33333 -> trunc(0.99999) = 0
        {{5, 5}, {5, 5}, {9, 9}, {5, 5}},                 // a segment of zero length
    };
    for (const Case& c : cases) {
        const NetXY f = RpResult::Project(c.a, c.b, c.p);
        EXPECT_EQ(f.x, c.foot.x) << c.p.x << "," << c.p.y;
        EXPECT_EQ(f.y, c.foot.y) << c.p.x << "," << c.p.y;
    }
}

TEST(ResultPartialLink, LengthIsTruncatedPerSegmentWithTheMapsXScale) {
    // Two 3-unit segments along x: at 0.5 m per unit each is 1.5 m and counts 1.
    EXPECT_EQ(RpResult::PolylineMetres({{0, 0}, {3, 0}, {6, 0}}, 50000), 2);
    // At 1 m per unit: 3 + 3.
    EXPECT_EQ(RpResult::PolylineMetres({{0, 0}, {3, 0}, {6, 0}}, 100000), 6);
    // Along y the factor is fixed: 10 units = 3.0879 m -> 3, whatever the x scale.
    EXPECT_EQ(RpResult::PolylineMetres({{0, 0}, {0, 10}}, 1), 3);
    // Diagonal: sqrt((100 x 0.27654)^2 + (25 x 0.30879)^2) = 28.71 -> 28.
    EXPECT_EQ(RpResult::PolylineMetres({{100, 100}, {200, 125}}, 27654), 28);
}

TEST(ResultPartialLink, StartKeepsTheRestGoalKeepsTheBeginning) {
    const std::vector<NetXY> line{{0, 0}, {100, 0}, {100, 100}};
    const auto start = RpResult::PartialPolyline(line, NetXY{40, 5}, true);
    ASSERT_EQ(start.size(), 3u);
    EXPECT_EQ(start[0].x, 40);
    EXPECT_EQ(start[1].x, 100);
    EXPECT_EQ(start[2].y, 100);
    const auto goal = RpResult::PartialPolyline(line, NetXY{95, 60}, false);
    ASSERT_EQ(goal.size(), 3u);
    EXPECT_EQ(goal[0].x, 0);
    EXPECT_EQ(goal[1].x, 100);
    EXPECT_EQ(goal[2].y, 60);
}

std::vector<std::uint8_t> LinkRecord(int facility, int lanes, int linkType,
                                     std::uint16_t forwardIndex = 0xFFFF,
                                     std::uint16_t backwardIndex = 0xFFFF) {
    std::vector<std::uint8_t> r(28, 0);
    r[0] = static_cast<std::uint8_t>(lanes);
    const std::uint16_t attr = static_cast<std::uint16_t>((linkType << 2) | (facility << 5));
    r[10] = attr & 0xFF;
    r[11] = attr >> 8;
    r[24] = forwardIndex & 0xFF;
    r[25] = forwardIndex >> 8;
    r[26] = backwardIndex & 0xFF;
    r[27] = backwardIndex >> 8;
    return r;
}

TEST(ResultTravelTime, DefaultSpeedsAndTrafficSpeeds) {
    traffictest::OpenStore();
    // 1,000 m at 25 km/h (facility 4, two lanes) is 144 s.
    const auto local = LinkRecord(4, 2, 0, 7, 8);
    EXPECT_NEAR(RpResult::TravelSeconds(local.data(), 0, 1000, false), 144.0, 1e-9);
    // Link type 2 doubles the lanes: 4 -> 30 km/h, 120 s.
    EXPECT_NEAR(RpResult::TravelSeconds(LinkRecord(4, 2, 2).data(), 0, 1000, false), 120.0, 1e-9);
    // With traffic on and no speed held for the link, the default stays.
    EXPECT_NEAR(RpResult::TravelSeconds(local.data(), 0, 1000, true), 144.0, 1e-9);
    traffictest::SetSpeed(7, 10);
    EXPECT_NEAR(RpResult::TravelSeconds(local.data(), 0, 1000, true), 360.0, 1e-9);
    EXPECT_NEAR(RpResult::TravelSeconds(local.data(), 1, 1000, true), 144.0, 1e-9);  // the other direction
    EXPECT_NEAR(RpResult::TravelSeconds(local.data(), 0, 1000, false), 144.0, 1e-9); // traffic off
    traffictest::SetSpeed(8, 255);                                                   // 255 means none
    EXPECT_NEAR(RpResult::TravelSeconds(local.data(), 1, 1000, true), 144.0, 1e-9);
    traffictest::CloseStore();

    struct Case {
        int facility, lanes, kmh;
    };
    const Case table[] = {{1, 0, 85}, {2, 9, 50}, {3, 6, 55}, {3, 5, 50}, {3, 3, 45},
                          {3, 1, 30}, {4, 7, 35}, {4, 4, 30}, {4, 1, 20}, {5, 6, 30},
                          {5, 2, 20}, {5, 0, 15}, {6, 1, 50}, {0, 8, 15}, {7, 8, 15}};
    for (const Case& c : table)
        EXPECT_EQ(RpResult::DefaultSpeed(LinkRecord(c.facility, c.lanes, 0).data()), c.kmh)
            << c.facility << "/" << c.lanes;
}

TEST(ResultGuidance, BearingsAndRoundaboutExits) {
    struct B {
        NetXY a, b;
        int degrees;
    };
    const B bearings[] = {{{0, 0}, {0, 0}, 270},
                          {{0, 0}, {5, 0}, 90},
                          {{0, 0}, {0, 5}, 0},
                          {{0, 0}, {0, -5}, 180},
                          {{0, 0}, {-5, 0}, 270},
                          {{0, 0}, {5, 5}, 45},
                          {{0, 0}, {-5, -5}, 225},
                          // With the stored pi (3.1415926535) atan(1) is 45.0000000002 degrees,
                          // so 360 - a and 180 - a fall just below the whole degree.
                          {{0, 0}, {-5, 5}, 314},
                          {{0, 0}, {5, -5}, 134}};
    for (const B& c : bearings) EXPECT_EQ(RpResult::Bearing(c.a, c.b), c.degrees) << c.b.x << "," << c.b.y;
    // Entering heading north (0): the way back (180) is the reference. Straight on (0) is
    // (0 - 180 + 360 - 15) / 30 = 5 -> 51; east (90) -> 8 -> 54; west (270) -> 2 -> 48;
    // just past the way back (190) -> 359 / 30 = 11 -> 57; 200 -> 0 -> 46.
    struct R {
        int entry, exit, code;
    };
    const R exits[] = {{0, 0, 51}, {0, 90, 54}, {0, 270, 48}, {0, 190, 57}, {0, 200, 46}, {90, 90, 51}};
    for (const R& c : exits) EXPECT_EQ(RpResult::RoundaboutExitCode(c.entry, c.exit), c.code) << c.exit;
}

TEST(ResultGuidance, DirectionTestOfFirstAndLastLinks) {
    // Link from node 4 to node 9.
    auto link = [](int oneWay, int facility) {
        std::vector<std::uint8_t> r(28, 0);
        r[4] = 4;
        r[6] = 9;
        const std::uint16_t attr = static_cast<std::uint16_t>(oneWay | (facility << 5));
        r[10] = attr & 0xFF;
        r[11] = attr >> 8;
        return r;
    };
    struct Case {
        int oneWay, facility, node, side;
        bool pass;
    };
    const Case cases[] = {
        {0, 5, 9, 0, true},  {0, 5, 4, 1, true}, // two-way
        {3, 5, 7, 0, false},                     // closed
        {0, 7, 7, 0, false},                     // facility kind 7
        {2, 5, 4, 1, false}, {2, 5, 9, 1, true}, // side 1: first end node with w = 2 fails
        {1, 5, 9, 1, false}, {1, 5, 4, 1, true}, // side 1 compares the second end node
        {2, 5, 9, 0, false}, {2, 5, 4, 0, true}, // side 0: second end node with w = 2 fails
        {1, 5, 4, 0, false}, {1, 5, 9, 0, true}, // side 0 compares the first end node
    };
    for (const Case& c : cases)
        EXPECT_EQ(RpResult::DirectionTest(link(c.oneWay, c.facility).data(),
                                          static_cast<std::uint16_t>(c.node), c.side),
                  c.pass)
            << c.oneWay << "/" << c.facility << "/" << c.node << "/" << c.side;
}

// ---- whole blobs over the hand network ----

class HandResult : public ::testing::Test {
protected:
    void SetUp() override { Write(handnet::Files()); }
    void Write(const std::map<std::string, handnet::Bytes>& files) {
        root.Write(files);
        engine = std::make_unique<CRoutePlan>();
        ASSERT_EQ(engine->Init(NetRoot::Folder()), 1);
    }
    void Points(LinkPos start, NetXY s, LinkPos goal, NetXY g) {
        engine->SetPointRecord(0, start, s.x, s.y);
        engine->SetPointRecord(1, goal, g.x, g.y);
    }
    int Build(const std::vector<PathItem>& path, int writeFile = 0) {
        result = RpResult();
        EXPECT_EQ(result.Init(&engine->Points(), &engine->Reader(), &engine->State()), 1);
        std::vector<std::uint8_t> prefix(208);
        for (std::size_t i = 0; i < prefix.size(); ++i) prefix[i] = static_cast<std::uint8_t>(i);
        result.SetPrefix(prefix.data(), 208);
        return result.Build(path.data(), static_cast<int>(path.size()), writeFile);
    }
    CRoutePath Path() {
        CRoutePath p;
        const auto& blob = result.Blob();
        EXPECT_GT(blob.size(), 208u);
        if (blob.size() > 208) {
            EXPECT_EQ(p.ReadBuffer(blob.data() + 208, static_cast<std::int32_t>(blob.size() - 208)), 1);
        }
        return p;
    }
    static PathItem Item(int map, int link, int node, int side = 0, int legEnd = 0) {
        PathItem p;
        p.mapId = static_cast<std::uint16_t>(map);
        p.linkId = static_cast<std::uint16_t>(link);
        p.nodeId = static_cast<std::uint16_t>(node);
        p.side = static_cast<std::uint8_t>(side);
        p.legEnd = static_cast<std::uint8_t>(legEnd);
        return p;
    }
    static LinkPos Pos(int map, int link, int node) {
        LinkPos p;
        p.mapId = static_cast<std::uint16_t>(map);
        p.linkId = static_cast<std::uint16_t>(link);
        p.nodeId = static_cast<std::uint16_t>(node);
        return p;
    }

    NetRoot root;
    std::unique_ptr<CRoutePlan> engine;
    RpResult result;
};

CPathPoint MapPoint(std::int32_t x, std::int32_t y) {
    CPathPoint p;
    NetToMapCoord(x, y, p.x, p.y);
    return p;
}

// From k0 of map 1 (start at 200 units east of m0) west through the border onto l2 of map 0,
// then l0 to the goal halfway along l0's first shape segment.
TEST_F(HandResult, ThreeLinkRouteMatchesHandPackedBytes) {
    Points(Pos(1, 0, 0), NetXY{45001200, 11910100}, Pos(0, 0, 1), NetXY{45000200, 11910125});
    ASSERT_EQ(Build({Item(1, 0, 0), Item(0, 2, 0), Item(0, 0, 1)}), 1);

    // Lengths: k0 part 200 x 0.27654 = 55.3 -> 55; l2 249 from its record; l0 part
    // sqrt(27.654^2 + 7.71975^2) = 28.7 -> 28. Total 332; remaining 332, 277, 28.
    // Time: 55 / (20 x 0.27778) + 249 / (20 x 0.27778) + 28 / (85 x 0.27778) = 55.9 -> 55.
    // Highway (facility kind 1 on l0): 28 x 100 / 332 = 8.
    Out o;
    for (int i = 0; i < 208; ++i) o.u8(static_cast<std::uint32_t>(i));
    o.u32(332).u32(55).u32(1).u32(8);
    const std::uint32_t counts[7] = {2, 3, 2, 4, 1, 2, 1}, sizes[7] = {8, 32, 8, 8, 8, 8, 6};
    std::uint32_t offset = 208 + 72;
    for (int v = 0; v < 7; ++v) {
        o.u32(offset).u32(counts[v]);
        offset += counts[v] * sizes[v];
    }
    // Route-item runs sorted by map: map 0 items 1-2, then map 1 item 0.
    o.u16(0).u16(2).u32(1);
    o.u16(1).u16(1).u32(0);
    // Items: k0 travelled west (direction 1); l2 from n3 to n0 (direction 1) with the turn code
    // 12 of n0's table and n0's name cut to 20 bytes; l0 from n0 (direction 0) is the goal, with
    // its facility code 4 and n1's name cut to 20 bytes.
    o.u16(1).u16(0).u8(1).u8(0).u8(0).u8(0).u32(332);
    o.b.resize(o.b.size() + 20);
    o.u16(0).u16(2).u8(1).u8(1).u8(0).u8(0).u32(277).text("ABCDEFGHIJKLMNOPQRST");
    o.u16(0).u16(0).u8(0).u8(3).u8(4).u8(0).u32(28).text("abcdefghijklmnopqrst");
    // Shape-point runs: map 1 points 0-1; map 0 from point 1 (the shared border point) to 3.
    o.u16(0).u16(3).u32(1);
    o.u16(1).u16(2).u32(0);
    for (const CPathPoint& p : {MapPoint(45001200, 11910100), MapPoint(45001000, 11910100),
                                MapPoint(45000100, 11910100), MapPoint(45000200, 11910125)})
        o.u32(static_cast<std::uint32_t>(p.x)).u32(static_cast<std::uint32_t>(p.y));
    o.u16(0).u16(2).u32(0);
    o.u16(2).u16(1).u16(1).u8(0).u8(12);
    o.u16(0).u16(0).u16(2).u8(0).u8(60);
    // LinkIDvsCode.db: map 0 link 0 value 7 for direction 0.
    o.u16(7).u16(4).u16(2);
    ASSERT_EQ(offset, 470u);
    EXPECT_EQ(result.Blob(), o.b);
    EXPECT_EQ(result.TotalLength(), 332);
}

TEST_F(HandResult, AGoalPartShorterThan7MetresTakesTheTurnBeforeIt) {
    struct Case {
        NetXY goal;
        int expectedKind; // of the item before the goal
    };
    // 10 units along l0 from n0: sqrt(2.7654^2 + 0.7720^2) = 2.87 m; the midpoint: 28 m.
    // Near the limit: (126, 106) projects to (125, 106), sqrt(6.9135^2 + 1.8527^2) = 7.16 -> 7 m;
    // (125, 106) projects to (124, 106), sqrt(6.6370^2 + 1.8527^2) = 6.89 -> 6 m.
    const Case cases[] = {{{45000110, 11910102}, 0},
                          {{45000200, 11910125}, 1},
                          {{45000126, 11910106}, 1},
                          {{45000125, 11910106}, 0}};
    for (const Case& c : cases) {
        Points(Pos(1, 0, 0), NetXY{45001200, 11910100}, Pos(0, 0, 1), c.goal);
        ASSERT_EQ(Build({Item(1, 0, 0), Item(0, 2, 0), Item(0, 0, 1)}), 1);
        CRoutePath p = Path();
        ASSERT_EQ(p.ItemCount(), 3);
        EXPECT_EQ(p.Items()[1].kind, c.expectedKind) << c.goal.x;
        EXPECT_EQ(p.Items()[2].kind, 3);
    }
}

TEST_F(HandResult, FirstAndLastLinkTurnTests) {
    // l1 is entered from n2 and left at n0 into l2 (allowed): it is a route item. Starting on
    // l2 into l1 at n0 is a banned turn: l2 gives shape points only.
    Points(Pos(0, 2, 0), NetXY{45000600, 11910100}, Pos(0, 3, 1), NetXY{45000300, 11910300});
    ASSERT_EQ(Build({Item(0, 2, 0), Item(0, 1, 2), Item(0, 3, 1)}), 1);
    CRoutePath p = Path();
    ASSERT_EQ(p.ItemCount(), 2);
    EXPECT_EQ(p.Items()[0].linkId, 1);
    EXPECT_EQ(p.Items()[1].linkId, 3);
    // The same banned turn before the last link: the route cannot reach its goal link, and a
    // route that stops short of its goal is no route.
    Points(Pos(1, 0, 0), NetXY{45001200, 11910100}, Pos(0, 1, 2), NetXY{45000100, 11910300});
    EXPECT_EQ(Build({Item(1, 0, 0), Item(0, 2, 0), Item(0, 1, 2)}), 0);
    EXPECT_TRUE(result.Blob().empty());
}

TEST_F(HandResult, OneLinkRoutes) {
    // Start and goal on l0, the car driving from n0 to n1: the part between the two points.
    // Start (200,125) projects on the first segment (100,100)-(300,150) at (200,125); goal
    // (400,125) on the second (300,150)-(500,100) at (400,125). 100 x 0.27654 = 27.654 m and
    // 25 x 0.30879 = 7.720 m per piece: trunc(sqrt(27.654^2 + 7.720^2)) = 28 m, twice: 56 m
    // (100 + 25 units each side of the shape vertex).
    Points(Pos(0, 0, 1), NetXY{45000200, 11910125}, Pos(0, 0, 1), NetXY{45000400, 11910125});
    ASSERT_EQ(Build({Item(0, 0, 1)}), 1);
    CRoutePath p = Path();
    ASSERT_EQ(p.ItemCount(), 1);
    EXPECT_EQ(p.Items()[0].linkId, 0);
    EXPECT_EQ(p.Items()[0].direction, 0);
    EXPECT_EQ(p.Items()[0].kind, 3);
    EXPECT_EQ(result.TotalLength(), 56);
    // The goal behind the start on that way: no route along the link alone.
    Points(Pos(0, 0, 1), NetXY{45000400, 11910125}, Pos(0, 0, 1), NetXY{45000200, 11910125});
    EXPECT_EQ(Build({Item(0, 0, 1)}), 0);
    // A start link followed by the goal's link: two items, the goal item added to one.
    Points(Pos(1, 0, 0), NetXY{45001200, 11910100}, Pos(0, 2, 3), NetXY{45000500, 11910100});
    ASSERT_EQ(Build({Item(1, 0, 0)}), 1);
    p = Path();
    ASSERT_EQ(p.ItemCount(), 2);
    EXPECT_EQ(p.Items()[0].linkId, 0);
    EXPECT_EQ(p.Items()[1].linkId, 2);
    EXPECT_EQ(p.Items()[1].kind, 3);
}

TEST_F(HandResult, FacilityEntriesFollowTheDirectionCondition) {
    // l0 is travelled from n0 to n1 (direction 0) in this route; its table entry's condition
    // decides. 0 any direction, 1 direction 0, 2 direction 1.
    struct Case {
        int condition;
        bool entry;
    };
    for (const Case& c : {Case{0, true}, Case{1, true}, Case{2, false}}) {
        auto files = handnet::Files();
        files["LinkIDvsCode.db"][4 + 6] = static_cast<std::uint8_t>(c.condition);
        Write(files);
        Points(Pos(1, 0, 0), NetXY{45001200, 11910100}, Pos(0, 0, 1), NetXY{45000200, 11910125});
        ASSERT_EQ(Build({Item(1, 0, 0), Item(0, 2, 0), Item(0, 0, 1)}), 1);
        CRoutePath p = Path();
        EXPECT_EQ(p.Facilities().Count(), c.entry ? 1 : 0) << c.condition;
        int count = 0;
        EXPECT_EQ(p.GetFacilityCount(count, 4), c.entry ? 1 : 0);
    }
}

TEST_F(HandResult, AFacilityCountBeyondTheFileIsLimitedToItsEntries) {
    auto files = handnet::Files();
    handnet::PutU32(files["LinkIDvsCode.db"], 0, 1000000);
    Write(files);
    Points(Pos(1, 0, 0), NetXY{45001200, 11910100}, Pos(0, 0, 1), NetXY{45000200, 11910125});
    ASSERT_EQ(Build({Item(1, 0, 0), Item(0, 2, 0), Item(0, 0, 1)}), 1);
    EXPECT_EQ(Path().Facilities().Count(), 1);
}

TEST_F(HandResult, AMapOriginAtTheInt32LimitDoesNotOverflowThePoints) {
    // Map 0's west edge (map record at 488, west at byte 24) corrupted to just below the int32
    // limit: its node and shape offsets (up to 1000 units) would carry past it.
    auto files = handnet::Files();
    handnet::PutU32(files["MRManage.bin"], 488 + 24, 0x7FFFFFF0u);
    Write(files);
    Points(Pos(1, 0, 0), NetXY{45001200, 11910100}, Pos(0, 0, 1), NetXY{45000200, 11910125});
    const int built = Build({Item(1, 0, 0), Item(0, 2, 0), Item(0, 0, 1)});
    // Whatever the route looks like, a built blob is a readable route path.
    if (built == 1) {
        EXPECT_EQ(Path().IsValid(), 1);
    } else {
        EXPECT_TRUE(result.Blob().empty());
    }
}

TEST_F(HandResult, BadPathsFailTheBuild) {
    ErrorLog::Instance().SetEnabled(1); // the engine switched it off
    Points(Pos(1, 0, 0), NetXY{45001200, 11910100}, Pos(0, 0, 1), NetXY{45000200, 11910125});
    EXPECT_EQ(Build({Item(1, 0, 0), Item(0, 40, 0), Item(0, 0, 1)}), 0); // no such link
    EXPECT_TRUE(result.Blob().empty());
    EXPECT_TRUE(root.Logged("Get File link Error"));
    EXPECT_EQ(result.Build(nullptr, 3, 0), 0);
}

TEST_F(HandResult, TheRouteTableFileIsWrittenOnlyWhenAsked) {
    std::filesystem::create_directories(root.Dir() / "My Documents" / "Velko");
    const auto table = root.Dir() / "My Documents" / "Velko" / "RouteTbl.bin";
    Points(Pos(1, 0, 0), NetXY{45001200, 11910100}, Pos(0, 0, 1), NetXY{45000200, 11910125});
    ASSERT_EQ(Build({Item(1, 0, 0), Item(0, 2, 0), Item(0, 0, 1)}, 0), 1);
    EXPECT_FALSE(std::filesystem::exists(table));
    ASSERT_EQ(Build({Item(1, 0, 0), Item(0, 2, 0), Item(0, 0, 1)}, 1), 1);
    std::ifstream in(table, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, result.Blob());
}

} // namespace
