# ob_library(name [PLATFORM] folder...): a static library of every .cpp/.c in
# the folders (recursively). The program's libraries name headers from the
# top of the tree ("platform/...") or from src/ ("model/..."); a PLATFORM
# library sees only the top, so it cannot name a program header by its short
# form. scripts/check-layers.sh checks the rest.
function(ob_library name)
  cmake_parse_arguments(L "PLATFORM" "" "" ${ARGN})
  set(srcs)
  foreach(dir IN LISTS L_UNPARSED_ARGUMENTS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.c)
    list(APPEND srcs ${found})
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  if(NOT L_PLATFORM)
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  endif()
endfunction()

# ob_test(name folder... LIBS lib...): one GoogleTest executable from the
# test folders, registered with CTest test by test.
function(ob_test name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  set(srcs)
  foreach(dir IN LISTS T_UNPARSED_ARGUMENTS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND srcs ${found})
  endforeach()
  add_executable(${name} ${srcs})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    ORBELLINE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    ORBELLINE_APP_DIR="${ORBELLINE_APP_DIR}"
    ORBELLINE_TEST_BIN_DIR="${CMAKE_BINARY_DIR}/tests")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests PROPERTIES TIMEOUT 300)
endfunction()

# ob_bench(name file... LIBS lib...)
function(ob_bench name)
  cmake_parse_arguments(B "" "" "LIBS" ${ARGN})
  add_executable(${name} ${B_UNPARSED_ARGUMENTS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()
