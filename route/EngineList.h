// The engine's small lists: List, a singly linked list of 4-byte payloads whose nodes come from
// the engine's private heap (the point attachment keeps its candidate links in one), and
// MapIdList, a set of at most 16 distinct map ids in insertion order.
#pragma once

#include "platform/threads/Threads.h"

#include <cstdint>

class List {
public:
    explicit List(HANDLE heap = nullptr) : m_heap(heap) {}
    ~List() { Clear(); }
    List(const List&) = delete;
    List& operator=(const List&) = delete;

    void SetHeap(HANDLE heap) {
        Clear();
        m_heap = heap;
    }
    // Appends a payload at the tail; false when the heap has no room (the list is unchanged).
    bool Add(std::uint32_t payload);
    void Clear();
    int Count() const { return m_count; }

    // Visits the payloads from head to tail.
    template <class F> void ForEach(F f) const {
        for (const Node* n = m_head; n; n = n->next) f(*n->payload);
    }

private:
    struct Node {
        Node* next;
        std::uint32_t* payload;
    };
    HANDLE m_heap = nullptr;
    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    int m_count = 0;
};

class MapIdList {
public:
    static constexpr int kCapacity = 16;
    // False for an id already held or a 17th id.
    bool Add(std::int32_t id);
    // Index of the id, -1 when absent.
    int Find(std::int32_t id) const;
    // Entry i, -1 when there is no such entry.
    std::int32_t At(int i) const { return i >= 0 && i < m_count ? m_ids[i] : -1; }
    int Count() const { return m_count; }
    void Clear() { m_count = 0; }

private:
    std::int32_t m_ids[kCapacity] = {};
    int m_count = 0;
};
