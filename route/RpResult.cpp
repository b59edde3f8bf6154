#include "route/RpResult.h"

#include "platform/files/Files.h"
#include "route/RouteFile.h"
#include "route/RoutePath.h"
#include "traffic/receiver/Traffic.h"
#include "route/base/Coords.h"
#include "route/base/ErrorLog.h"
#include "route/base/TextTruncate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kSource = "VelkoRpResult";
constexpr double kPi = 3.1415926535;

void Log(int line, const char* message) {
    ErrorLog::Instance().WriteErrorLog(line, kSource, message);
}

std::int32_t Trunc(double v) {
    if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;
    return static_cast<std::int32_t>(std::trunc(v));
}

int PositionIn(const MRCrossNode& cross, std::uint16_t link) {
    for (int k = 0; k < cross.count; ++k)
        if (cross.links[k] == link) return k;
    return -1;
}

// Runs of consecutive entries on one map; with shared ends every run after the first starts
// at the last entry of the run before it.
std::vector<CPathLinkRef> MakeRuns(const std::vector<std::uint16_t>& maps, bool sharedEnds) {
    std::vector<CPathLinkRef> runs;
    std::size_t i = 0;
    while (i < maps.size()) {
        std::size_t j = i;
        while (j < maps.size() && maps[j] == maps[i]) ++j;
        CPathLinkRef run;
        run.mapId = maps[i];
        const std::size_t first = (sharedEnds && i > 0) ? i - 1 : i;
        run.firstIndex = static_cast<std::int32_t>(first);
        run.count = static_cast<std::uint16_t>(std::min<std::size_t>(j - first, 0xFFFF));
        runs.push_back(run);
        i = j;
    }
    std::stable_sort(runs.begin(), runs.end(), [](const CPathLinkRef& a, const CPathLinkRef& b) {
        return a.mapId != b.mapId ? a.mapId < b.mapId : a.firstIndex < b.firstIndex;
    });
    return runs;
}

bool RunsFit(const std::vector<std::uint16_t>& maps, bool sharedEnds) {
    std::size_t i = 0;
    while (i < maps.size()) {
        std::size_t j = i;
        while (j < maps.size() && maps[j] == maps[i]) ++j;
        const std::size_t first = (sharedEnds && i > 0) ? i - 1 : i;
        if (j - first > static_cast<std::size_t>(RpResult::kMaxRunItems)) return false;
        i = j;
    }
    return true;
}

} // namespace

int RpResult::Init(const PointManage* points, MRReader* reader, const RouteSearchState* state) {
    if (!points) {
        Log(__LINE__, "Get a point process handle error");
        return 0;
    }
    m_points = points;
    m_reader = reader;
    m_state = state;
    return 1;
}

void RpResult::SetPrefix(const void* prefix, int size) {
    m_prefix.clear();
    if (prefix && size > 0) {
        const auto* p = static_cast<const std::uint8_t*>(prefix);
        m_prefix.assign(p, p + size);
    }
}

void RpResult::Reset() {
    m_items.clear();
    m_itemLength.clear();
    m_shape.clear();
    m_shapeMap.clear();
    m_guides.clear();
    m_guideMap.clear();
    m_facilities.clear();
    m_total = m_highwayLength = 0;
    m_timeSum = 0.0f;
    m_highway = m_useTraffic = false;
    m_ringOpen = false;
    m_ringBearing = 0;
    m_ringGuide = -1;
    m_prefix.clear();
    m_totalLength = m_totalTime = 0;
}

bool RpResult::Fail(int line, const char* message) {
    Log(line, message);
    std::vector<std::uint8_t> prefix = std::move(m_prefix);
    Reset();
    m_prefix = std::move(prefix);
    m_blob.clear();
    return false;
}

// ---- arithmetic ----

int RpResult::TravelDirection(const std::uint8_t* link, std::uint16_t nodeId, int side) {
    const bool atFirst = mrformat::LinkStartNode(link) == nodeId;
    // From the start side the node is where the link is left; from the goal side where it is entered.
    if (side == 0) return atFirst ? 1 : 0;
    return atFirst ? 0 : 1;
}

