#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up to the first shown frame, and resident memory while playing, of
# the real game under an X server (run it inside xvfb-run). Prints
# "name value" lines for scripts/bench.sh.
#
#   bench/startup_memory.sh HVEZDA PROBE_SO [RUNS]
#
# Start-up: from just before the program is started to the first
# SDL_RenderPresent after its window is shown (noted by the preloaded
# present_probe shim), median and worst of RUNS starts (default 10).
# Memory: VmRSS sampled every 0.2 s through 8 s of play (held arrows, X
# presses) and the kernel's high-water mark VmHWM at the end.
set -euo pipefail

game="$1"
probe="$2"
runs="${3:-10}"
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
work="$(mktemp -d)"
export XDG_STATE_HOME="$work/state"  # the game records here, not in the home folder
trap 'rm -rf "$work"' EXIT

stop() {  # ends the game we started, by its id
  local pid="$1"
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

times=()
for i in $(seq "$runs"); do
  file="$work/present.$i"
  start=$(date +%s%N)
  HVEZDA_PRESENT_PROBE_FILE="$file" LD_PRELOAD="$probe" "$game" >"$work/out.$i" 2>&1 &
  pid=$!
  for _ in $(seq 400); do [ -e "$file" ] && break; sleep 0.005; done
  if [ ! -e "$file" ]; then
    echo "startup: no frame within 2 s (run $i); output:" >&2
    cat "$work/out.$i" >&2
    stop "$pid"
    exit 1
  fi
  shown=$(awk '{print $2}' "$file")
  times+=($(( (shown - start) / 1000 )))  # microseconds
  stop "$pid"
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
n=${#sorted[@]}
median=${sorted[$((n / 2))]}
worst=${sorted[$((n - 1))]}
awk -v m="$median" -v w="$worst" 'BEGIN { printf "startup_ms_median %.1f\nstartup_ms_max %.1f\n", m / 1000, w / 1000 }'

# Memory while playing.
"$game" >"$work/play.out" 2>&1 &
pid=$!
win=$(timeout 10 xdotool search --sync --name '^Form1$' | head -1)
xdotool windowfocus --sync "$win" 2>/dev/null || true
peak=0
for step in $(seq 40); do
  case $((step % 8)) in
    0) xdotool keydown Left ;;
    3) xdotool keyup Left; xdotool keydown Right ;;
    6) xdotool keyup Right ;;
  esac
  xdotool key x
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
  [ "$rss" -gt "$peak" ] && peak=$rss
  sleep 0.2
done
hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
stop "$pid"
awk -v p="$peak" -v h="$hwm" 'BEGIN { printf "rss_mb_playing %.1f\nrss_mb_hwm %.1f\n", p / 1024, h / 1024 }'
