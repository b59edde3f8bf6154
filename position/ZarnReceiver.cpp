#include "position/ZarnReceiver.h"

#include "position/Geometry.h"

#include <cmath>
#include <cstring>

using namespace zarn;

namespace {

constexpr int kNoFrame = 0;
constexpr int kBadSum = 10000;
constexpr double kKnotsPerRawSpeed = 0.05399568034557235;

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

std::vector<std::uint8_t> zarn::EncodeFrame(std::uint8_t type, const std::uint8_t* payload,
                                            std::size_t size) {
    std::vector<std::uint8_t> out;
    out.reserve(size * 2 + 6);
    out.push_back(kStx);
    out.push_back(type);
    unsigned sum = type;
    auto put = [&out](std::uint8_t b) {
        if (b == kStx || b == kEtx || b == kEsc) {
            out.push_back(kEsc);
            out.push_back(static_cast<std::uint8_t>(~b));
        } else {
            out.push_back(b);
        }
    };
    for (std::size_t i = 0; i < size; ++i) {
        put(payload[i]);
        sum += payload[i];
    }
    put(static_cast<std::uint8_t>(-sum & 0xFF));
    out.push_back(kEtx);
    return out;
}

CZarnReceiver::CZarnReceiver() = default;

void CZarnReceiver::Consume(int count) {
    if (count >= m_frameCount) {
        m_frameCount = 0;
    } else if (count > 0) {
        std::memmove(m_frame, m_frame + count, static_cast<std::size_t>(m_frameCount - count));
        m_frameCount -= count;
    }
    m_frame[m_frameCount] = 0;
}

void CZarnReceiver::PassThrough(std::uint8_t byte) {
    if (m_passCount < kBufferSize) m_pass[m_passCount++] = byte;
}

int CZarnReceiver::PutData(const char* data, int count) {
    if (!data || count <= 0) return 0;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    m_newPosition = 0;
    int pos = 0;
    while (pos < count) {
        // Take what fits; a held frame start and its bytes stay (cutting leaves fewer than 200).
        int room = kBufferSize - m_frameCount;
        int take = count - pos < room ? count - pos : room;
        std::memcpy(m_frame + m_frameCount, bytes + pos, static_cast<std::size_t>(take));
        m_frameCount += take;
        pos += take;
        for (;;) {
            std::uint8_t payload[kFrameWindow];
            int length = 0;
            int type = CutFrame(payload, &length);
            if (type == kNoFrame) break;
            if (type == kBadSum || !m_gpsDecoding) continue;
            if (type == kPositionFrame) {
                if (DecodePosition(payload, length)) m_newPosition = 1;
            } else if (type == kSatelliteFrame) {
                DecodeSatellites(payload, length);
            }
        }
        if (m_frameCount >= kBufferSize) Consume(m_frameCount);
    }
    m_passWaiting = m_passCount != 0;
    return (m_newPosition ? kGpsNewPosition : 0) + (m_passWaiting ? kGpsTrafficWaiting : 0);
}

int CZarnReceiver::CutFrame(std::uint8_t* payload, int* payloadLength) {
    *payloadLength = 0;
    if (m_frameCount <= 0) {
        Consume(m_frameCount);
        return kNoFrame;
    }
    int start = -1;
    for (int i = 0; i < m_frameCount; ++i) {
        std::uint8_t b = m_frame[i];
        if (b == kStx && i + 1 < m_frameCount &&
            (m_frame[i + 1] == kPositionFrame || m_frame[i + 1] == kSatelliteFrame)) {
            start = i;
            break;
        }
        if (b == kStx && i + 1 == m_frameCount) {
            // The type byte has not arrived yet: keep the STX for the next read.
            Consume(i);
            return kNoFrame;
        }
        PassThrough(b);
    }
    if (start < 0) {
        Consume(m_frameCount);
        return kNoFrame;
    }
    if (m_frameCount - start < kFrameWindow) {
        Consume(start);
        return kNoFrame;
    }
    const int end = start + kFrameWindow;
    const std::uint8_t type = m_frame[start + 1];
    unsigned sum = type;
    int length = 0;
    for (int i = start + 2; i < end; ++i) {
        std::uint8_t b = m_frame[i];
        if (b == kEtx || b == kStx) {
            // The STX of a following frame ends this one and stays in the buffer as that frame's
            // start; an ETX is taken with its frame.
            Consume(b == kEtx ? i + 1 : i);
            *payloadLength = length;
            return (sum & 0xFF) != 0 ? kBadSum : type;
        }
        if (b == kEsc) {
            if (i + 1 >= end) break;
            b = static_cast<std::uint8_t>(~m_frame[++i]);
        }
        payload[length++] = b;
        sum += b;
    }
    // No terminator within the window: the frame is dropped.
    Consume(end);
    return kBadSum;
}

int CZarnReceiver::DecodePosition(const std::uint8_t* p, int length) {
    if (length < kPositionPayload + 1) return 0;
    m_northSouth = (p[0] & 0x40) ? 'S' : 'N';
    m_eastWest = (p[0] & 0x20) ? 'W' : 'E';
    m_used = static_cast<std::int8_t>(p[0] & 0x1F);
    m_day = p[1];
    m_month = p[2];
    m_year = p[3];
    m_hour = p[4];
    m_minute = p[5];
    m_second = p[6];
    m_course = U16(p + 7);
    m_knots = U16(p + 9) * kKnotsPerRawSpeed;
    m_longitude = U32(p + 11) * 10.0;
    m_latitude = U32(p + 15) * 10.0;
    m_altitude = U16(p + 19);
    m_hdop = U16(p + 21) * 0.1;

    GpsPosRecord r;
    // The unit sends no status: a fix from three satellites on counts as valid.
    r.status = m_used >= 3 ? 'A' : 'V';
    r.day = m_day;
    r.month = m_month;
    r.year = m_year;
    r.hour = m_hour;
    r.minute = m_minute;
    r.second = m_second;
    r.northSouth = m_northSouth;
    r.eastWest = m_eastWest;
    r.satellitesUsed = m_used;
    r.course = m_course;
    std::int32_t speed = geo::TruncInt32(m_knots * 18.52);
    r.speed = static_cast<std::uint16_t>(speed > 65535 ? 65535 : speed);
    std::int32_t longitude = geo::TruncInt32(m_longitude);
    std::int32_t latitude = geo::TruncInt32(m_latitude);
    double height = m_altitude / 10.0; // metres for the datum shift
    // A unit without a fix sends zero coordinates; shifting them would invent a position.
    if (m_noDatumShift == 0 && longitude != 0 && latitude != 0) Wgs84ToBessel(longitude, latitude, height);
    r.altitude = geo::TruncInt32(std::round(height * 10.0));
    r.longitude = longitude / 10;
    r.latitude = latitude / 10;
    r.hdop = m_hdop;
    m_pending = r;
    m_hasPending = true;
    return 1;
}

void CZarnReceiver::DecodeSatellites(const std::uint8_t* p, int length) {
    if (length < 2) return;
    int count = static_cast<std::int8_t>(p[0]);
    if (count < 0) count = 0;
    if (count > kMaxSatellites) count = kMaxSatellites;
    if (length < 2 + kSatelliteEntry * count) return;
    m_inView = static_cast<std::int8_t>(count);
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* e = p + 1 + kSatelliteEntry * i;
        m_svNumbers[i] = e[0];
        m_svUsed[i] = e[1] != 0 ? e[0] : 255;
        m_svElevations[i] = e[2];
        m_svAzimuths[i] = U16(e + 3);
        m_svSnr[i] = e[5];
    }
    m_satellitesTaken = true;
}

