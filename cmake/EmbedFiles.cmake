# thermal_embed_files(TARGET FUNCTION BASE FILES...): a static library TARGET
# whose one source holds the bytes of each file, so that a program serves
# them without reading anything from disk. The source defines
#   const std::vector<EmbeddedFile>& FUNCTION();
# (service/api/EmbeddedFile.h), each file named by its path below BASE.
function(thermal_embed_files target function base)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp)
  # The list as one word on the command line.
  string(REPLACE ";" "|" files "${ARGN}")
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} -DFUNCTION=${function} -DBASE=${base} -DFILES=${files} -P
            ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    DEPENDS ${ARGN} ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    COMMENT "Embedding ${target}"
    VERBATIM)
  add_library(${target} STATIC ${out})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
