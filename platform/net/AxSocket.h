// CAxSocket: the small blocking TCP client of the traffic download and the transit route client.
// It resolves a host by name or dotted address, connects, and sends and receives whole buffers,
// with or without a time-out. Connections are counted: every Connect needs its Close.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/net/WinSock.h"

#include <netinet/in.h>

class CAxSocket {
public:
    CAxSocket();
    explicit CAxSocket(SOCKET handle);
    CAxSocket(const char16_t* host, int port);
    explicit CAxSocket(const sockaddr_in& address);
    // Copies the address only; the copy holds no socket.
    CAxSocket(const CAxSocket& other);
    CAxSocket& operator=(const CAxSocket&) = delete;
    // A socket still open when the object goes is closed, so no path leaks it.
    virtual ~CAxSocket();

    // Host as a dotted address when it begins with a digit, else looked up by name (IPv4). An
    // unknown name or bad dotted text leaves no address, and Connect then fails.
    void SetAddress(const char16_t* host, int port);
    // 1 when connected (or already connected: the use count goes up), -1 on failure.
    int Connect();
    // Lowers the use count; the socket closes when it reaches 0.
    void Close();

    // Whole-buffer transfers: the bytes moved (fewer when the peer stops or closes), or -1 on an
    // error. The timed forms give up after `seconds` (-1: no limit) and return the count so far.
    virtual int SendTimed(const void* buffer, int length, int seconds);
    virtual int Send(const void* buffer, int length);
    virtual int ReceiveTimed(void* buffer, int length, int seconds);
    virtual int Receive(void* buffer, int length);

    // One receive that waits at most waitMs for data: the bytes received (at most length), 0 when
    // the peer has closed, -1 on an error, kNothingYet when nothing came within the wait.
    static constexpr int kNothingYet = -2;
    int ReceiveSome(void* buffer, int length, int waitMs);

    // Receive 2 or 4 bytes and convert them from network order (unchanged unless all came).
    int ReadU16(WORD& value);
    int ReadU32(DWORD& value);

    int SetOption(int level, int option, const void* value, int size);
    int IoCtl(long command, ULONG* argument);
    // The machine's first IPv4 address as "%d.%d.%d.%d" (nothing written when there is none).
    void GetLocalAddress(char* text, int size) const;
    SOCKET GetHandle() const { return m_socket; }
    int GetUseCount() const { return m_useCount; }
    const sockaddr_in& GetAddress() const { return m_address; }

    // English WinSock error names (10061 has the user's message), else "Unknown Socket Error.".
    static const char16_t* GetErrorText(int code);
    static void HostToNetArray(DWORD* values, int count);
    static void NetToHostArray(DWORD* values, int count);

private:
    int Transfer(void* buffer, int length, int seconds, bool sending);

    int m_useCount = 0;
    SOCKET m_socket = INVALID_SOCKET;
    sockaddr_in m_address{};
    bool m_addressValid = false;
};
