// A listed stock as the stock pages know it: code, suffix and name (CP949, at most 30 bytes,
// NUL-padded). The stock search list holds one per stock of the store, sorted.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstddef>
#include <cstdint>

class StockIndex {
public:
    static constexpr std::size_t kNameBytes = 30;

    StockIndex() = default;
    StockIndex(WORD stockCode, BYTE stockSuffix, const char* text, std::size_t length);

    // Takes at most 30 bytes of text (stopping at a NUL), cut so that no two-byte character is
    // split; the rest of the field is cleared.
    void SetName(const char* text, std::size_t length);

    std::uint16_t code = 0;
    std::uint8_t suffix = 0;
    char name[kNameBytes + 1] = {};
};

// The lists' order: the first 30 name bytes compared as unsigned bytes, then the code, then the
// suffix.
bool StockOrderLess(const StockIndex& a, const StockIndex& b);