int RpResult::NearestSegment(const std::vector<NetXY>& polyline, NetXY p) {
    int best = 0;
    float bestDistance = 0.0f;
    for (std::size_t s = 0; s + 1 < polyline.size(); ++s) {
        const float d = PointManage::SegmentDistance(polyline[s], polyline[s + 1], p);
        if (s == 0 || d < bestDistance) {
            best = static_cast<int>(s);
            bestDistance = d;
        }
    }
    return best;
}

NetXY RpResult::Project(NetXY a, NetXY b, NetXY p) {
    const std::int64_t dx = static_cast<std::int64_t>(b.x) - a.x, dy = static_cast<std::int64_t>(b.y) - a.y;
    const std::int64_t len2 = dx * dx + dy * dy;
    if (len2 == 0) return a;
    const std::int64_t dot =
        (static_cast<std::int64_t>(p.x) - a.x) * dx + (static_cast<std::int64_t>(p.y) - a.y) * dy;
    const float t = static_cast<float>(dot) / static_cast<float>(len2);
    const double scaled = std::trunc(static_cast<double>(t) * 100000.0);
    if (scaled < 0.0) return a;
    if (scaled > 100000.0) return b;
    const double k = scaled;
    return NetXY{a.x + Trunc(k * static_cast<double>(dx) * 1e-5),
                 a.y + Trunc(k * static_cast<double>(dy) * 1e-5)};
}

std::vector<NetXY> RpResult::PartialPolyline(const std::vector<NetXY>& polyline, NetXY p, bool fromStart) {
    if (polyline.size() < 2) return polyline;
    const int s = NearestSegment(polyline, p);
    const NetXY foot = Project(polyline[s], polyline[s + 1], p);
    std::vector<NetXY> part;
    if (fromStart) {
        part.push_back(foot);
        part.insert(part.end(), polyline.begin() + s + 1, polyline.end());
    } else {
        part.assign(polyline.begin(), polyline.begin() + s + 1);
        part.push_back(foot);
    }
    return part;
}

std::int32_t RpResult::PolylineMetres(const std::vector<NetXY>& polyline, int xScale) {
    std::int64_t metres = 0;
    for (std::size_t s = 0; s + 1 < polyline.size(); ++s) {
        const double dx =
            static_cast<double>(std::llabs(static_cast<long long>(polyline[s + 1].x) - polyline[s].x)) *
            xScale * 1e-5;
        const double dy =
            static_cast<double>(std::llabs(static_cast<long long>(polyline[s + 1].y) - polyline[s].y)) *
            0.30879;
        metres += Trunc(std::sqrt(dx * dx + dy * dy));
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(metres, 0x7fffffff));
}

int RpResult::DefaultSpeed(const std::uint8_t* link) {
    const LinkFields f = LinkFields::From(link);
    const int n = f.linkType == 2 ? 2 * f.lanes : f.lanes;
    auto byLanes = [n](int six, int four, int two, int less) {
        return n >= 6 ? six : n >= 4 ? four : n >= 2 ? two : less;
    };
    switch (f.facility) {
    case 1:
        return 85;
    case 2:
        return 50;
    case 3:
        return byLanes(55, 50, 45, 30);
    case 4:
        return byLanes(35, 30, 25, 20);
    case 5:
        return byLanes(30, 25, 20, 15);
    case 6:
        return 50;
    default:
        return 15;
    }
}

double RpResult::TravelSeconds(const std::uint8_t* link, int direction, std::int32_t metres,
                               bool useTraffic) {
    int speed = DefaultSpeed(link);
    if (useTraffic) {
        const std::uint16_t index = mrformat::U16(link + (direction == 0 ? 24 : 26));
        std::uint8_t reported = 0;
        if (CTraffic::instance()->getSpeedByIdx(index, reported) && reported != 255)
            speed = reported == 0 ? 1 : reported;
    }
    return static_cast<double>(metres) / (speed * 0.2777777777777778);
}

int RpResult::Bearing(NetXY a, NetXY b) {
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    double angle = 0.0;
    if (dy == 0.0) {
        angle = dx > 0.0 ? 90.0 : 270.0;
    } else {
        const double t = std::fabs(std::atan(dx / dy)) * 180.0 / kPi;
        if (dy > 0.0)
            angle = dx > 0.0 ? t : 360.0 - t;
        else
            angle = dx > 0.0 ? 180.0 - t : 180.0 + t;
    }
    return (Trunc(angle) + 360) % 360;
}

