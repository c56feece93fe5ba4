# SPDX-License-Identifier: MIT
# cpack reads this before it makes each package. Debian keeps games in
# /usr/games: the install rules put the program there when this says so.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(ENV{HVEZDA_INSTALL_GAMES} 1)
else()
  unset(ENV{HVEZDA_INSTALL_GAMES})
endif()
