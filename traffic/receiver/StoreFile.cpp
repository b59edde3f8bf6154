#include "traffic/receiver/StoreFile.h"

#include "platform/files/CFileStatus.h"
#include "platform/window/Window.h"
#include "traffic/receiver/ReceiverUtil.h"

bool IsBroadcastTimePacket(const unsigned char* payload, int length) {
    return payload && length >= 2 && (payload[0] & 0x20) && ((payload[1] >> 4) & 0x07) == 1;
}

bool ReadBroadcastTime(const unsigned char* payload, int length, std::uint32_t& packed) {
    if (!payload || length < 14) return false;
    unsigned month = payload[10], day = payload[11], hour = payload[12], minute = payload[13];
    if (month == 0 || month > 12 || day == 0 || day > 31 || hour > 24 || minute >= 60) return false;
    packed = month << 24 | day << 16 | hour << 8 | minute;
    return true;
}

CTime BroadcastTimeIn2002(std::uint32_t packed) {
    return CTime(2002, static_cast<int>(packed >> 24), static_cast<int>((packed >> 16) & 0xFF),
                 static_cast<int>((packed >> 8) & 0xFF), static_cast<int>(packed & 0xFF), 0);
}

std::uint32_t MinutesSince(std::uint32_t stamp) {
    std::int64_t age = static_cast<std::int64_t>(CurrentTimeValue()) - stamp;
    return age > 0 ? static_cast<std::uint32_t>(age / 60) : 0;
}

bool ReadFreshSaveFile(const char16_t* name, int freshMinutes, std::size_t maxBytes,
                       std::vector<unsigned char>& bytes, std::uint32_t* ageMinutes) {
    bytes.clear();
    CFileStatus status;
    if (!CFileStatus::GetStatus(name, status)) return false;
    std::uint32_t stamp = static_cast<std::uint32_t>(status.m_mtime.GetTime());
    if (!StoreAgeMinutes(freshMinutes, stamp)) return false;
    if (ageMinutes) *ageMinutes = MinutesSince(stamp);
    return ReadWholeFile(name, bytes, maxBytes);
}

void StoreNotice(const char16_t* text) { MessageBoxW(nullptr, text, u"", MB_OK); }

std::size_t Cp949Prefix(const unsigned char* text, std::size_t length, std::size_t max) {
    std::size_t at = 0;
    while (at < length) {
        std::size_t step = text[at] >= 0x81 && at + 1 < length ? 2 : 1;
        if (at + step > max) break;
        at += step;
    }
    return at;
}

bool FileFields::U8(std::uint8_t& v) {
    if (Left() < 1) return false;
    v = m_bytes[m_at++];
    return true;
}

bool FileFields::U16(std::uint16_t& v) {
    if (Left() < 2) return false;
    v = static_cast<std::uint16_t>(m_bytes[m_at] | m_bytes[m_at + 1] << 8);
    m_at += 2;
    return true;
}

bool FileFields::U32(std::uint32_t& v) {
    if (Left() < 4) return false;
    v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | m_bytes[m_at + static_cast<std::size_t>(i)];
    m_at += 4;
    return true;
}

bool FileFields::Bytes(std::size_t count, std::string& out) {
    if (Left() < count) return false;
    out.assign(reinterpret_cast<const char*>(m_bytes.data() + m_at), count);
    m_at += count;
    return true;
}
