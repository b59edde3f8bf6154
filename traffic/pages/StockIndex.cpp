#include "traffic/pages/StockIndex.h"

#include "traffic/receiver/StoreFile.h"

#include <cstring>

StockIndex::StockIndex(WORD stockCode, BYTE stockSuffix, const char* text, std::size_t length)
    : code(stockCode), suffix(stockSuffix) {
    SetName(text, length);
}

void StockIndex::SetName(const char* text, std::size_t length) {
    std::memset(name, 0, sizeof name);
    if (!text) return;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::size_t used = 0;
    while (used < length && bytes[used] != 0) ++used;
    std::memcpy(name, text, Cp949Prefix(bytes, used, kNameBytes));
}

bool StockOrderLess(const StockIndex& a, const StockIndex& b) {
    // memcmp compares as unsigned bytes; the fields are NUL-padded to their full width.
    const int byName = std::memcmp(a.name, b.name, StockIndex::kNameBytes);
    if (byName != 0) return byName < 0;
    if (a.code != b.code) return a.code < b.code;
    return a.suffix < b.suffix;
}
