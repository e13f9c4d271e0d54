# 64-bit Windows the MSVC way on Linux: clang for x86_64-pc-windows-msvc, linked by lld-link,
# with no C runtime and no Windows SDK. The Windows headers are mingw-w64's; kernel32.lib and
# user32.lib are mingw-w64's import libraries under the names lld-link looks for, in the folder
# BREVOK_CLIENT_LIBS (the driver script makes it). The resource compiler is named on the command
# line (-DCMAKE_RC_COMPILER=...): CMake's rc.exe rule, a .res that lld-link converts itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_C_FLAGS_INIT "-idirafter /usr/x86_64-w64-mingw32/include")
# Only the libraries a target names: there are no others.
set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld-link -Wl,/libpath:${BREVOK_CLIENT_LIBS}")
set(CMAKE_LINKER lld-link)
# With clang's GNU-like command line CMake takes any resource compiler for llvm-rc, and runs it
# on clang's preprocessed script, when llvm-rc is on PATH and no compiler was named at first:
# named here, CMake writes its rc.exe rule (<rc> <defines> <includes> /fo <res> <script>).
set(CMAKE_RC_COMPILER_INIT "${CMAKE_RC_COMPILER}")
# The rule has Ninja read a dependency file but asks for none: brcc32 writes one with -:depfile.
set(CMAKE_DEPFILE_FLAGS_RC "-:depfile <DEP_FILE>")
# Compiler checks build a static library: there is no C runtime to link a program against.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BREVOK_CLIENT_LIBS)
