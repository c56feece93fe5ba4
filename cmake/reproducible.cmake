# SPDX-License-Identifier: MIT
# Two builds of one commit give the same bytes, wherever, whenever and by
# whomever they are made (scripts/reproducible.sh checks it).
#
# The one date a build may write anywhere is SOURCE_DATE_EPOCH: the
# packager's, else the last commit's, else (a source tarball) noon of the
# release date. HVEZDA_SOURCE_DATE_EPOCH keeps it for the packages
# (dist/package.cmake, scripts/windows.sh).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(failed OR NOT epoch)
    execute_process(COMMAND date -u -d "${HVEZDA_RELEASE_DATE} 12:00" +%s
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  else()
    # A new commit configures again, for its own date.
    execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --path-format=absolute --git-path logs/HEAD
      OUTPUT_VARIABLE head_log OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(EXISTS "${head_log}")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
    endif()
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${epoch}\", not a number of seconds since 1970")
endif()
set(HVEZDA_SOURCE_DATE_EPOCH ${epoch} CACHE INTERNAL "The date of the build's sources, in seconds since 1970")

# No build folder in a binary: not in its debug information, not in __FILE__.
# In front of the packager's flags, as the hardening's (cmake/hardening.cmake).
# The build folder's own mapping comes last, as it may lie inside the source.
# Quoted for the shell: a folder's name may hold a blank.
set(maps "\"-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.\" \"-ffile-prefix-map=${PROJECT_BINARY_DIR}=build\"")
# And no date either: __DATE__ and __TIME__ are warned of.
string(STRIP "${maps} -Wdate-time ${CMAKE_CXX_FLAGS}" CMAKE_CXX_FLAGS)
if(WIN32)
  # A Windows program's header holds a link time unless told otherwise.
  string(STRIP "-Wl,--no-insert-timestamp ${CMAKE_EXE_LINKER_FLAGS}" CMAKE_EXE_LINKER_FLAGS)
endif()
