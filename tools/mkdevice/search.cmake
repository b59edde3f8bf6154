# The search stage: the place table and the search databases drawn from it.
find_package(ZLIB REQUIRED)
target_sources(velko_mkdevice_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PlaceTable.cpp ${CMAKE_CURRENT_LIST_DIR}/SearchStage.cpp
                                           ${CMAKE_CURRENT_LIST_DIR}/AreaStage.cpp)
target_link_libraries(velko_mkdevice_core PUBLIC velkobase PRIVATE ZLIB::ZLIB)
