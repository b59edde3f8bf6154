#include "net/TrafficConnect.h"

#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/net/AxSocket.h"
#include "platform/store/StoreFile.h"

#include <cstring>
#include <new>
#include <string>

namespace {

// Receives exactly length bytes before the deadline (process clock); false when the peer closes,
// an error occurs or the time runs out.
bool ReceiveAll(CAxSocket& socket, std::uint8_t* buffer, std::size_t length, std::uint64_t deadline) {
    std::size_t done = 0;
    while (done < length) {
        if (TheClock().TickCount() >= deadline) return false;
        const std::size_t chunk = length - done > 65536 ? 65536 : length - done;
        const int n = socket.ReceiveSome(buffer + done, static_cast<int>(chunk), 100);
        if (n == CAxSocket::kNothingYet) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

} // namespace

CTrafficConnect::CTrafficConnect() = default;
CTrafficConnect::~CTrafficConnect() = default;

int CTrafficConnect::SetServer(const char* host, int port) {
    std::memset(m_host, 0, sizeof m_host);
    const std::u16string wide = Cp949ToUtf16(host ? host : "");
    for (std::size_t i = 0; i < wide.size() && i + 1 < sizeof m_host / sizeof m_host[0]; ++i) m_host[i] = wide[i];
    m_port = static_cast<std::int16_t>(port);
    m_setUp = 1;
    return 1;
}

void CTrafficConnect::SetRequest(const std::uint8_t* first, const std::uint8_t* second) {
    if (second) std::memcpy(m_request + 4, second, kFieldSize);
    if (first) std::memcpy(m_request + 68, first, kFieldSize);
}

int CTrafficConnect::Request() {
    if (!m_setUp) return kNoServer;
    CAxSocket socket(m_host, static_cast<std::uint16_t>(m_port));
    if (socket.Connect() != 1) return kFailed;
    // The socket object closes what is still open when it goes, so every return below closes it.
    const std::uint64_t deadline = TheClock().TickCount() + m_replyTimeoutMs;
    const int sendSeconds = static_cast<int>((m_replyTimeoutMs + 999) / 1000);
    if (socket.SendTimed(m_request, kRequestSize, sendSeconds) != kRequestSize) {
        socket.Close();
        return kFailed;
    }
    std::uint8_t head[4];
    if (!ReceiveAll(socket, head, 4, deadline)) {
        socket.Close();
        return kFailed;
    }
    const std::uint32_t count = BigEndian32(head);
    int result = kFailed;
    if (count == 0) {
        result = kNoData;
    } else if (count == 0xFFFFFFFFu) {
        result = kNotSubscribed;
    } else if (count == 0xFFFFFFFEu) {
        result = kNotPaid;
    } else if (count <= kMaxRecords) {
        const std::uint64_t size = static_cast<std::uint64_t>(count) * kRecordSize;
        std::unique_ptr<std::uint8_t[]> raw(new (std::nothrow) std::uint8_t[size]());
        if (raw && ReceiveAll(socket, raw.get(), size, deadline)) {
            std::unique_ptr<std::uint8_t[]> items(new (std::nothrow) std::uint8_t[size]());
            if (items) {
                for (std::uint32_t i = 0; i < count; ++i) {
                    const std::uint8_t* in = raw.get() + static_cast<std::size_t>(i) * kRecordSize;
                    std::uint8_t* out = items.get() + static_cast<std::size_t>(i) * kRecordSize;
                    out[0] = in[3];
                    out[1] = in[2];
                    out[2] = in[1];
                    out[3] = in[0];
                    out[4] = in[4];
                }
                m_items = std::move(items);
                m_itemCount = static_cast<std::int32_t>(count);
                m_raw.reset();
                m_rawSize = 0;
                result = kReceived;
            }
        }
    }
    socket.Close();
    return result;
}

bool CTrafficConnect::Save(const char16_t* path) const {
    if (!path || m_itemCount <= 0 || !m_items) return false;
    const std::string bytes(reinterpret_cast<const char*>(m_items.get()),
                            static_cast<std::size_t>(m_itemCount) * kRecordSize);
    return storefile::WriteReplacing(DeviceRoot::Resolve(path), bytes);
}

bool CTrafficConnect::Open(const char16_t* path) {
    if (!path) return false;
    std::string bytes;
    if (!storefile::ReadAll(DeviceRoot::Resolve(path), bytes, static_cast<std::size_t>(kMaxRecords) * kRecordSize))
        return false;
    const std::size_t count = bytes.size() / kRecordSize;
    std::unique_ptr<std::uint8_t[]> items(new (std::nothrow) std::uint8_t[count * kRecordSize + 1]());
    if (!items) return false;
    if (count) std::memcpy(items.get(), bytes.data(), count * kRecordSize);
    m_items = std::move(items);
    m_itemCount = static_cast<std::int32_t>(count);
    return true;
}

const std::uint8_t* CTrafficConnect::GetItem(int index) const {
    if (!m_items || index < 0 || index >= m_itemCount) return nullptr;
    return m_items.get() + static_cast<std::size_t>(index) * kRecordSize;
}
