// A route planned by the engine over the sample region, driven by the simulator, and the same
// route written as NMEA by velko-gpssynth and matched back by velko-gpsmatch --route.
#include "position/MRNetReader.h"
#include "position/RouteSimulator.h"
#include "platform/files/tests/TempRoot.h"
#include "route/RouteFile.h"
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "tools/mkdevice/Networks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kRegionX = 45720000, kRegionY = 13470000;

class SampleDrive : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = new TempRoot();
        mkdev::BuildSampleRegion().Write(root->Path() + "/MapData/MRData");
    }
    static void TearDownTestSuite() {
        delete root;
        root = nullptr;
    }
    void SetUp() override {
        DeviceRoot::SetRoot(root->Path());
        ASSERT_EQ(manager.Init(u"\\MapData"), 1);
        manager.SetRouteKind(1);
        std::int32_t x, y;
        const mkdev::NetPoint s = mkdev::KmToNet(kRegionX, kRegionY, 4.25, 20.5);
        const mkdev::NetPoint g = mkdev::KmToNet(kRegionX, kRegionY, 24.25, 22.5);
        NetToMapCoord(s.x, s.y, x, y);
        ASSERT_GE(manager.SetStart(x, y, u"출발"), 1);
        NetToMapCoord(g.x, g.y, x, y);
        ASSERT_GE(manager.SetGoal(x, y, u"도착"), 1);
        ASSERT_EQ(manager.SearchRoute(), 0);
        ASSERT_EQ(manager.CommitRoute(), 1);
        path = manager.SelectedRoute()->path.get();
        ASSERT_NE(path, nullptr);
        ASSERT_GT(path->ItemCount(), 5);
    }

    static TempRoot* root;
    CRouteManager manager;
    CRoutePath* path = nullptr;
};

TempRoot* SampleDrive::root = nullptr;

double Metres(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const double dx = (x2 - x1) * 0.27654, dy = (y2 - y1) * 0.30879;
    return std::sqrt(dx * dx + dy * dy);
}

TEST_F(SampleDrive, SimulatorDrivesThePlannedRoute) {
    CMRNetReader reader;
    CRouteSimulator sim(&reader);
    ASSERT_TRUE(sim.Start(u"\\MapData"));
    std::int32_t sx, sy;
    MapToNetCoord(path->Points()[0].x, path->Points()[0].y, sx, sy);
    MatchResult out;
    ASSERT_EQ(sim.Step(*path, out, 20), 0);
    EXPECT_LT(Metres(out.x, out.y, sx, sy), 5.0);
    EXPECT_EQ(out.speedMps, 20);
    EXPECT_EQ(out.speedKmh, 72);
    int steps = 1, item = 0, r;
    while ((r = sim.Step(*path, out, 20)) == 0 && steps < 100000) {
        ++steps;
        ASSERT_GE(sim.GetItemIndex(), item);
        item = sim.GetItemIndex();
        const CPathLinkItem& it = path->Items()[item];
        ASSERT_EQ(out.mapId, it.mapId);
        ASSERT_EQ(out.linkIndex, it.linkId);
        ASSERT_EQ(out.reverse, it.direction);
        ASSERT_EQ(out.status, 1);
    }
    EXPECT_EQ(r, 1);
    EXPECT_EQ(item, path->ItemCount() - 1);
    // About one step per 20 m of the route.
    EXPECT_NEAR(steps * 20.0, path->TotalLength(), 60.0 + path->TotalLength() * 0.02);
    std::int32_t gx, gy;
    const CPathPoint& end = path->Points()[path->Points().Count() - 1];
    MapToNetCoord(end.x, end.y, gx, gy);
    EXPECT_LT(Metres(out.x, out.y, gx, gy), 25.0);
}

