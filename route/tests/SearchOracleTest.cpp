// The short search against an independent Dijkstra over (node, arriving entry) states on a
// one-sheet grid where the search's rules make it exact: link lengths at least the straight
// line, no traffic, junctions of at most four links, the goal node ending the search. The
// search's cost is summed over its own path items; paths are checked link by link.
#include "route/RoutePlan.h"
#include "route/tests/EngineFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <queue>
#include <tuple>

namespace {

using enginetest::Km;
using enginetest::TempDevice;
using mkdev::NetModel;
using mkdev::NetPoint;
using mkdev::RoadType;

// 5 x 4 junctions 500 m apart; x = 1.0 + 0.5 c km, y = 1.0 + 0.5 r km.
struct Grid {
    static constexpr int kCols = 5, kRows = 4;
    NetPoint At(int c, int r) const { return Km(1.0 + 0.5 * c, 1.0 + 0.5 * r); }
    NetPoint deadEnd = Km(3.4, 1.0);

    NetModel Build() const {
        NetModel m;
        int g[kCols][kRows];
        for (int c = 0; c < kCols; ++c)
            for (int r = 0; r < kRows; ++r) g[c][r] = m.AddNode(At(c, r).x, At(c, r).y);
        int banFrom = -1, banTo = -1;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c + 1 < kCols; ++c) {
                RoadType t = r == 0   ? RoadType::Alley
                             : r == 1 ? RoadType::NationalRoad
                             : r == 2 ? RoadType::TownStreet
                                      : RoadType::TownMain;
                mkdev::LinkOptions o;
                if (r == 1 && c == 1) o.oneWay = 1; // only eastwards from (1,1) to (2,1)
                int id = m.AddLink(g[c][r], g[c + 1][r], t, o);
                if (r == 1 && c == 1) banFrom = id;
            }
        for (int c = 0; c < kCols; ++c)
            for (int r = 0; r + 1 < kRows; ++r) {
                RoadType t = c == 2 ? RoadType::ProvincialRoad : RoadType::TownStreet;
                if (c == 3 && r == 2) t = RoadType::Alley;
                if (c == 4 && r == 1) t = RoadType::Overpass;
                std::vector<NetPoint> shape;
                if (c == 0 && r == 1) shape.push_back(Km(0.8, 1.75)); // a bend
                int id = m.AddLink(g[c][r], g[c][r + 1], t, {}, shape);
                if (c == 2 && r == 1) banTo = id;
            }
        m.AddLink(g[4][0], m.AddNode(deadEnd.x, deadEnd.y), RoadType::NationalRoad);
        m.BanTurn(g[2][1], banFrom, banTo); // heading east at (2,1), no left turn to the north
        return m;
    }
};

// The network as the oracle sees it, read straight from the files.
struct Network {
    struct Node {
        std::uint32_t ref = 0;
        MRCrossNode cross;
        std::vector<std::uint8_t> guide; // n x n, empty without a table
    };
    std::vector<Node> nodes;
    std::vector<std::vector<std::uint8_t>> links;

    explicit Network(MRReader& reader) {
        const MRMapRecord* rec = reader.MapRecord(0);
        nodes.resize(rec->nodeCount);
        for (int n = 0; n < rec->nodeCount; ++n) {
            std::uint8_t node[mrformat::kNodeSize];
            EXPECT_TRUE(reader.ReadNode(node, 0, n));
            nodes[n].ref = mrformat::U32(node + 4);
            EXPECT_FALSE(mrformat::IsPassThrough(nodes[n].ref)) << "one sheet: every node a junction";
            EXPECT_TRUE(reader.ReadCrossNode(nodes[n].cross, 0, nodes[n].ref));
            int k = nodes[n].cross.count;
            EXPECT_LE(k, 4);
            if (nodes[n].cross.guideOffset != mrformat::kNoGuideTable) {
                nodes[n].guide.resize(static_cast<std::size_t>(k * k));
                EXPECT_TRUE(reader.ReadGuideCode(nodes[n].guide.data(), k * k, 0, k, nodes[n].cross));
            }
        }
        links.resize(rec->linkCount);
        for (int l = 0; l < rec->linkCount; ++l) {
            links[l].resize(mrformat::kLinkSize);
            EXPECT_TRUE(reader.ReadLink(links[l].data(), 0, l));
        }
    }
    int EntryOf(int node, int link) const {
        const MRCrossNode& c = nodes[node].cross;
        for (int i = 0; i < c.count; ++i)
            if (c.links[i] == link) return i;
        return -1;
    }
    // Guide code of the turn at node from entry e into entry i: 120 at a dead end, -1 without a table.
    int Guide(int node, int e, int i) const {
        const Node& n = nodes[node];
        if (n.cross.count == 1) return 120;
        if (n.guide.empty() || e < 0) return -1;
        std::uint8_t g = n.guide[static_cast<std::size_t>(e * n.cross.count + i)];
        return g == 0xFF ? -1 : g;
    }
    bool Allowed(int node, int e, int i) const {
        const MRCrossNode& c = nodes[node].cross;
        return c.count == 1 || e < 0 || ((c.turns[e] >> i) & 1) != 0;
    }
    int OtherEnd(int link, int node) const {
        int a = mrformat::LinkStartNode(links[link].data()), b = mrformat::LinkEndNode(links[link].data());
        return node == a ? b : a;
    }
    // Forward one-way rule, written out here: the car leaves node along link.
    bool Drivable(int link, int node) const {
        std::uint16_t attr = mrformat::U16(links[link].data() + 10);
        int w = attr & 3, f = (attr >> 5) & 7;
        if (w == 3 || f == 7) return false;
        bool fromFirst = mrformat::LinkStartNode(links[link].data()) == node;
        return fromFirst ? w != 2 : w != 1;
    }
    SearchDir Dir(int link, int node) const {
        return mrformat::LinkStartNode(links[link].data()) == node ? SearchDir::AtFirstEnd
                                                                   : SearchDir::AtSecondEnd;
    }
};

