// CBusConnect: asks the bus route server for bus routes between two map points (one TCP
// connection a question), holds the answer (a five-word header and a text of routes and stops),
// answers the result dialog's queries on it, and saves or reopens it as a transit route file.
#pragma once

#include "platform/base/WinTypes.h"
#include "transit/TransitClient.h"
#include "transit/TransitText.h"

#include <cstdint>
#include <memory>

class CAxSocket;

// A stop of a bus route as handed to the application.
struct BusStopInfo {
    char name[32];  // CP949, NUL-terminated
    std::int32_t x; // map units
    std::int32_t y; // map units
    char line[12];  // the bus line
};

class CBusConnect : public CTransitClient {
public:
    static constexpr int kMaxRoutes = 5;

    CBusConnect();
    ~CBusConnect() override;

    // Execute answers 0 when routes were received, else -10, -11, -3 (reply incomplete,
    // malformed or late) or the server's status.
    int HasInfo() const { return m_text ? 1 : 0; }
    // The routes held (at most five).
    int GetRouteNum() const { return m_routesHeld; }
    int GetStopNum(int route) const;
    int GetTotalStop(int route) const;
    // 1 with the record filled, 0 (record unchanged) for a route or stop out of range.
    int GetStopInfo(int route, int stop, BusStopInfo& info) const;
    int SaveRouteBus(const char16_t* path);
    int OpenRouteBus(const char16_t* path);

protected:
    // One question's steps, over any socket (tests and fuzzing feed the reply from memory).
    int SendInfo(CAxSocket& socket, ULONG startX, ULONG startY, ULONG destX, ULONG destY) override;
    int RecvInfo(CAxSocket& socket) override;

private:
    struct ReplyHeader {
        std::int32_t magic = 0, status = 0, unused = 0, routeCount = 0, textLength = 0;
    };
    struct RouteSlot {
        const char* text = nullptr;
        std::int32_t stopLines = -1;
        std::int32_t totalStops = -1;
    };

    // Fills the route slots from the held text; 1 when every announced route (up to five) was
    // read, -1 when a route was malformed (it and the ones after it stay empty).
    int SetRoutePoint(ULONG routeCount);
    void HoldText(std::unique_ptr<char[]> text, std::int32_t length, const ReplyHeader& header);
    const RouteSlot* Slot(int route) const;

    std::uint8_t m_request[40] = {};
    ReplyHeader m_header;     // the last reply header received
    ReplyHeader m_heldHeader; // the header of the held answer
    std::unique_ptr<char[]> m_text;
    std::int32_t m_textLength = 0;
    RouteSlot m_routes[kMaxRoutes];
    int m_routesHeld = 0;
};
