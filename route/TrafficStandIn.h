// The live-traffic store as the route engine sees it: the broadcast speed of a link by its
// traffic-broadcast index. Until the broadcast receiver library is linked in, this stand-in
// holds no data and answers "no speed" for every index; tests may load speeds into it.
#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_map>

class CTraffic {
public:
    // The process-wide store, created on the first call.
    static CTraffic* instance();

    // 1 and the speed in km/h when a current, non-zero speed is held for the index; otherwise 0
    // and speed is left as it was.
    int getSpeedByIdx(std::uint16_t idx, std::uint8_t& speed);

    // Loading and clearing speeds (what the receiver does when broadcasts arrive).
    void SetSpeed(std::uint16_t idx, std::uint8_t speed);
    void ClearSpeeds();

private:
    CTraffic() = default;
    std::mutex m_mutex;
    std::unordered_map<std::uint16_t, std::uint8_t> m_speeds;
};
