// The typed lists of the route object: a growable array of serialisable records kept in
// insertion order, written back to back, and searched by a per-kind key.
#pragma once

#include "route/base/BinFile.h"
#include "route/base/Records.h"

#include <cstdint>
#include <vector>

// Keys of the five list kinds.
struct PointKey { // kind 1 and 3: both 32-bit values
    bool operator()(const CPathPoint& a, const CPathPoint& b) const { return a.x == b.x && a.y == b.y; }
};
struct LinkItemKey { // kind 2: the link id and the direction that follows it
    bool operator()(const CPathLinkItem& a, const CPathLinkItem& b) const {
        return a.linkId == b.linkId && a.direction == b.direction;
    }
};
struct LinkKeyKey { // kind 4: the three 16-bit ids
    bool operator()(const CRouteLinkKey& a, const CRouteLinkKey& b) const {
        return a.linkId == b.linkId && a.direction == b.direction && a.itemIndex == b.itemIndex;
    }
};
struct GuideItemKey { // kind 5: the second and third 16-bit fields
    bool operator()(const CPathGuideItem& a, const CPathGuideItem& b) const {
        return a.code == b.code && a.itemIndex == b.itemIndex;
    }
};

template <class T, class KeyEqual> class RouteItemList {
public:
    virtual ~RouteItemList() = default;

    // Writes every element back to back; buffer holds at least GetSize() bytes.
    virtual void WriteAll(void* buffer) const {
        auto* at = static_cast<std::uint8_t*>(buffer);
        for (const T& item : m_items) {
            item.Write(at);
            at += item.GetSize();
        }
    }
    virtual int GetSize() const {
        int total = 0;
        for (const T& item : m_items) total += item.GetSize();
        return total;
    }
    // The first index in [from, to) whose key equals key's; -1 when none, from >= count or from >= to.
    virtual int FindInRange(const T& key, int from, int to) const {
        int count = Count();
        if (from < 0 || from >= count || from >= to) return -1;
        if (to > count) to = count;
        for (int i = from; i < to; ++i)
            if (KeyEqual()(m_items[i], key)) return i;
        return -1;
    }
    virtual int Find(const T& key) const { return m_items.empty() ? -1 : FindInRange(key, 0, Count()); }
    // Saves every element to the file; the list operation itself reports -1.
    virtual int SaveEach(CBinFile& file) const {
        for (const T& item : m_items) item.Save(file);
        return -1;
    }

    int Count() const { return static_cast<int>(m_items.size()); }
    void Add(const T& item) { m_items.push_back(item); }
    void Clear() { m_items.clear(); }
    T& operator[](int i) { return m_items[static_cast<std::size_t>(i)]; }
    const T& operator[](int i) const { return m_items[static_cast<std::size_t>(i)]; }
    std::vector<T>& Items() { return m_items; }
    const std::vector<T>& Items() const { return m_items; }

private:
    std::vector<T> m_items;
};

using PointList = RouteItemList<CPathPoint, PointKey>;
using LinkItemList = RouteItemList<CPathLinkItem, LinkItemKey>;
using LinkKeyList = RouteItemList<CRouteLinkKey, LinkKeyKey>;
using GuideItemList = RouteItemList<CPathGuideItem, GuideItemKey>;
