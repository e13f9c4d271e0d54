# Cross build for 32-bit Windows (i686) with mingw-w64 on Debian.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BREVOK_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
