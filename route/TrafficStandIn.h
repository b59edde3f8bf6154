// The live-traffic store as the route engine and the map see it: the broadcast speed of a link
// by its traffic-broadcast index, and the colour of its speed class. Until the broadcast
// receiver library is linked in, this stand-in holds no data and answers "no speed" for every
// index; tests and tools may load speeds (and highway marks) into it.
#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

class CTraffic {
public:
    // The process-wide store, created on the first call.
    static CTraffic* instance();

    // 1 and the speed in km/h when a current, non-zero speed is held for the index; otherwise 0
    // and speed is left as it was.
    int getSpeedByIdx(std::uint16_t idx, std::uint8_t& speed);

    // 1 and the colour of the link's speed class when a speed is held and that class is switched
    // on for display; otherwise 0 and colour is left as it was. Classes by speed s: below 10
    // congested, below 20 slow, from 40 fast, else moving (highway links: 20, 40, 70).
    int getLinkColorByIdx(unsigned short idx, unsigned long& colour);
    // Display flags of the classes fast, moving, slow, congested (all on at first).
    void SetDisplayOnOff(const bool* flags);

    // Loading and clearing speeds (what the receiver does when broadcasts arrive).
    void SetSpeed(std::uint16_t idx, std::uint8_t speed);
    void ClearSpeeds();
    // Marks a link as a highway link (its classes use the highway bounds).
    void SetHighway(std::uint16_t idx, bool highway);

private:
    CTraffic() = default;
    std::mutex m_mutex;
    std::unordered_map<std::uint16_t, std::uint8_t> m_speeds;
    std::unordered_set<std::uint16_t> m_highways;
    bool m_display[4] = {true, true, true, true};
};
