#include "route/EngineList.h"

bool List::Add(std::uint32_t payload) {
    if (!m_heap) return false;
    auto* node = static_cast<Node*>(HeapAlloc(m_heap, HEAP_NO_SERIALIZE, sizeof(Node)));
    if (!node) return false;
    auto* data = static_cast<std::uint32_t*>(HeapAlloc(m_heap, HEAP_NO_SERIALIZE, sizeof(std::uint32_t)));
    if (!data) {
        HeapFree(m_heap, HEAP_NO_SERIALIZE, node);
        return false;
    }
    *data = payload;
    node->next = nullptr;
    node->payload = data;
    if (m_tail)
        m_tail->next = node;
    else
        m_head = node;
    m_tail = node;
    ++m_count;
    return true;
}

void List::Clear() {
    Node* n = m_head;
    while (n) {
        Node* next = n->next;
        if (m_heap) {
            HeapFree(m_heap, HEAP_NO_SERIALIZE, n->payload);
            HeapFree(m_heap, HEAP_NO_SERIALIZE, n);
        }
        n = next;
    }
    m_head = m_tail = nullptr;
    m_count = 0;
}

bool MapIdList::Add(std::int32_t id) {
    if (m_count >= kCapacity || Find(id) >= 0) return false;
    m_ids[m_count++] = id;
    return true;
}

int MapIdList::Find(std::int32_t id) const {
    for (int i = 0; i < m_count; ++i)
        if (m_ids[i] == id) return i;
    return -1;
}
