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
# Between the no-SDL and the sanitized pass, the Windows build
# (scripts/windows.sh, which installs mingw-w64 and Wine) runs under Wine:
# every scenario with hvezda-sim.exe, and the zip with hvezda.exe in a window
# (tests/windows).
#
# Then the browser build (scripts/web.sh, which installs emscripten): every
# scenario with the driver under node, and the page in headless chromium
# (tests/web).
#
# HVEZDA_TEST_SANITIZE=0 skips the sanitized pass, HVEZDA_TEST_WINDOWS=0 the
# Windows part, HVEZDA_TEST_WEB=0 the browser's (quick local runs).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs="$(nproc)"
# Each part says when it starts, so a slow machine shows where the time goes.
part() { echo "== $* ($SECONDS s since the start) =="; }

scripts/deps.sh

part "ordinary build"
# Warnings are errors here; the tests and benchmarks are built even where
# scripts/play.sh configured build/ without them.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHVEZDA_WERROR=ON \
  -DHVEZDA_BUILD_TESTS=ON -DHVEZDA_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

part "core and driver without SDL"
# The core, the headless driver and their tests must build and pass with no
# platform library at all.
cmake -S . -B build-nosdl -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHVEZDA_WERROR=ON \
  -DHVEZDA_WITH_SDL=OFF -DHVEZDA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-nosdl -j"$jobs"
ctest --test-dir build-nosdl --output-on-failure -j"$jobs"

part "reproducible packages"
scripts/reproducible.sh

if [ "${HVEZDA_TEST_WINDOWS:-1}" != "0" ]; then
  part "Windows build under Wine"
  zip="$(scripts/windows.sh | tail -n 1)"
  tests/install/hardening_test.sh build-win64/hvezda.exe build-win64/hvezda-sim.exe
  tests/windows/scenarios_under_wine.sh build-win64
  tests/windows/package_under_wine.sh "$zip" build
fi

if [ "${HVEZDA_TEST_WEB:-1}" != "0" ]; then
  part "browser build"
  page="$(scripts/web.sh | tail -n 1)"
  tests/web/run.sh "$page" build
fi

if [ "${HVEZDA_TEST_SANITIZE:-1}" = "0" ]; then
  echo "== every test passed in $SECONDS s (no sanitized pass) =="
  exit 0
fi

part "sanitized build (ASan + UBSan)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHVEZDA_SANITIZE=ON -DHVEZDA_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
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
echo "== every test passed in $SECONDS s =="
