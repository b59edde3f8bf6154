// Route-file loading: a saved route or RouteTbl.bin (route header, then the route object's
// stream) and a route information record, followed by the queries guidance makes.
#include "route/RouteFile.h"
#include "route/RouteManager.h"
#include "route/RoutePath.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 24)) return 0;
    const auto n = static_cast<std::int32_t>(size);
    CRoute route;
    if (route.ReadBuffer(data, n)) {
        CRoutePath& path = *route.path;
        route.ComputeOverview();
        const int items = path.ItemCount();
        for (int i = -1; i <= items; ++i) {
            int a = 0, b = 0, c = 0;
            std::uint16_t w = 0;
            CRouteLinkKey guides[2];
            path.GetItemIds(i, a, b, w);
            path.GetNextItemIds(i, a, b);
            path.GetDistanceBetween(i, items, c);
            path.GetDistanceBetween(i, -1, c);
            path.FindNextGuided(i, a, c);
            path.IsAheadWithin(i, a, b);
            path.FindGuideOfItem(i, guides[0], c);
            int index = i;
            path.FindRouteItem(a, b, w & 0xFF, guides, index, 1);
            path.CountItemsOfKind(a, b, w & 0xFF, 2, c);
            path.UpdateProgress(a, b, w & 0xFF, i, c);
            for (int code = 1; code <= 5; ++code) {
                RouteFacility f;
                path.GetFacilityCount(c, code);
                if (path.FindFacilityIndex(i, c, code)) path.GetFacility(c, f, code);
            }
        }
        (void)path.Pack();
    }
    CRoutePath bare;
    bare.ReadBuffer(data, n);
    if (size >= static_cast<std::size_t>(RouteFileRecord::kSize)) {
        RouteFileRecord record;
        record.ReadBuffer(data);
        CRoutePath rest;
        rest.ReadBuffer(data + RouteFileRecord::kSize, n - RouteFileRecord::kSize);
    }
    return 0;
}
