#include "route/RouteManager.h"

#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "route/RpResult.h"
#include "route/base/ErrorLog.h"
#include "route/base/Coords.h"
#include "route/base/TextTruncate.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

namespace {

constexpr std::int32_t kNameField = RouteHeader::kNameSize;

bool SameMapAndLink(const LinkPos& a, const LinkPos& b) {
    return a.mapId == b.mapId && a.linkId == b.linkId;
}

// A waypoint entry that repeats pos: the same map and either the same link or the same node.
bool RepeatsWaypoint(const RouteWaypointVector& waypoints, const LinkPos& pos) {
    for (int i = 0; i < waypoints.Count(); ++i) {
        const LinkPos& w = waypoints[i].pos;
        if (w.mapId == pos.mapId && (w.linkId == pos.linkId || w.nodeId == pos.nodeId)) return true;
    }
    return false;
}

// A start or goal name: CP949 of the text, cut to 20 bytes with dots when longer.
void StoreLongName(char* field, const CString& name) {
    std::string bytes =
        Utf16ToCp949(std::u16string_view(name.GetString(), static_cast<std::size_t>(name.GetLength())));
    bytes = bytes.substr(0, strnlen(bytes.c_str(), bytes.size()));
    // The working buffer grows with the text, so no name overruns it.
    std::vector<char> buffer(std::max<std::size_t>(256, bytes.size() + 1), 0);
    std::memcpy(buffer.data(), bytes.data(), bytes.size());
    TruncateWithDots(buffer.data(), buffer.size(), kNameField);
    std::memset(field, 0, kNameField);
    std::memcpy(field, buffer.data(),
                std::min<std::size_t>(strnlen(buffer.data(), buffer.size()), kNameField));
}

CString NameToText(const char* field) {
    return CString(Cp949ToUtf16(RouteHeader::NameBytes(field)));
}

std::string TextToCp949(const CString& text) {
    std::string bytes =
        Utf16ToCp949(std::u16string_view(text.GetString(), static_cast<std::size_t>(text.GetLength())));
    return bytes.substr(0, strnlen(bytes.c_str(), bytes.size()));
}

POINT NoPoint() {
    POINT p;
    p.x = -1;
    p.y = -1;
    return p;
}

} // namespace

// ---- CRoute ----

CRoute::CRoute() : header(std::make_unique<RouteHeader>()), path(std::make_unique<CRoutePath>()) {}

int CRoute::SetKind(int kind) {
    if (kind < 0 || kind > 4) return 0;
    header->kind = kind;
    return 1;
}

void CRoute::AttachEngine(CRoutePlan* e, const std::vector<MapBox>* b) {
    if (e) engine = e;
    if (b) boxes = b;
}

