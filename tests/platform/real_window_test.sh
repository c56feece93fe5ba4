#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game in a real window on a virtual X display: it opens where it should,
# flies and fires from the keyboard, starts anew on F2, and ends with status 0
# through EXIT and through the desktop's close request; the desktop knows its
# window by the class hvezda and shows the ship as its icon. Also: no display
# or no font gives one line on standard error and status 1.
# usage: real_window_test.sh HVEZDA X11_CLOSE_WINDOW SHOT_PROBE SHIP_BMP
set -u
game=$1 closer=$2 probe=$3 ship=$4
work=$(mktemp -d)
export XDG_STATE_HOME="$work/state"  # the game records here, not in the home folder
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# wait_end PID TENTHS, rerun_in_xvfb
source "$(dirname "$0")/../lib/processes.sh"

one_line_and_status_1() {  # label, stderr file, status
  local lines
  lines=$(wc -l < "$2")
  [ "$3" -eq 1 ] || fail "$1: status $3, not 1"
  [ "$lines" -eq 1 ] || fail "$1: $lines lines on standard error, not one: $(cat "$2")"
  grep -q '^hvezda: ' "$2" || fail "$1: the line does not say who speaks: $(cat "$2")"
}

if [ "${1:-}" != "--inside" ] && [ -z "${HVEZDA_INSIDE_XVFB:-}" ]; then
  # Outside any display.
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy "$game" 2> "$work/nodisplay.err"
  one_line_and_status_1 "no display" "$work/nodisplay.err" $?
  grep -qi 'display' "$work/nodisplay.err" || fail "no display: the line does not mention the display"

  printf '<?xml version="1.0"?>\n<fontconfig><cachedir>%s/fc</cachedir></fontconfig>\n' "$work" > "$work/fonts.conf"
  env -u DISPLAY FONTCONFIG_FILE="$work/fonts.conf" SDL_AUDIODRIVER=dummy "$game" 2> "$work/nofont.err"
  one_line_and_status_1 "no font" "$work/nofont.err" $?
  grep -qi 'font' "$work/nofont.err" || fail "no font: the line does not mention fonts"

  if ! command -v xvfb-run > /dev/null || ! command -v Xvfb > /dev/null; then
    echo "SKIP: Xvfb is not installed (Debian: xvfb xauth); the window itself was not tested"
    [ "$failures" -eq 0 ] || exit 1
    exit 77
  fi
  for tool in xdotool import xprop; do
    command -v "$tool" > /dev/null || { echo "FAIL: $tool is missing (scripts/deps.sh installs it)"; exit 1; }
  done
  rerun_in_xvfb 1280x1024 "real window" "$0" "$@"
fi

# ---- On the virtual display ---------------------------------------------
export SDL_AUDIODRIVER=dummy
# In a sanitized build the game's memory is checked as usual, but not its
# leaks at exit: SDL's D-Bus connection (screen saver, input methods) leaves a
# buffer inside libdbus allocated after SDL_Quit, with blocks it points to
# that the leak checker cannot trace to any library. The drawing and the loop
# are leak-checked by the unit tests.
if [ -n "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"; fi

start_game() {  # [program], by default the game
  "${1:-$game}" 2> "$work/game.err" &
  pid=$!
  wid=$(timeout 15 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
  [ -n "$wid" ] || { fail "no visible window named Form1"; kill "$pid"; wait "$pid"; return 1; }
}

start_game || exit 1
eval "$(xdotool getwindowgeometry --shell "$wid")"  # X Y WIDTH HEIGHT
[ "$WIDTH" = 667 ] && [ "$HEIGHT" = 570 ] || fail "window is ${WIDTH}x${HEIGHT}, not 667x570"
[ "$X" = $(((1280 - 667) / 2)) ] && [ "$Y" = $(((1024 - 570) / 2)) ] || fail "window at $X,$Y: not centred"

xdotool windowfocus --sync "$wid"
import -window root "$work/before.png"
read -r x0 err0 < <("$probe" find "$work/before.png" "$ship" "$X" "$Y" 432)
found() { awk -v e="${1:-999}" 'BEGIN { exit !(e < 10) }'; }  # shot-probe's mean error
found "$err0" && [ "$x0" = 304 ] || fail "the ship is not at its starting place before any key (x $x0, error $err0)"

xdotool keydown Right
sleep 0.3
xdotool keyup Right
# Three shots, the last just before the screenshot: one is surely still
# climbing when the screen is read.
xdotool key --delay 120 x x x
import -window root "$work/after.png"
read -r x1 err1 < <("$probe" find "$work/after.png" "$ship" "$X" "$Y" 432)
echo "ship: x $x0 -> $x1 (mean error $err1)"
found "$err1" || fail "the ship is nowhere on its row after flying (error $err1)"
[ "${x1:--1}" -ge $((x0 + 60)) ] || fail "the ship did not move right (x $x0 -> $x1)"
# The shot starts 250 twips (about 17 px) right of the ship's left edge and climbs.
shots=$("$probe" shots "$work/after.png" "$X" "$Y" $((x1 + 5)) $((x1 + 30)) 90 432)
echo "shot rows found above the ship: $shots"
[ "$shots" -ge 1 ] || fail "no shot in the air above the ship"
cp "$work/after.png" "${HVEZDA_SHOT_DIR:-$work}/real_window.png" 2> /dev/null || true

# F2: a new game, the ship back at its starting place.
xdotool key F2
sleep 0.2
import -window root "$work/new.png"
read -r x2 err2 < <("$probe" find "$work/new.png" "$ship" "$X" "$Y" 432)
found "$err2" && [ "$x2" = "$x0" ] || fail "F2 did not start a new game (ship at x $x2, error $err2)"

# EXIT: "EXIT" is Label4 at (8880, 960) twips in the panel, one pixel inside its frame.
xdotool mousemove --window "$wid" $((1 + 592 + 10)) $((1 + 64 + 8)) click 1
if wait_end "$pid" 10; then
  [ "$status" -eq 0 ] || fail "EXIT ended the game with status $status"
else
  fail "the game was still running a second after EXIT"
  kill "$pid"; wait "$pid"
fi
[ -s "$work/game.err" ] && echo "game's standard error: $(cat "$work/game.err")"

# The desktop's close request ends the game the same way. This copy has
# another name, and still the desktop knows it as hvezda, with its icon.
cp "$game" "$work/renamed"
start_game "$work/renamed" || exit 1
xprop -id "$wid" WM_CLASS | grep -q '= "hvezda", "hvezda"$' || fail "window class: $(xprop -id "$wid" WM_CLASS)"
xprop -id "$wid" _NET_WM_ICON | grep -q 'Icon (79 x 79)' || fail "no 79 x 79 window icon: $(xprop -id "$wid" _NET_WM_ICON | head -c 200)"
sleep 0.3
"$closer" "$wid"
if wait_end "$pid" 10; then
  [ "$status" -eq 0 ] || fail "closing the window ended the game with status $status"
else
  fail "the game was still running a second after its window was closed"
  kill "$pid"; wait "$pid"
fi

exit $((failures > 0))
