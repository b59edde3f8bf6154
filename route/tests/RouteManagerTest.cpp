// The route manager over the sample region: editing rules, searches with waypoints, results,
// re-routing, route files, and what happens when the engine is missing.
#include "platform/base/Text.h"
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "route/base/ErrorLog.h"
#include "route/tests/EngineFixture.h"
#include "route/tests/HandNetwork.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace {

using enginetest::Km;
using enginetest::TempDevice;

POINT MapOf(mkdev::NetPoint p) {
    POINT m;
    std::int32_t x = 0, y = 0;
    NetToMapCoord(p.x, p.y, x, y);
    m.x = x;
    m.y = y;
    return m;
}

std::vector<std::uint8_t> ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class SampleManager : public ::testing::Test {
protected:
    static void SetUpTestSuite() { device = new TempDevice(mkdev::BuildSampleRegion()); }
    static void TearDownTestSuite() {
        delete device;
        device = nullptr;
    }
    void SetUp() override {
        DeviceRoot::SetRoot(Root().string());
        std::filesystem::remove_all(Root() / "My Documents");
        ASSERT_EQ(manager.Init(TempDevice::DataFolder()), 1);
        manager.SetRouteKind(1);
    }
    static std::filesystem::path Root() {
        return device->File("x").parent_path().parent_path().parent_path();
    }

    int SetStart(double e, double n, const CString& name = u"출발") {
        const POINT p = MapOf(Km(e, n));
        return manager.SetStart(p.x, p.y, name);
    }
    int SetGoal(double e, double n, const CString& name = u"도착") {
        const POINT p = MapOf(Km(e, n));
        return manager.SetGoal(p.x, p.y, name);
    }
    int Via(double e, double n, int index) {
        const POINT p = MapOf(Km(e, n));
        return manager.InsertWaypoint(p.x, p.y, u"경유", index);
    }
    // From 나래 over 가람 (on 역전로) and 지방도317 east of the roundabout to 바람.
    void AcrossTheRegion() {
        ASSERT_GE(SetStart(4.25, 20.5), 1);
        ASSERT_GE(Via(12.1, 11.8, 0), 1);
        ASSERT_GE(Via(17.0, 12.25, 1), 1);
        ASSERT_GE(SetGoal(24.25, 22.5), 1);
    }
    RouteWaypoint Waypoint(double e, double n) {
        RouteWaypoint w;
        const mkdev::NetPoint p = Km(e, n);
        w.x = p.x;
        w.y = p.y;
        return w;
    }

    static TempDevice* device;
    CRouteManager manager;
};

TempDevice* SampleManager::device = nullptr;

TEST_F(SampleManager, RouteAcrossTheRegionWithTwoWaypoints) {
    AcrossTheRegion();
    ASSERT_EQ(manager.SearchRoute(), 0);
    ASSERT_EQ(manager.CommitRoute(), 1);
    const CRoutePath& path = *manager.SelectedRoute()->path;
    ASSERT_GT(path.ItemCount(), 5);
    EXPECT_EQ(path.Items()[0].remaining, static_cast<std::uint32_t>(path.TotalLength()));
    for (int i = 1; i < path.ItemCount(); ++i)
        EXPECT_LT(path.Items()[i].remaining, path.Items()[i - 1].remaining) << i;
    const CPathLinkItem& last = path.Items()[path.ItemCount() - 1];
    EXPECT_EQ(last.kind, 3);
    int waypointItems = 0;
    for (const CPathLinkItem& item : path.Items().Items()) waypointItems += item.kind == 2;
    EXPECT_EQ(waypointItems, 2);
    std::set<int> codes;
    for (const CRouteLinkKey& g : path.Guides().Items()) codes.insert(g.guideCode);
    EXPECT_TRUE(codes.count(60));
    EXPECT_TRUE(codes.count(59));
    EXPECT_TRUE(std::any_of(codes.begin(), codes.end(), [](int c) { return c >= 46 && c <= 57; }));
    // Korean crossing names come through whole.
    std::set<std::string> names;
    for (const CPathLinkItem& item : path.Items().Items()) names.insert(Cp949ToUtf8(item.name));
    EXPECT_TRUE(names.count("가람역사거리"));
    EXPECT_TRUE(names.count("가람회전교차로"));
    // The header carries the waypoints and the names.
    const RouteHeader& h = *manager.SelectedRoute()->header;
    EXPECT_EQ(h.version, 15);
    EXPECT_EQ(h.kind, 1);
    EXPECT_TRUE(h.waypoints[1].IsSet());
    EXPECT_FALSE(h.waypoints[2].IsSet());
    EXPECT_EQ(manager.GetGoalName(), CString(u"도착"));
    EXPECT_EQ(manager.GetWaypointName(0), CString(u"경유"));
    EXPECT_EQ(manager.LastSearch(), 1);
    EXPECT_EQ(manager.GetRouteOption(0), 1);
}

