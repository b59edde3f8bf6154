// A market index as the stock pages show it: its number (0 "KOSPI", 1 "KOSDAQ", 2 "KOSPI200",
// 3 "선물"), the market fields of the stock store's status record and the market's name.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstdint>

class StockMarket {
public:
    StockMarket() = default;
    StockMarket(BYTE marketNumber, const char* marketName);

    // Zeroes every market field and sets the validity word to -1 (nothing received); the number
    // and the name stay.
    void ClearData();

    // The validity word is neither 0 nor -1.
    bool HasValue() const { return validity != 0 && validity != -1; }
    double IndexValue() const { return value * 0.01; }
    // Bits 0-14 of the change, in hundredths.
    double ChangeValue() const { return (change & 0x7FFF) * 0.01; }
    // Bit 15 of the change, which picks the change's colour.
    bool ChangeFlag() const { return (change & 0x8000) != 0; }

    std::uint8_t number = 0;
    std::uint32_t value = 0;  // the index in hundredths
    std::uint16_t change = 0; // bits 0-14 hundredths, bit 15 the colour flag
    std::uint32_t field3 = 0;
    std::uint32_t field4 = 0;
    std::uint16_t field5 = 0;
    std::uint16_t field6 = 0;
    std::int32_t validity = -1;
    char name[31] = {};
};
