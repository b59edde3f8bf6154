#include "traffic/pages/TrafficRoadDB.h"

TrafficRoadDB::TrafficRoadDB() = default;
TrafficRoadDB::~TrafficRoadDB() = default;
