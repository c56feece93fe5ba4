# SPDX-License-Identifier: MIT
# The includes that the layers' roots (layers.cmake) cannot hold, checked
# before anything is compiled (and by the test `layering`): an include that
# climbs with `..` anywhere in SRC/src, tests, bench or tools (it would get
# round the roots), and, in the game core (src/scene, shell, player,
# enemies, combat, boss), any SDL header or anything of the music player but
# modplug.h, the six ModPlug_* functions the game calls. The core's floors
# and every other layer are held by the roots themselves.
#
#   cmake -DSRC=<source folder> [-DSTAMP=<file touched when all is well>] -P includes.cmake
set(bad "")
file(GLOB_RECURSE everything ${SRC}/src/*.h ${SRC}/src/*.cpp ${SRC}/tests/*.h ${SRC}/tests/*.cpp
     ${SRC}/bench/*.h ${SRC}/bench/*.cpp ${SRC}/tools/*.h ${SRC}/tools/*.cpp)
foreach(f ${everything})
  file(STRINGS ${f} climbing REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*/)?\\.\\./")
  foreach(line ${climbing})
    file(RELATIVE_PATH name ${SRC} ${f})
    string(APPEND bad "\n  ${name}: ${line} (no `..` in an include)")
  endforeach()
endforeach()
foreach(dir scene shell player enemies combat boss)
  file(GLOB files ${SRC}/src/${dir}/*.h ${SRC}/src/${dir}/*.cpp)
  if(NOT files)
    message(FATAL_ERROR "no core files in ${SRC}/src/${dir}")
  endif()
  foreach(f ${files})
    file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${includes})
      if(line MATCHES "SDL" OR (line MATCHES "musicplayer/" AND NOT line MATCHES "[<\"/]musicplayer/modplug\\.h[\">]"))
        file(RELATIVE_PATH name ${SRC} ${f})
        string(APPEND bad "\n  ${name}: ${line} (the core sees no SDL, and of the music player only modplug.h)")
      endif()
    endforeach()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "includes against the layering:${bad}")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