struct Best {
    bool reached = false;
    double cost = 0.0;
};

// Dijkstra over (node, entry): the start node is closed; the goal is any state at the goal node
// or on the goal link.
Best Oracle(const Network& net, const RouteSearchState& costs, const LinkPos& start, const LinkPos& goal,
            bool goalNodeEnds = false) {
    using State = std::pair<int, int>;
    std::map<State, double> dist;
    using Item = std::tuple<double, int, int, int>; // cost, node, entry, arriving link
    std::priority_queue<Item, std::vector<Item>, std::greater<>> open;
    open.push({0.0, start.nodeId, net.EntryOf(start.nodeId, start.linkId), start.linkId});
    dist[{start.nodeId, net.EntryOf(start.nodeId, start.linkId)}] = 0.0;
    bool first = true;
    while (!open.empty()) {
        auto [c, node, e, link] = open.top();
        open.pop();
        if (c > dist[{node, e}]) continue;
        if (!first && ((goalNodeEnds && node == goal.nodeId) || link == goal.linkId)) return {true, c};
        first = false;
        const MRCrossNode& cross = net.nodes[node].cross;
        for (int i = 0; i < cross.count; ++i) {
            int next = cross.links[i];
            if (!net.Allowed(node, e, i) || !net.Drivable(next, node)) continue;
            int to = net.OtherEnd(next, node);
            double nc =
                c + costs.LinkCost(net.links[next].data(), net.Dir(next, node), net.Guide(node, e, i));
            State s{to, net.EntryOf(to, next)};
            auto it = dist.find(s);
            if (it == dist.end() || nc < it->second) {
                dist[s] = nc;
                open.push({nc, to, s.second, next});
            }
        }
    }
    return {};
}

// Checks that the path is drivable link after link and returns its cost over items 2 to n.
double PathCost(const Network& net, const RouteSearchState& costs, const std::vector<PathItem>& path) {
    double sum = 0.0;
    for (std::size_t k = 1; k < path.size(); ++k) {
        const PathItem& a = path[k - 1];
        const PathItem& b = path[k];
        const int x = a.nodeId;
        EXPECT_EQ(b.side, 0);
        EXPECT_EQ(net.OtherEnd(b.linkId, x), b.nodeId) << "item " << k << " does not continue at node " << x;
        int e = net.EntryOf(x, a.linkId), i = net.EntryOf(x, b.linkId);
        EXPECT_GE(i, 0);
        EXPECT_TRUE(net.Allowed(x, e, i)) << "banned turn at item " << k;
        EXPECT_TRUE(net.Drivable(b.linkId, x)) << "one-way broken at item " << k;
        sum += costs.LinkCost(net.links[b.linkId].data(), net.Dir(b.linkId, x), net.Guide(x, e, i));
    }
    return sum;
}

