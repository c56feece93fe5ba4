#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game without a display, then in a real window under Xvfb and a window manager.
game=$1 sim=$2 ship=$3  # usage: window_test.sh HVEZDA HVEZDA_SIM SHIP_BMP
source "$(dirname "$0")/../lib/processes.sh"
export HOME=$work/home XDG_PICTURES_DIR=$work/pictures XDG_STATE_HOME=$work/state SDL_AUDIODRIVER=dummy
unset XDG_CONFIG_HOME
settings=$HOME/.config/hvezda/settings.toml
mkdir -p "$(dirname "$settings")" "$XDG_PICTURES_DIR"

printf '<?xml version="1.0"?>\n<fontconfig><cachedir>%s/fc</cachedir></fontconfig>\n' "$work" > "$work/fonts.conf"
env -u DISPLAY FONTCONFIG_FILE="$work/fonts.conf" "$game" 2> "$work/nofont.err"
[ $? -eq 1 ] && [ "$(wc -l < "$work/nofont.err")" -eq 1 ] && grep -qi '^hvezda: .*font' "$work/nofont.err" ||
  fail "no font: not one line about fonts and status 1: $(cat "$work/nofont.err")"
env -u DISPLAY "$game" --scale 2 --write-settings > "$work/write.out" 2>&1 || fail "--write-settings failed"
grep -qx 'scale = 2' "$settings" && grep -qx 'fire = "X"  # fire a shot' "$settings" ||
  fail "--write-settings wrote: $(cat "$settings" "$work/write.out")"
env -u DISPLAY "$game" --scale 9 > /dev/null 2>&1 && fail "--scale 9 was taken"

# ---- On a virtual display of 1400 x 1200: the scene fits twice, at (33, 30).
need openbox import compare xprop
start_xvfb 1400x1200
# Sanitized, not its leaks at exit: SDL's D-Bus blocks cannot be traced to a library (tests/hostile suppresses them).
if [ -n "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"; fi
openbox --sm-disable > /dev/null 2>&1 &
started+=($!)
sleep 1
shot() { import -window root "$work/$1.png"; }
geometry() { eval "$(xdotool getwindowgeometry --shell "$wid")"; echo "${WIDTH}x$HEIGHT+$X+$Y"; }
differing() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1; }
mean() { convert "$work/$1.png" -format '%[fx:int(1000*mean)]' info:; }

printf 'fullscreen = true\nvsync = 1\n' > "$settings"
printf 'screenshot %s/start.png\n' "$work" | "$sim" || fail "the driver drew no screenshot"
start_game "$game" || exit 1
within 20 eval '[ "$(geometry)" = 1400x1200+0+0 ]' || fail "the settings' fullscreen does not cover the screen: $(geometry)"
[ "$(cat "$work/game.err")" = "hvezda: $settings:2: vsync must be true or false; using false" ] ||
  fail "a bad setting said: $(cat "$work/game.err")"
shot playing
# The panel (still while the craft fly under it) twice as large, centred, black around.
shows_panel "$work/playing.png" "$work/start.png" 2 33 30 || fail "the scene is not at factor 2 in the middle"

# F2 twice is a new game whether or not the hall (which takes a key) is up; shots are taken paused, so the game can't end.
xdotool key F2 F2 sleep 0.3
shot fresh
xdotool key p sleep 0.3
shot paused1
sleep 0.5
shot paused2
[ "$(differing paused1 paused2)" = 0 ] || fail "something moved while paused"
[ "$(mean paused2)" -lt $(($(mean fresh) * 6 / 10)) ] ||
  fail "the paused frame is not dimmed: brightness $(mean paused2), in play $(mean fresh)"

xdotool key F12
within 50 grep -q "screenshot saved" "$work/game.err"  # up to 5 s on a loaded machine
picture=$(ls "$XDG_PICTURES_DIR"/hvezda-*.png 2> /dev/null)
[ -n "$picture" ] && [ "$(identify -format '%wx%h' "$picture")" = 667x570 ] || fail "F12 wrote no 667 x 570 PNG"
grep -qx "hvezda: screenshot saved to $picture" "$work/game.err" || fail "F12 said: $(cat "$work/game.err")"

# Play runs again from here: the next keys follow without a slow check between.
xdotool key Escape sleep 0.5
shot resumed
xdotool key F11 sleep 0.5
[ "$(differing paused2 resumed)" != 0 ] || fail "nothing moved after the pause"
[ "$(geometry)" = "667x570+366+315" ] || fail "F11 did not bring back a centred 667 x 570 window: $(geometry)"
xdotool key F2 F2 sleep 0.2  # a fresh game (as above), the craft at the top, far from the ship's row
x0=$(ship_x "$ship")
[ "$x0" = 304 ] || fail "the ship is not at its starting place before any key (x '$x0')"
xdotool keydown Right sleep 0.3 keyup Right
x1=$(ship_x "$ship")
echo "ship: x $x0 -> $x1"
[ "${x1:--1}" -ge $((x0 + 60)) ] || fail "the ship did not move right (x $x0 -> '$x1')"
xdotool key F2 F2 sleep 0.2  # a fresh game again, far from its end
xdotool key alt+Return sleep 0.5
[ "$(geometry)" = "1400x1200+0+0" ] || fail "Alt+Enter did not go fullscreen: $(geometry)"
# EXIT at (603, 73) in the scene, shown twice as large at (33, 30) on the screen.
geometry > /dev/null
click_to_end $((33 + 2 * 603 - X)) $((30 + 2 * 73 - Y)) && [ "$status" -eq 0 ] ||
  fail "fullscreen: EXIT at its scaled place did not end the game with status 0"

# --scale 3 does not fit, 2 does; a renamed copy is still hvezda to the desktop, with its icon; closing ends it.
rm "$settings"
cp "$game" "$work/renamed"
start_game "$work/renamed" --scale 3 || exit 1
sleep 0.5
[ "$(geometry)" = "1334x1140+33+30" ] || fail "--scale 3 on this screen: window $(geometry), not 1334x1140+33+30"
grep -qx "hvezda: scale 3 does not fit the display; using 2" "$work/game.err" ||
  fail "--scale 3 said: $(cat "$work/game.err")"
xprop -id "$wid" WM_CLASS | grep -q '= "hvezda", "hvezda"$' || fail "window class: $(xprop -id "$wid" WM_CLASS)"
xprop -id "$wid" _NET_WM_ICON | grep -q 'Icon (79 x 79)' || fail "no 79 x 79 window icon"
xdotool windowactivate --sync "$wid" key alt+F4  # the window manager's close request (WM_DELETE_WINDOW)
wait_end "$pid" 10 || { fail "the game still runs a second after its window was closed"; kill "$pid"; }
[ "${status:-1}" -eq 0 ] || fail "closing the window ended the game with status $status"
finish window
