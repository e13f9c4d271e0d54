# The tables of the double-byte code pages (resources/codepages/cpNNN.bin, written by
# scripts/make-codepage-tables.py) as arrays of a source file the configure step writes into
# the build folder, compiled into the rules library: no file is read at run time, and the
# Windows builds need no iconv.
function(brevok_embed_code_pages target)
  set(numbers 932 936 949 950)
  set(out "// Written by cmake/BrevokCodePages.cmake from resources/codepages: do not edit.\n")
  string(APPEND out "#include <cstddef>\n\nnamespace brevok::code_page_tables {\n")
  foreach(number ${numbers})
    set(file ${PROJECT_SOURCE_DIR}/resources/codepages/cp${number}.bin)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(READ ${file} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    # Lines of 32 bytes keep the file readable by tools that mind long lines.
    string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
    string(APPEND out "\nextern const unsigned char kCp${number}[] = {\n${bytes}\n};\n")
    string(APPEND out "extern const std::size_t kCp${number}Size = sizeof(kCp${number});\n")
  endforeach()
  string(APPEND out "\n}  // namespace brevok::code_page_tables\n")
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated/code_page_tables.cpp)
  # Written only when it changed, so that a configure run rebuilds nothing.
  file(CONFIGURE OUTPUT ${generated} CONTENT "${out}" @ONLY)
  target_sources(${target} PRIVATE ${generated})
endfunction()
