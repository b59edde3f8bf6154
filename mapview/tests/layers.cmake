velko_test(velko_mapview_layers_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MapLayerFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LayerRecordsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MapViewTransformTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CodeRecordTest.cpp
  LIBS velko_mapview)

# The sample device's drawing data read back through the layer reader.
velko_test(velko_drawing_data_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DrawingDataTest.cpp
  LIBS velko_mapview velko_mkdevice_core)
