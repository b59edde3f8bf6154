// The application's front end to route planning: the map directory of the road network, the
// route engine, the route being edited (start, up to five waypoints, goal), the searched
// routes and the selected one, progress along it, re-routing from the vehicle, and the route
// files. Each route is a CRoute; CRoute::Search is the only place that drives the engine's
// search. Coordinates at this interface are map coordinates unless stated.
#pragma once

#include "platform/base/CString.h"
#include "route/MRFormat.h"
#include "route/RouteFile.h"
#include "route/RoutePath.h"
#include "route/RouteMapView.h"
#include "route/RoutePlan.h"
#include "route/base/RouteTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

// A map's bounding box: x1, y1, x2, y2.
struct MapBox {
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

class CRoute {
public:
    static constexpr int kMaxWaypoints = RouteHeader::kWaypoints;
    // Waypoint names keep at most 19 bytes and a terminator.
    static constexpr int kWaypointNameBytes = RouteHeader::kNameSize - 1;

    CRoute();
    ~CRoute() = default;
    CRoute(const CRoute&) = delete;
    CRoute& operator=(const CRoute&) = delete;

    bool IsEdited() const { return startSet || goalSet || waypointsChanged; }
    int SetKind(int kind);
    void AttachEngine(CRoutePlan* engine, const std::vector<MapBox>* boxes);
    // Runs the search of this route on the attached engine: 0 or a route code.
    int Search();
    void ComputeOverview();

    // The route file pieces.
    bool Load(CBinFile& file);
    bool ReadBuffer(const void* buffer, std::int32_t size);
    bool LoadResultFile();

    // Drawing on the map: the path as a band (an outer pen of width, an inner one of width -
    // reduction) over every visible section, and the start, waypoint and goal markers.
    void DrawPath(CDC* dc, IRouteMapView& map, int width, int reduction, COLORREF outer, COLORREF inner) const;
    void DrawMarkers(CDC* dc, IRouteMapView& map) const;
    // The band colours of a route kind (kinds outside 0..4 take kind 0's).
    static void KindColours(int kind, COLORREF& outer, COLORREF& inner);

    LinkPos start;
    CString startText;
    RouteWaypointVector waypoints;
    LinkPos goal;
    CString goalText;
    std::unique_ptr<RouteHeader> header;
    CRoutePlan* engine = nullptr;
    std::unique_ptr<CRoutePath> path;
    const std::vector<MapBox>* boxes = nullptr;
    std::int32_t zoomStep = 1;
    std::int32_t centreX = -1, centreY = -1;
    float scale = 0.0f;
    std::uint8_t hasResult = 0, startSet = 0, goalSet = 0, waypointsChanged = 0;
    std::uint8_t reverse = 0;
    std::int32_t vehicleStart = 0;
    std::int32_t useTraffic = 0;
    // Milliseconds the last engine search took (for the route tool's report).
    double searchMilliseconds = 0.0;
};

class CRouteManager {
public:
    // The codes the engine also gives are the engine's own.
    enum Code {
        kOk = CRoutePlan::kFound,
        kUnreadableResult = CRoutePlan::kInternal,
        kNoStart = CRoutePlan::kNoStart,
        kNoGoal = CRoutePlan::kNoGoal,
        kRepeatedWaypoint = 10,
        kResultFailed = CRoutePlan::kResultFailed,
        kTooFar = CRoutePlan::kBadDistance,
        kReverseWithWaypoints = 41,
    };
    // The straight-line limit of a whole route, metres.
    static constexpr double kMaxRouteMetres = 700000.0;
    // Waypoints nearer than this to the vehicle are dropped by a re-route, metres.
    static constexpr double kRerouteNearMetres = 800.0;

    CRouteManager();
    ~CRouteManager();
    CRouteManager(const CRouteManager&) = delete;
    CRouteManager& operator=(const CRouteManager&) = delete;

    int Init(const CString& dataFolder);
    int CreateEngine();
    void Release();
    void StopSearch();

    // Editing.
    int SetStart(int x, int y, const CString& name);
    int SetGoal(int x, int y, const CString& name);
    int SetStartAtCurrentPos(std::uint16_t mapId, std::uint16_t linkId, std::uint32_t extra, int x, int y);
    int InsertWaypoint(int x, int y, const CString& name, int index);
    void RemoveWaypoint(int i);
    void MoveWaypointUp(int i);
    void MoveWaypointDown(int i);
    void RestorePrevGoal();
    int CheckPoints();
    void SetRouteKind(int kind) { m_edited->SetKind(kind); }
    void SetUseTraffic(int on) { m_edited->useTraffic = on; }
    void SetReverse(bool on) { m_edited->reverse = on ? 1 : 0; }

