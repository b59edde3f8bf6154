// Hand-made routes and car positions for the guidance tests. A route is a list of items, each one
// link of map 0 with its length, kind and guide code; the car is placed on an item a given number
// of metres before the item's end.
#pragma once

#include "position/MatchResult.h"
#include "route/MRFormat.h"
#include "route/RoutePath.h"

#include <cstdint>
#include <vector>

namespace guidetest {

struct ItemSpec {
    int length = 0;   // metres, also the link's length
    int kind = 0;     // 0 none, 1 guided, 2 waypoint, 3 goal
    int guideCode = 0;
};
struct FacilitySpec {
    int code = 0;  // 1 junction direction, 2 rest area, 3 junction, 4 interchange
    int value = 0; // the facility's id
    int item = 0;  // route item index
};

// Item i is link 100 + i of map 0, travelled along.
inline CRoutePath MakeRoute(const std::vector<ItemSpec>& items, const std::vector<FacilitySpec>& facilities = {}) {
    CRoutePath path;
    std::int64_t remaining = 0;
    for (const ItemSpec& s : items) remaining += s.length;
    CPathLinkRef itemRun;
    itemRun.count = static_cast<std::uint16_t>(items.size());
    path.ItemRuns().Add(itemRun);
    int guides = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        CPathLinkItem it;
        it.linkId = static_cast<std::uint16_t>(100 + i);
        it.kind = static_cast<std::uint8_t>(items[i].kind);
        it.remaining = static_cast<std::uint32_t>(remaining);
        remaining -= items[i].length;
        path.Items().Add(it);
        if (items[i].kind != 0) {
            CRouteLinkKey g;
            g.linkId = it.linkId;
            g.itemIndex = static_cast<std::int16_t>(i);
            g.guideCode = static_cast<std::uint8_t>(items[i].guideCode);
            path.Guides().Add(g);
            ++guides;
        }
    }
    CPathLinkRef guideRun;
    guideRun.count = static_cast<std::uint16_t>(guides);
    path.GuideRuns().Add(guideRun);
    for (const FacilitySpec& f : facilities) {
        CPathGuideItem e;
        e.code = static_cast<std::int16_t>(f.code);
        e.value = static_cast<std::int16_t>(f.value);
        e.itemIndex = static_cast<std::int16_t>(f.item);
        path.Facilities().Add(e);
    }
    path.SyncCounts();
    const std::vector<std::uint8_t> bytes = path.Pack();
    CRoutePath loaded;
    loaded.ReadBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return loaded;
}

// Road attribute byte 0 of a link: the road class in bits 5-7.
constexpr std::uint8_t kOrdinaryRoad = 3 << 5;
constexpr std::uint8_t kExpressway = 1 << 5;

// The car on item `item` (link 100 + item), `before` metres before the link's end.
inline MatchResult CarOn(const CRoutePath& route, int item, int linkLength, int before, std::uint8_t roadClass = kOrdinaryRoad,
                         int speedMps = 15) {
    MatchResult m;
    m.mapId = 0;
    m.linkIndex = static_cast<std::int16_t>(100 + item);
    m.reverse = 0;
    m.status = 1;
    m.speedMps = static_cast<std::int16_t>(speedMps);
    m.speedKmh = speedMps * 36 / 10;
    mrformat::PutU16(m.link + 8, static_cast<std::uint32_t>(linkLength));
    m.link[10] = roadClass;
    // The place on the link whose driven metres, int(position x 1e-5 x length), are as wanted.
    const int driven = linkLength - before;
    std::int32_t pos = static_cast<std::int32_t>(static_cast<std::int64_t>(driven) * 100000 / linkLength);
    while (static_cast<int>(pos * 1e-5 * linkLength) < driven) ++pos;
    m.linkPosition = pos;
    m.x = 45800000 + item * 1000;
    m.y = 13500000;
    (void)route;
    return m;
}

} // namespace guidetest
