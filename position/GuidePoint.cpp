#include "position/GuidePoint.h"

#include "position/Geometry.h"
#include "position/MatchedPosSource.h"
#include "position/MRNetReader.h"
#include "route/MRFormat.h"
#include "route/RoutePath.h"
#include "route/base/BinFile.h"
#include "route/base/Coords.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kTolerance = 50;
constexpr std::int32_t kHalfX[13] = {4090, 409, 816, 1227, 1636, 2045, 2454, 2863, 3272, 3681, 4090, 4500, 4909};
constexpr std::int32_t kHalfY[13] = {3333, 333, 666, 999, 1333, 1666, 2000, 2333, 2666, 3000, 3333, 3666, 4000};
constexpr long kMaxFile = 256L << 20;

int Metres(std::int32_t dx, std::int32_t dy) {
    const double mx = 0.27654 * dx, my = 0.30879 * dy;
    return static_cast<int>(std::sqrt(my * my + mx * mx));
}

} // namespace

CGuidePoint::CGuidePoint(CMRNetReader* reader) : m_reader(reader) {}

bool CGuidePoint::HeadingsMatch(int a, int b, int tolerance) {
    int d = a > 0 ? 360 - a + b : b;
    if (d >= 360) d -= 360;
    return d < tolerance || d > 360 - tolerance;
}

int CGuidePoint::DistanceClip(int d, bool expressway) {
    if (expressway) {
        if (d < 1) return 20;
        if (d <= 280) return 34;
        if (d < 481) return 16;
        if (d < 781) return 18;
        if (d <= 950) return 20;
        return 23;
    }
    if (d < 1) return 20;
    if (d <= 180) return 34;
    if (d < 481) return 16;
    if (d <= 780) return 18;
    return 20;
}

bool CGuidePoint::Load(const std::u16string& folder) {
    m_cells.clear();
    m_points.clear();
    m_loaded = false;
    CBinFile file;
    if (file.Open((folder + u"\\POINT\\newGuidePoint.MDC").c_str(), CBinFile::kModeRead) != 0) return false;
    const long size = file.GetSize();
    constexpr long kTableEnd = kTableOffset + kCells * 4L;
    if (size < kTableEnd || size > kMaxFile) return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (file.Read(bytes.data(), static_cast<int>(size)) != size) return false;
    if (mrformat::U32(&bytes[6]) != static_cast<std::uint32_t>(size)) return false;
    std::vector<std::uint32_t> offsets(kCells);
    for (int c = 0; c < kCells; ++c) offsets[c] = mrformat::U32(&bytes[kTableOffset + c * 4u]);
    m_cells.assign(kCells, Cell{});
    for (int c = 0; c < kCells; ++c) {
        const std::uint32_t start = offsets[c];
        if (start == 0) continue;
        // An offset inside the table or past the file gives an empty cell.
        if (start < kTableEnd || start >= static_cast<std::uint32_t>(size)) continue;
        std::uint32_t end = static_cast<std::uint32_t>(size);
        for (int n = c + 1; n < kCells; ++n)
            if (offsets[n] != 0) {
                end = offsets[n];
                break;
            }
        if (end < start || end > static_cast<std::uint32_t>(size)) continue;
        Cell& cell = m_cells[c];
        cell.offset = start;
        cell.first = static_cast<std::uint32_t>(m_points.size());
        cell.count = (end - start) / kRecordSize;
        const int column = c / kRows, row = c % kRows;
        for (std::uint32_t k = 0; k < cell.count; ++k) {
            const std::uint8_t* r = &bytes[start + k * kRecordSize];
            Point p;
            p.directionMode = r[0] == 0 ? 1 : 2;
            p.type = r[1];
            p.speedLimit = r[2];
            p.heading = (mrformat::U16(r + 3) + 180) % 360;
            const int dx = static_cast<int>(mrformat::U16(r + 5) * 0.8333333333333334);
            const int dy = mrformat::U16(r + 7);
            p.value = mrformat::U16(r + 9);
            PointFileToNetCoord(column * 10000 + dx, row * 10000 + dy, p.x, p.y);
            m_points.push_back(p);
        }
    }
    m_loaded = true;
    return true;
}

void CGuidePoint::SetContext(int roadClass, bool restart, int carItem) {
    m_roadClass = roadClass;
    m_restart = restart;
    m_carItem = carItem;
}

bool CGuidePoint::OnCarRoad(Point& p, const MatchResult& pos, CRoutePath* route) {
    if (pos.status == 2) return true;
    CMRNetReader* reader = m_reader ? m_reader : CMRNetReader::GetInstance();
    if (!reader) return false;
    auto scaled = [](std::int32_t v, int f) { return v / 100 * f; };
    const bool moved = !m_reachValid || m_reachMap != pos.mapId || m_reachLink != pos.linkIndex ||
                       CalcDistance(scaled(pos.x, 27), scaled(pos.y, 31), scaled(m_reachX, 27),
                                    scaled(m_reachY, 31)) >= 501;
    if (moved) {
        m_reach.SetLimits(80, 30, 1500);
        m_reach.Expand(pos.mapId, pos.linkIndex, pos.reverse ? 0 : 1, pos.segmentIndex, pos.segmentPosition,
                       pos.heading, *reader);
        m_reachValid = true;
        m_reachMap = pos.mapId;
        m_reachLink = pos.linkIndex;
        m_reachX = pos.x;
        m_reachY = pos.y;
    }
    if (p.mapId < 0) {
        std::uint16_t map = 0;
        std::int16_t link = -1;
        if (!FindNearestLink(p.x, p.y, p.heading, map, link, *reader, 200)) return false;
        p.mapId = map;
        p.linkIndex = link;
    }
    if (m_reach.Contains(p.mapId, p.linkIndex)) return true;
    if (route && !m_restart)
        return (p.mapId == pos.mapId && p.linkIndex == pos.linkIndex) ||
               route->IsAheadWithin(m_carItem, p.mapId, p.linkIndex) == 1;
    return false;
}

