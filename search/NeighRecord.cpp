#include "search/NeighRecord.h"

#include "search/SearchFormat.h"

#include <cstring>

using tolvik::Le16;

std::unique_ptr<CNeighRecord> CNeighRecord::ForKind(int kind) {
    if (kind == 4) return std::make_unique<CNeighRecord8>();
    return std::make_unique<CNeighRecord32>();
}

void CNeighRecord8::Parse(const std::uint8_t* p) {
    m_brand = p[0];
    m_byte1 = p[1];
    m_field1 = Le16(p + 2);
    m_storedX = Le16(p + 4);
    m_y = Le16(p + 6);
    m_name[0] = 0;
}

void CNeighRecord32::Parse(const std::uint8_t* p) {
    m_brand = p[0];
    m_field1 = Le16(p + 1);
    m_field2 = Le16(p + 3);
    m_storedX = Le16(p + 5);
    m_y = Le16(p + 7);
    m_byte1 = p[9];
    m_byte2 = p[10];
    std::memcpy(m_name, p + 11, 20);
    m_name[20] = 0;
}
