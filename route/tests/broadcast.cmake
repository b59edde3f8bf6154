velko_test(velko_broadcast_build_tests
  SOURCES BroadcastBuildTest.cpp
  LIBS velko_route velko_mkdevice_core halmic)
