# The real player backend: libopenmpt decodes, SDL plays. Kept apart from
# hvezda_musicplayer so the game core and its tests never need either library.
find_package(SDL2 REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBOPENMPT REQUIRED IMPORTED_TARGET libopenmpt)

# An object library: a program linked with it always gets the file, and with
# it the "real" entry in the backend table, even though it calls nothing in it.
add_library(hvezda_musicplayer_openmpt OBJECT ${CMAKE_CURRENT_LIST_DIR}/openmpt_backend.cpp)
target_link_libraries(hvezda_musicplayer_openmpt
  PUBLIC hvezda_musicplayer
  PRIVATE SDL2::SDL2 PkgConfig::LIBOPENMPT)