bool CZarnReceiver::GetPosition(GpsPosRecord* out) {
    if (!out || !m_hasPending || m_pending.day == 0) return false;
    *out = m_pending;
    m_pending = GpsPosRecord{};
    m_hasPending = false;
    m_newPosition = 0;
    return true;
}

bool CZarnReceiver::GetSatellites(GpsSatRecord* out) {
    if (!out || !m_satellitesTaken) return false;
    GpsSatRecord r;
    r.fixType = m_used == 0 ? '1' : m_used <= 3 ? '2' : '3';
    r.inView = m_inView;
    for (int i = 0; i < m_inView; ++i) {
        r.numbers[i] = m_svNumbers[i];
        r.used[i] = static_cast<std::int8_t>(m_svUsed[i]) > 0 ? 1 : 0;
        r.elevations[i] = m_svElevations[i];
        r.snr[i] = m_svSnr[i];
        r.azimuths[i] = m_svAzimuths[i];
    }
    r.pdop = r.hdop = r.vdop = m_hdop;
    *out = r;
    return true;
}

void CZarnReceiver::GetTrafficBytes(std::uint8_t* buffer, int* count) {
    if (!count) return;
    if (!m_passWaiting || !buffer) {
        *count = 0;
        return;
    }
    m_passWaiting = 0;
    std::memcpy(buffer, m_pass, static_cast<std::size_t>(m_passCount));
    *count = m_passCount;
    std::memset(m_pass, 0, sizeof m_pass);
    m_passCount = 0;
}
