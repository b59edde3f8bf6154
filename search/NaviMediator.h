// What the search screens hand to the program's main view: markers of the nearby facilities found
// (drawn on the map), the state of the nearby search and hardware keys. The view implements it;
// the search library only holds a pointer.
#pragma once

#include "platform/base/CString.h"

#include <cstdint>

// A facility marker: its name, its position (point-file coordinates) and the facility's brand
// code, or 92 for the highlighted facility.
class AroundFacilityItem {
public:
    static constexpr std::int32_t kHighlighted = 92;

    AroundFacilityItem() = default;
    AroundFacilityItem(const CString& name, std::int32_t x, std::int32_t y, std::int32_t value)
        : name(name), x(x), y(y), value(value) {}
    virtual ~AroundFacilityItem() = default;

    CString name;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t value = 0;
};

class NaviMediator {
public:
    virtual ~NaviMediator() = default;
    // Takes the item over: the receiver deletes it.
    virtual void AddItem(AroundFacilityItem* item) = 0;
    // Copies name, position and value into marker i when i is in range; the caller keeps item.
    virtual void SetItem(int i, const AroundFacilityItem& item) = 0;
    virtual void SetState(int state) = 0;
    virtual void ForwardKey(int key) = 0;
};
