# Installing like a desktop program (make install) and the Debian package (make package).
#
# Layout below the prefix (/usr/local for make install, /usr in the package):
#   bin/                      brevok and its companions brcc32, brc32, brevdos: the program runs
#                             its companions from its own folder; brcc32-windres, a link to
#                             brcc32 that takes windres's command line
#   share/brevok/             the help page and its pictures, include/ with the headers scripts
#                             include; the program looks beside itself
#                             first, then in <its folder>/../share/brevok, so bin and share
#                             stay fixed names here instead of following GNUInstallDirs
#   share/applications/       the desktop entry
#   share/icons/hicolor/      the program icon, PNG sizes committed (scripts/draw-icon.sh) and SVG
#   share/mime/packages/      the MIME type of resource scripts
#   share/man/man1/           a manual page per program
# A Debian system refreshes the desktop, icon and MIME caches itself when a package puts files
# in those folders (dpkg triggers); after make install, see README.md.

set(BREVOK_HELP_DIR share/brevok)
set(BREVOK_MAN_PAGES brcc32 brc32 brevdos)

install(TARGETS brcc32 brc32 brevdos RUNTIME DESTINATION bin)
# brcc32-windres as the build made it (tools/CMakeLists.txt): the link is installed as a link.
install(PROGRAMS $<TARGET_FILE_DIR:brcc32>/${BREVOK_WINDRES_NAME} DESTINATION bin)
# The headers resource scripts include; brcc32 finds them in <its folder>/../share/brevok/include.
install(DIRECTORY ${BREVOK_HEADER_FOLDER}/ DESTINATION ${BREVOK_HELP_DIR}/include)

