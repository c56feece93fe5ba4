#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libraries the browser build links -- SDL2, SDL2_ttf with FreeType,
# SDL2_image with libpng and zlib, libopenmpt -- from Debian's own source
# packages, at the versions the Linux build uses, with Debian's emscripten, as
# static libraries into a prefix outside the checkout.
#
#   scripts/web-deps.sh          prints nothing when the prefix is current
#
# HVEZDA_WEB_PREFIX  the prefix (default ~/.cache/hvezda/web)
# HVEZDA_WEB_JOBS    parallel jobs (default: nproc)
#
# As with scripts/windows-deps.sh, the prefix holds a stamp of the versions it
# matches (hvezda-deps.stamp) and of the sources it was built from
# (hvezda-deps.versions), and a prefix whose stamp matches is used as it is.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
prefix="${HVEZDA_WEB_PREFIX:-$HOME/.cache/hvezda/web}"
jobs="${HVEZDA_WEB_JOBS:-$(nproc)}"
# Bump when a library's build options below change: the prefix is rebuilt.
recipe=1

tag=web-deps
. "$root/scripts/debian-libs.sh"

# emscripten (clang, binaryen, node's acorn), the build tools, the font the page
# embeds, and autotools-dev's config.sub, which knows the wasm32 host.
install_missing emscripten cmake make pkg-config dpkg-dev xz-utils autotools-dev fonts-liberation2

begin_prefix "emscripten $(dpkg-query -W -f='${Version}' emscripten)"

# Small rather than fast: the page loads the whole program.
flags="-Os"
# Every emcc link takes a second or more, and SDL's configuration alone
# checks some 300 symbols: the checks compile without linking (emscripten's
# C library has what its headers declare), and emcc skips its own sanity check.
export EMCC_SKIP_SANITY_CHECK=1
# Optimised links run acorn, which Debian keeps among its own node modules.
export NODE_PATH=/usr/share/nodejs
cmake_options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/emscripten-web.cmake" -DHVEZDA_WEB_PREFIX="$prefix"
  -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_TRY_COMPILE_TARGET_TYPE=STATIC_LIBRARY)
lib_build=web

start zlib zlib1g-dev
run env -C "$src" CFLAGS="$flags" emconfigure ./configure --static --prefix="$prefix"
run emmake make -C "$src" -j"$jobs" libz.a
run emmake make -C "$src" install

build_png_freetype

start SDL2 libsdl2-dev
# The browser runs the program on one thread; SDL's audio needs none. iconv is
# in emscripten's C library, not in a library of its own (a check that only
# compiles cannot tell).
cmake_lib -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF -DHAVE_LIBICONV=OFF

build_ttf_image

start libopenmpt libopenmpt-dev
# Its config.sub predates the wasm32 host.
cp /usr/share/misc/config.sub /usr/share/misc/config.guess "$src/build-aux/"
mkdir -p "$src/build-web"
run env -C "$src/build-web" CFLAGS="$flags" CXXFLAGS="$flags -fexceptions" LDFLAGS=-fexceptions \
  EM_PKG_CONFIG_PATH="$prefix/lib/pkgconfig" emconfigure ../configure --host=wasm32-unknown-emscripten \
  --prefix="$prefix" "${openmpt_options[@]}"
run emmake make -C "$src/build-web" -j"$jobs"
run emmake make -C "$src/build-web" install

fix_static_prefix "$prefix"
# What each library's Debian package says of its authors and licence, for the page.
mkdir -p "$prefix/licences"
for copyright in "$work"/*/debian/copyright; do
  dir="$(basename "$(dirname "$(dirname "$copyright")")")"
  cp "$copyright" "$prefix/licences/${dir%-*}.txt"
done

# A program that uses each library links and runs under node.
write_check_program
# shellcheck disable=SC2046
run em++ -std=c++20 -fexceptions -O2 -sUSE_SDL=0 -sSINGLE_FILE=1 \
  -I"$prefix/include" -I"$prefix/include/SDL2" "$work/check/check.cpp" -o "$work/check/check.js" \
  -L"$prefix/lib" -lSDL2_image -lSDL2_ttf -lfreetype -lpng16 -lz -lSDL2 \
  $(PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" pkg-config --libs libopenmpt)
run node "$work/check/check.js"

finish_prefix "$prefix" "$stamp"
