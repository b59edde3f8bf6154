// The receiving end of the broadcast receiver unit: a 20480-byte receive buffer, the framed
// sentences cut out of it, every data packet handed to the store of its service, the unit's
// receive-rate and version reports, and the rule that decides when the frequency scanner must
// look for a better station. It has no thread of its own: the reception thread calls SetData
// and ParseData; the accessors may be read from other threads.
#pragma once

#include "platform/base/CString.h"

#include <atomic>
#include <cstdint>
#include <mutex>

class CDARC {
public:
    static constexpr int kBufferSize = 20480;
    static constexpr int kWindow = 52;      // a sentence's terminator lies below this position
    static constexpr int kMinParse = 100;   // ParseData works while this many bytes are buffered
    static constexpr int kCheckFailed = 10000;
    static constexpr int kMaxPayload = 50;

    static CDARC* instance();
    // Deletes the singleton; the process-wide idle counter and channel-information flag start
    // again from 0.
    static void destruct();
    virtual ~CDARC();
    CDARC(const CDARC&) = delete;
    CDARC& operator=(const CDARC&) = delete;

    int SetData(const char* bytes, unsigned long count);
    int ParseData();
    int GetReceiveRate(unsigned char& rate, unsigned char& frequency) const;
    void StartFreqSearch();
    void GetReceivingStatus(int& a, int& b, int& c, int& d) const;
    void SetVersions(const unsigned char* payload);
    int GetVersions(char* a, char* b) const;
    int GetVersionString(CString& text) const;
    void SetDARCConnected(int state) { m_connected.store(state, std::memory_order_relaxed); }
    int IsDARCConnected(int& state) const;
    int GetPacketNum() const { return m_packets.load(std::memory_order_relaxed); }
    void SetMatchDARCID(unsigned long index1, unsigned long index2);
    void GetMatchDARCID(unsigned long& index1, unsigned long& index2) const;
    void SetGPSScore(int score) { m_gpsScore.store(score, std::memory_order_relaxed); }
    int GetGPSScore() const { return m_gpsScore.load(std::memory_order_relaxed); }

    int GetBufferedLength() const { return m_length; }
    int GetLowRateCount() const { return m_lowRate; }

private:
    CDARC();
    // Cuts one sentence from the buffer: 0 nothing complete, kCheckFailed, or the type byte.
    // The payload (at most 50 bytes) goes to payload and its length to payloadLength.
    int ExtractSentence(unsigned char* payload, int& payloadLength);
    void SetReceiveRate(const unsigned char* payload, int length);
    void Consume(int count);
    // Hands a data packet to its store; false for a service this receiver does not know.
    bool Dispatch(const unsigned char* payload, int length);

    unsigned char m_buffer[kBufferSize];
    int m_start = 0;  // offset of the oldest buffered byte
    int m_length = 0; // number of buffered bytes
    std::atomic<std::uint8_t> m_rate{0};
    std::atomic<std::uint8_t> m_frequency{0};
    int m_lowRate = 0;
    std::atomic<int> m_status[4];
    std::atomic<int> m_connected{-1};
    mutable std::mutex m_versionLock;
    unsigned char m_versionA[4] = {};
    unsigned char m_versionB[3] = {};
    CString m_versionText;
    std::atomic<int> m_gpsScore{0};
    std::atomic<int> m_packets{0};
    std::atomic<unsigned long> m_match1{0};
    std::atomic<unsigned long> m_match2{0};
};
