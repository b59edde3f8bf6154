// Random routes over the sample region's nine sheets, each checked step by step against an
// oracle of its own: a Dijkstra over (link, travel direction) states that knows only the
// network files (one-way codes, closed links, turn masks, guide tables, boundary records) and
// the cost of a link. Every route must drive each link its legal way, turn only where the mask
// allows, cross sheets through the boundary records, end each leg on its waypoint's or goal's
// link, and exist whenever the oracle finds one. Waypoints fall on one-way links too.
#include "route/RoutePath.h"
#include "route/RoutePlan.h"
#include "route/RpResult.h"
#include "route/base/ErrorLog.h"
#include "route/tests/EngineFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <queue>
#include <random>
#include <set>
#include <tuple>

namespace {

using enginetest::TempDevice;

// A link travelled one way: dir 0 from its first end node to its second, 1 back.
struct State {
    int map = 0, link = 0, dir = 0;
    bool operator<(const State& o) const { return std::tie(map, link, dir) < std::tie(o.map, o.link, o.dir); }
    bool operator==(const State& o) const { return map == o.map && link == o.link && dir == o.dir; }
};

struct Move {
    State to;
    int guide; // the turn's guide code, -1 without one
};

// The network as read straight from the files.
class Network {
public:
    explicit Network(MRReader& reader) : m_reader(reader) {
        for (int m = 0; m < reader.MapCount(); ++m) {
            const MRMapRecord* rec = reader.MapRecord(m);
            std::vector<std::vector<std::uint8_t>> links(rec->linkCount);
            for (int l = 0; l < rec->linkCount; ++l) {
                links[l].resize(mrformat::kLinkSize);
                EXPECT_TRUE(reader.ReadLink(links[l].data(), m, l));
            }
            m_links.push_back(std::move(links));
        }
    }
    const std::uint8_t* Link(int map, int link) const { return m_links[map][link].data(); }
    int LinkCount(int map) const { return static_cast<int>(m_links[map].size()); }
    int Maps() const { return static_cast<int>(m_links.size()); }
    int First(const State& s) const { return mrformat::LinkStartNode(Link(s.map, s.link)); }
    int Second(const State& s) const { return mrformat::LinkEndNode(Link(s.map, s.link)); }
    int Entry(const State& s) const { return s.dir == 0 ? First(s) : Second(s); }
    int Exit(const State& s) const { return s.dir == 0 ? Second(s) : First(s); }
    // The one-way code, closed links and unroutable facilities, written out here.
    bool Legal(const State& s) const {
        const std::uint16_t attr = mrformat::U16(Link(s.map, s.link) + 10);
        const int w = attr & 3, f = (attr >> 5) & 7;
        if (w == 3 || f == 7) return false;
        return s.dir == 0 ? w != 2 : w != 1;
    }
    // The state that leaves the link at node, or enters it there.
    static State Leaving(const std::uint8_t* link, int map, int linkId, int node) {
        return State{map, linkId, mrformat::LinkEndNode(link) == node ? 0 : 1};
    }
    static State Entering(const std::uint8_t* link, int map, int linkId, int node) {
        return State{map, linkId, mrformat::LinkStartNode(link) == node ? 0 : 1};
    }
    bool Plain(int map, int node) const {
        std::uint8_t rec[mrformat::kNodeSize];
        EXPECT_TRUE(m_reader.ReadNode(rec, map, node));
        return mrformat::IsPassThrough(mrformat::U32(rec + 4));
    }
    // Legal moves from a state at its exit node.
    std::vector<Move> Moves(const State& s) const {
        std::vector<Move> out;
        const int x = Exit(s);
        std::uint8_t rec[mrformat::kNodeSize];
        EXPECT_TRUE(m_reader.ReadNode(rec, s.map, x));
        const std::uint32_t ref = mrformat::U32(rec + 4);
        if (mrformat::IsPassThrough(ref)) {
            // A sheet border (or a shape node): the boundary record names the continuing link.
            std::uint8_t ex[mrformat::kExNodeSize];
            EXPECT_TRUE(m_reader.ReadExNode(ex, s.map, ref));
            const int map = mrformat::U16(ex) & 0x3FFF, link = mrformat::U16(ex + 4), meet = mrformat::U16(ex + 2);
            if (map < Maps() && link < LinkCount(map)) {
                const State next = Entering(Link(map, link), map, link, meet);
                if (Legal(next)) out.push_back({next, -1});
            }
            return out;
        }
        MRCrossNode cross;
        EXPECT_TRUE(m_reader.ReadCrossNode(cross, s.map, ref));
        const int n = cross.count;
        int e = -1;
        for (int i = 0; i < n; ++i)
            if (cross.links[i] == s.link) e = i;
        EXPECT_GE(e, 0);
        if (e < 0) return out;
        std::vector<std::uint8_t> guide;
        if (cross.guideOffset != mrformat::kNoGuideTable) {
            guide.resize(static_cast<std::size_t>(n * n));
            EXPECT_TRUE(m_reader.ReadGuideCode(guide.data(), n * n, s.map, n, cross));
        }
        for (int i = 0; i < n; ++i) {
            if (n > 1 && !((cross.turns[e] >> i) & 1)) continue;
            const State next = Entering(Link(s.map, cross.links[i]), s.map, cross.links[i], x);
            if (!Legal(next)) continue;
            int g = -1;
            if (n == 1)
                g = 120;
            else if (!guide.empty() && guide[static_cast<std::size_t>(e * n + i)] != 0xFF)
                g = guide[static_cast<std::size_t>(e * n + i)];
            out.push_back({next, g});
        }
        return out;
    }
    double Cost(const RouteSearchState& costs, const Move& m) const {
        return costs.LinkCost(Link(m.to.map, m.to.link), m.to.dir == 0 ? SearchDir::AtFirstEnd : SearchDir::AtSecondEnd,
                              m.guide);
    }

private:
    MRReader& m_reader;
    std::vector<std::vector<std::vector<std::uint8_t>>> m_links;
};

// Cheapest cost from a start state (already on its link) to the target link (driven in the
// direction dir, or either way for -1); the
// start's own link is not the target's before the car has left it. At a plain start node the
// car may turn back onto its own link first. Unreached: a negative cost.
double Cheapest(const Network& net, const RouteSearchState& costs, const State& start, bool turnBackFirst, int map,
                int link, int dir = -1, std::vector<State>* trail = nullptr) {
    std::map<State, double> dist;
    std::map<State, State> prev;
    using Item = std::pair<double, State>;
    auto worse = [](const Item& a, const Item& b) { return a.first > b.first; };
    std::priority_queue<Item, std::vector<Item>, decltype(worse)> open(worse);
    auto push = [&](const State& s, double c, const State& from) {
        auto it = dist.find(s);
        if (it != dist.end() && it->second <= c) return;
        dist[s] = c;
        prev[s] = from;
        open.push({c, s});
    };
    for (const Move& m : net.Moves(start)) push(m.to, net.Cost(costs, m), start);
    if (turnBackFirst && net.Plain(start.map, net.Exit(start))) {
        const Move back{State{start.map, start.link, 1 - start.dir}, -1};
        if (net.Legal(back.to)) push(back.to, net.Cost(costs, back), start);
    }
    while (!open.empty()) {
        auto [c, s] = open.top();
        open.pop();
        if (c > dist[s]) continue;
        if (s.map == map && s.link == link && (dir < 0 || s.dir == dir)) {
            if (trail) {
                trail->clear();
                for (State t = s; !(t == start); t = prev[t]) trail->insert(trail->begin(), t);
            }
            return c;
        }
        for (const Move& m : net.Moves(s)) push(m.to, c + net.Cost(costs, m), s);
    }
    return -1.0;
}

class RandomRouteOracle : public ::testing::Test {
protected:
    static void SetUpTestSuite() { device = new TempDevice(mkdev::BuildSampleRegion()); }
    static void TearDownTestSuite() {
        delete device;
        device = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(engine.Init(TempDevice::DataFolder()), 1);
        net = std::make_unique<Network>(engine.Reader());
    }
    void TearDown() override { EXPECT_EQ(ErrorLog::Instance().GetErrorCode(), 0); }

