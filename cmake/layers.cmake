# SPDX-License-Identifier: MIT
# The layers' boundaries, held by the build. Each library finds its own
# headers, and those of the libraries it links, through include roots of
# their own: a root holds only its layer's folders (as links to src/FOLDER),
# so `#include "app/recorder.h"` compiles only in a target that links the
# game's host, and an include against the layering fails to compile. What a
# root cannot hold (`..` in an include, SDL or the music player in the core)
# is checked before anything is compiled (includes.cmake).
#
#   hvezda_layer(TARGET FOLDER...)   TARGET's root, with src/FOLDER... in it
#   hvezda_write_arrows(FILE)        every target of src and bench with the
#                                    hvezda_* libraries it links, one a line:
#                                    the table in HACKING.md is checked
#                                    against it (the test `layering`)

file(GLOB_RECURSE HVEZDA_INCLUDING CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/tests/*.h
  ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/bench/*.h ${PROJECT_SOURCE_DIR}/bench/*.cpp
  ${PROJECT_SOURCE_DIR}/tools/*.h ${PROJECT_SOURCE_DIR}/tools/*.cpp)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/layers/includes.checked
  COMMAND ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR} -DSTAMP=${CMAKE_BINARY_DIR}/layers/includes.checked
          -P ${CMAKE_CURRENT_LIST_DIR}/includes.cmake
  DEPENDS ${HVEZDA_INCLUDING} ${CMAKE_CURRENT_LIST_DIR}/includes.cmake
  COMMENT "Checking the includes against the layering"
  VERBATIM)
add_custom_target(hvezda_includes DEPENDS ${CMAKE_BINARY_DIR}/layers/includes.checked)

function(hvezda_layer target)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(MAKE_DIRECTORY ${root})
  # A folder the root no longer holds (a build folder configured before)
  # goes, so that the root holds exactly what it says.
  file(GLOB held LIST_DIRECTORIES true RELATIVE ${root} ${root}/*)
  foreach(folder ${held})
    if(NOT folder IN_LIST ARGN)
      file(REMOVE ${root}/${folder})
    endif()
  endforeach()
  foreach(folder ${ARGN})
    if(NOT IS_SYMLINK ${root}/${folder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
  add_dependencies(${target} hvezda_includes)
endfunction()

function(hvezda_targets_in dir out)
  get_property(here DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    hvezda_targets_in(${sub} more)
    list(APPEND here ${more})
  endforeach()
  set(${out} ${here} PARENT_SCOPE)
endfunction()

function(hvezda_write_arrows file)
  set(text "")
  foreach(dir src bench)
    hvezda_targets_in(${PROJECT_SOURCE_DIR}/${dir} targets)
    foreach(target ${targets})
      get_target_property(type ${target} TYPE)
      if(NOT type MATCHES "LIBRARY|EXECUTABLE" OR NOT target MATCHES "^hvezda")
        continue()
      endif()
      get_target_property(links ${target} LINK_LIBRARIES)
      get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
      set(ours "")
      foreach(link ${links} ${interface})
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
        if(link MATCHES "^hvezda" AND TARGET ${link})
          list(APPEND ours ${link})
        endif()
      endforeach()
      list(REMOVE_DUPLICATES ours)
      list(SORT ours)
      list(JOIN ours " " ours)
      string(APPEND text "${target}: ${ours}\n")
    endforeach()
  endforeach()
  file(WRITE ${file} "${text}")
endfunction()