int RpResult::RoundaboutExitCode(int entryBearing, int exitBearing) {
    int turn = exitBearing - (entryBearing + 180) % 360;
    if (turn < 0) turn += 360;
    turn -= 15;
    if (turn < 0) turn += 360;
    return kRoundaboutExitFirst + turn / 30;
}

bool RpResult::DirectionTest(const std::uint8_t* link, std::uint16_t node, int side) {
    const LinkFields f = LinkFields::From(link);
    if (f.facility == 7 || f.oneWay == 3) return false;
    std::uint16_t compared = 0;
    if (side == 1) {
        if (f.firstNode == node && f.oneWay == 2) return false;
        compared = f.secondNode;
    } else {
        if (f.secondNode == node && f.oneWay == 2) return false;
        compared = f.firstNode;
    }
    return !(compared == node && f.oneWay == 1);
}

// ---- reading the network ----

bool RpResult::LinkPolyline(MRReader& reader, int map, const std::uint8_t* link, std::vector<NetXY>& out) {
    out.clear();
    const MRMapRecord* rec = reader.MapRecord(map);
    if (!rec) return false;
    // A point is the map's origin plus a 16-bit offset, added as the search adds it: in 64 bits,
    // so that a corrupt origin near the int32 limit cannot overflow.
    const auto at = [rec](const std::uint8_t* p) {
        return NetXY{static_cast<std::int32_t>(static_cast<std::int64_t>(rec->west) + mrformat::U16(p)),
                     static_cast<std::int32_t>(static_cast<std::int64_t>(rec->south) + mrformat::U16(p + 2))};
    };
    std::uint8_t node[mrformat::kNodeSize];
    if (reader.ReadNode(node, map, mrformat::LinkStartNode(link)) != 1) return false;
    const NetXY a = at(node);
    if (reader.ReadNode(node, map, mrformat::LinkEndNode(link)) != 1) return false;
    const NetXY b = at(node);
    const int vertices = mrformat::LinkVertexCount(link);
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(vertices) * mrformat::kVertexSize);
    if (vertices > 0 &&
        reader.ReadVertices(scratch.data(), static_cast<std::int64_t>(scratch.size()), map, link) != 1)
        return false;
    out.reserve(static_cast<std::size_t>(vertices) + 2);
    out.push_back(a);
    for (int v = 0; v < vertices; ++v)
        out.push_back(at(scratch.data() + static_cast<std::size_t>(v) * mrformat::kVertexSize));
    out.push_back(b);
    return true;
}

std::int64_t RpResult::PositionAlong(const std::vector<NetXY>& polyline, NetXY p) {
    if (polyline.size() < 2) return 0;
    const int s = NearestSegment(polyline, p);
    const NetXY a = polyline[s], b = polyline[s + 1];
    const std::int64_t dx = static_cast<std::int64_t>(b.x) - a.x, dy = static_cast<std::int64_t>(b.y) - a.y;
    const std::int64_t len2 = dx * dx + dy * dy;
    std::int64_t k = 0;
    if (len2 > 0) {
        const std::int64_t dot =
            (static_cast<std::int64_t>(p.x) - a.x) * dx + (static_cast<std::int64_t>(p.y) - a.y) * dy;
        const double scaled =
            std::trunc(static_cast<double>(static_cast<float>(dot) / static_cast<float>(len2)) * 100000.0);
        k = scaled < 0.0 ? 0 : scaled > 100000.0 ? 100000 : static_cast<std::int64_t>(scaled);
    }
    return static_cast<std::int64_t>(s) * 100001 + k;
}