TEST_F(SampleManager, ProgressCountsPassedWaypointsAndRerouteDropsThem) {
    AcrossTheRegion();
    ASSERT_EQ(manager.SearchRoute(), 0);
    manager.CommitRoute();
    const CRoutePath& path = *manager.SelectedRoute()->path;
    int firstWaypoint = -1;
    ASSERT_EQ(path.FindItemOfKind(2, 0, firstWaypoint), 1);
    const CPathLinkItem& after = path.Items()[firstWaypoint + 1];
    int counter = -1;
    ASSERT_TRUE(manager.UpdateProgress(after.mapId, after.linkId, after.direction, 0, &counter));
    EXPECT_EQ(counter, 1);
    EXPECT_EQ(manager.PassedWaypoints(), 1);
    EXPECT_FALSE(manager.UpdateProgress(after.mapId, 9999, 0, 0, &counter));
    // The vehicle sets out from where it is; the passed waypoint goes, the other stays (2 km+).
    const mkdev::NetPoint here = Km(13.0, 11.8);
    manager.SetStartAtCurrentPos(after.mapId, after.linkId, 0, here.x, here.y);
    EXPECT_EQ(manager.GetStartName(), CString(u"출발")); // the selected route's name
    EXPECT_EQ(manager.Reroute(), 0);
    EXPECT_EQ(manager.GetWaypointCount(), 1);
}

TEST_F(SampleManager, ARouteWithOneWaypointSucceeds) {
    ASSERT_GE(SetStart(4.25, 20.5), 1);
    ASSERT_GE(Via(12.1, 11.8, 0), 1);
    ASSERT_GE(SetGoal(24.25, 22.5), 1);
    EXPECT_EQ(manager.SearchRoute(), 0);
}

TEST_F(SampleManager, EditingRules) {
    ASSERT_GE(SetStart(4.25, 20.5), 1);
    ASSERT_GE(SetGoal(24.25, 22.5), 1);
    const POINT oldStart = manager.GetStartPos();
    // A start at the goal's own place is refused and the old start is kept (another place on
    // the goal's link is a route along it: see OneLinkAndNeighbouringLinkRoutes).
    EXPECT_EQ(SetStart(24.25, 22.5), 0);
    EXPECT_EQ(manager.GetStartPos().x, oldStart.x);
    EXPECT_EQ(manager.GetStartPos().y, oldStart.y);
    // A waypoint on the link of an existing one: 10.
    ASSERT_GE(Via(12.1, 11.8, 0), 1);
    EXPECT_EQ(Via(12.15, 11.8, 1), CRouteManager::kRepeatedWaypoint);
    // A waypoint on the start's or the goal's link: 0.
    EXPECT_EQ(Via(24.25, 22.45, 1), 0);
    // Indices past the end, negative, or a sixth waypoint are refused.
    EXPECT_EQ(Via(17.0, 12.25, 3), 0);
    EXPECT_EQ(Via(17.0, 12.25, -1), 0);
    ASSERT_GE(Via(17.0, 12.25, 1), 1);
    ASSERT_GE(Via(11.8, 14.5, 2), 1);
    ASSERT_GE(Via(11.85, 6.0, 3), 1);
    ASSERT_GE(Via(1.2, 10.5, 4), 1);
    ASSERT_EQ(manager.GetWaypointCount(), 5);
    EXPECT_EQ(Via(24.5, 3.5, 5), 0);
    // An index below the count replaces that entry.
    const POINT w1 = manager.GetWaypointPos(1);
    ASSERT_GE(Via(24.5, 3.5, 1), 1);
    EXPECT_EQ(manager.GetWaypointCount(), 5);
    EXPECT_NE(manager.GetWaypointPos(1).x, w1.x);
    // Moves and removals check their indices.
    const POINT w0 = manager.GetWaypointPos(0);
    manager.MoveWaypointUp(0);
    manager.MoveWaypointUp(7);
    manager.MoveWaypointDown(4);
    manager.MoveWaypointDown(-1);
    EXPECT_EQ(manager.GetWaypointPos(0).x, w0.x);
    manager.MoveWaypointDown(0);
    EXPECT_EQ(manager.GetWaypointPos(1).x, w0.x);
    manager.MoveWaypointUp(1);
    EXPECT_EQ(manager.GetWaypointPos(0).x, w0.x);
    manager.RemoveWaypoint(5);
    manager.RemoveWaypoint(-1);
    EXPECT_EQ(manager.GetWaypointCount(), 5);
    manager.RemoveWaypoint(0);
    EXPECT_EQ(manager.GetWaypointCount(), 4);
    EXPECT_EQ(manager.GetWaypointPos(4).x, -1);
    EXPECT_TRUE(manager.HasWaypoints());
    manager.ClearWaypoints();
    EXPECT_FALSE(manager.HasWaypoints());
}

