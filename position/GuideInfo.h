// The guidance display record of the main view: the turn part (next manoeuvre and the one after
// it, distances, the guide point ahead, the junction direction) and the highway part (the next
// facilities of the chosen list, three rows at a time, and the next facility on the route).
#pragma once

#include <cstdint>
#include <string>

class CGuideInfo {
public:
    struct Facility {
        std::u16string name;
        std::int32_t kind = 0;
        std::int32_t distance = 0; // metres
        std::u16string distanceText; // "%3.1f" km
        std::int32_t brand = 0;
        std::int32_t lpg = 0;
        std::int32_t repair = 0;
        std::int32_t id = 0;
        std::int32_t guideIndex = -1; // the next facility only
    };

    CGuideInfo() { Clear(); }
    void Clear() { *this = CGuideInfo(Empty{}); }
    void ClearTurn();
    void ClearHighway();

    // Turn part.
    std::int32_t code = 0;
    std::int32_t nextGuide = -1;
    std::int32_t followingGuide = -1;
    std::int32_t distance = 0;
    std::int32_t followingDistance = 0;
    std::int32_t followingCode = 0;
    std::int32_t waypointDistance = -1;
    std::int32_t remaining = 0;
    std::int32_t pointMode = 0; // guide point direction mode + 1 (0 = none)
    std::int32_t pointX = -1, pointY = -1;
    std::int32_t pointHeading = 0, pointType = 0, pointValue = 0, pointLimit = 0, pointDistance = 0;
    bool highway = false;
    std::u16string directionText;

    // Highway part.
    std::int32_t facilityCount = 0;
    std::int32_t rows = 0;
    Facility row[3];
    bool hasNext = false;
    Facility next;

private:
    struct Empty {};
    explicit CGuideInfo(Empty) {}
};

inline void CGuideInfo::ClearTurn() {
    CGuideInfo empty{Empty{}};
    code = empty.code;
    nextGuide = empty.nextGuide;
    followingGuide = empty.followingGuide;
    distance = empty.distance;
    followingDistance = empty.followingDistance;
    followingCode = empty.followingCode;
    waypointDistance = empty.waypointDistance;
    remaining = empty.remaining;
    pointMode = empty.pointMode;
    pointX = empty.pointX;
    pointY = empty.pointY;
    pointHeading = empty.pointHeading;
    pointType = empty.pointType;
    pointValue = empty.pointValue;
    pointLimit = empty.pointLimit;
    pointDistance = empty.pointDistance;
    highway = empty.highway;
    directionText.clear();
}

inline void CGuideInfo::ClearHighway() {
    facilityCount = 0;
    rows = 0;
    for (Facility& f : row) f = Facility{};
    hasNext = false;
    next = Facility{};
}
