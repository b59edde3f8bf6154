#include "traffic/receiver/DARCString.h"

#include <cstring>
#include <new>

namespace {
constexpr int kBlock = 500;
// Room for one assembled broadcast document is far below this; larger requests are refused.
constexpr int kMaxCapacity = 16 * 1024 * 1024;
} // namespace

CDARCString::~CDARCString() { delete[] m_data; }

bool CDARCString::MemAlloc(int need) {
    if (need < 0) return false;
    long long wanted = static_cast<long long>(m_length) + need;
    if (m_data && wanted <= m_capacity) return true;
    if (wanted > kMaxCapacity) return false;
    int capacity = static_cast<int>((wanted + kBlock - 1) / kBlock) * kBlock;
    if (capacity < kBlock) capacity = kBlock;
    auto* block = new (std::nothrow) unsigned char[capacity]();
    if (!block) return false;
    if (m_data) std::memcpy(block, m_data, static_cast<size_t>(m_capacity));
    delete[] m_data;
    m_data = block;
    m_capacity = capacity;
    return true;
}

void CDARCString::Set(const unsigned char* bytes, int count) {
    Empty();
    Append(bytes, count);
}

void CDARCString::Append(const unsigned char* bytes, int count) {
    if (count == -1) count = bytes ? static_cast<int>(std::strlen(reinterpret_cast<const char*>(bytes))) : 0;
    if (count < 0 || (count > 0 && !bytes)) return;
    if (!MemAlloc(count + 1)) return;
    if (count > 0) std::memcpy(m_data + m_length, bytes, static_cast<size_t>(count));
    m_length += count;
    m_data[m_length] = 0;
}

void CDARCString::Get(char* target, int max) const {
    if (!target || !m_data || max <= 0) return;
    int n = max < m_length ? max : m_length;
    std::memcpy(target, m_data, static_cast<size_t>(n));
}

void CDARCString::Empty() {
    delete[] m_data;
    m_data = nullptr;
    m_length = 0;
    m_capacity = 0;
}

void CDARCString::EraseESC() {
    if (!m_data) return;
    int kept = 0;
    for (int i = 0; i < m_length; ++i) {
        unsigned char c = m_data[i];
        if (c == 0 || c >= 0x20) m_data[kept++] = c; // in place: kept never passes i
    }
    std::memset(m_data + kept, 0, static_cast<size_t>(m_capacity - kept));
}

void CDARCString::SetChar(int index, unsigned char value) {
    if (index >= 0 && index < m_length) m_data[index] = value;
}

int CDARCString::Size() const {
    if (!m_data) return 0;
    int n = 0;
    while (n < m_capacity && m_data[n] != 0) ++n;
    return n;
}
