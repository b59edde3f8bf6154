// The two point lists guidance checks on each fix, kept by the application shell: the user's
// safe-driving points (checked like guide points) and the alert points of the distance check.
// The first operation of each takes the position and answers false when the list cannot be used.
#pragma once

#include <cstdint>

// One user point as guidance sees it (the shell maps its stored records to these).
struct SafePointEntry {
    std::uint8_t enabled = 1;
    std::int32_t x = 0; // network coordinates
    std::int32_t y = 0;
    std::int32_t heading = 0;
    std::int32_t type = 0; // kind 1..14
    std::int32_t level = 0;
    std::int32_t distanceClip = 0;
    std::int16_t mapId = -1; // the road of the point, -1 while not known
    std::int16_t linkIndex = -1;
};

class CSafePointList {
public:
    virtual ~CSafePointList() = default;
    virtual bool Refresh(std::int32_t x, std::int32_t y) = 0;
    virtual int Count() const = 0;
    virtual SafePointEntry* At(int i) = 0;
};

struct CAlertPointRecord {
    std::int32_t x = 0; // network coordinates
    std::int32_t y = 0;
    std::int32_t kind = 0; // 1..14, 0 = off
    std::uint8_t announced = 0;
};

class CAlertPointList {
public:
    virtual ~CAlertPointList() = default;
    virtual bool Refresh(std::int32_t x, std::int32_t y) = 0;
    virtual int Count() const = 0;
    virtual CAlertPointRecord* At(int i) = 0;
};
