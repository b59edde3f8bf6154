#include "position/TrafficRing.h"

#include "platform/threads/Threads.h"

#include <algorithm>

CTrafficRing::CTrafficRing() : m_wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

CTrafficRing::~CTrafficRing() {
    CloseHandle(m_wake);
}

void CTrafficRing::Deliver(const std::uint8_t* bytes, std::size_t count) {
    if (!bytes || count == 0) return;
    bool wake = false;
    {
        std::lock_guard lock(m_mutex);
        if (count > kCapacity) {
            bytes += count - kCapacity; // only the newest bytes can stay
            count = kCapacity;
        }
        while (m_bytes.size() + count > kCapacity) {
            const std::size_t drop = std::min(kDropStep, m_bytes.size());
            m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(drop));
        }
        m_bytes.insert(m_bytes.end(), bytes, bytes + count);
        wake = m_deliveries % 10 == 0;
        ++m_deliveries;
    }
    if (wake) {
        SetEvent(m_wake);
        if (HANDLE forward = m_forward.load()) SetEvent(forward);
    }
}

std::size_t CTrafficRing::Take(std::uint8_t* out, std::size_t max) {
    std::lock_guard lock(m_mutex);
    const std::size_t n = std::min(max, m_bytes.size());
    std::copy_n(m_bytes.begin(), n, out);
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

std::size_t CTrafficRing::Count() const {
    std::lock_guard lock(m_mutex);
    return m_bytes.size();
}

std::uint64_t CTrafficRing::Deliveries() const {
    std::lock_guard lock(m_mutex);
    return m_deliveries;
}