int CRoute::Search() {
    if (!engine) return CRouteManager::kUnreadableResult;
    switch (header->kind) {
    case 1:
        engine->SetSearchParams(0, useTraffic, 0, vehicleStart);
        break;
    case 2:
        engine->SetSearchParams(3, useTraffic, 0, vehicleStart);
        break;
    case 3:
        engine->SetSearchParams(1, useTraffic, 0, vehicleStart);
        break;
    case 4:
        engine->SetSearchParams(1, useTraffic, 1, vehicleStart);
        break;
    default:
        break;
    }
    if (reverse) {
        if (waypoints.Count() > 0) return CRouteManager::kReverseWithWaypoints;
        std::swap(start, goal);
        std::swap(header->start, header->goal);
        char name[kNameField];
        std::memcpy(name, header->startName, kNameField);
        std::memcpy(header->startName, header->goalName, kNameField);
        std::memcpy(header->goalName, name, kNameField);
        CRoutePlan::PointResult r = engine->SetPoint(0, header->start.x, header->start.y);
        if (r.result > 0) start = r.pos;
        r = engine->SetPoint(1, header->goal.x, header->goal.y);
        if (r.result > 0) goal = r.pos;
    }
    if (vehicleStart == 1 || start.nodeId == 0xFFFF)
        engine->SetPointOnLink(0, start.mapId, start.linkId, header->start.x, header->start.y);
    else
        engine->SetPointRecord(0, start, header->start.x, header->start.y);

    header->ClearWaypoints();
    std::vector<RoutePoint> points{header->start};
    // The engine keeps no waypoints of an earlier search or attachment.
    engine->ClearWaypoints();
    for (int i = 0; i < waypoints.Count() && i < kMaxWaypoints; ++i) {
        const RouteWaypoint& w = waypoints[i];
        engine->SetPointRecord(2, w.pos, w.x, w.y);
        header->waypoints[i] = RoutePoint{w.x, w.y};
        RouteHeader::SetName(header->waypointNames[i], TextToCp949(w.name), kWaypointNameBytes);
        points.push_back(header->waypoints[i]);
    }
    engine->SetPointRecord(1, goal, header->goal.x, header->goal.y);
    points.push_back(header->goal);

    double total = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i)
        total += StraightLineMetres(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    if (total > CRouteManager::kMaxRouteMetres) return CRouteManager::kTooFar;

    std::uint8_t prefix[RouteHeader::kSize] = {};
    header->Write(prefix);

    const auto began = std::chrono::steady_clock::now();
    int code = engine->Search();
    searchMilliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    std::vector<std::uint8_t> blob;
    if (code == CRoutePlan::kFound) {
        RpResult result;
        const std::vector<PathItem>& items = engine->RoutePath();
        if (!result.Init(&engine->Points(), &engine->Reader(), &engine->State())) {
            code = CRouteManager::kResultFailed;
        } else {
            result.SetPrefix(prefix, RouteHeader::kSize);
            if (result.Build(items.data(), static_cast<int>(items.size()), vehicleStart & 1))
                blob = result.Blob();
            else
                code = CRouteManager::kResultFailed;
        }
        // The engine's line for a route it found but could not turn into a result.
        if (code == CRouteManager::kResultFailed)
            ErrorLog::Instance().WriteErrorLog(__LINE__, "VelkoRoutePlan", "make result file Error");
    }
    if (code != CRoutePlan::kFound) {
        engine->Release();
        path->Clear();
        hasResult = 0;
        return code;
    }
    reverse = 0;
    hasResult = 1;
    engine->Release();
    // The result is always the blob of this search: an older route table file is never read
    // in its place.
    if (blob.empty() || !ReadBuffer(blob.data(), static_cast<std::int32_t>(blob.size()))) {
        path->Clear();
        hasResult = 0;
        return CRouteManager::kUnreadableResult;
    }
    ComputeOverview();
    return CRouteManager::kOk;
}

void CRoute::ComputeOverview() {
    if (!path->IsValid() || path->Points().Count() < 2) return;
    std::int32_t minX = 480000, maxX = 0, minY = 660000, maxY = 0;
    for (const CPathPoint& p : path->Points().Items()) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const std::int64_t w = static_cast<std::int64_t>(maxX) - minX, h = static_cast<std::int64_t>(maxY) - minY;
    static constexpr std::int64_t kSteps[9] = {640000, 160000, 40000, 10000, 5000, 2000, 1000, 500, 250};
    zoomStep = 1;
    for (int i = 8; i >= 1; --i) {
        if (std::max(w, h) <= kSteps[i]) {
            zoomStep = i + 1;
            break;
        }
    }
    scale = static_cast<float>(static_cast<double>(std::min(w, h)) * 1.7361111111111112e-6);
    centreX = static_cast<std::int32_t>(minX + w / 2);
    centreY = static_cast<std::int32_t>(minY + h / 2);
}

bool CRoute::ReadBuffer(const void* buffer, std::int32_t size) {
    if (!buffer || size < RouteHeader::kSize) return false;
    CMemReader reader(buffer, size);
    if (!header->Read(reader)) return false;
    return path->Read(reader) > 0;
}

bool CRoute::Load(CBinFile& file) {
    return header->Load(file) && path->Load(file) > 0;
}

bool CRoute::LoadResultFile() {
    CBinFile file;
    if (file.Open(kRouteTablePath, CBinFile::kModeRead) != 0) return false;
    const bool ok = Load(file);
    file.Close();
    return ok;
}

// ---- CRouteManager: life cycle ----

CRouteManager::CRouteManager() : m_edited(std::make_unique<CRoute>()) {
    m_results.reserve(4);
}

CRouteManager::~CRouteManager() {
    Release();
}

