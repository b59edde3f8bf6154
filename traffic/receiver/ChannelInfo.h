// The channel-information record of the tuned station: its network id tells whether the
// station carries the expected broadcast.
#pragma once

#include <atomic>
#include <cstdint>

class CChannelInfo {
public:
    static CChannelInfo* instance();
    static void destruct();
    virtual ~CChannelInfo() = default;
    CChannelInfo(const CChannelInfo&) = delete;
    CChannelInfo& operator=(const CChannelInfo&) = delete;

    // A channel-information packet of length bytes: -1 when it is another kind, 0 when it is
    // refused (text over 16 bytes or shorter than its text), 80 when taken.
    int setData(const unsigned char* payload, int length);
    // 1 when the network id is 5, 6, 0x80 or 0x81.
    int IsNetworkIDValid() const;

    std::uint8_t GetNetworkID() const { return m_networkId.load(std::memory_order_relaxed); }
    int GetTextLength() const { return m_textLength; }
    const unsigned char* GetText() const { return m_text; }

private:
    CChannelInfo() = default;
    std::atomic<std::uint8_t> m_networkId{0};
    int m_textLength = 0;
    unsigned char m_text[16] = {};
};
