// What the bus and subway route clients share: the server's host and port, the set-up flag, the
// coordinates of the last question, and one question's course (checks, connection, request,
// reply, close). Each client gives its own request and reply steps.
#pragma once

#include "platform/base/WinTypes.h"
#include "transit/TransitText.h"

class CAxSocket;

class CTransitClient {
public:
    virtual ~CTransitClient() = default;
    CTransitClient(const CTransitClient&) = delete;
    CTransitClient& operator=(const CTransitClient&) = delete;

    // Stores the server's host (CP949, cut to 127 characters) and port; returns 1.
    int Setup(const char* host, short port);
    // One question: -10 when not set up or without a connection or with the request not sent,
    // -11 when a coordinate is 0, else the reply step's result.
    int Execute(ULONG startX, ULONG startY, ULONG destX, ULONG destY);
    // Ends the set-up; the held answer stays. Returns 1.
    int Close();
    void GetStartDestPnt(ULONG& startX, ULONG& startY, ULONG& destX, ULONG& destY) const;
    // Seconds to wait for each part of a reply.
    void SetReplyTimeout(int seconds) { m_replyTimeout = seconds; }

protected:
    CTransitClient() = default;
    // The request (0 when it went out whole, else -10) and the reply.
    virtual int SendInfo(CAxSocket& socket, ULONG startX, ULONG startY, ULONG destX, ULONG destY) = 0;
    virtual int RecvInfo(CAxSocket& socket) = 0;
    void SetCoords(ULONG startX, ULONG startY, ULONG destX, ULONG destY);
    void SetCoords(const ULONG (&coords)[4]);
    const ULONG* Coords() const { return m_coords; }
    int ReplyTimeout() const { return m_replyTimeout; }

private:
    char16_t m_host[128] = {};
    short m_port = -1;
    int m_setUp = 0;
    ULONG m_coords[4] = {};
    int m_replyTimeout = transit::kDefaultReplyTimeout;
};
