// The weather records of a region: current weather, the three-day short forecast and the
// five-day weekly forecast, and the copy of all three that the weather pages ask for.
#pragma once

#include <cstdint>

struct WeatherCurrent {
    std::uint16_t region = 0;
    std::uint16_t time = 0; // bits 11-15 day of month, 6-10 hour, 0-5 minute
    std::uint8_t code = 0;
    std::int16_t temperature = 0x7FFF; // tenths of a degree; 0x7FFF not received
    std::uint16_t precipitationA = 0xFFFF;
    std::uint16_t precipitationB = 0;
    const char* name = nullptr; // CP949, owned by the store
};

struct WeatherShort {
    std::uint16_t region = 0;
    // Field k (0 text code, 1 lowest, 2 highest, 3 morning, 4 afternoon precipitation) of day d
    // (1-3) at fields[3k + d - 1].
    std::uint8_t fields[15] = {0, 0, 0, 127, 127, 127, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const char* name = nullptr;
    std::uint8_t Field(int k, int day) const { return fields[3 * k + day - 1]; }
};

struct WeatherWeek {
    std::uint16_t region = 0;
    std::uint8_t codes[5] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}; // days 4-8
    std::int8_t lowest = 127; // 127 not received
    std::int8_t highest = 0;
    const char* name = nullptr;
};

struct WIM {
    WeatherCurrent current;
    WeatherShort shortForecast;
    WeatherWeek weekly;
};
