velko_test(position_gps_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GeometryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NmeaParserTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ZarnReceiverTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SerialPortTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GpsLogSynthTest.cpp
  LIBS velko_position)
