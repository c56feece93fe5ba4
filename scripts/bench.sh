#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the benchmarks and prints a short table of the figures against their
# targets. Not part of the test command. Builds in build-perf/.
#
#   scripts/bench.sh            everything but the input latency
#   scripts/bench.sh --core     only the core benchmarks (no display needed)
#   scripts/bench.sh --latency [ARGS]   the input latency, bench/latency.sh ARGS
#
# Full output: build-perf/bench-*.json and build-perf/bench-*.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

only_core=0
if [ "${1:-}" = "--core" ]; then only_core=1; fi
if [ "${1:-}" = "--latency" ]; then shift; exec bench/latency.sh "$@"; fi

scripts/deps.sh
cmake -S . -B build-perf -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-perf -j"$(nproc)" >/dev/null

out=build-perf
# Each benchmark a few times; the table shows the median of the repetitions.
bench_args=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_out_format=json)

build-perf/hvezda-bench-core "${bench_args[@]}" --benchmark_out=$out/bench-core.json >$out/bench-core.txt 2>&1
draw_json=""
if [ $only_core = 0 ] && [ -x build-perf/hvezda-bench-draw ]; then
  build-perf/hvezda-bench-draw "${bench_args[@]}" --benchmark_out=$out/bench-draw.json >$out/bench-draw.txt 2>&1
  draw_json=$out/bench-draw.json
fi
startup=""
if [ $only_core = 0 ] && [ -x build-perf/hvezda ] && [ -e build-perf/libhvezda_present_probe.so ]; then
  startup=$out/bench-startup.txt
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    bench/startup_memory.sh build-perf/hvezda build-perf/libhvezda_present_probe.so 10 >"$startup"
  # The same with SDL's software renderer and no GL framebuffer, for comparison.
  SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 xvfb-run -a -s "-screen 0 1280x1024x24" \
    bench/startup_memory.sh build-perf/hvezda build-perf/libhvezda_present_probe.so 10 \
    | sed 's/^/software_/' >>"$startup"
fi

python3 - "$out/bench-core.json" "$draw_json" "$startup" <<'PY'
import json, sys

def medians(path):
    if not path:
        return {}
    with open(path) as f:
        data = json.load(f)
    out = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            out[b["run_name"]] = b
    return out

core = medians(sys.argv[1])
draw = medians(sys.argv[2])
startup = {}
if sys.argv[3]:
    for line in open(sys.argv[3]):
        k, v = line.split()
        startup[k] = float(v)

rows = []
def row(what, measured, target="", ok=None):
    mark = "" if ok is None else ("met" if ok else "NOT MET")
    rows.append((what, measured, target, mark))

ticks = [("Timer1 tick (flight, held keys)", "BM_Timer1_FlightHeldKeys"),
         ("Timer2 tick (status blink)", "BM_Timer2_StatusBlink"),
         ("Timer3 tick (enemies)", "BM_Timer3_Enemies"),
         ("Timer4 tick (combat)", "BM_Timer4_Combat"),
         ("Timer5 tick (banner fade)", "BM_Timer5_BannerFade"),
         ("Timerboss tick (boss fight)", "BM_Timerboss_Fight")]
for what, name in ticks:
    b = core.get(name)
    if b:
        row(what, "%.0f ns" % (b["per_tick"] * 1e9))
for what, name in [("game-minute, normal play", "BM_GameMinute_NormalPlay"),
                   ("game-minute, boss fight", "BM_GameMinute_BossFight")]:
    b = core.get(name)
    if b:
        ms = b["real_time"] if b["time_unit"] == "ms" else b["real_time"] / 1e6
        x = b["x_realtime"]
        row(what, "%.2f ms  (%.0fx real time)" % (ms, x), "< 3 ms, >= 20000x", ms < 3 and x >= 20000)
b = draw.get("BM_DrawBusyFrame_Software")
if b:
    us = b["real_time"] if b["time_unit"] == "us" else b["real_time"] / 1e3
    row("busy frame, software renderer", "%.3f ms" % (us / 1000), "< 1 ms", us < 1000)
for what, name in [("frame of normal play, whole / in part", "NormalPlayFrames"),
                   ("frame of the boss fight, whole / in part", "BossFightFrames")]:
    whole, part = draw.get("BM_%s_Whole" % name), draw.get("BM_%s_InPart" % name)
    if whole and part:
        row(what, "%.3f / %.3f ms (%.0fk / %.0fk pixels)" % (whole["real_time"] / 1000, part["real_time"] / 1000,
                                                          whole["pixels"] / 1000, part["pixels"] / 1000))
if startup:
    row("start-up to first frame (median/max)",
        "%.0f / %.0f ms" % (startup["startup_ms_median"], startup["startup_ms_max"]), "< 150 ms",
        startup["startup_ms_median"] < 150)
    row("resident memory while playing", "%.1f MB" % startup["rss_mb_playing"], "< 60 MB",
        startup["rss_mb_playing"] < 60)
    if "software_rss_mb_playing" in startup:
        row("  same, SDL software renderer*",
            "%.1f MB, start-up %.0f ms" % (startup["software_rss_mb_playing"], startup["software_startup_ms_median"]))

w = [max(len(r[i]) for r in rows) for i in range(3)]
print("%-*s  %-*s  %-*s  %s" % (w[0], "what", w[1], "measured", w[2], "target", ""))
for r in rows:
    print("%-*s  %-*s  %-*s  %s" % (w[0], r[0], w[1], r[1], w[2], r[2], r[3]))
if "software_rss_mb_playing" in startup:
    print("* SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0: no OpenGL (llvmpipe) loaded under Xvfb")
PY
