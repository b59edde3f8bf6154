#include "app/MainViewBroadcast.h"

#include "position/TrafficRing.h"

CBroadcastReception::CBroadcastReception(IBroadcastDecoder& decoder, IBroadcastStores& stores)
    : m_decoder(decoder), m_stores(stores), m_buffer(kWorkBufferSize, 0) {}

void CBroadcastReception::Cycle(CTrafficRing& pending) {
    // Opening or closing in progress: leave the bytes pending rather than wait for it.
    std::unique_lock<std::mutex> lock(m_storesLock, std::try_to_lock);
    if (!lock.owns_lock()) return;
    const std::size_t count = pending.Take(m_buffer.data(), m_buffer.size());
    ApplyParseCount(m_decoder.Decode(m_buffer.data(), count));
}

void CBroadcastReception::ApplyParseCount(int packets) {
    if (packets < 1) {
        if (m_failed.fetch_add(1) + 1 >= kFailuresToZero) {
            m_level = 0;
            m_failed = 0;
        }
        return;
    }
    if (m_downloadTime.load() != 0 && m_storesOpen.load()) {
        m_stores.ClearDownloadedTraffic();
        m_downloadTime = 0;
    }
    m_level = packets < 10 ? 1 : packets < 30 ? 2 : 3;
    m_failed = 0;
}

void CBroadcastReception::OpenBroadcastStores() {
    std::lock_guard<std::mutex> lock(m_storesLock);
    if (m_storesOpen.load()) return;
    m_stores.OpenStores();
    m_storesOpen = true;
}

void CBroadcastReception::CloseBroadcastStores() {
    std::lock_guard<std::mutex> lock(m_storesLock);
    if (!m_storesOpen.load()) return;
    m_stores.CloseStores();
    m_storesOpen = false;
}
