#include "route/TrafficStandIn.h"

CTraffic* CTraffic::instance() {
    static CTraffic traffic;
    return &traffic;
}

int CTraffic::getSpeedByIdx(std::uint16_t idx, std::uint8_t& speed) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_speeds.find(idx);
    if (it == m_speeds.end() || it->second == 0) return 0;
    speed = it->second;
    return 1;
}

void CTraffic::SetSpeed(std::uint16_t idx, std::uint8_t speed) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_speeds[idx] = speed;
}

void CTraffic::ClearSpeeds() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_speeds.clear();
}
