#include "position/GpsLogSynth.h"

#include "platform/base/Clock.h"
#include "position/Geometry.h"
#include "position/ZarnReceiver.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>

namespace {

constexpr double kMetresX = 0.27654;
constexpr double kMetresY = 0.30879;

// A fixed sky: PRN, elevation, azimuth, signal; the first seven are used in the fix.
struct Satellite {
    int prn, elevation, azimuth, snr;
};
constexpr Satellite kSky[] = {{2, 65, 40, 45},   {5, 48, 118, 43}, {7, 33, 201, 40},  {9, 71, 289, 46},
                              {13, 25, 330, 37}, {16, 52, 77, 44}, {21, 18, 160, 35}, {26, 8, 250, 28}};
constexpr int kSkyCount = 8;
constexpr int kUsedCount = 7;

// Position of the WGS84 point (milli-arc-seconds) whose shift lands on the Bessel target.
void TargetToWgs(double x, double y, double altitude, bool noShift, std::int32_t& lonMas,
                 std::int32_t& latMas, double& height) {
    lonMas = static_cast<std::int32_t>(std::llround(x * 10.0));
    latMas = static_cast<std::int32_t>(std::llround(y * 10.0));
    height = altitude;
    if (!noShift) BesselToWgs84(lonMas, latMas, height);
}

std::string DegreesMinutes(std::int32_t mas, int degreeDigits) {
    if (mas < 0) mas = -mas;
    int degrees = mas / 3600000;
    // Half a unit on top, so that the decoder's truncation lands on the intended milli-second.
    double minutes = ((mas % 3600000) + 0.5) / 60000.0;
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%010.7f", degreeDigits, degrees, minutes);
    return text;
}

void PutU16(std::vector<std::uint8_t>& p, unsigned v) {
    p.push_back(static_cast<std::uint8_t>(v & 0xFF));
    p.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void PutU32(std::vector<std::uint8_t>& p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

} // namespace

std::string NmeaWrap(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum & 0xFF);
    return "$" + body + tail;
}

CGpsLogSynth::CGpsLogSynth(GpsSynthOptions options) : m_options(std::move(options)) {}

void CGpsLogSynth::PlanEpochs() {
    m_epochs.clear();
    const auto& pts = m_options.points;
    if (pts.empty() || !(m_options.speedKmh > 0.0)) return;
    std::vector<double> along(pts.size(), 0.0);
    for (std::size_t i = 1; i < pts.size(); ++i) {
        double dx = (pts[i].first - pts[i - 1].first) * kMetresX;
        double dy = (pts[i].second - pts[i - 1].second) * kMetresY;
        along[i] = along[i - 1] + std::sqrt(dx * dx + dy * dy);
    }
    const double total = along.back();
    const double step = m_options.speedKmh / 3.6;
    const long count = static_cast<long>(std::floor(total / step + 1e-9)) + 1;
    const int speed = static_cast<int>(std::floor(m_options.speedKmh * 10.0 + 1e-9));
    std::size_t seg = 0;
    for (long k = 0; k < count; ++k) {
        GpsSynthEpoch e;
        e.distance = k * step;
        while (seg + 2 < pts.size() && along[seg + 1] <= e.distance) ++seg;
        if (pts.size() == 1) {
            e.x = pts[0].first;
            e.y = pts[0].second;
        } else {
            double length = along[seg + 1] - along[seg];
            double t = length > 0.0 ? (e.distance - along[seg]) / length : 0.0;
            if (t > 1.0) t = 1.0;
            e.x = pts[seg].first + t * (pts[seg + 1].first - pts[seg].first);
            e.y = pts[seg].second + t * (pts[seg + 1].second - pts[seg].second);
            double dx = (pts[seg + 1].first - pts[seg].first) * kMetresX;
            double dy = (pts[seg + 1].second - pts[seg].second) * kMetresY;
            double course = std::atan2(dx, dy) * 180.0 / std::numbers::pi;
            if (course < 0.0) course += 360.0;
            e.course = static_cast<int>(course) % 360;
        }
        e.speed = speed;
        e.utcMs = m_options.startUtcMs + k * 1000;
        for (const auto& o : m_options.outages)
            if (e.distance >= o.first && e.distance < o.second) e.outage = true;
        m_epochs.push_back(e);
    }
}

std::string CGpsLogSynth::Generate() {
    PlanEpochs();
    m_epochEnds.clear();
    std::string log;
    std::mt19937 random(m_options.seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    for (const GpsSynthEpoch& e : m_epochs) {
        double x = e.x, y = e.y;
        if (m_options.noiseMetres > 0.0) {
            x += noise(random) * m_options.noiseMetres / kMetresX;
            y += noise(random) * m_options.noiseMetres / kMetresY;
        }
        log += m_options.unit ? UnitEpoch(e, x, y) : NmeaEpoch(e, x, y);
        m_epochEnds.push_back(log.size());
    }
    return log;
}

std::string CGpsLogSynth::NmeaEpoch(const GpsSynthEpoch& e, double x, double y) {
    SYSTEMTIME t = SystemTimeFromMilliseconds(e.utcMs);
    char time[32], date[32];
    std::snprintf(time, sizeof time, "%02u%02u%02u.00", t.wHour, t.wMinute, t.wSecond);
    std::snprintf(date, sizeof date, "%02u%02u%02u", t.wDay, t.wMonth, t.wYear % 100);
    char body[160];
    std::string out;
    if (e.outage) {
        std::snprintf(body, sizeof body, "GPGGA,%s,,,,,0,00,,,M,,M,,", time);
        out += NmeaWrap(body);
        std::snprintf(body, sizeof body, "GPRMC,%s,V,,,,,,,%s,,,N", time, date);
        out += NmeaWrap(body);
        out += NmeaWrap("GPGSA,A,1,,,,,,,,,,,,,,,");
        out += NmeaWrap("GPGSV,1,1,00");
        return out;
    }
    std::int32_t lonMas, latMas;
    double height;
    TargetToWgs(x, y, m_options.altitudeMetres, m_options.noDatumShift, lonMas, latMas, height);
    std::string lat = DegreesMinutes(latMas, 2);
    std::string lon = DegreesMinutes(lonMas, 3);
    std::snprintf(body, sizeof body, "GPGGA,%s,%s,N,%s,E,1,%02d,1.1,%.1f,M,18.5,M,,", time, lat.c_str(),
                  lon.c_str(), kUsedCount, height);
    out += NmeaWrap(body);
    // Half a unit of 0.1 km/h on top, so that truncation gives back the intended speed.
    double knots = (e.speed + 0.5) / 18.52;
    double course = e.course + 0.5;
    std::snprintf(body, sizeof body, "GPRMC,%s,A,%s,N,%s,E,%.5f,%.2f,%s,,,A", time, lat.c_str(), lon.c_str(),
                  knots, course, date);
    out += NmeaWrap(body);
    std::string gsa = "GPGSA,A,3";
    for (int i = 0; i < 12; ++i) {
        char prn[8] = "";
        if (i < kUsedCount) std::snprintf(prn, sizeof prn, "%02d", kSky[i].prn);
        gsa += ",";
        gsa += prn;
    }
    gsa += ",1.9,1.1,1.5";
    out += NmeaWrap(gsa);
    const int messages = (kSkyCount + 3) / 4;
    // The signal levels wander a little from second to second.
    int wobble = static_cast<int>((e.utcMs / 1000) % 3);
    for (int m = 0; m < messages; ++m) {
        std::snprintf(body, sizeof body, "GPGSV,%d,%d,%02d", messages, m + 1, kSkyCount);
        std::string gsv = body;
        for (int k = 0; k < 4 && m * 4 + k < kSkyCount; ++k) {
            const Satellite& s = kSky[m * 4 + k];
            std::snprintf(body, sizeof body, ",%02d,%02d,%03d,%02d", s.prn, s.elevation, s.azimuth,
                          s.snr - wobble);
            gsv += body;
        }
        out += NmeaWrap(gsv);
    }
    return out;
}

std::string CGpsLogSynth::UnitEpoch(const GpsSynthEpoch& e, double x, double y) {
    SYSTEMTIME t = SystemTimeFromMilliseconds(e.utcMs);
    std::uint32_t lon = 0, lat = 0;
    double height = m_options.altitudeMetres;
    int used = 0;
    if (!e.outage) {
        used = kUsedCount;
        std::int32_t lonMas, latMas;
        TargetToWgs(x, y, m_options.altitudeMetres, m_options.noDatumShift, lonMas, latMas, height);
        // The frame carries 1/100 arc-second: choose the value whose shifted decode lands on the
        // intended network unit.
        auto pick = [&](std::int32_t wgsMas, bool isLon) {
            std::int32_t target = static_cast<std::int32_t>(std::floor(isLon ? x : y));
            std::int32_t best = wgsMas / 10;
            for (std::int32_t candidate = wgsMas / 10 - 2; candidate <= wgsMas / 10 + 2; ++candidate) {
                std::int32_t a = isLon ? candidate * 10 : lonMas;
                std::int32_t b = isLon ? latMas : candidate * 10;
                double h = height;
                if (!m_options.noDatumShift) Wgs84ToBessel(a, b, h);
                if ((isLon ? a : b) / 10 == target) {
                    best = candidate;
                    break;
                }
            }
            return static_cast<std::uint32_t>(best);
        };
        lon = pick(lonMas, true);
        lat = pick(latMas, false);
    }
    std::vector<std::uint8_t> p;
    p.push_back(static_cast<std::uint8_t>(used & 0x1F));
    p.push_back(static_cast<std::uint8_t>(t.wDay));
    p.push_back(static_cast<std::uint8_t>(t.wMonth));
    p.push_back(static_cast<std::uint8_t>(t.wYear % 100));
    p.push_back(static_cast<std::uint8_t>(t.wHour));
    p.push_back(static_cast<std::uint8_t>(t.wMinute));
    p.push_back(static_cast<std::uint8_t>(t.wSecond));
    PutU16(p, e.outage ? 0 : static_cast<unsigned>(e.course));
    // Raw speed is 0.1 km/h; the decoder's factor truncates some values one low, so step up.
    unsigned raw = e.outage ? 0 : static_cast<unsigned>(e.speed);
    if (raw > 0 && static_cast<int>(raw * 0.05399568034557235 * 18.52) < e.speed) ++raw;
    PutU16(p, raw);
    PutU32(p, lon);
    PutU32(p, lat);
    double dm = std::round(height * 10.0);
    PutU16(p, dm < 0 ? 0 : dm > 65535 ? 65535 : static_cast<unsigned>(dm));
    PutU16(p, e.outage ? 0 : 11); // HDOP 1.1
    std::vector<std::uint8_t> frame = zarn::EncodeFrame(zarn::kPositionFrame, p.data(), p.size());

    std::vector<std::uint8_t> s;
    int count = e.outage ? 0 : kSkyCount;
    s.push_back(static_cast<std::uint8_t>(count));
    int wobble = static_cast<int>((e.utcMs / 1000) % 3);
    for (int i = 0; i < count; ++i) {
        s.push_back(static_cast<std::uint8_t>(kSky[i].prn));
        s.push_back(i < kUsedCount ? 1 : 0);
        s.push_back(static_cast<std::uint8_t>(kSky[i].elevation));
        PutU16(s, static_cast<unsigned>(kSky[i].azimuth));
        s.push_back(static_cast<std::uint8_t>(kSky[i].snr - wobble));
    }
    std::vector<std::uint8_t> sats = zarn::EncodeFrame(zarn::kSatelliteFrame, s.data(), s.size());

    std::string out(frame.begin(), frame.end());
    out.append(sats.begin(), sats.end());
    // Filler in place of traffic-broadcast bytes, enough for the decoder to take both frames now.
    out.append(zarn::kFrameWindow, static_cast<char>(0xFF));
    return out;
}
