#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Around the game in a real window: --write-settings; then on a virtual X
# display with a window manager (on X11 fullscreen is the window manager's
# business): a settings file asking for fullscreen, the scene at a whole
# factor and centred, the pause, F12, F11 and Alt+Enter, EXIT clicked at its
# scaled place, and --scale.
# usage: comfort_window_test.sh HVEZDA HVEZDA_SIM SHOT_PROBE
set -u
game=$1 sim=$2 probe=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
source "$(dirname "$0")/../lib/processes.sh"

export HOME=$work/home XDG_PICTURES_DIR=$work/pictures SDL_AUDIODRIVER=dummy
unset XDG_CONFIG_HOME
settings=$HOME/.config/hvezda/settings.toml
mkdir -p "$(dirname "$settings")" "$XDG_PICTURES_DIR"

if [ -z "${HVEZDA_INSIDE_XVFB:-}" ]; then
  env -u DISPLAY "$game" --scale 2 --write-settings > "$work/write.out" 2>&1 || fail "--write-settings failed"
  grep -qx 'scale = 2' "$settings" && grep -qx 'fire = "X"  # fire a shot' "$settings" ||
    fail "--write-settings wrote: $(cat "$settings" "$work/write.out")"
  env -u DISPLAY "$game" --scale 9 > /dev/null 2>&1 && fail "--scale 9 was taken"
  for tool in xvfb-run Xvfb openbox xdotool import compare; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is missing (scripts/deps.sh installs it)"; exit 77; }
  done
  rerun_in_xvfb 1400x1200 "comfort window" "$0" "$@"
fi

# ---- On the virtual display, 1400 x 1200: the scene fits twice, at (33, 30).
if [ -n "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"; fi
openbox --sm-disable > /dev/null 2>&1 &
wm=$!
trap 'kill $wm; rm -rf "$work"' EXIT
sleep 1
shot() { import -window root "$work/$1.png"; }
geometry() { eval "$(xdotool getwindowgeometry --shell "$wid")"; echo "${WIDTH}x$HEIGHT+$X+$Y"; }
start_game() {
  "$game" "$@" 2> "$work/game.err" &
  pid=$!
  wid=$(timeout 15 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
  [ -n "$wid" ] || { fail "no window"; kill "$pid"; exit 1; }
}
exit_at() {  # EXIT is at (603, 73) in the scene
  xdotool mousemove $((33 + 2 * 603)) $((30 + 2 * 73)) click 1
  if wait_end "$pid" 20; then
    [ "$status" -eq 0 ] || fail "$1: EXIT gave status $status"
  else
    fail "$1: EXIT clicked at its scaled place did not end the game"
    kill "$pid"
  fi
}
differing() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1; }
mean() { convert "$work/$1.png" -format '%[fx:int(1000*mean)]' info:; }

printf 'fullscreen = true\nvsync = 1\n' > "$settings"
printf 'screenshot %s/start.png\n' "$work" | "$sim" || fail "the driver drew no screenshot"
start_game
for _ in 1 2 3 4 5 6 7 8 9 10; do [ "$(geometry)" = "1400x1200+0+0" ] && break; sleep 0.2; done
[ "$(geometry)" = "1400x1200+0+0" ] || fail "the settings' fullscreen does not cover the screen: $(geometry)"
[ "$(cat "$work/game.err")" = "hvezda: $settings:2: vsync must be true or false; using false" ] ||
  fail "a bad setting said: $(cat "$work/game.err")"
shot playing
# The panel (still while the craft fly under it) twice as large, centred, black around.
"$probe" scaled "$work/playing.png" "$work/start.png" 2 97 > "$work/probe.out" ||
  fail "the scene is not at factor 2 in the middle (mean error, lit pixels outside: $(cat "$work/probe.out"))"

xdotool key p
sleep 0.3
shot paused1
sleep 0.5
shot paused2
xdotool key Escape
sleep 0.5
shot resumed
[ "$(differing paused1 paused2)" = 0 ] || fail "something moved while paused"
[ "$(differing paused2 resumed)" != 0 ] || fail "nothing moved after the pause"
[ "$(mean paused2)" -lt $(($(mean playing) * 6 / 10)) ] || fail "the paused frame is not dimmed"

xdotool key F12
sleep 0.5
picture=$(ls "$XDG_PICTURES_DIR"/hvezda-*.png 2> /dev/null)
[ -n "$picture" ] && [ "$(identify -format '%wx%h' "$picture")" = 667x570 ] || fail "F12 wrote no 667 x 570 PNG"
grep -qx "hvezda: screenshot saved to $picture" "$work/game.err" || fail "F12 said: $(cat "$work/game.err")"

xdotool key F11
sleep 0.5
[ "$(geometry)" = "667x570+366+315" ] || fail "F11 did not bring the window back: $(geometry)"
xdotool key alt+Return
sleep 0.5
[ "$(geometry)" = "1400x1200+0+0" ] || fail "Alt+Enter did not go fullscreen: $(geometry)"
exit_at fullscreen

# --scale: 3 does not fit, 2 does; the window at factor 2 takes the same click.
rm "$settings"
start_game --scale 3
sleep 0.5
[ "$(geometry)" = "1334x1140+33+30" ] || fail "--scale 3 on this screen: window $(geometry), not 1334x1140+33+30"
grep -qx "hvezda: scale 3 does not fit the display; using 2" "$work/game.err" ||
  fail "--scale 3 said: $(cat "$work/game.err")"
exit_at "--scale 2"

exit $((failures > 0))
