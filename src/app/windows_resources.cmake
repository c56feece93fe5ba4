# SPDX-License-Identifier: MIT
# The game's icon and version information in a Windows program:
#   hvezda_windows_resources(TARGET "what it is")
# The icon is made from the game's icon pictures by icotool (icoutils).
find_program(HVEZDA_ICOTOOL icotool REQUIRED)
set(HVEZDA_ICO ${CMAKE_BINARY_DIR}/hvezda.ico)
set(icon_pngs "")
foreach(size 16 32 48 64 128)
  list(APPEND icon_pngs ${PROJECT_SOURCE_DIR}/assets/icon_${size}.png)
endforeach()
# The largest is kept as PNG inside the icon, as Windows expects at 256.
add_custom_command(OUTPUT ${HVEZDA_ICO}
  COMMAND ${HVEZDA_ICOTOOL} -c -o ${HVEZDA_ICO} ${icon_pngs} -r ${PROJECT_SOURCE_DIR}/assets/icon_256.png
  DEPENDS ${icon_pngs} ${PROJECT_SOURCE_DIR}/assets/icon_256.png
  VERBATIM)
add_custom_target(hvezda_ico DEPENDS ${HVEZDA_ICO})

function(hvezda_windows_resources target description)
  set(HVEZDA_RC_NAME ${target})
  set(HVEZDA_RC_FILE ${target}.exe)
  set(HVEZDA_RC_DESCRIPTION ${description})
  set(HVEZDA_RC_MINOR ${PROJECT_VERSION_MINOR})
  set(HVEZDA_RC_PATCH ${PROJECT_VERSION_PATCH})
  if(NOT HVEZDA_RC_MINOR)
    set(HVEZDA_RC_MINOR 0)
  endif()
  if(NOT HVEZDA_RC_PATCH)
    set(HVEZDA_RC_PATCH 0)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/src/app/windows.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${HVEZDA_ICO})
  add_dependencies(${target} hvezda_ico)
endfunction()
