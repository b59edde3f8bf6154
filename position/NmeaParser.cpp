#include "position/NmeaParser.h"

#include "position/Geometry.h"

#include <cmath>
#include <cstring>

namespace {

CNmeaParser* g_instance = nullptr;

// Walks the comma-separated fields of a sentence from the comma after its name. A field ends at
// ',', '*', CR, LF or the end; at most 15 of its characters are kept, an empty field reads "0",
// and once the walk has reached the checksum every further field reads "0".
class FieldWalker {
public:
    explicit FieldWalker(const char* sentence) : m_p(sentence + 6) {}
    // The next field into out (16 bytes); returns its length as sent (0 for an empty field).
    int Next(char* out) {
        if (*m_p == ',')
            ++m_p;
        else if (*m_p != 0) {
            // Past the last field: stay at the checksum.
            out[0] = '0';
            out[1] = 0;
            return 0;
        }
        const char* end = m_p;
        while (*end && *end != ',' && *end != '*' && *end != '\r' && *end != '\n') ++end;
        std::size_t n = static_cast<std::size_t>(end - m_p);
        if (n == 0) {
            out[0] = '0';
            out[1] = 0;
        } else {
            std::size_t keep = n > 15 ? 15 : n;
            std::memcpy(out, m_p, keep);
            out[keep] = 0;
        }
        m_p = end;
        return static_cast<int>(n);
    }
    void Skip() {
        char scratch[16];
        Next(scratch);
    }
    char Letter() {
        char field[16];
        return Next(field) ? field[0] : 0;
    }
    double Decimal() {
        char field[16];
        Next(field);
        if (!IsNumber(field, true)) m_badNumber = true;
        return ParseDecimal(field);
    }
    int Integer() {
        char field[16];
        Next(field);
        if (!IsNumber(field, false)) m_badNumber = true;
        return ParseIntField(field, 0, 0);
    }
    // A numeric field read so far held something other than a number ("nan", "inf", "1e308",
    // "12a"): the digit readers would take such text as 0 or as its leading digits.
    bool BadNumber() const { return m_badNumber; }
    // hhmmss[.ss] or ddmmyy: three two-digit numbers. Returns the field's length as sent.
    int Triple(std::uint8_t& a, std::uint8_t& b, std::uint8_t& c) {
        char field[16];
        const int length = Next(field);
        const int x = ParseIntField(field, 0, 2), y = ParseIntField(field, 2, 2),
                  z = ParseIntField(field, 4, 2);
        a = static_cast<std::uint8_t>(x);
        b = static_cast<std::uint8_t>(y);
        c = static_cast<std::uint8_t>(z);
        // Signs or other characters among the digits make it unusable: "-1" must not pass as 0.
        m_badDigits = false;
        for (int i = 0; i < length && i < 6 && field[i]; ++i)
            if (field[i] < '0' || field[i] > '9') m_badDigits = true;
        return length;
    }
    bool BadDigits() const { return m_badDigits; }

private:
    // An optional sign, digits, and with decimals at most one full stop; at least one digit.
    static bool IsNumber(const char* text, bool decimal) {
        const char* p = text;
        if (*p == '+' || *p == '-') ++p;
        bool digits = false, point = false;
        for (; *p; ++p) {
            if (*p >= '0' && *p <= '9')
                digits = true;
            else if (*p == '.' && decimal && !point)
                point = true;
            else
                return false;
        }
        return digits;
    }

