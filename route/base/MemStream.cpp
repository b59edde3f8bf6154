#include "route/base/MemStream.h"

// Values are copied byte for byte: this host is little-endian, as the stored formats are.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "stored formats are little-endian");

std::uint8_t* CMemStream::Claim(std::int64_t n) {
    if (!m_valid || !m_base || n < 0 || m_position < 0) return nullptr;
    if (static_cast<std::int64_t>(m_position) + n > m_size) {
        m_valid = 0;
        return nullptr;
    }
    return m_base + m_position;
}

int CMemReader::Get(void* destination, std::int64_t n) {
    std::uint8_t* at = Claim(n);
    if (!at) return 0;
    if (n > 0) std::memcpy(destination, at, static_cast<std::size_t>(n));
    m_position += static_cast<std::int32_t>(n);
    ApplyEndRule();
    return 1;
}

int CMemWriter::Put(const void* source, std::int64_t n) {
    std::uint8_t* at = Claim(n);
    if (!at) return 0;
    if (n > 0) std::memcpy(at, source, static_cast<std::size_t>(n));
    m_position += static_cast<std::int32_t>(n);
    ApplyEndRule();
    return 1;
}

int CMemReader::Seek(std::int32_t offset, int origin) {
    m_valid = 1;
    std::int64_t target = m_position;
    if (origin == 0)
        target = offset;
    else if (origin == 1)
        target = static_cast<std::int64_t>(m_size) - offset;
    else if (origin == 2)
        target = static_cast<std::int64_t>(m_position) + offset;
    if (target < 0 || target > kUnbounded) {
        m_valid = 0;
        return m_valid;
    }
    m_position = static_cast<std::int32_t>(target);
    ApplyEndRule();
    return m_valid;
}

int CMemWriter::Seek(std::int32_t offset, int origin) {
    std::int64_t target = m_position;
    if (origin == 0)
        target = offset;
    else if (origin == 1)
        target = static_cast<std::int64_t>(m_size) + offset;
    else if (origin == 2)
        target = static_cast<std::int64_t>(m_position) + offset;
    // A position outside 0..0x7fffffff is kept out; transfers from a position past the size are
    // refused by Claim.
    if (target >= 0 && target <= kUnbounded) m_position = static_cast<std::int32_t>(target);
    return m_valid;
}

int CMemStream::Skip(std::int32_t n) {
    if (!m_valid) return 0;
    std::int64_t target = static_cast<std::int64_t>(m_position) + n;
    if (target < 0 || target > kUnbounded) {
        m_valid = 0;
        return 0;
    }
    m_position = static_cast<std::int32_t>(target);
    ApplyEndRule();
    return m_valid;
}