int CRouteManager::Init(const CString& dataFolder) {
    // The engine reads the map records kept here: it goes before they are read again.
    if (m_edited) m_edited->engine = nullptr;
    for (auto& route : m_results) route->engine = nullptr;
    m_engine.reset();
    m_dataFolder = dataFolder;
    CBinFile file;
    if (file.Open(dataFolder + u"\\MRData\\MRManage.bin", CBinFile::kModeRead) != 0) return 0;
    std::uint16_t count = 0;
    const long size = file.GetSize();
    if (file.Read(count) != 2 ||
        file.Read(m_manageHeader, sizeof m_manageHeader) != static_cast<int>(sizeof m_manageHeader) ||
        count < 1 || count > 9999 ||
        size < static_cast<long>(mrformat::kManageHeaderSize) +
                   static_cast<long>(count) * mrformat::kMapRecordSize) {
        file.Close();
        return 0;
    }
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(count) * mrformat::kMapRecordSize);
    if (file.Read(raw.data(), static_cast<int>(raw.size())) != static_cast<int>(raw.size())) {
        file.Close();
        return 0;
    }
    file.Close();
    m_mapCount = count;
    m_records.assign(count, MRMapRecord());
    m_recordBoxes.assign(count, MRBox());
    m_netBoxes.assign(count, MapBox());
    m_mapBoxes.assign(count, MapBox());
    for (int i = 0; i < count; ++i) {
        MRMapRecord& r = m_records[i];
        r.Unpack(raw.data() + static_cast<std::size_t>(i) * mrformat::kMapRecordSize);
        m_recordBoxes[i] = MRBox{r.west, r.south, r.east, r.north};
        m_netBoxes[i] = MapBox{r.west, r.south, r.east, r.north};
        MapBox& m = m_mapBoxes[i];
        NetToMapCoord(r.west, r.south, m.x1, m.y1);
        NetToMapCoord(r.east, r.north, m.x2, m.y2);
    }
    if (!ReadNeighbourTable()) return 0;
    return CreateEngine();
}

bool CRouteManager::ReadNeighbourTable() {
    CBinFile file;
    m_neighbours.clear();
    if (file.Open(m_dataFolder + u"\\MRData\\MRNeighb.bin", CBinFile::kModeRead) != 0) return false;
    const long size = file.GetSize();
    if (size < 0) return false;
    m_neighbours.resize(static_cast<std::size_t>(size));
    const int got = size > 0 ? file.Read(m_neighbours.data(), static_cast<int>(size)) : 0;
    file.Close();
    return got == size;
}

int CRouteManager::CreateEngine() {
    // No route keeps a pointer to the engine that is about to go.
    if (m_edited) m_edited->engine = nullptr;
    for (auto& route : m_results) route->engine = nullptr;
    m_engine.reset();
    auto engine = std::make_unique<CRoutePlan>();
    // The reader takes the map records and boxes the manager read; the engine reads the
    // neighbour table through its own reader.
    if (!engine->Init(m_dataFolder, m_records.empty() ? nullptr : m_records.data(),
                      m_recordBoxes.empty() ? nullptr : m_recordBoxes.data(),
                      static_cast<int>(m_records.size())))
        return 0;
    m_engine = std::move(engine);
    return 1;
}

void CRouteManager::Release() {
    m_engine.reset();
    m_records.clear();
    m_recordBoxes.clear();
    m_netBoxes.clear();
    m_mapBoxes.clear();
    m_neighbours.clear();
    m_results.clear();
    Select(nullptr);
    m_selectedIndex = -1;
    m_edited = std::make_unique<CRoute>();
}

void CRouteManager::StopSearch() {
    if (m_engine) m_engine->SetStop(1);
}

// ---- editing ----

int CRouteManager::SetStart(int x, int y, const CString& name) {
    if (!m_engine) return -1;
    std::int32_t nx = 0, ny = 0;
    MapToNetCoord(x, y, nx, ny);
    CRoutePlan::PointResult r = m_engine->SetPoint(0, nx, ny);
    if (r.result < 1) return r.result;
    if (RepeatsWaypoint(m_edited->waypoints, r.pos)) return 0;
    // The goal's own place is refused; another place on the goal's link makes a route along it.
    if (SameMapAndLink(m_edited->goal, r.pos) && m_edited->header->goal.x == nx && m_edited->header->goal.y == ny)
        return 0;
    m_edited->header->start = RoutePoint{nx, ny};
    m_edited->startSet = 1;
    StoreLongName(m_edited->header->startName, name);
    m_edited->startText = name;
    m_edited->start = r.pos;
    return r.result;
}