    const char* m_p;
    bool m_badDigits = false;
    bool m_badNumber = false;
};

// Satellites used in a fix: a GPS receiver reports at most 12.
constexpr int kMaxUsedSatellites = 12;

// Range checks: a field out of its range makes the whole sentence unusable, as a missing fix.
// An empty field reads as zero and is in range.
bool TimeInRange(const FieldWalker& f, int hour, int minute, int second) {
    return !f.BadDigits() && hour < 24 && minute < 60 && second <= 60; // 60: a leap second
}

bool DateInRange(const FieldWalker& f, int length, int day, int month) {
    if (length == 0) return true; // no date sent
    return !f.BadDigits() && length >= 6 && day >= 1 && day <= 31 && month >= 1 && month <= 12;
}

// ddmm.mmmm (or dddmm.mmmm): not negative, minutes below 60, at most maxDegrees in all.
bool AngleInRange(double v, double maxDegrees) {
    if (!std::isfinite(v) || v < 0.0) return false;
    const double degrees = std::trunc(std::trunc(v) / 100.0);
    const double minutes = v - 100.0 * degrees;
    return minutes < 60.0 && degrees + minutes / 60.0 <= maxDegrees;
}

std::int8_t ClampI8(int v, int lo, int hi) {
    return static_cast<std::int8_t>(v < lo ? lo : v > hi ? hi : v);
}

std::uint16_t ClampU16(double v) {
    std::int32_t t = geo::TruncInt32(v);
    return static_cast<std::uint16_t>(t < 0 ? 0 : t > 65535 ? 65535 : t);
}

// ddmm.mmmm (or dddmm.mmmm) as milli-arc-seconds.
std::int32_t DegreeMinutesToMas(double v) {
    if (!std::isfinite(v) || std::fabs(v) > 1e12) return 0;
    double whole = std::trunc(v);
    double degrees = std::trunc(whole / 100.0);
    double minutes = v - 100.0 * degrees;
    // A millionth of a milli-second absorbs the binary error of decimal minutes (7.038 would
    // otherwise give 422279.99999 and lose a unit); it is far below any digit a receiver sends.
    return geo::TruncInt32(degrees * 3600000.0 + std::trunc(minutes * 60000.0 + 1e-6));
}

// 90 degrees in milli-arc-seconds.
constexpr std::int32_t kMasPerQuarter = 90 * 3600000;

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// The checksum: exclusive or of the characters after "$" up to the first '*', CR or LF, against
// the two upper-case hexadecimal digits after the '*'. A sentence without them is refused.
bool ChecksumMatches(const char* s) {
    unsigned sum = 0;
    const char* p = s + 1;
    for (; *p && *p != '*' && *p != '\r' && *p != '\n'; ++p) sum ^= static_cast<unsigned char>(*p);
    if (*p != '*' || !IsUpperHex(p[1]) || !IsUpperHex(p[2])) return false;
    return static_cast<unsigned>(HexPairValue(p + 1)) == (sum & 0xFF);
}

} // namespace

CNmeaParser::CNmeaParser() = default;

CNmeaParser* CNmeaParser::Instance() {
    if (!g_instance) g_instance = new CNmeaParser();
    return g_instance;
}

void CNmeaParser::Destroy() {
    delete g_instance;
    g_instance = nullptr;
}

int CNmeaParser::PutData(const char* text) {
    return text ? PutData(text, static_cast<int>(std::strlen(text))) : 0;
}

int CNmeaParser::PutData(const char* data, int count) {
    if (!data || count <= 0) return 0;
    int result = 0;
    int pos = 0;
    while (pos < count) {
        // Take as much as fits; what is held (at most one partial sentence after a cut) stays.
        while (pos < count && m_textLength < kReceiveSize) {
            char c = data[pos++];
            if (c != 0) m_text[m_textLength++] = c;
        }
        m_text[m_textLength] = 0;
        if (m_textLength < 20) break;
        for (;;) {
            int before = m_textLength;
            char sentence[kMaxSentence + 1];
            if (CutSentence(sentence) && ParseSentence(sentence) == 1) result = 1;
            if (m_textLength >= before) break;
        }
        // Cutting leaves fewer than 127 characters, so the next piece always finds room.
        if (m_textLength >= kReceiveSize) ConsumeText(m_textLength);
    }
    return result;
}

void CNmeaParser::ConsumeText(int count) {
    if (count >= m_textLength) {
        m_textLength = 0;
    } else if (count > 0) {
        std::memmove(m_text, m_text + count, static_cast<std::size_t>(m_textLength - count));
        m_textLength -= count;
    }
    m_text[m_textLength] = 0;
}

bool CNmeaParser::CutSentence(char* sentence) {
    if (m_textLength == 0) return false;
    const char* dollar =
        static_cast<const char*>(std::memchr(m_text, '$', static_cast<std::size_t>(m_textLength)));
    if (!dollar) {
        ConsumeText(m_textLength);
        return false;
    }
    int start = static_cast<int>(dollar - m_text);
    for (int k = start + 1;; ++k) {
        if (k - start > kMaxSentence - 1) {
            // No line feed within the longest sentence: drop it and let the next cut look again.
            ConsumeText(start + kMaxSentence);
            return false;
        }
        if (k >= m_textLength) {
            ConsumeText(start);
            return false;
        }
        char c = m_text[k];
        if (c == '\n') {
            int n = k - start + 1;
            std::memcpy(sentence, m_text + start, static_cast<std::size_t>(n));
            sentence[n] = 0;
            ConsumeText(k + 1);
            return true;
        }
        if (c == '$') start = k;
    }
}

