// The records every source of fixes delivers, and the receiver interface the GPS reader thread
// drives. Both records are plain data copied whole; an all-zero record stands for no record.
// Coordinates are network coordinates (1/100 arc-second), magnitudes, with the hemisphere in the
// letters.
#pragma once

#include <cstdint>

struct GpsPosRecord {
    char status = 0; // 'A' valid fix, 'V' invalid
    std::uint8_t day = 0;
    std::uint8_t month = 0;
    std::uint8_t year = 0; // two digits
    std::uint8_t hour = 0; // UTC
    std::uint8_t minute = 0;
    std::uint8_t second = 0;
    char northSouth = 0; // 'N' or 'S'
    char eastWest = 0;   // 'E' or 'W'
    std::int8_t satellitesUsed = 0;
    std::uint16_t course = 0;   // whole degrees, truncated
    std::uint16_t speed = 0;    // 0.1 km/h: knots x 18.52, truncated
    std::int32_t longitude = 0; // network X
    std::int32_t latitude = 0;  // network Y
    std::int32_t altitude = 0;  // decimetres
    double hdop = 0.0;
    std::uint8_t deadReckoned = 0; // 1 in fixes the map matcher synthesises
};

constexpr int kMaxSatellites = 12;

struct GpsSatRecord {
    char fixType = 0; // '1' no fix, '2' 2-D, '3' 3-D
    std::int8_t inView = 0;
    std::uint8_t numbers[kMaxSatellites] = {};
    std::uint8_t used[kMaxSatellites] = {}; // 1 = entry i is used in the fix; 0 at and beyond inView
    std::uint8_t elevations[kMaxSatellites] = {};
    std::uint8_t snr[kMaxSatellites] = {};
    std::uint16_t azimuths[kMaxSatellites] = {};
    double pdop = 0.0;
    double hdop = 0.0;
    double vdop = 0.0;
};

// Result bits of CGpsReceiver::PutData.
constexpr int kGpsNewPosition = 1;
constexpr int kGpsTrafficWaiting = 2;

class CGpsReceiver {
public:
    virtual ~CGpsReceiver() = default;
    // Non-zero: positions stay WGS84; zero: they are shifted to the Bessel datum of the maps.
    virtual void SetNoDatumShift(int flag) = 0;
    virtual int GetNoDatumShift() = 0;
    // Hands count received bytes to the decoder. Bit 0: a new position is pending; value 2 added:
    // pass-through bytes for the traffic reception wait (only the receiver unit gives these).
    virtual int PutData(const char* data, int count) = 0;
    // Copies the pending position and clears it; false for a null pointer or when no position was
    // completed since the last one was taken.
    virtual bool GetPosition(GpsPosRecord* out) = 0;
    // Fills out from the latest satellite data; false while none is complete.
    virtual bool GetSatellites(GpsSatRecord* out) = 0;
};
