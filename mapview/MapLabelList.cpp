#include "mapview/MapLabelList.h"

void CMapLabelList::Insert(const MapLabelItem& item) {
    auto at = m_items.begin();
    while (at != m_items.end() && !(at->depth < item.depth)) ++at;
    m_items.insert(at, item);
}
