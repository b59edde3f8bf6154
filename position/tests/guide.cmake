# Guidance: the voice player and its clip files, the highway facility tables, guide points and
# the guidance manager.
velko_test(position_guide_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/VoicePlayerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HighwayDBTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GuideManagerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GuidePointTest.cpp
  LIBS velko_position velko_mkdevice_core)

# A guided drive over the sample region.
velko_test(position_guide_drive_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SampleGuideDriveTest.cpp
  LIBS velko_position velko_route velko_mkdevice_core)

# The guidance step and the voice thread together (also run under ThreadSanitizer).
velko_test(position_guide_thread_tests THREADED
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/GuideThreadsTest.cpp
  LIBS velko_position velko_mkdevice_core)
