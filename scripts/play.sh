#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up, builds and starts the game: only what playing needs, no tests.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh play
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHVEZDA_BUILD_TESTS=OFF -DHVEZDA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target hvezda
exec build/hvezda
