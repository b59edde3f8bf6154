// The map matcher: puts each GPS fix on a road link of the "MRData" network. It keeps the last
// 20 fixes and results, carries the car along the link it matched last (through plain joints,
// sheet borders and junctions), falls back to a search of all links near the fix scored by
// distance, heading and road class, holds the car still while it stands, and coasts by dead
// reckoning where the network says GPS reception fails (tunnels, underpasses).
#pragma once

#include "position/GpsReceiver.h"
#include "position/LinkView.h"
#include "position/MRNetReader.h"
#include "position/MatchResult.h"

#include <cstdint>
#include <vector>

class CMapMatcher {
public:
    static constexpr int kHistory = 20;

    // The reader defaults to the program's shared one.
    explicit CMapMatcher(CMRNetReader* reader = nullptr);

    int Match(GpsPosRecord fix, MatchResult& out, std::uint8_t* deadReckoned = nullptr,
              GpsPosRecord* used = nullptr);
    void Reset();
    bool OpenNetwork(const char16_t* dataFolder);
    void SetRoutePath(const CRouteLinkQuery* route) { m_route = route; }
    void RequestRematch() { m_rematch = true; }
    int GetFixInterval() const { return m_interval; }
    void GetJunctionLookahead(JunctionLookahead& ahead, JunctionLookahead& behind) const {
        ahead = m_ahead;
        behind = m_behind;
    }
    int GetLinkEnd(int mapId, int linkIndex, int against, std::int32_t& x, std::int32_t& y,
                   std::int16_t& heading);
    int GetJunctionName(int mapId, int linkIndex, int startNode, char* buffer, int bufferSize);
    int GetFixQuality(const GpsPosRecord& fix) const;

    // Dead reckoning: whether the car may coast, and the fix that replaces a missing one.
    bool CanDeadReckon();
    bool MakeDeadReckonedFix(GpsPosRecord& fix);

    // The fix check: 0 usable, -1 outside the service area, -2 unusable.
    static int CheckFix(const GpsPosRecord& fix);
    // Whether a link with attribute word w may be travelled along it (or against it).
    static bool IsTurnAllowed(std::uint16_t w, bool along);

    // Per-fix values, for the shell and for tests.
    int MotionClass() const { return m_motionClass; }
    int HeadingTolerance() const { return m_tolerance; }
    int DistanceLimit() const { return m_distanceLimit; }
    bool JumpAccepted() const { return m_jump; }
    int MissCount() const { return m_missCount; }
    int CoastingCounter() const { return m_coasting; }
    std::int32_t OffsetX() const { return m_offsetX; }
    std::int32_t OffsetY() const { return m_offsetY; }

    // Program-wide values shared by the matcher's tracking and dead reckoning.
    static int CarriedDistance() { return s_carried; }
    static bool JunctionPassing() { return s_passing; }
    static int DeadReckonSpeed() { return s_drSpeed; }
    // For tests that start the car waiting at a junction or passing one.
    static void SetCarried(int metres, bool passing) {
        s_carried = metres;
        s_passing = passing;
    }

    // Speed (0.1 km/h) of the next dead-reckoned fix: it rises by at most 5 km/h a fix, never
    // beyond the last real speed or 10 km/h, whichever is higher, and drops to 5 km/h after a turn
    // of more than 60 degrees between the last two results. Updates the program-wide value.
    static int NextDeadReckonSpeed(bool previousDeadReckoned, int previousSpeed, int turn);

    // Parameter rules worked out at each usable fix.
    static int HeadingToleranceFor(int speed, int motionClass);
    static int DistanceLimitFor(double hdop, int motionClass);

private:
    struct Candidate;
    MatchResult& Prev() { return m_results[m_prev]; }
    const GpsPosRecord& PrevFix() const { return m_fixes[m_prev]; }
    bool FirstFix() const { return m_write == m_prev; }
    int Metric(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) const;
    int CentreMapId() const;
    void WorkOutMotionClass(GpsPosRecord& fix);
    bool JumpTest(const GpsPosRecord& fix);
    void LinkSearch(GpsPosRecord& fix, MatchResult& w);
    // Searches the links near the fix; skipLink >= 0 (the alternative search) leaves out that link
    // number and feet at a link's very ends. Returns the best score (0 when none).
    int ScanLinks(const GpsPosRecord& fix, MatchResult& w, int skipLink);
    void FullSearch(GpsPosRecord& fix, MatchResult& w);
    bool AlternativeSearch(const GpsPosRecord& fix, MatchResult& w);
    void FillFromLink(MatchResult& r, const LinkView& v, bool reverse, int segmentIndex);
    void SetLinkPosition(MatchResult& r);
    void UpdateLookahead(const MatchResult& r);
    void WalkToJunction(LinkView v, bool reverse, int slot, int distance, JunctionLookahead& out);
    // Tracking along the previous link (status 1 holds, 2 asks for the full search).
    void Track(GpsPosRecord& fix, MatchResult& w);
    int ChooseAtJunction(const GpsPosRecord& fix, LinkView& v, bool& reverse, int& slot, int a);
    bool CrossBorder(LinkView& v, bool& reverse, int& slot);
    bool OnRoute(int mapId, int linkIndex, bool reverse) const;

    CMRNetReader* m_reader;
    GpsPosRecord m_fixes[kHistory];
    MatchResult m_results[kHistory];
    int m_write = 0;
    int m_prev = 0;
    int m_tolerance = 180;
    int m_distanceLimit = 102;
    int m_motionClass = 0;
    double m_xScale = 0.27654;
    std::int32_t m_offsetX = 0;
    std::int32_t m_offsetY = 0;
    std::int32_t m_lastX = -1;
    std::int32_t m_lastY = -1;
    int m_missCount = 0;
    int m_interval = 1;
    JunctionLookahead m_ahead;
    JunctionLookahead m_behind;
    const CRouteLinkQuery* m_route = nullptr;
    bool m_rematch = false;
    bool m_keepPrevious = false;
    bool m_jump = false;
    int m_coasting = 0;
    // Working storage of the link search, kept so that a search allocates nothing.
    std::vector<std::uint8_t> m_scanLinks;
    LinkView m_scanView;

    static int s_carried;
    static bool s_passing;
    static int s_drSpeed;
};