int CRouteManager::SetGoal(int x, int y, const CString& name) {
    if (!m_engine) return -1;
    std::int32_t nx = 0, ny = 0;
    MapToNetCoord(x, y, nx, ny);
    CRoutePlan::PointResult r = m_engine->SetPoint(1, nx, ny);
    if (r.result < 1) return r.result;
    if (RepeatsWaypoint(m_edited->waypoints, r.pos)) return 0;
    if (SameMapAndLink(m_edited->start, r.pos) && m_edited->header->start.x == nx &&
        m_edited->header->start.y == ny)
        return 0;
    m_prevGoal = m_edited->header->goal;
    std::memset(m_prevGoalName, 0, sizeof m_prevGoalName);
    std::memcpy(m_prevGoalName, m_edited->header->goalName, kNameField);
    m_prevGoalPos = m_edited->goal;
    m_edited->header->goal = RoutePoint{nx, ny};
    m_edited->goalSet = 1;
    StoreLongName(m_edited->header->goalName, name);
    m_edited->goalText = name;
    m_edited->goal = r.pos;
    return r.result;
}

int CRouteManager::SetStartAtCurrentPos(std::uint16_t mapId, std::uint16_t linkId, std::uint32_t extra, int x,
                                        int y) {
    LinkPos pos;
    pos.mapId = mapId;
    pos.linkId = linkId;
    pos.extra = extra;
    m_edited->start = pos;
    m_edited->header->start = RoutePoint{x, y};
    RouteHeader::SetName(m_edited->header->startName, Utf16ToCp949(u"현위치"));
    m_edited->startText = u"현위치";
    m_edited->startSet = 1;
    return 1;
}

int CRouteManager::InsertWaypoint(int x, int y, const CString& name, int index) {
    if (!m_engine) return -1;
    RouteWaypointVector& list = m_edited->waypoints;
    // The header has five slots: an index past the end, or a sixth waypoint, is refused.
    if (index < 0 || index > list.Count() || (index == list.Count() && list.Count() >= CRoute::kMaxWaypoints))
        return 0;
    std::int32_t nx = 0, ny = 0;
    MapToNetCoord(x, y, nx, ny);
    CRoutePlan::PointResult r = m_engine->SetPoint(2, nx, ny);
    m_engine->ClearWaypoints();
    if (RepeatsWaypoint(list, r.pos)) return kRepeatedWaypoint;
    if (r.result < 1) return r.result;
    const LinkPos& s = m_edited->start;
    const LinkPos& g = m_edited->goal;
    if (s.mapId == r.pos.mapId && (s.nodeId == r.pos.nodeId || s.linkId == r.pos.linkId)) return 0;
    if (g.mapId == r.pos.mapId && (g.nodeId == r.pos.nodeId || g.linkId == r.pos.linkId)) return 0;
    RouteWaypoint w;
    w.pos = r.pos;
    w.x = nx;
    w.y = ny;
    w.name = name;
    m_edited->waypointsChanged = 1;
    if (index < list.Count())
        list[index] = w;
    else
        list.Add(w);
    return r.result;
}

void CRouteManager::RemoveWaypoint(int i) {
    RouteWaypointVector& list = m_edited->waypoints;
    if (i < 0 || i >= list.Count()) return;
    list.Erase(i, i + 1);
    m_edited->waypointsChanged = 1;
}

void CRouteManager::MoveWaypointUp(int i) {
    RouteWaypointVector& list = m_edited->waypoints;
    if (i < 1 || i >= list.Count()) return;
    std::swap(list[i], list[i - 1]);
    m_edited->waypointsChanged = 1;
}

void CRouteManager::MoveWaypointDown(int i) {
    RouteWaypointVector& list = m_edited->waypoints;
    if (i < 0 || i >= CRoute::kMaxWaypoints || i + 1 >= list.Count()) return;
    std::swap(list[i], list[i + 1]);
    m_edited->waypointsChanged = 1;
}

void CRouteManager::RestorePrevGoal() {
    if (m_prevGoal.IsSet()) {
        m_edited->goalSet = 1;
        m_edited->header->goal = m_prevGoal;
        std::memcpy(m_edited->header->goalName, m_prevGoalName, kNameField);
        m_edited->goal = m_prevGoalPos;
    } else {
        m_edited->goalSet = 0;
        m_edited->header->goal = RoutePoint();
    }
}

