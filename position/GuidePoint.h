// The safe-driving guide points of the map data ("POINT\newGuidePoint.MDC": the layer container
// with 32-byte point records in a 48 x 66 grid of 10,000-unit cells) and the search, on each fix,
// for the nearest point ahead of the car, facing its way and on a road it can reach; the user's
// own safe-driving points are checked the same way.
#pragma once

#include "position/GuideRecords.h"
#include "position/LinkReach.h"
#include "position/MatchResult.h"
#include "position/SafePointList.h"

#include <cstdint>
#include <string>
#include <vector>

class CMRNetReader;
class CRoutePath;

class CGuidePoint {
public:
    static constexpr int kColumns = 48;
    static constexpr int kRows = 66;
    static constexpr int kCells = kColumns * kRows;
    static constexpr int kTableOffset = 50;
    static constexpr int kRecordSize = 32;

    struct Point {
        std::int32_t x = 0; // network coordinates
        std::int32_t y = 0;
        std::int32_t directionMode = 1;
        std::int32_t heading = 0;
        std::int32_t type = 0;
        std::int32_t speedLimit = 0;
        std::int32_t value = 0;
        std::uint8_t state[4] = {};
        std::uint8_t enabled = 1;
        std::int32_t mapId = -1;
        std::int32_t linkIndex = -1;
    };
    struct Cell {
        std::uint32_t offset = 0;
        std::uint32_t first = 0;
        std::uint32_t count = 0;
    };
    // What the guidance manager's switches allow.
    struct Switches {
        bool mode[3] = {true, true, true}; // 0 user points, 1 and 2 map points of that mode
        bool speedCheck = false;
        int minimumSpeed = -1; // km/h
    };

    // The reader defaults to the program's shared one.
    explicit CGuidePoint(CMRNetReader* reader = nullptr);
    bool Load(const std::u16string& folder);
    bool IsLoaded() const { return m_loaded; }
    void SetContext(int roadClass, bool restart, int carItem);
    void SetSwitches(const Switches& switches) { m_switches = switches; }
    // Finds the point to announce; true when one was found (Result() holds it).
    bool Check(const MatchResult& position, CSafePointList* userPoints, CRoutePath* route);
    const GuidePointNotice& Result() const { return m_result; }
    void SetDisabledPoints(const std::vector<SafePointEntry>& deleted);

    const std::vector<Point>& Points() const { return m_points; }
    const std::vector<Cell>& Cells() const { return m_cells; }

    // Whether two headings lie within tolerance degrees of each other.
    static bool HeadingsMatch(int a, int b, int tolerance);
    // Distance clip of a guide point at d metres (expressway: road classes 1 and 2).
    static int DistanceClip(int d, bool expressway);

private:
    bool OnCarRoad(Point& p, const MatchResult& position, CRoutePath* route);
    void SetLevel(int speedKmh);

    CMRNetReader* m_reader;
    bool m_loaded = false;
    std::vector<Cell> m_cells;
    std::vector<Point> m_points;
    GuidePointNotice m_result;
    Switches m_switches;
    int m_roadClass = 0;
    bool m_restart = true;
    int m_carItem = -1;
    // The links reachable from where the car was when the set was built.
    CLinkReach m_reach;
    bool m_reachValid = false;
    int m_reachMap = -1, m_reachLink = -1;
    std::int32_t m_reachX = 0, m_reachY = 0;
};
