#include "traffic/receiver/DARCArray.h"

#include <cstddef>
#include <new>

CDARCArray::~CDARCArray() { init(); }

void CDARCArray::init() {
    if (m_slots) {
        for (std::uint32_t i = 0; i < m_size; ++i) {
            if (!m_slots[i]) continue;
            delete[] m_slots[i]->name;
            delete m_slots[i];
        }
        delete[] m_slots;
    }
    m_slots = nullptr;
    m_size = 0;
    m_count = 0;
    m_cursor = 0;
}

bool CDARCArray::setSize(int size) {
    init();
    if (size <= 0) return size == 0;
    m_slots = new (std::nothrow) SIM*[static_cast<std::size_t>(size)]();
    if (!m_slots) return false;
    m_size = static_cast<std::uint32_t>(size);
    return true;
}

bool CDARCArray::insert(SIM* item) {
    if (!m_slots || !item || m_count >= m_size) return false;
    m_slots[m_count++] = item;
    return true;
}

SIM* CDARCArray::search(unsigned long key) const {
    // Only the inserted items take part: empty slots are never looked at.
    if (m_count == 0) return nullptr;
    if (key > m_slots[m_count - 1]->key || key < m_slots[0]->key) return nullptr;
    long lo = 0;
    long hi = static_cast<long>(m_count) - 1;
    while (lo <= hi) {
        long mid = (lo + hi) / 2;
        std::uint32_t k = m_slots[mid]->key;
        if (k == key) return m_slots[mid];
        if (k < key)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return nullptr;
}

bool CDARCArray::destroy() {
    init();
    return true;
}

SIM* CDARCArray::next() {
    if (m_cursor >= m_size) return nullptr;
    return m_slots[m_cursor++];
}
