#include "traffic/pages/StockText.h"

CString StockGroupedNumber(std::uint64_t value) {
    CString text;
    if (value < 1000u)
        text.Format(u"%llu", static_cast<unsigned long long>(value));
    else if (value < 1000000u)
        text.Format(u"%llu,%03llu", static_cast<unsigned long long>(value / 1000),
                    static_cast<unsigned long long>(value % 1000));
    else if (value < 1000000000u)
        text.Format(u"%llu,%03llu,%03llu", static_cast<unsigned long long>(value / 1000000),
                    static_cast<unsigned long long>(value / 1000 % 1000),
                    static_cast<unsigned long long>(value % 1000));
    else
        text.Format(u"%llu", static_cast<unsigned long long>(value));
    return text;
}

CString StockCodeText(WORD code, BYTE suffix) {
    CString text;
    if (suffix == 0)
        text.Format(u"%05ld", static_cast<long>(code));
    else
        text.Format(u"%05ld%c", static_cast<long>(code), static_cast<int>(suffix));
    return text;
}
