# The skin stage: the interface's images from the manifests in skin/, and the tap sound.
target_sources(velko_mkdevice_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SkinStage.cpp)
target_link_libraries(velko_mkdevice_core PUBLIC platform_gdi)
target_compile_definitions(velko_mkdevice_core PUBLIC VELKO_SKIN_MANIFESTS="${CMAKE_CURRENT_LIST_DIR}/skin")