TEST_F(SampleManager, GoalMementoAndPointChecks) {
    EXPECT_EQ(manager.CheckPoints(), CRouteManager::kNoStart);
    EXPECT_TRUE(manager.IsGoalMissing());
    ASSERT_GE(SetStart(4.25, 20.5), 1);
    EXPECT_EQ(manager.CheckPoints(), CRouteManager::kNoGoal);
    EXPECT_EQ(manager.SearchRoute(), CRouteManager::kNoGoal);
    ASSERT_GE(SetGoal(24.25, 22.5, u"첫째"), 1);
    const POINT first = manager.GetGoalPos();
    ASSERT_GE(SetGoal(24.5, 3.5, u"둘째"), 1);
    EXPECT_EQ(manager.CheckPoints(), 0);
    manager.RestorePrevGoal();
    EXPECT_EQ(manager.GetGoalPos().x, first.x);
    EXPECT_EQ(manager.GetGoalName(), CString(u"첫째"));
    EXPECT_TRUE(manager.HasGoal());
}

TEST_F(SampleManager, ReverseSearchWithAWaypointIs41) {
    ASSERT_GE(SetStart(4.25, 20.5), 1);
    ASSERT_GE(Via(12.1, 11.8, 0), 1);
    ASSERT_GE(SetGoal(24.25, 22.5), 1);
    manager.SetReverse(true);
    EXPECT_EQ(manager.SearchRoute(), CRouteManager::kReverseWithWaypoints);
    manager.ClearWaypoints();
    EXPECT_EQ(manager.SearchRoute(), 0);
    // The reversed route starts near the old goal.
    const CRoutePath& path = *manager.EditedRoute().path;
    ASSERT_GT(path.Points().Count(), 1);
    const POINT goal = MapOf(Km(24.25, 22.5));
    EXPECT_LT(std::abs(path.Points()[0].x - goal.x) + std::abs(path.Points()[0].y - goal.y), 2000);
}

TEST_F(SampleManager, LegsAddingUpToMoreThan700KmAre32) {
    ASSERT_GE(SetStart(4.25, 20.5), 1);
    ASSERT_GE(SetGoal(24.25, 22.5), 1);
    CRoute& route = manager.EditedRoute();
    const LinkPos startPos = route.start;
    // Four points along x, three legs of n units each: 843,000 x 0.27654 x 3 = 699,369.7 m;
    // 844,000 units: 700,199.3 m.
    struct Case {
        std::int32_t legUnits;
        bool tooFar;
    };
    for (const Case& c : {Case{844000, true}, Case{843000, false}}) {
        route.waypoints.Clear();
        route.header->start = RoutePoint{45000000, 12000000};
        for (int i = 1; i <= 2; ++i) {
            RouteWaypoint w;
            w.pos = startPos;
            w.pos.mapId = static_cast<std::uint16_t>(i); // kept apart from each other
            w.x = 45000000 + i * c.legUnits;
            w.y = 12000000;
            route.waypoints.Add(w);
        }
        route.header->goal = RoutePoint{45000000 + 3 * c.legUnits, 12000000};
        const int code = manager.SearchRoute();
        if (c.tooFar)
            EXPECT_EQ(code, CRouteManager::kTooFar);
        else
            EXPECT_NE(code, CRouteManager::kTooFar);
    }
}

