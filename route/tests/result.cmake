# Tests of the route result, the route object, the route manager and the route files.
velko_test(velko_result_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RoutePathTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/RouteFileTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/RpResultTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/RouteManagerTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/RouteDrawingTest.cpp
  LIBS velko_route velko_mkdevice_core platform)