int CRouteManager::CheckPoints() {
    const RouteHeader& h = *m_edited->header;
    if (h.start.x == -1 || h.start.y == -1) return kNoStart;
    if (h.goal.IsSet()) return kOk;
    return kNoGoal;
}

// ---- searching ----

int CRouteManager::Search(int vehicleStart) {
    m_edited->AttachEngine(m_engine.get(), &m_mapBoxes);
    m_edited->vehicleStart = vehicleStart;
    int code = CheckPoints();
    if (code != kOk) return code;
    if (!m_engine) return FinishSearch(kUnreadableResult);
    return FinishSearch(m_edited->Search());
}

int CRouteManager::FinishSearch(int code) {
    if (code == kOk) {
        m_lastSearch = 1;
        m_loadedFromFile = false;
        if (m_routeChoice) {
            m_progressCounter = -1;
            return kOk;
        }
    } else {
        m_lastSearch = 0;
    }
    CreateEngine();
    m_progressCounter = -1;
    return code;
}

int CRouteManager::SearchRoute() {
    return Search(0);
}

int CRouteManager::SearchRouteFromCurrentPos() {
    return Search(1);
}

int CRouteManager::Reroute() {
    m_rerouting = 1;
    RouteWaypointVector& list = m_edited->waypoints;
    if (m_progressCounter != -1 && m_progressCounter != list.Count() && m_passedWaypoints > 0)
        list.Erase(0, std::min(m_passedWaypoints, list.Count()));
    const RoutePoint& from = m_edited->header->start;
    int nearest = -1;
    for (int i = 0; i < list.Count(); ++i)
        if (StraightLineMetres(from.x, from.y, list[i].x, list[i].y) < kRerouteNearMetres) nearest = i;
    if (nearest >= 0) list.Erase(0, nearest + 1);

    m_edited->AttachEngine(m_engine.get(), &m_mapBoxes);
    m_edited->vehicleStart = 1;
    if (m_selected && m_selected != m_edited.get()) {
        m_edited->goal = m_selected->goal;
        m_edited->header->goal = m_selected->header->goal;
        std::memcpy(m_edited->header->goalName, m_selected->header->goalName, kNameField);
    }
    int code = CheckPoints();
    if (code != kOk) {
        m_rerouting = 0;
        return code;
    }
    code = FinishSearch(m_engine ? m_edited->Search() : kUnreadableResult);
    m_rerouting = 0;
    return code;
}

void CRouteManager::CopyRouteForEditing(const CRoute& from, CRoute& to) {
    to.start = from.start;
    to.startText = from.startText;
    to.goal = from.goal;
    to.goalText = from.goalText;
    to.waypoints = from.waypoints;
    *to.header = *from.header;
    to.reverse = from.reverse;
    to.zoomStep = from.zoomStep;
    to.centreX = from.centreX;
    to.centreY = from.centreY;
    to.useTraffic = from.useTraffic;
    m_prevGoal = RoutePoint();
    std::memset(m_prevGoalName, 0, sizeof m_prevGoalName);
    m_prevGoalPos.Reset();
}

int CRouteManager::CommitRoute() {
    auto copy = std::make_unique<CRoute>();
    CopyRouteForEditing(*m_edited, *copy);
    m_results.push_back(std::move(m_edited));
    m_edited = std::move(copy);
    Select(m_results.back().get());
    m_selectedIndex = static_cast<int>(m_results.size()) - 1;
    return 1;
}

void CRouteManager::AcceptSelectedResult() {
    if (!m_results.empty()) {
        const int k = m_results.size() >= 2 && m_selectedIndex >= 0 && m_selectedIndex < GetRouteCount()
                          ? m_selectedIndex
                          : 0;
        m_routeActive = 1;
        KeepOnlyResult(k);
        Select(m_results.front().get());
        m_selectedIndex = 0;
        m_edited->header->kind = m_selected->header->kind;
    }
    CreateEngine();
}

int CRouteManager::SelectResult(int kind) {
    if (m_results.empty()) return 1;
    if (kind == 0) {
        Select(m_results.front().get());
        m_selectedIndex = 0;
        return 1;
    }
    for (int i = GetRouteCount() - 1; i >= 0; --i) {
        if (m_results[i]->header->kind == kind) {
            Select(m_results[i].get());
            m_selectedIndex = i;
            break;
        }
    }
    return 1;
}

