// One object found near the map centre (the information bar keeps two of them, nearest first).
#pragma once

#include <cstdint>
#include <cstring>

struct MapFeatureInfo {
    std::int32_t distance = -1; // map units from the centre, truncated; -1 = empty slot
    std::uint8_t flags[3] = {}; // the record's first three bytes (flags and symbol code)
    std::int32_t x = 0, y = 0;             // map position
    std::int32_t screenX = 0, screenY = 0; // screen position when it entered the list
    char name[21] = {};                    // CP949, zero-terminated
    std::int32_t number = -1;
    char text2[21] = {}; // CP949, zero-terminated

    void Clear() { *this = MapFeatureInfo(); }
};
