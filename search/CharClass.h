// Character classes of code page 949 text, judged on the first two bytes at a position.
#pragma once

#include <cstdint>

namespace tolvik {

// A Hangul syllable: first byte B0..C8, second byte A0 or above.
inline bool IsHangulSyllable(const unsigned char* p) {
    return p[0] >= 0xB0 && p[0] <= 0xC8 && p[1] >= 0xA0;
}
// A bare (compatibility) consonant: A4 A1..A4 BE.
inline bool IsBareConsonant(const unsigned char* p) {
    return p[0] == 0xA4 && p[1] >= 0xA1 && p[1] <= 0xBE;
}
// A printable single byte: 21..7F.
inline bool IsPrintableByte(const unsigned char* p) {
    return p[0] >= 0x21 && p[0] <= 0x7F;
}

} // namespace tolvik
