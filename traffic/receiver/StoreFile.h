// What the broadcast content stores share: the broadcast time of a time packet, the freshness
// of a save file, a bounds-checked reader of little-endian file bytes and the stores' notices.
#pragma once

#include "platform/base/CTime.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A time packet: payload byte 0 bit 5 set and record kind (byte 1 bits 4-6) 1.
bool IsBroadcastTimePacket(const unsigned char* payload, int length);
// Bytes 10-13 of a time packet packed as month << 24 | day << 16 | hour << 8 | minute; false
// for month or day 0, month above 12, day above 31, hour above 24 or minute from 60.
bool ReadBroadcastTime(const unsigned char* payload, int length, std::uint32_t& packed);
// A packed broadcast time as a time value in the year 2002.
CTime BroadcastTimeIn2002(std::uint32_t packed);
// Whole minutes since stamp (0 for a stamp in the future).
std::uint32_t MinutesSince(std::uint32_t stamp);
// Reads a save file whose last change is less than freshMinutes old; ageMinutes gets its age.
bool ReadFreshSaveFile(const char16_t* name, int freshMinutes, std::size_t maxBytes,
                       std::vector<unsigned char>& bytes, std::uint32_t* ageMinutes = nullptr);
// A notice of the receiver stores (file errors, wrong arguments).
void StoreNotice(const char16_t* text);
// Copies at most max bytes of CP949 text without cutting a two-byte character.
std::size_t Cp949Prefix(const unsigned char* text, std::size_t length, std::size_t max);

// Reads little-endian fields one by one; every read fails once the bytes run out.
class FileFields {
public:
    explicit FileFields(const std::vector<unsigned char>& bytes) : m_bytes(bytes) {}
    bool U8(std::uint8_t& v);
    bool U16(std::uint16_t& v);
    bool U32(std::uint32_t& v);
    bool Bytes(std::size_t count, std::string& out);
    std::size_t Left() const { return m_bytes.size() - m_at; }

private:
    const std::vector<unsigned char>& m_bytes;
    std::size_t m_at = 0;
};

inline void PutU16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}
inline void PutU32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
inline std::uint16_t Be16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }
inline std::uint32_t Be24(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
}
