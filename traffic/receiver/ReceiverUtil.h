// Helpers the receiver stores share: the CRC of assembled sentences and the age of time
// stamps. Time values are the clock's UTC seconds in 32 bits.
#pragma once

#include <cstdint>

// CRC-16 (polynomial 0x1021, initial 0, each input byte bit-reversed first, result neither
// reflected nor inverted); 0 for a count below 1.
std::uint16_t DarcCrc16(const unsigned char* bytes, int count);

// The current time value of the process clock.
std::uint32_t CurrentTimeValue();

// 1 while stamp is younger than minutes (whole minutes of the unsigned age); a stamp in the
// future counts as older than any limit.
int StoreAgeMinutes(int minutes, std::uint32_t stamp);

std::uint32_t TimeMinusSpan(std::uint32_t time, std::uint32_t seconds);

#include <cstddef>
#include <vector>

// Reads a whole file (CE path); false when it cannot be opened or is larger than maxBytes.
bool ReadWholeFile(const char16_t* name, std::vector<unsigned char>& bytes, std::size_t maxBytes);
// Writes bytes beside name, then renames the new file over it; false on any failure (the old
// file then stays as it was).
bool WriteFileAside(const char16_t* name, const std::vector<unsigned char>& bytes);
