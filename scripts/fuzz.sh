#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fuzzes the driver's script and recording readers and the core's key handlers
# with libFuzzer (clang, ASan + UBSan) for SECONDS in all (shared evenly among
# the modes), default 120.
#
#   scripts/fuzz.sh [SECONDS [MODE...]]    modes: script recording keys hall (default: the first three)
#   scripts/fuzz.sh 3600 keys              the soak: an hour of random play
#
# The keys mode plays whole games from random bytes: key presses and releases
# of every 16-bit code, holds, queued random draws and nudges toward each end,
# with the game's checks after every tick and event.
#
# Works in build-fuzz/: new inputs land in build-fuzz/corpus-MODE, crashes in
# build-fuzz/crashes/. The committed seeds are tests/fuzz/corpus/MODE (the
# scenario scripts of tests/scenarios seed the script reader too, the
# recordings of tests/corpus the recording reader). To keep an
# interesting input, copy it into tests/fuzz/corpus/MODE: the test command
# replays that folder. Exits 1 when a target found a crash.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-120}"
shift || true
modes=("$@")
if [ ${#modes[@]} -eq 0 ]; then modes=(script recording keys); fi
share=$(( (seconds + ${#modes[@]} - 1) / ${#modes[@]} ))

scripts/deps.sh
# Coverage for the whole core: every file is built with the fuzzer's
# instrumentation (no libFuzzer main) and the two sanitizers.
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DHVEZDA_SANITIZE=ON -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target hvezda-fuzz-script hvezda-fuzz-recording hvezda-fuzz-keys hvezda-fuzz-hall

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
mkdir -p build-fuzz/crashes
status=0
for mode in "${modes[@]}"; do
  work="build-fuzz/corpus-$mode"
  mkdir -p "$work"
  seeds=(tests/fuzz/corpus/$mode)
  extra=()
  max_len=4096
  if [ "$mode" = script ]; then
    seeds+=(tests/scenarios)
    extra=(-dict=tests/fuzz/script.dict)
  elif [ "$mode" = recording ]; then
    seeds+=(tests/corpus)
    extra=(-dict=tests/fuzz/script.dict)
    max_len=65536  # whole recordings of real games
  elif [ "$mode" = hall ]; then
    seeds=(tests/fuzz/corpus/recording tests/corpus)
    extra=(-dict=tests/fuzz/script.dict)
    max_len=65536
  elif [ "$mode" = keys ]; then
    max_len=16384  # whole random games
  fi
  echo "== fuzzing $mode for ${share}s =="
  if ! build-fuzz/hvezda-fuzz-$mode "$work" "${seeds[@]}" "${extra[@]}" \
      -max_total_time="$share" -max_len="$max_len" -timeout=20 -rss_limit_mb=2048 \
      -artifact_prefix=build-fuzz/crashes/$mode- -print_final_stats=1 2>build-fuzz/fuzz-$mode.log; then
    status=1
    echo "!! $mode: a crash; see build-fuzz/fuzz-$mode.log and build-fuzz/crashes/"
    grep -E "^fuzz:|ERROR|runtime error" build-fuzz/fuzz-$mode.log | head -5 || true
  fi
  grep -E "stat::number_of_executed_units|stat::new_units_added|cov:" build-fuzz/fuzz-$mode.log | tail -3 || true
done
exit $status
