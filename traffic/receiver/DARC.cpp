#include "traffic/receiver/DARC.h"

#include "traffic/receiver/ChannelInfo.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Markup.h"
#include "traffic/receiver/ShortText.h"
#include "traffic/receiver/Stock.h"
#include "traffic/receiver/Traffic.h"
#include "traffic/receiver/Weather.h"

#include <cstring>

namespace {

std::atomic<CDARC*> g_instance{nullptr};
std::mutex g_instanceLock;
// Process-wide: ParseData calls that ended without a complete sentence, and whether channel
// information arrived since the counter was last cleared.
std::atomic<int> g_idleCalls{0};
std::atomic<std::uint8_t> g_channelInfoSeen{0};

constexpr unsigned char STX = 0x02;
constexpr unsigned char ETX = 0x03;
constexpr unsigned char ESC = 0x1B;
constexpr unsigned char kData = 0x30;
constexpr unsigned char kRate = 0x40;
constexpr unsigned char kVersion = 0x41;

constexpr int kServiceNews = 3;
constexpr int kServiceShortText = 4;
constexpr int kServiceChannel = 16;
constexpr int kServiceTraffic = 23;
constexpr int kServiceWeather = 25;
constexpr int kServiceStock = 26;
constexpr int kChannelTaken = 80;
constexpr int kPoorRate = 10;
constexpr int kPoorReportsBeforeSearch = 201;

bool IsSentenceType(unsigned char c) { return c == kData || c == kRate || c == kVersion; }

} // namespace

CDARC* CDARC::instance() {
    CDARC* p = g_instance.load(std::memory_order_acquire);
    if (p) return p;
    std::lock_guard<std::mutex> lock(g_instanceLock);
    p = g_instance.load(std::memory_order_relaxed);
    if (!p) {
        p = new CDARC();
        g_instance.store(p, std::memory_order_release);
    }
    return p;
}

void CDARC::destruct() {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    delete g_instance.exchange(nullptr);
}

CDARC::CDARC() {
    m_buffer[0] = 0;
    for (auto& s : m_status) s.store(0, std::memory_order_relaxed);
}

CDARC::~CDARC() {
    g_idleCalls.store(0);
    g_channelInfoSeen.store(0);
}

int CDARC::SetData(const char* bytes, unsigned long count) {
    if (count == 0 || count == 0xFFFFFFFFul || !bytes) return 0;
    if (count > static_cast<unsigned long>(kBufferSize - m_length)) {
        m_start = 0;
        m_length = 0;
    }
    int n = count < static_cast<unsigned long>(kBufferSize) ? static_cast<int>(count) : kBufferSize;
    if (m_start + m_length + n > kBufferSize) {
        std::memmove(m_buffer, m_buffer + m_start, static_cast<size_t>(m_length));
        m_start = 0;
    }
    std::memcpy(m_buffer + m_start + m_length, bytes, static_cast<size_t>(n));
    m_length += n;
    return 1;
}

void CDARC::Consume(int count) {
    if (count >= m_length) {
        m_start = 0;
        m_length = 0;
        return;
    }
    m_start += count;
    m_length -= count;
}

int CDARC::ExtractSentence(unsigned char* payload, int& payloadLength) {
    payloadLength = 0;
    if (m_length - 2 <= 0) {
        m_start = 0;
        m_length = 0;
        return 0;
    }
    const unsigned char* buf = m_buffer + m_start;
    int at = -1;
    for (int i = 0; i < m_length - 2; ++i) {
        if (buf[i] == STX && IsSentenceType(buf[i + 1])) {
            at = i;
            break;
        }
    }
    if (at < 0) {
        // No sentence start: drop the garbage, but an STX among the last two bytes may begin a
        // sentence whose rest has not arrived yet.
        if (buf[m_length - 2] == STX && IsSentenceType(buf[m_length - 1]))
            Consume(m_length - 2);
        else if (buf[m_length - 1] == STX)
            Consume(m_length - 1);
        else
            Consume(m_length);
        return 0;
    }
    if (m_length - at < kWindow) return 0; // the sentence is awaited whole
    const unsigned char* s = buf + at;
    unsigned char type = s[1];
    unsigned int sum = type;
    int pos = 2;
    int terminator = -1;
    while (pos < kWindow) {
        unsigned char c = s[pos];
        if (c == ETX || (type != kData && c == STX)) {
            terminator = pos;
            break;
        }
        if (c == ESC) {
            if (pos + 1 >= kWindow) break; // the escaped byte would lie outside the window
            c = static_cast<unsigned char>(~s[pos + 1]);
            pos += 2;
        } else {
            pos += 1;
        }
        if (payloadLength < kMaxPayload) payload[payloadLength++] = c;
        sum += c;
    }
    if (terminator < 0) {
        Consume(at + kWindow);
        payloadLength = 0;
        return 0;
    }
    // An STX that ended a report starts the next sentence and stays in the buffer.
    Consume(s[terminator] == STX ? at + terminator : at + terminator + 1);
    if ((sum & 0xFF) != 0) return kCheckFailed;
    return type;
}

