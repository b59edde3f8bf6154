#include "traffic/pages/TrafficRoadDB.h"

#include <gtest/gtest.h>

TEST(TrafficRoadDB, ConstructsEmpty) {
    TrafficRoadDB db;
    SUCCEED();
}
