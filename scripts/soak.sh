#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The long soak run: an hour of virtual play per seed (whole games with random
# keys, holds and draws, through every phase to all three ends), with the
# game's invariants checked after every tick. A failure leaves the game's
# input in build-perf/soak-last.keys; `hvezda-fuzz-replay keys FILE` replays it.
#
#   scripts/soak.sh [MINUTES] [SEED...]      defaults: 60 minutes, seeds 1 2 3
#   HVEZDA_SOAK_SANITIZE=1 scripts/soak.sh   the same under ASan + UBSan (build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."

minutes="${1:-60}"
shift || true
seeds=("$@")
if [ ${#seeds[@]} -eq 0 ]; then seeds=(1 2 3); fi

build=build-perf
flags=()
if [ "${HVEZDA_SOAK_SANITIZE:-0}" = "1" ]; then
  build=build-asan
  flags=(-DHVEZDA_SANITIZE=ON)
  export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
  export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
fi

scripts/deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target hvezda-soak
for seed in "${seeds[@]}"; do
  echo "== seed $seed, $minutes virtual minutes =="
  "$build/hvezda-soak" --virtual-minutes "$minutes" --seed "$seed" --require-all-ends --trace-dir "$build"
done
