# SPDX-License-Identifier: MIT
# The layers' boundaries, held by the build. Each library finds its own
# headers, and those of the libraries it links, through include roots of
# their own: a root holds only its layer's folders (as links to src/FOLDER),
# so `#include "app/recorder.h"` compiles only in a target that links the
# game's host, and an include against the layering fails to compile.
#
#   hvezda_layer(TARGET FOLDER...)   TARGET's root, with src/FOLDER... in it
function(hvezda_layer target)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(MAKE_DIRECTORY ${root})
  foreach(folder ${ARGN})
    if(NOT IS_SYMLINK ${root}/${folder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
