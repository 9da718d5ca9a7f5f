# Script mode: writes OUT, a C++ source holding the bytes of every file the
# index files (INDEXES, separated by "|") list, and the table of them that
# resources/EmbeddedFiles.h declares.
string(REPLACE "|" ";" INDEXES "${INDEXES}")
set(arrays "")
set(table "")
set(count 0)
foreach(index IN LISTS INDEXES)
  get_filename_component(dir ${index} DIRECTORY)
  file(STRINGS ${index} lines REGEX "^[A-Za-z]")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^([A-Za-z_]+) +([0-9]+) +(.+)$")
      message(FATAL_ERROR "${index}: cannot read '${line}' (TYPE ID FILE)")
    endif()
    set(type ${CMAKE_MATCH_1})
    set(id ${CMAKE_MATCH_2})
    set(name ${CMAKE_MATCH_3})
    if(NOT EXISTS ${dir}/${name})
      message(FATAL_ERROR "${index}: ${name} is missing")
    endif()
    file(READ ${dir}/${name} hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
           "\\1\n    " bytes "${bytes}")
    if(size EQUAL 0)
      set(bytes "0")
    endif()
    string(APPEND arrays "// ${name}\nconst unsigned char kFile${count}[] = {\n    ${bytes}\n};\n")
    string(APPEND table "    {L\"${type}\", ${id}, kFile${count}, ${size}},\n")
    math(EXPR count "${count} + 1")
  endforeach()
endforeach()
if(count EQUAL 0)
  set(table "    {L\"\", 0, nullptr, 0},\n")
endif()
set(text "// Generated at build time from resources/*/index.txt; do not edit.
#include \"resources/EmbeddedFiles.h\"

namespace OBResources {
namespace {
${arrays}}  // namespace

const EmbeddedFile kEmbeddedFiles[] = {
${table}};
const std::size_t kEmbeddedFileCount = ${count};

}  // namespace OBResources
")
# Rewritten only when something changed, so nothing recompiles needlessly.
set(old "")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUT} "${text}")
endif()
