// The combined GPS and traffic-broadcast receiver unit. Its GPS data come as binary frames
// (STX 0x02, type 0x60 position or 0x61 satellites, payload with ESC 0x1B marking an inverted
// byte, a check byte that makes the sum of type and payload 0 modulo 256, then ETX 0x03 or the
// STX of the next frame); every other byte on the line belongs to the traffic-broadcast receiver
// and is passed through.
#pragma once

#include "position/GpsReceiver.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zarn {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kPositionFrame = 0x60;
constexpr std::uint8_t kSatelliteFrame = 0x61;
// A frame is decoded only once this many bytes from its STX are buffered, and its terminator must
// lie within them.
constexpr int kFrameWindow = 200;
constexpr int kPositionPayload = 23; // decoded bytes before the check byte
constexpr int kSatelliteEntry = 6;

// Sent once after the unit's port has been opened, and the probe of the port scan.
constexpr std::uint8_t kConfigureFrame[] = {0x02, 0x32, 0x05, 0xC0, 0xFF, 0xFF, 0xFF, 0xFF, 0x0D, 0x03};
constexpr std::uint8_t kProbeFrame[] = {0x02, 0x34, 0xCC, 0x03};

// A whole frame: STX, type, the payload and its check byte escaped, ETX.
std::vector<std::uint8_t> EncodeFrame(std::uint8_t type, const std::uint8_t* payload, std::size_t size);

} // namespace zarn

class CZarnReceiver : public CGpsReceiver {
public:
    static constexpr int kBufferSize = 2048;

    CZarnReceiver();

    void SetNoDatumShift(int flag) override { m_noDatumShift = flag; }
    int GetNoDatumShift() override { return m_noDatumShift; }
    // Bit 0 when any position frame of this call was decoded; 2 added while pass-through bytes
    // wait. 0 for a null pointer or a count of 0 or less.
    int PutData(const char* data, int count) override;
    // False for a null pointer, when no position was decoded since the last take, or when the
    // pending record has no date (day 0).
    bool GetPosition(GpsPosRecord* out) override;
    // True once a satellites frame has been taken.
    bool GetSatellites(GpsSatRecord* out) override;

    // With 0, position and satellite frames are still cut out of the stream but not decoded.
    void SetGpsDecoding(int on) { m_gpsDecoding = on; }
    // Copies the waiting pass-through bytes (buffer of at least 2048) and empties them; count 0
    // when none wait.
    void GetTrafficBytes(std::uint8_t* buffer, int* count);

    int BufferedLength() const { return m_frameCount; }

private:
    int CutFrame(std::uint8_t* payload, int* payloadLength);
    void Consume(int count);
    void PassThrough(std::uint8_t byte);
    int DecodePosition(const std::uint8_t* p, int length);
    void DecodeSatellites(const std::uint8_t* p, int length);

    // Decoded GPS fields.
    std::uint8_t m_hour = 0, m_minute = 0, m_second = 0;
    double m_latitude = 0.0; // milli-arc-seconds
    char m_northSouth = 0;
    double m_longitude = 0.0;
    char m_eastWest = 0;
    std::int8_t m_used = 0;
    double m_hdop = 0.0;
    double m_altitude = 0.0; // decimetres, as the unit sends it
    std::int8_t m_inView = 0;
    std::uint8_t m_svNumbers[kMaxSatellites] = {};
    std::uint8_t m_svUsed[kMaxSatellites] = {}; // the number when used, else 255
    std::uint8_t m_svElevations[kMaxSatellites] = {};
    std::uint16_t m_svAzimuths[kMaxSatellites] = {};
    std::uint8_t m_svSnr[kMaxSatellites] = {};
    double m_knots = 0.0;
    std::uint16_t m_course = 0;
    std::uint8_t m_day = 0, m_month = 0, m_year = 0;
    bool m_satellitesTaken = false;
    int m_noDatumShift = 0;
    GpsPosRecord m_pending;
    bool m_hasPending = false;

    std::uint8_t m_frame[kBufferSize + 1] = {};
    int m_frameCount = 0;
    std::uint8_t m_pass[kBufferSize] = {};
    int m_passCount = 0;
    int m_gpsDecoding = 1;
    int m_newPosition = 0;
    int m_passWaiting = 0;
};
