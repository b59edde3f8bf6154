#include "app/MainViewBroadcast.h"

#include "position/TrafficRing.h"
#include "traffic/receiver/FreqScanner.h"

CBroadcastReception::CBroadcastReception(IBroadcastDecoder& decoder, IBroadcastStores& stores)
    : m_decoder(decoder), m_stores(stores), m_buffer(kWorkBufferSize, 0) {}

void CBroadcastReception::Cycle(CTrafficRing& pending) {
    // Opening or closing in progress: leave the bytes pending rather than wait for it.
    std::unique_lock<std::mutex> lock(m_storesLock, std::try_to_lock);
    if (!lock.owns_lock()) return;
    const std::size_t count = pending.Take(m_buffer.data(), m_buffer.size());
    ApplyParseCount(m_decoder.Decode(m_buffer.data(), count));
    if (m_whileOpen && m_storesOpen.load()) m_whileOpen();
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

bool CBroadcastReception::WhileStoresOpen(const std::function<void()>& work) {
    std::lock_guard<std::mutex> lock(m_storesLock);
    if (!m_storesOpen.load()) return false;
    if (work) work();
    return true;
}

void CBroadcastReception::CloseBroadcastStores() {
    std::lock_guard<std::mutex> lock(m_storesLock);
    if (!m_storesOpen.load()) return;
    m_stores.CloseStores();
    m_storesOpen = false;
}

int TuneReceiver(CFreqScanner& scanner, const std::function<int(const char*, int)>& write) {
    int written = 0;
    char sentence[16] = {};
    unsigned long length = 0;
    const auto send = [&] {
        if (length > sizeof sentence) length = sizeof sentence;
        if (write) write(sentence, static_cast<int>(length));
        ++written;
    };
    if (scanner.IsScanMode() && !scanner.IsWaitingPacket() && scanner.GetNextSentence(sentence, length)) {
        send();
        scanner.SetWaitFlag(1);
        // The search came back to its start: this was the closing sentence.
        if (!scanner.IsSearching()) scanner.StopSearch();
    }
    if (scanner.IsFreqChanged()) {
        length = 0;
        if (scanner.GetManualSentence(sentence, length)) send();
        if (scanner.IsScanMode()) scanner.StopSearch();
    }
    return written;
}
