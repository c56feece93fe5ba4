#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Bad music or no audio: the game plays, says why in one line, EXIT gives 0; no display: one line, status 1.
case_name=$1 game=$2  # usage: hostile.sh CASE HVEZDA
source "$(dirname "$0")/../lib/processes.sh"
fail() { echo "FAIL ($case_name): $*"; exit 1; }
export XDG_STATE_HOME="$work/state"  # the game records here, not in the home folder
# The program in a folder of its own, so that start-up looks for the music there.
folder="$work/game"
mkdir -p "$folder"
cp "$game" "$folder/hvezda"
music="$folder/Moonlite.dat"
module="$(dirname "$0")/../../assets/Moonlite.dat"
[ "$case_name" = display-nowhere ] || { cp "$module" "$music"; start_xvfb 1280x1024; }

# Plays a second, EXITs with status 0; then only the one line naming the cause $1 (a pattern; none when empty).
play_and_exit() {
  local cause=$1
  shift
  start_game "$@" "$folder/hvezda" || exit 1
  xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool keydown Right sleep 0.3 keyup Right key x sleep 0.2 key x sleep 0.2 key x sleep 0.2
  kill -0 "$pid" 2>/dev/null || { wait "$pid"; fail "the game ended by itself with status $?: $(cat "$work/game.err")"; }
  click_to_end && [ "$status" -eq 0 ] || fail "EXIT did not end the game with status 0: $(cat "$work/game.err")"
  [ -s "$work/game.out" ] && fail "the game printed on standard output: $(head -c 500 "$work/game.out")"
  [ -z "$cause" ] && { [ -s "$work/game.err" ] && fail "the game printed: $(head -c 500 "$work/game.err")"; return 0; }
  [ "$(wc -l <"$work/game.err")" -eq 1 ] || fail "not one line on standard error: $(head -c 800 "$work/game.err")"
  grep -Eq "^hvezda: no music: .*($cause)" "$work/game.err" || fail "the line does not say '$cause': $(cat "$work/game.err")"
  echo "said: $(cat "$work/game.err")"
}

no_module="is not a module the player can play"
dummy=(env SDL_AUDIODRIVER=dummy)
case "$case_name" in
  music-missing) rm "$music"; play_and_exit "$work/share/hvezda/Moonlite.dat is missing" "${dummy[@]}" ;;
  music-empty) : >"$music"; play_and_exit "$no_module" "${dummy[@]}" ;;
  music-random) head -c 65536 /dev/urandom >"$music"; play_and_exit "$no_module" "${dummy[@]}" ;;
  music-truncated) head -c $(($(stat -c %s "$module") / 3)) "$module" >"$music"; play_and_exit "" "${dummy[@]}" ;;
  # Neither is a song, and a pipe nobody writes to would block the game if it were opened.
  music-directory) rm "$music"; mkdir "$music"; cp "$module" "$music/"; play_and_exit "cannot read .*not a plain file" "${dummy[@]}" ;;
  music-fifo) rm "$music"; mkfifo "$music"; play_and_exit "cannot read .*not a plain file" "${dummy[@]}" ;;
  music-unreadable)
    chmod 000 "$music"
    if [ "$(id -u)" -eq 0 ]; then
      # root reads any file: drop the capabilities that let it, for the game only.
      command -v setpriv >/dev/null || { echo "SKIP: root without setpriv cannot make a file unreadable"; exit 77; }
      dummy=(setpriv --bounding-set -dac_override,-dac_read_search "${dummy[@]}")
      "${dummy[@]}" cat "$music" >/dev/null 2>&1 && { echo "SKIP: the file stays readable"; exit 77; }
    fi
    play_and_exit "cannot read .*Permission denied" "${dummy[@]}" ;;
  # ALSA with a device that does not exist, as on a machine without a sound card; a driver SDL does not know.
  audio-none) play_and_exit "no audio device could be opened: .+" env SDL_AUDIODRIVER=alsa AUDIODEV=hw:97,0 ALSA_CONFIG_PATH=/dev/null ;;
  audio-unknown) play_and_exit "no audio device could be opened: .+" env SDL_AUDIODRIVER=no-such-driver ;;
  exits)
    n=${HVEZDA_EXITS:-10}
    for i in $(seq "$n"); do
      case_name="exits, run $i of $n"  # named in a failure
      start_game "${dummy[@]}" "$folder/hvezda" || exit 1
      click_to_end && [ "$status" -eq 0 ] || fail "EXIT did not end the game with status 0: $(cat "$work/game.err")"
    done
    echo "$n exits in a row, each with status 0" ;;
  display-nowhere)
    # No server on display 97 (checked), and no fallback to a hidden driver.
    [ -e /tmp/.X11-unix/X97 ] && { echo "SKIP: display :97 exists here"; exit 77; }
    check "no display" 1 "" "*isplay*" env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:97 SDL_AUDIODRIVER=dummy \
      timeout 20 "$folder/hvezda"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "not one line about the display on standard error: $(cat "$work/err")" ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac
echo "ok: $case_name"
