# Map matching, the position-on-road engines, the driving trail and the simulated drive.
velko_test(position_match_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MapMatcherScenarioTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MapMatcherRulesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MapMatcherTrackingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MapMatcherReadPathTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PositionEnginesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LocusRecorderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RouteSimulatorTest.cpp
  LIBS velko_position velko_mkdevice_core)

# A planned route on the sample region: the simulated drive, and a synthesised log matched back
# by the tools.
velko_test(position_match_route_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SampleRouteDriveTest.cpp
  LIBS velko_position velko_route velko_mkdevice_core)
if(TARGET position_match_route_tests)
  target_compile_definitions(position_match_route_tests PRIVATE
    GPSSYNTH_EXE="$<TARGET_FILE:velko-gpssynth>" GPSMATCH_EXE="$<TARGET_FILE:velko-gpsmatch>")
  add_dependencies(position_match_route_tests velko-gpssynth velko-gpsmatch)
endif()
