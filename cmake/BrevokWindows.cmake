# What every program of the Windows build shares (included when building for Windows).

# The ANSI Win32 calls (CreateProcessA, RegSetValueExA, ...): text is bytes in the system's
# code page, as everywhere in the program. Windows 7 is the oldest system we ask for.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

enable_language(RC)
