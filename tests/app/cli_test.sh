#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Command lines: --help, --version status 0; a bad one a line, the hint and status 2; none opens a window.
game=$1 pace=$2 version=$3  # usage: cli_test.sh HVEZDA HVEZDA_PACE VERSION
source "$(dirname "$0")/../lib/processes.sh"

run() { env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy timeout 20 "$@"; }  # no window opens

check --help 0 $'*\nUsage: hvezda *' "" run "$game" --help
for control in 'arrow keys' 'X ' 'C ' 'EXIT'; do grep -q "$control" "$work/out" || fail "--help does not mention '$control'"; done
check --version 0 "hvezda $version" "" run "$game" --version

bad() {  # what, program, arguments...: nothing printed, one line and the hint on standard error, status 2
  check "$1" 2 "" "$(basename "$2"): *--help*" run "${@:2}"
  [ "$(wc -l <"$work/err")" -eq 2 ] || fail "$1: not one line and the hint: $(cat "$work/err")"
}
bad "an unknown option" "$game" --bogus
grep -q -- '^hvezda: .*--bogus' "$work/err" || fail "the unknown option is not named: $(cat "$work/err")"
bad "a stray word" "$game" play
bad "a probe's option to the game" "$game" --seconds 5
bad "a probe run of no length" "$pace" --seconds 0
bad "a probe run of no number" "$pace" --seconds soon
bad "an unknown phase" "$pace" --phase sideways
bad "a daily flight is no replay" "$game" --daily --replay-best 1

# Today's daily flights, from an empty hall, with no window.
XDG_STATE_HOME="$work/state" check "--scores --daily" 0 "No daily flight of today ($(date -u +%F))*" "*" run "$game" --scores --daily
check "hvezda-pace --help" 0 "*--phase*--no-music*" "*" run "$pace" --help

finish "command line"