bool CDARC::Dispatch(const unsigned char* payload, int length) {
    if (length < 1) return false;
    int service = payload[0] & 0x1F;
    switch (service) {
    case kServiceTraffic:
        CTraffic::instance()->setData(payload, length);
        break;
    case kServiceChannel: {
        CChannelInfo* info = CChannelInfo::instance();
        if (info->setData(payload, length) == kChannelTaken) {
            if (!info->IsNetworkIDValid()) StartFreqSearch();
            g_channelInfoSeen.store(1);
        }
        break;
    }
    case kServiceNews:
        CMarkup::instance()->setData(payload, length);
        break;
    case kServiceShortText:
        CShortText::instance()->setData(payload, length);
        break;
    case kServiceWeather:
        CWeather::instance()->setData(payload, length);
        break;
    case kServiceStock:
        CStock::instance()->setData(payload, length);
        break;
    default:
        return false; // not a service of this receiver: not counted
    }
    return true;
}

int CDARC::ParseData() {
    // Only this thread writes the count; others may read it at any time.
    int packets = 0;
    m_packets.store(0, std::memory_order_relaxed);
    unsigned char payload[kMaxPayload];
    while (m_length >= kMinParse) {
        int length = 0;
        int kind = ExtractSentence(payload, length);
        switch (kind) {
        case kData:
            if (Dispatch(payload, length)) m_packets.store(++packets, std::memory_order_relaxed);
            break;
        case kRate:
            SetReceiveRate(payload, length);
            m_packets.store(++packets, std::memory_order_relaxed);
            break;
        case kVersion:
            if (length >= 7) SetVersions(payload);
            break;
        case kCheckFailed:
            break;
        default:
            if (g_idleCalls.fetch_add(1) + 1 >= 2) {
                if (g_channelInfoSeen.load() == 0) StartFreqSearch();
                g_idleCalls.store(0);
                g_channelInfoSeen.store(0);
            }
            return packets;
        }
    }
    return packets;
}

void CDARC::SetReceiveRate(const unsigned char* payload, int length) {
    if (length < 2) return;
    unsigned char rate = payload[0];
    unsigned char frequency = payload[1];
    m_rate.store(rate, std::memory_order_relaxed);
    m_frequency.store(frequency, std::memory_order_relaxed);
    CFreqScanner* scanner = CFreqScanner::instance();
    if (scanner->IsSearching()) {
        scanner->SetReceiveRate(rate, frequency);
        return;
    }
    if (rate <= kPoorRate) {
        if (m_lowRate >= kPoorReportsBeforeSearch) {
            scanner->StartSearch(frequency);
            m_lowRate = 0;
            for (auto& s : m_status) s.store(0, std::memory_order_relaxed);
        } else if (m_gpsScore.load(std::memory_order_relaxed) != 0) {
            ++m_lowRate;
        }
    } else {
        m_lowRate = 0;
    }
}

void CDARC::StartFreqSearch() {
    CFreqScanner* scanner = CFreqScanner::instance();
    if (scanner->IsSearching()) return;
    scanner->StartSearch(m_frequency.load(std::memory_order_relaxed));
    m_lowRate = 0;
    for (auto& s : m_status) s.store(0, std::memory_order_relaxed);
}

int CDARC::GetReceiveRate(unsigned char& rate, unsigned char& frequency) const {
    unsigned char f = m_frequency.load(std::memory_order_relaxed);
    if (f == 0) return 0;
    rate = m_rate.load(std::memory_order_relaxed);
    frequency = f;
    return 1;
}

void CDARC::GetReceivingStatus(int& a, int& b, int& c, int& d) const {
    a = m_status[0].load(std::memory_order_relaxed);
    b = m_status[2].load(std::memory_order_relaxed);
    c = m_status[1].load(std::memory_order_relaxed);
    d = m_status[3].load(std::memory_order_relaxed);
}

void CDARC::SetVersions(const unsigned char* payload) {
    std::lock_guard<std::mutex> lock(m_versionLock);
    std::memcpy(m_versionA, payload, 4);
    std::memcpy(m_versionB, payload + 4, 3);
    m_versionText.Format(u"%c%c.%c%c", static_cast<char16_t>(m_versionA[0]),
                         static_cast<char16_t>((m_versionA[1] + 0x30) & 0xFF),
                         static_cast<char16_t>((m_versionA[2] + 0x30) & 0xFF),
                         static_cast<char16_t>((m_versionA[3] + 0x30) & 0xFF));
}

int CDARC::GetVersions(char* a, char* b) const {
    std::lock_guard<std::mutex> lock(m_versionLock);
    if (m_versionA[0] == 0 || m_versionB[0] == 0 || !a || !b) return 0;
    std::memcpy(a, m_versionA, 4);
    std::memcpy(b, m_versionB, 3);
    return 1;
}

int CDARC::GetVersionString(CString& text) const {
    std::lock_guard<std::mutex> lock(m_versionLock);
    if (m_versionA[0] == 0 || m_versionB[0] == 0) return 0;
    text = m_versionText;
    return 1;
}

int CDARC::IsDARCConnected(int& state) const {
    int s = m_connected.load(std::memory_order_relaxed);
    if (s == -1) return 0;
    state = s;
    return 1;
}

void CDARC::SetMatchDARCID(unsigned long index1, unsigned long index2) {
    m_match1.store(index1, std::memory_order_relaxed);
    m_match2.store(index2, std::memory_order_relaxed);
}

void CDARC::GetMatchDARCID(unsigned long& index1, unsigned long& index2) const {
    index1 = m_match1.load(std::memory_order_relaxed);
    index2 = m_match2.load(std::memory_order_relaxed);
}
