// Coordinate conversions that the route code and the stored records need. Network
// coordinates are in 1/100 arc-second (X longitude, Y latitude); map coordinates are the
// display's (origin 125 E, 33 05' N); point-file coordinates are those of the guide-point file
// and the stored safe-driving points. Arithmetic is in double, every conversion truncates.
#pragma once

#include <cstdint>

namespace coords {

constexpr std::int32_t kNetOriginX = 45000000;
constexpr std::int32_t kNetOriginY = 11910000;
// Metres per network unit, the fixed distance factors.
constexpr double kMetresPerNetX = 0.27654;
constexpr double kMetresPerNetY = 0.30879;

} // namespace coords

// The route engine's unchecked pair.
void MapToNetCoord(std::int32_t x, std::int32_t y, std::int32_t& netX, std::int32_t& netY);
void NetToMapCoord(std::int32_t netX, std::int32_t netY, std::int32_t& x, std::int32_t& y);

// Point-file coordinates. NetToPointFileCoord truncates, as files written by the device expect;
// NetToPointFileCoordRounded rounds to the nearest unit and is what stored records write, so
// that loading and saving a record again never moves it.
void PointFileToNetCoord(std::int32_t x, std::int32_t y, std::int32_t& netX, std::int32_t& netY);
void NetToPointFileCoord(std::int32_t netX, std::int32_t netY, std::int32_t& x, std::int32_t& y);
void NetToPointFileCoordRounded(std::int32_t netX, std::int32_t netY, std::int32_t& x, std::int32_t& y);
