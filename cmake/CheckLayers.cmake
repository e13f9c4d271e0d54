# Run at every build (cmake -DROOT=<source folder> -P CheckLayers.cmake): fails when a file of
# one of the rooms below includes a header of a room it may not use. Dependencies run one way:
# the compiler's driver uses the compiler, the compiler the preprocessor, all of them the
# libraries below them (platform, image); the registry store uses the operating-system
# boundary (platform); and everything the shared rules (rules/), which use nothing; never the
# other way round.
cmake_minimum_required(VERSION 3.25)
set(rooms
    "rules:"
    "platform:rules"
    "registry:rules,platform"
    "preprocessor:rules,platform"
    "rccompiler:rules,platform,image,preprocessor"
    "rcdriver:rules,platform,image,preprocessor,rccompiler"
    "resedit:rules,platform,image,preprocessor,rccompiler,rcdriver")
file(GLOB src_folders RELATIVE ${ROOT}/src ${ROOT}/src/*)
set(found)
foreach(room ${rooms})
  string(REGEX REPLACE ":.*" "" folder "${room}")
  string(REGEX REPLACE "^[^:]*:" "" allowed "${room}")
  string(REPLACE "," ";" allowed "${allowed}")
  list(APPEND allowed ${folder})
  file(GLOB_RECURSE sources ${ROOT}/src/${folder}/*.cpp ${ROOT}/src/${folder}/*.h)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z0-9_]+/")
    foreach(include ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z0-9_]+)/.*" "\\1" used "${include}")
      if(used IN_LIST src_folders AND NOT used IN_LIST allowed)
        file(RELATIVE_PATH name ${ROOT} ${source})
        list(APPEND found "${name}: ${include}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(found)
  list(JOIN found "\n  " listing)
  message(FATAL_ERROR "Rooms depend one way (rcdriver -> rccompiler -> preprocessor -> platform -> rules):\n  ${listing}")
endif()
