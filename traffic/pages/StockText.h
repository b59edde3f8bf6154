// The two texts of stock numbers that the stock page and its dialogs show.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <cstdint>

// Thousands grouped with commas up to 999,999,999 ("1,234,567"); larger values are written
// without grouping.
CString StockGroupedNumber(std::uint64_t value);

// The code as five digits followed by the suffix character ("00593A"); a suffix of 0 adds
// nothing.
CString StockCodeText(WORD code, BYTE suffix);
