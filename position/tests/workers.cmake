velko_test(position_workers_tests THREADED
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PositionWorkersTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompanionLoopsTest.cpp
  LIBS velko_position)
