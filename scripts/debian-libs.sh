# SPDX-License-Identifier: MIT
# Shared by the scripts that build the game's libraries from Debian's own
# source packages into a prefix of their own (windows-deps.sh, web-deps.sh).
# Sourced, not run: the caller sets `tag` (the prefix of its messages) first.
#
#   install_missing PACKAGE...   installs the Debian packages that are missing
#   source_of BINARY-PACKAGE     "SOURCE VERSION" the Linux build uses
#   begin_prefix COMPILER        exits 0 when $prefix is current (its stamp:
#                                $recipe, COMPILER and the libraries' versions),
#                                else empties it and $work for a new build
#   start NAME BINARY-PACKAGE    fetches the source into $work (sets $src, $log)
#   run COMMAND...               runs a step into $log; stops on failure
#   cmake_lib [OPTION...]        builds $src with CMake: $cmake_options, then these
#   build_png_freetype, build_ttf_image
#                                the libraries built alike everywhere
#   fix_static_prefix PREFIX     makes its static libraries easy to link
#   write_check_program          a program using each library, in $work/check
#   finish_prefix PREFIX STAMP   writes the stamp and the versions, drops $work

say() { echo "$tag: $*"; }
die() { echo "$tag: error: $*" >&2; exit 1; }

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
apt_get() { $sudo apt-get -qq -o DPkg::Lock::Timeout=600 "$@"; }

install_missing() {
  local p missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  say "installing ${missing[*]}"
  local aptlog; aptlog="$(mktemp)"
  if ! { apt_get update && apt_get install -y --no-install-recommends "${missing[@]}"; } >"$aptlog" 2>&1; then
    tail -n 20 "$aptlog" >&2
    die "could not install ${missing[*]}"
  fi
  rm -f "$aptlog"
}

# --- the versions the Linux build uses: installed ones, else apt's candidates ---
# Prints "SOURCE VERSION" of the source package behind binary package $1.
source_of() {
  local pkg=$1 ver src
  if dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    dpkg-query -W -f='${source:Package} ${source:Version}\n' "$pkg"
    return
  fi
  ver="$(apt-cache policy "$pkg" | awk '/Candidate:/ { print $2 }')"
  [ -n "$ver" ] && [ "$ver" != "(none)" ] || die "apt knows no package $pkg"
  src="$(apt-cache show "$pkg=$ver" | awk -F': ' '/^Source:/ { print $2; exit }')"
  # "Source: name" or "Source: name (version)" when it differs from the binary's.
  if [ -z "$src" ]; then echo "$pkg $ver"
  elif [[ "$src" == *"("* ]]; then echo "$src" | sed -E 's/^([^ ]+) \(([^)]+)\)$/\1 \2/'
  else echo "$src $ver"; fi
}


# --- a deb-src entry beside every Debian deb entry that has none ---
debian_targets() {
  apt-get indextargets --format '$(SITE) $(RELEASE) $(COMPONENT)' "Created-By: $1" 'Origin: Debian' | sort -u
}
add_debian_sources() {
  local lacking; lacking="$(comm -23 <(debian_targets Packages) <(debian_targets Sources))"
  if [ -n "$lacking" ]; then
    local keyring=/usr/share/keyrings/debian-archive-keyring.gpg opts="" list=/etc/apt/sources.list.d/hvezda-deb-src.list
    [ -f "$keyring" ] && opts="[signed-by=$keyring] "
    say "adding Debian's source packages to apt ($list)"
    { [ -f "$list" ] && cat "$list"; echo "$lacking" | awk -v o="$opts" '{ print "deb-src " o $1 " " $2 " " $3 }'; } \
      | sort -u | $sudo tee "$list.new" >/dev/null
    $sudo mv "$list.new" "$list"
    apt_get update || die "apt-get update failed after adding $list"
  fi
  # An entry added by hand may not have been fetched yet.
  [ -n "$(apt-cache showsrc zlib 2>/dev/null)" ] || apt_get update || die "apt-get update failed"
  [ -n "$(apt-cache showsrc zlib 2>/dev/null)" ] || die "apt knows no Debian source packages (is a Debian mirror configured?)"
}

begin_prefix() {
  local p
  stamp="recipe $recipe"$'\n'"compiler $1"
  for p in zlib1g-dev libpng-dev libfreetype-dev libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libopenmpt-dev; do
    stamp+=$'\n'"$(source_of "$p")"
  done
  # One build of a prefix at a time; a second run waits, then finds it current.
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  if [ -f "$prefix/hvezda-deps.stamp" ] && [ "$(cat "$prefix/hvezda-deps.stamp")" = "$stamp" ]; then exit 0; fi
  add_debian_sources
  work="$prefix.work"
  rm -rf "$prefix" "$work"
  mkdir -p "$prefix" "$work"
}

# --- fetch, configure, build and install, one library after another ---
log=""
built=""

# Runs a step with its output in the library's log; on failure shows the end
# of the log and stops.
run() {
  if ! "$@" >>"$log" 2>&1; then
    tail -n 25 "$log" >&2
    die "$step failed (whole log: $log)"
  fi
}