TEST_F(SampleManager, ResultsSelectionAndAcceptance) {
    EXPECT_EQ(manager.SelectResult(1), 1); // nothing to select
    EXPECT_EQ(manager.SelectedRoute(), nullptr);
    for (int kind : {1, 3, 3}) {
        manager.SetRouteKind(kind);
        ASSERT_EQ(manager.CommitRoute(), 1);
    }
    ASSERT_EQ(manager.GetRouteCount(), 3);
    EXPECT_EQ(manager.SelectedIndex(), 2);
    struct Case {
        int kind, index;
    };
    for (const Case& c : {Case{0, 0}, Case{3, 2}, Case{1, 0}, Case{4, 0}, Case{3, 2}, Case{2, 2}}) {
        EXPECT_EQ(manager.SelectResult(c.kind), 1);
        EXPECT_EQ(manager.SelectedIndex(), c.index) << c.kind;
        EXPECT_EQ(manager.SelectedRoute(), manager.Result(c.index));
    }
    EXPECT_EQ(manager.GetResultId(0), 1);
    EXPECT_EQ(manager.GetResultId(2), 3);
    EXPECT_EQ(manager.GetResultId(3), -1);
    EXPECT_EQ(manager.GetResultId(-1), -1);

    manager.SelectResult(1);
    manager.SetRouteKind(4);
    manager.AcceptSelectedResult();
    ASSERT_EQ(manager.GetRouteCount(), 1);
    EXPECT_EQ(manager.GetResultId(0), 1);
    EXPECT_EQ(manager.SelectedRoute(), manager.Result(0));
    EXPECT_EQ(manager.EditedRoute().header->kind, 1);
    EXPECT_TRUE(manager.RouteActive());
    EXPECT_NE(manager.Engine(), nullptr);
    manager.ClearResults();
    EXPECT_EQ(manager.GetRouteCount(), 0);
    EXPECT_EQ(manager.SelectedRoute(), nullptr);
}

TEST_F(SampleManager, CommitKeepsEditingACopy) {
    ASSERT_GE(SetStart(4.25, 20.5, u"집"), 1);
    ASSERT_GE(Via(12.1, 11.8, 0), 1);
    ASSERT_GE(SetGoal(24.25, 22.5), 1);
    manager.SetUseTraffic(1);
    ASSERT_EQ(manager.SearchRoute(), 0);
    CRoute* searched = &manager.EditedRoute();
    ASSERT_EQ(manager.CommitRoute(), 1);
    EXPECT_EQ(manager.SelectedRoute(), searched);
    CRoute& copy = manager.EditedRoute();
    EXPECT_NE(&copy, searched);
    EXPECT_EQ(copy.waypoints.Count(), 1);
    EXPECT_EQ(copy.useTraffic, 1);
    EXPECT_EQ(copy.startText, CString(u"집"));
    EXPECT_EQ(std::memcmp(copy.header->startName, searched->header->startName, 20), 0);
    EXPECT_EQ(copy.path->IsValid(), 0);
    // The memento was cleared: restoring leaves no goal.
    manager.RestorePrevGoal();
    EXPECT_TRUE(manager.IsGoalMissing());
}

TEST_F(SampleManager, RerouteDropsWaypointsNearTheVehicle) {
    ASSERT_GE(SetGoal(24.25, 22.5), 1);
    const mkdev::NetPoint here = Km(12.1, 11.8);
    manager.SetStartAtCurrentPos(4, 10, 0, here.x, here.y);
    // In index order: 900 m, 500 m and 2 km east of the vehicle.
    CRoute& route = manager.EditedRoute();
    for (double metres : {900.0, 500.0, 2000.0}) {
        RouteWaypoint w = Waypoint(12.1 + metres / 1000.0, 11.8);
        w.pos.mapId = 4;
        w.pos.linkId = static_cast<std::uint16_t>(metres);
        route.waypoints.Add(w);
    }
    manager.Reroute();
    ASSERT_EQ(manager.GetWaypointCount(), 1);
    EXPECT_EQ(route.waypoints[0].pos.linkId, 2000);
    EXPECT_EQ(manager.GetStartName(), CString(u"현위치"));
}

