// The view's side of the traffic broadcast: the reception cycle that hands the pending receiver
// bytes to the decoder and turns its packet count into the reception level, and the opening and
// closing of the broadcast stores under one lock.
//
// The decoder and the stores are reached through small interfaces so that the cycle does not
// depend on which decoder runs (the receiver library's, or a recording one).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

class CFreqScanner;
class CTrafficRing;

// The decoder the reception cycle feeds: takes the bytes, returns the packets decoded.
class IBroadcastDecoder {
public:
    virtual ~IBroadcastDecoder() = default;
    virtual int Decode(const std::uint8_t* bytes, std::size_t count) = 0;
};

// What opening and closing the stores does, and the download's clear of its traffic.
class IBroadcastStores {
public:
    virtual ~IBroadcastStores() = default;
    virtual void OpenStores() = 0;    // openFile on the six stores, display options copied
    virtual void CloseStores() = 0;   // close on the six stores (save files), singletons destroyed
    // A packet arrived while downloaded traffic is held: drop it and give the traffic 15 minutes.
    virtual void ClearDownloadedTraffic() = 0;
};

class CBroadcastReception {
public:
    static constexpr std::size_t kWorkBufferSize = 20480;
    static constexpr int kFailuresToZero = 3;

    CBroadcastReception(IBroadcastDecoder& decoder, IBroadcastStores& stores);

    // One cycle of the reception thread: takes at most the work buffer's size of pending bytes,
    // decodes them and updates the level. Skipped while the stores are being opened or closed
    // (the bytes stay pending for the next wake-up).
    void Cycle(CTrafficRing& pending);
    // Work that needs the stores open, run at the end of each cycle that ran, under the stores
    // lock (the tuning of the frequency scanner, which a close would destroy).
    void SetWhileOpen(std::function<void()> work) { m_whileOpen = std::move(work); }
    // The level rule for one parse result (the cycle calls it; exposed for the route search's
    // tests).
    void ApplyParseCount(int packets);

    int ReceptionLevel() const { return m_level.load(); }
    int FailedParses() const { return m_failed.load(); }

    // The downloaded traffic's time (seconds; 0 when there is none).
    void SetDownloadTime(std::int64_t t) { m_downloadTime.store(t); }
    std::int64_t DownloadTime() const { return m_downloadTime.load(); }

    // Open and close take the stores lock; each is a no-op when the stores already are in that
    // state. Safe to call from the GPS reader, the user-interface and the download threads.
    void OpenBroadcastStores();
    void CloseBroadcastStores();
    bool StoresOpen() const { return m_storesOpen.load(); }
    // Runs work under the stores lock when the stores are open (the download's use of the traffic
    // store, which a close would destroy); false when they are closed.
    bool WhileStoresOpen(const std::function<void()>& work);

private:
    IBroadcastDecoder& m_decoder;
    IBroadcastStores& m_stores;
    std::mutex m_storesLock;
    std::atomic<bool> m_storesOpen{false};
    std::atomic<int> m_level{0};
    std::atomic<int> m_failed{0};
    std::atomic<std::int64_t> m_downloadTime{0};
    std::vector<std::uint8_t> m_buffer;
    std::function<void()> m_whileOpen;
};

// One turn of the frequency scanner's tuning: in scan mode with no report awaited, the next search
// sentence is written and a report awaited (the search stopped once it has come back to its
// start); then a pending manual frequency's sentence is written (a search running stopped).
// write gets each sentence; returns the number of sentences written.
int TuneReceiver(CFreqScanner& scanner, const std::function<int(const char*, int)>& write);
