#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What the hardening (cmake/hardening.cmake) costs the core: its game-minute
# benchmarks built without it (build-perf-harden-OFF/) and with it
# (build-perf-harden-ON/), run in turn ROUNDS times (default 5; the first of
# the two changes every round), each run the median of 5 repetitions. Prints
# each build's median and fastest round, CPU and wall clock, and the cost.
# Not part of the test command.
#
#   bench/hardening_cost.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-5}"

for harden in OFF ON; do
  cmake -S . -B "build-perf-harden-$harden" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHVEZDA_HARDEN=$harden \
    -DHVEZDA_WITH_SDL=OFF -DHVEZDA_BUILD_TESTS=OFF >/dev/null
  cmake --build "build-perf-harden-$harden" -j2 --target hvezda-bench-core >/dev/null
done

for ((round = 1; round <= rounds; round++)); do
  order="OFF ON"
  [ $((round % 2)) = 0 ] && order="ON OFF"
  for harden in $order; do
    "build-perf-harden-$harden/hvezda-bench-core" --benchmark_filter=GameMinute \
      --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=json \
      >"build-perf-harden-$harden/round-$round.json"
  done
done

python3 - "$rounds" <<'PY'
import json, statistics, sys

rounds = int(sys.argv[1])
def medians(harden, name, key):
    values = []
    for r in range(1, rounds + 1):
        with open("build-perf-harden-%s/round-%d.json" % (harden, r)) as f:
            for b in json.load(f)["benchmarks"]:
                if b["run_name"] == name and b.get("aggregate_name") == "median":
                    values.append(b[key])
    return values

# The median round, and the fastest: other work on the machine only ever adds time.
print("%-12s %-5s %-24s %-24s %s" % ("game-minute", "", "without: median, fastest", "with: median, fastest", "cost"))
for what, name in [("normal play", "BM_GameMinute_NormalPlay"), ("boss fight", "BM_GameMinute_BossFight")]:
    for key, clock in (("cpu_time", "CPU"), ("real_time", "wall")):
        off, on = medians("OFF", name, key), medians("ON", name, key)
        print("%-12s %-5s %-24s %-24s %+.1f %%, %+.1f %%" % (
            what, clock, "%.3f, %.3f ms" % (statistics.median(off), min(off)),
            "%.3f, %.3f ms" % (statistics.median(on), min(on)),
            100 * (statistics.median(on) / statistics.median(off) - 1), 100 * (min(on) / min(off) - 1)))
PY
