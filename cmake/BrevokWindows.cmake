# What every program of the Windows build shares (included when building for Windows).

# The ANSI Win32 calls (CreateProcessA, RegSetValueExA, ...): text is bytes in the system's
# code page, as everywhere in the program. Windows 7 is the oldest system we ask for.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

enable_language(RC)

# GCC 12 at -O2 warns of an overlapping memcpy inside std::string's operator+ and insert
# (GCC bug 105651, fixed in GCC 13): the warning points into libstdc++, never at our code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)
endif()
