// Small value types shared by the route engine, the route manager and the shell.
#pragma once

#include "platform/base/CString.h"

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

// A point on the road network: map, link and node ids (65535 = unset), network x and y
// (-1 = unset) and an extra value (0 when unset).
struct LinkPos {
    std::uint16_t mapId = 65535;
    std::uint16_t linkId = 65535;
    std::uint16_t nodeId = 65535;
    std::int32_t x = -1;
    std::int32_t y = -1;
    std::uint32_t extra = 0;

    void Reset() { *this = LinkPos(); }
    bool IsSet() const { return mapId != 65535; }
};

// A waypoint entry of a route: its network position, the raw x and y it was set from, and its name.
struct RouteWaypoint {
    LinkPos pos;
    std::int32_t x = -1;
    std::int32_t y = -1;
    CString name;
};

// A route's waypoint array.
class RouteWaypointVector {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    RouteWaypoint& operator[](int i) { return m_items[static_cast<std::size_t>(i)]; }
    const RouteWaypoint& operator[](int i) const { return m_items[static_cast<std::size_t>(i)]; }
    void Add(const RouteWaypoint& w) { m_items.push_back(w); }
    bool Insert(int index, const RouteWaypoint& w) {
        if (index < 0 || index > Count()) return false;
        m_items.insert(m_items.begin() + index, w);
        return true;
    }
    // Removes [from, to); the tail moves down. Out-of-range bounds are clipped.
    void Erase(int from, int to) {
        from = std::max(from, 0);
        to = std::min(to, Count());
        if (from < to) m_items.erase(m_items.begin() + from, m_items.begin() + to);
    }
    void Clear() { m_items.clear(); }
    // Assigns the entries [from, to) to destination, starting at its index at.
    void CopyRange(int from, int to, RouteWaypointVector& destination, int at = 0) const {
        for (int i = std::max(from, 0); i < std::min(to, Count()); ++i, ++at) {
            if (at < destination.Count())
                destination[at] = m_items[static_cast<std::size_t>(i)];
            else
                destination.Add(m_items[static_cast<std::size_t>(i)]);
        }
    }

private:
    std::vector<RouteWaypoint> m_items;
};

// A scratch byte block that only grows: a larger request drops the old contents and fills the
// new block with the fill byte; a smaller one returns the old block unchanged.
class ByteBuffer {
public:
    std::uint8_t* Reserve(std::size_t n, std::uint8_t fill) {
        if (n > m_capacity) {
            m_block = std::make_unique<std::uint8_t[]>(n);
            std::memset(m_block.get(), fill, n);
            m_capacity = n;
        }
        return m_block.get();
    }
    std::uint8_t* Data() { return m_block.get(); }
    std::size_t Capacity() const { return m_capacity; }

private:
    std::unique_ptr<std::uint8_t[]> m_block;
    std::size_t m_capacity = 0;
};
