#include "traffic/receiver/ChannelInfo.h"

#include <cstring>
#include <mutex>

namespace {
std::atomic<CChannelInfo*> g_instance{nullptr};
std::mutex g_instanceLock;
constexpr int kTextOffset = 6;
constexpr int kMaxText = 16;
} // namespace

CChannelInfo* CChannelInfo::instance() {
    CChannelInfo* p = g_instance.load(std::memory_order_acquire);
    if (p) return p;
    std::lock_guard<std::mutex> lock(g_instanceLock);
    p = g_instance.load(std::memory_order_relaxed);
    if (!p) {
        p = new CChannelInfo();
        g_instance.store(p, std::memory_order_release);
    }
    return p;
}

void CChannelInfo::destruct() {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    delete g_instance.exchange(nullptr);
}

int CChannelInfo::setData(const unsigned char* payload, int length) {
    if (!payload || length < 2) return 0;
    if (((payload[1] >> 4) & 0x07) != 5) return -1;
    if (length < kTextOffset) return 0;
    int textLength = payload[5];
    if (kTextOffset + textLength > length && textLength <= kMaxText) return 0; // packet cut short
    m_networkId.store(payload[2], std::memory_order_relaxed);
    // A text longer than the record is not taken: the previous text keeps its own length.
    if (textLength > kMaxText) return 0;
    m_textLength = textLength;
    std::memset(m_text, 0, sizeof m_text);
    std::memcpy(m_text, payload + kTextOffset, static_cast<size_t>(textLength));
    return 80;
}

int CChannelInfo::IsNetworkIDValid() const {
    std::uint8_t id = GetNetworkID();
    return id == 5 || id == 6 || id == 0x80 || id == 0x81 ? 1 : 0;
}
