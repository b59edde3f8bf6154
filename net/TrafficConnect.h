// CTrafficConnect: the client of the highway traffic server. It sends a 100-byte request and
// receives a 32-bit record count in network byte order followed by that many 5-byte records
// (link id in network byte order, speed byte), which it keeps as 5-byte items with the link id
// little-endian. Counts 0, 0xFFFFFFFF and 0xFFFFFFFE are the server's refusals.
#pragma once

#include "traffic/receiver/TrafficDownload.h"

#include <climits>
#include <cstdint>
#include <memory>

class CTrafficConnect {
public:
    static constexpr int kRecordSize = 5;
    static constexpr int kRequestSize = 100;
    static constexpr int kFieldSize = 32;
    static constexpr std::uint16_t kDefaultPort = 15006;
    // The most records a reply may announce; more is taken as a broken reply.
    static constexpr std::uint32_t kMaxRecords = 1000000;
    // How long the reply may take, on the process clock.
    static constexpr std::uint32_t kReplyTimeoutMs = 30000;

    // Results of Request.
    static constexpr int kNoServer = -1;
    static constexpr int kNoData = 9;
    static constexpr int kFailed = 10;
    static constexpr int kNotSubscribed = 11;
    static constexpr int kNotPaid = 12;
    static constexpr int kReceived = 13;

    CTrafficConnect();
    virtual ~CTrafficConnect();
    CTrafficConnect(const CTrafficConnect&) = delete;
    CTrafficConnect& operator=(const CTrafficConnect&) = delete;

    // Stores the host (code page 949 text) and port; 1.
    int SetServer(const char* host, int port);
    void ClearServer() { m_setUp = 0; }
    // Copies two 32-byte fields into the request: the second at bytes 4-35, the first at 68-99.
    void SetRequest(const std::uint8_t* first, const std::uint8_t* second);
    const std::uint8_t* GetRequest() const { return m_request; }

    // Connects, sends the request and receives the reply: one of the results above. The socket
    // is closed on every path; a reply that is cut short, too large or late gives kFailed and
    // leaves the items as they were.
    int Request();
    // How long the reply may take (kReplyTimeoutMs unless set; 0 keeps the current value).
    void SetReplyTimeout(std::uint32_t ms) {
        if (ms) m_replyTimeoutMs = ms;
    }

    // Writes the items to path (aside, then renamed over the old file); false with no items or
    // when the file cannot be written.
    bool Save(const char16_t* path) const;
    // Reads a file of 5-byte items (at most kMaxRecords); false when it cannot be read.
    bool Open(const char16_t* path);

    int GetItemCount() const { return m_itemCount; }
    // The 5-byte item at index, null outside 0 ... count - 1.
    const std::uint8_t* GetItem(int index) const;

private:
    std::uint8_t m_mark = 17;
    char16_t m_host[128] = {};
    std::int16_t m_port = -1;
    std::int32_t m_setUp = 0;
    std::unique_ptr<std::uint8_t[]> m_raw;
    std::unique_ptr<std::uint8_t[]> m_items;
    std::int32_t m_rawSize = 0;
    std::int32_t m_itemCount = 0;
    std::uint8_t m_request[kRequestSize] = {};
    std::uint32_t m_replyTimeoutMs = kReplyTimeoutMs;
};

// A download as the broadcast receiver's link-speed store takes it.
class TrafficConnectItems : public TrafficDownload {
public:
    explicit TrafficConnectItems(const CTrafficConnect& connection) : m_connection(connection) {}
    std::uint32_t GetItemCount() const override {
        const int n = m_connection.GetItemCount();
        return n > 0 ? static_cast<std::uint32_t>(n) : 0;
    }
    const unsigned char* GetItem(std::uint32_t index) const override {
        return index > INT_MAX ? nullptr : m_connection.GetItem(static_cast<int>(index));
    }

private:
    const CTrafficConnect& m_connection;
};