class SearchOracle : public ::testing::Test {
protected:
    void SetUp() override {
        dev = std::make_unique<TempDevice>(grid.Build());
        ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
        net = std::make_unique<Network>(engine.Reader());
        costs.Init(CostProfile(), 0);
        costs.SetSearchParams(0, 0, 0, 0);
        costs.SetUpLeg(1000.0f);
    }
    int NodeAt(NetPoint p) { return enginetest::FindNode(engine.Reader(), 0, p); }
    // Straight-line metres between a link's end nodes.
    double StraightMetres(int linkId) {
        const auto& link = net->links[linkId];
        std::uint8_t n1[8], n2[8];
        EXPECT_TRUE(engine.Reader().ReadNode(n1, 0, mrformat::LinkStartNode(link.data())));
        EXPECT_TRUE(engine.Reader().ReadNode(n2, 0, mrformat::LinkEndNode(link.data())));
        double dx = std::abs(static_cast<double>(mrformat::U16(n1)) - mrformat::U16(n2)) * 0.27654;
        double dy = std::abs(static_cast<double>(mrformat::U16(n1 + 2)) - mrformat::U16(n2 + 2)) * 0.30879;
        return std::sqrt(dx * dx + dy * dy);
    }
    int LinkBetween(NetPoint a, NetPoint b) { return enginetest::FindLink(engine.Reader(), 0, a, b); }
    static NetPoint Along(NetPoint a, NetPoint b, double t) {
        return {a.x + static_cast<std::int32_t>((b.x - a.x) * t),
                a.y + static_cast<std::int32_t>((b.y - a.y) * t)};
    }
    int Run(NetPoint from, NetPoint to, LinkPos& start, LinkPos& goal) {
        engine.Release();
        engine.SetSearchParams(0, 0, 0, 0);
        CRoutePlan::PointResult s = engine.SetPoint(0, from.x, from.y);
        CRoutePlan::PointResult g = engine.SetPoint(1, to.x, to.y);
        start = s.pos;
        goal = g.pos;
        if (!s.result || !g.result) return -1;
        return engine.Search();
    }

    Grid grid;
    std::unique_ptr<TempDevice> dev;
    CRoutePlan engine;
    std::unique_ptr<Network> net;
    RouteSearchState costs;
};

TEST_F(SearchOracle, ExpectedRoutesWhereTheRunnerUpIsClearlyDearer) {
    struct Case {
        const char* what;
        NetPoint from, to;
        std::vector<NetPoint> nodes; // the node at which each path item is left
        std::vector<std::pair<NetPoint, NetPoint>> links;
        double cost; // worked out from the cost table: 500 m streets at 1.5 per metre, turns 40/60/100
    };
    auto G = [&](int c, int r) { return grid.At(c, r); };
    const Case cases[] = {
        // Westwards from (2,1) the one-way street is closed: right, left, left round the block.
        {"one-way street",
         Along(G(2, 1), G(3, 1), 0.3),
         Along(G(0, 1), G(1, 1), 0.7),
         {G(2, 1), G(2, 2), G(1, 2), G(1, 1), G(0, 1)},
         {{G(2, 1), G(3, 1)}, {G(2, 1), G(2, 2)}, {G(1, 2), G(2, 2)}, {G(1, 1), G(1, 2)}, {G(0, 1), G(1, 1)}},
         810.0 + 850.0 + 850.0 + 810.0},
        // Heading east at (2,1) the left turn north is banned: on to (3,1), left, left.
        {"banned turn",
         Along(G(1, 1), G(2, 1), 0.7),
         Along(G(2, 2), G(1, 2), 0.3),
         {G(2, 1), G(3, 1), G(3, 2), G(2, 2), G(1, 2)},
         {{G(1, 1), G(2, 1)}, {G(2, 1), G(3, 1)}, {G(3, 1), G(3, 2)}, {G(2, 2), G(3, 2)}, {G(1, 2), G(2, 2)}},
         790.0 + 850.0 + 850.0 + 790.0},
        // From the dead end of a national road: turn back (120: 2000) along the stub, then right.
        // The stub spans 1447 x units (401 m after rounding up), the street north 1620 y units (501 m).
        {"dead end",
         Along(G(4, 0), grid.deadEnd, 0.7),
         Along(G(4, 1), G(3, 1), 0.3),
         {grid.deadEnd, G(4, 0), G(4, 1), G(3, 1)},
         {{G(4, 0), grid.deadEnd}, {G(4, 0), grid.deadEnd}, {G(4, 0), G(4, 1)}, {G(3, 1), G(4, 1)}},
         (401 * 1.5 + 2000.0) + (501 * 1.5 + 60.0) + 850.0},
    };
    for (const Case& c : cases) {
        LinkPos start, goal;
        ASSERT_EQ(Run(c.from, c.to, start, goal), CRoutePlan::kFound) << c.what;
        const auto& path = engine.RoutePath();
        ASSERT_EQ(path.size(), c.nodes.size()) << c.what;
        for (std::size_t k = 0; k < path.size(); ++k) {
            EXPECT_EQ(path[k].nodeId, NodeAt(c.nodes[k])) << c.what << " item " << k;
            EXPECT_EQ(path[k].linkId, LinkBetween(c.links[k].first, c.links[k].second))
                << c.what << " item " << k;
        }
        EXPECT_NEAR(PathCost(*net, costs, path), c.cost, 1.0) << c.what;
        Best best = Oracle(*net, costs, start, goal);
        ASSERT_TRUE(best.reached) << c.what;
        EXPECT_NEAR(best.cost, c.cost, 1.0) << c.what;
    }
}

