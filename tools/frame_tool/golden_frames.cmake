# Runs the frame tool's scripted play-through and compares the SHA-256 of
# every saved frame's BMP with the list of golden frames. The frames (BMP and
# PNG) stay in the output folder for a look when they differ.
#   -DFRAME_TOOL=... -DDATA_DIR=... -DOUT_DIR=... -DGOLDEN=<list file> [-DMODE=simulated]
file(REMOVE_RECURSE ${OUT_DIR})
file(MAKE_DIRECTORY ${OUT_DIR})
file(STRINGS ${GOLDEN} lines REGEX "^[^#]")
list(POP_FRONT lines script)
execute_process(COMMAND ${FRAME_TOOL} ${DATA_DIR} ${OUT_DIR} ${script} ${MODE} RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "frame_tool failed: ${result}")
endif()
set(failed "")
foreach(line ${lines})
  string(REGEX MATCH "^([^ ]+) +([0-9a-f]+)$" _ "${line}")
  set(name ${CMAKE_MATCH_1})
  file(SHA256 ${OUT_DIR}/${name}.bmp actual)
  if(NOT actual STREQUAL CMAKE_MATCH_2)
    list(APPEND failed "${name} (${actual})")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "frames differ from the golden ones: ${failed}; see ${OUT_DIR}")
endif()
