# The map window: paint, layer drawing, views, lookups, and the symbol stand-in.
target_sources(velko_mapview PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MapWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapWndPaint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapLayerDrawing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapWndLookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapLabelList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapSymbolStandIn.cpp)
target_link_libraries(velko_mapview PUBLIC velko_route platform)
