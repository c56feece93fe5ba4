# SPDX-License-Identifier: MIT
# Runs one hvezda-sim script and compares its standard output with the
# expected file (none: nothing printed); its `expect` lines stop it with
# status 1 when they do not hold. A script may name its seed on a first line "# seed N".
file(STRINGS ${SCRIPT} first LIMIT_COUNT 1)
set(args)
if(first MATCHES "^# seed ([0-9]+)")
  set(args --seed ${CMAKE_MATCH_1})
endif()
execute_process(COMMAND ${SIM} ${args} ${SCRIPT}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
set(want "")
if(EXISTS ${EXPECTED})
  file(READ ${EXPECTED} want)
else()
  set(EXPECTED /dev/null)
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "hvezda-sim exited ${rc}: ${err}")
endif()
if(NOT out STREQUAL want)
  get_filename_component(name ${SCRIPT} NAME_WE)
  set(got ${CMAKE_CURRENT_BINARY_DIR}/${name}.got)
  file(WRITE ${got} "${out}")
  execute_process(COMMAND diff -u ${EXPECTED} ${got})
  message(FATAL_ERROR "output of ${SCRIPT} differs from ${EXPECTED} (got: ${got})")
endif()
