// The route tool's printing of a route: key=value lines for the totals, the route items, the
// guide items and the facility entries.
#pragma once

#include "route/RoutePath.h"

#include <ostream>

namespace routetool {

// "result=<code> length= time= highway= share=" from the path's header.
void PrintSummary(std::ostream& out, int code, const CRoutePath& path);
// One "item" line per route item, one "guide" line per guide item, one "facility" line per
// facility entry.
void PrintItems(std::ostream& out, const CRoutePath& path);

} // namespace routetool