bool CGuidePoint::Check(const MatchResult& pos, CSafePointList* userPoints, CRoutePath* route) {
    const bool expressway = m_roadClass == 1 || m_roadClass == 2;
    const int lookAhead = expressway ? 1200 : 780;
    const int step = expressway ? 12 : 8;
    const std::int32_t hx = kHalfX[step], hy = kHalfY[step];
    std::int32_t px = 0, py = 0;
    NetToPointFileCoord(pos.x, pos.y, px, py);
    const int column = px / 10000, row = py / 10000;
    const int qx = px % 10000, qy = py % 10000;
    const int quarter = qx < 5000 ? (qy < 5000 ? 3 : 2) : (qy < 5000 ? 4 : 1);
    m_result = GuidePointNotice{};
    bool found = false;
    auto passes = [&](std::int32_t x, std::int32_t y, int heading, int& d) {
        const std::int32_t dx = x - pos.x, dy = y - pos.y;
        if (!(std::llabs(dx) < hx && std::llabs(dy) < hy)) return false;
        d = Metres(dx, dy);
        if (d >= lookAhead) return false;
        if (!HeadingsMatch(pos.heading, heading, kTolerance)) return false;
        return HeadingsMatch(pos.heading, CalcBearing(pos.x, pos.y, x, y), kTolerance);
    };
    if (m_loaded && px >= 0 && py >= 0 && column < kColumns && row < kRows) {
        static constexpr int kNeighbours[5][3] = {{0, 0, 0}, {1, 67, 66}, {-65, 1, -66}, {-66, -67, -1}, {66, -1, 65}};
        const int own = column * kRows + row;
        const int cells[4] = {own, own + kNeighbours[quarter][0], own + kNeighbours[quarter][1],
                              own + kNeighbours[quarter][2]};
        for (int c : cells) {
            if (c < 0 || c >= kCells) continue;
            const Cell& cell = m_cells[c];
            for (std::uint32_t k = 0; k < cell.count; ++k) {
                Point& p = m_points[cell.first + k];
                if (!p.enabled) continue;
                int d = 0;
                if (passes(p.x, p.y, p.heading, d) && OnCarRoad(p, pos, route) && (!found || d < m_result.distance)) {
                    found = true;
                    m_result.x = p.x;
                    m_result.y = p.y;
                    m_result.directionMode = p.directionMode;
                    m_result.heading = p.heading;
                    m_result.type = p.type;
                    m_result.speedLimit = p.speedLimit;
                    m_result.distance = d;
                    m_result.index = static_cast<int>(cell.first + k);
                    m_result.value = p.value;
                } else {
                    std::fill(std::begin(p.state), std::end(p.state), 0);
                }
            }
        }
    }
    if (userPoints && userPoints->Refresh(pos.x, pos.y)) {
        for (int i = 0; i < userPoints->Count(); ++i) {
            SafePointEntry* r = userPoints->At(i);
            if (!r) continue;
            int d = 0;
            if (r->enabled && passes(r->x, r->y, r->heading, d) && (!found || d < m_result.distance)) {
                found = true;
                m_result = GuidePointNotice{};
                m_result.x = r->x;
                m_result.y = r->y;
                m_result.directionMode = 0;
                m_result.heading = r->heading;
                m_result.type = r->type;
                m_result.speedLimit = 0;
                m_result.distance = d;
                m_result.index = i;
            } else {
                r->level = 0;
                r->distanceClip = 0;
            }
        }
    }
    if (!found) return false;
    SetLevel(pos.speedKmh);
    return true;
}

void CGuidePoint::SetLevel(int speed) {
    const bool expressway = m_roadClass == 1 || m_roadClass == 2;
    int clip = DistanceClip(m_result.distance, expressway);
    switch (clip) {
    case 16:
        m_result.level = 2;
        break;
    case 18:
        m_result.level = 1;
        break;
    case 34:
        m_result.level = 3;
        break;
    case 20:
        m_result.level = 0;
        clip = 0;
        break;
    default:
        m_result.level = 0;
        break;
    }
    const int mode = m_result.directionMode;
    const bool on = mode >= 0 && mode <= 2 && m_switches.mode[mode];
    const bool speedOk = !m_switches.speedCheck || speed >= m_switches.minimumSpeed ||
                         (m_result.speedLimit != 0 && m_result.speedLimit < speed);
    m_result.distanceClip = on && speedOk ? clip : 0;
}

void CGuidePoint::SetDisabledPoints(const std::vector<SafePointEntry>& deleted) {
    if (!m_loaded) return;
    for (Point& p : m_points) {
        p.enabled = 1;
        for (const SafePointEntry& d : deleted)
            if (std::llabs(static_cast<long long>(p.x) - d.x) < 12 && std::llabs(static_cast<long long>(p.y) - d.y) < 12 &&
                HeadingsMatch(p.heading, d.heading, 15)) {
                p.enabled = 0;
                break;
            }
    }
}
