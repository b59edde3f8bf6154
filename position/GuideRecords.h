// The records that guidance hands between its parts: the spoken prompt request, the highway
// facility records and the guide-point announcement.
#pragma once

#include <cstdint>
#include <string>

// A manoeuvre prompt: distance clip, manoeuvre code, connector clip, second distance clip and
// second manoeuvre code (prompt codes are the rows of the voice player's sequence table).
struct PromptRequest {
    std::int32_t distanceClip = 0;
    std::int32_t code = 0;
    std::int32_t connector = 0;
    std::int32_t distanceClip2 = 0;
    std::int32_t code2 = 0;
    friend bool operator==(const PromptRequest&, const PromptRequest&) = default;
};

// A rest area, junction or interchange of the facility table, with the clips that name it. As
// the facility announcement it also carries the announcement clip (0 or 23).
struct RestAreaRecord {
    static constexpr int kNameSize = 20;
    std::uint8_t brand = 0;  // fuel brand 1..5, 0 none
    std::uint8_t lpg = 0;    // 1: LPG station
    std::uint8_t repair = 0; // 1: repair shop
    std::uint16_t value = 0;
    char name[kNameSize + 1] = {}; // code page 949
    std::uint16_t id = 0;
    std::uint8_t kind = 0; // 0 rest area, 1 junction, 2 interchange
    std::int32_t nameClip = 0;
    std::int32_t brandClip = 0;
    std::int32_t lpgClip = 0;
    std::u16string services;
    std::int32_t announceClip = 0;
};

// A junction direction: display text (code page 949) and up to six name clips (0 = none).
struct HighwayRecord {
    static constexpr int kTextSize = 40;
    std::uint16_t id = 0;
    char text[kTextSize + 1] = {};
    std::int32_t clips[6] = {};
};

// The guide point to announce: where it is, what it is and which distance clip says it.
struct GuidePointNotice {
    std::int32_t x = -1;
    std::int32_t y = -1;
    std::int32_t directionMode = 0; // 0 a user point, 1 or 2 a map point of that mode
    std::int32_t heading = 0;
    std::int32_t type = 0;
    std::int32_t speedLimit = 0xFFFF;
    std::int32_t distance = 0; // metres
    std::int32_t index = -1;
    std::int32_t level = 0;
    std::int32_t distanceClip = 0;
    std::int32_t value = 0;
};
