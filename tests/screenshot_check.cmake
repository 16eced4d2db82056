# Runs a screenshot program of the docs into a fresh folder and checks that it
# ends well and writes every picture it is meant to (offscreen, so CI sees a
# program that no longer builds its windows, long before anyone regenerates
# the pictures). Called by ctest:
#   cmake -DPROGRAM=... [-DEMULATOR=wine64] -DOUT=dir "-DARGS=a|{OUT}" "-DEXPECTED=x.png|y.png" -P screenshot_check.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
string(REPLACE "{OUT}" "${OUT}" args "${ARGS}")
string(REPLACE "|" ";" args "${args}")
string(REPLACE "|" ";" EXPECTED "${EXPECTED}")
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" ${args} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output
                TIMEOUT 120)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ended with ${result}:\n${output}")
endif()
foreach(picture ${EXPECTED})
  if(NOT EXISTS "${OUT}/${picture}")
    message(FATAL_ERROR "${PROGRAM} wrote no ${picture}:\n${output}")
  endif()
  file(SIZE "${OUT}/${picture}" size)
  if(size LESS 1000)
    message(FATAL_ERROR "${PROGRAM} wrote an empty ${picture}")
  endif()
endforeach()
