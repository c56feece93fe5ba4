#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A short real run of the game under valgrind's memcheck on a virtual X
# display with the dummy audio driver: start, a few keys, EXIT. Any memory
# error or definite leak fails it.
#
#   valgrind.sh HVEZDA SUPPRESSIONS
#
# SDL is asked for its software renderer without a GL framebuffer: with
# OpenGL under Xvfb, Mesa's llvmpipe leaks inside its own driver (frames
# memcheck cannot even name, so no narrow suppression can hold them) and
# the run takes four times as long. The game's own code is the same.
# Exit status 0 passed, 1 failed, 77 skipped (no valgrind or Xvfb).
set -u
game=$1 supp=$2
command -v valgrind >/dev/null || { echo "SKIP: valgrind missing (scripts/deps.sh installs it)"; exit 77; }
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "SKIP: Xvfb or xdotool missing"; exit 77; }
work=$(mktemp -d)
export XDG_STATE_HOME="$work/state"  # the game records here, not in the home folder
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL (valgrind): $*"; [ -s "$work/vg.log" ] && tail -n 60 "$work/vg.log"; exit 1; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.err" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.err")"
export DISPLAY=":$(head -n 1 "$work/display")"

SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 \
  valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
  --show-leak-kinds=definite --num-callers=30 --child-silent-after-fork=yes --suppressions="$supp" --log-file="$work/vg.log" \
  "$game" >"$work/game.out" 2>"$work/game.err" &
pid=$!
wid=$(timeout 120 xdotool search --sync --onlyvisible --name '^Form1$' 2>/dev/null | head -n 1)
[ -n "$wid" ] || { kill -KILL "$pid"; wait "$pid"; fail "no window within 120 s"; }
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool keydown Left; sleep 1; xdotool keyup Left
for _ in 1 2 3 4; do xdotool key x c; sleep 0.5; done
xdotool mousemove --window "$wid" 603 73 click 1
for _ in $(seq 1200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  kill -KILL "$pid"; wait "$pid"
  fail "still running 120 s after EXIT"
fi
wait "$pid"
status=$?
grep -E "ERROR SUMMARY|definitely lost" "$work/vg.log"
[ "$status" -eq 0 ] || fail "status $status (1: memcheck found an error or a definite leak)"
echo "ok: valgrind"