    // A point a fraction t along a link's straight line between its end nodes.
    mkdev::NetPoint Along(int map, int link, double t) {
        const MRMapRecord* rec = engine.Reader().MapRecord(map);
        std::uint8_t a[mrformat::kNodeSize], b[mrformat::kNodeSize];
        EXPECT_TRUE(engine.Reader().ReadNode(a, map, mrformat::LinkStartNode(net->Link(map, link))));
        EXPECT_TRUE(engine.Reader().ReadNode(b, map, mrformat::LinkEndNode(net->Link(map, link))));
        const double ax = rec->west + mrformat::U16(a), ay = rec->south + mrformat::U16(a + 2);
        const double bx = rec->west + mrformat::U16(b), by = rec->south + mrformat::U16(b + 2);
        return {static_cast<std::int32_t>(ax + (bx - ax) * t), static_cast<std::int32_t>(ay + (by - ay) * t)};
    }
    // The state of a path item: side 0 items name the node where the link is left, side 1
    // items the node where it is entered.
    State Of(const PathItem& it) const {
        const std::uint8_t* l = net->Link(it.mapId, it.linkId);
        return it.side == 0 ? Network::Leaving(l, it.mapId, it.linkId, it.nodeId)
                            : Network::Entering(l, it.mapId, it.linkId, it.nodeId);
    }
    static State StartState(const Network& net, const LinkPos& p) {
        return Network::Leaving(net.Link(p.mapId, p.linkId), p.mapId, p.linkId, p.nodeId);
    }

