#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up, builds and runs every test: once in an ordinary build (build/), once
# without SDL (build-nosdl/: the core, the driver and their tests), then
# once more with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/).
# Any sanitizer report fails the run.
#
# Tests labelled `nosanitize` are left out of the sanitized pass: a package
# of a sanitized build is no package.
#
# After the no-SDL pass the packages of the last commit are built twice and
# must be the same bytes (scripts/reproducible.sh).
# After the sanitized pass, the Windows build (scripts/windows.sh) runs under
# Wine: every scenario with hvezda-sim.exe, and the zip with hvezda.exe in a
# window (tests/windows). Then the browser build (scripts/web.sh): every
# scenario with the driver under node, and the page in headless chromium
# (tests/web).
#
# The Windows and browser libraries (scripts/windows-deps.sh, web-deps.sh,
# which install mingw-w64, Wine and emscripten) are built once into
# ~/.cache/hvezda; on a fresh machine that takes half an hour of a core or
# more. They build in the background from the start, beside the passes before
# them; the Windows and browser parts wait for them. Their logs:
# build/libraries-windows.log and build/libraries-web.log.
#
# HVEZDA_TEST_SANITIZE=0 skips the sanitized pass, HVEZDA_TEST_WINDOWS=0 the
# Windows part, HVEZDA_TEST_WEB=0 the browser's (quick local runs).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs="$(nproc)"
# Each part says when it starts, so a slow machine shows where the time goes.
part() { echo "== $* ($SECONDS s since the start) =="; }

scripts/deps.sh

windows="${HVEZDA_TEST_WINDOWS:-1}" web="${HVEZDA_TEST_WEB:-1}"
wanted=()
[ "$windows" = 0 ] || wanted+=(windows)
[ "$web" = 0 ] || wanted+=(web)
mkdir -p build
libs="$(mktemp -d "${TMPDIR:-/tmp}/hvezda-libraries.XXXXXX")"
# One after the other, so they never share apt or the cores with each other;
# a session of their own, so that a failing run stops them all. Linux gives
# that session an equal share of the cores with the passes whatever its nice
# value, and it needs it: given the least share (/proc/self/autogroup) they
# were not built until long after the Windows part began (docs/testing.md).
setsid nice -n 19 bash -c '
  dir=$1; shift
  for what; do
    rc=0; scripts/$what-deps.sh >"build/libraries-$what.log" 2>&1 || rc=$?
    echo "$rc" >"$dir/$what.rc"
  done' libraries "$libs" "${wanted[@]}" </dev/null &
libs_pid=$!
trap 'kill -TERM -- -"$libs_pid" 2>/dev/null || true; rm -rf "$libs"' EXIT
# libraries NAME: waits for the background build of NAME's libraries.
libraries() {
  local started=$SECONDS
  while [ ! -f "$libs/$1.rc" ]; do sleep 2; done
  [ "$SECONDS" -eq "$started" ] || echo "(waited $((SECONDS - started)) s for the $1 libraries)"
  [ "$(cat "$libs/$1.rc")" = 0 ] || { tail -n 30 "build/libraries-$1.log" >&2; echo "the $1 libraries did not build" >&2; exit 1; }
}

part "ordinary build"
# Warnings are errors here; the tests and benchmarks are built even where
# scripts/play.sh configured build/ without them.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHVEZDA_WERROR=ON \
  -DHVEZDA_BUILD_TESTS=ON -DHVEZDA_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

part "core and driver without SDL"
# The core, the headless driver and their tests must build and pass with no
# platform library at all. The hall's server, which needs none either (its
# package depends on no SDL), was built and tested in the ordinary pass.
cmake -S . -B build-nosdl -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHVEZDA_WERROR=ON \
  -DHVEZDA_WITH_SDL=OFF -DHVEZDA_WITH_HALL=OFF -DHVEZDA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-nosdl -j"$jobs"
ctest --test-dir build-nosdl --output-on-failure -j"$jobs"

part "reproducible packages"
scripts/reproducible.sh

if [ "${HVEZDA_TEST_SANITIZE:-1}" != "0" ]; then
  part "sanitized build (ASan + UBSan)"
  # -O1 with line tables only: a report still names every frame's file and
  # line, and the build takes about half the time of -O2 -g.
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHVEZDA_SANITIZE=ON -DHVEZDA_WERROR=ON \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" >/dev/null
  cmake --build build-asan -j"$jobs"
  (
    # halt_on_error/abort_on_error: the first report ends the test with a failure;
    # detect_leaks: a leak at exit is a report too.
    export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
    export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
    # Leaks inside third-party libraries the real program loads (commented there).
    export LSAN_OPTIONS="suppressions=$PWD/tests/hostile/lsan.supp:print_suppressions=0"
    # Windows under Xvfb draw with SDL's software renderer in this pass: with
    # OpenGL, Mesa's llvmpipe leaks from JIT-compiled code whose frames no
    # suppression can name. The ordinary pass keeps the default renderer.
    export SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0
    ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE nosanitize
  )
fi

if [ "$windows" != "0" ]; then
  part "Windows build under Wine"
  libraries windows
  zip="$(scripts/windows.sh | tail -n 1)"
  tests/install/hardening_test.sh build-win64/hvezda.exe build-win64/hvezda-sim.exe
  tests/windows/scenarios_under_wine.sh build-win64
  tests/windows/package_under_wine.sh "$zip" build
fi

if [ "$web" != "0" ]; then
  part "browser build"
  libraries web
  page="$(scripts/web.sh | tail -n 1)"
  tests/web/run.sh "$page" build
fi

echo "== every test passed in $SECONDS s =="
