// The downloaded highway speeds as the link-speed store reads them. The shell's download
// client implements it: a count of 5-byte items (u32 little-endian link id, u8 speed).
#pragma once

#include <cstdint>

class TrafficDownload {
public:
    virtual ~TrafficDownload() = default;
    virtual std::uint32_t GetItemCount() const = 0;
    // The 5 bytes of item index, or null when the download has no such item.
    virtual const unsigned char* GetItem(std::uint32_t index) const = 0;
};
