// Route bands and markers drawn through a recording map: which pens each section gets, the
// order of the routes, where the markers go, and what is skipped.
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "traffic/receiver/tests/TrafficTestStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Line {
    int width;
    COLORREF colour;
    int points;
};
struct Marker {
    int symbol, x, y;
};

// A map that shows everything, converts map points to themselves and records what is drawn.
class RecordingMap : public IRouteMapView {
public:
    int IsRectVisible(std::int32_t xMin, std::int32_t, std::int32_t, std::int32_t) override {
        return xMin < hiddenFromX ? 1 : 0;
    }
    void DrawPolyline(CDC* dc, const POINT*, int n) override {
        LOGPEN pen;
        GetObjectW(GetCurrentObject(dc->GetSafeHdc(), OBJ_PEN), sizeof pen, &pen);
        lines.push_back({pen.lopnWidth.x, pen.lopnColor, n});
    }
    void PointToScreen(std::int32_t&, std::int32_t&) override {}
    void DrawSymbol(CDC*, int n, int x, int y) override { markers.push_back({n, x, y}); }

    std::int32_t hiddenFromX = 1 << 30;
    std::vector<Line> lines;
    std::vector<Marker> markers;
};

// A path of two sections, in maps 0 and 1, of 3 and 2 shape points.
std::unique_ptr<CRoutePath> TwoSectionPath() {
    auto path = std::make_unique<CRoutePath>();
    CPathLinkItem item;
    path->Items().Add(item);
    for (int i = 0; i < 5; ++i) {
        CPathPoint p;
        p.x = 1000 + i * 100;
        p.y = 2000;
        path->Points().Add(p);
    }
    CPathLinkRef a;
    a.mapId = 0;
    a.firstIndex = 0;
    a.count = 3;
    CPathLinkRef b;
    b.mapId = 1;
    b.firstIndex = 3;
    b.count = 2;
    path->PointRuns().Add(a);
    path->PointRuns().Add(b);
    path->SetLoaded(1);
    return path;
}

class RouteDrawingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dc.CreateCompatibleDC(nullptr)); }
    // A committed result of the kind (the manager selects the newest).
    CRoute* AddResult(int kind) {
        CRoute& edited = manager.EditedRoute();
        edited.SetKind(kind);
        edited.path = TwoSectionPath();
        edited.hasResult = 1;
        manager.CommitRoute();
        CRoute* r = manager.Result(manager.GetRouteCount() - 1);
        r->boxes = &boxes;
        return r;
    }
    CDC dc;
    CRouteManager manager;
    std::vector<MapBox> boxes{{0, 0, 5000, 5000}, {6000, 0, 9000, 5000}};
    RecordingMap map;
};

TEST_F(RouteDrawingTest, OtherResultsFirstThenTheSelectedOneInItsKindColours) {
    AddResult(1);
    AddResult(2);
    manager.SelectResult(1); // the first result
    manager.DrawResultRoutes(&dc, map);
    // Per section an outer then an inner line; two sections per route; route 2 first.
    ASSERT_EQ(map.lines.size(), 8u);
    const Line expected[8] = {{7, 0x0000C1, 3}, {4, 0x0000F2, 3}, {7, 0x0000C1, 2}, {4, 0x0000F2, 2},
                              {7, 0x008C00, 3}, {4, 0x00C300, 3}, {7, 0x008C00, 2}, {4, 0x00C300, 2}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(map.lines[i].width, expected[i].width) << i;
        EXPECT_EQ(map.lines[i].colour, expected[i].colour) << i;
        EXPECT_EQ(map.lines[i].points, expected[i].points) << i;
    }
}

TEST_F(RouteDrawingTest, AnActiveRouteIsEightWideWithItsOwnColours) {
    AddResult(1);
    AddResult(2);
    manager.SelectResult(1);
    manager.AcceptSelectedResult(); // the route is followed: only the selected one stays
    ASSERT_TRUE(manager.RouteActive());
    manager.DrawResultRoutes(&dc, map);
    ASSERT_EQ(map.lines.size(), 4u);
    EXPECT_EQ(map.lines[0].width, 8);
    EXPECT_EQ(map.lines[0].colour, COLORREF(RGB(152, 250, 253)));
    EXPECT_EQ(map.lines[1].width, 6);
    EXPECT_EQ(map.lines[1].colour, COLORREF(RGB(255, 68, 68)));
}

TEST_F(RouteDrawingTest, HiddenSectionsAndSectionsWithoutABoxAreSkipped) {
    CRoute* route = AddResult(3);
    map.hiddenFromX = 6000; // map 1's box lies outside the view
    route->DrawPath(&dc, map, 7, 3, 1, 2);
    ASSERT_EQ(map.lines.size(), 2u);
    EXPECT_EQ(map.lines[0].points, 3);

    map.lines.clear();
    map.hiddenFromX = 1 << 30;
    std::vector<MapBox> one{{0, 0, 5000, 5000}};
    route->boxes = &one; // map 1 has no box
    route->DrawPath(&dc, map, 7, 3, 1, 2);
    EXPECT_EQ(map.lines.size(), 2u);
}

