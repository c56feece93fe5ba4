# SPDX-License-Identifier: MIT
# cpack reads this before it makes each package. Debian keeps games in
# /usr/games: the install rules put the program there when this says so.
# Every date in a package is the sources' date (cmake/reproducible.cmake),
# unless the packager sets another.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_HVEZDA_SOURCE_DATE_EPOCH})
endif()
if(CPACK_GENERATOR STREQUAL "DEB")
  set(ENV{HVEZDA_INSTALL_GAMES} 1)
else()
  unset(ENV{HVEZDA_INSTALL_GAMES})
endif()