    // Searching.
    int SearchRoute();
    int SearchRouteFromCurrentPos();
    int Reroute();
    int CommitRoute();
    void AcceptSelectedResult();
    int SelectResult(int kind);
    void ClearResults();
    void KeepOnlyResult(int k);
    int GetRouteCount() const { return static_cast<int>(m_results.size()); }
    int GetWaypointCount() const { return m_edited->waypoints.Count(); }
    int GetResultId(int i) const;

    // Following the route.
    bool UpdateProgress(std::uint16_t mapId, std::uint16_t linkId, int c, int d, int* counter);

    // Queries.
    POINT GetStartPos() const;
    POINT GetGoalPos() const;
    POINT GetTargetPos() const;
    POINT GetWaypointPos(int i) const;
    CString GetStartName() const;
    CString GetGoalName() const;
    const char* GetGoalNameA();
    CString GetWaypointName(int i) const;
    const char* GetWaypointNameA(int i);
    CString GetWaypointLabel(int i) const;
    bool HasGoal() const;
    float GetRouteScale() const;
    // The shell's route queries.
    bool IsGoalMissing() const;
    bool HasWaypoints() const { return m_edited->waypoints.Count() > 0; }
    void ClearWaypoints();
    int GetRouteOption(int i) const;
    bool ClearRoute();
    void SetPinnedPoint(int x, int y);

    // Drawing on the map.
    void DrawRoutes(CDC* dc, IRouteMapView& map);
    void DrawResultRoutes(CDC* dc, IRouteMapView& map);
    void DrawPinMarker(CDC* dc, IRouteMapView& map);

    // Route files.
    bool SaveRouteFile(const char16_t* fileName);
    bool LoadRouteFile(const char16_t* fileName);
    bool RebindLoadedRoute();
    // The selected route was opened from a saved route file (not searched, not the route table).
    bool IsLoadedFromFile() const { return m_loadedFromFile; }

    // State.
    CRoute* SelectedRoute() const { return m_selected; }
    // Counts every change of the selected route (a new search, a load, a choice among results),
    // so that a caller can tell a new route from an old one at a reused address.
    std::uint32_t SelectionCount() const { return m_selections; }
    int SelectedIndex() const { return m_selectedIndex; }
    CRoute& EditedRoute() { return *m_edited; }
    CRoute* Result(int i) const {
        return i >= 0 && i < GetRouteCount() ? m_results[static_cast<std::size_t>(i)].get() : nullptr;
    }
    CRoutePlan* Engine() const { return m_engine.get(); }
    int LastSearch() const { return m_lastSearch; }
    int PassedWaypoints() const { return m_passedWaypoints; }
    int ProgressCounter() const { return m_progressCounter; }
    void SetRouteChoiceMode(bool on) { m_routeChoice = on ? 1 : 0; }
    bool RouteActive() const { return m_routeActive != 0; }
    int MapCount() const { return m_mapCount; }
    const std::vector<MapBox>& MapBoxes() const { return m_mapBoxes; }

private:
    int Search(int vehicleStart);
    int FinishSearch(int code);
    void CopyRouteForEditing(const CRoute& from, CRoute& to);
    bool ReadNeighbourTable();
    POINT HeaderPoint(const RoutePoint& p) const;

    std::vector<MRMapRecord> m_records;
    std::vector<MRBox> m_recordBoxes; // the engine's view of the network boxes
    std::uint16_t m_mapCount = 0;
    std::uint8_t m_manageHeader[486] = {};
    std::vector<MapBox> m_netBoxes;
    std::vector<MapBox> m_mapBoxes;
    std::vector<std::uint8_t> m_neighbours;
    std::vector<std::unique_ptr<CRoute>> m_results;
    std::unique_ptr<CRoutePlan> m_engine;
    std::unique_ptr<CRoute> m_edited;
    void Select(CRoute* route) {
        m_selected = route;
        ++m_selections;
    }
    CRoute* m_selected = nullptr;
    std::uint32_t m_selections = 0;
    int m_selectedIndex = -1;
    int m_lastSearch = 0;
    int m_passedWaypoints = 0;
    int m_progressCounter = -1;
    std::uint8_t m_routeChoice = 0, m_routeActive = 0, m_rerouting = 0;
    std::int32_t m_pinnedX = -1, m_pinnedY = -1;
    CString m_pinnedName;
    LinkPos m_pinnedPos;
    char m_nameBuffer[21] = {};
    RoutePoint m_prevGoal;
    char m_prevGoalName[21] = {};
    LinkPos m_prevGoalPos;
    CString m_dataFolder;
    bool m_loadedFromFile = false;
};