bool RpResult::View(const PathItem& item, LinkView& view) {
    view = LinkView();
    view.item = item;
    view.map = m_reader->MapRecord(item.mapId);
    if (!view.map || m_reader->ReadLink(view.rec, item.mapId, item.linkId) != 1)
        return Fail(__LINE__, "Get File link Error");
    view.direction = TravelDirection(view.rec, item.nodeId, item.side);
    const std::uint16_t first = mrformat::LinkStartNode(view.rec), second = mrformat::LinkEndNode(view.rec);
    view.entryNode = view.direction == 0 ? first : second;
    view.exitNode = view.direction == 0 ? second : first;

    if (!LinkPolyline(*m_reader, item.mapId, view.rec, view.polyline)) return Fail(__LINE__, "Read File Node Error");
    if (view.direction == 1) std::reverse(view.polyline.begin(), view.polyline.end());
    return true;
}

bool RpResult::ReadJunction(int map, std::uint16_t nodeId, Junction& junction) {
    junction = Junction();
    std::uint8_t node[mrformat::kNodeSize];
    if (m_reader->ReadNode(node, map, nodeId) != 1) return Fail(__LINE__, "Read File Node Error");
    const std::uint32_t ref = mrformat::U32(node + 4);
    if (mrformat::IsPassThrough(ref)) return true;
    const int links = mrformat::LinkCountOf(ref);
    if (links < 1 || links > mrformat::kMaxJunctionLinks) return true; // no junction the route can use
    if (m_reader->ReadCrossNode(junction.cross, map, ref) != 1)
        return Fail(__LINE__, "Get File cross node error");
    junction.present = true;
    return true;
}

bool RpResult::TurnAllowed(const LinkView& from, const LinkView& to) {
    if (from.item.mapId != to.item.mapId) return true;
    Junction j;
    if (!ReadJunction(from.item.mapId, from.exitNode, j)) return false;
    if (!j.present || j.cross.count == 1) return true;
    const int in = PositionIn(j.cross, from.item.linkId), out = PositionIn(j.cross, to.item.linkId);
    if (in < 0 || out < 0) return true;
    return ((j.cross.turns[in] >> out) & 1) != 0;
}

bool RpResult::LoadFacilities() {
    if (m_facilitiesLoaded) return true;
    m_facilitiesLoaded = true;
    m_facilityTable.clear();
    // The count is limited to the entries the file holds.
    const std::int32_t count = m_reader->ReadCodeCount();
    if (count <= 0) return true;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * mrformat::kCodeEntrySize);
    if (m_reader->ReadCodes(bytes.data(), count) != 1) return true; // no facilities on this route
    m_facilityTable.resize(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint8_t* p = bytes.data() + static_cast<std::size_t>(i) * mrformat::kCodeEntrySize;
        m_facilityTable[i] = Facility{mrformat::U16(p), mrformat::U16(p + 2), mrformat::U16(p + 4), p[6]};
    }
    return true;
}

bool RpResult::FindFacility(int map, int link, int direction, std::uint16_t& value) const {
    auto it = std::lower_bound(m_facilityTable.begin(), m_facilityTable.end(), map,
                               [](const Facility& f, int m) { return f.map < m; });
    for (; it != m_facilityTable.end() && it->map == map; ++it) {
        if (it->link != link) continue;
        if (it->condition == 0 || (it->condition == 1 && direction == 0) ||
            (it->condition == 2 && direction == 1)) {
            value = it->value;
            return true;
        }
    }
    return false;
}

// ---- building ----

void RpResult::AddShapePoints(const std::vector<NetXY>& points, std::uint16_t map) {
    for (const NetXY& p : points) {
        CPathPoint point;
        NetToMapCoord(p.x, p.y, point.x, point.y);
        m_shape.push_back(point);
        m_shapeMap.push_back(map);
    }
}

void RpResult::AddTravel(const LinkView& view, std::int32_t metres) {
    m_total += metres;
    m_timeSum += static_cast<float>(TravelSeconds(view.rec, view.direction, metres, m_useTraffic));
    if (LinkFields::From(view.rec).facility == 1) {
        m_highwayLength += metres;
        m_highway = true;
    }
}

