// A socket whose receives come from a buffer and whose sends go nowhere.
#pragma once

#include "platform/net/AxSocket.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

class MemorySocket : public CAxSocket {
public:
    MemorySocket(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    int SendTimed(const void*, int length, int) override { return length; }
    int Send(const void*, int length) override { return length; }
    int ReceiveTimed(void* buffer, int length, int) override { return Receive(buffer, length); }
    int Receive(void* buffer, int length) override {
        if (length < 1) return 0;
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), m_size - m_pos);
        std::memcpy(buffer, m_data + m_pos, n);
        m_pos += n;
        return static_cast<int>(n);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
