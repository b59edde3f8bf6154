#include "platform/net/AxSocket.h"

#include "platform/net/RasDial.h"

#include "platform/base/Text.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct ErrorText {
    int code;
    const char16_t* text;
};

constexpr ErrorText kErrorTexts[] = {
    {0, u"No error"},
    {10004, u"Interrupted system call"},
    {10009, u"Bad file number"},
    {10013, u"Permission denied"},
    {10014, u"Bad address"},
    {10022, u"Invalid argument"},
    {10024, u"Too many open sockets"},
    {10035, u"Operation would block"},
    {10036, u"Operation now in progress"},
    {10037, u"Operation already in progress"},
    {10038, u"Socket operation on non-socket"},
    {10039, u"Destination address required"},
    {10040, u"Message too long"},
    {10041, u"Protocol wrong type for socket"},
    {10042, u"Bad protocol option"},
    {10043, u"Protocol not supported"},
    {10044, u"Socket type not supported"},
    {10045, u"Operation not supported on socket"},
    {10046, u"Protocol family not supported"},
    {10047, u"Address family not supported"},
    {10048, u"Address already in use"},
    {10049, u"Can't assign requested address"},
    {10050, u"Network is down"},
    {10051, u"Network is unreachable"},
    {10052, u"Net connection reset"},
    {10053, u"Software caused connection abort"},
    {10054, u"Connection reset by peer"},
    {10055, u"No buffer space available"},
    {10056, u"Socket is already connected"},
    {10057, u"Socket is not connected"},
    {10058, u"Can't send after socket shutdown"},
    {10059, u"Too many references, can't splice"},
    {10060, u"Connection timed out"},
    {10061, u"서버에 접속할 수 없습니다."},
    {10062, u"Too many levels of symbolic links"},
    {10063, u"File name too long"},
    {10064, u"Host is down"},
    {10065, u"No route to host"},
    {10066, u"Directory not empty"},
    {10067, u"Too many processes"},
    {10068, u"Too many users"},
    {10069, u"Disc quota exceeded"},
    {10070, u"Stale NFS file handle"},
    {10071, u"Too many levels of remote in path"},
    {10091, u"Network subsystem is unavailable"},
    {10092, u"Winsock version not supported"},
    {10093, u"Winsock not yet initialized"},
    {11001, u"Host not found"},
    {11002, u"Non-authoritative host not found"},
    {11003, u"Non-recoverable errors"},
    {11004, u"Valid name, no data record of requested type"},
    {10101, u"Graceful disconnect in progress"},
};
static_assert(sizeof(kErrorTexts) / sizeof(kErrorTexts[0]) == 52);

void SetLastFromErrno() {
    WSASetLastError(WsaErrorFromErrno(errno));
}

} // namespace

CAxSocket::CAxSocket() = default;

CAxSocket::CAxSocket(SOCKET handle) : m_socket(handle) {}

CAxSocket::CAxSocket(const char16_t* host, int port) {
    SetAddress(host, port);
}

CAxSocket::CAxSocket(const sockaddr_in& address) : m_address(address), m_addressValid(true) {}

CAxSocket::CAxSocket(const CAxSocket& other) : m_address(other.m_address), m_addressValid(other.m_addressValid) {}

CAxSocket::~CAxSocket() {
    if (m_socket != INVALID_SOCKET) ::close(m_socket);
}

void CAxSocket::SetAddress(const char16_t* host, int port) {
    m_address = sockaddr_in{};
    m_address.sin_family = AF_INET;
    m_address.sin_port = htons(static_cast<std::uint16_t>(port));
    m_addressValid = false;
    const std::string name = host ? Utf16ToCp949(host) : std::string();
    if (name.empty()) return;
    if (name[0] >= '0' && name[0] <= '9') {
        // inet_aton rather than inet_addr: "255.255.255.255" is an address, bad text is not.
        in_addr a{};
        if (inet_aton(name.c_str(), &a) == 0) {
            WSASetLastError(WSAEINVAL);
            return;
        }
        m_address.sin_addr = a;
        m_addressValid = true;
        return;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found) {
        WSASetLastError(WSAHOST_NOT_FOUND);
        return;
    }
    m_address.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    m_addressValid = true;
    freeaddrinfo(found);
}