int CNmeaParser::ParseSentence(const char* s) {
    if (!s || s[0] != '$' || s[1] != 'G' || s[2] != 'P') return 0;
    static const char* const names[kTypeCount] = {"GGA", "GLL", "GSA", "GSV", "RMC", "VTG"};
    int type = -1;
    for (int t = 0; t < kTypeCount; ++t)
        if (std::strncmp(s + 3, names[t], 3) == 0) type = t;
    if (type < 0) return 0;
    int taken = 0;
    if (s[6] == ',' && ChecksumMatches(s)) {
        switch (type) {
        case kGGA:
            taken = ParseGga(s);
            break;
        case kGLL:
            taken = ParseGll(s);
            break;
        case kGSA:
            taken = ParseGsa(s);
            break;
        case kGSV:
            taken = ParseGsv(s);
            break;
        case kRMC:
            taken = ParseRmc(s);
            break;
        case kVTG:
            taken = ParseVtg(s);
            break;
        }
    }
    m_taken[type] = taken;
    if (m_taken[kGGA] == 1 && m_taken[kRMC] == 1 && m_ggaHour == m_rmcHour && m_ggaMinute == m_rmcMinute &&
        m_ggaSecond == m_rmcSecond) {
        BuildPosition();
        m_taken[kGGA] = m_taken[kGLL] = m_taken[kRMC] = m_taken[kVTG] = 0;
        return 1;
    }
    return 0;
}

int CNmeaParser::ParseGga(const char* s) {
    FieldWalker f(s);
    f.Triple(m_ggaHour, m_ggaMinute, m_ggaSecond);
    const bool timeOk = TimeInRange(f, m_ggaHour, m_ggaMinute, m_ggaSecond);
    m_ggaLatitude = f.Decimal();
    m_ggaNorthSouth = f.Letter();
    m_ggaLongitude = f.Decimal();
    m_ggaEastWest = f.Letter();
    m_fixQuality = f.Letter();
    const int used = f.Integer();
    m_ggaUsed = ClampI8(used, 0, 127);
    m_ggaHdop = f.Decimal();
    m_ggaAltitude = f.Decimal();
    return timeOk && !f.BadNumber() && AngleInRange(m_ggaLatitude, 90.0) &&
                   AngleInRange(m_ggaLongitude, 180.0) && used >= 0 && used <= kMaxUsedSatellites &&
                   std::isfinite(m_ggaHdop) && std::isfinite(m_ggaAltitude) && std::fabs(m_ggaAltitude) < 1e6
               ? 1
               : 0;
}

int CNmeaParser::ParseGll(const char* s) {
    FieldWalker f(s);
    m_gllLatitude = f.Decimal();
    m_gllNorthSouth = f.Letter();
    m_gllLongitude = f.Decimal();
    m_gllEastWest = f.Letter();
    f.Triple(m_gllHour, m_gllMinute, m_gllSecond);
    return TimeInRange(f, m_gllHour, m_gllMinute, m_gllSecond) && !f.BadNumber() &&
                   AngleInRange(m_gllLatitude, 90.0) && AngleInRange(m_gllLongitude, 180.0)
               ? 1
               : 0;
}

int CNmeaParser::ParseGsa(const char* s) {
    FieldWalker f(s);
    f.Skip(); // mode
    char field[16];
    f.Next(field);
    m_fixType = field[0];
    for (int i = 0; i < kMaxSatellites; ++i) {
        int length = f.Next(field);
        m_gsaNumbers[i] =
            length == 0 ? static_cast<std::int8_t>(-1)
                        : static_cast<std::int8_t>(static_cast<std::uint8_t>(ParseIntField(field, 0, 0)));
    }
    m_pdop = f.Decimal();
    m_hdop = f.Decimal();
    m_vdop = f.Decimal();
    return 1;
}

int CNmeaParser::ParseGsv(const char* s) {
    FieldWalker f(s);
    m_gsvMessages = ClampI8(f.Integer(), 0, 127);
    int message = f.Integer();
    int announced = f.Integer();
    m_inView = ClampI8(announced, 0, kMaxSatellites);
    for (int k = 0; k < 4; ++k) {
        long index = (static_cast<long>(message) - 1) * 4 + k;
        if (index >= announced) break;
        int number = f.Integer();
        int elevation = f.Integer();
        int azimuth = f.Integer();
        int snr = f.Integer();
        // Entries beyond the twelfth (or before the first, for a bad message number) are not held.
        if (index < 0 || index >= kMaxSatellites) continue;
        m_svNumbers[index] = static_cast<std::uint8_t>(number);
        m_svElevations[index] = static_cast<std::uint8_t>(elevation);
        m_svAzimuths[index] = static_cast<std::uint16_t>(azimuth);
        m_svSnr[index] = static_cast<std::uint8_t>(snr);
    }
    return 1;
}

