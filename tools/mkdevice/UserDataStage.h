// The user's own data on the sample device: registered points in two folders and the
// safe-driving point lists in the storage folder "\Storage Card\VelkoData" (setting 64 defaults to
// the card), and four recent destinations in "\My Documents\Velko\DestPosition". Every point lies
// on the sample region's roads.
#pragma once

#include "tools/mkdevice/DeviceBuilder.h"

namespace mkdev {

struct UserDataSummary {
    int registeredPoints = 0;
    int safePoints = 0;
    int recentDestinations = 0;
};

UserDataSummary BuildUserDataStage(const DeviceLayout& layout);

} // namespace mkdev
