// The search's data structures: search nodes in a pool of fixed blocks, the forward and
// backward cost tables (best cost per map, node and entry slot), the binary-heap open queue
// and the path items that a searched leg hands on. Nodes refer to each other by 32-bit pool
// indices. Blocks come from the engine's private heap.
#pragma once

#include "platform/threads/Threads.h"

#include <cstdint>
#include <vector>

class MRReader;

// One link entered at one of its end nodes.
struct SearchNode {
    std::uint32_t key = 1000000000u;
    std::uint16_t mapId = 0xFFFF;
    std::uint16_t linkId = 0xFFFF;
    std::uint16_t nodeId = 0xFFFF; // the end node at which the search leaves the link
    std::uint8_t level = 0;
    std::int8_t entry = -1; // position of the link at the crossing of nodeId; -1 not found
    std::int32_t pred = -1; // pool index of the node this one was reached from
    std::int32_t self = -1; // pool index of this node
};

// One link of a searched path.
struct PathItem {
    std::uint16_t mapId = 0;
    std::uint16_t linkId = 0;
    std::uint16_t nodeId = 0;
    std::uint8_t side = 0;   // 0 found from the start side, 1 from the goal side
    std::uint8_t legEnd = 0; // 1 on the last item of a leg that ends at a waypoint
};

// Nominal sizes of the handheld's structures, from which the engine's memory guard is computed.
namespace searchsize {
constexpr std::int64_t kNode = 20;
constexpr std::int64_t kBlockNodes = 10000;
constexpr std::int64_t kBlockPointers = 50 * 4;
constexpr std::int64_t kForwardEntry = 32;
constexpr std::int64_t kBackwardEntry = 16;
} // namespace searchsize

class NodePool {
public:
    static constexpr std::int32_t kCapacity = 500000;
    ~NodePool() { Release(); }
    int Init(HANDLE heap);
    // A fresh node and its index; -1 when the pool is full or a block cannot be had (the pool
    // is then released and the pending error code set to 17).
    std::int32_t Allocate(SearchNode*& node);
    SearchNode* At(std::int32_t index);
    void Release();
    std::int64_t Bytes() const { return m_bytes; }
    std::int32_t Count() const { return m_next; }
    void SetCapacity(std::int32_t capacity) { m_capacity = capacity; }

private:
    HANDLE m_heap = nullptr;
    std::vector<SearchNode*> m_blocks;
    std::int32_t m_next = 0;
    std::int32_t m_capacity = kCapacity;
    std::int64_t m_bytes = 0;
};

// Best cost per (map, node, slot); the forward table also keeps the pool index of the node
// stored there. The slot of an entry is the entry for 0-3, else 3.
class CostTable {
public:
    static constexpr float kUnreached = 100000000.0f;
    static constexpr std::int32_t kCapacity = 500000;

    ~CostTable() { Release(); }
    int Init(HANDLE heap, const MRReader* reader, bool withIndices);
    // Creates the node-index array of a map on first entry (pending code 17 on failure).
    int MakeCostMap(int map);
    int Store(int map, int node, int entry, float cost, std::int32_t nodeIndex);
    float Cost(int map, int node, int entry) const;
    std::int32_t NodeIndex(int map, int node, int entry) const;
    void Release();
    std::int64_t Bytes() const { return m_bytes; }
    static int Slot(int entry) { return entry >= 0 && entry <= 3 ? entry : 3; }

private:
    struct Entry {
        float cost[4];
        std::int32_t index[4];
    };
    const Entry* Find(int map, int node) const;

    HANDLE m_heap = nullptr;
    const MRReader* m_reader = nullptr;
    bool m_withIndices = true;
    std::vector<std::int32_t*> m_maps;
    std::vector<int> m_mapNodes;
    std::vector<Entry*> m_blocks;
    std::int32_t m_count = 0;
    std::int64_t m_bytes = 0;
};

// Binary min-heap on the unsigned key; position 0 unused, so at most 2,999 nodes.
class NodeQueue {
public:
    static constexpr int kPositions = 3000;
    int Init();
    // 0 when 2,999 nodes are queued.
    int Push(const SearchNode& node);
    bool Pop(SearchNode& out);
    int Size() const { return m_count; }
    void Clear() { m_count = 0; }
    // A lower number of queued nodes at which Push refuses, for tests of a full queue.
    void SetLimitForTest(int nodes) {
        m_limit = nodes < 0 ? 0 : nodes > kPositions - 1 ? kPositions - 1 : nodes;
    }

private:
    std::vector<SearchNode> m_heap;
    int m_count = 0;
    int m_limit = kPositions - 1;
};

// Queue key of a float key: truncation of 10 x the key; a negative key is clamped to 0 before
// it becomes unsigned, a key beyond the unsigned range to the largest key.
std::uint32_t QueueKey(float key);

// Straight-line distance in metres between two network points of the given maps: the x scale
// is the mean of the two maps' x-scale fields, y takes 0.30879 m per unit.
float Distance(const MRReader& reader, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
               int map1, int map2);
