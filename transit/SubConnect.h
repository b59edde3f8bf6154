// CSubConnect: asks the subway route server for subway routes between two map points, holds the
// answer (per route a 16-byte record and a text of stations), answers the result dialog's
// queries on it, and saves or reopens it as a transit route file.
#pragma once

#include "platform/base/WinTypes.h"
#include "transit/TransitClient.h"
#include "transit/TransitText.h"

#include <cstdint>
#include <memory>

class CAxSocket;

// A station of a subway route as handed to the application.
struct SubLineInfo {
    char name[32];      // the station, CP949
    char direction[32]; // the station the train runs towards
    std::int32_t x;     // map units
    std::int32_t y;     // map units
    char line[16];      // the subway line
};

class CSubConnect : public CTransitClient {
public:
    static constexpr int kMaxRoutes = 5;
    static constexpr std::uint32_t kStatusOk = 0x80000005u;
    static constexpr int kReplyFailed = static_cast<int>(0xC0000001u);

    CSubConnect();
    ~CSubConnect() override;

    // Execute answers 0 when routes were received, else -10, -11, 0xC0000001 (reply incomplete,
    // malformed or late) or the server's status.
    int HasInfo() const { return m_data ? 1 : 0; }
    int GetRouteNum() const { return m_routesHeld; }
    int GetStopNum(int route) const;
    int GetTotalStop(int route) const;
    int GetStationInfo(int route, int station, SubLineInfo& info) const;
    int SaveRouteSub(const char16_t* path);
    int OpenRouteSub(const char16_t* path);

protected:
    // One question's steps, over any socket (tests and fuzzing feed the reply from memory).
    int SendInfo(CAxSocket& socket, ULONG startX, ULONG startY, ULONG destX, ULONG destY) override;
    int RecvInfo(CAxSocket& socket) override;

private:
    struct ReplyHeader {
        std::uint32_t status = 0;
        std::int32_t routeCount = 0, dataLength = 0, magic = 0;
    };
    struct RouteSlot {
        const std::uint8_t* record = nullptr; // four little-endian words once converted
        const char* text = nullptr;
        std::int32_t textLength = 0;
    };

    void InitSubRequest();
    // Sets the route pointers over the held data, turning each record's words from network
    // order first when `convert` is set. False when a record or its text runs past the data.
    bool SetRoutePoint(ULONG routeCount, int convert);
    static void NtoH(std::uint8_t* word);
    std::int32_t RecordWord(int route, int word) const;
    void Hold(std::unique_ptr<std::uint8_t[]> data, std::int32_t length, const ReplyHeader& header);
    const RouteSlot* Slot(int route) const;

    std::uint32_t m_requestHeader[4] = {};
    ReplyHeader m_header;
    ReplyHeader m_heldHeader;
    std::uint32_t m_requestBody[6] = {};
    RouteSlot m_routes[kMaxRoutes];
    int m_routesHeld = 0;
    std::unique_ptr<std::uint8_t[]> m_data;
    std::int32_t m_dataLength = 0;
};