TEST_F(SampleManager, AStoppedSearchFailsAndLeavesNoResult) {
    AcrossTheRegion();
    ASSERT_EQ(manager.SearchRouteFromCurrentPos(), 0); // writes the route table
    const auto table = Root() / "My Documents" / "Velko" / "RouteTbl.bin";
    ASSERT_TRUE(std::filesystem::exists(table));
    manager.StopSearch();
    EXPECT_NE(manager.SearchRouteFromCurrentPos(), 0);
    EXPECT_EQ(manager.EditedRoute().hasResult, 0);
    EXPECT_EQ(manager.EditedRoute().path->IsValid(), 0);
    EXPECT_EQ(manager.GetRouteOption(0), 0);
    EXPECT_EQ(manager.LastSearch(), 0);
}

TEST_F(SampleManager, SavedRouteAndRouteTableAgreeAfterTheirHeaders) {
    AcrossTheRegion();
    ASSERT_EQ(manager.SearchRouteFromCurrentPos(), 0);
    manager.CommitRoute();
    std::filesystem::create_directories(Root() / "My Documents" / "VelkoData" / "SaveRoute");
    ASSERT_TRUE(manager.SaveRouteFile(u"\\My Documents\\VelkoData\\SaveRoute\\집R.vkp"));
    const auto blob = ReadHost((Root() / "My Documents" / "Velko" / "RouteTbl.bin").string());
    const auto saved = ReadHost((Root() / "My Documents" / "VelkoData" / "SaveRoute" / "집R.vkp").string());
    ASSERT_GT(blob.size(), 280u);
    ASSERT_EQ(saved.size(), blob.size());
    EXPECT_TRUE(std::equal(blob.begin() + 208, blob.end(), saved.begin() + 208));
}

TEST_F(SampleManager, RouteTableRoundTrip) {
    AcrossTheRegion();
    // A start name of exactly 20 bytes is kept whole.
    const CString twenty = u"가나다라마바사아자차"; // 10 characters, 20 bytes
    ASSERT_GE(SetStart(4.25, 20.5, twenty), 1);
    ASSERT_EQ(manager.SearchRoute(), 0);
    manager.CommitRoute();
    ASSERT_TRUE(manager.SaveRouteFile(nullptr));
    const auto bytes = ReadHost((Root() / "My Documents" / "Velko" / "RouteTbl.bin").string());
    ASSERT_GT(bytes.size(), 208u);

    CRouteManager other;
    ASSERT_EQ(other.Init(TempDevice::DataFolder()), 1);
    ASSERT_TRUE(other.LoadRouteFile(nullptr));
    ASSERT_EQ(other.GetRouteCount(), 1);
    ASSERT_EQ(other.SelectedRoute(), other.Result(0));
    std::uint8_t header[208];
    other.SelectedRoute()->header->Write(header);
    EXPECT_TRUE(std::equal(header, header + 208, bytes.begin()));
    EXPECT_EQ(other.GetStartName(), twenty);
    EXPECT_EQ(other.SelectedRoute()->path->Pack(), manager.SelectedRoute()->path->Pack());
    // The loaded route is bound to the network again: start, goal and both waypoints.
    EXPECT_EQ(other.GetWaypointCount(), 2);
    EXPECT_NE(other.EditedRoute().start.mapId, 0xFFFF);
    EXPECT_NE(other.EditedRoute().goal.mapId, 0xFFFF);
    EXPECT_TRUE(other.RouteActive());
    // ... and can be searched again.
    EXPECT_EQ(other.SearchRoute(), 0);
}