bool RpResult::MakeItem(const LinkView& view, const LinkView* next, std::int32_t metres, bool last) {
    const std::uint16_t map = view.item.mapId, link = view.item.linkId;
    // A roundabout left by this link: the saved entry guide gets its exit code.
    if (m_ringOpen && !(view.rec[0] & 0x80) && view.polyline.size() >= 2) {
        if (m_ringGuide >= 0 && m_ringGuide < static_cast<int>(m_guides.size()))
            m_guides[m_ringGuide].guideCode = static_cast<std::uint8_t>(
                RoundaboutExitCode(m_ringBearing, Bearing(view.polyline[0], view.polyline[1])));
        m_ringOpen = false;
    }
    Junction j;
    if (!ReadJunction(map, view.exitNode, j)) return false;
    int code = 0;
    if (j.present && next && next->item.mapId == map && j.cross.guideOffset != mrformat::kNoGuideTable) {
        const int n = j.cross.count, in = PositionIn(j.cross, link),
                  out = PositionIn(j.cross, next->item.linkId);
        std::uint8_t table[mrformat::kMaxJunctionLinks * mrformat::kMaxJunctionLinks] = {};
        if (in >= 0 && out >= 0 && m_reader->ReadGuideCode(table, sizeof table, map, n, j.cross) == 1)
            code = table[in * n + out];
        else
            Log(__LINE__, "Get File Guide code error");
    }
    bool addItem = true;
    if (code == kRoundaboutEntry) {
        if (m_ringOpen) {
            addItem = false;
        } else if (view.polyline.size() >= 2) {
            m_ringOpen = true;
            m_ringBearing = Bearing(view.polyline[view.polyline.size() - 2], view.polyline.back());
            m_ringGuide = static_cast<int>(m_guides.size());
        }
    }
    int kind = kNone, guideCode = 0;
    bool named = false;
    // The goal's item is the goal also when a waypoint lies ahead of it on the same link.
    if (last) {
        kind = kGoalItem;
        guideCode = kGoal;
        named = true;
    } else if (view.item.legEnd) {
        kind = kWaypointItem;
        guideCode = code ? code : kWaypoint;
        named = true;
    } else if (code) {
        kind = kGuided;
        guideCode = code;
        named = true;
    } else if (j.present && j.cross.count == 1 && next && next->item.mapId == map &&
               next->item.linkId == link) {
        kind = kGuided;
        guideCode = kDeadEnd;
    }
    const int itemIndex = static_cast<int>(m_items.size());
    if (addItem) {
        if (itemIndex >= kMaxRouteItems) return Fail(__LINE__, "Memroy allocation error");
        CPathLinkItem item;
        item.mapId = map;
        item.linkId = link;
        item.direction = static_cast<std::uint8_t>(view.direction);
        item.kind = static_cast<std::uint8_t>(kind);
        item.facility = view.rec[1];
        const int nameLength = j.present ? j.cross.NameLength() : 0;
        if (named && nameLength >= 1 && nameLength <= 127) {
            char name[128] = {};
            if (m_reader->ReadCrossName(name, sizeof name, map, j.cross.head) == 1) {
                const std::string cut = CutCp949(std::string(name, static_cast<std::size_t>(nameLength)),
                                                 CPathLinkItem::kNameSize);
                std::memcpy(item.name, cut.data(), cut.size());
            } else {
                Log(__LINE__, "Get Cross name error");
            }
        }
        m_items.push_back(item);
        m_itemLength.push_back(metres);
        if (kind != kNone) {
            CRouteLinkKey guide;
            guide.linkId = link;
            guide.direction = static_cast<std::int16_t>(view.direction);
            guide.itemIndex = static_cast<std::int16_t>(itemIndex);
            guide.guideCode = static_cast<std::uint8_t>(guideCode);
            m_guides.push_back(guide);
            m_guideMap.push_back(map);
        }
    } else if (!m_itemLength.empty()) {
        m_itemLength.back() += metres; // the link's length stays with the item before it
    }
    if (view.rec[1] != 0) {
        LoadFacilities();
        std::uint16_t value = 0;
        if (FindFacility(map, link, view.direction, value)) {
            CPathGuideItem entry;
            entry.value = static_cast<std::int16_t>(value);
            entry.code = view.rec[1];
            // An entry whose link made no route item goes with the next route item.
            entry.itemIndex = static_cast<std::int16_t>(std::min(itemIndex, kMaxRouteItems - 1));
            m_facilities.push_back(entry);
        }
    }
    return true;
}

