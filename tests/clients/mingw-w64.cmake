# 64-bit Windows with Debian's mingw-w64 gcc. The resource compiler is named on the command line
# (-DCMAKE_RC_COMPILER=...).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# CMake's windres rule asks for no dependency file: ask for one, so that Ninja rebuilds the
# resources when a header or a file the script reads changes.
set(CMAKE_DEPFILE_FLAGS_RC "--preprocessor-arg=-MD --preprocessor-arg=-MQ<OBJECT> --preprocessor-arg=-MF<DEP_FILE>")
