# Cross build for 64-bit Windows (x86_64) with mingw-w64 on Debian.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BREVOK_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
