# The drawing stage: map layers, shields, facilities, traffic links, guide points, configuration.
target_sources(velko_mkdevice_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DrawingStage.cpp)
target_link_libraries(velko_mkdevice_core PUBLIC velkobase)