void CRouteManager::ClearResults() {
    m_results.clear();
    Select(nullptr);
    m_selectedIndex = -1;
}

void CRouteManager::KeepOnlyResult(int k) {
    if (k < 0 || k >= GetRouteCount()) return;
    std::unique_ptr<CRoute> keep = std::move(m_results[static_cast<std::size_t>(k)]);
    m_results.clear();
    m_results.push_back(std::move(keep));
}

int CRouteManager::GetResultId(int i) const {
    if (i < 0 || i >= GetRouteCount()) return -1;
    return m_results[static_cast<std::size_t>(i)]->header->kind;
}

// ---- following ----

bool CRouteManager::UpdateProgress(std::uint16_t mapId, std::uint16_t linkId, int c, int d, int* counter) {
    if (!m_selected) return false;
    int ahead = 0;
    if (!m_selected->path->UpdateProgress(mapId, linkId, c, d, ahead)) return false;
    m_progressCounter = ahead;
    if (counter) *counter = ahead;
    m_passedWaypoints = std::max(0, m_selected->waypoints.Count() - ahead);
    return true;
}

// ---- queries ----

POINT CRouteManager::HeaderPoint(const RoutePoint& p) const {
    POINT out;
    std::int32_t x = 0, y = 0;
    NetToMapCoord(p.x, p.y, x, y);
    out.x = x;
    out.y = y;
    return out;
}

POINT CRouteManager::GetStartPos() const {
    if (m_selected && m_selected->header->start.IsSet()) return HeaderPoint(m_selected->header->start);
    if (m_edited->header->start.IsSet()) return HeaderPoint(m_edited->header->start);
    return NoPoint();
}

POINT CRouteManager::GetGoalPos() const {
    if (m_selected && m_selected->header->goal.IsSet()) return HeaderPoint(m_selected->header->goal);
    if (m_edited->header->goal.IsSet()) return HeaderPoint(m_edited->header->goal);
    return NoPoint();
}

POINT CRouteManager::GetTargetPos() const {
    if (m_pinnedX != -1 && m_pinnedY != -1) {
        POINT p;
        p.x = m_pinnedX;
        p.y = m_pinnedY;
        return p;
    }
    return GetGoalPos();
}

POINT CRouteManager::GetWaypointPos(int i) const {
    const RouteWaypointVector& list = m_edited->waypoints;
    if (i < 0 || i >= list.Count() || list[i].x == -1 || list[i].y == -1) return NoPoint();
    return HeaderPoint(RoutePoint{list[i].x, list[i].y});
}

CString CRouteManager::GetStartName() const {
    const CRoute* route = m_selected ? m_selected : m_edited.get();
    return NameToText(route->header->startName);
}

CString CRouteManager::GetGoalName() const {
    const CRoute* route = m_selected ? m_selected : m_edited.get();
    return NameToText(route->header->goalName);
}

const char* CRouteManager::GetGoalNameA() {
    const CRoute* route = m_selected ? m_selected : m_edited.get();
    std::memset(m_nameBuffer, 0, sizeof m_nameBuffer);
    std::memcpy(m_nameBuffer, route->header->goalName, kNameField);
    return m_nameBuffer;
}

CString CRouteManager::GetWaypointName(int i) const {
    if (i < 0 || i >= RouteHeader::kWaypoints) return CString();
    return NameToText(m_edited->header->waypointNames[i]);
}

const char* CRouteManager::GetWaypointNameA(int i) {
    std::memset(m_nameBuffer, 0, sizeof m_nameBuffer);
    if (i >= 0 && i < RouteHeader::kWaypoints)
        std::memcpy(m_nameBuffer, m_edited->header->waypointNames[i], kNameField);
    return m_nameBuffer;
}

CString CRouteManager::GetWaypointLabel(int i) const {
    if (i < 0 || i >= m_edited->waypoints.Count()) return CString();
    return m_edited->waypoints[i].name;
}

bool CRouteManager::HasGoal() const {
    return (m_selected && m_selected->header->goal.IsSet()) || m_edited->header->goal.IsSet();
}

float CRouteManager::GetRouteScale() const {
    return m_selected ? m_selected->scale : 0.0f;
}

bool CRouteManager::IsGoalMissing() const {
    return m_edited->header->goal.x == -1 || m_edited->header->goal.y == -1;
}

