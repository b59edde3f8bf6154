// A stock item as the stock store keeps it: the key (code x 256 + suffix), the last quotation
// and the item's name. The name is owned by the record's holder (CDARCArray frees it).
#pragma once

#include <cstdint>

struct SIM {
    std::uint32_t key = 0;
    std::uint16_t price = 0;
    std::uint8_t direction = 0;
    std::uint16_t change = 0;
    std::uint32_t volume = 0xFFFFFFFFu; // no quotation received
    std::uint16_t high = 0;
    std::uint16_t low = 0;
    std::uint16_t ask = 0;
    std::uint16_t bid = 0;
    char* name = nullptr; // NUL-terminated CP949, allocated with new[]
};
