// The point handed between the point dialogs and the main view: index, type, name (CP949),
// source kind (8 = a recent destination) and map position.
#pragma once

#include <cstdint>

class CSelectedPoint {
public:
    static constexpr int kNameSize = 21;
    static constexpr std::uint8_t kRecentDestination = 8;

    CSelectedPoint() = default;
    CSelectedPoint(const CSelectedPoint&) = default;
    CSelectedPoint& operator=(const CSelectedPoint&) = default;
    virtual ~CSelectedPoint() = default;

    void Reset() { *this = CSelectedPoint(); }

    std::int32_t index = 0;
    std::int32_t type = 4;
    char name[kNameSize] = {};
    std::uint8_t kind = kRecentDestination;
    std::int32_t x = 0;
    std::int32_t y = 0;
};
