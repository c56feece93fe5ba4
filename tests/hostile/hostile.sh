#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The whole game program in hostile surroundings, one case per run, on a
# virtual X display of its own:
#
#   hostile.sh CASE HVEZDA
#
# music-*: Moonlite.dat beside the program is absent, empty, random bytes, cut
# short, a folder, unreadable or a pipe nobody writes to; audio-*: no device
# can be opened, or SDL's driver does not exist. The game must start, play,
# say why there is no music in exactly one line (nothing when it plays what
# it can of a cut module) and end with status 0 on EXIT. display-nowhere: one
# line about the display, status 1. exits: HVEZDA_EXITS (10) starts and EXITs
# in a row, each with status 0. Exit status 0 passed, 1 failed, 77 skipped.
set -u
case_name=$1 game=$2
src_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
export XDG_STATE_HOME="$work/state"  # the game records here, not in the home folder
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  chmod -R u+rwX "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL ($case_name): $*"; exit 1; }

command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "SKIP: Xvfb or xdotool missing"; exit 77; }

# An X server of our own; -displayfd makes it pick a free display number.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.err" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.err")"
  export DISPLAY=":$(head -n 1 "$work/display")"
}

# The program in a folder of its own, so that start-up looks for the music there.
folder="$work/game"
mkdir -p "$folder"
cp "$game" "$folder/hvezda"
music="$folder/Moonlite.dat"
module="$src_dir/assets/Moonlite.dat"

source "$(dirname "$0")/../lib/processes.sh"

# Starts the game, plays a second (held Right, X presses) and checks it is
# still there.
start_and_play() {
  start_game "$@" "$folder/hvezda"
  xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool keydown Right; sleep 0.3; xdotool keyup Right
  for _ in 1 2 3; do xdotool key x; sleep 0.2; done
  kill -0 "$pid" 2>/dev/null || { wait "$pid"; fail "the game ended by itself with status $?: $(cat "$work/game.err")"; }
}

exit_by_click() {
  click_to_end && [ "$status" -eq 0 ] || fail "EXIT did not end the game with status 0: $(cat "$work/game.err")"
}

# The one line that says why there is no music, naming the cause ($1, a
# pattern), and nothing else on either stream; nothing at all when $1 is empty.
says_once() {
  [ -s "$work/game.out" ] && fail "the game printed on standard output: $(head -c 500 "$work/game.out")"
  [ -z "$1" ] && { [ -s "$work/game.err" ] && fail "the game printed: $(head -c 500 "$work/game.err")"; return 0; }
  [ "$(wc -l <"$work/game.err")" -eq 1 ] || fail "not one line on standard error: $(head -c 800 "$work/game.err")"
  grep -Eq "^hvezda: no music: .*($1)" "$work/game.err" || fail "the line does not say '$1': $(cat "$work/game.err")"
  echo "said: $(cat "$work/game.err")"
}

case "$case_name" in
  music-*)
    no_module="is not a module the player can play"
    case "$case_name" in
      music-missing) music="$work/share/hvezda/Moonlite.dat"; cause="$music is missing" ;;
      music-empty) : >"$music"; cause=$no_module ;;
      music-random) head -c 65536 /dev/urandom >"$music"; cause=$no_module ;;
      music-truncated)
        head -c $(( $(stat -c %s "$module") / 3 )) "$module" >"$music"; cause="" ;;
      music-directory) mkdir "$music"; cp "$module" "$music/" 2>/dev/null; cause="cannot read .*not a plain file" ;;
      music-unreadable)
        cp "$module" "$music"; chmod 000 "$music"
        cause="cannot read .*Permission denied" ;;
      music-fifo) mkfifo "$music"; cause="cannot read .*not a plain file" ;;
      *) echo "unknown case $case_name"; exit 2 ;;
    esac
    prefix=(env SDL_AUDIODRIVER=dummy)
    if [ "$case_name" = music-unreadable ] && [ "$(id -u)" -eq 0 ]; then
      # root reads any file: drop the capabilities that let it, for the game only.
      command -v setpriv >/dev/null || { echo "SKIP: root without setpriv cannot make a file unreadable"; exit 77; }
      prefix=(setpriv --bounding-set -dac_override,-dac_read_search env SDL_AUDIODRIVER=dummy)
      "${prefix[@]}" cat "$music" >/dev/null 2>&1 && { echo "SKIP: the file stays readable"; exit 77; }
    fi
    start_xvfb
    start_and_play "${prefix[@]}"
    exit_by_click
    says_once "$cause"
    ;;
  audio-none | audio-unknown)
    # ALSA with a device that does not exist, as on a machine without a sound
    # card; or a driver SDL does not know.
    cp "$module" "$music"
    start_xvfb
    if [ "$case_name" = audio-none ]; then
      start_and_play env SDL_AUDIODRIVER=alsa AUDIODEV=hw:97,0 ALSA_CONFIG_PATH=/dev/null
    else
      start_and_play env SDL_AUDIODRIVER=no-such-driver
    fi
    exit_by_click
    says_once "no audio device could be opened: .+"
    ;;
  exits)
    cp "$module" "$music" 2>/dev/null
    start_xvfb
    n=${HVEZDA_EXITS:-10}
    for i in $(seq "$n"); do
      case_name="exits, run $i of $n"  # named in a failure
      start_game env SDL_AUDIODRIVER=dummy "$folder/hvezda"
      exit_by_click
    done
    case_name=exits
    echo "$n exits in a row, each with status 0"
    ;;
  display-nowhere)
    # No server on display 97 (checked), and no fallback to a hidden driver.
    [ -e /tmp/.X11-unix/X97 ] && { echo "SKIP: display :97 exists here"; exit 77; }
    env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:97 SDL_AUDIODRIVER=dummy \
      timeout 20 "$folder/hvezda" >"$work/game.out" 2>"$work/game.err"
    status=$?
    [ "$status" -eq 1 ] || fail "status $status, not 1"
    [ "$(wc -l <"$work/game.err")" -eq 1 ] || fail "not one line on standard error: $(cat "$work/game.err")"
    grep -qi display "$work/game.err" || fail "the line does not mention the display: $(cat "$work/game.err")"
    ;;
  *)
    echo "unknown case $case_name"
    exit 2
    ;;
esac
echo "ok: $case_name"
exit 0
