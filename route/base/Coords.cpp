#include "route/base/Coords.h"

#include <cmath>
#include <cstdint>

namespace {
// Truncates to an int32; values outside its range (a hostile stored coordinate) saturate
// instead of overflowing.
std::int32_t Trunc(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(std::trunc(v));
}
} // namespace

void MapToNetCoord(std::int32_t x, std::int32_t y, std::int32_t& netX, std::int32_t& netY) {
    double t = std::trunc(x * 0.8333333333333334);
    netX = Trunc(std::trunc(t * 4.5) + 45000000.0);
    netY = Trunc(std::trunc(y * 3.0) + 11910000.0);
}

void NetToMapCoord(std::int32_t netX, std::int32_t netY, std::int32_t& x, std::int32_t& y) {
    double t = std::trunc((static_cast<double>(netX) - 45000000.0) * 480000.0 * 4.6296296296296297e-7);
    x = Trunc(t * 1.2);
    y = Trunc((static_cast<double>(netY) - 11910000.0) * 660000.0 * 5.05050505050505e-7);
}

void PointFileToNetCoord(std::int32_t x, std::int32_t y, std::int32_t& netX, std::int32_t& netY) {
    // The origin is added in double, so that a coordinate near the int32 limits saturates.
    netX = Trunc(std::trunc(x * 4.5) + coords::kNetOriginX);
    netY = Trunc(std::trunc(y * 3.0) + coords::kNetOriginY);
}

void NetToPointFileCoord(std::int32_t netX, std::int32_t netY, std::int32_t& x, std::int32_t& y) {
    x = Trunc((static_cast<double>(netX) - 45000000.0) * 480000.0 * 4.6296296296296297e-7);
    y = Trunc((static_cast<double>(netY) - 11910000.0) * 660000.0 * 5.05050505050505e-7);
}

void NetToPointFileCoordRounded(std::int32_t netX, std::int32_t netY, std::int32_t& x, std::int32_t& y) {
    x = static_cast<std::int32_t>(
        std::lround((static_cast<double>(netX) - 45000000.0) * 480000.0 * 4.6296296296296297e-7));
    y = static_cast<std::int32_t>(
        std::lround((static_cast<double>(netY) - 11910000.0) * 660000.0 * 5.05050505050505e-7));
}
