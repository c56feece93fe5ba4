# SPDX-License-Identifier: MIT
# Shell helpers shared by the tests that run the game program itself.

# Runs the calling script ($3...) again on a virtual X display of $1 (WxH)
# with HVEZDA_INSIDE_XVFB set, then exits: 0 when that run and the checks
# before it ($failures) passed, saying "$2: all checks passed"; else 1.
rerun_in_xvfb() {
  local size=$1 label=$2
  shift 2
  HVEZDA_INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 ${size}x24" bash "$@"
  local inside=$?
  [ "$failures" -eq 0 ] && [ "$inside" -eq 0 ] && { echo "$label: all checks passed"; exit 0; }
  exit 1
}

# Waits up to $2 tenths of a second for process $1 to end; its status in $status.
wait_end() {
  local pid=$1 tenths=$2
  for ((i = 0; i < tenths; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Prints file $1, a game's standard error, without the two lines SDL's disk
# audio driver (the tests' stand-in for a sound card) writes about itself.
game_said() {
  grep -v -e '^CRITICAL: You are using the SDL disk i/o audio driver!$' -e '^CRITICAL:  Writing to file \[' "$1"
}

# Starts "$@" (its output in $work/game.out and game.err) and waits for its
# window: $pid and $wid. Fails when no window shows within 15 s.
start_game() {
  "$@" >"$work/game.out" 2>"$work/game.err" &
  pid=$!
  wid=$(timeout 15 xdotool search --sync --onlyvisible --name '^Form1$' 2>/dev/null | head -n 1)
  [ -n "$wid" ] && return 0
  kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  fail "no window within 15 s; standard error: $(head -c 500 "$work/game.err")"
  return 1
}

# Clicks window pixel X Y (by default EXIT, Label4 at 592,64 in the panel's
# frame) until the game ends, its status in $status. SDL drops a click within
# 10 ms of the window getting the focus, which a busy machine can bring
# about: a click that went nowhere is repeated, three times 2 s apart.
click_to_end() {
  for _ in 1 2 3; do
    xdotool mousemove --window "$wid" "${1:-603}" "${2:-73}" click 1
    wait_end "$pid" 20 && return 0
  done
  kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  return 1
}