void CRouteManager::ClearWaypoints() {
    m_edited->waypoints.Clear();
    m_edited->header->ClearWaypoints();
}

int CRouteManager::GetRouteOption(int i) const {
    if (m_results.empty()) return m_edited->hasResult;
    if (i < 0 || i >= GetRouteCount()) return 0;
    return m_results[static_cast<std::size_t>(i)]->hasResult;
}

bool CRouteManager::ClearRoute() {
    for (CRoute* route : {m_selected, m_edited.get()}) {
        if (!route) continue;
        route->path->Clear();
        route->hasResult = 0;
        route->waypoints.Clear();
        route->header->ClearWaypoints();
        route->start.Reset();
        route->goal.Reset();
        route->startSet = 0;
        route->waypointsChanged = 0;
        route->reverse = 0;
        route->vehicleStart = 0;
    }
    if (m_engine) m_engine->Release();
    m_pinnedX = m_pinnedY = -1;
    m_pinnedName = CString();
    m_pinnedPos.Reset();
    m_loadedFromFile = false;
    return DeleteFileW(kRouteTablePath) != 0;
}

void CRouteManager::SetPinnedPoint(int x, int y) {
    m_pinnedX = x;
    m_pinnedY = y;
}

// ---- route files ----

bool CRouteManager::SaveRouteFile(const char16_t* fileName) {
    if (!m_selected) return false;
    const bool table = !fileName || !*fileName;
    if (table) {
        CreateDirectoryW(u"\\My Documents", nullptr);
        CreateDirectoryW(u"\\My Documents\\Velko", nullptr);
    }
    std::vector<std::uint8_t> bytes(RouteHeader::kSize);
    m_selected->header->Write(bytes.data());
    const std::vector<std::uint8_t> stream = m_selected->path->Pack();
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    return ReplaceFileContents(table ? CString(kRouteTablePath) : CString(fileName), bytes);
}

bool CRouteManager::LoadRouteFile(const char16_t* fileName) {
    const CString name = fileName && *fileName ? CString(fileName) : CString(kRouteTablePath);
    CRoute scratch;
    bool loaded = false;
    {
        CBinFile file;
        if (file.Open(name, CBinFile::kModeRead) == 0) {
            loaded = scratch.Load(file);
            file.Close();
        }
    }
    if (!loaded) {
        // The current results stay; the route being edited becomes the one shown.
        Select(m_edited.get());
        m_selectedIndex = -1;
        return false;
    }
    ClearResults();
    std::swap(m_edited->header, scratch.header);
    std::swap(m_edited->path, scratch.path);
    // Nothing of the route edited before is carried into the loaded one.
    m_edited->start.Reset();
    m_edited->goal.Reset();
    m_edited->startText = CString();
    m_edited->goalText = CString();
    m_edited->waypoints.Clear();
    m_edited->AttachEngine(m_engine.get(), &m_mapBoxes);
    m_edited->hasResult = 1;
    m_routeActive = 1;
    m_edited->ComputeOverview();
    RebindLoadedRoute();
    CommitRoute();
    m_loadedFromFile = fileName && *fileName;
    return true;
}

bool CRouteManager::RebindLoadedRoute() {
    if (!m_engine) return false;
    CRoute& route = *m_edited;
    const RouteHeader& h = *route.header;
    if (!h.start.IsSet()) return true;
    CRoutePlan::PointResult r = m_engine->SetPoint(0, h.start.x, h.start.y);
    route.start = r.pos;
    route.startText = NameToText(h.startName);
    if (!h.goal.IsSet()) return true;
    r = m_engine->SetPoint(1, h.goal.x, h.goal.y);
    route.goal = r.pos;
    route.goalText = NameToText(h.goalName);
    route.waypoints.Clear();
    for (int i = 0; i < RouteHeader::kWaypoints; ++i) {
        if (!h.waypoints[i].IsSet()) continue;
        r = m_engine->SetPoint(2, h.waypoints[i].x, h.waypoints[i].y);
        RouteWaypoint w;
        w.pos = r.pos;
        w.x = h.waypoints[i].x;
        w.y = h.waypoints[i].y;
        w.name = NameToText(h.waypointNames[i]);
        route.waypoints.Add(w);
    }
    m_engine->ClearWaypoints();
    return true;
}
