// A fixed-size array of stock items, owned, kept in ascending key order and searched by
// bisection over the items inserted so far.
#pragma once

#include "traffic/receiver/SIM.h"

#include <cstdint>

class CDARCArray {
public:
    CDARCArray() { init(); }
    virtual ~CDARCArray();
    CDARCArray(const CDARCArray&) = delete;
    CDARCArray& operator=(const CDARCArray&) = delete;

    // Frees every item (its name first) and the slots.
    void init();
    // init, then size empty slots; false when they cannot be allocated.
    bool setSize(int size);
    // Takes the item into the next free slot; false when every slot is taken.
    bool insert(SIM* item);
    SIM* search(unsigned long key) const;
    bool destroy();
    void startTravel() { m_cursor = 0; }
    SIM* next();
    std::uint32_t size() const { return m_size; }
    std::uint32_t count() const { return m_count; }

private:
    std::uint32_t m_size = 0;
    std::uint32_t m_count = 0;
    std::uint32_t m_cursor = 0;
    SIM** m_slots = nullptr;
};
