# The route engine: point attachment, the search and its cost model (link speeds come from the
# broadcast receiver's link-speed store).
target_sources(velko_route PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CostModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PointManage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SearchStructures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RouteSearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RoutePlan.cpp)
target_link_libraries(velko_route PUBLIC halmic)
