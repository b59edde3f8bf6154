velko_test(velko_broadcast_build_tests SAMPLE_DEVICE
  SOURCES BroadcastBuildTest.cpp
  LIBS velko_route velko_mkdevice_core halmic)
