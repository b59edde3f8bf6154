#include "traffic/pages/StockInterest.h"

#include "traffic/pages/StockText.h"

#include <cstdint>
#include <limits>

void StockInterest::ClearQuotation() {
    price = 0;
    direction = 0;
    change = 0;
    volume = kNoVolume;
    high = 0;
    low = 0;
    ask = 0;
    bid = 0;
}

std::uint32_t StockInterest::UnpackValue(std::uint16_t packed) {
    std::uint32_t value = packed & 0x3FFFu;
    for (int e = packed >> 14; e > 0; --e) value *= 10; // at most 16383 x 1000
    return value;
}

std::uint64_t StockInterest::UnpackVolume(std::uint32_t packed) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = packed & 0x3FFFFFu;
    for (std::uint32_t e = packed >> 22; e > 0 && value != 0; --e) {
        if (value > kMax / 10) return kMax;
        value *= 10;
    }
    return value;
}

bool StockInterest::IsRise() const {
    return direction == 1 || direction == 2 || direction == 6 || direction == 7;
}

bool StockInterest::IsFall() const {
    return direction == 4 || direction == 5 || direction == 8 || direction == 9;
}

bool StockInterest::ChangePercent(double* percent) const {
    const std::int64_t p = Price();
    const std::int64_t c = Change();
    std::int64_t previous = 0;
    if (IsRise())
        previous = p - c;
    else if (IsFall())
        previous = p + c;
    if (previous <= 0) return false;
    *percent = static_cast<double>(c) * 100.0 / static_cast<double>(previous);
    return true;
}

CString StockInterest::ChangeText() const {
    const CString grouped = StockGroupedNumber(Change());
    double percent = 0;
    if (!ChangePercent(&percent)) return grouped;
    CString text;
    text.Format(IsRise() ? u"%s (+%.2f%%)" : u"%s (-%.2f%%)", static_cast<const char16_t*>(grouped), percent);
    return text;
}
