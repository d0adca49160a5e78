# cmake -DASSETGEN=<tool> -DRES_DIR=<res> -DOUT_DIR=<scratch> -P compare_regenerated.cmake
# Runs the asset generator into a scratch directory and fails unless it writes
# exactly the files committed under res/generated, byte for byte.
file(REMOVE_RECURSE ${OUT_DIR})
execute_process(COMMAND ${ASSETGEN} ${RES_DIR} ${OUT_DIR} RESULT_VARIABLE result TIMEOUT 60)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "assetgen failed: ${result}")
endif()

file(GLOB made RELATIVE ${OUT_DIR} ${OUT_DIR}/*)
file(GLOB committed RELATIVE ${RES_DIR}/generated ${RES_DIR}/generated/*)
list(SORT made)
list(SORT committed)
if(NOT made STREQUAL committed)
  message(FATAL_ERROR "the generator writes [${made}] but res/generated holds [${committed}]")
endif()
foreach(name IN LISTS made)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT_DIR}/${name} ${RES_DIR}/generated/${name}
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "res/generated/${name} differs from what the generator writes now; run tools/assetgen")
  endif()
endforeach()
