#include "position/MatchedPosSource.h"

#include "position/Geometry.h"
#include "position/LinkView.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr double kYScale = 0.30879;
constexpr double kDegToRad = 0.0174533;

bool InNetwork(std::int32_t x, std::int32_t y) {
    return x >= 45000000 && x < 47160000 && y >= 11910000 && y < 13890000;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CRoadLocator

CRoadLocator::CRoadLocator(CMRNetReader* reader) : m_reader(reader ? reader : CMRNetReader::GetInstance()) {
    Reset();
}

void CRoadLocator::Reset() {
    m_write = m_prev = 0;
    for (auto& f : m_fixes) f = GpsPosRecord();
    for (auto& r : m_results) r = MatchResult();
    m_results[0].status = 2;
    m_interval = 1;
    m_accumulator = 0;
}

bool CRoadLocator::OpenNetwork(const char16_t* dataFolder) {
    return m_reader && m_reader->Open(dataFolder);
}

void CRoadLocator::SetLastResult(const MatchResult& result) {
    m_results[m_prev] = result;
}

int CRoadLocator::GetFixQuality(const GpsPosRecord& fix) {
    const double h = fix.hdop;
    if ((h == 0.0 || h >= 45.0) && fix.status == 'V') return 0;
    const int v = (fix.status == 'V' ? 90 : 100) - geo::TruncInt32(h + 0.5) - (h == 0.0 ? 40 : 0);
    return v >= 76 ? v : 0;
}

int CRoadLocator::HdopThreshold(double hdop) {
    const int h = geo::TruncInt32(hdop + 0.5);
    if (h <= 2) return 3;
    if (h <= 4) return 7;
    if (h <= 7) return 10;
    if (h <= 10) return 15;
    return 20;
}

int CRoadLocator::Turn(int target, int current, int moved, int quality, int speed) {
    int diff = target - current;
    if (diff > 180) diff -= 360;
    if (diff < -180) diff += 360;
    int step = 5 * m_interval;
    if (quality > 95) {
        if (speed > 56)
            step = 170;
        else if (speed > 37)
            step = 20 * m_interval;
        if (moved >= 21) step = 170;
    }
    if (moved >= 51) step = 170;
    if (diff > 0)
        m_accumulator += step;
    else if (diff < 0)
        m_accumulator -= step;
    int past = target - (current + m_accumulator);
    while (past > 180) past -= 360;
    while (past < -180) past += 360;
    if ((past > 0 && diff < 0) || (past < 0 && diff > 0)) {
        m_accumulator = 0;
        return diff;
    }
    return m_accumulator;
}

int CRoadLocator::Match(GpsPosRecord fix, MatchResult& out, std::uint8_t* deadReckoned, GpsPosRecord* used) {
    m_text.Empty();
    m_fixes[m_write] = fix;
    if (m_write != m_prev) {
        int d = static_cast<int>(fix.second) - static_cast<int>(m_fixes[m_prev].second);
        if (d < 0) d += 60;
        m_interval = static_cast<std::uint8_t>(d == 1 || d == 2 ? d : 1);
        m_results[m_write] = m_results[m_prev];
    }
    MatchResult& r = m_results[m_write];
    const MatchResult prev = m_results[m_prev];
    const bool bad = ((fix.hdop < 0.0 || fix.hdop >= 45.0) && fix.status != 'A') || fix.satellitesUsed == 0 ||
                     (fix.hdop == 0.0 && fix.speed < 36);
    const bool outside = !bad && !InNetwork(fix.longitude, fix.latitude);
    const int q = GetFixQuality(fix);
    bool go = !outside && (!bad || prev.status == 3);
    int mapId = -1;
    if (go) {
        if (!m_reader || !m_reader->IsOpen() || !m_reader->Locate(fix.longitude, fix.latitude)) {
            go = false;
        } else {
            MRMapRecord map;
            mapId = m_reader->WindowMapId(4);
            if (m_reader->GetWindowRecord(4, map)) m_xScale = map.xScale * 0.00001;
        }
    }
    if (go && m_write == 0 && m_prev == 0) {
        r.slot = 4;
        r.mapId = static_cast<std::int16_t>(mapId);
        r.x = fix.longitude;
        r.y = fix.latitude;
        r.speedMps = static_cast<std::int16_t>(fix.speed / 36);
        r.heading = static_cast<std::int16_t>(fix.course);
        r.status = 2;
    } else if (go) {
        auto distance = [&](std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
            const double dx = std::fabs(static_cast<double>(x2) - x1) * m_xScale;
            const double dy = std::fabs(static_cast<double>(y2) - y1) * kYScale;
            return geo::TruncInt32(std::sqrt(dx * dx + dy * dy));
        };
        const int threshold = HdopThreshold(fix.hdop);
        bool formed = false;
        std::int32_t nx = prev.x, ny = prev.y;
        if (q >= 96 && fix.speed >= 19) {
            const double dist = fix.speed * (1.0 / 36.0) * m_interval;
            const double c = fix.course * kDegToRad;
            const std::int32_t px = prev.x + geo::TruncInt32(std::sin(c) * dist / m_xScale);
            const std::int32_t py = prev.y + geo::TruncInt32(std::cos(c) * dist / kYScale);
            nx = geo::TruncInt32((static_cast<double>(fix.longitude) + px + 1) * 0.5);
            ny = geo::TruncInt32((static_cast<double>(fix.latitude) + py + 1) * 0.5);
            formed = true;
        } else if (q >= 76) {
            if (distance(prev.x, prev.y, fix.longitude, fix.latitude) > threshold) {
                nx = fix.longitude;
                ny = fix.latitude;
                formed = true;
            }
        }
        if (formed) {
            const int moved = distance(prev.x, prev.y, nx, ny);
            int heading = prev.heading;
            if ((q > 95 && fix.speed > 18) || moved > threshold) {
                const int dx = geo::TruncInt32((nx - static_cast<double>(prev.x)) * 0.26666666666666666);
                const int dy = geo::TruncInt32((ny - static_cast<double>(prev.y)) * 0.3333333333333333);
                int bearing;
                if (dx != 0) {
                    const double a = std::atan(static_cast<double>(dy) / dx) / kDegToRad;
                    bearing = geo::TruncInt32(dx >= 1 ? 90 - a : 270 - a);
                } else {
                    bearing = dy > 0 ? 0 : (dy < 0 ? 180 : prev.heading);
                }
                if (bearing != prev.heading) {
                    heading = prev.heading + Turn(bearing, prev.heading, moved, q, fix.speed);
                    if (heading > 360) heading -= 360;
                    if (heading < 0) heading += 360;
                }
            }
            r.status = 2;
            r.x = nx;
            r.y = ny;
            r.slot = 4;
            r.mapId = static_cast<std::int16_t>(mapId);
            r.speedMps = static_cast<std::int16_t>(fix.speed / 36);
            r.heading = static_cast<std::int16_t>(heading);
        }
    }
    r.quality = q;
    r.speedKmh = static_cast<std::int32_t>(r.speedMps * 3.6);
    r.hasFix = 1;
    out = r;
    if (deadReckoned) *deadReckoned = fix.deadReckoned;
    if (used) *used = fix;
    m_prev = m_write;
    m_write = (m_write + 1) % kHistory;
    return out.status;
}

// ---------------------------------------------------------------------------------------------
// FindNearestLink

bool FindNearestLink(std::int32_t x, std::int32_t y, int heading, std::uint16_t& mapId,
                     std::int16_t& linkIndex, std::int16_t& segmentIndex, std::int32_t& position,
                     CMRNetReader& reader, int margin) {
    const int own = reader.FindMap(x, y);
    MRMapRecord ownRec;
    if (own < 0 || !reader.GetMapRecord(own, ownRec)) return false;
    const std::int64_t w = static_cast<std::int64_t>(ownRec.east) - ownRec.west;
    const std::int64_t h = static_cast<std::int64_t>(ownRec.north) - ownRec.south;
    const std::int64_t px = (static_cast<std::int64_t>(x) - ownRec.west) * 3;
    const std::int64_t py = (static_cast<std::int64_t>(y) - ownRec.south) * 3;
    const int col = px >= 2 * w ? 2 : (px >= w ? 1 : 0);
    const int row = py >= 2 * h ? 2 : (py >= h ? 1 : 0);
    static const int kMaps[9][4] = {{4, 0, 1, 3},   {4, 1, -1, -1},  {4, 1, 2, 5},
                                    {4, 3, -1, -1}, {4, -1, -1, -1}, {4, 5, -1, -1},
                                    {4, 3, 6, 7},   {4, 7, -1, -1},  {4, 5, 7, 8}};
    bool found = false;
    std::int64_t best = 0;
    for (int n : kMaps[row * 3 + col]) {
        if (n < 0 || ownRec.neighbours[n] == mrformat::kNoMap) continue;
        const int id = ownRec.neighbours[n];
        MRMapRecord map;
        if (!reader.GetMapRecord(id, map) || map.linkCount == 0) continue;
        std::vector<std::uint8_t> links(static_cast<std::size_t>(map.linkCount) * mrformat::kLinkSize);
        if (!reader.ReadLinks(map.linkOffset, map.linkCount, links.data(), links.size())) continue;
        for (int li = 0; li < map.linkCount; ++li) {
            const std::uint8_t* rec = links.data() + static_cast<std::size_t>(li) * mrformat::kLinkSize;
            if (x < map.west + mrformat::U16(rec + 14) - margin ||
                x > map.west + mrformat::U16(rec + 18) + margin ||
                y < map.south + mrformat::U16(rec + 16) - margin ||
                y > map.south + mrformat::U16(rec + 20) + margin)
                continue;
            const std::uint16_t attr = mrformat::U16(rec + 10);
            const int code = attr & 3;
            const int a = (attr >> 5) & 7, t = (attr >> 2) & 7;
            const bool filtered =
                code != 0 && (((attr >> 12) & 15) > 1 || a == 1 || a == 2 || (t >= 2 && t <= 5));
            LinkView v;
            if (!LoadLinkView(reader, id, li, v)) continue;
            for (int k = 0; k < v.SegmentCount(); ++k) {
                const LinkPoint p = v.pts[k], q = v.pts[k + 1];
                if (heading != 1000) {
                    int diff = CalcBearing(p.x, p.y, q.x, q.y) - heading;
                    while (diff > 180) diff -= 360;
                    while (diff < -180) diff += 360;
                    bool against = false;
                    if (diff >= 91) {
                        diff -= 180;
                        against = true;
                    } else if (diff < -90) {
                        diff += 180;
                        against = true;
                    }
                    if (std::abs(diff) >= 61) continue;
                    if (filtered && ((code == 1 && against) || (code == 2 && !against))) continue;
                }
                std::int32_t fx, fy, pos;
                ProjectOnSegment(map.west + p.x, map.south + p.y, map.west + q.x, map.south + q.y, x, y, fx,
                                 fy, pos);
                const std::int64_t d = CalcDistance(x, y, fx, fy);
                if (!found || d < best) {
                    found = true;
                    best = d;
                    mapId = static_cast<std::uint16_t>(id);
                    linkIndex = static_cast<std::int16_t>(li);
                    segmentIndex = static_cast<std::int16_t>(k);
                    position = pos;
                }
            }
        }
    }
    return found;
}

bool FindNearestLink(std::int32_t x, std::int32_t y, std::uint16_t& mapId, std::int16_t& linkIndex,
                     CMRNetReader& reader, int margin) {
    std::int16_t s;
    std::int32_t p;
    return FindNearestLink(x, y, 1000, mapId, linkIndex, s, p, reader, margin);
}

bool FindNearestLink(std::int32_t x, std::int32_t y, int heading, std::uint16_t& mapId,
                     std::int16_t& linkIndex, CMRNetReader& reader, int margin) {
    std::int16_t s;
    std::int32_t p;
    return FindNearestLink(x, y, heading, mapId, linkIndex, s, p, reader, margin);
}

bool FindNearestLink(std::int32_t x, std::int32_t y, std::uint16_t& mapId, std::int16_t& linkIndex,
                     std::int16_t& segmentIndex, std::int32_t& position, CMRNetReader& reader, int margin) {
    return FindNearestLink(x, y, 1000, mapId, linkIndex, segmentIndex, position, reader, margin);
}