# Fetches Debian source package $1 (wanted version $2) into $work and sets $src.
fetch() {
  local name=$1 want=$2 v tried=""
  local have; have="$(apt-cache showsrc "$name" 2>/dev/null | awk '/^Version:/ { print $2 }')"
  [ -n "$have" ] || die "apt knows no source package $name"
  # The installed version first, then newer Debian revisions of the same
  # upstream release (security updates), newest first.
  local ordered=("$want")
  for v in $(printf '%s\n' $have | sort -u -r -V); do
    [ "$v" != "$want" ] && [ "${v%-*}" = "${want%-*}" ] && ordered+=("$v")
  done
  local sandbox=(); [ "$(id -u)" -eq 0 ] && sandbox=(-o APT::Sandbox::User=root)
  for v in "${ordered[@]}"; do
    if (cd "$work" && apt-get source -q "${sandbox[@]}" "$name=$v") >>"$log" 2>&1; then
      [ "$v" = "$want" ] || say "$name $want is gone from the mirror; using $v"
      built+=$'\n'"$name $v"
      v="${v#*:}"
      src="$work/$name-${v%-*}"
      [ -d "$src" ] || die "apt-get source $name=$v left no $src"
      return
    fi
    tried+=" $v"
  done
  die "could not fetch the source of $name (tried:$tried; see $log)"
}

start() {  # start NAME BINARY-PACKAGE: fetch its source, open its log
  local line; line="$(source_of "$2")"
  step="$1"
  log="$work/$1.log"
  say "building $1 ${line#* }"
  fetch "${line% *}" "${line#* }"
}

cmake_lib() {
  local build="$src/build-$lib_build"
  run cmake -S "$src" -B "$build" "${cmake_options[@]}" -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@"
  run cmake --build "$build" -j"$jobs"
  run cmake --install "$build"
}

build_png_freetype() {
  start libpng libpng-dev
  cmake_lib -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF "$@"

  start freetype libfreetype-dev
  # TrueType outlines are all the game needs: no optional library but zlib, as on
  # Linux (FreeType's own copy of zlib clashes with libpng's in one program).
  cmake_lib -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON "$@"
}

build_ttf_image() {
  start SDL2_ttf libsdl2-ttf-dev
  cmake_lib -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF "$@"

  start SDL2_image libsdl2-image-dev
  # The game loads BMP pictures and saves PNG screenshots; PNG goes through
  # libpng, as on Linux.
  cmake_lib -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_SAMPLES=OFF \
    -DSDL2IMAGE_BACKEND_STB=OFF -DSDL2IMAGE_BACKEND_WIC=OFF \
    -DSDL2IMAGE_BMP=ON -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_PNG_SAVE=ON \
    -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_GIF=OFF -DSDL2IMAGE_JPG=OFF -DSDL2IMAGE_JXL=OFF \
    -DSDL2IMAGE_LBM=OFF -DSDL2IMAGE_PCX=OFF -DSDL2IMAGE_PNM=OFF -DSDL2IMAGE_QOI=OFF \
    -DSDL2IMAGE_SVG=OFF -DSDL2IMAGE_TGA=OFF -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF \
    -DSDL2IMAGE_XCF=OFF -DSDL2IMAGE_XPM=OFF -DSDL2IMAGE_XV=OFF "$@"
}

# libopenmpt's configure options: the core library alone, as the game's module
# needs none of the optional decoders.
openmpt_options=(
  --disable-shared --enable-static --disable-openmpt123 --disable-examples --disable-tests
  --disable-doxygen-doc --without-zlib --without-mpg123 --without-ogg --without-vorbis
  --without-vorbisfile --without-portaudio --without-portaudiocpp --without-pulseaudio
  --without-sndfile --without-flac --without-sdl2
)

# A program that uses each library: $work/check/check.cpp.
write_check_program() {
  mkdir -p "$work/check"
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
  step="the check program"
  log="$work/check.log"
}

finish_prefix() {
  printf '%s\n' "${built#?}" >"$1/hvezda-deps.versions"
  printf '%s\n' "$2" >"$1/hvezda-deps.stamp"
  rm -rf "$work"
  say "done: $1"
}

# --- the prefix as the game's build uses it ---
# Static libraries only, so what a link needs goes where every build looks:
# libopenmpt's system libraries into its Libs, zlib under CMake's FreeType
# target (its find module knows nothing of it), and the plain target names
# that SDL2 already gives for its static library.
fix_static_prefix() {
  local prefix=$1 lib
  sed -i -E '/^Libs:/ s/$/ '"$(sed -n 's/^Libs.private: *//p' "$prefix/lib/pkgconfig/libopenmpt.pc")"'/; /^Libs.private:/d' \
    "$prefix/lib/pkgconfig/libopenmpt.pc"
  for lib in SDL2_ttf SDL2_image; do
    cat >>"$prefix/lib/cmake/$lib/${lib}Config.cmake" <<EOF

# Added by hvezda's $tag.sh: the plain name for the static library.
if(TARGET $lib::$lib-static AND NOT TARGET $lib::$lib)
  add_library($lib::$lib ALIAS $lib::$lib-static)
endif()
EOF
  done
  cat >>"$prefix/lib/cmake/SDL2_ttf/SDL2_ttfConfig.cmake" <<'EOF'
if(TARGET Freetype::Freetype)
  find_dependency(ZLIB)
  set_property(TARGET Freetype::Freetype APPEND PROPERTY INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
endif()
EOF
}
