#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the game for 64-bit Windows with the mingw-w64 cross compilers and
# packs what a player unzips and runs:
#
#   scripts/windows.sh     ->  build-win64/hvezda-VERSION-win64.zip
#
# The zip holds hvezda.exe, hvezda-sim.exe (both linked statically: no DLL
# beside them), Moonlite.dat, LICENSE and README.txt. The libraries come from
# scripts/windows-deps.sh (built once, then reused). The zip's path is the
# last line printed.
#
# HVEZDA_WIN64_JOBS    parallel jobs (default: nproc)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="$root/build-win64"
jobs="${HVEZDA_WIN64_JOBS:-$(nproc)}"
host=x86_64-w64-mingw32

HVEZDA_WIN64_JOBS="$jobs" scripts/windows-deps.sh

# The warnings stay warnings here: GCC 12 for mingw warns wrongly (-Wrestrict)
# inside its own std::string; the Linux build keeps them errors.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DHVEZDA_WERROR=OFF >/dev/null
cmake --build "$build" -j"$jobs"

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
name="hvezda-$version-win64"
stage="$build/$name"
rm -rf "$stage" "$build/$name.zip"
mkdir -p "$stage"
# The same zip from every build of a commit (scripts/reproducible.sh windows):
# strip dates the programs' headers, and the zip its files, the sources' date.
epoch="$(sed -n 's/^HVEZDA_SOURCE_DATE_EPOCH:INTERNAL=//p' "$build/CMakeCache.txt")"
for exe in hvezda.exe hvezda-sim.exe; do
  SOURCE_DATE_EPOCH="$epoch" $host-strip -o "$stage/$exe" "$build/$exe"
done
cp assets/Moonlite.dat LICENSE "$stage/"
# Notepad on older Windows wants CR LF.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' dist/windows/README.txt >"$stage/README.txt"
# Every file 644 or 755, in name order, its time in UTC.
chmod -R u=rwX,go=rX "$stage"
find "$stage" -exec touch -h -d "@$epoch" {} +
(cd "$build" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$name.zip")
echo "$build/$name.zip"
