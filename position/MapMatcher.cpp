#include "position/MapMatcher.h"

#include "position/Geometry.h"
#include "position/LinkReach.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

int CMapMatcher::s_carried = 0;
bool CMapMatcher::s_passing = false;
int CMapMatcher::s_drSpeed = 100;

namespace {

constexpr double kYScale = 0.30879;
constexpr double kDegToRad = 0.0174533;
// A walk along plain joints ends after this many links, so a ring of joints cannot hang it.
constexpr int kMaxJointSteps = 512;

int FieldA(std::uint16_t w) {
    return (w >> 5) & 7;
}
int FieldB(std::uint16_t w) {
    return (w >> 8) & 7;
}
int RoadClass(std::uint16_t w) {
    return (w >> 12) & 15;
}

bool InServiceArea(std::int32_t x, std::int32_t y) {
    return IsInRect(x, y, geo::kNetMinX, geo::kNetMinY, geo::kNetEndX, geo::kNetEndY);
}

int SegmentBearing(const LinkPoint& a, const LinkPoint& b) {
    return CalcBearing(a.x, a.y, b.x, b.y);
}

// The window slot of the map on a side (0 north, 1 east, 2 south, 3 west) of a slot; -1 none.
int SlotBeside(int slot, int side) {
    static const int kTable[9][4] = {{3, 1, -1, -1}, {4, 2, -1, 0}, {5, -1, -1, 1},
                                     {6, 4, 0, -1},  {7, 5, 1, 3},  {8, -1, 2, 4},
                                     {-1, 7, 3, -1}, {-1, 8, 4, 6}, {-1, -1, 5, 7}};
    if (slot < 0 || slot > 8 || side < 0 || side > 3) return -1;
    return kTable[slot][side];
}

} // namespace

struct CMapMatcher::Candidate {
    bool valid = false;
    bool stopped = false;
    int headingDiff = 0;
    int d = -1;
    int junctionEntry = 0;
    int linkIndex = -1;
    bool reverse = false;
};

CMapMatcher::CMapMatcher(CMRNetReader* reader) : m_reader(reader ? reader : CMRNetReader::GetInstance()) {
    Reset();
    m_rematch = false;
    m_route = nullptr;
}

void CMapMatcher::Reset() {
    for (auto& f : m_fixes) f = GpsPosRecord();
    for (auto& r : m_results) r = MatchResult();
    m_write = m_prev = 0;
    m_offsetX = m_offsetY = 0;
    m_ahead = JunctionLookahead();
    m_behind = JunctionLookahead();
    m_coasting = 0;
    m_missCount = 0;
    m_route = nullptr;
    m_lastX = m_lastY = -1;
    m_interval = 1;
    m_results[0].status = 2;
    m_motionClass = 0;
    m_keepPrevious = false;
    m_jump = false;
    // The program-wide values start over too, so nothing of an earlier drive leaks into this one.
    s_carried = 0;
    s_passing = false;
    s_drSpeed = 100;
}

bool CMapMatcher::OpenNetwork(const char16_t* dataFolder) {
    return m_reader && m_reader->Open(dataFolder);
}

int CMapMatcher::Metric(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) const {
    const double dx = std::fabs(static_cast<double>(x2) - x1) * m_xScale;
    const double dy = std::fabs(static_cast<double>(y2) - y1) * kYScale;
    return geo::TruncInt32(std::sqrt(dx * dx + dy * dy));
}

int CMapMatcher::CentreMapId() const {
    return m_reader ? m_reader->WindowMapId(4) : -1;
}

int CMapMatcher::CheckFix(const GpsPosRecord& f) {
    if (!InServiceArea(f.longitude, f.latitude)) return -1;
    if (!(f.hdop >= 0.0) || f.hdop >= 45.0 || f.satellitesUsed == 0 || (f.hdop == 0.0 && f.speed < 36))
        return -2;
    return 0;
}

bool CMapMatcher::IsTurnAllowed(std::uint16_t w, bool along) {
    const int code = w & 3;
    if (code == 0) return true;
    const int a = FieldA(w), t = (w >> 2) & 7;
    const bool enforced = (w & 0xF000) > 0x1000 || a == 1 || a == 2 || (t >= 2 && t <= 5);
    if (!enforced) return true;
    if (code == 1) return along;
    if (code == 2) return !along;
    return true;
}

int CMapMatcher::GetFixQuality(const GpsPosRecord& f) const {
    if ((f.hdop == 0.0 && f.speed < 36) || f.hdop >= 45.0) return 0;
    int q = (f.status == 'V' ? 90 : 100) - 10 * m_motionClass - geo::TruncInt32(f.hdop + 0.5);
    if (f.hdop == 0.0) q -= 40;
    return std::clamp(q, 0, 100);
}

int CMapMatcher::HeadingToleranceFor(int speed, int motionClass) {
    int t = speed < 36 ? 180 : speed < 130 ? 42 : speed < 400 ? 31 : 23;
    if (motionClass == 1 || motionClass == 2) t += 11;
    return t;
}

int CMapMatcher::DistanceLimitFor(double hdop, int motionClass) {
    int limit = hdop == 0.0 ? 102 : std::clamp(geo::TruncInt32(hdop * 34.0), 68, 102);
    if (motionClass == 3) limit += 10;
    return limit;
}

void CMapMatcher::WorkOutMotionClass(GpsPosRecord& f) {
    if (FirstFix()) {
        m_motionClass = 0;
        return;
    }
    const GpsPosRecord& p = PrevFix();
    const int v = Metric(p.longitude, p.latitude, f.longitude, f.latitude) / m_interval;
    const int b = CalcBearing(p.longitude, p.latitude, f.longitude, f.latitude);
    if (v == 0) {
        f.speed = 0;
        m_motionClass = 0;
        return;
    }
    const int s = (f.speed + 5) / 36;
    const int dv = std::abs(v - s);
    const int turn =
        std::abs(HeadingDifference(static_cast<std::int16_t>(b), static_cast<std::int16_t>(f.course)));
    int tv = 2, t1 = 9, t2 = 18;
    if (f.speed >= 150) {
        tv = 4;
        t1 = 12;
        t2 = 25;
    }
    if (p.deadReckoned) tv = 8;
    m_motionClass = 0;
    if (CheckFix(p) != 0) return;
    if (std::abs(
            HeadingDifference(static_cast<std::int16_t>(p.course), static_cast<std::int16_t>(f.course))) > 99)
        m_motionClass = 4;
    else if (dv > tv)
        m_motionClass = 3;
    else if (turn > t1)
        m_motionClass = turn <= t2 ? 1 : 2;
}

