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

begin_prefix "$($host-gcc-posix -dumpversion) $(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"

# --- fetch, configure, build and install, one library after another ---
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
cmake_options=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DHVEZDA_WIN64_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release)
lib_build=win64
cc="$host-gcc-posix"
cxx="$host-g++-posix"

start zlib zlib1g-dev
# zlib's configure makes the plain libz.a that every find module looks for.
run env -C "$src" CC="$cc" AR="$host-ar" RANLIB="$host-ranlib" CHOST="$host" CFLAGS=-O2 \
  ./configure --static --prefix="$prefix"
run make -C "$src" -j"$jobs" libz.a
run make -C "$src" install

build_png_freetype

start SDL2 libsdl2-dev
cmake_lib -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF

build_ttf_image

start libopenmpt libopenmpt-dev
mkdir -p "$src/build-win64"
run env -C "$src/build-win64" ../configure --host="$host" CC="$cc" CXX="$cxx" CFLAGS=-O2 CXXFLAGS=-O2 \
  PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" --prefix="$prefix" "${openmpt_options[@]}"
run make -C "$src/build-win64" -j"$jobs"
run make -C "$src/build-win64" install

fix_static_prefix "$prefix"

# A program that uses each library links, and imports no DLL but Windows' own.
write_check_program
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
run cmake -S "$work/check" -B "$work/check/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DHVEZDA_WIN64_PREFIX="$prefix"
run cmake --build "$work/check/build"
foreign="$($host-objdump -p "$work/check/build/check.exe" | sed -n 's/^\s*DLL Name: //p' \
  | grep -iE '^(lib|sdl|zlib|png|freetype|openmpt)' || true)"
[ -z "$foreign" ] || die "a program linked with the prefix needs DLLs of its own: $foreign"

finish_prefix "$prefix" "$stamp"