    static TempDevice* device;
    CRoutePlan engine;
    std::unique_ptr<Network> net;
};

TempDevice* RandomRouteOracle::device = nullptr;

struct KnownRoute {
    mkdev::NetPoint from;
    std::vector<mkdev::NetPoint> via;
    mkdev::NetPoint to;
    bool nearBest = false; // the last leg within 5 % of the oracle's cheapest
};
// A waypoint on an expressway carriageway once reached against its one-way code; a goal down a
// street whose turn-in is banned and one on a one-way link once ended short; a goal past the
// first junction once had no route; the last two once gave no route or a very long one.
const std::vector<KnownRoute> kKnown = {
    {{45738081, 13535902}, {{45762670, 13496037}}, {45795989, 13478225}},
    {{45765924, 13506271}, {}, {45762670, 13505493}},
    {{45759415, 13502384}, {}, {45758547, 13510157}},
    {{45735368, 13536388}, {}, {45737177, 13536388}},
    {{45722372, 13497986}, {}, {45730848, 13496004}, true},
    {{45762670, 13511128}, {}, {45734464, 13535173}, true},
};

TEST_F(RandomRouteOracle, FiveHundredRoutesWithUpToThreeWaypoints) {
    std::mt19937 rng(20261210);
    // Points are dropped on routable links of every sheet, one-way links included.
    std::vector<std::pair<int, int>> routable;
    int oneWay = 0;
    for (int m = 0; m < net->Maps(); ++m)
        for (int l = 0; l < net->LinkCount(m); ++l) {
            const std::uint16_t attr = mrformat::U16(net->Link(m, l) + 10);
            if ((attr & 3) == 3 || ((attr >> 5) & 7) == 7) continue;
            routable.push_back({m, l});
            oneWay += (attr & 3) != 0;
        }
    ASSERT_GT(oneWay, 10) << "the region has one-way links to put waypoints on";
    std::uniform_int_distribution<std::size_t> pick(0, routable.size() - 1);
    std::uniform_real_distribution<double> frac(0.15, 0.85);
    std::uniform_int_distribution<int> viaCount(0, 3);

    int routes = 0, found = 0, waypointsOnOneWay = 0, ratioOver = 0, borderStarts = 0;
    double worstRatio = 1.0;
    while (routes < 500) {
        engine.Release();
        engine.SetSearchParams(0, 0, 0, 0);
        auto point = [&]() {
            auto [m, l] = routable[pick(rng)];
            return Along(m, l, frac(rng));
        };
        // Routes once found wrong come first, then random ones.
        const bool fixed = static_cast<std::size_t>(routes) < kKnown.size();
        const mkdev::NetPoint from = fixed ? kKnown[routes].from : point();
        const mkdev::NetPoint to = fixed ? kKnown[routes].to : point();
        CRoutePlan::PointResult s = engine.SetPoint(0, from.x, from.y);
        CRoutePlan::PointResult g = engine.SetPoint(1, to.x, to.y);
        if (fixed) {
            ASSERT_GE(s.result, 1);
            ASSERT_GE(g.result, 1);
        }
        if (s.result < 1 || g.result < 1) continue;
        const int vias = fixed ? static_cast<int>(kKnown[routes].via.size()) : viaCount(rng);
        std::vector<LinkPos> legEnds;
        for (int v = 0; v < vias; ++v) {
            const mkdev::NetPoint p = fixed ? kKnown[routes].via[v] : point();
            CRoutePlan::PointResult w = engine.SetPoint(2, p.x, p.y);
            if (w.result < 1) continue;
            ASSERT_EQ(engine.SetPointRecord(2, w.pos, p.x, p.y), 1);
            legEnds.push_back(w.pos);
            waypointsOnOneWay += (mrformat::U16(net->Link(w.pos.mapId, w.pos.linkId) + 10) & 3) != 0;
        }
        legEnds.push_back(g.pos);
        ++routes;
        const int code = engine.Search();

        // Whether the oracle reaches every leg's link in turn, from every state the car can be
        // in at the waypoint before (either legal way along the waypoint's link).
        RouteSearchState costs;
        costs.Init(CostProfile(), 0);
        costs.SetSearchParams(0, 0, 0, 0);
        costs.SetUpLeg(1000.0f);
        std::vector<State> at{StartState(*net, s.pos)};
        bool reachable = true;
        for (std::size_t leg = 0; leg < legEnds.size() && reachable; ++leg) {
            const LinkPos& end = legEnds[leg];
            std::vector<State> next;
            for (int dir = 0; dir < 2; ++dir) {
                const State target{end.mapId, end.linkId, dir};
                if (!net->Legal(target)) continue;
                for (const State& from : at) {
                    // Reaching the target link in this direction: through the oracle to the
                    // link, then checking that this direction is among the ways to enter it.
                    if (from.map == target.map && from.link == target.link && from.dir == target.dir) {
                        next.push_back(target);
                        break;
                    }
                    if (Cheapest(*net, costs, from, leg == 0, end.mapId, end.linkId, dir) >= 0.0) {
                        next.push_back(target);
                        break;
                    }
                }
            }
            at = next;
            reachable = !at.empty();
        }
        const std::string what = "route " + std::to_string(routes) + " (" + std::to_string(from.x) + "," +
                                 std::to_string(from.y) + " -> " + std::to_string(to.x) + "," +
                                 std::to_string(to.y) + ", " + std::to_string(legEnds.size() - 1) + " waypoints)";
        if (code != CRoutePlan::kFound) {
            EXPECT_FALSE(reachable) << what << ": the oracle has a route, the engine gave " << code;
            continue;
        }
        ++found;
        const std::vector<PathItem> path = engine.RoutePath();
        ASSERT_FALSE(path.empty()) << what;
        std::string items = "\n  path:";
        for (const PathItem& it : path)
            items += " " + std::to_string(it.mapId) + "/" + std::to_string(it.linkId) + "@" +
                     std::to_string(it.nodeId) + (it.side ? "b" : "") + (it.legEnd ? "*" : "");

        // Step by step: the first item drives the start link towards the start's node (or, at
        // a plain node, turns back on it), every next item is a legal move from the one before.
        State cur = Of(path[0]);
        EXPECT_TRUE(cur == StartState(*net, s.pos)) << what << ": the route does not start on its start link";
        EXPECT_TRUE(net->Legal(cur)) << what << ": the start link is driven against its one-way code";
        std::size_t leg = 0;
        std::vector<Move> legMoves;
        State legStart = cur;
        // A searched leg against the oracle's cheapest from the same state to the same link,
        // both priced with the cost profile of the leg's straight-line distance.
        auto compareLeg = [&](std::size_t i) {
            if (legMoves.empty()) return; // along one link, or a turn back at the start only
            const LinkPos& from = i == 0 ? s.pos : engine.Points().Waypoint(static_cast<int>(i) - 1);
            const LinkPos& to = legEnds[i];
            costs.SetUpLeg(Distance(engine.Reader(), from.x, from.y, to.x, to.y, from.mapId, to.mapId));
            double cost = 0.0;
            for (const Move& m : legMoves) cost += net->Cost(costs, m);
            std::vector<State> trail;
            const double best = Cheapest(*net, costs, legStart, i == 0, to.mapId, to.linkId, -1, &trail);
            if (best <= 0.0) return;
            const double ratio = cost / best;
            EXPECT_GE(ratio, 0.999) << what << " leg " << i << ": cheaper than the cheapest";
            worstRatio = std::max(worstRatio, ratio);
            ratioOver += ratio > 1.5;
            if (fixed && kKnown[routes - 1].nearBest) {
                std::string cheapest;
                for (const State& t : trail)
                    cheapest += " " + std::to_string(t.map) + "/" + std::to_string(t.link) + ">" +
                                std::to_string(net->Exit(t));
                EXPECT_LE(ratio, 1.05) << what << " leg " << i << items << "\n  cheapest:" << cheapest;
            }
        };
        // A leg end: the mark on the last item of a leg. Legs whose waypoint lay ahead on the
        // link the car was on add no item, so a mark may stand for several waypoints on one link.
        auto legEnd = [&](const PathItem& it) {
            while (leg + 1 < legEnds.size() &&
                   !(legEnds[leg].mapId == it.mapId && legEnds[leg].linkId == it.linkId)) {
                EXPECT_TRUE(legEnds[leg].mapId == legStart.map && legEnds[leg].linkId == legStart.link)
                    << what << ": leg " << leg << " ends off its waypoint" << items;
                ++leg;
            }
            EXPECT_LT(leg + 1, legEnds.size()) << what << ": a mark off every waypoint's link";
            compareLeg(leg);
            legMoves.clear();
            legStart = Of(it);
            ++leg;
        };
        if (path[0].legEnd) legEnd(path[0]);
        for (std::size_t k = 1; k < path.size(); ++k) {
            const State nxt = Of(path[k]);
            const std::vector<Move> moves = net->Moves(cur);
            const Move* move = nullptr;
            for (const Move& m : moves)
                if (m.to == nxt) move = &m;
            const bool turnBackAtStart = k == 1 && nxt.map == cur.map && nxt.link == cur.link &&
                                         nxt.dir != cur.dir && net->Plain(cur.map, net->Exit(cur)) &&
                                         net->Legal(nxt);
            EXPECT_TRUE(move || turnBackAtStart)
                << what << ": item " << k << " (map " << nxt.map << " link " << nxt.link << " dir " << nxt.dir
                << ") is no legal move from item " << k - 1 << " (map " << cur.map << " link " << cur.link
                << " dir " << cur.dir << "): a one-way link driven backwards, a banned turn or a jump" << items;
            if (move)
                legMoves.push_back(*move);
            else if (turnBackAtStart)
                legMoves.push_back(Move{nxt, -1});
            cur = nxt;
            if (path[k].legEnd) legEnd(path[k]);
        }
        // The result: its first item is the start link, also where that link leaves its sheet
        // (its exit a border node, the next item on another sheet), and its last is the goal.
        RpResult result;
        ASSERT_EQ(result.Init(&engine.Points(), &engine.Reader(), &engine.State()), 1);
        ASSERT_EQ(result.Build(path.data(), static_cast<int>(path.size()), 0), 1) << what << items;
        CRoutePath built;
        ASSERT_EQ(built.ReadBuffer(result.Blob().data(), static_cast<std::int32_t>(result.Blob().size())), 1);
        ASSERT_GT(built.ItemCount(), 0) << what;
        EXPECT_EQ(built.Items()[0].mapId, path[0].mapId) << what << items;
        EXPECT_EQ(built.Items()[0].linkId, path[0].linkId) << what << ": the start link has no route item" << items;
        if (path.size() > 1 && path[1].mapId != path[0].mapId) ++borderStarts;
        EXPECT_EQ(built.Items()[built.ItemCount() - 1].linkId, g.pos.linkId) << what;
        EXPECT_EQ(built.Items()[built.ItemCount() - 1].kind, 3) << what;

        // Legs whose waypoint lay ahead on the link the car was on add no item and no mark.
        const State last = Of(path.back());
        EXPECT_EQ(last.map, g.pos.mapId) << what;
        EXPECT_EQ(last.link, g.pos.linkId) << what << ": the route ends off its goal link";
        if (leg + 1 == legEnds.size()) compareLeg(leg);
    }
    EXPECT_GE(found, 400);
    EXPECT_GE(waypointsOnOneWay, 20);
    EXPECT_GE(borderStarts, 3) << "routes whose start link leaves its sheet";
    // The long search stops looking at small roads once its two sides have met, so a few routes
    // stay dearer than the cheapest; how many is shown, not held to a figure.
    std::printf("routes %d, found %d, waypoints on one-way links %d, legs dearer than 1.5 x the "
                "cheapest: %d (worst %.2f)\n",
                routes, found, waypointsOnOneWay, ratioOver, worstRatio);
}

} // namespace
