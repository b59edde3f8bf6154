#include "tools/mkdevice/UserDataStage.h"

#include "platform/base/Text.h"
#include "route/base/Coords.h"
#include "route/base/Records.h"
#include "tools/mkdevice/NetworkModel.h"
#include "tools/mkdevice/PlaceTable.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace mkdev {

namespace {

void SetName(char* field, std::size_t size, const char16_t* name) {
    const std::string bytes = Utf16ToCp949(name);
    std::memset(field, 0, size);
    std::memcpy(field, bytes.data(), std::min(bytes.size(), size - 1));
}

CPosRecord Point(const char16_t* name, NetPoint at, std::uint8_t voice, std::uint8_t symbol) {
    CPosRecord r;
    SetName(r.name, sizeof r.name, name);
    r.x = at.x;
    r.y = at.y;
    r.value1 = voice;
    r.value2 = symbol;
    return r;
}

CSafePointRecord SafePoint(const char16_t* name, NetPoint at, std::uint16_t id, bool shortForm) {
    CSafePointRecord r;
    r.form = shortForm ? 1 : 0;
    SetName(r.name, sizeof r.name, name);
    r.x = at.x;
    r.y = at.y;
    r.values[3] = id;
    return r;
}

CRecentDestRecord Recent(const char16_t* name, NetPoint at, int waypoint, int order) {
    CRecentDestRecord r;
    SetName(r.name, sizeof r.name, name);
    NetToMapCoord(at.x, at.y, r.x, r.y);
    r.kind = waypoint;
    r.values[0] = order;
    return r;
}

template <class R> void WriteList(const std::string& path, const std::vector<R>& records) {
    WriteFileAtomic(path, PackRecordList(records));
}

} // namespace

UserDataSummary BuildUserDataStage(const DeviceLayout& layout) {
    const std::string storage = layout.root + "/Storage Card/VelkoData";
    std::filesystem::create_directories(storage);
    std::filesystem::create_directories(layout.userDir);

    // Places on the region's roads: the town hall, the subway line's stations, the markets.
    const NetPoint home{45720000, 13500000}; // the west edge road
    const NetPoint cityHall = SampleNet(12.0, 11.25);
    const NetPoint garamStation = SampleNet(12.5, 11.82);
    const NetPoint naruStation = SampleNet(13.5, 11.82);
    const NetPoint market = SampleNet(4.7, 20.02);
    const NetPoint school = SampleNet(11.0, 12.42);
    const NetPoint bend = SampleNet(12.6, 11.22);

    UserDataSummary s;
    const std::vector<CPosRecord> basic = {Point(u"집", home, 0, 4), Point(u"가람시청", cityHall, 0, 0),
                                           Point(u"가람역", garamStation, 1, 3)};
    const std::vector<CPosRecord> trip = {Point(u"나루역", naruStation, 0, 0), Point(u"동문시장", market, 0, 0)};
    WriteList(storage + "/position", basic);
    WriteList(storage + "/출장.pos", trip);
    s.registeredPoints = static_cast<int>(basic.size() + trip.size());

    // Registered safe points (id 7 at point-file 160000, 530000) and one switched-off guide
    // point kept in the short form.
    const std::vector<CSafePointRecord> registered = {SafePoint(u"과속주의 1", home, 7, false),
                                                      SafePoint(u"학교앞", school, 1234, false)};
    const std::vector<CSafePointRecord> switchedOff = {SafePoint(u"E1271200 N373000", bend, 0, true)};
    WriteList(storage + "/guidepoint", registered);
    WriteList(storage + "/Dguidepoint", switchedOff);
    s.safePoints = static_cast<int>(registered.size() + switchedOff.size());

    // Recent destinations: a destination, two waypoints of earlier routes, and a destination at
    // the same place as the first waypoint; order values 0-3.
    const std::vector<CRecentDestRecord> recent = {Recent(u"가람시청", cityHall, 0, 0),
                                                   Recent(u"나루역", naruStation, 3, 1),
                                                   Recent(u"동문시장", market, 5, 2),
                                                   Recent(u"나루역 앞", naruStation, 0, 3)};
    WriteList(layout.userDir + "/DestPosition", recent);
    s.recentDestinations = static_cast<int>(recent.size());
    return s;
}

} // namespace mkdev