TEST_F(SearchOracle, EveryPairMatchesTheOptimum) {
    // Start and goal points 30% and 70% along every link.
    std::vector<NetPoint> points;
    for (const auto& l : net->links) {
        const MRMapRecord* rec = engine.Reader().MapRecord(0);
        std::uint8_t n1[8], n2[8];
        ASSERT_TRUE(engine.Reader().ReadNode(n1, 0, mrformat::LinkStartNode(l.data())));
        ASSERT_TRUE(engine.Reader().ReadNode(n2, 0, mrformat::LinkEndNode(l.data())));
        NetPoint a{rec->west + mrformat::U16(n1), rec->south + mrformat::U16(n1 + 2)};
        NetPoint b{rec->west + mrformat::U16(n2), rec->south + mrformat::U16(n2 + 2)};
        points.push_back(Along(a, b, 0.3));
        points.push_back(Along(a, b, 0.7));
    }
    int compared = 0, unreachable = 0;
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = 0; j < points.size(); ++j) {
            if (i == j) continue;
            LinkPos start, goal;
            int code = Run(points[i], points[j], start, goal);
            if (code < 0 || start.linkId == goal.linkId) continue;
            Best best = Oracle(*net, costs, start, goal);
            if (!best.reached) {
                EXPECT_EQ(code, CRoutePlan::kNoExpansion) << i << " -> " << j;
                ++unreachable;
                continue;
            }
            ASSERT_EQ(code, CRoutePlan::kFound) << i << " -> " << j;
            const auto& path = engine.RoutePath();
            ASSERT_GE(path.size(), 2u);
            EXPECT_EQ(path.front().linkId, start.linkId);
            EXPECT_EQ(path.front().nodeId, start.nodeId);
            EXPECT_EQ(path.back().linkId, goal.linkId) << i << " -> " << j;
            double cost = PathCost(*net, costs, path);
            double links = static_cast<double>(path.size() - 1);
            // The search ends at the first node it pops on the goal's link; its key measures
            // the straight line from where that node leaves the link to the goal's node, so an
            // approach from the goal node's side may win by up to w times the link's straight
            // length.
            EXPECT_GE(cost, best.cost - 0.01) << i << " -> " << j;
            EXPECT_LE(cost, best.cost + 0.6 * StraightMetres(goal.linkId) + links) << i << " -> " << j;
            ++compared;
        }
    EXPECT_GE(compared, 1000);
}

TEST_F(SearchOracle, WaypointLegStaysWithinTheHeuristicBound) {
    std::vector<NetPoint> points;
    for (int c = 0; c < Grid::kCols; ++c)
        for (int r = 0; r + 1 < Grid::kRows; ++r)
            points.push_back(Along(grid.At(c, r), grid.At(c, r + 1), 0.3));
    int compared = 0;
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = 0; j < points.size(); ++j) {
            if (i == j) continue;
            engine.Release();
            engine.SetSearchParams(0, 0, 0, 0);
            LinkPos start = engine.SetPoint(0, points[i].x, points[i].y).pos;
            engine.SetPoint(1, grid.At(4, 3).x - 100, grid.At(4, 3).y);
            CRoutePlan::PointResult w = engine.SetPoint(2, points[j].x, points[j].y);
            if (!w.result || start.linkId == w.pos.linkId || start.nodeId == w.pos.nodeId) continue;
            ASSERT_EQ(engine.SetPointRecord(2, w.pos, points[j].x, points[j].y), 1);
            if (engine.Search() != CRoutePlan::kFound) continue;
            const auto& path = engine.RoutePath();
            std::size_t mark = 0;
            while (mark < path.size() && !path[mark].legEnd) ++mark;
            ASSERT_LT(mark, path.size());
            EXPECT_EQ(path[mark].linkId, w.pos.linkId);
            std::vector<PathItem> leg(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(mark) + 1);
            for (PathItem& it : leg) it.legEnd = 0;
            double cost = PathCost(*net, costs, leg);
            Best best = Oracle(*net, costs, start, w.pos, false);
            ASSERT_TRUE(best.reached);
            // The leg ends on the waypoint's link entered at either end: at most w times the
            // straight length of that link dearer than the optimum.
            double bound = best.cost + 0.6 * StraightMetres(w.pos.linkId) + 1.0;
            EXPECT_GE(cost, best.cost - 0.01) << i << " via " << j;
            EXPECT_LE(cost, bound) << i << " via " << j;
            ++compared;
        }
    EXPECT_GE(compared, 100);
}

} // namespace
