// A market's last status record as the stock store keeps it (saved as 23 little-endian bytes).
#pragma once

#include <cstdint>

struct MARKET_STATUS {
    std::uint32_t value = 0;  // index value in hundredths
    std::uint16_t change = 0; // bits 0-14 hundredths, bit 15 the colour flag
    std::uint32_t field3 = 0;
    std::uint32_t field4 = 0;
    std::uint16_t field5 = 0;
    std::uint16_t field6 = 0;
    std::uint32_t validity = 0xFFFFFFFFu; // not received
    std::uint8_t index = 0;
};
