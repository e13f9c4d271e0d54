# The headers resource scripts include (windows.h, winres.h, afxres.h, ...), shipped beside
# brcc32 in bin/include so that a script compiles without an SDK. They are taken at build
# time from Debian's mingw-w64 headers (mingw-w64-common, placed in the public domain; see
# their DISCLAIMER.PD), the files that an RC_INVOKED preprocessing run of them reads.
# resources/include adds our own: _mingw.h with just what those files need of mingw-w64's
# compiler header, verrsrc.h, which the Windows SDK has and mingw-w64 folds into winver.h, and
# the headers whose mingw-w64 form reads the C runtime and the whole API even when
# RC_INVOKED is defined (tchar.h, stddef.h, winsock2.h, ole2.h, richedit.h, ...): ours hold
# what a resource script takes from them. winnt.h is made from winnt.h.in here, with the
# language, sublanguage and sort numbers taken from mingw-w64's winnt.h.
set(BREVOK_MINGW_INCLUDE /usr/share/mingw-w64/include CACHE PATH "mingw-w64's header folder")
set(BREVOK_SHIPPED_HEADERS
    windows.h winres.h winresrc.h afxres.h winver.h sdkddkver.h _mingw_unicode.h
    winuser.rh commctrl.rh dde.rh winnt.rh dlgs.h ntverp.h common.ver
    commctrl.h prsht.h poppack.h pshpack1.h pshpack2.h pshpack4.h pshpack8.h winapifamily.h
    # Read only these files and the ones above when RC_INVOKED is defined.
    colordlg.h commdlg.h htmlhelp.h mmsystem.h setupapi.h devpropdef.h shellapi.h wingdi.h
    winsdkver.h winspool.h wsipx.h specstrings.h sal.h driverspecs.h concurrencysal.h
)
set(BREVOK_HEADER_FOLDER ${CMAKE_BINARY_DIR}/bin/include)
set(header_outputs)
foreach(header ${BREVOK_SHIPPED_HEADERS})
  if(NOT EXISTS ${BREVOK_MINGW_INCLUDE}/${header})
    message(FATAL_ERROR "${BREVOK_MINGW_INCLUDE}/${header} is missing: install mingw-w64-common "
                        "(make deps does)")
  endif()
  add_custom_command(OUTPUT ${BREVOK_HEADER_FOLDER}/${header}
                     COMMAND ${CMAKE_COMMAND} -E copy ${BREVOK_MINGW_INCLUDE}/${header} ${BREVOK_HEADER_FOLDER}/${header}
                     DEPENDS ${BREVOK_MINGW_INCLUDE}/${header} VERBATIM)
  list(APPEND header_outputs ${BREVOK_HEADER_FOLDER}/${header})
endforeach()
file(GLOB own_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/include/*)
list(FILTER own_headers EXCLUDE REGEX "\\.in$")
# winnt.h: the plain "#define LANG_... 0x.." lines of mingw-w64's, in the order it has them.
file(STRINGS ${BREVOK_MINGW_INCLUDE}/winnt.h language_lines
     REGEX "^#define[ \t]+(LANG|SUBLANG|SORT)_[A-Z0-9_]+[ \t]+0x[0-9a-fA-F]+[ \t]*$")
list(LENGTH language_lines language_count)
if(language_count LESS 300)
  message(FATAL_ERROR "${BREVOK_MINGW_INCLUDE}/winnt.h gives ${language_count} language numbers, not its 400")
endif()
list(JOIN language_lines "\n" BREVOK_LANGUAGE_DEFINES)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${BREVOK_MINGW_INCLUDE}/winnt.h)
configure_file(${PROJECT_SOURCE_DIR}/resources/include/winnt.h.in ${BREVOK_HEADER_FOLDER}/winnt.h @ONLY)
list(APPEND header_outputs ${BREVOK_HEADER_FOLDER}/winnt.h)
foreach(path ${own_headers})
  get_filename_component(header ${path} NAME)
  add_custom_command(OUTPUT ${BREVOK_HEADER_FOLDER}/${header}
                     COMMAND ${CMAKE_COMMAND} -E copy ${path} ${BREVOK_HEADER_FOLDER}/${header}
                     DEPENDS ${path} VERBATIM)
  list(APPEND header_outputs ${BREVOK_HEADER_FOLDER}/${header})
endforeach()
add_custom_target(brevok_rc_headers ALL DEPENDS ${header_outputs})
