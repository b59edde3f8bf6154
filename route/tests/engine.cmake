# The route engine's tests: cost model, point attachment, engine life cycle and the search.
velko_test(velko_engine_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CostModelTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/PointManageTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/RoutePlanTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/SearchOracleTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/SampleRegionSearchTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/RandomRouteOracleTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/TrafficSearchTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/CorruptNetworkTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/SearchLimitTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/NationalHierarchyTest.cpp
  LIBS velko_route velko_mkdevice_core platform)