int CAxSocket::Connect() {
    if (m_socket != INVALID_SOCKET) {
        ++m_useCount;
        return 1;
    }
    // A device without its own data connection reaches nothing until a call is dialled.
    if (!rasdial::NetworkReachable()) {
        WSASetLastError(WSAENETUNREACH);
        return -1;
    }
    // An unresolved host would otherwise connect to 0.0.0.0, that is to this machine.
    if (!m_addressValid) {
        WSASetLastError(WSAHOST_NOT_FOUND);
        return -1;
    }
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) {
        SetLastFromErrno();
        return -1;
    }
    int rc;
    do {
        rc = ::connect(s, reinterpret_cast<const sockaddr*>(&m_address), sizeof m_address);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        SetLastFromErrno();
        ::close(s); // a socket whose connection failed is not kept
        return -1;
    }
    m_socket = s;
    const int sendSize = 4096, receiveSize = 32768;
    ::setsockopt(s, SOL_SOCKET, SO_SNDBUF, &sendSize, sizeof sendSize);
    ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, &receiveSize, sizeof receiveSize);
    m_useCount = 1;
    return 1;
}

void CAxSocket::Close() {
    if (m_useCount == 0) return;
    if (--m_useCount == 0 && m_socket != INVALID_SOCKET) {
        ::close(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

// The time-out bounds the whole transfer, so a peer that trickles bytes cannot hold the caller
// much past it.
int CAxSocket::Transfer(void* buffer, int length, int seconds, bool sending) {
    if (length < 1) return 0;
    if (m_socket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return -1;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds < 0 ? 0 : seconds);
    auto* bytes = static_cast<char*>(buffer);
    int done = 0;
    while (done < length) {
        if (seconds >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd p{m_socket, static_cast<short>(sending ? POLLOUT : POLLIN), 0};
            const int ready = ::poll(&p, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0) {
                SetLastFromErrno();
                return -1;
            }
            if (ready == 0) break;
        }
        const ssize_t n = sending ? ::send(m_socket, bytes + done, length - done, MSG_NOSIGNAL)
                                  : ::recv(m_socket, bytes + done, length - done, 0);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            SetLastFromErrno();
            return -1;
        }
        if (n == 0) break;
        done += static_cast<int>(n);
    }
    return done;
}

int CAxSocket::SendTimed(const void* buffer, int length, int seconds) {
    return Transfer(const_cast<void*>(buffer), length, seconds, true);
}

int CAxSocket::Send(const void* buffer, int length) {
    return Transfer(const_cast<void*>(buffer), length, -1, true);
}

int CAxSocket::ReceiveTimed(void* buffer, int length, int seconds) {
    return Transfer(buffer, length, seconds, false);
}

int CAxSocket::ReceiveSome(void* buffer, int length, int waitMs) {
    if (length < 1) return 0;
    if (m_socket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return -1;
    }
    for (;;) {
        pollfd p{m_socket, POLLIN, 0};
        const int ready = ::poll(&p, 1, waitMs < 0 ? 0 : waitMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) {
            SetLastFromErrno();
            return -1;
        }
        if (ready == 0) return kNothingYet;
        const ssize_t n = ::recv(m_socket, buffer, static_cast<std::size_t>(length), 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return kNothingYet;
            SetLastFromErrno();
            return -1;
        }
        return static_cast<int>(n);
    }
}

int CAxSocket::Receive(void* buffer, int length) {
    return Transfer(buffer, length, -1, false);
}

int CAxSocket::ReadU16(WORD& value) {
    WORD raw = 0;
    const int n = Receive(&raw, 2);
    if (n == 2) value = ntohs(raw); // a partial value is not converted
    return n;
}

int CAxSocket::ReadU32(DWORD& value) {
    DWORD raw = 0;
    const int n = Receive(&raw, 4);
    if (n == 4) value = ntohl(raw);
    return n;
}

int CAxSocket::SetOption(int level, int option, const void* value, int size) {
    if (::setsockopt(m_socket, level, option, value, static_cast<socklen_t>(size)) != 0) {
        SetLastFromErrno();
        return -1;
    }
    return 1;
}

int CAxSocket::IoCtl(long command, ULONG* argument) {
    int value = argument ? static_cast<int>(*argument) : 0;
    if (::ioctl(m_socket, static_cast<unsigned long>(command), &value) != 0) {
        SetLastFromErrno();
        return -1;
    }
    if (argument) *argument = static_cast<ULONG>(value);
    return 1;
}

void CAxSocket::GetLocalAddress(char* text, int size) const {
    if (!text || size < 1) return;
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) return;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return;
    const auto* a = reinterpret_cast<const unsigned char*>(
        &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    std::snprintf(text, static_cast<std::size_t>(size), "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
    freeaddrinfo(found);
}

const char16_t* CAxSocket::GetErrorText(int code) {
    for (const ErrorText& e : kErrorTexts)
        if (e.code == code) return e.text;
    return u"Unknown Socket Error.";
}

void CAxSocket::HostToNetArray(DWORD* values, int count) {
    for (int i = 0; values && i < count; ++i) values[i] = htonl(values[i]);
}

void CAxSocket::NetToHostArray(DWORD* values, int count) {
    for (int i = 0; values && i < count; ++i) values[i] = ntohl(values[i]);
}
