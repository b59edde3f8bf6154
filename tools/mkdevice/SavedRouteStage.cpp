#include "tools/mkdevice/SavedRouteStage.h"

#include "platform/files/DeviceRoot.h"
#include "route/RouteManager.h"
#include "route/base/Coords.h"
#include "tools/mkdevice/NetworkModel.h"
#include "tools/mkdevice/Networks.h"

#include <filesystem>
#include <stdexcept>

namespace mkdev {

namespace {

// The sample region's south-west corner (sheet column 20, row 52) and the points of the route:
// 가람시's 시청사거리, national road 43 just north of 가람IC, and 누리고속도로 east of 가람터널.
constexpr std::int32_t kRegionX = 45720000, kRegionY = 13470000;
struct Km {
    double east, north;
};
constexpr Km kStart{11.8, 11.2}, kWaypoint{11.8, 9.3}, kGoal{19.0, 8.0};

POINT MapPoint(Km km) {
    const NetPoint net = KmToNet(kRegionX, kRegionY, km.east, km.north);
    std::int32_t x = 0, y = 0;
    NetToMapCoord(net.x, net.y, x, y);
    return POINT{x, y};
}

// The device root for the route manager's paths while the stage runs.
class RootScope {
public:
    explicit RootScope(const std::string& root) : m_saved(DeviceRoot::Root()) { DeviceRoot::SetRoot(root); }
    ~RootScope() { DeviceRoot::SetRoot(m_saved); }
    RootScope(const RootScope&) = delete;
    RootScope& operator=(const RootScope&) = delete;

private:
    std::string m_saved;
};

} // namespace

SavedRouteSummary BuildSavedRouteStage(const DeviceLayout& layout) {
    const std::string folder = layout.root + "/" + kSavedRouteFolder;
    std::filesystem::create_directories(folder);
    SavedRouteSummary summary;
    {
        RootScope scope(layout.root);
        CRouteManager manager;
        if (!manager.Init(u"\\Storage Card\\MapData")) throw std::runtime_error("saved routes: no road network");
        const POINT start = MapPoint(kStart), via = MapPoint(kWaypoint), goal = MapPoint(kGoal);
        if (manager.SetStart(start.x, start.y, u"가람시청") < 1 ||
            manager.InsertWaypoint(via.x, via.y, u"가람IC앞", 0) != 1 ||
            manager.SetGoal(goal.x, goal.y, u"누리고속도로") < 1)
            throw std::runtime_error("saved routes: a point of the route is on no road");
        const int code = manager.SearchRoute();
        if (code != 0) throw std::runtime_error("saved routes: the route search failed with " + std::to_string(code));
        manager.CommitRoute();
        summary.routeLength = manager.SelectedRoute()->path->TotalLength();
        if (!manager.SaveRouteFile(u"\\Storage Card\\VelkoData\\가람-나루R.vkp"))
            throw std::runtime_error("saved routes: the route file could not be written");
    }
    // A route file of the earlier format: its first byte says so, the rest is never read.
    std::vector<std::uint8_t> old(64, 0);
    old[0] = 0xAA;
    WriteFileAtomic(folder + "/이전경로R.vkp", old);
    const std::string memo = "경로 메모: 출근길은 누리고속도로로.\n";
    WriteFileAtomic(layout.root + "/" + kLastSavedRoute, std::vector<std::uint8_t>(memo.begin(), memo.end()));
    summary.files = 3;
    return summary;
}

} // namespace mkdev
