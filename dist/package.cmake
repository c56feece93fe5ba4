# SPDX-License-Identifier: MIT
# `cmake --build build --target package` makes a Debian package and a binary
# tarball; `--target package_source` the source tarball. Both from the install
# rules in dist/CMakeLists.txt, so a package holds exactly what an install puts
# in place.
set(CPACK_PACKAGE_NAME hvezda)
set(CPACK_PACKAGE_VENDOR "The Hvězda developers")
# Each Debian package's description: its summary, then what it is.
set(CPACK_DEBIAN_GAME_DESCRIPTION [[
small arcade space shooter
Hvězda (“star”) is a vertical shooter in one fixed window: fly a starship
at the bottom of a scrolling star field, shoot down the enemy craft that
fall towards you, and beat the boss. The texts are Czech; the music is a
tracker module composed for the game.]])
set(CPACK_DEBIAN_HALL_DESCRIPTION [[
public hall of fame server for Hvězda
An HTTP server that keeps a board of Hvězda games. It replays every
recording it is sent and lists what the replay gave, never a claimed
score. The board is kept in SQLite or PostgreSQL. A systemd unit runs it
sandboxed behind a proxy on the same machine.]])
set(CPACK_PACKAGE_HOMEPAGE_URL "${HVEZDA_HOMEPAGE}")
set(CPACK_PACKAGE_CONTACT "${HVEZDA_CONTACT}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB TGZ)

# One Debian package for each component (dist/CMakeLists.txt): the game's,
# hvezda, and the server's, hvezda-hall, which the same source makes.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME hvezda)
set(CPACK_DEBIAN_HALL_PACKAGE_NAME hvezda-hall)
set(CPACK_DEBIAN_HALL_PACKAGE_SOURCE hvezda)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_DEBIAN_HALL_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; the one thing the
# game needs that no library names is a font to draw its texts with: the one
# it is drawn for, or the one every Debian has.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fonts-liberation2 | fonts-dejavu-core")

# Read by cpack for each package it makes: Debian's puts the program in games/.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/package_layout.cmake)

# Reproducible packages (scripts/reproducible.sh checks them): cpack dates
# everything SOURCE_DATE_EPOCH (dist/package_layout.cmake sets it), and each
# package is packed again in a fixed order, with fixed owners and modes
# (dist/repack.cmake).
set(CPACK_HVEZDA_SOURCE_DATE_EPOCH ${HVEZDA_SOURCE_DATE_EPOCH})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/repack.cmake)

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git" "/build[^/]*/" "\\\\.swp$" "__pycache__")

include(CPack)
