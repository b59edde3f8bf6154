// Small road networks for the matcher tests, written into a throw-away device root, and a
// helper that makes fixes. All networks lie in sheet (21, 53): its south-west corner is
// (45,756,000, 13,500,000); one x unit is 0.27654 m and one y unit 0.30879 m.
#pragma once

#include "position/GpsReceiver.h"
#include "position/MRNetReader.h"
#include "platform/files/tests/TempRoot.h"
#include "tools/mkdevice/NetworkModel.h"

#include <cstdint>
#include <functional>
#include <string>

namespace matchtest {

constexpr std::int32_t kX0 = 45756000; // sheet (21, 53)
constexpr std::int32_t kY0 = 13500000;
constexpr std::int32_t kRoadY = kY0 + 15000; // the east-west roads run here

inline GpsPosRecord Fix(std::int32_t x, std::int32_t y, int course, int speed, int second, double hdop = 1.0,
                        int sats = 8, char status = 'A') {
    GpsPosRecord f;
    f.status = status;
    f.hour = 10;
    f.minute = 0;
    f.second = static_cast<std::uint8_t>(second % 60);
    f.northSouth = 'N';
    f.eastWest = 'E';
    f.satellitesUsed = static_cast<std::int8_t>(sats);
    f.course = static_cast<std::uint16_t>(course);
    f.speed = static_cast<std::uint16_t>(speed);
    f.longitude = x;
    f.latitude = y;
    f.hdop = hdop;
    return f;
}

// Units of x for a distance in metres east, and of y for metres north.
inline std::int32_t EastUnits(double metres) {
    return static_cast<std::int32_t>(metres / 0.27654);
}
inline std::int32_t NorthUnits(double metres) {
    return static_cast<std::int32_t>(metres / 0.30879);
}

// A device root holding one network, and a reader opened on it.
class NetFixture {
public:
    explicit NetFixture(const std::function<void(mkdev::NetModel&)>& build) {
        mkdev::NetModel m;
        build(m);
        m.Write(root.Path() + "/MapData/MRData");
        opened = reader.Open(u"\\MapData");
    }
    TempRoot root;
    CMRNetReader reader;
    bool opened = false;
};

} // namespace matchtest
