#include "position/Geometry.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace geo {

std::int32_t TruncInt32(double value) {
    if (std::isnan(value)) return 0;
    double t = std::trunc(value);
    if (t >= 2147483647.0) return INT32_MAX;
    if (t <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(t);
}

} // namespace geo

using geo::TruncInt32;

namespace {

// Bessel 1841 and the Molodensky parameters of the Bessel to WGS84 shift.
constexpr double kBesselA = 6377397.155;
constexpr double kBesselE2 = 0.0066743722309354405;
constexpr double kBOverA = 0.99665722681826;
constexpr double kAOverB = 1.0033539847921553;
constexpr double kInvA = 1.5680378306312334e-7;
constexpr double kDa = 739.845;
constexpr double kDf = 1.0037483e-5;
constexpr double kRadPerMas = 1.54320987654321e-9; // times pi

// Whole milli-arc-second and metre shifts that Wgs84ToBessel subtracts at a WGS84 position.
struct Shift {
    std::int32_t lat;
    std::int32_t lon;
    std::int32_t height;
};

Shift MolodenskyShift(std::int32_t longitude, std::int32_t latitude, double h) {
    const double pi = geo::kPi;
    double phi = latitude * pi * kRadPerMas;
    double lambda = longitude * pi * kRadPerMas;
    double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    double sinLam = std::sin(lambda), cosLam = std::cos(lambda);
    double e = std::sqrt(kBesselE2);
    double es = e * sinPhi;
    double w = std::sqrt(1.0 - es * es);
    double n = kBesselA / w;
    double m = (1.0 - kBesselE2) * kBesselA / std::pow(1.0 - es * es, 1.5);
    double dPhi = (128.0 * sinPhi * cosLam - 481.0 * sinPhi * sinLam + 664.0 * cosPhi +
                   kBesselE2 * n * cosPhi * sinPhi * kDa * kInvA +
                   (m * kAOverB + n * kBOverA) * cosPhi * sinPhi * kDf) /
                  (h + m);
    // At a pole the longitude has no meaning and its shift none either; close to one the shift
    // grows without bound and is taken as an angle (within half a turn).
    double dLambda = std::fabs(cosPhi) < 1e-12 ? 0.0 : (481.0 * cosLam + 128.0 * sinLam) / ((h + n) * cosPhi);
    if (std::fabs(dLambda) > pi) dLambda = std::remainder(dLambda, 2.0 * pi);
    double dH = -128.0 * cosPhi * cosLam + 481.0 * cosPhi * sinLam + 664.0 * sinPhi +
                n * kBOverA * sinPhi * sinPhi * kDf - (kBesselA / n) * kDa;
    return {TruncInt32(dPhi / pi * 648000000.0), TruncInt32(dLambda / pi * 648000000.0), TruncInt32(dH)};
}

std::int32_t Clamp32(std::int64_t r) {
    if (r > INT32_MAX) return INT32_MAX;
    if (r < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(r);
}
std::int32_t Sub(std::int32_t a, std::int32_t b) {
    return Clamp32(static_cast<std::int64_t>(a) - b);
}
std::int32_t Add(std::int32_t a, std::int32_t b) {
    return Clamp32(static_cast<std::int64_t>(a) + b);
}

// Angle in degrees (as a double) of the bearing rule, before truncation.
std::int16_t BearingOf(double dx, double dy) {
    double angle;
    if (dy == 0.0) {
        angle = dx > 0.0 ? 90.0 : 270.0;
    } else {
        double a = std::fabs(std::atan(dx / dy)) * 180.0 / geo::kPi;
        if (dy < 0.0)
            angle = dx > 0.0 ? 180.0 - a : 180.0 + a;
        else
            angle = dx > 0.0 ? a : 360.0 - a;
    }
    return static_cast<std::int16_t>((static_cast<int>(angle) + 360) % 360);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}
int HexDigit(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

// strtol-style reading of at most len bytes (at most 15 of them): blanks, a sign, digits.
std::int64_t ReadInt64(const char* text, std::size_t len) {
    std::size_t i = 0;
    while (i < len && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < len && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (std::size_t n = 0; i < len && n < 18 && text[i] >= '0' && text[i] <= '9'; ++i, ++n)
        value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

// The same, saturated to 32 bits.
int ReadInt(const char* text, std::size_t len) {
    std::size_t i = 0;
    while (i < len && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < len && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < len && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<std::int64_t>(INT32_MAX) + 1)
            value = static_cast<std::int64_t>(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    return static_cast<int>(value);
}

} // namespace

bool NetToMapChecked(std::int32_t netX, std::int32_t netY, std::int32_t& x, std::int32_t& y) {
    if (netX < geo::kNetMinX || netX >= geo::kNetEndX || netY < geo::kNetMinY || netY >= geo::kNetEndY)
        return false;
    x = TruncInt32((static_cast<double>(netX) - 45000000.0) * 0.26666666666666666);
    y = TruncInt32((static_cast<double>(netY) - 11910000.0) * 0.3333333333333333);
    return true;
}

bool MapToNetChecked(std::int32_t x, std::int32_t y, std::int32_t& netX, std::int32_t& netY) {
    if (x < 0 || x >= geo::kMapEndX || y < 0 || y >= geo::kMapEndY) return false;
    netX = TruncInt32(x * 3.75 + 45000000.0);
    netY = TruncInt32(y * 3.0 + 11910000.0);
    return true;
}

bool PosToDorva(std::int32_t x, std::int32_t y, DorvaCode& code) {
    if (x < 0 || x >= geo::kMapEndX || y < 0 || y >= geo::kMapEndY) return false;
    int lonSec = TruncInt32((x / 10000 + 1000) * 450.0 + (x % 10000) * 0.045);
    int latSec = TruncInt32((y / 10000 + 397) * 300.0 + (y % 10000) * 0.03);
    if (lonSec < 446400 || latSec < 118800) return false;
    int u = lonSec - 446400;
    int v = latSec - 118800;
    code.sheetColumn = u / 3600;
    code.sheetRow = v / 2400;
    code.subColumn = (u % 3600) / 450;
    code.subRow = (v % 2400) / 300;
    code.fineX = (x % 10000) / 10;
    code.fineY = (y % 10000) / 10;
    return true;
}

bool DorvaToPos(const DorvaCode& code, std::int32_t& x, std::int32_t& y) {
    std::int64_t px =
        ((static_cast<std::int64_t>(code.subColumn) + 8LL * code.sheetColumn - 8) * 1000 + code.fineX) * 10 +
        5;
    std::int64_t py =
        ((static_cast<std::int64_t>(code.subRow) + 8LL * code.sheetRow - 1) * 1000 + code.fineY) * 10 + 5;
    x = static_cast<std::int32_t>(px < INT32_MIN ? INT32_MIN : px > INT32_MAX ? INT32_MAX : px);
    y = static_cast<std::int32_t>(py < INT32_MIN ? INT32_MIN : py > INT32_MAX ? INT32_MAX : py);
    return px >= 0 && px < geo::kMapEndX && py >= 0 && py < geo::kMapEndY;
}

void Wgs84ToBessel(std::int32_t& longitude, std::int32_t& latitude, double& height) {
    Shift s = MolodenskyShift(longitude, latitude, height);
    latitude = Sub(latitude, s.lat);
    longitude = Sub(longitude, s.lon);
    height -= s.height;
}

void BesselToWgs84(std::int32_t& longitude, std::int32_t& latitude, double& height) {
    const std::int32_t targetLon = longitude, targetLat = latitude;
    const double targetH = height;
    // Fixed point: the shift changes by far less than a unit per unit of position, so adding the
    // shift found at the current guess converges in a few rounds.
    std::int32_t lon = longitude, lat = latitude;
    double h = height;
    auto error = [&](std::int32_t tryLon, std::int32_t tryLat, double tryH) {
        std::int32_t a = tryLon, b = tryLat;
        double c = tryH;
        Wgs84ToBessel(a, b, c);
        return std::llabs(static_cast<long long>(a) - targetLon) +
               std::llabs(static_cast<long long>(b) - targetLat);
    };
    for (int round = 0; round < 8; ++round) {
        Shift s = MolodenskyShift(lon, lat, h);
        lon = Add(targetLon, s.lon);
        lat = Add(targetLat, s.lat);
        h = targetH + s.height;
        if (error(lon, lat, h) == 0) break;
    }
    // Truncation can leave the last unit off: look at the neighbours for an exact round trip.
    long long best = error(lon, lat, h);
    std::int32_t bestLon = lon, bestLat = lat;
    for (int dy = -2; dy <= 2 && best != 0; ++dy) {
        for (int dx = -2; dx <= 2 && best != 0; ++dx) {
            long long e = error(Add(lon, dx), Add(lat, dy), h);
            if (e < best) {
                best = e;
                bestLon = Add(lon, dx);
                bestLat = Add(lat, dy);
            }
        }
    }
    longitude = bestLon;
    latitude = bestLat;
    height = targetH + MolodenskyShift(bestLon, bestLat, h).height;
}

void SplitDegMinSec(std::int64_t value, int precision, int* degrees, int* minutes, int* seconds,
                    int* remainder) {
    if (!degrees || !minutes || !seconds) return;
    std::int64_t s = 1;
    if (precision >= 1 && precision <= 4)
        for (int i = 0; i < precision; ++i) s *= 10;
    std::int64_t rest = value;
    *degrees = static_cast<int>(rest / (3600 * s));
    rest %= 3600 * s;
    *minutes = static_cast<int>(rest / (60 * s));
    rest %= 60 * s;
    *seconds = static_cast<int>(rest / s);
    rest %= s;
    if (remainder) *remainder = static_cast<int>(rest);
}

std::int64_t DegMinSecToValue(int degrees, int minutes, int seconds, int fraction, int precision) {
    std::int64_t value = (static_cast<std::int64_t>(degrees) * 60 + minutes) * 60 + seconds;
    if (precision >= 1 && precision <= 4) {
        for (int i = 0; i < precision; ++i) value *= 10;
        value += fraction;
    }
    return value;
}

std::int32_t CalcDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    // 64-bit squares: the sum of two squared 32-bit differences needs up to 66 bits only at the
    // extremes, so it is summed as a double (exact up to 2^53, ample for coordinates).
    double dx = std::fabs(static_cast<double>(x2) - x1);
    double dy = std::fabs(static_cast<double>(y2) - y1);
    return TruncInt32(std::sqrt(dx * dx + dy * dy));
}

DistanceScales& MeasureScales() {
    static DistanceScales scales;
    return scales;
}

std::int32_t MeasureDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const DistanceScales& s = MeasureScales();
    double kx = (s.xA + s.xB) / 2.0;
    double ky = (s.yA + s.yB) / 2.0;
    double dy = ky * std::fabs(static_cast<double>(y2) - y1);
    double dx = kx * std::fabs(static_cast<double>(x2) - x1);
    return TruncInt32(std::sqrt(dy * dy + dx * dx));
}

std::int16_t CalcBearing(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    return BearingOf(static_cast<double>(x2) - x1, static_cast<double>(y2) - y1);
}

std::int16_t CalcMapBearing(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    return BearingOf((static_cast<double>(x2) - x1) * 0.26666666666666666,
                     (static_cast<double>(y2) - y1) * 0.3333333333333333);
}

double CalcMapAngle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    int dy = TruncInt32((static_cast<double>(y2) - y1) * 0.3333333333333333);
    int dx = TruncInt32((static_cast<double>(x2) - x1) * 0.26666666666666666);
    return std::atan2(static_cast<double>(dy), static_cast<double>(dx));
}

int HeadingDifference(std::int16_t a, std::int16_t b) {
    int d = static_cast<int>(b) - static_cast<int>(a);
    if (d > 180)
        d -= 360;
    else if (d < -180)
        d += 360;
    return d;
}

void OffsetByHeading(std::int32_t x, std::int32_t y, std::int16_t heading, std::int32_t distance,
                     std::int32_t& outX, std::int32_t& outY) {
    double r = heading * 0.0174533;
    outX = Add(x, TruncInt32(std::sin(r) * distance));
    outY = Add(y, TruncInt32(std::cos(r) * distance));
}

void ProjectOnSegment(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t px,
                      std::int32_t py, std::int32_t& footX, std::int32_t& footY, std::int32_t& position) {
    std::int64_t dx = static_cast<std::int64_t>(x2) - x1;
    std::int64_t dy = static_cast<std::int64_t>(y2) - y1;
    std::int64_t lengthSq = dx * dx + dy * dy;
    if (lengthSq == 0) {
        footX = x1;
        footY = y1;
        position = 0;
        return;
    }
    // Products in 64 bits (a 32-bit difference squared needs up to 64), the division in doubles;
    // the position is clamped before it is made an integer.
    double dot = static_cast<double>((static_cast<std::int64_t>(px) - x1) * dx) +
                 static_cast<double>((static_cast<std::int64_t>(py) - y1) * dy);
    double t = dot / static_cast<double>(lengthSq) * 100000.0;
    if (t < 0.0) {
        footX = x1;
        footY = y1;
        position = 0;
        return;
    }
    if (t > 100000.0) {
        footX = x2;
        footY = y2;
        position = 100000;
        return;
    }
    std::int32_t tt = static_cast<std::int32_t>(t);
    footX = Add(x1, TruncInt32(static_cast<double>(tt * dx) * 1e-5));
    footY = Add(y1, TruncInt32(static_cast<double>(tt * dy) * 1e-5));
    position = tt;
}

bool IsInRect(std::int32_t px, std::int32_t py, std::int32_t xa, std::int32_t ya, std::int32_t xb,
              std::int32_t yb) {
    std::int32_t minX = xa < xb ? xa : xb, maxX = xa < xb ? xb : xa;
    std::int32_t minY = ya < yb ? ya : yb, maxY = ya < yb ? yb : ya;
    return minX <= px && px < maxX && minY <= py && py < maxY;
}

int QuadrantOfPoint(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                    std::int32_t px, std::int32_t py) {
    std::int64_t cx = static_cast<std::int64_t>(left) + width / 2;
    std::int64_t cy = static_cast<std::int64_t>(top) + height / 2;
    if (px < cx) return py < cy ? 3 : 1;
    return py < cy ? 4 : 2;
}

int ParseIntField(const char* text, int start, int length) {
    if (!text || start < 0 || length < 0) return 0;
    std::size_t total = std::strlen(text);
    if (static_cast<std::size_t>(start) + static_cast<std::size_t>(length) > total) return 0;
    std::size_t len =
        length == 0 ? total - static_cast<std::size_t>(start) : static_cast<std::size_t>(length);
    if (len > 15) return 0;
    return ReadInt(text + start, len);
}

double ParseDecimal(const char* text) {
    if (!text) return 0.0;
    const char* dot = std::strchr(text, '.');
    if (!dot) return static_cast<double>(ReadInt64(text, std::strlen(text)));
    std::size_t intLen = static_cast<std::size_t>(dot - text);
    const char* fraction = dot + 1;
    std::size_t fracLen = std::strlen(fraction);
    if (intLen >= 16 || fracLen >= 16) return 0.0;
    // Read the integer part without its sign: the sign applies to the whole value, so "-0.5" is
    // -0.5.
    std::size_t i = 0;
    while (i < intLen && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < intLen && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    double whole = static_cast<double>(ReadInt64(text + i, intLen - i));
    // Fraction digits as a 64-bit integer (at most 15 of them), over 10 to their count.
    std::int64_t digits = 0;
    std::int64_t scale = 1;
    for (std::size_t k = 0; k < fracLen && fraction[k] >= '0' && fraction[k] <= '9'; ++k) {
        digits = digits * 10 + (fraction[k] - '0');
        scale *= 10;
    }
    double value = whole + static_cast<double>(digits) / static_cast<double>(scale);
    return negative ? -value : value;
}

int CopyField(const char* text, char delimiter, char* out) {
    if (!text || !out || text[0] == 0) return 0;
    const char* end = std::strchr(text, delimiter);
    if (!end || delimiter == 0) return 0;
    if (end == text) {
        out[0] = '0';
        out[1] = 0;
        return 0;
    }
    std::size_t n = static_cast<std::size_t>(end - text);
    if (n > 15) n = 15;
    std::memcpy(out, text, n);
    out[n] = 0;
    return static_cast<int>(n);
}

int HexPairValue(const char* pair) {
    if (!pair) return 0;
    int high = IsHexDigit(pair[0]) ? HexDigit(pair[0]) : 0;
    if (pair[0] == 0 || !IsHexDigit(pair[1])) return 0;
    return high * 16 + HexDigit(pair[1]);
}

bool IsHangulSyllable(const unsigned char* bytes) {
    return bytes && bytes[0] >= 0xB0 && bytes[0] <= 0xC8 && bytes[1] >= 0xA0;
}

bool IsHangulJamo(const unsigned char* bytes) {
    return bytes && bytes[0] == 0xA4 && bytes[1] >= 0xA1 && bytes[1] <= 0xBE;
}

bool IsAsciiGraph(unsigned char byte) {
    return static_cast<signed char>(byte) >= 33;
}