int CNmeaParser::ParseRmc(const char* s) {
    FieldWalker f(s);
    f.Triple(m_rmcHour, m_rmcMinute, m_rmcSecond);
    const bool timeOk = TimeInRange(f, m_rmcHour, m_rmcMinute, m_rmcSecond);
    m_rmcStatus = f.Letter();
    m_rmcLatitude = f.Decimal();
    m_rmcNorthSouth = f.Letter();
    m_rmcLongitude = f.Decimal();
    m_rmcEastWest = f.Letter();
    m_rmcKnots = f.Decimal();
    m_rmcCourse = f.Decimal();
    const int dateLength = f.Triple(m_day, m_month, m_year);
    return timeOk && !f.BadNumber() && DateInRange(f, dateLength, m_day, m_month) &&
                   AngleInRange(m_rmcLatitude, 90.0) && AngleInRange(m_rmcLongitude, 180.0) &&
                   std::isfinite(m_rmcKnots) && m_rmcKnots >= 0.0 && m_rmcKnots < 10000.0 &&
                   std::isfinite(m_rmcCourse) && m_rmcCourse >= 0.0 && m_rmcCourse <= 360.0
               ? 1
               : 0;
}

int CNmeaParser::ParseVtg(const char* s) {
    FieldWalker f(s);
    m_vtgCourse = f.Decimal();
    f.Skip(); // T
    f.Skip(); // magnetic course
    f.Skip(); // M
    m_vtgKnots = f.Decimal();
    f.Skip(); // N
    m_vtgKmh = f.Decimal();
    return 1;
}

void CNmeaParser::BuildPosition() {
    GpsPosRecord r;
    r.status = m_rmcStatus;
    r.day = m_day;
    r.month = m_month;
    r.year = m_year;
    r.hour = m_ggaHour;
    r.minute = m_ggaMinute;
    r.second = m_ggaSecond;
    r.northSouth = m_ggaNorthSouth;
    r.eastWest = m_ggaEastWest;
    r.satellitesUsed = m_ggaUsed;
    r.course = ClampU16(m_rmcCourse);
    r.speed = ClampU16(m_rmcKnots * 18.52);
    std::int32_t longitude = DegreeMinutesToMas(m_ggaLongitude);
    std::int32_t latitude = DegreeMinutesToMas(m_ggaLatitude);
    // The record keeps decimetres; the datum shift moves the height in whole metres.
    double height = std::isfinite(m_ggaAltitude) ? m_ggaAltitude : 0.0;
    if (longitude != 0 && latitude != 0 && m_noDatumShift == 0) {
        Wgs84ToBessel(longitude, latitude, height);
        // Near a pole the shift may carry a position past it: it stays on the globe.
        latitude = latitude > kMasPerQuarter    ? kMasPerQuarter
                   : latitude < -kMasPerQuarter ? -kMasPerQuarter
                                                : latitude;
        longitude = longitude > 2 * kMasPerQuarter    ? 2 * kMasPerQuarter
                    : longitude < -2 * kMasPerQuarter ? -2 * kMasPerQuarter
                                                      : longitude;
    }
    r.altitude = geo::TruncInt32(height * 10.0);
    r.longitude = longitude / 10;
    r.latitude = latitude / 10;
    r.hdop = m_ggaHdop;
    m_pending = r;
    m_hasPending = true;
}

bool CNmeaParser::GetPosition(GpsPosRecord* out) {
    if (!out || !m_hasPending) return false;
    *out = m_pending;
    m_pending = GpsPosRecord{};
    m_hasPending = false;
    return true;
}

bool CNmeaParser::GetSatellites(GpsSatRecord* out) {
    if (!out || m_taken[kGSA] == 0 || m_taken[kGSV] == 0) return false;
    GpsSatRecord r;
    r.fixType = m_fixType;
    r.inView = m_inView;
    for (int i = 0; i < m_inView; ++i) {
        r.numbers[i] = m_svNumbers[i];
        r.elevations[i] = m_svElevations[i];
        r.snr[i] = m_svSnr[i];
        r.azimuths[i] = m_svAzimuths[i];
        if (m_svNumbers[i] == 0) continue;
        for (int j = 0; j < kMaxSatellites; ++j)
            if (m_gsaNumbers[j] != -1 && static_cast<std::uint8_t>(m_gsaNumbers[j]) == m_svNumbers[i])
                r.used[i] = 1;
    }
    r.pdop = m_pdop;
    r.hdop = m_hdop;
    r.vdop = m_vdop;
    *out = r;
    return true;
}
