#include "route/MRReader.h"
#include "route/RouteSearch.h"
#include "route/base/ErrorLog.h"

#include <cmath>
#include <cstdlib>

namespace {
constexpr int kOutOfMemory = 17;
}

// ---- NodePool ----

int NodePool::Init(HANDLE heap) {
    m_heap = heap;
    Release();
    SearchNode* unused = nullptr;
    // The first block is taken at initialisation.
    if (Allocate(unused) < 0) return 0;
    Release();
    return 1;
}

std::int32_t NodePool::Allocate(SearchNode*& node) {
    node = nullptr;
    if (m_next >= m_capacity) {
        Release();
        ErrorLog::Instance().SetErrorCode(kOutOfMemory);
        return -1;
    }
    std::size_t block = static_cast<std::size_t>(m_next / searchsize::kBlockNodes);
    if (block >= m_blocks.size()) {
        void* mem = m_heap
                        ? HeapAlloc(m_heap, HEAP_NO_SERIALIZE, sizeof(SearchNode) * searchsize::kBlockNodes)
                        : nullptr;
        if (!mem) {
            Release();
            ErrorLog::Instance().SetErrorCode(kOutOfMemory);
            return -1;
        }
        m_blocks.push_back(static_cast<SearchNode*>(mem));
        if (m_blocks.size() == 1) m_bytes += searchsize::kBlockPointers;
        m_bytes += searchsize::kNode * searchsize::kBlockNodes;
    }
    std::int32_t index = m_next++;
    node = &m_blocks[block][index % searchsize::kBlockNodes];
    *node = SearchNode();
    node->self = index;
    return index;
}

SearchNode* NodePool::At(std::int32_t index) {
    if (index < 0 || index >= m_next) return nullptr;
    return &m_blocks[static_cast<std::size_t>(index / searchsize::kBlockNodes)]
                    [index % searchsize::kBlockNodes];
}

void NodePool::Release() {
    for (SearchNode* b : m_blocks)
        if (m_heap) HeapFree(m_heap, HEAP_NO_SERIALIZE, b);
    m_blocks.clear();
    m_next = 0;
    m_bytes = 0;
}

// ---- CostTable ----

int CostTable::Init(HANDLE heap, const MRReader* reader, bool withIndices) {
    Release();
    m_heap = heap;
    m_reader = reader;
    m_withIndices = withIndices;
    if (!heap || !reader) return 0;
    m_maps.assign(reader->MapCount(), nullptr);
    m_mapNodes.assign(reader->MapCount(), 0);
    return 1;
}

int CostTable::MakeCostMap(int map) {
    if (map < 0 || map >= static_cast<int>(m_maps.size())) {
        ErrorLog::Instance().SetErrorCode(2);
        return 0;
    }
    if (m_maps[static_cast<std::size_t>(map)]) return 1;
    const MRMapRecord* rec = m_reader->MapRecord(map);
    int nodes = rec ? rec->nodeCount : 0;
    std::size_t bytes = static_cast<std::size_t>(nodes > 0 ? nodes : 1) * sizeof(std::int32_t);
    auto* index = static_cast<std::int32_t*>(HeapAlloc(m_heap, HEAP_NO_SERIALIZE, bytes));
    if (!index) {
        ErrorLog::Instance().SetErrorCode(kOutOfMemory);
        return 0;
    }
    for (int i = 0; i < nodes; ++i) index[i] = -1;
    m_maps[static_cast<std::size_t>(map)] = index;
    m_mapNodes[static_cast<std::size_t>(map)] = nodes;
    m_bytes += 4 * static_cast<std::int64_t>(nodes);
    return 1;
}

const CostTable::Entry* CostTable::Find(int map, int node) const {
    if (map < 0 || map >= static_cast<int>(m_maps.size())) return nullptr;
    const std::int32_t* index = m_maps[static_cast<std::size_t>(map)];
    if (!index || node < 0 || node >= m_mapNodes[static_cast<std::size_t>(map)]) return nullptr;
    std::int32_t e = index[node];
    if (e < 0) return nullptr;
    return &m_blocks[static_cast<std::size_t>(e / searchsize::kBlockNodes)][e % searchsize::kBlockNodes];
}