int RpResult::Build(const PathItem* input, int count, int writeFile) {
    m_blob.clear();
    {
        std::vector<std::uint8_t> prefix = std::move(m_prefix);
        Reset();
        m_prefix = std::move(prefix);
    }
    if (!input || count < 1 || !m_reader || !m_points) {
        Fail(__LINE__, "Memory allocate error");
        return 0;
    }
    m_useTraffic = m_state && m_state->UseTraffic() == 1;
    std::vector<PathItem> path(input, input + count);
    const LinkPos& goal = m_points->Goal();
    if (path.back().mapId != goal.mapId || path.back().linkId != goal.linkId) {
        PathItem g;
        g.mapId = goal.mapId;
        g.linkId = goal.linkId;
        g.nodeId = goal.nodeId;
        g.side = 1;
        path.push_back(g);
    }
    auto pointOf = [this](int kind, const LinkPos& pos) {
        NetXY p = m_points->RawPoint(kind);
        if (p.x == -1 || p.y == -1) p = NetXY{pos.x, pos.y};
        return p;
    };
    const NetXY startPoint = pointOf(PointManage::kStart, m_points->Start());
    const NetXY goalPoint = pointOf(PointManage::kGoal, goal);
    const int n = static_cast<int>(path.size());

    LinkView current, next;
    if (n == 1) {
        // Start and goal on one link, the goal ahead: the part of the link between them.
        if (!View(path[0], current)) return 0;
        if (!DirectionTest(current.rec, current.exitNode, 0) ||
            PositionAlong(current.polyline, goalPoint) < PositionAlong(current.polyline, startPoint))
            return Fail(__LINE__, "Get File link Error");
        const std::vector<NetXY> part =
            PartialPolyline(PartialPolyline(current.polyline, startPoint, true), goalPoint, false);
        const std::int32_t metres = PolylineMetres(part, current.map->xScale);
        AddTravel(current, metres);
        AddShapePoints(part, current.item.mapId);
        if (!MakeItem(current, nullptr, metres, true)) return 0;
        return Finish(writeFile) ? 1 : 0;
    }
    if (!View(path[0], current) || !View(path[1], next)) return 0;
    // The first link is a route link when the car drives it legally to where it leaves it and
    // may turn from it into the second link there. (Its own exit node is compared, never a
    // node id of the second item, which may belong to the next sheet.)
    if (TurnAllowed(current, next) && DirectionTest(current.rec, current.exitNode, 0)) {
        const std::vector<NetXY> part = PartialPolyline(current.polyline, startPoint, true);
        const std::int32_t metres = PolylineMetres(part, current.map->xScale);
        AddTravel(current, metres);
        AddShapePoints(part, current.item.mapId);
        if (!MakeItem(current, &next, metres, false)) return 0;
    } else {
        AddShapePoints(std::vector<NetXY>(current.polyline.begin() + 1, current.polyline.end()),
                       current.item.mapId);
    }
    // The middle links.
    for (int k = 1; k + 1 < n; ++k) {
        current = std::move(next);
        if (!View(path[k + 1], next)) return 0;
        const std::int32_t metres = mrformat::U16(current.rec + 8);
        AddTravel(current, metres);
        AddShapePoints(std::vector<NetXY>(current.polyline.begin() + 1, current.polyline.end()),
                       current.item.mapId);
        if (!MakeItem(current, &next, metres, false)) return 0;
        if (m_shape.size() > kMaxShapePoints) return Fail(__LINE__, "Memroy allocation error");
    }
    // The last link, on the goal's link. A route that cannot drive onto it is no route to the
    // goal: the build fails rather than end the route short of the goal.
    LinkView& lastView = next;
    if (!TurnAllowed(current, lastView) ||
        !DirectionTest(lastView.rec, lastView.item.nodeId, lastView.item.side))
        return Fail(__LINE__, "Get File link Error");
    const std::vector<NetXY> part = PartialPolyline(lastView.polyline, goalPoint, false);
    const std::int32_t metres = PolylineMetres(part, lastView.map->xScale);
    AddTravel(lastView, metres);
    AddShapePoints(std::vector<NetXY>(part.begin() + 1, part.end()), lastView.item.mapId);
    const std::size_t before = m_items.size();
    if (!MakeItem(lastView, nullptr, metres, true)) return 0;
    if (metres < kShortGoalPart && before > 0 && m_items.size() > before) m_items[before - 1].kind = kNone;
    return Finish(writeFile) ? 1 : 0;
}

