# SPDX-License-Identifier: MIT
# The real player backend: libopenmpt decodes, SDL plays. Kept apart from
# hvezda_musicplayer so the game core and its tests never need either library.
find_package(SDL2 REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBOPENMPT REQUIRED IMPORTED_TARGET libopenmpt)

# With the ALSA library at hand, its own messages are silenced; SDL works without it.
pkg_check_modules(ALSA QUIET IMPORTED_TARGET alsa)
if(ALSA_FOUND)
  set(HVEZDA_QUIET_ALSA ${CMAKE_CURRENT_LIST_DIR}/quiet_alsa.cpp)
else()
  set(HVEZDA_QUIET_ALSA ${CMAKE_CURRENT_LIST_DIR}/no_quiet_alsa.cpp)
endif()

# An object library: a program linked with it always gets the file, and with
# it the "real" entry in the backend table, even though it calls nothing in it.
add_library(hvezda_musicplayer_openmpt OBJECT ${CMAKE_CURRENT_LIST_DIR}/openmpt_backend.cpp ${HVEZDA_QUIET_ALSA})
target_link_libraries(hvezda_musicplayer_openmpt
  PUBLIC hvezda_musicplayer
  PRIVATE hvezda_base SDL2::SDL2 PkgConfig::LIBOPENMPT)
if(ALSA_FOUND)
  target_link_libraries(hvezda_musicplayer_openmpt PRIVATE PkgConfig::ALSA)
endif()