TEST_F(SampleManager, BadRouteFilesAreRefusedAndKeepTheResults) {
    AcrossTheRegion();
    ASSERT_EQ(manager.SearchRoute(), 0);
    manager.CommitRoute();
    ASSERT_TRUE(manager.SaveRouteFile(nullptr));
    const std::string table = (Root() / "My Documents" / "Velko" / "RouteTbl.bin").string();
    const auto good = ReadHost(table);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> v14 = good, cut = good, huge = good;
    v14[0] = 14;
    cut.resize(good.size() - 5);
    handnet::PutU32(huge, 208 + 4 * 11, 0x10000000); // shape-point count
    const Case cases[] = {{"version 14", v14}, {"cut short", cut}, {"huge count", huge}, {"empty", {}}};
    for (const Case& c : cases) {
        ASSERT_TRUE(ReplaceFileContents(u"\\bad.vkp", c.bytes));
        EXPECT_FALSE(manager.LoadRouteFile(u"\\bad.vkp")) << c.what;
        EXPECT_EQ(manager.GetRouteCount(), 1) << c.what;
        EXPECT_EQ(manager.SelectedRoute(), &manager.EditedRoute()) << c.what;
    }
    EXPECT_FALSE(manager.LoadRouteFile(u"\\missing.vkp"));
    // The good file still loads.
    ASSERT_TRUE(manager.LoadRouteFile(nullptr));
    EXPECT_EQ(manager.GetRouteCount(), 1);
}

TEST_F(SampleManager, ALoadedRouteWithoutAGoalRestoresTheStartOnly) {
    AcrossTheRegion();
    ASSERT_EQ(manager.SearchRoute(), 0);
    manager.CommitRoute();
    ASSERT_TRUE(manager.SaveRouteFile(nullptr));
    const std::string table = (Root() / "My Documents" / "Velko" / "RouteTbl.bin").string();
    auto bytes = ReadHost(table);
    handnet::PutU32(bytes, 20, 0xFFFFFFFF); // goal x
    handnet::PutU32(bytes, 24, 0xFFFFFFFF); // goal y
    ASSERT_TRUE(ReplaceFileContents(u"\\nogoal.vkp", bytes));
    CRouteManager other;
    ASSERT_EQ(other.Init(TempDevice::DataFolder()), 1);
    ASSERT_TRUE(other.LoadRouteFile(u"\\nogoal.vkp"));
    EXPECT_NE(other.EditedRoute().start.mapId, 0xFFFF);
    EXPECT_EQ(other.EditedRoute().goal.mapId, 0xFFFF);
    EXPECT_EQ(other.GetWaypointCount(), 0);
    EXPECT_TRUE(other.IsGoalMissing());
}

TEST_F(SampleManager, ClearRouteDeletesTheRouteTable) {
    AcrossTheRegion();
    ASSERT_EQ(manager.SearchRouteFromCurrentPos(), 0);
    manager.CommitRoute();
    manager.SetPinnedPoint(5, 6);
    EXPECT_EQ(manager.GetTargetPos().x, 5);
    EXPECT_TRUE(manager.ClearRoute());
    EXPECT_FALSE(std::filesystem::exists(Root() / "My Documents" / "Velko" / "RouteTbl.bin"));
    EXPECT_EQ(manager.SelectedRoute()->path->IsValid(), 0);
    EXPECT_EQ(manager.GetWaypointCount(), 0);
    EXPECT_NE(manager.GetTargetPos().x, 5);
    EXPECT_FALSE(manager.ClearRoute()); // nothing left to delete
}

TEST(RouteManagerWithoutEngine, InitFailureIsPassedOnAndNothingTouchesTheEngine) {
    TempDevice device(mkdev::BuildSampleRegion());
    std::filesystem::remove(device.File("MRCrossName.bin")); // the engine's reader cannot open
    CRouteManager manager;
    EXPECT_EQ(manager.Init(TempDevice::DataFolder()), 0);
    EXPECT_EQ(manager.Engine(), nullptr);
    const POINT p = MapOf(Km(4.25, 20.5));
    EXPECT_LT(manager.SetStart(p.x, p.y, u"a"), 1);
    EXPECT_LT(manager.SetGoal(p.x, p.y, u"b"), 1);
    EXPECT_LT(manager.InsertWaypoint(p.x, p.y, u"c", 0), 1);
    EXPECT_EQ(manager.SetStartAtCurrentPos(1, 2, 0, 45735368, 13536388), 1);
    manager.EditedRoute().header->goal = RoutePoint{45807691, 13542865};
    EXPECT_NE(manager.SearchRoute(), 0);
    EXPECT_NE(manager.Reroute(), 0);
    EXPECT_FALSE(manager.RebindLoadedRoute());
}