TEST_F(RouteDrawingTest, MarkersOfTheEditedRouteShowUntilItHasAResult) {
    CRoute& edited = manager.EditedRoute();
    edited.header->goal = {45200000, 12100000};
    manager.DrawRoutes(&dc, map); // no result: the edited route's goal
    ASSERT_EQ(map.markers.size(), 1u);
    EXPECT_EQ(map.markers[0].symbol, 1);
    map.markers.clear();
    AddResult(1); // the committed route carries the goal; the new edited one is a copy
    manager.Result(0)->header->goal = {45200000, 12100000};
    manager.DrawRoutes(&dc, map);
    ASSERT_FALSE(map.markers.empty());
    EXPECT_EQ(map.markers.back().symbol, 3);
}

TEST_F(RouteDrawingTest, KindsOutsideTheTableTakeKindZerosColours) {
    COLORREF outer = 1, inner = 1;
    for (int kind : {-1, 5, 99}) {
        CRoute::KindColours(kind, outer, inner);
        EXPECT_EQ(outer, 0u);
        EXPECT_EQ(inner, 0u);
    }
    CRoute::KindColours(4, outer, inner);
    EXPECT_EQ(outer, 0xC300BCu);
    EXPECT_EQ(inner, 0xF800EFu);
}

TEST_F(RouteDrawingTest, MarkersHangFromTheirPointsAndNeedAStart) {
    CRoute route;
    RouteHeader& h = *route.header;
    h.start = {45100000, 12000000};
    h.goal = {45200000, 12100000};
    h.waypoints[0] = {45150000, 12050000};
    h.waypoints[1] = {45160000, 12060000};
    RouteWaypoint w;
    w.x = 45150000;
    w.y = 12050000;
    route.waypoints.Add(w);
    w.x = 45160000;
    w.y = 12060000;
    route.waypoints.Add(w);
    auto at = [](std::int32_t nx, std::int32_t ny) {
        // Map coordinates: (X - 45,000,000) / 3.75 and (Y - 11,910,000) / 3; the marker's top-left
        // is 7 left and 28 above.
        return POINT{static_cast<LONG>((nx - 45000000) / 3.75) - 7, (ny - 11910000) / 3 - 28};
    };
    struct Case {
        std::uint8_t hasResult;
        int start, first, goal;
    } cases[] = {{1, 2, 9, 3}, {0, 0, 4, 1}};
    for (const Case& c : cases) {
        map.markers.clear();
        route.hasResult = c.hasResult;
        route.DrawMarkers(&dc, map);
        ASSERT_EQ(map.markers.size(), 4u);
        EXPECT_EQ(map.markers[0].symbol, c.start);
        EXPECT_EQ(map.markers[1].symbol, c.first);
        EXPECT_EQ(map.markers[2].symbol, c.first + 1);
        EXPECT_EQ(map.markers[3].symbol, c.goal);
        // The conversion to map units may round the last unit either way.
        EXPECT_NEAR(map.markers[0].x, at(45100000, 12000000).x, 1);
        EXPECT_NEAR(map.markers[0].y, at(45100000, 12000000).y, 1);
        EXPECT_NEAR(map.markers[3].x, at(45200000, 12100000).x, 1);
        EXPECT_NEAR(map.markers[3].y, at(45200000, 12100000).y, 1);
    }
    // Without a start only the goal is marked.
    map.markers.clear();
    route.hasResult = 1;
    h.start = RoutePoint();
    route.DrawMarkers(&dc, map);
    ASSERT_EQ(map.markers.size(), 1u);
    EXPECT_EQ(map.markers[0].symbol, 3);
}

TEST(TrafficColours, SpeedClassesByLinkKindAndDisplayFlags) {
    // Link 7 is an ordinary link, link 9 a highway link.
    traffictest::OpenStore(16, {9});
    CTraffic* t = CTraffic::instance();
    struct Case {
        int speed;
        bool highway;
        unsigned long colour;
    } cases[] = {{5, false, 0x8000FF},  {9, false, 0x8000FF},  {10, false, 0x1894C9}, {19, false, 0x1894C9},
                 {20, false, 0x00B93D}, {39, false, 0x00B93D}, {40, false, 0xDC0000}, {19, true, 0x8000FF},
                 {20, true, 0x1894C9},  {40, true, 0x00B93D},  {69, true, 0x00B93D},  {70, true, 0xDC0000}};
    for (const Case& c : cases) {
        const unsigned short index = c.highway ? 9 : 7;
        traffictest::SetSpeed(index, static_cast<std::uint8_t>(c.speed));
        unsigned long colour = 0;
        EXPECT_EQ(t->getLinkColorByIdx(index, colour), 1) << c.speed;
        EXPECT_EQ(colour, c.colour) << c.speed << (c.highway ? " highway" : "");
    }
    unsigned long colour = 12345;
    EXPECT_EQ(t->getLinkColorByIdx(8, colour), 0); // no speed
    EXPECT_EQ(colour, 12345u);
    const bool offCongested[4] = {true, true, true, false};
    t->SetDisplayOnOff(offCongested);
    traffictest::SetSpeed(7, 5);
    EXPECT_EQ(t->getLinkColorByIdx(7, colour), 0);
    traffictest::CloseStore();
}

} // namespace
