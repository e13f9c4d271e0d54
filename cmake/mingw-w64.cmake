# What the two Windows cross builds share (included by mingw-w64-x86_64.cmake and
# mingw-w64-i686.cmake, which set CMAKE_SYSTEM_PROCESSOR and BREVOK_MINGW_PREFIX): the
# posix-thread compilers of Debian's mingw-w64, so that std::thread and std::mutex work;
# everything linked statically, so the programs need only the system's own DLLs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${BREVOK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BREVOK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${BREVOK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BREVOK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# A release build carries no symbol tables (a Windows debugger would not read them anyway).
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# Programs built here run under Wine (tests through CTest's emulator): the `wine` found on PATH
# when the test runs, so that a machine that runs no 32-bit programs can put Wine's 64-bit loader
# first (scripts/wine-env.sh).
find_program(BREVOK_WINE NAMES wine wine64)
find_program(BREVOK_ENV NAMES env)
if(BREVOK_WINE AND BREVOK_ENV)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BREVOK_ENV} wine)
endif()
