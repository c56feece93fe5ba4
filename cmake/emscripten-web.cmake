# SPDX-License-Identifier: MIT
# Builds for the browser (and node) with Debian's emscripten. Libraries are
# looked up only in emscripten's own tree and in the prefix that
# scripts/web-deps.sh fills:
#
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten-web.cmake
#
# HVEZDA_WEB_PREFIX (a -D option or the environment) names another prefix;
# the default is ~/.cache/hvezda/web, as in the script.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

include(${CMAKE_CURRENT_LIST_DIR}/cache_prefix.cmake)
hvezda_cache_prefix(HVEZDA_WEB_PREFIX web)
# Before emscripten's own tree, whose SDL2 package stands for its port of SDL.
list(PREPEND CMAKE_FIND_ROOT_PATH ${HVEZDA_WEB_PREFIX})
# pkg-config sees the prefix's .pc files and none of the Linux ones.
set(ENV{PKG_CONFIG_LIBDIR} "${HVEZDA_WEB_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
# Optimised links run acorn, which Debian keeps among its own node modules.
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
# C++ exceptions (CLI11, toml++ and libopenmpt throw), the portable
# floating-point conversions (base/float_chars.h: emscripten's libc++ has
# none), and SDL from the prefix rather than emscripten's own port of it.
set(CMAKE_CXX_FLAGS_INIT "-fexceptions -DHVEZDA_PORTABLE_FLOAT_CHARS=1")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions -sUSE_SDL=0")
