// The labels and symbols that the bird's-eye drawing collects while it walks the layers, kept
// in order of decreasing depth (far first) and drawn after the sky.
#pragma once

#include "mapview/LayerRecords.h"

#include <cstdint>
#include <list>

struct MapLabelItem {
    int kind = 0;
    bool tiled = true;
    std::int32_t x = 0, y = 0, depth = 0; // screen point and depth
    // The record's drawing fields.
    std::uint8_t symbol = 0, symbolSource = 0;
    std::int8_t textDx = 0, textDy = 0;
    std::string text; // CP949
};

class CMapLabelList {
public:
    // Inserted after the last item whose depth is at least the new one's (items of equal depth
    // keep the order in which they came).
    void Insert(const MapLabelItem& item);
    void Clear() { m_items.clear(); }
    bool IsEmpty() const { return m_items.empty(); }
    std::size_t Size() const { return m_items.size(); }
    const std::list<MapLabelItem>& Items() const { return m_items; }

private:
    std::list<MapLabelItem> m_items;
};
