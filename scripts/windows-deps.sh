#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libraries the Windows build links -- SDL2, SDL2_ttf with FreeType,
# SDL2_image with libpng and zlib, libopenmpt -- from Debian's own source
# packages, at the versions the Linux build uses, with the mingw-w64 cross
# compilers, as static libraries into a prefix outside the checkout.
#
#   scripts/windows-deps.sh          prints nothing when the prefix is current
#
# HVEZDA_WIN64_PREFIX  the prefix (default ~/.cache/hvezda/win64)
# HVEZDA_WIN64_JOBS    parallel jobs (default: nproc)
#
# The prefix holds a stamp of the Linux versions it matches, the compiler and
# the build options (hvezda-deps.stamp), and the source versions it was built
# from (hvezda-deps.versions); a prefix whose stamp matches is used as it is.
# The sources come through apt-get source only: each Debian suite that apt
# knows no source index for gets a deb-src entry for the same mirror first.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
prefix="${HVEZDA_WIN64_PREFIX:-$HOME/.cache/hvezda/win64}"
jobs="${HVEZDA_WIN64_JOBS:-$(nproc)}"
host=x86_64-w64-mingw32
# Bump when a library's build options below change: the prefix is rebuilt.
recipe=2

tag=windows-deps
. "$root/scripts/debian-libs.sh"

# --- the cross compilers, the build tools and Wine (which runs the tests) ---
# icoutils makes the programs' icon, zip the package (scripts/windows.sh), and
# unzip opens it again in the tests. Wine's own fonts, OpenGL (SDL's direct3d renderer runs on it under Wine) and
# the X extensions Wine's display driver loads are only recommended by Wine's
# packages: named here, so a window under Xvfb works on a bare machine.
packages=(
  g++-mingw-w64-x86-64-posix cmake make pkg-config dpkg-dev xz-utils icoutils zip unzip
  wine64 wine fonts-wine libgl1 libgl1-mesa-dri
  libxrender1 libxrandr2 libxcursor1 libxi6 libxinerama1 libxcomposite1 libxfixes3 libxxf86vm1
)
install_missing "${packages[@]}"

libs=(zlib1g-dev libpng-dev libfreetype-dev libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libopenmpt-dev)
stamp="recipe $recipe"$'\n'"compiler $($host-gcc-posix -dumpversion) $(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"
for p in "${libs[@]}"; do
  stamp+=$'\n'"$(source_of "$p")"
done

if prefix_current "$prefix" "$stamp"; then exit 0; fi
add_debian_sources

# --- fetch, configure, build and install, one library after another ---
work="$prefix.work"
rm -rf "$prefix" "$work"
mkdir -p "$prefix" "$work"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
cmake_lib() {  # cmake_lib [CMAKE OPTIONS]: configure, build and install $src
  run cmake -S "$src" -B "$src/build-win64" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DHVEZDA_WIN64_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF "$@"
  run cmake --build "$src/build-win64" -j"$jobs"
  run cmake --install "$src/build-win64"
}

cc="$host-gcc-posix"
cxx="$host-g++-posix"

start zlib zlib1g-dev
# zlib's configure makes the plain libz.a that every find module looks for.
run env -C "$src" CC="$cc" AR="$host-ar" RANLIB="$host-ranlib" CHOST="$host" CFLAGS=-O2 \
  ./configure --static --prefix="$prefix"
run make -C "$src" -j"$jobs" libz.a
run make -C "$src" install

start libpng libpng-dev
cmake_lib -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF

start freetype libfreetype-dev
# TrueType outlines are all the game needs: no optional library but zlib, as on
# Linux (FreeType's own copy of zlib clashes with libpng's in one program).
cmake_lib -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

start SDL2 libsdl2-dev
cmake_lib -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF

start SDL2_ttf libsdl2-ttf-dev
cmake_lib -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF

start SDL2_image libsdl2-image-dev
# The game loads BMP pictures and saves PNG screenshots; PNG goes through
# libpng, as on Linux.
cmake_lib -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_SAMPLES=OFF \
  -DSDL2IMAGE_BACKEND_STB=OFF -DSDL2IMAGE_BACKEND_WIC=OFF \
  -DSDL2IMAGE_BMP=ON -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_PNG_SAVE=ON \
  -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_GIF=OFF -DSDL2IMAGE_JPG=OFF -DSDL2IMAGE_JXL=OFF \
  -DSDL2IMAGE_LBM=OFF -DSDL2IMAGE_PCX=OFF -DSDL2IMAGE_PNM=OFF -DSDL2IMAGE_QOI=OFF \
  -DSDL2IMAGE_SVG=OFF -DSDL2IMAGE_TGA=OFF -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF \
  -DSDL2IMAGE_XCF=OFF -DSDL2IMAGE_XPM=OFF -DSDL2IMAGE_XV=OFF

start libopenmpt libopenmpt-dev
# The core library alone: the game's module needs none of the optional decoders.
mkdir -p "$src/build-win64"
run env -C "$src/build-win64" ../configure --host="$host" CC="$cc" CXX="$cxx" CFLAGS=-O2 CXXFLAGS=-O2 \
  PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" --prefix="$prefix" \
  --disable-shared --enable-static --disable-openmpt123 --disable-examples --disable-tests \
  --disable-doxygen-doc --without-zlib --without-mpg123 --without-ogg --without-vorbis \
  --without-vorbisfile --without-portaudio --without-portaudiocpp --without-pulseaudio \
  --without-sndfile --without-flac --without-sdl2
run make -C "$src/build-win64" -j"$jobs"
run make -C "$src/build-win64" install

fix_static_prefix "$prefix"

# A program that uses each library links, and imports no DLL but Windows' own.
step="the check program"
log="$work/check.log"
mkdir -p "$work/check"
cat >"$work/check/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(check CXX)
find_package(SDL2 REQUIRED)
find_package(SDL2_ttf REQUIRED)
find_package(SDL2_image REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBOPENMPT REQUIRED IMPORTED_TARGET libopenmpt)
add_executable(check WIN32 check.cpp)
target_link_libraries(check SDL2::SDL2main SDL2::SDL2 SDL2_ttf::SDL2_ttf SDL2_image::SDL2_image
  PkgConfig::LIBOPENMPT)
EOF
cat >"$work/check/check.cpp" <<'EOF'
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <libopenmpt/libopenmpt.h>
int main(int, char**) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, SDL_PIXELFORMAT_RGBA32);
    bool ok = s && TTF_Init() == 0 && IMG_SavePNG(s, "check.png") == 0 && openmpt_get_library_version() != 0;
    return ok ? 0 : 1;
}
EOF
run cmake -S "$work/check" -B "$work/check/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DHVEZDA_WIN64_PREFIX="$prefix"
run cmake --build "$work/check/build"
foreign="$($host-objdump -p "$work/check/build/check.exe" | sed -n 's/^\s*DLL Name: //p' \
  | grep -iE '^(lib|sdl|zlib|png|freetype|openmpt)' || true)"
[ -z "$foreign" ] || die "a program linked with the prefix needs DLLs of its own: $foreign"

finish_prefix "$prefix" "$stamp"