std::map<std::string, std::string> Fields(const std::string& line) {
    std::map<std::string, std::string> f;
    std::istringstream in(line);
    for (std::string kv; in >> kv;) {
        const std::size_t eq = kv.find('=');
        if (eq != std::string::npos) f[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    return f;
}

TEST_F(SampleDrive, SynthesisedDriveMatchesOntoTheRouteInOrder) {
    const std::string dir = root->Path();
    // The route file: the 208-byte route header, then the route object's stream.
    std::vector<std::uint8_t> file(RouteHeader::kSize);
    manager.SelectedRoute()->header->Write(file.data());
    const std::vector<std::uint8_t> stream = path->Pack();
    file.insert(file.end(), stream.begin(), stream.end());
    {
        std::ofstream out(dir + "/route.vkp", std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    std::string points;
    for (const CPathPoint& p : path->Points().Items())
        points += (points.empty() ? "" : ";") + std::to_string(p.x) + "," + std::to_string(p.y);
    const std::string synth = std::string(GPSSYNTH_EXE) + " --points '" + points +
                              "' --speed 60 --noise 5 --seed 7 --out " + dir + "/drive.nmea 2>/dev/null";
    ASSERT_EQ(std::system(synth.c_str()), 0);
    const std::string match = std::string(GPSMATCH_EXE) + " --root " + dir + " --route " + dir +
                              "/route.vkp " + dir + "/drive.nmea > " + dir + "/matched.txt";
    ASSERT_EQ(std::system(match.c_str()), 0);

    std::ifstream in(dir + "/matched.txt");
    int fixes = 0, onRoute = 0, item = 0;
    for (std::string line; std::getline(in, line);) {
        ++fixes;
        auto f = Fields(line);
        if (f["status"] != "1") continue;
        const int map = std::stoi(f["map"]), link = std::stoi(f["link"]), dirn = std::stoi(f["dir"]);
        // The route item of this link at or after the last one seen: the car only moves forward.
        int found = -1;
        for (int i = item; i < path->ItemCount(); ++i) {
            const CPathLinkItem& it = path->Items()[i];
            if (it.mapId == map && it.linkId == link && it.direction == dirn) {
                found = i;
                break;
            }
        }
        if (found < 0) continue;
        item = found;
        ++onRoute;
    }
    ASSERT_GT(fixes, 100);
    EXPECT_GE(onRoute * 100, fixes * 95) << onRoute << " of " << fixes;
    EXPECT_EQ(item, path->ItemCount() - 1);
}

TEST_F(SampleDrive, MatchToolRefusesBadInputAndWalksInPedestrianMode) {
    const std::string dir = root->Path();
    std::string points;
    for (int i = 0; i < 3 && i < path->Points().Count(); ++i)
        points += (points.empty() ? "" : ";") + std::to_string(path->Points()[i].x) + "," +
                  std::to_string(path->Points()[i].y);
    ASSERT_EQ(std::system((std::string(GPSSYNTH_EXE) + " --points '" + points + "' --speed 5 --out " + dir +
                           "/walk.nmea 2>/dev/null")
                              .c_str()),
              0);
    {
        std::ofstream junk(dir + "/junk.vkp", std::ios::binary);
        junk << std::string(300, '\xff');
    }
    const std::string tool(GPSMATCH_EXE);
    auto exitCode = [](const std::string& command) {
        const int status = std::system((command + " > /dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(exitCode(tool + " " + dir + "/walk.nmea"), 2);                            // no --root
    EXPECT_EQ(exitCode(tool + " --root " + dir + " --bogus " + dir + "/walk.nmea"), 2); // unknown option
    EXPECT_EQ(exitCode(tool + " --root " + dir + " --route " + dir + "/junk.vkp " + dir + "/walk.nmea"), 1);
    // No map data folder on the device, and a log that cannot be read: refused inputs.
    EXPECT_EQ(exitCode(tool + " --root " + dir + "/nowhere " + dir + "/walk.nmea"), 2);
    EXPECT_EQ(exitCode(tool + " --root " + dir + " " + dir + "/missing.nmea"), 2);
    ASSERT_EQ(
        std::system(
            (tool + " --root " + dir + " --pedestrian " + dir + "/walk.nmea > " + dir + "/walk.txt").c_str()),
        0);
    std::ifstream in(dir + "/walk.txt");
    int lines = 0;
    for (std::string line; std::getline(in, line);) {
        ++lines;
        auto f = Fields(line);
        EXPECT_EQ(f["status"], "2") << line; // the pedestrian engine never puts the car on a link
        EXPECT_EQ(f["link"], "0") << line;   // the fields the pedestrian engine does not fill stay zero
        EXPECT_EQ(f["dr"], "0");
    }
    EXPECT_GT(lines, 10);
}

} // namespace
