# Runs the level generator twice and compares with the committed data/Level1.bmp byte for
# byte; also checks that an unwritable output path fails with one line naming the path.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

foreach(run first second)
  execute_process(COMMAND ${GENERATOR} ${WORK_DIR}/${run}.bmp RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "generator failed (${status}): ${errors}")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/first.bmp ${WORK_DIR}/second.bmp
                RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "two runs of the generator wrote different files")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/first.bmp ${COMMITTED} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${COMMITTED} is not what the generator makes; regenerate it with "
                      "karnolt-make-level data/Level1.bmp and commit both")
endif()

set(unwritable ${WORK_DIR}/missing-folder/Level1.bmp)
execute_process(COMMAND ${GENERATOR} ${unwritable} RESULT_VARIABLE status ERROR_VARIABLE errors)
string(STRIP "${errors}" errors)
if(status EQUAL 0 OR NOT errors MATCHES "missing-folder/Level1.bmp" OR errors MATCHES "\n")
  message(FATAL_ERROR "unwritable output: expected failure with one line naming the file, got ${status}: ${errors}")
endif()

execute_process(COMMAND ${GENERATOR} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(status EQUAL 0 OR NOT errors MATCHES "usage")
  message(FATAL_ERROR "missing argument: expected a usage line and failure, got ${status}: ${errors}")
endif()
