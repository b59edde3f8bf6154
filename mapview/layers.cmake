# Layer files, projection and location codes.
target_sources(velko_mapview PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MapLayerFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayerRecords.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapViewTransform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CodeRecord.cpp)
target_link_libraries(velko_mapview PUBLIC velkobase)