TEST(RouteManagerWithoutEngine, AMissingOrEmptyDirectoryFailsInit) {
    TempDevice device(mkdev::BuildSampleRegion());
    auto manage = device.Read("MRManage.bin");
    manage[0] = manage[1] = 0; // map count 0
    device.Write("MRManage.bin", manage);
    CRouteManager manager;
    EXPECT_EQ(manager.Init(TempDevice::DataFolder()), 0);
    CRouteManager none;
    EXPECT_EQ(none.Init(u"\\NoSuchFolder"), 0);
}

} // namespace

namespace {

TEST_F(SampleManager, AResultThatCannotBeWrittenIs18AndLogged) {
    AcrossTheRegion();
    // A folder where the route table file goes: the result cannot be written.
    std::filesystem::create_directories(Root() / "My Documents" / "Velko" / "RouteTbl.bin" / "x");
    const auto log = Root() / "result_error.txt";
    std::filesystem::remove(log);
    ErrorLog::Instance().SetFileName("\\result_error.txt");
    ErrorLog::Instance().SetEnabled(1);
    const int code = manager.SearchRouteFromCurrentPos();
    ErrorLog::Instance().SetEnabled(0);
    ErrorLog::Instance().SetFileName("./ErrorLog.txt");
    EXPECT_EQ(code, CRouteManager::kResultFailed);
    EXPECT_EQ(manager.EditedRoute().hasResult, 0);
    const auto bytes = ReadHost(log.string());
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("File Open Error"), std::string::npos) << text;
    EXPECT_NE(text.find("make result file Error"), std::string::npos) << text;
    std::filesystem::remove_all(Root() / "My Documents");
}

} // namespace

