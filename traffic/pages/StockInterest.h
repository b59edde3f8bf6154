// An interest stock: a listed stock with its last quotation as broadcast. Prices and changes are
// packed 16-bit values, (bits 0-13) x 10^(bits 14-15); the volume is packed in 32 bits,
// (bits 0-21) x 10^(bits 22-31), 0xFFFFFFFF when nothing was received.
#pragma once

#include "platform/base/CString.h"
#include "traffic/pages/StockIndex.h"

#include <cstdint>

class StockInterest : public StockIndex {
public:
    static constexpr std::uint32_t kNoVolume = 0xFFFFFFFFu;

    StockInterest() = default;
    explicit StockInterest(const StockIndex& stock) : StockIndex(stock) {}

    // Price, direction and change 0, volume 0xFFFFFFFF, the four other values 0.
    void ClearQuotation();

    static std::uint32_t UnpackValue(std::uint16_t packed);
    // The volume in 64 bits; an exponent too large for them gives the largest value.
    static std::uint64_t UnpackVolume(std::uint32_t packed);

    std::uint32_t Price() const { return UnpackValue(price); }
    std::uint32_t Change() const { return UnpackValue(change); }
    std::uint64_t Volume() const { return UnpackVolume(volume); }

    // Direction codes 1, 2, 6 and 7 are rises; 4, 5, 8 and 9 falls; any other is unchanged.
    bool IsRise() const;
    bool IsFall() const;

    // The change against the previous close in percent: change x 100 / (price - change) for a
    // rise, change x 100 / (price + change) for a fall. False when there is no such figure: an
    // unchanged stock, or a previous close of 0 or less (a rise from nothing).
    bool ChangePercent(double* percent) const;
    // "전일대비": the grouped change, then " (+x.xx%)" or " (-x.xx%)" when there is a percentage.
    CString ChangeText() const;

    std::uint16_t price = 0;
    std::uint8_t direction = 0;
    std::uint16_t change = 0;
    std::uint32_t volume = kNoVolume;
    std::uint16_t high = 0;
    std::uint16_t low = 0;
    std::uint16_t ask = 0;
    std::uint16_t bid = 0;
};
