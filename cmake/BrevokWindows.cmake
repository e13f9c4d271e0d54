# What every program of the Windows build shares (included when building for Windows).

# The ANSI Win32 calls (CreateProcessA, RegSetValueExA, ...): text is bytes in the system's
# code page, as everywhere in the program. Windows 7 is the oldest system we ask for.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# Text is bytes: every file the C runtime opens is opened in binary mode (mingw-w64's
# binmode.o sets _fmode), so no CR is ever added or dropped. Code that asks open() for a
# descriptor that is not inherited says O_CLOEXEC; the C runtime spells it _O_NOINHERIT.
add_compile_definitions(O_CLOEXEC=_O_NOINHERIT)
find_file(BREVOK_MINGW_BINMODE binmode.o PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH REQUIRED)
link_libraries(${BREVOK_MINGW_BINMODE})

enable_language(RC)