bool CMapMatcher::JumpTest(const GpsPosRecord& f) {
    const MatchResult& p = Prev();
    if (CheckFix(f) == 0 && Metric(p.x, p.y, f.longitude, f.latitude) >= 100 && f.hdop < 5.0 &&
        f.status == 'A' && f.satellitesUsed >= 4) {
        m_jump = true;
        return true;
    }
    return false;
}

bool CMapMatcher::OnRoute(int mapId, int linkIndex, bool reverse) const {
    return m_route && m_route->IsValid() && m_route->HasLink(mapId, linkIndex, reverse ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// Match

int CMapMatcher::Match(GpsPosRecord fix, MatchResult& out, std::uint8_t* deadReckoned, GpsPosRecord* used) {
    m_jump = false;
    const bool first = FirstFix();
    if (!first) {
        int dt = static_cast<int>(fix.second) - static_cast<int>(PrevFix().second);
        if (dt < 0) dt += 60;
        m_interval = (dt == 1 || dt == 2) ? dt : 1;
    }
    m_fixes[m_write] = fix;
    GpsPosRecord& f = m_fixes[m_write];
    MatchResult w;
    const MatchResult prev = Prev();

    bool searched = false;
    bool alternative = false;
    if (m_rematch) {
        m_rematch = false;
        if (AlternativeSearch(f, w)) alternative = true;
    }
    int code = CheckFix(f);
    w.checkCode = code;
    int effective = code;
    if (!alternative) {
        if (code < 0 && CanDeadReckon()) {
            MakeDeadReckonedFix(f);
            w.status = 1;
            effective = 0;
        }
        if (effective == 0 && m_reader && m_reader->IsOpen() && m_reader->Locate(f.longitude, f.latitude)) {
            MRMapRecord centre;
            if (m_reader->GetWindowRecord(4, centre)) m_xScale = centre.xScale * 0.00001;
            WorkOutMotionClass(f);
            m_distanceLimit = DistanceLimitFor(f.hdop, m_motionClass);
            m_tolerance = HeadingToleranceFor(f.speed, m_motionClass);
            LinkSearch(f, w);
            searched = true;
        } else if (effective == 0) {
            w.status = 0; // no map for the fix: nothing was searched
        }
    } else {
        searched = true;
        w.checkCode = 0;
    }

    if (searched && w.status == 1) {
        SetLinkPosition(w);
        if (m_lastX == -1 && m_lastY == -1) {
            w.moved = 0;
        } else {
            const int d = Metric(m_lastX, m_lastY, w.x, w.y);
            if (m_missCount == 0)
                w.moved = d;
            else
                w.moved = d < w.speedMps * m_missCount * 2 ? d : 0;
        }
        m_missCount = 0;
        m_lastX = w.x;
        m_lastY = w.y;
        UpdateLookahead(w);
    } else if (searched && w.status == 2) {
        bool done = false;
        if (prev.status == 1) {
            if (GetFixQuality(f) < 95 && CanDeadReckon()) {
                w = prev;
                w.moved = 0;
                done = true;
            } else {
                m_offsetX = prev.x - PrevFix().longitude;
                m_offsetY = prev.y - PrevFix().latitude;
            }
        } else if (InServiceArea(f.longitude, f.latitude)) {
            if (!first && Metric(f.longitude, f.latitude, prev.x, prev.y) < 200) {
                m_offsetX = m_offsetX * 40 / 50;
                m_offsetY = m_offsetY * 40 / 50;
            }
        } else {
            if (first) {
                w = MatchResult();
                w.status = 3;
            } else {
                w = prev;
                w.moved = 0;
            }
            w.checkCode = code;
            done = true;
        }
        if (!done) {
            if (!first && f.speed < 36 && (prev.status == 1 || prev.status == 2) && !m_jump) {
                w = prev;
                w.moved = 0;
                w.checkCode = code;
            } else {
                const int heading = m_jump ? 0 : (m_motionClass == 4 ? prev.heading : f.course);
                w = MatchResult();
                w.reverse = 0xFF;
                w.slot = 4;
                w.mapId = static_cast<std::int16_t>(CentreMapId());
                w.linkIndex = -1;
                w.status = 2;
                w.heading = static_cast<std::int16_t>(heading);
                if (m_jump) m_offsetX = m_offsetY = 0;
                w.x = f.longitude + m_offsetX;
                w.y = f.latitude + m_offsetY;
                // Below 3.6 km/h the car counts as standing, as everywhere else in the matcher.
                w.speedMps = static_cast<std::int16_t>(m_jump || f.speed < 36 ? 0 : (f.speed + 5) / 36);
                w.checkCode = code;
            }
        }
    } else {
        w = prev;
        w.moved = 0;
        if (code == -2) {
            // The repeated result says that this fix was unusable, so the next fix's tracking
            // takes only 96 % of its measured advance.
            ++m_missCount;
            w.speedMps = 0;
            w.checkCode = -2;
        }
        if (prev.mapId == -1 || first) {
            w.x = f.longitude;
            w.y = f.latitude;
            int id = -1;
            if (m_reader && m_reader->IsOpen() && InServiceArea(f.longitude, f.latitude))
                id = m_reader->FindMap(f.longitude, f.latitude);
            if (id >= 0) w.mapId = static_cast<std::int16_t>(id);
            w.linkIndex = -1;
            w.reverse = 0xFF;
        }
    }

    w.quality = GetFixQuality(f);
    w.speedKmh = static_cast<std::int32_t>(w.speedMps * 3.6);
    w.hasFix = code == -1 ? 0 : 1;
    m_results[m_write] = w;
    out = w;
    if (deadReckoned) *deadReckoned = f.deadReckoned;
    if (used) *used = f;
    m_prev = m_write;
    m_write = (m_write + 1) % kHistory;
    return w.status;
}

// ---------------------------------------------------------------------------------------------
// Searches

void CMapMatcher::LinkSearch(GpsPosRecord& f, MatchResult& w) {
    const MatchResult prev = Prev();
    if (f.speed < 36 && (FirstFix() || prev.mapId == -1)) {
        w = MatchResult();
        w.status = 2;
        w.x = f.longitude;
        w.y = f.latitude;
        w.heading = static_cast<std::int16_t>(f.course);
        w.speedMps = 0;
        w.mapId = static_cast<std::int16_t>(CentreMapId());
        w.linkIndex = -1;
        w.reverse = 0xFF;
        w.slot = 4;
        return;
    }
    if (!FirstFix() && prev.status == 1) {
        const int b = CalcBearing(PrevFix().longitude, PrevFix().latitude, f.longitude, f.latitude);
        if (m_motionClass == 1 || m_motionClass == 2)
            f.course = static_cast<std::uint16_t>(
                (b +
                 HeadingDifference(static_cast<std::int16_t>(b), static_cast<std::int16_t>(f.course)) / 2 +
                 360) %
                360);
        Track(f, w);
        if (w.status == 2) {
            FullSearch(f, w);
            if (w.status == 1) {
                if (w.mapId == prev.mapId && w.linkIndex == prev.linkIndex && w.reverse == prev.reverse &&
                    (w.segmentIndex < prev.segmentIndex ||
                     (w.segmentIndex == prev.segmentIndex && w.segmentPosition < prev.segmentPosition)))
                    w = prev;
            } else if (m_keepPrevious) {
                w = prev;
                w.heading = static_cast<std::int16_t>(f.course);
                m_keepPrevious = false;
            }
        }
        return;
    }
    FullSearch(f, w);
}

int CMapMatcher::ScanLinks(const GpsPosRecord& f, MatchResult& w, int skipLink) {
    MRMapRecord centre;
    if (!m_reader->GetWindowRecord(4, centre)) return 0;
    const int col = f.longitude < centre.west + 1000 ? 0 : (f.longitude >= centre.east - 1000 ? 2 : 1);
    const int row = f.latitude < centre.south + 1000 ? 0 : (f.latitude >= centre.north - 1000 ? 2 : 1);
    static const int kSlots[9][4] = {{4, 0, 1, 3},   {4, 1, -1, -1},  {4, 1, 2, 5},
                                     {4, 3, -1, -1}, {4, -1, -1, -1}, {4, 5, -1, -1},
                                     {4, 3, 6, 7},   {4, 7, -1, -1},  {4, 5, 7, 8}};
    int bestScore = -1;
    const bool onRouteQuery = m_route && m_route->IsValid();
    for (int slot : kSlots[row * 3 + col]) {
        if (slot < 0) continue;
        MRMapRecord map;
        if (!m_reader->GetWindowRecord(slot, map)) continue;
        const int mapId = map.neighbours[4];
        const int count = map.linkCount;
        std::vector<std::uint8_t>& links = m_scanLinks;
        links.resize(static_cast<std::size_t>(count) * mrformat::kLinkSize);
        if (count == 0 || !m_reader->ReadLinks(map.linkOffset, count, links.data(), links.size())) continue;
        for (int li = 0; li < count; ++li) {
            if (li == skipLink) continue;
            const std::uint8_t* rec = links.data() + static_cast<std::size_t>(li) * mrformat::kLinkSize;
            const std::int32_t bx0 = map.west + mrformat::U16(rec + 14) - 1000;
            const std::int32_t by0 = map.south + mrformat::U16(rec + 16) - 1000;
            const std::int32_t bx1 = map.west + mrformat::U16(rec + 18) + 1000;
            const std::int32_t by1 = map.south + mrformat::U16(rec + 20) + 1000;
            if (f.longitude < bx0 || f.longitude > bx1 || f.latitude < by0 || f.latitude > by1) continue;
            const std::uint16_t attr = mrformat::U16(rec + 10);
            if (FieldB(attr) == 1 && f.satellitesUsed < 4) continue;
            LinkView& v = m_scanView;
            if (!LoadLinkView(*m_reader, mapId, li, v)) continue;
            const int segments = v.SegmentCount();
            const int limit = FieldA(attr) == 5 ? m_distanceLimit : 102;
            for (int k = 0; k < segments; ++k) {
                const LinkPoint a = v.pts[k], b = v.pts[k + 1];
                const int bearing = SegmentBearing(a, b);
                int diff = HeadingDifference(static_cast<std::int16_t>(bearing),
                                             static_cast<std::int16_t>(f.course));
                bool reverse = false;
                if (diff > 90) {
                    diff -= 180;
                    reverse = true;
                } else if (diff < -90) {
                    diff += 180;
                    reverse = true;
                }
                if (std::abs(diff) > m_tolerance) continue;
                std::int32_t fx, fy, t;
                ProjectOnSegment(map.west + a.x, map.south + a.y, map.west + b.x, map.south + b.y,
                                 f.longitude, f.latitude, fx, fy, t);
                if (skipLink >= 0 && ((k == 0 && t == 0) || (k == segments - 1 && t == 100000))) continue;
                int d = Metric(f.longitude, f.latitude, fx, fy);
                if (d > limit) continue;
                if (f.speed > 3 && !IsTurnAllowed(attr, !reverse)) continue;
                if (onRouteQuery && m_route->HasLink(mapId, li, reverse ? 1 : 0)) d = std::max(d - 10, 0);
                const int score =
                    (geo::TruncInt32(f.speed * (1.0 / 150.0) * d + 2.0 * std::abs(diff)) + 5) * 2 -
                    (RoadClass(attr));
                if (score < 0 || (bestScore >= 0 && score >= bestScore)) continue;
                bestScore = score;
                FillFromLink(w, v, reverse, reverse ? segments - 1 - k : k);
                w.slot = static_cast<std::int8_t>(slot);
                w.heading = static_cast<std::int16_t>(f.course);
                w.headingDiff = static_cast<std::int16_t>(diff);
                w.fixDistance = Metric(f.longitude, f.latitude, fx, fy);
                w.speedMps = static_cast<std::int16_t>((f.speed + 5) / 36);
                w.x = fx;
                w.y = fy;
                w.segmentPosition = reverse ? 100000 - t : t;
                w.segmentRemaining = Metric(fx, fy, v.originX + w.SegEndX(), v.originY + w.SegEndY());
            }
        }
    }
    return bestScore < 0 ? 0 : bestScore;
}

void CMapMatcher::FullSearch(GpsPosRecord& f, MatchResult& w) {
    if (m_motionClass >= 2) {
        w.status = 2;
        return;
    }
    if (f.speed < 36) {
        if (JumpTest(f)) {
            w = MatchResult();
            w.heading = 0;
            w.x = f.longitude;
            w.y = f.latitude;
            w.mapId = static_cast<std::int16_t>(CentreMapId());
            w.linkIndex = -1;
            w.reverse = 0xFF;
            w.slot = 4;
            w.speedMps = 0;
        }
        w.status = 2;
        return;
    }
    MatchResult found;
    const int best = ScanLinks(f, found, -1);
    if (best > 0) {
        w = found;
        w.status = 1;
    } else {
        w.status = 2;
    }
}

bool CMapMatcher::AlternativeSearch(const GpsPosRecord& fix, MatchResult& w) {
    if (FirstFix() || !m_reader || !m_reader->IsOpen()) return false;
    GpsPosRecord f = fix;
    const MatchResult prev = Prev();
    if (!m_reader->Locate(f.longitude, f.latitude)) return false;
    MRMapRecord centre;
    if (m_reader->GetWindowRecord(4, centre)) m_xScale = centre.xScale * 0.00001;
    if (CheckFix(f) != 0 || f.speed < 36 || m_motionClass > 1)
        f.course = static_cast<std::uint16_t>(prev.heading);
    m_distanceLimit = DistanceLimitFor(f.hdop, m_motionClass);
    m_tolerance = HeadingToleranceFor(f.speed, m_motionClass);
    MatchResult found;
    if (ScanLinks(f, found, prev.linkIndex) <= 0) return false;
    w = found;
    w.status = 1;
    return true;
}

void CMapMatcher::FillFromLink(MatchResult& r, const LinkView& v, bool reverse, int segmentIndex) {
    r.reverse = reverse ? 1 : 0;
    r.mapId = static_cast<std::int16_t>(v.mapId);
    r.linkIndex = static_cast<std::int16_t>(v.linkIndex);
    r.fromNode = static_cast<std::int16_t>(v.FromNode(reverse));
    r.toNode = static_cast<std::int16_t>(v.ToNode(reverse));
    std::memcpy(r.link, v.rec, sizeof r.link);
    std::memcpy(r.fromNodeRecord, v.FromRec(reverse), sizeof r.fromNodeRecord);
    std::memcpy(r.toNodeRecord, v.ToRec(reverse), sizeof r.toNodeRecord);
    r.segmentIndex = static_cast<std::int16_t>(segmentIndex);
    LinkPoint a, b;
    v.Segment(reverse, segmentIndex, a, b);
    r.segStart[0] = static_cast<std::int16_t>(a.x);
    r.segStart[1] = static_cast<std::int16_t>(a.y);
    r.segEnd[0] = static_cast<std::int16_t>(b.x);
    r.segEnd[1] = static_cast<std::int16_t>(b.y);
}

void CMapMatcher::SetLinkPosition(MatchResult& r) {
    LinkView v;
    if (!m_reader || !LoadLinkView(*m_reader, r.mapId, r.linkIndex, v)) return;
    const bool reverse = r.reverse == 1;
    int remaining = r.segmentRemaining;
    for (int k = r.segmentIndex + 1; k < v.SegmentCount(); ++k) {
        LinkPoint a, b;
        v.Segment(reverse, k, a, b);
        remaining += Metric(a.x, a.y, b.x, b.y);
    }
    const int length = v.Length();
    r.linkPosition = length < 1 ? 100000 : geo::TruncInt32(100000.0 / length * (length - remaining));
}

// ---------------------------------------------------------------------------------------------
// Junction look-ahead

void CMapMatcher::WalkToJunction(LinkView v, bool reverse, int slot, int distance, JunctionLookahead& out) {
    MRCrossNode lastJoint; // zeros until a plain joint is passed
    lastJoint.guideOffset = 0;
    for (int step = 0; step < kMaxJointSteps; ++step) {
        const int node = v.ToNode(reverse);
        const std::uint8_t* rec = v.ToRec(reverse);
        const int type = NodeType(rec);
        out.slot = static_cast<std::int8_t>(slot);
        out.mapId = static_cast<std::int16_t>(v.mapId);
        out.node = static_cast<std::int16_t>(node);
        std::memcpy(out.nodeRecord, rec, sizeof out.nodeRecord);
        out.distance = distance;
        if (type == 2) {
            MRCrossNode j;
            if (!m_reader->GetNodeJunction(v.mapId, node, 2, j)) break;
            const int other = j.links[0] == v.linkIndex ? j.links[1] : j.links[0];
            LinkView next;
            if (!LoadLinkView(*m_reader, v.mapId, other, next)) break;
            lastJoint = j;
            reverse = next.startNode != node;
            v = next;
            distance += v.Length();
        } else if (type == 0x81) {
            LinkView next = v;
            bool nextReverse = reverse;
            int nextSlot = slot;
            if (!CrossBorder(next, nextReverse, nextSlot)) break;
            v = next;
            reverse = nextReverse;
            slot = nextSlot;
            distance += v.Length();
        } else {
            break;
        }
    }
    out.distance = distance;
    out.junction = lastJoint;
}

void CMapMatcher::UpdateLookahead(const MatchResult& r) {
    m_ahead = JunctionLookahead();
    m_behind = JunctionLookahead();
    LinkView v;
    if (!m_reader || !LoadLinkView(*m_reader, r.mapId, r.linkIndex, v)) return;
    const bool reverse = r.reverse == 1;
    const int n = v.SegmentCount();
    int ahead = r.segmentRemaining;
    for (int k = r.segmentIndex + 1; k < n; ++k) {
        LinkPoint a, b;
        v.Segment(reverse, k, a, b);
        ahead += Metric(a.x, a.y, b.x, b.y);
    }
    LinkPoint a, b;
    v.Segment(reverse, r.segmentIndex, a, b);
    int behind = Metric(a.x, a.y, b.x, b.y) - r.segmentRemaining;
    for (int k = 0; k < r.segmentIndex && k < n; ++k) {
        v.Segment(reverse, k, a, b);
        behind += Metric(a.x, a.y, b.x, b.y);
    }
    WalkToJunction(v, reverse, r.slot, ahead, m_ahead);
    WalkToJunction(v, !reverse, r.slot, behind, m_behind);
}

// ---------------------------------------------------------------------------------------------
// Tracking

bool CMapMatcher::CrossBorder(LinkView& v, bool& reverse, int& slot) {
    const int node = v.ToNode(reverse);
    std::uint8_t nb[mrformat::kExNodeSize];
    if (!m_reader->GetNodeNeighbour(v.mapId, node, nb)) return false;
    const int word = mrformat::U16(nb);
    const int mapId = word & 0x3FFF;
    const int side = word >> 14;
    const int entryNode = mrformat::U16(nb + 2);
    const int linkIndex = mrformat::U16(nb + 4);
    const int newSlot = SlotBeside(slot, side);
    if (newSlot < 0) return false;
    const int loaded = m_reader->WindowMapId(newSlot);
    if (loaded < 0 || loaded != mapId) return false;
    LinkView next;
    if (!LoadLinkView(*m_reader, mapId, linkIndex, next)) return false;
    reverse = next.startNode != entryNode;
    v = next;
    slot = newSlot;
    return true;
}

int CMapMatcher::ChooseAtJunction(const GpsPosRecord& f, LinkView& v, bool& reverse, int& slot, int a) {
    const int node = v.ToNode(reverse);
    const int count = NodeType(v.ToRec(reverse)) & 0x7F;
    MRCrossNode j;
    if (count < 1 || !m_reader->GetNodeJunction(v.mapId, node, count, j)) return -1;
    Candidate cands[mrformat::kMaxJunctionLinks];
    const std::int16_t course = static_cast<std::int16_t>(f.course);
    for (int i = 0; i < j.count; ++i) {
        LinkView cv;
        if (!LoadLinkView(*m_reader, v.mapId, j.links[i], cv)) continue;
        const bool cReverse = cv.startNode != node;
        if (!IsTurnAllowed(cv.Attr(), !cReverse)) continue;
        // Walk a metres from the junction.
        LinkView wv = cv;
        bool wr = cReverse;
        int ws = slot;
        int left = a;
        int k = 0;
        bool dropped = false, stopped = false;
        LinkPoint at{}, segA{}, segB{};
        for (int guard = 0; guard < kMaxJointSteps * 4; ++guard) {
            wv.Segment(wr, k, segA, segB);
            const int len = Metric(segA.x, segA.y, segB.x, segB.y);
            if (left < len) {
                const double t = len > 0 ? static_cast<double>(left) / len : 0.0;
                at = {wv.originX + segA.x + geo::TruncInt32((segB.x - segA.x) * t),
                      wv.originY + segA.y + geo::TruncInt32((segB.y - segA.y) * t)};
                break;
            }
            left -= len;
            at = {wv.originX + segB.x, wv.originY + segB.y};
            if (k + 1 < wv.SegmentCount()) {
                ++k;
                continue;
            }
            const int type = NodeType(wv.ToRec(wr));
            if (type == 1) break;
            if (type == 0x81) {
                if (!CrossBorder(wv, wr, ws)) return 0;
                k = 0;
                continue;
            }
            // Look for the single continuation at the node.
            const int wn = wv.ToNode(wr);
            const int wc = type & 0x7F;
            MRCrossNode wj;
            if (wc < 1 || !m_reader->GetNodeJunction(wv.mapId, wn, wc, wj)) {
                dropped = true;
                break;
            }
            int found = 0;
            LinkView cont;
            bool contReverse = false;
            for (int e = 0; e < wj.count; ++e) {
                if (wj.links[e] == wv.linkIndex) continue;
                LinkView ov;
                if (!LoadLinkView(*m_reader, wv.mapId, wj.links[e], ov)) continue;
                const bool orv = ov.startNode != wn;
                if (!IsTurnAllowed(ov.Attr(), !orv)) continue;
                LinkPoint p, q;
                ov.Segment(orv, 0, p, q);
                if (std::abs(HeadingDifference(static_cast<std::int16_t>(SegmentBearing(p, q)), course)) <=
                    60) {
                    ++found;
                    cont = ov;
                    contReverse = orv;
                }
            }
            if (found == 0) {
                dropped = true;
                break;
            }
            if (found > 1) {
                stopped = true;
                break;
            }
            wv = cont;
            wr = contReverse;
            k = 0;
        }
        if (dropped) continue;
        Candidate& c = cands[i];
        c.valid = true;
        c.stopped = stopped;
        c.linkIndex = j.links[i];
        c.reverse = cReverse;
        c.junctionEntry = i;
        c.headingDiff = HeadingDifference(static_cast<std::int16_t>(SegmentBearing(segA, segB)), course);
        c.d = Metric(f.longitude, f.latitude, at.x, at.y);
        if (c.d > m_distanceLimit + a && m_coasting == 0) c.d = -1;
        if (f.deadReckoned && OnRoute(v.mapId, c.linkIndex, c.reverse)) {
            c.d = 0;
            c.headingDiff = 0;
        }
    }
    int best = -1, second = -1;
    for (int i = 0; i < j.count; ++i) {
        const Candidate& c = cands[i];
        if (!c.valid || c.d < 0 || !(c.d <= m_distanceLimit || m_coasting > 0)) continue;
        if (best < 0 || std::abs(c.headingDiff) <= std::abs(cands[best].headingDiff)) {
            second = best;
            best = i;
        } else if (second < 0 || std::abs(c.headingDiff) < std::abs(cands[second].headingDiff)) {
            second = i;
        }
    }
    if (best < 0) return m_coasting > 0 ? 0 : -1;
    Candidate& B = cands[best];
    if (std::abs(B.headingDiff) > 34) return (B.stopped || (second >= 0 && cands[second].stopped)) ? -1 : 0;
    int margin = 40;
    int secondDiff = second >= 0 ? std::abs(cands[second].headingDiff) : 0;
    std::uint8_t bestRec[mrformat::kLinkSize];
    if (m_reader->GetLink(v.mapId, B.linkIndex, bestRec)) {
        const std::uint16_t bw = mrformat::U16(bestRec + 10);
        if (FieldA(bw) == 1 || FieldA(bw) == 2 || FieldB(bw) == 1 || FieldB(bw) == 2) {
            margin = 45;
            if (second >= 0 && secondDiff >= 10 && secondDiff <= 29) {
                secondDiff /= 2;
                if (secondDiff < std::abs(B.headingDiff)) secondDiff = std::abs(B.headingDiff);
            }
        }
    }
    std::uint8_t secondRec[mrformat::kLinkSize];
    if (second >= 0 && m_reader->GetLink(v.mapId, cands[second].linkIndex, secondRec)) {
        const std::uint16_t sw = mrformat::U16(secondRec + 10);
        if (FieldA(sw) == 1 || FieldA(sw) == 2 || FieldB(sw) == 1 || FieldB(sw) == 2) margin = 45;
    }
    const bool routed = m_route && m_route->IsValid();
    int chosen = best;
    if (second < 0 || std::abs(B.headingDiff - cands[second].headingDiff) > 40) {
        if (std::abs(B.headingDiff) <= 30 && a < 35) return 0;
        if (routed && !OnRoute(v.mapId, B.linkIndex, B.reverse) && a < 17) return 0;
    } else {
        const Candidate& S = cands[second];
        const int threshold = routed ? 0 : 71;
        if (a <= threshold && B.d <= m_distanceLimit && !B.stopped && !S.stopped) return 0;
        int bestDiff = std::abs(B.headingDiff);
        if (routed) {
            if (OnRoute(v.mapId, B.linkIndex, B.reverse))
                bestDiff -= margin;
            else if (OnRoute(v.mapId, S.linkIndex, S.reverse))
                secondDiff -= margin;
        }
        if (secondDiff + S.d < bestDiff + B.d) chosen = second;
    }
    LinkView next;
    if (!LoadLinkView(*m_reader, v.mapId, cands[chosen].linkIndex, next)) return -1;
    reverse = cands[chosen].reverse;
    v = next;
    return 1;
}

void CMapMatcher::Track(GpsPosRecord& f, MatchResult& w) {
    m_keepPrevious = false;
    const MatchResult prev = Prev();
    MRMapRecord centre;
    int slot = -1;
    if (m_reader->GetWindowRecord(4, centre))
        for (int s = 0; s < 9; ++s)
            if (centre.neighbours[s] != mrformat::kNoMap && centre.neighbours[s] == prev.mapId) {
                slot = s;
                break;
            }
    LinkView v;
    if (slot < 0 || !LoadLinkView(*m_reader, prev.mapId, prev.linkIndex, v)) {
        w.status = 2;
        return;
    }
    bool reverse = prev.reverse == 1;
    MatchResult st = prev;
    st.slot = static_cast<std::int8_t>(slot);
    const std::int16_t course = static_cast<std::int16_t>(f.course);

    // Measured advance.
    LinkPoint sa, sb;
    v.Segment(reverse, std::clamp<int>(st.segmentIndex, 0, v.SegmentCount() - 1), sa, sb);
    int d;
    if (!f.deadReckoned) {
        const int toFix = CalcBearing(prev.x, prev.y, f.longitude, f.latitude);
        const double angle = HeadingDifference(static_cast<std::int16_t>(toFix),
                                               static_cast<std::int16_t>(SegmentBearing(sa, sb))) *
                             kDegToRad;
        d = geo::TruncInt32(std::fabs(std::cos(angle) * Metric(prev.x, prev.y, f.longitude, f.latitude)));
    } else {
        d = Metric(prev.x, prev.y, f.longitude, f.latitude);
    }

    auto repeatPrevious = [&] {
        w = prev;
        w.moved = 0;
    };
    auto rawFix = [&] {
        w = MatchResult();
        w.x = f.longitude;
        w.y = f.latitude;
        w.heading = 0;
        w.speedMps = 0;
        w.mapId = static_cast<std::int16_t>(CentreMapId());
        w.linkIndex = -1;
        w.reverse = 0xFF;
        w.slot = 4;
        w.status = 2;
    };
    if (f.speed < 36) {
        if (JumpTest(f))
            rawFix();
        else
            repeatPrevious();
        return;
    }
    int a;
    if (prev.checkCode == -2) {
        // Worked out wide: a fix hundreds of kilometres on would overflow 32 bits.
        a = static_cast<int>(static_cast<std::int64_t>(std::max(d, 0)) * 4800 / 5000);
        for (const GpsPosRecord& h : m_fixes)
            if (static_cast<std::uint8_t>(h.status) == 0xFE) ++m_coasting;
        m_coasting = m_coasting <= 10 ? 2 : m_coasting / 2;
    } else {
        a = (f.speed + 18) * m_interval / 36;
        if (a == 0) {
            if (JumpTest(f))
                rawFix();
            else
                repeatPrevious();
            return;
        }
        if (s_carried == 0 && !s_passing) a = (d + a) / 2;
    }
    a = std::max(a + s_carried, 0);
    s_carried = 0; // taken into this walk; a stop at a junction sets it again
    if (s_passing) {
        a += m_ahead.distance < 10 ? m_ahead.distance : m_ahead.distance * 2 / 3;
        s_passing = false;
    }

    // Walk.
    int segIndex = std::clamp<int>(st.segmentIndex, 0, v.SegmentCount() - 1);
    int segRemaining = st.segmentRemaining;
    for (int guard = 0; a >= 1 && guard < 100000; ++guard) {
        if (a < segRemaining) {
            segRemaining -= a;
            break;
        }
        a -= segRemaining;
        if (segIndex + 1 < v.SegmentCount()) {
            ++segIndex;
            v.Segment(reverse, segIndex, sa, sb);
            segRemaining = Metric(sa.x, sa.y, sb.x, sb.y);
            continue;
        }
        const int type = NodeType(v.ToRec(reverse));
        if (type == 1) {
            w.status = 2;
            return;
        }
        if (type == 2) {
            MRCrossNode j;
            const int node = v.ToNode(reverse);
            if (!m_reader->GetNodeJunction(v.mapId, node, 2, j)) {
                w.status = 2;
                return;
            }
            const int other = j.links[0] == v.linkIndex ? j.links[1] : j.links[0];
            LinkView next;
            if (!LoadLinkView(*m_reader, v.mapId, other, next)) {
                w.status = 2;
                return;
            }
            reverse = next.startNode != node;
            v = next;
        } else if (type == 0x81) {
            if (!CrossBorder(v, reverse, slot)) {
                w.status = 2;
                return;
            }
        } else {
            const int r = ChooseAtJunction(f, v, reverse, slot, a);
            if (r == 0) {
                segRemaining = 0;
                s_carried = a;
                break;
            }
            if (r < 0) {
                w.status = 2;
                s_carried = 0;
                return;
            }
            s_carried = 0;
        }
        segIndex = 0;
        v.Segment(reverse, 0, sa, sb);
        segRemaining = Metric(sa.x, sa.y, sb.x, sb.y);
    }

    // Place the car.
    FillFromLink(st, v, reverse, segIndex);
    st.slot = static_cast<std::int8_t>(slot);
    v.Segment(reverse, segIndex, sa, sb);
    const int L = Metric(sa.x, sa.y, sb.x, sb.y);
    st.segmentRemaining = segRemaining;
    st.segmentPosition = L < 1 ? 100000 : geo::TruncInt32(100000.0 / L * (L - segRemaining));
    const int segBearing = SegmentBearing(sa, sb);
    st.headingDiff =
        static_cast<std::int16_t>(HeadingDifference(static_cast<std::int16_t>(segBearing), course));
    st.heading = static_cast<std::int16_t>(s_carried == 0 ? CalcMapBearing(v.originX + sa.x, v.originY + sa.y,
                                                                           v.originX + sb.x, v.originY + sb.y)
                                                          : course);
    auto placeAt = [&](MatchResult& r) {
        r.x = v.originX + r.SegStartX() +
              static_cast<std::int32_t>(static_cast<std::int64_t>(r.SegEndX() - r.SegStartX()) *
                                        r.segmentPosition / 100000);
        r.y = v.originY + r.SegStartY() +
              static_cast<std::int32_t>(static_cast<std::int64_t>(r.SegEndY() - r.SegStartY()) *
                                        r.segmentPosition / 100000);
        r.fixDistance = Metric(f.longitude, f.latitude, r.x, r.y);
    };
    placeAt(st);
    st.speedMps = static_cast<std::int16_t>((f.speed + 5) / 36);
    st.status = 1;

    // Accept or reject.
    const std::uint16_t wd = v.Attr();
    const int rc = RoadClass(wd);
    const int hd = std::abs(st.headingDiff);
    auto accept = [&] {
        w = st;
        w.status = 1;
    };
    auto fail = [&] {
        w = st;
        w.status = 2;
        s_carried = 0;
    };
    auto repeatWithCourse = [&] {
        w = prev;
        w.moved = 0;
        w.heading = course;
    };
    if (m_coasting > 0) {
        --m_coasting;
        accept();
        return;
    }
    if (m_motionClass == 2) {
        if (hd < 60 || (wd & 0x1C) == 0x10)
            accept();
        else
            repeatWithCourse();
        return;
    }
    if (m_motionClass >= 3) {
        accept();
        return;
    }
    if (s_carried == 0 && rc < 2 && st.speedMps > 25 && FieldA(wd) == 5 && (wd & 0x1C) <= 4) {
        w = st;
        w.status = 2;
        return;
    }
    if (FieldA(wd) != 5) m_distanceLimit = 102;
    if (st.fixDistance >= m_distanceLimit + s_carried) {
        fail();
        return;
    }
    if (hd < rc + m_tolerance) {
        accept();
        return;
    }
    if (s_carried != 0 ||
        (OnRoute(v.mapId, v.linkIndex, reverse) && (hd < rc + m_tolerance + 10 || f.deadReckoned))) {
        accept();
        return;
    }
    const int t = rc < 2 ? 12 : (rc >= 4 ? 32 : 24);
    // Distances to the junctions ahead and behind from where the car now stands.
    int aheadDist = st.segmentRemaining, behindDist = L - st.segmentRemaining;
    for (int k = segIndex + 1; k < v.SegmentCount(); ++k) {
        LinkPoint p, q;
        v.Segment(reverse, k, p, q);
        aheadDist += Metric(p.x, p.y, q.x, q.y);
    }
    for (int k = 0; k < segIndex; ++k) {
        LinkPoint p, q;
        v.Segment(reverse, k, p, q);
        behindDist += Metric(p.x, p.y, q.x, q.y);
    }
    JunctionLookahead ja, jb;
    WalkToJunction(v, reverse, slot, aheadDist, ja);
    WalkToJunction(v, !reverse, slot, behindDist, jb);
    if (ja.distance < t && FieldA(wd) != 1 && FieldA(wd) != 2) {
        s_passing = true;
        st.heading = course;
        accept();
        return;
    }
    if (jb.distance < t) {
        st.heading = course;
        fail();
        m_keepPrevious = true;
        return;
    }
    const bool turnable =
        m_motionClass < 2 && f.speed < 300 && FieldA(wd) != 1 && FieldB(wd) != 3 && (wd & 3) == 0;
    if (hd > 180 - m_tolerance && turnable) {
        // The car has turned back on a two-way link.
        reverse = !reverse;
        const int n = v.SegmentCount();
        const int newIndex = n - 1 - segIndex;
        MatchResult r = st;
        FillFromLink(r, v, reverse, newIndex);
        r.segmentPosition = 100000 - st.segmentPosition;
        r.segmentRemaining = L - st.segmentRemaining;
        LinkPoint p, q;
        v.Segment(reverse, newIndex, p, q);
        r.headingDiff = static_cast<std::int16_t>(
            HeadingDifference(static_cast<std::int16_t>(SegmentBearing(p, q)), course));
        r.heading = course;
        r.status = 1;
        w = r;
        return;
    }
    if (hd > 140 - m_tolerance && turnable) {
        repeatWithCourse();
        return;
    }
    if (hd < rc + m_tolerance + 13 && st.fixDistance <= m_distanceLimit / 2) {
        st.heading = course;
        accept();
        return;
    }
    if (segIndex > 0 && L - st.segmentRemaining < 16) {
        LinkPoint p, q;
        v.Segment(reverse, segIndex - 1, p, q);
        if (std::abs(HeadingDifference(static_cast<std::int16_t>(SegmentBearing(p, q)), course)) >=
            rc + m_tolerance)
            fail();
        else
            repeatPrevious();
        return;
    }
    if (segIndex == v.SegmentCount() - 1 || st.segmentRemaining > 24) {
        if (hd < 64 && rc < 4)
            repeatWithCourse();
        else
            fail();
        return;
    }
    LinkPoint p, q;
    v.Segment(reverse, segIndex + 1, p, q);
    if (std::abs(HeadingDifference(static_cast<std::int16_t>(SegmentBearing(p, q)), course)) >=
        rc + m_tolerance) {
        fail();
        return;
    }
    FillFromLink(st, v, reverse, segIndex + 1);
    st.segmentPosition = 0;
    st.segmentRemaining = Metric(p.x, p.y, q.x, q.y);
    st.x = v.originX + p.x;
    st.y = v.originY + p.y;
    st.fixDistance = Metric(f.longitude, f.latitude, st.x, st.y);
    st.heading = static_cast<std::int16_t>(CalcMapBearing(st.x, st.y, v.originX + q.x, v.originY + q.y));
    accept();
}

// ---------------------------------------------------------------------------------------------
// Dead reckoning

bool CMapMatcher::CanDeadReckon() {
    if (FirstFix() || !m_reader) return false;
    const MatchResult& p = Prev();
    if (p.status != 1) return false;
    const int b = FieldB(mrformat::U16(p.link + 10));
    if (b == 2 || b == 3) return true;
    CLinkReach reach;
    reach.SetLimits(90, 90, 500);
    reach.Expand(p.mapId, p.linkIndex, p.reverse == 1 ? 0 : 1, p.segmentIndex, p.segmentPosition, p.heading,
                 *m_reader);
    int mapId, linkIndex;
    return reach.FindTypeThree(*m_reader, mapId, linkIndex);
}

int CMapMatcher::NextDeadReckonSpeed(bool previousDeadReckoned, int previousSpeed, int turn) {
    if (previousDeadReckoned) return std::min(turn > 60 ? 50 : previousSpeed + 50, s_drSpeed);
    s_drSpeed = std::max(previousSpeed, 100);
    return std::min(previousSpeed + 50, s_drSpeed);
}

bool CMapMatcher::MakeDeadReckonedFix(GpsPosRecord& fix) {
    const MatchResult& p = Prev();
    const std::int16_t h = p.heading;
    const MatchResult& before = m_results[(m_prev + kHistory - 1) % kHistory];
    const int turn = std::abs(HeadingDifference(before.heading, h));
    const GpsPosRecord& pf = PrevFix();
    const int speed = NextDeadReckonSpeed(pf.deadReckoned != 0, pf.speed, turn);
    const int distance = m_interval * speed / 36;
    std::int32_t mx = 0, my = 0, nx = p.x, ny = p.y;
    if (NetToMapChecked(p.x, p.y, mx, my)) {
        std::int32_t ox, oy;
        OffsetByHeading(mx, my, h, distance, ox, oy);
        MapToNetChecked(ox, oy, nx, ny);
    }
    fix.course = static_cast<std::uint16_t>((h % 360 + 360) % 360);
    fix.status = 'A';
    fix.satellitesUsed = 5;
    fix.longitude = nx;
    fix.latitude = ny;
    fix.speed = static_cast<std::uint16_t>(speed);
    fix.altitude = 0;
    fix.hdop = 0.5;
    fix.deadReckoned = 1;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Queries

int CMapMatcher::GetLinkEnd(int mapId, int linkIndex, int against, std::int32_t& x, std::int32_t& y,
                            std::int16_t& heading) {
    if (!m_reader || !m_reader->IsOpen()) return 0;
    LinkView v;
    if (!LoadLinkView(*m_reader, mapId, linkIndex, v)) return 0;
    const int n = static_cast<int>(v.pts.size());
    LinkPoint from, to;
    if (!against) {
        to = v.pts[n - 1];
        from = v.pts[n - 2];
    } else {
        to = v.pts[0];
        from = v.pts[1];
    }
    x = v.originX + to.x;
    y = v.originY + to.y;
    heading = CalcMapBearing(v.originX + from.x, v.originY + from.y, x, y);
    return 1;
}

int CMapMatcher::GetJunctionName(int mapId, int linkIndex, int startNode, char* buffer, int bufferSize) {
    if (!m_reader || !m_reader->IsOpen() || !buffer || bufferSize < 1) return 0;
    std::uint8_t rec[mrformat::kLinkSize];
    if (!m_reader->GetLink(mapId, linkIndex, rec)) return 0;
    const int node = startNode ? mrformat::LinkStartNode(rec) : mrformat::LinkEndNode(rec);
    std::uint8_t nrec[mrformat::kNodeSize];
    if (!m_reader->GetNode(mapId, node, nrec)) return 0;
    const std::uint32_t ref = mrformat::U32(nrec + 4);
    if (mrformat::IsPassThrough(ref)) return 0;
    const int count = mrformat::LinkCountOf(ref);
    if (count <= 1) return 0;
    MRCrossNode j;
    if (!m_reader->GetNodeJunction(mapId, node, count, j)) return 0;
    const int length = j.NameLength();
    if (length > 21) return 0;
    if (length == 0) {
        buffer[0] = 0;
        return 1;
    }
    MRMapRecord map;
    if (!m_reader->GetMapRecord(mapId, map)) return 0;
    return m_reader->ReadCrossName(static_cast<std::int64_t>(map.nameOffset) + j.NameOffset(), length, buffer,
                                   bufferSize)
               ? 1
               : 0;
}
