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
    m_highways.clear();
}

void CTraffic::SetHighway(std::uint16_t idx, bool highway) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (highway)
        m_highways.insert(idx);
    else
        m_highways.erase(idx);
}

void CTraffic::SetDisplayOnOff(const bool* flags) {
    if (!flags) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < 4; ++i) m_display[i] = flags[i];
}

int CTraffic::getLinkColorByIdx(unsigned short idx, unsigned long& colour) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_speeds.find(idx);
    if (it == m_speeds.end() || it->second == 0) return 0;
    const int s = it->second;
    const bool highway = m_highways.count(idx) != 0;
    const int congested = highway ? 20 : 10, slow = highway ? 40 : 20, fast = highway ? 70 : 40;
    // Display flags: 0 fast, 1 moving, 2 slow, 3 congested.
    int cls = 1;
    unsigned long c = 0x00B93D;
    if (s < congested)
        cls = 3, c = 0x8000FF;
    else if (s < slow)
        cls = 2, c = 0x1894C9;
    else if (s >= fast)
        cls = 0, c = 0xDC0000;
    if (!m_display[cls]) return 0;
    colour = c;
    return 1;
}
