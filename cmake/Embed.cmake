# ob_embed_resources(target): compiles the binary resource files (bitmaps,
# world pictures) into `target` at build time. Each folder under resources/
# that holds such files lists them in its index.txt, one "TYPE ID FILE" a
# line; the files stay as they are in the tree and become one generated
# source, rebuilt when a file or an index changes.
function(ob_embed_resources target)
  file(GLOB indexes CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*/index.txt)
  set(files)
  foreach(index IN LISTS indexes)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${index})
    get_filename_component(dir ${index} DIRECTORY)
    file(STRINGS ${index} lines REGEX "^[A-Za-z]")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[A-Za-z_]+ +[0-9]+ +" "" name "${line}")
      list(APPEND files ${dir}/${name})
    endforeach()
  endforeach()
  set(out ${CMAKE_BINARY_DIR}/generated/EmbeddedFiles.cpp)
  string(REPLACE ";" "|" index_arg "${indexes}")
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DINDEXES=${index_arg} -DOUT=${out} -P ${CMAKE_SOURCE_DIR}/cmake/EmbedFiles.cmake
    DEPENDS ${indexes} ${files} ${CMAKE_SOURCE_DIR}/cmake/EmbedFiles.cmake
    COMMENT "Compiling the resource files into the program"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
