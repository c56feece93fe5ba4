#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The whole kill test: 50 SIGKILLs under load for each database (the test
# command runs 10 each). Builds hvezda-hall and hvezda-hall-load in build/.
#   scripts/hall-kills.sh [KILLS]
set -euo pipefail
cd "$(dirname "$0")/.."
kills="${1:-50}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target hvezda-hall hvezda-hall-load >/dev/null
for db in sqlite postgresql; do
  bash tests/hall/kill_test.sh "$db" "$kills" "$PWD/build/hvezda-hall" "$PWD/build/hvezda-hall-load"
done
