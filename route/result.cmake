# The route result, the route object, the route manager and the route files.
target_sources(velko_route PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RoutePath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RouteFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RpResult.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RouteManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RouteDrawing.cpp)
