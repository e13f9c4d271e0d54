# The Qt side: widgets of the components and the script editor, the main window, the program.
find_package(Qt6 REQUIRED COMPONENTS Widgets Gui Core)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

function(brevok_gui_library name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp ${PROJECT_SOURCE_DIR}/${dir}/*.h
                                   ${PROJECT_SOURCE_DIR}/${dir}/*.qrc)
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Widgets ${ARGN})
endfunction()

brevok_gui_library(brevok_ui_qt src/ui/qt brevok_core)
target_sources(brevok_ui_qt PRIVATE ${PROJECT_SOURCE_DIR}/resources/brevok.qrc)

add_executable(brevok src/ui/qt/main.cpp)
target_link_libraries(brevok PRIVATE brevok_ui_qt)
brevok_embed_version_resource(brevok)

# The help (docs/help: the page and its pictures) lies beside the program, where Help opens it.
file(GLOB help_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/help/*)
set(help_outputs)
foreach(file ${help_files})
  get_filename_component(name ${file} NAME)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bin/${name}
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${CMAKE_BINARY_DIR}/bin/${name}
                     DEPENDS ${file})
  list(APPEND help_outputs ${CMAKE_BINARY_DIR}/bin/${name})
endforeach()
add_custom_target(brevok_help ALL DEPENDS ${help_outputs})
add_dependencies(brevok brevok_help)
