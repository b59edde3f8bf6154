// Guidance along a followed route: on each matched position the next manoeuvre and the one after
// it are found on the route, their distances measured and the spoken prompt chosen (distance
// phrase, manoeuvre, optional follow-on part); arrival, waypoint and off-route messages are
// decided, guide points, alert points and the user's safe-driving points ahead are checked and
// the speed-warning beep raised. The GPS thread runs Guide and the display getters; the voice
// thread runs ProcessVoice, which plays what the last step left in the voice player.
#pragma once

#include "position/GuideInfo.h"
#include "position/GuidePoint.h"
#include "position/GuideRecords.h"
#include "position/HighwayDB.h"
#include "position/MatchResult.h"
#include "position/SafePointList.h"
#include "position/VoicePlayer.h"

#include <cstdint>
#include <string>
#include <vector>

class CRoutePath;

class CGuideManager {
public:
    // LoadData results.
    enum { kLoaded = 0, kHighwayFailed = 1, kGuidePointsFailed = 2, kVoiceFailed = 3 };

    explicit CGuideManager(CMRNetReader* reader = nullptr);
    ~CGuideManager() = default;

    int LoadData(const std::u16string& folder, int flags);
    // Loads the voice files again; true when they load.
    bool ReloadData(const std::u16string& folder);
    void Reset();
    void ResetAnnouncements();
    void SetDisabledGuidePoints(const std::vector<SafePointEntry>& deleted);
    void SetSafeDrivingOptions(int mode1, int mode2, int userPoints);
    void SetSpeedLimits(int minimumIndex, int perClassOff, const int* indices, int count);
    // Sets the pedestrian flag (the voice player's too) and resets the guidance.
    void SetPedestrianMode(bool on);
    bool IsPedestrianMode() const { return m_pedestrian; }

    // One guidance step. Positions are network coordinates; x below 1 means none.
    void Guide(int& cont, MatchResult position, CRoutePath* route, CAlertPointList* alerts,
               CSafePointList* userPoints, std::int32_t waypointX, std::int32_t waypointY, std::int32_t destX,
               std::int32_t destY);
    void GetTurnInfo(CGuideInfo& info) const;
    // listType: 2 rest areas, 3 junctions, 4 interchanges, 5 all.
    void GetHighwayInfo(CGuideInfo& info, const MatchResult& position, CRoutePath* route, int page, int listType);
    void ProcessVoice();
    // A fixed message (1..24); asked for at once or not, it plays asynchronously. True.
    bool PlayMessage(int id, bool atOnce = false);
    bool PlayAddMessage(int id);

    // The distance clip of the table walk (stage 0 new manoeuvre, 1 repeated, 2 guide points,
    // 3 facilities).
    static int TableWalk(int stage, int d, bool goal, bool expressway);

    CVoicePlayer& Voice() { return m_voice; }
    // The announced section kinds as set (0 user-registered, 1 always-on, 2 caution) and the
    // warning speed of road class i in km/h (100000: no warning).
    bool SafeDrivingSwitch(int i) const { return i >= 0 && i < 3 && m_switch[i]; }
    int SpeedLimit(int i) const { return i >= 0 && i < 5 ? m_limits[i] : 0; }
    CHighwayDB& Highway() { return m_highway; }
    CGuidePoint& GuidePoints() { return m_guidePoints; }
    const PromptRequest& Request() const { return m_request; }
    bool PromptRequested() const { return m_promptRequested; }
    int CarItem() const { return m_carItem; }
    int NextGuide() const { return m_nextGuide; }
    int DistanceToNext() const { return m_distNext; }
    int RemainingDistance() const { return m_remaining; }
    int OffRouteSum() const { return m_offSum; }
    // The second off-route sum: grows alike but is not cleared by the off-route message, so it
    // measures the whole way driven off the route (the re-route countdown it proposes).
    int OffRouteSumTotal() const { return m_offSum2; }
    const GuidePointNotice& GuidePointAnnouncement() const { return m_gp; }
    const RestAreaRecord& FacilityAnnouncement() const { return m_facility; }

private:
    void Distances(CRoutePath* route, std::int32_t wpX, std::int32_t wpY, std::int32_t destX, std::int32_t destY);
    void Turn(int& cont, CRoutePath* route);
    void OffRoute(int& cont);
    void Prompt(CRoutePath* route);
    void QueueFixed(int code);
    void Points(const MatchResult& position, CAlertPointList* alerts);
    void SpeedWarning(const MatchResult& position);
    void Publish();
    bool Expressway() const;
    int RoadClass() const { return (m_attr[0] >> 5) & 7; }

    // State bytes.
    std::uint8_t m_restart = 1, m_new = 0, m_waypointArmed = 1, m_arrivalArmed = 0;
    int m_lastMessage = 0;
    bool m_promptRequested = false, m_gpFound = false, m_alertFound = false;
    int m_carItem = -1, m_nextGuide = -1, m_nextGuide1 = -1, m_followingGuide = -1;
    int m_waypointItem = -1;
    int m_distNext = 0, m_distFollow = 0;
    int m_routeWaypoint = 0, m_remaining = 0, m_straightWaypoint = 0, m_straightDest = 0;
    int m_offSum = 0, m_offSum2 = 0;
    int m_driven = 0, m_linkLength = 0;
    std::uint8_t m_attr[4] = {};
    int m_turn1 = 0, m_turn2 = 0;
    PromptRequest m_request;
    HighwayRecord m_direction;
    CHighwayDB m_highway;
    RestAreaRecord m_facility;
    bool m_switch[3] = {true, true, true};
    bool m_speedCheck = false;
    int m_minimumSpeed = -1;
    bool m_perClass = false;
    int m_limits[5] = {100000, 100000, 100000, 100000, 100000};
    CGuidePoint m_guidePoints;
    GuidePointNotice m_gp;
    struct AlertHit {
        int index = -1, distance = 0, kind = 0;
        std::int32_t x = 0, y = 0;
    } m_hit;
    bool m_pedestrian = false;
    bool m_arrivalReached = false;
    std::int32_t m_speedMps = 0, m_speedKmh = 0;
    std::int32_t m_carX = 0, m_carY = 0;
    CVoicePlayer m_voice;
};
