# The layer check must fail on an include that points up or sideways and pass
# on one that follows the dependency list: each case plants one file in a copy
# of the module list and runs the check on it.
#
#   cmake -DROOT=<source tree> -DWORK=<scratch folder> -P planted_includes.cmake
cmake_minimum_required(VERSION 3.25)

# file | include | expected outcome
set(cases
    "src/strip/planted.h|app/app_settings.h|fails"
    "src/mover/planted.cpp|strip/strip.h|fails"
    "src/platform/planted.h|platform/sim/world/world.h|fails"
    "src/platform/sim/world/planted.h|platform/sim/renderer/renderer.h|fails"
    "tests/input/planted_test.cpp|mover/window_mover.h|fails"
    "src/app/planted.h|strip/strip.h|passes"
    "tests/strip/planted_test.cpp|platform/sim/world/world.h|passes")

set(failures "")
foreach(case ${cases})
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 file)
  list(GET fields 1 included)
  list(GET fields 2 expected)
  file(REMOVE_RECURSE ${WORK})
  file(COPY ${ROOT}/CMakeLists.txt DESTINATION ${WORK})
  file(WRITE ${WORK}/${file} "#include \"${included}\"\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK} -P ${ROOT}/cmake/check_layers.cmake
                  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
  if(result EQUAL 0)
    set(outcome passes)
  else()
    set(outcome fails)
  endif()
  if(NOT outcome STREQUAL expected)
    list(APPEND failures "${file} including ${included}: the check ${outcome}, expected it ${expected}")
  elseif(outcome STREQUAL "fails" AND NOT errors MATCHES "${file}")
    list(APPEND failures "${file} including ${included}: the failure does not name the file")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "${text}")
endif()
