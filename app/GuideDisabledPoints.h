// Handing guidance the built-in guide points the user switched off: each stored point (network
// x and y, its kind in the first value and its heading in the second) becomes a deleted point
// that guidance matches against its guide points by position and heading.
#pragma once

#include "route/base/Records.h"

#include <vector>

class CGuideManager;

void SetGuideDisabledPoints(CGuideManager& guide, const std::vector<CSafePointRecord>& removed);
