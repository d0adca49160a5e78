# cmake -DRC_FILE=<script.rc> -DOUTPUT=<file.cpp> -P embed_resources.cmake
# Writes the compiled-in resource table (see ZifraResources.cmake).
get_filename_component(rc_dir ${RC_FILE} DIRECTORY)
file(STRINGS ${RC_FILE} lines REGEX "^[0-9]+[ \t]+(RCDATA|BITMAP|WAVE)[ \t]+\"[^\"]+\"")

set(arrays "")
set(entries "")
set(index 0)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^([0-9]+)[ \t]+([A-Z]+)[ \t]+\"([^\"]+)\".*" "\\1;\\2;\\3" fields ${line})
  list(GET fields 0 id)
  list(GET fields 1 type)
  list(GET fields 2 file)
  if(type STREQUAL "BITMAP")
    set(offset 14)
    set(kind Bitmap)
  elseif(type STREQUAL "WAVE")
    set(offset 0)
    set(kind Wave)
  else()
    set(offset 0)
    set(kind RcData)
  endif()
  file(READ ${rc_dir}/${file} hex OFFSET ${offset} HEX)
  string(LENGTH "${hex}" hex_length)
  if(hex_length EQUAL 0)
    message(FATAL_ERROR "${file} is empty")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "static const std::uint8_t resource${index}[] = {${bytes}};\n")
  string(APPEND entries "    {platform::ResourceType::${kind}, ${id}, resource${index}, sizeof resource${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE ${OUTPUT}.tmp
"// Generated from ${RC_FILE}; do not edit.
#include \"platform/resource_table.h\"

${arrays}
const platform::EmbeddedResource platform::embeddedResources[] = {
${entries}    {platform::ResourceType::RcData, -1, nullptr, 0},
};
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
