# SPDX-License-Identifier: MIT
# Cross-compiles for 64-bit Windows with Debian's mingw-w64 compilers (the
# posix-threads variant, so std::thread and std::mutex work). Libraries are
# looked up only in the compilers' own tree and in the prefix that
# scripts/windows-deps.sh fills:
#
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# HVEZDA_WIN64_PREFIX (a -D option or the environment) names another prefix;
# the default is ~/.cache/hvezda/win64, as in the script.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HVEZDA_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HVEZDA_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HVEZDA_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${HVEZDA_MINGW_HOST}-windres)
# CMake cannot tell the binutils' prefix from a "-posix" compiler name, and the
# host's own ar would index the Windows objects wrongly.
set(CMAKE_AR ${HVEZDA_MINGW_HOST}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${HVEZDA_MINGW_HOST}-ranlib CACHE FILEPATH "")

include(${CMAKE_CURRENT_LIST_DIR}/cache_prefix.cmake)
hvezda_cache_prefix(HVEZDA_WIN64_PREFIX win64)

set(CMAKE_FIND_ROOT_PATH /usr/${HVEZDA_MINGW_HOST} ${HVEZDA_WIN64_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config sees the prefix's .pc files and none of the Linux ones.
set(ENV{PKG_CONFIG_LIBDIR} "${HVEZDA_WIN64_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# The prefix holds static libraries only; the C and C++ runtimes and the
# threads library go into each program too, so an .exe needs no DLL that
# Windows lacks.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