bool RpResult::Finish(int writeFile) {
    if (m_items.empty()) return Fail(__LINE__, "Memroy allocation error");
    std::vector<std::uint16_t> itemMaps;
    for (const CPathLinkItem& item : m_items) itemMaps.push_back(item.mapId);
    if (!RunsFit(itemMaps, false) || !RunsFit(m_shapeMap, true) || !RunsFit(m_guideMap, false))
        return Fail(__LINE__, "Memroy allocation error");
    // Facility entries of links after the last route item go with the last one.
    for (CPathGuideItem& f : m_facilities)
        f.itemIndex =
            static_cast<std::int16_t>(std::min<int>(f.itemIndex, static_cast<int>(m_items.size()) - 1));

    // Remaining distances, from the total downward.
    std::int64_t remaining = m_total;
    for (std::size_t k = 0; k < m_items.size(); ++k) {
        m_items[k].remaining =
            static_cast<std::uint32_t>(std::clamp<std::int64_t>(remaining, 0, 0xFFFFFFFFll));
        remaining -= m_itemLength[k];
    }
    m_totalLength = static_cast<std::int32_t>(std::min<std::int64_t>(m_total, 0x7fffffff));
    m_totalTime = Trunc(m_timeSum);
    const std::int32_t share =
        m_highway && m_total > 0 ? static_cast<std::int32_t>(m_highwayLength * 100 / m_total) : 0;

    CRoutePath path;
    for (const CPathLinkRef& r : MakeRuns(itemMaps, false)) path.ItemRuns().Add(r);
    for (const CPathLinkItem& i : m_items) path.Items().Add(i);
    for (const CPathLinkRef& r : MakeRuns(m_shapeMap, true)) path.PointRuns().Add(r);
    for (const CPathPoint& p : m_shape) path.Points().Add(p);
    for (const CPathLinkRef& r : MakeRuns(m_guideMap, false)) path.GuideRuns().Add(r);
    for (const CRouteLinkKey& g : m_guides) path.Guides().Add(g);
    for (const CPathGuideItem& f : m_facilities) path.Facilities().Add(f);
    path.SetHeader(CRoutePath::kLength, m_totalLength);
    path.SetHeader(CRoutePath::kTime, m_totalTime);
    path.SetHeader(CRoutePath::kHighway, m_highway ? 1 : 0);
    path.SetHeader(CRoutePath::kHighwayShare, share);
    path.SyncCounts();
    std::int64_t offset = static_cast<std::int64_t>(m_prefix.size()) + CRoutePath::kHeaderSize;
    const int sizes[7] = {CPathLinkRef::kSize, CPathLinkItem::kSize, CPathLinkRef::kSize,  CPathPoint::kSize,
                          CPathLinkRef::kSize, CRouteLinkKey::kSize, CPathGuideItem::kSize};
    for (int v = 0; v < 7; ++v) {
        const int at = CRoutePath::kItemRuns + 2 * v;
        path.SetHeader(at, static_cast<std::int32_t>(offset));
        offset += static_cast<std::int64_t>(path.Header(at + 1)) * sizes[v];
    }
    if (offset > 0x7fffffff) return Fail(__LINE__, "Memroy allocation error");
    const std::vector<std::uint8_t> stream = path.Pack();
    m_blob.reserve(m_prefix.size() + stream.size());
    m_blob.assign(m_prefix.begin(), m_prefix.end());
    m_blob.insert(m_blob.end(), stream.begin(), stream.end());

    if (writeFile) {
        CreateDirectoryW(u"\\My Documents", nullptr);
        CreateDirectoryW(u"\\My Documents\\Velko", nullptr);
        if (!ReplaceFileContents(CString(kRouteTablePath), m_blob)) {
            Log(__LINE__, "File Open Error");
            m_blob.clear();
            return false;
        }
    }
    return true;
}
