# Helpers that turn one source folder into one library or one test program.

# brevok_library(NAME DIR [DEPS...]): every .cpp directly in DIR becomes the static
# library NAME; an empty folder gives an interface library so dependants still link.
function(brevok_library name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# brevok_tests(NAME DIR [DEPS...]): every .cpp directly in DIR becomes one GoogleTest
# program NAME, registered with CTest test by test. Extra environment for the tests
# can be given in BREVOK_TEST_ENV before the call.
find_package(GTest REQUIRED)
include(GoogleTest)
function(brevok_tests name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    BREVOK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    BREVOK_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
    BREVOK_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/${dir}/data")
  set(env "BREVOK_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
  if(BREVOK_SANITIZE)
    list(APPEND env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
                    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
                    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
  endif()
  list(APPEND env ${BREVOK_TEST_ENV})  # last, so a folder's own setting wins
  # The environment reaches discovery and every test through `cmake -E env`: a list given as
  # the ENVIRONMENT property loses all but its first entry inside gtest_discover_tests.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${env}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 600)
endfunction()
