# The route engine: point attachment, the search and its cost model, the live-traffic stand-in.
target_sources(velko_route PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TrafficStandIn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CostModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PointManage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SearchStructures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RouteSearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RoutePlan.cpp)
