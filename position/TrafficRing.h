// The receiver unit's traffic-broadcast bytes on their way from the GPS reader to the broadcast
// reception: a 20,480-byte ring that drops the oldest bytes when full, a lock, and the wake event
// set on every tenth delivery.
#pragma once

#include "platform/base/WinTypes.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>

class CTrafficRing {
public:
    static constexpr std::size_t kCapacity = 20480;
    static constexpr std::size_t kDropStep = 2048;

    CTrafficRing();
    ~CTrafficRing();
    CTrafficRing(const CTrafficRing&) = delete;
    CTrafficRing& operator=(const CTrafficRing&) = delete;

    // Appends bytes, dropping the oldest 2,048 (more when still needed, never keeping more than
    // the capacity); sets the wake event on the 1st, 11th, 21st ... delivery.
    void Deliver(const std::uint8_t* bytes, std::size_t count);
    // Takes up to max bytes, oldest first.
    std::size_t Take(std::uint8_t* out, std::size_t max);
    std::size_t Count() const;
    std::uint64_t Deliveries() const;
    HANDLE WakeEvent() const { return m_wake; }
    // A second event set with the ring's own on each wake: the reception worker waits on its
    // thread table's event. Null stops the forwarding; the event must outlive the deliveries.
    void ForwardWakeTo(HANDLE event) { m_forward.store(event); }

private:
    mutable std::mutex m_mutex;
    std::deque<std::uint8_t> m_bytes;
    std::uint64_t m_deliveries = 0;
    HANDLE m_wake;
    std::atomic<HANDLE> m_forward{nullptr};
};
