// Small text and distance helpers the route code shares with positioning: cutting a code page
// 949 text to a byte budget (with or without dots) and the straight-line distance in metres
// between two network points with the fixed factors of Coords.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Cuts a text to n bytes ending in ".." or "..." (not splitting a Korean character before the
// dots) and clears the rest of the buffer; returns whether it cut. Acts only when the text is
// longer than n, the buffer holds more than n bytes and 3 <= n < 2048.
bool TruncateWithDots(char* text, std::size_t bufferSize, int n);

// The longest prefix of a code page 949 text that fits maxBytes without splitting a
// double-byte character (a lead byte 0x81..0xFE and the byte after it).
std::string CutCp949(std::string_view text, std::size_t maxBytes);

// Straight-line metres between two network points: dx = |x1 - x2| x 0.27654 and
// dy = |y1 - y2| x 0.30879 as 32-bit float products, sqrt(dx^2 + dy^2) in double.
double StraightLineMetres(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
