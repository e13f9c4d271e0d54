# The headers resource scripts include (windows.h, winres.h, afxres.h, ...), shipped beside
# brcc32 in bin/include so that a script compiles without an SDK. They are taken at build
# time from Debian's mingw-w64 headers (mingw-w64-common, placed in the public domain; see
# their DISCLAIMER.PD), the files that an RC_INVOKED preprocessing run of them reads.
# resources/include adds our own: _mingw.h with just what those files need of mingw-w64's
# compiler header, and verrsrc.h, which the Windows SDK has and mingw-w64 folds into winver.h.
set(BREVOK_MINGW_INCLUDE /usr/share/mingw-w64/include CACHE PATH "mingw-w64's header folder")
set(BREVOK_SHIPPED_HEADERS
    windows.h winres.h winresrc.h afxres.h winver.h sdkddkver.h _mingw_unicode.h
    winuser.rh commctrl.rh dde.rh winnt.rh dlgs.h ntverp.h common.ver
    commctrl.h prsht.h poppack.h pshpack1.h pshpack2.h pshpack4.h pshpack8.h winapifamily.h
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
foreach(path ${own_headers})
  get_filename_component(header ${path} NAME)
  add_custom_command(OUTPUT ${BREVOK_HEADER_FOLDER}/${header}
                     COMMAND ${CMAKE_COMMAND} -E copy ${path} ${BREVOK_HEADER_FOLDER}/${header}
                     DEPENDS ${path} VERBATIM)
  list(APPEND header_outputs ${BREVOK_HEADER_FOLDER}/${header})
endforeach()
add_custom_target(brevok_rc_headers ALL DEPENDS ${header_outputs})
