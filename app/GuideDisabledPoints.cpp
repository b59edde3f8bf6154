#include "app/GuideDisabledPoints.h"

#include "position/GuideManager.h"
#include "position/SafePointList.h"

void SetGuideDisabledPoints(CGuideManager& guide, const std::vector<CSafePointRecord>& removed) {
    std::vector<SafePointEntry> deleted;
    deleted.reserve(removed.size());
    for (const CSafePointRecord& r : removed) {
        SafePointEntry e;
        e.x = r.x;
        e.y = r.y;
        e.type = r.values[0];
        e.heading = r.values[1];
        deleted.push_back(e);
    }
    guide.SetDisabledGuidePoints(deleted);
}
