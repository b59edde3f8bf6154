// One symbol of the weather map: a region's place on the map and the values drawn there.
#pragma once

#include <cstdint>

struct WDispObj {
    // Temperatures and precipitation without a value; drawn as "??".
    static constexpr std::int32_t kNoValue = -50;

    std::int32_t region = 0;    // the region code asked for
    std::int32_t condition = 0; // weather condition code, 0 without data
    std::int32_t y = 0;         // place of the symbol in the map, pixels
    std::int32_t x = 0;
    std::int32_t current = kNoValue;      // current temperature, degrees
    std::int32_t temperatureA = kNoValue; // forecast highest
    std::int32_t temperatureB = kNoValue; // forecast lowest
    // Forecasts: flag A, flag B, value A, value B; the current weather: value A, value B, flag A,
    // flag B. A flag is 1 for snow, 0 for rain, -1 for none; a value is a percentage (forecast)
    // or an amount (current).
    std::int32_t precipitation[4] = {-1, -1, kNoValue, kNoValue};

    // An object without data for a day: no condition, no values, no flags.
    static WDispObj NoData(int day) {
        WDispObj o;
        if (day == 0) {
            o.precipitation[0] = o.precipitation[1] = kNoValue;
            o.precipitation[2] = o.precipitation[3] = -1;
        }
        return o;
    }

    // The precipitation words by meaning, for the day the object was made for.
    std::int32_t FlagA(int day) const { return precipitation[day == 0 ? 2 : 0]; }
    std::int32_t FlagB(int day) const { return precipitation[day == 0 ? 3 : 1]; }
    std::int32_t ValueA(int day) const { return precipitation[day == 0 ? 0 : 2]; }
    std::int32_t ValueB(int day) const { return precipitation[day == 0 ? 1 : 3]; }
};