int CostTable::Store(int map, int node, int entry, float cost, std::int32_t nodeIndex) {
    if (map < 0 || map >= static_cast<int>(m_maps.size())) return 0;
    std::int32_t* index = m_maps[static_cast<std::size_t>(map)];
    if (!index || node < 0 || node >= m_mapNodes[static_cast<std::size_t>(map)]) return 0;
    if (index[node] < 0) {
        if (m_count >= kCapacity) {
            ErrorLog::Instance().SetErrorCode(kOutOfMemory);
            return 0;
        }
        std::size_t block = static_cast<std::size_t>(m_count / searchsize::kBlockNodes);
        if (block >= m_blocks.size()) {
            void* mem = HeapAlloc(m_heap, HEAP_NO_SERIALIZE, sizeof(Entry) * searchsize::kBlockNodes);
            if (!mem) {
                ErrorLog::Instance().SetErrorCode(kOutOfMemory);
                return 0;
            }
            m_blocks.push_back(static_cast<Entry*>(mem));
            if (m_blocks.size() == 1) m_bytes += searchsize::kBlockPointers;
            m_bytes += (m_withIndices ? searchsize::kForwardEntry : searchsize::kBackwardEntry) *
                       searchsize::kBlockNodes;
        }
        Entry& e = m_blocks[block][m_count % searchsize::kBlockNodes];
        for (int s = 0; s < 4; ++s) {
            e.cost[s] = kUnreached;
            e.index[s] = -1;
        }
        index[node] = m_count++;
    }
    std::int32_t at = index[node];
    Entry& e = m_blocks[static_cast<std::size_t>(at / searchsize::kBlockNodes)][at % searchsize::kBlockNodes];
    int slot = Slot(entry);
    e.cost[slot] = cost;
    if (m_withIndices) e.index[slot] = nodeIndex;
    return 1;
}

float CostTable::Cost(int map, int node, int entry) const {
    const Entry* e = Find(map, node);
    return e ? e->cost[Slot(entry)] : kUnreached;
}

std::int32_t CostTable::NodeIndex(int map, int node, int entry) const {
    const Entry* e = Find(map, node);
    return e && m_withIndices ? e->index[Slot(entry)] : -1;
}

void CostTable::Release() {
    if (m_heap) {
        for (std::int32_t* p : m_maps)
            if (p) HeapFree(m_heap, HEAP_NO_SERIALIZE, p);
        for (Entry* b : m_blocks) HeapFree(m_heap, HEAP_NO_SERIALIZE, b);
    }
    for (auto& p : m_maps) p = nullptr;
    for (int& n : m_mapNodes) n = 0;
    m_blocks.clear();
    m_count = 0;
    m_bytes = 0;
}

// ---- NodeQueue ----

int NodeQueue::Init() {
    m_heap.assign(kPositions, SearchNode());
    m_count = 0;
    return 1;
}

int NodeQueue::Push(const SearchNode& node) {
    if (m_count >= m_limit) return 0;
    int i = ++m_count;
    while (i > 1 && m_heap[static_cast<std::size_t>(i / 2)].key > node.key) {
        m_heap[static_cast<std::size_t>(i)] = m_heap[static_cast<std::size_t>(i / 2)];
        i /= 2;
    }
    m_heap[static_cast<std::size_t>(i)] = node;
    return 1;
}

bool NodeQueue::Pop(SearchNode& out) {
    if (m_count == 0) return false;
    out = m_heap[1];
    SearchNode last = m_heap[static_cast<std::size_t>(m_count)];
    --m_count;
    int i = 1;
    while (2 * i <= m_count) {
        int child = 2 * i;
        if (child + 1 <= m_count &&
            m_heap[static_cast<std::size_t>(child + 1)].key < m_heap[static_cast<std::size_t>(child)].key)
            ++child;
        if (last.key <= m_heap[static_cast<std::size_t>(child)].key) break;
        m_heap[static_cast<std::size_t>(i)] = m_heap[static_cast<std::size_t>(child)];
        i = child;
    }
    if (m_count > 0) m_heap[static_cast<std::size_t>(i)] = last;
    return true;
}

std::uint32_t QueueKey(float f) {
    float k = std::trunc(10.0f * f);
    if (!(k > 0.0f)) return 0;
    if (k >= 4294967295.0f) return 4294967295u;
    return static_cast<std::uint32_t>(k);
}

// ---- Distance ----

float Distance(const MRReader& reader, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
               int map1, int map2) {
    const MRMapRecord* r1 = reader.MapRecord(map1);
    const MRMapRecord* r2 = reader.MapRecord(map2);
    float u1 = r1 ? static_cast<float>(r1->xScale) : 27654.0f;
    float u2 = r2 ? static_cast<float>(r2->xScale) : 27654.0f;
    float dx = static_cast<float>(std::llabs(static_cast<long long>(x1) - x2)) * (u1 + u2) * 1e-5f * 0.5f;
    float dy = static_cast<float>(std::llabs(static_cast<long long>(y1) - y2)) * 0.30879f;
    return std::sqrt(dx * dx + dy * dy);
}
