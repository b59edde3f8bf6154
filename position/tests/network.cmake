# The road-network reader of positioning.
velko_test(velko_position_network_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MRNetReaderTest.cpp ${CMAKE_CURRENT_LIST_DIR}/PagedFileTest.cpp
  LIBS velko_position velko_mkdevice_core)
