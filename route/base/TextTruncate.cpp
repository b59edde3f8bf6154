#include "route/base/TextTruncate.h"

#include "route/base/Coords.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool IsVisibleAscii(unsigned char byte) {
    return static_cast<signed char>(byte) >= 33;
}

bool StartsHangulSyllable(const unsigned char* bytes) {
    return bytes[0] >= 0xB0 && bytes[0] <= 0xC8 && bytes[1] >= 0xA0;
}

} // namespace

bool TruncateWithDots(char* text, std::size_t bufferSize, int n) {
    if (!text || n < 3 || n >= 2048 || bufferSize <= static_cast<std::size_t>(n)) return false;
    if (strnlen(text, bufferSize) <= static_cast<std::size_t>(n)) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (IsVisibleAscii(bytes[n - 2]) || StartsHangulSyllable(bytes + n - 2)) {
        text[n - 2] = '.';
        text[n - 1] = '.';
    } else {
        text[n - 3] = '.';
        text[n - 2] = '.';
        text[n - 1] = '.';
    }
    std::memset(text + n, 0, bufferSize - static_cast<std::size_t>(n));
    return true;
}

std::string CutCp949(std::string_view text, std::size_t maxBytes) {
    std::size_t keep = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t width = (b >= 0x81 && b <= 0xFE && i + 1 < text.size()) ? 2 : 1;
        if (i + width > maxBytes) break;
        i += width;
        keep = i;
    }
    return std::string(text.substr(0, keep));
}

double StraightLineMetres(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const float dx = static_cast<float>(std::llabs(static_cast<long long>(x1) - x2)) *
                     static_cast<float>(coords::kMetresPerNetX);
    const float dy = static_cast<float>(std::llabs(static_cast<long long>(y1) - y2)) *
                     static_cast<float>(coords::kMetresPerNetY);
    return std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
}
