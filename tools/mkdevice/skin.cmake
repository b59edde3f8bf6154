# The skin stage: the interface's images from the manifests in skin/, the weather group drawn in
# code (its maps follow the weather map's tables), and the tap sound.
target_sources(velko_mkdevice_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SkinStage.cpp ${CMAKE_CURRENT_LIST_DIR}/WeatherSkin.cpp)
target_link_libraries(velko_mkdevice_core PUBLIC platform_gdi)
target_compile_definitions(velko_mkdevice_core PUBLIC VELKO_SKIN_MANIFESTS="${CMAKE_CURRENT_LIST_DIR}/skin")
