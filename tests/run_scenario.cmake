# SPDX-License-Identifier: MIT
# Runs one hvezda-sim script and compares its standard output with the
# expected file (none: nothing printed); its `expect` lines stop it with
# status 1 when they do not hold. A script may name its seed on a first line "# seed N".
# WINDOWS: SIM is hvezda-sim.exe under Wine.
file(STRINGS ${SCRIPT} first LIMIT_COUNT 1)
set(args)
if(first MATCHES "^# seed ([0-9]+)")
  set(args --seed ${CMAKE_MATCH_1})
endif()
set(script ${SCRIPT})
set(input /dev/null)
if(WINDOWS)  # Windows takes "/a/path" for an option: the script goes in on standard input
  set(script "")
  set(input ${SCRIPT})
endif()
execute_process(COMMAND ${SIM} ${args} ${script} INPUT_FILE ${input}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
set(want "")
if(EXISTS ${EXPECTED})
  file(READ ${EXPECTED} want)
else()
  set(EXPECTED /dev/null)
endif()
if(WINDOWS)  # and lines end in CR LF, and the game joins folder and module with a backslash
  string(REPLACE "\r\n" "\n" out "${out}")
  string(REPLACE "/hvezda/Moonlite.dat" "/hvezda\\Moonlite.dat" want "${want}")
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