if(TARGET brevok)
  install(TARGETS brevok RUNTIME DESTINATION bin)
  file(GLOB help_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/help/*)
  install(FILES ${help_files} DESTINATION ${BREVOK_HELP_DIR})
  install(FILES resources/linux/brevok.desktop DESTINATION share/applications)
  install(FILES resources/linux/brevok-mime.xml DESTINATION share/mime/packages RENAME brevok.xml)
  foreach(size 16 32 48 64 128 256)
    install(FILES resources/icons/hicolor/${size}x${size}/apps/brevok.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(FILES resources/images/brevok.svg DESTINATION share/icons/hicolor/scalable/apps)
  list(APPEND BREVOK_MAN_PAGES brevok)
endif()

# Manual pages: the version filled in, compressed as Debian keeps them (gzip -n: no name or
# time stamp in the archive, so a rebuild gives the same bytes).
set(man_outputs)
foreach(page ${BREVOK_MAN_PAGES})
  configure_file(docs/man/${page}.1 ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
                     COMMAND gzip -9 -n -f -k ${CMAKE_BINARY_DIR}/man/${page}.1
                     DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1
                     VERBATIM)
  list(APPEND man_outputs ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
endforeach()
add_custom_target(brevok_man ALL DEPENDS ${man_outputs})
install(FILES ${man_outputs} DESTINATION share/man/man1)

# Everything the install copies, so make install and make package build no tests.
add_custom_target(installables DEPENDS brcc32 brc32 brevdos brevok_man)
if(TARGET brevok)
  add_dependencies(installables brevok)
endif()

# make test: an install into a scratch DESTDIR holds every file in its place, the desktop entry
# passes desktop-file-validate, the MIME entry and the manual pages read without a warning.
add_test(NAME Install.IntoDestdir
         COMMAND sh ${PROJECT_SOURCE_DIR}/tests/install/check_install.sh ${CMAKE_BINARY_DIR}
                 ${PROJECT_VERSION} $<IF:$<TARGET_EXISTS:brevok>,gui,tools>)

# The command-option test runs brevok too when the window is built.
if(TARGET tools_tests AND TARGET brevok)
  add_dependencies(tools_tests brevok)
  target_compile_definitions(tools_tests PRIVATE BREVOK_TEST_WINDOW_PROGRAM)
endif()

# The Debian package: make package configures with BREVOK_PACKAGE=ON and runs cpack. Its
# dependencies are read from this machine, not written down: dpkg-shlibdeps names the packages
# of the shared libraries the programs link, and dpkg names the packages of the files they run
# or load without linking them: Qt's plugins. brcc32 compiles scripts itself, so llvm-rc and
# clang are no dependency.
option(BREVOK_PACKAGE "Configure the Debian package (cpack)" OFF)
if(NOT BREVOK_PACKAGE)
  return()
endif()

# brevok_debian_owner(OUT FILE): the package holding FILE as dpkg knows it. When FILE is a
# link into another package (/usr/bin/llvm-rc into llvm-14), both are given as alternatives,
# the link's first: the program looks for the unversioned name first, then the versioned one
# that the second package provides. No package at all is an error, since the dependency would
# be missing from the package.
function(brevok_debian_owner out file)
  file(REAL_PATH ${file} real)
  set(owners)
  foreach(path IN ITEMS ${file} ${real})
    execute_process(COMMAND dpkg-query --search ${path}
                    OUTPUT_VARIABLE found RESULT_VARIABLE failed ERROR_QUIET)
    string(REPLACE "\n" ";" lines "${found}")
    foreach(line IN LISTS lines)
      # "diversion by ..." lines say who moved a file, not who holds it.
      if(NOT failed AND NOT line MATCHES "^diversion " AND line MATCHES "^([a-z0-9][a-z0-9+.-]*)[:,]")
        list(APPEND owners ${CMAKE_MATCH_1})
        break()
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES owners)
  if(NOT owners)
    message(FATAL_ERROR "No Debian package holds ${file}, which the programs need at run time, "
                        "so the package cannot name its dependency; install it from a package")
  endif()
  list(JOIN owners " | " alternatives)
  set(${out} "${alternatives}" PARENT_SCOPE)
endfunction()

find_program(BREVOK_XDG_OPEN NAMES xdg-open)
set(depends)

# The Qt plugins brevok loads (QT_DEBUG_PLUGINS=1 lists them): the X11 platform, and the SVG
# icon engine and image reader for the tool-bar pictures, which are SVG files; the ICO reader
# for the icon. No library links them, so dpkg-shlibdeps cannot see them. Their folder is
# asked of Qt's own qtpaths (the plugins' CMake targets need development files that running
# the program does not).
if(TARGET brevok)
  get_target_property(qtpaths Qt6::qtpaths LOCATION)
  execute_process(COMMAND ${qtpaths} --plugin-dir OUTPUT_VARIABLE plugin_dir
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  foreach(plugin platforms/libqxcb.so iconengines/libqsvgicon.so imageformats/libqsvg.so
                 imageformats/libqico.so)
    if(NOT EXISTS ${plugin_dir}/${plugin})
      message(FATAL_ERROR "brevok loads the Qt plugin ${plugin_dir}/${plugin}, which is not installed")
    endif()
    brevok_debian_owner(plugin_package ${plugin_dir}/${plugin})
    list(APPEND plugin_packages "${plugin_package}")
  endforeach()
  # A plugin that comes with a library brevok links (the X11 platform with libQt6Gui) is
  # already named, with its version, by dpkg-shlibdeps.
  foreach(library Qt6::Core Qt6::Gui Qt6::Widgets)
    get_target_property(location ${library} LOCATION)
    brevok_debian_owner(library_package ${location})
    list(REMOVE_ITEM plugin_packages "${library_package}")
  endforeach()
  list(APPEND depends ${plugin_packages})
  # Help opens the page with xdg-open; everything else works without it.
  if(BREVOK_XDG_OPEN)
    brevok_debian_owner(xdg_package ${BREVOK_XDG_OPEN})
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "${xdg_package}")
  endif()
endif()
list(REMOVE_DUPLICATES depends)
list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
message(STATUS "Package dependencies besides shared libraries: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")

set(BREVOK_PACKAGE_MAINTAINER "Halvane <brevok@halvane.invalid>" CACHE STRING
    "The Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevok)
set(CPACK_PACKAGE_VENDOR Halvane)
set(CPACK_PACKAGE_CONTACT "${BREVOK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)  # the version resource's section is marked to survive strip
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keep a Windows resource script and compile or bind it")
set(CPACK_PACKAGE_DESCRIPTION
    "Brevok Resource Compiler keeps a Windows resource script (.rc) as a list of lines, adds data "
    "files (bitmaps, icons, cursors, sounds, video, raw data) as named resources, and compiles "
    "the script into a .res file or binds it into a PE executable in one step. The companion "
    "programs brcc32 (a resource compiler with its own preprocessor and headers), brc32 (compile and bind) and brevdos (a runner "
    "that captures output) work on their own too.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
