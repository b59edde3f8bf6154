// The broadcast road tables (Darc\DLevel1.db): the levels of groups, roads and sections the
// traffic pages browse.
#pragma once

class TrafficRoadDB {
public:
    TrafficRoadDB();
    ~TrafficRoadDB();
};
