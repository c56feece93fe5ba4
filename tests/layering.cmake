# SPDX-License-Identifier: MIT
# The layering as written down is the layering as built: every row of the
# table of layers in HACKING (DOC) names a target and exactly the hvezda_*
# libraries it links, as the build writes them to ARROWS
# (hvezda_write_arrows in cmake/layers.cmake), and every target of src/ and
# bench/ has its row. A row marked "(browser build)" is for a target that
# only that build makes. A build without SDL or the benchmarks (WHOLE off) makes only some of
# the targets: there each target it makes must have its row and link nothing
# its row does not name. The includes the roots cannot hold are checked too
# (cmake/includes.cmake, which also runs before every build).
cmake_policy(SET CMP0057 NEW)
include(${SRC}/cmake/includes.cmake)

file(STRINGS ${ARROWS} built)
file(STRINGS ${DOC} rows REGEX "^\\| `hvezda[-_a-z0-9]*` \\|")
set(problems "")
set(listed "")
foreach(row ${rows})
  string(REGEX MATCH "^\\| `([-_a-z0-9]+)` \\|.*\\| ([^|]*) \\|$" _ "${row}")
  set(target ${CMAKE_MATCH_1})
  set(cell "${CMAKE_MATCH_2}")
  list(APPEND listed ${target})
  string(REGEX MATCHALL "`hvezda[-_a-z0-9]*`" links "${cell}")
  string(REPLACE "`" "" links "${links}")
  list(SORT links)
  list(JOIN links " " links)
  set(found "")
  foreach(line ${built})
    if(line MATCHES "^${target}: ?(.*)$")
      set(found "${CMAKE_MATCH_1}")
      set(seen TRUE)
    endif()
  endforeach()
  if(NOT seen)
    if(WHOLE AND NOT row MATCHES "\\(browser build\\)")
      string(APPEND problems "\n  ${target}: in the table, but the build makes no such target")
    endif()
  elseif(WHOLE AND NOT links STREQUAL found)
    string(APPEND problems "\n  ${target}: the table says it links '${links}', the build links '${found}'")
  elseif(NOT WHOLE)
    string(REPLACE " " ";" table_links "${links}")
    string(REPLACE " " ";" built_links "${found}")
    foreach(link ${built_links})
      if(NOT link IN_LIST table_links)
        string(APPEND problems "\n  ${target}: the build links ${link}, which its row does not name")
      endif()
    endforeach()
  endif()
  unset(seen)
endforeach()
foreach(line ${built})
  string(REGEX MATCH "^([^:]+):" _ "${line}")
  if(NOT CMAKE_MATCH_1 IN_LIST listed)
    string(APPEND problems "\n  ${CMAKE_MATCH_1}: built, but not in the table")
  endif()
endforeach()
if(problems)
  message(FATAL_ERROR "HACKING.md's table of layers and the build disagree:${problems}")
endif()
