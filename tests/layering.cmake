# SPDX-License-Identifier: MIT
# Fails when a file of the game core (SRC/scene, shell, player, enemies,
# combat, boss) includes what the core must not see: the platform, the window
# program, the recordings or the driver (platform/, app/, record/, sim/), any SDL
# header, or anything of the music player except modplug.h, the six ModPlug_*
# functions the game calls. Inside the core, the shell is the top (only shell/
# includes shell/) and the scene is the bottom (scene/ includes only scene/).
set(outside "[<\"/](platform|app|record|sim)/")
set(bad "")
foreach(dir scene shell player enemies combat boss)
  file(GLOB files ${SRC}/${dir}/*.h ${SRC}/${dir}/*.cpp)
  if(NOT files)
    message(FATAL_ERROR "no core files in ${SRC}/${dir}")
  endif()
  foreach(f ${files})
    file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${includes})
      if(line MATCHES "${outside}" OR line MATCHES "SDL"
         OR (line MATCHES "musicplayer/" AND NOT line MATCHES "[<\"/]musicplayer/modplug\\.h[\">]")
         OR (NOT dir STREQUAL "shell" AND line MATCHES "[<\"/]shell/")
         OR (dir STREQUAL "scene" AND line MATCHES "[<\"/](shell|player|enemies|combat|boss)/"))
        file(RELATIVE_PATH name ${SRC} ${f})
        string(APPEND bad "\n  ${name}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
# The other layers are held by their include roots (cmake/layers.cmake); a
# path that climbs out of its folder would get round them.
file(GLOB_RECURSE everything ${SRC}/*.h ${SRC}/*.cpp)
foreach(f ${everything})
  file(STRINGS ${f} climbing REGEX "^[ \t]*#[ \t]*include[ \t]*\"\\.\\./")
  foreach(line ${climbing})
    file(RELATIVE_PATH name ${SRC} ${f})
    string(APPEND bad "\n  ${name}: ${line}")
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "files include what their layer must not see:${bad}")
endif()