namespace {

// Routes of the sample region that once came out wrong: each is checked item by item against
// the network's one-way codes and turn masks, and must end on the goal's link.
class SampleManagerRoutes : public SampleManager {
protected:
    void SetUp() override {
        SampleManager::SetUp();
        ASSERT_EQ(reader.Open(3, TempDevice::DataFolder()), 1);
    }
    static POINT Map(std::int32_t x, std::int32_t y) { return MapOf(mkdev::NetPoint{x, y}); }
    int Route(int kind, mkdev::NetPoint from, std::vector<mkdev::NetPoint> via, mkdev::NetPoint to) {
        manager.SetRouteKind(kind);
        POINT p = Map(from.x, from.y);
        EXPECT_GE(manager.SetStart(p.x, p.y, u"출발"), 1);
        for (std::size_t i = 0; i < via.size(); ++i) {
            p = Map(via[i].x, via[i].y);
            EXPECT_GE(manager.InsertWaypoint(p.x, p.y, u"경유", static_cast<int>(i)), 1);
        }
        p = Map(to.x, to.y);
        EXPECT_GE(manager.SetGoal(p.x, p.y, u"도착"), 1);
        return manager.SearchRoute();
    }
    std::vector<std::uint8_t> Link(int map, int link) {
        std::vector<std::uint8_t> rec(mrformat::kLinkSize);
        EXPECT_TRUE(reader.ReadLink(rec.data(), map, link));
        return rec;
    }
    // Every item driven the way its one-way code allows, every turn between two items of one
    // sheet allowed by the crossing's mask, the last item on the goal's link.
    void CheckRoute(const char* what) {
        const CRoutePath& path = *manager.EditedRoute().path;
        ASSERT_GT(path.ItemCount(), 0) << what;
        for (int k = 0; k < path.ItemCount(); ++k) {
            const CPathLinkItem& it = path.Items()[k];
            const auto rec = Link(it.mapId, it.linkId);
            const int w = mrformat::U16(rec.data() + 10) & 3;
            EXPECT_NE(w, 3) << what << " item " << k;
            EXPECT_FALSE(w == 1 && it.direction == 1) << what << " item " << k << " drives a one-way link backwards";
            EXPECT_FALSE(w == 2 && it.direction == 0) << what << " item " << k << " drives a one-way link backwards";
            if (k == 0) continue;
            const CPathLinkItem& prev = path.Items()[k - 1];
            if (prev.mapId != it.mapId) continue;
            const auto prevRec = Link(prev.mapId, prev.linkId);
            const int node = prev.direction == 0 ? mrformat::LinkEndNode(prevRec.data())
                                                 : mrformat::LinkStartNode(prevRec.data());
            const int entry = it.direction == 0 ? mrformat::LinkStartNode(rec.data())
                                                : mrformat::LinkEndNode(rec.data());
            EXPECT_EQ(node, entry) << what << " item " << k << " does not start where item " << k - 1 << " ends";
            std::uint8_t nodeRec[mrformat::kNodeSize];
            ASSERT_TRUE(reader.ReadNode(nodeRec, it.mapId, node));
            const std::uint32_t ref = mrformat::U32(nodeRec + 4);
            if (mrformat::IsPassThrough(ref)) continue;
            MRCrossNode cross;
            ASSERT_TRUE(reader.ReadCrossNode(cross, it.mapId, ref));
            int from = -1, to = -1;
            for (int i = 0; i < cross.count; ++i) {
                if (cross.links[i] == prev.linkId) from = i;
                if (cross.links[i] == it.linkId) to = i;
            }
            ASSERT_GE(from, 0);
            ASSERT_GE(to, 0);
            EXPECT_TRUE(cross.count == 1 || ((cross.turns[from] >> to) & 1))
                << what << " banned turn before item " << k;
        }
        const CPathLinkItem& last = path.Items()[path.ItemCount() - 1];
        EXPECT_EQ(last.mapId, manager.EditedRoute().goal.mapId) << what;
        EXPECT_EQ(last.linkId, manager.EditedRoute().goal.linkId) << what << " the route stops short of the goal";
        EXPECT_EQ(last.kind, 3) << what;
    }
    MRReader reader;
};

TEST_F(SampleManagerRoutes, AWaypointOnAOneWayLinkIsDrivenItsWay) {
    // The waypoint lies on an expressway carriageway: the route reaches it in its own direction.
    ASSERT_EQ(Route(1, {45738081, 13535902}, {{45762670, 13496037}}, {45795989, 13478225}), 0);
    CheckRoute("waypoint on the expressway");
}

TEST_F(SampleManagerRoutes, AGoalBehindABannedTurnOrOnAOneWayLinkIsReached) {
    // The goal is down a street whose turn-in is banned: the route goes round, it does not stop
    // at the junction before it.
    ASSERT_EQ(Route(1, {45765924, 13506271}, {}, {45762670, 13505493}), 0);
    CheckRoute("banned turn-in");
    manager.ClearWaypoints();
    ASSERT_EQ(Route(1, {45759415, 13502384}, {}, {45758547, 13510157}), 0);
    CheckRoute("one-way goal link");
}

TEST_F(SampleManagerRoutes, ARouteThatComesBackThroughTheStartsNodeIsFound) {
    // The start is tied to the node its goal link also ends at: the only way is a loop out and
    // back into that node. The same route with a waypoint on the loop gives the length to match.
    ASSERT_EQ(Route(1, {45722372, 13497986}, {}, {45730848, 13496004}), 0);
    CheckRoute("back through the start's node");
    const int direct = manager.EditedRoute().path->TotalLength();
    ASSERT_EQ(Route(1, {45722372, 13497986}, {{45762670, 13496069}}, {45730848, 13496004}), 0);
    CheckRoute("the same with a waypoint");
    EXPECT_LE(direct, manager.EditedRoute().path->TotalLength());
}

TEST_F(SampleManagerRoutes, OneLinkAndNeighbouringLinkRoutes) {
    // The goal just past the first junction.
    ASSERT_EQ(Route(1, {45735368, 13536388}, {}, {45737177, 13536388}), 0);
    CheckRoute("neighbouring links");
    // Both points on one link: along it when the goal lies ahead, round the block otherwise.
    const std::int32_t y = 13536388;
    ASSERT_EQ(Route(1, {45735368, y}, {}, {45735600, y}), 0);
    CheckRoute("one link");
    EXPECT_EQ(manager.EditedRoute().path->ItemCount(), 1);
    const int along = manager.EditedRoute().path->TotalLength();
    ASSERT_EQ(Route(1, {45735610, y}, {}, {45735358, y}), 0);
    CheckRoute("one link, the other way");
    EXPECT_GT(manager.EditedRoute().path->TotalLength(), along);
}

} // namespace
