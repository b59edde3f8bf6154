// The search's cost model: travel cost of a link, which links the search may use (one-way,
// road-class levels), the level switch that narrows the search to bigger roads as it moves
// away from its origin, and the corridor filter that prunes candidates leading away from the
// target. RouteSearchState holds the parameters of one search and is consulted per candidate.
#pragma once

#include <cstdint>

// Direction in which the search enters a link: at its first end node (1) or at its second (0).
enum class SearchDir : std::uint8_t { AtSecondEnd = 0, AtFirstEnd = 1 };
// Direction in which a route item travels its link: first end node to second (0) or back (1).
enum class TravelDir : std::uint8_t { StartToEnd = 0, EndToStart = 1 };

// The fields of a 28-byte link record that the cost model reads.
struct LinkFields {
    int lanes = 0;    // byte 0 bits 0-3
    int roadKind = 0; // byte 0 bits 4-6
    std::uint16_t firstNode = 0, secondNode = 0;
    std::uint16_t length = 0;
    int oneWay = 0;                        // attribute bits 0-1
    int linkType = 0;                      // bits 2-4
    int facility = 0;                      // bits 5-7
    int width = 0;                         // bits 8-10
    bool restricted = false;               // bit 11
    std::uint16_t trafficForward = 0xFFFF; // travel from the first end node to the second
    std::uint16_t trafficBackward = 0xFFFF;

    static LinkFields From(const std::uint8_t* link);
};

// Road-class level of a road kind: 0,1 -> 0; 2-4 -> 1; 5,6 -> 2; 7 -> 3.
int LevelOfKind(int roadKind);

struct CostProfile {
    std::int32_t T[4] = {};  // level-switch distances, metres
    std::int32_t V[15] = {}; // speeds, km/h
    std::int32_t typeOverride = 0;
    std::int32_t variantOverride = 0;
    float numerator = 0.0f;
    float weight = 0.0f; // distance weight w of the queue key
    float K[4] = {};     // turn costs K1-K4
    float spare[2] = {};
};

class RouteSearchState {
public:
    static constexpr int kProfiles = 25;
    static constexpr float kFarAway = 10000000.0f;

    // Fills the stored profiles and keeps the extra profile.
    void Init(const CostProfile& extra, std::uint8_t applyExtra);
    void SetSearchParams(int type, int useTraffic, int variant, int fromVehicle);
    // The guide-code cache byte of the engine, which the corridor filter may clear.
    void SetGuideCacheByte(std::uint8_t* byte) { m_guideCacheByte = byte; }

    // Stored profile index for a leg distance and the current type and variant.
    int ProfileIndex(float D) const;
    const CostProfile& StoredProfile(int i) const { return m_profiles[i]; }
    const CostProfile& Profile() const { return m_profile; }

    void SetUpLeg(float D);
    void FreezeLevels();
    void ClearFreeze() { m_freeze = 0; }
    bool Frozen() const { return m_freeze != 0; }
    // Releases the whole state (the engine's Release).
    void Reset();

    // Travel cost of a link entered in dir, with the guide code of the turn into it (-1 none).
    float LinkCost(const std::uint8_t* link, SearchDir dir, int guideCode) const;
    float Factor(int i) const { return m_F[i]; }

    // One-way rule: the search leaves node along the link. Forward: the car drives away from
    // node; backward: the car drives towards node.
    bool Admit(const std::uint8_t* link, std::uint16_t node, bool forward);
    bool LevelAllows(const std::uint8_t* link) const;
    // Counts an admitted link of a level below the expanded node's level.
    void CountLink(int nodeLevel, const std::uint8_t* link);
    void LevelSwitch(float d);
    // False when the candidate is dropped.
    bool Corridor(float s, float h, int roadKind, int queueSize);

    int Type() const { return m_type; }
    int Variant() const { return m_variant; }
    int UseTraffic() const { return m_useTraffic; }
    int FromVehicle() const { return m_fromVehicle; }
    int LevelInForce() const { return m_level; }
    int MeetingLevel() const { return m_meetingLevel; }
    int LevelFloor() const { return m_levelFloor; }
    float Weight() const { return m_w; }
    float LegDistance() const { return m_D; }
    float MaxOrigin() const { return m_S; }
    float MinTarget() const { return m_G; }
    void SetBit11Latch(std::uint8_t v) { m_latch = v; }
    std::uint8_t Bit11Latch() const { return m_latch; }
    int Counter(int level) const { return m_count[level]; }

private:
    void ComputeFactors();

    int m_type = 0, m_useTraffic = 0, m_variant = 0, m_fromVehicle = 0;
    int m_level = 3;
    int m_meetingLevel = 2;
    std::uint8_t m_done[4] = {};
    int m_count[4] = {};
    float m_w = 0.0f;
    std::uint8_t m_freeze = 0;
    bool m_sideStarted = false;
    int m_bit11Count = 0;
    int m_levelFloor = 0;
    std::uint8_t m_latch = 0;
    int m_meetingsAllowed = 2;
    float m_S = 0.0f;
    float m_G = kFarAway;
    float m_D = 0.0f;
    CostProfile m_profile;
    CostProfile m_extra;
    CostProfile m_profiles[kProfiles];
    std::uint8_t m_applyExtra = 0;
    float m_F[15] = {};
    std::uint8_t* m_guideCacheByte = nullptr;
};
