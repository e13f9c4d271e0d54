# Run at every build (cmake -DROOT=<source folder> -P CheckWindowsHeader.cmake): fails when
# a file of src/ or tools/ includes a Windows API header outside its rooms, src/ui/win32/ and
# the *_win32.cpp files, which are the only code that may speak to the Windows API directly.
file(GLOB_RECURSE sources ${ROOT}/src/*.cpp ${ROOT}/src/*.h ${ROOT}/tools/*.cpp ${ROOT}/tools/*.h)
set(found)
foreach(source ${sources})
  file(RELATIVE_PATH name ${ROOT} ${source})
  if(name MATCHES "^src/ui/win32/" OR name MATCHES "_win32\\.cpp$")
    continue()
  endif()
  file(STRINGS ${source} includes REGEX
       "^[ \t]*#[ \t]*include[ \t]*[<\"](windows|winbase|winuser|wingdi|winreg|commctrl|commdlg|shellapi|shlobj|objbase)\\.h[>\"]")
  if(includes)
    list(APPEND found "${name}: ${includes}")
  endif()
endforeach()
if(found)
  list(JOIN found "\n  " listing)
  message(FATAL_ERROR "Windows API headers belong in src/ui/win32/ and *_win32.cpp files only:\n  ${listing}")
endif()
