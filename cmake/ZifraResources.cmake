# The fake platform and the replay verifier serve the very bytes that windres
# embeds in zifra.exe: the resource script is the one list of resources, and
# every line of the form
#   <id> RCDATA|BITMAP|WAVE "<file>"
# becomes an entry of a generated table (bitmaps without their 14-byte file
# header, as windres stores them).

set(ZIFRA_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_resources.cmake)

# The files that <resource script> embeds, in <out_var>.
function(zifra_resource_files rc_file out_var)
  get_filename_component(rc_dir ${rc_file} DIRECTORY)
  file(STRINGS ${rc_file} lines REGEX "^[0-9]+[ \t]+[A-Z]+[ \t]+\"[^\"]+\"")
  set(files "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[0-9]+[ \t]+[A-Z]+[ \t]+\"([^\"]+)\".*" "\\1" file ${line})
    list(APPEND files ${rc_dir}/${file})
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${rc_file})
  set(${out_var} ${files} PARENT_SCOPE)
endfunction()

# zifra_windows_resources(<target> <resource script>)
# Compiles <resource script> into <target>, rebuilt whenever a file it embeds changes.
function(zifra_windows_resources target rc_file)
  zifra_resource_files(${rc_file} files)
  target_sources(${target} PRIVATE ${rc_file})
  set_source_files_properties(${rc_file} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()

# zifra_embedded_resources(<target> <resource script>)
# Adds to <target> a source file with the resource table of <resource script>.
function(zifra_embedded_resources target rc_file)
  zifra_resource_files(${rc_file} files)
  set(inputs ${rc_file} ${files})
  get_filename_component(name ${rc_file} NAME_WE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}_resource_table.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DRC_FILE=${rc_file} -DOUTPUT=${output} -P ${ZIFRA_EMBED_SCRIPT}
    DEPENDS ${inputs} ${ZIFRA_EMBED_SCRIPT}
    COMMENT "Embedding the resources of ${name}.rc in a table"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
