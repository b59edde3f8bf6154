# velko_test(NAME [THREADED] [SAMPLE_DEVICE] SOURCES ... LIBS ...): one GoogleTest program,
# registered with CTest.
# THREADED programs exercise several threads; they carry the label "threaded" and are also run
# under ThreadSanitizer (target velko_threaded_tests, preset "tsan").
# SAMPLE_DEVICE programs use the standard sample device (mkdev::MakeSampleDevice,
# tools/mkdevice/testing/SampleDeviceCopy.h): each test copies the one the tool tests share
# (fixture tool_device, named in VELKO_TOOL_DEVICE) instead of building its own.
if(VELKO_TESTS AND NOT TARGET velko_threaded_tests)
  add_custom_target(velko_threaded_tests)
endif()
function(velko_test name)
  if(NOT VELKO_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "THREADED;SAMPLE_DEVICE" "" "SOURCES;LIBS" ${ARGN})
  set(labels unit)
  if(T_THREADED)
    set(labels threaded)
    add_dependencies(velko_threaded_tests ${name})
  endif()
  set(device_properties)
  if(T_SAMPLE_DEVICE)
    set(device_properties FIXTURES_REQUIRED tool_device
                          ENVIRONMENT VELKO_TOOL_DEVICE=${PROJECT_BINARY_DIR}/tools/sample-device)
    if(T_THREADED)
      add_dependencies(velko_threaded_tests velko-mkdevice)
    endif()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE VELKO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             VELKO_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 LABELS ${labels} ${device_properties})
endfunction()

# velko_library(NAME STATIC|SHARED SOURCES ... LIBS ...)
function(velko_library name kind)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} ${kind} ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS} PRIVATE ${L_PRIVATE_LIBS})
endfunction()

# velko_bench(NAME SOURCES ... LIBS ...)
function(velko_bench name)
  if(NOT VELKO_BENCH)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
endfunction()

# velko_fuzz(NAME SOURCES ... LIBS ...): a libFuzzer target; only with clang. In a build with
# tests the same entry function is also built without the fuzzing engine as NAME_replay, and a
# test replays the inputs kept in regressions/NAME/ beside the target's sources (inputs that once
# broke a reader) under the test build's sanitizers.
function(velko_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(VELKO_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
  endif()
  if(VELKO_TESTS)
    add_executable(${name}_replay ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/FuzzReplay.cpp)
    target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
    add_test(NAME ${name}_regressions COMMAND ${name}_replay ${CMAKE_CURRENT_SOURCE_DIR}/regressions/${name})
    set_tests_properties(${name}_regressions PROPERTIES LABELS unit TIMEOUT 300)
  endif()
endfunction()

# Adds every sub-folder of the current folder that has a CMakeLists.txt (tools/, bench/, fuzz/:
# one program, or a small group of them, per sub-folder).
macro(velko_add_child_folders)
  file(GLOB _children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _children)
  foreach(_child IN LISTS _children)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endmacro()
